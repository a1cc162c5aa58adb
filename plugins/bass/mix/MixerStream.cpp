#include "mix/MixerStream.h"

#include <algorithm>

#include "core/Library.h"

namespace bass {

MixerStream::MixerStream(int rate, int channels, BASS_DWORD flags)
    : Channel(rate, channels, flags, ChannelKind::Stream) {}

bool MixerStream::add(const std::shared_ptr<Channel>& source) {
    std::lock_guard<std::recursive_mutex> lock(decoderLock());
    if (!source->isDecoding()) {
        setError(BASS_ERROR_DECODE);
        return false;
    }
    if (source->rate() != rate()) {
        setError(BASS_ERROR_FORMAT);
        return false;
    }
    for (const auto& s : m_sources)
        if (s.lock() == source) {
            setError(BASS_ERROR_ALREADY);
            return false;
        }
    m_sources.push_back(source);
    return true;
}

bool MixerStream::isEnded() const {
    if (!(flags() & BASS_MIXER_END)) return false;
    return std::none_of(m_sources.begin(), m_sources.end(), [](const auto& s) {
        auto source = s.lock();
        return source && !source->ended();
    });
}

bool MixerStream::seekTo(std::uint64_t frame) {
    if (frame != 0) {
        setError(BASS_ERROR_NOTAVAIL);
        return false;
    }
    m_position = 0;
    return true;
}

std::size_t MixerStream::produce(float* out, std::size_t frames, TimeRuns& runs) {
    if (isEnded()) return 0;
    const std::size_t ch = static_cast<std::size_t>(channels());
    std::fill(out, out + frames * ch, 0.0f);
    std::size_t longest = 0;
    for (const auto& weak : m_sources) {
        auto source = weak.lock();
        if (!source) continue;
        const std::size_t sch = static_cast<std::size_t>(source->channels());
        m_scratch.resize(frames * sch);
        const std::size_t got = source->read(m_scratch.data(), frames);
        longest = std::max(longest, got);
        for (std::size_t f = 0; f < got; ++f) {
            for (std::size_t c = 0; c < ch; ++c) {
                float v;
                if (sch == ch)
                    v = m_scratch[f * sch + c];
                else if (sch == 1)
                    v = m_scratch[f];
                else  // stereo into mono
                    v = 0.5f * (m_scratch[f * sch] + m_scratch[f * sch + 1]);
                out[f * ch + c] += v;
            }
        }
    }
    const std::size_t produced = (flags() & BASS_MIXER_END) ? longest : frames;
    runs.add(produced, static_cast<double>(m_position), 1.0);
    m_position += produced;
    return produced;
}

}  // namespace bass
