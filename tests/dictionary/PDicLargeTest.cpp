// A generated dictionary of 100,000 entries in both encodings: every
// headword is found exactly and by each of its prefixes, with its
// translation, example and pronunciation intact.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "PDicTestSupport.h"

using namespace veltrix::test;

namespace {

constexpr int kEntries = 100000;

const std::vector<std::u16string>& headwords() {
    static const std::vector<std::u16string> words = generatedHeadwords(kEntries, 100000);
    return words;
}

PDicEntry entryOf(const std::u16string& word, std::size_t i) {
    return PDicEntry{word,
                     u"意味その" + u16(std::to_string(i)) + u"：" + word,
                     i % 3 == 0 ? u"" : u"An example with " + word + u"。",
                     i % 5 == 0 ? u"" : u"／" + word + u"／",
                     static_cast<int>(i % 16),
                     {}};
}

class LargeDictionary : public ::testing::TestWithParam<PDicLayout::Encoding> {
protected:
    static void SetUpTestSuite() { folder = new TempDir; }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }
    void SetUp() override {
        PDicLayout layout;
        layout.encoding = GetParam();
        layout.majorVersion = 5;
        layout.blockSize = 1024;
        layout.indexBits32 = true;
        std::vector<PDicEntry> entries;
        entries.reserve(headwords().size());
        for (std::size_t i = 0; i < headwords().size(); ++i) entries.push_back(entryOf(headwords()[i], i));
        const std::string name = GetParam() == PDicLayout::Encoding::Unicode ? "large-unicode.dic" : "large-sjis.dic";
        ASSERT_TRUE(writePDic(folder->native(name), entries, layout, &info));
        ASSERT_EQ(reader.open(folder->file(name)), 0);
    }
    static inline TempDir* folder = nullptr;
    PDicFileInfo info;
    CPDicReader reader;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(BothEncodings, LargeDictionary,
                         ::testing::Values(PDicLayout::Encoding::ShiftJis, PDicLayout::Encoding::Unicode),
                         [](const auto& param) {
                             return std::string(param.param == PDicLayout::Encoding::Unicode ? "Unicode" : "ShiftJis");
                         });

TEST_P(LargeDictionary, EveryHeadwordIsFoundExactlyWithItsTexts) {
    const auto& words = headwords();
    ASSERT_EQ(static_cast<int>(words.size()), kEntries);
    EXPECT_GT(info.dataBlocks, 1000);
    for (std::size_t i = 0; i < words.size(); ++i) {
        int truncated = 0;
        ASSERT_EQ(reader.search(words[i], SearchMode::Exact, 0, truncated), 1) << "word " << i;
        PDicHitTexts texts;
        ASSERT_EQ(reader.hitAt(0, texts), 0);
        const PDicEntry expected = entryOf(words[i], i);
        ASSERT_EQ(texts.title, expected.title);
        ASSERT_EQ(texts.honbun, expected.honbun);
        ASSERT_EQ(texts.yorei, expected.yorei);
        ASSERT_EQ(texts.pronunciation, expected.pronunciation);
        ASSERT_EQ(texts.level, expected.level);
    }
}

TEST_P(LargeDictionary, EveryPrefixFindsExactlyTheHeadwordsBeginningWithIt) {
    const auto& words = headwords();
    std::set<std::u16string> prefixes;
    for (const std::u16string& word : words)
        for (std::size_t n = 1; n <= word.size(); ++n) prefixes.insert(word.substr(0, n));
    for (const std::u16string& prefix : prefixes) {
        const auto first = std::lower_bound(words.begin(), words.end(), prefix);
        auto last = first;
        while (last != words.end() && last->compare(0, prefix.size(), prefix) == 0) ++last;
        const auto expected = static_cast<int>(last - first);
        int truncated = 0;
        ASSERT_EQ(reader.search(prefix, SearchMode::Prefix, 0, truncated), expected) << "prefix size " << prefix.size();
        PDicHitTexts texts;
        ASSERT_EQ(reader.hitAt(0, texts), 0);
        ASSERT_EQ(texts.title, *first);
        ASSERT_EQ(reader.hitAt(expected - 1, texts), 0);
        ASSERT_EQ(texts.title, *(last - 1));
    }
}
