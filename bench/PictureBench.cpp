// Loading hostile GIF files: small files that declare many huge frames. Time
// per load, and the growth of the process's peak resident memory over the
// whole run as the counter peak_rss_growth_mb (Linux: the peak is reset first
// through /proc/self/clear_refs).
#include <benchmark/benchmark.h>

#include <gif_lib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/GifBytes.h"
#include "toolkit/Bitmap.h"

namespace {

// A field of /proc/self/status in kB, or -1.
long statusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    return -1;
}

void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void loadRepeatedly(benchmark::State& state, const std::string& bytes, bool expected) {
    const auto path = std::filesystem::temp_directory_path() / "veltrix-bench-hostile.gif";
    std::ofstream(path, std::ios::binary) << bytes;
    const std::u16string widePath = path.u16string();
    resetPeak();
    const long before = statusKb("VmRSS");
    for (auto _ : state) {
        Bitmap bitmap;
        if (bitmap.loadImage(widePath, 32) != expected) state.SkipWithError("unexpected result");
    }
    state.counters["peak_rss_growth_mb"] = static_cast<double>(statusKb("VmHWM") - before) / 1024.0;
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
    std::filesystem::remove(path);
}

// 100 frames of 30000 × 30000 on a 100 × 100 screen: refused.
void BM_GifHundredHugeFrames(benchmark::State& state) {
    loadRepeatedly(state, gifbytes::manyHugeFrames(100, 30000, 30000), false);
}

// A good first frame, then 99 huge ones that are never read: loaded.
void BM_GifGoodFrameThenHugeOnes(benchmark::State& state) {
    std::string gif = gifbytes::header(2, 1) + gifbytes::twoPixelFrame();
    for (int i = 0; i < 99; ++i) gif += gifbytes::emptyFrame(30000, 30000);
    loadRepeatedly(state, gif + gifbytes::kTrailer, true);
}

// Frames of 4096 × 4096 in one colour, as giflib encodes them: a few kB each
// that decode to 16 MB each. Only the first is decoded.
void BM_GifTwentyFullFrames(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "veltrix-bench-full-frames.gif";
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    GifColorType colours[2] = {{0, 0, 0}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(2, colours);
    EGifPutScreenDesc(gif, 4096, 4096, 1, 0, map);
    std::vector<GifPixelType> row(4096, 1);
    for (int frame = 0; frame < 20; ++frame) {
        EGifPutImageDesc(gif, 0, 0, 4096, 4096, false, nullptr);
        for (int y = 0; y < 4096; ++y) EGifPutLine(gif, row.data(), 4096);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    loadRepeatedly(state, bytes, true);
    std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_GifTwentyFullFrames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifHundredHugeFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GifGoodFrameThenHugeOnes)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
