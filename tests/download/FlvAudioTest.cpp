// Taking MP3 audio out of FLV files: files written by ffmpeg (an independent
// writer) against ffmpeg's own copy of the same audio, and files built here
// byte by byte that break off, lie about their sizes, or hold no MP3.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "download/FlvAudio.h"
#include "support/TempDir.h"

namespace {

const std::string kFfmpeg = VELTRIX_FFMPEG;

void run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

std::string bigEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// One MPEG-1 Layer III frame of 128 kbit/s at 44100 Hz: 417 bytes.
std::string mp3Frame(char fill) {
    std::string frame = "\xFF\xFB\x90\x64";
    frame += std::string(413, fill);
    return frame;
}

// An FLV file assembled tag by tag, with the sizes it is told.
struct FlvBytes {
    std::string bytes;
    explicit FlvBytes(std::uint32_t headerSize = 9, std::string extraHeader = {}) {
        bytes = std::string("FLV\x01\x04", 5) + bigEndian(headerSize, 4) + extraHeader + bigEndian(0, 4);
    }
    FlvBytes& tag(std::uint8_t type, const std::string& data, std::uint32_t claimedSize = 0xFFFFFFFF,
                  std::uint32_t previousSize = 0xFFFFFFFF) {
        const std::uint32_t size = claimedSize == 0xFFFFFFFF ? static_cast<std::uint32_t>(data.size()) : claimedSize;
        bytes += static_cast<char>(type) + bigEndian(size, 3) + bigEndian(0, 4) + bigEndian(0, 3) + data;
        bytes += bigEndian(previousSize == 0xFFFFFFFF ? 11 + size : previousSize, 4);
        return *this;
    }
    // An audio tag: the codec's description byte (MP3, 44 kHz, 16 bits, stereo: 0x2F) and the bytes.
    FlvBytes& audio(const std::string& payload, std::uint8_t description = 0x2F) {
        return tag(8, std::string(1, static_cast<char>(description)) + payload);
    }
};

std::string extracted(const std::string& flv, FlvAudioResult* result = nullptr) {
    std::string out;
    const FlvAudioResult r =
        readFlvAudio(reinterpret_cast<const std::uint8_t*>(flv.data()), flv.size(),
                     [&](const std::uint8_t* p, std::size_t n) { out.append(reinterpret_cast<const char*>(p), n); });
    if (result) *result = r;
    return out;
}

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FlvAudio, AnFfmpegRecordingGivesExactlyTheMp3FfmpegCopiesOutOfIt) {
    TempDir dir;
    const std::string flv = dir.native("voice.flv"), reference = dir.native("reference.mp3");
    run(kFfmpeg +
        " -nostdin -loglevel error -f lavfi -i sine=frequency=330:duration=2 -c:a libmp3lame -b:a 64k "
        "-ar 22050 -f flv '" +
        flv + "'");
    // ffmpeg's own copy of the audio packets, with no tag or header frame of its own.
    run(kFfmpeg + " -nostdin -loglevel error -i '" + flv + "' -c:a copy -id3v2_version 0 -write_xing 0 -f mp3 '" +
        reference + "'");

    ASSERT_EQ(extractFlvAudio(dir.file("voice.flv"), dir.file("voice.mp3")), FlvAudioResult::Extracted);
    const std::string ours = dir.read("voice.mp3");
    ASSERT_FALSE(ours.empty());
    EXPECT_TRUE(ours == dir.read("reference.mp3"))
        << ours.size() << " bytes against " << dir.read("reference.mp3").size();
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"reference.mp3", "voice.flv", "voice.mp3"}));
}

TEST(FlvAudio, OnlyTheMp3AudioTagsAreTakenWithoutTheirDescriptionByte) {
    FlvBytes flv;
    flv.tag(18, "\x02\x00\x0AonMetaData")  // script data
        .audio(mp3Frame('a'))
        .tag(9, std::string(50, 'v'))            // video
        .audio(mp3Frame('b'), 0xE2)              // MP3 8 kHz
        .audio(std::string(100, 'n'), 0x6F)      // Nellymoser: left out
        .tag(8 | 0x20, "\x2F" + mp3Frame('c'));  // filtered (encrypted): not plain audio
    FlvAudioResult result{};
    EXPECT_EQ(extracted(flv.bytes, &result), mp3Frame('a') + mp3Frame('b'));
    EXPECT_EQ(result, FlvAudioResult::Extracted);
}

TEST(FlvAudio, AFileCutAnywhereGivesItsWholeTagsAndNeverMore) {
    FlvBytes flv;
    flv.audio(mp3Frame('a')).tag(9, std::string(30, 'v')).audio(mp3Frame('b')).audio(mp3Frame('c'));
    const std::string whole = flv.bytes;
    // Where each audio tag's data ends, and what has been extracted by then.
    const std::size_t header = 9 + 4, audioTag = 11 + 1 + 417 + 4, videoTag = 11 + 30 + 4;
    const std::size_t ends[] = {header + audioTag - 4, header + audioTag + videoTag + audioTag - 4,
                                header + audioTag + videoTag + 2 * audioTag - 4};
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        FlvAudioResult result{};
        const std::string out = extracted(whole.substr(0, cut), &result);
        std::string expected;
        if (cut >= ends[0]) expected += mp3Frame('a');
        if (cut >= ends[1]) expected += mp3Frame('b');
        if (cut >= ends[2]) expected += mp3Frame('c');
        ASSERT_EQ(out, expected) << "cut at " << cut;
        const FlvAudioResult wanted = cut < 9            ? FlvAudioResult::NotFlv
                                      : expected.empty() ? FlvAudioResult::NoMp3Audio
                                                         : FlvAudioResult::Extracted;
        ASSERT_EQ(result, wanted) << "cut at " << cut;
    }
}

