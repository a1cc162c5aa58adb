// A self-painted tab strip along one edge of a pane, each tab standing for a
// page window that the pane shows while the tab is selected.
//
// Pages are not owned and not laid out: the owner creates each page (usually
// as a child of the pane), places it, and adds it. The pane keeps the page's
// window handle as it was when the tab was made and only shows and hides that
// window; a page must therefore have its window before it is added.
//
// Invariants: selectedIndex() is -1 or names an existing tab; it is -1 while
// nothing was selected yet and whenever the pane has no tabs. A page is on at
// most one tab: adding it again moves (swaps) its tab instead.
//
// Reporting: a change of the selection made by the user (mouse, keys) and
// every closeTab fire a ChangeEvent (source, value -551) under
// "ChangeListener", then fireEvent(-551, 0), which reaches the
// "EventListener"s or else the parent as a WM_NOTIFY with code -551.
// Selections made with TabNotification::Silent, swaps and removals fire
// nothing.
//
// The pane also answers the system tab control's messages (TCM_*, see
// platform/api/TabControl.h) and passes its pages' WM_COMMAND and WM_NOTIFY
// on to its own parent, so a page's controls talk to the pane's owner.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "toolkit/Component.h"

class TabGuard;
struct DRAWITEMSTRUCT;

// The edge the tabs run along. The values are the side codes of the pane.
enum class TabSide { Top = 0, Right = 1, Bottom = 2, Left = 3 };
enum class TabNotification { Silent, Fire };
enum class TabsClosable { No, Yes };

class TabbedPane : public Component {
public:
    struct TabItem {
        BaseWindow* page = nullptr;  // not owned; may be null
        HWND window = nullptr;       // the page's window when the tab was made
        std::u16string title;
        int length = 80;
    };

    static constexpr int kDefaultTabLength = 80;
    static constexpr int kTabThickness = 24;
    static constexpr COLORREF kSelectedTabColour = 0xFAFAFA;
    // Ids of the close menu of closable panes.
    static constexpr UINT kCloseItem = 1;
    static constexpr UINT kCloseOthersItem = 3;
    static constexpr UINT kCloseLeftItem = 4;
    static constexpr UINT kCloseRightItem = 5;

    TabbedPane();
    ~TabbedPane() override;

    // Removes every tab (from the last, each asking the guard), then destroys
    // the window. The selection becomes -1 once no tab is left.
    void destroyWindow() override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void paint(Graphics& g) override;
    bool onTimer(UINT_PTR id, LPARAM lParam) override;
    bool onMouseReleased() override;
    bool onMousePressed(int x, int y) override;
    bool onRightMousePressed(int x, int y) override;
    bool onMouseMoved(int x, int y) override;
    void onMouseExited() override;

    // A child window of class "TabbedPane" in parent with the default GUI font
    // and the tabs along the given side. Any earlier window is destroyed first.
    virtual bool createPane(HWND parent, TabSide side);
    // Shows the page of that tab and hides every other page; an index outside
    // the list shows nothing.
    virtual void showPage(int index);
    virtual void hideAllPages();
    // insertTab at the end.
    virtual void addTab(const std::u16string& title, BaseWindow* page);
    // Removes the tab (closable panes only; the guard may refuse), hides its
    // page, selects the tab now at its place (or the last), shows that page
    // and fires the change.
    virtual bool closeTab(int index);
    // Erases the tab record; the page window is left as it is. False for an
    // index outside the list or when the guard refuses. The selection keeps
    // naming the same tab while it exists, else the tab now at its place.
    virtual bool removeTab(int index);
    // Exchanges two tabs (the guard may refuse); a selection on either follows
    // its tab. Nothing for equal or out-of-range indexes.
    virtual void swapTabs(int a, int b);
    // A new tab before position index (clamped to the list). A page already on
    // a tab is not added twice: its tab is swapped with the one at index (the
    // last tab when index is past the end).
    virtual void insertTab(const std::u16string& title, BaseWindow* page, int index);
    // An index past the end (or negative) selects tab 0, or -1 without tabs.
    // Selecting the selected tab does nothing.
    virtual void selectTab(int index, TabNotification notify);
    virtual void paintTab(Graphics& g, int index);
    virtual void paintCloseBox(Graphics& g, int index);
    // The owner-draw hook; false leaves the message to the default handling.
    virtual bool drawItem(const DRAWITEMSTRUCT* item);
    // Tab moves the focus (Shift: backward); Left and Right select the
    // neighbouring tab with notification when there are two tabs or more.
    virtual void onTabKey(WPARAM key);

    void setSide(TabSide side);
    TabSide side() const { return side_; }
    void setClosable(TabsClosable closable) { closable_ = closable == TabsClosable::Yes; }
    bool isClosable() const { return closable_; }
    // Keeps the pressed tab after a press, so that the release selects it.
    void setKeepPressed(bool on) { keepPressed_ = on; }
    void setTabGuard(TabGuard* guard) { guard_ = guard; }
    // The selected tab, which joins its page, in the page's colours (by
    // default kSelectedTabColour with the pane's text colour).
    void setSelectedTabColours(COLORREF background, COLORREF text);

    int count() const { return static_cast<int>(tabs_.size()); }
    int selectedIndex() const { return selected_; }
    int pressedIndex() const { return pressed_; }
    const TabItem* tab(int index) const;
    // -1 when the page is on no tab.
    int indexOf(const BaseWindow* page) const;

    // Client rectangle of tab index (an index past the end gets the default
    // length, so the rectangle after the last tab is where a new one goes).
    RECT tabBounds(int index) const;
    // The first tab containing the point, else -1.
    int tabAt(int x, int y) const;
    RECT closeBoxBounds(int index) const;

protected:
    // Fires the change: ChangeEvent under "ChangeListener", then event -551.
    void fireChange();
    // The close menu at the pointer, for the tab at index.
    void showCloseMenu(int index);
    bool insideCloseBox(int index, int x, int y) const;
    int indexOfWindow(HWND window) const;
    POINT pointerInClient() const;

    std::vector<TabItem> tabs_;
    TabSide side_ = TabSide::Top;
    int selected_ = -1;
    int pressed_ = -1;
    int hovered_ = -1;
    POINT pointer_{-1, -1};
    int tabThickness_ = kTabThickness;
    COLORREF selectedColour_ = kSelectedTabColour;
    // Unset: the pane's text colour.
    std::optional<COLORREF> selectedTextColour_;
    bool closable_ = false;
    bool keepPressed_ = false;
    TabGuard* guard_ = nullptr;
};
