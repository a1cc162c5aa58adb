// A channel that plays a decoding source through SoundTouch, so that its tempo
// and pitch change independently and smoothly while it plays.
//
// Positions and the length are those of the source: a tempo stream at 50 %
// takes twice as long to reach the same position. Each frame delivered moves
// the position by the tempo (and rate) it was stretched with: frames that were
// already inside SoundTouch when the tempo changed still count at the old one.
// SoundTouch stretches by repeating (or skipping) short pieces of the sound,
// inside which the sound runs at its own speed; on average that puts it half
// a piece's drift ahead of (slower) or behind (faster) the tempo's time line,
// and the positions reported carry that offset, so that they name what sounds.
// Until the first change away from the plain settings after a seek, frames
// pass straight through, so that plain playback is sample-exact and cheap;
// once stretching has begun it goes on until the next seek, so that returning
// to 100 % never jumps.
#pragma once

#include <soundtouch/SoundTouch.h>

#include <atomic>
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
    void cancel() override { m_source->cancel(); }
    void freeSources(std::vector<ChannelEntry>& released) override;

protected:
    std::size_t produce(float* out, std::size_t frames, TimeRuns& runs) override;
    bool seekTo(std::uint64_t frame) override;
    std::uint64_t positionFrames() const override;
    bool isEnded() const override;
    bool storeAttribute(BASS_DWORD attrib, float value) override;
    bool loadAttribute(BASS_DWORD attrib, float& value) const override;

private:
    // Hands attributes stored since the last block to SoundTouch.
    void applyAttributes();
    bool plain() const { return m_appliedTempo == 0.0f && m_appliedPitch == 0.0f && m_appliedFrequency == rate(); }
    std::size_t stretch(float* out, std::size_t frames, TimeRuns& runs);
    // Everything up to the source's end has been delivered.
    bool pastSourceEnd() const;

    std::shared_ptr<Channel> m_source;
    bool m_freeSource;
    soundtouch::SoundTouch m_stretch;
    std::vector<float> m_input;

    // Stored by any thread; applied by the decoding one.
    std::atomic<float> m_tempoPercent{0.0f};
    std::atomic<float> m_pitch{0.0f};
    std::atomic<float> m_frequency;

    // The decoding thread's own.
    float m_appliedTempo = 0.0f;
    float m_appliedPitch = 0.0f;
    float m_appliedFrequency;
    double m_step = 1.0;           // source frames per frame delivered at the applied settings
    double m_bias = 0.0;           // where the sound lies against that time line, in source frames
    double m_deliveredBias = 0.0;  // the bias of the last frames delivered
    // Output already inside SoundTouch that was made at earlier settings, oldest first.
    struct Made {
        std::size_t frames;
        double step;
        double bias;
    };
    std::vector<Made> m_made;
    bool m_stretching = false;
    double m_position = 0;          // source frames behind the output delivered, on the tempo's time line
    bool m_flushed = false;         // the source is exhausted and SoundTouch was flushed
    std::uint64_t m_sourceEnd = 0;  // the source's final position, once flushed
};

}  // namespace bass
