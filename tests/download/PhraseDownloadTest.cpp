// The phrase downloader against a phrase site on 127.0.0.1 and the stand-in
// stream recorder in the test program's Plugins/: reading a phrase page into
// a sentence group with its voice, the script left for a refused stream,
// voice names a page could use to escape or run something, stopping a
// recording, and the dialog: analysing, downloading, saving, deleting.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>

#include "LessonSite.h"
#include "app/Paths.h"
#include "download/GogakuruDownloader.h"
#include "download/PhrasePageReader.h"
#include "download/ShellScript.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "xml/XMLParser.h"

namespace headless = veltrix::platform::headless;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::u16string wide(const std::string& text) { return fs::path(text).u16string(); }
std::u16string wide(const fs::path& path) { return path.u16string(); }

std::u16string childText(const Element& group, int index) {
    const Element* child = group.firstChild();
    for (int i = 0; child && i < index; ++i) child = child->next();
    return child ? child->getCDataText() : std::u16string();
}

POINT centreOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Collects the message boxes shown while it lives, answering each with OK.
struct Boxes {
    std::vector<std::u16string> texts;
    std::mutex lock;
    Boxes() {
        headless::setMessageBoxResponder([this](const headless::MessageBoxShown& box) {
            std::lock_guard guard(lock);
            texts.push_back(box.text);
            return IDOK;
        });
    }
    ~Boxes() { headless::setMessageBoxResponder({}); }
    std::vector<std::u16string> taken() {
        std::lock_guard guard(lock);
        return std::exchange(texts, {});
    }
};

struct PhraseReading : ::testing::Test {
    LessonSite site;
    PhraseWork work{site.hosts};
    std::vector<std::u16string> told;

    void SetUp() override {
        work.tell = [this](const std::u16string& text) { told.push_back(text); };
    }
    std::u16string streamAddress(const std::string& path) const { return work.addresses.streamBase + wide(path); }
};

TEST_F(PhraseReading, AVoicedPageGivesItsTextsAndItsVoiceAsAnMp3) {
    const std::u16string url = site.routePhrase(
        "1024", LessonSite::phrasePage("Could you <b>say</b> that again?", "もう一度言っていただけますか。",
                                       "聞き返すときの丁寧な表現。", "gogakuru/voice/phrase1024_2s"));
    const std::unique_ptr<Element> group = PhrasePageReader(work).read(url + u"?from=list");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->getName(), u"SentenceGroup");
    EXPECT_EQ(childText(*group, 0), u"Could you <b>say</b> that again?");
    EXPECT_EQ(childText(*group, 1), u"もう一度言っていただけますか。");
    EXPECT_EQ(childText(*group, 2), u"聞き返すときの丁寧な表現。");
    const fs::path voice = site.voices / "phrase1024_2s.mp3";
    EXPECT_EQ(group->getAttribute(u"voice"), wide(voice));
    EXPECT_TRUE(told.empty());

    // The recorder was asked for exactly this stream, as the player, into voices/.
    const auto runs = site.toolRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], (std::vector<std::u16string>{u"-r", streamAddress("gogakuru/voice/phrase1024_2s"), u"-s",
                                                    work.addresses.playerAddress, u"-o",
                                                    wide(site.voices / "phrase1024_2s.flv")}));
    // What remains is the voice alone, whole: two seconds of MP3.
    EXPECT_EQ(LessonSite::filesIn(site.voices), (std::vector<std::string>{"phrase1024_2s.mp3"}));
    EXPECT_EQ(probe(voice, "stream=codec_name"), "mp3");
    EXPECT_NEAR(std::stod(probe(voice, "format=duration")), 2.0, 0.1);
}

TEST_F(PhraseReading, AVoiceAlreadyThereIsUsedWithoutRecordingIt) {
    fs::create_directories(site.voices);
    { std::ofstream(site.voices / "phrase7.mp3") << "an earlier voice"; }
    const std::u16string url =
        site.routePhrase("7", LessonSite::phrasePage("Hi.", "やあ。", "", "gogakuru/voice/phrase7"));
    const std::unique_ptr<Element> group = PhrasePageReader(work).read(url);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->getAttribute(u"voice"), wide(site.voices / "phrase7.mp3"));
    EXPECT_TRUE(site.toolRuns().empty());
}

