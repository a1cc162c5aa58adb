#include "toolkit/UpDownTextField.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "toolkit/Graphics.h"
#include "toolkit/WidgetPainter.h"

using namespace widget_paint;

namespace {

// The number a text holds: an optional sign and digits, nothing else. Long
// digit runs saturate instead of overflowing.
std::optional<long long> numberIn(const std::u16string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
        value = std::min<long long>(value * 10 + (text[i] - u'0'), 1LL << 40);
    }
    return negative ? -value : value;
}

std::u16string decimal(int value) {
    std::string narrow = std::to_string(value);
    return std::u16string(narrow.begin(), narrow.end());
}

int clampInt(long long value, int low, int high) {
    return static_cast<int>(std::max<long long>(low, std::min<long long>(value, high)));
}

}  // namespace

UpDownTextField::UpDownTextField() : field_(*this) { registerWindowClass(u"UpDownTextField", u"", 0); }

UpDownTextField::~UpDownTextField() { destroyWindow(); }

bool UpDownTextField::create(HWND parent) {
    if (!Component::create(parent)) return false;
    if (!field_.createStyled(handle_, TextField::kFieldStyle | ES_NUMBER, 0, 0, 0, 0)) {
        destroyWindow();
        return false;
    }
    // The field is exactly as wide as the widest number: no inner margins.
    SendMessageW(field_.handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    // The control's own tab stop hands the focus to the field (onFocusGained).
    layout();
    return true;
}

bool UpDownTextField::createField(HWND parent, int controlId, const std::u16string& caption, int x, int y, int width,
                                  int height) {
    if (!create(parent)) return false;
    SetWindowLongPtrW(handle_, GWLP_ID, controlId);
    setText(caption);
    setBounds(x, y, width, height);
    return true;
}

int UpDownTextField::fieldNumber() const {
    auto n = numberIn(field_.getText());
    return n ? clampInt(*n, minimum_, maximum_) : minimum_;
}

int UpDownTextField::getValue() const {
    if (auto n = numberIn(valueText_)) return clampInt(*n, minimum_, maximum_);
    return fieldNumber();
}

void UpDownTextField::setValue(int value) {
    field_.setText(decimal(std::clamp(value, minimum_, maximum_)));
    HWND focus = GetFocus();
    if (handle_ && (focus == handle_ || focus == field_.handle())) field_.selectAll();
}

void UpDownTextField::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    if (handle_) setValue(getValue());
    layout();
}

void UpDownTextField::onCommand(WPARAM wParam, LPARAM lParam) {
    if (field_.handle() && reinterpret_cast<HWND>(lParam) == field_.handle() && HIWORD(wParam) == EN_CHANGE) {
        onFieldChanged(wParam);
        return;
    }
    Component::onCommand(wParam, lParam);
}

