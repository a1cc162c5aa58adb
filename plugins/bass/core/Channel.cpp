#include "core/Channel.h"

#include <algorithm>
#include <cmath>

#include "core/Library.h"

namespace bass {

void TimeRuns::add(std::size_t frames, double start, double step) {
    if (frames == 0) return;
    if (m_count > 0) {
        TimeRun& last = m_runs[m_count - 1];
        const double continuation = last.start + static_cast<double>(last.frames) * last.step;
        if ((last.step == step && std::fabs(continuation - start) < 0.5) || m_count == m_runs.size()) {
            last.frames += frames;
            return;
        }
    }
    m_runs[m_count++] = TimeRun{frames, start, step};
}

std::size_t TimeRuns::totalFrames() const {
    std::size_t total = 0;
    for (std::size_t i = 0; i < m_count; ++i) total += m_runs[i].frames;
    return total;
}

Channel::Channel(int rate, int channels, BASS_DWORD flags, ChannelKind kind)
    : m_rate(rate), m_channels(channels), m_flags(flags), m_kind(kind) {}

Channel::~Channel() = default;

std::size_t Channel::readLocked(float* out, std::size_t frames, TimeRuns& runs, bool withVolume) {
    runs.clear();
    const std::size_t got = produce(out, frames, runs);
    if (withVolume) applyVolume(out, got);
    m_delivered = m_delivered || got > 0;
    if (got > 0)
        for (auto& tap : m_taps) tap->onData(out, got, m_rate, m_channels);
    return got;
}

std::size_t Channel::read(float* out, std::size_t frames) {
    std::lock_guard<std::recursive_mutex> lock(m_decoder);
    TimeRuns runs;
    return readLocked(out, frames, runs, true);
}

std::size_t Channel::readTimed(float* out, std::size_t frames, TimeRuns& runs) {
    std::lock_guard<std::recursive_mutex> lock(m_decoder);
    return readLocked(out, frames, runs, false);
}

void Channel::applyVolume(float* out, std::size_t frames) {
    const float target = m_volume.load();
    // A channel that has not sounded yet starts at its volume at once; later
    // changes glide over about 10 ms so that a slider never clicks.
    if (!m_delivered) m_appliedVolume = target;
    const std::size_t ch = static_cast<std::size_t>(m_channels);
    if (m_appliedVolume == target) {
        if (target != 1.0f)
            for (std::size_t i = 0; i < frames * ch; ++i) out[i] *= target;
        return;
    }
    const float step = (target - m_appliedVolume) / static_cast<float>(std::max(1, m_rate / 100));
    for (std::size_t f = 0; f < frames; ++f) {
        if (m_appliedVolume != target) {
            m_appliedVolume += step;
            if ((step > 0 && m_appliedVolume > target) || (step < 0 && m_appliedVolume < target))
                m_appliedVolume = target;
        }
        for (std::size_t c = 0; c < ch; ++c) out[f * ch + c] *= m_appliedVolume;
    }
}

bool Channel::seek(std::uint64_t frame) {
    std::lock_guard<std::recursive_mutex> lock(m_decoder);
    if (!seekTo(frame)) return false;
    m_delivered = false;
    return true;
}

std::uint64_t Channel::position() {
    std::lock_guard<std::recursive_mutex> lock(m_decoder);
    return positionFrames();
}

bool Channel::ended() {
    std::lock_guard<std::recursive_mutex> lock(m_decoder);
    return isEnded();
}

bool Channel::setAttribute(BASS_DWORD attrib, float value) {
    if (attrib == BASS_ATTRIB_VOL) {
        m_volume.store(std::max(0.0f, value));
        return true;
    }
    return storeAttribute(attrib, value);
}

bool Channel::getAttribute(BASS_DWORD attrib, float& value) const {
    if (attrib == BASS_ATTRIB_VOL) {
        value = m_volume.load();
        return true;
    }
    return loadAttribute(attrib, value);
}

bool Channel::storeAttribute(BASS_DWORD, float) {
    setError(BASS_ERROR_ILLTYPE);
    return false;
}

bool Channel::loadAttribute(BASS_DWORD attrib, float& value) const {
    // Every channel has a sample rate, as in the real library.
    if (attrib == BASS_ATTRIB_FREQ) {
        value = static_cast<float>(rate());
        return true;
    }
    setError(BASS_ERROR_ILLTYPE);
    return false;
}

void Channel::finishTaps() {
    std::lock_guard<std::recursive_mutex> lock(m_decoder);
    auto taps = std::move(m_taps);
    for (auto& tap : taps) tap->onChannelFreed();
}

void Channel::addTap(std::shared_ptr<DataTap> tap) {
    std::lock_guard<std::recursive_mutex> lock(m_decoder);
    m_taps.push_back(std::move(tap));
}

void Channel::removeTap(const DataTap* tap) {
    std::lock_guard<std::recursive_mutex> lock(m_decoder);
    std::erase_if(m_taps, [tap](const auto& t) { return t.get() == tap; });
}

}  // namespace bass
