// MPEG audio frame headers (MPEG-1, MPEG-2 and MPEG 2.5, Layers I to III).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace MP3 {

// A rejected header. what() is "Function: ...\nLine:     ...\nException:\n<reason>\n".
class FrameException : public std::exception {
public:
    FrameException(const char* function, int line, const char* reason);
    const char* what() const noexcept override { return m_text.c_str(); }

private:
    std::string m_text;
};

class Frame {
public:
    // Decodes the four header bytes (the first byte and the sync bits are not
    // examined) and returns the frame's length in bytes.
    int init(const std::uint8_t header[4]);

    int versionBits = 0;  // 0 MPEG 2.5, 2 MPEG-2, 3 MPEG-1
    int layerIndex = 0;   // 0 Layer I, 1 Layer II, 2 Layer III
    std::uint8_t crcPresent = 0;
    std::uint8_t lowSamplingFrequency = 0;
    int bitrate = 0;     // bits per second
    int sampleRate = 0;  // Hz
    int padding = 0;
    int samplesPerFrame = 0;
    int channelMode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    int modeExtension = 0;
    std::uint16_t bound = 0;
    int emphasis = 0;
    int frameLength = 0;
    long fileOffset = 0;
};

}  // namespace MP3
