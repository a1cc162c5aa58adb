#include "toolkit/TabbedPane.h"

#include <algorithm>

#include "toolkit/Graphics.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/TabGuard.h"

namespace {

constexpr UINT kPaneClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr DWORD kPaneStyle = 0x56010400;  // child, visible, clip siblings, tab stop, fixed width
constexpr DWORD kSideBits = TCS_VERTICAL | TCS_RIGHT;
constexpr LONG kTurnedEscapement = -900;  // tenths of a degree: text runs downward

constexpr COLORREF kPaneBorder = 0xFAAA96;
constexpr COLORREF kTabOutline = 0x968070;
constexpr COLORREF kAccent = 0x20A0FF;
constexpr int kAccentAlpha = 200;
constexpr COLORREF kFocusOutline = 0xFFC896;
constexpr COLORREF kCloseBoxHover = 0xDCDCDC;
constexpr int kTabRadius = 8;
constexpr int kPaneRadius = 4;
constexpr int kCloseBoxSize = 12;

bool contains(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// A rounded rectangle filled with fill and outlined with a one-pixel pen.
void fillRoundRect(Graphics& g, const RECT& r, COLORREF fill, COLORREF outline, int radius) {
    const UniqueBrush brush(CreateSolidBrush(fill));
    const UniquePen pen(CreatePen(PS_SOLID, 1, outline));
    const SelectedObject brushSelection(g.dc(), brush.get());
    const SelectedObject penSelection(g.dc(), pen.get());
    RoundRect(g.dc(), r.left, r.top, r.right, r.bottom, radius, radius);
}

}  // namespace

TabbedPane::TabbedPane() = default;

TabbedPane::~TabbedPane() {
    // The guard may already be gone; the records die with the pane anyway.
    tabs_.clear();
    selected_ = -1;
    Component::destroyWindow();
}

void TabbedPane::destroyWindow() {
    for (int i = count() - 1; i >= 0; --i) removeTab(i);
    if (tabs_.empty()) selectTab(-1, TabNotification::Silent);
    pressed_ = hovered_ = -1;
    Component::destroyWindow();
}

bool TabbedPane::createPane(HWND parent, TabSide side) {
    destroyWindow();
    registerWindowClass(u"TabbedPane", u"", kPaneClassStyle);
    if (!create(parent)) return false;
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &font_);
    SetWindowLongW(handle_, GWL_STYLE, static_cast<LONG>(kPaneStyle));
    setSide(side);
    return true;
}

void TabbedPane::setSide(TabSide side) {
    side_ = side;
    DWORD bits = 0;
    if (side == TabSide::Right) bits = TCS_VERTICAL | TCS_RIGHT;
    if (side == TabSide::Left) bits = TCS_VERTICAL;
    if (side == TabSide::Bottom) bits = TCS_BOTTOM;
    const bool turned = side == TabSide::Right || side == TabSide::Left;
    font_.lfEscapement = font_.lfOrientation = turned ? kTurnedEscapement : 0;
    if (!handle_) return;
    DWORD style = static_cast<DWORD>(GetWindowLongW(handle_, GWL_STYLE));
    SetWindowLongW(handle_, GWL_STYLE, static_cast<LONG>((style & ~kSideBits) | bits));
    repaint();
}

// Tabs -------------------------------------------------------------------------------------

const TabbedPane::TabItem* TabbedPane::tab(int index) const {
    if (index < 0 || index >= count()) return nullptr;
    return &tabs_[static_cast<std::size_t>(index)];
}

int TabbedPane::indexOf(const BaseWindow* page) const {
    if (!page) return -1;
    for (int i = 0; i < count(); ++i)
        if (tabs_[static_cast<std::size_t>(i)].page == page) return i;
    return -1;
}

int TabbedPane::indexOfWindow(HWND window) const {
    for (int i = 0; i < count(); ++i)
        if (tabs_[static_cast<std::size_t>(i)].window == window) return i;
    return -1;
}

