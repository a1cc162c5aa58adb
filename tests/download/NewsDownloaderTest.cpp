// The news downloader with its dialog, against a stand-in of the site on a
// local server: a normal day saved byte for byte, a weekend, escaped file
// names, the MP3 rename, hostile pages (a climbing title, broken markers, a
// 64 MB page, a server that stops mid-page), the hand-over of log lines, and
// closing the dialog while the worker waits on the network.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "NewsSite.h"
#include "download/HttpClient.h"
#include "download/NHK_NewsEnglishDialog.h"
#include "lyrics/SentenceListBuilders.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/TempDir.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"
#include "toolkit/Graphics.h"
#include "toolkit/ToolkitTestSupport.h"
#include "xml/XMLParser.h"

using namespace veltrix::test;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::u16string wide(const std::string& text) { return decodeCodePage(text, CP_UTF8); }

// Pumps the window thread's messages until done() holds; false after limit.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s) {
    const auto until = Clock::now() + limit;
    for (;;) {
        headless::pumpMessages();
        if (done()) return true;
        if (Clock::now() > until) return false;
        std::this_thread::sleep_for(2ms);
    }
}

// Reports collected from a worker without a dialog.
class RecordingListener : public DownloadListener {
public:
    void downloadFinished() override { end(u"<finished>"); }
    void downloadFailed() override { end(u"<failed>"); }
    void downloadMessage(const std::u16string& text) override {
        std::lock_guard guard(lock_);
        lines_.push_back(text);
        if (text == u"stop!") ended_.notify_all();
    }
    std::vector<std::u16string> waitForEnd() {
        std::unique_lock guard(lock_);
        ended_.wait_for(guard, 30s, [&] {
            return !lines_.empty() && (lines_.back().front() == u'<' || lines_.back() == u"stop!");
        });
        return lines_;
    }

private:
    void end(const std::u16string& what) {
        std::lock_guard guard(lock_);
        lines_.push_back(what);
        ended_.notify_all();
    }
    std::mutex lock_;
    std::condition_variable ended_;
    std::vector<std::u16string> lines_;
};

std::string utf16FileBytes(const std::u16string& text) { return "\xFF\xFE" + encodeText(text, encoding::kUtf16LE); }

class NewsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(headless::active());
        folder = dir.path() / "lessons";
        fs::create_directories(folder);
        headless::setFileDialogResponder([this](const headless::FileDialogShown& shown) {
            fileDialogs.push_back(shown);
            if (!answerSave) return headless::FileDialogAnswer::cancel();
            return headless::FileDialogAnswer::choose(wide((folder / "").string()) + shown.fileName);
        });
    }
    void TearDown() override {
        dialog.reset();
        headless::setFileDialogResponder(nullptr);
        headless::pumpMessages();
    }

    // Opens the dialog on the server's site with the day picked and no pause
    // between requests (the pause itself is a test of its own).
    void open(bool withKeywords = true, bool renameMp3 = false,
              std::chrono::milliseconds interval = std::chrono::milliseconds(0)) {
        SiteHosts hosts;
        hosts.newsSite = newssite::hostOf(server);
        dialog = std::make_unique<NHK_NewsEnglishDialog>(hosts);
        dialog->setOptions(withKeywords, renameMp3);
        dialog->downloader().setPageInterval(interval);
        ASSERT_TRUE(showModeless(frame.handle(), *dialog));
        SYSTEMTIME day{};
        day.wYear = 2015;
        day.wMonth = 5;
        day.wDay = 20;
        SendMessageW(dialog->datePicker().handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&day));
        headless::pumpMessages();
    }
    // Clicks "Download..." as the learner does.
    void clickDownload() {
        RECT r{};
        GetWindowRect(dialog->downloadButton().handle(), &r);
        const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        headless::mouseMove(centre);
        headless::click(headless::Button::Left, centre);
        headless::pumpMessages();
    }
    // A whole run from the click until the button is enabled again.
    void download() {
        clickDownload();
        ASSERT_FALSE(dialog->downloadButton().isEnabled() && dialog->downloader().isRunning());
        ASSERT_TRUE(pumpUntil([&] {
            return dialog->downloadButton().isEnabled() && !dialog->downloader().isRunning();
        })) << ::testing::PrintToString(logText());
    }
    std::u16string logText() { return dialog->log().text(); }
    std::u16string host() { return newssite::hostOf(server); }
    std::u16string hostUrl(const std::string& target) { return wide(server.url(target)); }
    std::vector<std::string> targets() {
        std::vector<std::string> out;
        for (const auto& request : server.requests()) out.push_back(request.target);
        return out;
    }
    std::vector<fs::path> filesUnder(const fs::path& path) {
        std::vector<fs::path> out;
        for (const auto& entry : fs::recursive_directory_iterator(path)) out.push_back(entry.path());
        std::sort(out.begin(), out.end());
        return out;
    }

    HttpTestServer server;
    TempDir dir;
    fs::path folder;
    RecordingFrame frame;
    std::unique_ptr<NHK_NewsEnglishDialog> dialog;
    std::vector<headless::FileDialogShown> fileDialogs;
    bool answerSave = true;
};

}  // namespace

