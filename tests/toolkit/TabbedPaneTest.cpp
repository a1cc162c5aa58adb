// The tabbed pane: geometry on every side, selection by mouse and keys with
// its change event, the swap on re-adding a page, the guard's veto, closing
// through the close box and the menu, the emulated tab-control messages, and
// what the pane paints.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ToolkitTestSupport.h"
#include "platform/display/HeadlessAnswers.h"
#include "toolkit/Graphics.h"
#include "toolkit/TabGuard.h"
#include "toolkit/TabbedPane.h"

using namespace veltrix::test;

namespace {

constexpr int kPaneWidth = 300;
constexpr int kPaneHeight = 260;

struct ChangeRecorder : ChangeListener {
    void stateChanged(ChangeEvent event) override {
        values.push_back(event.value);
        selections.push_back(pane ? pane->selectedIndex() : -2);
    }
    TabbedPane* pane = nullptr;
    std::vector<int> values;
    std::vector<int> selections;  // the selection each event saw
};

struct Guard : TabGuard {
    bool allowSwap(int a, int b) override {
        swaps.push_back({a, b});
        return swapAllowed;
    }
    bool allowRemove(int index) override {
        removals.push_back(index);
        return removeAllowed;
    }
    bool swapAllowed = true;
    bool removeAllowed = true;
    std::vector<std::pair<int, int>> swaps;
    std::vector<int> removals;
};

class Page : public Component {};

struct Tabs : ::testing::Test {
    void SetUp() override { headless::pumpMessages(); }
    void TearDown() override {
        headless::setMenuResponder({});
        ReleaseCapture();
        headless::pumpMessages();
    }

    // A pane on the side with three pages "One", "Two", "Three", tab 0 selected.
    void build(TabSide side, int pages = 3) {
        ASSERT_TRUE(pane.createPane(frame.handle(), side));
        pane.setBounds(10, 10, kPaneWidth, kPaneHeight);
        const std::u16string titles[] = {u"One", u"Two", u"Three", u"Four", u"Five"};
        for (int i = 0; i < pages; ++i) {
            ASSERT_TRUE(page[i].create(pane.handle()));
            page[i].setBounds(30, 30, 100, 100);
            pane.addTab(titles[i], &page[i]);
        }
        pane.selectTab(0, TabNotification::Silent);
        changes.pane = &pane;
        pane.addListener("ChangeListener", &changes);
        headless::pumpMessages();
        frame.notifications.clear();
    }
    // The middle of a tab, moved along it by shift pixels: two clicks at the
    // same point would make a double click, which presses nothing.
    POINT tabPoint(int index, int shift = 0) {
        RECT r = pane.tabBounds(index);
        const bool turned = pane.side() == TabSide::Left || pane.side() == TabSide::Right;
        return screenOf(pane.handle(), (r.left + r.right) / 2 + (turned ? 0 : shift),
                        (r.top + r.bottom) / 2 + (turned ? shift : 0));
    }
    void click(POINT screen, headless::Button button = headless::Button::Left) {
        headless::click(button, screen);
        headless::pumpMessages();
    }
    std::vector<std::u16string> titles() const {
        std::vector<std::u16string> out;
        for (int i = 0; i < pane.count(); ++i) out.push_back(pane.tab(i)->title);
        return out;
    }
    std::vector<bool> visiblePages(int n = 3) const {
        std::vector<bool> out;
        for (int i = 0; i < n; ++i) out.push_back(IsWindowVisible(page[i].handle()) != FALSE);
        return out;
    }