void TabbedPane::addTab(const std::u16string& title, BaseWindow* page) { insertTab(title, page, count()); }

void TabbedPane::insertTab(const std::u16string& title, BaseWindow* page, int index) {
    const int existing = indexOf(page);
    if (existing >= 0) {
        // Re-adding at the end means "to the last place": there is no tab past
        // the end to swap with.
        swapTabs(existing, std::clamp(index, 0, count() - 1));
        return;
    }
    index = std::clamp(index, 0, count());
    tabs_.insert(tabs_.begin() + index, TabItem{page, page ? page->handle() : nullptr, title, kDefaultTabLength});
    // The selection stays on the tab it named.
    if (selected_ >= index) ++selected_;
    repaint();
}

bool TabbedPane::removeTab(int index) {
    if (index < 0 || index >= count()) return false;
    if (guard_ && !guard_->allowRemove(index)) return false;
    tabs_.erase(tabs_.begin() + index);
    // Keep naming the same tab; a removed selected tab leaves the selection at
    // its place (or the new last tab) without switching pages: closeTab does.
    if (selected_ > index) {
        --selected_;
    } else if (selected_ == index) {
        selected_ = std::min(index, count() - 1);
    }
    pressed_ = hovered_ = -1;
    repaint();
    return true;
}

bool TabbedPane::closeTab(int index) {
    if (!closable_ || !tab(index)) return false;
    const HWND closed = tab(index)->window;
    if (!removeTab(index)) return false;
    // A closed tab's page must not stay on screen under the next page.
    if (closed && indexOfWindow(closed) < 0) ShowWindow(closed, SW_HIDE);
    if (index != 0) index = std::min(index, count() - 1);
    selectTab(index, TabNotification::Silent);
    showPage(index);
    fireChange();
    return true;
}

void TabbedPane::swapTabs(int a, int b) {
    if (a == b || !tab(a) || !tab(b)) return;
    if (guard_ && !guard_->allowSwap(a, b)) return;
    std::swap(tabs_[static_cast<std::size_t>(a)], tabs_[static_cast<std::size_t>(b)]);
    if (selected_ == a) {
        selectTab(b, TabNotification::Silent);
    } else if (selected_ == b) {
        selectTab(a, TabNotification::Silent);
    }
    repaint();
}

void TabbedPane::selectTab(int index, TabNotification notify) {
    if (tabs_.empty()) {
        index = -1;
    } else if (index < 0 || index >= count()) {
        index = 0;
    }
    if (index == selected_) return;
    selected_ = index;
    showPage(index);
    // Repainted even when silent: a strip showing another tab than the page
    // shown would mislead.
    repaint();
    if (notify == TabNotification::Fire) fireChange();
}

void TabbedPane::showPage(int index) {
    const TabItem* shown = tab(index);
    if (shown && shown->window) ShowWindow(shown->window, SW_SHOW);
    for (const TabItem& item : tabs_)
        if (&item != shown && item.window) ShowWindow(item.window, SW_HIDE);
}

void TabbedPane::hideAllPages() {
    for (const TabItem& item : tabs_)
        if (item.window) ShowWindow(item.window, SW_HIDE);
}

void TabbedPane::fireChange() {
    listeners_.fire("ChangeListener", ChangeEvent(this, EventCode::TabChanged));
    fireEvent(EventCode::TabChanged, 0);
}

// Geometry ---------------------------------------------------------------------------------

RECT TabbedPane::tabBounds(int index) const {
    const int t = tabThickness_;
    int offset = 0;
    for (int i = 0; i < index; ++i)
        offset += i < count() ? tabs_[static_cast<std::size_t>(i)].length : kDefaultTabLength;
    const int length = tab(index) ? tab(index)->length : kDefaultTabLength;
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    switch (side_) {
        case TabSide::Right:
            return RECT{client.right - t, offset, client.right, offset + length};
        case TabSide::Left:
            return RECT{0, offset, t, offset + length};
        case TabSide::Bottom:
            return RECT{offset, client.bottom - t, offset + length, client.bottom};
        case TabSide::Top:
        default:
            return RECT{offset, 0, offset + length, t};
    }
}

