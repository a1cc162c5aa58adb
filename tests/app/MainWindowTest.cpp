// The main window: accelerators, placement load and save, the close path,
// command forwarding, the wheel redirection and the real program's runs.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/AcceleratorTable.h"
#include "app/Application.h"
#include "app/TestApp.h"
#include "platform/display/Headless.h"
#include "support/TempDir.h"

namespace headless = veltrix::platform::headless;

namespace {

void drainQuit() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

// Runs the program's routing until the queue is idle.
void runLoop(TestApp& app, HACCEL accelerators) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        routeMessage(msg, app.content().handle(), accelerators);
    }
}

int windowInt(const std::u16string& path, const char16_t* key) {
    return static_cast<int>(GetPrivateProfileIntW(u"Window", key, -99999, path.c_str()));
}

void writeWindow(const std::u16string& path, int left, int top, int width, int height) {
    for (auto [key, value] :
         {std::pair{u"MainLeft", left}, {u"MainTop", top}, {u"MainWidth", width}, {u"MainHeight", height}}) {
        std::string n = std::to_string(value);
        std::u16string text(n.begin(), n.end());
        WritePrivateProfileStringW(u"Window", key, text.c_str(), path.c_str());
    }
}

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// Records WM_COMMAND reaching a window, then lets the toolkit handle it.
std::vector<WPARAM> contentCommands;
WNDPROC contentPrevious = nullptr;
LRESULT recordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The player's own controls report to it with themselves as lParam; only
    // commands from accelerators and the main window are counted here.
    if (message == WM_COMMAND && lParam == 0) contentCommands.push_back(wParam);
    return CallWindowProcW(contentPrevious, window, message, wParam, lParam);
}

struct MainWindow : ::testing::Test {
    void SetUp() override {
        headless::pumpMessages();
        drainQuit();
        contentCommands.clear();
    }
    void TearDown() override {
        headless::pumpMessages();
        drainQuit();
    }
    TempDir dir;
    std::u16string settings = dir.file("veltrix.ini");
};

TEST(Accelerators, TheSeventeenEntriesInTheirOrder) {
    AcceleratorTable table;
    fillProgramAccelerators(table);
    const BYTE c = FVIRTKEY | FCONTROL, cs = FVIRTKEY | FCONTROL | FSHIFT;
    const ACCEL expected[] = {
        {c, 'O', 100},  {c, 'P', 101},      {cs, 'P', 102}, {c, VK_UP, 119}, {c, VK_DOWN, 120}, {c, 'T', 104},
        {cs, 'T', 105}, {c, 'E', 106},      {cs, 'E', 107}, {c, 'R', 108},   {cs, 'R', 109},    {c, 'L', 115},
        {c, 'J', 114},  {c, VK_SPACE, 118}, {c, 'F', 116},  {c, 'S', 112},   {c, 'W', 117},
    };
    ASSERT_EQ(table.entries().size(), 17u);
    for (std::size_t i = 0; i < 17; ++i) {
        EXPECT_EQ(table.entries()[i].fVirt, expected[i].fVirt) << i;
        EXPECT_EQ(table.entries()[i].key, expected[i].key) << i;
        EXPECT_EQ(table.entries()[i].cmd, expected[i].cmd) << i;
    }
    EXPECT_NE(table.handle(), nullptr);
}

TEST(Accelerators, TheStudyKeysAreATableOfTheirOwn) {
    AcceleratorTable table;
    fillStudyAccelerators(table);
    const BYTE plain = FVIRTKEY, c = FVIRTKEY | FCONTROL, cs = FVIRTKEY | FCONTROL | FSHIFT;
    const int f = VK_F1 - 1;
    const ACCEL expected[] = {
        {plain, WORD(f + 5), 200}, {plain, WORD(f + 6), 201}, {plain, WORD(f + 7), 202}, {plain, WORD(f + 8), 203},
        {plain, WORD(f + 9), 204}, {c, WORD(f + 5), 205},     {c, WORD(f + 6), 206},     {c, WORD(f + 7), 210},
        {c, WORD(f + 8), 208},     {c, WORD(f + 9), 209},     {cs, WORD(f + 5), 207},
        // Beyond the study modes: timing the sentences from the audio.
        {cs, WORD('A'), 220},
    };
    ASSERT_EQ(table.entries().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(table.entries()[i].fVirt, expected[i].fVirt) << i;
        EXPECT_EQ(table.entries()[i].key, expected[i].key) << i;
        EXPECT_EQ(table.entries()[i].cmd, expected[i].cmd) << i;
    }
    EXPECT_NE(AcceleratorTable::study().handle(), nullptr);
}

