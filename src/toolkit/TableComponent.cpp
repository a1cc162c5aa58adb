#include "toolkit/TableComponent.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/Graphics.h"

namespace {

constexpr DWORD kListViewStyle =
    LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT;
constexpr int kNavigationPage = 5;
// Auto-scroll: the distance outside the client area is summed per tick; a
// step is taken once it passes the threshold. Horizontal distance counts ten
// times, so that a sideways drag scrolls as readily as a vertical one.
constexpr int kAutoScrollThreshold = 100;
constexpr int kHorizontalWeight = 10;
constexpr int kHorizontalStep = 2 * 8;

bool keyHeld(int key) { return GetKeyState(key) < 0; }

}  // namespace

TableComponent::TableComponent() {
    background_ = backgroundColour();
    foreground_ = textColour();
}

TableComponent::~TableComponent() { TableComponent::destroyWindow(); }

bool TableComponent::create(HWND parent) {
    registerWindowClass(u"Table", u"", 0);
    if (!Component::create(parent)) return false;
    updateScrollExtents();
    return true;
}

bool TableComponent::createListView(HWND parent) {
    if (!create(parent)) return false;
    setListExtendedStyle(kListViewStyle);
    return true;
}

void TableComponent::destroyWindow() {
    stopAutoScroll();
    mouseMode_ = MouseMode::None;
    columnUnderMouse_ = -1;
    band.active = false;
    dropRow = -1;
    Component::destroyWindow();
}

void TableComponent::setBackground(COLORREF colour) {
    Component::setBackground(colour);
    setBackgroundColour(colour);
}

void TableComponent::setForeground(COLORREF colour) {
    Component::setForeground(colour);
    setTextColour(colour);
}

void TableComponent::setFontHeight(int height) {
    LOGFONTW font = tableFont();
    font.lfHeight = height;
    setTableFont(font);
    Component::setFontHeight(height);
}

// Window hooks -----------------------------------------------------------------------------

int TableComponent::viewWidth() const {
    RECT client{};
    if (handle()) GetClientRect(handle(), &client);
    return client.right;
}

int TableComponent::viewHeight() const {
    RECT client{};
    if (handle()) GetClientRect(handle(), &client);
    return client.bottom;
}

bool TableComponent::isShown() const { return handle() && IsWindowVisible(handle()); }

void TableComponent::invalidateTable() {
    if (handle()) InvalidateRect(handle(), nullptr, FALSE);
}

LRESULT TableComponent::sendNotify(NMHDR& record) {
    if (!handle()) return 0;
    record.hwndFrom = handle();
    record.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(handle()));
    return SendMessageW(GetParent(handle()), WM_NOTIFY, record.idFrom, reinterpret_cast<LPARAM>(&record));
}

void TableComponent::selectionChanged(int row) {
    model_.fireTableChanged(
        TableModelEvent(&model_, EventCode::SelectionChanged, 0, row, row, DefaultTableModel::kUpdate));
}

void TableComponent::notifyParent(int code) {
    if (!handle()) return;
    NMITEMACTIVATE record{};
    record.hdr.code = static_cast<UINT>(code);
    record.iItem = -1;
    const UINT ucode = static_cast<UINT>(code);
    if (ucode == NM_CLICK || ucode == NM_DBLCLK || ucode == NM_RCLICK) {
        LVHITTESTINFO info{};
        info.pt = lastMouse_;
        hitTest(info);
        record.iItem = info.iItem;
        record.iSubItem = std::max(0, info.iSubItem);
        record.ptAction = lastMouse_;
    } else if (ucode == NM_RETURN) {
        record.iItem = nextItem(-1, LVNI_SELECTED);
    }
    record.lParam = getItemValue(record.iItem);
    sendNotify(record.hdr);
}

// Messages ---------------------------------------------------------------------------------

