// Plays one playable channel. A feeder thread decodes (and stretches) the
// channel block by block, converts it to the output's rate and stereo, and
// writes it into the channel's PlaybackBuffer, which the output device copies
// from. Play, pause, stop and seek come from the library's functions on other
// threads and never wait for decoding: a seek drops what is buffered and is
// carried out by the feeder, and the position is answered at once from what
// the output has played.
//
// States: Stopped, Playing or Paused, as the published functions report them;
// Playing turns Stopped by itself once the channel's last frame has been heard.
// While not playing the position is the one held at pause, stop or seek, and
// the buffer is refilled from there, so that playing again starts at once.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "core/Channel.h"
#include "core/PlaybackBuffer.h"

namespace bass {

enum class PlayState { Stopped, Playing, Paused };

class Playback {
public:
    Playback(std::shared_ptr<Channel> channel, int outputRate);
    // Interrupts the channel's work in progress and waits for the feeder.
    ~Playback();
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    const std::shared_ptr<PlaybackBuffer>& buffer() const { return m_buffer; }

    PlayState state();
    // Whether the channel played to its end (and is stopped since).
    bool playedToEnd();
    // Starts or resumes; from the start when `restart` or when the channel had
    // played to its end.
    void play(bool restart);
    // False when the channel is not playing.
    bool pause();
    void stop();
    void seek(std::uint64_t frame);
    // The tempo, pitch or rate changed: what is buffered and not yet given to
    // the output is made again, so that the change is heard at once.
    void remake();
    // In the channel's frames.
    double position();

private:
    void settle(Clock::time_point now);  // m_control held
    void restartAt(double frame);        // m_control held
    void requestSeek(double frame);      // m_control held
    void feed();

    std::shared_ptr<Channel> m_channel;
    const int m_outputRate;
    std::shared_ptr<PlaybackBuffer> m_buffer;

    std::mutex m_control;
    std::condition_variable m_wake;
    PlayState m_state = PlayState::Stopped;
    double m_held = 0;
    bool m_atEnd = false;  // the last frame was heard; playing again starts over
    bool m_seekPending = false;
    double m_seekTarget = 0;
    bool m_quitting = false;
    std::thread m_feeder;
};

}  // namespace bass
