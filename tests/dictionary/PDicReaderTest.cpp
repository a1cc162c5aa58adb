// The PDIC reader on dictionaries written by the test writer in every
// layout: exact and prefix search, hit texts, the header's checks, version
// 6's key normalisation and TAB titles, extension items and spanning blocks.
#include <gtest/gtest.h>

#include <cstdlib>

#include "PDicTestSupport.h"

using namespace veltrix::test;

namespace {

const std::vector<PDicEntry> kFruits =
    entriesFor({u"apple", u"application", u"apply", u"apricot", u"banana", u"band", u"test", u"tested", u"testing",
                u"tests", u"zebra", u"りんご", u"林檎", u"ガイド", u"カイト"});

class PDicLayouts : public ::testing::TestWithParam<PDicLayout> {
protected:
    void SetUp() override {
        ASSERT_TRUE(writePDic(folder.native("fruits.dic"), kFruits, GetParam(), &info));
        ASSERT_EQ(reader.open(folder.file("fruits.dic")), 0) << std::u16string(describe(reader.lastError())).size();
    }
    TempDir folder;
    PDicFileInfo info;
    CPDicReader reader;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(EveryLayout, PDicLayouts, ::testing::ValuesIn(allLayouts()), layoutName);

TEST_P(PDicLayouts, PrefixSearchGivesEveryTitleThatBeginsWithTheWordInFileOrder) {
    // Several data blocks, so the search crosses from one to the next.
    EXPECT_GT(info.dataBlocks, 3);
    EXPECT_GT(info.compressedRecords, 0);
    EXPECT_EQ(titlesOf(reader, u"app", SearchMode::Prefix),
              (std::vector<std::u16string>{u"apple", u"application", u"apply"}));
    EXPECT_EQ(titlesOf(reader, u"ap", SearchMode::Prefix),
              (std::vector<std::u16string>{u"apple", u"application", u"apply", u"apricot"}));
    EXPECT_EQ(titlesOf(reader, u"test", SearchMode::Prefix),
              (std::vector<std::u16string>{u"test", u"tested", u"testing", u"tests"}));
    EXPECT_EQ(titlesOf(reader, u"zebra", SearchMode::Prefix), (std::vector<std::u16string>{u"zebra"}));
    EXPECT_TRUE(titlesOf(reader, u"apx", SearchMode::Prefix).empty());
    EXPECT_TRUE(titlesOf(reader, u"zz", SearchMode::Prefix).empty());
    EXPECT_TRUE(titlesOf(reader, u"a0", SearchMode::Prefix).empty());
}

TEST_P(PDicLayouts, MaxHitsStopsTheSearchAndSaysSo) {
    int truncated = -1;
    EXPECT_EQ(titlesOf(reader, u"app", SearchMode::Prefix, 2, &truncated),
              (std::vector<std::u16string>{u"apple", u"application"}));
    EXPECT_EQ(truncated, 1);
    EXPECT_EQ(titlesOf(reader, u"app", SearchMode::Prefix, 10, &truncated).size(), 3u);
    EXPECT_EQ(truncated, 0);
}

TEST_P(PDicLayouts, ExactSearchFindsTheWholeTitleOnly) {
    EXPECT_EQ(titlesOf(reader, u"test", SearchMode::Exact), (std::vector<std::u16string>{u"test"}));
    EXPECT_EQ(titlesOf(reader, u"band", SearchMode::Exact), (std::vector<std::u16string>{u"band"}));
    EXPECT_TRUE(titlesOf(reader, u"tes", SearchMode::Exact).empty());
    EXPECT_TRUE(titlesOf(reader, u"testings", SearchMode::Exact).empty());
}

TEST_P(PDicLayouts, HitsCarryTheirTextsAndLevel) {
    int truncated = 0;
    ASSERT_EQ(reader.search(u"林檎", SearchMode::Exact, 0, truncated), 1);
    PDicHitTexts texts;
    ASSERT_EQ(reader.hitAt(0, texts), 0);
    EXPECT_EQ(texts.title, u"林檎");
    EXPECT_EQ(texts.honbun, u"訳:林檎");
    EXPECT_EQ(texts.yorei, u"例: 林檎 here");
    EXPECT_EQ(texts.pronunciation, u"[林檎]");
    EXPECT_EQ(texts.level, 12);
    EXPECT_EQ(reader.hitAt(1, texts), -1);
    EXPECT_EQ(reader.hitAt(-1, texts), -1);
}

TEST_P(PDicLayouts, VersionSixSearchesTheNormalisedKeyword) {
    const bool normalises = GetParam().majorVersion >= 6;
    // ガイド is searched as カイト from version 6 on.
    EXPECT_EQ(titlesOf(reader, u"ガイド", SearchMode::Exact),
              (std::vector<std::u16string>{normalises ? u"カイト" : u"ガイド"}));
    EXPECT_EQ(titlesOf(reader, u"APP", SearchMode::Prefix).size(), normalises ? 3u : 0u);
}

TEST(PDicReader, HitTextsAreCutToTheBufferCapacity) {
    for (auto encoding : {PDicLayout::Encoding::ShiftJis, PDicLayout::Encoding::Unicode}) {
        TempDir folder;
        PDicLayout layout;
        layout.encoding = encoding;
        PDicEntry entry{u"long", u"一二三四五六七八九十", u"abcdefghij", u"", 3, {}};
        ASSERT_TRUE(writePDic(folder.native("d.dic"), {entry}, layout));
        CPDicReader reader;
        ASSERT_EQ(reader.open(folder.file("d.dic")), 0);
        int truncated = 0;
        ASSERT_EQ(reader.search(u"long", SearchMode::Exact, 0, truncated), 1);
        PDicHitTexts texts;
        ASSERT_EQ(reader.hitAt(0, texts, PDicTextLimits{3, 5, 4, 2}), 0);
        EXPECT_EQ(texts.title, u"lo");
        EXPECT_EQ(texts.honbun, u"一二三四");
        EXPECT_EQ(texts.yorei, u"abc");
        EXPECT_EQ(texts.pronunciation, u"");
    }
}

TEST(PDicReader, VersionSixExactSearchComparesATabTitleUpToItsTab) {
    TempDir folder;
    PDicLayout layout;
    layout.encoding = PDicLayout::Encoding::Unicode;
    layout.majorVersion = 6;
    ASSERT_TRUE(writePDic(folder.native("v6.dic"), entriesFor({u"tesla", u"test\tTest", u"testing"}), layout));
    CPDicReader reader;
    ASSERT_EQ(reader.open(folder.file("v6.dic")), 0);
    // The hit keeps the part behind the TAB.
    EXPECT_EQ(titlesOf(reader, u"test", SearchMode::Exact), (std::vector<std::u16string>{u"test\tTest"}));
    EXPECT_EQ(titlesOf(reader, u"Test", SearchMode::Exact), (std::vector<std::u16string>{u"test\tTest"}));
    // E-mail is searched as "e mail".
    ASSERT_TRUE(writePDic(folder.native("mail.dic"), entriesFor({u"e mail", u"email"}), layout));
    CPDicReader mail;
    ASSERT_EQ(mail.open(folder.file("mail.dic")), 0);
    EXPECT_EQ(titlesOf(mail, u"E-mail", SearchMode::Exact), (std::vector<std::u16string>{u"e mail"}));
}

TEST(PDicReader, ADataBlockSpanningThreePhysicalBlocksWithWideLengths) {
    TempDir folder;
    PDicLayout layout;
    layout.blockSize = 64;
    layout.wideLengths = true;
    layout.minimumSpan = 3;
    PDicFileInfo info;
    ASSERT_TRUE(writePDic(folder.native("span.dic"), entriesFor({u"alpha", u"beta", u"gamma"}), layout, &info));
    const std::string bytes = folder.read("span.dic");
    // The block word of the first data block: 0x8003.
    EXPECT_EQ(static_cast<unsigned char>(bytes[info.blockOffsets[0]]), 0x03);
    EXPECT_EQ(static_cast<unsigned char>(bytes[info.blockOffsets[0] + 1]), 0x80);
    CPDicReader reader;
    ASSERT_EQ(reader.open(folder.file("span.dic")), 0);
    EXPECT_EQ(titlesOf(reader, u"", SearchMode::Prefix), (std::vector<std::u16string>{u"alpha", u"beta", u"gamma"}));

    // A record longer than a physical block makes its block span several.
    PDicEntry big = entryFor(u"big");
    big.honbun = std::u16string(300, u'x');
    PDicLayout narrow;
    narrow.blockSize = 64;
    ASSERT_TRUE(writePDic(folder.native("big.dic"), {entryFor(u"a"), big, entryFor(u"c")}, narrow, &info));
    EXPECT_GE(info.maxSpan, 5);
    CPDicReader spanning;
    ASSERT_EQ(spanning.open(folder.file("big.dic")), 0);
    int truncated = 0;
    ASSERT_EQ(spanning.search(u"big", SearchMode::Exact, 0, truncated), 1);
    PDicHitTexts texts;
    ASSERT_EQ(spanning.hitAt(0, texts), 0);
    EXPECT_EQ(texts.honbun, big.honbun);
    EXPECT_EQ(titlesOf(spanning, u"c", SearchMode::Exact), (std::vector<std::u16string>{u"c"}));
}

TEST(PDicReader, ExtensionItemsOfOtherKindsAreSkipped) {
    TempDir folder;
    for (bool wide : {false, true}) {
        PDicLayout layout;
        layout.wideLengths = wide;
        PDicEntry entry = entryFor(u"word");
        // A binary item (its length in the block's width) and a text of type 5.
        std::string binary = wide ? std::string("\x11\x03\x00\x00\x00xyz", 8) : std::string("\x11\x03\x00xyz", 6);
        entry.extraItems = binary + std::string("\x05skipped\0", 9);
        ASSERT_TRUE(writePDic(folder.native("items.dic"), {entry, entryFor(u"zoo")}, layout));
        CPDicReader reader;
        ASSERT_EQ(reader.open(folder.file("items.dic")), 0);
        int truncated = 0;
        ASSERT_EQ(reader.search(u"word", SearchMode::Exact, 0, truncated), 1);
        PDicHitTexts texts;
        ASSERT_EQ(reader.hitAt(0, texts), 0);
        EXPECT_EQ(texts.yorei, entry.yorei);
        EXPECT_EQ(texts.pronunciation, entry.pronunciation);
        EXPECT_EQ(titlesOf(reader, u"zoo", SearchMode::Exact).size(), 1u);
    }
}

TEST(PDicReader, TheExtendedHeaderLiesBetweenHeaderAndIndex) {
    TempDir folder;
    for (int version : {4, 5}) {
        PDicLayout layout;
        layout.majorVersion = version;
        layout.extHeaderSize = 300;
        ASSERT_TRUE(writePDic(folder.native("ext.dic"), kFruits, layout));
        CPDicReader reader;
        ASSERT_EQ(reader.open(folder.file("ext.dic")), 0);
        EXPECT_EQ(reader.header().extHeaderSize(), 300u);
        EXPECT_EQ(titlesOf(reader, u"app", SearchMode::Prefix).size(), 3u) << "version " << version;
    }
}

TEST(PDicReader, HeaderChecksRefuseWhatTheReaderCannotRead) {
    TempDir folder;
    PDicLayout layout;
    const std::string good = buildPDic(kFruits, layout);
    struct Case {
        const char* name;
        std::size_t offset;
        std::string bytes;
        PDicError error;
    };
    const Case cases[] = {
        {"version 3", 140, std::string("\x00\x03", 2), PDicError::OldVersion},
        {"block size 0", 146, std::string("\x00\x00", 2), PDicError::BlockSizeOutOfRange},
        {"block size 2048", 146, std::string("\x00\x08", 2), PDicError::BlockSizeOutOfRange},
        {"block size negative", 146, std::string("\xFF\xFF", 2), PDicError::BlockSizeOutOfRange},
        {"header size 0", 150, std::string("\x00\x00", 2), PDicError::HeaderSizeOutOfRange},
        {"header size 1025", 150, std::string("\x01\x04", 2), PDicError::HeaderSizeOutOfRange},
        {"no signature", 13, std::string("X"), PDicError::NoSignature},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        bytes.replace(c.offset, c.bytes.size(), c.bytes);
        folder.write("bad.dic", bytes);
        CPDicReader reader;
        EXPECT_EQ(reader.open(folder.file("bad.dic")), -1) << c.name;
        EXPECT_EQ(reader.lastError(), c.error) << c.name;
        EXPECT_FALSE(reader.isOpen());
        int truncated = 0;
        EXPECT_EQ(reader.search(u"app", SearchMode::Prefix, 0, truncated), 0);
    }
    folder.write("short.dic", good.substr(0, 255));
    CPDicReader reader;
    EXPECT_EQ(reader.open(folder.file("short.dic")), -1);
    EXPECT_EQ(reader.lastError(), PDicError::ShortHeader);
    EXPECT_EQ(reader.open(folder.file("missing.dic")), -1);
    EXPECT_EQ(reader.lastError(), PDicError::CannotOpen);
}

TEST(PDicReader, OpensASignatureAtOffset24AndOnlyOnce) {
    TempDir folder;
    PDicLayout layout;
    layout.signatureAt24 = true;
    ASSERT_TRUE(writePDic(folder.native("late.dic"), kFruits, layout));
    CPDicReader reader;
    ASSERT_EQ(reader.open(folder.file("late.dic")), 0);
    EXPECT_EQ(reader.open(folder.file("late.dic")), -1);
    EXPECT_EQ(reader.lastError(), PDicError::AlreadyOpen);
    // The first open stays usable.
    EXPECT_EQ(titlesOf(reader, u"band", SearchMode::Exact).size(), 1u);
    reader.close();
    EXPECT_EQ(reader.open(folder.file("late.dic")), 0);
}

TEST(PDicReader, HitsOfASearchStayValidUntilTheNext) {
    TempDir folder;
    ASSERT_TRUE(writePDic(folder.native("f.dic"), kFruits, PDicLayout{}));
    CPDicReader reader;
    ASSERT_EQ(reader.open(folder.file("f.dic")), 0);
    int truncated = 0;
    ASSERT_EQ(reader.search(u"app", SearchMode::Prefix, 0, truncated), 3);
    // Another block is loaded in between; the hit reloads its own.
    PDicHitTexts last;
    ASSERT_EQ(reader.hitAt(2, last), 0);
    PDicHitTexts first;
    ASSERT_EQ(reader.hitAt(0, first), 0);
    EXPECT_EQ(first.honbun, u"訳:apple");
    EXPECT_EQ(last.honbun, u"訳:apply");
    ASSERT_EQ(reader.search(u"zebra", SearchMode::Exact, 0, truncated), 1);
    EXPECT_EQ(reader.hitAt(2, last), -1);
    reader.close();
    EXPECT_EQ(reader.hitAt(0, last), -1);
}

TEST(PDicReader, AShiftJisKeyLongerThanAnyTitleFindsNothing) {
    TempDir folder;
    ASSERT_TRUE(writePDic(folder.native("f.dic"), kFruits, PDicLayout{}));
    CPDicReader reader;
    ASSERT_EQ(reader.open(folder.file("f.dic")), 0);
    // 513 ideographs are 1026 bytes in code page 932.
    EXPECT_TRUE(titlesOf(reader, std::u16string(513, u'林'), SearchMode::Prefix).empty());
    EXPECT_EQ(titlesOf(reader, std::u16string(1, u'林'), SearchMode::Prefix).size(), 1u);
}

// The fuzz target's seeds are small dictionaries of each layout made by this
// writer; with VELTRIX_WRITE_FUZZ_SEEDS=1 the test writes them afresh.
TEST(PDicFuzzSeeds, AreReadableDictionariesOfEachLayout) {
    const std::string folder = VELTRIX_FUZZ_SEEDS;
    const bool write = std::getenv("VELTRIX_WRITE_FUZZ_SEEDS") != nullptr;
    std::vector<PDicEntry> entries = entriesFor({u"apple", u"test", u"tested", u"日本", u"ガイド", u"zz"});
    int n = 0;
    for (PDicLayout layout : allLayouts(64)) {
        // A binary item (its length in the block's width) and a text of an unknown type.
        entries[1].extraItems = layout.wideLengths ? std::string("\x11\x02\x00\x00\x00xy\x05skip\0", 12)
                                                   : std::string("\x11\x02\x00xy\x05skip\0", 10);
        layout.extHeaderSize = n % 3 == 0 ? 16 : 0;
        layout.minimumSpan = n % 4 == 3 ? 2 : 1;
        layout.signatureAt24 = n == 5;
        const std::string path = folder + "/seed-" + std::to_string(n++) + ".dic";
        if (write) {
            ASSERT_TRUE(writePDic(path, entries, layout));
            continue;
        }
        CPDicReader reader;
        ASSERT_EQ(reader.open(std::u16string(path.begin(), path.end())), 0) << path;
        EXPECT_EQ(titlesOf(reader, u"te", SearchMode::Prefix).size(), 2u) << path;
    }
}