LRESULT TableComponent::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message >= LVM_FIRST && message < LVM_FIRST + 0x100) || message == HDM_GETITEMCOUNT) {
        bool handled = false;
        const LRESULT result = listViewMessage(message, wParam, lParam, handled);
        if (handled) return result;
    }
    if (message == WM_GETDLGCODE) return kDialogCode;
    if (message == WM_SETCURSOR && mouseMode_ == MouseMode::Sizing) return TRUE;
    return Component::windowProc(window, message, wParam, lParam);
}

LRESULT TableComponent::onSize(WPARAM type, LPARAM size) {
    updateScrollExtents();
    invalidateTable();
    return Component::onSize(type, size);
}

void TableComponent::paint(Graphics& g) { paintTable(g, focused_ ? Focus::With : Focus::Without); }

// Keyboard ---------------------------------------------------------------------------------

bool TableComponent::onKeyDown(WPARAM key, LPARAM flags) {
    const bool control = keyHeld(VK_CONTROL);
    const bool shift = keyHeld(VK_SHIFT);
    if (control && key == 'A') {
        selectAll();
        return true;
    }
    if (key == static_cast<WPARAM>(VK_TAB)) return Component::onKeyDown(key, flags);

    const KeyEvent event(this, static_cast<int>(key), static_cast<int>(key));
    if (!fire("KeyListener", event)) {
        if (key == static_cast<WPARAM>(VK_RETURN)) {
            fireEvent(EventCode::ReturnPressed, 0);
        } else {
            NMLVKEYDOWN record{};
            record.hdr.code = LVN_KEYDOWN;
            record.wVKey = static_cast<WORD>(key);
            sendNotify(record.hdr);
        }
    }

    int rowStep = 0;
    int columnStep = 0;
    switch (key) {
        case VK_PRIOR:
            rowStep = -kNavigationPage;
            break;
        case VK_NEXT:
            rowStep = kNavigationPage;
            break;
        case VK_UP:
            rowStep = -1;
            break;
        case VK_DOWN:
            rowStep = 1;
            break;
        case VK_LEFT:
            columnStep = -1;
            break;
        case VK_RIGHT:
            columnStep = 1;
            break;
        default:
            return true;
    }
    const int count = getRowCount();
    if (count == 0 || columns_.empty()) return true;
    // Shift extends from the focused row; otherwise navigation starts at the
    // first selected row.
    int from = shift ? nextItem(-1, LVNI_FOCUSED) : -1;
    if (from == -1) from = nextItem(-1, LVNI_SELECTED);
    const int row = std::clamp(from + rowStep, 0, count - 1);
    currentColumn_ = std::clamp(currentColumn_ + columnStep, 0, getColumnCount() - 1);
    ensureVisible(row);
    if (selectionUnit_ == SelectionUnit::Cells)
        selectCell(row, currentColumn_);
    else if (shift && anchorRow_ >= 0 && anchorRow_ < count)
        selectRange(anchorRow_, row, control ? Keep::Others : Keep::Nothing);
    else
        selectRow(row);
    repaint();
    return true;
}

// Mouse ------------------------------------------------------------------------------------

int TableComponent::rowAt(int y) const {
    if (y < headerHeight()) return -1;
    const int row = topRow() + (y - headerHeight()) / rowHeight();
    return row < getRowCount() ? row : -1;
}

POINT TableComponent::toContent(POINT client) const {
    return POINT{client.x + leftPixel(), client.y - headerHeight() + topRow() * rowHeight()};
}

POINT TableComponent::toClient(POINT content) const {
    return POINT{content.x - leftPixel(), content.y + headerHeight() - topRow() * rowHeight()};
}