namespace {

// The worker alone, reporting to a recording listener.
class NewsWorker : public ::testing::Test {
protected:
    void SetUp() override {
        downloader.setHost(newssite::hostOf(server));
        downloader.setDate(u"20150520");
        downloader.setPageInterval(0ms);
    }
    std::vector<std::string> targets() {
        std::vector<std::string> out;
        for (const auto& request : server.requests()) out.push_back(request.target);
        return out;
    }

    HttpTestServer server;
    RecordingListener listener;
    NHK_NewsEnglishDonwloader downloader{&listener};
};

}  // namespace

TEST_F(NewsWorker, ANormalDayReportsEachStepInOrderAndFetchesARepeatedLinkOnce) {
    newssite::serveNormalDay(server);
    downloader.setWithKeywords(true);
    ASSERT_TRUE(downloader.start());
    const auto lines = listener.waitForEnd();
    const std::u16string base = newssite::hostOf(server);
    EXPECT_EQ(lines, (std::vector<std::u16string>{
                         u"Start downloading...",
                         u"Retrieved the ID3 tag.",
                         u"k",
                         u"Retrieved the WordList.",
                         u"Start retrieving sentence groups.\r\nURL: http://" + base +
                             u"/e-news/elearning/explain.cgi?ymd=20150520&type=news",
                         u"Retrieved a sentence group.",
                         u"Retrieved a sentence group.",
                         u"Start retrieving keyword groups.\r\nURL: http://" + base +
                             u"/e-news/elearning/explain.cgi?ymd=20150520&type=keyword",
                         u"Retrieved a sentence group.",
                         u"<finished>",
                     }));
    downloader.stop();
    EXPECT_EQ(targets(),
              (std::vector<std::string>{newssite::dayTarget(), newssite::newsListTarget(),
                                        newssite::explanationTarget("news", 1), newssite::explanationTarget("news", 2),
                                        newssite::keywordListTarget(), newssite::explanationTarget("keyword", 1)}));
    EXPECT_EQ(downloader.title(), u"Economy Grows - ニュースで英会話");
    EXPECT_EQ(downloader.root()->toString(), newssite::expectedNormalDay(base, true)->toString());
}

TEST_F(NewsWorker, APageThatIsItselfAnExplanationGivesOneGroup) {
    server.route(newssite::dayTarget(), HttpTestServer::page(newssite::weekendPage()));
    server.route(newssite::newsListTarget(), HttpTestServer::page(newssite::newsPageWithSpan()));
    ASSERT_TRUE(downloader.start());
    const auto lines = listener.waitForEnd();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], u"Retrieved one sentence group.");
    EXPECT_EQ(lines.back(), u"<finished>");
    downloader.stop();
    EXPECT_EQ(downloader.root()->getChildren().size(), 2u);  // the empty word list and the group
    EXPECT_EQ(downloader.title(), u"");
}

