#include "toolkit/Dialog.h"

#include <cstring>

namespace {

constexpr DWORD kModalStyle = 0x82CF0000;     // pop-up, clip children, caption, system menu, sizing frame, min/max
constexpr DWORD kModelessStyle = 0x92CF0000;  // the same, visible
constexpr int kButtonWidth = 92;
constexpr int kButtonHeight = 21;
constexpr int kButtonStep = 100;
constexpr int kRightInset = 112;

// The dialog's template: no controls, no menu, class or title, 640 x 480 units.
struct EmptyTemplate {
    alignas(4) BYTE bytes[24] = {};
    explicit EmptyTemplate(DWORD style) {
        DLGTEMPLATE header{style, WS_EX_DLGMODALFRAME, 0, 0, 0, 640, 480};
        std::memcpy(bytes, &header, sizeof header);  // menu, class and title words stay 0
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes); }
};

SIZE windowSize(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

Dialog::Dialog() = default;

Dialog::~Dialog() {
    if (!handle_) return;
    HWND window = handle_;
    // The window must not call back into a half-destroyed object.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    handle_ = nullptr;
    if (modeless_)
        DestroyWindow(window);
    else
        EndDialog(window, 0);
}

bool Dialog::close(INT_PTR result) {
    HWND window = handle_;
    handle_ = nullptr;
    if (window) {
        if (modeless_)
            DestroyWindow(window);
        else
            EndDialog(window, result);
    }
    return true;
}

void Dialog::setTitle(const std::u16string& text) {
    if (handle_) SetWindowTextW(handle_, text.c_str());
}

void Dialog::setText(std::string_view text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(n > 0 ? n : 0), u'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    setTitle(wide);
}

void Dialog::setLocation(int x, int y) {
    if (handle_) SetWindowPos(handle_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void Dialog::setSize(int width, int height) {
    if (handle_) SetWindowPos(handle_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

void Dialog::setBounds(int x, int y, int width, int height) {
    if (handle_) MoveWindow(handle_, x, y, width, height, TRUE);
}

void Dialog::repaintAll() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void Dialog::setSizeCentered(int width, int height) {
    if (!handle_) return;
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    int x = desktop.left + (desktop.right - desktop.left - width) / 2;
    int y = desktop.top + (desktop.bottom - desktop.top - height) / 2;
    SetWindowPos(handle_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_SHOWWINDOW);
}

void Dialog::center() {
    if (!handle_) return;
    SIZE size = windowSize(handle_);
    setSizeCentered(size.cx, size.cy);
}

LRESULT Dialog::defaultProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
bool Dialog::createContents() { return true; }
bool Dialog::onOk() { return true; }
bool Dialog::onCancel() { return true; }
bool Dialog::onClose() { return true; }
bool Dialog::onApply() { return true; }
bool Dialog::onFilesDropped(const std::vector<std::u16string>&) { return false; }
bool Dialog::onTimer(UINT_PTR, LPARAM) { return true; }
LRESULT Dialog::onNotify(WPARAM, NMHDR*) { return 0; }
void Dialog::onSize(WPARAM, LPARAM) {}

void Dialog::onCommand(HWND control, WPARAM first, WORD notificationCode) {
    switch (LOWORD(first)) {
        case kOkButton:
            if (onOk()) close(kOkButton);
            break;
        case kCancelButton:
            if (onCancel()) close(kCancelButton);
            break;
        case kApplyButton:
            if (onApply()) apply_.setEnabled(false);
            break;
        default:
            defaultProc(handle_, WM_COMMAND, MAKEWPARAM(LOWORD(first), notificationCode),
                        reinterpret_cast<LPARAM>(control));
            break;
    }
}

void Dialog::addStandardButtons(DWORD flags) {
    if (!handle_) return;
    RECT client{};
    GetClientRect(handle_, &client);
    int x = windowSize(handle_).cx - kRightInset;
    if (flags & kCancelButton) x -= kButtonStep;
    if (flags & kApplyButton) x -= kButtonStep;
    int y = client.bottom - 30;
    struct Entry {
        StandardButton flag;
        Button& button;
        const char16_t* text;
    };
    const Entry entries[] = {
        {kOkButton, ok_, u"OK"}, {kCancelButton, cancel_, u"Cancel"}, {kApplyButton, apply_, u"Apply"}};
    for (const Entry& e : entries) {
        if (!(flags & e.flag)) continue;
        e.button.createButton(handle_, static_cast<int>(e.flag), e.text, x, y, kButtonWidth, kButtonHeight);
        if (e.flag == kApplyButton) e.button.setEnabled(false);
        x += kButtonStep;
    }
}

void Dialog::layoutStandardButtons() {
    if (!handle_) return;
    SIZE size = windowSize(handle_);
    RECT client{};
    GetClientRect(handle_, &client);
    int x = size.cx - kRightInset;
    // 30 pixels above the client area's bottom, as when the bar was made. On
    // Windows "window height - 60" lands there because the frame counts in the
    // window's height; here the window manager draws the frame outside it, and
    // the Windows figure would float the buttons over the dialog's contents.
    const int y = client.bottom - 30;
    for (Button* b : {&apply_, &cancel_, &ok_}) {
        if (!b->handle()) continue;
        SetWindowPos(b->handle(), nullptr, x, y, kButtonWidth, kButtonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        x -= kButtonStep;
    }
}

INT_PTR Dialog::dialogProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    auto* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!dialog) {
        if (message != WM_INITDIALOG || !second) return 0;
        dialog = reinterpret_cast<Dialog*>(second);
        SetWindowLongPtrW(window, GWLP_USERDATA, second);
        dialog->handle_ = window;
        return dialog->createContents() ? TRUE : FALSE;
    }
    switch (message) {
        case WM_SIZE:
            dialog->onSize(first, second);
            dialog->layoutStandardButtons();
            return 1;
        case WM_CLOSE:
            if (dialog->onClose()) {
                dialog->close(0);
                return 1;
            }
            return dialog->defaultProc(window, message, first, second);
        case WM_NOTIFY:
            return dialog->onNotify(first, reinterpret_cast<NMHDR*>(second));
        case WM_INITDIALOG:
            return dialog->createContents() ? TRUE : FALSE;
        case WM_COMMAND:
            dialog->onCommand(reinterpret_cast<HWND>(second), first, HIWORD(first));
            return 1;
        case WM_TIMER:
            dialog->onTimer(first, second);
            return dialog->defaultProc(window, message, first, second);
        case WM_DROPFILES: {
            auto drop = reinterpret_cast<HDROP>(first);
            std::vector<std::u16string> paths;
            UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                WCHAR path[260] = {};
                UINT n = DragQueryFileW(drop, i, path, 260);
                paths.emplace_back(path, n);
            }
            DragFinish(drop);
            if (!dialog->onFilesDropped(paths)) return dialog->defaultProc(window, message, first, second);
            return 1;
        }
        case WM_NCDESTROY: {
            // The window is going: the object forgets it, so no call reaches a dead handle.
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            if (dialog->handle_ == window) dialog->handle_ = nullptr;
            return dialog->defaultProc(window, message, first, second);
        }
        default:
            return dialog->defaultProc(window, message, first, second);
    }
}

bool showModal(HWND parent, Dialog& dialog) {
    dialog.modeless_ = false;
    EmptyTemplate t(kModalStyle);
    INT_PTR result =
        DialogBoxIndirectParamW(nullptr, t.get(), parent, Dialog::dialogProc, reinterpret_cast<LPARAM>(&dialog));
    dialog.handle_ = nullptr;
    // -1: the dialog could not be made, which is no OK either.
    return !(result == 0 || result == IDCANCEL || result == kCancelButton || result == -1);
}

bool showModeless(HWND parent, Dialog& dialog) {
    if (dialog.handle_) return true;
    EmptyTemplate t(kModelessStyle);
    HWND window =
        CreateDialogIndirectParamW(nullptr, t.get(), parent, Dialog::dialogProc, reinterpret_cast<LPARAM>(&dialog));
    if (window) dialog.modeless_ = true;
    return dialog.handle_ != nullptr;
}