bool TableComponent::pressScrollBar(int x, int y) {
    const POINT p{x, y};
    const Bar vertical = verticalBar(headerHeight());
    const Bar horizontal = horizontalBar();
    const bool onVertical = vertical.shown && PtInRect(&vertical.track, p);
    const bool onHorizontal = !onVertical && horizontal.shown && PtInRect(&horizontal.track, p);
    if (!onVertical && !onHorizontal) return false;
    const Bar& bar = onVertical ? vertical : horizontal;
    if (PtInRect(&bar.thumb, p)) {
        mouseMode_ = MouseMode::ScrollBar;
        scrollingVertically_ = onVertical;
        thumbGrab_ = onVertical ? y - bar.thumb.top : x - bar.thumb.left;
        if (handle()) SetCapture(handle());
    } else if (onVertical) {
        scrollToTopRow(topRow() + (y < bar.thumb.top ? -countPerPage() : countPerPage()));
    } else {
        scrollHorizontally(x < bar.thumb.left ? -viewWidth() : viewWidth());
    }
    return true;
}

bool TableComponent::onMousePressed(int x, int y) {
    lastMouse_ = POINT{x, y};
    if (pressScrollBar(x, y)) return false;
    if (y < headerHeight()) {
        const int border = columnBorderAt(x);
        if (border != -1) {
            mouseMode_ = MouseMode::Sizing;
            columnUnderMouse_ = border;
            sizingStartX_ = x;
            sizingStartWidth_ = getColumnWidth(border);
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            // Sizing a column is no click on the table: capture without NM_CLICK.
            if (handle()) SetCapture(handle());
            return false;
        }
        const int column = columnAt(x);
        if (column != -1) notifyCode(LVN_COLUMNCLICK, -1, column);
        return false;
    }
    const int row = rowAt(y);
    if (row != -1 && onCheckBox(x, y, row)) {
        setChecked(row, !isChecked(row));
        return false;
    }
    pressRow_ = row;
    if (row == -1) {
        // Below the last row: a band may still start there.
        if (selectionUnit_ == SelectionUnit::Rows) {
            mouseMode_ = MouseMode::RubberBand;
            bandAnchor_ = toContent(lastMouse_);
            bandBase_ = keyHeld(VK_CONTROL) ? getSelectedRows() : std::vector<int>{};
            band = Band{true, lastMouse_, lastMouse_};
            bandLive_ = false;
        }
        return true;
    }
    const int column = columnAt(x);
    if (selectionUnit_ == SelectionUnit::Cells) {
        if (column != -1) selectCell(row, column);
        return true;
    }
    const bool wasSelected = nextItem(row - 1, LVNI_SELECTED) == row;
    if (keyHeld(VK_SHIFT) && anchorRow_ >= 0 && anchorRow_ < getRowCount()) {
        selectRange(anchorRow_, row, keyHeld(VK_CONTROL) ? Keep::Others : Keep::Nothing);
        return true;
    }
    if (wasSelected && !keyHeld(VK_CONTROL) && onCellText(x, row, column)) {
        // A press on the text of a selected row keeps the selection and drags
        // it; let go in place, it selects the row alone (onMouseReleased).
        mouseMode_ = MouseMode::Dragging;
        dropRow = -1;
        dragLive_ = false;
        dragStart_ = lastMouse_;
        NMLISTVIEW record{};
        record.hdr.code = LVN_BEGINDRAG;
        record.iItem = row;
        record.iSubItem = column;
        record.ptAction = lastMouse_;
        record.lParam = getItemValue(row);
        sendNotify(record.hdr);
        return true;
    }
    selectRow(row);
    if (column != -1) currentColumn_ = column;
    mouseMode_ = MouseMode::RubberBand;
    bandAnchor_ = toContent(lastMouse_);
    bandBase_ = keyHeld(VK_CONTROL) ? getSelectedRows() : std::vector<int>{};
    band = Band{true, lastMouse_, lastMouse_};
    bandLive_ = false;
    return true;
}

