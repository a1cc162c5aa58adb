// The phrase and lecture downloaders' pure parts: command lines that survive
// the runner's split whatever a page puts in them, the phrase site's
// addresses and page markers, and the lecture course's addresses, titles,
// chapter lists and tool commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "download/GogakuruSite.h"
#include "download/KokokozaLecture.h"
#include "download/ToolCommandLine.h"
#include "platform/win32.h"

namespace {

std::vector<std::u16string> split(const std::u16string& commandLine) {
    int count = 0;
    std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(commandLine.c_str(), &count), &LocalFree);
    std::vector<std::u16string> out;
    for (int i = 0; argv && i < count; ++i) out.emplace_back(argv.get()[i]);
    return out;
}

SiteHosts localHosts() {
    SiteHosts hosts;
    hosts.phraseSite = u"127.0.0.1:8080";
    hosts.phraseStream = u"stream.test";
    hosts.phrasePlayer = u"player.test";
    hosts.lectureArchive = u"archive.test:81";
    return hosts;
}

// Values a page could put into a command line.
const std::vector<std::u16string> kHostileValues = {
    u"a \"quoted\" word", u"it's",          u"$(touch pwned)", u"`touch pwned`",  u"trailing\\",
    u"back\\\\slash\\\"", u"; rm -rf / ;",  u"two\nlines",     u"-o /etc/passwd", u"",
    u"..\\..\\..",        u"音声 ファイル", u"\\\"\\"};

TEST(ToolCommandLine, EveryValueComesBackFromTheSplitAsOneArgument) {
    for (const std::u16string& value : kHostileValues) {
        const std::u16string line = ToolCommandLine(u"/opt/Plugins/flvstreamer")
                                        .option(u"-r")
                                        .value(value)
                                        .option(u"-o")
                                        .value(u"/opt/voices/x.flv")
                                        .text();
        EXPECT_EQ(split(line), (std::vector<std::u16string>{u"/opt/Plugins/flvstreamer", u"-r", value, u"-o",
                                                            u"/opt/voices/x.flv"}));
    }
    EXPECT_EQ(ToolCommandLine(u"/p/tool").option(u"-y -i").value(u"a b").text(), u"\"/p/tool\" -y -i \"a b\"");
    EXPECT_EQ(quoteArgument(u"x\\\"y\\"), u"\"x\\\\\\\"y\\\\\"");
}

TEST(GogakuruSite, AddressesComeFromTheHostsAndTheSitesFixedPaths) {
    const gogakuru::Addresses a(localHosts());
    EXPECT_EQ(a.phrasePrefix, u"http://127.0.0.1:8080/english/phrase/");
    EXPECT_EQ(a.siteRoot, u"http://127.0.0.1:8080/");
    EXPECT_EQ(a.streamBase, u"rtmpe://stream.test/nhk-edu/_definst_/gogakuru/");
    EXPECT_EQ(a.playerAddress, u"http://player.test/www11/nhk-edu/web/gogakuru/swf/phrase_player.swf");
    EXPECT_EQ(a.startAddress, u"http://127.0.0.1:8080/???");
}

TEST(GogakuruSite, OnlyPhrasePagesEndingInADigitBecomeRowsWithoutTheirQuery) {
    const std::u16string prefix = u"http://s/english/phrase/";
    EXPECT_EQ(gogakuru::phraseRowAddress(u"http://s/english/phrase/1234", prefix), u"http://s/english/phrase/1234");
    EXPECT_EQ(gogakuru::phraseRowAddress(u"http://s/english/phrase/1234?from=list&x=1", prefix),
              u"http://s/english/phrase/1234");
    EXPECT_EQ(gogakuru::phraseRowAddress(u"http://s/english/phrase/12/?a=1", prefix), u"");
    EXPECT_EQ(gogakuru::phraseRowAddress(u"http://s/english/phrase/abc", prefix), u"");
    EXPECT_EQ(gogakuru::phraseRowAddress(u"http://s/english/phrase/?1", prefix), u"");
    EXPECT_EQ(gogakuru::phraseRowAddress(u"http://s/english/word/1", prefix), u"");
    EXPECT_EQ(gogakuru::phraseRowAddress(u"http://other/english/phrase/1", prefix), u"");
    EXPECT_EQ(gogakuru::phraseRowAddress(u"", prefix), u"");
}

