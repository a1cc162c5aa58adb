#include "core/FileStream.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "core/Library.h"
#include "core/Plugins.h"

namespace bass {

namespace {

// Corrupt stretches are skipped packet by packet; a file that yields nothing
// but errors for this long is treated as ended rather than spun on forever.
constexpr int kMaxConsecutiveErrors = 500;

std::int64_t toFrames(std::int64_t ts, AVRational timeBase, int rate) {
    return av_rescale_q_rnd(ts, timeBase, AVRational{1, rate},
                            static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
}

}  // namespace

FileStream::FileStream(int rate, int channels, BASS_DWORD flags, ChannelKind kind)
    : Channel(rate, channels, flags, kind) {}

FileStream::~FileStream() {
    swr_free(&m_resampler);
    av_channel_layout_uninit(&m_inputLayout);
    avcodec_free_context(&m_codec);
    avformat_close_input(&m_format);
    av_packet_free(&m_packet);
    av_frame_free(&m_frame);
}

std::shared_ptr<FileStream> FileStream::open(const std::string& path, std::uint64_t offset, BASS_DWORD flags,
                                             ChannelKind kind, int& error) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        error = BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    if (info.st_size == 0 || static_cast<std::uint64_t>(info.st_size) <= offset) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    av_log_set_level(AV_LOG_QUIET);

