// The toolkit window procedure: creation and close routing, commands, sizes,
// wrapped native controls and dropped files.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ToolkitTestSupport.h"
#include "support/TempDir.h"
#include "toolkit/BaseWindow.h"

using namespace veltrix::test;

namespace {

class Pane : public BaseWindow {
public:
    bool onCreate() override {
        ++created;
        return handledCreate;
    }
    bool onClose() override {
        ++closes;
        return allowClose ? BaseWindow::onClose() : false;
    }
    LRESULT onSize(WPARAM, LPARAM size) override {
        sizes.push_back({LOWORD(size), HIWORD(size)});
        return 0;
    }
    void onCommand(WPARAM wParam, LPARAM) override { commands.push_back(LOWORD(wParam)); }
    bool onTimer(UINT_PTR id, LPARAM) override {
        timers.push_back(id);
        return true;
    }
    bool onFilesDropped(const std::vector<std::u16string>& paths) override {
        dropped = paths;
        return true;
    }
    int created = 0, closes = 0;
    bool handledCreate = false, allowClose = true;
    std::vector<SIZE> sizes;
    std::vector<int> commands;
    std::vector<UINT_PTR> timers;
    std::vector<std::u16string> dropped;
};

struct WindowProcedure : ::testing::Test {
    void SetUp() override { headless::pumpMessages(); }
    void TearDown() override { headless::pumpMessages(); }
    RecordingFrame frame;
};

TEST_F(WindowProcedure, CreationSizeCommandAndTimerReachTheirOperations) {
    Pane pane;
    ASSERT_TRUE(pane.createAt(frame.handle(), 5, 6, 70, 80));
    EXPECT_EQ(pane.created, 1);
    EXPECT_EQ(pane.className(), u"BaseWindowPane");
    ASSERT_FALSE(pane.sizes.empty());
    EXPECT_EQ(pane.sizes.back().cx, 70);
    EXPECT_EQ(pane.sizes.back().cy, 80);
    EXPECT_EQ(pane.getX(), 5);
    EXPECT_EQ(pane.getY(), 6);
    EXPECT_EQ(BaseWindow::fromHandle(pane.handle()), &pane);

    SendMessageW(pane.handle(), WM_COMMAND, MAKEWPARAM(112, 1), 0);
    EXPECT_EQ(pane.commands, std::vector<int>{112});
    SetTimer(pane.handle(), 7, 1, nullptr);
    for (int i = 0; i < 50 && pane.timers.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        headless::pumpMessages();
    }
    KillTimer(pane.handle(), 7);
    ASSERT_FALSE(pane.timers.empty());
    EXPECT_EQ(pane.timers.front(), 7u);
}

TEST_F(WindowProcedure, ARefusedCloseKeepsTheWindowAndAnAllowedOneDestroysIt) {
    Pane pane;
    pane.allowClose = false;
    ASSERT_TRUE(pane.createFrame());
    HWND window = pane.handle();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(pane.closes, 1);
    pane.allowClose = true;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(pane.handle(), nullptr);
}

LRESULT nativeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 1) return 4242;
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(WindowProcedure, AWrappedControlFallsBackToItsOwnProcedureAndGetsItBack) {
    WNDCLASSEXW native{};
    native.cbSize = sizeof(native);
    native.lpfnWndProc = nativeProc;
    native.lpszClassName = u"NativeProbe";
    RegisterClassExW(&native);
    HWND control = CreateWindowExW(0, u"NativeProbe", u"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frame.handle(), nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    Pane wrapper;
    ASSERT_TRUE(wrapper.subclassWindow(control));
    EXPECT_EQ(wrapper.previousWindowProc(), &nativeProc);
    EXPECT_EQ(SendMessageW(control, WM_USER + 1, 0, 0), 4242);
    SendMessageW(control, WM_COMMAND, 9, 0);
    EXPECT_EQ(wrapper.commands, std::vector<int>{9});

    DestroyWindow(control);
    EXPECT_EQ(wrapper.handle(), nullptr);
    EXPECT_EQ(wrapper.previousWindowProc(), nullptr);
}

TEST_F(WindowProcedure, DroppedFilesArriveWholeEvenWhenLong) {
    Pane pane;
    ASSERT_TRUE(pane.createAt(frame.handle(), 0, 0, 100, 100));
    DragAcceptFiles(pane.handle(), TRUE);
    std::u16string longPath = u"/tmp/" + std::u16string(600, u'a') + u".mp3";
    headless::dropFiles({u"/tmp/one.mp3", longPath}, screenOf(pane.handle(), 10, 10));
    headless::pumpMessages();
    ASSERT_EQ(pane.dropped.size(), 2u);
    EXPECT_EQ(pane.dropped[0], u"/tmp/one.mp3");
    EXPECT_EQ(pane.dropped[1], longPath);
}

TEST_F(WindowProcedure, CenteringPlacesTheWindowInItsParent) {
    Pane pane;
    ASSERT_TRUE(pane.createAt(frame.handle(), 0, 0, 100, 50));
    pane.centerOnParent();
    EXPECT_EQ(pane.getX(), 150);
    EXPECT_EQ(pane.getY(), 125);
    Pane wide;
    ASSERT_TRUE(wide.createAt(frame.handle(), 0, 0, 1000, 50));
    wide.centerOnParent();
    EXPECT_EQ(wide.getX(), 0) << "a negative coordinate becomes 0";
}

}  // namespace
