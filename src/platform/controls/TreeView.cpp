// The tree view ("SysTreeView32"): items in a hierarchy, drawn as indented
// rows with buttons, lines, icons from a borrowed image list, a selection
// (the caret) and a drop highlight; mouse, wheel and keys; the notifications
// a parent needs to follow selection, expansion and drags.
//
// Items live in one table per control keyed by their handle; handles count
// up and are never reused, so a stale handle misses. Walks over the item
// hierarchy use explicit stacks: its depth is the caller's data.
#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/api/GdiHandles.h"
#include "platform/api/TreeView.h"
#include "platform/controls/ControlState.h"
#include "platform/controls/Controls.h"
#include "platform/controls/DibCanvas.h"
#include "platform/controls/ImageLists.h"
#include "platform/controls/Theme.h"

namespace veltrix::platform::controls {

namespace {

constexpr int kIndent = 19;
constexpr int kIconSide = 16;
constexpr int kGap = 3;
constexpr int kDragThreshold = 4;
constexpr int kWheelRows = 3;
constexpr COLORREF kDefaultColour = CLR_NONE;
constexpr COLORREF kLines = RGB(0xA0, 0xA0, 0xA0);
constexpr COLORREF kButtonFrame = RGB(0x90, 0x90, 0x90);

struct Node {
    HTREEITEM handle = nullptr;
    Node* parent = nullptr;  // null for the hidden root
    std::vector<Node*> children;
    std::u16string text;
    int image = 0;
    int selectedImage = 0;
    int childrenHint = 0;  // cChildren as given
    UINT state = 0;
    LPARAM param = 0;
};

struct Row {
    Node* node;
    int level;
};

struct TreeState {
    std::unordered_map<HTREEITEM, std::unique_ptr<Node>> nodes;
    Node root;
    ULONG_PTR nextHandle = 0x100;
    Node* caret = nullptr;
    Node* dropTarget = nullptr;
    Node* hot = nullptr;
    HIMAGELIST images = nullptr;
    COLORREF background = kDefaultColour;
    COLORREF text = kDefaultColour;
    HFONT font = nullptr;
    int itemHeight = 0;  // 0: from the font
    int top = 0;         // index of the first row shown
    bool focused = false;
    bool tracking = false;
    // A left press that may become a drag.
    Node* pressed = nullptr;
    POINT pressPoint{};
};

using States = ControlStates<TreeState>;

DWORD styleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

Node* find(TreeState& s, HTREEITEM item) {
    if (!item) return nullptr;
    auto it = s.nodes.find(item);
    return it == s.nodes.end() ? nullptr : it->second.get();
}

bool hasChildren(const Node& n) { return !n.children.empty() || n.childrenHint > 0; }
bool isExpanded(const Node& n) { return (n.state & TVIS_EXPANDED) != 0; }

int rowHeight(const TreeState& s) {
    if (s.itemHeight > 0) return s.itemHeight;
    return std::max(lineHeightOf(s.font) + 2, kIconSide + 2);
}

// The rows as shown: every item whose ancestors are all expanded, in order.
std::vector<Row> visibleRows(const TreeState& s) {
    std::vector<Row> rows;
    std::vector<std::pair<const std::vector<Node*>*, std::size_t>> stack{{&s.root.children, 0}};
    while (!stack.empty()) {
        auto& [list, index] = stack.back();
        if (index >= list->size()) {
            stack.pop_back();
            continue;
        }
        Node* node = (*list)[index++];
        rows.push_back({node, static_cast<int>(stack.size()) - 1});
        if (isExpanded(*node) && !node->children.empty()) stack.push_back({&node->children, 0});
    }
    return rows;
}

int rowOf(const std::vector<Row>& rows, const Node* node) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].node == node) return static_cast<int>(i);
    return -1;
}

int rowsPerPage(HWND window, const TreeState& s) {
    RECT client{};
    GetClientRect(window, &client);
    return std::max<int>(1, (client.bottom - client.top) / rowHeight(s));
}

// Where the parts of a row at `level` begin.
struct RowGeometry {
    int buttonLeft;  // the indent cell holding the button
    int iconLeft;
    int labelLeft;
};

RowGeometry geometryOf(HWND window, const TreeState& s, int level) {
    const DWORD style = styleOf(window);
    const bool atRoot = (style & TVS_LINESATROOT) && (style & (TVS_HASLINES | TVS_HASBUTTONS));
    const int start = (level + (atRoot ? 1 : 0)) * kIndent;
    const int iconLeft = start + kGap;
    const int labelLeft = s.images ? iconLeft + kIconSide + kGap : iconLeft;
    return {start - kIndent, iconLeft, labelLeft};
}

