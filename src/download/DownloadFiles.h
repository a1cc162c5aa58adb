// Placing what the downloaders fetch: folders, file names made from page
// text, and moves that never overwrite.
//
// Names taken from a page never lead out of the folder a caller names:
// escapeFileName turns separators, reserved characters and control
// characters into harmless text, a name made only of dots into escapes, and
// cuts a name too long for the file system.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The longest name escapeFileName gives, in UTF-8 bytes: the file system
// allows 255, and callers append an extension or a suffix.
inline constexpr std::size_t kMaxEscapedNameBytes = 200;

// Creates every missing folder on the way to the file (the text after the last
// "\" or "/" is the file's name and is not created). True when the folder
// exists afterwards.
bool createDirectoriesForFile(std::u16string_view path);

// The title usable as a file name: each of " * / : < > ? \ | becomes "%" and
// its code in upper-case hexadecimal (":" is %3A, "?" %3F), a character below
// 32 a space; other characters are kept. A name of dots only ("." or "..")
// has its dots escaped (%2E), and a name longer than kMaxEscapedNameBytes in
// UTF-8 is cut at a character boundary.
std::u16string escapeFileName(std::u16string_view title);

// folder, a separator, and escapeFileName(name): always a file directly inside
// folder, whatever name holds. An empty name becomes "_".
std::u16string pathInFolder(std::u16string_view folder, std::u16string_view name);

// Renames or moves a file; fails, leaving both files as they were, when the
// new path exists.
bool moveFile(std::u16string_view from, std::u16string_view to);
