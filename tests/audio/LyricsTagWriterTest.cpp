// The synchronised-lyrics frame and the tag that an MP3 export writes, byte
// by byte: the frame's data at several tempos, a file with no tag, with a
// lyrics frame already, with a version 2.2 or 2.4 tag, and the files that
// cannot be rewritten (missing, empty, in a folder that cannot be written,
// on a full disk), which must come out as they went in.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Id3Bytes.h"
#include "audio/ID3Tag.h"
#include "audio/LyricsInfoManager.h"
#include "audio/LyricsTagWriter.h"
#include "platform/win32.h"
#include "support/FileSizeLimit.h"
#include "support/ReadOnlyFolder.h"
#include "support/TempDir.h"

using namespace id3bytes;

namespace {

std::string bytesOf(const std::vector<std::uint8_t>& data) { return std::string(data.begin(), data.end()); }

const std::vector<SyltEntry> kTwo = {{u"Good", 1000}, {u"Days", 2500}};

// The frame data the format fixes for kTwo at the given time stamps.
std::string expectedSylt(std::uint32_t first, std::uint32_t second) {
    return "\x01"
           "eng"
           "\x02\x01"
           "\xFF\xFE\0\0"s +
           "\xFF\xFE"s + utf16le(u"Good") + "\0\0"s + be(first, 4) + "\xFF\xFE"s + utf16le(u"Days") + "\0\0"s +
           be(second, 4);
}

class LyricsTagWriter : public testing::Test {
protected:
    std::u16string write(const std::string& bytes) {
        dir.write("out.mp3", bytes);
        return dir.file("out.mp3");
    }
    bool rewrite(const std::u16string& path, int tempo, const ID3Tag& source = ID3Tag()) {
        return writeLyricsTag(path, buildSyltData(kTwo, tempo), source,
                              [this](const std::u16string& text) { messages.push_back(text); });
    }
    // Whatever is in the folder besides the file under test.
    std::vector<std::string> strayFiles() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            if (entry.path().filename() != "out.mp3") names.push_back(entry.path().filename().string());
        return names;
    }

    TempDir dir;
    std::vector<std::u16string> messages;
};

}  // namespace

TEST(SyltData, TimesFollowTheTempo) {
    const std::string at100 = bytesOf(buildSyltData(kTwo, 100));
    EXPECT_EQ(at100, expectedSylt(1000, 2500));
    // Each entry's own byte-order mark makes it 2 bytes longer than 10 + 14 + 14.
    EXPECT_EQ(at100.size(), 42u);
    EXPECT_EQ(bytesOf(buildSyltData(kTwo, 200)), expectedSylt(500, 1250));
    EXPECT_EQ(bytesOf(buildSyltData(kTwo, 80)), expectedSylt(1250, 3125));
    // Cut, not rounded: 1000 x 100 / 300 = 333.3.
    EXPECT_EQ(bytesOf(buildSyltData(kTwo, 300)), expectedSylt(333, 833));
    // No sentences: the header alone.
    EXPECT_EQ(bytesOf(buildSyltData({}, 100)),
              "\x01"
              "eng"
              "\x02\x01"
              "\xFF\xFE\0\0"s);
}

TEST(ID3TagWriting, ATagWithoutFramesWritesNothing) {
    ID3Tag tag;
    tag.size = 100;
    EXPECT_TRUE(tag.tagBytes().empty());
}

TEST_F(LyricsTagWriter, AFileWithoutATagGetsTheSourceTagWithTheFrameFirst) {
    const std::u16string path = write(kAudio);
    // A source without a tag: version 3, the lyrics frame alone, no padding.
    ASSERT_TRUE(rewrite(path, 100));
    EXPECT_EQ(dir.read("out.mp3"), tag(3, frame(3, "SYLT", expectedSylt(1000, 2500)), 0) + kAudio);

    // A source with a tag: its frames follow the lyrics frame, with its
    // padding; its length frame, which told the source's length, is dropped.
    const std::string title = frame(3, "TIT2", "\0Lesson"s);
    const std::string length = frame(3, "TLEN",
                                     "\0"
                                     "35813"s);
    dir.write("source.mp3", tag(3, title + length, 20) + kAudio);
    ID3Tag source;
    std::FILE* file = _wfopen(dir.file("source.mp3").c_str(), u"rb");
    ASSERT_TRUE(file && source.readTag(file));
    std::fclose(file);
    write(kAudio);
    ASSERT_TRUE(rewrite(path, 200, source));
    EXPECT_EQ(dir.read("out.mp3"), tag(3, frame(3, "SYLT", expectedSylt(500, 1250)) + title, 20) + kAudio);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(strayFiles().size() == 1) << "only source.mp3 besides it";
}

