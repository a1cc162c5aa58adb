#include "core/FileScan.h"

#include "core/FileStream.h"

namespace bass {

FileScan::FileScan(std::string path, std::uint64_t offset, ChannelKind kind)
    : m_thread([this, path = std::move(path), offset, kind]() mutable { run(std::move(path), offset, kind); }) {}

FileScan::~FileScan() {
    m_stopping = true;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stream) m_stream->cancel();
    }
    m_thread.join();
}

std::vector<AVIndexEntry> FileScan::takeIndex() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::move(m_index);
}

void FileScan::run(std::string path, std::uint64_t offset, ChannelKind kind) {
    int error = BASS_OK;
    auto stream = FileStream::open(path, offset, BASS_STREAM_DECODE, kind, error);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stream = stream;
    }
    if (stream && !m_stopping && stream->scanThrough()) {
        std::vector<AVIndexEntry> index = stream->indexEntries();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_index = std::move(index);
        m_length = stream->lengthFrames();
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stream.reset();
    }
    m_finished = true;
}

}  // namespace bass