int TabbedPane::tabAt(int x, int y) const {
    for (int i = 0; i < count(); ++i)
        if (contains(tabBounds(i), x, y)) return i;
    return -1;
}

RECT TabbedPane::closeBoxBounds(int index) const {
    RECT r = tabBounds(index);
    const int top = r.top + (tabThickness_ - kCloseBoxSize) / 2;
    return RECT{r.right - 16, top, r.right - 4, top + kCloseBoxSize};
}

bool TabbedPane::insideCloseBox(int index, int x, int y) const {
    return closable_ && tab(index) && contains(closeBoxBounds(index), x, y);
}

POINT TabbedPane::pointerInClient() const {
    POINT p{};
    GetCursorPos(&p);
    if (handle_) ScreenToClient(handle_, &p);
    return p;
}

// Input ------------------------------------------------------------------------------------

bool TabbedPane::onMousePressed(int x, int y) {
    pressed_ = tabAt(x, y);
    if (pressed_ < 0) return false;
    const int hit = pressed_;
    selectTab(hit, TabNotification::Fire);
    // A listener may have changed the tabs: only a tab still there stays pressed.
    if (!tab(hit) || (!insideCloseBox(hit, x, y) && !keepPressed_)) pressed_ = -1;
    return true;
}

bool TabbedPane::onMouseReleased() {
    const int pressed = pressed_;
    pressed_ = -1;
    // A release away from every tab with nothing pressed must not select tab 0.
    if (pressed < 0) return false;
    const POINT p = pointerInClient();
    const int under = tabAt(p.x, p.y);
    if (under != pressed) return true;
    if (insideCloseBox(under, p.x, p.y)) {
        closeTab(under);
    } else {
        selectTab(under, TabNotification::Fire);
    }
    return true;
}

bool TabbedPane::onRightMousePressed(int x, int y) {
    if (!closable_) return false;
    const int index = tabAt(x, y);
    if (index < 0) return false;
    showCloseMenu(index);
    return true;
}

void TabbedPane::showCloseMenu(int index) {
    PopupMenu menu;
    menu.addMenuItem(u"Close", kCloseItem);
    menu.addMenuItem(u"", 0);
    menu.addMenuItem(u"Close &Other Tabs", kCloseOthersItem);
    menu.addMenuItem(u"Close &Left Tabs", kCloseLeftItem);
    menu.addMenuItem(u"Close &Right Tabs", kCloseRightItem);
    const UINT chosen = static_cast<UINT>(menu.trackAtPointer(handle_));
    // Messages ran while the menu was open; the tab may be gone.
    if (!tab(index)) return;
    switch (chosen) {
        case kCloseItem:
            closeTab(index);
            break;
        case kCloseOthersItem:
            for (int j = count() - 1; j >= 0; --j)
                if (j != index) closeTab(j);
            break;
        case kCloseLeftItem:
            for (int j = index - 1; j >= 0; --j) closeTab(j);
            break;
        case kCloseRightItem:
            for (int j = count() - 1; j > index; --j) closeTab(j);
            break;
        default:
            break;
    }
}

bool TabbedPane::onMouseMoved(int x, int y) {
    if (!hover_) onMouseEntered();
    pointer_ = POINT{x, y};
    hovered_ = tabAt(x, y);
    repaint();
    return false;
}

void TabbedPane::onMouseExited() {
    hovered_ = -1;
    pointer_ = POINT{-1, -1};
    Component::onMouseExited();
}

