#include "AudioTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace audiotest {

void useDummyAudio() { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }

void useLatencyOutput(int latencyMs) {
    ::setenv("VELTRIX_BASS_OUTPUT", ("latency:" + std::to_string(latencyMs)).c_str(), 1);
}

void useRealOutput() { ::unsetenv("VELTRIX_BASS_OUTPUT"); }

bool render(const std::filesystem::path& path, const std::string& source, const std::string& options) {
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i \"" + source + "\" " + options + " '" + path.string() + "'";
    return std::system(command.c_str()) == 0;
}

bool renderOnset(const std::filesystem::path& path, double silenceSeconds, double toneSeconds,
                 const std::string& options) {
    const std::string source = "sine=frequency=1000:sample_rate=44100:samples_per_frame=441:duration=" +
                               std::to_string(silenceSeconds + toneSeconds) + ",volume=volume=0:enable='lt(t," +
                               std::to_string(silenceSeconds) + ")'";
    return render(path, source, "-ac 2 " + options);
}

bool renderNoise(const std::filesystem::path& path, double seconds, const std::string& options, int seed) {
    return render(path,
                  "anoisesrc=color=white:amplitude=0.5:sample_rate=44100:seed=" + std::to_string(seed) +
                      ":duration=" + std::to_string(seconds),
                  "-ac 2 " + options);
}

double secondsDecodedByFfmpeg(const std::filesystem::path& path) {
    const std::string command =
        "ffmpeg -nostdin -loglevel error -i '" + path.string() + "' -f f32le -ac 1 -ar 44100 - | wc -c";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    long long bytes = -1;
    if (std::fscanf(pipe, "%lld", &bytes) != 1) bytes = -1;
    ::pclose(pipe);
    return bytes < 0 ? -1.0 : static_cast<double>(bytes) / 4.0 / 44100.0;
}

std::u16string pluginsFolder() { return std::filesystem::path(VELTRIX_TEST_PLUGINS_DIR).u16string() + u"/"; }

std::u16string partialPlugins(const TempDir& dir, const std::vector<std::string>& modules) {
    const std::filesystem::path from(VELTRIX_TEST_PLUGINS_DIR);
    const std::filesystem::path to = dir.path() / "Plugins";
    std::filesystem::create_directories(to);
    // Links, not copies: the loader then sees the very modules already loaded
    // by other tests in the same process, as the program only ever has one set.
    for (const auto& name : modules) std::filesystem::create_symlink(from / name, to / name);
    return to.u16string() + u"/";
}

ExtraFunctions::ExtraFunctions(const std::u16string& folder) {
    module = LoadLibraryW((folder + u"libbass.so").c_str());
    if (!module) return;
    ChannelGetAttribute =
        reinterpret_cast<BASS_ChannelGetAttribute_t>(GetProcAddress(module, "BASS_ChannelGetAttribute"));
    ChannelBytes2Seconds =
        reinterpret_cast<double (*)(BASS_DWORD, BASS_QWORD)>(GetProcAddress(module, "BASS_ChannelBytes2Seconds"));
}

ExtraFunctions::~ExtraFunctions() {
    if (module) FreeLibrary(module);
}

MessageRecorder::MessageRecorder() {
    setAudioMessageHandler([this](const AudioMessage& m) { messages.push_back(m); });
}

MessageRecorder::~MessageRecorder() { setAudioMessageHandler({}); }

std::vector<float> decodeAll(const BassFunctions& f, HSTREAM channel) {
    std::vector<float> samples;
    std::vector<std::int16_t> block(8192);
    for (;;) {
        BASS_DWORD got = f.ChannelGetData(channel, block.data(), static_cast<BASS_DWORD>(block.size() * 2));
        if (got == static_cast<BASS_DWORD>(-1) || got == 0) break;
        for (std::size_t i = 0; i < got / 2; ++i) samples.push_back(block[i] / 32767.0f);
    }
    return samples;
}

std::int64_t firstLoudFrame(const std::vector<float>& samples, int channels, float threshold) {
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (std::fabs(samples[i]) > threshold) return static_cast<std::int64_t>(i / channels);
    return -1;
}

double toneFrequency(const std::vector<float>& samples, int channels, int rate) {
    // Skip the edges, where stretching and encoders ramp in and out.
    const std::size_t frames = samples.size() / channels;
    const std::size_t from = frames / 4;
    const std::size_t to = frames * 3 / 4;
    int crossings = 0;
    for (std::size_t f = from + 1; f < to; ++f)
        if (samples[(f - 1) * channels] < 0 && samples[f * channels] >= 0) ++crossings;
    return crossings * static_cast<double>(rate) / static_cast<double>(to - from);
}

