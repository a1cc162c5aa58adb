// The frame walk over a large MP3 file, warm in the page cache.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "audio/Mp3FileScanner.h"

namespace {

constexpr std::size_t kSize = 100u << 20;

std::filesystem::path sampleFile() {
    auto path = std::filesystem::temp_directory_path() / "veltrix-bench-100mb.mp3";
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) >= kSize) return path;
    // MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, alternating padding as an encoder
    // writes it.
    std::string plain = "\xFF\xFB\x90\x64" + std::string(413, '\x55');
    std::string padded = "\xFF\xFB\x92\x64" + std::string(414, '\x55');
    std::ofstream out(path, std::ios::binary);
    std::size_t written = 0;
    for (int i = 0; written < kSize; ++i) {
        const std::string& frame = i % 3 ? plain : padded;
        out << frame;
        written += frame.size();
    }
    return path;
}

void BM_ScanMp3(benchmark::State& state) {
    auto path = sampleFile();
    Mp3FileScanner scanner;
    for (auto _ : state) {
        if (!scanner.scan(path.u16string())) state.SkipWithError("scan failed");
        benchmark::DoNotOptimize(scanner.duration());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
}

}  // namespace

BENCHMARK(BM_ScanMp3)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
