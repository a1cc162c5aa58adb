#include "fx/TempoStream.h"

#include <algorithm>
#include <type_traits>

#include "core/Library.h"

namespace bass {

namespace {

static_assert(std::is_same_v<soundtouch::SAMPLETYPE, float>, "SoundTouch must be built for float samples");

constexpr std::size_t kInputBlock = 2048;

}  // namespace

TempoStream::TempoStream(std::shared_ptr<Channel> source, BASS_DWORD flags, bool freeSource)
    : Channel(source->rate(), source->channels(), flags, ChannelKind::Stream),
      m_source(std::move(source)),
      m_freeSource(freeSource),
      m_input(kInputBlock * static_cast<std::size_t>(channels())) {
    m_stretch.setSampleRate(static_cast<unsigned>(rate()));
    m_stretch.setChannels(static_cast<unsigned>(channels()));
    m_stretch.setTempo(1.0);
    m_stretch.setPitch(1.0);
    m_stretch.setRate(1.0);
    m_frequency = static_cast<float>(rate());
    m_position = static_cast<double>(m_source->positionFrames());
}

std::uint64_t TempoStream::positionFrames() const {
    std::uint64_t position = static_cast<std::uint64_t>(std::max(0.0, m_position));
    if (lengthFrames() != kUnknownLength) position = std::min(position, lengthFrames());
    return position;
}

bool TempoStream::pastSourceEnd() const { return m_flushed && m_position >= static_cast<double>(m_sourceEnd); }

bool TempoStream::ended() const { return m_flushed && (m_stretch.numSamples() == 0 || pastSourceEnd()); }

std::size_t TempoStream::produce(float* out, std::size_t frames) {
    const std::size_t ch = static_cast<std::size_t>(channels());
    std::size_t delivered = 0;
    while (delivered < frames) {
        if (pastSourceEnd()) break;  // only the flush's padding is left
        std::size_t want = frames - delivered;
        if (m_flushed) {
            // Deliver no more than reaches the source's end.
            double left = (static_cast<double>(m_sourceEnd) - m_position) / positionStep();
            want = std::min(want, static_cast<std::size_t>(std::max(1.0, left)));
        }
        std::size_t got = m_stretch.receiveSamples(out + delivered * ch, static_cast<unsigned>(want));
        delivered += got;
        m_position += static_cast<double>(got) * positionStep();
        if (got > 0) continue;
        if (m_flushed) break;
        std::size_t read = m_source->read(m_input.data(), kInputBlock);
        if (read > 0) {
            m_stretch.putSamples(m_input.data(), static_cast<unsigned>(read));
        } else {
            m_stretch.flush();
            m_flushed = true;
            m_sourceEnd = m_source->positionFrames();
        }
    }
    if (pastSourceEnd()) m_stretch.clear();
    return delivered;
}

bool TempoStream::seek(std::uint64_t frame) {
    if (!m_source->seek(frame)) return false;
    m_stretch.clear();
    m_position = static_cast<double>(frame);
    m_flushed = false;
    return true;
}

bool TempoStream::setAttribute(BASS_DWORD attrib, float value) {
    switch (attrib) {
    case BASS_ATTRIB_TEMPO:
        m_tempoPercent = std::clamp(value, kMinTempo, kMaxTempo);
        m_tempo = 1.0 + m_tempoPercent / 100.0;
        m_stretch.setTempo(m_tempo);
        return true;
    case BASS_ATTRIB_TEMPO_PITCH:
        m_pitch = std::clamp(value, kMinPitch, kMaxPitch);
        m_stretch.setPitchSemiTones(m_pitch);
        return true;
    case BASS_ATTRIB_TEMPO_FREQ:
    case BASS_ATTRIB_FREQ:
        if (value <= 0) {
            setError(BASS_ERROR_ILLPARAM);
            return false;
        }
        m_frequency = value;
        m_rate = static_cast<double>(value) / rate();
        m_stretch.setRate(m_rate);
        return true;
    default:
        return Channel::setAttribute(attrib, value);
    }
}

bool TempoStream::getAttribute(BASS_DWORD attrib, float& value) const {
    switch (attrib) {
    case BASS_ATTRIB_TEMPO:
        value = m_tempoPercent;
        return true;
    case BASS_ATTRIB_TEMPO_PITCH:
        value = m_pitch;
        return true;
    case BASS_ATTRIB_TEMPO_FREQ:
    case BASS_ATTRIB_FREQ:
        value = m_frequency;
        return true;
    default:
        return Channel::getAttribute(attrib, value);
    }
}

void TempoStream::onFree(std::vector<std::shared_ptr<Output>>& closing) {
    Channel::onFree(closing);
    if (m_freeSource) freeChannel(m_source->handle(), closing);
}

}  // namespace bass