    AVFormatContext* format = nullptr;
    AVDictionary* options = nullptr;
    // Only local files: a name that looks like a URL must not reach the network.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    if (offset) av_dict_set_int(&options, "skip_initial_bytes", static_cast<std::int64_t>(offset), 0);
    int rc = avformat_open_input(&format, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (rc < 0) {
        error = rc == AVERROR(ENOENT) || rc == AVERROR(EACCES) ? BASS_ERROR_FILEOPEN : BASS_ERROR_FILEFORM;
        return nullptr;
    }
    auto closeFormat = [&format] { avformat_close_input(&format); };
    const bool isModule = std::strcmp(format->iformat->name, "libopenmpt") == 0;
    if (isModule != (kind == ChannelKind::Music) || avformat_find_stream_info(format, nullptr) < 0) {
        closeFormat();
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    const AVCodec* decoder = nullptr;
    int index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0) {
        closeFormat();
        error = index == AVERROR_DECODER_NOT_FOUND ? BASS_ERROR_CODEC : BASS_ERROR_FILEFORM;
        return nullptr;
    }
    AVCodecParameters* params = format->streams[index]->codecpar;
    if (!codecAvailable(decoder->name)) {
        closeFormat();
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    if (params->sample_rate <= 0 || params->ch_layout.nb_channels <= 0) {
        closeFormat();
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    const int outChannels = params->ch_layout.nb_channels == 1 ? 1 : 2;
    std::shared_ptr<FileStream> stream(new FileStream(params->sample_rate, outChannels, flags, kind));
    stream->m_format = format;
    stream->m_stream = index;
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (static_cast<int>(i) != index) format->streams[i]->discard = AVDISCARD_ALL;

    stream->m_codec = avcodec_alloc_context3(decoder);
    stream->m_packet = av_packet_alloc();
    stream->m_frame = av_frame_alloc();
    if (!stream->m_codec || !stream->m_packet || !stream->m_frame ||
        avcodec_parameters_to_context(stream->m_codec, params) < 0) {
        error = BASS_ERROR_MEM;
        return nullptr;
    }
    stream->m_codec->pkt_timebase = format->streams[index]->time_base;
    if (avcodec_open2(stream->m_codec, decoder, nullptr) < 0) {
        error = BASS_ERROR_CODEC;
        return nullptr;
    }

    // A file that yields no sound at all (a text file with an audio name,
    // garbage after a plausible header) is not an audio file. The first frame
    // also fixes the origin of the stream's time line.
    if (!stream->decodeMore()) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    if (flags & BASS_STREAM_PRESCAN) {
        if (!stream->prescan()) {
            error = BASS_ERROR_FILEFORM;
            return nullptr;
        }
    } else {
        const AVStream* st = format->streams[index];
        if (st->duration != AV_NOPTS_VALUE)
            stream->m_length = static_cast<std::uint64_t>(toFrames(st->duration, st->time_base, params->sample_rate));
        else if (format->duration != AV_NOPTS_VALUE)
            stream->m_length =
                static_cast<std::uint64_t>(toFrames(format->duration, AV_TIME_BASE_Q, params->sample_rate));
    }
    return stream;
}

bool FileStream::prescan() {
    // Walks the remaining packets once without decoding. Their times estimate
    // the length (containers disagree on whether trimmed samples count), and the
    // demuxer keeps an index of them that makes later seeks land on the right
    // packet. Decoding the last few seconds then gives the length exactly, on
    // the same time line that seeking and positions use.
    const AVStream* st = m_format->streams[m_stream];
    std::int64_t end = AV_NOPTS_VALUE;
    std::int64_t summed = 0;
    while (av_read_frame(m_format, m_packet) >= 0) {
        if (m_packet->stream_index == m_stream) {
            const std::int64_t pts = m_packet->pts != AV_NOPTS_VALUE ? m_packet->pts : m_packet->dts;
            const std::int64_t duration = std::max<std::int64_t>(m_packet->duration, 0);
            if (pts != AV_NOPTS_VALUE) end = std::max(end, pts + duration);
            summed += duration;
        }
        av_packet_unref(m_packet);
    }
    const std::int64_t estimate = m_trustPts && end != AV_NOPTS_VALUE
                                      ? frameIndexOf(end)
                                      : static_cast<std::int64_t>(m_decodedIndex) + toFrames(summed, st->time_base, rate());
    const std::uint64_t tail = static_cast<std::uint64_t>(rate()) * 3;
    const std::uint64_t from = estimate > static_cast<std::int64_t>(tail) ? static_cast<std::uint64_t>(estimate) - tail : 0;
    m_length = kUnknownLength;
    if (!seek(from)) return false;
    std::uint64_t decodedEnd = m_decodedIndex;
    while (!m_drained) {
        m_pending.clear();
        m_pendingOffset = 0;
        if (!decodeMore()) break;
        decodedEnd = std::max(decodedEnd, m_decodedIndex);
    }
    m_length = decodedEnd;
    return seekTo(0, 0);
}

std::int64_t FileStream::frameIndexOf(std::int64_t pts) const {
    return toFrames(pts - m_originPts, m_format->streams[m_stream]->time_base, rate());
}

bool FileStream::decodeMore() {
    int errors = 0;
    while (errors < kMaxConsecutiveErrors) {
        int rc = avcodec_receive_frame(m_codec, m_frame);
        if (rc == 0) {
            appendFrame(m_frame);
            av_frame_unref(m_frame);
            return true;
        }
        if (rc == AVERROR_EOF) {
            m_drained = true;
            return false;
        }
        if (rc != AVERROR(EAGAIN)) {
            ++errors;
            continue;
        }
        if (m_demuxerDone) {
            // The decoder was flushed and still asks for input: nothing is left.
            m_drained = true;
            return false;
        }
        rc = av_read_frame(m_format, m_packet);
        if (rc < 0) {
            m_demuxerDone = true;
            avcodec_send_packet(m_codec, nullptr);
            continue;
        }
        if (m_packet->stream_index == m_stream) {
            if (avcodec_send_packet(m_codec, m_packet) < 0) ++errors;
        }
        av_packet_unref(m_packet);
    }
    m_drained = true;
    return false;
}

void FileStream::appendFrame(const AVFrame* frame) {
    if (frame->nb_samples <= 0 || frame->sample_rate <= 0 || frame->ch_layout.nb_channels <= 0) return;
    // Damaged files can change format, layout or rate from one frame to the
    // next; the converter is rebuilt for each change, always giving the
    // stream's own rate and channel count.
    if (!m_resampler || frame->format != m_inputFormat || frame->sample_rate != m_inputRate ||
        av_channel_layout_compare(&frame->ch_layout, &m_inputLayout) != 0) {
        swr_free(&m_resampler);
        av_channel_layout_uninit(&m_inputLayout);
        AVChannelLayout outLayout;
        av_channel_layout_default(&outLayout, channels());
        if (av_channel_layout_copy(&m_inputLayout, &frame->ch_layout) < 0 ||
            swr_alloc_set_opts2(&m_resampler, &outLayout, AV_SAMPLE_FMT_FLT, rate(),
                                const_cast<AVChannelLayout*>(&frame->ch_layout),
                                static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr) < 0 ||
            swr_init(m_resampler) < 0) {
            swr_free(&m_resampler);
            av_channel_layout_uninit(&m_inputLayout);
            return;
        }
        m_inputFormat = frame->format;
        m_inputRate = frame->sample_rate;
    }
    std::int64_t start = static_cast<std::int64_t>(m_decodedIndex);
    std::int64_t pts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
    if (!m_trustPts && pts != AV_NOPTS_VALUE) {
        // The first frame decoded is frame 0 of the time line.
        m_originPts = pts;
        m_trustPts = true;
    }
    if (m_trustPts && pts != AV_NOPTS_VALUE) start = frameIndexOf(pts);

    const std::size_t ch = static_cast<std::size_t>(channels());
    const std::size_t before = m_pending.size();
    const int expected = swr_get_out_samples(m_resampler, frame->nb_samples);
    if (expected < 0) return;
    const std::size_t room = static_cast<std::size_t>(expected) + 64;
    m_pending.resize(before + room * ch);
    auto* out = reinterpret_cast<std::uint8_t*>(m_pending.data() + before);
    int got = swr_convert(m_resampler, &out, static_cast<int>(room),
                          const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
    if (got < 0) got = 0;
    m_pending.resize(before + static_cast<std::size_t>(got) * ch);
    m_decodedIndex = static_cast<std::uint64_t>(std::max<std::int64_t>(start + got, 0));
    if (m_awaitingLanding) {
        m_landing = start;
        m_awaitingLanding = false;
    }

    // Frames before the time line's origin (encoder delay a demuxer did not mark
    // after a seek) and before a seek target are decoded only to be dropped.
    const std::int64_t keepFrom = std::max<std::int64_t>(static_cast<std::int64_t>(m_discardUntil), 0);
    if (start < keepFrom) {
        std::size_t drop = static_cast<std::size_t>(std::min<std::int64_t>(keepFrom - start, got));
        m_pending.erase(m_pending.begin() + static_cast<std::ptrdiff_t>(before),
                        m_pending.begin() + static_cast<std::ptrdiff_t>(before + drop * ch));
        start += static_cast<std::int64_t>(drop);
    }
    if (m_seeking && m_pending.size() > before) {
        // The first frame delivered after a seek fixes the position.
        m_position = static_cast<std::uint64_t>(start);
        m_seeking = false;
    }
}

bool FileStream::seekTo(std::uint64_t target, std::uint64_t backoff) {
    const AVStream* st = m_format->streams[m_stream];
    const std::uint64_t from = target > backoff ? target - backoff : 0;
    int rc;
    if (from == 0)
        rc = avformat_seek_file(m_format, m_stream, INT64_MIN, m_originPts, m_originPts, 0);
    else
        rc = av_seek_frame(m_format, m_stream,
                           m_originPts + av_rescale_q(static_cast<std::int64_t>(from), AVRational{1, rate()},
                                                      st->time_base),
                           AVSEEK_FLAG_BACKWARD);
    if (rc < 0) return false;
    avcodec_flush_buffers(m_codec);
    m_pending.clear();
    m_pendingOffset = 0;
    m_demuxerDone = false;
    m_drained = false;
    m_decodedIndex = from;
    m_discardUntil = target;
    m_position = target;
    m_seeking = true;
    m_awaitingLanding = true;
    while (m_pending.empty() && decodeMore()) {
        if (m_landing > static_cast<std::int64_t>(target) && from > 0) return false;  // landed past the target
    }
    if (m_pending.empty()) {
        // Only the very end of the file lies at or after the target.
        m_position = target;
        m_seeking = false;
        return m_length == kUnknownLength || target >= m_length || from == 0;
    }
    return true;
}

std::size_t FileStream::produce(float* out, std::size_t frames) {
    const std::size_t ch = static_cast<std::size_t>(channels());
    std::size_t delivered = 0;
    while (delivered < frames) {
        if (m_pendingOffset >= m_pending.size()) {
            m_pending.clear();
            m_pendingOffset = 0;
            if (m_drained || !decodeMore()) break;
            continue;
        }
        std::size_t available = (m_pending.size() - m_pendingOffset) / ch;
        std::size_t n = std::min(available, frames - delivered);
        std::memcpy(out + delivered * ch, m_pending.data() + m_pendingOffset, n * ch * sizeof(float));
        m_pendingOffset += n * ch;
        delivered += n;
        m_position += n;
    }
    // Without a prescan the length was the container's estimate; the end of
    // decoding tells the truth.
    if (m_drained && m_pendingOffset >= m_pending.size() &&
        (m_length == kUnknownLength || !(flags() & BASS_STREAM_PRESCAN)))
        m_length = m_position;
    return delivered;
}

bool FileStream::seek(std::uint64_t frame) {
    if (m_length != kUnknownLength && frame > m_length) {
        setError(BASS_ERROR_POSITION);
        return false;
    }
    // Decoders need a little audio before the target to warm up (the MP3 bit
    // reservoir reaches back over several frames), and demuxers without an
    // exact index may land after the target: step back further until the
    // decoded time line starts at or before it.
    const auto second = static_cast<std::uint64_t>(rate());
    const std::uint64_t preroll = second / 10;
    for (std::uint64_t backoff : {preroll, preroll + second, preroll + second * 10}) {
        if (seekTo(frame, backoff)) return true;
    }
    // Decoding from the very start always reaches the target.
    if (seekTo(frame, frame)) return true;
    setError(BASS_ERROR_POSITION);
    return false;
}

}  // namespace bass