TEST(GogakuruSite, AListPageGivesItsLinksBehindTheSiteButNoPageFiles) {
    const std::u16string page =
        u"<html><body><a href='/english/phrase/1'>one</a><A HREF=\"/english/phrase/2?x=1\">two</A>"
        u"<a href='/english/phrase/3.html'>file</a><a name='top'>no link</a>"
        u"<script>var s = \"<a href='/english/phrase/9'>\";</script><a href=/english/phrase/4>four</a></body>";
    EXPECT_EQ(
        gogakuru::linkedAddresses(page, u"site.test"),
        (std::vector<std::u16string>{u"http://site.test/english/phrase/1", u"http://site.test/english/phrase/2?x=1",
                                     u"http://site.test", u"http://site.test/english/phrase/4"}));
}

TEST(GogakuruSite, TextsAreCutBetweenMarkersAfterTheContentAndAMissingCloseIsReported) {
    const std::u16string page =
        u"<p class=\"en\">before the content</p><div class=\"phrase_main_padding\">"
        u"<p class=\"en\"><span class=\"s\">How <b>are</b> you?</span></p>"
        u"<p class=\"jp\">お元気ですか。</p><div class=\"phrase_kaisetsu\">A greeting &amp; more.</div>"
        u"<script>play('x');r('gogakuru/voice/0001_how');</script>";
    const std::size_t from = page.find(gogakuru::kPhraseMainMarker);
    std::vector<std::u16string> missing;
    const gogakuru::PhraseTexts texts =
        gogakuru::readPhraseTexts(page, from, [&](const std::u16string& marker) { missing.push_back(marker); });
    EXPECT_EQ(texts.sentence, u"How <b>are</b> you?");
    EXPECT_EQ(texts.translation, u"お元気ですか。");
    EXPECT_EQ(texts.explanation, u"A greeting &amp; more.");
    EXPECT_TRUE(missing.empty());
    EXPECT_EQ(gogakuru::voiceStreamPath(page, from), u"gogakuru/voice/0001_how");

    const std::u16string broken = u"<div class=\"phrase_main_padding\"><p class=\"en\">no end<p class=\"jp\">訳</p>";
    const gogakuru::PhraseTexts cut =
        gogakuru::readPhraseTexts(broken, 0, [&](const std::u16string& marker) { missing.push_back(marker); });
    // "<p class=en>" runs to the translation's "</p>": its span is missing.
    EXPECT_EQ(cut.translation, u"訳");
    EXPECT_EQ(cut.explanation, u"");
    EXPECT_EQ(missing, (std::vector<std::u16string>{u"</span>"}));
    EXPECT_EQ(gogakuru::voiceStreamPath(u"r('unclosed", 0), u"");
}

TEST(KokokozaLecture, TheCoursesEightyFourLectureAddresses) {
    EXPECT_EQ(kokokoza::archiveBase(u"archive.test:81"),
              u"http://archive.test:81/kokokoza/library/2013/radio/r2_koten/archive/");
    EXPECT_EQ(kokokoza::lectureAddress(u"h", 1), u"http://h/kokokoza/library/2013/radio/r2_koten/archive/chapter001");
    EXPECT_EQ(kokokoza::lectureAddress(u"h", 84), u"http://h/kokokoza/library/2013/radio/r2_koten/archive/chapter084");
}

TEST(KokokozaLecture, TheTitleIsWhatFollowsTheLastBar) {
    EXPECT_EQ(kokokoza::lectureTitle(u"NHK高校講座 | 第1回 古文に親しむ"), u"第1回 古文に親しむ");
    EXPECT_EQ(kokokoza::lectureTitle(u"NHK | 古典Ⅰ | 第2回"), u"第2回");
    EXPECT_EQ(kokokoza::lectureTitle(u"\r\n  一つだけ \t"), u"一つだけ");
    EXPECT_EQ(kokokoza::lectureTitle(u"終わりが | "), u"");
    EXPECT_EQ(kokokoza::lectureTitle(u""), u"");
}

