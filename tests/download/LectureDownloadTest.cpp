// The lecture downloader against an archive on 127.0.0.1, the stand-in stream
// recorder and the real ffmpeg: a lecture's chapters recorded, converted and
// joined into one MP3 whose length and tags ffprobe reads back; resuming;
// lectures that cannot be made; a title that tries to leave the folder; a
// stop; and the dialog's table and its five lectures a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "LessonSite.h"
#include "download/KokokozaDownloader.h"
#include "download/LectureRecorder.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"

namespace headless = veltrix::platform::headless;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::u16string wide(const std::string& text) { return fs::path(text).u16string(); }
std::u16string wide(const fs::path& path) { return path.u16string(); }

struct LectureRecording : ::testing::Test {
    LessonSite site;
    LectureWork work{site.hosts};
    std::vector<std::u16string> titles;
    std::vector<std::u16string> statuses;
    LectureRow row{[this](const std::u16string& t) { titles.push_back(t); },
                   [this](const std::u16string& s) { statuses.push_back(s); }};

    kokokoza::LectureTags tags(int track) {
        kokokoza::LectureTags t;
        t.date = kokokoza::kYear;
        t.track = track;
        t.trackCount = kokokoza::kLectureCount;
        t.album = kokokoza::kAlbum;
        return t;
    }
    LectureRecorder::Outcome record(const std::u16string& address, int track) {
        return LectureRecorder(work).record(address, tags(track), row);
    }
};

TEST_F(LectureRecording, ChaptersAreRecordedConvertedAndJoinedIntoOneTaggedMp3) {
    const std::u16string address =
        site.routeLecture(1, "NHK高校講座 | 古典Ⅰ | 第1回 古文とは", {"k01a_3s", "k01b_4s", "k01c_5s"});
    ASSERT_EQ(record(address, 1), LectureRecorder::Outcome::Joined);

    const fs::path lecture = site.lectures / "第1回 古文とは.mp3";
    EXPECT_EQ(LessonSite::filesIn(site.lectures), (std::vector<std::string>{"第1回 古文とは.mp3"}));
    EXPECT_EQ(titles, (std::vector<std::u16string>{u"第1回 古文とは"}));
    // The chapters' lengths add up (3 + 4 + 5 seconds and each one's padding).
    const double chapters =
        site.chapterSeconds("k01a_3s") + site.chapterSeconds("k01b_4s") + site.chapterSeconds("k01c_5s");
    EXPECT_GT(chapters, 12.0);
    EXPECT_NEAR(decodedSeconds(lecture), chapters, chapters * 0.01);
    EXPECT_EQ(probe(lecture, "stream=sample_rate"), "16000");
    EXPECT_EQ(probe(lecture, "format_tags=title"), "第1回 古文とは");
    EXPECT_EQ(probe(lecture, "format_tags=date"), "2013");
    EXPECT_EQ(probe(lecture, "format_tags=track"), "1/84");
    EXPECT_EQ(probe(lecture, "format_tags=genre"), "Speech");
    EXPECT_EQ(probe(lecture, "format_tags=publisher"), "NHK");
    EXPECT_EQ(probe(lecture, "format_tags=copyright"), "NHK");
    EXPECT_EQ(probe(lecture, "format_tags=artist"), "NHK");
    EXPECT_EQ(probe(lecture, "format_tags=album"), "古典Ⅰ");
    // ID3v2.3 at the front and an ID3v1 tag at the end.
    std::ifstream in(lecture, std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), 5);
    EXPECT_EQ(head, std::string("ID3\x03\x00", 5));
    in.seekg(-128, std::ios::end);
    std::string tail(3, '\0');
    in.read(tail.data(), 3);
    EXPECT_EQ(tail, "TAG");

    // Each chapter was asked for by its stream, into the title + its mark.
    const auto runs = site.toolRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0], (std::vector<std::u16string>{u"-r", u"rtmp://127.0.0.1/kokokoza/k01a_3s", u"-o",
                                                    wide(site.lectures / "第1回 古文とは1.flv")}));
    EXPECT_EQ(runs[2][3], wide(site.lectures / "第1回 古文とは3.flv"));
    // The row showed the tools' progress and ends complete.
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), u"complete");
    EXPECT_TRUE(std::any_of(statuses.begin(), statuses.end(),
                            [](const std::u16string& s) { return s.find(u"time=") != std::u16string::npos; }));
    EXPECT_TRUE(std::any_of(statuses.begin(), statuses.end(),
                            [](const std::u16string& s) { return s == u"Download complete"; }));

    // The join is left as a script that makes the same file again.
    const std::string script = site.work.read("kokokoza.sh");
    EXPECT_TRUE(script.starts_with("#!/bin/sh\n")) << script;
    EXPECT_NE(script.find("concat=n=3:v=0:a=1"), std::string::npos);
    EXPECT_EQ(script.find(".veltrix-tmp"), std::string::npos);
    EXPECT_NE(script.find(lecture.string()), std::string::npos);
}

