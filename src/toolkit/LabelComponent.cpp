#include "toolkit/LabelComponent.h"

#include "toolkit/Graphics.h"

LabelComponent::LabelComponent() = default;

bool LabelComponent::create(HWND parent) {
    if (!Component::create(parent)) return false;
    SetWindowLongW(handle_, GWL_STYLE, static_cast<LONG>(getStyle() & ~WS_TABSTOP));
    return true;
}

bool LabelComponent::createLabel(HWND parent, const std::u16string& text, int x, int y, int width, int height) {
    if (!create(parent)) return false;
    setText(text);
    setBounds(x, y, width, height);
    return true;
}

void LabelComponent::paint(Graphics& g) {
    Component::paint(g);
    g.setFont(font_);
    g.setTextColor(foreground_);
    SetBkMode(g.dc(), TRANSPARENT);
    g.drawText(getText(), 2, 2);
}

LRESULT LabelComponent::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = Component::windowProc(window, message, wParam, lParam);
    if (message == WM_SETTEXT) repaint();
    return result;
}
