// The BOCU-1 decoder against ICU's encoder and decoder: every kind of step
// between code points (one to four bytes, up and down, the script-dependent
// "previous" values), and random bytes, where the decoder must stop exactly
// where ICU finds the first illegal sequence.
#include <gtest/gtest.h>

#include <random>

#include "PDicWriter.h"
#include "dictionary/Bocu1Decoder.h"

using veltrix::test::encodeBocu1;
using veltrix::test::icuDecodeBocu1;

namespace {

std::u16string fromCodePoints(std::initializer_list<char32_t> points) {
    std::u16string text;
    for (char32_t c : points) {
        if (c >= 0x10000) {
            text.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(c));
        }
    }
    return text;
}

}  // namespace

TEST(Bocu1Decoder, DecodesWhatIcuEncodes) {
    const std::u16string texts[] = {
        u"apple",
        u"Hello, World! 0123456789 ~",
        u"りんご 林檎 リンゴ",  // hiragana's own previous value, then ideographs
        u"日本語の辞書を引く。",
        u"한국어 사전",  // hangul's previous value
        u"Ελληνικά русский עברית",
        u"tab\there\r\nline",              // controls reset the state; space does not
        u"a\u3040b\u9FA5c\uAC00d\uD7A3e",  // the edges of the wide blocks
        fromCodePoints({0x41, 0x10FFFF, 0x42, 0x10000, 0x20, 0x1F600, 0x4E00, 0x7F}),  // four-byte steps up and down
        fromCodePoints({0x20000, 0x20001, 0x2A6D6, 0x3000, 0x0391, 0xE000, 0xFFFD}),
        u"",
    };
    for (const std::u16string& text : texts) {
        const std::string bytes = encodeBocu1(text);
        EXPECT_EQ(decodeBocu1(bytes), text) << "bytes: " << bytes.size();
    }
}

TEST(Bocu1Decoder, DecodesEveryBmpCodePointAfterEveryScript) {
    // Each code point preceded by a letter of a different script, so that the
    // step comes from every kind of previous value.
    const char16_t before[] = {u'a', u'あ', u'漢', u'가', u'Ж', u' '};
    for (char16_t lead : before) {
        std::u16string text;
        for (char32_t c = 0x21; c < 0x10000; c += 7) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            text.push_back(lead);
            text.push_back(static_cast<char16_t>(c));
        }
        ASSERT_EQ(decodeBocu1(encodeBocu1(text)), text) << "after U+" << std::hex << static_cast<int>(lead);
    }
}

TEST(Bocu1Decoder, StopsWhereIcuFindsTheFirstIllegalSequence) {
    std::mt19937 random(27);
    std::uniform_int_distribution<int> byte(0, 255), length(1, 40);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(static_cast<std::size_t>(length(random)), '\0');
        for (char& b : bytes) b = static_cast<char>(byte(random));
        std::u16string expected = icuDecodeBocu1(bytes);
        // A zero byte ends a text here; ICU decodes it as U+0000.
        expected = expected.substr(0, expected.find(u'\0'));
        const std::u16string decoded = decodeBocu1(bytes);
        ASSERT_EQ(decoded, expected) << "round " << round;
    }
}

TEST(Bocu1Decoder, ALeadByteWithoutItsTrailBytesEndsTheText) {
    std::string bytes = encodeBocu1(u"ab漢");
    bytes.pop_back();
    EXPECT_EQ(decodeBocu1(bytes), u"ab");
    // 0x00 in a trail position is illegal, not an end of text that keeps the lead.
    bytes.push_back('\0');
    bytes += encodeBocu1(u"x");
    EXPECT_EQ(decodeBocu1(bytes), u"ab");
}

TEST(Bocu1Decoder, ResetByteStartsFromTheAsciiState) {
    std::string bytes = encodeBocu1(u"漢");
    bytes.push_back('\xFF');
    bytes += encodeBocu1(u"a");  // encoded from the fresh state
    EXPECT_EQ(decodeBocu1(bytes), u"漢a");
}

TEST(Bocu1Decoder, OutputLimitNeverSplitsASurrogatePair) {
    const std::u16string text = fromCodePoints({0x61, 0x1F600, 0x62});
    const std::string bytes = encodeBocu1(text);
    EXPECT_EQ(decodeBocu1(bytes, 1), u"a");
    EXPECT_EQ(decodeBocu1(bytes, 2), u"a");
    EXPECT_EQ(decodeBocu1(bytes, 3), text.substr(0, 3));
    EXPECT_EQ(decodeBocu1(bytes, 0), u"");
}