TEST(Accelerators, RebindingACommandReplacesItsKeyAndAnEmptyListBuildsNothing) {
    AcceleratorTable table;
    EXPECT_FALSE(table.build());
    table.setCommandKey(112, 'S', FCONTROL);
    table.setCommandKey(112, 'K', FCONTROL | FSHIFT);
    ASSERT_EQ(table.entries().size(), 1u);
    EXPECT_EQ(table.entries()[0].key, 'K');
    EXPECT_EQ(table.entries()[0].fVirt, FVIRTKEY | FCONTROL | FSHIFT);
    table.add(ACCEL{FVIRTKEY, 'A', 1});
    table.add(ACCEL{FVIRTKEY, 'A', 1});
    EXPECT_EQ(table.entries().size(), 3u) << "add does not look for duplicates";
    EXPECT_TRUE(table.build());
}

TEST_F(MainWindow, WithoutAWindowSectionItOpens640By480CentredAndShown) {
    TestApp app(settings);
    ASSERT_TRUE(app.createMainWindow());
    EXPECT_EQ(mainWindow(), app.handle());
    RECT r = windowRect(app.handle());
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 640) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 480) / 2);
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_EQ(r.bottom - r.top, 480);
    EXPECT_TRUE(IsWindowVisible(app.handle()));
    EXPECT_EQ(headless::title(app.handle()), u"Orvella");
    // The content fills the client area.
    EXPECT_EQ(app.content().getWidth(), 640);
    EXPECT_EQ(app.content().getHeight(), 480);
    EXPECT_EQ(GetParent(app.content().handle()), app.handle());
}

TEST_F(MainWindow, SavedRectanglesAreMovedOntoTheMonitorWithoutResizing) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        int left, top, width, height;
        RECT expected;
    };
    const Case cases[] = {
        {100, 50, 700, 500, {100, 50, 800, 550}},                          // fits
        {screenW - 300, 40, 700, 500, {screenW - 700, 40, screenW, 540}},  // beyond the right
        {-50, -20, 700, 500, {0, 0, 700, 500}},                            // beyond the left and top
        {30, screenH - 100, 700, 500, {30, screenH - 500, 730, screenH}},  // beyond the bottom
        {200, 10, screenW + 400, 300, {0, 10, screenW + 400, 310}},        // wider than the monitor
        {100, 100, 0, -5, {100, 100, 740, 580}},                           // damaged sizes
    };
    for (const Case& c : cases) {
        writeWindow(settings, c.left, c.top, c.width, c.height);
        TestApp app(settings);
        ASSERT_TRUE(app.createMainWindow());
        RECT r = windowRect(app.handle());
        EXPECT_EQ(r.left, c.expected.left) << c.left;
        EXPECT_EQ(r.top, c.expected.top) << c.left;
        EXPECT_EQ(r.right, c.expected.right) << c.left;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.left;
    }
}

TEST_F(MainWindow, ClosingSavesThePlacementAndPostsQuit) {
    writeWindow(settings, 120, 90, 700, 520);
    TestApp app(settings);
    ASSERT_TRUE(app.createMainWindow());
    MoveWindow(app.handle(), 130, 95, 710, 530, TRUE);
    SendMessageW(app.handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.handle(), nullptr);
    EXPECT_EQ(windowInt(settings, u"MainLeft"), 130);
    EXPECT_EQ(windowInt(settings, u"MainTop"), 95);
    EXPECT_EQ(windowInt(settings, u"MainWidth"), 710);
    EXPECT_EQ(windowInt(settings, u"MainHeight"), 530);
    EXPECT_EQ(windowInt(settings, u"Zoomed"), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_FALSE(app.savePlacement(settings)) << "nothing to save once the window is gone";
}

TEST_F(MainWindow, TheUserClosingTheFrameEndsTheLoopWithExitCodeZero) {
    TestApp app(settings);
    ASSERT_TRUE(app.createMainWindow());
    HWND window = app.handle();
    headless::closeWindow(window);
    MSG msg{};
    int turns = 0;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && ++turns < 10000) routeMessage(msg, app.content().handle(), nullptr);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(windowInt(settings, u"MainWidth"), 640);
}

