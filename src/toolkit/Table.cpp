#include "toolkit/Table.h"

#include <algorithm>
#include <cstdlib>

#include "platform/common/AsciiCase.h"
#include "toolkit/Graphics.h"

namespace {

constexpr UINT kCheckedImage = 0x2000;
constexpr UINT kUncheckedImage = 0x1000;
constexpr UINT kItemStateBits = LVIS_FOCUSED | LVIS_SELECTED | LVIS_CUT | LVIS_DROPHILITED;
constexpr int kBorderMargin = 3;
constexpr int kCheckBoxSpace = 16;

std::u16string firstLine(const std::u16string& text) {
    const auto end = text.find_first_of(u"\r\n");
    return end == std::u16string::npos ? text : text.substr(0, end);
}

}  // namespace

Table::Table() {
    rowBackground_ = GetSysColor(COLOR_WINDOW);
    rowText_ = GetSysColor(COLOR_WINDOWTEXT);
    textBackground_ = rowBackground_;
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &tableFont_);
    measureDc_.reset(CreateCompatibleDC(nullptr));
    selectMeasureFont();
}

void Table::selectMeasureFont() {
    if (!measureDc_) return;
    UniqueFont font(CreateFontIndirectW(&tableFont_));
    if (!font) return;
    measureSelection_.select(measureDc_.get(), font.get());
    measureFont_ = std::move(font);
    TEXTMETRICW tm{};
    if (GetTextMetricsW(measureDc_.get(), &tm)) rowHeight_ = std::max(16, static_cast<int>(tm.tmHeight) + 6);
}

void Table::setTableFont(const LOGFONTW& font) {
    tableFont_ = font;
    selectMeasureFont();
    updateScrollExtents();
    invalidateTable();
}

Table::~Table() = default;

// Table operations -----------------------------------------------------------------------

bool Table::isChecked(int row) const {
    if (columns_.empty()) return false;
    if (row == -1) row = getRowCount() - 1;
    if (!columns_[0].hasRow(row)) return false;
    return (columns_[0].checks.get(row) & LVIS_STATEIMAGEMASK) == kCheckedImage;
}

void Table::setChecked(int row, bool checked) {
    if (columns_.empty() || !columns_[0].hasRow(row)) return;
    columns_[0].checks.set(row, checked ? kCheckedImage : 0, LVIS_STATEIMAGEMASK);
    invalidateTable();
}

int Table::getColumnCount() const { return static_cast<int>(columns_.size()); }

void Table::setListExtendedStyle(DWORD flags) {
    listExtendedStyle_ = flags;
    if (!columns_.empty()) columns_[0].checkBoxes = (flags & LVS_EX_CHECKBOXES) != 0;
    invalidateTable();
}

bool Table::ensureVisible(int row) {
    if (!isShown() || columns_.empty() || !columns_[0].hasRow(row)) return false;
    updateScrollExtents();
    const int top = scrolling().topRow();
    const int page = countPerPage();
    if (row < top)
        scrollToTopRow(row);
    else if (row >= top + page)
        scrollToTopRow(row - page + 1);
    return true;
}

void Table::removeAllRows() {
    const int before = nextItem(-1, LVNI_SELECTED);
    for (auto& column : columns_) column.clearCells();
    scrolling().scrollToRow(0);
    updateScrollExtents();
    if (before != -1) {
        selectionChanged(-1);
        notifyItemChanged(-1);
    }
    notifyCode(LVN_DELETEALLITEMS);
    invalidateTable();
}

void Table::removeRow(int row) {
    if (columns_.empty() || !columns_[0].hasRow(row)) return;
    for (auto& column : columns_) column.removeCell(row);
    updateScrollExtents();
    notifyCode(LVN_DELETEITEM, row);
    invalidateTable();
}

DWORD Table::getListExtendedStyle() const { return listExtendedStyle_; }

int Table::getRowCount() const { return columns_.empty() ? 0 : columns_[0].rowCount(); }

void Table::setCellText(int row, int column, const std::u16string& text) {
    if (column == 0 && row == -1) {
        insertRow(text, getRowCount());
        return;
    }
    setValueAt(text, row, column);
}

std::u16string Table::getValueAt(int row, int column) const {
    if (column < 0 || column >= getColumnCount()) return {};
    if (row == -1) row = getRowCount() - 1;
    const TableColumn& c = columns_[static_cast<std::size_t>(column)];
    return c.hasRow(row) ? c.cells[static_cast<std::size_t>(row)].text : std::u16string();
}

int Table::insertRow(const std::u16string& text, int row) {
    if (columns_.empty()) return -1;
    const int count = getRowCount();
    if (row < 0 || row > count) row = count;
    for (std::size_t i = 0; i < columns_.size(); ++i) columns_[i].insertCell(row, TableCell{i == 0 ? text : u"", 0});
    updateScrollExtents();
    invalidateTable();
    return row;
}

