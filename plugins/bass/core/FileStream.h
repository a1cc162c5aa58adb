// A channel that decodes a file with FFmpeg into float frames at the file's own
// rate (mono stays mono; more than two channels are folded into stereo).
//
// Invariants: position() is the index of the next frame read() delivers, counted
// from the first audible frame (encoder delay already removed). Seeks are
// exact: FFmpeg's seek lands on a packet before the target and the frames up to
// the target are decoded and dropped. With BASS_STREAM_PRESCAN the file is read
// through once, which gives the exact length and an index of its packets that
// makes seeks land on the right one; a small file is scanned before open()
// returns, a large one in the background (its length is FFmpeg's estimate until
// the scan ends, and its index is taken over at the next read or seek).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Channel.h"
#include "core/FfmpegHandles.h"
#include "core/Resampler.h"

namespace bass {

class FileScan;

class FileStream final : public Channel {
public:
    // Files up to this size are scanned before open() returns: a few
    // milliseconds of work, so that short files have their exact length at once.
    static constexpr std::uint64_t kInlineScanBytes = 2u << 20;

    // Opens `path` (UTF-8). Returns null with the BASS error code in `error`:
    // BASS_ERROR_FILEOPEN when the file cannot be read, BASS_ERROR_FILEFORM when
    // it holds no audio this library decodes (or, for `kind` Music, is not a
    // tracker module), BASS_ERROR_CODEC when the codec is not available.
    static std::shared_ptr<FileStream> open(const std::string& path, std::uint64_t offset, BASS_DWORD flags,
                                            ChannelKind kind, int& error);
    ~FileStream() override;

    std::uint64_t lengthFrames() const override;
    void cancel() override { m_cancel->store(true); }

    // Reads the rest of the file through (a prescan); false when that fails.
    // Afterwards the stream stands at frame 0 and knows its exact length. Only
    // while no other thread can reach the stream (during open, or a stream of
    // the background scan's own).
    bool scanThrough();
    // The index the demuxer keeps for the stream, in time order.
    std::vector<AVIndexEntry> indexEntries() const;

protected:
    std::size_t produce(float* out, std::size_t frames, TimeRuns& runs) override;
    bool seekTo(std::uint64_t frame) override;
    std::uint64_t positionFrames() const override { return m_position; }
    bool isEnded() const override { return m_drained && m_pendingOffset >= m_pending.size(); }

private:
    FileStream(int rate, int channels, BASS_DWORD flags, ChannelKind kind);
    static int interrupted(void* flag);
    // Takes over a finished background scan: its index and length.
    void adoptScan();
    // Decodes the next frame into m_pending; false at the end of the stream.
    bool decodeMore();
    void appendFrame(const AVFrame* frame);
    std::int64_t frameIndexOf(std::int64_t pts) const;
    bool seekFrom(std::uint64_t target, std::uint64_t backoff);
    // Makes the demuxer's index reach `pts`; false when cancelled meanwhile.
    bool indexUpTo(std::int64_t pts);

    // Heap-allocated so that FFmpeg's interrupt callback can hold its address
    // from before the stream exists.
    std::unique_ptr<std::atomic<bool>> m_cancel;
    FormatContext m_format;
    CodecContext m_codec;
    Packet m_packet;
    Frame m_frame;
    Resampler m_resampler;
    int m_stream = -1;
    std::string m_path;
    std::uint64_t m_offset = 0;

    std::vector<float> m_pending;     // converted frames not yet delivered
    std::size_t m_pendingOffset = 0;  // in samples
    std::uint64_t m_position = 0;
    std::atomic<std::uint64_t> m_length{kUnknownLength};
    bool m_lengthExact = false;
    std::uint64_t m_decodedIndex = 0;  // frame index of the next decoded frame
    std::uint64_t m_discardUntil = 0;  // frames before this (after a seek) are dropped
    std::int64_t m_originPts = 0;      // time stamp of frame 0, the first frame decoded
    bool m_demuxerDone = false;
    bool m_drained = false;
    bool m_trustPts = false;  // the origin is known and frames carry time stamps
    bool m_seeking = false;
    bool m_awaitingLanding = false;
    std::int64_t m_landing = 0;  // frame index of the first frame decoded after a seek
    std::unique_ptr<FileScan> m_scan;
};

}  // namespace bass
