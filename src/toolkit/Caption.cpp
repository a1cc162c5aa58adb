#include "toolkit/Caption.h"

#include "toolkit/WidgetPainter.h"

namespace {

constexpr COLORREF kGlyph = 0x505050;
constexpr COLORREF kHoverFill = 0xDCDCDC;
constexpr COLORREF kHoverFrame = 0x968070;

}  // namespace

Caption::Caption(CloseButtonEnd end) : end_(end) {}

bool Caption::onCreate() {
    closeButton_.createWithId(handle_, kCloseButtonId);
    placeCloseButton();
    // Not handled: the default creation goes on.
    return false;
}

LRESULT Caption::onSize(WPARAM type, LPARAM size) {
    placeCloseButton();
    return Button::onSize(type, size);
}

void Caption::onCommand(WPARAM wParam, LPARAM lParam) {
    const HWND sender = reinterpret_cast<HWND>(lParam);
    if (LOWORD(wParam) == kCloseButtonId && sender && sender == closeButton_.handle()) {
        onAtLastClose_ = getState() == 1;
        if (handle_) {
            SendMessageW(GetParent(handle_), WM_COMMAND, MAKEWPARAM(kCloseButtonId, 0),
                         reinterpret_cast<LPARAM>(handle_));
        }
        return;
    }
    Button::onCommand(wParam, lParam);
}

void Caption::setCloseButtonEnd(CloseButtonEnd end) {
    end_ = end;
    placeCloseButton();
}

void Caption::placeCloseButton() {
    if (!handle_ || !closeButton_.handle()) return;
    RECT client{};
    GetClientRect(handle_, &client);
    const int x = end_ == CloseButtonEnd::Right ? client.right - kCloseButtonSize : 0;
    closeButton_.setBounds(x, 0, kCloseButtonSize, kCloseButtonSize);
}

void Caption::CloseButton::paint(Graphics& g) {
    Component::paint(g);
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    const int width = client.right, height = client.bottom;
    const bool lit = hover_ || pressedByMouse_ || pressedByKey_;
    if (lit) widget_paint::fillRoundRect(g, 0, 0, width, height, 4, kHoverFill, kHoverFrame);

    const int left = (width - kCell) / 2, top = (height - kCell) / 2;
    if (image_.loaded()) {
        const int row = lit && image_.getHeight() >= 2 * kCell ? 1 : 0;
        const int column = image_.getWidth() >= (state_ + 1) * kCell ? state_ : 0;
        g.drawImage(image_, left, top, kCell, kCell, column * kCell, row * kCell, kCell, kCell);
        return;
    }
    // Without an image: a cross, drawn pixel by pixel so that both arms mirror.
    g.setBrushColor(isEnabled() ? kGlyph : widget_paint::kDisabledText);
    for (int k = 0; k < 8; ++k) {
        g.fillRect(left + 4 + k, top + 4 + k, 1, 1);
        g.fillRect(left + 11 - k, top + 4 + k, 1, 1);
    }
}
