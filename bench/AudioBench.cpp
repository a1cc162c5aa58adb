// The audio modules on ten minutes of 44.1 kHz stereo MP3: opening with an
// exact length, decoding and time-stretching through a decoding tempo stream
// (tempo 80 %, and 80 % with pitch +2 semitones), the same stretch by ffmpeg's
// atempo filter and by SoundTouch's soundstretch, and the processor time a
// playing stream takes on SDL's dummy output. On three hours of MP3: how long
// the calling thread waits in opening, seeking, playing and polling.
// Real-time factors and processor seconds are reported as counters. The test
// audio is made in the system's temporary folder when first needed.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
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

double cpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
double processSeconds() { return cpuSeconds(RUSAGE_SELF); }

// `copies` times the ten-minute sample, joined without re-encoding.
std::filesystem::path joined(int copies) {
    const auto tenMinutes = sample("veltrix-bench-10min.mp3", "-b:a 128k");
    const auto path =
        std::filesystem::temp_directory_path() / ("veltrix-bench-" + std::to_string(copies * 10) + "min.mp3");
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) > 0) return path;
    const std::string command = "ffmpeg -nostdin -loglevel error -y -stream_loop " + std::to_string(copies - 1) +
                                " -i '" + tenMinutes.string() + "' -c copy '" + path.string() + "'";
    if (std::system(command.c_str()) != 0) std::filesystem::remove(path);
    return path;
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
    const std::u16string path = joined(6).u16string();
    const auto& f = library().functions();
    for (auto _ : state) {
        HSTREAM h = f.StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
        if (!h) state.SkipWithError("the module did not open the file");
        f.StreamFree(h);
    }
}
BENCHMARK(BM_OpenWithPrescanOneHour)->Unit(benchmark::kMillisecond)->UseRealTime();

