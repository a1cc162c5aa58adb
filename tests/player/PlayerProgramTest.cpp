// The whole program as a learner uses it, on the headless display with SDL's
// silent real-time audio: open the sample lesson with Ctrl+O, play it and
// watch the highlight follow, play one sentence alone, slow it down, stamp a
// time, save, reopen, and close with unsaved edits. This executable lives in
// the program folder so that the audio modules, resources and sample are
// found where the program finds them.
//
// The audio library is set up once per process, as in the program, so the
// tests share one main window, in the order they are written here; the last
// one closes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "PDicWriter.h"
#include "ProgramSession.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "app/TestApp.h"
#include "lyrics/SentenceListFile.h"
#include "lyrics/TimeCode.h"
#include "platform/api/Toolbar.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "player/ConvertingDialog.h"
#include "support/TempDir.h"
#include "text/NarrowText.h"

namespace headless = veltrix::platform::headless;

namespace {

using Clock = std::chrono::steady_clock;

struct QuietHost : SentenceListHost {
    bool openAudio(const std::u16string&) override { return true; }
    std::u16string chooseAudioFile(std::u16string_view, const std::u16string&) override { return {}; }
    void showMessage(const std::u16string&, MessageOwner) override {}
};

class PlayerProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        session = std::make_unique<veltrix::test::ProgramSession>();
        app = &session->app();
    }
    static void TearDownTestSuite() {
        session.reset();
        app = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(headless::active());
        ASSERT_TRUE(app && IsWindow(app->handle()));
        // The sample is copied so that saving never touches the program's own.
        for (const char* name : {"AskingTheWay.mp3", "AskingTheWay.xml"})
            std::filesystem::copy_file(std::filesystem::path(appDirectory()) / "Samples" / name, folder.native(name));
        // The open dialog answers with the file the test chose.
        headless::setFileDialogResponder([this](const headless::FileDialogShown& shown) {
            dialogs.push_back(shown);
            return headless::FileDialogAnswer::choose(chosen);
        });
        run(50);
    }

    void TearDown() override {
        headless::setMessageBoxResponder(nullptr);
        headless::setFileDialogResponder(nullptr);
        if (app && IsWindow(app->handle()) && player().core().hasAudio()) {
            if (!player().core().isStopped()) ctrl('P');
            player().core().stopPlayback();
            player().lyricsView().setModified(false);
        }
        run(150);
    }

    Orvella& player() { return app->content(); }

    void run(int ms) { session->run(ms); }
    template <typename Done>
    bool runUntil(int ms, Done done) {
        return session->runUntil(ms, done);
    }
    void ctrl(int key, bool shift = false) { session->ctrl(key, shift); }
    std::u16string title() { return headless::title(app->handle()); }
    // A click on the tool bar's button for command.
    void clickToolButton(int command) {
        HWND bar = player().toolBar().handle();
        RECT r{};
        SendMessageW(bar, TB_GETRECT, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&r));
        POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(bar, &centre);
        headless::mouseMove(centre);
        headless::click(headless::Button::Left, centre);
        run(50);
    }
    std::u16string cell(int row, int column) { return player().lyricsTable().getValueAt(row, column); }
    std::u16string sentence(int row) { return cell(row, LyricsTable::Sentence); }
    void snapshot(const std::string& name) {
        std::filesystem::create_directories(std::filesystem::path(appDirectory()) / "pictures");
        headless::savePicture(app->handle(), (std::filesystem::path(appDirectory()) / "pictures" / name).string());
    }

    static inline std::unique_ptr<veltrix::test::ProgramSession> session;
    static inline TestApp* app = nullptr;
    TempDir folder;
    std::u16string chosen;
    std::vector<headless::FileDialogShown> dialogs;
};

}  // namespace

TEST_F(PlayerProgram, CommandsNeedingAudioDoNothingWithoutIt) {
    for (int key : {int{'P'}, int{'T'}, int{'E'}, int{'R'}, int{'J'}, int{'L'}, int{'S'}, VK_UP, VK_DOWN}) ctrl(key);
    ctrl('P', true);
    EXPECT_EQ(player().playCaption(), u"Play");
    EXPECT_FALSE(player().playEnabled());
    EXPECT_EQ(player().lyricsTable().getRowCount(), 0);
    EXPECT_EQ(title(), u"Orvella");

    // The explanation pane's check button needs no file.
    ASSERT_FALSE(player().explanationVisible());
    clickToolButton(Orvella::ExplanationPane);
    EXPECT_TRUE(player().explanationVisible());
    EXPECT_TRUE(IsWindowVisible(player().explanationPane().handle()));
    EXPECT_TRUE(SendMessageW(player().toolBar().handle(), TB_ISBUTTONCHECKED, Orvella::ExplanationPane, 0));
    clickToolButton(Orvella::ExplanationPane);
    EXPECT_FALSE(player().explanationVisible());
}

