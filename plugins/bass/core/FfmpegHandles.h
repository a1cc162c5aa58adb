// Owners for the FFmpeg objects the modules hold. Each pointer type frees its
// object with the matching FFmpeg function, so that no path of the decoder
// releases one by hand. FFmpeg's allocating calls take the address of a raw
// pointer; hand it to the owner straight after (they leave it null on failure).
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libswresample/swresample.h>
}

#include "platform/common/UniqueC.h"

namespace bass {

// FFmpeg's release functions take the pointer's address and clear it.
using FormatContext = veltrix::UniqueCByAddress<AVFormatContext, avformat_close_input>;
using CodecContext = veltrix::UniqueCByAddress<AVCodecContext, avcodec_free_context>;
using Packet = veltrix::UniqueCByAddress<AVPacket, av_packet_free>;
using Frame = veltrix::UniqueCByAddress<AVFrame, av_frame_free>;
using ResamplerContext = veltrix::UniqueCByAddress<SwrContext, swr_free>;
using Dictionary = veltrix::UniqueCByAddress<AVDictionary, av_dict_free>;

// A channel layout, which may own a custom channel map.
class ChannelLayout {
public:
    ChannelLayout() = default;
    ~ChannelLayout() { av_channel_layout_uninit(&m_layout); }
    ChannelLayout(const ChannelLayout&) = delete;
    ChannelLayout& operator=(const ChannelLayout&) = delete;

    bool assign(const AVChannelLayout& layout) {
        av_channel_layout_uninit(&m_layout);
        return av_channel_layout_copy(&m_layout, &layout) == 0;
    }
    void assignDefault(int channels) {
        av_channel_layout_uninit(&m_layout);
        av_channel_layout_default(&m_layout, channels);
    }
    void clear() { av_channel_layout_uninit(&m_layout); }
    const AVChannelLayout& get() const { return m_layout; }

private:
    AVChannelLayout m_layout{};
};

}  // namespace bass