// Decodes the whole ten minutes through a decoding tempo stream.
void tempoDecode(benchmark::State& state, float tempo, float pitch) {
    const std::u16string path = sample("veltrix-bench-10min.mp3", "-b:a 128k").u16string();
    const auto& f = library().functions();
    std::vector<char> buffer(20000);
    double cpu = 0;
    for (auto _ : state) {
        const double before = processSeconds();
        HSTREAM source =
            f.StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
        HSTREAM h = f.FX_TempoCreate(source, BASS_FX_FREESOURCE | BASS_STREAM_DECODE);
        f.ChannelSetAttribute(h, BASS_ATTRIB_TEMPO, tempo);
        f.ChannelSetAttribute(h, BASS_ATTRIB_TEMPO_PITCH, pitch);
        while (f.ChannelGetData(h, buffer.data(), static_cast<BASS_DWORD>(buffer.size())) !=
               static_cast<BASS_DWORD>(-1)) {}
        f.StreamFree(h);
        cpu += processSeconds() - before;
    }
    state.counters["cpu_seconds"] = cpu / static_cast<double>(state.iterations());
    state.counters["realtime_x"] =
        benchmark::Counter(kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The yardstick for BM_FfmpegAtempo: the same file, the same tempo.
void BM_TempoStreamDecode(benchmark::State& state) { tempoDecode(state, -20.0f, 0.0f); }
BENCHMARK(BM_TempoStreamDecode)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_TempoAndPitchStreamDecode(benchmark::State& state) { tempoDecode(state, -20.0f, 2.0f); }
BENCHMARK(BM_TempoAndPitchStreamDecode)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_FfmpegAtempo(benchmark::State& state) {
    const std::string path = sample("veltrix-bench-10min.mp3", "-b:a 128k").string();
    const std::string command = "ffmpeg -nostdin -loglevel error -threads 1 -i '" + path + "' -af atempo=0.8 -f null -";
    double cpu = 0;
    for (auto _ : state) {
        const double before = cpuSeconds(RUSAGE_CHILDREN);
        if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
        cpu += cpuSeconds(RUSAGE_CHILDREN) - before;
    }
    state.counters["cpu_seconds"] = cpu / static_cast<double>(state.iterations());
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

// Processor time while playing, for five seconds: plain (the samples pass
// straight through) and at 80 % with +2 semitones.
void BM_PlayingStreamCpu(benchmark::State& state) {
    const std::u16string path = sample("veltrix-bench-10min.mp3", "-b:a 128k").u16string();
    const bool stretched = state.range(0) != 0;
    BassPlayer player(library());
    player.initialize();  // an earlier player released the device
    for (auto _ : state) {
        player.open(path);
        player.setTempo(stretched ? 80 : 100);
        player.setPitch(stretched ? 113 : 100);  // about +2 semitones
        player.play();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the first fill
        const double cpuBefore = processSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(5));
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        state.counters["cpu_percent_of_core"] = 100.0 * (processSeconds() - cpuBefore) / wall;
        player.stop();
    }
}
BENCHMARK(BM_PlayingStreamCpu)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The longest the calling thread waits in any one call while a three-hour MP3
// is opened, played, sought across, polled as the player's timer does,
// paused, retimed, resumed, stopped and closed. On a busy machine the wall
// time includes waiting for a processor; the thread's own processor time and
// its voluntary waits (for a lock, for the disk) tell that apart.
struct CallCost {
    double wallMs = 0;
    double cpuMs = 0;
    long waits = 0;
};

void BM_ThreeHourFileNeverBlocks(benchmark::State& state) {
    const std::u16string path = joined(18).u16string();
    BassPlayer player(library());
    player.initialize();
    std::mt19937 random(20);
    using Clock = std::chrono::steady_clock;
    CallCost open, seek, play, poll, other;
    auto timed = [](CallCost& longest, auto&& call) {
        rusage before{}, after{};
        ::getrusage(RUSAGE_THREAD, &before);
        const auto start = Clock::now();
        call();
        const double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        ::getrusage(RUSAGE_THREAD, &after);
        const double cpu =
            (after.ru_utime.tv_sec - before.ru_utime.tv_sec + after.ru_stime.tv_sec - before.ru_stime.tv_sec) * 1e3 +
            (after.ru_utime.tv_usec - before.ru_utime.tv_usec + after.ru_stime.tv_usec - before.ru_stime.tv_usec) / 1e3;
        longest.wallMs = std::max(longest.wallMs, wall);
        longest.cpuMs = std::max(longest.cpuMs, cpu);
        longest.waits += after.ru_nvcsw - before.ru_nvcsw;
    };
    for (auto _ : state) {
        timed(open, [&] {
            if (!player.open(path)) state.SkipWithError("the file did not open");
        });
        timed(seek, [&] { player.setPosition(0); });
        timed(play, [&] { player.play(); });
        const int length = static_cast<int>(player.lengthMs);
        for (int i = 0; i < 40; ++i) {
            timed(seek, [&] { player.setPosition(static_cast<int>(random() % static_cast<unsigned>(length))); });
            for (int tick = 0; tick < 3; ++tick) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                timed(poll, [&] {
                    player.isPlaying();
                    player.isPaused();
                    player.getPosition();
                });
            }
            if (i % 10 == 5) {
                timed(other, [&] { player.pause(); });
                timed(other, [&] { player.setTempo(70 + i); });
                timed(other, [&] { player.resume(); });
            }
        }
        timed(other, [&] { player.stop(); });
        timed(other, [&] { player.close(); });
    }
    for (const auto& [name, cost] : {std::pair{"open", open}, std::pair{"seek", seek}, std::pair{"play", play},
                                     std::pair{"poll", poll}, std::pair{"other", other}}) {
        state.counters[std::string(name) + "_wall_ms"] = cost.wallMs;
        state.counters[std::string(name) + "_cpu_ms"] = cost.cpuMs;
        state.counters[std::string(name) + "_waits"] = static_cast<double>(cost.waits);
    }
}
BENCHMARK(BM_ThreeHourFileNeverBlocks)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
