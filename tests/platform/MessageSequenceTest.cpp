// Message order of creation, destruction, showing, moving, focus, capture and
// timers, compared with expected tables.
#include <gtest/gtest.h>

#include "MessageLog.h"
#include "platform/display/Headless.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

class MessageSequence : public ::testing::Test {
protected:
    MessageLog& log = MessageLog::instance();
    HWND frame = nullptr;

    void SetUp() override {
        headless::pumpMessages();
        log.clear();
    }
    void TearDown() override {
        if (IsWindow(frame)) DestroyWindow(frame);
        headless::pumpMessages();
    }
    HWND makeFrame(DWORD style = WS_OVERLAPPEDWINDOW) {
        frame =
            CreateWindowExW(0, loggedClass(), u"Frame", style, 10, 20, 300, 200, nullptr, nullptr, nullptr, nullptr);
        log.name(frame, "frame");
        return frame;
    }
    HWND makeChild(HWND parent, const char* name, int id, DWORD style = WS_CHILD | WS_VISIBLE) {
        HWND c = CreateWindowExW(0, loggedClass(), u"", style, 5, 6, 50, 40, parent,
                                 reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
        log.name(c, name);
        return c;
    }
};

TEST_F(MessageSequence, HiddenOverlappedCreation) {
    makeFrame();
    EXPECT_TRUE(log.matches({{"frame", WM_NCCREATE},
                             {"frame", WM_NCCALCSIZE},
                             {"frame", WM_CREATE},
                             {"frame", WM_SIZE},
                             {"frame", WM_MOVE}}));
    EXPECT_FALSE(IsWindowVisible(frame));
}

TEST_F(MessageSequence, VisibleOverlappedCreationActivatesAndFocuses) {
    makeFrame(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_TRUE(log.matches({{"frame", WM_NCCREATE},
                             {"frame", WM_NCCALCSIZE},
                             {"frame", WM_CREATE},
                             {"frame", WM_SIZE},
                             {"frame", WM_MOVE},
                             {"frame", WM_SHOWWINDOW},
                             {"frame", WM_WINDOWPOSCHANGING},
                             {"frame", WM_ACTIVATEAPP},
                             {"frame", WM_NCACTIVATE},
                             {"frame", WM_ACTIVATE},
                             {"frame", WM_SETFOCUS},
                             {"frame", WM_WINDOWPOSCHANGED}}));
    EXPECT_EQ(GetFocus(), frame);
    EXPECT_EQ(GetActiveWindow(), frame);
    EXPECT_TRUE(headless::shown(frame));
}

TEST_F(MessageSequence, ChildCreationNotifiesParentLast) {
    makeFrame();
    log.clear();
    makeChild(frame, "child", 7, WS_CHILD);
    EXPECT_TRUE(log.matches({{"child", WM_NCCREATE},
                             {"child", WM_NCCALCSIZE},
                             {"child", WM_CREATE},
                             {"child", WM_SIZE},
                             {"child", WM_MOVE},
                             {"frame", WM_PARENTNOTIFY}}));
    auto notify = log.of(WM_PARENTNOTIFY);
    ASSERT_EQ(notify.size(), 1u);
    EXPECT_EQ(LOWORD(notify[0].wParam), WM_CREATE);
    EXPECT_EQ(HIWORD(notify[0].wParam), 7);
}

TEST_F(MessageSequence, ShowingAChild) {
    makeFrame();
    HWND child = makeChild(frame, "child", 1, WS_CHILD);
    log.clear();
    ShowWindow(child, SW_SHOW);
    EXPECT_TRUE(
        log.matches({{"child", WM_SHOWWINDOW}, {"child", WM_WINDOWPOSCHANGING}, {"child", WM_WINDOWPOSCHANGED}}));
    log.clear();
    ShowWindow(child, SW_SHOW);  // already visible: nothing
    EXPECT_TRUE(log.matches({}));
}

TEST_F(MessageSequence, DestroyingATreeParentsFirstThenChildrenFirst) {
    makeFrame();
    HWND a = makeChild(frame, "a", 1);
    HWND b = makeChild(frame, "b", 2);
    makeChild(a, "a1", 3);
    (void)b;
    log.clear();
    DestroyWindow(frame);
    EXPECT_TRUE(log.matches({{"frame", WM_DESTROY},
                             {"a", WM_DESTROY},
                             {"a1", WM_DESTROY},
                             {"b", WM_DESTROY},
                             {"b", WM_NCDESTROY},
                             {"a1", WM_NCDESTROY},
                             {"a", WM_NCDESTROY},
                             {"frame", WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(a));
}

TEST_F(MessageSequence, DestroyingAVisibleActiveFrameDeactivatesFirst) {
    makeFrame(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    log.clear();
    DestroyWindow(frame);
    EXPECT_TRUE(log.matches({{"frame", WM_WINDOWPOSCHANGING},
                             {"frame", WM_WINDOWPOSCHANGED},
                             {"frame", WM_NCACTIVATE},
                             {"frame", WM_ACTIVATE},
                             {"frame", WM_ACTIVATEAPP},
                             {"frame", WM_KILLFOCUS},
                             {"frame", WM_DESTROY},
                             {"frame", WM_NCDESTROY}}));
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(MessageSequence, DestroyingAChildTellsTheParentFirst) {
    makeFrame();
    HWND child = makeChild(frame, "child", 4, WS_CHILD);
    log.clear();
    DestroyWindow(child);
    EXPECT_TRUE(log.matches({{"frame", WM_PARENTNOTIFY}, {"child", WM_DESTROY}, {"child", WM_NCDESTROY}}));
}

TEST_F(MessageSequence, MovingAndSizing) {
    makeFrame();
    HWND child = makeChild(frame, "child", 1);
    struct Case {
        const char* what;
        int x, y, w, h;
        std::vector<Expected> expected;
    };
    std::vector<Case> cases = {
        {"move only",
         9,
         9,
         50,
         40,
         {{"child", WM_WINDOWPOSCHANGING}, {"child", WM_WINDOWPOSCHANGED}, {"child", WM_MOVE}}},
        {"size only",
         9,
         9,
         60,
         45,
         {{"child", WM_WINDOWPOSCHANGING}, {"child", WM_WINDOWPOSCHANGED}, {"child", WM_SIZE}}},
        {"both",
         1,
         2,
         70,
         50,
         {{"child", WM_WINDOWPOSCHANGING}, {"child", WM_WINDOWPOSCHANGED}, {"child", WM_SIZE}, {"child", WM_MOVE}}},
        {"nothing", 1, 2, 70, 50, {{"child", WM_WINDOWPOSCHANGING}, {"child", WM_WINDOWPOSCHANGED}}},
    };
    for (const auto& c : cases) {
        log.clear();
        MoveWindow(child, c.x, c.y, c.w, c.h, TRUE);
        EXPECT_TRUE(log.matches(c.expected)) << c.what;
    }
    auto size = log.of(WM_SIZE);
    EXPECT_TRUE(size.empty());
    log.clear();
    MoveWindow(child, 1, 2, 80, 30, TRUE);
    size = log.of(WM_SIZE);
    ASSERT_EQ(size.size(), 1u);
    EXPECT_EQ(size[0].lParam, MAKELPARAM(80, 30));
}

TEST_F(MessageSequence, FocusChangesKillThenSet) {
    makeFrame(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND a = makeChild(frame, "a", 1);
    HWND b = makeChild(frame, "b", 2);
    SetFocus(a);
    log.clear();
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_TRUE(log.matches({{"a", WM_KILLFOCUS}, {"b", WM_SETFOCUS}}));
    EXPECT_EQ(log.of(WM_KILLFOCUS)[0].wParam, reinterpret_cast<WPARAM>(b));
    EXPECT_EQ(log.of(WM_SETFOCUS)[0].wParam, reinterpret_cast<WPARAM>(a));
    log.clear();
    SetFocus(b);
    EXPECT_TRUE(log.matches({}));
    // Disabling the focus window takes the focus away.
    log.clear();
    EnableWindow(b, FALSE);
    EXPECT_TRUE(log.matches({{"b", WM_KILLFOCUS}, {"b", WM_ENABLE}}));
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(MessageSequence, ActivationRestoresTheLastFocusedChild) {
    makeFrame(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    log.name(frame, "first");
    HWND edit = makeChild(frame, "edit", 1);
    SetFocus(edit);
    HWND other = CreateWindowExW(0, loggedClass(), u"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    EXPECT_EQ(GetFocus(), other);
    SetActiveWindow(frame);
    EXPECT_EQ(GetFocus(), edit);
    DestroyWindow(other);
}

TEST_F(MessageSequence, CaptureChangesAreAnnounced) {
    makeFrame();
    HWND a = makeChild(frame, "a", 1);
    HWND b = makeChild(frame, "b", 2);
    log.clear();
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_TRUE(log.matches({{"a", WM_CAPTURECHANGED}, {"b", WM_CAPTURECHANGED}}));
    EXPECT_EQ(log.of(WM_CAPTURECHANGED)[0].lParam, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MessageSequence, StyleChangesAreAnnounced) {
    makeFrame();
    HWND child = makeChild(frame, "child", 1);
    log.clear();
    LONG_PTR old = SetWindowLongPtrW(child, GWL_STYLE, WS_CHILD | WS_VISIBLE | WS_BORDER);
    EXPECT_EQ(old, static_cast<LONG_PTR>(static_cast<LONG>(WS_CHILD | WS_VISIBLE)));
    EXPECT_TRUE(log.matches({{"child", WM_STYLECHANGING}, {"child", WM_STYLECHANGED}}));
    RECT client;
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 48);  // the border takes one pixel each side
}

TEST_F(MessageSequence, ClosingFromTheFrameDestroysThroughWmClose) {
    makeFrame(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    log.clear();
    headless::closeWindow(frame);
    headless::pumpMessages();
    EXPECT_FALSE(IsWindow(frame));
    auto close = log.of(WM_CLOSE);
    EXPECT_EQ(close.size(), 1u);
}

}  // namespace
