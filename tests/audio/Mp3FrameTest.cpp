// MPEG audio frame headers and the frame walk over a file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "audio/Mp3FileScanner.h"
#include "audio/Mp3Frame.h"
#include "support/TempDir.h"

using namespace std::string_literals;

namespace {
std::string message(const char* reason, int line) {
    return "Function: MP3::Frame::init\nLine:     " + std::to_string(line) + "\nException:\n" + reason + "\n";
}
}  // namespace

TEST(Mp3Frame, DecodesHeaders) {
    struct Case {
        std::uint8_t header[4];
        int length, bitrate, sampleRate, samplesPerFrame;
    };
    const Case cases[] = {
        {{0xFF, 0xFB, 0x90, 0x64}, 417, 128000, 44100, 1152},    // MPEG-1 Layer III
        {{0xFF, 0xFB, 0x92, 0x64}, 418, 128000, 44100, 1152},    // with padding
        {{0xFF, 0xF3, 0x48, 0xC4}, 144, 32000, 16000, 576},      // MPEG-2 Layer III
        {{0xFF, 0xE3, 0x48, 0xC4}, 288, 32000, 8000, 576},       // MPEG 2.5 Layer III
        {{0xFF, 0xFD, 0x90, 0x04}, 522, 160000, 44100, 1152},    // MPEG-1 Layer II
        {{0xFF, 0xFF, 0x90, 0x04}, 78 * 4, 288000, 44100, 384},  // MPEG-1 Layer I
    };
    for (const auto& c : cases) {
        MP3::Frame frame;
        EXPECT_EQ(frame.init(c.header), c.length);
        EXPECT_EQ(frame.bitrate, c.bitrate);
        EXPECT_EQ(frame.sampleRate, c.sampleRate);
        EXPECT_EQ(frame.samplesPerFrame, c.samplesPerFrame);
    }
    MP3::Frame frame;
    const std::uint8_t joint[4] = {0xFF, 0xFB, 0x90, 0x64};
    frame.init(joint);
    EXPECT_EQ(frame.channelMode, 1);
    EXPECT_EQ(frame.modeExtension, 2);
    EXPECT_EQ(frame.bound, 12);
    EXPECT_EQ(frame.crcPresent, 0);
}

TEST(Mp3Frame, RejectsReservedValuesWithTheirTexts) {
    struct Case {
        std::uint8_t header[4];
        std::string text;
    };
    const Case cases[] = {
        {{0xFF, 0xEB, 0x90, 0x64}, message("Invalid Version", 251)},
        {{0xFF, 0xF9, 0x90, 0x64}, message("Invalid Layer", 259)},
        {{0xFF, 0xFB, 0xF0, 0x64}, message("Invalid bitrateIndex", 266)},
        {{0xFF, 0xFB, 0x00, 0x64}, message("Invalid bitrate 0", 269)},
        {{0xFF, 0xFB, 0x9C, 0x64}, message("Invalid samplingRateIndex", 274)},
        {{0xFF, 0xFB, 0x90, 0x66}, message("Invalid emphasis", 304)},
    };
    for (const auto& c : cases) {
        MP3::Frame frame;
        try {
            frame.init(c.header);
            ADD_FAILURE() << "accepted " << c.text;
        } catch (const MP3::FrameException& e) {
            EXPECT_EQ(e.what(), c.text);
        }
    }
}

TEST(Mp3FileScanner, DurationOfAConstantBitRateFile) {
    TempDir dir;
    std::string frame = "\xFF\xFB\x90\x64"s + std::string(413, '\0');
    std::string tag = "ID3\x03\0\0\0\0\0\x0A"s + std::string(10, '\0');
    std::string file = tag;
    for (int i = 0; i < 100; ++i) file += frame;
    dir.write("cbr.mp3", file);
    Mp3FileScanner scanner;
    ASSERT_TRUE(scanner.scan(dir.file("cbr.mp3")));
    // The read at the end repeats the last header: N + 1 frames.
    EXPECT_EQ(scanner.frames().size(), 101u);
    EXPECT_EQ(scanner.duration(), static_cast<std::uint32_t>(101 * 1152 * (1000.0 / 44100)));
    EXPECT_EQ(scanner.frames()[1].fileOffset, 20 + 417);
    EXPECT_FALSE(scanner.scan(dir.file("missing.mp3")));

    // An ID3v1 tag at the end is no frame header.
    dir.write("v1.mp3", file + "TAG" + std::string(125, ' '));
    EXPECT_THROW(scanner.scan(dir.file("v1.mp3")), MP3::FrameException);
    EXPECT_EQ(scanner.frames().size(), 100u);
}

namespace {

// Two seconds of a 440 Hz tone as 48 kHz mono WAVE.
std::string toneWave() {
    const int rate = 48000, samples = 2 * rate;
    std::string data;
    for (int i = 0; i < samples; ++i) {
        auto v = static_cast<std::int16_t>(8000 * ((i / 55) % 2 ? 1 : -1));
        data.push_back(static_cast<char>(v & 0xFF));
        data.push_back(static_cast<char>((v >> 8) & 0xFF));
    }
    auto le = [](std::uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        return s;
    };
    return "RIFF" + le(36 + static_cast<std::uint32_t>(data.size()), 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
           le(rate, 4) + le(rate * 2, 4) + le(2, 2) + le(16, 2) + "data" +
           le(static_cast<std::uint32_t>(data.size()), 4) + data;
}

}  // namespace

TEST(Mp3FileScanner, FilesMadeByLame) {
    if (std::system("command -v lame > /dev/null 2>&1") != 0) GTEST_SKIP() << "lame is not installed";
    TempDir dir;
    dir.write("tone.wav", toneWave());
    const std::string in = dir.native("tone.wav").string();
    // At 128 kbit/s and 48 kHz every frame is exactly 384 bytes (no padding),
    // and without lame's own tag the file is frames only.
    std::string command = "lame --quiet -t --cbr -b 128 '" + in + "' '" + dir.native("cbr.mp3").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string bytes = dir.read("cbr.mp3");
    ASSERT_EQ(bytes.size() % 384, 0u);
    const std::size_t n = bytes.size() / 384;
    Mp3FileScanner scanner;
    ASSERT_TRUE(scanner.scan(dir.file("cbr.mp3")));
    EXPECT_EQ(scanner.frames().size(), n + 1);
    EXPECT_EQ(scanner.duration(), static_cast<std::uint32_t>((n + 1) * 24));
    EXPECT_EQ(scanner.sampleRate(), 48000);

    command =
        "lame --quiet -t --cbr -b 128 --id3v1-only --tt Lesson '" + in + "' '" + dir.native("v1.mp3").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    try {
        scanner.scan(dir.file("v1.mp3"));
        ADD_FAILURE() << "an ID3v1 tag was taken for a frame";
    } catch (const MP3::FrameException& e) {
        EXPECT_EQ(std::string(e.what()), message("Invalid Layer", 259));
    }
}
