#include "core/Playback.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "core/Resampler.h"

namespace bass {

namespace {

// Channel frames the feeder decodes at a time.
constexpr std::size_t kBlockFrames = 1024;

// About 150 ms of output buffered ahead: enough to ride out a busy machine,
// little enough that a tempo or pitch change is heard soon after it is made.
std::size_t bufferFrames(int outputRate) {
    return std::max<std::size_t>(kBlockFrames * 4, static_cast<std::size_t>(outputRate) * 3 / 20);
}

// Brings the feeder's blocks to the output's rate and to stereo, and their
// time runs with them.
class OutputFormat {
public:
    OutputFormat(const Channel& channel, int outputRate)
        : m_inRate(channel.rate()),
          m_inChannels(channel.channels()),
          m_outRate(outputRate),
          m_resampler(2, outputRate),
          m_out(static_cast<std::size_t>(maxFrames(kBlockFrames)) * 2) {
        if (m_inRate != m_outRate) {
            ChannelLayout layout;
            layout.assignDefault(m_inChannels);
            m_resampler.configure(layout.get(), AV_SAMPLE_FMT_FLT, m_inRate);
        }
    }

    // The most output frames `frames` input frames can give.
    std::size_t maxFrames(std::size_t frames) const {
        if (m_inRate == m_outRate) return frames;
        return static_cast<std::size_t>(std::ceil(double(frames) * m_outRate / m_inRate)) + 64;
    }

    // Converts `frames` frames with their runs; the result stays valid until the next call.
    const float* convert(const float* in, std::size_t frames, const TimeRuns& runs, TimeRuns& outRuns) {
        std::size_t produced = frames;
        if (m_inRate != m_outRate) {
            const auto* planes = reinterpret_cast<const std::uint8_t*>(in);
            produced = static_cast<std::size_t>(m_resampler.convert(m_out.data(), static_cast<int>(m_out.size() / 2),
                                                                    &planes, static_cast<int>(frames)));
        } else if (m_inChannels == 1) {
            for (std::size_t f = 0; f < frames; ++f) m_out[f * 2] = m_out[f * 2 + 1] = in[f];
        } else {
            std::copy(in, in + frames * 2, m_out.begin());
        }
        // Each output frame stands for in/out input frames; the runs are scaled
        // alike, the rounding going to the last.
        const double ratio = double(m_inRate) / double(m_outRate);
        outRuns.clear();
        std::size_t left = produced;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            const TimeRun& run = runs[r];
            std::size_t n = r + 1 == runs.size()
                                ? left
                                : std::min(left, static_cast<std::size_t>(std::llround(
                                                     double(run.frames) * double(produced) / double(frames))));
            outRuns.add(n, run.start, run.step * ratio);
            left -= n;
        }
        return m_out.data();
    }

    void reset() {
        if (m_inRate != m_outRate) m_resampler.reset();
    }

private:
    int m_inRate;
    int m_inChannels;
    int m_outRate;
    Resampler m_resampler;
    std::vector<float> m_out;
};

}  // namespace

Playback::Playback(std::shared_ptr<Channel> channel, int outputRate)
    : m_channel(std::move(channel)),
      m_outputRate(outputRate),
      m_buffer(std::make_shared<PlaybackBuffer>(outputRate, bufferFrames(outputRate))) {
    m_held = static_cast<double>(m_channel->position());
    m_buffer->flush(m_held);
    m_buffer->setVolume(m_channel->volume());
    m_feeder = std::thread([this] { feed(); });
}

Playback::~Playback() {
    {
        std::lock_guard<std::mutex> lock(m_control);
        m_quitting = true;
    }
    m_channel->cancel();
    m_wake.notify_all();
    m_feeder.join();
}

void Playback::settle(Clock::time_point now) {
    if (m_state == PlayState::Playing && m_buffer->finishedAt(now)) {
        m_state = PlayState::Stopped;
        m_held = m_buffer->heardPosition(now);
        m_atEnd = true;
        m_buffer->setPlaying(false);
    }
}

void Playback::restartAt(double frame) {
    m_buffer->flush(frame);
    m_atEnd = false;
    requestSeek(frame);
}

