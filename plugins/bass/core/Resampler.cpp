#include "core/Resampler.h"

namespace bass {

Resampler::Resampler(int outChannels, int outRate) : m_outChannels(outChannels), m_outRate(outRate) {}

bool Resampler::accepts(const AVChannelLayout& layout, AVSampleFormat format, int rate) const {
    return m_context && format == m_inFormat && rate == m_inRate &&
           av_channel_layout_compare(&layout, &m_inLayout.get()) == 0;
}

bool Resampler::configure(const AVChannelLayout& layout, AVSampleFormat format, int rate) {
    m_context.reset();
    m_inLayout.clear();
    ChannelLayout outLayout;
    outLayout.assignDefault(m_outChannels);
    SwrContext* raw = nullptr;
    // FFmpeg 5 declares the layouts non-const, though it only reads them.
    const int rc = swr_alloc_set_opts2(&raw, const_cast<AVChannelLayout*>(&outLayout.get()), AV_SAMPLE_FMT_FLT,
                                       m_outRate, const_cast<AVChannelLayout*>(&layout), format, rate, 0, nullptr);
    ResamplerContext context(raw);
    if (rc < 0 || !context || swr_init(context.get()) < 0 || !m_inLayout.assign(layout)) return false;
    m_context = std::move(context);
    m_inFormat = format;
    m_inRate = rate;
    return true;
}

int Resampler::capacityFor(int frames) const {
    if (!m_context) return 0;
    const int out = swr_get_out_samples(m_context.get(), frames);
    return out < 0 ? 0 : out + 64;
}

int Resampler::convert(float* out, int capacity, const std::uint8_t* const* in, int frames) {
    if (!m_context) return 0;
    auto* target = reinterpret_cast<std::uint8_t*>(out);
    const int got = swr_convert(m_context.get(), &target, capacity, const_cast<const std::uint8_t**>(in), frames);
    return got < 0 ? 0 : got;
}

void Resampler::reset() {
    if (m_context) {
        // Rebuilding is the one way to drop what the converter holds back.
        ChannelLayout layout;
        if (!layout.assign(m_inLayout.get()) || !configure(layout.get(), m_inFormat, m_inRate)) m_context.reset();
    }
}

}  // namespace bass
