// Menus: the item table behind HMENU, and pop-up menus driven on the headless
// display by a responder, keys and the mouse.
#include <gtest/gtest.h>

#include "MessageLog.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

constexpr DWORD kNoItem = 0xFFFFFFFF;

TEST(MenuTable, ItemsKeepTheirStateAndReportThePreviousOne) {
    HMENU sub = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuW(sub, MF_STRING, 21, u"Inner"));
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuW(menu, MF_STRING | MF_CHECKED, 10, u"&Copy"));
    ASSERT_TRUE(AppendMenuW(menu, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenuW(menu, MF_STRING | MF_GRAYED, 11, u"&Paste"));
    ASSERT_TRUE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"More"));
    EXPECT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(GetMenuItemID(menu, 0), 10u);
    EXPECT_EQ(GetMenuItemID(menu, 3), kNoItem);
    EXPECT_EQ(GetMenuItemID(menu, 9), kNoItem);
    EXPECT_EQ(GetSubMenu(menu, 3), sub);
    EXPECT_EQ(GetSubMenu(menu, 0), nullptr);

    EXPECT_EQ(CheckMenuItem(menu, 10, MF_UNCHECKED), MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(menu, 10, MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(CheckMenuItem(menu, 21, MF_CHECKED), MF_UNCHECKED);  // found in the submenu
    EXPECT_EQ(GetMenuState(sub, 0, MF_BYPOSITION) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(menu, 99, MF_CHECKED), kNoItem);
    EXPECT_EQ(EnableMenuItem(menu, 11, MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
    EXPECT_EQ(EnableMenuItem(menu, 2, MF_BYPOSITION | MF_DISABLED), static_cast<BOOL>(MF_ENABLED));
    EXPECT_EQ(GetMenuState(menu, 11, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), MF_DISABLED);
    EXPECT_EQ(EnableMenuItem(menu, 98, MF_GRAYED), static_cast<BOOL>(kNoItem));

    // The menu owns its submenu: both end together, and stale handles do nothing.
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_EQ(GetMenuItemCount(menu), -1);
    EXPECT_FALSE(AppendMenuW(menu, MF_STRING, 1, u"x"));
    EXPECT_FALSE(DestroyMenu(menu));
}

TEST(MenuTable, SubmenusFormTreesWithoutCycles) {
    HMENU a = CreatePopupMenu(), b = CreatePopupMenu(), c = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuW(a, MF_POPUP, reinterpret_cast<UINT_PTR>(b), u"b"));
    ASSERT_TRUE(AppendMenuW(b, MF_POPUP, reinterpret_cast<UINT_PTR>(c), u"c"));
    EXPECT_FALSE(AppendMenuW(c, MF_POPUP, reinterpret_cast<UINT_PTR>(a), u"a"));        // would hold itself
    EXPECT_FALSE(AppendMenuW(a, MF_POPUP, reinterpret_cast<UINT_PTR>(c), u"c again"));  // has a place already
    EXPECT_FALSE(AppendMenuW(a, MF_POPUP, reinterpret_cast<UINT_PTR>(a), u"self"));
    // Removing gives the submenu back; deleting ends it.
    EXPECT_TRUE(RemoveMenu(b, 0, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(c));
    EXPECT_TRUE(AppendMenuW(a, MF_POPUP, reinterpret_cast<UINT_PTR>(c), u"c"));
    EXPECT_TRUE(DeleteMenu(a, 1, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(c));
    // A submenu destroyed alone leaves its parent's item.
    EXPECT_TRUE(DestroyMenu(b));
    EXPECT_EQ(GetMenuItemCount(a), 0);
    EXPECT_TRUE(DestroyMenu(a));
}

int initMenus = 0;
LRESULT ownerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_INITMENUPOPUP) ++initMenus;
    return loggingProc(w, m, wp, lp);
}

struct PopupMenus : ::testing::Test {
    HWND owner = nullptr;
    HMENU menu = nullptr, more = nullptr;
    void SetUp() override {
        headless::pumpMessages();
        static bool registered = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = ownerProc;
            wc.lpszClassName = u"MenuOwner";
            return RegisterClassExW(&wc) != 0;
        }();
        ASSERT_TRUE(registered);
        owner = CreateWindowExW(0, u"MenuOwner", u"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 640, 480,
                                nullptr, nullptr, nullptr, nullptr);
        more = CreatePopupMenu();
        AppendMenuW(more, MF_STRING, 31, u"&First inner");
        AppendMenuW(more, MF_STRING, 32, u"&Second inner");
        menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, 10, u"&Copy\tCtrl+C");
        AppendMenuW(menu, MF_STRING | MF_GRAYED, 11, u"&Paste\tCtrl+V");
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING | MF_CHECKED, 12, u"日本語を表示(&J)");
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), u"&More");
        AppendMenuW(menu, MF_STRING, 13, u"&Clear History");
        initMenus = 0;
        headless::pumpMessages();
        MessageLog::instance().clear();
    }
    void TearDown() override {
        headless::setMenuResponder({});
        DestroyMenu(menu);
        DestroyWindow(owner);
        headless::pumpMessages();
    }
    int track(std::function<int(const headless::MenuShown&)> responder, UINT flags = TPM_RETURNCMD) {
        headless::setMenuResponder(std::move(responder));
        int chosen = TrackPopupMenu(menu, flags, 300, 200, 0, owner, nullptr);
        // Input injected after the choice reaches the windows below afterwards.
        headless::pumpMessages();
        return chosen;
    }
    // The screen point in the middle of an item of the first level, counting
    // from the top (item heights 28, separators 9, 4 pixels of frame).
    static POINT itemPoint(const headless::MenuShown& s, int index) {
        int y = 4;
        for (int k = 0; k < index; ++k) y += s.items[k].separator ? 9 : 28;
        return {s.at.x + 40, s.at.y + y + (s.items[index].separator ? 4 : 14)};
    }
};

