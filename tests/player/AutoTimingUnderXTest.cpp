// "Time Sentences Automatically" in the whole program on the SDL display of a
// virtual X server: the sample lesson's times are cleared, Ctrl+Shift+A is
// pressed through the X test extension, and the rows get times near the ones
// the sample was made with (the sample's sentences are spoken by espeak-ng at
// known places); the file is marked unsaved, and the undo puts the cleared
// times back in one step. Runs under xvfb-run from the program folder.
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

TEST(AutoTimingOnX, TimesTheSampleFromTheKeyboardAndUndoes) {
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
    runUntil(app, 300, [] { return false; });

    LyricsTable& table = player.lyricsTable();
    const int rows = table.getRowCount();
    ASSERT_GT(rows, 3);
    std::vector<std::uint32_t> truth;
    for (int row = 0; row < rows; ++row) truth.push_back(table.startOf(row));
    // An untimed transcript, as a pasted script would be.
    for (int row = 0; row < rows; ++row) {
        player.editing().setStart(row, 0);
        player.editing().setEnd(row, SentenceGroup::kNoEndTime);
    }
    player.lyricsView().setModified(false);

    // Without a window manager the keyboard follows the pointer.
    RECT box{};
    GetWindowRect(table.handle(), &box);
    x->moveTo((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    runUntil(app, 60, [] { return false; });
    x->press(XK_A, {XK_Control_L, XK_Shift_L});
    x->flush();
    // The progress dialog runs modally; the rows change when it has finished.
    ASSERT_TRUE(runUntil(app, 60000, [&] { return table.startOf(rows - 1) != 0; }));
    for (int row = 0; row < rows; ++row) {
        EXPECT_NEAR(static_cast<double>(table.startOf(row)), truth[static_cast<std::size_t>(row)], 300) << row;
        if (row > 0) {
            EXPECT_GE(table.startOf(row), table.startOf(row - 1));
        }
    }
    EXPECT_TRUE(player.lyricsView().modified());

    SendMessageW(app.handle(), WM_COMMAND, player_commands::UndoTimeSentences, 0);
    runUntil(app, 100, [] { return false; });
    for (int row = 0; row < rows; ++row) EXPECT_EQ(table.startOf(row), 0u) << row;

    player.lyricsView().setModified(false);
    SendMessageW(app.handle(), WM_CLOSE, 0, 0);
}
