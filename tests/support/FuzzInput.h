// For fuzz targets whose code under test reads a file by its path: the input
// written to one file per process in the temporary folder, with the extension
// the reader dispatches on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The path (UTF-16, as the program spells paths) of a file now holding exactly
// the given bytes; the same file is rewritten for every input of the process.
std::u16string writeFuzzFile(const std::uint8_t* data, std::size_t size, const std::string& extension);
