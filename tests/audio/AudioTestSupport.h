// Shared pieces of the audio tests: test audio made with the Debian tools, a
// library loaded from the build's Plugins folder (or a copy of part of it), the
// functions the player does not look up, and a recorder for the player's boxes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/AudioMessage.h"
#include "audio/BassLibrary.h"
#include "support/TempDir.h"

namespace audiotest {

// Makes the output of SDL silent and real-time; call before anything starts SDL.
void useDummyAudio();

// Renders an ffmpeg lavfi source description ("sine=frequency=440:duration=2")
// into `path` with the given extra output options; true when ffmpeg succeeded.
bool render(const std::filesystem::path& path, const std::string& source, const std::string& options = "");
// Silence for `silenceSeconds`, then a 1 kHz tone for `toneSeconds`.
bool renderOnset(const std::filesystem::path& path, double silenceSeconds, double toneSeconds,
                 const std::string& options = "");

// The seconds ffmpeg decodes from a file (at its own rate), or -1.
double secondsDecodedByFfmpeg(const std::filesystem::path& path);

// The build's Plugins folder, with its trailing separator.
std::u16string pluginsFolder();
// The named modules (links to the build's) in a fresh Plugins folder.
std::u16string partialPlugins(const TempDir& dir, const std::vector<std::string>& modules);

// Functions of libbass.so that the player does not look up.
struct ExtraFunctions {
    explicit ExtraFunctions(const std::u16string& folder);
    ~ExtraFunctions();
    HMODULE module = nullptr;
    BASS_ChannelGetAttribute_t ChannelGetAttribute = nullptr;
    double (*ChannelBytes2Seconds)(BASS_DWORD, BASS_QWORD) = nullptr;
};

// Records every message box instead of showing it.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    std::vector<AudioMessage> messages;
};

// Decodes a whole channel (16-bit) into interleaved samples scaled to [-1, 1].
std::vector<float> decodeAll(const BassFunctions& f, HSTREAM channel);
// The index of the first frame whose magnitude exceeds `threshold`, or -1.
std::int64_t firstLoudFrame(const std::vector<float>& samples, int channels, float threshold);
// The frequency of a steady tone from its upward zero crossings.
double toneFrequency(const std::vector<float>& samples, int channels, int rate);
double rms(const std::vector<float>& samples);

}  // namespace audiotest