TEST_F(PhraseReading, ARefusedStreamLeavesAScriptThatRepeatsTheRecording) {
    const std::u16string url =
        site.routePhrase("8", LessonSite::phrasePage("No voice.", "声なし。", "", "gogakuru/voice/short8"));
    const std::unique_ptr<Element> group = PhrasePageReader(work).read(url);
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->hasAttribute(u"voice"));
    EXPECT_EQ(childText(*group, 0), u"No voice.");
    EXPECT_TRUE(LessonSite::filesIn(site.voices).empty());

    // The script in the current folder runs the very same recording.
    const std::string script = site.work.read("gogakuru.sh");
    ASSERT_TRUE(script.starts_with("#!/bin/sh\n")) << script;
    ASSERT_EQ(std::system("sh gogakuru.sh"), 0);
    const auto runs = site.toolRuns();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1], runs[0]);
}

TEST_F(PhraseReading, ARecordingThatFailsOrIsNoFlvGivesNoVoiceAndLeavesNothing) {
    for (const std::string stream : {"gogakuru/voice/fail9", "gogakuru/voice/notflv9", "gogakuru/voice/", "novoice"}) {
        SCOPED_TRACE(stream);
        const std::u16string url = site.routePhrase("9", LessonSite::phrasePage("S.", "T.", "E.", stream));
        const std::unique_ptr<Element> group = PhrasePageReader(work).read(url);
        ASSERT_NE(group, nullptr);
        EXPECT_FALSE(group->hasAttribute(u"voice"));
        EXPECT_TRUE(LessonSite::filesIn(site.voices).empty());
    }
    EXPECT_FALSE(fs::exists(site.work.native("gogakuru.sh")));
    // Only the two with a name were recorded.
    EXPECT_EQ(site.toolRuns().size(), 2u);
}

TEST_F(PhraseReading, VoiceNamesFromThePageNeitherLeaveTheFolderNorRunAnything) {
    const std::vector<std::string> names = {"a \"quoted\" name_1s",
                                            "$(touch pwned)_1s",
                                            "`touch pwned2`;touch pwned3_1s",
                                            "..",
                                            ".",
                                            "-rf_1s",
                                            "back\\slash_1s",
                                            std::string(300, 'l') + "_1s",
                                            "音声 ファイル_1s"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name.substr(0, 40));
        const std::string stream = "gogakuru/voice/" + name;
        const std::u16string url = site.routePhrase("11", LessonSite::phrasePage("S.", "T.", "E.", stream));
        const std::size_t before = site.toolRuns().size();
        const std::unique_ptr<Element> group = PhrasePageReader(work).read(url);
        ASSERT_NE(group, nullptr);
        const auto runs = site.toolRuns();
        ASSERT_EQ(runs.size(), before + 1);
        // The whole address reached the tool as one argument ...
        EXPECT_EQ(runs.back()[1], streamAddress(stream));
        // ... and it wrote into the voice folder itself.
        const fs::path flv(runs.back()[5]);
        EXPECT_EQ(flv.parent_path(), site.voices.parent_path() / "voices");
        EXPECT_LE(flv.filename().string().size(), 255u);
        const std::u16string voice = group->getAttribute(u"voice");
        ASSERT_FALSE(voice.empty());
        EXPECT_EQ(fs::path(voice).parent_path(), site.voices);
        EXPECT_TRUE(fs::exists(voice));
    }
    for (const char* pwned : {"pwned", "pwned2", "pwned3"}) {
        EXPECT_FALSE(fs::exists(site.work.native(pwned)));
        EXPECT_FALSE(fs::exists(site.voices / pwned));
        EXPECT_FALSE(fs::exists(fs::path(appDirectory()) / pwned));
    }
    // Every voice is a file of the folder; nothing was made beside it.
    for (const auto& entry : fs::directory_iterator(site.voices)) EXPECT_TRUE(entry.is_regular_file());
    EXPECT_FALSE(fs::exists(site.voices.parent_path() / ".mp3"));
}

TEST_F(PhraseReading, APageWithoutItsContentIsNoGroupAndTheLearnerIsTold) {
    const std::u16string url = site.routePhrase("12", "<html><body><p class=\"en\">moved</p></body></html>");
    EXPECT_EQ(PhrasePageReader(work).read(url), nullptr);
    EXPECT_EQ(told,
              (std::vector<std::u16string>{u"phrase_main_padding が見つからない為ダウンロードできませんでした。"}));

    told.clear();
    const std::u16string open = site.routePhrase(
        "13", "<div class=\"phrase_main_padding\"><p class=\"en\"><span>Hello</span></p><p class=\"jp\">途中");
    const std::unique_ptr<Element> group = PhrasePageReader(work).read(open);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(childText(*group, 0), u"Hello");
    EXPECT_EQ(childText(*group, 1), u"");
    EXPECT_EQ(told, (std::vector<std::u16string>{u"</p>"}));

    EXPECT_EQ(PhrasePageReader(work).read(site.routePhrase("14", "")), nullptr);
    EXPECT_EQ(PhrasePageReader(work).read(wide(site.server.url("/english/phrase/404"))), nullptr);
    EXPECT_EQ(PhrasePageReader(work).read(u"http://elsewhere.test/english/phrase/1"), nullptr);
    EXPECT_TRUE(site.toolRuns().empty());
}

