// Reading whole text files with their encoding recognised, and writing text in
// a chosen encoding with its byte-order mark. Codes are those of EncodingCode.h.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "text/EncodingCode.h"

// Reads and decodes the whole file. Returns the code used, or -1 (text
// untouched) when the file cannot be opened or read. An empty file gives an
// empty text and the hint, or 1 under detection. hint is -1 to detect, or the
// code to use when the file has no byte-order mark.
int readTextFile(const std::u16string& path, std::u16string& text, int hint = encoding::kDetect);

// The decoding step of readTextFile on bytes in memory.
int decodeBytes(const void* data, std::size_t length, std::u16string& text, int hint = encoding::kDetect);

// The mark of code 1 and -1 (FF FE), 2 (FE FF) and 4 (EF BB BF); nothing for the others.
bool writeByteOrderMark(std::FILE* file, int code);
// The body of the text in the code's encoding; nothing for an empty text or code 7.
// False when the file reported a write error.
bool writeEncoded(std::FILE* file, std::u16string_view text, int code);
// The bytes writeEncoded would write.
std::string encodeText(std::u16string_view text, int code);

// Writes mark and text through a temporary file that then replaces path; false
// when the file could not be created or written (the old file is then kept).
bool saveTextFile(const std::u16string& path, std::u16string_view text, int code);