TEST(KokokozaLecture, ChapterStreamsAndMarks) {
    const std::string list =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><lecture><group rtmp=\"rtmp://h/a/\" movie=\"ch1\"/>"
        "<group movie=\"ch2\"></group><other rtmp=\"x\"/><group rtmp=\"rtmp://h/c\"/></lecture>";
    EXPECT_EQ(kokokoza::chapterStreams(list), (std::vector<std::u16string>{u"rtmp://h/a/ch1", u"ch2", u"rtmp://h/c"}));
    EXPECT_TRUE(kokokoza::chapterStreams("not xml at all <<<").empty());
    EXPECT_TRUE(kokokoza::chapterStreams("").empty());
    EXPECT_EQ(kokokoza::chapterMark(0), u'1');
    EXPECT_EQ(kokokoza::chapterMark(8), u'9');
    EXPECT_EQ(kokokoza::chapterMark(9), u':');
}

TEST(KokokozaLecture, TheToolCommandsSplitAsTheWrittenOutFormsDo) {
    EXPECT_EQ(split(kokokoza::recordCommand(u"/p/flvstreamer", u"rtmp://h/a b", u"/k/T1.flv")),
              split(u"\"/p/flvstreamer\" -r \"rtmp://h/a b\" -o \"/k/T1.flv\""));
    EXPECT_EQ(split(kokokoza::convertCommand(u"/p/ffmpeg", u"/k/T1.flv", u"/k/T1.mp3", false)),
              split(u"\"/p/ffmpeg\" -y -i \"/k/T1.flv\" -ab 64k -ar 16000 \"/k/T1.mp3\""));

    kokokoza::LectureTags tags{u"第3回", u"2013", 3, 84, u"古典Ⅰ"};
    const std::vector<std::u16string> chapters = {u"/k/第3回1.mp3", u"/k/第3回2.mp3", u"/k/第3回3.mp3"};
    const std::u16string written =
        u"\"/p/ffmpeg\" -i \"/k/第3回1.mp3\" -i \"/k/第3回2.mp3\" -i \"/k/第3回3.mp3\" "
        u"-filter_complex \"concat=n=3:v=0:a=1\"  -metadata title=\"第3回\" -metadata date=\"2013\" "
        u"-metadata track=\"3/84\" -metadata genre=\"Speech\" -metadata publisher=\"NHK\" -metadata copyright=\"NHK\" "
        u"-metadata artist=\"NHK\" -metadata album=\"古典Ⅰ\" -id3v2_version 3 -write_id3v1 1 \"/k/第3回.mp3\"";
    EXPECT_EQ(split(kokokoza::joinCommand(u"/p/ffmpeg", chapters, tags, u"/k/第3回.mp3", false)), split(written));

    std::vector<std::u16string> named = split(kokokoza::joinCommand(u"/p/ffmpeg", chapters, tags, u"/k/x.part", true));
    ASSERT_GE(named.size(), 3u);
    EXPECT_EQ((std::vector<std::u16string>(named.end() - 3, named.end())),
              (std::vector<std::u16string>{u"-f", u"mp3", u"/k/x.part"}));

    // A title holding quotes stays one tag value.
    tags.title = u"\"引用\" $(x)";
    const std::vector<std::u16string> args =
        split(kokokoza::joinCommand(u"/p/ffmpeg", {u"/k/a"}, tags, u"/k/o", false));
    EXPECT_NE(std::find(args.begin(), args.end(), u"title=\"引用\" $(x)"), args.end());
}

TEST(KokokozaLecture, TheProgressLineIsTheLastLineTrimmed) {
    EXPECT_EQ(kokokoza::progressLine(u"size=  12kB time=00:00:01.00 bitrate= 96.0kbits/s    \r"),
              u"size=  12kB time=00:00:01.00 bitrate= 96.0kbits/s");
    EXPECT_EQ(kokokoza::progressLine(u"first\rsecond  \r\n"), u"second");
    EXPECT_EQ(kokokoza::progressLine(u"\b\b 12.3% \b"), u"12.3%");
    EXPECT_EQ(kokokoza::progressLine(u" \r\n\b"), u"");
}

}  // namespace