TEST_F(PlayerProgram, ALessonOpenedPlayedStampedSavedAndReopened) {
    chosen = folder.file("AskingTheWay.mp3");
    ctrl('O');
    ASSERT_EQ(dialogs.size(), 1u);
    ASSERT_FALSE(dialogs[0].filters.empty());
    EXPECT_EQ(dialogs[0].filters[0].first, u"Audio File (*.ogg,*.mp3,*.wma)");
    ASSERT_EQ(player().core().audioPath(), chosen);
    EXPECT_EQ(title(), chosen + u" - " + appBaseName());
    const int rows = player().lyricsTable().getRowCount();
    ASSERT_GE(rows, 5);
    EXPECT_EQ(player().lyricsView().selectedText(), sentence(0));
    EXPECT_TRUE(player().playEnabled());
    run(300);
    snapshot("player-daylight.png");
    player().applyTheme(1);
    run(50);
    snapshot("player-night.png");
    player().applyTheme(0);

    // Play: the highlight, the selected row's panes and the label follow the audio.
    ctrl('P');
    EXPECT_EQ(player().playCaption(), u"Pause");
    ASSERT_TRUE(runUntil(4000, [&] { return player().audio().getPosition() > 1200; }));
    EXPECT_EQ(player().lyricsView().selectedText(), sentence(0));
    EXPECT_EQ(player().translationPane().text(), cell(0, LyricsTable::Translation));
    EXPECT_EQ(player().timeLabel().substr(0, 5), u"00:01");
    player().editing().selectSentence(3);  // a click on row 3 seeks there
    ASSERT_TRUE(runUntil(2000, [&] {
        return player().audio().getPosition() > static_cast<int>(parseTimeCode(cell(3, LyricsTable::Start))) + 200;
    }));
    EXPECT_EQ(player().lyricsView().selectedText(), sentence(3));
    EXPECT_EQ(player().translationPane().text(), cell(3, LyricsTable::Translation));
    ctrl('P');  // pause
    EXPECT_EQ(player().playCaption(), u"Play");
    run(150);
    EXPECT_TRUE(player().audio().isPaused());

    // Ctrl+Down (here the tool bar's button), Ctrl+Shift+P: the next sentence
    // plays alone and stops at its end.
    clickToolButton(Orvella::NextSentence);
    ASSERT_EQ(player().lyricsTable().getSelectedRows(), std::vector<int>{4});
    ctrl('P', true);
    EXPECT_TRUE(player().audio().isPlaying());
    EXPECT_FALSE(player().playEnabled());
    const std::uint32_t end = parseTimeCode(cell(4, LyricsTable::End)) ? parseTimeCode(cell(4, LyricsTable::End))
                                                                       : parseTimeCode(cell(5, LyricsTable::Start));
    ASSERT_TRUE(runUntil(15000, [&] { return player().core().isStopped(); }));
    EXPECT_GE(player().core().rangeEnd(), end);
    EXPECT_TRUE(player().playEnabled());

    // Tempo 50: the file's position advances at half the speed of the clock.
    player().setTempoValue(50);
    ctrl('P');
    run(300);
    const int before = player().audio().getPosition();
    const auto started = Clock::now();
    run(1200);
    const double wall = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    const double rate = (player().audio().getPosition() - before) / wall;
    EXPECT_GT(rate, 0.3);
    EXPECT_LT(rate, 0.75);

    // Ctrl+T stamps the selected sentence's start with the position.
    player().lyricsTable().selectOnly(5);
    run(30);
    ctrl('T');
    const std::u16string stamped = cell(5, LyricsTable::Start);
    EXPECT_EQ(title().substr(0, 2), u"* ");
    ctrl('P');

    // Ctrl+S asks, and saves on Yes; reopening shows the stamped time.
    std::vector<headless::MessageBoxShown> asked;
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& box) {
        asked.push_back(box);
        return IDYES;
    });
    ctrl('S');
    headless::setMessageBoxResponder(nullptr);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, u"Save as XML file");
    EXPECT_EQ(asked[0].text, u"歌詞を AskingTheWay.xml に上書き保存しますか？");
    EXPECT_EQ(title(), chosen + u" - " + appBaseName());
    ctrl('O');
    EXPECT_EQ(cell(5, LyricsTable::Start), stamped);
}

