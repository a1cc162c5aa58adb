#include "audio/Mp3FileScanner.h"

#include "platform/win32.h"

Mp3FileScanner::~Mp3FileScanner() {
    if (m_file) std::fclose(m_file);
}

bool Mp3FileScanner::scan(const std::u16string& path) {
    m_frames.clear();
    if (m_file) std::fclose(m_file);
    m_file = _wfopen(path.c_str(), u"rb");
    if (!m_file) return false;
    if (m_frames.capacity() < 30000) m_frames.reserve(30000);

    m_tag.readTag(m_file);
    long offset = std::ftell(m_file);
    std::uint8_t header[4] = {};
    auto readFrameAt = [&](long at) {
        auto frame = std::make_unique<MP3::Frame>();
        frame->fileOffset = at;
        // A read at the very end leaves the previous header in the buffer, so
        // the last frame repeats the one before it.
        std::fread(header, 1, 4, m_file);
        frame->init(header);
        m_frames.push_back(std::move(frame));
    };
    readFrameAt(offset);
    const MP3::Frame& first = *m_frames.front();
    while (!std::feof(m_file)) {
        offset += m_frames.back()->frameLength;
        std::fseek(m_file, offset, SEEK_SET);
        readFrameAt(offset);
    }
    m_sampleRate = first.sampleRate;
    m_samplesPerFrame = first.samplesPerFrame;
    m_duration = static_cast<std::uint32_t>(static_cast<double>(m_frames.size()) * first.samplesPerFrame *
                                            (1000.0 / first.sampleRate));
    return true;
}