    RecordingFrame frame;
    TabbedPane pane;
    Page page[5];
    ChangeRecorder changes;
};

using V = std::vector<bool>;
using T = std::vector<std::u16string>;

TEST_F(Tabs, GeometryOnEverySide) {
    struct Case {
        TabSide side;
        RECT tab0, tab2, close1;
        DWORD sideBits;
    };
    const Case cases[] = {
        {TabSide::Top, {0, 0, 80, 24}, {160, 0, 240, 24}, {144, 6, 156, 18}, 0},
        {TabSide::Right, {276, 0, 300, 80}, {276, 160, 300, 240}, {284, 86, 296, 98}, 0x82},
        {TabSide::Bottom, {0, 236, 80, 260}, {160, 236, 240, 260}, {144, 242, 156, 254}, 0x02},
        {TabSide::Left, {0, 0, 24, 80}, {0, 160, 24, 240}, {8, 86, 20, 98}, 0x80},
    };
    auto same = [](RECT a, RECT b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.side));
        build(c.side);
        const bool turned = c.side == TabSide::Left || c.side == TabSide::Right;
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(pane.handle(), GWL_STYLE)), 0x56010400u | c.sideBits);
        EXPECT_TRUE(same(pane.tabBounds(0), c.tab0));
        EXPECT_TRUE(same(pane.tabBounds(2), c.tab2));
        // Past the end: where the next tab would go, with the default length.
        const RECT next = pane.tabBounds(3);
        EXPECT_EQ(turned ? next.top : next.left, 240);
        EXPECT_EQ(turned ? next.bottom : next.right, 320);
        EXPECT_EQ(pane.tabAt(c.tab2.left, c.tab2.top), 2);
        EXPECT_EQ(pane.tabAt(c.tab2.right - 1, c.tab2.bottom - 1), 2);
        EXPECT_EQ(pane.tabAt(150, 100), -1);
        EXPECT_TRUE(same(pane.closeBoxBounds(1), c.close1));
        EXPECT_EQ(pane.font().lfEscapement, turned ? -900 : 0);
        EXPECT_EQ(pane.font().lfOrientation, turned ? -900 : 0);
        pane.destroyWindow();
    }
}

TEST_F(Tabs, AClickSelectsOnEverySideAndFiresTheChangeOnce) {
    for (TabSide side : {TabSide::Top, TabSide::Right, TabSide::Bottom, TabSide::Left}) {
        SCOPED_TRACE(static_cast<int>(side));
        changes.values.clear();
        build(side);
        EXPECT_EQ(visiblePages(), (V{true, false, false}));

        click(tabPoint(2));
        EXPECT_EQ(pane.selectedIndex(), 2);
        EXPECT_EQ(visiblePages(), (V{false, false, true}));
        EXPECT_EQ(changes.values, std::vector<int>{-551});
        // Nobody listens under "EventListener": the parent hears -551 once.
        EXPECT_EQ(frame.count(EventCode::TabChanged), 1);

        click(tabPoint(2, 10));
        EXPECT_EQ(changes.values.size(), 1u);
        EXPECT_EQ(frame.count(EventCode::TabChanged), 1);

        click(tabPoint(1));
        EXPECT_EQ(pane.selectedIndex(), 1);
        EXPECT_EQ(changes.values.size(), 2u);
        pane.destroyWindow();
    }
}

TEST_F(Tabs, TheChangeGoesToEventListenersInsteadOfTheParent) {
    build(TabSide::Top);
    struct Codes : EventListener {
        void handleEvent(const EventObject& e) override { codes.push_back(e.code); }
        std::vector<int> codes;
    } codes;
    pane.addEventListener(&codes);
    click(tabPoint(1));
    EXPECT_EQ(changes.selections, std::vector<int>{1});  // fired after the selection moved
    EXPECT_EQ(frame.count(EventCode::TabChanged), 0);
    EXPECT_NE(std::find(codes.codes.begin(), codes.codes.end(), EventCode::TabChanged), codes.codes.end());
    pane.destroyWindow();  // before the listener goes
}

