// The language of a sentence, and bilingual texts cut into runs of one
// language, as the bilingual tools pair them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/LanguageDetection.h"
#include "text/TextFile.h"

namespace {

struct LanguageCase {
    const char* why;
    std::u16string sentence;
    Language language;
};

TEST(LanguageOf, DecidesByTheTellingCharacters) {
    const LanguageCase cases[] = {
        {"kana", u"ありがとう", Language::Japanese},
        {"plain English", u"Thank you.", Language::English},
        {"one kanji in a long English sentence", u"My teacher wrote the kanji 山 on the board.", Language::English},
        {"a kanji in a short sentence", u"I like 寿司", Language::Japanese},
        {"kanji only", u"東京大学", Language::Japanese},
        {"the third kanji decides", u"The words 日 and 月 and 火 are on calendars.", Language::Japanese},
        {"a Japanese full stop", u"OK。", Language::Japanese},
        {"full-width Latin letters", u"ＡＢＣ", Language::Japanese},
        {"the middle dot alone is no kana", u"・apple", Language::English},
        {"digits", u"1234", Language::English},
        {"a circled ideograph is neutral", u"\u3231", Language::Japanese},
        {"an ideographic space after English", u"Hello there\u3000", Language::Japanese},
        {"nothing telling", u"  \t", Language::Japanese},
        {"empty", u"", Language::Japanese},
    };
    for (const LanguageCase& c : cases) EXPECT_EQ(languageOf(c.sentence), c.language) << c.why;
}

TEST(LanguageOf, LooksAtTheFirstThousandCodeUnitsOnly) {
    std::u16string sentence(1000, u'a');
    EXPECT_EQ(languageOf(sentence + u"です"), Language::English);
    EXPECT_EQ(languageOf(sentence.substr(1) + u"です"), Language::Japanese);
}

std::vector<std::u16string> runTexts(std::u16string_view text, const LanguageRuns& runs) {
    std::vector<std::u16string> texts;
    for (const SentenceSpan& run : runs.runs)
        texts.emplace_back(
            text.substr(static_cast<std::size_t>(run.start), static_cast<std::size_t>(run.end - run.start)));
    return texts;
}

TEST(SplitByLanguage, CutsWhereTheLanguageChanges) {
    const std::u16string text = u"Hello there. How are you? お元気ですか？ I am fine.";
    const LanguageRuns runs = splitByLanguage(text);
    EXPECT_EQ(runs.first, Language::English);
    EXPECT_EQ(runTexts(text, runs),
              (std::vector<std::u16string>{u"Hello there. How are you? ", u"お元気ですか？ ", u"I am fine."}));
}

TEST(SplitByLanguage, ATextWithoutSentencesIsOneRun) {
    for (std::u16string text : {u"", u"A", u"   ", u"あ"}) {
        const LanguageRuns runs = splitByLanguage(text);
        ASSERT_EQ(runs.runs.size(), 1u);
        EXPECT_EQ(runs.runs[0], (SentenceSpan{0, static_cast<int>(text.size())}));
    }
    EXPECT_EQ(splitByLanguage(u"A").first, Language::English);
    EXPECT_EQ(splitByLanguage(u"あ").first, Language::Japanese);
}

TEST(SplitByLanguage, OneLanguageThroughoutIsOneRun) {
    const std::u16string text = u"  One sentence here. Another one here.\n";
    const LanguageRuns runs = splitByLanguage(text);
    EXPECT_EQ(runs.runs, (std::vector<SentenceSpan>{{0, static_cast<int>(text.size())}}));
    EXPECT_EQ(runs.first, Language::English);
}

TEST(SplitByLanguage, PairsTheBilingualStudyText) {
    std::u16string text;
    const std::string path = std::string(VELTRIX_EDITOR_TEST_DATA) + "/bilingual.txt";
    ASSERT_EQ(readTextFile(std::u16string(path.begin(), path.end()), text), 3);
    const LanguageRuns runs = splitByLanguage(text);
    EXPECT_EQ(runs.first, Language::English);
    const std::vector<std::u16string> expected = {
        u"Where is the station?\n",
        u"駅はどこですか？\n",
        u"It is five minutes from here.\n",
        u"ここから五分です。\n",
        u"Could you tell me\nthe way to the museum?\n",
        // The word pairs hold kana, so they go with the Japanese run.
        u"博物館への行き方を\n教えていただけますか？\n・apple\u3000りんご\n・orange\u3000オレンジ\n",
        u"I have lived in Tokyo for ten years. ",
        u"東京に十年住んでいます。\n",
    };
    EXPECT_EQ(runTexts(text, runs), expected);
}

}  // namespace
