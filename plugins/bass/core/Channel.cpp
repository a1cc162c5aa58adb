#include "core/Channel.h"

#include <algorithm>

#include "core/Library.h"

namespace bass {

Channel::Channel(int rate, int channels, BASS_DWORD flags, ChannelKind kind)
    : m_rate(rate), m_channels(channels), m_flags(flags), m_kind(kind) {}

Channel::~Channel() = default;

std::size_t Channel::read(float* out, std::size_t frames) {
    std::size_t got = produce(out, frames);
    // Volume changes glide over about 10 ms so that a slider never clicks.
    const std::size_t glide = static_cast<std::size_t>(std::max(1, m_rate / 100));
    const std::size_t samples = got * static_cast<std::size_t>(m_channels);
    if (m_appliedVolume == m_volume) {
        if (m_volume != 1.0f)
            for (std::size_t i = 0; i < samples; ++i) out[i] *= m_volume;
    } else {
        const float step = (m_volume - m_appliedVolume) / static_cast<float>(glide);
        for (std::size_t f = 0; f < got; ++f) {
            if (m_appliedVolume != m_volume) {
                m_appliedVolume += step;
                if ((step > 0 && m_appliedVolume > m_volume) || (step < 0 && m_appliedVolume < m_volume))
                    m_appliedVolume = m_volume;
            }
            for (int c = 0; c < m_channels; ++c) out[f * m_channels + c] *= m_appliedVolume;
        }
    }
    if (got > 0)
        for (auto& tap : m_taps) tap->onData(out, got, m_rate, m_channels);
    return got;
}

bool Channel::setAttribute(BASS_DWORD attrib, float value) {
    if (attrib == BASS_ATTRIB_VOL) {
        m_volume = std::max(0.0f, value);
        // A channel that has not sounded yet starts at its volume at once.
        if (positionFrames() == 0 && state != PlayState::Playing) m_appliedVolume = m_volume;
        return true;
    }
    setError(BASS_ERROR_ILLTYPE);
    return false;
}

bool Channel::getAttribute(BASS_DWORD attrib, float& value) const {
    if (attrib == BASS_ATTRIB_VOL) {
        value = m_volume;
        return true;
    }
    setError(BASS_ERROR_ILLTYPE);
    return false;
}

void Channel::onFree(std::vector<std::shared_ptr<Output>>&) {
    auto taps = std::move(m_taps);
    for (auto& tap : taps) tap->onChannelFreed();
}

void Channel::addTap(std::shared_ptr<DataTap> tap) { m_taps.push_back(std::move(tap)); }

void Channel::removeTap(const DataTap* tap) {
    std::erase_if(m_taps, [tap](const auto& t) { return t.get() == tap; });
}

}  // namespace bass
