#include "core/FileStream.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "core/FileScan.h"
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
    : Channel(rate, channels, flags, kind), m_resampler(channels, rate) {}

FileStream::~FileStream() {
    // The scan reads the same file; it stops before the stream goes.
    m_scan.reset();
}

int FileStream::interrupted(void* flag) { return static_cast<std::atomic<bool>*>(flag)->load() ? 1 : 0; }

std::shared_ptr<FileStream> FileStream::open(const std::string& path, std::uint64_t offset, BASS_DWORD flags,
                                             ChannelKind kind, int& error) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        error = BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);
    if (fileSize == 0 || fileSize <= offset) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    av_log_set_level(AV_LOG_QUIET);

    auto cancel = std::make_unique<std::atomic<bool>>(false);
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) {
        error = BASS_ERROR_MEM;
        return nullptr;
    }
    raw->interrupt_callback = AVIOInterruptCB{&FileStream::interrupted, cancel.get()};
    // Room for an index of every packet of a long lesson (an hour of MP3 at
    // 22 kHz has some 140,000 frames; the default 1 MiB holds 43,690). Past
    // the limit the demuxer halves the index, and every packet read after
    // that was inserted into its middle, moving the rest: half the decoding
    // work of playback went into moving index entries.
    raw->max_index_size = 32u << 20;
    AVDictionary* rawOptions = nullptr;
    // Only local files: a name that looks like a URL must not reach the network.
    av_dict_set(&rawOptions, "protocol_whitelist", "file", 0);
    if (offset) av_dict_set_int(&rawOptions, "skip_initial_bytes", static_cast<std::int64_t>(offset), 0);
    const int rc = avformat_open_input(&raw, ("file:" + path).c_str(), nullptr, &rawOptions);
    Dictionary options(rawOptions);
    FormatContext format(raw);
    if (rc < 0) {
        error = rc == AVERROR(ENOENT) || rc == AVERROR(EACCES) ? BASS_ERROR_FILEOPEN : BASS_ERROR_FILEFORM;
        return nullptr;
    }
    const bool isModule = std::strcmp(format->iformat->name, "libopenmpt") == 0;
    if (isModule != (kind == ChannelKind::Music) || avformat_find_stream_info(format.get(), nullptr) < 0) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0) {
        error = index == AVERROR_DECODER_NOT_FOUND ? BASS_ERROR_CODEC : BASS_ERROR_FILEFORM;
        return nullptr;
    }
    const AVCodecParameters* params = format->streams[index]->codecpar;
    if (!codecAvailable(decoder->name) || params->sample_rate <= 0 || params->ch_layout.nb_channels <= 0) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    const int outChannels = params->ch_layout.nb_channels == 1 ? 1 : 2;
    std::shared_ptr<FileStream> stream(new FileStream(params->sample_rate, outChannels, flags, kind));
    stream->m_cancel = std::move(cancel);
    stream->m_stream = index;
    stream->m_path = path;
    stream->m_offset = offset;
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (static_cast<int>(i) != index) format->streams[i]->discard = AVDISCARD_ALL;

    stream->m_codec.reset(avcodec_alloc_context3(decoder));
    stream->m_packet.reset(av_packet_alloc());
    stream->m_frame.reset(av_frame_alloc());
    if (!stream->m_codec || !stream->m_packet || !stream->m_frame ||
        avcodec_parameters_to_context(stream->m_codec.get(), params) < 0) {
        error = BASS_ERROR_MEM;
        return nullptr;
    }
    stream->m_codec->pkt_timebase = format->streams[index]->time_base;
    if (avcodec_open2(stream->m_codec.get(), decoder, nullptr) < 0) {
        error = BASS_ERROR_CODEC;
        return nullptr;
    }
    stream->m_format = std::move(format);

    // A file that yields no sound at all (a text file with an audio name,
    // garbage after a plausible header) is not an audio file. The first frame
    // also fixes the origin of the stream's time line.
    if (!stream->decodeMore()) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    const AVStream* st = stream->m_format->streams[index];
    if (st->duration != AV_NOPTS_VALUE)
        stream->m_length = static_cast<std::uint64_t>(toFrames(st->duration, st->time_base, params->sample_rate));
    else if (stream->m_format->duration != AV_NOPTS_VALUE)
        stream->m_length =
            static_cast<std::uint64_t>(toFrames(stream->m_format->duration, AV_TIME_BASE_Q, params->sample_rate));
    if (flags & BASS_STREAM_PRESCAN) {
        if (fileSize - offset <= kInlineScanBytes) {
            if (!stream->scanThrough()) {
                error = BASS_ERROR_FILEFORM;
                return nullptr;
            }
        } else {
            stream->m_scan = std::make_unique<FileScan>(path, offset, kind);
        }
    }
    return stream;
}

std::uint64_t FileStream::lengthFrames() const {
    if (!m_lengthExact && m_scan) {
        const std::uint64_t scanned = m_scan->length();
        if (scanned != kUnknownLength) return scanned;
    }
    return m_length.load();
}