TEST_F(Tabs, ProgramSelectionIsSilentAndFallsBackToTheFirstTab) {
    build(TabSide::Top);
    pane.selectTab(2, TabNotification::Silent);
    EXPECT_EQ(pane.selectedIndex(), 2);
    EXPECT_EQ(visiblePages(), (V{false, false, true}));
    pane.selectTab(2, TabNotification::Fire);  // already selected: nothing
    pane.selectTab(7, TabNotification::Silent);
    EXPECT_EQ(pane.selectedIndex(), 0);
    pane.selectTab(-3, TabNotification::Fire);  // 0 again: nothing
    EXPECT_TRUE(changes.values.empty());
    EXPECT_EQ(frame.count(EventCode::TabChanged), 0);

    pane.showPage(9);
    EXPECT_EQ(visiblePages(), (V{false, false, false}));
    pane.showPage(1);
    EXPECT_EQ(visiblePages(), (V{false, true, false}));
    pane.hideAllPages();
    EXPECT_EQ(visiblePages(), (V{false, false, false}));
}

TEST_F(Tabs, ArrowKeysStepAndClampWithNotification) {
    build(TabSide::Left);
    SetFocus(pane.handle());
    headless::pumpMessages();
    struct Step {
        int key;
        int selected;
        std::size_t events;
    };
    const Step steps[] = {
        {VK_LEFT, 0, 0}, {VK_RIGHT, 1, 1}, {VK_RIGHT, 2, 2}, {VK_RIGHT, 2, 2}, {VK_LEFT, 1, 3}, {VK_UP, 1, 3},
    };
    for (const Step& s : steps) {
        headless::pressKey(s.key);
        headless::pumpMessages();
        EXPECT_EQ(pane.selectedIndex(), s.selected) << s.key;
        EXPECT_EQ(changes.values.size(), s.events) << s.key;
    }
    EXPECT_EQ(visiblePages(), (V{false, true, false}));
}

TEST_F(Tabs, ArrowKeysDoNothingWithOneTabAndTabMovesTheFocus) {
    build(TabSide::Top, 1);
    Page after;
    ASSERT_TRUE(after.create(frame.handle()));
    after.setBounds(320, 10, 40, 40);
    SetFocus(pane.handle());
    headless::pumpMessages();
    headless::pressKey(VK_RIGHT);
    headless::pumpMessages();
    EXPECT_EQ(pane.selectedIndex(), 0);
    EXPECT_TRUE(changes.values.empty());

    headless::pressKey(VK_TAB);
    headless::pumpMessages();
    EXPECT_EQ(GetFocus(), after.handle());
}

TEST_F(Tabs, ReAddingAPageSwapsInsteadOfAdding) {
    build(TabSide::Top);
    pane.selectTab(0, TabNotification::Silent);
    pane.addTab(u"Again", &page[0]);  // to the last place
    EXPECT_EQ(titles(), (T{u"Three", u"Two", u"One"}));
    EXPECT_EQ(pane.indexOf(&page[0]), 2);
    EXPECT_EQ(pane.selectedIndex(), 2);  // the selection followed its page
    EXPECT_EQ(visiblePages(), (V{true, false, false}));

    pane.insertTab(u"Again", &page[1], 0);
    EXPECT_EQ(titles(), (T{u"Two", u"Three", u"One"}));
    pane.insertTab(u"Same", &page[1], 0);  // already there: nothing
    EXPECT_EQ(titles(), (T{u"Two", u"Three", u"One"}));
    EXPECT_TRUE(changes.values.empty());

    // A new page before the selection keeps the selection on its tab.
    ASSERT_TRUE(page[3].create(pane.handle()));
    pane.insertTab(u"Four", &page[3], 1);
    EXPECT_EQ(titles(), (T{u"Two", u"Four", u"Three", u"One"}));
    EXPECT_EQ(pane.selectedIndex(), 3);
    pane.insertTab(u"Five", nullptr, 99);
    EXPECT_EQ(pane.count(), 5);
    EXPECT_EQ(pane.tab(4)->title, u"Five");
}