// The lesson exported slower and higher from the player's menu: the file
// lasts its length x 100 / 80, an independent reader finds every sentence in
// its lyrics frame at start x 100 / 80, and the player opens it (no sentence
// list beside it) with the sentences at those times.
TEST_F(PlayerProgram, ALessonExportedAsMp3WithLyricsAtItsTempo) {
    chosen = folder.file("AskingTheWay.mp3");
    ctrl('O');
    ASSERT_EQ(player().core().audioPath(), chosen);
    const std::uint64_t sourceLength = player().audio().lengthMs;
    std::vector<std::u16string> sentences;
    std::vector<std::uint32_t> starts;
    for (std::size_t i = 0; i < player().lyricsView().timings().size(); ++i) {
        sentences.push_back(sentence(static_cast<int>(i)));
        starts.push_back(player().lyricsView().timings()[i].startMs);
    }
    ASSERT_GE(sentences.size(), 5u);
    player().setTempoValue(80);
    player().setPitchValue(113);  // about two semitones up

    std::vector<headless::MenuItemShown> items;
    headless::setMenuResponder([&](const headless::MenuShown& menu) {
        items = menu.items;
        return static_cast<int>(Orvella::kMenuSaveAsMp3);
    });
    std::vector<std::u16string> progress;
    headless::setDialogResponder([&](const headless::DialogShown& shown) {
        // Two ticks of its timer, then a look at it.
        auto* dialog =
            static_cast<ConvertingDialog*>(reinterpret_cast<Dialog*>(GetWindowLongPtrW(shown.dialog, GWLP_USERDATA)));
        dialog->onTimer(ConvertingDialog::kTimer, 0);
        dialog->onTimer(ConvertingDialog::kTimer, 0);
        WCHAR text[64] = {};
        GetWindowTextW(dialog->progressBar().handle(), text, 64);
        progress.push_back(text);
        const auto pictures = std::filesystem::path(appDirectory()) / "pictures";
        std::filesystem::create_directories(pictures);
        headless::savePicture(shown.dialog, (pictures / "converting.png").string());
        return headless::kLetItRun;
    });
    const std::u16string target = folder.file("AskingTheWay-slow.mp3");
    chosen = target;
    SendMessageW(player().handle(), WM_COMMAND, Orvella::PlayerMenu, 0);
    headless::setMenuResponder(nullptr);
    headless::setDialogResponder(nullptr);
    run(50);

    auto item = std::find_if(items.begin(), items.end(), [](const auto& i) { return i.id == Orvella::kMenuSaveAsMp3; });
    ASSERT_NE(item, items.end());
    EXPECT_EQ(item->text, u"Save &As MP3 File (with Lyrics)...");
    ASSERT_GE(dialogs.size(), 2u);
    EXPECT_EQ(dialogs.back().kind, headless::FileDialogKind::Save);
    EXPECT_EQ(dialogs.back().title, u"Save As MP3");
    ASSERT_FALSE(progress.empty());
    const std::string length = std::to_string(sourceLength);
    EXPECT_NE(progress[0].find(u"/" + std::u16string(length.begin(), length.end())), std::u16string::npos)
        << encodeCodePage(progress[0], 65001);
    ASSERT_TRUE(std::filesystem::exists(folder.native("AskingTheWay-slow.mp3")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 3) << "no temporary file left";

    // The player plays its own file again.
    EXPECT_EQ(player().core().audioPath(), folder.file("AskingTheWay.mp3"));
    EXPECT_TRUE(player().playEnabled());
    ctrl('P');
    ASSERT_TRUE(runUntil(3000, [&] { return player().audio().getPosition() > 300; }));
    ctrl('P');

    // ffmpeg decodes it at the new length.
    const std::string path = folder.native("AskingTheWay-slow.mp3").string();
    auto output = [](const std::string& command) {
        std::string text;
        if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            std::size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
            ::pclose(pipe);
        }
        return text;
    };
    const double seconds = std::atof(
        output("ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 '" + path + "'").c_str());
    EXPECT_NEAR(seconds * 1000, sourceLength * 100.0 / 80, sourceLength * 1.25 * 0.01);

    // mutagen reads every sentence at its scaled time. Debian's mutagen is
    // installed for the system's Python, which a Python of one's own may hide.
    const std::string listed = output(
        "/usr/bin/python3 -c 'import sys; from mutagen.id3 import ID3\n"
        "for text, ms in ID3(sys.argv[1]).getall(\"SYLT\")[0].text: print(\"%d\\t%s\" % (ms, text))' '" +
        path + "'");
    std::string expected;
    for (std::size_t i = 0; i < sentences.size(); ++i)
        expected += std::to_string(static_cast<std::uint32_t>(starts[i] * (100.0 / 80))) + "\t" +
                    encodeCodePage(sentences[i], 65001) + "\n";
    EXPECT_EQ(listed, expected);

    // Opened in the player, the sentences come from the tag at those times.
    chosen = target;
    ctrl('O');
    ASSERT_EQ(player().core().audioPath(), target);
    ASSERT_EQ(player().lyricsView().timings().size(), sentences.size());
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        EXPECT_EQ(sentence(static_cast<int>(i)), sentences[i]);
        EXPECT_EQ(player().lyricsView().timings()[i].startMs, static_cast<std::uint32_t>(starts[i] * (100.0 / 80)));
    }
    player().setTempoValue(100);
    player().setPitchValue(100);
}

