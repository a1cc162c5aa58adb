#include "toolkit/XmlTreePane.h"

#include <utility>

#include "platform/common/FileExtension.h"
#include "toolkit/Bitmap.h"

namespace {

constexpr int kIconSide = 16;
// The bits an item's saved state may bring back: not the drop highlight of a
// drag that was running when the state was read.
constexpr UINT kRestoredBits = 0xFFFF & ~TVIS_DROPHILITED;

std::u16string number(UINT value) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value);
    return text;
}

UINT parseState(const std::u16string& text) {
    UINT value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9' || value > 0xFFFFFFFu) return 0;
        value = value * 10 + static_cast<UINT>(c - u'0');
    }
    return value;
}

bool isFolder(const std::u16string& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The program's folder with its trailing separator.
std::u16string programFolder() {
    WCHAR buffer[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    std::u16string path(buffer, length);
    const std::size_t slash = path.find_last_of(u"/\\");
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash + 1);
}

}  // namespace

XmlTreePane::XmlTreePane() {
    images_.reset(ImageList_Create(kIconSide, kIconSide, ILC_COLOR32 | ILC_MASK, 8, 8));
    // Index 0 is the folder icon: the current folder's, asked for first.
    WCHAR folder[MAX_PATH * 4] = {};
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(std::size(folder)), folder);
    iconIndexFor(length ? std::u16string(folder, length) : std::u16string(u"."));
}

XmlTreePane::~XmlTreePane() { XmlTreePane::destroyWindow(); }

bool XmlTreePane::onCreate() {
    acceptFormat(CF_HDROP);
    registerDropTarget(handle_);
    if (!tree_.create(handle_)) return false;
    SetWindowLongW(tree_.handle(), GWL_STYLE, static_cast<LONG>(kTreeStyle));
    SendMessageW(tree_.handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.get()));
    RECT client{};
    GetClientRect(handle_, &client);
    tree_.setBounds(0, 0, client.right, client.bottom);
    return false;
}

void XmlTreePane::destroyWindow() {
    revokeDropTarget();
    tree_.destroyWindow();
    items_.clear();
    BaseWindow::destroyWindow();
}

LRESULT XmlTreePane::onSize(WPARAM, LPARAM size) {
    if (tree_.handle()) tree_.setBounds(0, 0, LOWORD(size), HIWORD(size));
    return 0;
}

LRESULT XmlTreePane::onNotify(WPARAM wParam, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header || header->hwndFrom != tree_.handle()) return BaseWindow::onNotify(wParam, lParam);
    if (header->code == TVN_BEGINDRAGW) {
        beginDrag(*reinterpret_cast<const NMTREEVIEWW*>(lParam));
        return 0;
    }
    if (header->code == TVN_DELETEITEMW) {
        // An item deleted by anyone leaves no mapping behind.
        items_.erase(reinterpret_cast<const NMTREEVIEWW*>(lParam)->itemOld.hItem);
    }
    HWND parent = GetParent(handle_);
    if (!parent) return 0;
    // Our parent hears the tree's news as the pane's.
    const HWND from = std::exchange(header->hwndFrom, handle_);
    const UINT_PTR id = std::exchange(header->idFrom, static_cast<UINT_PTR>(GetDlgCtrlID(handle_)));
    const LRESULT result = SendMessageW(parent, WM_NOTIFY, header->idFrom, lParam);
    header->hwndFrom = from;
    header->idFrom = id;
    return result;
}

LRESULT XmlTreePane::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_MOUSEMOVE:
            if (tree_.dragging()) {
                dragTo(p);
                return 0;
            }
            break;
        case WM_LBUTTONUP:
            if (tree_.dragging()) {
                dropAt(p);
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            // A drag whose capture was taken away ends without moving anything.
            if (tree_.dragging() && reinterpret_cast<HWND>(lParam) != window) tree_.endDrag();
            break;
        default:
            break;
    }
    return BaseWindow::windowProc(window, message, wParam, lParam);
}

POINT XmlTreePane::toTree(POINT pane) const {
    MapWindowPoints(handle_, tree_.handle(), &pane, 1);
    return pane;
}

void XmlTreePane::beginDrag(const NMTREEVIEWW& info) {
    const HTREEITEM item = info.itemNew.hItem;
    if (!item || item == tree_.firstRoot()) return;
    tree_.beginDrag(item, info.ptDrag);
    SetCapture(handle_);
}

void XmlTreePane::dragTo(POINT pane) {
    const POINT at = toTree(pane);
    tree_.setDropTarget(tree_.itemAt(at));
    tree_.moveDragImage(at);
}

