// The audio modules on ten minutes of 44.1 kHz stereo MP3: opening with an
// exact length, decoding and time-stretching through a decoding tempo stream
// (tempo 80 %, pitch +2 semitones), the same stretch by ffmpeg's atempo filter
// and by SoundTouch's soundstretch, and the processor time a playing stream
// takes on SDL's dummy output. Real-time factors are reported as counters.
// The test audio is made once in the system's temporary folder.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "audio/BassLibrary.h"
#include "audio/BassPlayer.h"

namespace {

constexpr double kSeconds = 600.0;

std::filesystem::path sample(const char* name, const char* format) {
    const auto path = std::filesystem::temp_directory_path() / name;
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) > 0) return path;
    // A tone under a little noise, so the stretcher has something to track.
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i \"sine=frequency=330:sample_rate=44100:duration=" +
        std::to_string(kSeconds) +
        "\" -f lavfi -i \"anoisesrc=amplitude=0.05:sample_rate=44100:duration=" + std::to_string(kSeconds) +
        "\" -filter_complex amix=inputs=2 -ac 2 " + format + " '" + path.string() + "'";
    if (std::system(command.c_str()) != 0) std::filesystem::remove(path);
    return path;
}

BassLibrary& library() {
    static BassLibrary instance = [] {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        return BassLibrary(std::filesystem::path(VELTRIX_BENCH_PLUGINS_DIR).u16string() + u"/");
    }();
    static const bool loaded = instance.load();
    (void)loaded;
    return instance;
}

double processSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_OpenWithPrescan(benchmark::State& state) {
    const std::u16string path = sample("veltrix-bench-10min.mp3", "-b:a 128k").u16string();
    const auto& f = library().functions();
    for (auto _ : state) {
        HSTREAM h = f.StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
        if (!h) state.SkipWithError("the module did not open the file");
        f.StreamFree(h);
    }
}
BENCHMARK(BM_OpenWithPrescan)->Unit(benchmark::kMillisecond);

void BM_OpenWithPrescanOneHour(benchmark::State& state) {
    const auto tenMinutes = sample("veltrix-bench-10min.mp3", "-b:a 128k");
    const auto hour = std::filesystem::temp_directory_path() / "veltrix-bench-60min.mp3";
    if (!std::filesystem::exists(hour)) {
        const std::string command = "ffmpeg -nostdin -loglevel error -y -stream_loop 5 -i '" + tenMinutes.string() +
                                    "' -c copy '" + hour.string() + "'";
        if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg could not join the file");
    }
    const std::u16string path = hour.u16string();
    const auto& f = library().functions();
    for (auto _ : state) {
        HSTREAM h = f.StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
        if (!h) state.SkipWithError("the module did not open the file");
        f.StreamFree(h);
    }
}
BENCHMARK(BM_OpenWithPrescanOneHour)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TempoStreamDecode(benchmark::State& state) {
    const std::u16string path = sample("veltrix-bench-10min.mp3", "-b:a 128k").u16string();
    const auto& f = library().functions();
    std::vector<char> buffer(20000);
    for (auto _ : state) {
        HSTREAM source = f.StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
        HSTREAM h = f.FX_TempoCreate(source, BASS_FX_FREESOURCE | BASS_STREAM_DECODE);
        f.ChannelSetAttribute(h, BASS_ATTRIB_TEMPO, -20.0f);
        f.ChannelSetAttribute(h, BASS_ATTRIB_TEMPO_PITCH, 2.0f);
        while (f.ChannelGetData(h, buffer.data(), static_cast<BASS_DWORD>(buffer.size())) != static_cast<BASS_DWORD>(-1)) {
        }
        f.StreamFree(h);
    }
    state.counters["realtime_x"] =
        benchmark::Counter(kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TempoStreamDecode)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_FfmpegAtempo(benchmark::State& state) {
    const std::string path = sample("veltrix-bench-10min.mp3", "-b:a 128k").string();
    const std::string command = "ffmpeg -nostdin -loglevel error -threads 1 -i '" + path + "' -af atempo=0.8 -f null -";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
    state.counters["realtime_x"] =
        benchmark::Counter(kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FfmpegAtempo)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_Soundstretch(benchmark::State& state) {
    // soundstretch reads WAVE only, so it is spared the MP3 decoding.
    const std::string path = sample("veltrix-bench-10min.wav", "").string();
    const std::string out = (std::filesystem::temp_directory_path() / "veltrix-bench-stretched.wav").string();
    const std::string command = "soundstretch '" + path + "' '" + out + "' -tempo=-20 -pitch=2 >/dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("soundstretch failed or is not installed");
    std::filesystem::remove(out);
    state.counters["realtime_x"] =
        benchmark::Counter(kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Soundstretch)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_PlayingStreamCpu(benchmark::State& state) {
    const std::u16string path = sample("veltrix-bench-10min.mp3", "-b:a 128k").u16string();
    BassPlayer player(library());
    for (auto _ : state) {
        player.open(path);
        player.setTempo(80);
        player.setPitch(113);  // about +2 semitones
        const double cpuBefore = processSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        player.play();
        std::this_thread::sleep_for(std::chrono::seconds(5));
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        state.counters["cpu_percent_of_core"] = 100.0 * (processSeconds() - cpuBefore) / wall;
        player.stop();
    }
}
BENCHMARK(BM_PlayingStreamCpu)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
