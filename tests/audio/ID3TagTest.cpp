// Lyrics from ID3v2 tags of versions 2.2, 2.3 and 2.4, written the ways other
// tools write them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Id3Bytes.h"
#include "audio/ID3Tag.h"
#include "audio/LyricsInfoManager.h"
#include "audio/LyricsManagerException.h"
#include "platform/win32.h"
#include "support/TempDir.h"
#include "text/NarrowText.h"

using namespace std::string_literals;

using namespace id3bytes;

namespace {

struct Entry {
    std::u16string text;
    std::uint32_t ms;
};

const std::vector<Entry> kEntries = {{u"Good morning.", 1000}, {u"おはようございます。", 2500}, {u"", 4000}};

std::string syltUtf16(const std::vector<Entry>& entries, bool perEntryMark) {
    std::string data =
        "\x01"
        "eng"
        "\x02\x01"
        "\xFF\xFE\0\0"s;
    for (const auto& e : entries) data += (perEntryMark ? "\xFF\xFE"s : ""s) + utf16le(e.text) + "\0\0"s + be(e.ms, 4);
    return data;
}

}  // namespace

class LyricsTest : public testing::Test {
protected:
    void SetUp() override { setNarrowCodePage(932); }
    void TearDown() override { setNarrowCodePage(0); }

    std::u16string write(const std::string& bytes) {
        dir.write("song.mp3", bytes);
        return dir.file("song.mp3");
    }
    TempDir dir;
};

