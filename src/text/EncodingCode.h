// Encoding codes of text files, as stored in settings and passed between Parts.
#pragma once

#include <string_view>

namespace encoding {
inline constexpr int kDetect = -1;
inline constexpr int kNarrow = 0;  // the narrow code page (Shift_JIS after start-up)
inline constexpr int kUtf16LE = 1;
inline constexpr int kUtf16BE = 2;
inline constexpr int kUtf8 = 3;
inline constexpr int kUtf8WithMark = 4;
inline constexpr int kEucJp = 6;
inline constexpr int kBinary = 7;
}  // namespace encoding

// "Shift_JIS" 0, "ANSI" 0, "UTF-16" 1, "UTF-16BE" 2, "UTF-8" 3, "UTF8" 3,
// "UTF-8N" 4, "EUC-JP" 6, "Binary" 7; names are case-sensitive and any other
// name gives 0.
int encodingCodeOf(std::u16string_view name);
