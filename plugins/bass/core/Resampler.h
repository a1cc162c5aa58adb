// Converts sample data of any FFmpeg format, layout and rate into interleaved
// float frames of a fixed rate and channel count. The decoder uses it for what
// a file delivers (which may change from frame to frame in a damaged file),
// the playback for channels whose rate or channel count differs from the
// output device's.
#pragma once

#include <cstdint>

#include "core/FfmpegHandles.h"

namespace bass {

class Resampler {
public:
    Resampler(int outChannels, int outRate);

    // Whether the converter is set up for this input.
    bool accepts(const AVChannelLayout& layout, AVSampleFormat format, int rate) const;
    // Sets the converter up for this input; false when FFmpeg refuses it.
    bool configure(const AVChannelLayout& layout, AVSampleFormat format, int rate);
    // At most how many frames converting `frames` input frames gives.
    int capacityFor(int frames) const;
    // Converts `frames` input frames (planes as FFmpeg lays them out) into
    // `out`, which has room for `capacity` frames; returns the frames written.
    int convert(float* out, int capacity, const std::uint8_t* const* in, int frames);
    // Forgets buffered input, as after a seek.
    void reset();

    int outChannels() const { return m_outChannels; }
    int outRate() const { return m_outRate; }

private:
    int m_outChannels;
    int m_outRate;
    ResamplerContext m_context;
    ChannelLayout m_inLayout;
    AVSampleFormat m_inFormat = AV_SAMPLE_FMT_NONE;
    int m_inRate = 0;
};

}  // namespace bass