TEST_F(LyricsTest, SyltInEveryVersionAndEncoding) {
    struct Case {
        const char* name;
        std::string file;
    };
    std::string narrow =
        "\x00"
        "jpn"
        "\x02\x01"
        "desc\0"s;
    for (const auto& e : kEntries) narrow += toNarrow(e.text) + "\0"s + be(e.ms, 4);
    std::string utf8 =
        "\x03"
        "jpn"
        "\x02\x01"
        "\0"s;
    for (const auto& e : kEntries) utf8 += encodeCodePage(e.text, CP_UTF8) + "\0"s + be(e.ms, 4);
    std::string utf16BigEndian =
        "\x01"
        "eng"
        "\x02\x01"
        "\xFE\xFF\0\0"s;
    for (const auto& e : kEntries) utf16BigEndian += "\xFE\xFF"s + utf16be(e.text) + "\0\0"s + be(e.ms, 4);

    const Case cases[] = {
        {"2.3 UTF-16", tag(3, frame(3, "TIT2", "\0Title"s) + frame(3, "SYLT", syltUtf16(kEntries, false)))},
        {"2.3 UTF-16 marks", tag(3, frame(3, "SYLT", syltUtf16(kEntries, true)))},
        {"2.2 UTF-16", tag(2, frame(2, "TT2", "\0T"s) + frame(2, "SLT", syltUtf16(kEntries, true)))},
        {"2.3 narrow", tag(3, frame(3, "SYLT", narrow))},
        {"2.4 UTF-8", tag(4, frame(4, "SYLT", utf8, Sizes::Syncsafe))},
        {"2.4 UTF-16BE marks", tag(4, frame(4, "SYLT", utf16BigEndian, Sizes::Syncsafe))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LyricsInfoManager lyrics;
        ASSERT_TRUE(lyrics.readSyltTag(write(c.file + kAudio)));
        ASSERT_EQ(lyrics.texts.size(), kEntries.size());
        for (std::size_t i = 0; i < kEntries.size(); ++i) {
            EXPECT_EQ(lyrics.texts[i], kEntries[i].text);
            EXPECT_EQ(lyrics.times[i], static_cast<std::int32_t>(kEntries[i].ms));
        }
    }
}

TEST_F(LyricsTest, Version24FramesAfterALargeFrameWithEitherKindOfSize) {
    // A 300-byte frame before the lyrics: its syncsafe and plain sizes differ.
    std::string picture(300, 'p');
    for (Sizes sizes : {Sizes::Syncsafe, Sizes::Plain}) {
        LyricsInfoManager lyrics;
        std::string file =
            tag(4, frame(4, "APIC", picture, sizes) + frame(4, "SYLT", syltUtf16(kEntries, true), sizes));
        ASSERT_TRUE(lyrics.readSyltTag(write(file + kAudio)));
        EXPECT_EQ(lyrics.texts.size(), kEntries.size());
    }
}

TEST_F(LyricsTest, SyltCutOffByTheEndOfTheFileKeepsTheWholeEntries) {
    std::string data = syltUtf16(kEntries, false);
    std::string file = tag(3, frame(3, "SYLT", data), 0);
    // End the file in the middle of the second entry's text, then in its time stamp.
    const std::size_t secondText = file.size() - data.size() + 8 + utf16le(u"Good morning.").size() + 2 + 4;
    for (std::size_t cut : {secondText + 6, secondText + utf16le(u"おはようございます。").size() + 2 + 3}) {
        LyricsInfoManager lyrics;
        // The incomplete entry is left out; the whole ones before it count.
        EXPECT_TRUE(lyrics.readSyltTag(write(file.substr(0, cut))));
        ASSERT_EQ(lyrics.texts.size(), 1u);
        EXPECT_EQ(lyrics.texts[0], u"Good morning.");
        EXPECT_EQ(lyrics.times, std::vector<std::int32_t>{1000});
    }
}

TEST_F(LyricsTest, SyltReadsNothingPastItsFrame) {
    // A narrow frame whose last text has no terminator inside the frame: the
    // bytes after it (the next frame) are not taken as text.
    std::string data =
        "\x00"
        "eng"
        "\x02\x01"
        "\0"
        "One\0"s +
        be(1000, 4) + "Two";
    std::string file = tag(3, frame(3, "SYLT", data) + frame(3, "TIT2", "\0Title"s)) + kAudio;
    LyricsInfoManager lyrics;
    EXPECT_TRUE(lyrics.readSyltTag(write(file)));
    EXPECT_EQ(lyrics.texts, std::vector<std::u16string>{u"One"});
    // A time stamp cut by the frame's end is not completed from the next frame.
    data =
        "\x00"
        "eng"
        "\x02\x01"
        "\0"
        "One\0"s +
        be(1000, 4) + "Two\0\0\0"s;
    file = tag(3, frame(3, "SYLT", data) + frame(3, "TIT2", "\0Title"s)) + kAudio;
    EXPECT_TRUE(lyrics.readSyltTag(write(file)));
    EXPECT_EQ(lyrics.texts, std::vector<std::u16string>{u"One"});
    // A frame whose size claims more than the tag and file hold.
    std::string lying = syltUtf16(kEntries, false);
    std::string bytes = tag(3, frame(3, "SYLT", lying), 0);
    bytes[15] = 0x01;  // the frame size gains 64 KiB the file does not have
    EXPECT_TRUE(lyrics.readSyltTag(write(bytes)));
    EXPECT_EQ(lyrics.texts.size(), kEntries.size());
}

TEST_F(LyricsTest, Version24UsltOfManyBytesEndsWithItsFrame) {
    // From 128 bytes on, a syncsafe size reads differently as a plain number
    // (200 is 00 00 01 48, plainly 328): the frame after must not join the text.
    const std::string lyrics(200 - 5, 'a');
    for (int padding : {0, 16}) {
        const std::string file = tag(4,
                                     frame(4, "USLT",
                                           "\x00"
                                           "eng"
                                           "\0"s +
                                               lyrics,
                                           Sizes::Syncsafe) +
                                         frame(4, "TIT2", "\x00" + std::string(150, 'T'), Sizes::Syncsafe),
                                     padding) +
                                 kAudio;
        EXPECT_EQ(LyricsInfoManager::getUltTagText(write(file)), toWide(lyrics)) << padding;
    }
}

// ID3 unsynchronisation as a tag writer applies it: a zero after each FF that
// is followed by a byte of 0xE0 or more, or by zero, or that ends the data.
std::string unsynchronised(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        const auto c = static_cast<unsigned char>(bytes[i]);
        const int next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : -1;
        if (c == 0xFF && (next < 0 || next == 0 || next >= 0xE0)) out += '\0';
    }
    return out;
}

