#include "audio/Mp3FileScanner.h"

#include <cstdio>
#include <algorithm>
#include <cstring>

#include "platform/win32.h"

namespace {

// The file's bytes for as long as the object lives: a frame walk touches a few
// bytes every few hundred, so the file is mapped rather than read through a
// buffer that every seek would throw away.
class MappedFile {
public:
    explicit MappedFile(const std::u16string& path) {
        m_file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER size{};
        if (m_file == INVALID_HANDLE_VALUE || !GetFileSizeEx(m_file, &size)) return;
        m_size = static_cast<std::size_t>(size.QuadPart);
        m_opened = true;
        if (m_size == 0) return;
        m_mapping = CreateFileMappingW(m_file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (m_mapping) m_view = static_cast<const std::uint8_t*>(MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0));
        m_opened = m_view != nullptr;
    }
    ~MappedFile() {
        if (m_view) UnmapViewOfFile(m_view);
        if (m_mapping) CloseHandle(m_mapping);
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool opened() const { return m_opened; }
    const std::uint8_t* data() const { return m_view; }
    std::size_t size() const { return m_size; }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_mapping = nullptr;
    const std::uint8_t* m_view = nullptr;
    std::size_t m_size = 0;
    bool m_opened = false;
};

}  // namespace

bool Mp3FileScanner::scan(const std::u16string& path) {
    m_frames.clear();
    // The tag is read through the file; the frames through a mapping of it.
    std::FILE* tagFile = _wfopen(path.c_str(), u"rb");
    if (!tagFile) return false;
    m_tag.readTag(tagFile);
    long start = std::ftell(tagFile);
    std::fclose(tagFile);
    MappedFile file(path);
    if (!file.opened()) return false;
    scanFrames(file.data(), file.size(), start);
    return true;
}

void Mp3FileScanner::scanFrames(const std::uint8_t* data, std::size_t size, long start) {
    m_frames.clear();
    if (m_frames.capacity() < 30000) m_frames.reserve(30000);
    long offset = start;

    // Reads four bytes at offset as a buffered read would: past the end, what
    // could not be read keeps the bytes of the previous header, and the end of
    // the file is noticed only by a read that comes up short.
    std::uint8_t header[4] = {};
    bool atEnd = false;
    auto readFrameAt = [&](long at) {
        std::size_t from = static_cast<std::size_t>(at);
        std::size_t available = from < size ? std::min<std::size_t>(4, size - from) : 0;
        if (available) std::memcpy(header, data + from, available);
        atEnd = available < 4;
        MP3::Frame frame;
        frame.fileOffset = at;
        frame.init(header);
        m_frames.push_back(frame);
    };
    readFrameAt(offset);
    while (!atEnd) {
        offset += m_frames.back().frameLength;
        readFrameAt(offset);
    }
    const MP3::Frame& first = m_frames.front();
    m_sampleRate = first.sampleRate;
    m_samplesPerFrame = first.samplesPerFrame;
    m_duration = static_cast<std::uint32_t>(static_cast<double>(m_frames.size()) * first.samplesPerFrame *
                                            (1000.0 / first.sampleRate));
}
