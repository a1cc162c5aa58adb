// Fuzz target for the FLV audio reader: any bytes must end in a result, with
// every byte handed on lying inside the input, never a crash or a read past
// its end.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "download/FlvAudio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t handed = 0;
    const FlvAudioResult result = readFlvAudio(data, size, [&](const std::uint8_t* p, std::size_t n) {
        if (p < data || p + n > data + size) __builtin_trap();
        handed += n;
    });
    if (handed > size) __builtin_trap();
    if (result == FlvAudioResult::NoMp3Audio && handed != 0) __builtin_trap();
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
