// The caption button: its close button's place at either end through
// resizes, and the command 11 that the close button makes the caption send.
#include <gtest/gtest.h>

#include <filesystem>

#include "ToolkitTestSupport.h"
#include "toolkit/Caption.h"
#include "toolkit/TabbedPane.h"

using namespace veltrix::test;

namespace {

constexpr int kCaptionId = 7;

struct Captions : ::testing::Test {
    void SetUp() override { headless::pumpMessages(); }
    void TearDown() override {
        ReleaseCapture();
        headless::pumpMessages();
    }
    void make(Caption& caption, int width, int height) {
        ASSERT_TRUE(caption.createButton(frame.handle(), kCaptionId, u"Pinned", 20, 20, width, height));
        headless::pumpMessages();
    }
    // The close button's rectangle in the caption's client coordinates.
    static RECT closeRect(Caption& caption) {
        HWND button = GetDlgItem(caption.handle(), Caption::kCloseButtonId);
        RECT r{};
        GetWindowRect(button, &r);
        POINT topLeft{r.left, r.top};
        ScreenToClient(caption.handle(), &topLeft);
        return RECT{topLeft.x, topLeft.y, topLeft.x + r.right - r.left, topLeft.y + r.bottom - r.top};
    }
    void click(HWND window, int x, int y) {
        headless::click(headless::Button::Left, screenOf(window, x, y));
        headless::pumpMessages();
    }

    RecordingFrame frame;
};

TEST_F(Captions, TheCloseButtonKeepsToItsEnd) {
    struct Case {
        CloseButtonEnd end;
        int width;
        int resizedWidth;
        int x;
        int resizedX;
    };
    const Case cases[] = {
        {CloseButtonEnd::Right, 120, 60, 100, 40},
        {CloseButtonEnd::Left, 120, 60, 0, 0},
    };
    for (const Case& c : cases) {
        Caption caption(c.end);
        make(caption, c.width, 24);
        HWND button = GetDlgItem(caption.handle(), Caption::kCloseButtonId);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button, caption.closeButton().handle());
        EXPECT_EQ(GetParent(button), caption.handle());
        RECT r = closeRect(caption);
        EXPECT_EQ(r.left, c.x);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right - r.left, 20);
        EXPECT_EQ(r.bottom - r.top, 20);

        caption.setBounds(20, 20, c.resizedWidth, 30);
        headless::pumpMessages();
        EXPECT_EQ(closeRect(caption).left, c.resizedX);
    }

    Caption moved(CloseButtonEnd::Left);
    make(moved, 90, 24);
    moved.setCloseButtonEnd(CloseButtonEnd::Right);
    EXPECT_EQ(closeRect(moved).left, 70);
}

TEST_F(Captions, TheCloseButtonSendsCommand11AndRemembersTheCaptionsState) {
    Caption caption;
    make(caption, 120, 24);
    const RECT r = closeRect(caption);

    click(caption.handle(), r.left + 10, 10);
    EXPECT_EQ(frame.commands, std::vector<int>{Caption::kCloseButtonId});
    EXPECT_FALSE(caption.wasOnAtLastClose());
    EXPECT_EQ(caption.getState(), 0);  // the caption itself was not clicked

    caption.setState(1);
    click(caption.handle(), r.left + 4, 14);  // away from the first click: no double click
    EXPECT_EQ(frame.commands, (std::vector<int>{11, 11}));
    EXPECT_TRUE(caption.wasOnAtLastClose());

    // A click on the caption itself reports the caption's own id.
    frame.commands.clear();
    click(caption.handle(), 30, 12);
    EXPECT_EQ(frame.commands, std::vector<int>{kCaptionId});
    EXPECT_EQ(caption.getState(), 0);

    // A command 11 from anyone but the close button is not the close gesture.
    frame.commands.clear();
    SendMessageW(caption.handle(), WM_COMMAND, MAKEWPARAM(Caption::kCloseButtonId, 0), 0);
    EXPECT_TRUE(frame.commands.empty());
}

TEST_F(Captions, PictureBesideTheTabs) {
    TabbedPane pane;
    ASSERT_TRUE(pane.createPane(frame.handle(), TabSide::Top));
    pane.setBounds(10, 10, 300, 120);
    Component pages[2];
    for (Component& page : pages) {
        ASSERT_TRUE(page.create(pane.handle()));
        page.setBackground(TabbedPane::kSelectedTabColour);
        page.setBounds(1, 24, 298, 95);
    }
    pane.addTab(u"Lyrics", &pages[0]);
    pane.addTab(u"File", &pages[1]);
    pane.selectTab(1, TabNotification::Silent);
    Caption caption;
    ASSERT_TRUE(caption.createButton(pane.handle(), 5, u"", 278, 2, 20, 20));
    headless::pumpMessages();

    const std::filesystem::path folder = VELTRIX_PICTURES_DIR;
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(headless::savePicture(frame.handle(), (folder / "tabbed-pane-caption.png").string()));
    // The close button covers the whole 20 x 20 caption and draws its cross.
    EXPECT_EQ(closeRect(caption).left, 0);
    bool inked = false;
    for (int y = 4; y < 16; ++y)
        for (int x = 4; x < 16; ++x) inked = inked || headless::pixel(caption.closeButton().handle(), x, y) == 0x505050;
    EXPECT_TRUE(inked);
}

}  // namespace