double rms(const std::vector<float>& samples) {
    double sum = 0;
    for (float s : samples) sum += double(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

}  // namespace audiotest

namespace audiotest {

std::vector<float> decodeReference(const BassFunctions& f, const std::u16string& path) {
    std::vector<float> mono;
    HSTREAM h = f.StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    if (!h) return mono;
    const auto samples = decodeAll(f, h);
    f.StreamFree(h);
    for (std::size_t i = 0; i < samples.size(); i += 2) mono.push_back(samples[i]);
    return mono;
}

Match bestMatch(const std::vector<float>& window, const std::vector<float>& reference, std::int64_t expected,
                std::int64_t range) {
    Match best{0, -2.0};
    const auto n = static_cast<std::int64_t>(window.size());
    double windowEnergy = 0;
    for (float v : window) windowEnergy += double(v) * v;
    for (std::int64_t offset = -range; offset <= range; ++offset) {
        const std::int64_t at = expected + offset;
        if (at < 0 || at + n > static_cast<std::int64_t>(reference.size())) continue;
        double dot = 0;
        double energy = 0;
        for (std::int64_t i = 0; i < n; ++i) {
            const double r = reference[static_cast<std::size_t>(at + i)];
            dot += window[static_cast<std::size_t>(i)] * r;
            energy += r * r;
        }
        const double correlation = windowEnergy > 0 && energy > 0 ? dot / std::sqrt(windowEnergy * energy) : 0;
        if (correlation > best.correlation) best = Match{offset, correlation};
    }
    return best;
}

HeardAudio::HeardAudio(const std::u16string& pluginsFolder) {
    m_module = LoadLibraryW((pluginsFolder + u"libbass.so").c_str());
    if (!m_module) return;
    m_read = reinterpret_cast<Read>(GetProcAddress(m_module, "VeltrixTestOutput_Read"));
    m_frameAt = reinterpret_cast<FrameAt>(GetProcAddress(m_module, "VeltrixTestOutput_FrameAt"));
}

OutputClock::OutputClock(const std::u16string& pluginsFolder) {
    m_module = LoadLibraryW((pluginsFolder + u"libbass.so").c_str());
    if (m_module) m_frames = reinterpret_cast<Frames>(GetProcAddress(m_module, "VeltrixTestOutput_Frames"));
}

OutputClock::~OutputClock() {
    if (m_module) FreeLibrary(m_module);
}

double OutputClock::ms() const {
    int rate = 0;
    BASS_QWORD dry = 0;
    const BASS_QWORD frames = m_frames ? m_frames(&rate, &dry) : 0;
    return rate > 0 ? static_cast<double>(frames - dry) * 1000.0 / rate : 0.0;
}

double OutputClock::wait(double ms) const {
    const double until = this->ms() + ms;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    double now = this->ms();
    while (now < until && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        now = this->ms();
    }
    return now;
}

double OutputClock::latencyMs() {
    const char* value = std::getenv("VELTRIX_BASS_OUTPUT");
    if (!value) return 0;
    const std::string text(value);
    if (text == "latency") return 100;
    return text.rfind("latency:", 0) == 0 ? std::atof(text.c_str() + 8) : 0;
}

HeardAudio::~HeardAudio() {
    if (m_module) FreeLibrary(m_module);
}

int HeardAudio::rate() const {
    int rate = 0;
    if (m_read) m_read(0, nullptr, 0, &rate);
    return rate;
}

std::int64_t HeardAudio::frameAt(std::chrono::steady_clock::time_point when) const {
    if (!m_frameAt) return -1;
    return m_frameAt(std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch()).count());
}

std::vector<float> HeardAudio::mono(std::int64_t from, std::size_t count) const {
    std::vector<float> stereo(count * 2);
    const BASS_DWORD got = m_read && from >= 0 ? m_read(static_cast<BASS_QWORD>(from), stereo.data(),
                                                        static_cast<BASS_DWORD>(count), nullptr)
                                               : 0;
    std::vector<float> out(got);
    for (std::size_t i = 0; i < got; ++i) out[i] = stereo[i * 2];
    return out;
}

std::vector<HeardAudio::Stretch> HeardAudio::stretches(std::int64_t from, std::int64_t to) const {
    const std::vector<float> frames = mono(from, static_cast<std::size_t>(std::max<std::int64_t>(0, to - from)));
    const std::size_t minSilence = static_cast<std::size_t>(rate()) / 500;
    std::vector<Stretch> found;
    std::size_t i = 0;
    while (i < frames.size()) {
        while (i < frames.size() && frames[i] == 0.0f) ++i;
        if (i == frames.size()) break;
        const std::size_t first = i;
        std::size_t zeros = 0;
        while (i < frames.size() && zeros < minSilence) {
            zeros = frames[i] == 0.0f ? zeros + 1 : 0;
            ++i;
        }
        found.push_back({from + static_cast<std::int64_t>(first), from + static_cast<std::int64_t>(i - zeros)});
    }
    return found;
}

std::chrono::steady_clock::time_point HeardAudio::heardAt(std::int64_t frame, std::chrono::steady_clock::time_point low,
                                                          std::chrono::steady_clock::time_point high) const {
    while (high - low > std::chrono::microseconds(100)) {
        const auto mid = low + (high - low) / 2;
        const std::int64_t at = frameAt(mid);
        if (at >= 0 && at >= frame)
            high = mid;
        else
            low = mid;
    }
    return high;
}

std::int64_t HeardAudio::firstSound(std::int64_t from, float threshold) const {
    constexpr std::size_t kChunk = 4096;
    for (std::int64_t at = std::max<std::int64_t>(from, 0);; at += kChunk) {
        const auto samples = mono(at, kChunk);
        for (std::size_t i = 0; i < samples.size(); ++i)
            if (std::fabs(samples[i]) > threshold) return at + static_cast<std::int64_t>(i);
        if (samples.size() < kChunk) return -1;
    }
}

}  // namespace audiotest
