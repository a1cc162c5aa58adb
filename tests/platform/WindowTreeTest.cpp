// Classes, window data, the tree and z-order, geometry, text and stale handles.
#include <gtest/gtest.h>

#include "MessageLog.h"
#include "platform/display/Headless.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct Tree : ::testing::Test {
    HWND frame = nullptr;
    void SetUp() override {
        frame = CreateWindowExW(0, loggedClass(), u"Tree", WS_OVERLAPPEDWINDOW, 100, 50, 400, 300, nullptr, nullptr,
                                nullptr, nullptr);
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override {
        DestroyWindow(frame);
        headless::pumpMessages();
    }
    HWND child(HWND parent, int id, int x = 0, int y = 0, int w = 10, int h = 10, DWORD style = WS_CHILD | WS_VISIBLE) {
        return CreateWindowExW(0, loggedClass(), u"", style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
    }
};

LRESULT subclassProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_USER) return 42;
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w, GWLP_USERDATA));
    return CallWindowProcW(previous, w, m, wp, lp);
}

TEST(WindowClass, RegisteringTwiceFailsAndUnknownClassesCreateNothing) {
    WNDCLASSEXW wc{sizeof wc, 0, DefWindowProcW, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, u"Twice", nullptr};
    EXPECT_NE(RegisterClassExW(&wc), 0);
    EXPECT_EQ(RegisterClassExW(&wc), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_DOES_NOT_EXIST);
    // Class names ignore case, as on Windows.
    HWND w = CreateWindowExW(0, u"TWICE", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    WCHAR name[32];
    EXPECT_EQ(GetClassNameW(w, name, 32), 5);
    EXPECT_EQ(std::u16string(name), u"Twice");
    DestroyWindow(w);
}

TEST(WindowClass, ChildWithoutParentFails) {
    EXPECT_EQ(CreateWindowExW(0, loggedClass(), u"", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

LRESULT refuseCreate(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CREATE) return -1;
    return DefWindowProcW(w, m, wp, lp);
}

TEST(WindowClass, CreateAnsweredMinusOneDestroysTheWindow) {
    WNDCLASSEXW wc{sizeof wc, 0, refuseCreate, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, u"Refuses", nullptr};
    RegisterClassExW(&wc);
    EXPECT_EQ(CreateWindowExW(0, u"Refuses", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Tree, StaleHandlesAreDetected) {
    HWND c = child(frame, 1);
    SetWindowLongPtrW(c, GWLP_USERDATA, 5);
    DestroyWindow(c);
    EXPECT_FALSE(IsWindow(c));
    EXPECT_EQ(GetWindowLongPtrW(c, GWLP_USERDATA), 0);
    EXPECT_FALSE(SetWindowTextW(c, u"x"));
    EXPECT_EQ(SendMessageW(c, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessageW(c, WM_USER, 0, 0));
    EXPECT_FALSE(DestroyWindow(c));
    // A new window in the same slot gets a different handle.
    HWND again = child(frame, 2);
    EXPECT_NE(again, c);
    EXPECT_FALSE(IsWindow(c));
}

TEST_F(Tree, WindowLongsHoldDataProcedureIdAndStyles) {
    HWND c = child(frame, 77);
    EXPECT_EQ(GetWindowLongPtrW(c, GWLP_ID), 77);
    EXPECT_EQ(GetDlgCtrlID(c), 77);
    EXPECT_EQ(GetDlgItem(frame, 77), c);
    EXPECT_EQ(SetWindowLongPtrW(c, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLongPtrW(c, GWLP_USERDATA), 1234);
    EXPECT_EQ(GetWindowLongPtrW(c, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&loggingProc));
    // Subclassing: the new procedure sees messages first and forwards the rest.
    LONG_PTR previous = SetWindowLongPtrW(c, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&subclassProc));
    SetWindowLongPtrW(c, GWLP_USERDATA, previous);
    EXPECT_EQ(SendMessageW(c, WM_USER, 0, 0), 42);
    SetWindowTextW(c, u"through");
    WCHAR text[16];
    EXPECT_EQ(GetWindowTextW(c, text, 16), 7);
    EXPECT_EQ(std::u16string(text), u"through");
    EXPECT_TRUE(GetWindowLongW(c, GWL_STYLE) & WS_CHILD);
}

TEST_F(Tree, ChildrenKeepCreationOrderAsZOrder) {
    HWND a = child(frame, 1), b = child(frame, 2), c = child(frame, 3);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);
    EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
    EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), nullptr);
    SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), c);
    SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);
    SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), c);
    EXPECT_EQ(GetWindow(c, GW_HWNDLAST), a);
}

