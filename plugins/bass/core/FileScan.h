// The prescan of a large file, done on a thread of its own so that opening the
// file returns at once: a second decoder reads the file through and leaves
// behind the exact length and the demuxer's index of its packets, which the
// playing stream takes over at its next read or seek.
//
// Invariant: length() is kUnknownLength until the scan has succeeded, and never
// changes afterwards; the index is handed over once.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/Channel.h"
#include "core/FfmpegHandles.h"

namespace bass {

class FileStream;

class FileScan {
public:
    FileScan(std::string path, std::uint64_t offset, ChannelKind kind);
    // Stops a scan in progress and waits for its thread.
    ~FileScan();
    FileScan(const FileScan&) = delete;
    FileScan& operator=(const FileScan&) = delete;

    bool finished() const { return m_finished.load(); }
    std::uint64_t length() const { return m_length.load(); }
    // The index entries the scan found (empty after the first call).
    std::vector<AVIndexEntry> takeIndex();

private:
    void run(std::string path, std::uint64_t offset, ChannelKind kind);

    std::mutex m_mutex;
    std::shared_ptr<FileStream> m_stream;  // guarded by m_mutex while it is set up
    std::vector<AVIndexEntry> m_index;     // guarded by m_mutex
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_finished{false};
    std::atomic<std::uint64_t> m_length{kUnknownLength};
    std::thread m_thread;
};

}  // namespace bass
