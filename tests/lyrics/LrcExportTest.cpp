// The LRC export from the document, with the program's own format file.
#include <gtest/gtest.h>

#include <filesystem>

#include "lyrics/LrcExport.h"
#include "lyrics/LrcWriter.h"
#include "support/TempDir.h"

namespace {

void shouldNotShow(const std::u16string& text) {
    ADD_FAILURE() << "unexpected message: " << std::string(text.begin(), text.end());
}

void fillThreeEntries(SentenceList& list) {
    list.appendEntry({0, 0, u"First.", u"一つ目。", u""});
    list.appendEntry({2000, 3500, u"Second.", u"", u""});
    list.appendEntry({5000, 0, u"Third.", u"", u""});
}

}  // namespace

TEST(LrcExport, InputFromTheDocument) {
    SentenceList list;
    fillThreeEntries(list);
    LyricsInfoManager input = buildLrcInput(list, 9000);
    EXPECT_EQ(input.texts, (std::vector<std::u16string>{u"First.", u"Second.", u"", u"Third."}));
    EXPECT_EQ(input.times, (std::vector<std::int32_t>{0, 2000, 3500, 5000, 9000}));
}

TEST(LrcExport, TheShippedFormatFileReadsAndItsFirstFormatIsPlainUtf8) {
    std::vector<LyricsFormat> formats;
    ASSERT_TRUE(readLyricsFormats(std::u16string(VELTRIX_SOURCE_DIR u"/Resources/Lyrics.txt"), formats, shouldNotShow));
    ASSERT_GE(formats.size(), 2u);
    EXPECT_EQ(formats[0].encoding, u"UTF-8");
    EXPECT_EQ(formats[0].extendedTag, u".");
    for (const auto& f : formats) {
        EXPECT_FALSE(f.name.empty());
        EXPECT_GE(f.width, 100);
        EXPECT_GE(f.fontSize, 10);
    }

    TempDir dir;
    SentenceList list;
    fillThreeEntries(list);
    LyricsInfoManager input = buildLrcInput(list, 9000);
    input.formats = formats;
    ASSERT_TRUE(writeLrc(input, dir.file("song.mp3")));
    EXPECT_EQ(dir.read("song.lrc"), "[00:00.00]First.\r\n[00:02.00]Second.\r\n[00:03.50]\r\n[00:05.00]Third.\r\n");
}

TEST(LrcExport, FormatRecordsAndTheirDefaults) {
    TempDir dir;
    dir.write("f.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Root><Group><Format name=\"A\" extendedTag=\"\"/></Group>"
              "<Format name=\"\"/><Format name=\"B\" width=\"x\" encoding=\"UTF-16\"/></Root>");
    std::vector<LyricsFormat> formats;
    ASSERT_TRUE(readLyricsFormats(dir.file("f.xml"), formats, shouldNotShow));
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0].name, u"A");
    EXPECT_EQ(formats[0].extendedTag, u"");
    EXPECT_EQ(formats[1].extendedTag, u".");
    EXPECT_EQ(formats[1].width, 0);
    EXPECT_EQ(formats[1].encoding, u"UTF-16");

    // PlayerFormat elements, where there are any, are the only ones taken.
    dir.write("g.xml", "<R><Format name=\"F\"/><PlayerFormat name=\"P\"/></R>");
    ASSERT_TRUE(readLyricsFormats(dir.file("g.xml"), formats, shouldNotShow));
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].name, u"P");

    // A broken format file says where it is broken: the reader's message with
    // the file, the row and the column.
    dir.write("bad.xml", "<R>\n<Format name=\"F\"></R>");
    std::u16string shown;
    EXPECT_FALSE(readLyricsFormats(dir.file("bad.xml"), formats, [&](const std::u16string& m) { shown = m; }));
    EXPECT_NE(shown.find(u"Exception in XMLParser.parse()"), std::u16string::npos);
    EXPECT_NE(shown.find(u"Row:2 Col:20 in " + dir.file("bad.xml")), std::u16string::npos);
}

TEST(LrcExport, WithoutAFormatFileNothingIsWritten) {
    TempDir dir;
    // The test program has no Resources folder beside it.
    SentenceList list;
    fillThreeEntries(list);
    EXPECT_FALSE(exportLrc(list, 9000, dir.file("song.lrc.lrc"), shouldNotShow));
    EXPECT_FALSE(std::filesystem::exists(dir.native("song.lrc")));
}
