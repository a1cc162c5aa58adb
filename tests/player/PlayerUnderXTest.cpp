// The program on the SDL display of a virtual X server, under real pointer
// input from the X test extension: a plain click inside a multi-row selection
// of the sentence table, and clicks on the lyrics view's scroll bar. Runs
// under xvfb-run (see tests/platform/run-under-xvfb.sh) from the program
// folder; without an X display it skips itself.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "ClippedTexts.h"
#include "app/AcceleratorTable.h"
#include "app/Application.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "app/TestApp.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/TempDir.h"
#include "support/XDesktop.h"
#include "text/NarrowText.h"

#include <X11/keysym.h>

using veltrix::test::XDesktop;
namespace headless = veltrix::platform::headless;

namespace {

using Clock = std::chrono::steady_clock;

// The audio library is set up once per process, as in the program: the tests
// share one main window, which the last of them leaves to the suite to close.
class PlayerUnderX : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::unsetenv("VELTRIX_DISPLAY");
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        x = XDesktop::open();
        if (!x) return;
        setNarrowCodePage(932);
        std::filesystem::remove(std::filesystem::path(settingsFilePath()));
        prepareSettingsFile();
        fillProgramAccelerators(AcceleratorTable::instance());
        windowSettings = std::make_unique<TempDir>();
        app = std::make_unique<TestApp>(windowSettings->file("window.ini"));
        app->createMainWindow();
    }
    static void TearDownTestSuite() {
        if (app && IsWindow(app->handle())) {
            app->content().lyricsView().setModified(false);
            SendMessageW(app->handle(), WM_CLOSE, 0, 0);
        }
        app.reset();
        windowSettings.reset();
        x.reset();
    }
    void SetUp() override {
        if (!x) GTEST_SKIP() << "no X display with the XTEST extension";
        if (headless::active()) GTEST_SKIP() << "SDL2 found no video driver";
        ASSERT_TRUE(app && IsWindow(app->handle()));
        for (const char* name : {"AskingTheWay.mp3", "AskingTheWay.xml"})
            std::filesystem::copy_file(std::filesystem::path(appDirectory()) / "Samples" / name, folder.native(name));
        ASSERT_TRUE(player().openFile(folder.file("AskingTheWay.mp3")));
        run(400);  // mapped and painted
    }
    void TearDown() override {
        if (app && IsWindow(app->handle())) player().lyricsView().setModified(false);
    }

    Orvella& player() { return app->content(); }
    void run(int ms) {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        do {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) continue;
                routeMessage(msg, player().handle(), AcceleratorTable::instance().handle());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } while (Clock::now() < until);
    }
    bool runUntil(const std::function<bool()>& done) {
        const auto until = Clock::now() + std::chrono::seconds(3);
        while (!done() && Clock::now() < until) run(20);
        return done();
    }
    void clickAt(HWND window, int cx, int cy) {
        POINT p{cx, cy};
        ClientToScreen(window, &p);
        x->moveTo(p.x, p.y);
        run(60);
        x->click(1);
    }

    static inline std::unique_ptr<XDesktop> x;
    static inline std::unique_ptr<TempDir> windowSettings;
    static inline std::unique_ptr<TestApp> app;
    TempDir folder;
};

// The fonts of the SDL display measure as the headless display's do: the
// time columns, the sliders' values and the captions show whole here too.
TEST_F(PlayerUnderX, NothingIsClippedOnTheScreen) {
    for (const std::string& problem : veltrix::test::clippedTexts(player())) ADD_FAILURE() << problem;
    LyricsTable& table = player().lyricsTable();
    EXPECT_GT(table.getColumnWidth(LyricsTable::Start), 45);
}

