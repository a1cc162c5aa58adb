// The byte statistics that tell Shift_JIS, UTF-8 and EUC-JP apart, and the
// EUC-JP to Shift_JIS step.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "platform/win32.h"
#include "text/EncodingDetection.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"

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
        {"\x82\xA0", 2, 0, 0},      // あ in Shift_JIS; 82 starts no EUC-JP sequence
        {"\xE3\x81\x82", 2, 3, 0},  // あ in UTF-8
        {"\xA4\xA2", 2, 0, 2},      // あ in EUC-JP; both bytes pass as half-width katakana
        {"\x8E\xB1", 2, 0, 2},      // half-width katakana in EUC-JP
        {"\x8F\xB0\xA1", 3, 0, 3},  // JIS X 0212 in EUC-JP
        {"\xE3\x81", 2, 0, 0},      // a UTF-8 sequence cut at the end is not counted
        {"\xF0\x9F\x98\x80", 4, 4, 0},
        {"\x80z", 1, 1, 0},  // 80 before another byte spoils the EUC-JP count
        {"z\x80", 1, 1, 1},  // but not as the last byte
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

// Reading a file without a mark first tries it as strict UTF-8, which both
// recognises and decodes it; the code it gives and the text must be what the
// byte statistics and a decode with that code give.
namespace {

void expectDecodingAgreesWithTheStatistics(const std::string& data, int* codeSeen = nullptr) {
    SCOPED_TRACE(testing::PrintToString(data.substr(0, 200)));
    const int expected = detectEncoding(bytes(data), data.size());
    std::u16string detected = u"left over from an earlier file";
    ASSERT_EQ(decodeBytes(data.data(), data.size(), detected, encoding::kDetect), expected);
    std::u16string decoded;
    decodeBytes(data.data(), data.size(), decoded, expected);
    EXPECT_EQ(detected, decoded);
    if (codeSeen) *codeSeen = expected;
}

}  // namespace

TEST(EncodingDetection, DecodingAsUtf8AgreesWithTheByteStatistics) {
    setNarrowCodePage(932);
    const std::u16string japanese = u"英語の勉強を毎日続けましょう。The news is read slowly.\r\n";
    const std::string samples[] = {
        "",
        "Plain ASCII text.\r\n",
        encodeCodePage(japanese, CP_UTF8),
        encodeCodePage(japanese, 932),
        encodeCodePage(japanese, 20932),
        repeat("caf\xC3\xA9 ", 40),
        repeat("\xC3\xA9\xC3\xB1", 60),
        encodeCodePage(u"ＭＳ Ｐゴシック", CP_UTF8),
        std::string("UTF-8 \xE3\x81\x82 with\0zero", 19),
        repeat("caf\xE9 ", 30),
        "\xEF\xBB",
        "\xE3\x81",
    };
    for (const std::string& sample : samples) {
        expectDecodingAgreesWithTheStatistics(sample);
        expectDecodingAgreesWithTheStatistics(repeat(sample, 7));
    }
    std::mt19937 random(34);
    int seen[8] = {};  // by code
    for (int round = 0; round < 6000; ++round) {
        // Well-formed UTF-8, Japanese text in each encoding, or loose bytes,
        // short and long (the statistics treat 100 bytes and more differently).
        std::string data;
        const std::size_t length = random() % 300;
        switch (round % 4) {
            case 0:
                while (data.size() < length) {
                    static const char* const pieces[] = {"a",
                                                         " ",
                                                         "\xC3\xA9",
                                                         "\xE3\x81\x82",
                                                         "\xEF\xBD\xB6",
                                                         "\xE4\xBA\x9C",
                                                         "\xF0\x9F\x98\x80",
                                                         "\xC2\xA1",
                                                         "\r\n"};
                    data += pieces[random() % std::size(pieces)];
                }
                break;
            case 1: {
                std::u16string text;
                while (text.size() < length / 2) text += japanese[random() % japanese.size()];
                data = encodeCodePage(text, std::array<unsigned, 3>{932u, 20932u, CP_UTF8}[random() % 3]);
                break;
            }
            default:
                for (std::size_t i = 0; i < length; ++i)
                    data += static_cast<char>(random() % 3 ? 0xA0 + random() % 0x60 : 0x20 + random() % 0x60);
                break;
        }
        // Now and then one byte spoiled.
        if (!data.empty() && random() % 4 == 0) data[random() % data.size()] = static_cast<char>(random());
        // Data that begins with a byte-order mark is read by the mark, without detection.
        if (data.size() >= 2 && (data.compare(0, 2, "\xFF\xFE") == 0 || data.compare(0, 2, "\xFE\xFF") == 0 ||
                                 data.compare(0, 3, "\xEF\xBB\xBF") == 0))
            data.insert(0, "x");
        int code = 0;
        expectDecodingAgreesWithTheStatistics(data, &code);
        ++seen[code];
        if (HasFailure()) break;
    }
    // Every outcome of detection was reached.
    for (int code : {0, 3, 6, 7}) EXPECT_GT(seen[code], 0) << code;
    setNarrowCodePage(0);
}