TEST_F(PhraseReading, AStopDuringARecordingEndsTheToolWithinASecondAndLeavesNothing) {
    const std::u16string url =
        site.routePhrase("15", LessonSite::phrasePage("S.", "T.", "E.", "gogakuru/voice/slow15"));
    std::atomic<bool> stop{false};
    work.shouldStop = [&] { return stop.load(); };
    std::atomic<bool> returned{false};
    Clock::time_point end;
    std::thread worker([&] {
        PhrasePageReader(work).read(url);
        end = Clock::now();
        returned = true;
    });
    // Once the recorder has written half a recording and waits.
    for (int i = 0; i < 500 && !fs::exists(site.voices / "slow15.flv"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(site.toolPids().size(), 1u);
    const Clock::time_point asked = Clock::now();
    stop = true;
    worker.join();
    EXPECT_LT(end - asked, std::chrono::seconds(1));
    EXPECT_TRUE(processGone(site.toolPids()[0]));
    EXPECT_TRUE(LessonSite::filesIn(site.voices).empty());
}

// The dialog ------------------------------------------------------------------------------

struct PhraseDialog : ::testing::Test {
    LessonSite site;
    GogakuruDownloader dialog{site.hosts};
    Boxes boxes;

    void SetUp() override {
        ASSERT_TRUE(showModeless(nullptr, dialog));
        headless::pumpMessages();
    }
    void TearDown() override {
        headless::setFileDialogResponder({});
        dialog.close(0);
        headless::pumpMessages();
    }
    void press(Button& button) {
        headless::click(headless::Button::Left, centreOf(button.handle()));
        headless::pumpMessages();
    }
    std::u16string cell(int row, int column) { return dialog.table().getValueAt(row, column); }
    bool idle() { return !dialog.isRunning() && dialog.downloadButton().isEnabled(); }
    std::u16string phraseAddress(const std::string& id) { return wide(site.server.url("/english/phrase/" + id)); }
};

TEST_F(PhraseDialog, ItsWindowHasTheLayoutAndTheStartingButtons) {
    EXPECT_EQ(headless::title(dialog.handle()), u"Gogakuru Downloader");
    RECT window{};
    GetWindowRect(dialog.handle(), &window);
    EXPECT_EQ(window.right - window.left, 640);
    EXPECT_EQ(window.bottom - window.top, 480);
    RECT field{};
    GetWindowRect(dialog.urlField().handle(), &field);
    MapWindowPoints(nullptr, dialog.handle(), reinterpret_cast<POINT*>(&field), 2);
    EXPECT_EQ(field.left, 50);
    EXPECT_EQ(field.right - field.left, 390);
    const std::vector<std::pair<std::u16string, int>> columns = {
        {u"URL", 100}, {u"Sentence", 100}, {u"Translation", 75}, {u"Explanation", 60}, {u"Voice", 35}};
    ASSERT_EQ(dialog.table().getColumnCount(), 6);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dialog.table().column(i)->title, columns[static_cast<std::size_t>(i)].first);
        EXPECT_EQ(dialog.table().getColumnWidth(i), columns[static_cast<std::size_t>(i)].second);
    }
    EXPECT_EQ(dialog.table().column(5)->title, u"Status");
    EXPECT_TRUE(dialog.analyzeButton().isEnabled());
    EXPECT_FALSE(dialog.downloadButton().isEnabled());
    EXPECT_FALSE(dialog.stopButton().isEnabled());
    EXPECT_FALSE(dialog.deleteButton().isEnabled());
    EXPECT_EQ(dialog.urlField().text(), wide("http://" + fs::path(site.host()).string() + "/???"));
}

TEST_F(PhraseDialog, ATypedPhraseAddressBecomesOneRowWithoutItsQuery) {
    const std::string typed = fs::path(site.host()).string() + "/english/phrase/12?from=top";
    dialog.urlField().setText(wide(typed));
    press(dialog.analyzeButton());
    ASSERT_EQ(dialog.table().getRowCount(), 1);
    EXPECT_EQ(cell(0, GogakuruDownloader::UrlColumn), phraseAddress("12"));
    EXPECT_EQ(cell(0, GogakuruDownloader::SentenceColumn), gogakuru::kTypedRowSentence);
    EXPECT_EQ(dialog.rememberedUrl(), wide("http://" + typed));
    EXPECT_TRUE(dialog.downloadButton().isEnabled());
    // Once only: analysed again, the listed page is read for its links instead.
    site.routePhrase("12", "<a href='/english/phrase/12'>this page</a>");
    EXPECT_TRUE(dialog.analyze());
    EXPECT_EQ(dialog.table().getRowCount(), 1);
    EXPECT_EQ(boxes.taken(), std::vector<std::u16string>{});
}