TEST_F(LyricsTagWriter, ALyricsFrameIsReplacedInPlace) {
    const std::string before = frame(3, "TIT2", "\0Lesson"s);
    const std::string after = frame(3, "TALB", "\0Course"s);
    const std::string oldLyrics =
        "\x01"
        "eng"
        "\x02\x01"
        "\xFF\xFE\0\0"s +
        utf16le(u"Old") + "\0\0"s + be(5, 4);
    const std::u16string path = write(tag(3, before + frame(3, "SYLT", oldLyrics) + after, 12) + kAudio);
    ASSERT_TRUE(rewrite(path, 100));
    // Other frames keep their order; the tag grew by the difference, so the
    // padding stays 12 bytes.
    EXPECT_EQ(dir.read("out.mp3"), tag(3, before + frame(3, "SYLT", expectedSylt(1000, 2500)) + after, 12) + kAudio);
    // The player reads the sentences back.
    LyricsInfoManager lyrics;
    ASSERT_TRUE(lyrics.readSyltTag(path));
    EXPECT_EQ(lyrics.texts, (std::vector<std::u16string>{u"Good", u"Days"}));
    EXPECT_EQ(lyrics.times, (std::vector<std::int32_t>{1000, 2500}));
}

TEST_F(LyricsTagWriter, AVersion22TagGetsAnSltFrame) {
    const std::string title = frame(2, "TT2", "\0Lesson"s);
    const std::u16string path = write(tag(2, title, 8) + kAudio);
    ASSERT_TRUE(rewrite(path, 100));
    // A 6-byte header, counted as 10: the 4 bytes become extra padding.
    EXPECT_EQ(dir.read("out.mp3"), tag(2, frame(2, "SLT", expectedSylt(1000, 2500)) + title, 8 + 4) + kAudio);
}

TEST_F(LyricsTagWriter, AVersion24TagKeepsSyncsafeFrameSizes) {
    const std::vector<SyltEntry> many(20, SyltEntry{u"A longer sentence", 1000});
    const std::string title = frame(4, "TIT2", "\0Lesson"s, Sizes::Syncsafe);
    const std::u16string path = write(tag(4, title, 0) + kAudio);
    const auto data = buildSyltData(many, 100);
    ASSERT_GT(data.size(), 127u);
    ASSERT_TRUE(writeLyricsTag(path, data, ID3Tag(), [](const std::u16string&) {}));
    EXPECT_EQ(dir.read("out.mp3"), tag(4, frame(4, "SYLT", bytesOf(data), Sizes::Syncsafe) + title, 0) + kAudio);
}

TEST_F(LyricsTagWriter, FilesThatCannotBeRewrittenStayAsTheyWere) {
    // Missing: the "in use" message.
    EXPECT_FALSE(rewrite(dir.file("missing.mp3"), 100));
    EXPECT_EQ(messages, (std::vector<std::u16string>{u"このファイルは使用中です"}));
    messages.clear();
    // Empty (the encoder wrote nothing): no message.
    EXPECT_FALSE(rewrite(write(""), 100));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(LyricsTagWriter, AFullDiskLeavesTheAudioWhole) {
    const std::string original = tag(3, frame(3, "TIT2", "\0Lesson"s), 0) + kAudio + std::string(4000, 'a');
    const std::u16string path = write(original);
    bool written;
    {
        FileSizeLimit full(2000);
        written = rewrite(path, 100);
    }
    EXPECT_FALSE(written);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], std::u16string(LyricsTagTexts::kWriteFailed) + path);
    EXPECT_EQ(dir.read("out.mp3"), original);
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(LyricsTagWriter, AFolderThatCannotBeWrittenLeavesTheFileAlone) {
    ReadOnlyFolder folder(dir.native("locked"));
    if (!folder.available()) GTEST_SKIP() << "no way to make a folder read-only here";
    dir.write("locked/out.mp3", kAudio);
    const std::u16string path = dir.file("locked/out.mp3");
    ASSERT_TRUE(folder.lock());
    EXPECT_FALSE(rewrite(path, 100));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], std::u16string(LyricsTagTexts::kWriteFailed) + path);
    EXPECT_EQ(dir.read("locked/out.mp3"), kAudio);
}