RECT labelRect(HWND window, const TreeState& s, const Node& node, int row, int level) {
    const RowGeometry g = geometryOf(window, s, level);
    const int h = rowHeight(s);
    const int y = (row - s.top) * h;
    return RECT{g.labelLeft, y, g.labelLeft + textWidth(s.font, node.text) + 2 * kGap, y + h};
}

void notify(HWND window, NMHDR& header) {
    header.hwndFrom = window;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
    HWND parent = GetParent(window);
    if (parent) SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

TVITEMW recordOf(const Node* node) {
    TVITEMW item{};
    if (!node) return item;
    item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    item.hItem = node->handle;
    item.state = node->state;
    item.lParam = node->param;
    return item;
}

// A tree notification about one or two items; the answer of the parent.
LRESULT notifyTree(HWND window, UINT code, UINT action, const Node* oldNode, const Node* newNode, POINT at = {}) {
    NMTREEVIEWW info{};
    info.hdr.code = code;
    info.action = action;
    info.itemOld = recordOf(oldNode);
    info.itemNew = recordOf(newNode);
    info.ptDrag = at;
    info.hdr.hwndFrom = window;
    info.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
    HWND parent = GetParent(window);
    return parent ? SendMessageW(parent, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info)) : 0;
}

void simpleNotify(HWND window, UINT code) {
    NMHDR header{};
    header.code = code;
    notify(window, header);
}

void clampTop(HWND window, TreeState& s) {
    const int count = static_cast<int>(visibleRows(s).size());
    s.top = std::clamp(s.top, 0, std::max(0, count - rowsPerPage(window, s)));
}

void refresh(HWND window, TreeState& s) {
    clampTop(window, s);
    InvalidateRect(window, nullptr, TRUE);
}

void ensureVisible(HWND window, TreeState& s, Node* node) {
    for (Node* p = node ? node->parent : nullptr; p && p->parent; p = p->parent) p->state |= TVIS_EXPANDED;
    const std::vector<Row> rows = visibleRows(s);
    const int row = rowOf(rows, node);
    if (row < 0) return;
    const int page = rowsPerPage(window, s);
    if (row < s.top)
        s.top = row;
    else if (row >= s.top + page)
        s.top = row - page + 1;
    refresh(window, s);
}

// Expands, collapses or toggles; notify: the parent hears of it and may veto.
bool expand(HWND window, TreeState& s, Node* node, UINT how, bool notifyParent) {
    if (!node) return false;
    const UINT action = how & 0x3;
    bool open = isExpanded(*node);
    const bool want = action == TVE_EXPAND ? true : action == TVE_COLLAPSE ? false : !open;
    if (want == open) return action != TVE_TOGGLE;
    if (want && !hasChildren(*node)) return false;
    const bool tell = notifyParent || !(node->state & TVIS_EXPANDEDONCE);
    if (tell && notifyTree(window, TVN_ITEMEXPANDINGW, want ? TVE_EXPAND : TVE_COLLAPSE, nullptr, node)) return false;
    if (!find(s, node->handle)) return false;
    if (want)
        node->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    else
        node->state &= ~TVIS_EXPANDED;
    // A collapsed branch cannot hold the selection.
    if (!want && s.caret) {
        for (Node* p = s.caret->parent; p; p = p->parent)
            if (p == node) {
                s.caret->state &= ~TVIS_SELECTED;
                s.caret = node;
                node->state |= TVIS_SELECTED;
                break;
            }
    }
    if (tell) notifyTree(window, TVN_ITEMEXPANDEDW, want ? TVE_EXPAND : TVE_COLLAPSE, nullptr, node);
    refresh(window, s);
    return true;
}

bool select(HWND window, TreeState& s, Node* node, UINT action) {
    if (node == s.caret) return true;
    if (notifyTree(window, TVN_SELCHANGINGW, action, s.caret, node)) return false;
    Node* old = s.caret;
    if (old && find(s, old->handle)) old->state &= ~TVIS_SELECTED;
    s.caret = node && find(s, node->handle) ? node : nullptr;
    if (s.caret) s.caret->state |= TVIS_SELECTED;
    if (s.caret && action == TVC_BYMOUSE && (styleOf(window) & TVS_SINGLEEXPAND)) {
        // Only the branch of the selection stays open.
        if (old && find(s, old->handle) && isExpanded(*old)) {
            bool ancestor = false;
            for (Node* p = s.caret->parent; p; p = p->parent) ancestor = ancestor || p == old;
            if (!ancestor) expand(window, s, old, TVE_COLLAPSE, true);
        }
        if (hasChildren(*s.caret)) expand(window, s, s.caret, TVE_EXPAND, true);
    }
    if (s.caret) ensureVisible(window, s, s.caret);
    notifyTree(window, TVN_SELCHANGEDW, action, old && find(s, old->handle) ? old : nullptr, s.caret);
    InvalidateRect(window, nullptr, TRUE);
    return true;
}

