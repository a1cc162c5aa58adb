// LRC writing with line wrapping, and M3U playlists.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RecordingPlaylistTarget.h"
#include "lyrics/LrcWriter.h"
#include "lyrics/Playlist.h"
#include "support/TempDir.h"
#include "text/NarrowText.h"

using namespace std::string_literals;

namespace {

LyricsFormat plainFormat(std::u16string separator = u".") {
    LyricsFormat f;
    f.name = u"Plain LRC";
    f.encoding = u"UTF-8";
    f.width = 400;
    f.fontSize = 16;
    f.extendedTag = std::move(separator);
    return f;
}

LyricsInfoManager manager(std::vector<std::u16string> texts, std::vector<std::int32_t> times,
                          LyricsFormat format = plainFormat()) {
    LyricsInfoManager m;
    m.texts = std::move(texts);
    m.times = std::move(times);
    m.formats = {std::move(format)};
    return m;
}

}  // namespace

TEST(WrapLyricLine, BreaksAtSpacesAndCountsWidths) {
    struct Case {
        std::u16string text;
        int fontSize, width;
        std::vector<std::u16string> lines;
    };
    const std::vector<Case> cases = {
        {u"short line", 10, 100, {u"short line"}},
        // Each ASCII character is 5 wide: 20 fit in 100. The first line of a cut
        // ends before its space, later lines keep the space at their end.
        {u"The first line ends here and the next one",
         10,
         100,
         {u"The first line ends", u"here and the next ", u"one"}},
        // Japanese characters count the whole font size: 10 in 100.
        {u"日本語の文章が長く続く場合の折り返し", 10, 100, {u"日本語の文章が長く続", u"く場合の折り返し"}},
        // Control characters are dropped.
        {u"a\r\nb\tc", 10, 100, {u"abc"}},
        // Not one character fits: the whole text, without its CR LF pairs.
        {u"日本\r\n語", 200, 100, {u"日本語"}},
        {u"", 10, 100, {u""}},
        // Cuts are measured in the line's characters: the skipped CR LF once
        // made the cut reach past the line's end and pad it with U+0000.
        {u"Hello there\r\nthis is a long line of text", 10, 100, {u"Hello therethis is a", u"long line of text"}},
        // A later line that is exactly full when a space comes keeps no space
        // it never took (it was once padded with U+0000 instead).
        {u"aa bbbbbbbbbbbbbbbbbbbb cc", 10, 100, {u"aa", u"bbbbbbbbbbbbbbbbbbbb", u"cc"}},
    };
    for (const auto& c : cases) {
        const auto lines = wrapLyricLine(c.text, c.fontSize, c.width);
        EXPECT_EQ(lines, c.lines);
        for (const auto& line : lines) EXPECT_EQ(line.find(u'\0'), std::u16string::npos);
    }
}

TEST(WriteLrc, TagsTimesAndEndMarks) {
    TempDir dir;
    auto path = dir.file("song.mp3");
    // Starts 0, 2000 and 5000 with audio of 9000 ms; the second entry ends at 3500.
    auto m = manager({u"One.", u"Two.", u"", u"Three."}, {0, 2000, 3500, 5000, 9000});
    ASSERT_TRUE(writeLrc(m, path));
    EXPECT_EQ(dir.read("song.lrc"), "[00:00.00]One.\r\n[00:02.00]Two.\r\n[00:03.50]\r\n[00:05.00]Three.\r\n");

    m.formats[0].extendedTag = u"";
    m.times = {83456, 90000, 91000, 92000, 93000};
    ASSERT_TRUE(writeLrc(m, path));
    EXPECT_EQ(dir.read("song.lrc").substr(0, 12), "[01:23]One.\r");
    m.formats[0].extendedTag = u":";
    ASSERT_TRUE(writeLrc(m, path));
    EXPECT_EQ(dir.read("song.lrc").substr(0, 15), "[01:23:45]One.\r");
}

