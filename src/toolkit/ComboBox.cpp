#include "toolkit/ComboBox.h"

#include <algorithm>
#include <vector>

#include "toolkit/Graphics.h"
#include "toolkit/WidgetPainter.h"

using namespace widget_paint;

namespace {

constexpr int kListMargin = 20;
constexpr UINT kHoverMs = 10;

}  // namespace

ComboBox::ComboBox() : field_(*this) {}

ComboBox::~ComboBox() { ComboBox::destroyWindow(); }

bool ComboBox::create(HWND parent) { return createBox(parent, 0, 0, 0, 0, 0); }

bool ComboBox::createBox(HWND parent, int controlId, int x, int y, int width, int height, ComboKind kind,
                         int listHeight) {
    destroyWindow();
    kind_ = kind;
    listHeight_ = listHeight;
    const DWORD style = kind == ComboKind::List ? (kStyle & ~DWORD{3}) | CBS_DROPDOWNLIST : kStyle;
    HWND box = CreateWindowExW(0, u"COMBOBOX", u"", style, x, y, width, height + listHeight, parent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)), nullptr, nullptr);
    if (!box) return false;
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font_), &font_);
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    if (!subclassWindow(box)) {
        DestroyWindow(box);
        return false;
    }
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(box, &info) && info.hwndItem && info.hwndItem != box) field_.subclassWindow(info.hwndItem);
    widest_ = 0;
    return true;
}

void ComboBox::destroyWindow() {
    if (hoverTimer_ && handle_) KillTimer(handle_, kHoverTimer);
    hoverTimer_ = false;
    // The field's window dies with the box; the wrapper only forgets it.
    Component::destroyWindow();
}

void ComboBox::setBounds(int x, int y, int width, int height) {
    Component::setBounds(x, y, width, height + listHeight_);
}

int ComboBox::getSelectedIndex() const {
    return handle_ ? static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0)) : -1;
}

void ComboBox::setSelectedIndex(int index) {
    if (handle_) SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ComboBox::addItem(const std::u16string& text) {
    if (!handle_) return -1;
    return static_cast<int>(SendMessageW(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int ComboBox::itemCount() const { return handle_ ? static_cast<int>(SendMessageW(handle_, CB_GETCOUNT, 0, 0)) : 0; }

std::u16string ComboBox::itemText(int index) const {
    if (!handle_) return {};
    LRESULT length = SendMessageW(handle_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::vector<WCHAR> buffer(static_cast<std::size_t>(length) + 1, 0);
    SendMessageW(handle_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return std::u16string(buffer.data());
}

bool ComboBox::isDropped() const { return handle_ && SendMessageW(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0; }

void ComboBox::measure(const std::u16string& text) {
    Graphics g(1, 1);
    g.setFont(font_);
    widest_ = std::max(widest_, g.getTextWidth(text));
    SendMessageW(handle_, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest_ + kListMargin), 0);
}

bool ComboBox::onMouseMoved(int, int) {
    if (!hoverTimer_ && handle_) {
        hoverTimer_ = SetTimer(handle_, kHoverTimer, kHoverMs, nullptr) != 0;
        hover_ = true;
        repaint();
    }
    return false;
}

bool ComboBox::onTimer(UINT_PTR id, LPARAM) {
    if (id != kHoverTimer || !handle_) return false;
    POINT p{};
    GetCursorPos(&p);
    RECT r{};
    GetWindowRect(handle_, &r);
    if (!PtInRect(&r, p) && !isDropped()) {
        KillTimer(handle_, kHoverTimer);
        hoverTimer_ = false;
        hover_ = false;
        repaint();
    }
    return true;
}

LRESULT ComboBox::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case CB_ADDSTRING:
        case CB_INSERTSTRING: {
            LRESULT result = Component::windowProc(window, message, wParam, lParam);
            if (result >= 0 && lParam) measure(std::u16string(reinterpret_cast<LPCWSTR>(lParam)));
            return result;
        }
        case CB_RESETCONTENT:
            widest_ = 0;
            break;
        // The system box needs its keys and focus changes (it opens the list on
        // keys and hands the focus to its field); the component hooks see them first.
        case WM_KEYDOWN:
            if (onKeyDown(wParam, lParam)) return 0;
            return BaseWindow::windowProc(window, message, wParam, lParam);
        case WM_KEYUP:
            if (onKeyUp(wParam, lParam)) return 0;
            return BaseWindow::windowProc(window, message, wParam, lParam);
        case WM_CHAR:
            if (onChar(wParam, lParam)) return 0;
            return BaseWindow::windowProc(window, message, wParam, lParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Component::windowProc(window, message, wParam, lParam);
            return BaseWindow::windowProc(window, message, wParam, lParam);
        default:
            break;
    }
    return Component::windowProc(window, message, wParam, lParam);
}

void ComboBox::paint(Graphics& g) {
    Component::paint(g);
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (handle_) GetComboBoxInfo(handle_, &info);
    const bool enabled = !handle_ || isEnabled();
    const bool focused = handle_ && (GetFocus() == handle_ || GetFocus() == field_.handle());
    COLORREF border = !enabled ? kDisabledBorder : focused ? kAccent : hover_ ? kHoverBorder : kFaceBorder;
    fillRoundRect(g, 0, 0, client.right, client.bottom, 6, enabled ? 0xFFFFFF : kDisabledFace, border, focused ? 2 : 1);
    // The drop-down arrow in the button area.
    const RECT& b = info.rcButton;
    if (b.right > b.left) {
        const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
        COLORREF arrow = enabled ? 0x606060 : kDisabledText;
        g.setBrushColor(arrow);
        g.setPen(PS_SOLID, 1, arrow);
        POINT down[4] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}, {cx, cy + 2}};
        g.fillPolygon(down);
    }
    if (kind_ == ComboKind::List && handle_) {
        // No field shows the choice: the box writes it left of the button.
        const int selected = getSelectedIndex();
        if (selected < 0) return;
        const int right = b.right > b.left ? b.left : client.right;
        g.setFont(font_);
        g.setTextColor(enabled ? 0 : kDisabledText);
        SetBkMode(g.dc(), TRANSPARENT);
        RECT text{4, 0, std::max(4, right - 2), client.bottom};
        const std::u16string item = itemText(selected);
        DrawTextW(g.dc(), item.c_str(), static_cast<int>(item.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

LRESULT ComboBox::ComboTextField::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == static_cast<WPARAM>(VK_RETURN) && !owner_.isDropped()) {
                owner_.fireEvent(EventCode::ReturnPressed, 0);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == u'\r' && !owner_.isDropped()) return 0;  // taken at its key down
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (owner_.handle()) InvalidateRect(owner_.handle(), nullptr, FALSE);
            break;
        default:
            break;
    }
    return TextField::windowProc(window, message, wParam, lParam);
}
