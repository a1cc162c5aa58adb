#include "platform/common/Unicode.h"

#include <cstring>

namespace veltrix::unicode {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Length of the well-formed sequence starting at data[i], or 0 when data[i]
// begins an ill-formed one; *scalar gets the code point. Follows the table of
// well-formed UTF-8 byte sequences (no overlongs, no surrogates, <= U+10FFFF).
// On 0, *skip gets the length of the maximal ill-formed prefix to replace.
inline std::size_t scanSequence(const unsigned char* d, std::size_t i, std::size_t n, char32_t* scalar,
                                std::size_t* skip) {
    unsigned char b0 = d[i];
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;
    char32_t cp;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        *skip = 1;
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if (i + k >= n) {
            *skip = k;
            return 0;
        }
        unsigned char b = d[i + k];
        if (b < lo || b > hi) {
            *skip = k;
            return 0;
        }
        lo = 0x80;
        hi = 0xBF;
        cp = (cp << 6) | (b & 0x3F);
    }
    *scalar = cp;
    return len;
}

}  // namespace

std::size_t decodeUtf8(const unsigned char* d, std::size_t n, char16_t* out) {
    std::size_t i = 0, o = 0;
    while (i < n) {
        // ASCII runs dominate English text: copy them eight bytes at a time.
        while (i + 8 <= n) {
            std::uint64_t block;
            std::memcpy(&block, d + i, 8);
            if (block & 0x8080808080808080ULL) break;
            for (int k = 0; k < 8; ++k) out[o + k] = d[i + k];
            i += 8;
            o += 8;
        }
        if (i >= n) break;
        unsigned char b = d[i];
        if (b < 0x80) {
            out[o++] = b;
            ++i;
            continue;
        }
        // Japanese is three-byte sequences: take a well-formed one directly.
        if (((b >= 0xE1 && b <= 0xEC) || b >= 0xEE) && b <= 0xEF && i + 2 < n && (d[i + 1] & 0xC0) == 0x80 && (d[i + 2] & 0xC0) == 0x80) {
            out[o++] = static_cast<char16_t>(((b & 0x0F) << 12) | ((d[i + 1] & 0x3F) << 6) | (d[i + 2] & 0x3F));
            i += 3;
            continue;
        }
        char32_t cp = 0;
        std::size_t skip = 1;
        std::size_t len = scanSequence(d, i, n, &cp, &skip);
        if (len == 0) {
            out[o++] = kReplacement;
            i += skip;
        } else if (cp >= 0x10000) {
            out[o++] = highSurrogateOf(cp);
            out[o++] = lowSurrogateOf(cp);
            i += len;
        } else {
            out[o++] = static_cast<char16_t>(cp);
            i += len;
        }
    }
    return o;
}

std::size_t decodedUtf8Length(const unsigned char* d, std::size_t n) {
    std::size_t i = 0, o = 0;
    while (i < n) {
        if (d[i] < 0x80) {
            ++i;
            ++o;
            continue;
        }
        char32_t cp = 0;
        std::size_t skip = 1;
        std::size_t len = scanSequence(d, i, n, &cp, &skip);
        if (len == 0) {
            ++o;
            i += skip;
        } else {
            o += cp >= 0x10000 ? 2 : 1;
            i += len;
        }
    }
    return o;
}

std::size_t encodeUtf8(const char16_t* s, std::size_t n, char* out) {
    std::size_t o = 0;
    for (std::size_t i = 0; i < n; ++i) {
        char32_t c = s[i];
        if (c < 0x80) {
            out[o++] = static_cast<char>(c);
            continue;
        }
        if (isHighSurrogate(s[i]) && i + 1 < n && isLowSurrogate(s[i + 1])) {
            c = combineSurrogates(s[i], s[i + 1]);
            ++i;
        } else if (isSurrogate(s[i])) {
            c = kReplacement;
        }
        if (c < 0x800) {
            out[o++] = static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            out[o++] = static_cast<char>(0xE0 | (c >> 12));
            out[o++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            out[o++] = static_cast<char>(0xF0 | (c >> 18));
            out[o++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out[o++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        out[o++] = static_cast<char>(0x80 | (c & 0x3F));
    }
    return o;
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out(text.size(), u'\0');
    auto* d = reinterpret_cast<const unsigned char*>(text.data());
    out.resize(decodeUtf8(d, text.size(), out.data()));
    return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out(text.size() * 3, '\0');
    out.resize(encodeUtf8(text.data(), text.size(), out.data()));
    return out;
}

std::string utf16ToUtf8(std::u16string_view text, std::vector<int>& offsets) {
    std::string out;
    out.reserve(text.size());
    offsets.assign(text.size() + 1, 0);
    char bytes[4];
    for (std::size_t i = 0; i < text.size(); ++i) {
        offsets[i] = static_cast<int>(out.size());
        const std::size_t units = isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]) ? 2 : 1;
        if (units == 2) offsets[i + 1] = static_cast<int>(out.size());
        out.append(bytes, encodeUtf8(text.data() + i, units, bytes));
        i += units - 1;
    }
    offsets[text.size()] = static_cast<int>(out.size());
    return out;
}

}  // namespace veltrix::unicode
