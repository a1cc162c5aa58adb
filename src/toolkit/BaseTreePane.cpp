#include "toolkit/BaseTreePane.h"

namespace {

LRESULT send(HWND tree, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return tree ? SendMessageW(tree, message, wParam, lParam) : 0;
}

HTREEITEM asItem(LRESULT result) { return reinterpret_cast<HTREEITEM>(result); }

}  // namespace

BaseTreePane::BaseTreePane() = default;

BaseTreePane::~BaseTreePane() { BaseTreePane::destroyWindow(); }

bool BaseTreePane::create(HWND parent) {
    destroyWindow();
    HWND tree = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, u"", kTreeStyle, 20, 0, 200, 600, parent, nullptr,
                                nullptr, nullptr);
    if (!tree) return false;
    SendMessageW(tree, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    if (!subclassWindow(tree)) {
        DestroyWindow(tree);
        return false;
    }
    return true;
}

void BaseTreePane::destroyWindow() {
    endDrag();
    Component::destroyWindow();
}

void BaseTreePane::setBackground(COLORREF colour) {
    Component::setBackground(colour);
    send(handle_, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(colour));
    repaint();
}

void BaseTreePane::setForeground(COLORREF colour) {
    Component::setForeground(colour);
    send(handle_, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(colour));
    repaint();
}

LRESULT BaseTreePane::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE) fireEvent(EventCode::MouseMoved, 0);
    // The control paints and handles input itself; the component's own
    // painting and mouse handling stay out of its way.
    return BaseWindow::windowProc(window, message, wParam, lParam);
}

void BaseTreePane::deleteItem(HTREEITEM item) {
    if (item == dragItem_) endDrag();
    send(handle_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

void BaseTreePane::deleteAllItems() {
    endDrag();
    // Each deletion removes an item, so this ends; the count guards against a
    // control that refused one.
    for (HTREEITEM root = firstRoot(); root; root = firstRoot())
        if (!send(handle_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(root))) break;
}

HTREEITEM BaseTreePane::addRoot(const std::u16string& text) { return insertItem(text, TVI_ROOT, TVI_LAST); }

HTREEITEM BaseTreePane::insertItem(const std::u16string& text, HTREEITEM parent, HTREEITEM insertAfter) {
    std::u16string buffer = text;
    TVINSERTSTRUCTW record{};
    record.hParent = parent;
    record.hInsertAfter = insertAfter;
    record.item.mask = TVIF_TEXT | TVIF_STATE;
    record.item.pszText = buffer.data();
    record.item.state = 0;
    record.item.stateMask = 0;
    return asItem(send(handle_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&record)));
}

bool BaseTreePane::canDropOn(HTREEITEM item) const {
    if (!item) return false;
    for (HTREEITEM at = item; at; at = parentOf(at))
        if (at == dragItem_) return false;
    return true;
}

HTREEITEM BaseTreePane::firstRoot() const { return asItem(send(handle_, TVM_GETNEXTITEM, TVGN_ROOT, 0)); }

HTREEITEM BaseTreePane::parentOf(HTREEITEM item) const {
    return item ? asItem(send(handle_, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item))) : nullptr;
}

HTREEITEM BaseTreePane::firstChildOf(HTREEITEM item) const {
    return item ? asItem(send(handle_, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))) : nullptr;
}

HTREEITEM BaseTreePane::nextSiblingOf(HTREEITEM item) const {
    return item ? asItem(send(handle_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))) : nullptr;
}

HTREEITEM BaseTreePane::previousSiblingOf(HTREEITEM item) const {
    return item ? asItem(send(handle_, TVM_GETNEXTITEM, TVGN_PREVIOUS, reinterpret_cast<LPARAM>(item))) : nullptr;
}

HTREEITEM BaseTreePane::selectedItem() const { return asItem(send(handle_, TVM_GETNEXTITEM, TVGN_CARET, 0)); }

HTREEITEM BaseTreePane::dropTarget() const { return asItem(send(handle_, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0)); }

std::u16string BaseTreePane::textOf(HTREEITEM item) const {
    WCHAR buffer[kMaxText] = {};
    TVITEMW record{};
    record.mask = TVIF_TEXT;
    record.hItem = item;
    record.pszText = buffer;
    record.cchTextMax = kMaxText;
    return send(handle_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)) ? std::u16string(buffer)
                                                                             : std::u16string();
}

int BaseTreePane::imageOf(HTREEITEM item) const {
    TVITEMW record{};
    record.mask = TVIF_IMAGE;
    record.hItem = item;
    return send(handle_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)) ? record.iImage : 0;
}

UINT BaseTreePane::stateOf(HTREEITEM item) const {
    return static_cast<UINT>(send(handle_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), 0xFFFF));
}

void BaseTreePane::setImage(HTREEITEM item, int image) {
    TVITEMW record{};
    record.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    record.hItem = item;
    record.iImage = image;
    record.iSelectedImage = image;
    send(handle_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record));
}

void BaseTreePane::setState(HTREEITEM item, UINT state, UINT mask) {
    TVITEMW record{};
    record.mask = TVIF_STATE;
    record.hItem = item;
    record.state = state;
    record.stateMask = mask;
    send(handle_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record));
}

void BaseTreePane::expand(HTREEITEM item, UINT how) { send(handle_, TVM_EXPAND, how, reinterpret_cast<LPARAM>(item)); }

void BaseTreePane::select(HTREEITEM item) { send(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }

void BaseTreePane::setDropTarget(HTREEITEM item) {
    send(handle_, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(item));
}

HTREEITEM BaseTreePane::itemAt(POINT client) const {
    TVHITTESTINFO info{client, 0, nullptr};
    return asItem(send(handle_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
}

bool BaseTreePane::labelRect(HTREEITEM item, RECT& rect) const {
    *reinterpret_cast<HTREEITEM*>(&rect) = item;
    return send(handle_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)) != 0;
}

int BaseTreePane::itemCount() const { return static_cast<int>(send(handle_, TVM_GETCOUNT)); }

void BaseTreePane::beginDrag(HTREEITEM item, POINT point) {
    endDrag();
    if (!handle_ || !item) return;
    dragImage_.reset(
        reinterpret_cast<HIMAGELIST>(send(handle_, TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(item))));
    if (dragImage_ && ImageList_BeginDrag(dragImage_.get(), 0, 0, 0)) ImageList_DragEnter(handle_, point.x, point.y);
    dragItem_ = item;
    dragging_ = true;
}

void BaseTreePane::moveDragImage(POINT point) {
    if (dragging_) ImageList_DragMove(point.x, point.y);
}

void BaseTreePane::endDrag() {
    if (!dragging_) return;
    if (dragImage_) {
        ImageList_DragLeave(handle_);
        ImageList_EndDrag();
    }
    dragImage_.reset();
    dragging_ = false;
    dragItem_ = nullptr;
    if (handle_) setDropTarget(nullptr);
}
