#include "AudioTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace audiotest {

void useDummyAudio() { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }

bool render(const std::filesystem::path& path, const std::string& source, const std::string& options) {
    const std::string command = "ffmpeg -nostdin -loglevel error -y -f lavfi -i \"" + source + "\" " + options + " '" +
                                path.string() + "'";
    return std::system(command.c_str()) == 0;
}

bool renderOnset(const std::filesystem::path& path, double silenceSeconds, double toneSeconds,
                 const std::string& options) {
    const std::string source = "sine=frequency=1000:sample_rate=44100:samples_per_frame=441:duration=" +
                               std::to_string(silenceSeconds + toneSeconds) + ",volume=volume=0:enable='lt(t," +
                               std::to_string(silenceSeconds) + ")'";
    return render(path, source, "-ac 2 " + options);
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