TEST_F(NewsWorker, StoppingDuringThePauseEndsTheRunAtOnceWithStop) {
    newssite::serveNormalDay(server);
    downloader.setPageInterval(NHK_NewsEnglishDonwloader::kPageInterval);
    ASSERT_TRUE(downloader.start());
    while (server.requests().empty()) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(50ms);  // inside the pause before the programme information
    const auto asked = Clock::now();
    downloader.stop();
    // Far less than the pause: the worker noticed the flag inside it.
    EXPECT_LT(Clock::now() - asked, 500ms);
    EXPECT_EQ(listener.waitForEnd().back(), u"stop!");
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(NewsDialog, ChildrenTextsPlacesAndTooltipAsTheLearnerSeesThem) {
    open(false, true);
    EXPECT_EQ(headless::title(dialog->handle()), NHK_NewsEnglishDialog::kTitle);
    RECT window{};
    GetWindowRect(dialog->handle(), &window);
    EXPECT_EQ(window.right - window.left, 450);
    EXPECT_EQ(window.bottom - window.top, 360);
    struct Child {
        std::u16string text;
        RECT place;
    };
    std::vector<Child> children;
    for (HWND child = GetWindow(dialog->handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        WCHAR text[128] = {};
        GetWindowTextW(child, text, 128);
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog->handle(), reinterpret_cast<POINT*>(&r), 2);
        children.push_back({text, r});
    }
    ASSERT_GE(children.size(), 6u);
    auto expectChild = [&](std::size_t i, const std::u16string& text, RECT place) {
        SCOPED_TRACE(i);
        if (!text.empty()) {
            EXPECT_EQ(children[i].text, text);
        }
        EXPECT_EQ(children[i].place.left, place.left);
        EXPECT_EQ(children[i].place.top, place.top);
        EXPECT_EQ(children[i].place.right, place.right);
        EXPECT_EQ(children[i].place.bottom, place.bottom);
    };
    // The designed places, widened only where this display's font needs
    // more room for a caption (the date and the button then move along).
    const int labelRight = children[0].place.right;
    EXPECT_GE(labelRight, 158);
    expectChild(0, u"Choose English News Date:", {8, 12, labelRight, 30});
    expectChild(1, u"2015/05/20", {labelRight, 8, labelRight + 120, 28});
    expectChild(2, u"Download...", {labelRight + 124, 8, labelRight + 204, 28});
    expectChild(3, u"Download Keyword Sentences", {8, 30, 248, 50});
    const int renameRight = children[4].place.right;
    EXPECT_GE(renameRight, 248);
    EXPECT_LE(renameRight, 450 - 8);
    expectChild(4, u"Rename an MP3 file downloaded with CaptureStream", {8, 50, renameRight, 70});
    Graphics measure(1, 1);
    measure.setFont(dialog->renameBox().font());
    EXPECT_LE(measure.getTextWidth(std::u16string(u"Choose English News Date:")), labelRight - 8);
    EXPECT_LE(measure.getTextWidth(dialog->renameBox().getText()) + 20, renameRight - 8);
    RECT client{};
    GetClientRect(dialog->handle(), &client);
    expectChild(5, u"", {0, NHK_NewsEnglishDialog::kLogTop, client.right, client.bottom});
    EXPECT_FALSE(dialog->keywordsBox().isChecked());
    EXPECT_TRUE(dialog->renameBox().isChecked());

    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = dialog->renameBox().handle();
    WCHAR tip[256] = {};
    tool.lpszText = tip;
    SendMessageW(dialog->renameBox().toolTipWindow(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::u16string(tip),
              u"「ニュースで英会話（読み直し音声）_xxxx_xx_xx.mp3」が\r\nxml ファイル保存先にあれば\r\n"
              u"xml ファイルと同じ名前にリネームします。");
    headless::savePicture(dialog->handle(), "news-dialog.png");
}

TEST_F(NewsDialog, ANormalDayIsSavedByteForByteAsTheSentenceListOfTheDay) {
    newssite::serveNormalDay(server);
    open(true);
    download();
    headless::savePicture(dialog->handle(), "news-dialog-saved.png");
    const std::u16string name = u"2015_05_20_Economy Grows - ニュースで英会話.xml";
    const std::u16string url = hostUrl(newssite::newsListTarget());
    const std::u16string keywords = hostUrl(newssite::keywordListTarget());
    EXPECT_EQ(logText(),
              u"Start downloading...\r\nRetrieved the ID3 tag.\r\nk\r\nRetrieved the WordList.\r\n"
              u"Start retrieving sentence groups.\r\nURL: " +
                  url +
                  u"\r\n"
                  u"Retrieved a sentence group.\r\nRetrieved a sentence group.\r\n"
                  u"Start retrieving keyword groups.\r\nURL: " +
                  keywords +
                  u"\r\n"
                  u"Retrieved a sentence group.\r\n" +
                  name + u"\r\n\r\nEnd !!\r\n");

    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_EQ(fileDialogs[0].kind, headless::FileDialogKind::Save);
    EXPECT_EQ(fileDialogs[0].title, u"保存先を選んでください");
    EXPECT_EQ(fileDialogs[0].fileName, name);
    EXPECT_EQ(fileDialogs[0].owner, dialog->handle());
    ASSERT_EQ(fileDialogs[0].filters.size(), 1u);
    EXPECT_EQ(fileDialogs[0].filters[0], (std::pair<std::u16string, std::u16string>{u"XML File", u"*.xml"}));

    const fs::path saved = folder / "2015_05_20_Economy Grows - ニュースで英会話.xml";
    ASSERT_TRUE(fs::exists(saved));
    const std::u16string expected = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n" +
                                    newssite::expectedNormalDay(host(), true)->toString() + u"\r\n";
    TempDir read;
    const std::string bytes = [&] {
        fs::copy_file(saved, read.native("saved.xml"));
        return read.read("saved.xml");
    }();
    EXPECT_EQ(bytes, utf16FileBytes(expected));
    // And as text, independently of any serialiser: the groups' CDATA at
    // their depth, the words' meanings.
    std::u16string text;
    decodeBytes(bytes.data(), bytes.size(), text, encoding::kDetect);
    EXPECT_NE(text.find(u"\t\t<sentence>\r\n\t\t\t<![CDATA[The economy grew by 2.4 percent.\r\n]]>\r\n\t\t</sentence>"),
              std::u16string::npos);
    XMLParser parser;
    ASSERT_TRUE(parser.parse(read.file("saved.xml")));
    EXPECT_EQ(parser.getElementsByTagName(u"SentenceGroup").size(), 3u);
    EXPECT_EQ(parser.getElementsByTagName(u"Word").size(), 2u);

    // The same dialog downloads again, into a fresh log, and replaces the file.
    headless::setMessageBoxResponder([](const headless::MessageBoxShown&) { return IDYES; });
    download();
    headless::setMessageBoxResponder(nullptr);
    EXPECT_EQ(logText().rfind(u"Start downloading...", 0), 0u);
    EXPECT_EQ(fileDialogs.size(), 2u);
}

TEST_F(NewsDialog, AWeekendDayFailsWithTheExactTextAndTheDialogIsUsableAgain) {
    server.route(newssite::dayTarget(), HttpTestServer::page(newssite::weekendPage()));
    server.route(newssite::newsListTarget(), HttpTestServer::page(newssite::weekendPage()));
    open(false);
    download();
    const std::u16string url = hostUrl(newssite::newsListTarget());
    EXPECT_EQ(logText(),
              u"Start downloading...\r\nRetrieved the WordList.\r\n"
              u"Start retrieving sentence groups.\r\nURL: " +
                  url +
                  u"\r\n"
                  u"--- exception! ---\r\n" +
                  url + u"\r\nNot found any sentence in the html.\r\nTry another day (Monday-Friday).\r\n");
    EXPECT_TRUE(fileDialogs.empty());
    EXPECT_TRUE(filesUnder(folder).empty());
    // Command 2 as Escape sends it saves nothing: only the worker's counts.
    SendMessageW(dialog->handle(), WM_COMMAND, NHK_NewsEnglishDialog::kFinishedCommand, 0);
    EXPECT_TRUE(fileDialogs.empty());

    newssite::serveNormalDay(server);
    download();
    EXPECT_EQ(fileDialogs.size(), 1u);
    EXPECT_EQ(filesUnder(folder).size(), 1u);
}

TEST_F(NewsDialog, AColonAndAQuestionMarkInTheTitleAreEscapedInTheFileName) {
    newssite::serveNormalDay(server, "Who Pays? Tax: Now");
    open(false);
    download();
    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_EQ(fileDialogs[0].fileName, u"2015_05_20_Who Pays%3F Tax%3A Now - ニュースで英会話.xml");
    EXPECT_TRUE(fs::exists(folder / "2015_05_20_Who Pays%3F Tax%3A Now - ニュースで英会話.xml"));
}

TEST_F(NewsDialog, CancellingTheSaveDialogReportsItAndSavesNothing) {
    newssite::serveNormalDay(server);
    answerSave = false;
    open(false);
    download();
    const std::u16string log = logText();
    const std::u16string end =
        u"Retrieved a sentence group.\r\n2015_05_20_Economy Grows - ニュースで英会話.xml\r\n"
        u"\r\nFailed GetSaveFileName: Error:0x0\r\n";
    ASSERT_GE(log.size(), end.size());
    EXPECT_EQ(log.substr(log.size() - end.size()), end);
    EXPECT_TRUE(filesUnder(folder).empty());
    EXPECT_TRUE(dialog->downloadButton().isEnabled());
}

TEST_F(NewsDialog, TheDaysRecordingIsRenamedBesideTheSentenceList) {
    newssite::serveNormalDay(server);
    const fs::path recording = folder / "ニュースで英会話（読み直し音声）_2015_05_20.mp3";
    TempDir scratch;
    scratch.write("a.mp3", "ID3 audio");
    fs::copy_file(scratch.native("a.mp3"), recording);
    open(false, true);
    download();
    const fs::path renamed = folder / "2015_05_20_Economy Grows - ニュースで英会話.mp3";
    EXPECT_FALSE(fs::exists(recording));
    ASSERT_TRUE(fs::exists(renamed));
    const std::u16string log = logText();
    const std::u16string folderText = wide((folder / "").string());
    EXPECT_NE(log.find(u"\r\nExist:" + folderText + u"ニュースで英会話（読み直し音声）_2015_05_20.mp3\r\nRename:" +
                       folderText + u"2015_05_20_Economy Grows - ニュースで英会話.mp3\r\n\r\nEnd !!\r\n"),
              std::u16string::npos)
        << ::testing::PrintToString(log);
}

TEST_F(NewsDialog, AnExistingTargetIsLeftUntouchedByTheRename) {
    newssite::serveNormalDay(server);
    TempDir scratch;
    scratch.write("a.mp3", "the day's recording");
    scratch.write("b.mp3", "an older file of the same name");
    const fs::path recording = folder / "ニュースで英会話（読み直し音声）_2015_05_20.mp3";
    const fs::path target = folder / "2015_05_20_Economy Grows - ニュースで英会話.mp3";
    fs::copy_file(scratch.native("a.mp3"), recording);
    fs::copy_file(scratch.native("b.mp3"), target);
    open(false, true);
    download();
    EXPECT_TRUE(fs::exists(recording));
    const std::u16string log = logText();
    EXPECT_NE(log.find(u"\r\nExist:"), std::u16string::npos);
    EXPECT_EQ(log.find(u"Rename:"), std::u16string::npos);
    TempDir check;
    fs::copy_file(target, check.native("t"));
    EXPECT_EQ(check.read("t"), "an older file of the same name");
}

TEST_F(NewsDialog, AClimbingTitleWritesNothingOutsideTheChosenFolder) {
    newssite::serveNormalDay(server, "../../x");
    TempDir scratch;
    scratch.write("a.mp3", "audio");
    fs::copy_file(scratch.native("a.mp3"), folder / "ニュースで英会話（読み直し音声）_2015_05_20.mp3");
    open(false, true);
    download();
    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_EQ(fileDialogs[0].fileName, u"2015_05_20_..%2F..%2Fx - ニュースで英会話.xml");
    EXPECT_EQ(filesUnder(dir.path()),
              (std::vector<fs::path>{folder, folder / "2015_05_20_..%2F..%2Fx - ニュースで英会話.mp3",
                                     folder / "2015_05_20_..%2F..%2Fx - ニュースで英会話.xml"}));
}

TEST_F(NewsDialog, BrokenMarkersGiveAClearLineAndTheDialogIsUsableAgain) {
    newssite::serveNormalDay(server);
    server.route(newssite::explanationTarget("news", 2),
                 HttpTestServer::page("<div id=\"elearning_explain\"><dd>Only a sentence<span>x<br />y</dd>"));
    open(false);
    download();
    const std::u16string page = hostUrl(newssite::explanationTarget("news", 2));
    const std::u16string log = logText();
    EXPECT_EQ(log.substr(log.find(u"--- exception! ---")),
              u"--- exception! ---\r\n" + page + u"\r\nNot found <dd>\r\n");
    EXPECT_TRUE(fileDialogs.empty());

    // A link that leads off the site is refused before any request.
    server.route(newssite::newsListTarget(),
                 HttpTestServer::page("<a href=\"@evil.test/e-news/elearning/explain.cgi?&id=1\">x</a>"));
    const std::size_t before = server.requests().size();
    download();
    EXPECT_NE(logText().find(u"@evil.test/e-news/elearning/explain.cgi?&id=1\r\nthis url is invalid\r\n"),
              std::u16string::npos);
    EXPECT_EQ(server.requests().size(), before + 2);  // the day page and the list only
}

TEST_F(NewsDialog, A64MegabytePageIsReadWhole) {
    // A day page at the client's cap, its markers at the far end behind a
    // million repeats of one word, which the walk passes with a "k" each.
    const std::string day = newssite::dayPage();
    const std::string word = "<span data-word=\"grow\" data-jp=\"x\" data-type=\"y\">grow</span>\n";
    std::string huge;
    huge.reserve(http::kMaxPageBytes);
    while (huge.size() + word.size() + day.size() <= http::kMaxPageBytes) huge += word;
    huge.resize(http::kMaxPageBytes - day.size(), ' ');
    huge += day;
    ASSERT_EQ(huge.size(), http::kMaxPageBytes);
    const std::size_t repeats = (huge.size() - day.size()) / word.size();
    newssite::serveNormalDay(server);
    server.route(newssite::dayTarget(), HttpTestServer::page(std::move(huge)));
    open(false);
    download();
    const std::u16string log = logText();
    EXPECT_EQ(log.rfind(u"Start downloading...\r\nRetrieved the ID3 tag.\r\nk\r\nk\r\n", 0), 0u);
    // Every repeat but the first is reported, and "grow" is listed once.
    std::size_t reported = 0;
    for (std::size_t at = log.find(u"\r\nk\r\n"); at != std::u16string::npos; at = log.find(u"\r\nk\r\n", at + 3))
        ++reported;
    EXPECT_EQ(reported, repeats + 2 - 1);
    EXPECT_NE(log.find(u"\r\n\r\nEnd !!\r\n"), std::u16string::npos);
    EXPECT_EQ(filesUnder(folder).size(), 1u);
}

TEST_F(NewsDialog, AListPageThatCannotBeFetchedGivesAClearLine) {
    newssite::serveNormalDay(server);
    server.route(newssite::newsListTarget(), HttpTestServer::status(404, "Not Found", "<html>gone</html>"));
    open(false);
    download();
    const std::u16string log = logText();
    EXPECT_EQ(log.substr(log.find(u"--- exception! ---")), u"--- exception! ---\r\n" +
                                                               hostUrl(newssite::newsListTarget()) +
                                                               u"\r\nCoundn't get the html file from this url.\r\n");
    EXPECT_TRUE(dialog->downloadButton().isEnabled());
}

TEST_F(NewsDialog, AServerThatStopsMidPageGivesAClearLineAfterItsTimeOut) {
    newssite::serveNormalDay(server);
    HttpTestServer::Response stalled = HttpTestServer::page(newssite::newsPageWithAudio() + std::string(20000, ' '));
    stalled.stallAfter = 100;
    server.route(newssite::explanationTarget("news", 1), stalled);
    open(false);
    download();
    const std::u16string page = hostUrl(newssite::explanationTarget("news", 1));
    const std::u16string log = logText();
    EXPECT_EQ(log.substr(log.find(u"--- exception! ---")),
              u"--- exception! ---\r\n" + page + u"\r\nthis url is invalid\r\n\r\n");
    EXPECT_TRUE(filesUnder(folder).empty());
}

TEST_F(NewsDialog, ClosingWhileTheWorkerWaitsOnTheNetworkEndsTheRunAtOnce) {
    newssite::serveNormalDay(server);
    HttpTestServer::Response silent;
    silent.silent = true;
    server.route(newssite::newsListTarget(), silent);
    open(false, false, NHK_NewsEnglishDonwloader::kPageInterval);
    clickDownload();
    ASSERT_TRUE(pumpUntil([&] { return server.requests().size() == 2; }));
    std::this_thread::sleep_for(100ms);  // the request is in progress
    const auto asked = Clock::now();
    headless::closeWindow(dialog->handle());
    headless::pumpMessages();
    // Well inside the client's 5000 ms time-out: the request was cancelled.
    EXPECT_LT(Clock::now() - asked, 1000ms);
    EXPECT_EQ(dialog->handle(), nullptr);
    EXPECT_FALSE(dialog->downloader().isRunning());
    EXPECT_TRUE(fileDialogs.empty());

    // Opened again, the dialog works as before.
    server.route(newssite::newsListTarget(), HttpTestServer::page(newssite::listPage("news", {1})));
    ASSERT_TRUE(showModeless(frame.handle(), *dialog));
    dialog->downloader().setPageInterval(0ms);
    SYSTEMTIME day{2015, 5, 3, 20, 0, 0, 0, 0};
    SendMessageW(dialog->datePicker().handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&day));
    download();
    EXPECT_EQ(fileDialogs.size(), 1u);
}

TEST_F(NewsDialog, EveryLineReachesTheLogWholeAndInOrder) {
    open(false);
    // Lines from another thread while this one also gets command 1 from the
    // Return key; every line shows once, whole, in order.
    constexpr int kLines = 3000;
    std::thread worker([&] {
        for (int i = 0; i < kLines; ++i) {
            const std::string line = "line " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 7), '.');
            dialog->downloadMessage(wide(line));
        }
    });
    for (int i = 0; i < 50; ++i) {
        SendMessageW(dialog->handle(), WM_COMMAND, IDOK, 0);
        headless::pumpMessages();
    }
    worker.join();
    std::u16string expected;
    for (int i = 0; i < kLines; ++i)
        expected += wide("line " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 7), '.')) + u"\r\n";
    ASSERT_TRUE(pumpUntil([&] { return logText().size() >= expected.size(); }));
    EXPECT_EQ(logText(), expected);
}
