// Reading and recognising large text files, against iconv doing the same
// conversion (the tool, and for UTF-8 also its C API in this process). The
// files are made once in the system's temporary folder.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdio>
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

// What a learner mostly reads in UTF-8: English, with a Japanese gloss now and
// then (about a tenth of the bytes).
const std::u16string kEnglishSample =
    u"Every morning, Emma walks to the station and listens to the news in English on her phone.\r\n"
    u"She says that the hardest part is not the vocabulary but the speed of natural conversation.\r\n"
    u"When a sentence is too fast, she plays it again, slower, until she can follow every word.\r\n"
    u"After a few weeks, she noticed that she could understand her colleagues' jokes at lunch.\r\n"
    u"(natural conversation: 自然な会話)\r\n";

std::filesystem::path sampleFile(const char* name, int code, const std::u16string& sample = kSample) {
    auto path = std::filesystem::temp_directory_path() / name;
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) >= kSize) return path;
    std::string unit = encodeText(sample, code);
    std::ofstream out(path, std::ios::binary);
    for (std::size_t written = 0; written < kSize; written += unit.size()) out << unit;
    return path;
}

void readFile(benchmark::State& state, const char* name, int code, const std::u16string& sample = kSample) {
    setNarrowCodePage(932);
    auto path = sampleFile(name, code, sample);
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

// iconv's C API doing what readTextFile does for a UTF-8 file: read it whole
// and convert it to UTF-16LE (without telling its encoding, which iconv is
// given). The buffers are kept between runs, as readTextFile keeps its text.
void iconvApiFile(benchmark::State& state, const char* name, int code, const std::u16string& sample) {
    auto path = sampleFile(name, code, sample);
    const std::size_t size = std::filesystem::file_size(path);
    std::string bytes(size, '\0');
    std::string wide(size * 2, '\0');
    iconv_t converter = iconv_open("UTF-16LE", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv_open failed");
        return;
    }
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.string().c_str(), "rb");
        const bool read = file && std::fread(bytes.data(), 1, size, file) == size;
        if (file) std::fclose(file);
        char* in = bytes.data();
        char* out = wide.data();
        std::size_t inLeft = size, outLeft = wide.size();
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (!read || iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
            state.SkipWithError("iconv failed");
        benchmark::DoNotOptimize(wide.data());
    }
    iconv_close(converter);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void BM_ReadTextFile_ShiftJis(benchmark::State& s) { readFile(s, "veltrix-bench-sjis.txt", 0); }
void BM_ReadTextFile_Utf8(benchmark::State& s) { readFile(s, "veltrix-bench-utf8.txt", 3); }
void BM_Iconv_ShiftJis(benchmark::State& s) { iconvFile(s, "veltrix-bench-sjis.txt", 0, "CP932"); }
void BM_Iconv_Utf8(benchmark::State& s) { iconvFile(s, "veltrix-bench-utf8.txt", 3, "UTF-8"); }
void BM_ReadTextFile_Utf8English(benchmark::State& s) {
    readFile(s, "veltrix-bench-utf8-english.txt", 3, kEnglishSample);
}
void BM_IconvApi_Utf8English(benchmark::State& s) {
    iconvApiFile(s, "veltrix-bench-utf8-english.txt", 3, kEnglishSample);
}

}  // namespace

BENCHMARK(BM_ReadTextFile_ShiftJis)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Iconv_ShiftJis)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadTextFile_Utf8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Iconv_Utf8)->Unit(benchmark::kMillisecond)->UseRealTime();
// The pair the speed of reading UTF-8 is held to.
BENCHMARK(BM_ReadTextFile_Utf8English)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvApi_Utf8English)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
