// A channel that plays a decoding source through SoundTouch, so that its tempo
// and pitch change independently and smoothly while it plays.
//
// Positions and the length are those of the source: a tempo stream at 50 %
// takes twice as long to reach the same position. The position counts source
// frames consumed by the output delivered so far.
#pragma once

#include <soundtouch/SoundTouch.h>

#include <memory>
#include <vector>

#include "core/Channel.h"

namespace bass {

class TempoStream final : public Channel {
public:
    // Accepted ranges, as published: tempo change in percent, pitch in semitones.
    static constexpr float kMinTempo = -95.0f;
    static constexpr float kMaxTempo = 5000.0f;
    static constexpr float kMinPitch = -60.0f;
    static constexpr float kMaxPitch = 60.0f;

    TempoStream(std::shared_ptr<Channel> source, BASS_DWORD flags, bool freeSource);

    std::uint64_t lengthFrames() const override { return m_source->lengthFrames(); }
    std::uint64_t positionFrames() const override;
    bool seek(std::uint64_t frame) override;
    bool ended() const override;
    double positionStep() const override { return m_tempo * m_rate; }

    bool setAttribute(BASS_DWORD attrib, float value) override;
    bool getAttribute(BASS_DWORD attrib, float& value) const override;
    void onFree(std::vector<std::shared_ptr<Output>>& closing) override;

protected:
    std::size_t produce(float* out, std::size_t frames) override;

private:
    // Everything up to the source's end has been delivered.
    bool pastSourceEnd() const;

    std::shared_ptr<Channel> m_source;
    bool m_freeSource;
    soundtouch::SoundTouch m_stretch;
    std::vector<float> m_input;
    double m_position = 0;  // source frames behind the output delivered
    double m_tempo = 1.0;   // output speed factor of the tempo attribute
    double m_rate = 1.0;    // playback rate factor of the frequency attribute
    float m_tempoPercent = 0;
    float m_pitch = 0;
    float m_frequency = 0;
    bool m_flushed = false;  // the source is exhausted and SoundTouch was flushed
    std::uint64_t m_sourceEnd = 0;  // the source's final position, once flushed
};

}  // namespace bass