void UpDownTextField::onFieldChanged(WPARAM wParam) {
    valueText_ = field_.getText();
    if (correcting_) return;  // the rewrite below; the outer change reports
    if (auto n = numberIn(valueText_); n && (*n < minimum_ || *n > maximum_)) {
        correcting_ = true;
        field_.setText(decimal(clampInt(*n, minimum_, maximum_)));
        // The caret goes to the end of the corrected number, where typing goes on.
        SendMessageW(field_.handle(), EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
        correcting_ = false;
    }
    fireEvent(EventCode::ValueChanged, 0);
    if (handle_) PostMessageW(GetParent(handle_), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(handle_));
}

int UpDownTextField::captionWidth() const {
    Graphics g(1, 1);
    g.setFont(font_);
    return g.getTextWidth(getText());
}

int UpDownTextField::fieldWidth() const {
    Graphics g(1, 1);
    g.setFont(font_);
    const int digits = static_cast<int>(std::to_string(std::llabs(static_cast<long long>(maximum_))).size());
    // Two pixels more than the digits, so the caret after the last digit
    // never pushes the number out of the field.
    return g.getTextWidth(std::u16string(u"9")) * digits + (minimum_ < 0 ? g.getTextWidth(std::u16string(u"-")) : 0) +
           kCaretRoom;
}

RECT UpDownTextField::fieldRect() const {
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    const int width = fieldWidth();
    const int x = client.right - width - 15;
    const int y = (client.bottom - kFieldHeight) / 2 + 1;
    return RECT{x, y, x + width, y + kFieldHeight};
}

void UpDownTextField::layout() {
    if (!handle_ || !field_.handle()) return;
    RECT r = fieldRect();
    MoveWindow(field_.handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    repaint();
}

void UpDownTextField::pack() {
    if (!handle_) return;
    setSize(packedWidth(), std::max(getHeight(), 20));
    layout();
}

LRESULT UpDownTextField::onSize(WPARAM, LPARAM) {
    layout();
    return 0;
}

bool UpDownTextField::onKeyDown(WPARAM key, LPARAM flags) {
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (key == 'A' && control) {
        field_.selectAll();
        return true;
    }
    if (key == static_cast<WPARAM>(VK_UP) || key == static_cast<WPARAM>(VK_DOWN)) {
        const int step = control ? std::abs(maximum_ - minimum_) / 10 : 1;
        setValue(fieldNumber() + (key == static_cast<WPARAM>(VK_UP) ? step : -step));
        return true;
    }
    return Component::onKeyDown(key, flags);
}

bool UpDownTextField::onMouseWheel(int, int, int, int notches) {
    setValue(fieldNumber() + notches);
    return true;
}

bool UpDownTextField::onMousePressed(int x, int y) {
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    if (x < client.right - kArrowWidth) return false;
    setValue(fieldNumber() + (y < client.bottom / 2 ? 1 : -1));
    dragY_ = y;
    arrowDragging_ = true;
    repaint();
    return true;
}

bool UpDownTextField::onMouseMoved(int, int y) {
    if (!arrowDragging_) return false;
    const int value = clampInt(static_cast<long long>(fieldNumber()) + (dragY_ - y), minimum_, maximum_);
    if (value != fieldNumber()) setValue(value);
    dragY_ = y;
    if (handle_)
        PostMessageW(GetParent(handle_), WM_VSCROLL, MAKEWPARAM(GetDlgCtrlID(handle_), value),
                     reinterpret_cast<LPARAM>(handle_));
    return true;
}

bool UpDownTextField::onMouseReleased() {
    if (!arrowDragging_) return false;
    if (handle_ && GetCapture() == handle_) ReleaseCapture();
    arrowDragging_ = false;
    repaint();
    return true;
}

bool UpDownTextField::handleMouse(UINT message, int x, int y, WPARAM wParam) {
    // Quick presses on an arrow pair into double clicks; each one counts.
    if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
    return Component::handleMouse(message, x, y, wParam);
}

bool UpDownTextField::onFocusGained(HWND previous) {
    if (previous && previous == field_.handle()) {
        // Tab out of the own field: the control passes the focus on.
        moveFocus(GetKeyState(VK_SHIFT) < 0 ? FocusDirection::Backward : FocusDirection::Forward);
        return false;
    }
    if (field_.handle()) {
        SetFocus(field_.handle());
        field_.selectAll();
    }
    return false;
}

LRESULT UpDownTextField::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = Component::windowProc(window, message, wParam, lParam);
    if (message == WM_SETTEXT) repaint();
    return result;
}

void UpDownTextField::paint(Graphics& g) {
    Component::paint(g);
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    const bool enabled = !handle_ || isEnabled();
    g.setFont(font_);
    g.setTextColor(enabled ? foreground_ : kDisabledText);
    RECT field = fieldRect();
    drawLine(g, getText(), 0, 0, field.left - 4, client.bottom, Align::Left);

    // The field's frame, shown as focused while the field has the focus.
    const bool fieldFocused = field_.handle() && GetFocus() == field_.handle();
    const int frameX = field.left - 4, frameY = field.top - 4;
    const int frameW = client.right - frameX, frameH = kFieldHeight + 7;
    fillRoundRect(g, frameX, frameY, frameW, frameH, 6, 0xFFFFFF, fieldFocused ? kAccent : kFaceBorder,
                  fieldFocused ? 2 : 1);

    // The arrows: two small triangles in the rightmost column.
    const int ax = client.right - kArrowWidth + 4, mid = client.bottom / 2;
    COLORREF arrow = !enabled ? kDisabledText : arrowDragging_ ? kAccent : 0x606060;
    g.setBrushColor(arrow);
    g.setPen(PS_SOLID, 1, arrow);
    POINT up[4] = {{ax, mid - 2}, {ax + 8, mid - 2}, {ax + 4, mid - 6}, {ax + 4, mid - 6}};
    POINT down[4] = {{ax, mid + 2}, {ax + 8, mid + 2}, {ax + 4, mid + 6}, {ax + 4, mid + 6}};
    g.fillPolygon(up);
    g.fillPolygon(down);
}

LRESULT UpDownTextField::InnerTextField::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            if (owner_.onKeyDown(wParam, lParam)) return 0;
            break;
        case WM_CHAR:
            // Tab was handled at its key down by the control's traversal.
            if (wParam == u'\t') return 0;
            break;
        case WM_MOUSEWHEEL:
            if (owner_.handle()) return SendMessageW(owner_.handle(), message, wParam, lParam);
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