TEST_F(PopupMenus, TheResponderSeesTheItemsAndChooses) {
    headless::MenuShown seen;
    EXPECT_EQ(track([&](const headless::MenuShown& s) {
                  seen = s;
                  return 12;
              }),
              12);
    ASSERT_EQ(seen.items.size(), 6u);
    EXPECT_EQ(seen.at.x, 300);
    EXPECT_EQ(seen.at.y, 200);
    EXPECT_EQ(seen.items[0].text, u"&Copy\tCtrl+C");
    EXPECT_EQ(seen.items[0].id, 10u);
    EXPECT_FALSE(seen.items[1].enabled);
    EXPECT_TRUE(seen.items[2].separator);
    EXPECT_TRUE(seen.items[3].checked);
    EXPECT_TRUE(seen.items[4].submenu);
    EXPECT_EQ(initMenus, 1);
    EXPECT_FALSE(IsWindow(seen.popup));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PopupMenus, ChoicesThatAreNotOfferedChooseNothing) {
    EXPECT_EQ(track([](const headless::MenuShown&) { return 11; }), 0);  // greyed
    EXPECT_EQ(track([](const headless::MenuShown&) { return 77; }), 0);  // not there
    EXPECT_EQ(track([](const headless::MenuShown&) { return 0; }), 0);
    EXPECT_EQ(track([](const headless::MenuShown&) { return 32; }), 32);  // inside the submenu
    headless::setMenuResponder({});
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0);  // no responder: closed
}

TEST_F(PopupMenus, WithoutReturnCommandTheOwnerGetsWmCommand) {
    EXPECT_TRUE(track([](const headless::MenuShown&) { return 13; }, TPM_LEFTALIGN | TPM_NONOTIFY));
    EXPECT_EQ(initMenus, 0);
    headless::pumpMessages();
    auto commands = MessageLog::instance().of(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].window, owner);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(13, 0));
    EXPECT_EQ(commands[0].lParam, 0);
}