void TableComponent::extendBand(POINT client) {
    band.from = toClient(bandAnchor_);
    band.to = client;
    if (!bandLive_) {
        bandLive_ =
            std::abs(client.x - band.from.x) >= kBandThreshold || std::abs(client.y - band.from.y) >= kBandThreshold;
        if (!bandLive_) return;
    }
    const int anchorY = bandAnchor_.y;
    const int pointerY = toContent(client).y;
    const int count = getRowCount();
    const int firstRow = std::min(anchorY, pointerY) / rowHeight();
    const int lastRow = std::min(count - 1, std::max(anchorY, pointerY) / rowHeight());
    if (count > 0 && std::max(anchorY, pointerY) >= 0 && firstRow <= lastRow && firstRow < count) {
        // The rows the band touches, plus what Ctrl kept from before.
        const int before = nextItem(-1, LVNI_SELECTED);
        for (auto& column : columns_) column.states.clear();
        for (int row : bandBase_)
            for (auto& column : columns_) column.states.set(row, LVIS_SELECTED, LVIS_SELECTED);
        for (int row = std::max(0, firstRow); row <= lastRow; ++row)
            for (auto& column : columns_) column.states.set(row, LVIS_SELECTED, LVIS_SELECTED);
        const int after = nextItem(-1, LVNI_SELECTED);
        if (after != before) {
            selectionChanged(after);
            notifyItemChanged(after);
        }
    }
    invalidateTable();
}

void TableComponent::followDrag(POINT client) {
    if (!dragLive_) {
        dragLive_ =
            std::abs(client.x - dragStart_.x) >= kBandThreshold || std::abs(client.y - dragStart_.y) >= kBandThreshold;
        if (!dragLive_) return;
    }
    const int count = getRowCount();
    const int y = std::max(client.y, headerHeight());
    const int offset = (y - headerHeight() + rowHeight() / 2) / rowHeight();
    dropRow = std::clamp(topRow() + offset, 0, count);
    invalidateTable();
}

void TableComponent::drop() {
    const int target = dropRow;
    dropRow = -1;
    if (target >= 0) moveRowSet(getSelectedRows(), target);
    invalidateTable();
}

bool TableComponent::onMouseMoved(int x, int y) {
    lastMouse_ = POINT{x, y};
    const bool outside = x < 0 || y < headerHeight() || x >= viewWidth() || y >= viewHeight();
    switch (mouseMode_) {
        case MouseMode::RubberBand:
            extendBand(lastMouse_);
            if (outside) startAutoScroll();
            return true;
        case MouseMode::Dragging:
            followDrag(lastMouse_);
            if (outside) startAutoScroll();
            return true;
        case MouseMode::Sizing:
            setColumnWidth(columnUnderMouse_, std::max(0, sizingStartWidth_ + x - sizingStartX_));
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return true;
        case MouseMode::ScrollBar:
            if (scrollingVertically_) {
                scrollToTopRow(rowForThumbAt(y - thumbGrab_, headerHeight()));
            } else if (scrollToPixel(pixelForThumbAt(x - thumbGrab_))) {
                invalidateTable();
            }
            return true;
        case MouseMode::None:
            setCursorFor(x, y);
            return false;
    }
    return false;
}

void TableComponent::setCursorFor(int x, int y) {
    LPCWSTR shape = IDC_ARROW;
    if (y < headerHeight()) {
        if (columnBorderAt(x) != -1) shape = IDC_SIZEWE;
    } else {
        const int row = rowAt(y);
        const int column = columnAt(x);
        if (row != -1 && nextItem(row - 1, LVNI_SELECTED) == row && onCellText(x, row, column)) shape = IDC_HAND;
    }
    SetCursor(LoadCursorW(nullptr, shape));
}

bool TableComponent::onMouseReleased() {
    stopAutoScroll();
    switch (mouseMode_) {
        case MouseMode::RubberBand:
            band.active = false;
            invalidateTable();
            break;
        case MouseMode::Dragging:
            if (dragLive_) {
                drop();
            } else {
                dropRow = -1;
                selectRow(pressRow_);
            }
            break;
        default:
            break;
    }
    mouseMode_ = MouseMode::None;
    columnUnderMouse_ = -1;
    return true;
}