void setDropTarget(HWND window, TreeState& s, Node* node) {
    if (s.dropTarget == node) return;
    if (s.dropTarget) s.dropTarget->state &= ~TVIS_DROPHILITED;
    s.dropTarget = node;
    if (node) node->state |= TVIS_DROPHILITED;
    InvalidateRect(window, nullptr, TRUE);
}

void applyItem(Node& node, const TVITEMW& item) {
    if (item.mask & TVIF_TEXT) node.text = item.pszText ? std::u16string(item.pszText) : std::u16string();
    if (item.mask & TVIF_IMAGE) node.image = item.iImage;
    if (item.mask & TVIF_SELECTEDIMAGE) node.selectedImage = item.iSelectedImage;
    if (item.mask & TVIF_CHILDREN) node.childrenHint = item.cChildren;
    if (item.mask & TVIF_PARAM) node.param = item.lParam;
}

// The caret and the drop highlight live in the control; the other bits are the caller's.
void applyState(HWND window, TreeState& s, Node& node, UINT state, UINT mask) {
    const UINT kept = mask & ~(TVIS_SELECTED | TVIS_DROPHILITED);
    node.state = (node.state & ~kept) | (state & kept);
    if (mask & TVIS_SELECTED) {
        if ((state & TVIS_SELECTED) && s.caret != &node)
            select(window, s, &node, TVC_UNKNOWN);
        else if (!(state & TVIS_SELECTED) && s.caret == &node)
            select(window, s, nullptr, TVC_UNKNOWN);
    }
    if (mask & TVIS_DROPHILITED) {
        if (state & TVIS_DROPHILITED)
            setDropTarget(window, s, &node);
        else if (s.dropTarget == &node)
            setDropTarget(window, s, nullptr);
    }
}

HTREEITEM insert(HWND window, TreeState& s, const TVINSERTSTRUCTW* record) {
    if (!record) return nullptr;
    Node* parent = &s.root;
    if (record->hParent && record->hParent != TVI_ROOT) {
        parent = find(s, record->hParent);
        if (!parent) return nullptr;
    }
    auto node = std::make_unique<Node>();
    node->handle = reinterpret_cast<HTREEITEM>(s.nextHandle++);
    node->parent = parent;
    applyItem(*node, record->item);
    if (record->item.mask & TVIF_STATE) {
        const UINT mask = record->item.stateMask & ~(TVIS_SELECTED | TVIS_DROPHILITED);
        node->state = record->item.state & mask;
    }
    auto& siblings = parent->children;
    auto at = siblings.end();
    const HTREEITEM after = record->hInsertAfter;
    if (after == TVI_FIRST) {
        at = siblings.begin();
    } else if (after == TVI_SORT) {
        at = std::find_if(siblings.begin(), siblings.end(), [&](const Node* n) { return n->text > node->text; });
    } else if (after && after != TVI_LAST && after != TVI_ROOT) {
        auto it = std::find_if(siblings.begin(), siblings.end(), [&](const Node* n) { return n->handle == after; });
        // An insert-after that is not a sibling puts the item last, as on Windows.
        if (it != siblings.end()) at = it + 1;
    }
    Node* raw = node.get();
    siblings.insert(at, raw);
    s.nodes.emplace(raw->handle, std::move(node));
    refresh(window, s);
    return raw->handle;
}

// The item, its children and theirs, children before their parent.
std::vector<Node*> subtreeBottomUp(Node* top) {
    std::vector<Node*> order;
    std::vector<Node*> stack{top};
    while (!stack.empty()) {
        Node* n = stack.back();
        stack.pop_back();
        order.push_back(n);
        for (Node* child : n->children) stack.push_back(child);
    }
    std::reverse(order.begin(), order.end());
    return order;
}

