// The byte statistics that tell Shift_JIS, UTF-8 and EUC-JP apart, and the
// EUC-JP to Shift_JIS step.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "text/EncodingDetection.h"
#include "text/NarrowText.h"

namespace {

const unsigned char* bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

int detect(const std::string& s) { return detectEncoding(bytes(s), s.size()); }

std::string repeat(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += s;
    return out;
}

}  // namespace

TEST(EncodingCounts, CountOnlyBytesOfRecognisedSequences) {
    struct Case {
        std::string data;
        std::int64_t sjis, utf8, euc;
    };
    const Case cases[] = {
        {"abc", 3, 3, 3},
        {"\x82\xA0", 2, 0, 0},                // あ in Shift_JIS; 82 starts no EUC-JP sequence
        {"\xE3\x81\x82", 2, 3, 0},             // あ in UTF-8
        {"\xA4\xA2", 2, 0, 2},                 // あ in EUC-JP; both bytes pass as half-width katakana
        {"\x8E\xB1", 2, 0, 2},                 // half-width katakana in EUC-JP
        {"\x8F\xB0\xA1", 3, 0, 3},             // JIS X 0212 in EUC-JP
        {"\xE3\x81", 2, 0, 0},                 // a UTF-8 sequence cut at the end is not counted
        {"\xF0\x9F\x98\x80", 4, 4, 0},
        {"\x80z", 1, 1, 0},                    // 80 before another byte spoils the EUC-JP count
        {"z\x80", 1, 1, 1},                    // but not as the last byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.data));
        EXPECT_EQ(shiftJisCount(bytes(c.data), c.data.size()), c.sjis);
        EXPECT_EQ(utf8Count(bytes(c.data), c.data.size()), c.utf8);
        EXPECT_EQ(eucJpCount(bytes(c.data), c.data.size()), c.euc);
    }
}

TEST(EncodingDetection, RecognisesJapaneseInEachEncoding) {
    // "語" ends in EC in EUC-JP, which cannot lead a Shift_JIS pair before a line
    // break: that is what gives EUC-JP away.
    const std::u16string text = u"英語の勉強を毎日続けましょう。The news is read slowly. 英語\r\n";
    std::string sjis = encodeCodePage(text, 932), utf8 = encodeCodePage(text, CP_UTF8),
                euc = encodeCodePage(text, 20932);
    // Long texts (100 bytes and more) and short ones, decided by different steps.
    EXPECT_EQ(detect(repeat(sjis, 5)), 0);
    EXPECT_EQ(detect(repeat(utf8, 5)), 3);
    EXPECT_EQ(detect(repeat(euc, 5)), 6);
    EXPECT_EQ(detect(sjis), 0);
    EXPECT_EQ(detect(utf8), 3);
    EXPECT_EQ(detect(euc), 6);
    EXPECT_EQ(detect("Plain ASCII text.\r\n"), 0);
    EXPECT_EQ(detect(""), 0);
    EXPECT_EQ(detect(std::string("text\0more", 9)), 7);
}

TEST(EncodingDetection, WellFormedUtf8ThatIsAlsoValidShiftJisReadsAsUtf8) {
    // Every byte of this UTF-8 text also forms valid Shift_JIS; the counts alone
    // would take it for Shift_JIS.
    std::string utf8 = encodeCodePage(u"ＭＳ Ｐゴシック", CP_UTF8);
    ASSERT_EQ(shiftJisCount(bytes(utf8), utf8.size()), static_cast<std::int64_t>(utf8.size()));
    EXPECT_EQ(detect(utf8), 3);
    EXPECT_EQ(detect(repeat(utf8 + "\r\n", 30)), 3);
    // Shift_JIS text is not well-formed UTF-8 and stays Shift_JIS.
    EXPECT_EQ(detect(encodeCodePage(u"ＭＳ Ｐゴシック", 932)), 0);
    EXPECT_EQ(detect(encodeCodePage(u"ｶﾀｶﾅ", 932)), 0);
}

TEST(EncodingDetection, EucJpThatIsAlsoValidShiftJisReadsAsShiftJis) {
    // Every byte of "あい" in EUC-JP (A4 A2 A4 A4) is a half-width katakana in
    // Shift_JIS; Shift_JIS is preferred whenever all bytes fit it.
    EXPECT_EQ(detect(encodeCodePage(u"あい", 20932)), 0);
}

TEST(EncodingDetection, ShortFilesChooseByTheCountsAlone) {
    // Under 100 bytes the "mostly unrecognised" rule never applies: one odd byte
    // in ASCII text is enough for UTF-8 (utf8 > euc, both not below sjis).
    EXPECT_EQ(detect("caf\xE9 au lait"), 3);
    // With more than 100 bytes that no encoding recognises (Latin-1 text), the
    // text is taken as narrow.
    EXPECT_EQ(detect(repeat("caf\xE9 ", 150)), 0);
    EXPECT_EQ(detect(repeat("caf\xE9 ", 15)), 3);
}

TEST(EucJpToShiftJis, AgreesWithTheCodePageForEveryJisX0208Character) {
    int checked = 0;
    // Rows 1 to 84 (leads A1 to F4); the user-defined rows beyond have no JIS code.
    for (int lead = 0xA1; lead <= 0xF4; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            std::string euc{static_cast<char>(lead), static_cast<char>(trail)};
            std::u16string expected = decodeCodePage(euc, 20932);
            if (expected.size() != 1 || expected[0] == 0x30FB || expected[0] == 0xFFFD) continue;
            std::string sjis = euc;
            eucJpToShiftJis(sjis);
            std::u16string got = decodeCodePage(sjis, 932);
            // Characters with two Unicode forms may differ (e.g. U+FF5E/U+301C);
            // what must hold is that both name the same JIS code.
            if (got != expected) {
                EXPECT_EQ(encodeCodePage(got, 20932), euc) << std::hex << lead << " " << trail;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 6800);
}

TEST(EucJpToShiftJis, HalfWidthKatakanaAndSupplementaryKanji) {
    std::string data = "\x8E\xB1\xA4\xA2z\x8F\xB0\xA1\xA4";
    eucJpToShiftJis(data);
    // ｱ becomes its single Shift_JIS byte; JIS X 0212 has no Shift_JIS form; a
    // lone lead byte at the end is left alone.
    EXPECT_EQ(data, "\xB1\x82\xA0z?\xA4");
}
