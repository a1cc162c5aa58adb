// UTF-8 <-> UTF-16 conversion used inside the native layer (file names, INI
// files, the UTF-8 code page). Malformed input never fails: each maximal
// ill-formed subsequence becomes U+FFFD, and a lone surrogate is written to UTF-8
// as U+FFFD, which is what Windows does for code page 65001.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

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

}  // namespace platform
