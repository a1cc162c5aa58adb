// UTF-8 decoding: the vectorised path against the portable one and against a
// plain decoder written from the table of well-formed byte sequences, on
// random bytes, on well-formed text with each kind of ill-formed sequence put
// at every position, and on sequences cut off at the end of the data.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/common/Unicode.h"
#include "platform/win32.h"

namespace {

// One code point or one maximal ill-formed subsequence at a time: the lead
// byte gives the length and the range of the second byte; a byte that breaks
// the sequence ends the subsequence before it.
std::u16string referenceDecode(const std::string& bytes, std::size_t* wellFormedPrefix = nullptr) {
    std::u16string out;
    std::size_t i = 0;
    bool clean = true;
    if (wellFormedPrefix) *wellFormedPrefix = bytes.size();
    while (i < bytes.size()) {
        const unsigned b = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        unsigned low = 0x80, high = 0xBF;
        char32_t c = 0;
        if (b < 0x80)
            length = 1, c = b;
        else if (b >= 0xC2 && b <= 0xDF)
            length = 2, c = b & 0x1F;
        else if (b >= 0xE0 && b <= 0xEF)
            length = 3, c = b & 0x0F, low = b == 0xE0 ? 0xA0 : 0x80, high = b == 0xED ? 0x9F : 0xBF;
        else if (b >= 0xF0 && b <= 0xF4)
            length = 4, c = b & 0x07, low = b == 0xF0 ? 0x90 : 0x80, high = b == 0xF4 ? 0x8F : 0xBF;
        std::size_t taken = 1;
        bool good = length != 0;
        for (; good && taken < length; ++taken) {
            if (i + taken >= bytes.size()) {
                good = false;
                break;
            }
            const unsigned next = static_cast<unsigned char>(bytes[i + taken]);
            if (next < low || next > high) {
                good = false;
                break;
            }
            low = 0x80, high = 0xBF;
            c = (c << 6) | (next & 0x3F);
        }
        if (!good) {
            if (clean && wellFormedPrefix) *wellFormedPrefix = i;
            clean = false;
            out += u'\uFFFD';
            i += taken;
            continue;
        }
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

// Decodes with the given path into a buffer with room to spare, and checks
// that nothing past the units it reports was written.
std::u16string decode(const std::string& bytes, veltrix::unicode::Utf8Path path) {
    std::u16string buffer(bytes.size() + 24, u'\u2603');
    const std::size_t units = veltrix::unicode::decodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                           bytes.size(), buffer.data(), path);
    EXPECT_LE(units, bytes.size());
    for (std::size_t i = units; i < buffer.size(); ++i) {
        if (buffer[i] != u'\u2603') {
            ADD_FAILURE() << "unit " << i << " written past the " << units << " reported";
            break;
        }
    }
    return buffer.substr(0, units);
}

void expectAllAgree(const std::string& bytes) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    std::size_t prefix = 0;
    const std::u16string expected = referenceDecode(bytes, &prefix);
    EXPECT_EQ(decode(bytes, veltrix::unicode::Utf8Path::Fastest), expected);
    EXPECT_EQ(decode(bytes, veltrix::unicode::Utf8Path::Portable), expected);
    std::u16string out(bytes.size(), u'\0');
    std::size_t written = 0;
    EXPECT_EQ(veltrix::unicode::decodeWellFormedUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                                                     out.data(), &written),
              prefix);
    EXPECT_EQ(out.substr(0, written), referenceDecode(bytes.substr(0, prefix)));
}