void TabbedPane::onTabKey(WPARAM key) {
    if (key == static_cast<WPARAM>(VK_TAB)) {
        moveFocus(GetKeyState(VK_SHIFT) < 0 ? FocusDirection::Backward : FocusDirection::Forward);
        return;
    }
    if (count() < 2) return;
    if (key == static_cast<WPARAM>(VK_LEFT)) {
        selectTab(std::clamp(selected_ - 1, 0, count() - 1), TabNotification::Fire);
    } else if (key == static_cast<WPARAM>(VK_RIGHT)) {
        selectTab(std::clamp(selected_ + 1, 0, count() - 1), TabNotification::Fire);
    }
}

bool TabbedPane::onTimer(UINT_PTR, LPARAM) { return true; }

bool TabbedPane::drawItem(const DRAWITEMSTRUCT*) { return false; }

// Messages ---------------------------------------------------------------------------------

LRESULT TabbedPane::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    switch (message) {
        case TCM_GETITEMCOUNT:
            return count();
        case TCM_DELETEITEM:
            return removeTab(index) ? TRUE : FALSE;
        case TCM_GETITEMRECT:
            if (lParam) *reinterpret_cast<RECT*>(lParam) = tabBounds(index);
            return 1;
        case TCM_GETROWCOUNT:
            return 1;
        case TCM_GETCURSEL:
            return selected_;
        case TCM_SETCURSEL: {
            const int previous = selected_;
            selectTab(index, TabNotification::Silent);
            return previous;
        }
        case TCM_HITTEST: {
            auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
            if (!info) return -1;
            const int hit = tabAt(info->pt.x, info->pt.y);
            info->flags = hit < 0 ? TCHT_NOWHERE : TCHT_ONITEM;
            return hit;
        }
        case TCM_SETITEMW: {
            const auto* item = reinterpret_cast<const TCITEMW*>(lParam);
            if (item && (item->mask & TCIF_TEXT) && item->pszText && tab(index)) {
                tabs_[static_cast<std::size_t>(index)].title = item->pszText;
                repaint();
            }
            return 0;
        }
        case TCM_INSERTITEMW: {
            const auto* item = reinterpret_cast<const TCITEMW*>(lParam);
            if (!item) return -1;
            std::u16string title = (item->mask & TCIF_TEXT) && item->pszText ? std::u16string(item->pszText) : u"";
            BaseWindow* page = (item->mask & TCIF_PARAM) ? reinterpret_cast<BaseWindow*>(item->lParam) : nullptr;
            const bool known = indexOf(page) >= 0;
            insertTab(title, page, index);
            return page && known ? indexOf(page) : std::clamp(index, 0, count() - 1);
        }
        case TCM_GETITEMW:
            return 0;
        case WM_COMMAND:
        case WM_NOTIFY: {
            HWND parent = GetParent(window);
            return parent ? SendMessageW(parent, message, wParam, lParam) : 0;
        }
        case WM_KEYDOWN:
            onTabKey(wParam);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_DRAWITEM:
            if (drawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_ERASEBKGND:
            return 1;
        default:
            break;
    }
    return Component::windowProc(window, message, wParam, lParam);
}

void TabbedPane::setSelectedTabColours(COLORREF background, COLORREF text) {
    selectedColour_ = background;
    selectedTextColour_ = text;
    repaint();
}

// Painting ---------------------------------------------------------------------------------

void TabbedPane::paint(Graphics& g) {
    Component::paint(g);
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    const int width = client.right, height = client.bottom, t = tabThickness_;
    g.drawRoundRect(0, 0, width, height, 1, kPaneBorder, kPaneRadius);
    if (t < width) {
        if (side_ == TabSide::Left) g.drawRoundRect(0, 0, t, height, 1, kPaneBorder, kPaneRadius);
        if (side_ == TabSide::Right) g.drawRoundRect(width - t, 0, t, height, 1, kPaneBorder, kPaneRadius);
    }
    // The selected tab reaches into the page, so it is painted over its neighbours.
    for (int i = 0; i < count(); ++i)
        if (i != selected_) paintTab(g, i);
    if (tab(selected_)) paintTab(g, selected_);
}

