// Timing sentences automatically on lessons spoken by espeak-ng: how long an
// hour of audio takes (the goal is under 10 minutes), how much memory it
// holds, and how far the computed starts lie from the true ones for each kind
// of lesson (median and 95th percentile, in milliseconds).
//
//   build/bench/autotime_bench                      # everything (several minutes)
//   build/bench/autotime_bench --benchmark_filter=Errors
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "audio/BassLibrary.h"
#include "audio/SentenceTimer.h"
#include "audio/SpeechAudio.h"
#include "audio/SpeechLessons.h"
#include "audio/SphinxRecognizer.h"

namespace {

using speechtest::Lesson;
using speechtest::LessonOptions;

struct Folder {
    Folder() : path(std::filesystem::temp_directory_path() / ("veltrix-autotime-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~Folder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

// The audio modules for one benchmark. Not a static: its release at exit
// would come after the modules' own statics are gone.
class Modules {
public:
    Modules() : library_(std::filesystem::path(VELTRIX_BENCH_PLUGINS_DIR).u16string() + u"/") {
        // Only decoding is needed: no sound device.
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        library_.load();
    }
    BassLibrary& library() { return library_; }

private:
    BassLibrary library_;
};

TimingOutcome timeLesson(SpeechRecognizer& recognizer, const Lesson& lesson) {
    Modules modules;
    SentenceTimer timer(recognizer, lesson.sentences);
    std::u16string error;
    readSpeechAudio(
        modules.library(), lesson.audio.u16string(),
        [&](std::span<const std::int16_t> block) { return timer.addSamples(block); }, error);
    return timer.finish();
}

// Times the lesson once per iteration; false (the benchmark skipped) without a model.
bool timeInLoop(benchmark::State& state, const Lesson& lesson, TimingOutcome& outcome) {
    std::u16string error;
    auto recognizer = SphinxRecognizer::create(error);
    if (!recognizer) {
        state.SkipWithError("no speech model");
        return false;
    }
    for (auto _ : state) outcome = timeLesson(*recognizer, lesson);
    return true;
}

std::vector<std::uint32_t> startsOf(const TimingOutcome& outcome) {
    std::vector<std::uint32_t> starts;
    for (const auto& span : outcome.spans) starts.push_back(span.startMs);
    return starts;
}

void BM_TimeAnHourOfAudio(benchmark::State& state) {
    Folder folder;
    std::vector<speechtest::LessonSentence> sentences;
    const auto& all = speechtest::sampleSentences();
    for (std::size_t i = 0; i < 1300; ++i) sentences.push_back({all[i % all.size()], i % 7 == 3 ? "en-gb" : "en-us"});
    LessonOptions options;
    options.pausesSeconds = {0.1, 0.4, 1.0, 0.25, 0.7, 0.55};
    options.mp3 = true;
    Lesson lesson;
    if (!speechtest::makeLesson(folder.path, "hour", sentences, options, lesson)) {
        state.SkipWithError("espeak-ng or lame failed");
        return;
    }
    TimingOutcome outcome;
    if (!timeInLoop(state, lesson, outcome)) return;
    const auto errors = speechtest::startErrors(lesson, startsOf(outcome));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["audio_min"] = lesson.lengthMs / 60000.0;
    state.counters["timed"] = outcome.ok() ? 1 : 0;
    state.counters["median_ms"] = speechtest::percentile(errors, 0.5);
    state.counters["p95_ms"] = speechtest::percentile(errors, 0.95);
    state.counters["max_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_TimeAnHourOfAudio)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Kinds: 0 pauses of 0.1 to 1 s, 1 no pauses, 2 noise at 20 dB SNR, 3 two voices.
void BM_ErrorsByKind(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    Folder folder;
    std::vector<speechtest::LessonSentence> sentences = speechtest::takeSentences(0, 30);
    LessonOptions options;
    options.pausesSeconds = {0.1, 0.4, 1.0, 0.25, 0.7, 0.55, 0.15};
    if (kind == 1) options.pausesSeconds = {0.0};
    if (kind == 2) options.snrDb = 20;
    if (kind == 3)
        for (std::size_t i = 0; i < sentences.size(); i += 2) sentences[i].voice = "en-gb";
    Lesson lesson;
    if (!speechtest::makeLesson(folder.path, "kind", sentences, options, lesson)) {
        state.SkipWithError("espeak-ng failed");
        return;
    }
    TimingOutcome outcome;
    if (!timeInLoop(state, lesson, outcome)) return;
    if (!outcome.ok()) {
        state.SkipWithError(std::string(outcome.error.begin(), outcome.error.end()).c_str());
        return;
    }
    const auto errors = speechtest::startErrors(lesson, startsOf(outcome));
    state.counters["median_ms"] = speechtest::percentile(errors, 0.5);
    state.counters["p95_ms"] = speechtest::percentile(errors, 0.95);
    state.counters["max_ms"] = speechtest::percentile(errors, 1.0);
}
BENCHMARK(BM_ErrorsByKind)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