TEST(EncodingDetection, LargeUtf8DecodedInPiecesAgreesWithTheStatistics) {
    // Text of several of the pieces strict decoding goes by, with sequences
    // of each length across each boundary, and an ill-formed sequence or a
    // cut-off one near a boundary or at the very end.
    setNarrowCodePage(932);
    const std::string line =
        "Listening every day \xE6\xAF\x8E\xE6\x97\xA5\xE8\x81\x9E\xE3\x81\x8F caf\xC3\xA9 "
        "\xF0\x9F\x98\x80\r\n";
    for (std::size_t shift = 0; shift < 5; ++shift) {
        const std::string text = std::string(shift, 'x') + repeat(line, 3000);
        expectDecodingAgreesWithTheStatistics(text);
        for (const char* bad : {"\x80", "\xED\xA0\x80", "\xE3\x81"}) {
            for (std::size_t at : {std::size_t{32766}, std::size_t{32768}, std::size_t{65537}}) {
                std::string spoiled = text;
                spoiled.insert(at, bad);
                expectDecodingAgreesWithTheStatistics(spoiled);
            }
            expectDecodingAgreesWithTheStatistics(text + bad);
        }
    }
    setNarrowCodePage(0);
}

TEST(EncodingDetection, WellFormedUtf8IsAlwaysUtf8) {
    // The file reader takes any well-formed multi-byte UTF-8 for UTF-8 without
    // the counts. The hard cases are texts whose every byte also counts as
    // EUC-JP: continuation bytes from A1 on, and 8E or 8F before such a byte.
    std::mt19937 random(34);
    auto continuation = [&](bool high) {
        return static_cast<char>(high ? 0xA1 + random() % 0x1F : 0x80 + random() % 0x40);
    };
    int everyByteEucJp = 0;
    for (int round = 0; round < 200000; ++round) {
        std::string data;
        for (int k = 1 + static_cast<int>(random() % 12); k > 0; --k) {
            const bool high = random() % 8 != 0;
            switch (random() % 6) {
                case 0:
                    data += static_cast<char>(0x20 + random() % 0x5F);
                    break;
                case 1:
                    data += {static_cast<char>(0xC2 + random() % 30), continuation(high)};
                    break;
                case 2:
                    data += {static_cast<char>(0xE1 + random() % 12), continuation(high), continuation(high)};
                    break;
                case 3:
                    data += {static_cast<char>(0xF1 + random() % 3), continuation(high), continuation(high),
                             continuation(high)};
                    break;
                case 4:
                    data += {'\xE3', static_cast<char>(0x8E + random() % 2), continuation(true)};
                    break;
                case 5:
                    data += {static_cast<char>(0xC2 + random() % 30), static_cast<char>(0x8E + random() % 2)};
                    break;
            }
        }
        if (!isMultiByteUtf8(bytes(data), data.size())) continue;
        everyByteEucJp += eucJpCount(bytes(data), data.size()) == static_cast<std::int64_t>(data.size());
        ASSERT_EQ(detect(data), 3) << testing::PrintToString(data);
    }
    EXPECT_GT(everyByteEucJp, 5000);
}
