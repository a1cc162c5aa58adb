// PopupMenu: the menu it builds (the bar with its "Null" entry, items,
// separators, greyed items) and the choice it returns when driven by the
// mouse, the keyboard or a closed menu on the headless display.
#include <gtest/gtest.h>

#include "ToolkitTestSupport.h"
#include "platform/display/HeadlessAnswers.h"
#include "toolkit/PopupMenu.h"

using namespace veltrix::test;

namespace {

struct ToolkitPopupMenus : ::testing::Test {
    void SetUp() override {
        headless::pumpMessages();
        menu.addMenuItem(u"Open", 1);
        menu.addMenuItem(u"&Remove", 2, ItemState::Greyed);
        menu.addMenuItem(u"", 0);
        menu.addMenuItem(u"Clear History", 3);
        pointer = screenOf(frame.handle(), 120, 90);
        headless::mouseMove(pointer);
        headless::pumpMessages();
    }
    void TearDown() override {
        headless::setMenuResponder({});
        headless::pumpMessages();
    }
    int track(headless::MenuResponder responder, MenuAlignment alignment = MenuAlignment::Top) {
        headless::setMenuResponder(std::move(responder));
        int chosen = menu.trackAtPointer(frame.handle(), alignment);
        headless::pumpMessages();
        return chosen;
    }
    RecordingFrame frame;
    PopupMenu menu;
    POINT pointer{};
};

TEST_F(ToolkitPopupMenus, ItemsHangFromAOneEntryBarAndEndWithTheObject) {
    HMENU bar = nullptr, items = nullptr;
    {
        PopupMenu local;
        local.addMenuItem(u"Delete", 7);
        bar = local.handle();
        items = local.items();
        ASSERT_TRUE(IsMenu(bar));
        EXPECT_EQ(GetMenuItemCount(bar), 1);
        EXPECT_EQ(GetSubMenu(bar, 0), items);
        EXPECT_EQ(GetMenuItemCount(items), 1);
        EXPECT_EQ(GetMenuItemID(items, 0), 7u);
    }
    EXPECT_FALSE(IsMenu(bar));
    EXPECT_FALSE(IsMenu(items));
}

TEST_F(ToolkitPopupMenus, ShowsTheItemsAtThePointerAndReturnsTheChoiceWithoutSendingIt) {
    headless::MenuShown seen;
    EXPECT_EQ(track([&](const headless::MenuShown& s) {
                  seen = s;
                  return 3;
              }),
              3);
    ASSERT_EQ(seen.items.size(), 4u);
    EXPECT_EQ(seen.at.x, pointer.x);
    EXPECT_EQ(seen.at.y, pointer.y);
    EXPECT_EQ(seen.items[0].text, u"Open");
    EXPECT_EQ(seen.items[0].id, 1u);
    EXPECT_TRUE(seen.items[0].enabled);
    EXPECT_EQ(seen.items[1].text, u"&Remove");
    EXPECT_FALSE(seen.items[1].enabled);
    EXPECT_TRUE(seen.items[2].separator);
    EXPECT_EQ(seen.items[3].id, 3u);
    EXPECT_TRUE(frame.commands.empty()) << "the choice is returned, not sent";
}

TEST_F(ToolkitPopupMenus, BottomAlignmentPutsTheMenuAboveThePointer) {
    RECT r{};
    track(
        [&](const headless::MenuShown& s) {
            GetWindowRect(s.popup, &r);
            return 0;
        },
        MenuAlignment::Bottom);
    EXPECT_EQ(r.bottom, pointer.y);
    EXPECT_EQ(r.left, pointer.x);
}

TEST_F(ToolkitPopupMenus, MouseKeyboardAndClosingGiveTheChosenIdOrZero) {
    // Item rows are 28 pixels high below a 4-pixel frame.
    EXPECT_EQ(track([](const headless::MenuShown& s) {
                  POINT item{s.at.x + 30, s.at.y + 4 + 14};
                  headless::mouseMove(item);
                  headless::click(headless::Button::Left, item);
                  return headless::kLetItRun;
              }),
              1);
    EXPECT_EQ(track([](const headless::MenuShown& s) {
                  POINT greyed{s.at.x + 30, s.at.y + 4 + 28 + 14};
                  headless::mouseMove(greyed);
                  headless::click(headless::Button::Left, greyed);
                  headless::pressKey(VK_ESCAPE);
                  return headless::kLetItRun;
              }),
              0)
        << "a greyed item cannot be chosen";
    EXPECT_EQ(track([](const headless::MenuShown&) {
                  headless::pressKey(VK_DOWN);
                  headless::pressKey(VK_RETURN);
                  return headless::kLetItRun;
              }),
              1);
    EXPECT_EQ(track([](const headless::MenuShown&) { return 0; }), 0);
    EXPECT_TRUE(frame.commands.empty());
}

TEST_F(ToolkitPopupMenus, PictureOfTheRecentFilesMenu) {
    PopupMenu recent;
    recent.addMenuItem(u"1 /home/user/Lessons/AskingTheWay.mp3", 1);
    recent.addMenuItem(u"2 /home/user/Lessons/英語のニュース 2012-05-14.mp3", 2);
    recent.addMenuItem(u"Save As .lrc File...", 8, ItemState::Greyed);
    recent.addMenuItem(u"", 0);
    recent.addMenuItem(u"Clear History", 3);
    headless::setMenuResponder([](const headless::MenuShown& s) {
        POINT second{s.at.x + 40, s.at.y + 4 + 28 + 14};
        headless::mouseMove(second);
        headless::pumpMessages();
        EXPECT_TRUE(headless::savePicture(s.popup, "recent-files-menu.png"));
        return 2;
    });
    EXPECT_EQ(recent.trackAtPointer(frame.handle()), 2);
}

}  // namespace
