#include "audio/Mp3FileScanner.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/win32.h"
#include "text/MappedFile.h"

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