bool TableComponent::onMouseDoubleClicked(int x, int y) {
    lastMouse_ = POINT{x, y};
    if (pressScrollBar(x, y)) return true;
    if (y < headerHeight()) {
        const int border = columnBorderAt(x);
        if (border != -1) setColumnWidth(border, preferredColumnWidth(border));
        return true;
    }
    const int row = rowAt(y);
    if (row != -1) {
        if (nextItem(row - 1, LVNI_SELECTED) != row) {
            // Clear first so that a held Ctrl cannot turn this into a toggle.
            const int before = nextItem(-1, LVNI_SELECTED);
            for (auto& column : columns_) column.states.clear();
            for (auto& column : columns_) column.states.set(row, LVIS_SELECTED | LVIS_FOCUSED, ~0u);
            anchorRow_ = row;
            if (nextItem(-1, LVNI_SELECTED) != before) {
                selectionChanged(row);
                notifyItemChanged(row);
            }
            invalidateTable();
        }
    }
    fireEvent(EventCode::DoubleClicked, 0);
    return true;
}

bool TableComponent::onRightMousePressed(int x, int y) {
    lastMouse_ = POINT{x, y};
    const Bar vertical = verticalBar(headerHeight());
    const Bar horizontal = horizontalBar();
    if ((vertical.shown && PtInRect(&vertical.track, lastMouse_)) ||
        (horizontal.shown && PtInRect(&horizontal.track, lastMouse_)))
        return false;
    const int row = rowAt(y);
    if (row != -1 && getSelectedRows().size() < 2) selectRow(row);
    return false;
}

bool TableComponent::onMouseWheel(int, int, int, int notches) {
    scrollToTopRow(topRow() - notches * std::max(1, kWheelScrollLines));
    if (mouseMode_ == MouseMode::RubberBand) extendBand(lastMouse_);
    return true;
}

// Auto-scroll ---------------------------------------------------------------------------------

void TableComponent::startAutoScroll() {
    if (autoScrollRunning_ || !handle()) return;
    autoScrollDistance_ = 0;
    autoScrollRunning_ = SetTimer(handle(), kAutoScrollTimer, kAutoScrollInterval, nullptr) != 0;
}

void TableComponent::stopAutoScroll() {
    if (autoScrollRunning_ && handle()) KillTimer(handle(), kAutoScrollTimer);
    autoScrollRunning_ = false;
    autoScrollDistance_ = 0;
}

bool TableComponent::onTimer(UINT_PTR id, LPARAM lParam) {
    if (id != kAutoScrollTimer) return Component::onTimer(id, lParam);
    if (mouseMode_ != MouseMode::RubberBand && mouseMode_ != MouseMode::Dragging) {
        stopAutoScroll();
        return true;
    }
    const POINT p = lastMouse_;
    int dy = 0;
    if (p.y < headerHeight())
        dy = p.y - headerHeight();
    else if (p.y >= viewHeight())
        dy = p.y - viewHeight() + 1;
    int dx = 0;
    if (p.x < 0)
        dx = p.x;
    else if (p.x >= viewWidth())
        dx = p.x - viewWidth() + 1;
    if (dx == 0 && dy == 0) {
        stopAutoScroll();
        return true;
    }
    autoScrollDistance_ += std::abs(dy) + kHorizontalWeight * std::abs(dx);
    if (autoScrollDistance_ > kAutoScrollThreshold) {
        autoScrollDistance_ = 0;
        if (dy != 0) scrollToTopRow(topRow() + (dy < 0 ? -1 : 1));
        if (dx != 0) scrollHorizontally(dx < 0 ? -kHorizontalStep : kHorizontalStep);
        if (mouseMode_ == MouseMode::RubberBand)
            extendBand(p);
        else
            followDrag(p);
    }
    return true;
}