TEST_F(PhraseDialog, AListPageGivesItsPhrasePagesOnceEach) {
    site.server.route(
        "/english/list/3",
        HttpTestServer::page("<a href='/english/phrase/100'>a</a><a href='/english/phrase/101?p=2'>b</a><a "
                             "href='/english/phrase/100'>a</a>"
                             "<a href='/english/phrase/102.html'>page</a><a href='/english/phrase/new'>new</a>"
                             "<a href='/english/list/4'>next</a><a href='/english/phrase/103#top'>c</a>"));
    dialog.urlField().setText(wide(site.server.url("/english/list/3")));
    EXPECT_TRUE(dialog.analyze());
    ASSERT_EQ(dialog.table().getRowCount(), 2);
    EXPECT_EQ(cell(0, 0), phraseAddress("100"));
    EXPECT_EQ(cell(1, 0), phraseAddress("101"));
    EXPECT_EQ(cell(0, 1), u"");
    EXPECT_EQ(dialog.rememberedUrl(), wide(site.server.url("/english/list/3")));
}

TEST_F(PhraseDialog, AnalysingTheDefaultAForeignSiteOrADeadPage) {
    dialog.setUrl(u"http://" + site.host() + u"/???");
    EXPECT_FALSE(dialog.analyze());
    EXPECT_TRUE(boxes.taken().empty());

    dialog.urlField().setText(u"http://elsewhere.test/english/list");
    EXPECT_FALSE(dialog.analyze());
    EXPECT_EQ(boxes.taken(), (std::vector<std::u16string>{u"この URL はサポートしてません(´・ω・`)！"}));

    dialog.urlField().setText(wide(site.server.url("/english/list/gone")));
    EXPECT_FALSE(dialog.analyze());
    EXPECT_EQ(boxes.taken(), (std::vector<std::u16string>{u"HTML を取得できませんでした！"}));
    EXPECT_EQ(dialog.table().getRowCount(), 0);
    EXPECT_EQ(dialog.rememberedUrl(), u"http://" + site.host() + u"/???");
}

TEST_F(PhraseDialog, DownloadFillsTheRowsSavesThemAndASecondRunSkipsTheDoneOnes) {
    site.routePhrase("201",
                     LessonSite::phrasePage("Good morning.", "おはよう。", "朝の挨拶。", "gogakuru/voice/p201_1s"));
    site.routePhrase("202", "<html><body>maintenance</body></html>");
    site.routePhrase("203", LessonSite::phrasePage("See <i>you</i>.", "またね。", "", "gogakuru/voice/p203_1s"));
    for (const char* id : {"201", "202", "203"}) dialog.addRow(phraseAddress(id), u"");

    std::vector<headless::FileDialogShown> asked;
    const fs::path saved = site.work.path() / "lesson.xml";
    headless::setFileDialogResponder([&](const headless::FileDialogShown& shown) {
        asked.push_back(shown);
        return headless::FileDialogAnswer::choose(saved.u16string());
    });
    press(dialog.downloadButton());
    EXPECT_FALSE(dialog.analyzeButton().isEnabled());
    EXPECT_FALSE(dialog.downloadButton().isEnabled());
    EXPECT_TRUE(dialog.stopButton().isEnabled());
    ASSERT_TRUE(pumpUntil([&] { return idle() && !asked.empty(); }));

    EXPECT_EQ(cell(0, GogakuruDownloader::StatusColumn), u"OK");
    EXPECT_EQ(cell(1, GogakuruDownloader::StatusColumn), u"Failed");
    EXPECT_EQ(cell(2, GogakuruDownloader::StatusColumn), u"OK");
    EXPECT_EQ(cell(0, GogakuruDownloader::SentenceColumn), u"Good morning.");
    EXPECT_EQ(cell(2, GogakuruDownloader::TranslationColumn), u"またね。");
    EXPECT_EQ(cell(0, GogakuruDownloader::VoiceColumn), wide(site.voices / "p201_1s.mp3"));
    EXPECT_EQ(boxes.taken(),
              (std::vector<std::u16string>{u"phrase_main_padding が見つからない為ダウンロードできませんでした。"}));
    EXPECT_FALSE(dialog.stopButton().isEnabled());
    EXPECT_TRUE(dialog.analyzeButton().isEnabled());

    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].title, u"xml 保存先を選んでください");
    EXPECT_EQ(asked[0].fileName, u"gogakuru.xml");
    ASSERT_EQ(asked[0].filters.size(), 1u);
    EXPECT_EQ(asked[0].filters[0], (std::pair<std::u16string, std::u16string>{u"XML File", u"*.xml"}));

    // The file: UTF-16 with its mark, one group per row, the voice on the sentence.
    const std::string bytes = site.work.read("lesson.xml");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    XMLParser parser;
    ASSERT_TRUE(parser.parse(saved.u16string()));
    EXPECT_EQ(parser.getRoot()->getName(), u"SentenceList");
    const std::vector<Element*> groups = parser.getElementsByTagName(u"SentenceGroup");
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(childText(*groups[0], 0), u"Good morning.");
    EXPECT_EQ(childText(*groups[0], 2), u"朝の挨拶。");
    EXPECT_EQ(groups[0]->firstChild()->getAttribute(u"voice"), wide(site.voices / "p201_1s.mp3"));
    EXPECT_FALSE(groups[1]->firstChild()->hasAttribute(u"voice"));
    EXPECT_EQ(childText(*groups[2], 0), u"See <i>you</i>.");
    EXPECT_EQ(site.toolRuns().size(), 2u);

    // Again: only the failed row is read once more.
    site.routePhrase("202", LessonSite::phrasePage("Back.", "戻った。", "", "gogakuru/voice/p202_1s"));
    const std::size_t requests = site.server.requests().size();
    asked.clear();
    dialog.startDownload();
    ASSERT_TRUE(pumpUntil([&] { return idle() && !asked.empty(); }));
    EXPECT_EQ(cell(1, GogakuruDownloader::StatusColumn), u"OK");
    EXPECT_EQ(site.server.requests().size(), requests + 1);
    EXPECT_EQ(site.toolRuns().size(), 3u);
}