void Table::setValueAt(const std::u16string& text, int row, int column) {
    if (column < 0 || column >= getColumnCount()) return;
    if (row == -1) row = getRowCount() - 1;
    TableColumn& c = columns_[static_cast<std::size_t>(column)];
    if (!c.hasRow(row)) return;
    c.cells[static_cast<std::size_t>(row)].text = text;
    invalidateTable();
}

void Table::setItemValue(int row, LPARAM value) {
    if (columns_.empty()) return;
    if (row == -1) row = getRowCount() - 1;
    if (!columns_[0].hasRow(row)) return;
    columns_[0].cells[static_cast<std::size_t>(row)].value = value;
}

LPARAM Table::getItemValue(int row) const {
    if (columns_.empty() || !columns_[0].hasRow(row)) return 0;
    return columns_[0].cells[static_cast<std::size_t>(row)].value;
}

void Table::selectRow(int row) {
    if (columns_.empty() || !columns_[0].hasRow(row)) return;
    const int before = nextItem(-1, LVNI_SELECTED);
    const bool control = controlHeld();
    for (auto& column : columns_) {
        if (control)
            column.states.clearBits(LVIS_FOCUSED);
        else
            column.states.clear();
        UINT state = column.states.get(row);
        state = control ? (state ^ LVIS_SELECTED) : (state | LVIS_SELECTED);
        column.states.set(row, state | LVIS_FOCUSED, ~0u);
    }
    anchorRow_ = row;
    finishSelectionChange(before);
}

void Table::selectCell(int row, int column) {
    if (column < 0 || column >= getColumnCount() || !columns_[0].hasRow(row)) return;
    const int before = nextItem(-1, LVNI_SELECTED);
    for (auto& c : columns_) c.states.clear();
    columns_[static_cast<std::size_t>(column)].states.set(row, LVIS_SELECTED | LVIS_FOCUSED, ~0u);
    currentColumn_ = column;
    anchorRow_ = row;
    finishSelectionChange(before);
}

void Table::finishSelectionChange(int firstSelectedBefore) {
    const int after = nextItem(-1, LVNI_SELECTED);
    if (after != firstSelectedBefore) {
        selectionChanged(after);
        notifyItemChanged(after);
    }
    invalidateTable();
}

void Table::selectAll() {
    if (selectionUnit_ == SelectionUnit::Cells || columns_.empty()) return;
    const int before = nextItem(-1, LVNI_SELECTED);
    const int count = getRowCount();
    for (auto& column : columns_)
        for (int row = 0; row < count; ++row) column.states.set(row, LVIS_SELECTED, LVIS_SELECTED);
    finishSelectionChange(before);
}

void Table::moveRows(int first, int last, int target) {
    const int count = getRowCount();
    if (first < 0 || last < first || last >= count) return;
    std::vector<int> rows;
    for (int row = first; row <= last; ++row) rows.push_back(row);
    moveRowSet(rows, target);
}

void Table::moveRowSet(const std::vector<int>& rows, int target) {
    const int count = getRowCount();
    if (rows.empty() || rows.front() < 0 || rows.back() >= count || !std::is_sorted(rows.begin(), rows.end())) return;
    target = std::clamp(target, 0, count);
    // Rows before the target that move shift it up.
    const int before = static_cast<int>(std::lower_bound(rows.begin(), rows.end(), target) - rows.begin());
    const int destination = target - before;
    const bool contiguous = rows.back() - rows.front() + 1 == static_cast<int>(rows.size());
    if (contiguous && destination == rows.front()) return;
    const int firstBefore = nextItem(-1, LVNI_SELECTED);
    for (auto& column : columns_) {
        std::vector<TableCell> cells;
        std::vector<UINT> states;
        std::vector<UINT> checks;
        for (int row : rows) {
            cells.push_back(column.cells[static_cast<std::size_t>(row)]);
            states.push_back(column.states.get(row));
            checks.push_back(column.checks.get(row));
        }
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) column.removeCell(*it);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int row = destination + static_cast<int>(i);
            column.insertCell(row, std::move(cells[i]));
            column.states.set(row, states[i], ~0u);
            column.checks.set(row, checks[i], ~0u);
        }
    }
    finishSelectionChange(firstBefore);
    notifyCode(kRowsMoved, destination, static_cast<int>(rows.size()));
}