TEST_F(PlayerProgram, ShortcutsWorkAfterAPathTypedIntoTheOpenDialog) {
    // As a learner does it: Ctrl+O, type the path, Return, then Ctrl+P.
    headless::setFileDialogResponder([&](const headless::FileDialogShown&) {
        headless::typeText(folder.file("AskingTheWay.mp3"));
        headless::pressKey(VK_RETURN);
        return headless::FileDialogAnswer::letItRun();
    });
    ctrl('O');
    run(100);
    ASSERT_EQ(player().core().audioPath(), folder.file("AskingTheWay.mp3"));
    ctrl('P');
    EXPECT_EQ(player().playCaption(), u"Pause");
    EXPECT_TRUE(runUntil(2000, [&] { return player().audio().getPosition() > 300; }));
}

TEST_F(PlayerProgram, AFileThatCannotBeDecodedLeavesTheLessonPlayable) {
    chosen = folder.file("AskingTheWay.mp3");
    ctrl('O');
    folder.write("broken.mp3", std::string(4096, 'x'));
    headless::setMessageBoxResponder([](const headless::MessageBoxShown&) { return IDOK; });
    chosen = folder.file("broken.mp3");
    ctrl('O');
    headless::setMessageBoxResponder(nullptr);
    EXPECT_EQ(player().core().audioPath(), folder.file("AskingTheWay.mp3"));
    EXPECT_GE(player().lyricsTable().getRowCount(), 5);
    ctrl('P');
    EXPECT_TRUE(runUntil(2000, [&] { return player().audio().getPosition() > 300; }));
}

// A broken theme list once failed in silence: the reader's message now says
// which file is broken, where, and the themes read before stay.
TEST_F(PlayerProgram, ABrokenThemeListShowsWhereItIsBrokenAndKeepsTheThemes) {
    const std::u16string shipped = appDirectory() + u"Resources/OrvellaThemeList.xml";
    folder.write("themes.xml", "<ThemeList>\n  <Theme name=\"Broken\" textColor=\"#ff0000\">\n</ThemeList>");
    std::vector<headless::MessageBoxShown> shown;
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& box) {
        shown.push_back(box);
        return IDOK;
    });
    EXPECT_FALSE(player().loadThemeList(folder.file("themes.xml")));
    EXPECT_FALSE(player().loadThemeList(folder.file("missing.xml")));
    headless::setMessageBoxResponder(nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, u"Veltrix");
    EXPECT_EQ(shown[0].owner, app->handle());
    EXPECT_NE(shown[0].text.find(u"Exception in XMLParser.parse()"), std::u16string::npos);
    EXPECT_NE(shown[0].text.find(u"Row:3 Col:11 in " + folder.file("themes.xml")), std::u16string::npos)
        << std::string(shown[0].text.begin(), shown[0].text.end());
    // The shipped themes are still there to choose from.
    player().applyTheme(0);
    EXPECT_TRUE(player().loadThemeList(shipped));
}

