#include "fx/TempoStream.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "core/Library.h"

namespace bass {

namespace {

static_assert(std::is_same_v<soundtouch::SAMPLETYPE, float>, "SoundTouch must be built for float samples");

constexpr std::size_t kInputBlock = 2048;

// SoundTouch's settings for speech, which is what the player plays: shorter
// pieces than its defaults for music keep words clear at slow tempos and keep
// the sound within a few milliseconds of the time line. Its quick search for
// where pieces join costs a third of the full one, for a join that is hardly
// ever worse on speech; stretching then takes less time than decoding does.
constexpr int kSequenceMs = 40;
constexpr int kSeekWindowMs = 15;
constexpr int kOverlapMs = 8;
constexpr bool kQuickSeek = true;

}  // namespace

TempoStream::TempoStream(std::shared_ptr<Channel> source, BASS_DWORD flags, bool freeSource)
    : Channel(source->rate(), source->channels(), flags, ChannelKind::Stream),
      m_source(std::move(source)),
      m_freeSource(freeSource),
      m_input(kInputBlock * static_cast<std::size_t>(channels())),
      m_frequency(static_cast<float>(rate())),
      m_appliedFrequency(static_cast<float>(rate())) {
    m_stretch.setSampleRate(static_cast<unsigned>(rate()));
    m_stretch.setChannels(static_cast<unsigned>(channels()));
    m_stretch.setSetting(SETTING_SEQUENCE_MS, kSequenceMs);
    m_stretch.setSetting(SETTING_SEEKWINDOW_MS, kSeekWindowMs);
    m_stretch.setSetting(SETTING_OVERLAP_MS, kOverlapMs);
    m_stretch.setSetting(SETTING_USE_QUICKSEEK, kQuickSeek ? 1 : 0);
    m_stretch.setTempo(1.0);
    m_stretch.setPitch(1.0);
    m_stretch.setRate(1.0);
    m_position = static_cast<double>(m_source->position());
}

std::uint64_t TempoStream::positionFrames() const {
    std::uint64_t position = static_cast<std::uint64_t>(std::max(0.0, m_position + m_deliveredBias));
    const std::uint64_t length = lengthFrames();
    if (length != kUnknownLength) position = std::min(position, length);
    return position;
}

bool TempoStream::pastSourceEnd() const { return m_flushed && m_position >= static_cast<double>(m_sourceEnd); }

bool TempoStream::isEnded() const {
    if (!m_stretching) return m_source->ended();
    return m_flushed && (m_stretch.numSamples() == 0 || pastSourceEnd());
}

void TempoStream::applyAttributes() {
    const float tempo = m_tempoPercent.load();
    const float pitch = m_pitch.load();
    const float frequency = m_frequency.load();
    if (tempo == m_appliedTempo && pitch == m_appliedPitch && frequency == m_appliedFrequency) return;
    const double step = (1.0 + tempo / 100.0) * (static_cast<double>(frequency) / rate());
    if (m_stretching) {
        // What SoundTouch already made was stretched at the old settings.
        std::size_t counted = 0;
        for (const Made& made : m_made) counted += made.frames;
        const std::size_t inside = m_stretch.numSamples();
        if (inside > counted) m_made.push_back(Made{inside - counted, m_step, m_bias});
    }
    const double rateFactor = static_cast<double>(frequency) / rate();
    m_stretch.setTempo(1.0 + tempo / 100.0);
    m_stretch.setPitchSemiTones(pitch);
    m_stretch.setRate(rateFactor);
    m_appliedTempo = tempo;
    m_appliedPitch = pitch;
    m_appliedFrequency = frequency;
    m_step = step;
    // Inside a piece of `piece` output frames (with the overlap into the next)
    // the sound moves `speed` source frames a frame, the time line `step`: the
    // sound is ahead by half the difference over the piece, on average.
    const double piece = m_stretch.getSetting(SETTING_NOMINAL_OUTPUT_SEQUENCE) + kOverlapMs * rate() / 1000.0;
    const double speed = std::pow(2.0, pitch / 12.0) * rateFactor;
    m_bias = piece * (speed - step) / 2.0;
}

std::size_t TempoStream::produce(float* out, std::size_t frames, TimeRuns& runs) {
    applyAttributes();
    if (!m_stretching) {
        if (plain()) {
            const std::size_t got = m_source->read(out, frames);
            runs.add(got, m_position, 1.0);
            m_position += static_cast<double>(got);
            return got;
        }
        // SoundTouch starts empty here and takes over from the source's position.
        m_stretching = true;
    }
    return stretch(out, frames, runs);
}

std::size_t TempoStream::stretch(float* out, std::size_t frames, TimeRuns& runs) {
    const std::size_t ch = static_cast<std::size_t>(channels());
    std::size_t delivered = 0;
    while (delivered < frames) {
        if (pastSourceEnd()) break;  // only the flush's padding is left
        std::size_t want = frames - delivered;
        if (m_flushed) {
            // Deliver no more than reaches the source's end.
            const double left = (static_cast<double>(m_sourceEnd) - m_position) / m_step;
            want = std::min(want, static_cast<std::size_t>(std::max(1.0, left)));
        }
        const std::size_t got = m_stretch.receiveSamples(out + delivered * ch, static_cast<unsigned>(want));
        for (std::size_t left = got; left > 0;) {
            double step = m_step;
            double bias = m_bias;
            std::size_t n = left;
            if (!m_made.empty()) {
                step = m_made.front().step;
                bias = m_made.front().bias;
                n = std::min(left, m_made.front().frames);
                if ((m_made.front().frames -= n) == 0) m_made.erase(m_made.begin());
            }
            // The last frames, pushed out by the flush, end on the source's end.
            if (m_flushed) bias = 0.0;
            runs.add(n, m_position + bias, step);
            m_position += static_cast<double>(n) * step;
            m_deliveredBias = bias;
            left -= n;
        }
        delivered += got;
        if (got > 0) continue;
        if (m_flushed) break;
        const std::size_t read = m_source->read(m_input.data(), kInputBlock);
        if (read > 0) {
            m_stretch.putSamples(m_input.data(), static_cast<unsigned>(read));
        } else {
            m_stretch.flush();
            m_flushed = true;
            m_sourceEnd = m_source->position();
        }
    }
    if (pastSourceEnd()) m_stretch.clear();
    return delivered;
}

bool TempoStream::seekTo(std::uint64_t frame) {
    if (!m_source->seek(frame)) return false;
    m_stretch.clear();
    m_made.clear();
    m_position = static_cast<double>(frame);
    m_deliveredBias = 0.0;
    m_flushed = false;
    applyAttributes();
    m_stretching = !plain();
    return true;
}

bool TempoStream::storeAttribute(BASS_DWORD attrib, float value) {
    switch (attrib) {
        case BASS_ATTRIB_TEMPO:
            m_tempoPercent = std::clamp(value, kMinTempo, kMaxTempo);
            return true;
        case BASS_ATTRIB_TEMPO_PITCH:
            m_pitch = std::clamp(value, kMinPitch, kMaxPitch);
            return true;
        case BASS_ATTRIB_TEMPO_FREQ:
        case BASS_ATTRIB_FREQ:
            if (value <= 0) {
                setError(BASS_ERROR_ILLPARAM);
                return false;
            }
            m_frequency = value;
            return true;
        default:
            return Channel::storeAttribute(attrib, value);
    }
}

bool TempoStream::loadAttribute(BASS_DWORD attrib, float& value) const {
    switch (attrib) {
        case BASS_ATTRIB_TEMPO:
            value = m_tempoPercent.load();
            return true;
        case BASS_ATTRIB_TEMPO_PITCH:
            value = m_pitch.load();
            return true;
        case BASS_ATTRIB_TEMPO_FREQ:
        case BASS_ATTRIB_FREQ:
            value = m_frequency.load();
            return true;
        default:
            return Channel::loadAttribute(attrib, value);
    }
}

void TempoStream::freeSources(std::vector<ChannelEntry>& released) {
    if (m_freeSource) freeChannel(m_source->handle(), released);
}

}  // namespace bass
