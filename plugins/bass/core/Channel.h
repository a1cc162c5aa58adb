// A channel of the library: something that produces interleaved float sample
// frames at a fixed rate and channel count. File streams, tempo streams and
// mixers are channels; the public handles name them.
//
// Threads: a channel's decoding state belongs to whoever holds its decoder
// lock, taken by every public member below that reads, seeks or asks for the
// position: the thread that calls BASS_ChannelGetData on a decoding channel,
// or the feeder thread of a playable one (Playback.h). Attributes are stored
// from any thread without that lock and take effect at the next block the
// decoding thread produces, so that setting one never waits for decoding. The
// length is read without the lock too (it may become exact once, when a
// background scan of the file ends).
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/BassApi.h"

namespace bass {

inline constexpr std::uint64_t kUnknownLength = std::numeric_limits<std::uint64_t>::max();

// Where the frames of a block lie on the source's time line: consecutive runs,
// each starting at a source frame and advancing `step` source frames for each
// frame delivered (the tempo the run was stretched with, 1 for plain decoding).
struct TimeRun {
    std::size_t frames = 0;
    double start = 0;
    double step = 1;
};

class TimeRuns {
public:
    void clear() { m_count = 0; }
    // A run that continues the last one on the time line extends it. Runs
    // beyond the capacity are folded into the last (a block never holds that
    // many tempo changes).
    void add(std::size_t frames, double start, double step);
    std::size_t size() const { return m_count; }
    const TimeRun& operator[](std::size_t i) const { return m_runs[i]; }
    std::size_t totalFrames() const;

private:
    std::array<TimeRun, 8> m_runs{};
    std::size_t m_count = 0;
};

// Receives every block of sample data a channel delivers (decoded or played);
// the encoder module attaches one.
class DataTap {
public:
    virtual ~DataTap() = default;
    virtual void onData(const float* frames, std::size_t count, int rate, int channels) = 0;
    // The channel is being freed; the tap finishes its work.
    virtual void onChannelFreed() = 0;
};

enum class ChannelKind { Stream, Music };

struct ChannelEntry;

class Channel {
public:
    Channel(int rate, int channels, BASS_DWORD flags, ChannelKind kind);
    virtual ~Channel();
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    BASS_DWORD handle() const { return m_handle; }
    void setHandle(BASS_DWORD handle) { m_handle = handle; }
    int rate() const { return m_rate; }
    int channels() const { return m_channels; }
    BASS_DWORD flags() const { return m_flags; }
    ChannelKind kind() const { return m_kind; }
    bool isDecoding() const { return (m_flags & BASS_STREAM_DECODE) != 0; }
    // Bytes per frame as BASS_ChannelGetData delivers it: 16-bit unless the
    // channel was made with BASS_SAMPLE_FLOAT.
    int bytesPerFrame() const { return m_channels * ((m_flags & BASS_SAMPLE_FLOAT) ? 4 : 2); }

    // Reads up to `frames` frames into `out` (frames × channels floats), with
    // the volume applied. Returns the number read; fewer than asked only at the
    // end, 0 once ended. Taps see what was read.
    std::size_t read(float* out, std::size_t frames);
    // The same without the volume (the output applies it as the frames sound),
    // telling where the frames lie on the time line.
    std::size_t readTimed(float* out, std::size_t frames, TimeRuns& runs);
    // Moves the next read to `frame`; false (and an error code) when impossible.
    bool seek(std::uint64_t frame);
    // The position of the next frame read, counted on the source's time line: a
    // tempo stream reports the position in the file it plays, whatever its tempo.
    std::uint64_t position();
    bool ended();

    // Length in frames on the source's time line, or kUnknownLength.
    virtual std::uint64_t lengthFrames() const = 0;
    // Ends work in progress for good (a long seek or scan): the channel is
    // being freed and its feeder must not keep the caller waiting.
    virtual void cancel() {}

    // The volume and the attributes a channel implements beyond it; false with
    // BASS_ERROR_ILLTYPE for others.
    bool setAttribute(BASS_DWORD attrib, float value);
    bool getAttribute(BASS_DWORD attrib, float& value) const;
    float volume() const { return m_volume.load(); }

    // Called once when the handle is freed, with the library lock held: the
    // handles of sources that were handed over are freed too (into
    // `released`, to be let go once the lock is dropped).
    virtual void freeSources(std::vector<ChannelEntry>& released) {}
    // Called once as the freed channel is let go: taps finish their work.
    void finishTaps();

    void addTap(std::shared_ptr<DataTap> tap);
    void removeTap(const DataTap* tap);

protected:
    // All called with the decoder lock held.
    virtual std::size_t produce(float* out, std::size_t frames, TimeRuns& runs) = 0;
    virtual bool seekTo(std::uint64_t frame) = 0;
    virtual std::uint64_t positionFrames() const = 0;
    virtual bool isEnded() const = 0;
    // Attributes beyond the volume, from any thread.
    virtual bool storeAttribute(BASS_DWORD attrib, float value);
    virtual bool loadAttribute(BASS_DWORD attrib, float& value) const;
    // For members of subclasses that change decoding state from other threads.
    std::recursive_mutex& decoderLock() { return m_decoder; }

private:
    std::size_t readLocked(float* out, std::size_t frames, TimeRuns& runs, bool withVolume);
    void applyVolume(float* out, std::size_t frames);

    BASS_DWORD m_handle = 0;
    int m_rate;
    int m_channels;
    BASS_DWORD m_flags;
    ChannelKind m_kind;
    std::recursive_mutex m_decoder;
    std::atomic<float> m_volume{1.0f};
    float m_appliedVolume = 1.0f;                  // decoder lock
    bool m_delivered = false;                      // decoder lock: something has been read
    std::vector<std::shared_ptr<DataTap>> m_taps;  // decoder lock
};

}  // namespace bass
