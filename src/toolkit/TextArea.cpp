#include "toolkit/TextArea.h"

#include "toolkit/ClipboardText.h"

TextArea::TextArea() = default;

bool TextArea::create(HWND parent) { return createAt(parent, 0, 0, 0, 0); }

bool TextArea::createAt(HWND parent, int x, int y, int width, int height) {
    return createStyled(parent, defaultStyle(), x, y, width, height);
}

bool TextArea::createStyled(HWND parent, DWORD style, int x, int y, int width, int height) {
    destroyWindow();
    HWND control = CreateWindowExW(0, u"EDIT", u"", style | WS_CHILD | WS_VISIBLE, x, y, width, height, parent, nullptr,
                                   nullptr, nullptr);
    if (!control) return false;
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font_), &font_);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    if (!subclassWindow(control)) {
        DestroyWindow(control);
        return false;
    }
    setStyle(style | WS_CHILD | WS_VISIBLE);
    return true;
}

void TextArea::setText(const std::u16string& text) {
    if (handle_) SetWindowTextW(handle_, text.c_str());
}

void TextArea::setStyle(DWORD style) {
    if (handle_) SetWindowLongW(handle_, GWL_STYLE, static_cast<LONG>(style));
}

bool TextArea::isMultiLine() const { return (getStyle() & ES_MULTILINE) != 0; }

void TextArea::selectAll() {
    if (handle_) SendMessageW(handle_, EM_SETSEL, 0, -1);
}

void TextArea::replaceSelection(const std::u16string& text) {
    if (handle_) SendMessageW(handle_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT TextArea::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return isMultiLine() ? kAreaDialogCode : kFieldDialogCode;
        case WM_KEYDOWN:
            if (isReadOnly()) return 0;
            if (isMultiLine() && wParam == static_cast<WPARAM>(VK_TAB)) {
                replaceSelection(u"\t");
                return 0;
            }
            if (isMultiLine() && wParam == static_cast<WPARAM>(VK_RETURN)) {
                replaceSelection(u"\r\n");
                return 0;
            }
            break;
        case WM_CHAR: {
            const auto c = static_cast<char16_t>(wParam);
            if (isReadOnly()) return 0;
            if (c == u'\t' && !isMultiLine()) {
                moveFocus(GetKeyState(VK_SHIFT) < 0 ? FocusDirection::Backward : FocusDirection::Forward);
                return 0;
            }
            // The key down already inserted these; the character must not add a second one.
            if (isMultiLine() && (c == u'\t' || c == u'\r' || c == u'\n')) return 0;
            if (refuses(c)) return 0;
            break;
        }
        case WM_CUT:
            if (isReadOnly()) return 0;
            break;
        case WM_PASTE:
            if (isReadOnly()) return 0;
            replaceSelection(cleanPaste(readClipboardText(window)));
            return 0;
        default:
            break;
    }
    return BaseWindow::windowProc(window, message, wParam, lParam);
}