TEST(WriteLrc, WrappedSentencesShareTheirTimeAndFormatsHaveFloors) {
    TempDir dir;
    LyricsFormat narrow = plainFormat();
    narrow.width = 40;    // used as 100
    narrow.fontSize = 8;  // used as 10
    narrow.encoding = u"UTF-16";
    auto m = manager({u"The first line ends here and the next one"}, {1000, 4000}, narrow);
    ASSERT_TRUE(writeLrc(m, dir.file("w.txt")));
    std::u16string expected =
        u"\uFEFF[00:01.00]The first line ends\r\n[00:02.00]here and the next \r\n[00:03.00]one\r\n";
    std::string bytes = dir.read("w.lrc");
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2), expected);
}

TEST(WriteLrc, NothingWithoutAFormatOrTexts) {
    TempDir dir;
    auto m = manager({}, {0});
    EXPECT_FALSE(writeLrc(m, dir.file("a.mp3")));
    m = manager({u"x"}, {0, 10}, LyricsFormat{});
    EXPECT_FALSE(writeLrc(m, dir.file("a.mp3")));
    m.formats.clear();
    EXPECT_FALSE(writeLrc(m, dir.file("a.mp3")));
    EXPECT_FALSE(std::filesystem::exists(dir.native("a.lrc")));
    EXPECT_EQ(lrcFileNameFromChoice(u"C:\\x\\song.lrc.lrc"), u"C:\\x\\song.lrc");
}

TEST(Playlist, LoadsRelativeAndAbsolutePathsWithAnyLineEnds) {
    TempDir dir;
    std::filesystem::create_directories(dir.native("lists"));
    dir.write("lists/p.M3U", "#EXTM3U\r\n#EXTINF:0,a.mp3\r\n../music/a.mp3\r\n\r\n/srv/b.mp3\n./c.mp3\n#note.mp3");
    RecordingPlaylistTarget target;
    ASSERT_TRUE(loadPlaylist(dir.file("lists/p.M3U"), target));
    std::u16string root = dir.file("");
    EXPECT_EQ(target.files, (std::vector<std::u16string>{root + u"music/a.mp3", u"/srv/b.mp3", root + u"lists/c.mp3",
                                                         root + u"lists/#note.mp3"}));
    EXPECT_EQ(target.playlist, dir.file("lists/p.M3U"));

    RecordingPlaylistTarget none;
    EXPECT_FALSE(loadPlaylist(dir.file("lists/p.txt"), none));
    EXPECT_TRUE(loadPlaylist(dir.file("missing.m3u"), none));
    EXPECT_TRUE(none.files.empty());
}

TEST(Playlist, BuildsRelativePathsAndLeavesOutWhatTheCodePageCannotHold) {
    setNarrowCodePage(932);
    std::string text =
        buildPlaylistText(toNarrow(u"/home/u/lists/p.m3u"),
                          {u"/home/u/lists/a.mp3", u"/home/u/music/ニュース.mp3", u"/srv/한국.mp3", u"/srv/b.mp3"});
    EXPECT_EQ(toWide(text),
              u"#EXTM3U\r\n#EXTINF:0,a.mp3\r\n./a.mp3\r\n\r\n#EXTINF:0,ニュース.mp3\r\n"
              u"../music/ニュース.mp3\r\n\r\n#EXTINF:0,b.mp3\r\n/srv/b.mp3\r\n\r\n");
    EXPECT_EQ(buildPlaylistText(toNarrow(u"/home/한/p.m3u"), {u"/home/a.mp3"}), "");
    EXPECT_EQ(buildPlaylistText("/home/p.m3u", {u"/srv/한.mp3"}), "");
    setNarrowCodePage(0);
}

TEST(Playlist, SavesInTheSystemCodePageAndRestoresTheProgramsOwn) {
    TempDir dir;
    setNarrowCodePage(932);
    auto playlist = dir.file("p.m3u");
    ASSERT_EQ(savePlaylist(playlist, {dir.file("한국어.mp3")}), PlaylistSave::Saved);
    EXPECT_EQ(narrowCodePage(), 932u);
    // The system code page is UTF-8 here, so every name can be written.
    EXPECT_EQ(dir.read("p.m3u"),
              "#EXTM3U\r\n#EXTINF:0,\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4.mp3\r\n"
              "./\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4.mp3\r\n\r\n");
    EXPECT_EQ(savePlaylist(playlist, {}), PlaylistSave::InvalidCharacters);
    setNarrowCodePage(0);
}
