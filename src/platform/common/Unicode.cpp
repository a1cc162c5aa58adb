#include "platform/common/Unicode.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Whether c, decoded from a three-byte sequence, is one that is well formed:
// not an overlong form (below U+0800) and not a surrogate.
inline bool isThreeByteScalar(unsigned c) { return c >= 0x800 && c - 0xD800 >= 0x800; }

// The non-ASCII sequences at d[index] on, as long as they are well formed;
// also takes single ASCII bytes between them while fewer than a block remain.
// Stops at an ASCII byte with a block after it, at an ill-formed sequence, or
// at the end.
inline void decodeSequences(const unsigned char* d, std::size_t n, char16_t* out, std::size_t& index,
                            std::size_t& written, std::size_t block) {
    std::size_t i = index, o = written;  // kept in registers, not in the callers' variables
    while (i < n) {
        const unsigned b = d[i];
        if (b < 0x80) {
            if (i + block <= n) break;
            out[o++] = static_cast<char16_t>(b);
            ++i;
            continue;
        }
        // Japanese is runs of three-byte sequences: two are taken at once when
        // the next eight bytes begin with two.
        if (i + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, d + i, 8);
            if ((w & 0x0000C0C0F0C0C0F0ULL) == 0x00008080E08080E0ULL) {
                const unsigned c0 = static_cast<unsigned>(((w & 0x0F) << 12) | ((w >> 2) & 0xFC0) | ((w >> 16) & 0x3F));
                const unsigned c1 =
                    static_cast<unsigned>(((w >> 12) & 0xF000) | ((w >> 26) & 0xFC0) | ((w >> 40) & 0x3F));
                if (isThreeByteScalar(c0) && isThreeByteScalar(c1)) {
                    out[o] = static_cast<char16_t>(c0);
                    out[o + 1] = static_cast<char16_t>(c1);
                    i += 6;
                    o += 2;
                    continue;
                }
            }
        }
        if ((b & 0xF0) == 0xE0) {
            if (i + 2 >= n) break;
            const unsigned b1 = d[i + 1], b2 = d[i + 2];
            if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) break;
            const unsigned c = ((b & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F);
            if (!isThreeByteScalar(c)) break;
            out[o++] = static_cast<char16_t>(c);
            i += 3;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF && i + 1 < n && (d[i + 1] & 0xC0) == 0x80) {
            out[o++] = static_cast<char16_t>(((b & 0x1F) << 6) | (d[i + 1] & 0x3F));
            i += 2;
            continue;
        }
        if (b >= 0xF0 && b <= 0xF4 && i + 3 < n) {
            const unsigned b1 = d[i + 1], b2 = d[i + 2], b3 = d[i + 3];
            if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && (b3 & 0xC0) == 0x80) {
                const char32_t c = ((b & 0x07) << 18) | ((b1 & 0x3F) << 12) | ((b2 & 0x3F) << 6) | (b3 & 0x3F);
                if (c >= 0x10000 && c <= 0x10FFFF) {
                    out[o++] = highSurrogateOf(c);
                    out[o++] = lowSurrogateOf(c);
                    i += 4;
                    continue;
                }
            }
        }
        break;
    }
    index = i;
    written = o;
}

// ASCII runs, eight bytes at a time, in plain C++.
inline void decodePortable(const unsigned char* d, std::size_t n, char16_t* out, std::size_t& i, std::size_t& o) {
    while (i < n) {
        while (i + 8 <= n) {
            std::uint64_t block;
            std::memcpy(&block, d + i, 8);
            if (block & 0x8080808080808080ULL) {
                while (d[i] < 0x80) out[o++] = d[i++];
                break;
            }
            for (int k = 0; k < 8; ++k) out[o + k] = d[i + k];
            i += 8;
            o += 8;
        }
        const std::size_t before = i;
        decodeSequences(d, n, out, i, o, 8);
        if (i == before && i < n && d[i] >= 0x80) return;  // ill-formed
    }
}

#if defined(__SSE2__)
// ASCII runs sixteen bytes at a time: the bytes are widened to units by
// interleaving them with zeros.
inline void decodeVectorised(const unsigned char* d, std::size_t n, char16_t* out, std::size_t& i, std::size_t& o) {
    const __m128i zero = _mm_setzero_si128();
    while (i < n) {
        while (i + 16 <= n) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(block));
            if (high == 0) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), _mm_unpacklo_epi8(block, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o + 8), _mm_unpackhi_epi8(block, zero));
                i += 16;
                o += 16;
                continue;
            }
            for (const std::size_t ascii = i + static_cast<std::size_t>(std::countr_zero(high)); i < ascii;)
                out[o++] = d[i++];
            break;
        }
        const std::size_t before = i;
        decodeSequences(d, n, out, i, o, 16);
        if (i == before && i < n && d[i] >= 0x80) return;  // ill-formed
    }
}
#endif

// Decodes from d[i] on while the bytes are well-formed UTF-8.
inline void decodeWellFormed(const unsigned char* d, std::size_t n, char16_t* out, std::size_t& i, std::size_t& o,
                             Utf8Path path) {
#if defined(__SSE2__)
    if (path == Utf8Path::Fastest) return decodeVectorised(d, n, out, i, o);
#endif
    (void)path;
    decodePortable(d, n, out, i, o);
}

}  // namespace

std::size_t decodeUtf8(const unsigned char* d, std::size_t n, char16_t* out, Utf8Path path) {
    std::size_t i = 0, o = 0;
    while (true) {
        decodeWellFormed(d, n, out, i, o, path);
        if (i >= n) return o;
        // Each maximal ill-formed subsequence becomes one replacement character.
        char32_t cp = 0;
        std::size_t skip = 1;
        scanSequence(d, i, n, &cp, &skip);
        out[o++] = kReplacement;
        i += skip;
    }
}

std::size_t decodeWellFormedUtf8(const unsigned char* d, std::size_t n, char16_t* out, std::size_t* written) {
    std::size_t i = 0, o = 0;
    decodeWellFormed(d, n, out, i, o, Utf8Path::Fastest);
    *written = o;
    return i;
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
        const std::size_t units =
            isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]) ? 2 : 1;
        if (units == 2) offsets[i + 1] = static_cast<int>(out.size());
        out.append(bytes, encodeUtf8(text.data() + i, units, bytes));
        i += units - 1;
    }
    offsets[text.size()] = static_cast<int>(out.size());
    return out;
}

}  // namespace veltrix::unicode