TEST_F(PlayerProgram, FilesDroppedListedOpenedRemovedAndRemembered) {
    for (const char* name : {"one.mp3", "two.mp3", "three.mp3", "four.mp3"})
        std::filesystem::copy_file(folder.native("AskingTheWay.mp3"), folder.native(name));
    folder.write("list.m3u", "#EXTM3U\r\n#EXTINF:3,Four\r\nfour.mp3\r\none.mp3\r\n");

    // Three files and a playlist dropped onto the lyrics view: all four listed, once each.
    RECT view{};
    GetWindowRect(player().lyricsView().handle(), &view);
    headless::dropFiles(
        {folder.file("one.mp3"), folder.file("two.mp3"), folder.file("three.mp3"), folder.file("list.m3u")},
        POINT{view.left + 40, view.top + 40});
    run(50);
    FileTable& files = player().fileTable();
    EXPECT_EQ(files.paths(), (std::vector<std::u16string>{folder.file("one.mp3"), folder.file("two.mp3"),
                                                          folder.file("three.mp3"), folder.file("four.mp3")}));
    EXPECT_EQ(player().channels().selectedIndex(), ChannelPane::kFileTab);
    EXPECT_TRUE(IsWindowVisible(files.handle()));
    snapshot("player-file-tab.png");

    // A double click opens a row; Return opens the selected one.
    auto rowPoint = [&](int row, int nudge) {
        const RECT r = files.rowRect(row);
        POINT p{r.left + 30 + nudge, (r.top + r.bottom) / 2};
        ClientToScreen(files.handle(), &p);
        return p;
    };
    headless::mouseMove(rowPoint(1, 0));
    headless::click(headless::Button::Left, rowPoint(1, 0));
    headless::click(headless::Button::Left, rowPoint(1, 0));
    run(100);
    EXPECT_EQ(player().core().audioPath(), folder.file("two.mp3"));
    headless::click(headless::Button::Left, rowPoint(2, 20));
    run(50);
    headless::pressKey(VK_RETURN);
    run(100);
    EXPECT_EQ(player().core().audioPath(), folder.file("three.mp3"));

    // Delete removes the selected row.
    SetFocus(files.handle());
    headless::pressKey(VK_DELETE);
    run(50);
    EXPECT_EQ(files.getRowCount(), 3);
    EXPECT_EQ(files.paths()[2], folder.file("four.mp3"));

    // Both opened files are remembered, the latest first, and come back from
    // the open button's arrow.
    const auto& recent = player().recentFiles().entries();
    ASSERT_GE(recent.size(), 2u);
    EXPECT_EQ(recent[0], folder.file("three.mp3"));
    EXPECT_EQ(recent[1], folder.file("two.mp3"));
    std::vector<std::u16string> offered;
    headless::setMenuResponder([&](const headless::MenuShown& menu) {
        for (const auto& item : menu.items) offered.push_back(item.text);
        return 2;
    });
    RECT open{};
    SendMessageW(player().toolBar().handle(), TB_GETRECT, Orvella::OpenFile, reinterpret_cast<LPARAM>(&open));
    POINT arrow{open.right - 4, (open.top + open.bottom) / 2};
    ClientToScreen(player().toolBar().handle(), &arrow);
    headless::mouseMove(arrow);
    headless::click(headless::Button::Left, arrow);
    run(100);
    headless::setMenuResponder(nullptr);
    ASSERT_GE(offered.size(), 2u);
    EXPECT_EQ(offered[0], folder.file("three.mp3"));
    EXPECT_EQ(offered.back(), u"Clear History");
    EXPECT_EQ(player().core().audioPath(), folder.file("two.mp3"));

    // The list saved as a playlist from the player's menu.
    headless::setMenuResponder([&](const headless::MenuShown& menu) {
        offered.clear();
        for (const auto& item : menu.items) offered.push_back(item.text);
        return static_cast<int>(Orvella::kMenuSavePlaylist);
    });
    chosen = folder.file("saved.m3u");
    SendMessageW(player().handle(), WM_COMMAND, Orvella::PlayerMenu, 0);
    run(50);
    headless::setMenuResponder(nullptr);
    EXPECT_NE(std::find(offered.begin(), offered.end(), u"Save As PlayList..."), offered.end());
    EXPECT_EQ(dialogs.back().title, u"Save as PlayList");
    const std::string saved = folder.read("saved.m3u");
    EXPECT_EQ(saved.rfind("#EXTM3U", 0), 0u);
    EXPECT_NE(saved.find("four.mp3"), std::string::npos);
    EXPECT_EQ(files.playlistPath(), folder.file("saved.m3u"));

    // What a restart reads back from the settings file.
    player().savePlayerSettings();
    RecentFileList restarted;
    restarted.load(settingsFilePath());
    ASSERT_GE(restarted.entries().size(), 2u);
    EXPECT_EQ(restarted.entries()[0], folder.file("two.mp3"));
    EXPECT_EQ(restarted.entries()[1], folder.file("three.mp3"));
}