TEST_F(PopupMenus, KeysMoveChooseOpenAndClose) {
    struct Case {
        std::vector<int> keys;
        std::u16string typed;
        int chosen;
    };
    const Case cases[] = {
        {{VK_DOWN, VK_RETURN}, u"", 10},
        {{VK_DOWN, VK_DOWN, VK_RETURN}, u"", 0},            // the greyed item is passed over but not chosen
        {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, u"", 12},  // the separator is skipped
        {{VK_UP, VK_RETURN}, u"", 13},                      // up from nothing: the last item
        {{VK_UP, VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN}, u"", 32},
        {{VK_UP, VK_UP, VK_RIGHT, VK_LEFT, VK_UP, VK_RETURN}, u"", 12},
        {{}, u"j", 12},   // the access key after "&"
        {{}, u"ms", 32},  // into the submenu, then its key
        {{}, u"cc", 0},   // two items share C: it only moves
        {{VK_ESCAPE}, u"", 0},
        {{VK_UP, VK_UP, VK_RIGHT, VK_ESCAPE, VK_UP, VK_RETURN}, u"", 12},  // Escape closes one level
    };
    for (const auto& c : cases) {
        int got = track([&](const headless::MenuShown&) {
            for (int k : c.keys) headless::pressKey(k);
            if (!c.typed.empty()) headless::typeText(c.typed);
            // Whatever is left open is closed by a click far away.
            headless::click(headless::Button::Left, {5, 5});
            return headless::kLetItRun;
        });
        EXPECT_EQ(got, c.chosen) << c.typed.size() << " keys " << c.keys.size();
    }
}

TEST_F(PopupMenus, TheMouseHighlightsOpensSubmenusAndChooses) {
    EXPECT_EQ(track([](const headless::MenuShown& s) {
                  headless::mouseMove(itemPoint(s, 0));
                  headless::click(headless::Button::Left, itemPoint(s, 5));
                  return headless::kLetItRun;
              }),
              13);
    // A click on a greyed item or a separator keeps the menu; a click outside closes it.
    EXPECT_EQ(track([](const headless::MenuShown& s) {
                  headless::click(headless::Button::Left, itemPoint(s, 1));
                  headless::click(headless::Button::Left, itemPoint(s, 2));
                  headless::click(headless::Button::Left, {s.at.x - 30, s.at.y - 30});
                  return headless::kLetItRun;
              }),
              0);
    // Resting on "More" opens its submenu beside it; a click there chooses.
    EXPECT_EQ(track([](const headless::MenuShown& s) {
                  headless::mouseMove(itemPoint(s, 4));
                  headless::pumpMessages();
                  RECT frame;
                  GetWindowRect(s.popup, &frame);
                  int y = 4;
                  for (int k = 0; k < 4; ++k) y += s.items[k].separator ? 9 : 28;
                  POINT second{frame.right + 30, frame.top + y - 4 + 4 + 28 + 14};
                  headless::mouseMove(second);
                  headless::click(headless::Button::Left, second);
                  return headless::kLetItRun;
              }),
              32);
}

TEST_F(PopupMenus, AlignmentPlacesTheCornerAndTheScreenKeepsTheMenu) {
    RECT frame{};
    auto measure = [&](const headless::MenuShown& s) {
        GetWindowRect(s.popup, &frame);
        return 0;
    };
    headless::setMenuResponder(measure);
    TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 400, 300, 0, owner, nullptr);
    EXPECT_EQ(frame.right, 400);
    EXPECT_EQ(frame.bottom, 300);
    TrackPopupMenu(menu, TPM_RETURNCMD, GetSystemMetrics(SM_CXSCREEN) - 10, GetSystemMetrics(SM_CYSCREEN) - 10, 0,
                   owner, nullptr);
    EXPECT_LE(frame.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(frame.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(PopupMenus, BadArgumentsFailWithoutShowingAnything) {
    bool shown = false;
    headless::setMenuResponder([&](const headless::MenuShown&) {
        shown = true;
        return 0;
    });
    EXPECT_FALSE(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, nullptr, nullptr));
    HMENU empty = CreatePopupMenu();
    EXPECT_FALSE(TrackPopupMenu(empty, 0, 0, 0, 0, owner, nullptr));
    DestroyMenu(empty);
    EXPECT_FALSE(TrackPopupMenu(empty, 0, 0, 0, 0, owner, nullptr));
    EXPECT_FALSE(shown);
}

TEST_F(PopupMenus, PictureOfAMenuWithASubmenu) {
    track([](const headless::MenuShown& s) {
        headless::mouseMove(itemPoint(s, 0));
        headless::pumpMessages();
        EXPECT_TRUE(headless::savePicture(s.popup, "popup-menu.png"));
        EXPECT_EQ(headless::pixel(s.popup, 100, 4 + 14), RGB(0xE4, 0xEE, 0xF9));  // the highlight
        EXPECT_EQ(headless::pixel(s.popup, 0, 0), RGB(0xC8, 0xC8, 0xC8));         // the border
        return 0;
    });
}

}  // namespace
