#include "audio/Mp3Frame.h"

namespace MP3 {

namespace {

// Kilobits per second by bitrate index: MPEG-1 Layers I, II, III, then the
// low-sampling-frequency (MPEG-2 and 2.5) Layers I, II, III.
constexpr int kBitrates[6][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};

// Hz by sampling index, for MPEG 2.5, (reserved), MPEG-2 and MPEG-1.
constexpr int kSampleRates[4][3] = {
    {11025, 12000, 8000},
    {0, 0, 0},
    {22050, 24000, 16000},
    {44100, 48000, 32000},
};

}  // namespace

FrameException::FrameException(const char* function, int line, const char* reason) {
    m_text =
        std::string("Function: ") + function + "\nLine:     " + std::to_string(line) + "\nException:\n" + reason + "\n";
}

int Frame::init(const std::uint8_t h[4]) {
    versionBits = (h[1] >> 3) & 3;
    if (versionBits == 1) throw FrameException("MP3::Frame::init", 251, "Invalid Version");
    lowSamplingFrequency = versionBits != 3;
    int layerBits = (h[1] >> 1) & 3;
    if (layerBits == 0) throw FrameException("MP3::Frame::init", 259, "Invalid Layer");
    layerIndex = 3 - layerBits;
    crcPresent = (h[1] & 1) == 0;

    int bitrateIndex = h[2] >> 4;
    if (bitrateIndex == 15) throw FrameException("MP3::Frame::init", 266, "Invalid bitrateIndex");
    bitrate = kBitrates[3 * lowSamplingFrequency + layerIndex][bitrateIndex] * 1000;
    if (bitrate == 0) throw FrameException("MP3::Frame::init", 269, "Invalid bitrate 0");

    int samplingIndex = (h[2] >> 2) & 3;
    if (samplingIndex == 3) throw FrameException("MP3::Frame::init", 274, "Invalid samplingRateIndex");
    sampleRate = kSampleRates[versionBits][samplingIndex];

    padding = (h[2] >> 1) & 1;
    if (layerIndex == 0)
        samplesPerFrame = 384;
    else if (layerIndex == 1 || !lowSamplingFrequency)
        samplesPerFrame = 1152;
    else
        samplesPerFrame = 576;

    channelMode = h[3] >> 6;
    modeExtension = (h[3] >> 4) & 3;
    bound = channelMode == 1 ? static_cast<std::uint16_t>((modeExtension + 1) * 4) : 0;
    emphasis = h[3] & 3;
    if (emphasis == 2) throw FrameException("MP3::Frame::init", 304, "Invalid emphasis");

    if (layerIndex == 0)
        frameLength = (12 * bitrate / sampleRate + padding) * 4;
    else if (layerIndex == 2 && lowSamplingFrequency)
        frameLength = 72 * bitrate / sampleRate + padding;
    else
        frameLength = 144 * bitrate / sampleRate + padding;
    return frameLength;
}

}  // namespace MP3