// With nobody to answer (a signal ends the session), unsaved edits go to the
// audio's recovery file and the XML file on disk stays as it was; the next
// open of the audio offers them back.
TEST_F(PlayerProgram, UnsavedEditsKeptAtTheSessionsEndAreOfferedAtTheNextOpen) {
    TempDir state;
    ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    chosen = folder.file("AskingTheWay.mp3");
    ctrl('O');
    const std::string original = folder.read("AskingTheWay.xml");
    auto keepEdit = [&] {
        player().lyricsTable().selectOnly(1);
        ctrl('R');  // clears row 1's times: an edit
        ASSERT_EQ(title().substr(0, 2), u"* ");
        std::vector<std::u16string> asked;
        headless::setMessageBoxResponder([&](const headless::MessageBoxShown& box) {
            asked.push_back(box.text);
            return IDCANCEL;
        });
        EXPECT_EQ(SendMessageW(player().handle(), WM_QUERYENDSESSION, 0, ENDSESSION_CRITICAL), TRUE);
        EXPECT_TRUE(asked.empty()) << "nobody is there to answer";
        // For this test the session goes on after all.
        SendMessageW(player().handle(), WM_ENDSESSION, FALSE, ENDSESSION_CRITICAL);
        EXPECT_EQ(folder.read("AskingTheWay.xml"), original);
    };
    auto keptFiles = [&] {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::exists(state.native("veltrix")))
            for (const auto& entry : std::filesystem::directory_iterator(state.native("veltrix")))
                files.push_back(entry.path());
        return files;
    };
    keepEdit();
    auto kept = keptFiles();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].filename().string().rfind("AskingTheWay-", 0), 0u);
    EXPECT_EQ(kept[0].extension(), ".xml");
    SentenceList recovered;
    QuietHost host;
    recovered.setAudioPath(chosen);
    ASSERT_TRUE(readSentenceList(recovered, kept[0].u16string(), host));
    ASSERT_EQ(static_cast<int>(recovered.size()), player().lyricsTable().getRowCount());
    EXPECT_EQ(recovered.rows()[1].start, u"00:00:00");
    EXPECT_EQ(recovered.rows()[2].start, cell(2, LyricsTable::Start));

    // No: the edits are dropped, and with them the file.
    std::vector<headless::MessageBoxShown> offers;
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& box) {
        offers.push_back(box);
        return IDNO;
    });
    player().lyricsView().setModified(false);
    ctrl('O');
    ASSERT_EQ(offers.size(), 1u);
    EXPECT_NE(offers[0].text.find(u"復元しますか"), std::u16string::npos);
    EXPECT_EQ(offers[0].caption, u"Veltrix");
    EXPECT_EQ(cell(1, LyricsTable::Start), u"00:05:70");
    EXPECT_NE(title().substr(0, 2), u"* ");
    EXPECT_TRUE(keptFiles().empty());

    // Yes: the edits are back, unsaved, and a save goes to the lesson's own file.
    keepEdit();
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& box) {
        offers.push_back(box);
        return IDYES;
    });
    player().lyricsView().setModified(false);
    ctrl('O');
    ASSERT_EQ(offers.size(), 2u);
    EXPECT_EQ(cell(1, LyricsTable::Start), u"00:00:00");
    EXPECT_EQ(title().substr(0, 2), u"* ");
    EXPECT_TRUE(keptFiles().empty());
    EXPECT_EQ(player().editing().document().xmlPath(), folder.file("AskingTheWay.xml"));
    ::unsetenv("XDG_STATE_HOME");
}

// The panes are refilled on every change of sentence without a record; an
// undo in a pane afterwards used to replay the typing against the new text
// and wipe it, and Ctrl+J then wrote the wiped pane into the saved file.
TEST_F(PlayerProgram, PaneEditsSurviveSentenceChangesUndoAndSave) {
    chosen = folder.file("AskingTheWay.mp3");
    ctrl('O');
    ASSERT_GE(player().lyricsTable().getRowCount(), 4);
    TextEditor& pane = player().translationPane();
    auto typeInto = [&](TextEditor& editor, const std::u16string& text) {
        SetFocus(editor.getHandle());
        headless::key(VK_CONTROL, true);
        headless::pressKey(VK_END);
        headless::key(VK_CONTROL, false);
        headless::typeText(text);
        run(30);
    };
    auto undoIn = [&](TextEditor& editor, int times) {
        SetFocus(editor.getHandle());
        for (int i = 0; i < times; ++i) ctrl('Z');
    };

    player().lyricsTable().selectOnly(1);
    run(30);
    const std::u16string second = cell(1, LyricsTable::Translation);
    const std::u16string third = cell(2, LyricsTable::Translation);
    ASSERT_EQ(pane.text(), second);
    typeInto(pane, u" (mine)");
    ctrl('J');  // into row 1
    EXPECT_EQ(cell(1, LyricsTable::Translation), second + u" (mine)");
    typeInto(pane, u" and more, never applied");

    ctrl(VK_DOWN);  // the next sentence: the pane shows row 2
    ASSERT_EQ(player().lyricsTable().getSelectedRows(), std::vector<int>{2});
    EXPECT_EQ(pane.text(), third);
    undoIn(pane, 40);
    undoIn(player().lyricsView(), 5);
    EXPECT_EQ(pane.text(), third);
    ctrl('J');  // the pane as shown goes into row 2
    ctrl(VK_UP);
    EXPECT_EQ(pane.text(), second + u" (mine)");
    undoIn(pane, 3);

    std::vector<std::u16string> shownTranslations, shownExplanations;
    for (int row = 0; row < player().lyricsTable().getRowCount(); ++row) {
        shownTranslations.push_back(cell(row, LyricsTable::Translation));
        shownExplanations.push_back(cell(row, LyricsTable::Explanation));
    }
    headless::setMessageBoxResponder([](const headless::MessageBoxShown&) { return IDYES; });
    ctrl('S');
    headless::setMessageBoxResponder(nullptr);
    EXPECT_EQ(title(), chosen + u" - " + appBaseName());  // saved: no "* "

    SentenceList saved;
    QuietHost host;
    saved.setAudioPath(chosen);
    ASSERT_TRUE(readSentenceList(saved, folder.file("AskingTheWay.xml"), host));
    ASSERT_EQ(saved.rows().size(), shownTranslations.size());
    for (std::size_t row = 0; row < saved.rows().size(); ++row) {
        EXPECT_EQ(saved.rows()[row].translation, shownTranslations[row]) << "row " << row;
        EXPECT_EQ(saved.rows()[row].explanation, shownExplanations[row]) << "row " << row;
    }
    EXPECT_EQ(saved.rows()[1].translation, second + u" (mine)");
    EXPECT_EQ(saved.rows()[2].translation, third);
}