TEST_F(PlayerUnderX, APlainClickInsideASelectionKeepsOnlyTheClickedRow) {
    LyricsTable& table = player().lyricsTable();
    ASSERT_GE(table.getRowCount(), 4);
    table.selectRange(1, 3, Table::Keep::Nothing);
    run(50);
    ASSERT_EQ(table.getSelectedRows(), (std::vector<int>{1, 2, 3}));
    RECT cell{LVIR_BOUNDS, LyricsTable::Sentence, 0, 0};
    SendMessageW(table.handle(), LVM_GETSUBITEMRECT, 2, reinterpret_cast<LPARAM>(&cell));
    clickAt(table.handle(), cell.left + 10, (cell.top + cell.bottom) / 2);
    ASSERT_TRUE(runUntil([&] { return table.getSelectedRows() == std::vector<int>{2}; }));
    // The player follows the row the learner picked.
    EXPECT_TRUE(
        runUntil([&] { return player().lyricsView().selectedText() == table.getValueAt(2, LyricsTable::Sentence); }));
}

TEST_F(PlayerUnderX, TheLyricsViewsScrollBarPagesAndLeavesTheSelection) {
    LyricsTextEditor& view = player().lyricsView();
    // Tall rows, so that the lesson's few sentences need scrolling.
    view.setLineSpacing(90);
    run(50);
    const DWORD before = static_cast<DWORD>(SendMessageW(view.getHandle(), EM_GETSEL, 0, 0));
    ASSERT_GT(view.scrollPosition().maxFirstRow(), 0);
    SendMessageW(view.getHandle(), WM_VSCROLL, SB_TOP, 0);
    RECT client{};
    GetClientRect(view.getHandle(), &client);
    const int barX = client.right - GetSystemMetrics(SM_CXVSCROLL) / 2;
    clickAt(view.getHandle(), barX, client.bottom - 3);
    ASSERT_TRUE(runUntil([&] { return SendMessageW(view.getHandle(), EM_GETFIRSTVISIBLELINE, 0, 0) > 0; }));
    EXPECT_EQ(static_cast<DWORD>(SendMessageW(view.getHandle(), EM_GETSEL, 0, 0)), before);
    clickAt(view.getHandle(), barX, 1);
    EXPECT_TRUE(runUntil([&] { return SendMessageW(view.getHandle(), EM_GETFIRSTVISIBLELINE, 0, 0) == 0; }));
    EXPECT_EQ(static_cast<DWORD>(SendMessageW(view.getHandle(), EM_GETSEL, 0, 0)), before);
}

TEST_F(PlayerUnderX, CtrlFOpensTheFindPaneWhoseEnterSelectsTheNextMatch) {
    LyricsTextEditor& view = player().lyricsView();
    view.setLineSpacing(4);
    SendMessageW(view.getHandle(), WM_VSCROLL, SB_TOP, 0);
    run(100);
    // Without a window manager the keyboard follows the pointer.
    const POINT first = view.pointOfPosition(0);
    clickAt(view.getHandle(), first.x + 2, first.y + view.fontHeight() / 2);
    ASSERT_TRUE(runUntil([&] { return GetFocus() == view.getHandle(); }));
    x->press(XK_f, {XK_Control_L});
    x->flush();
    FindAndReplacePane& pane = player().findPane();
    ASSERT_TRUE(runUntil([&] { return pane.handle() != nullptr; }));
    run(300);  // mapped and painted
    clickAt(pane.findField().getHandle(), 5, 5);
    ASSERT_TRUE(runUntil([&] { return GetFocus() == pane.findField().getHandle(); }));
    x->press(XK_a, {XK_Control_L});
    x->type("f.r");
    x->flush();
    ASSERT_TRUE(runUntil([&] { return pane.findField().text() == u"f.r"; }));
    x->press(XK_Return);
    x->flush();
    ASSERT_TRUE(runUntil([&] { return view.selectedText() == u"far"; }));
    if (const char* shots = std::getenv("VELTRIX_SCREENSHOTS")) x->screenshot(std::string(shots) + "/find-pane.png");
    // "Close" closes the pane; finding changed nothing.
    clickAt(pane.handle(), 382 + 44, 84 + 10);  // the middle of "Close"
    EXPECT_TRUE(runUntil([&] { return pane.handle() == nullptr; }));
    EXPECT_FALSE(view.modified());
}

}  // namespace