bool FileStream::scanThrough() {
    // Walks the remaining packets once without decoding. Their times estimate
    // the length (containers disagree on whether trimmed samples count), and the
    // demuxer keeps an index of them that makes later seeks land on the right
    // packet. Decoding the last few seconds then gives the length exactly, on
    // the same time line that seeking and positions use.
    const AVStream* st = m_format->streams[m_stream];
    std::int64_t end = AV_NOPTS_VALUE;
    std::int64_t summed = 0;
    while (!m_cancel->load() && av_read_frame(m_format.get(), m_packet.get()) >= 0) {
        if (m_packet->stream_index == m_stream) {
            const std::int64_t pts = m_packet->pts != AV_NOPTS_VALUE ? m_packet->pts : m_packet->dts;
            const std::int64_t duration = std::max<std::int64_t>(m_packet->duration, 0);
            if (pts != AV_NOPTS_VALUE) end = std::max(end, pts + duration);
            summed += duration;
        }
        av_packet_unref(m_packet.get());
    }
    if (m_cancel->load()) return false;
    const std::int64_t estimate = m_trustPts && end != AV_NOPTS_VALUE ? frameIndexOf(end)
                                                                      : static_cast<std::int64_t>(m_decodedIndex) +
                                                                            toFrames(summed, st->time_base, rate());
    const std::uint64_t tail = static_cast<std::uint64_t>(rate()) * 3;
    const std::uint64_t from =
        estimate > static_cast<std::int64_t>(tail) ? static_cast<std::uint64_t>(estimate) - tail : 0;
    m_length = kUnknownLength;
    if (!seekTo(from)) return false;
    std::uint64_t decodedEnd = m_decodedIndex;
    while (!m_drained && !m_cancel->load()) {
        m_pending.clear();
        m_pendingOffset = 0;
        if (!decodeMore()) break;
        decodedEnd = std::max(decodedEnd, m_decodedIndex);
    }
    m_length = decodedEnd;
    m_lengthExact = true;
    return seekFrom(0, 0);
}

std::vector<AVIndexEntry> FileStream::indexEntries() const {
    std::vector<AVIndexEntry> entries;
    AVStream* st = m_format->streams[m_stream];
    const int count = avformat_index_get_entries_count(st);
    entries.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        if (const AVIndexEntry* entry = avformat_index_get_entry(st, i)) entries.push_back(*entry);
    return entries;
}

void FileStream::adoptScan() {
    if (m_lengthExact || !m_scan || !m_scan->finished()) return;
    std::vector<AVIndexEntry> entries = m_scan->takeIndex();
    AVStream* st = m_format->streams[m_stream];
    // Only what lies beyond the demuxer's own index is added, in order: entries
    // appended at the end cost nothing to insert.
    // The last timestamp is copied: adding an entry may move the index, and a
    // pointer into it would then read freed memory.
    const int own = avformat_index_get_entries_count(st);
    const bool hasOwn = own > 0;
    const std::int64_t lastOwn = hasOwn ? avformat_index_get_entry(st, own - 1)->timestamp : 0;
    for (const AVIndexEntry& entry : entries)
        if (!hasOwn || entry.timestamp > lastOwn)
            av_add_index_entry(st, entry.pos, entry.timestamp, entry.size, entry.min_distance, entry.flags);
    if (m_scan->length() != kUnknownLength) {
        m_length = m_scan->length();
        m_lengthExact = true;
    }
}

std::int64_t FileStream::frameIndexOf(std::int64_t pts) const {
    return toFrames(pts - m_originPts, m_format->streams[m_stream]->time_base, rate());
}

