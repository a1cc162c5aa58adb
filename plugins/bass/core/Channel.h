// A channel of the library: something that produces interleaved float sample
// frames at a fixed rate and channel count. File streams, tempo streams and
// mixers are channels; the public handles name them.
//
// All channel state is guarded by the library lock (Library.h); every member
// here is called with that lock held, from the calling thread or from the
// output's audio thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "audio/BassApi.h"

namespace bass {

class Output;

inline constexpr std::uint64_t kUnknownLength = std::numeric_limits<std::uint64_t>::max();

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
enum class PlayState { Stopped, Playing, Paused };

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

    // Reads up to `frames` frames into `out` (frames × channels floats).
    // Returns the number read; fewer than asked only at the end, 0 once ended.
    // Taps see what was read.
    std::size_t read(float* out, std::size_t frames);

    // Length and position in frames, counted on the source's time line: a
    // tempo stream reports the position in the file it plays, whatever its tempo.
    virtual std::uint64_t lengthFrames() const = 0;
    virtual std::uint64_t positionFrames() const = 0;
    // Moves the next read to `frame`; false (and an error code) when impossible.
    virtual bool seek(std::uint64_t frame) = 0;
    virtual bool ended() const = 0;
    // How far the position moves for each frame read (the tempo, for tempo streams).
    virtual double positionStep() const { return 1.0; }

    // Attributes the channel implements beyond the volume; false with
    // BASS_ERROR_ILLTYPE otherwise.
    virtual bool setAttribute(BASS_DWORD attrib, float value);
    virtual bool getAttribute(BASS_DWORD attrib, float& value) const;
    float volume() const { return m_volume; }

    // Called once when the handle is freed, with the library lock held: taps
    // finish, sources that were handed over are freed (their outputs are added
    // to `closing`, to be released once the lock is dropped).
    virtual void onFree(std::vector<std::shared_ptr<Output>>& closing);

    void addTap(std::shared_ptr<DataTap> tap);
    void removeTap(const DataTap* tap);

    // Playback state, kept by the core's play/pause/stop functions.
    PlayState state = PlayState::Stopped;
    std::shared_ptr<Output> output;
    // The position reported while not playing.
    std::uint64_t heldPosition = 0;

protected:
    virtual std::size_t produce(float* out, std::size_t frames) = 0;

private:
    BASS_DWORD m_handle = 0;
    int m_rate;
    int m_channels;
    BASS_DWORD m_flags;
    ChannelKind m_kind;
    float m_volume = 1.0f;
    float m_appliedVolume = 1.0f;
    std::vector<std::shared_ptr<DataTap>> m_taps;
};

}  // namespace bass