TEST_F(LyricsTest, UnsynchronisedTagsAreReadAsTheyWereWritten) {
    // Texts and time stamps full of FF bytes: "ÿ" is FF 00 in UTF-16LE, and
    // 0xFFE0 ms, 0xFF00 ms and 0xFFFF ms put FF before E0, 00 and FF.
    const std::vector<Entry> entries = {{u"ÿes", 0xFFE0}, {u"yÿ", 0xFF00}, {u"ÿÿ", 0xFFFF}};
    const std::string sylt = syltUtf16(entries, true);
    const std::u16string uslt = u"Lyrics with ÿ in them ÿ";
    const std::string usltData =
        "\x01"
        "eng"
        "\xFF\xFE\0\0"s +
        utf16le(uslt) + "\0\0"s;

    struct Case {
        const char* name;
        std::string file;
    };
    // Version 2.3: the whole tag after its header, frame headers too, with the
    // sizes those frames had before.
    std::string body = frame(3, "SYLT", sylt) + frame(3, "USLT", usltData);
    const std::string v23 =
        "ID3\x03\0\x80"s + syncsafe(static_cast<std::uint32_t>(unsynchronised(body).size())) + unsynchronised(body);
    // Version 2.4: each frame's data by its own flag (0x02), with a data length
    // indicator (0x01) before it; or every frame by the tag's flag.
    auto flagged = [](const std::string& id, const std::string& data) {
        const std::string stored = syncsafe(static_cast<std::uint32_t>(data.size())) + unsynchronised(data);
        return id + syncsafe(static_cast<std::uint32_t>(stored.size())) + "\0\x03"s + stored;
    };
    body = flagged("SYLT", sylt) + flagged("USLT", usltData);
    const std::string v24 = "ID3\x04\0\0"s + syncsafe(static_cast<std::uint32_t>(body.size())) + body;
    body = frame(4, "SYLT", unsynchronised(sylt), Sizes::Syncsafe) +
           frame(4, "USLT", unsynchronised(usltData), Sizes::Syncsafe);
    const std::string v24Tag = "ID3\x04\0\x80"s + syncsafe(static_cast<std::uint32_t>(body.size())) + body;

    for (const Case& c : {Case{"2.3 whole tag", v23}, Case{"2.4 frame flags", v24}, Case{"2.4 tag flag", v24Tag}}) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.file.find("\xFF\0"s), std::string::npos);
        LyricsInfoManager lyrics;
        ASSERT_TRUE(lyrics.readSyltTag(write(c.file + kAudio)));
        ASSERT_EQ(lyrics.texts.size(), entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(lyrics.texts[i], entries[i].text);
            EXPECT_EQ(lyrics.times[i], static_cast<std::int32_t>(entries[i].ms));
        }
        EXPECT_EQ(LyricsInfoManager::getUltTagText(write(c.file + kAudio)), uslt + std::u16string(1, u'\0'));
    }
}

TEST_F(LyricsTest, AnUnsynchronisedTagLeavesTheFileAtItsEnd) {
    // The MP3 frames after it are found where the tag says it ends.
    const std::string body = unsynchronised(frame(3, "TIT2", "\0\xFF\xE0\xFF"s)) + std::string(7, '\0');
    const std::string bytes = "ID3\x03\0\x80"s + syncsafe(static_cast<std::uint32_t>(body.size())) + body + kAudio;
    dir.write("u.mp3", bytes);
    std::FILE* file = _wfopen(dir.file("u.mp3").c_str(), u"rb");
    ASSERT_NE(file, nullptr);
    ID3Tag tag;
    ASSERT_TRUE(tag.readTag(file));
    ASSERT_EQ(tag.frames.size(), 1u);
    EXPECT_EQ(std::string(tag.frames[0]->data.begin(), tag.frames[0]->data.end()), "\0\xFF\xE0\xFF"s);
    EXPECT_EQ(std::ftell(file), static_cast<long>(10 + body.size()));
    std::fclose(file);
}

TEST_F(LyricsTest, MissingTagsFramesAndFiles) {
    LyricsInfoManager lyrics;
    lyrics.times = {5};
    EXPECT_FALSE(lyrics.readSyltTag(write(kAudio)));
    EXPECT_EQ(lyrics.times.size(), 1u);  // untouched: the tag was not read
    EXPECT_FALSE(lyrics.readSyltTag(write(tag(3, frame(3, "TIT2", "\0T"s)) + kAudio)));
    EXPECT_TRUE(lyrics.times.empty());
    EXPECT_FALSE(lyrics.readSyltTag(dir.file("missing.mp3")));
    EXPECT_EQ(LyricsInfoManager::getUltTagText(write(kAudio)), u"");
    EXPECT_EQ(LyricsInfoManager::getUltTagText(dir.file("missing.mp3")), u"");
}

