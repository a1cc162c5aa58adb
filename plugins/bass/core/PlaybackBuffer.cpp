#include "core/PlaybackBuffer.h"

#include <algorithm>
#include <cmath>

namespace bass {

PlaybackBuffer::PlaybackBuffer(int rate, std::size_t capacityFrames)
    : m_rate(rate),
      m_capacity(capacityFrames),
      m_fadeFrames(static_cast<std::size_t>(std::max(1, rate / 200))),  // 5 ms
      m_ring(capacityFrames * 2, 0.0f),
      m_tail(m_fadeFrames * 2, 0.0f) {}

std::uint64_t PlaybackBuffer::generation() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_generation;
}

std::size_t PlaybackBuffer::space() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_capacity - static_cast<std::size_t>(m_write - m_read);
}

bool PlaybackBuffer::write(std::uint64_t generation, const float* frames, const TimeRuns& runs) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::size_t count = runs.totalFrames();
    if (generation != m_generation || count > m_capacity - static_cast<std::size_t>(m_write - m_read)) return false;
    std::uint64_t at = m_write;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const TimeRun& run = runs[r];
        bool continues = false;
        if (m_markCount > 0) {
            const Mark& last = m_marks[(m_firstMark + m_markCount - 1) % m_marks.size()];
            continues = last.step == run.step &&
                        std::fabs(last.start + static_cast<double>(at - last.frame) * last.step - run.start) < 0.5;
        }
        if (!continues && m_markCount < m_marks.size())
            m_marks[(m_firstMark + m_markCount++) % m_marks.size()] = Mark{at, run.start, run.step};
        at += run.frames;
    }
    for (std::size_t f = 0; f < count; ++f) {
        const std::size_t slot = static_cast<std::size_t>((m_write + f) % m_capacity) * 2;
        m_ring[slot] = frames[f * 2];
        m_ring[slot + 1] = frames[f * 2 + 1];
    }
    m_write += count;
    return true;
}

void PlaybackBuffer::writeEnd(std::uint64_t generation) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (generation != m_generation) return;
    m_endWritten = true;
    m_endFrame = m_write;
}

void PlaybackBuffer::record(std::uint64_t outputFrame, std::size_t frames, double start, double step) {
    if (m_heardCount > 0) {
        Heard& last = m_heard[(m_firstHeard + m_heardCount - 1) % m_heard.size()];
        if (last.outputFrame + last.frames == outputFrame && last.step == step &&
            std::fabs(last.start + static_cast<double>(last.frames) * last.step - start) < 0.5) {
            last.frames += frames;
            return;
        }
    }
    if (m_heardCount == m_heard.size()) {
        // Only long-heard records are lost: the oldest goes.
        m_firstHeard = (m_firstHeard + 1) % m_heard.size();
        --m_heardCount;
    }
    m_heard[(m_firstHeard + m_heardCount++) % m_heard.size()] = Heard{outputFrame, frames, start, step};
}

void PlaybackBuffer::copyOut(float* out, std::size_t frames) {
    const float glide = 1.0f / static_cast<float>(std::max(1, m_rate / 100));  // full scale in 10 ms
    for (std::size_t f = 0; f < frames; ++f) {
        if (m_appliedVolume != m_volume)
            m_appliedVolume = m_appliedVolume < m_volume ? std::min(m_volume, m_appliedVolume + glide)
                                                         : std::max(m_volume, m_appliedVolume - glide);
        float gain = m_appliedVolume;
        if (m_fadeInLeft > 0) {
            gain *= static_cast<float>(m_fadeFrames - m_fadeInLeft + 1) / static_cast<float>(m_fadeFrames);
            --m_fadeInLeft;
        }
        const std::size_t slot = static_cast<std::size_t>((m_read + f) % m_capacity) * 2;
        out[f * 2] += m_ring[slot] * gain;
        out[f * 2 + 1] += m_ring[slot + 1] * gain;
    }
}

std::size_t PlaybackBuffer::mixInto(float* out, std::size_t frames, std::uint64_t outputFrame,
                                    Clock::time_point heardAt) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_newestBlock = (m_newestBlock + 1) % m_blocks.size();
    m_blocks[m_newestBlock] = Block{outputFrame, frames, heardAt};
    m_blockCount = std::min(m_blockCount + 1, m_blocks.size());

    std::size_t done = 0;
    for (; done < frames && m_tailOffset < m_tailFrames; ++done, ++m_tailOffset) {
        out[done * 2] += m_tail[m_tailOffset * 2];
        out[done * 2 + 1] += m_tail[m_tailOffset * 2 + 1];
    }
    if (!m_playing) return 0;
    while (done < frames && m_read < m_write) {
        while (m_markCount > 1 && m_marks[(m_firstMark + 1) % m_marks.size()].frame <= m_read) {
            m_firstMark = (m_firstMark + 1) % m_marks.size();
            --m_markCount;
        }
        const Mark mark = m_markCount > 0 ? m_marks[m_firstMark] : Mark{m_read, m_hold, 0.0};
        std::uint64_t limit = m_write;
        if (m_markCount > 1) limit = std::min(limit, m_marks[(m_firstMark + 1) % m_marks.size()].frame);
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(frames - done, limit - m_read));
        if (m_gap) {
            m_gap = false;
            m_fadeInLeft = m_fadeFrames;
        }
        record(outputFrame + done, n, mark.start + static_cast<double>(m_read - mark.frame) * mark.step, mark.step);
        copyOut(out + done * 2, n);
        m_read += n;
        done += n;
    }
    if (m_endWritten && !m_endGiven && m_read >= m_endFrame) {
        m_endGiven = true;
        m_endOutputFrame = outputFrame + done;
    }
    if (done >= frames || m_endGiven) return 0;
    m_gap = true;  // ran dry: what comes next fades in
    return frames - done;
}

