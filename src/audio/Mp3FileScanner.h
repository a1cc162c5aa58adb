// Walks an MP3 file frame by frame from the end of its ID3v2 tag and computes
// its duration. An invalid header ends the walk with MP3::FrameException.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/ID3Tag.h"
#include "audio/Mp3Frame.h"

class Mp3FileScanner {
public:
    // False when the file cannot be opened. Throws MP3::FrameException at the
    // first invalid header, keeping the frames read so far.
    bool scan(const std::u16string& path);
    // The frame walk alone, over a file's bytes from the given offset.
    void scanFrames(const std::uint8_t* data, std::size_t size, long start);

    const std::vector<MP3::Frame>& frames() const { return m_frames; }
    const ID3Tag& tag() const { return m_tag; }
    std::uint32_t duration() const { return m_duration; }  // milliseconds
    int sampleRate() const { return m_sampleRate; }
    int samplesPerFrame() const { return m_samplesPerFrame; }

private:
    ID3Tag m_tag;
    std::vector<MP3::Frame> m_frames;
    std::uint32_t m_duration = 0;
    int m_sampleRate = 0;
    int m_samplesPerFrame = 0;
};