bool removeItem(HWND window, TreeState& s, HTREEITEM item) {
    Node* top = item == TVI_ROOT || !item ? &s.root : find(s, item);
    if (!top) return false;
    Node* nextCaret = nullptr;
    std::vector<Node*> doomed = subtreeBottomUp(top);
    if (top == &s.root) doomed.pop_back();
    bool caretGoes = false;
    for (Node* n : doomed) caretGoes = caretGoes || n == s.caret;
    if (caretGoes && top != &s.root) {
        // As on Windows: the next sibling, else the previous one, else the parent.
        auto& siblings = top->parent->children;
        auto it = std::find(siblings.begin(), siblings.end(), top);
        if (it + 1 != siblings.end())
            nextCaret = *(it + 1);
        else if (it != siblings.begin())
            nextCaret = *(it - 1);
        else if (top->parent != &s.root)
            nextCaret = top->parent;
    }
    for (Node* n : doomed) {
        notifyTree(window, TVN_DELETEITEMW, 0, n, nullptr);
        if (!IsWindow(window)) return true;
    }
    if (top == &s.root) {
        s.root.children.clear();
    } else {
        auto& siblings = top->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), top), siblings.end());
    }
    for (Node* n : doomed) {
        if (s.dropTarget == n) s.dropTarget = nullptr;
        if (s.hot == n) s.hot = nullptr;
        if (s.pressed == n) s.pressed = nullptr;
        if (s.caret == n) s.caret = nullptr;
    }
    for (Node* n : doomed) s.nodes.erase(n->handle);
    if (caretGoes && nextCaret) {
        nextCaret->state |= TVIS_SELECTED;
        s.caret = nextCaret;
        notifyTree(window, TVN_SELCHANGEDW, TVC_UNKNOWN, nullptr, nextCaret);
    }
    if (IsWindow(window)) refresh(window, s);
    return true;
}

HTREEITEM nextItem(HWND window, TreeState& s, UINT how, HTREEITEM item) {
    Node* node = find(s, item);
    auto handleOf = [](const Node* n) { return n ? n->handle : nullptr; };
    auto sibling = [&](int step) -> HTREEITEM {
        if (!node) return nullptr;
        auto& siblings = node->parent->children;
        auto it = std::find(siblings.begin(), siblings.end(), node);
        const auto index = (it - siblings.begin()) + step;
        return index >= 0 && index < static_cast<std::ptrdiff_t>(siblings.size())
                   ? siblings[static_cast<std::size_t>(index)]->handle
                   : nullptr;
    };
    switch (how) {
        case TVGN_ROOT:
            return s.root.children.empty() ? nullptr : s.root.children.front()->handle;
        case TVGN_NEXT:
            return sibling(1);
        case TVGN_PREVIOUS:
            return sibling(-1);
        case TVGN_PARENT:
            return node && node->parent != &s.root ? node->parent->handle : nullptr;
        case TVGN_CHILD:
            if (!item || item == TVI_ROOT) return nextItem(window, s, TVGN_ROOT, nullptr);
            return node && !node->children.empty() ? node->children.front()->handle : nullptr;
        case TVGN_CARET:
            return handleOf(s.caret);
        case TVGN_DROPHILITE:
            return handleOf(s.dropTarget);
        case TVGN_FIRSTVISIBLE: {
            const std::vector<Row> rows = visibleRows(s);
            return s.top < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(s.top)].node->handle : nullptr;
        }
        case TVGN_LASTVISIBLE: {
            const std::vector<Row> rows = visibleRows(s);
            return rows.empty() ? nullptr : rows.back().node->handle;
        }
        case TVGN_NEXTVISIBLE:
        case TVGN_PREVIOUSVISIBLE: {
            const std::vector<Row> rows = visibleRows(s);
            const int row = rowOf(rows, node);
            const int next = row + (how == TVGN_NEXTVISIBLE ? 1 : -1);
            return row >= 0 && next >= 0 && next < static_cast<int>(rows.size())
                       ? rows[static_cast<std::size_t>(next)].node->handle
                       : nullptr;
        }
        default:
            return nullptr;
    }
}

HTREEITEM hitTest(HWND window, TreeState& s, TVHITTESTINFO* info) {
    if (!info) return nullptr;
    info->hItem = nullptr;
    RECT client{};
    GetClientRect(window, &client);
    const POINT p = info->pt;
    info->flags = 0;
    if (p.x < client.left) info->flags |= TVHT_TOLEFT;
    if (p.x >= client.right) info->flags |= TVHT_TORIGHT;
    if (p.y < client.top) info->flags |= TVHT_ABOVE;
    if (p.y >= client.bottom) info->flags |= TVHT_BELOW;
    if (info->flags) return nullptr;
    const std::vector<Row> rows = visibleRows(s);
    const int row = s.top + p.y / rowHeight(s);
    if (row < 0 || row >= static_cast<int>(rows.size())) {
        info->flags = TVHT_NOWHERE;
        return nullptr;
    }
    const Row& r = rows[static_cast<std::size_t>(row)];
    const RowGeometry g = geometryOf(window, s, r.level);
    const RECT label = labelRect(window, s, *r.node, row, r.level);
    if (p.x >= label.right)
        info->flags = TVHT_ONITEMRIGHT;
    else if (p.x >= g.labelLeft)
        info->flags = TVHT_ONITEMLABEL;
    else if (s.images && p.x >= g.iconLeft)
        info->flags = TVHT_ONITEMICON;
    else if (p.x >= g.buttonLeft && p.x < g.buttonLeft + kIndent && hasChildren(*r.node) &&
             (styleOf(window) & TVS_HASBUTTONS))
        info->flags = TVHT_ONITEMBUTTON;
    else
        info->flags = TVHT_ONITEMINDENT;
    info->hItem = r.node->handle;
    return r.node->handle;
}