TEST_F(LectureRecording, ALectureAlreadyThereIsPassedOverOnceItsTitleIsShown) {
    const std::u16string address = site.routeLecture(2, "講座 | 第2回", {"k02a_1s"});
    fs::create_directories(site.lectures);
    { std::ofstream(site.lectures / "第2回.mp3") << "made before"; }
    EXPECT_EQ(record(address, 2), LectureRecorder::Outcome::Present);
    EXPECT_EQ(titles, (std::vector<std::u16string>{u"第2回"}));
    EXPECT_EQ(statuses, (std::vector<std::u16string>{u"complete"}));
    EXPECT_TRUE(site.toolRuns().empty());
}

TEST_F(LectureRecording, AMissingChapterLeavesTheLectureUnjoinedAndTheNextRunRecordsOnlyThatOne) {
    const std::u16string address = site.routeLecture(3, "講座 | 第3回", {"k03a_1s", "k03b_fail", "k03c_1s"});
    EXPECT_EQ(record(address, 3), LectureRecorder::Outcome::Failed);
    EXPECT_EQ(statuses.back(), u"Failed");
    EXPECT_EQ(LessonSite::filesIn(site.lectures), (std::vector<std::string>{"第3回1.mp3", "第3回3.mp3"}));
    EXPECT_FALSE(fs::exists(site.work.native("kokokoza.sh")));

    site.routeLecture(3, "講座 | 第3回", {"k03a_1s", "k03b_1s", "k03c_1s"});
    EXPECT_EQ(record(address, 3), LectureRecorder::Outcome::Joined);
    const auto runs = site.toolRuns();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[3][1], u"rtmp://127.0.0.1/kokokoza/k03b_1s");
    EXPECT_EQ(LessonSite::filesIn(site.lectures), (std::vector<std::string>{"第3回.mp3"}));
    const double chapters = 3 * site.chapterSeconds("k03a_1s");
    EXPECT_NEAR(decodedSeconds(site.lectures / "第3回.mp3"), chapters, chapters * 0.01);
}

TEST_F(LectureRecording, NoTitleNoChaptersOrNoAudioMakeNoLecture) {
    {
        SCOPED_TRACE("an unreachable page");
        EXPECT_EQ(record(kokokoza::lectureAddress(site.host(), 40), 40), LectureRecorder::Outcome::Failed);
        EXPECT_EQ(titles.back(), u"");
    }
    {
        SCOPED_TRACE("no groups");
        EXPECT_EQ(record(site.routeLecture(41, "講座 | 第41回", {}), 41), LectureRecorder::Outcome::Failed);
    }
    EXPECT_TRUE(site.toolRuns().empty());
    {
        SCOPED_TRACE("a recording that is no FLV");
        EXPECT_EQ(record(site.routeLecture(42, "講座 | 第42回", {"k42_notflv"}), 42), LectureRecorder::Outcome::Failed);
    }
    EXPECT_EQ(statuses.back(), u"Failed");
    EXPECT_TRUE(LessonSite::filesIn(site.lectures).empty());
}

TEST_F(LectureRecording, ATitleFromThePageStaysAFileOfTheFolder) {
    const std::string title = "../../$(touch pwned) \"q\"";
    const std::u16string address = site.routeLecture(5, "講座 | " + title, {"k05_1s"});
    ASSERT_EQ(record(address, 5), LectureRecorder::Outcome::Joined);
    const std::vector<std::string> files = LessonSite::filesIn(site.lectures);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0], "..%2F..%2F$(touch pwned) %22q%22.mp3");
    EXPECT_FALSE(fs::exists(site.work.native("pwned")));
    EXPECT_FALSE(fs::exists(site.lectures.parent_path() / "pwned"));
}

