// Shared pieces of the audio tests: test audio made with the Debian tools, a
// library loaded from the build's Plugins folder (or a copy of part of it), the
// functions the player does not look up, and a recorder for the player's boxes.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "audio/AudioMessage.h"
#include "audio/BassLibrary.h"
#include "support/TempDir.h"

namespace audiotest {

// Makes the output of SDL silent and real-time; call before anything starts SDL.
void useDummyAudio();
// Makes the modules play on their test output, which is heard `latency` after
// it consumes (from the next BASS_Init on); useRealOutput undoes it.
void useLatencyOutput(int latencyMs = 100);
void useRealOutput();

// Renders an ffmpeg lavfi source description ("sine=frequency=440:duration=2")
// into `path` with the given extra output options; true when ffmpeg succeeded.
bool render(const std::filesystem::path& path, const std::string& source, const std::string& options = "");
// Silence for `silenceSeconds`, then a 1 kHz tone for `toneSeconds`.
bool renderOnset(const std::filesystem::path& path, double silenceSeconds, double toneSeconds,
                 const std::string& options = "");

// White noise (the same for a given seed), two identical channels: every
// stretch of it is unlike every other, so cross-correlation finds where any
// piece of it came from.
bool renderNoise(const std::filesystem::path& path, double seconds, const std::string& options = "", int seed = 7);

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

// Mono (first channel) float samples of a whole file as the modules decode it:
// the time line positions are counted on.
std::vector<float> decodeReference(const BassFunctions& f, const std::u16string& path);

// Where `window` fits best in `reference`, searching `range` frames either side
// of `expected`: the offset from `expected` (in frames) and the normalised
// correlation there (1 for an exact copy).
struct Match {
    std::int64_t offset = 0;
    double correlation = 0;
};
Match bestMatch(const std::vector<float>& window, const std::vector<float>& reference, std::int64_t expected,
                std::int64_t range);

// The clock of the output the modules play on: the frames it has taken since
// BASS_Init, less those in which a playing channel ran dry because its feeder
// was late. On a busy machine it runs behind the wall clock, as the sound
// does, so timing checks measured on it hold however loaded the machine is.
class OutputClock {
public:
    explicit OutputClock(const std::u16string& pluginsFolder);
    ~OutputClock();
    OutputClock(const OutputClock&) = delete;
    OutputClock& operator=(const OutputClock&) = delete;

    bool available() const { return m_frames != nullptr; }
    // Milliseconds of output taken; 0 when no output is open.
    double ms() const;
    // Waits until `ms` more milliseconds of output have been taken (at most a
    // minute of wall time); returns the clock then.
    double wait(double ms) const;
    // Milliseconds between the output taking a frame and it being heard, as
    // chosen through the environment (none on SDL's dummy driver).
    static double latencyMs();

private:
    using Frames = BASS_QWORD (*)(int*, BASS_QWORD*);
    HMODULE m_module = nullptr;
    Frames m_frames = nullptr;
};

// What the modules' test output has consumed and when it was heard.
class HeardAudio {
public:
    explicit HeardAudio(const std::u16string& pluginsFolder);
    ~HeardAudio();
    HeardAudio(const HeardAudio&) = delete;
    HeardAudio& operator=(const HeardAudio&) = delete;

    bool available() const { return m_read && m_frameAt; }
    // The output frame heard at `when`, or when silence filled a gap then
    // (after a late block) the first heard after it; -1 when there is none.
    std::int64_t frameAt(std::chrono::steady_clock::time_point when) const;
    // Mono (first channel) samples of output frames [from, from + count), or
    // fewer when they have not been consumed yet.
    std::vector<float> mono(std::int64_t from, std::size_t count) const;
    // The first output frame from `from` on whose magnitude exceeds `threshold`, or -1.
    std::int64_t firstSound(std::int64_t from, float threshold) const;
    // The stretches of sound among the frames [from, to), as [first, end);
    // silence is a run of at least 2 ms of zeros.
    struct Stretch {
        std::int64_t first;
        std::int64_t end;
    };
    std::vector<Stretch> stretches(std::int64_t from, std::int64_t to) const;
    // When `frame` was heard, to 0.1 ms, looked for between `low` and `high`.
    // The output may have run dry on a busy machine, and the silence that
    // filled in is not among the frames kept: a silence is measured on this
    // clock, not by counting frames.
    std::chrono::steady_clock::time_point heardAt(std::int64_t frame, std::chrono::steady_clock::time_point low,
                                                  std::chrono::steady_clock::time_point high) const;
    int rate() const;

private:
    using Read = BASS_DWORD (*)(BASS_QWORD, float*, BASS_DWORD, int*);
    using FrameAt = std::int64_t (*)(std::int64_t);
    HMODULE m_module = nullptr;
    Read m_read = nullptr;
    FrameAt m_frameAt = nullptr;
};

}  // namespace audiotest