void TabbedPane::paintTab(Graphics& g, int index) {
    const TabItem* item = tab(index);
    if (!item) return;
    const bool selected = index == selected_;
    const RECT bounds = tabBounds(index);
    RECT r = bounds;
    if (selected) {
        switch (side_) {
            case TabSide::Top:
                r.bottom += 8;
                break;
            case TabSide::Bottom:
                r.top -= 8;
                break;
            case TabSide::Left:
                r.right += 4;
                break;
            case TabSide::Right:
                r.left -= 4;
                break;
        }
    }
    fillRoundRect(g, r, selected ? selectedColour_ : background_, kTabOutline, kTabRadius);

    if (selected || index == hovered_) {
        // The accent runs along the tab's outer edge, the one away from the page.
        const int w = r.right - r.left, h = r.bottom - r.top;
        switch (side_) {
            case TabSide::Top:
                g.fillRectAlpha(r.left + 3, r.top, w - 6, 2, kAccent, kAccentAlpha);
                break;
            case TabSide::Bottom:
                g.fillRectAlpha(r.left + 3, r.bottom - 2, w - 6, 2, kAccent, kAccentAlpha);
                break;
            case TabSide::Left:
                g.fillRectAlpha(r.left, r.top + 3, 2, h - 6, kAccent, kAccentAlpha);
                break;
            case TabSide::Right:
                g.fillRectAlpha(r.right - 2, r.top + 3, 2, h - 6, kAccent, kAccentAlpha);
                break;
        }
    }
    if (selected && focused_)
        g.drawRoundRect(r.left + 2, r.top + 2, r.right - r.left - 4, r.bottom - r.top - 4, 1, kFocusOutline,
                        kTabRadius);

    // The title never spills into the next tab or over the close box.
    g.setFont(font_);
    g.setTextColor(selected ? selectedTextColour_.value_or(foreground_) : foreground_);
    HDC dc = g.dc();
    const POINT o = g.origin();
    const int saved = SaveDC(dc);
    RECT clip = bounds;
    if (closable_) {
        const RECT box = closeBoxBounds(index);
        if (side_ == TabSide::Top || side_ == TabSide::Bottom)
            clip.right = box.left;
        else
            clip.top = box.bottom;
    }
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    SetBkMode(dc, TRANSPARENT);
    if (side_ == TabSide::Top || side_ == TabSide::Bottom) {
        g.drawText(item->title, bounds.left + 6, bounds.top + (tabThickness_ - 12) / 2 + (selected ? 1 : 0));
    } else {
        const UINT align = SetTextAlign(dc, TA_BOTTOM | TA_LEFT);
        TextOutW(dc, bounds.left + 4 - o.x, bounds.top + 20 - o.y, item->title.c_str(),
                 static_cast<int>(item->title.size()));
        SetTextAlign(dc, align);
    }
    RestoreDC(dc, saved);

    if (closable_) paintCloseBox(g, index);
}

void TabbedPane::paintCloseBox(Graphics& g, int index) {
    if (!tab(index)) return;
    const RECT box = closeBoxBounds(index);
    const int w = box.right - box.left, h = box.bottom - box.top;
    if (contains(box, pointer_.x, pointer_.y)) {
        g.fillRectAlpha(box.left, box.top, w, h, kCloseBoxHover, kAccentAlpha);
        g.setPen(PS_SOLID, 1, kTabOutline);
        g.drawRect(box.left, box.top, w, h);
    }
    // The cross pixel by pixel: diagonal strokes are rasterised unevenly at
    // this size, and the two arms must mirror each other exactly.
    g.setBrushColor(foreground_);
    for (int k = 0; k < w - 6; ++k) {
        g.fillRect(box.left + 3 + k, box.top + 3 + k, 1, 1);
        g.fillRect(box.right - 4 - k, box.top + 3 + k, 1, 1);
    }
}