void XmlTreePane::dropAt(POINT pane) {
    tree_.setDropTarget(tree_.itemAt(toTree(pane)));
    const HTREEITEM target = tree_.dropTarget();
    const HTREEITEM dragged = tree_.draggedItem();
    HTREEITEM moved = nullptr;
    if (tree_.canDropOn(target) && elementOf(target) && elementOf(dragged)) {
        Element& element = *elementOf(dragged);
        Element& targetElement = *elementOf(target);
        if (target == tree_.firstRoot() || isFolderItem(target)) {
            targetElement.insertChild(element.parent()->removeChild(&element), nullptr, InsertMode::Last);
            moved = moveItem(dragged, target, TVI_LAST);
        } else if (targetElement.parent()) {
            targetElement.parent()->insertChild(element.parent()->removeChild(&element), &targetElement,
                                                InsertMode::Before);
            const HTREEITEM before = tree_.previousSiblingOf(target);
            moved = moveItem(dragged, tree_.parentOf(target), before ? before : TVI_FIRST);
        }
    }
    tree_.endDrag();
    if (GetCapture() == handle_) ReleaseCapture();
    if (moved) tree_.select(moved);
    tree_.repaint();
}

HTREEITEM XmlTreePane::moveItem(HTREEITEM item, HTREEITEM parent, HTREEITEM after) {
    // Copies the item (text, image, state) to its new place, its children under
    // the copy the same way, and re-points the map; then the old branch goes.
    auto copy = [this](HTREEITEM from, HTREEITEM under, HTREEITEM behind) {
        const HTREEITEM to = tree_.insertItem(tree_.textOf(from), under, behind);
        if (!to) return to;
        tree_.setImage(to, tree_.imageOf(from));
        tree_.setState(to, tree_.stateOf(from) & ~(TVIS_SELECTED | TVIS_DROPHILITED),
                       0xFFFF & ~(TVIS_SELECTED | TVIS_DROPHILITED));
        if (auto it = items_.find(from); it != items_.end()) {
            items_[to] = it->second;
            items_.erase(it);
        }
        return to;
    };
    const HTREEITEM top = copy(item, parent, after);
    if (!top) return nullptr;
    std::vector<std::pair<HTREEITEM, HTREEITEM>> stack{{item, top}};
    while (!stack.empty()) {
        const auto [from, to] = stack.back();
        stack.pop_back();
        for (HTREEITEM child = tree_.firstChildOf(from); child; child = tree_.nextSiblingOf(child))
            if (HTREEITEM copied = copy(child, to, TVI_LAST)) stack.emplace_back(child, copied);
    }
    // The moved items' mappings are with their copies now, so this removes
    // only the old tree items.
    tree_.deleteItem(item);
    if (tree_.stateOf(top) & TVIS_EXPANDED) tree_.expand(top);
    return top;
}

bool XmlTreePane::onFilesDropped(const std::vector<std::u16string>& paths) {
    const std::u16string folder = programFolder();
    for (std::u16string path : paths) {
        if (!folder.empty() && path.size() > folder.size() && path.starts_with(folder)) path.erase(0, folder.size());
        if (!findItemByPath(path)) addChildItem(tree_.firstRoot(), path);
    }
    tree_.repaint();
    return true;
}

bool XmlTreePane::load(const std::u16string& path) {
    if (!document_.parse(path)) return false;
    documentPath_ = path;
    rebuild();
    return true;
}

void XmlTreePane::newDocument(const std::u16string& name) {
    if (document_.getRoot()) return;
    if (!document_.parseString(u"<" + name + u"/>") || !document_.getRoot()) return;
    document_.getRoot()->setEmptyTag(false);
    documentPath_ = name;
    rebuild();
}

HTREEITEM XmlTreePane::addMapped(HTREEITEM parent, HTREEITEM after, Element* element, const std::u16string& title) {
    const HTREEITEM item = tree_.insertItem(title, parent, after);
    if (!item) return nullptr;
    items_[item] = element;
    tree_.setImage(item, iconIndexFor(element->getAttribute(u"path")));
    return item;
}

void XmlTreePane::rebuild() {
    tree_.deleteAllItems();
    items_.clear();
    Element* root = document_.getRoot();
    if (!root) return;
    const HTREEITEM top = tree_.addRoot(documentPath_);
    if (!top) return;
    items_[top] = root;
    tree_.setImage(top, iconIndexFor(documentPath_));
    // Breadth by breadth with a stack of its own: the file decides the depth.
    std::vector<std::pair<Element*, HTREEITEM>> stack{{root, top}};
    std::vector<std::pair<HTREEITEM, UINT>> states;
    while (!stack.empty()) {
        const auto [element, item] = stack.back();
        stack.pop_back();
        for (Element* child = element->firstChild(); child; child = child->next()) {
            if (child->getName().empty()) continue;  // text between the elements
            std::u16string title = child->getAttribute(u"name");
            if (title.empty()) title = fileTitleOf(child->getAttribute(u"path"));
            const HTREEITEM added = addMapped(item, TVI_LAST, child, title);
            if (!added) continue;
            if (child->hasAttribute(u"state")) states.emplace_back(added, parseState(child->getAttribute(u"state")));
            stack.emplace_back(child, added);
        }
    }
    // After all items exist, so that an expanded item has its children.
    for (const auto& [item, state] : states) tree_.setState(item, state, kRestoredBits);
    // The document itself is always open: its items are what the pane is for.
    tree_.expand(top);
    tree_.repaint();
}

