// A channel that sums decoding sources at its own rate and channel count.
// Sources must share the mixer's rate (this implementation does not resample);
// mono and stereo sources are spread or folded to the mixer's channels.
// Without BASS_MIXER_END the mixer never ends and plays silence when its
// sources are exhausted, as the published mixer does.
#pragma once

#include <memory>
#include <vector>

#include "core/Channel.h"

namespace bass {

class MixerStream final : public Channel {
public:
    MixerStream(int rate, int channels, BASS_DWORD flags);

    // False with BASS_ERROR_DECODE for a playable source, BASS_ERROR_FORMAT for
    // another rate, BASS_ERROR_ALREADY when the source is already in.
    bool add(const std::shared_ptr<Channel>& source);

    std::uint64_t lengthFrames() const override { return kUnknownLength; }

protected:
    std::size_t produce(float* out, std::size_t frames, TimeRuns& runs) override;
    bool seekTo(std::uint64_t frame) override;
    std::uint64_t positionFrames() const override { return m_position; }
    bool isEnded() const override;

private:
    // Freed sources drop out of the mix by themselves. Guarded by the decoder
    // lock, which add() takes too.
    std::vector<std::weak_ptr<Channel>> m_sources;
    std::vector<float> m_scratch;
    std::uint64_t m_position = 0;
};

}  // namespace bass