// A signal ends the session with nobody to answer: the main window closes as
// its close button closes it, the placement is saved and the loop ends with 0.
TEST_F(MainWindow, ATerminationSignalClosesTheWindowAndSavesThePlacement) {
    TestApp app(settings);
    ASSERT_TRUE(app.createMainWindow());
    HWND window = app.handle();
    MoveWindow(window, 140, 100, 700, 500, TRUE);
    ::raise(SIGTERM);
    MSG msg{};
    int turns = 0;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && ++turns < 10000) routeMessage(msg, app.content().handle(), nullptr);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(windowInt(settings, u"MainLeft"), 140);
    EXPECT_EQ(windowInt(settings, u"MainWidth"), 700);
}

LRESULT refuseClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) return 0;
    return CallWindowProcW(contentPrevious, window, message, wParam, lParam);
}

TEST_F(MainWindow, AContentThatRefusesToCloseKeepsTheMainWindowAndSavesNothing) {
    TestApp app(settings);
    ASSERT_TRUE(app.createMainWindow());
    contentPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(app.content().handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&refuseClose)));
    SendMessageW(app.handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(app.handle()));
    EXPECT_EQ(windowInt(settings, u"MainLeft"), -99999);
    SetWindowLongPtrW(app.content().handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(contentPrevious));
}

TEST_F(MainWindow, CtrlSInAFocusedChildFieldReachesTheContentAsCommand112) {
    AcceleratorTable table;
    fillProgramAccelerators(table);
    TestApp app(settings);
    ASSERT_TRUE(app.createMainWindow());
    contentPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(app.content().handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&recordCommands)));
    // A text field of a child pane has the focus.
    Component pane, field;
    ASSERT_TRUE(pane.create(app.content().handle()));
    pane.setBounds(10, 10, 200, 100);
    ASSERT_TRUE(field.create(pane.handle()));
    field.setBounds(5, 5, 100, 20);
    field.requestFocus();
    ASSERT_TRUE(field.hasFocus());
    headless::key(VK_CONTROL, true);
    headless::pressKey('S');
    headless::key(VK_CONTROL, false);
    runLoop(app, table.handle());
    ASSERT_EQ(contentCommands.size(), 1u);
    EXPECT_EQ(LOWORD(contentCommands[0]), 112);
    EXPECT_EQ(HIWORD(contentCommands[0]), 1) << "an accelerator's command";

    // Commands from children pass through the main window unchanged.
    SendMessageW(app.handle(), WM_COMMAND, MAKEWPARAM(101, 0), 0);
    ASSERT_EQ(contentCommands.size(), 2u);
    EXPECT_EQ(contentCommands[1], MAKEWPARAM(101, 0));
    SetWindowLongPtrW(app.content().handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(contentPrevious));
}

// The player's own panes would lie under the pointer; these tests place windows of their own there.
void hidePlayerPanes(TestApp& app) {
    Orvella& player = app.content();
    for (HWND pane : {player.channels().handle(), player.lyricsView().handle(), player.translationPane().handle(),
                      player.explanationPane().handle()})
        ShowWindow(pane, SW_HIDE);
}

struct WheelCounter : Component {
    bool onMouseWheel(int, int, int, int notches) override {
        turns += notches;
        return true;
    }
    int turns = 0;
};

TEST_F(MainWindow, TheWheelScrollsTheChildUnderThePointerNotTheFocusedOne) {
    AcceleratorTable table;
    fillProgramAccelerators(table);
    TestApp app(settings);
    ASSERT_TRUE(app.createMainWindow());
    hidePlayerPanes(app);
    WheelCounter focused, table1;
    ASSERT_TRUE(focused.create(app.content().handle()));
    focused.setBounds(0, 0, 100, 100);
    ASSERT_TRUE(table1.create(app.content().handle()));
    table1.setBounds(200, 0, 100, 100);
    focused.requestFocus();
    POINT over{250, 50};
    ClientToScreen(app.content().handle(), &over);
    headless::mouseMove(over);
    runLoop(app, table.handle());
    headless::mouseWheel(-WHEEL_DELTA, over);
    runLoop(app, table.handle());
    EXPECT_EQ(table1.turns, -1);
    EXPECT_EQ(focused.turns, 0);
}