TEST_F(LyricsTest, UsltTexts) {
    std::u16string lyrics = u"Hello there. こんにちは。";
    struct Case {
        const char* name;
        std::string file;
        std::u16string text;
    };
    const Case cases[] = {
        // An empty descriptor with its mark is skipped; the lyrics keep their own
        // mark and terminator.
        {"2.3 UTF-16",
         tag(3, frame(3, "USLT",
                      "\x01"
                      "eng"
                      "\xFF\xFE\0\0\xFF\xFE"s +
                          utf16le(lyrics) + "\0\0"s)),
         u"\uFEFF" + lyrics + std::u16string(1, u'\0')},
        {"2.2 UTF-16",
         tag(2, frame(2, "ULT",
                      "\x01"
                      "eng"
                      "\xFF\xFE\0\0\xFF\xFE"s +
                          utf16le(lyrics) + "\0\0"s)),
         u"\uFEFF" + lyrics + std::u16string(1, u'\0')},
        {"2.3 narrow",
         tag(3, frame(3, "USLT",
                      "\x00"
                      "jpn"
                      "\0"s +
                          toNarrow(lyrics))),
         lyrics},
        // A descriptor with text is read as the text, and the narrow conversion
        // stops at its terminator.
        {"2.3 narrow descriptor",
         tag(3, frame(3, "USLT",
                      "\x00"
                      "eng"
                      "Lyrics\0"s +
                          toNarrow(lyrics))),
         u"Lyrics"},
        {"2.4 UTF-8",
         tag(4, frame(4, "USLT",
                      "\x03"
                      "jpn"
                      "\0"s +
                          encodeCodePage(lyrics, CP_UTF8),
                      Sizes::Syncsafe)),
         lyrics},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LyricsInfoManager::getUltTagText(write(c.file + kAudio)), c.text);
    }
}

TEST_F(LyricsTest, TagStructure) {
    // An extended header of 6 bytes after its size, then frames, then zero padding.
    std::string body =
        be(6, 4) + std::string(6, '\0') + frame(3, "TIT2", "\0A"s) + frame(3, "TPE1", "\0B"s) + std::string(20, '\0');
    std::string bytes = "ID3\x03\0\x40"s + syncsafe(static_cast<std::uint32_t>(body.size())) + body + kAudio;
    dir.write("t.mp3", bytes);
    std::FILE* file = _wfopen(dir.file("t.mp3").c_str(), u"rb");
    ASSERT_NE(file, nullptr);
    ID3Tag tag;
    ASSERT_TRUE(tag.readTag(file));
    EXPECT_EQ(tag.version, 3);
    ASSERT_EQ(tag.frames.size(), 2u);
    EXPECT_EQ(tag.findFrame("TPE1"), 1);
    EXPECT_EQ(tag.findFrame("TIT2", 1), -1);
    // The padding ended the scan, and the file stands at the end of the tag.
    EXPECT_EQ(std::ftell(file), static_cast<long>(10 + body.size()));
    std::fclose(file);
}

TEST_F(LyricsTest, CorruptTagsNeverCrash) {
    std::string good = tag(3, frame(3, "SYLT", syltUtf16(kEntries, true))) + kAudio;
    unsigned seed = 11;
    for (int round = 0; round < 400; ++round) {
        std::string bytes = good;
        for (int k = 0; k < 6; ++k) {
            seed = seed * 1103515245 + 12345;
            bytes[10 + (seed >> 8) % (bytes.size() - 10)] = static_cast<char>(seed >> 3);
        }
        bytes.resize(10 + (seed >> 4) % (bytes.size() - 10));
        auto path = write(bytes);
        LyricsInfoManager lyrics;
        lyrics.readSyltTag(path);
        LyricsInfoManager::getUltTagText(path);
    }
}

TEST(LyricsManagerException, DescribesItsCodes) {
    EXPECT_EQ(LyricsManagerException(u"f", 3, u"a.mp3", 1).displayText(),
              u"Function: f\nLine:     3\nException:\na.mp3\nErrorCode: 0x1\n\r\nCouldn't open this mp3 file");
    EXPECT_EQ(
        LyricsManagerException(u"f", 3, u"a.mp3", 6).displayText(),
        u"Function: f\nLine:     3\nException:\na.mp3\nErrorCode: 0x6\n\r\nLSylt タグを MP3 に設定できませんでした");
    EXPECT_EQ(LyricsManagerException(u"f", 3, u"a.mp3", 2).displayText(),
              u"Function: f\nLine:     3\nException:\na.mp3\nErrorCode: 0x2\n");
}