TEST_F(LectureRecording, AStopDuringARecordingEndsTheToolWithinASecondAndLeavesNothing) {
    const std::u16string address = site.routeLecture(6, "講座 | 第6回", {"k06a_1s", "k06b_slow"});
    std::atomic<bool> stop{false};
    work.shouldStop = [&] { return stop.load(); };
    std::atomic<LectureRecorder::Outcome> outcome{LectureRecorder::Outcome::Joined};
    Clock::time_point end;
    std::thread worker([&] {
        outcome = LectureRecorder(work).record(address, tags(6), LectureRow{[](auto&) {}, [](auto&) {}});
        end = Clock::now();
    });
    for (int i = 0; i < 1000 && site.toolPids().size() < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(site.toolPids().size(), 2u);
    const Clock::time_point asked = Clock::now();
    stop = true;
    worker.join();
    EXPECT_EQ(outcome.load(), LectureRecorder::Outcome::Stopped);
    EXPECT_LT(end - asked, std::chrono::seconds(1));
    EXPECT_TRUE(processGone(site.toolPids()[1]));
    // The first chapter stays for the next run; nothing half made is left.
    EXPECT_EQ(LessonSite::filesIn(site.lectures), (std::vector<std::string>{"第6回1.mp3"}));
}

// The dialog ------------------------------------------------------------------------------

TEST(LectureDialog, ItListsTheCourseAndARunRecordsAtMostFiveLectures) {
    LessonSite site;
    KokokozaDownloader dialog(site.hosts);
    ASSERT_TRUE(showModeless(nullptr, dialog));
    headless::pumpMessages();
    EXPECT_EQ(headless::title(dialog.handle()), u"Kokokoza Downloader");

    TableComponent& table = dialog.table();
    ASSERT_EQ(table.getRowCount(), 84);
    const std::vector<std::pair<std::u16string, int>> columns = {
        {u"Title", 128}, {u"URL", 0}, {u"Year", 32}, {u"Album", 64}, {u"Status", 35}};
    ASSERT_EQ(table.getColumnCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(table.column(i)->title, columns[static_cast<std::size_t>(i)].first);
        EXPECT_EQ(table.getColumnWidth(i), columns[static_cast<std::size_t>(i)].second);
    }
    EXPECT_EQ(table.getValueAt(0, KokokozaDownloader::UrlColumn), kokokoza::lectureAddress(site.host(), 1));
    EXPECT_EQ(table.getValueAt(83, KokokozaDownloader::UrlColumn), kokokoza::lectureAddress(site.host(), 84));
    EXPECT_EQ(table.getValueAt(5, KokokozaDownloader::YearColumn), u"2013");
    EXPECT_EQ(table.getValueAt(5, KokokozaDownloader::AlbumColumn), u"古典Ⅰ");
    EXPECT_EQ(table.getValueAt(5, KokokozaDownloader::TitleColumn), u"");
    EXPECT_TRUE(dialog.downloadButton().isEnabled());
    EXPECT_FALSE(dialog.stopButton().isEnabled());

    // Lecture 2 is there already: it does not count against the five.
    for (int n = 1; n <= 8; ++n)
        site.routeLecture(n, "講座 | 第" + std::to_string(n) + "回", {"k" + std::to_string(n) + "_1s"});
    fs::create_directories(site.lectures);
    { std::ofstream(site.lectures / "第2回.mp3") << "made before"; }

    dialog.startDownload();
    EXPECT_FALSE(dialog.downloadButton().isEnabled());
    EXPECT_TRUE(dialog.stopButton().isEnabled());
    ASSERT_TRUE(pumpUntil([&] { return !dialog.isRunning() && dialog.downloadButton().isEnabled(); }, 60000));
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(table.getValueAt(row, KokokozaDownloader::TitleColumn), wide("第" + std::to_string(row + 1) + "回"));
        EXPECT_EQ(table.getValueAt(row, KokokozaDownloader::StatusColumn), u"complete");
    }
    EXPECT_EQ(table.getValueAt(6, KokokozaDownloader::TitleColumn), u"");
    EXPECT_EQ(site.toolRuns().size(), 5u);
    EXPECT_EQ(probe(site.lectures / "第6回.mp3", "format_tags=track"), "6/84");
    EXPECT_FALSE(dialog.stopButton().isEnabled());
    EXPECT_TRUE(dialog.analyzeButton().isEnabled());

    if (const char* pictures = std::getenv("VELTRIX_SAVE_PICTURES"))
        headless::savePicture(dialog.handle(), std::string(pictures) + "/lecture-downloader.png");
    dialog.close(0);
    headless::pumpMessages();
}

}  // namespace
