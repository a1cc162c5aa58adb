// Input through the headless display: hit testing, capture, double clicks,
// mouse leave, keys and characters.
#include <gtest/gtest.h>

#include "MessageLog.h"
#include "platform/display/Headless.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;
using headless::Button;

namespace {

LRESULT transparentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCHITTEST) return HTTRANSPARENT;
    return loggingProc(w, m, wp, lp);
}

struct Input : ::testing::Test {
    MessageLog& log = MessageLog::instance();
    HWND frame = nullptr, left = nullptr, right = nullptr, inner = nullptr;
    void SetUp() override {
        headless::pumpMessages();
        // frame client at screen (200, 100); left child at (10, 10) 100x100 with an
        // inner child at (20, 20) 30x30; right child at (150, 10) 100x100.
        frame = CreateWindowExW(0, loggedClass(), u"Input", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 100, 400, 300,
                                nullptr, nullptr, nullptr, nullptr);
        left = make(frame, 10, 10, 100, 100, loggedDoubleClickClass());
        right = make(frame, 150, 10, 100, 100, loggedClass());
        inner = make(left, 20, 20, 30, 30, loggedClass());
        log.name(frame, "frame");
        log.name(left, "left");
        log.name(right, "right");
        log.name(inner, "inner");
        headless::pumpMessages();
        log.clear();
    }
    void TearDown() override {
        ReleaseCapture();
        DestroyWindow(frame);
        headless::pumpMessages();
    }
    HWND make(HWND parent, int x, int y, int w, int h, LPCWSTR cls) {
        return CreateWindowExW(0, cls, u"", WS_CHILD | WS_VISIBLE, x, y, w, h, parent, nullptr, nullptr, nullptr);
    }
    std::vector<LoggedMessage> mouse(UINT message) { return log.of(message); }
};

TEST_F(Input, ClicksGoToTheDeepestVisibleEnabledWindowInClientCoordinates) {
    struct Case {
        POINT screen;
        HWND Input::*target;
        int x, y;
    };
    const Case cases[] = {
        {{200 + 10 + 20 + 5, 100 + 10 + 20 + 6}, &Input::inner, 5, 6},
        {{200 + 10 + 2, 100 + 10 + 3}, &Input::left, 2, 3},
        {{200 + 150 + 99, 100 + 10 + 99}, &Input::right, 99, 99},
        {{200 + 300, 100 + 200}, &Input::frame, 300, 200},
    };
    for (const auto& c : cases) {
        log.clear();
        headless::click(Button::Left, c.screen);
        headless::pumpMessages();
        auto down = mouse(WM_LBUTTONDOWN);
        ASSERT_EQ(down.size(), 1u);
        EXPECT_EQ(down[0].window, this->*c.target);
        EXPECT_EQ(GET_X_LPARAM(down[0].lParam), c.x);
        EXPECT_EQ(GET_Y_LPARAM(down[0].lParam), c.y);
        EXPECT_EQ(down[0].wParam, MK_LBUTTON);
    }
}

TEST_F(Input, DisabledAndHiddenChildrenLeaveThePointToTheirParent) {
    EnableWindow(inner, FALSE);
    headless::click(Button::Left, {235, 135});
    ShowWindow(right, SW_HIDE);
    headless::click(Button::Left, {355, 115});
    headless::pumpMessages();
    auto down = mouse(WM_LBUTTONDOWN);
    ASSERT_EQ(down.size(), 2u);
    EXPECT_EQ(down[0].window, left);
    EXPECT_EQ(down[1].window, frame);
}

TEST_F(Input, TransparentHitTestsPassThrough) {
    SetWindowLongPtrW(inner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&transparentProc));
    headless::click(Button::Left, {235, 135});
    headless::pumpMessages();
    auto down = mouse(WM_LBUTTONDOWN);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].window, left);
}

TEST_F(Input, CaptureTakesEveryMouseMessage) {
    SetCapture(right);
    headless::mouseMove({215, 115});
    headless::pumpMessages();
    auto moves = mouse(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].window, right);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 15 - 150);  // client coordinates may be negative
}

TEST_F(Input, DoubleClicksOnlyForClassesThatAskForThem) {
    headless::click(Button::Left, {215, 115});
    headless::click(Button::Left, {215, 115});
    headless::click(Button::Left, {355, 115});
    headless::click(Button::Left, {355, 115});
    headless::pumpMessages();
    EXPECT_TRUE(log.matches({{"left", WM_LBUTTONDOWN},
                             {"left", WM_LBUTTONUP},
                             {"left", WM_LBUTTONDBLCLK},
                             {"left", WM_LBUTTONUP},
                             {"right", WM_LBUTTONDOWN},
                             {"right", WM_LBUTTONUP},
                             {"right", WM_LBUTTONDOWN},
                             {"right", WM_LBUTTONUP}}));
}

TEST_F(Input, MouseLeaveComesOnceAfterTracking) {
    headless::mouseMove({355, 115});
    headless::pumpMessages();
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, right, HOVER_DEFAULT};
    EXPECT_TRUE(TrackMouseEvent(&track));
    headless::mouseMove({356, 116});
    headless::mouseMove({215, 115});
    headless::mouseMove({355, 115});
    headless::mouseMove({215, 115});
    headless::pumpMessages();
    auto leaves = mouse(WM_MOUSELEAVE);
    ASSERT_EQ(leaves.size(), 1u);
    EXPECT_EQ(leaves[0].window, right);
}

TEST_F(Input, TrackingWhileOutsidePostsTheLeaveAtOnce) {
    headless::mouseMove({215, 115});
    headless::pumpMessages();
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, right, HOVER_DEFAULT};
    TrackMouseEvent(&track);
    headless::pumpMessages();
    EXPECT_EQ(mouse(WM_MOUSELEAVE).size(), 1u);
}