void Playback::requestSeek(double frame) {
    m_seekPending = true;
    m_seekTarget = frame;
    m_wake.notify_all();
}

void Playback::remake() {
    std::lock_guard<std::mutex> lock(m_control);
    if (const auto from = m_buffer->dropUnplayed()) requestSeek(*from);
}

PlayState Playback::state() {
    std::lock_guard<std::mutex> lock(m_control);
    settle(Clock::now());
    return m_state;
}

bool Playback::playedToEnd() {
    std::lock_guard<std::mutex> lock(m_control);
    settle(Clock::now());
    return m_atEnd;
}

void Playback::play(bool restart) {
    std::lock_guard<std::mutex> lock(m_control);
    settle(Clock::now());
    if (restart || m_atEnd) {
        m_held = 0;
        restartAt(0);
    } else if (m_state == PlayState::Playing) {
        return;
    }
    m_state = PlayState::Playing;
    m_buffer->setPlaying(true);
}

bool Playback::pause() {
    std::lock_guard<std::mutex> lock(m_control);
    const auto now = Clock::now();
    settle(now);
    if (m_state != PlayState::Playing) return false;
    // Resuming goes on from what was heard, not from what was buffered.
    m_held = m_buffer->heardPosition(now);
    restartAt(m_held);
    m_buffer->setPlaying(false);
    m_state = PlayState::Paused;
    return true;
}

void Playback::stop() {
    std::lock_guard<std::mutex> lock(m_control);
    const auto now = Clock::now();
    settle(now);
    if (m_state == PlayState::Playing) {
        m_held = m_buffer->heardPosition(now);
        restartAt(m_held);
        m_buffer->setPlaying(false);
    }
    m_state = PlayState::Stopped;
}

void Playback::seek(std::uint64_t frame) {
    std::lock_guard<std::mutex> lock(m_control);
    m_held = static_cast<double>(frame);
    restartAt(m_held);
}

double Playback::position() {
    std::lock_guard<std::mutex> lock(m_control);
    const auto now = Clock::now();
    settle(now);
    return m_state == PlayState::Playing ? m_buffer->heardPosition(now) : m_held;
}

void Playback::feed() {
    OutputFormat format(*m_channel, m_outputRate);
    const std::size_t needed = format.maxFrames(kBlockFrames);
    std::vector<float> block(kBlockFrames * static_cast<std::size_t>(m_channel->channels()));
    TimeRuns runs;
    TimeRuns outRuns;
    bool ended = false;
    std::unique_lock<std::mutex> lock(m_control);
    for (;;) {
        // The output's thread never wakes the feeder (it only copies); the
        // feeder sleeps about as long as the output takes to make room for a
        // block. Looking every 10 ms instead woke it 100 times a second, most
        // of them for nothing, on a machine that should idle while it plays.
        const std::size_t space = m_buffer->space();
        const auto untilRoom = std::chrono::milliseconds(
            space >= needed ? 0 : (needed - space) * 1000 / static_cast<std::size_t>(std::max(1, m_outputRate)));
        m_wake.wait_for(lock, std::clamp(untilRoom, std::chrono::milliseconds(2), std::chrono::milliseconds(40)),
                        [&] { return m_quitting || m_seekPending || (!ended && m_buffer->space() >= needed); });
        if (m_quitting) return;
        const bool seek = m_seekPending;
        const double target = m_seekTarget;
        m_seekPending = false;
        if (!seek && (ended || m_buffer->space() < needed)) continue;
        const std::uint64_t generation = m_buffer->generation();
        lock.unlock();
        if (seek) {
            ended = !m_channel->seek(static_cast<std::uint64_t>(std::max(0.0, std::floor(target))));
            format.reset();
        }
        if (!ended) {
            const std::size_t got = m_channel->readTimed(block.data(), kBlockFrames, runs);
            if (got == 0)
                ended = true;
            else
                m_buffer->write(generation, format.convert(block.data(), got, runs, outRuns), outRuns);
        }
        if (ended) m_buffer->writeEnd(generation);
        lock.lock();
    }
}

}  // namespace bass