TEST_F(PhraseDialog, StopDuringARecordingEndsItWithinASecondAndSavesNothing) {
    site.routePhrase("301", LessonSite::phrasePage("S.", "T.", "E.", "gogakuru/voice/slow301"));
    dialog.addRow(phraseAddress("301"), u"");
    bool asked = false;
    headless::setFileDialogResponder([&](const headless::FileDialogShown&) {
        asked = true;
        return headless::FileDialogAnswer::cancel();
    });
    press(dialog.downloadButton());
    ASSERT_TRUE(pumpUntil([&] { return fs::exists(site.voices / "slow301.flv") && !site.toolPids().empty(); }));
    const Clock::time_point pressed = Clock::now();
    press(dialog.stopButton());
    EXPECT_LT(Clock::now() - pressed, std::chrono::seconds(1));
    EXPECT_FALSE(dialog.isRunning());
    EXPECT_TRUE(processGone(site.toolPids()[0]));
    EXPECT_TRUE(LessonSite::filesIn(site.voices).empty());
    EXPECT_EQ(cell(0, GogakuruDownloader::StatusColumn), u"");
    EXPECT_FALSE(dialog.stopButton().isEnabled());
    EXPECT_TRUE(dialog.downloadButton().isEnabled());
    EXPECT_TRUE(dialog.analyzeButton().isEnabled());
    headless::pumpMessages();
    EXPECT_FALSE(asked);
}

TEST_F(PhraseDialog, DeleteRemovesTheSelectedRowsAndFollowsTheSelection) {
    for (const char* id : {"1", "2", "3", "4"}) dialog.addRow(phraseAddress(id), u"");
    EXPECT_FALSE(dialog.deleteButton().isEnabled());
    dialog.table().selectRow(1);
    dialog.table().selectRange(1, 2, Table::Keep::Nothing);
    EXPECT_TRUE(dialog.deleteButton().isEnabled());
    press(dialog.deleteButton());
    ASSERT_EQ(dialog.table().getRowCount(), 2);
    EXPECT_EQ(cell(0, 0), phraseAddress("1"));
    EXPECT_EQ(cell(1, 0), phraseAddress("4"));
    EXPECT_FALSE(dialog.deleteButton().isEnabled());

    // The Delete key in the table does the same.
    dialog.table().selectRow(0);
    SetFocus(dialog.table().handle());
    headless::pressKey(VK_DELETE);
    headless::pumpMessages();
    ASSERT_EQ(dialog.table().getRowCount(), 1);
    EXPECT_EQ(cell(0, 0), phraseAddress("4"));
}

}  // namespace