TEST_F(Input, KeysGoToTheFocusAndControlKeysTranslateToCharacters) {
    SetFocus(right);
    log.clear();
    headless::pressKey(VK_RETURN);
    headless::typeText(u"aあ");
    headless::key(VK_CONTROL, true);
    headless::pressKey('C');
    headless::key(VK_CONTROL, false);
    headless::pumpMessages();
    EXPECT_TRUE(log.matches({{"right", WM_KEYDOWN},
                             {"right", WM_CHAR},
                             {"right", WM_KEYUP},
                             {"right", WM_CHAR},
                             {"right", WM_CHAR},
                             {"right", WM_KEYDOWN},
                             {"right", WM_KEYDOWN},
                             {"right", WM_CHAR},
                             {"right", WM_KEYUP},
                             {"right", WM_KEYUP}}));
    auto chars = log.of(WM_CHAR);
    ASSERT_EQ(chars.size(), 4u);
    EXPECT_EQ(chars[0].wParam, u'\r');
    EXPECT_EQ(chars[1].wParam, u'a');
    EXPECT_EQ(chars[2].wParam, u'あ');
    EXPECT_EQ(chars[3].wParam, 3u);  // Ctrl+C
    EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);
}

TEST_F(Input, KeyStateFollowsInjectedKeys) {
    headless::key(VK_SHIFT, true);
    headless::pumpMessages();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    headless::key(VK_SHIFT, false);
    headless::pumpMessages();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(Input, WheelGoesToTheFocusAndBubblesUp) {
    SetFocus(inner);
    log.clear();
    headless::mouseWheel(-WHEEL_DELTA, {355, 115});
    headless::pumpMessages();
    auto wheel = log.of(WM_MOUSEWHEEL);
    // inner does not handle it, so DefWindowProcW hands it to left, then frame.
    ASSERT_EQ(wheel.size(), 3u);
    EXPECT_EQ(wheel[0].window, inner);
    EXPECT_EQ(wheel[2].window, frame);
    EXPECT_EQ(static_cast<short>(HIWORD(wheel[0].wParam)), -WHEEL_DELTA);
}

TEST_F(Input, ADisabledFrameTakesNoMouseInput) {
    EnableWindow(frame, FALSE);
    headless::click(Button::Left, {215, 115});
    headless::pumpMessages();
    EXPECT_TRUE(mouse(WM_LBUTTONDOWN).empty());
    EnableWindow(frame, TRUE);
}

TEST_F(Input, ClassCursorIsSetOverTheClientArea) {
    headless::mouseMove({215, 115});
    headless::pumpMessages();
    EXPECT_EQ(headless::cursor(), 32512u);
}

}  // namespace

namespace {

TEST_F(Input, AcceleratorsTurnMatchingKeysIntoCommands) {
    ACCEL entries[] = {
        {FVIRTKEY | FCONTROL, 'O', 100},
        {FVIRTKEY | FCONTROL | FSHIFT, 'O', 105},
        {FVIRTKEY, VK_F1, 110},
    };
    HACCEL table = CreateAcceleratorTableW(entries, 3);
    ASSERT_NE(table, nullptr);
    SetFocus(right);
    log.clear();
    headless::key(VK_CONTROL, true);
    headless::pressKey('O');
    headless::key(VK_SHIFT, true);
    headless::pressKey('O');
    headless::key(VK_SHIFT, false);
    headless::key(VK_CONTROL, false);
    headless::pressKey(VK_F1);
    headless::pressKey('O');  // no Ctrl: no command
    MSG msg;
    std::vector<WORD> commands;
    int keysThrough = 0;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (TranslateAcceleratorW(frame, table, &msg)) continue;
        if (msg.message == WM_KEYDOWN) ++keysThrough;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    for (const auto& m : log.of(WM_COMMAND)) {
        EXPECT_EQ(m.window, frame);
        EXPECT_EQ(HIWORD(m.wParam), 1);
        commands.push_back(LOWORD(m.wParam));
    }
    EXPECT_EQ(commands, (std::vector<WORD>{100, 105, 110}));
    EXPECT_EQ(keysThrough, 3);  // Ctrl, Shift and the plain O
    EXPECT_TRUE(DestroyAcceleratorTable(table));
    EXPECT_FALSE(DestroyAcceleratorTable(table));
}

TEST_F(Input, DroppedFilesGoToTheWindowThatAcceptsThem) {
    DragAcceptFiles(left, TRUE);
    headless::dropFiles({u"/tmp/a.mp3", u"/tmp/歌.xml"}, {235, 135});  // over inner, inside left
    headless::pumpMessages();
    auto drops = log.of(WM_DROPFILES);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].window, left);
    auto drop = reinterpret_cast<HDROP>(drops[0].wParam);
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    EXPECT_EQ(DragQueryFileW(drop, 1, nullptr, 0), 10u);
    WCHAR path[8];
    EXPECT_EQ(DragQueryFileW(drop, 0, path, 8), 7u);
    EXPECT_EQ(std::u16string(path), u"/tmp/a.");
    POINT p;
    EXPECT_TRUE(DragQueryPoint(drop, &p));
    EXPECT_EQ(p.x, 25);
    DragFinish(drop);
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 0u);
    // Nobody accepts files over the right child: no message.
    log.clear();
    headless::dropFiles({u"/tmp/b.mp3"}, {355, 115});
    headless::pumpMessages();
    EXPECT_TRUE(log.of(WM_DROPFILES).empty());
}

}  // namespace