void Table::selectRange(int first, int last, Keep keep) {
    const int count = getRowCount();
    if (count == 0) return;
    first = std::clamp(first, 0, count - 1);
    last = std::clamp(last, 0, count - 1);
    const int before = nextItem(-1, LVNI_SELECTED);
    for (auto& column : columns_) {
        if (keep == Keep::Nothing)
            column.states.clear();
        else
            column.states.clearBits(LVIS_FOCUSED);
        for (int row = std::min(first, last); row <= std::max(first, last); ++row)
            column.states.set(row, LVIS_SELECTED, LVIS_SELECTED);
        column.states.set(last, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    finishSelectionChange(before);
}

std::vector<int> Table::getSelectedRows() const {
    std::vector<int> rows;
    for (const auto& column : columns_) {
        auto more = column.states.rowsWith(LVIS_SELECTED);
        rows.insert(rows.end(), more.begin(), more.end());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int Table::nextItem(int start, UINT flags) const {
    const int count = getRowCount();
    if (count == 0) return -1;
    if (start < -1) start = -1;
    flags &= kItemStateBits;
    if (flags == 0) return start + 1 < count ? start + 1 : -1;
    for (const auto& column : columns_) {
        const int row = column.states.nextWith(start, flags);
        if (row != -1 && row < count) return row;
    }
    return -1;
}

// Columns ----------------------------------------------------------------------------------

int Table::insertColumn(int index, const std::u16string& title, int width, int format) {
    index = std::clamp(index, 0, getColumnCount());
    TableColumn column;
    column.title = title;
    column.width = std::max(0, width);
    column.format = format;
    if (!columns_.empty()) column.headerHeight = columns_[0].headerHeight;
    const int count = getRowCount();
    for (int row = 0; row < count; ++row) column.cells.push_back(TableCell{});
    columns_.insert(columns_.begin() + index, std::move(column));
    for (std::size_t i = 0; i < columns_.size(); ++i)
        columns_[i].checkBoxes = i == 0 && (listExtendedStyle_ & LVS_EX_CHECKBOXES) != 0;
    if (index == 0 && columns_.size() > 1) {
        // The checks belong to the rows, which column 0 speaks for.
        std::swap(columns_[0].checks, columns_[1].checks);
    }
    applySelectionColours(paintedFocus_);
    layoutColumns();
    updateScrollExtents();
    invalidateTable();
    return index;
}

int Table::getColumnWidth(int column) const {
    if (column < 0 || column >= getColumnCount()) return 0;
    return columns_[static_cast<std::size_t>(column)].width;
}

void Table::setColumnWidth(int column, int width) {
    if (column < 0 || column >= getColumnCount()) return;
    if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) width = preferredColumnWidth(column);
    columns_[static_cast<std::size_t>(column)].width = std::max(0, width);
    layoutColumns();
    updateScrollExtents();
    invalidateTable();
}

int Table::preferredColumnWidth(int column) {
    if (column < 0 || column >= getColumnCount()) return 0;
    const TableColumn& c = columns_[static_cast<std::size_t>(column)];
    int widest = textWidth(c.title);
    c.cells.forRange(0, c.cells.size(), [&](const TableCell& cell) {
        if (!cell.text.empty()) widest = std::max(widest, textWidth(firstLine(cell.text)));
    });
    return widest + 2 * kCellPadding + (c.checkBoxes ? kCheckBoxSpace : 0);
}

void Table::widenColumnFor(int column, const std::u16string& text) {
    if (column < 0 || column >= getColumnCount()) return;
    const TableColumn& c = columns_[static_cast<std::size_t>(column)];
    const int wanted = std::max(textWidth(c.title), textWidth(text)) + 2 * kCellPadding +
                       (c.checkBoxes ? kCheckBoxSpace : 0);
    if (c.width < wanted) setColumnWidth(column, wanted);
}

const TableColumn* Table::column(int index) const {
    if (index < 0 || index >= getColumnCount()) return nullptr;
    return &columns_[static_cast<std::size_t>(index)];
}

void Table::layoutColumns() {
    int x = 0;
    for (auto& column : columns_) {
        column.x = x;
        x += column.width;
    }
}

// Colours ----------------------------------------------------------------------------------

COLORREF Table::alternateOf(COLORREF background) {
    auto raise = [](int byte) { return byte >= 232 ? 255 : byte + 24; };
    return RGB(raise(GetRValue(background)), raise(GetGValue(background)), raise(GetBValue(background)));
}

void Table::setBackgroundColour(COLORREF colour) {
    rowBackground_ = colour;
    invalidateTable();
}

void Table::setTextColour(COLORREF colour) {
    rowText_ = colour;
    for (auto& column : columns_) column.textColour = colour;
    applySelectionColours(paintedFocus_);
    invalidateTable();
}

void Table::setUnfocusedSelectionColours(COLORREF background, COLORREF text) {
    unfocusedSelectedBackground_ = background;
    unfocusedSelectedFrame_ = background;
    unfocusedSelectedText_ = text;
    applySelectionColours(paintedFocus_);
    invalidateTable();
}

void Table::applySelectionColours(Focus focus) {
    paintedFocus_ = focus;
    for (auto& column : columns_) {
        column.textColour = rowText_;
        if (focus == Focus::With) {
            column.selectedTextColour = GetSysColor(COLOR_HIGHLIGHTTEXT);
            column.selectedBackground = GetSysColor(COLOR_HIGHLIGHT);
            column.selectedFrame = GetSysColor(COLOR_HIGHLIGHT);
        } else {
            column.selectedTextColour = unfocusedSelectedText_.value_or(rowText_);
            column.selectedBackground = unfocusedSelectedBackground_;
            column.selectedFrame = unfocusedSelectedFrame_;
        }
    }
}

// Geometry ---------------------------------------------------------------------------------

int Table::headerHeight() const {
    return columns_.empty() ? TableColumn::kDefaultHeaderHeight : columns_[0].headerHeight;
}

int Table::countPerPage() const { return std::max(1, (viewHeight() - headerHeight()) / rowHeight_); }

int Table::contentWidth() const { return columns_.empty() ? 0 : columns_.back().x + columns_.back().width; }

RECT Table::cellRect(int row, int column) const {
    if (column < 0 || column >= getColumnCount()) return RECT{0, 0, 0, 0};
    const TableColumn& c = columns_[static_cast<std::size_t>(column)];
    const int left = c.x - scrolling().leftPixel();
    const int top = headerHeight() + (row - scrolling().topRow()) * rowHeight_;
    return RECT{left, top, left + c.width, top + rowHeight_};
}

RECT Table::rowRect(int row) const {
    const int left = -scrolling().leftPixel();
    const int top = headerHeight() + (row - scrolling().topRow()) * rowHeight_;
    return RECT{left, top, left + contentWidth(), top + rowHeight_};
}

int Table::columnAt(int x) const {
    const int content = x + scrolling().leftPixel();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const TableColumn& c = columns_[i];
        if (c.width > 0 && content >= c.x && content < c.x + c.width) return static_cast<int>(i);
    }
    return -1;
}

int Table::columnBorderAt(int x) const {
    // From the right, so that a narrow column's border is still reachable.
    for (int i = getColumnCount() - 1; i >= 0; --i) {
        const TableColumn& c = columns_[static_cast<std::size_t>(i)];
        if (c.width <= 0) continue;
        const int border = c.x + c.width - scrolling().leftPixel();
        if (x >= border - kBorderMargin && x <= border + kBorderMargin) return i;
    }
    return -1;
}

bool Table::onCheckBox(int x, int y, int row) const {
    if (columns_.empty() || !columns_[0].checkBoxes || !columns_[0].hasRow(row)) return false;
    const int top = headerHeight() + (row - scrolling().topRow()) * rowHeight_;
    return x >= kCheckBoxFirst && x <= kCheckBoxLast && y - top >= kCheckBoxFirst && y - top <= kCheckBoxLast;
}

bool Table::onCellText(int x, int row, int column) {
    if (column < 0 || column >= getColumnCount() || !columns_[0].hasRow(row)) return false;
    const TableColumn& c = columns_[static_cast<std::size_t>(column)];
    const std::u16string text = firstLine(c.cells[static_cast<std::size_t>(row)].text);
    if (text.empty()) return false;
    const RECT cell = cellRect(row, column);
    const int start = cell.left + kCellPadding + (c.checkBoxes ? kCheckBoxSpace : 0);
    return x >= start && x < std::min<int>(cell.right, start + textWidth(text));
}

int Table::hitTest(LVHITTESTINFO& info) const {
    info.iItem = -1;
    info.iSubItem = -1;
    const int x = info.pt.x;
    const int y = info.pt.y;
    if (y < headerHeight()) {
        info.flags = LVHT_ABOVE;
        return -1;
    }
    if (x < 0) {
        info.flags = LVHT_TOLEFT;
        return -1;
    }
    const int row = scrolling().topRow() + (y - headerHeight()) / rowHeight_;
    const int column = columnAt(x);
    if (row >= getRowCount() || column == -1) {
        info.flags = LVHT_NOWHERE;
        return -1;
    }
    info.iItem = row;
    info.iSubItem = column;
    info.flags = column == 0 && onCheckBox(x, y, row) ? LVHT_ONITEMSTATEICON : LVHT_ONITEMLABEL;
    return row;
}

// Scrolling --------------------------------------------------------------------------------

void Table::updateScrollExtents() {
    scrolling().setViewHeight(viewHeight());
    scrolling().setVerticalExtent(getRowCount(), countPerPage());
    scrolling().setHorizontalExtent(contentWidth(), viewWidth());
}

void Table::scrollToTopRow(int row) {
    updateScrollExtents();
    if (scrolling().scrollToRow(row)) invalidateTable();
}

void Table::scrollHorizontally(int pixels) {
    updateScrollExtents();
    if (scrolling().scrollPixels(pixels)) invalidateTable();
}

// Notifications ----------------------------------------------------------------------------

bool Table::controlHeld() const { return GetKeyState(VK_CONTROL) < 0; }

void Table::notifyCode(UINT code, int item, int subItem) {
    NMLISTVIEW record{};
    record.hdr.code = code;
    record.iItem = item;
    record.iSubItem = subItem;
    sendNotify(record.hdr);
}

void Table::notifyItemChanged(int row) {
    NMLISTVIEW record{};
    record.hdr.code = LVN_ITEMCHANGED;
    record.iItem = row;
    record.uNewState = row == -1 ? 0 : LVIS_SELECTED;
    record.uChanged = LVIF_STATE;
    record.lParam = getItemValue(row);
    sendNotify(record.hdr);
}

int Table::textWidth(const std::u16string& text) {
    if (!measureDc_ || text.empty()) return 0;
    SIZE size{0, 0};
    GetTextExtentPoint32W(measureDc_.get(), text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// List-view messages ------------------------------------------------------------------------

int Table::copyText(const std::u16string& text, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const int n = std::min(static_cast<int>(text.size()), size - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = 0;
    return n;
}

bool Table::writeState(int row, int column, UINT state, UINT mask) {
    (void)column;
    const UINT itemMask = mask & ~LVIS_STATEIMAGEMASK;
    const UINT imageMask = mask & LVIS_STATEIMAGEMASK;
    if (row == -1) {
        // Every row, as a list view does; clearing costs only the marked rows.
        if ((state & itemMask) == 0) {
            for (auto& c : columns_) c.states.clearBits(itemMask);
        } else {
            for (int r = 0; r < getRowCount(); ++r)
                for (auto& c : columns_) c.states.set(r, state, itemMask);
        }
        if (imageMask && !columns_.empty()) {
            if ((state & imageMask) == 0)
                columns_[0].checks.clearBits(imageMask);
            else
                for (int r = 0; r < getRowCount(); ++r) columns_[0].checks.set(r, state, imageMask);
        }
        invalidateTable();
        return true;
    }
    if (columns_.empty() || !columns_[0].hasRow(row)) return false;
    if (itemMask)
        for (auto& c : columns_) c.states.set(row, state, itemMask);
    if (imageMask) columns_[0].checks.set(row, state, imageMask);
    invalidateTable();
    return true;
}

LRESULT Table::getItem(LVITEMW* item) const {
    if (!item) return FALSE;
    const int row = item->iItem;
    const int sub = item->iSubItem;
    if (sub < 0 || sub >= getColumnCount() || !columns_[0].hasRow(row)) return FALSE;
    const TableColumn& c = columns_[static_cast<std::size_t>(sub)];
    if (item->mask & LVIF_TEXT) copyText(c.cells[static_cast<std::size_t>(row)].text, item->pszText, item->cchTextMax);
    if (item->mask & LVIF_PARAM) item->lParam = getItemValue(row);
    if (item->mask & LVIF_STATE) {
        UINT state = c.states.get(row) | columns_[0].checks.get(row);
        if (columns_[0].checkBoxes && (state & LVIS_STATEIMAGEMASK) == 0) state |= kUncheckedImage;
        item->state = state & item->stateMask;
    }
    return TRUE;
}

LRESULT Table::setItem(const LVITEMW* item) {
    if (!item) return FALSE;
    int row = item->iItem;
    const int sub = item->iSubItem;
    if (sub < 0 || sub >= getColumnCount()) return FALSE;
    if ((item->mask & LVIF_TEXT) && row == -1 && sub == 0) {
        row = insertRow(item->pszText ? std::u16string(item->pszText) : std::u16string(), getRowCount());
    } else {
        if (!columns_[0].hasRow(row)) return FALSE;
        if (item->mask & LVIF_TEXT) setValueAt(item->pszText ? std::u16string(item->pszText) : u"", row, sub);
    }
    if (item->mask & LVIF_PARAM) setItemValue(row, item->lParam);
    if (item->mask & LVIF_STATE) writeState(row, sub, item->state, item->stateMask);
    return TRUE;
}

LRESULT Table::getColumn(int index, LVCOLUMNW* out) const {
    if (!out || index < 0 || index >= getColumnCount()) return FALSE;
    const TableColumn& c = columns_[static_cast<std::size_t>(index)];
    if (out->mask & LVCF_FMT) out->fmt = c.format;
    if (out->mask & LVCF_WIDTH) out->cx = c.width;
    if (out->mask & LVCF_TEXT) copyText(c.title, out->pszText, out->cchTextMax);
    if (out->mask & LVCF_SUBITEM) out->iSubItem = index;
    return TRUE;
}

LRESULT Table::setColumn(int index, const LVCOLUMNW* in) {
    if (!in || index < 0 || index >= getColumnCount()) return FALSE;
    TableColumn& c = columns_[static_cast<std::size_t>(index)];
    if (in->mask & LVCF_FMT) c.format = in->fmt;
    if (in->mask & LVCF_TEXT) c.title = in->pszText ? std::u16string(in->pszText) : std::u16string();
    if (in->mask & LVCF_WIDTH)
        setColumnWidth(index, in->cx);
    else
        invalidateTable();
    return TRUE;
}

LRESULT Table::findItem(int start, const LVFINDINFOW* find) const {
    if (!find || columns_.empty()) return -1;
    const int count = getRowCount();
    const TableColumn& c = columns_[0];
    const std::u16string_view wanted = find->psz ? std::u16string_view(find->psz) : std::u16string_view();
    auto matches = [&](int row) {
        const TableCell& cell = c.cells[static_cast<std::size_t>(row)];
        if (find->flags & LVFI_PARAM) return cell.value == find->lParam;
        if (find->flags & LVFI_PARTIAL)
            return cell.text.size() >= wanted.size() &&
                   veltrix::ascii::equalsIgnoringCase(std::u16string_view(cell.text).substr(0, wanted.size()), wanted);
        return veltrix::ascii::equalsIgnoringCase(cell.text, wanted);
    };
    const int first = std::max(0, start + 1);
    for (int row = first; row < count; ++row)
        if (matches(row)) return row;
    if (find->flags & LVFI_WRAP)
        for (int row = 0; row < std::min(first, count); ++row)
            if (matches(row)) return row;
    return -1;
}

LRESULT Table::listViewMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    const int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
    switch (message) {
        case LVM_GETBKCOLOR:
        case LVM_GETTEXTBKCOLOR:
            return rowBackground_;
        case LVM_SETBKCOLOR:
            setBackgroundColour(static_cast<COLORREF>(lParam));
            return TRUE;
        case LVM_GETIMAGELIST:
            return reinterpret_cast<LRESULT>(imageList_);
        case LVM_SETIMAGELIST: {
            HIMAGELIST previous = imageList_;
            imageList_ = reinterpret_cast<HIMAGELIST>(lParam);
            return reinterpret_cast<LRESULT>(previous);
        }
        case LVM_GETITEMCOUNT:
            return getRowCount();
        case LVM_DELETEITEM:
            if (columns_.empty() || !columns_[0].hasRow(index)) return FALSE;
            removeRow(index);
            return TRUE;
        case LVM_DELETEALLITEMS:
            removeAllRows();
            return TRUE;
        case LVM_GETNEXTITEM:
            return nextItem(index, LOWORD(static_cast<DWORD_PTR>(lParam)));
        case LVM_GETITEMRECT: {
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (!rect || columns_.empty() || !columns_[0].hasRow(index)) return FALSE;
            const int code = rect->left;
            *rect = code == LVIR_BOUNDS || code == LVIR_SELECTBOUNDS ? rowRect(index) : cellRect(index, 0);
            return rect->right - rect->left > 0;
        }
        case LVM_GETSUBITEMRECT: {
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (!rect || columns_.empty() || !columns_[0].hasRow(index)) return FALSE;
            const int sub = rect->top;
            if (sub < 0 || sub >= getColumnCount()) return FALSE;
            *rect = cellRect(index, sub);
            return rect->right - rect->left > 0;
        }
        case LVM_HITTEST:
        case LVM_SUBITEMHITTEST: {
            auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
            return info ? hitTest(*info) : -1;
        }
        case LVM_ENSUREVISIBLE:
            return ensureVisible(index);
        case LVM_REDRAWITEMS:
        case LVM_UPDATE:
            invalidateTable();
            return 1;
        case LVM_GETCOLUMNWIDTH:
            return getColumnWidth(index);
        case LVM_SETCOLUMNWIDTH:
            if (index < 0 || index >= getColumnCount()) return FALSE;
            setColumnWidth(index, static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam))));
            return TRUE;
        case LVM_GETHEADER:
            return reinterpret_cast<LRESULT>(tableWindow());
        case LVM_CREATEDRAGIMAGE:
            // The native layer has no image lists yet: no drag image (a null list).
            return 0;
        case LVM_GETTEXTCOLOR:
            return rowText_;
        case LVM_SETTEXTCOLOR:
            setTextColour(static_cast<COLORREF>(lParam));
            return TRUE;
        case LVM_SETTEXTBKCOLOR:
            textBackground_ = static_cast<COLORREF>(lParam);
            return TRUE;
        case LVM_GETTOPINDEX:
            return scrolling().topRow();
        case LVM_GETCOUNTPERPAGE:
            return countPerPage();
        case LVM_GETITEMSTATE: {
            if (columns_.empty() || !columns_[0].hasRow(index)) return 0;
            LVITEMW item{};
            item.mask = LVIF_STATE;
            item.iItem = index;
            item.stateMask = static_cast<UINT>(lParam);
            getItem(&item);
            return item.state;
        }
        case LVM_SETITEMSTATE: {
            const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
            if (!item) return FALSE;
            return writeState(index, 0, item->state, item->stateMask);
        }
        case LVM_GETSELECTEDCOUNT:
            return static_cast<LRESULT>(getSelectedRows().size());
        case LVM_GETEXTENDEDLISTVIEWSTYLE:
            return listExtendedStyle_;
        case LVM_SETEXTENDEDLISTVIEWSTYLE: {
            const DWORD previous = listExtendedStyle_;
            const DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
            setListExtendedStyle((previous & ~mask) | (static_cast<DWORD>(lParam) & mask));
            return previous;
        }
        case LVM_GETITEMW:
            return getItem(reinterpret_cast<LVITEMW*>(lParam));
        case LVM_SETITEMW:
            return setItem(reinterpret_cast<const LVITEMW*>(lParam));
        case LVM_INSERTITEMW: {
            const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
            if (!item) return -1;
            const std::u16string text = (item->mask & LVIF_TEXT) && item->pszText ? item->pszText : u"";
            const int row = insertRow(text, item->iItem);
            if (row == -1) return -1;
            if (item->mask & LVIF_PARAM) setItemValue(row, item->lParam);
            if (item->mask & LVIF_STATE) writeState(row, 0, item->state, item->stateMask);
            return row;
        }
        case LVM_FINDITEMW:
            return findItem(index, reinterpret_cast<const LVFINDINFOW*>(lParam));
        case LVM_GETCOLUMNW:
            return getColumn(index, reinterpret_cast<LVCOLUMNW*>(lParam));
        case LVM_SETCOLUMNW:
            return setColumn(index, reinterpret_cast<const LVCOLUMNW*>(lParam));
        case LVM_INSERTCOLUMNW: {
            const auto* in = reinterpret_cast<const LVCOLUMNW*>(lParam);
            if (!in) return -1;
            const std::u16string title = (in->mask & LVCF_TEXT) && in->pszText ? in->pszText : u"";
            return insertColumn(index, title, (in->mask & LVCF_WIDTH) ? in->cx : 0,
                                (in->mask & LVCF_FMT) ? in->fmt : LVCFMT_LEFT);
        }
        case LVM_GETITEMTEXTW: {
            auto* item = reinterpret_cast<LVITEMW*>(lParam);
            if (!item) return 0;
            const int sub = item->iSubItem;
            if (sub < 0 || sub >= getColumnCount() || !columns_[0].hasRow(index))
                return copyText(u"", item->pszText, item->cchTextMax);
            return copyText(columns_[static_cast<std::size_t>(sub)].cells[static_cast<std::size_t>(index)].text,
                            item->pszText, item->cchTextMax);
        }
        case LVM_SETITEMTEXTW: {
            const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
            if (!item) return FALSE;
            LVITEMW copy = *item;
            copy.mask = LVIF_TEXT;
            copy.iItem = index;
            return setItem(&copy);
        }
        case LVM_SETITEMCOUNT:
            return 0;
        case HDM_GETITEMCOUNT:
            return getColumnCount();
        default:
            handled = false;
            return 0;
    }
}

// Painting ------------------------------------------------------------------------------------

void Table::paintTable(Graphics& g, Focus focus) {
    if (focus != paintedFocus_) applySelectionColours(focus);
    updateScrollExtents();
    HDC dc = g.dc();
    const int width = viewWidth();
    const int height = viewHeight();
    const int header = headerHeight();
    const int left = scrolling().leftPixel();
    const int top = scrolling().topRow();
    const int count = getRowCount();
    const int lastRow = std::min(count, top + (height - header) / rowHeight_ + 1);
    const COLORREF alternate = alternateBackground();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);

    g.setFont(tableFont_);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int textOffset = std::max(0, (rowHeight_ - static_cast<int>(tm.tmHeight)) / 2);
    const int headerTextOffset = std::max(0, (header - static_cast<int>(tm.tmHeight)) / 2);

    g.setBrushColor(rowBackground_);
    g.fillRect(0, 0, width, height);
    g.setBrushColor(face);
    g.fillRect(0, 0, width, header);

    for (std::size_t ci = 0; ci < columns_.size(); ++ci) {
        const TableColumn& c = columns_[ci];
        const int x0 = c.x - left;
        if (c.width <= 0 || x0 >= width || x0 + c.width <= 0) continue;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, x0, 0, x0 + c.width, height);

        // Header cell.
        g.drawLine(x0 + c.width - 1, 2, x0 + c.width - 1, header - 2, shadow);
        // The header is the system's face, whatever the rows' colours.
        g.setTextColor(GetSysColor(COLOR_BTNTEXT));
        g.drawText(firstLine(c.title), x0 + kCellPadding, headerTextOffset);

        // Cells.
        IntersectClipRect(dc, x0, header, x0 + c.width, height);
        const int textX = x0 + kCellPadding + (c.checkBoxes ? kCheckBoxSpace : 0);
        int row = top;
        c.cells.forRange(static_cast<std::size_t>(top), static_cast<std::size_t>(lastRow), [&](const TableCell& cell) {
            const int y = header + (row - top) * rowHeight_;
            const bool selected = (c.states.get(row) & LVIS_SELECTED) != 0;
            g.setBrushColor(selected ? c.selectedBackground : (row % 2 ? alternate : rowBackground_));
            g.fillRect(x0, y, c.width, rowHeight_);
            if (selected) {
                g.drawLine(x0, y, x0 + c.width, y, c.selectedFrame);
                g.drawLine(x0, y + rowHeight_ - 1, x0 + c.width, y + rowHeight_ - 1, c.selectedFrame);
                if (ci == 0 || columns_[ci - 1].width == 0) g.drawLine(x0, y, x0, y + rowHeight_, c.selectedFrame);
            }
            if (c.checkBoxes) {
                const int bx = x0 + kCheckBoxFirst;
                const int by = y + kCheckBoxFirst;
                const int side = kCheckBoxLast - kCheckBoxFirst;
                g.setBrushColor(0xFFFFFF);
                g.fillRect(bx, by, side, side);
                g.setPen(PS_SOLID, 1, shadow);
                g.drawRect(bx, by, side, side);
                if ((columns_[0].checks.get(row) & LVIS_STATEIMAGEMASK) == kCheckedImage) {
                    g.drawLine(bx + 2, by + 5, bx + 4, by + 8, 0);
                    g.drawLine(bx + 4, by + 8, bx + 9, by + 2, 0);
                    g.drawLine(bx + 2, by + 6, bx + 4, by + 9, 0);
                    g.drawLine(bx + 4, by + 9, bx + 9, by + 3, 0);
                }
            }
            if (!cell.text.empty()) {
                g.setTextColor(selected ? c.selectedTextColour : c.textColour);
                // Straight to the picture's DC: the font and its metrics are
                // already set for the whole paint, and a row shows one line.
                const std::size_t length = cell.text.find_first_of(u"\r\n");
                TextOutW(dc, textX - g.origin().x, y + textOffset - g.origin().y, cell.text.data(),
                         static_cast<int>(length == std::u16string::npos ? cell.text.size() : length));
            }
            ++row;
        });
        RestoreDC(dc, saved);
    }

    // The header's lower edge.
    g.drawLine(0, header - 1, width, header - 1, shadow);

    if (listExtendedStyle_ & LVS_EX_GRIDLINES) {
        const int bottom = header + (lastRow - top) * rowHeight_;
        for (const auto& c : columns_) {
            if (c.width <= 0) continue;
            const int x = c.x + c.width - 1 - left;
            if (x >= 0 && x < width) g.drawLine(x, header, x, height, kGridColour);
        }
        for (int y = header + rowHeight_ - 1; y <= bottom - 1; y += rowHeight_)
            g.drawLine(0, y, std::min(width, contentWidth() - left), y, kGridColour);
    }

    if (dropRow >= 0) {
        const int y = header + (dropRow - top) * rowHeight_;
        if (y >= header - 1 && y <= height) {
            g.drawLine(0, y, width, y, rowText_);
            g.drawLine(0, y - 1, width, y - 1, rowText_);
        }
    }

    scrolling().paintBars(g, header);

    if (band.active) {
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, 0, header, width, height);
        const int bx = std::min(band.from.x, band.to.x);
        const int by = std::min(band.from.y, band.to.y);
        const int bw = std::abs(band.to.x - band.from.x) + 1;
        const int bh = std::abs(band.to.y - band.from.y) + 1;
        const int clippedTop = std::max(by, header);
        if (by + bh > clippedTop) g.fillRectAlpha(bx, clippedTop, bw, by + bh - clippedTop, kBandFill, kBandAlpha);
        g.setPen(PS_SOLID, 1, kBandOuter);
        g.drawRect(bx, by, bw, bh);
        if (bw > 2 && bh > 2) {
            g.setPen(PS_SOLID, 1, kBandInner);
            g.drawRect(bx + 1, by + 1, bw - 2, bh - 2);
        }
        RestoreDC(dc, saved);
    }
}
