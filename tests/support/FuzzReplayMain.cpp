// The main of a fuzz target outside a fuzz build: every file named on the
// command line, or every file inside a folder named there, goes once through
// LLVMFuzzerTestOneInput. CTest runs it over the target's seeds, so a seed that
// crashes or trips a check fails the ordinary suite too.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path given(argv[i]);
        if (std::filesystem::is_directory(given)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(given))
                if (entry.is_regular_file()) {
                    replay(entry.path());
                    ++count;
                }
        } else {
            replay(given);
            ++count;
        }
    }
    std::printf("replayed %zu inputs\n", count);
    // A seed folder that lost its files would pass without testing anything.
    return count > 0 ? 0 : 1;
}
