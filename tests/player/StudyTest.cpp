// Dictation marking, the score file beside the sentence list, and the
// ladder's tempo list as the settings file holds it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "player/Dictation.h"
#include "player/StudySettings.h"
#include "support/TempDir.h"

namespace {

std::vector<std::pair<std::u16string, WordMark>> marks(const DictationResult& result) {
    std::vector<std::pair<std::u16string, WordMark>> out;
    for (const MarkedWord& word : result.words) out.emplace_back(word.text, word.mark);
    return out;
}

TEST(Dictation, CaseAndPunctuationAreForgivenAndDifferencesAreMarkedInReadingOrder) {
    const DictationResult same = compareDictation(u"Don't worry, it's fine!", u"dont WORRY its fine");
    EXPECT_EQ(same.right, 4);
    EXPECT_EQ(same.total, 4);
    EXPECT_EQ(same.words.front().text, u"Don't") << "a right word shows as the sentence has it";

    const DictationResult result = compareDictation(u"The cat sat on the mat.", u"the cat sit on mat today");
    EXPECT_EQ(result.right, 4);
    EXPECT_EQ(result.total, 6);
    using enum WordMark;
    EXPECT_EQ(marks(result), (std::vector<std::pair<std::u16string, WordMark>>{{u"The", Right},
                                                                               {u"cat", Right},
                                                                               {u"sit", Wrong},
                                                                               {u"sat", Missing},
                                                                               {u"on", Right},
                                                                               {u"the", Missing},
                                                                               {u"mat.", Right},
                                                                               {u"today", Wrong}}));
    // Punctuation alone is no word; nothing typed marks every word missing.
    EXPECT_EQ(compareDictation(u"Yes - no.", u"yes no").total, 2);
    const DictationResult empty = compareDictation(u"Hello there", u"  ");
    EXPECT_EQ(empty.right, 0);
    EXPECT_EQ(empty.words.size(), 2u);
    EXPECT_EQ(compareDictation(u"", u"typed").total, 0);
}

TEST(Dictation, ScoresRoundTripKeepTheBestAndDropBrokenLines) {
    TempDir dir;
    const std::u16string xml = dir.file("lesson.xml");
    const std::u16string path = DictationScores::pathFor(xml);
    EXPECT_EQ(path, dir.file("lesson.dictation.txt"));

    DictationScores scores;
    EXPECT_FALSE(scores.load(path)) << "no file yet";
    scores.record(2, compareDictation(u"one two three", u"one two three"));
    scores.record(2, compareDictation(u"one two three", u"one"));
    scores.record(0, compareDictation(u"a b", u"a"));
    ASSERT_TRUE(scores.save(path));

    std::ifstream in(dir.native("lesson.dictation.txt"), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), "0\t1\t2\t1\t1\r\n2\t1\t3\t3\t2\r\n");

    {
        std::ofstream out(dir.native("lesson.dictation.txt"), std::ios::binary | std::ios::app);
        out << "junk line\r\n7\t9\t3\t1\t1\r\n5\t1\t2\t2\t0\r\n4\t1\t2\t2\t3";
    }
    DictationScores read;
    ASSERT_TRUE(read.load(path));
    ASSERT_EQ(read.all().size(), 3u) << "more right than words, or no tries, is dropped";
    const DictationScore* two = read.find(2);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->lastRight, 1);
    EXPECT_EQ(two->bestRight, 3);
    EXPECT_EQ(two->tries, 2);
    EXPECT_NE(read.find(4), nullptr) << "a last line without a line end";

    // A folder that cannot be written loses nothing and says so.
    EXPECT_FALSE(scores.save(dir.file("missing/lesson.dictation.txt")));
}

TEST(StudySettingsText, TempoListsParseOnlyWhenEveryItemIsATempo) {
    EXPECT_EQ(StudySettings::parseTempos(u"70, 85,100"), (std::vector<int>{70, 85, 100}));
    EXPECT_EQ(StudySettings::formatTempos({70, 85, 100}), u"70,85,100");
    for (const char16_t* bad : {u"", u"70,,100", u"70,fast", u"40,100", u"70,361", u"1,2,3", u"99999"})
        EXPECT_TRUE(StudySettings::parseTempos(bad).empty())
            << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
    EXPECT_TRUE(StudySettings::parseTempos(u"50,60,70,80,90,100,110,120,130").empty()) << "at most eight";
}

}  // namespace
