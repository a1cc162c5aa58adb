// Walks an MP3 file frame by frame from the end of its ID3v2 tag and computes
// its duration. An invalid header ends the walk with MP3::FrameException.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "audio/ID3Tag.h"
#include "audio/Mp3Frame.h"

class Mp3FileScanner {
public:
    Mp3FileScanner() = default;
    ~Mp3FileScanner();
    Mp3FileScanner(const Mp3FileScanner&) = delete;
    Mp3FileScanner& operator=(const Mp3FileScanner&) = delete;

    // False when the file cannot be opened. Throws MP3::FrameException at the
    // first invalid header, keeping the frames read so far.
    bool scan(const std::u16string& path);

    const std::vector<std::unique_ptr<MP3::Frame>>& frames() const { return m_frames; }
    std::uint32_t duration() const { return m_duration; }  // milliseconds
    int sampleRate() const { return m_sampleRate; }
    int samplesPerFrame() const { return m_samplesPerFrame; }

private:
    ID3Tag m_tag;
    std::FILE* m_file = nullptr;
    std::vector<std::unique_ptr<MP3::Frame>> m_frames;
    std::uint32_t m_duration = 0;
    int m_sampleRate = 0;
    int m_samplesPerFrame = 0;
};
