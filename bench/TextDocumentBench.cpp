// Loading a 20 MB UTF-8 file into a document, typing into it one character at
// a time at its start, middle and end, and undoing one keystroke there. Each
// keystroke goes the way the editor's edit step takes it: one record in the
// history, one replace in the document.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "editor/EditHistory.h"
#include "editor/TextDocument.h"
#include "text/EncodingCode.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"

namespace {

constexpr std::size_t kFileSize = 20u << 20;
constexpr int kKeystrokes = 1000;

const std::u16string kSample =
    u"The quick brown fox jumps over the lazy dog near the riverbank.\r\n"
    u"素早い茶色の狐が川岸の近くで怠け者の犬を飛び越える。\r\n"
    u"Listening every day is the key to understanding natural English.\r\n"
    u"毎日聞くことが、自然な英語を理解するための鍵です。\r\n";

std::u16string sampleFile() {
    auto path = std::filesystem::temp_directory_path() / "veltrix-document-bench.txt";
    if (!std::filesystem::exists(path) || std::filesystem::file_size(path) < kFileSize) {
        const std::string unit = encodeText(kSample, encoding::kUtf8);
        std::ofstream out(path, std::ios::binary);
        for (std::size_t written = 0; written < kFileSize; written += unit.size()) out << unit;
    }
    return path.u16string();
}

// The editor's state that a keystroke touches.
struct Editing {
    TextDocument document;
    EditHistory history;
    int caret = 0;

    void type(char16_t c) {
        EditRecord record;
        record.kind = EditRecord::Kind::Insert;
        record.position = caret;
        record.caretBefore = caret;
        record.newText.assign(1, c);
        history.record(std::move(record));
        document.replace(caret, caret, std::u16string_view(&c, 1));
        ++caret;
    }
    void undo() {
        if (auto replay = history.undo()) {
            document.replace(replay->start, replay->end, replay->text);
            caret = replay->caret;
        }
    }
};

// Loaded once and shared by every typing benchmark; each leaves it as it found it.
Editing& loaded() {
    static Editing editing;
    static const bool ready = [] {
        setNarrowCodePage(932);
        return editing.document.load(sampleFile());
    }();
    if (!ready) std::abort();
    return editing;
}

enum class Where { Start, Middle, End };

int positionOf(const TextDocument& document, Where where) {
    switch (where) {
        case Where::Start:
            return 0;
        case Where::Middle:
            return document.lineStart(document.lineCount() / 2);
        default:
            return document.length();
    }
}

void loadFile(benchmark::State& state) {
    setNarrowCodePage(932);
    const std::u16string path = sampleFile();
    for (auto _ : state) {
        TextDocument document;
        if (!document.load(path)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(document.lineCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(path)));
}

// One iteration types a thousand characters; the undo afterwards puts the text
// back for the next iteration and is not timed.
void typeThousand(benchmark::State& state, Where where) {
    Editing& e = loaded();
    for (auto _ : state) {
        e.caret = positionOf(e.document, where);
        for (int k = 0; k < kKeystrokes; ++k) e.type(u'a' + static_cast<char16_t>(k % 26));
        state.PauseTiming();
        for (int k = 0; k < kKeystrokes; ++k) e.undo();
        e.history.reset();
        state.ResumeTiming();
    }
    state.counters["keystroke"] = benchmark::Counter(static_cast<double>(state.iterations() * kKeystrokes),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void undoOne(benchmark::State& state, Where where) {
    Editing& e = loaded();
    for (auto _ : state) {
        state.PauseTiming();
        e.caret = positionOf(e.document, where);
        e.type(u'x');
        state.ResumeTiming();
        e.undo();
    }
    e.history.reset();
}

BENCHMARK(loadFile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(typeThousand, start, Where::Start)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(typeThousand, middle, Where::Middle)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(typeThousand, end, Where::End)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(undoOne, start, Where::Start)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(undoOne, middle, Where::Middle)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(undoOne, end, Where::End)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
