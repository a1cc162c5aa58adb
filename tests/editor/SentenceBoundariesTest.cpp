// Sentence ends in English, Japanese and mixed text: the rules one at a time,
// then whole texts from tests/editor/data walked sentence by sentence the way
// the editor's "next sentence" key walks them.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/SentenceBoundaries.h"
#include "text/TextFile.h"

namespace {

// The text of the sentence starting at start, as sentenceEnd delimits it.
std::u16string firstSentence(std::u16string_view text, int start = 0) {
    const int end = sentenceEnd(text, start);
    return std::u16string(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
}

struct EndCase {
    const char* rule;
    const char16_t* text;
    const char16_t* sentence;
};

TEST(SentenceEnd, FollowsEachRule) {
    const EndCase cases[] = {
        {"titles do not end a sentence", u"This is Mr. Smith. He is here. And more text.", u"This is Mr. Smith. "},
        {"Mrs and Dr", u"Ask Mrs. Brown and Dr. Lee. Then go.", u"Ask Mrs. Brown and Dr. Lee. "},
        {"an initial", u"The author J. Smith wrote it. Then he left.", u"The author J. Smith wrote it. "},
        {"a month abbreviation", u"It opened on Jan. 5 in Tokyo. It closed.", u"It opened on Jan. 5 in Tokyo. "},
        {"June at the start before a number", u"June. 5 was the day. Then more.", u"June. 5 was the day. "},
        {"a decimal point", u"Prices rose 2.5 percent. Then fell.", u"Prices rose 2.5 percent. "},
        {"a lower-case word after the period", u"Use e.g. the first one. Next one.", u"Use e.g. the first one. "},
        {"too close to the start", u"Yes. I agree with you. Then.", u"Yes. I agree with you. "},
        {"a capital and a small letter read as a title", u"I said No. Then I left.", u"I said No. Then I left."},
        {"a question mark", u"Is it true? Yes it is.", u"Is it true? "},
        {"a closing double quote is taken along", u"He said \"Go away.\" Then he left.", u"He said \"Go away.\" "},
        {"an apostrophe likewise", u"She said 'Stop here.' And I did.", u"She said 'Stop here.' "},
        {"a closing parenthesis is taken, not the space", u"It was cheap (only 3 dollars.) Then more.",
         u"It was cheap (only 3 dollars.)"},
        {"a semicolon ends before lower case", u"It rained all day; we stayed in.", u"It rained all day; "},
        {"a colon needs twenty characters", u"Note: this is short. Then more.", u"Note: this is short. "},
        {"a long colon ends", u"These are the three points: first, second.", u"These are the three points: "},
        {"an ideographic space after the period", u"This is a pen.\u3000これはペンです。", u"This is a pen.\u3000"},
        {"punctuation near the end takes the rest", u"Is it over?!\n", u"Is it over?!\n"},
        {"the text ends", u"No end here", u"No end here"},
        {"an em dash ends before itself", u"Wait \u2014 there is more.", u"Wait "},
        {"an em dash before a quote is kept with it", u"\"Stop\u2014\" he cried.", u"\"Stop\u2014\""},
        {"an em dash before two quotes", u"said \u2014\"' and more", u"said \u2014\"'"},
        {"an em dash at the line start does not end", u"\u2014 Yes, sir. Go.", u"\u2014 Yes, sir. "},
        {"curly quotes are neutral", u"\u201cHello,\u201d she said. Bye.", u"\u201cHello,\u201d she said. "},
        {"a Japanese full stop", u"今日は晴れです。明日は雨です。", u"今日は晴れです。"},
        {"closing brackets follow the full stop", u"「そうです。」と言った。", u"「そうです。」"},
        {"a full-width question mark", u"元気ですか？はい。", u"元気ですか？"},
        {"a full-width period before a digit", u"速さを０．８倍にする。次へ。", u"速さを０．８倍にする。"},
        {"a full-width period ends otherwise", u"これで終わり．次です。", u"これで終わり．"},
        {"repeated marks stay with the sentence", u"本当？？。次。", u"本当？？。"},
        {"an English line before a capital", u"A title without a stop\nThe body starts here.",
         u"A title without a stop\n"},
        {"an English line before lower case goes on", u"Could you tell me\nthe way to the museum? Yes.",
         u"Could you tell me\nthe way to the museum? "},
        {"an English line before Japanese", u"Good morning\nおはよう。", u"Good morning\n"},
        {"an English sentence goes on, then meets Japanese", u"good morning to\nyou all\nおはよう。",
         u"good morning to\nyou all\n"},
        {"a Japanese line goes on over Japanese", u"博物館への行き方を\n教えてください。次。",
         u"博物館への行き方を\n教えてください。"},
        {"a Japanese line ends before an English line", u"駅はどこ\nWhere is it\n", u"駅はどこ\n"},
        {"a blank line ends a continued sentence", u"日本語の行\n\n次の段落", u"日本語の行\n"},
        {"a closing bracket before a break ends", u"(a note)\nmore words here", u"(a note)\n"},
        {"a bullet ends before the last break character", u"りんごの木\r\n・apple\r\n", u"りんごの木\r"},
        {"a tab opens a list item too", u"いちご\n\tstrawberry", u"いちご"},
        {"CR LF is one break", u"A title\r\nThe text.", u"A title\r\n"},
    };
    for (const EndCase& c : cases) EXPECT_EQ(firstSentence(c.text), c.sentence) << c.rule;
}

TEST(SentenceEnd, AnyStartGivesAnEndWithinTheText) {
    std::mt19937 random(3);
    const std::u16string pieces[] = {u"a",  u"B",  u".",  u"?",      u":",  u";", u" ",  u"\n", u"\r\n",   u"\t", u"。",
                                     u"」", u"．", u"１", u"\u2014", u"\"", u"'", u"・", u"語", u"\u3000", u")"};
    for (int round = 0; round < 300; ++round) {
        std::u16string text;
        for (int k = static_cast<int>(random() % 60); k > 0; --k) text += pieces[random() % std::size(pieces)];
        const int n = static_cast<int>(text.size());
        for (int start = -2; start <= n + 2; ++start) {
            const int end = sentenceEnd(text, start);
            ASSERT_GE(end, std::clamp(start, 0, n));
            ASSERT_LE(end, n);
        }
        // Walking forwards and backwards always moves on and always stops.
        for (int position = 0; position <= n;) {
            const SentenceSpan next = sentenceRange(text, position, SentenceDirection::Next);
            ASSERT_LE(next.end, n);
            position = std::max(next.end, position + 1);
        }
        for (int position = 0; position <= n; ++position) {
            const SentenceSpan previous = sentenceRange(text, position, SentenceDirection::Previous);
            ASSERT_LE(previous.start, previous.end);
            ASSERT_LE(previous.end, n);
        }
    }
}

TEST(SentenceRange, NextSkipsWhitespaceFirst) {
    const std::u16string text = u"First one here.  \n Second one here.";
    EXPECT_EQ(sentenceRange(text, 15, SentenceDirection::Next), (SentenceSpan{19, 35}));
    EXPECT_EQ(sentenceRange(text, 0, SentenceDirection::Next), (SentenceSpan{0, 16}));
    EXPECT_EQ(sentenceRange(text, 99, SentenceDirection::Next), (SentenceSpan{35, 35}));
}

TEST(SentenceRange, PreviousIsTheLastSentenceStartingBeforeThePosition) {
    const std::u16string text = u"One is here. Two is here. Three is here.";
    // Sentences start at 0, 13 and 26.
    EXPECT_EQ(sentenceRange(text, 26, SentenceDirection::Previous), (SentenceSpan{13, 26}));
    EXPECT_EQ(sentenceRange(text, 20, SentenceDirection::Previous), (SentenceSpan{13, 26}));
    EXPECT_EQ(sentenceRange(text, 14, SentenceDirection::Previous), (SentenceSpan{13, 26}));
    EXPECT_EQ(sentenceRange(text, 13, SentenceDirection::Previous), (SentenceSpan{0, 13}));
    EXPECT_EQ(sentenceRange(text, 40, SentenceDirection::Previous), (SentenceSpan{26, 40}));
    EXPECT_EQ(sentenceRange(text, 0, SentenceDirection::Previous), (SentenceSpan{0, 13}));
}

TEST(SentenceRange, PreviousInsideAVeryLongSentenceGivesItsVisibleTail) {
    std::u16string text = u"Short one. ";
    const int longStart = static_cast<int>(text.size());
    for (int i = 0; i < 60; ++i) text += u"word and ";
    text += u"end. Next.";
    const int position = static_cast<int>(text.size()) - 8;  // inside "end."
    const SentenceSpan previous = sentenceRange(text, position, SentenceDirection::Previous);
    EXPECT_EQ(previous.start, position - 256);
    EXPECT_GT(previous.start, longStart);
    EXPECT_EQ(previous.end, static_cast<int>(text.size()) - 5);
}

// The sentences of a data file, whitespace around each one dropped, as the
// editor's sentence navigation steps through them.
std::vector<std::u16string> walk(const char* name) {
    std::u16string text;
    const std::string path = std::string(VELTRIX_EDITOR_TEST_DATA) + "/" + name;
    // Plain ASCII files read as narrow text, the others as UTF-8.
    EXPECT_GE(readTextFile(std::u16string(path.begin(), path.end()), text), 0) << name;
    std::vector<std::u16string> sentences;
    for (int position = 0;;) {
        const SentenceSpan span = sentenceRange(text, position, SentenceDirection::Next);
        if (span.start >= static_cast<int>(text.size())) break;
        std::u16string sentence =
            text.substr(static_cast<std::size_t>(span.start), static_cast<std::size_t>(span.end - span.start));
        while (!sentence.empty() && (sentence.back() == u' ' || sentence.back() == u'\n' || sentence.back() == u'\r'))
            sentence.pop_back();
        sentences.push_back(sentence);
        position = std::max(span.end, span.start + 1);
    }
    return sentences;
}

TEST(SentenceTexts, NewsArticle) {
    const std::vector<std::u16string> expected = {
        u"Japan's economy grows for a third quarter",
        u"TOKYO - Japan's economy grew 0.6 percent in the April-June quarter, the government said on Monday.",
        u"It was the third straight quarter of growth.",
        u"Economists had expected a rise of 0.4 percent.",
        u"\"Consumer spending held up better than we thought,\" said Dr. Keiko Tanaka, chief economist at a "
        u"Tokyo research institute.",
        u"She added that exports to the U.S. remained weak.",
        u"Mr. Smith, who met Prime Minister Ito on Jan. 15, said the talks went well.",
        // Only a sentence that opens with the month keeps "Sept." whole.
        u"The next round is set for Sept.",
        u"5 in Washington.",
        // A semicolon always ends a sentence.
        u"Prices rose 2.1% from a year earlier;",
        u"energy costs fell.",
        u"Will the central bank act?",
        u"Few analysts think so!",
    };
    EXPECT_EQ(walk("news.txt"), expected);
}

TEST(SentenceTexts, DialogueWithQuotes) {
    const std::vector<std::u16string> expected = {
        // The speech ends at its closing quote; the speaker tag stands alone.
        u"\"Are you coming to the party tonight?\"",
        u"Mary asked.",
        u"\"I'm not sure,\" said Tom.",
        u"\"I have a lot of homework.\"",
        u"\"Oh, come on!",
        u"It'll be fun.\"",
        u"He smiled.",
        u"'Well, maybe for an hour.'",
        // An em dash after a word ends the sentence before the dash.
        u"\"Great",
        u"\u2014 see you at eight!\"",
    };
    EXPECT_EQ(walk("dialogue.txt"), expected);
}

TEST(SentenceTexts, JapaneseParagraph) {
    const std::vector<std::u16string> expected = {
        u"今日は朝から雨が降っていた。",
        u"駅までの道は人が少なく、いつもより静かだった。",
        // A quoted question ends at its closing bracket, apart from the "と" that reports it.
        u"「傘を忘れたの？」",
        u"と母が聞いた。",
        u"私は笑って首を振った。",
        u"電車の中で英語のニュースを聞いた。",
        u"速さを０．８倍にすると、よく分かる。",
        u"（本当に便利だ。）",
    };
    EXPECT_EQ(walk("japanese.txt"), expected);
}

TEST(SentenceTexts, BilingualStudyText) {
    const std::vector<std::u16string> expected = {
        u"Where is the station?",
        u"駅はどこですか？",
        u"It is five minutes from here.",
        u"ここから五分です。",
        u"Could you tell me\nthe way to the museum?",
        u"博物館への行き方を\n教えていただけますか？",
        u"・apple\u3000りんご",
        u"・orange\u3000オレンジ",
        u"I have lived in Tokyo for ten years.",
        u"東京に十年住んでいます。",
    };
    EXPECT_EQ(walk("bilingual.txt"), expected);
}

}  // namespace