TEST_F(PlayerProgram, RowsDraggedToANewPlaceTakeTheLyricsAndTimingsWithThem) {
    chosen = folder.file("AskingTheWay.mp3");
    ctrl('O');
    LyricsTable& table = player().lyricsTable();
    ASSERT_GE(table.getRowCount(), 5);
    std::vector<std::u16string> before;
    for (int row = 0; row < table.getRowCount(); ++row) before.push_back(sentence(row));
    auto cellCentre = [&](int row, int column, int dy) {
        RECT r{LVIR_BOUNDS, column, 0, 0};
        SendMessageW(table.handle(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        POINT p{r.left + 10, dy < 0 ? (r.top + r.bottom) / 2 : r.top + dy};
        ClientToScreen(table.handle(), &p);
        return p;
    };
    table.selectOnly(1);
    run(30);
    // Row 1 dragged by its text onto the upper half of row 4: it goes before it.
    const POINT from = cellCentre(1, LyricsTable::Sentence, -1);
    const POINT to = cellCentre(4, LyricsTable::Sentence, 2);
    headless::mouseButton(headless::Button::Left, true, from);
    run(20);
    headless::mouseMove(POINT{from.x, (from.y + to.y) / 2});
    headless::mouseMove(to);
    headless::mouseButton(headless::Button::Left, false, to);
    run(50);

    std::vector<std::u16string> expected = before;
    expected.erase(expected.begin() + 1);
    expected.insert(expected.begin() + 3, before[1]);
    std::u16string joined;
    for (int row = 0; row < table.getRowCount(); ++row) {
        EXPECT_EQ(sentence(row), expected[static_cast<std::size_t>(row)]) << "row " << row;
        ASSERT_LT(row, player().lyricsView().sentenceCount());
        const SentenceTiming& timing = player().lyricsView().timings()[static_cast<std::size_t>(row)];
        EXPECT_EQ(timing.startMs, parseTimeCode(cell(row, LyricsTable::Start))) << "row " << row;
        EXPECT_EQ(timing.textOffset, static_cast<std::int32_t>(joined.size())) << "row " << row;
        joined += sentence(row);
    }
    EXPECT_EQ(player().lyricsView().text(), joined);
    // The moved row stays selected and shown, and the change is one to save.
    EXPECT_EQ(table.getSelectedRows(), std::vector<int>{3});
    EXPECT_EQ(player().lyricsView().selectedText(), before[1]);
    EXPECT_EQ(title().substr(0, 2), u"* ");
}

TEST_F(PlayerProgram, WordsLookedUpAddedSavedAndReopened) {
    // The learner's dictionary, in a Dictionaries folder of its own.
    std::filesystem::create_directories(folder.native("Dictionaries/PDIC"));
    std::vector<veltrix::test::PDicEntry> entries;
    for (const char16_t* word : {u"excuse", u"station", u"straight", u"street", u"turn"})
        entries.push_back({word, std::u16string(u"訳 ") + word, u"", u"", 2, {}});
    ASSERT_TRUE(veltrix::test::writePDic(folder.native("Dictionaries/PDIC/english.dic"), entries, {}));
    WordListDialog& dialog = player().wordListDialog();
    dialog.pane().setDictionaryRoot(folder.path().u16string() + u"/");

    chosen = folder.file("AskingTheWay.mp3");
    ctrl('O');
    ASSERT_EQ(player().core().audioPath(), chosen);
    ctrl('W');
    ASSERT_TRUE(dialog.handle() && IsWindowVisible(dialog.handle()));
    WordListPane& pane = dialog.pane();
    EXPECT_EQ(GetFocus(), pane.keyField().handle());
    const auto clickOn = [&](HWND window, int x, int y) {
        POINT at{x, y};
        ClientToScreen(window, &at);
        headless::mouseMove(at);
        headless::click(headless::Button::Left, at);
        run(30);
    };
    // Three words: type, wait for the hits, click the first, press "New".
    for (const char16_t* typed : {u"stations", u"turning", u"excused"}) {
        SetFocus(pane.keyField().handle());
        pane.keyField().setSelection(0, -1);
        headless::typeText(typed);
        ASSERT_TRUE(runUntil(3000, [&] { return pane.resultTable().getRowCount() > 0; }));
        const RECT row = pane.resultTable().rowRect(0);
        clickOn(pane.resultTable().handle(), row.left + 30, (row.top + row.bottom) / 2);
        clickOn(pane.newButton().handle(), 10, 8);
        pane.resultTable().removeAllRows();
    }
    ASSERT_EQ(pane.wordTable().getRowCount(), 3);
    RECT ok{};
    GetClientRect(dialog.okButton().handle(), &ok);
    clickOn(dialog.okButton().handle(), ok.right / 2, ok.bottom / 2);
    EXPECT_EQ(dialog.handle(), nullptr);
    EXPECT_EQ(title().substr(0, 2), u"* ") << "new words are an unsaved edit";

    headless::setMessageBoxResponder([](const headless::MessageBoxShown&) { return IDYES; });
    ctrl('S');
    headless::setMessageBoxResponder(nullptr);
    const std::string bytes = folder.read("AskingTheWay.xml");
    ASSERT_GE(bytes.size(), 2u);
    std::u16string text((bytes.size() - 2) / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                        static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
    const auto word = [](const char16_t* key) {
        return std::u16string(u"\t<Word level=\"2\">\r\n\t\t<key>\r\n\t\t\t<![CDATA[") + key +
               u"]]>\r\n\t\t</key>\r\n\t\t<value>\r\n\t\t\t<![CDATA[訳 " + key +
               u"]]>\r\n\t\t</value>\r\n\t</Word>\r\n";
    };
    const std::u16string block =
        u"\">\r\n<WordList>\r\n" + word(u"station") + word(u"turn") + word(u"excuse") + u"</WordList>\r\n<id3>";
    EXPECT_NE(text.find(block), std::u16string::npos);

    // Reopened, the words are the file's; this time the player's menu opens the list.
    player().editing().document().wordList().clear();
    ctrl('O');
    std::vector<std::u16string> offered;
    headless::setMenuResponder([&](const headless::MenuShown& menu) {
        for (const auto& item : menu.items) offered.push_back(item.text);
        return static_cast<int>(Orvella::kMenuWordList);
    });
    SendMessageW(player().handle(), WM_COMMAND, Orvella::PlayerMenu, 0);
    run(50);
    headless::setMenuResponder(nullptr);
    EXPECT_NE(std::find(offered.begin(), offered.end(), u"Open Word List...\tCtrl+W"), offered.end());
    ASSERT_TRUE(dialog.handle());
    std::vector<std::u16string> keys;
    for (int r = 0; r < dialog.pane().wordTable().getRowCount(); ++r)
        keys.push_back(dialog.pane().wordTable().getValueAt(r, WordListPane::Key));
    EXPECT_EQ(keys, (std::vector<std::u16string>{u"station", u"turn", u"excuse"}));

    // Ctrl+W on the open dialog brings it 160 pixels left of and above the pointer.
    headless::mouseMove(POINT{500, 400});
    ctrl('W');
    RECT placed{};
    GetWindowRect(dialog.handle(), &placed);
    EXPECT_EQ(placed.left, 340);
    EXPECT_EQ(placed.top, 240);
    headless::mouseMove(POINT{60, 100});
    ctrl('W');
    GetWindowRect(dialog.handle(), &placed);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, 0);
    dialog.close(0);
    player().lyricsView().setModified(false);
}

TEST_F(PlayerProgram, ClosingWithUnsavedEditsAsksFirst) {
    chosen = folder.file("AskingTheWay.mp3");
    ctrl('O');
    player().lyricsTable().selectOnly(1);
    ctrl('R');  // clears row 1's times: an edit
    EXPECT_EQ(title().substr(0, 2), u"* ");
    std::vector<std::u16string> asked;
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& box) {
        asked.push_back(box.text);
        return IDCANCEL;
    });
    headless::closeWindow(app->handle());
    run(50);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(IsWindow(app->handle())) << "Cancel keeps the window and the edits";
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown&) { return IDYES; });
    headless::closeWindow(app->handle());
    run(50);
    headless::setMessageBoxResponder(nullptr);
    EXPECT_FALSE(IsWindow(app->handle()));
    // Yes saved the edit before closing.
    SentenceList saved;
    QuietHost host;
    saved.setAudioPath(folder.file("AskingTheWay.mp3"));
    ASSERT_TRUE(readSentenceList(saved, folder.file("AskingTheWay.xml"), host));
    EXPECT_EQ(saved.rows()[1].start, u"00:00:00");
}
