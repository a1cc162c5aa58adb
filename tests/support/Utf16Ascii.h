// The ASCII characters of a UTF-16LE file with its byte-order mark, for tests
// that check what the program wrote into its settings or lists (the parts
// they look for are ASCII; other characters are left out).
#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace veltrix::test {

inline std::string asciiOfUtf16(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        if (bytes[i + 1] == 0) out += bytes[i];
    return out;
}

inline std::string asciiOfUtf16File(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return asciiOfUtf16(std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
}

}  // namespace veltrix::test
