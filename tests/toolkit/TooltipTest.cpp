// Tooltips: the native tooltip window's set-up by setToolTipText, showing
// after the initial delay, hiding when the pointer leaves, and clean-up.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ToolkitTestSupport.h"
#include "platform/api/Tooltip.h"
#include "toolkit/Component.h"

using namespace veltrix::test;
using namespace std::chrono_literals;

namespace {

TOOLINFOW toolOf(const Component& c) {
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = c.handle();
    return info;
}

std::u16string tipText(const Component& c) {
    TOOLINFOW info = toolOf(c);
    WCHAR buffer[256] = {};
    info.lpszText = buffer;
    SendMessageW(c.toolTipWindow(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&info));
    return buffer;
}

// Pumps for the given time, so that timers fire.
void pumpFor(std::chrono::milliseconds total) {
    auto end = std::chrono::steady_clock::now() + total;
    while (std::chrono::steady_clock::now() < end) {
        headless::pumpMessages();
        std::this_thread::sleep_for(5ms);
    }
    headless::pumpMessages();
}

struct Tooltips : ::testing::Test {
    void SetUp() override {
        headless::pumpMessages();
        ASSERT_TRUE(button.create(frame.handle()));
        button.setBounds(40, 30, 80, 24);
    }
    RecordingFrame frame;
    Component button;
};

TEST_F(Tooltips, ABalloonTipOwnedByTheComponentWithTheGivenWidthAndDelays) {
    button.setToolTipText(u"音声ファイルを開く (Ctrl+O)");
    HWND tip = button.toolTipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), button.handle() ? GetAncestor(button.handle(), GA_ROOT) : nullptr);
    WCHAR cls[64] = {};
    GetClassNameW(tip, cls, 64);
    EXPECT_EQ(std::u16string(cls), u"tooltips_class32");
    EXPECT_EQ(GetWindowLongW(tip, GWL_STYLE) & 0xFF, 0x53);
    EXPECT_TRUE(GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 320);
    EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 360);
    EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), 10);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(tipText(button), u"音声ファイルを開く (Ctrl+O)");
}

TEST_F(Tooltips, TheToolFollowsTheComponentsSizeAndEmptyTextKeepsTheTip) {
    button.setToolTipText(u"first");
    HWND tip = button.toolTipWindow();
    button.setBounds(40, 30, 120, 40);
    TOOLINFOW info = toolOf(button);
    ASSERT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(info.rect.right, 120);
    EXPECT_EQ(info.rect.bottom, 40);
    button.setToolTipText(u"");
    EXPECT_EQ(button.toolTipWindow(), tip);
    button.setToolTipText(u"second");
    EXPECT_FALSE(IsWindow(tip)) << "a new text makes a new tip";
    EXPECT_EQ(tipText(button), u"second");
}

TEST_F(Tooltips, ShowsAfterRestingOverTheComponentAndHidesWhenThePointerLeaves) {
    button.setToolTipText(u"Play (Ctrl+P)");
    HWND tip = button.toolTipWindow();
    headless::mouseMove(screenOf(button.handle(), 10, 10));
    pumpFor(100ms);
    EXPECT_FALSE(IsWindowVisible(tip)) << "not before the initial delay";
    pumpFor(400ms);
    ASSERT_TRUE(IsWindowVisible(tip));
    EXPECT_TRUE(headless::shown(tip));
    RECT r{};
    GetWindowRect(tip, &r);
    EXPECT_LE(r.right - r.left, 320);
    // The tip never takes the focus or the pointer.
    EXPECT_NE(GetFocus(), tip);
    POINT inside{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_NE(WindowFromPoint(inside), tip);
    headless::savePicture(tip, ::testing::TempDir() + "tooltip.png");

    headless::mouseMove(screenOf(frame.handle(), 300, 250));
    pumpFor(150ms);
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(Tooltips, APressHidesTheTip) {
    button.setToolTipText(u"tip");
    headless::mouseMove(screenOf(button.handle(), 5, 5));
    pumpFor(450ms);
    ASSERT_TRUE(IsWindowVisible(button.toolTipWindow()));
    headless::mouseButton(headless::Button::Left, true, screenOf(button.handle(), 5, 5));
    headless::pumpMessages();
    EXPECT_FALSE(IsWindowVisible(button.toolTipWindow()));
    headless::mouseButton(headless::Button::Left, false, screenOf(button.handle(), 5, 5));
}

TEST_F(Tooltips, DestroyingTheComponentDestroysItsTipAndRestoresItsProcedure) {
    LONG_PTR before = GetWindowLongPtrW(button.handle(), GWLP_WNDPROC);
    button.setToolTipText(u"tip");
    HWND tip = button.toolTipWindow();
    EXPECT_NE(GetWindowLongPtrW(button.handle(), GWLP_WNDPROC), before) << "the tip watches its owner";
    button.destroyWindow();
    EXPECT_FALSE(IsWindow(tip));
    ASSERT_TRUE(button.create(frame.handle()));
    button.setToolTipText(u"again");
    tip = button.toolTipWindow();
    DestroyWindow(tip);
    EXPECT_EQ(GetWindowLongPtrW(button.handle(), GWLP_WNDPROC), before);
}

}  // namespace
