// The MP3 export on ten minutes of 44.1 kHz stereo MP3 at tempo 80: the whole
// export through the Converting dialog on the headless display (decoding,
// stretching, lame and the lyrics tag), beside ffmpeg doing the same stretch
// and encoding in one process; and the work of one tick of the dialog's
// 10 ms timer, whose longest must stay under the period for the window to
// stay responsive. Real-time factors and tick times are reported as counters.
// The test audio is made in the system's temporary folder when first needed
// (the same file as audio_player_bench's).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/BassLibrary.h"
#include "audio/BassPlayer.h"
#include "platform/display/HeadlessAnswers.h"
#include "player/ConvertingDialog.h"
#include "player/Mp3Export.h"

namespace headless = veltrix::platform::headless;

namespace {

constexpr double kSeconds = 600.0;
using Clock = std::chrono::steady_clock;

std::filesystem::path sample() {
    const auto path = std::filesystem::temp_directory_path() / "veltrix-bench-10min.mp3";
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) > 0) return path;
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i \"sine=frequency=330:sample_rate=44100:duration=" +
        std::to_string(kSeconds) +
        "\" -f lavfi -i \"anoisesrc=amplitude=0.05:sample_rate=44100:duration=" + std::to_string(kSeconds) +
        "\" -filter_complex amix=inputs=2 -ac 2 -b:a 128k '" + path.string() + "'";
    if (std::system(command.c_str()) != 0) std::filesystem::remove(path);
    return path;
}

std::filesystem::path output() { return std::filesystem::temp_directory_path() / "veltrix-bench-export.mp3"; }

BassLibrary& library() {
    static BassLibrary instance(std::filesystem::path(VELTRIX_BENCH_PLUGINS_DIR).u16string() + u"/");
    // Again after each benchmark's player released the device.
    instance.load();
    return instance;
}

// One sentence every four seconds, as a lesson has.
std::vector<SyltEntry> sentences() {
    std::vector<SyltEntry> entries;
    for (std::uint32_t ms = 0; ms < kSeconds * 1000; ms += 4000) entries.push_back({u"A sentence of the lesson.", ms});
    return entries;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_ExportThroughTheDialog(benchmark::State& state) {
    const auto path = sample();
    // The headless display ends a modal loop after ten seconds; this export
    // takes longer, so the dialog runs in a loop of the benchmark's own, on
    // its own timer as in the program.
    headless::setDialogResponder([](const headless::DialogShown& shown) {
        auto* dialog =
            static_cast<ConvertingDialog*>(reinterpret_cast<Dialog*>(GetWindowLongPtrW(shown.dialog, GWLP_USERDATA)));
        MSG msg;
        while (dialog->running() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return headless::kLetItRun;
    });
    BassPlayer player(library());
    Mp3ExportRequest request;
    request.target = output().u16string();
    request.sentences = sentences();
    request.tempo = 80;
    double total = 0;
    for (auto _ : state) {
        if (!player.open(path.u16string())) state.SkipWithError("cannot open the sample");
        player.setTempo(80);
        const auto started = Clock::now();
        std::u16string said;
        const bool done = exportMp3(player, nullptr, request, [&](const std::u16string& text) { said += text; });
        total += seconds(Clock::now() - started);
        if (!done) {
            const std::string narrow(said.begin(), said.end());
            state.SkipWithError(("the export failed: " + narrow).c_str());
        }
    }
    state.counters["realtime_x"] = kSeconds * static_cast<double>(state.iterations()) / total;
    headless::setDialogResponder(nullptr);
    std::filesystem::remove(output());
}
BENCHMARK(BM_ExportThroughTheDialog)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_FfmpegAtempoLame(benchmark::State& state) {
    const std::string command = "ffmpeg -nostdin -loglevel error -y -i '" + sample().string() +
                                "' -filter:a atempo=0.8 -c:a libmp3lame -b:a 128k '" + output().string() + "'";
    double total = 0;
    for (auto _ : state) {
        const auto started = Clock::now();
        if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
        total += seconds(Clock::now() - started);
    }
    state.counters["realtime_x"] = kSeconds * static_cast<double>(state.iterations()) / total;
    std::filesystem::remove(output());
}
BENCHMARK(BM_FfmpegAtempoLame)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The dialog's tick on its own: the longest, the 99th percentile and the
// median, in wall time (which on a loaded machine includes the time the
// thread waited for a processor) and in the thread's processor time.
void BM_ConvertingTick(benchmark::State& state) {
    const auto path = sample();
    BassPlayer player(library());
    for (auto _ : state) {
        if (!player.open(path.u16string())) state.SkipWithError("cannot open the sample");
        player.setTempo(80);
        if (!player.encodeToMp3(output().u16string())) state.SkipWithError("lame did not start");
        ConvertingDialog dialog(player);
        std::vector<double> ticks, cpu;
        for (bool more = true; more;) {
            const auto started = Clock::now();
            const double cpuStarted = threadCpuMs();
            more = dialog.pumpForTick();
            ticks.push_back(seconds(Clock::now() - started) * 1000);
            cpu.push_back(threadCpuMs() - cpuStarted);
        }
        player.stopEncoding();
        std::sort(ticks.begin(), ticks.end());
        std::sort(cpu.begin(), cpu.end());
        state.counters["ticks"] = static_cast<double>(ticks.size());
        state.counters["tick_max_ms"] = ticks.back();
        state.counters["tick_p99_ms"] = ticks[ticks.size() * 99 / 100];
        state.counters["tick_p50_ms"] = ticks[ticks.size() / 2];
        state.counters["tick_cpu_max_ms"] = cpu.back();
        state.counters["tick_cpu_p99_ms"] = cpu[cpu.size() * 99 / 100];
    }
    std::filesystem::remove(output());
}
BENCHMARK(BM_ConvertingTick)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    ::setenv("VELTRIX_DISPLAY", "headless", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
