// The channel pane: its two tabs, folding by command, by its button and by
// clicks on the tab strip, the parent's re-layout, drags hovering over a tab
// and files dropped onto it.
#include <gtest/gtest.h>

#include "platform/display/Headless.h"
#include "player/ChannelPane.h"
#include "player/FileTable.h"
#include "toolkit/ToolkitTestSupport.h"

using namespace veltrix::test;

namespace {

// Counts the re-layouts the pane asks of its parent.
class LayoutFrame : public RecordingFrame {
public:
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SIZE) ++sizes;
        return RecordingFrame::windowProc(window, message, wParam, lParam);
    }
    int sizes = 0;
};

struct Channels : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(pane.createChannels(frame.handle(), lyrics, files));
        pane.setBounds(0, 0, 300, 200);
        headless::pumpMessages();
        frame.sizes = 0;
    }
    void TearDown() override { pane.destroyWindow(); }
    int layouts() {
        headless::pumpMessages();
        const int n = frame.sizes;
        frame.sizes = 0;
        return n;
    }
    // nudge keeps a second click on one tab from being a double click.
    POINT tabCentre(int index, int nudge = 0) {
        const RECT r = pane.tabBounds(index);
        return screenOf(pane.handle(), (r.left + r.right) / 2 + nudge, (r.top + r.bottom) / 2 + nudge);
    }

    LayoutFrame frame;
    Component lyrics;
    FileTable files;
    ChannelPane pane;
};

TEST_F(Channels, TwoTabsWithTheirPagesBelowTheStrip) {
    ASSERT_EQ(pane.count(), 2);
    EXPECT_EQ(pane.tab(0)->title, u"Lyrics");
    EXPECT_EQ(pane.tab(1)->title, u"File");
    EXPECT_EQ(pane.selectedIndex(), ChannelPane::kLyricsTab);
    EXPECT_TRUE(IsWindowVisible(lyrics.handle()));
    EXPECT_FALSE(IsWindowVisible(files.handle()));
    RECT page{};
    GetWindowRect(files.handle(), &page);
    RECT strip{};
    GetWindowRect(pane.handle(), &strip);
    EXPECT_EQ(page.top - strip.top, ChannelPane::kCollapsedHeight);
    EXPECT_EQ(page.right - page.left, 298);
    RECT button{};
    GetWindowRect(pane.foldButton().handle(), &button);
    EXPECT_EQ(button.right - button.left, 20);
    EXPECT_LE(button.right, strip.right);
    EXPECT_GE(button.left, strip.right - 24);
}

TEST_F(Channels, FoldingAsksTheParentToLayOutAgain) {
    EXPECT_TRUE(pane.isExpanded());
    SendMessageW(pane.handle(), WM_COMMAND, ChannelPane::kToggleCommand, 0);
    EXPECT_FALSE(pane.isExpanded());
    EXPECT_EQ(layouts(), 1);

    // The fold button sends the same command.
    headless::click(headless::Button::Left, screenOf(pane.foldButton().handle(), 10, 10));
    headless::pumpMessages();
    EXPECT_TRUE(pane.isExpanded());
    EXPECT_EQ(layouts(), 1);

    // A page's command is not the pane's: it goes on to the parent.
    frame.commands.clear();
    SendMessageW(pane.handle(), WM_COMMAND, ChannelPane::kToggleCommand, reinterpret_cast<LPARAM>(lyrics.handle()));
    EXPECT_TRUE(pane.isExpanded());
    EXPECT_EQ(frame.commands, std::vector<int>{ChannelPane::kToggleCommand});
}

TEST_F(Channels, ClicksOnTheTabStrip) {
    // Another tab while open: only switches.
    headless::click(headless::Button::Left, tabCentre(1));
    headless::pumpMessages();
    EXPECT_EQ(pane.selectedIndex(), 1);
    EXPECT_TRUE(pane.isExpanded());
    EXPECT_EQ(layouts(), 0);

    // The shown tab again: folds.
    headless::click(headless::Button::Left, tabCentre(1, 8));
    headless::pumpMessages();
    EXPECT_FALSE(pane.isExpanded());
    EXPECT_EQ(layouts(), 1);

    // Any tab while folded: opens, on the tab clicked.
    headless::click(headless::Button::Left, tabCentre(0));
    headless::pumpMessages();
    EXPECT_TRUE(pane.isExpanded());
    EXPECT_EQ(pane.selectedIndex(), 0);
    EXPECT_EQ(layouts(), 1);
}

TEST_F(Channels, DragHoverOpensAFoldedPaneUntilItLeaves) {
    pane.setExpanded(false);
    layouts();
    DWORD effect = DROPEFFECT_COPY;
    const POINT overFile = tabCentre(1);
    pane.onDragOver(0, overFile.x, overFile.y, &effect);
    EXPECT_EQ(pane.selectedIndex(), 1);
    EXPECT_TRUE(pane.isShowingPages());
    EXPECT_FALSE(pane.isExpanded());
    EXPECT_EQ(layouts(), 1);
    pane.onDragLeave();
    EXPECT_FALSE(pane.isShowingPages());
    EXPECT_EQ(layouts(), 1);

    // An open pane stays open when the drag leaves.
    pane.setExpanded(true);
    layouts();
    const POINT overLyrics = tabCentre(0);
    pane.onDragOver(0, overLyrics.x, overLyrics.y, &effect);
    pane.onDragLeave();
    EXPECT_TRUE(pane.isShowingPages());
    EXPECT_EQ(pane.selectedIndex(), 0);
    EXPECT_EQ(layouts(), 0);
}

TEST_F(Channels, DroppedFilesGoToTheFileList) {
    pane.setExpanded(false);
    layouts();
    headless::dropFiles({u"/x/a.mp3", u"/x/b.ogg", u"/x/c.txt"}, tabCentre(0));
    headless::pumpMessages();
    EXPECT_EQ(files.paths(), (std::vector<std::u16string>{u"/x/a.mp3", u"/x/b.ogg"}));
    EXPECT_EQ(pane.selectedIndex(), ChannelPane::kFileTab);
    EXPECT_TRUE(pane.isExpanded());
    EXPECT_EQ(layouts(), 1);
}

}  // namespace