bool FileStream::decodeMore() {
    int errors = 0;
    while (errors < kMaxConsecutiveErrors && !m_cancel->load()) {
        int rc = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (rc == 0) {
            appendFrame(m_frame.get());
            av_frame_unref(m_frame.get());
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
        rc = av_read_frame(m_format.get(), m_packet.get());
        if (rc < 0) {
            m_demuxerDone = true;
            avcodec_send_packet(m_codec.get(), nullptr);
            continue;
        }
        if (m_packet->stream_index == m_stream) {
            if (avcodec_send_packet(m_codec.get(), m_packet.get()) < 0) ++errors;
        }
        av_packet_unref(m_packet.get());
    }
    m_drained = true;
    return false;
}

void FileStream::appendFrame(const AVFrame* frame) {
    if (frame->nb_samples <= 0 || frame->sample_rate <= 0 || frame->ch_layout.nb_channels <= 0) return;
    // Damaged files can change format, layout or rate from one frame to the
    // next; the converter is rebuilt for each change, always giving the
    // stream's own rate and channel count.
    const auto format = static_cast<AVSampleFormat>(frame->format);
    if (!m_resampler.accepts(frame->ch_layout, format, frame->sample_rate) &&
        !m_resampler.configure(frame->ch_layout, format, frame->sample_rate))
        return;
    std::int64_t start = static_cast<std::int64_t>(m_decodedIndex);
    const std::int64_t pts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
    if (!m_trustPts && pts != AV_NOPTS_VALUE) {
        // The first frame decoded is frame 0 of the time line.
        m_originPts = pts;
        m_trustPts = true;
    }
    if (m_trustPts && pts != AV_NOPTS_VALUE) start = frameIndexOf(pts);

    const std::size_t ch = static_cast<std::size_t>(channels());
    const std::size_t before = m_pending.size();
    const int room = m_resampler.capacityFor(frame->nb_samples);
    m_pending.resize(before + static_cast<std::size_t>(room) * ch);
    const int got = m_resampler.convert(m_pending.data() + before, room, frame->extended_data, frame->nb_samples);
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
        const auto drop = static_cast<std::size_t>(std::min<std::int64_t>(keepFrom - start, got));
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

bool FileStream::indexUpTo(std::int64_t pts) {
    // Demuxers that find packets through an index of their own (MP3 among
    // them) read forward from its last entry to a time beyond it, inside
    // FFmpeg where nothing can stop them; reading forward here instead, packet
    // by packet, extends the index the same way and stops when the stream is
    // cancelled. The seek that follows then finds its packet in the index.
    if (!(m_format->iformat->flags & AVFMT_GENERIC_INDEX)) return true;
    AVStream* st = m_format->streams[m_stream];
    const int count = avformat_index_get_entries_count(st);
    const AVIndexEntry* last = count > 0 ? avformat_index_get_entry(st, count - 1) : nullptr;
    if (last && last->timestamp >= pts) return true;
    const int rc = last ? av_seek_frame(m_format.get(), m_stream, last->timestamp, AVSEEK_FLAG_BACKWARD)
                        : avformat_seek_file(m_format.get(), m_stream, INT64_MIN, m_originPts, m_originPts, 0);
    if (rc < 0) return true;  // the demuxer's own search is all there is
    while (!m_cancel->load() && av_read_frame(m_format.get(), m_packet.get()) >= 0) {
        const bool past = m_packet->stream_index == m_stream && m_packet->dts != AV_NOPTS_VALUE && m_packet->dts > pts;
        av_packet_unref(m_packet.get());
        if (past) break;
    }
    return !m_cancel->load();
}

bool FileStream::seekFrom(std::uint64_t target, std::uint64_t backoff) {
    const AVStream* st = m_format->streams[m_stream];
    const std::uint64_t from = target > backoff ? target - backoff : 0;
    const std::int64_t fromPts =
        m_originPts + av_rescale_q(static_cast<std::int64_t>(from), AVRational{1, rate()}, st->time_base);
    int rc;
    if (from == 0)
        rc = avformat_seek_file(m_format.get(), m_stream, INT64_MIN, m_originPts, m_originPts, 0);
    else if (!indexUpTo(fromPts))
        return false;
    else
        rc = av_seek_frame(m_format.get(), m_stream, fromPts, AVSEEK_FLAG_BACKWARD);
    if (rc < 0) return false;
    avcodec_flush_buffers(m_codec.get());
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
        const std::uint64_t length = m_length.load();
        return length == kUnknownLength || target >= length || from == 0;
    }
    return true;
}

std::size_t FileStream::produce(float* out, std::size_t frames, TimeRuns& runs) {
    adoptScan();
    const std::size_t ch = static_cast<std::size_t>(channels());
    const std::uint64_t start = m_position;
    std::size_t delivered = 0;
    while (delivered < frames) {
        if (m_pendingOffset >= m_pending.size()) {
            m_pending.clear();
            m_pendingOffset = 0;
            if (m_drained || !decodeMore()) break;
            continue;
        }
        const std::size_t available = (m_pending.size() - m_pendingOffset) / ch;
        const std::size_t n = std::min(available, frames - delivered);
        std::memcpy(out + delivered * ch, m_pending.data() + m_pendingOffset, n * ch * sizeof(float));
        m_pendingOffset += n * ch;
        delivered += n;
        m_position += n;
    }
    runs.add(delivered, static_cast<double>(start), 1.0);
    // Without a prescan the length was the container's estimate; the end of
    // decoding tells the truth.
    if (m_drained && m_pendingOffset >= m_pending.size() && !m_lengthExact && !m_cancel->load()) {
        m_length = m_position;
        m_lengthExact = true;
    }
    return delivered;
}

bool FileStream::seekTo(std::uint64_t frame) {
    adoptScan();
    const std::uint64_t length = lengthFrames();
    if (length != kUnknownLength && frame > length) {
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
        if (seekFrom(frame, backoff)) return true;
        if (m_cancel->load()) break;
    }
    // Decoding from the very start always reaches the target.
    if (!m_cancel->load() && seekFrom(frame, frame)) return true;
    setError(BASS_ERROR_POSITION);
    return false;
}

}  // namespace bass
