// The study modes on the SDL display of a virtual X server, driven by real
// key presses through the X test extension on the sample lesson: F8 hides the
// sentences and takes what is typed, Return marks it and keeps the score; F5
// starts and ends the loop; Ctrl+F5 changes the repeat count. Runs under
// xvfb-run from the program folder; without an X display it skips itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/AcceleratorTable.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "app/TestApp.h"
#include "platform/display/Headless.h"
#include "support/ProgramLoop.h"
#include "support/TempDir.h"
#include "support/XDesktop.h"
#include "text/NarrowText.h"

// Last: X's macros (None, Bool) would break the program's headers.
#include <X11/keysym.h>

using namespace veltrix::test;

TEST(StudyOnX, DictationAndTheLoopFromTheKeyboard) {
    ::unsetenv("VELTRIX_DISPLAY");
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::unique_ptr<XDesktop> x = XDesktop::open();
    if (!x) GTEST_SKIP() << "no X display with the XTEST extension";

    TempDir folder;
    setNarrowCodePage(932);
    std::filesystem::remove(std::filesystem::path(settingsFilePath()));
    prepareSettingsFile();
    fillProgramAccelerators(AcceleratorTable::instance());
    TestApp app(folder.file("window.ini"));
    ASSERT_TRUE(app.createMainWindow());
    if (veltrix::platform::headless::active()) GTEST_SKIP() << "SDL2 found no video driver";
    ShowWindow(app.handle(), SW_SHOWNORMAL);
    for (const char* name : {"AskingTheWay.mp3", "AskingTheWay.xml"})
        std::filesystem::copy_file(std::filesystem::path(appDirectory()) / "Samples" / name, folder.native(name));
    Orvella& player = app.content();
    ASSERT_TRUE(player.openFile(folder.file("AskingTheWay.mp3")));
    runUntil(app, 400, [] { return false; });

    // Without a window manager the keyboard follows the pointer: into the table, on row 2.
    LyricsTable& table = player.lyricsTable();
    RECT cell{LVIR_BOUNDS, LyricsTable::Sentence, 0, 0};
    SendMessageW(table.handle(), LVM_GETSUBITEMRECT, 2, reinterpret_cast<LPARAM>(&cell));
    POINT p{cell.left + 10, (cell.top + cell.bottom) / 2};
    ClientToScreen(table.handle(), &p);
    x->moveTo(p.x, p.y);
    runUntil(app, 60, [] { return false; });
    x->click(1);
    ASSERT_TRUE(runUntil(app, 2000, [&] { return table.getSelectedRows() == std::vector<int>{2}; }));

    StudyTools& study = player.study();
    x->press(XK_F8);
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return study.dictationOn(); }));
    EXPECT_FALSE(IsWindowVisible(player.lyricsView().handle()));
    ASSERT_TRUE(runUntil(app, 1000, [&] { return GetFocus() == study.dictationPane().input().handle(); }));
    x->type("Is it FAR from here");
    x->press(XK_Return);
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return study.scores().find(2) != nullptr; }));
    EXPECT_EQ(study.scores().find(2)->lastRight, 5);
    EXPECT_EQ(study.dictationPane().heading(), u"Sentence 3 of 8    best 5 of 5 words, 1 try");
    EXPECT_TRUE(std::filesystem::exists(folder.native("AskingTheWay.dictation.txt")));
    x->press(XK_F8);
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return !study.dictationOn(); }));
    EXPECT_TRUE(IsWindowVisible(player.lyricsView().handle()));

    // The loop from the keyboard; its count is changed with Ctrl+F5 (3 -> 5).
    x->press(XK_F5, {XK_Control_L});
    x->flush();
    ASSERT_TRUE(runUntil(app, 1000, [&] { return study.controller().settings().loopCount == 5; }));
    x->press(XK_F5);
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return study.controller().mode() == StudyMode::Loop; }));
    EXPECT_EQ(study.statusText(), u"Loop 1 of 5, gap 1.0 s, then stop");
    EXPECT_TRUE(runUntil(app, 1000, [&] { return player.audio().isPlaying(); }));
    x->press(XK_F5);
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return study.controller().mode() == StudyMode::Off; }));
    EXPECT_TRUE(runUntil(app, 1000, [&] { return player.core().isStopped(); }));
    // The changed count was kept in the settings file's own section.
    EXPECT_EQ(readSettingInt(u"Study", u"LoopCount", 0), 5);

    player.lyricsView().setModified(false);
    SendMessageW(app.handle(), WM_CLOSE, 0, 0);
}