TEST_F(Tabs, TheGuardVetoesSwapsAndRemovals) {
    build(TabSide::Top);
    Guard guard;
    pane.setTabGuard(&guard);
    pane.setClosable(TabsClosable::Yes);
    guard.swapAllowed = false;
    guard.removeAllowed = false;

    pane.swapTabs(0, 2);
    pane.addTab(u"Again", &page[0]);
    EXPECT_EQ(titles(), (T{u"One", u"Two", u"Three"}));
    EXPECT_EQ(guard.swaps, (std::vector<std::pair<int, int>>{{0, 2}, {0, 2}}));
    pane.swapTabs(1, 1);  // equal: the guard is not even asked
    pane.swapTabs(1, 5);
    EXPECT_EQ(guard.swaps.size(), 2u);

    EXPECT_FALSE(pane.removeTab(1));
    EXPECT_FALSE(pane.closeTab(1));
    EXPECT_FALSE(pane.removeTab(3));  // outside: not asked
    EXPECT_EQ(guard.removals, (std::vector<int>{1, 1}));
    EXPECT_EQ(pane.count(), 3);
    EXPECT_TRUE(changes.values.empty());

    guard.swapAllowed = guard.removeAllowed = true;
    pane.swapTabs(0, 2);
    EXPECT_EQ(titles(), (T{u"Three", u"Two", u"One"}));
    EXPECT_TRUE(pane.removeTab(1));
    EXPECT_EQ(titles(), (T{u"Three", u"One"}));
    pane.setTabGuard(nullptr);
}

TEST_F(Tabs, RemovingKeepsTheSelectionOnItsTabAndLeavesThePageAlone) {
    build(TabSide::Top);
    pane.selectTab(2, TabNotification::Silent);
    EXPECT_TRUE(pane.removeTab(0));
    EXPECT_EQ(pane.selectedIndex(), 1);
    EXPECT_EQ(pane.tab(1)->page, &page[2]);
    EXPECT_TRUE(IsWindow(page[0].handle()));

    // The selected last tab goes: the selection never points past the end.
    EXPECT_TRUE(pane.removeTab(1));
    EXPECT_EQ(pane.selectedIndex(), 0);
    EXPECT_TRUE(pane.removeTab(0));
    EXPECT_EQ(pane.selectedIndex(), -1);
    EXPECT_FALSE(pane.removeTab(0));
    pane.selectTab(0, TabNotification::Fire);
    EXPECT_EQ(pane.selectedIndex(), -1);
    EXPECT_TRUE(changes.values.empty());
}

TEST_F(Tabs, DestroyingThePaneRemovesEveryTab) {
    build(TabSide::Right);
    pane.selectTab(1, TabNotification::Silent);
    pane.destroyWindow();
    EXPECT_EQ(pane.count(), 0);
    EXPECT_EQ(pane.selectedIndex(), -1);
    EXPECT_EQ(pane.handle(), nullptr);
}

TEST_F(Tabs, AReleaseWithoutAPressedTabSelectsNothing) {
    build(TabSide::Top);
    pane.selectTab(2, TabNotification::Silent);
    const POINT blank = screenOf(pane.handle(), 280, 10);  // strip, past the tabs
    click(blank);
    EXPECT_EQ(pane.selectedIndex(), 2);
    EXPECT_TRUE(changes.values.empty());
}

TEST_F(Tabs, KeepPressedSelectsOnThePressAndAgainOnlyOnTheSameTab) {
    build(TabSide::Top);
    pane.setKeepPressed(true);
    headless::mouseButton(headless::Button::Left, true, tabPoint(1));
    headless::pumpMessages();
    EXPECT_EQ(pane.pressedIndex(), 1);
    EXPECT_EQ(pane.selectedIndex(), 1);
    pane.selectTab(0, TabNotification::Silent);
    headless::mouseButton(headless::Button::Left, false, tabPoint(1));
    headless::pumpMessages();
    EXPECT_EQ(pane.pressedIndex(), -1);
    EXPECT_EQ(pane.selectedIndex(), 1);
    EXPECT_EQ(changes.values.size(), 2u);

    // Released over another tab: the press is dropped.
    headless::mouseButton(headless::Button::Left, true, tabPoint(2));
    headless::pumpMessages();
    pane.selectTab(0, TabNotification::Silent);
    headless::mouseButton(headless::Button::Left, false, tabPoint(1));
    headless::pumpMessages();
    EXPECT_EQ(pane.selectedIndex(), 0);
}