Node* nodeAt(HWND window, TreeState& s, POINT p, UINT* flags = nullptr) {
    TVHITTESTINFO info{p, 0, nullptr};
    Node* node = find(s, hitTest(window, s, &info));
    if (flags) *flags = info.flags;
    return node;
}

COLORREF backgroundOf(const TreeState& s) {
    return s.background == kDefaultColour ? theme::kFieldBackground : s.background;
}
COLORREF textOf(const TreeState& s) { return s.text == kDefaultColour ? theme::kFieldText : s.text; }

void dottedLine(HDC dc, int x1, int y1, int x2, int y2) {
    for (int x = x1, y = y1; x <= x2 && y <= y2; x += (x1 == x2 ? 0 : 2), y += (y1 == y2 ? 0 : 2)) {
        SetPixel(dc, x, y, kLines);
        if (x1 == x2 && y1 == y2) break;
    }
}

void paintButton(HDC dc, int cx, int cy, bool open) {
    const RECT box{cx - 4, cy - 4, cx + 5, cy + 5};
    theme::fill(dc, box, RGB(0xFF, 0xFF, 0xFF));
    theme::frame(dc, box, kButtonFrame);
    theme::fill(dc, RECT{cx - 2, cy, cx + 3, cy + 1}, theme::kGlyph);
    if (!open) theme::fill(dc, RECT{cx, cy - 2, cx + 1, cy + 3}, theme::kGlyph);
}

