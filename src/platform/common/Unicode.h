// The program's one UTF-8 <-> UTF-16 conversion and its surrogate arithmetic,
// for the native layer (file names, INI files, the UTF-8 code page, Pango),
// the Parts above it and the audio modules alike.
//
// Malformed input never fails: each maximal ill-formed UTF-8 subsequence
// becomes U+FFFD, and a lone surrogate is written to UTF-8 as U+FFFD, which is
// what Windows does for code page 65001.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix::unicode {

constexpr bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr bool isSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }
// The code point of a high and a low surrogate.
constexpr char32_t combineSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}
// The two halves of a code point above U+FFFF.
constexpr char16_t highSurrogateOf(char32_t codePoint) {
    return static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
}
constexpr char16_t lowSurrogateOf(char32_t codePoint) {
    return static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
}
// Whether text[i] and text[i + 1] form a surrogate pair.
constexpr bool isPairAt(std::u16string_view text, std::size_t i) {
    return i + 1 < text.size() && isHighSurrogate(text[i]) && isLowSurrogate(text[i + 1]);
}

// Which code decodes: the fastest the processor allows (SSE2 on x86-64), or
// the portable one every processor runs (which the tests hold the fast one to).
enum class Utf8Path { Fastest, Portable };

// Decodes n bytes into out, which must have room for n code units (UTF-8 never
// yields more UTF-16 units than it has bytes). Returns the units written.
std::size_t decodeUtf8(const unsigned char* data, std::size_t n, char16_t* out, Utf8Path path = Utf8Path::Fastest);
// Decodes the well-formed UTF-8 at the start of the n bytes into out (room for
// n units), up to the first byte that begins an ill-formed or cut-off
// sequence. Returns the bytes decoded (n when all of them are well formed);
// *written gets the units written.
std::size_t decodeWellFormedUtf8(const unsigned char* data, std::size_t n, char16_t* out, std::size_t* written);
// Units needed for decodeUtf8 of the same bytes.
std::size_t decodedUtf8Length(const unsigned char* data, std::size_t n);

// Encodes n units into out, which must have room for 3 * n bytes. Returns the
// bytes written.
std::size_t encodeUtf8(const char16_t* text, std::size_t n, char* out);

std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);
// The same, and the byte offset in the result of every UTF-16 offset of text
// (text.size() + 1 entries; both units of a pair map to where the pair starts).
std::string utf16ToUtf8(std::u16string_view text, std::vector<int>& offsets);

}  // namespace veltrix::unicode