TEST_F(Tabs, TheCloseBoxClosesOnlyClosablePanes) {
    build(TabSide::Top);
    const RECT box = pane.closeBoxBounds(1);
    const int middle = (box.top + box.bottom) / 2;
    click(screenOf(pane.handle(), box.left + 2, middle));
    EXPECT_EQ(pane.count(), 3);
    EXPECT_EQ(pane.selectedIndex(), 1);
    EXPECT_FALSE(pane.closeTab(1));

    pane.setClosable(TabsClosable::Yes);
    pane.selectTab(0, TabNotification::Silent);
    changes.values.clear();
    changes.selections.clear();
    click(screenOf(pane.handle(), box.right - 2, middle));
    EXPECT_EQ(titles(), (T{u"One", u"Three"}));
    EXPECT_EQ(pane.selectedIndex(), 1);  // the tab now at the closed one's place
    EXPECT_EQ(visiblePages(), (V{false, false, true}));
    EXPECT_EQ(changes.values, (std::vector<int>{-551, -551}));  // the press selected, the close changed
}

TEST_F(Tabs, ClosingTheLastTabsEmptiesTheSelection) {
    build(TabSide::Top, 2);
    pane.setClosable(TabsClosable::Yes);
    pane.selectTab(1, TabNotification::Silent);
    EXPECT_TRUE(pane.closeTab(1));
    EXPECT_EQ(pane.selectedIndex(), 0);
    EXPECT_EQ(visiblePages(2), (V{true, false}));
    EXPECT_TRUE(pane.closeTab(0));
    EXPECT_EQ(pane.selectedIndex(), -1);
    EXPECT_EQ(visiblePages(2), (V{false, false}));
    EXPECT_EQ(changes.selections, (std::vector<int>{0, -1}));
}

