#include "support/FuzzInput.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>

namespace {

// The files of this process by extension, removed when the process ends normally.
struct FuzzFiles {
    ~FuzzFiles() {
        std::error_code ignored;
        for (const auto& [extension, path] : paths) std::filesystem::remove(path, ignored);
    }
    std::map<std::string, std::string> paths;
};

}  // namespace

std::u16string writeFuzzFile(const std::uint8_t* data, std::size_t size, const std::string& extension) {
    static FuzzFiles files;
    std::string& path = files.paths[extension];
    if (path.empty())
        path = (std::filesystem::temp_directory_path() / ("veltrix-fuzz-" + std::to_string(::getpid()) + extension))
                   .string();
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return std::u16string(path.begin(), path.end());
}
