// Reading and writing whole text files in every encoding.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "platform/win32.h"
#include "support/TempDir.h"
#include "text/EncodingCode.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"

using namespace std::string_literals;

namespace {

class TextFileTest : public testing::Test {
protected:
    void SetUp() override { setNarrowCodePage(932); }
    void TearDown() override { setNarrowCodePage(0); }
    TempDir dir;
};

int decode(const std::string& bytes, std::u16string& text, int hint = -1) {
    return decodeBytes(bytes.data(), bytes.size(), text, hint);
}

// Ends in "語" and a line break, which keeps its EUC-JP form from also being valid
// Shift_JIS (see EncodingDetectionTest).
const std::u16string kJapanese = u"ニュースで英語を学ぶ。\r\nLearn English with the news.\r\n第２課　ｶﾀｶﾅの英語\r\n";
const std::u16string kEnglish = u"The quick brown fox.\r\nJumps over the lazy dog.";

}  // namespace

TEST_F(TextFileTest, EveryEncodingRoundTripsWithDetection) {
    struct Case {
        int written;
        const std::u16string& text;
        int detected;
    };
    const Case cases[] = {
        {encoding::kDetect, kJapanese, encoding::kUtf16LE},
        {encoding::kUtf16LE, kJapanese, encoding::kUtf16LE},
        {encoding::kUtf16BE, kJapanese, encoding::kUtf16BE},
        {encoding::kUtf8, kJapanese, encoding::kUtf8},
        {encoding::kUtf8WithMark, kJapanese, encoding::kUtf8WithMark},
        {encoding::kNarrow, kJapanese, encoding::kNarrow},
        {encoding::kEucJp, kJapanese, encoding::kEucJp},
        {encoding::kUtf16BE, kEnglish, encoding::kUtf16BE},
        // Plain ASCII is valid in every encoding and reads as narrow.
        {encoding::kUtf8, kEnglish, encoding::kNarrow},
        {encoding::kEucJp, kEnglish, encoding::kNarrow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        auto path = dir.file("round.txt");
        ASSERT_TRUE(saveTextFile(path, c.text, c.written));
        std::u16string text = u"old";
        EXPECT_EQ(readTextFile(path, text), c.detected);
        EXPECT_EQ(text, c.text);
    }
}

TEST_F(TextFileTest, WrittenBytes) {
    auto path = dir.file("w.txt");
    struct Case {
        int code;
        std::string bytes;
    };
    const Case cases[] = {
        {encoding::kUtf16LE,
         "\xFF\xFE\x42\x30"
         "a\0"s},
        {encoding::kDetect,
         "\xFF\xFE\x42\x30"
         "a\0"s},
        {encoding::kUtf16BE, "\xFE\xFF\x30\x42\0a"s},
        {encoding::kUtf8,
         "\xE3\x81\x82"
         "a"},
        {encoding::kUtf8WithMark,
         "\xEF\xBB\xBF\xE3\x81\x82"
         "a"},
        {encoding::kNarrow,
         "\x82\xA0"
         "a"},
        {encoding::kEucJp,
         "\xA4\xA2"
         "a"},                    // no terminating zero byte
        {encoding::kBinary, ""},  // nothing is written
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(saveTextFile(path, u"あa", c.code));
        EXPECT_EQ(dir.read("w.txt"), c.bytes);
    }
    // An empty text still gets its byte-order mark.
    ASSERT_TRUE(saveTextFile(path, u"", encoding::kUtf8WithMark));
    EXPECT_EQ(dir.read("w.txt"), "\xEF\xBB\xBF");
}

TEST_F(TextFileTest, EmptyAndMissingFiles) {
    dir.write("empty.txt", "");
    std::u16string text = u"old";
    EXPECT_EQ(readTextFile(dir.file("empty.txt"), text), encoding::kUtf16LE);
    EXPECT_EQ(text, u"");
    EXPECT_EQ(readTextFile(dir.file("empty.txt"), text, encoding::kEucJp), encoding::kEucJp);

    text = u"untouched";
    EXPECT_EQ(readTextFile(dir.file("missing.txt"), text), -1);
    EXPECT_EQ(text, u"untouched");
    // A folder is not a readable file.
    EXPECT_EQ(readTextFile(dir.file(""), text), -1);
    EXPECT_EQ(text, u"untouched");
}

TEST_F(TextFileTest, DecodingRules) {
    std::u16string text;
    // UTF-16 stops at the first zero unit and ignores a final odd byte.
    EXPECT_EQ(decode("\xFF\xFE"
                     "a\0b\0\0\0c\0"s,
                     text),
              1);
    EXPECT_EQ(text, u"ab");
    EXPECT_EQ(decode("\xFF\xFE"
                     "a\0b"s,
                     text),
              1);
    EXPECT_EQ(text, u"a");
    EXPECT_EQ(decode("\xFE\xFF\0a\0b\0"s, text), 2);
    EXPECT_EQ(text, u"ab");
    // One stray high byte: no count recognises it, and the tie goes to EUC-JP.
    EXPECT_EQ(decode("\xFF", text), 6);
    // A zero byte without a mark: binary, read up to the zero byte.
    EXPECT_EQ(decode("\x93\xFA\x96\x7B\0tail"s, text), 7);
    EXPECT_EQ(text, u"日本");
    // A hint is used when there is no mark; a mark wins over a hint.
    EXPECT_EQ(decode("\xA4\xA2", text, encoding::kEucJp), 6);
    EXPECT_EQ(text, u"あ");
    EXPECT_EQ(decode("\xEF\xBB\xBF\xE3\x81\x82", text, encoding::kNarrow), 4);
    EXPECT_EQ(text, u"あ");
    EXPECT_EQ(decode("a\0b"s, text, encoding::kUtf8), 3);
    EXPECT_EQ(text, u"a");
}

TEST_F(TextFileTest, NarrowCodePageFollowsTheSetting) {
    EXPECT_EQ(toNarrow(u"日本"), "\x93\xFA\x96\x7B");
    EXPECT_EQ(toWide("\x93\xFA\x96\x7B"), u"日本");
    EXPECT_EQ(toNarrow(u"한"), "?");
    setNarrowCodePage(0);  // the system code page: UTF-8 on Linux
    EXPECT_EQ(toNarrow(u"日本"), "\xE6\x97\xA5\xE6\x9C\xAC");
}

TEST(EncodingCodeOf, NamesAreExactAndCaseSensitive) {
    struct Case {
        std::u16string name;
        int code;
    };
    const Case cases[] = {{u"Shift_JIS", 0}, {u"ANSI", 0},  {u"UTF-16", 1}, {u"UTF-16BE", 2},
                          {u"UTF-8", 3},     {u"UTF8", 3},  {u"UTF-8N", 4}, {u"EUC-JP", 6},
                          {u"Binary", 7},    {u"utf-8", 0}, {u"", 0},       {u"UTF-16LE", 0}};
    for (const auto& c : cases) EXPECT_EQ(encodingCodeOf(c.name), c.code);
}

TEST_F(TextFileTest, AFailedSaveKeepsTheOldFile) {
    dir.write("keep.txt", "precious");
    // The temporary file beside it cannot be created: nothing is lost.
    std::filesystem::create_directory(dir.native("keep.txt.veltrix-tmp"));
    EXPECT_FALSE(saveTextFile(dir.file("keep.txt"), u"new", encoding::kUtf8));
    EXPECT_EQ(dir.read("keep.txt"), "precious");
    EXPECT_FALSE(saveTextFile(dir.file("no/such/folder.txt"), u"x", encoding::kUtf8));
}

TEST_F(TextFileTest, BackslashPathsAndJapaneseNames) {
    std::u16string path = dir.file("") + u"\\日本語.txt";
    ASSERT_TRUE(saveTextFile(path, kJapanese, encoding::kUtf8));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / u8"日本語.txt"));
    std::u16string text;
    EXPECT_EQ(readTextFile(path, text), encoding::kUtf8);
    EXPECT_EQ(text, kJapanese);
}

