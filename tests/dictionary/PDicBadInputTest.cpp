// Broken dictionary files: each gives a refused open or fewer hits, never a
// crash, a read outside the file or a search that does not end.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "PDicTestSupport.h"
#include "dictionary/Bocu1Decoder.h"

using namespace veltrix::test;

namespace {

std::vector<PDicEntry> manyWords() {
    std::vector<PDicEntry> entries;
    for (char16_t a = u'a'; a <= u'z'; ++a)
        for (char16_t b = u'a'; b <= u'e'; ++b) entries.push_back(entryFor(std::u16string{a, b, u'x'}));
    entries.push_back(entryFor(u"日本"));
    return entries;
}

// Opens and searches a file as the word list does; the number of hits of
// every search and fetch, so that a test can check what still works.
int exercise(const TempDir& folder, const std::string& bytes) {
    folder.write("case.dic", bytes);
    CPDicReader reader;
    if (reader.open(folder.file("case.dic")) != 0) return -1;
    int found = 0;
    for (const char16_t* word : {u"", u"a", u"mb", u"zex", u"日", u"~"}) {
        for (SearchMode mode : {SearchMode::Prefix, SearchMode::Exact}) {
            int truncated = 0;
            const int hits = reader.search(word, mode, 0, truncated);
            for (int i = 0; i < hits; ++i) {
                PDicHitTexts texts;
                if (reader.hitAt(i, texts) == 0) ++found;
            }
        }
    }
    return found;
}

void put16(std::string& bytes, std::size_t at, unsigned value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}
void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

class PDicBadInput : public ::testing::TestWithParam<PDicLayout> {
protected:
    void SetUp() override { good = buildPDic(manyWords(), GetParam(), &info); }
    TempDir folder;
    PDicFileInfo info;
    std::string good;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(EveryLayout, PDicBadInput, ::testing::ValuesIn(allLayouts()), layoutName);

TEST_P(PDicBadInput, TheIntactFileFindsEverything) {
    // The baseline the other cases are measured against: all 131 titles by
    // the empty prefix, aax to aex, mbx, zex twice and 日本.
    EXPECT_EQ(exercise(folder, good), 140);
}

TEST_P(PDicBadInput, TruncatedFilesNeverCrash) {
    const int whole = exercise(folder, good);
    for (std::size_t cut = 0; cut < good.size(); cut += 37) {
        const int found = exercise(folder, good.substr(0, cut));
        EXPECT_LE(found, whole) << "cut at " << cut;
        if (cut < 256) {
            EXPECT_EQ(found, -1) << "a header cut at " << cut << " is refused";
        }
    }
}

TEST_P(PDicBadInput, IndexEntriesPastTheEndFindNothingThere) {
    std::string bytes = good;
    const bool wide = GetParam().indexBits32;
    // Every entry's block number far behind the file's end.
    std::size_t at = info.indexOffset;
    for (int entry = 0; entry < info.dataBlocks; ++entry) {
        if (wide)
            put32(bytes, at, 0x7FFFFFF0u + static_cast<std::uint32_t>(entry));
        else
            put16(bytes, at, 0xFFF0u + static_cast<unsigned>(entry));
        at += wide ? 4 : 2;
        at = bytes.find('\0', at) + 1;
    }
    EXPECT_EQ(exercise(folder, bytes), 0);
}

TEST_P(PDicBadInput, IndexEntriesThatAllLeadToOneBlockGiveItsRecordsOnce) {
    std::string bytes = good;
    const bool wide = GetParam().indexBits32;
    std::size_t at = info.indexOffset;
    for (int entry = 0; entry < info.dataBlocks; ++entry) {
        if (wide)
            put32(bytes, at, 0);
        else
            put16(bytes, at, 0);
        at += wide ? 4 : 2;
        at = bytes.find('\0', at) + 1;
    }
    folder.write("loop.dic", bytes);
    CPDicReader reader;
    ASSERT_EQ(reader.open(folder.file("loop.dic")), 0);
    // Block 0 holds the first titles; each is found once, not once per entry.
    const std::vector<std::u16string> titles = titlesOf(reader, u"a", SearchMode::Prefix);
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(titles.front(), u"aax");
    std::vector<std::u16string> unique = titles;
    unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
    EXPECT_EQ(unique.size(), titles.size());
}

TEST_P(PDicBadInput, HeaderNumbersOutOfRangeAreHarmless) {
    struct Patch {
        const char* name;
        std::size_t offset;
        std::uint32_t value;
        int width;
    };
    const bool v4 = GetParam().majorVersion == 4;
    const std::size_t indexCount = v4 ? 190 : 192;
    const std::size_t extHeader = v4 ? 182 : 184;
    const Patch patches[] = {
        {"index count huge", indexCount, 0x7FFFFFFF, 4},
        {"index count negative", indexCount, 0x80000000u, 4},
        {"index count zero", indexCount, 0, 4},
        {"index blocks negative", 148, 0x8000, 2},
        {"index blocks huge", 148, 0x7FFF, 2},
        {"extended header huge", extHeader, 0xFFFFFFF0u, 4},
        {"extended header past the index", extHeader, 5000, 4},
    };
    for (const Patch& patch : patches) {
        std::string bytes = good;
        if (patch.width == 4)
            put32(bytes, patch.offset, patch.value);
        else
            put16(bytes, patch.offset, patch.value);
        const auto started = std::chrono::steady_clock::now();
        exercise(folder, bytes);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << patch.name;
    }
}

TEST_P(PDicBadInput, BlockWordsAndRecordLengthsOutOfRange) {
    const std::size_t block = info.blockOffsets[1];
    struct Patch {
        const char* name;
        std::size_t offset;
        std::string bytes;
        bool losesRecords;
    };
    const Patch patches[] = {
        {"unused block", block, std::string("\0\0", 2), true},
        {"block spanning 32767 blocks", block, std::string("\xFF\x7F", 2), false},
        {"block of 32-bit lengths spanning all", block, std::string("\xFF\xFF", 2), false},
        {"record longer than its block", block + 2, std::string("\xFF\x7F\x00\x00", 4), true},
        {"record shares more than the title before it", block + 2 + (GetParam().wideLengths ? 4 : 2),
         std::string("\xF0", 1), true},
    };
    const int whole = exercise(folder, good);
    for (const Patch& patch : patches) {
        std::string bytes = good;
        bytes.replace(patch.offset, patch.bytes.size(), patch.bytes);
        const int found = exercise(folder, bytes);
        if (patch.losesRecords) {
            EXPECT_LT(found, whole) << patch.name;
        } else {
            EXPECT_LE(found, whole) << patch.name;
        }
        EXPECT_GE(found, 0) << patch.name;
    }
}

TEST_P(PDicBadInput, RandomDamageNeverHangs) {
    std::mt19937 random(2701);
    std::uniform_int_distribution<std::size_t> where(0, good.size() - 1);
    std::uniform_int_distribution<int> value(0, 255), count(1, 16);
    for (int round = 0; round < 150; ++round) {
        std::string bytes = good;
        for (int n = count(random); n > 0; --n) bytes[where(random)] = static_cast<char>(value(random));
        const auto started = std::chrono::steady_clock::now();
        exercise(folder, bytes);
        ASSERT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << "round " << round;
    }
}

TEST(PDicBadUnicode, Bocu1GarbageInTitlesAndTextsEndsThoseTexts) {
    TempDir folder;
    PDicLayout layout;
    layout.encoding = PDicLayout::Encoding::Unicode;
    PDicFileInfo info;
    std::string bytes = buildPDic(entriesFor({u"alpha", u"beta", u"gamma"}), layout, &info);
    // Overwrite "beta"'s translation with a lead byte followed by an illegal trail byte (0x07).
    const std::string honbun = encodeBocu1(u"訳:beta");
    const std::size_t at = bytes.find(honbun);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 1] = '\xF0';
    bytes[at + 2] = '\x07';
    folder.write("garbage.dic", bytes);
    CPDicReader reader;
    ASSERT_EQ(reader.open(folder.file("garbage.dic")), 0);
    int truncated = 0;
    ASSERT_EQ(reader.search(u"beta", SearchMode::Exact, 0, truncated), 1);
    PDicHitTexts texts;
    ASSERT_EQ(reader.hitAt(0, texts), 0);
    EXPECT_EQ(texts.honbun, u"");
    EXPECT_EQ(titlesOf(reader, u"gamma", SearchMode::Exact).size(), 1u);
}
