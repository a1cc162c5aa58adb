// Fuzz target for the BMP reader: any bytes must load as a bitmap or give
// false with an error text, never crash or read outside the file.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "toolkit/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/veltrix-bmp-fuzz-" + std::to_string(getpid()) + ".bmp";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Bitmap bitmap;
    std::u16string wide(path.begin(), path.end());
    if (!bitmap.loadImage(wide, 32) && bitmap.errorText().empty()) __builtin_trap();
    if (!bitmap.loadImage(wide, 24) && bitmap.errorText().empty()) __builtin_trap();
    return 0;
}

#ifdef VELTRIX_FUZZ_REPLAY
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    return 0;
}
#endif