TEST_F(Tree, ParentsOwnersAndReparenting) {
    HWND a = child(frame, 1), b = child(frame, 2);
    HWND inner = child(a, 3);
    EXPECT_EQ(GetParent(inner), a);
    EXPECT_EQ(GetAncestor(inner, GA_ROOT), frame);
    EXPECT_TRUE(IsChild(frame, inner));
    EXPECT_FALSE(IsChild(b, inner));
    EXPECT_EQ(SetParent(inner, b), a);
    EXPECT_EQ(GetParent(inner), b);
    EXPECT_EQ(GetWindow(a, GW_CHILD), nullptr);
    EXPECT_EQ(SetParent(b, inner), nullptr);  // a window cannot become its own descendant's child
    HWND popup = CreateWindowExW(0, loggedClass(), u"", WS_POPUP, 0, 0, 5, 5, a, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), frame);
    EXPECT_EQ(GetParent(popup), frame);
    DestroyWindow(frame);  // owned pop-ups go with their owner
    EXPECT_FALSE(IsWindow(popup));
}

TEST_F(Tree, GeometryInParentClientAndScreenCoordinates) {
    HWND a = child(frame, 1, 10, 20, 100, 50, WS_CHILD | WS_VISIBLE | WS_BORDER);
    HWND inner = child(a, 2, 3, 4, 20, 10);
    RECT r;
    GetWindowRect(frame, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right, 500);
    GetWindowRect(a, &r);
    EXPECT_EQ(r.left, 110);
    EXPECT_EQ(r.top, 70);
    GetClientRect(a, &r);
    EXPECT_EQ(r.right, 98);
    EXPECT_EQ(r.bottom, 48);
    GetWindowRect(inner, &r);
    EXPECT_EQ(r.left, 100 + 10 + 1 + 3);
    POINT p{0, 0};
    ClientToScreen(inner, &p);
    EXPECT_EQ(p.x, 114);
    EXPECT_EQ(p.y, 75);
    ScreenToClient(a, &p);
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, 4);
    POINT q{0, 0};
    MapWindowPoints(inner, frame, &q, 1);
    EXPECT_EQ(q.x, 14);
    EXPECT_EQ(q.y, 25);
}

TEST_F(Tree, VisibilityFollowsAncestorsAndEnablingReportsThePreviousState) {
    HWND a = child(frame, 1);
    EXPECT_FALSE(IsWindowVisible(a));  // the frame is hidden
    ShowWindow(frame, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(a));
    EXPECT_TRUE(ShowWindow(a, SW_HIDE));
    EXPECT_FALSE(ShowWindow(a, SW_HIDE));
    EXPECT_FALSE(EnableWindow(a, FALSE));
    EXPECT_TRUE(EnableWindow(a, FALSE));
    EXPECT_FALSE(IsWindowEnabled(a));
    EXPECT_TRUE(EnableWindow(a, TRUE));
}

TEST_F(Tree, TextRoundTripsIncludingJapaneseAndTruncatesToTheBuffer) {
    SetWindowTextW(frame, u"字幕プレーヤー");
    EXPECT_EQ(GetWindowTextLengthW(frame), 7);
    WCHAR small[4];
    EXPECT_EQ(GetWindowTextW(frame, small, 4), 3);
    EXPECT_EQ(std::u16string(small), u"字幕プ");
    EXPECT_EQ(headless::title(frame), u"字幕プレーヤー");
}

}  // namespace