TEST_F(TextFileTest, ArbitraryBytesDecodeWithoutFault) {
    std::mt19937 random(2024);
    const std::string seeds[] = {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF", "", "\x8F", "\xE3\x81", "\x8E"};
    for (int round = 0; round < 5000; ++round) {
        std::string data = seeds[random() % std::size(seeds)];
        std::size_t length = random() % 300;
        // Mostly high bytes, where the multi-byte rules live.
        for (std::size_t i = 0; i < length; ++i)
            data.push_back(static_cast<char>(random() % 4 ? 0x80 | random() : random() % 0x80));
        for (int hint : {-1, 0, 1, 2, 3, 4, 5, 6, 7}) {
            std::u16string text;
            int code = decode(data, text, hint);
            EXPECT_GE(code, 0);
            EXPECT_LE(text.size(), data.size());
        }
    }
}

// The text reader on a file that another thread keeps cutting and restoring:
// each read gives the whole text or -1, and the process lives.
TEST(TextFile, AFileCutWhileItIsReadGivesItsTextOrMinusOneNeverACrash) {
    TempDir dir;
    const std::string content(512 * 1024, 'a');
    dir.write("moving.txt", content);
    const auto native = dir.native("moving.txt");
    std::atomic<bool> done{false};
    std::thread cutter([&] {
        while (!done.load()) {
            std::filesystem::resize_file(native, 1000);
            std::filesystem::resize_file(native, content.size());
        }
    });
    int whole = 0;
    for (int i = 0; i < 200; ++i) {
        std::u16string text;
        const int code = readTextFile(dir.file("moving.txt"), text);
        if (code == -1) continue;
        // Restored by extending: the tail may read as zero bytes, which a
        // text reader takes as binary; what it returns is what it read.
        EXPECT_TRUE(code == 0 || code == 7) << code;
        whole += text.size() == content.size();
    }
    done = true;
    cutter.join();
    SUCCEED() << whole << " whole reads";
}