TEST_F(MainWindow, WindowsNestedDeeperThanFiveLevelsAreNotRedirected) {
    TestApp app(settings);
    ASSERT_TRUE(app.createMainWindow());
    hidePlayerPanes(app);
    // Depths below the main window: content 1, then 2 to 6. Five parent steps
    // from depth 5 reach the main window; from depth 6 they end at the content.
    std::vector<std::unique_ptr<Component>> chain;
    HWND parent = app.content().handle();
    for (int depth = 2; depth <= 6; ++depth) {
        chain.push_back(std::make_unique<Component>());
        ASSERT_TRUE(chain.back()->create(parent));
        chain.back()->setBounds(0, 0, 100, 100);
        parent = chain.back()->handle();
    }
    POINT over{10, 10};
    ClientToScreen(app.content().handle(), &over);
    headless::mouseMove(over);
    headless::pumpMessages();

    MSG wheel{app.content().handle(), WM_MOUSEWHEEL, 0, 0, 0, over};
    redirectMouseWheel(wheel);
    EXPECT_EQ(wheel.hwnd, app.content().handle()) << "depth 6 lies too deep";

    ShowWindow(chain.back()->handle(), SW_HIDE);  // the deepest is now depth 5
    wheel.hwnd = app.content().handle();
    redirectMouseWheel(wheel);
    EXPECT_EQ(wheel.hwnd, chain[3]->handle());

    MSG key{app.content().handle(), WM_KEYDOWN, 'A', 0, 0, over};
    redirectMouseWheel(key);
    EXPECT_EQ(key.hwnd, app.content().handle());
}

#ifdef VELTRIX_EXECUTABLE
// The real program, closed as soon as it has painted: the first run opens
// the default window and saves it, the next opens at the saved rectangle
// moved onto the screen.
TEST_F(MainWindow, TheProgramOpensAtItsSavedPlacementAndExitsCleanly) {
    std::filesystem::copy_file(VELTRIX_EXECUTABLE, dir.native("veltrix"));
    std::filesystem::permissions(dir.native("veltrix"), std::filesystem::perms::owner_all);
    const std::string run = "VELTRIX_CLOSE_AFTER_START=1 '" + dir.native("veltrix").string() + "'";
    ASSERT_EQ(std::system(run.c_str()), 0);
    EXPECT_EQ(windowInt(settings, u"MainWidth"), 640);
    EXPECT_EQ(windowInt(settings, u"MainHeight"), 480);
    EXPECT_EQ(windowInt(settings, u"MainLeft"), (1920 - 640) / 2);
    EXPECT_EQ(windowInt(settings, u"Zoomed"), 0);

    writeWindow(settings, 1800, 100, 600, 400);
    ASSERT_EQ(std::system(run.c_str()), 0);
    EXPECT_EQ(windowInt(settings, u"MainLeft"), 1920 - 600);
    EXPECT_EQ(windowInt(settings, u"MainTop"), 100);
    EXPECT_EQ(windowInt(settings, u"MainWidth"), 600);
}

// The same on a real X display through SDL2, when xvfb-run is installed.
TEST_F(MainWindow, OnAnXDisplayTheProgramCentresItselfAndMovesASavedPlacementOnScreen) {
    if (!std::filesystem::exists("/usr/bin/xvfb-run")) GTEST_SKIP() << "xvfb-run is not installed";
    std::filesystem::copy_file(VELTRIX_EXECUTABLE, dir.native("veltrix"));
    std::filesystem::permissions(dir.native("veltrix"), std::filesystem::perms::owner_all);
    const std::string run =
        "env -u VELTRIX_DISPLAY VELTRIX_CLOSE_AFTER_START=1 xvfb-run -a -s '-screen 0 1280x1024x24' '" +
        dir.native("veltrix").string() + "' 2>/dev/null";
    ASSERT_EQ(std::system(run.c_str()), 0);
    EXPECT_EQ(windowInt(settings, u"MainLeft"), (1280 - 640) / 2);
    EXPECT_EQ(windowInt(settings, u"MainTop"), (1024 - 480) / 2);
    writeWindow(settings, 1100, 900, 400, 300);
    ASSERT_EQ(std::system(run.c_str()), 0);
    EXPECT_EQ(windowInt(settings, u"MainLeft"), 1280 - 400);
    EXPECT_EQ(windowInt(settings, u"MainTop"), 1024 - 300);
    EXPECT_EQ(windowInt(settings, u"MainWidth"), 400);
}
#endif

}  // namespace
