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

#include <memory>

namespace bass {

struct FormatContextCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct ResamplerFreer {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
struct DictionaryFreer {
    void operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }
};

using FormatContext = std::unique_ptr<AVFormatContext, FormatContextCloser>;
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using Packet = std::unique_ptr<AVPacket, PacketFreer>;
using Frame = std::unique_ptr<AVFrame, FrameFreer>;
using ResamplerContext = std::unique_ptr<SwrContext, ResamplerFreer>;
using Dictionary = std::unique_ptr<AVDictionary, DictionaryFreer>;

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
