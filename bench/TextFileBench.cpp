// Reading and recognising large text files, against iconv(1) doing the same
// conversion. The files are made once in the system's temporary folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/resource.h>

#include "text/NarrowText.h"
#include "text/TextFile.h"

namespace {

constexpr std::size_t kSize = 50u << 20;

// A mixed English and Japanese study text: one sentence with its translation.
const std::u16string kSample =
    u"The quick brown fox jumps over the lazy dog near the riverbank.\r\n"
    u"素早い茶色の狐が川岸の近くで怠け者の犬を飛び越える。\r\n"
    u"Listening every day is the key to understanding natural English.\r\n"
    u"毎日聞くことが、自然な英語を理解するための鍵です。\r\n";

std::filesystem::path sampleFile(const char* name, int code) {
    auto path = std::filesystem::temp_directory_path() / name;
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) >= kSize) return path;
    std::string unit = encodeText(kSample, code);
    std::ofstream out(path, std::ios::binary);
    for (std::size_t written = 0; written < kSize; written += unit.size()) out << unit;
    return path;
}

void readFile(benchmark::State& state, const char* name, int code) {
    setNarrowCodePage(932);
    auto path = sampleFile(name, code);
    std::u16string text;
    for (auto _ : state) {
        int got = readTextFile(path.u16string(), text);
        if (got != code) state.SkipWithError("wrong encoding recognised");
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
}

// Processor time of the finished child processes so far, in milliseconds.
double childProcessorMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The real time includes starting a shell and iconv; "iconv_cpu_ms" is the
// processor time iconv itself took per run, a fairer figure on a busy machine.
void iconvFile(benchmark::State& state, const char* name, int code, const char* charset) {
    setNarrowCodePage(932);
    auto path = sampleFile(name, code);
    std::string command = std::string("iconv -f ") + charset + " -t UTF-16LE '" + path.string() + "' > /dev/null";
    const double before = childProcessorMs();
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("iconv failed");
    state.counters["iconv_cpu_ms"] =
        benchmark::Counter(childProcessorMs() - before, benchmark::Counter::kAvgIterations);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
}

void BM_ReadTextFile_ShiftJis(benchmark::State& s) { readFile(s, "veltrix-bench-sjis.txt", 0); }
void BM_ReadTextFile_Utf8(benchmark::State& s) { readFile(s, "veltrix-bench-utf8.txt", 3); }
void BM_Iconv_ShiftJis(benchmark::State& s) { iconvFile(s, "veltrix-bench-sjis.txt", 0, "CP932"); }
void BM_Iconv_Utf8(benchmark::State& s) { iconvFile(s, "veltrix-bench-utf8.txt", 3, "UTF-8"); }

}  // namespace

BENCHMARK(BM_ReadTextFile_ShiftJis)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Iconv_ShiftJis)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadTextFile_Utf8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Iconv_Utf8)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