// Well-formed text of every length of sequence, in runs long enough to reach
// the sixteen-byte blocks.
std::string wellFormedText(std::mt19937& random, std::size_t characters) {
    static const char* const pieces[] = {"a",
                                         "The ",
                                         "0123456789abcdef",
                                         "\r\n",
                                         "\xC3\xA9",
                                         "\xDF\xBF",
                                         "\xE3\x81\x82",
                                         "\xE8\xAA\x9E",
                                         "\xE0\xA0\x80",
                                         "\xED\x9F\xBF",
                                         "\xEE\x80\x80",
                                         "\xEF\xBF\xBD",
                                         "\xF0\x90\x80\x80",
                                         "\xF0\x9F\x98\x80",
                                         "\xF4\x8F\xBF\xBF"};
    std::string out;
    for (std::size_t i = 0; i < characters; ++i) out += pieces[random() % std::size(pieces)];
    return out;
}

const char* const kIllFormed[] = {
    "\x80",      // a continuation byte alone
    "\xBF\xBF",  // two of them
    "\xC0\xAF",  // overlong two-byte form
    "\xC1\xBF",
    "\xE0\x80\xAF",  // overlong three-byte form
    "\xE0\x9F\xBF",
    "\xED\xA0\x80",  // an encoded surrogate
    "\xED\xBF\xBF",
    "\xF0\x8F\xBF\xBF",  // overlong four-byte form
    "\xF4\x90\x80\x80",  // beyond U+10FFFF
    "\xF5\x80\x80\x80",
    "\xFF",
    "\xE3\x81",  // cut off before the third byte
    "\xE3",
    "\xF0\x9F\x98",  // cut off before the fourth byte
    "\xC3",
    "\xE3\x81\x41",      // broken by an ASCII byte
    "\xE3\xE3\x81\x82",  // broken by the lead of the next sequence
};

}  // namespace

TEST(Utf8Decode, RandomBytesDecodeAlike) {
    std::mt19937 random(34);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(random() % 70, '\0');
        // Mostly high bytes, so that sequences are begun and broken often.
        for (char& b : bytes) b = static_cast<char>(random() % 4 ? 0x80 | random() : random() % 0x80);
        expectAllAgree(bytes);
        if (HasFailure()) return;
    }
}

TEST(Utf8Decode, EachIllFormedSequenceAtEveryPosition) {
    std::mt19937 random(7);
    for (int text = 0; text < 6; ++text) {
        const std::string good = wellFormedText(random, 30);
        expectAllAgree(good);
        for (const char* bad : kIllFormed) {
            for (std::size_t at = 0; at <= good.size(); ++at) {
                std::string bytes = good;
                bytes.insert(at, bad);
                expectAllAgree(bytes);
                // Cut off right after it, so that it ends the data.
                expectAllAgree(bytes.substr(0, at + std::char_traits<char>::length(bad)));
                if (HasFailure()) return;
            }
        }
    }
}

TEST(Utf8Decode, StrictConversionFailsOnAnyIllFormedByte) {
    const std::string good = "English \xE8\x8B\xB1\xE8\xAA\x9E \xF0\x9F\x98\x80 caf\xC3\xA9 and more text to fill";
    std::u16string out(good.size(), u'\0');
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, good.data(), static_cast<int>(good.size()),
                                          out.data(), static_cast<int>(out.size()));
    ASSERT_GT(units, 0);
    EXPECT_EQ(out.substr(0, static_cast<std::size_t>(units)), veltrix::unicode::utf8ToUtf16(good));
    // Asking for the size, and a destination that only just fits.
    EXPECT_EQ(
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, good.data(), static_cast<int>(good.size()), nullptr, 0),
        units);
    std::u16string exact(static_cast<std::size_t>(units), u'\0');
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, good.data(), static_cast<int>(good.size()),
                                  exact.data(), units),
              units);
    EXPECT_EQ(exact, out.substr(0, static_cast<std::size_t>(units)));

    for (const char* bad : kIllFormed) {
        for (std::size_t at : {std::size_t{0}, std::size_t{9}, good.size()}) {
            std::string bytes = good;
            bytes.insert(at, bad);
            SetLastError(0);
            EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                          out.data(), static_cast<int>(out.size())),
                      0)
                << testing::PrintToString(bytes);
            EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
        }
    }
    // Only UTF-8 is read strictly.
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, "abc", 3, out.data(), 3), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
}
