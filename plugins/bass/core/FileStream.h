// A channel that decodes a file with FFmpeg into float frames at the file's own
// rate (mono stays mono; more than two channels are folded into stereo).
//
// Invariants: position() is the index of the next frame read() delivers, counted
// from the first audible frame (encoder delay already removed); with prescan the
// length is the exact number of frames the file decodes to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Channel.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

struct AVFormatContext;
struct AVCodecContext;
struct SwrContext;
struct AVPacket;
struct AVFrame;

namespace bass {

class FileStream final : public Channel {
public:
    // Opens `path` (UTF-8). Returns null with the BASS error code in `error`:
    // BASS_ERROR_FILEOPEN when the file cannot be read, BASS_ERROR_FILEFORM when
    // it holds no audio this library decodes (or, for `kind` Music, is not a
    // tracker module), BASS_ERROR_CODEC when the codec is not available.
    static std::shared_ptr<FileStream> open(const std::string& path, std::uint64_t offset, BASS_DWORD flags,
                                            ChannelKind kind, int& error);
    ~FileStream() override;

    std::uint64_t lengthFrames() const override { return m_length; }
    std::uint64_t positionFrames() const override { return m_position; }
    bool seek(std::uint64_t frame) override;
    bool ended() const override { return m_drained && m_pendingOffset >= m_pending.size(); }

protected:
    std::size_t produce(float* out, std::size_t frames) override;

private:
    FileStream(int rate, int channels, BASS_DWORD flags, ChannelKind kind);
    bool prescan();
    // Decodes the next frame into m_pending; false at the end of the stream.
    bool decodeMore();
    void appendFrame(const AVFrame* frame);
    std::int64_t frameIndexOf(std::int64_t pts) const;
    bool seekTo(std::uint64_t frame, std::uint64_t backoff);

    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    SwrContext* m_resampler = nullptr;
    // What the converter was built for.
    int m_inputFormat = -1;
    int m_inputRate = 0;
    AVChannelLayout m_inputLayout{};
    AVPacket* m_packet = nullptr;
    AVFrame* m_frame = nullptr;
    int m_stream = -1;

    std::vector<float> m_pending;  // converted frames not yet delivered
    std::size_t m_pendingOffset = 0;  // in samples
    std::uint64_t m_position = 0;
    std::uint64_t m_length = kUnknownLength;
    std::uint64_t m_decodedIndex = 0;  // frame index of the next decoded frame
    std::uint64_t m_discardUntil = 0;  // frames before this (after a seek) are dropped
    std::int64_t m_originPts = 0;  // time stamp of frame 0, the first frame decoded
    bool m_demuxerDone = false;
    bool m_drained = false;
    bool m_trustPts = false;  // the origin is known and frames carry time stamps
    bool m_seeking = false;
    bool m_awaitingLanding = false;
    std::int64_t m_landing = 0;  // frame index of the first frame decoded after a seek
};

}  // namespace bass