TEST(FlvAudio, SizesThatLieEndTheWalkInsteadOfReadingPastTheFile) {
    {
        SCOPED_TRACE("a data size far beyond the file");
        FlvBytes flv;
        flv.audio(mp3Frame('a')).tag(8, "\x2F" + mp3Frame('b'), 0xFFFFFF);
        EXPECT_EQ(extracted(flv.bytes), mp3Frame('a'));
    }
    {
        SCOPED_TRACE("a data size of 0");
        FlvBytes flv;
        flv.audio(mp3Frame('a')).tag(8, "", 0).audio(mp3Frame('b'));
        EXPECT_EQ(extracted(flv.bytes), mp3Frame('a'));
    }
    {
        SCOPED_TRACE("a previous-tag size with its top bit set");
        FlvBytes flv;
        flv.tag(8, "\x2F" + mp3Frame('a'), 0xFFFFFFFF, 0x80000000).audio(mp3Frame('b'));
        EXPECT_EQ(extracted(flv.bytes), mp3Frame('a'));
    }
    {
        SCOPED_TRACE("a previous-tag size that is merely wrong is not relied on");
        FlvBytes flv;
        flv.tag(8, "\x2F" + mp3Frame('a'), 0xFFFFFFFF, 7).audio(mp3Frame('b'));
        EXPECT_EQ(extracted(flv.bytes), mp3Frame('a') + mp3Frame('b'));
    }
    {
        SCOPED_TRACE("a data size shorter than the data: the rest reads as a tag of nonsense");
        FlvBytes flv;
        flv.tag(8, "\x2F" + mp3Frame('a') + std::string(20, '\0'), 1 + 417);
        EXPECT_EQ(extracted(flv.bytes), mp3Frame('a'));
    }
}

TEST(FlvAudio, TheHeaderSizeIsHonouredAndCheckedAgainstTheFile) {
    FlvAudioResult result{};
    FlvBytes longer(13, "pad!");
    longer.audio(mp3Frame('a'));
    EXPECT_EQ(extracted(longer.bytes, &result), mp3Frame('a'));
    EXPECT_EQ(result, FlvAudioResult::Extracted);

    FlvBytes tooShort(8);
    tooShort.audio(mp3Frame('a'));
    extracted(tooShort.bytes, &result);
    EXPECT_EQ(result, FlvAudioResult::NotFlv);

    FlvBytes beyond(100000);
    beyond.audio(mp3Frame('a'));
    extracted(beyond.bytes, &result);
    EXPECT_EQ(result, FlvAudioResult::NotFlv);

    std::string version2 = FlvBytes().audio(mp3Frame('a')).bytes;
    version2[3] = 2;
    extracted(version2, &result);
    EXPECT_EQ(result, FlvAudioResult::NotFlv);
}

TEST(FlvAudio, AudioThatSaysMp3ButIsNotGivesNoFile) {
    TempDir dir;
    dir.write("garbage.flv", FlvBytes().audio(std::string(400, 'x')).audio(mp3Frame('a')).bytes);
    EXPECT_EQ(extractFlvAudio(dir.file("garbage.flv"), dir.file("garbage.mp3")), FlvAudioResult::NotMp3);
    // A header whose bit rate is "free format" is no frame the parser takes.
    dir.write("free.flv", FlvBytes().audio("\xFF\xFB\x00\x64" + std::string(100, 'f')).bytes);
    EXPECT_EQ(extractFlvAudio(dir.file("free.flv"), dir.file("free.mp3")), FlvAudioResult::NotMp3);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"free.flv", "garbage.flv"}));
}

TEST(FlvAudio, FilesThatAreNoRecordingLeaveNoMp3AndKeepAnOldOne) {
    TempDir dir;
    dir.write("voice.mp3", "the voice from before");
    dir.write("text.flv", std::string(5000, 'x'));
    EXPECT_EQ(extractFlvAudio(dir.file("text.flv"), dir.file("voice.mp3")), FlvAudioResult::NotFlv);
    EXPECT_EQ(dir.read("voice.mp3"), "the voice from before");

    dir.write("empty.flv", "");
    EXPECT_EQ(extractFlvAudio(dir.file("empty.flv"), dir.file("empty.mp3")), FlvAudioResult::NotFlv);
    EXPECT_EQ(extractFlvAudio(dir.file("missing.flv"), dir.file("missing.mp3")), FlvAudioResult::CannotRead);

    // AAC audio, as another recorder might have kept it: no MP3 in it.
    run(kFfmpeg + " -nostdin -loglevel error -f lavfi -i sine=duration=1 -c:a aac -f flv '" +
        dir.native("aac.flv").string() + "'");
    EXPECT_EQ(extractFlvAudio(dir.file("aac.flv"), dir.file("aac.mp3")), FlvAudioResult::NoMp3Audio);

    dir.write("good.flv", FlvBytes().audio(mp3Frame('a')).bytes);
    EXPECT_EQ(extractFlvAudio(dir.file("good.flv"), dir.file("no-such-folder/good.mp3")), FlvAudioResult::CannotWrite);

    EXPECT_EQ(namesIn(dir.path()),
              (std::vector<std::string>{"aac.flv", "empty.flv", "good.flv", "text.flv", "voice.mp3"}));
}

}  // namespace
