// Where word moves stop: the character classes, separators and line breaks,
// and the word-break procedure's codes.
#include <gtest/gtest.h>

#include <string>

#include "editor/WordBreak.h"

namespace {

TEST(WordBreak, RightStopsAtTheEndOfEachRun) {
    const std::u16string text = u"abc_d 12x, ..!!";
    EXPECT_EQ(wordRight(text, 0), 5);    // letters and "_" are one class
    EXPECT_EQ(wordRight(text, 5), 8);    // the space, then the digits
    EXPECT_EQ(wordRight(text, 8), 9);    // "x"
    EXPECT_EQ(wordRight(text, 9), 10);   // "," alone
    EXPECT_EQ(wordRight(text, 10), 13);  // " ", then ".." as one run
    EXPECT_EQ(wordRight(text, 13), 15);  // "!!"
    EXPECT_EQ(wordRight(text, 15), 15);
    EXPECT_EQ(wordRight(text, 99), 15);
}

TEST(WordBreak, LeftStopsAtTheStartOfEachRun) {
    const std::u16string text = u"abc_d 12x, ..!!";
    EXPECT_EQ(wordLeft(text, 15), 13);
    EXPECT_EQ(wordLeft(text, 13), 11);
    EXPECT_EQ(wordLeft(text, 11), 9);  // the space, then ","
    EXPECT_EQ(wordLeft(text, 9), 8);
    EXPECT_EQ(wordLeft(text, 8), 6);
    EXPECT_EQ(wordLeft(text, 6), 0);
    EXPECT_EQ(wordLeft(text, 3), 0);
    EXPECT_EQ(wordLeft(text, 0), 0);
    EXPECT_EQ(wordLeft(text, -4), 0);
}

TEST(WordBreak, JapaneseRuns) {
    // Kanji, then katakana with its long-vowel mark, then hiragana.
    const std::u16string text = u"日本語テキストーです。";
    EXPECT_EQ(wordRight(text, 0), 3);
    EXPECT_EQ(wordRight(text, 3), 8);
    EXPECT_EQ(wordRight(text, 8), 10);
    EXPECT_EQ(wordRight(text, 10), 11);  // "。" is a word by itself
    EXPECT_EQ(wordLeft(text, 10), 8);
    EXPECT_EQ(wordLeft(text, 8), 3);
    EXPECT_EQ(wordLeft(text, 3), 0);
    // A katakana run takes a kanji-range unit below U+4E00 along; a kanji
    // run takes everything from U+4E00 up.
    EXPECT_EQ(wordRight(u"カ\u4DB5x", 0), 2);
    EXPECT_EQ(wordRight(u"漢\uFF71x", 0), 2);
    EXPECT_EQ(wordRight(u"éè", 0), 1);
}

TEST(WordBreak, LineBreaksSkipAllWhitespace) {
    const std::u16string text = u"one  \r\n\t two\nthree";
    EXPECT_EQ(wordRight(text, 3), 9);  // spaces, then the break and the blanks after it
    EXPECT_EQ(wordLeft(text, 9), 3);
    // A bare LF after a letter run goes with the run.
    EXPECT_EQ(wordRight(text, 9), 13);
    EXPECT_EQ(wordLeft(u"\r\n  x", 4), 0);
}

TEST(WordBreak, ProcedureCodes) {
    std::u16string text = u"ab cd";
    for (int code : {0, 4, 6}) EXPECT_EQ(defaultWordBreakProc(text.data(), 4, 5, code), 3) << code;
    for (int code : {1, 5, 7}) EXPECT_EQ(defaultWordBreakProc(text.data(), 0, 5, code), 2) << code;
    EXPECT_TRUE(defaultWordBreakProc(text.data(), 2, 5, WB_ISDELIMITER));
    EXPECT_FALSE(defaultWordBreakProc(text.data(), 1, 5, WB_ISDELIMITER));
    EXPECT_FALSE(defaultWordBreakProc(text.data(), 9, 5, WB_ISDELIMITER));
    EXPECT_EQ(defaultWordBreakProc(nullptr, 0, 5, 1), 0);
}

}  // namespace
