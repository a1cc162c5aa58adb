// The hand-over between a playback's feeder thread and the output's thread: a
// ring of stereo frames at the output's rate, marked with where each stretch
// of them lies on the channel's time line, and on the far side a record of
// which of them the output was given at which of its frames. From that record
// and the times at which the output said its blocks would be heard, the
// position heard at any moment is told: the frames played, less the latency,
// mapped back through the tempo each of them was stretched with.
//
// Invariants: the ring holds frames [read, write) of all frames ever written;
// every frame in it lies at or after the first mark; heard records are in
// output-frame order and hold only frames written since the last flush. One
// mutex guards everything, and no member holds it for longer than a copy of a
// block, so the output's thread never waits for decoding.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "core/Channel.h"
#include "core/OutputDriver.h"

namespace bass {

class PlaybackBuffer {
public:
    PlaybackBuffer(int rate, std::size_t capacityFrames);
    PlaybackBuffer(const PlaybackBuffer&) = delete;
    PlaybackBuffer& operator=(const PlaybackBuffer&) = delete;

    // The feeder's side. Frames written under an older generation than the
    // current one (a flush came in between), or more than there is space for,
    // are dropped (false).
    std::uint64_t generation() const;
    std::size_t space() const;
    bool write(std::uint64_t generation, const float* frames, const TimeRuns& runs);
    // The channel ended after the last frame written.
    void writeEnd(std::uint64_t generation);

    // The output's side: adds this buffer's next `frames` frames (nothing while
    // not playing) into `out`, which starts at output frame `outputFrame` and
    // will be heard from `heardAt` on. Returns how many of the frames it ran
    // short by while playing (the feeder was late), 0 otherwise.
    std::size_t mixInto(float* out, std::size_t frames, std::uint64_t outputFrame, Clock::time_point heardAt);

    // The control side.
    void setPlaying(bool playing);
    void setVolume(float volume);
    // Drops what the ring holds (what was about to sound fades out over a few
    // milliseconds) and makes the position read `hold` until frames written
    // after this are heard. Returns the new generation.
    std::uint64_t flush(double hold);
    // Drops the frames not yet given to the output, so that they are made
    // again (at a new tempo): what was given still plays and maps as it did.
    // Returns the channel position where the dropped frames began, or the
    // position the next written frames are expected at when none were buffered;
    // nothing once the channel's end has been given to the output.
    std::optional<double> dropUnplayed();
    // The channel position heard at `now`.
    double heardPosition(Clock::time_point now) const;
    // The end was written and its last frame has been heard by `now`.
    bool finishedAt(Clock::time_point now) const;

private:
    struct Mark {
        std::uint64_t frame = 0;  // ring frame where the stretch begins
        double start = 0;
        double step = 1;
    };
    struct Heard {
        std::uint64_t outputFrame = 0;
        std::uint64_t frames = 0;
        double start = 0;
        double step = 1;
    };

    double heardOutputFrame(Clock::time_point now) const;
    // The channel position of ring frame `frame` (m_read <= frame <= m_write).
    double positionOf(std::uint64_t frame) const;
    void record(std::uint64_t outputFrame, std::size_t frames, double start, double step);
    void copyOut(float* out, std::size_t frames);

    mutable std::mutex m_mutex;
    const int m_rate;
    const std::size_t m_capacity;
    const std::size_t m_fadeFrames;
    std::vector<float> m_ring;
    std::uint64_t m_read = 0;
    std::uint64_t m_write = 0;
    std::array<Mark, 128> m_marks{};
    std::size_t m_firstMark = 0;
    std::size_t m_markCount = 0;
    std::array<Heard, 256> m_heard{};
    std::size_t m_firstHeard = 0;
    std::size_t m_heardCount = 0;

    std::uint64_t m_generation = 0;
    double m_hold = 0;
    bool m_endWritten = false;
    std::uint64_t m_endFrame = 0;  // ring frame after the last
    bool m_endGiven = false;
    std::uint64_t m_endOutputFrame = 0;  // output frame after the last

    bool m_playing = false;
    bool m_gap = true;  // the next frames follow silence: they fade in
    std::size_t m_fadeInLeft = 0;
    float m_volume = 1.0f;
    float m_appliedVolume = 1.0f;
    std::vector<float> m_tail;  // the faded end of what a flush dropped
    std::size_t m_tailFrames = 0;
    std::size_t m_tailOffset = 0;

    // The last blocks the output took, and when the first frame of each is
    // heard: more than the output's latency holds, so that the block sounding
    // now is among them even when a late block left a gap before the newest.
    struct Block {
        std::uint64_t frame = 0;
        std::size_t frames = 0;
        Clock::time_point heardAt{};
    };
    std::array<Block, 64> m_blocks{};
    std::size_t m_newestBlock = 0;
    std::size_t m_blockCount = 0;
};

}  // namespace bass