void paintRow(HWND window, HDC dc, const TreeState& s, const std::vector<Row>& rows, int index, const RECT& client) {
    const Row& r = rows[static_cast<std::size_t>(index)];
    const Node& n = *r.node;
    const DWORD style = styleOf(window);
    const int h = rowHeight(s);
    const int y = (index - s.top) * h;
    const int cy = y + h / 2;
    const RowGeometry g = geometryOf(window, s, r.level);
    RECT label = labelRect(window, s, n, index, r.level);
    const bool selected = &n == s.caret && (s.focused || (style & TVS_SHOWSELALWAYS));
    const bool highlighted = &n == s.dropTarget || (selected && !s.dropTarget);
    const bool active = s.focused || &n == s.dropTarget;
    RECT band = (style & TVS_FULLROWSELECT) && !(style & TVS_HASLINES) ? RECT{0, y, client.right, y + h} : label;
    if (highlighted)
        theme::fill(dc, band, active ? theme::kSelection : theme::kInactiveSelection);
    else if (&n == s.hot && (style & TVS_TRACKSELECT))
        theme::fill(dc, band, theme::kHover);

    if (style & TVS_HASLINES) {
        const int mid = g.buttonLeft + kIndent / 2;
        const bool rootLine = r.level > 0 || (style & TVS_LINESATROOT);
        if (rootLine) {
            const auto& siblings = n.parent->children;
            const bool last = siblings.back() == &n;
            const bool first = siblings.front() == &n && !n.parent->parent;
            dottedLine(dc, mid, first ? cy : y, mid, last ? cy : y + h - 1);
            dottedLine(dc, mid, cy, g.iconLeft - 1, cy);
        }
        // The lines of the ancestors that have later siblings pass by this row.
        int level = r.level - 1;
        for (const Node* p = n.parent; p && p->parent; p = p->parent, --level) {
            const auto& siblings = p->parent->children;
            if (siblings.back() == p) continue;
            const int x = geometryOf(window, s, level).buttonLeft + kIndent / 2;
            if (level >= 0 && (level > 0 || (style & TVS_LINESATROOT))) dottedLine(dc, x, y, x, y + h - 1);
        }
    }
    if ((style & TVS_HASBUTTONS) && hasChildren(n) && (r.level > 0 || (style & TVS_LINESATROOT)))
        paintButton(dc, g.buttonLeft + kIndent / 2, cy, isExpanded(n));
    if (s.images) {
        const int image = &n == s.caret ? n.selectedImage : n.image;
        drawImage(s.images, image, dc, g.iconLeft, y + (h - kIconSide) / 2, Look::Normal);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, highlighted && active ? theme::kSelectionText : textOf(s));
    label.left += kGap;
    DrawTextW(dc, n.text.c_str(), static_cast<int>(n.text.size()), &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void paint(HWND window, TreeState& s) {
    const PaintDC painting(window);
    HDC dc = painting.get();
    RECT client{};
    GetClientRect(window, &client);
    theme::fill(dc, client, backgroundOf(s));
    const SelectedObject font(dc, fontOrDefault(s.font));
    const std::vector<Row> rows = visibleRows(s);
    const int last = std::min<int>(static_cast<int>(rows.size()), s.top + rowsPerPage(window, s) + 1);
    for (int i = s.top; i < last; ++i) paintRow(window, dc, s, rows, i, client);
}

// The picture of an item (its icon and label) for dragging it.
HIMAGELIST createDragImage(HWND window, TreeState& s, Node* node) {
    if (!node) return nullptr;
    const int h = rowHeight(s);
    const int iconWidth = s.images ? kIconSide + kGap : 0;
    const int width = iconWidth + textWidth(s.font, node->text) + 2 * kGap;
    DibCanvas canvas(width, h);
    if (!canvas) return nullptr;
    {
        const SelectedObject font(canvas.dc(), fontOrDefault(s.font));
        theme::fill(canvas.dc(), RECT{iconWidth, 0, width, h}, theme::kInactiveSelection);
        if (s.images) drawImage(s.images, node->image, canvas.dc(), 0, (h - kIconSide) / 2, Look::Normal);
        SetBkMode(canvas.dc(), TRANSPARENT);
        SetTextColor(canvas.dc(), textOf(s));
        RECT label{iconWidth + kGap, 0, width, h};
        DrawTextW(canvas.dc(), node->text.c_str(), static_cast<int>(node->text.size()), &label,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    canvas.makeDrawnOpaque();
    HIMAGELIST list = ImageList_Create(width, h, ILC_COLOR32, 1, 0);
    if (list && ImageList_Add(list, canvas.bitmap(), nullptr) < 0) {
        ImageList_Destroy(list);
        return nullptr;
    }
    return list;
}

void moveCaret(HWND window, TreeState& s, int by) {
    const std::vector<Row> rows = visibleRows(s);
    if (rows.empty()) return;
    int row = rowOf(rows, s.caret);
    row = row < 0 ? 0 : std::clamp(row + by, 0, static_cast<int>(rows.size()) - 1);
    select(window, s, rows[static_cast<std::size_t>(row)].node, TVC_BYKEYBOARD);
}

void keyDown(HWND window, TreeState& s, WPARAM key) {
    NMTVKEYDOWN info{};
    info.hdr.code = TVN_KEYDOWN;
    info.wVKey = static_cast<WORD>(key);
    notify(window, info.hdr);
    if (!IsWindow(window)) return;
    switch (key) {
        case VK_UP:
            moveCaret(window, s, -1);
            break;
        case VK_DOWN:
            moveCaret(window, s, 1);
            break;
        case VK_PRIOR:
            moveCaret(window, s, -rowsPerPage(window, s));
            break;
        case VK_NEXT:
            moveCaret(window, s, rowsPerPage(window, s));
            break;
        case VK_HOME:
            moveCaret(window, s, -1 << 20);
            break;
        case VK_END:
            moveCaret(window, s, 1 << 20);
            break;
        case VK_LEFT:
            if (s.caret && isExpanded(*s.caret))
                expand(window, s, s.caret, TVE_COLLAPSE, true);
            else if (s.caret && s.caret->parent != &s.root)
                select(window, s, s.caret->parent, TVC_BYKEYBOARD);
            break;
        case VK_RIGHT:
            if (s.caret && !isExpanded(*s.caret))
                expand(window, s, s.caret, TVE_EXPAND, true);
            else if (s.caret && !s.caret->children.empty())
                select(window, s, s.caret->children.front(), TVC_BYKEYBOARD);
            break;
        case VK_RETURN:
            simpleNotify(window, NM_RETURN);
            break;
        default:
            break;
    }
}

void leftDown(HWND window, TreeState& s, POINT p) {
    if (GetFocus() != window) SetFocus(window);
    UINT flags = 0;
    Node* node = nodeAt(window, s, p, &flags);
    if (!node) return;
    if (flags & TVHT_ONITEMBUTTON) {
        expand(window, s, node, TVE_TOGGLE, true);
        return;
    }
    select(window, s, node, TVC_BYMOUSE);
    if (!IsWindow(window) || (styleOf(window) & TVS_DISABLEDRAGDROP)) return;
    s.pressed = node;
    s.pressPoint = p;
    SetCapture(window);
}

void mouseMove(HWND window, TreeState& s, POINT p, WPARAM keys) {
    if (!s.tracking) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
        s.tracking = TrackMouseEvent(&track) != FALSE;
    }
    Node* hot = nodeAt(window, s, p);
    if (hot != s.hot) {
        s.hot = hot;
        if (styleOf(window) & TVS_TRACKSELECT) InvalidateRect(window, nullptr, TRUE);
    }
    if (!s.pressed || !(keys & MK_LBUTTON)) return;
    if (std::abs(p.x - s.pressPoint.x) < kDragThreshold && std::abs(p.y - s.pressPoint.y) < kDragThreshold) return;
    Node* dragged = s.pressed;
    s.pressed = nullptr;
    if (GetCapture() == window) ReleaseCapture();
    notifyTree(window, TVN_BEGINDRAGW, 0, nullptr, dragged, s.pressPoint);
}

void leftUp(HWND window, TreeState& s) {
    const bool wasPressed = s.pressed != nullptr;
    s.pressed = nullptr;
    if (GetCapture() == window) ReleaseCapture();
    if (wasPressed) simpleNotify(window, NM_CLICK);
}

LRESULT getItem(TreeState& s, TVITEMW* item) {
    Node* node = item ? find(s, item->hItem) : nullptr;
    if (!node) return FALSE;
    if ((item->mask & TVIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::size_t n = std::min<std::size_t>(node->text.size(), static_cast<std::size_t>(item->cchTextMax - 1));
        std::copy_n(node->text.data(), n, item->pszText);
        item->pszText[n] = 0;
    }
    if (item->mask & TVIF_IMAGE) item->iImage = node->image;
    if (item->mask & TVIF_SELECTEDIMAGE) item->iSelectedImage = node->selectedImage;
    if (item->mask & TVIF_CHILDREN) item->cChildren = hasChildren(*node) ? 1 : 0;
    if (item->mask & TVIF_PARAM) item->lParam = node->param;
    if (item->mask & TVIF_STATE) item->state = node->state & (item->stateMask ? item->stateMask : ~0u);
    return TRUE;
}

LRESULT handle(HWND window, TreeState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint(window, s);
            return 0;
        case WM_NCPAINT:
            paintBorder(window, s.focused ? theme::kFocus : theme::kFrame);
            return 0;
        case WM_SIZE:
            clampTop(window, s);
            return 0;
        case WM_SETFONT:
            s.font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) refresh(window, s);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s.font);
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            s.focused = message == WM_SETFOCUS;
            SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
            InvalidateRect(window, nullptr, TRUE);
            simpleNotify(window, s.focused ? NM_SETFOCUS : NM_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
            leftDown(window, s, p);
            return 0;
        case WM_LBUTTONUP:
            leftUp(window, s);
            return 0;
        case WM_LBUTTONDBLCLK: {
            UINT flags = 0;
            if (Node* node = nodeAt(window, s, p, &flags); node && !(flags & TVHT_ONITEMBUTTON)) {
                select(window, s, node, TVC_BYMOUSE);
                expand(window, s, node, TVE_TOGGLE, true);
            }
            simpleNotify(window, NM_DBLCLK);
            return 0;
        }
        case WM_RBUTTONDOWN:
            return 0;
        case WM_RBUTTONUP:
            simpleNotify(window, NM_RCLICK);
            return 0;
        case WM_MOUSEMOVE:
            mouseMove(window, s, p, wParam);
            return 0;
        case WM_MOUSELEAVE:
            s.tracking = false;
            s.hot = nullptr;
            if (styleOf(window) & TVS_TRACKSELECT) InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != window) s.pressed = nullptr;
            return 0;
        case WM_MOUSEWHEEL:
            s.top -= static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA * kWheelRows;
            refresh(window, s);
            return 0;
        case WM_KEYDOWN:
            keyDown(window, s, wParam);
            return 0;

        case TVM_INSERTITEMW:
            return reinterpret_cast<LRESULT>(insert(window, s, reinterpret_cast<const TVINSERTSTRUCTW*>(lParam)));
        case TVM_DELETEITEM:
            return removeItem(window, s, reinterpret_cast<HTREEITEM>(lParam));
        case TVM_EXPAND:
            return expand(window, s, find(s, reinterpret_cast<HTREEITEM>(lParam)), static_cast<UINT>(wParam), false);
        case TVM_GETCOUNT:
            return static_cast<LRESULT>(s.nodes.size());
        case TVM_GETNEXTITEM:
            return reinterpret_cast<LRESULT>(
                nextItem(window, s, static_cast<UINT>(wParam), reinterpret_cast<HTREEITEM>(lParam)));
        case TVM_SELECTITEM: {
            Node* node = find(s, reinterpret_cast<HTREEITEM>(lParam));
            if (lParam && !node) return FALSE;
            switch (wParam & 0xFF) {
                case TVGN_CARET:
                    return select(window, s, node, TVC_UNKNOWN);
                case TVGN_DROPHILITE:
                    setDropTarget(window, s, node);
                    return TRUE;
                case TVGN_FIRSTVISIBLE: {
                    const int row = rowOf(visibleRows(s), node);
                    if (row < 0) return FALSE;
                    s.top = row;
                    refresh(window, s);
                    return TRUE;
                }
                default:
                    return FALSE;
            }
        }
        case TVM_GETITEMW:
            return getItem(s, reinterpret_cast<TVITEMW*>(lParam));
        case TVM_SETITEMW: {
            auto* item = reinterpret_cast<const TVITEMW*>(lParam);
            Node* node = item ? find(s, item->hItem) : nullptr;
            if (!node) return FALSE;
            applyItem(*node, *item);
            if (item->mask & TVIF_STATE) applyState(window, s, *node, item->state, item->stateMask);
            refresh(window, s);
            return TRUE;
        }
        case TVM_GETITEMSTATE: {
            Node* node = find(s, reinterpret_cast<HTREEITEM>(wParam));
            return node ? static_cast<LRESULT>(node->state & static_cast<UINT>(lParam)) : 0;
        }
        case TVM_GETITEMRECT: {
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (!rect) return FALSE;
            Node* node = find(s, *reinterpret_cast<HTREEITEM*>(rect));
            const std::vector<Row> rows = visibleRows(s);
            const int row = rowOf(rows, node);
            if (row < 0) return FALSE;
            if (wParam) {
                *rect = labelRect(window, s, *node, row, rows[static_cast<std::size_t>(row)].level);
            } else {
                RECT client{};
                GetClientRect(window, &client);
                const int h = rowHeight(s);
                *rect = RECT{0, (row - s.top) * h, client.right, (row - s.top + 1) * h};
            }
            return TRUE;
        }
        case TVM_HITTEST:
            return reinterpret_cast<LRESULT>(hitTest(window, s, reinterpret_cast<TVHITTESTINFO*>(lParam)));
        case TVM_CREATEDRAGIMAGE:
            return reinterpret_cast<LRESULT>(createDragImage(window, s, find(s, reinterpret_cast<HTREEITEM>(lParam))));
        case TVM_ENSUREVISIBLE: {
            Node* node = find(s, reinterpret_cast<HTREEITEM>(lParam));
            if (!node) return FALSE;
            ensureVisible(window, s, node);
            return TRUE;
        }
        case TVM_SETIMAGELIST: {
            if (wParam != TVSIL_NORMAL) return 0;
            HIMAGELIST previous = s.images;
            s.images = reinterpret_cast<HIMAGELIST>(lParam);
            refresh(window, s);
            return reinterpret_cast<LRESULT>(previous);
        }
        case TVM_GETIMAGELIST:
            return wParam == TVSIL_NORMAL ? reinterpret_cast<LRESULT>(s.images) : 0;
        case TVM_SETITEMHEIGHT: {
            const int previous = rowHeight(s);
            s.itemHeight = static_cast<int>(wParam) == -1 ? 0 : std::max(1, static_cast<int>(wParam));
            refresh(window, s);
            return previous;
        }
        case TVM_GETITEMHEIGHT:
            return rowHeight(s);
        case TVM_SETBKCOLOR:
        case TVM_SETTEXTCOLOR: {
            COLORREF& slot = message == TVM_SETBKCOLOR ? s.background : s.text;
            const COLORREF previous = slot;
            slot = static_cast<COLORREF>(lParam);
            InvalidateRect(window, nullptr, TRUE);
            return static_cast<LRESULT>(static_cast<LONG>(previous));
        }
        case TVM_GETBKCOLOR:
            return static_cast<LRESULT>(static_cast<LONG>(s.background));
        case TVM_GETTEXTCOLOR:
            return static_cast<LRESULT>(static_cast<LONG>(s.text));
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

LRESULT treeViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) States::create(window);
    std::shared_ptr<TreeState> state = States::find(window);
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_DESTROY) {
        // The parent hears of every item going, as on Windows.
        removeItem(window, *state, TVI_ROOT);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        States::destroy(window);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return handle(window, *state, message, wParam, lParam);
}

}  // namespace veltrix::platform::controls