bool XmlTreePane::saveStates() {
    for (const auto& [item, element] : items_) element->setAttribute(u"state", number(tree_.stateOf(item)));
    return !documentPath_.empty() && document_.getRoot() && document_.saveAs(documentPath_);
}

HTREEITEM XmlTreePane::addChildItem(HTREEITEM parent, const std::u16string& path) {
    Element* parentElement = elementOf(parent);
    if (!parentElement) return nullptr;
    auto element = std::make_unique<Element>(kItemName);
    element->setAttribute(u"path", path);
    Element* added = parentElement->appendChild(std::move(element));
    const HTREEITEM item = addMapped(parent, TVI_LAST, added, fileTitleOf(path));
    if (!item) parentElement->deleteChild(added);
    return item;
}

HTREEITEM XmlTreePane::insertItemAfter(HTREEITEM item, const std::u16string& path) {
    if (!item) return nullptr;
    HTREEITEM parent = tree_.parentOf(item);
    if (!parent) parent = tree_.firstRoot();
    Element* parentElement = elementOf(parent);
    if (!parentElement) return nullptr;
    auto element = std::make_unique<Element>(kItemName);
    element->setAttribute(u"path", path);
    // Beside the item's element, so that the file keeps the order shown.
    Element* beside = elementOf(item);
    Element* added = beside && beside->parent() == parentElement
                         ? parentElement->insertChild(std::move(element), beside, InsertMode::After)
                         : parentElement->appendChild(std::move(element));
    const HTREEITEM inserted = addMapped(parent, parent == item ? TVI_LAST : item, added, fileTitleOf(path));
    if (!inserted) parentElement->deleteChild(added);
    return inserted;
}

void XmlTreePane::removeItem(HTREEITEM item) {
    if (!item || item == tree_.firstRoot() || !elementOf(item)) return;
    // Children first, deepest first, each detached from the XML.
    std::vector<HTREEITEM> order{item};
    for (std::size_t i = 0; i < order.size(); ++i)
        for (HTREEITEM child = tree_.firstChildOf(order[i]); child; child = tree_.nextSiblingOf(child))
            order.push_back(child);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (Element* element = elementOf(*it); element && element->parent()) element->parent()->deleteChild(element);
        items_.erase(*it);
        tree_.deleteItem(*it);
    }
}

Element* XmlTreePane::elementOf(HTREEITEM item) const {
    auto it = items_.find(item);
    return it == items_.end() ? nullptr : it->second;
}

std::u16string XmlTreePane::attributeOf(HTREEITEM item, const std::u16string& name) const {
    const Element* element = elementOf(item);
    return element ? element->getAttribute(name) : std::u16string();
}

HTREEITEM XmlTreePane::findItemByPath(const std::u16string& path) const {
    for (const auto& [item, element] : items_)
        if (element->hasAttribute(u"path") && element->getAttribute(u"path") == path) return item;
    return nullptr;
}

bool XmlTreePane::isFolderItem(HTREEITEM item) const {
    return isFolder(attributeOf(item, u"path")) || (elementOf(item) && tree_.imageOf(item) == 0);
}

int XmlTreePane::iconIndexFor(const std::u16string& path) {
    const std::u16string key = veltrix::paths::extensionOf(path);
    if (auto it = icons_.find(key); it != icons_.end()) return it->second;
    SHFILEINFOW info{};
    const DWORD attributes = isFolder(path) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    auto system = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        path.c_str(), attributes, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    Bitmap cell;
    if (!system || !images_ || !cell.create(kIconSide, kIconSide, 32) ||
        !ImageList_Draw(system, info.iIcon, cell.dc(), 0, 0, ILD_TRANSPARENT))
        return 0;
    const int index = ImageList_Add(images_.get(), cell.section(), nullptr);
    if (index < 0) return 0;
    icons_[key] = index;
    return index;
}

std::u16string XmlTreePane::fileTitleOf(const std::u16string& path) {
    const std::size_t slash = path.find_last_of(u"/\\");
    std::u16string title = slash == std::u16string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = title.rfind(u'.');
    if (dot != std::u16string::npos) title.erase(dot);
    return title;
}
