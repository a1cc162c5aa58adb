// Code-page conversion: UTF-8, Shift_JIS (932), EUC-JP (20932) and the Win32
// sizing rules callers depend on.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/common/Unicode.h"
#include "platform/win32.h"

namespace {

std::u16string toWide(UINT cp, std::string_view bytes) {
    int n = MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    if (n) MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::string toNarrow(UINT cp, std::u16string_view text, BOOL* usedDefault = nullptr) {
    int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, usedDefault);
    std::string out(static_cast<std::size_t>(n), '\0');
    if (n) WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, usedDefault);
    return out;
}

const std::u16string kJapanese = u"日本語の文章です。ｶﾀｶﾅ ① Ⅱ ～ ￥ English 123";

}  // namespace

TEST(CodePage, ShiftJisKnownBytes) {
    EXPECT_EQ(toNarrow(932, u"あ"), "\x82\xA0");
    EXPECT_EQ(toNarrow(932, u"日本"), "\x93\xFA\x96\x7B");
    EXPECT_EQ(toNarrow(932, u"ｱ"), "\xB1");
    // The NEC and IBM extensions both hold U+2252; Windows writes the NEC row-13 code.
    EXPECT_EQ(toNarrow(932, u"≒"), "\x81\xE0");
    EXPECT_EQ(toWide(932, "\x87\x40"), u"①");
    EXPECT_EQ(toWide(932, "\xFA\x40"), u"ⅰ");
    EXPECT_EQ(toWide(932, "\x5C\x7E"), u"\\~");
}

TEST(CodePage, RoundTripsInEveryCodePage) {
    for (UINT cp : {932u, 20932u, 65001u, 0u}) {
        SCOPED_TRACE(cp);
        std::u16string text = cp == 20932 ? u"日本語の文章です。ｶﾀｶﾅ English" : kJapanese;
        EXPECT_EQ(toWide(cp, toNarrow(cp, text)), text);
    }
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
    BOOL usedDefault = FALSE;
    // An emoji (a surrogate pair) is one character and gets one "?".
    EXPECT_EQ(toNarrow(932, u"a\U0001F600b한", &usedDefault), "a?b?");
    EXPECT_TRUE(usedDefault);
    usedDefault = FALSE;
    EXPECT_EQ(toNarrow(932, u"abc", &usedDefault), "abc");
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(toNarrow(20932, u"x한y"), "x?y");
}

TEST(CodePage, BrokenShiftJisNeverReadsPastTheEnd) {
    // A lead byte at the very end, and one followed by a byte that cannot trail.
    EXPECT_EQ(toWide(932, "a\x82"), u"a\u30FB");
    EXPECT_EQ(toWide(932, "\x82\x20z"), u"\u30FB z");
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 40 + 1, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        for (UINT cp : {932u, 20932u, 65001u}) {
            std::u16string wide = toWide(cp, bytes);
            EXPECT_LE(wide.size(), bytes.size());
        }
    }
}

TEST(CodePage, Utf8MalformedInputBecomesReplacementCharacters) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"\xC3\xA9", u"é"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},            // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
        {"\xE3\x81", u"\uFFFD"},                  // truncated sequence
        {"a\xFF"
         "b",
         u"a\uFFFDb"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(veltrix::unicode::utf8ToUtf16(c.bytes), c.text);
    // A lone surrogate cannot be written as UTF-8.
    EXPECT_EQ(veltrix::unicode::utf16ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
}

TEST(CodePage, Win32SizingRules) {
    char16_t small[2];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(932, 0, "abc", 3, small, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    // -1 counts the terminating zero.
    EXPECT_EQ(MultiByteToWideChar(932, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(WideCharToMultiByte(932, 0, u"あ", -1, nullptr, 0, nullptr, nullptr), 3);
    EXPECT_EQ(MultiByteToWideChar(932, 0, "abc", 0, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    // UTF-8 takes no default character.
    BOOL used;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, nullptr, 0, nullptr, &used), 0);
    EXPECT_EQ(GetACP(), CP_UTF8);
}