void PlaybackBuffer::setPlaying(bool playing) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (playing && !m_playing) m_gap = true;
    m_playing = playing;
}

void PlaybackBuffer::setVolume(float volume) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_volume = std::max(0.0f, volume);
    // Nothing has sounded yet: the first frames start at the volume at once.
    if (m_heardCount == 0 && !m_playing) m_appliedVolume = m_volume;
}

std::uint64_t PlaybackBuffer::flush(double hold) {
    std::lock_guard<std::mutex> lock(m_mutex);
    // Stopping mid-wave would click: what was about to sound dies away instead.
    m_tailFrames = 0;
    m_tailOffset = 0;
    if (m_playing && !m_gap) {
        m_tailFrames = static_cast<std::size_t>(std::min<std::uint64_t>(m_fadeFrames, m_write - m_read));
        for (std::size_t f = 0; f < m_tailFrames; ++f) {
            const float gain =
                m_appliedVolume * (1.0f - static_cast<float>(f + 1) / static_cast<float>(m_tailFrames + 1));
            const std::size_t slot = static_cast<std::size_t>((m_read + f) % m_capacity) * 2;
            m_tail[f * 2] = m_ring[slot] * gain;
            m_tail[f * 2 + 1] = m_ring[slot + 1] * gain;
        }
    }
    m_read = m_write;
    m_markCount = 0;
    m_heardCount = 0;
    m_hold = hold;
    m_endWritten = false;
    m_endGiven = false;
    m_gap = true;
    return ++m_generation;
}

double PlaybackBuffer::positionOf(std::uint64_t frame) const {
    for (std::size_t i = m_markCount; i-- > 0;) {
        const Mark& mark = m_marks[(m_firstMark + i) % m_marks.size()];
        if (mark.frame <= frame) return mark.start + static_cast<double>(frame - mark.frame) * mark.step;
    }
    // Nothing written since the last flush: the next frames start where it held.
    if (m_heardCount == 0) return m_hold;
    const Heard& last = m_heard[(m_firstHeard + m_heardCount - 1) % m_heard.size()];
    return last.start + static_cast<double>(last.frames) * last.step;
}

std::optional<double> PlaybackBuffer::dropUnplayed() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_endGiven) return std::nullopt;
    const double position = positionOf(m_read);
    m_read = m_write;
    m_markCount = 0;
    m_endWritten = false;
    m_endGiven = false;
    if (m_heardCount == 0) m_hold = position;
    ++m_generation;
    return position;
}

double PlaybackBuffer::heardOutputFrame(Clock::time_point now) const {
    if (m_blockCount == 0) return -1.0;
    // The newest block already sounding; within it the frames go at the rate,
    // and after it (the output ran late) the last of it holds.
    const Block* block = nullptr;
    for (std::size_t i = 0; i < m_blockCount; ++i) {
        block = &m_blocks[(m_newestBlock + m_blocks.size() - i) % m_blocks.size()];
        if (block->heardAt <= now) break;
    }
    const double elapsed = std::chrono::duration<double>(now - block->heardAt).count() * m_rate;
    return static_cast<double>(block->frame) + std::min(elapsed, static_cast<double>(block->frames));
}

double PlaybackBuffer::heardPosition(Clock::time_point now) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const double heard = heardOutputFrame(now);
    for (std::size_t i = m_heardCount; i-- > 0;) {
        const Heard& h = m_heard[(m_firstHeard + i) % m_heard.size()];
        if (static_cast<double>(h.outputFrame) <= heard) {
            const double into = std::min(heard - static_cast<double>(h.outputFrame), static_cast<double>(h.frames));
            return h.start + into * h.step;
        }
    }
    // Nothing written since the last flush has been heard yet.
    return m_hold;
}

bool PlaybackBuffer::finishedAt(Clock::time_point now) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_endGiven && heardOutputFrame(now) >= static_cast<double>(m_endOutputFrame);
}

}  // namespace bass