TEST_F(Tabs, TheCloseMenu) {
    struct Case {
        int tab;
        int chosen;
        std::vector<std::u16string> left;
        int selected;
        std::size_t events;
    };
    const Case cases[] = {
        {2, 1, {u"One", u"Two", u"Four", u"Five"}, 2, 1},
        {2, 3, {u"Three"}, 0, 4},
        {2, 4, {u"Three", u"Four", u"Five"}, 0, 2},
        {2, 5, {u"One", u"Two", u"Three"}, 2, 2},
        {0, 4, {u"One", u"Two", u"Three", u"Four", u"Five"}, 0, 0},
        {4, 5, {u"One", u"Two", u"Three", u"Four", u"Five"}, 0, 0},
        {2, 0, {u"One", u"Two", u"Three", u"Four", u"Five"}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        build(TabSide::Top, 5);
        pane.setBounds(10, 10, 390, kPaneHeight);
        pane.setClosable(TabsClosable::Yes);
        changes.values.clear();
        headless::MenuShown shown;
        headless::setMenuResponder([&](const headless::MenuShown& s) {
            shown = s;
            return c.chosen;
        });
        click(tabPoint(c.tab), headless::Button::Right);
        ASSERT_EQ(shown.items.size(), 5u);
        EXPECT_EQ(shown.items[0].text, u"Close");
        EXPECT_EQ(shown.items[0].id, 1u);
        EXPECT_TRUE(shown.items[1].separator);
        EXPECT_EQ(shown.items[2].text, u"Close &Other Tabs");
        EXPECT_EQ(shown.items[2].id, 3u);
        EXPECT_EQ(shown.items[3].text, u"Close &Left Tabs");
        EXPECT_EQ(shown.items[3].id, 4u);
        EXPECT_EQ(shown.items[4].text, u"Close &Right Tabs");
        EXPECT_EQ(shown.items[4].id, 5u);
        const POINT pointer = tabPoint(c.tab);
        EXPECT_EQ(shown.at.x, pointer.x);
        EXPECT_EQ(shown.at.y, pointer.y);
        EXPECT_EQ(titles(), c.left);
        EXPECT_EQ(pane.selectedIndex(), c.selected);
        EXPECT_EQ(changes.values.size(), c.events);
        pane.destroyWindow();
    }
}

TEST_F(Tabs, NoCloseMenuOnAPaneThatCannotClose) {
    build(TabSide::Top);
    int menus = 0;
    headless::setMenuResponder([&](const headless::MenuShown&) {
        ++menus;
        return 1;
    });
    click(tabPoint(1), headless::Button::Right);
    EXPECT_EQ(menus, 0);
    EXPECT_EQ(pane.count(), 3);
}

TEST_F(Tabs, TheTabControlMessages) {
    build(TabSide::Top, 2);
    HWND h = pane.handle();
    EXPECT_EQ(SendMessageW(h, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(h, TCM_GETROWCOUNT, 0, 0), 1);

    ASSERT_TRUE(page[2].create(h));
    std::u16string text = u"Inserted";
    TCITEMW item{TCIF_TEXT | TCIF_PARAM, 0, 0, text.data(), 0, 0, reinterpret_cast<LPARAM>(&page[2])};
    EXPECT_EQ(SendMessageW(h, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_EQ(titles(), (T{u"One", u"Inserted", u"Two"}));
    EXPECT_EQ(pane.tab(1)->window, page[2].handle());

    EXPECT_EQ(SendMessageW(h, TCM_SETCURSEL, 2, 0), 0);  // answers the previous selection
    EXPECT_EQ(SendMessageW(h, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(changes.values.empty());

    RECT r{};
    EXPECT_EQ(SendMessageW(h, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)), 1);
    EXPECT_EQ(r.left, 80);
    EXPECT_EQ(r.right, 160);
    TCHITTESTINFO hit{{170, 12}, 0};
    EXPECT_EQ(SendMessageW(h, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 2);
    EXPECT_EQ(hit.flags, TCHT_ONITEM);
    hit.pt = {290, 12};
    EXPECT_EQ(SendMessageW(h, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), -1);
    EXPECT_EQ(hit.flags, TCHT_NOWHERE);

    std::u16string renamed = u"Renamed";
    TCITEMW rename{TCIF_TEXT, 0, 0, renamed.data(), 0, 0, 0};
    EXPECT_EQ(SendMessageW(h, TCM_SETITEMW, 0, reinterpret_cast<LPARAM>(&rename)), 0);
    rename.mask = TCIF_PARAM;  // without the text flag the title stays
    SendMessageW(h, TCM_SETITEMW, 1, reinterpret_cast<LPARAM>(&rename));
    EXPECT_EQ(titles(), (T{u"Renamed", u"Inserted", u"Two"}));
    EXPECT_EQ(SendMessageW(h, TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&rename)), 0);

    EXPECT_EQ(SendMessageW(h, TCM_DELETEITEM, 0, 0), TRUE);
    EXPECT_EQ(SendMessageW(h, TCM_DELETEITEM, 5, 0), FALSE);
    EXPECT_EQ(titles(), (T{u"Inserted", u"Two"}));
    EXPECT_EQ(SendMessageW(h, WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(Tabs, PagesReachThePanesParent) {
    build(TabSide::Top);
    SendMessageW(pane.handle(), WM_COMMAND, MAKEWPARAM(43, 0), reinterpret_cast<LPARAM>(page[1].handle()));
    EXPECT_EQ(frame.commands, std::vector<int>{43});
    page[1].fireEvent(EventCode::Pressed, 0);  // a page's notification
    EXPECT_EQ(frame.count(EventCode::Pressed), 1);
}

// Painting ----------------------------------------------------------------------------------

struct TabPictures : Tabs {
    // Pages filling the page area in the selected tab's colour, as a pane's
    // owner lays them out, so that the selected tab runs into its page.
    void build(TabSide side) {
        Tabs::build(side);
        const int t = TabbedPane::kTabThickness;
        RECT area{1, 1, kPaneWidth - 1, kPaneHeight - 1};
        if (side == TabSide::Top) area.top = t;
        if (side == TabSide::Bottom) area.bottom = kPaneHeight - t;
        if (side == TabSide::Left) area.left = t;
        if (side == TabSide::Right) area.right = kPaneWidth - t;
        for (Page& p : page) {
            p.setBackground(TabbedPane::kSelectedTabColour);
            p.setBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
        }
    }
    COLORREF at(int x, int y) { return headless::pixel(pane.handle(), x, y); }
    void save(const std::string& name) {
        const std::filesystem::path folder = VELTRIX_PICTURES_DIR;
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(headless::savePicture(frame.handle(), (folder / name).string()));
    }
    // Whether any pixel of the rectangle has a colour other than the fills.
    bool inked(RECT r, COLORREF fill) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (at(x, y) != fill) return true;
        return false;
    }
};

TEST_F(TabPictures, TopTabs) {
    build(TabSide::Top);
    pane.setClosable(TabsClosable::Yes);
    pane.selectTab(1, TabNotification::Silent);
    headless::mouseMove(tabPoint(2));
    headless::pumpMessages();
    save("tabbed-pane-top.png");

    const COLORREF face = pane.background();
    EXPECT_EQ(at(130, 20), TabbedPane::kSelectedTabColour);   // inside the selected tab
    EXPECT_EQ(at(50, 20), face);                              // an unselected tab
    EXPECT_EQ(at(150, 190), TabbedPane::kSelectedTabColour);  // its page
    EXPECT_EQ(at(150, kPaneHeight - 1), 0xFAAA96u);           // the pane's border
    // The titles are written inside their tabs.
    EXPECT_TRUE(inked({6, 6, 60, 18}, face));
    EXPECT_TRUE(inked({86, 7, 140, 19}, TabbedPane::kSelectedTabColour));
    // The accent of the selected and the hovered tab.
    EXPECT_NE(at(120, 0), TabbedPane::kSelectedTabColour);
    EXPECT_NE(at(200, 1), face);
    EXPECT_EQ(at(40, 1), face);

    // Focus draws an inner outline into the selected tab.
    EXPECT_EQ(at(82, 15), TabbedPane::kSelectedTabColour);
    SetFocus(pane.handle());
    headless::pumpMessages();
    EXPECT_EQ(at(82, 15), 0xFFC896u);
}

TEST_F(TabPictures, LeftTabsWriteDownward) {
    build(TabSide::Left);
    pane.selectTab(0, TabNotification::Silent);
    headless::pumpMessages();
    save("tabbed-pane-left.png");

    const COLORREF face = pane.background();
    EXPECT_EQ(at(12, 90), face);
    // A turned title runs down the column from 20 pixels below the tab's top,
    // right of x = 4, and leaves the space above it empty.
    EXPECT_TRUE(inked({5, 100, 22, 150}, face));
    EXPECT_FALSE(inked({5, 86, 22, 98}, face));
    EXPECT_FALSE(inked({30, 150, 200, 190}, TabbedPane::kSelectedTabColour));  // the page holds no text
}

TEST_F(TabPictures, RightAndBottomTabs) {
    build(TabSide::Right);
    pane.selectTab(1, TabNotification::Silent);
    headless::pumpMessages();
    save("tabbed-pane-right.png");
    EXPECT_EQ(at(kPaneWidth - 12, 150), TabbedPane::kSelectedTabColour);
    EXPECT_TRUE(inked({kPaneWidth - 20, 180, kPaneWidth - 3, kPaneHeight - 1}, pane.background()));
    pane.destroyWindow();

    build(TabSide::Bottom);
    pane.selectTab(2, TabNotification::Silent);
    headless::pumpMessages();
    save("tabbed-pane-bottom.png");
    EXPECT_EQ(at(225, kPaneHeight - 22), TabbedPane::kSelectedTabColour);
}

}  // namespace
