// MessageBoxW: a top-level window of our own, drawn by us, run by a nested loop.
#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/api/GdiHandles.h"
#include "platform/common/AsciiCase.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ModalLoop.h"
#include "platform/controls/Painter.h"
#include "platform/display/Display.h"
#include "platform/display/HeadlessAnswers.h"
#include "platform/win32.h"

namespace veltrix::platform {

namespace {

constexpr WPARAM kCloseCommand = 0xF060;  // SC_CLOSE
constexpr int kPad = 20;
constexpr int kIconSize = 32;
constexpr int kIconGap = 14;
constexpr int kButtonHeight = 30;
constexpr int kButtonMinWidth = 88;
constexpr int kButtonGap = 8;
constexpr int kStripPad = 12;
constexpr COLORREF kAccent = RGB(0x00, 0x67, 0xC0);
constexpr COLORREF kText = RGB(0x1A, 0x1A, 0x1A);

struct BoxButton {
    int id;
    std::u16string label;
    RECT rect{};
};

struct Box {
    std::u16string text;
    painter::Icon icon = painter::Icon::None;
    std::vector<BoxButton> buttons;
    int focus = 0;
    int hot = -1;
    int pressed = -1;
    int cancelAnswer = 0;  // what Escape and the close box answer; 0: they do nothing
    RECT textRect{};
    RECT strip{};
    bool tracking = false;
    bool ended = false;
    int answer = 0;

    void end(int id) {
        if (ended) return;
        ended = true;
        answer = id;
    }
};

struct Hooks {
    std::mutex mutex;
    headless::MessageBoxResponder responder;
    std::vector<headless::MessageBoxShown> shown;
};

Hooks& hooks() {
    static Hooks* h = new Hooks;  // outlives static destructors
    return *h;
}

HFONT boxFont() { return painter::uiFont(); }

painter::Icon iconOf(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONERROR:
            return painter::Icon::Error;
        case MB_ICONQUESTION:
            return painter::Icon::Question;
        case MB_ICONWARNING:
            return painter::Icon::Warning;
        case MB_ICONINFORMATION:
            return painter::Icon::Information;
        default:
            return painter::Icon::None;
    }
}

void buttonsOf(UINT type, Box& box) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            box.buttons = {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
            box.cancelAnswer = IDCANCEL;
            break;
        case MB_YESNOCANCEL:
            box.buttons = {{IDYES, u"Yes"}, {IDNO, u"No"}, {IDCANCEL, u"Cancel"}};
            box.cancelAnswer = IDCANCEL;
            break;
        case MB_YESNO:
            box.buttons = {{IDYES, u"Yes"}, {IDNO, u"No"}};
            box.cancelAnswer = 0;  // a question that must be answered
            break;
        default:
            box.buttons = {{IDOK, u"OK"}};
            box.cancelAnswer = IDOK;
            break;
    }
    int wanted = static_cast<int>((type & MB_DEFMASK) >> 8);
    box.focus = wanted < static_cast<int>(box.buttons.size()) ? wanted : 0;
}

int textWidth(HDC dc, const std::u16string& s) {
    SIZE size{};
    GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
    return size.cx;
}

// Places the text, icon and buttons; returns the client size.
SIZE layout(Box& box) {
    const UniqueDC memory(CreateCompatibleDC(nullptr));
    HDC dc = memory.get();
    const SelectedObject font(dc, boxFont());
    int maxText = std::clamp(GetSystemMetrics(SM_CXSCREEN) / 2 - 2 * kPad, 200, 520);
    RECT text{0, 0, maxText, 0};
    if (!box.text.empty())
        DrawTextW(dc, box.text.c_str(), static_cast<int>(box.text.size()), &text,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    int textW = std::min<int>(text.right - text.left, maxText);
    int textH = text.bottom - text.top;
    bool withIcon = box.icon != painter::Icon::None;
    int textX = kPad + (withIcon ? kIconSize + kIconGap : 0);
    int bodyH = std::max(textH, withIcon ? kIconSize : 0);
    int textY = kPad + std::max(0, (withIcon ? kIconSize : 0) - textH) / 2;

    int buttonsW = 0;
    for (auto& b : box.buttons) {
        int w = std::max(kButtonMinWidth, textWidth(dc, b.label) + 32);
        b.rect = {0, 0, w, kButtonHeight};
        buttonsW += w;
    }
    buttonsW += kButtonGap * static_cast<int>(box.buttons.size() - 1);

    int width = std::max({textX + textW + kPad + 8, buttonsW + 2 * kStripPad, 320});
    int stripTop = kPad * 2 + bodyH;
    int height = stripTop + kButtonHeight + 2 * kStripPad;
    box.textRect = {textX, textY, textX + textW + 8, textY + textH};
    box.strip = {0, stripTop, width, height};
    int x = width - kStripPad - buttonsW;
    for (auto& b : box.buttons) {
        int w = b.rect.right;
        b.rect = {x, stripTop + kStripPad, x + w, stripTop + kStripPad + kButtonHeight};
        x += w + kButtonGap;
    }
    return {width, height};
}

void paint(HWND window, Box& box) {
    const PaintDC painting(window);
    HDC dc = painting.get();
    RECT client;
    GetClientRect(window, &client);
    {
        const UniqueBrush white(CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF)));
        const UniqueBrush stripBrush(CreateSolidBrush(RGB(0xF3, 0xF3, 0xF3)));
        const UniqueBrush line(CreateSolidBrush(RGB(0xE3, 0xE3, 0xE3)));
        RECT body{0, 0, client.right, box.strip.top};
        FillRect(dc, &body, white.get());
        FillRect(dc, &box.strip, stripBrush.get());
        RECT rule{0, box.strip.top, client.right, box.strip.top + 1};
        FillRect(dc, &rule, line.get());
    }

    // The icon stands beside the first lines; a short text is centred on it.
    painter::icon(dc, kPad, kPad, box.icon);
    const SelectedObject font(dc, boxFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kText);
    RECT text = box.textRect;
    DrawTextW(dc, box.text.c_str(), static_cast<int>(box.text.size()), &text,
              DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    for (int i = 0; i < static_cast<int>(box.buttons.size()); ++i) {
        const BoxButton& b = box.buttons[i];
        bool focused = i == box.focus;
        COLORREF fill = RGB(0xFD, 0xFD, 0xFD);
        if (i == box.pressed && i == box.hot)
            fill = RGB(0xDD, 0xEB, 0xF7);
        else if (i == box.hot)
            fill = RGB(0xF0, 0xF6, 0xFC);
        painter::roundRect(dc, b.rect, 4, fill, focused ? kAccent : RGB(0xC4, 0xC4, 0xC4), focused ? 2 : 1);
        RECT label = b.rect;
        DrawTextW(dc, b.label.c_str(), static_cast<int>(b.label.size()), &label,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    }
}

int buttonAt(const Box& box, LPARAM lParam) {
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (int i = 0; i < static_cast<int>(box.buttons.size()); ++i)
        if (PtInRect(&box.buttons[i].rect, p)) return i;
    return -1;
}

LRESULT boxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = reinterpret_cast<Box*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!box) {
        if (message == WM_NCCREATE) {
            auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const int count = static_cast<int>(box->buttons.size());
    switch (message) {
        case WM_PAINT:
            paint(window, *box);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_KEYDOWN: {
            int step = 0;
            switch (wParam) {
                case VK_TAB:
                    step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
                    break;
                case VK_LEFT:
                case VK_UP:
                    step = -1;
                    break;
                case VK_RIGHT:
                case VK_DOWN:
                    step = 1;
                    break;
                case VK_RETURN:
                case VK_SPACE:
                    box->end(box->buttons[box->focus].id);
                    return 0;
                case VK_ESCAPE:
                    if (box->cancelAnswer) box->end(box->cancelAnswer);
                    return 0;
                default:
                    return 0;
            }
            box->focus = (box->focus + step + count) % count;
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        }
        case WM_CHAR: {
            // The first letter of Yes and No answers, as the system box does.
            char16_t c = static_cast<char16_t>(wParam);
            c = ascii::toUpper(c);
            for (const auto& b : box->buttons)
                if ((b.id == IDYES || b.id == IDNO) && !b.label.empty() && b.label[0] == c) box->end(b.id);
            return 0;
        }
        case WM_MOUSEMOVE: {
            if (!box->tracking) {
                TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, window, HOVER_DEFAULT};
                TrackMouseEvent(&t);
                box->tracking = true;
            }
            int hot = buttonAt(*box, lParam);
            if (hot != box->hot) {
                box->hot = hot;
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        }
        case WM_MOUSELEAVE:
            box->tracking = false;
            if (box->hot != -1) {
                box->hot = -1;
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        case WM_LBUTTONDOWN: {
            int at = buttonAt(*box, lParam);
            if (at >= 0) {
                box->pressed = box->hot = box->focus = at;
                SetCapture(window);
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            int at = buttonAt(*box, lParam);
            int pressed = box->pressed;
            box->pressed = -1;
            if (GetCapture() == window) ReleaseCapture();
            InvalidateRect(window, nullptr, FALSE);
            if (pressed >= 0 && at == pressed) box->end(box->buttons[at].id);
            return 0;
        }
        case WM_CLOSE:
            // The close box answers like Escape; the window goes when the loop ends.
            if (box->cancelAnswer) box->end(box->cancelAnswer);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == kCloseCommand) return SendMessageW(window, WM_CLOSE, 0, 0);
            return DefWindowProcW(window, message, wParam, lParam);
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LPCWSTR boxClass() {
    static const bool registered = controls::registerLayerClass({u"VeltrixMessageBox", boxProc});
    return registered ? u"VeltrixMessageBox" : nullptr;
}

}  // namespace

namespace headless {

void setMessageBoxResponder(MessageBoxResponder responder) {
    std::lock_guard lock(hooks().mutex);
    hooks().responder = std::move(responder);
}

std::vector<MessageBoxShown> takeMessageBoxes() {
    std::lock_guard lock(hooks().mutex);
    return std::exchange(hooks().shown, {});
}

}  // namespace headless

}  // namespace veltrix::platform

using namespace veltrix::platform;

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    Box box;
    box.text = text ? text : u"";
    box.icon = iconOf(type);
    buttonsOf(type, box);
    std::u16string title = caption ? caption : u"Error";
    SIZE size = layout(box);

    HWND top = owner && IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : nullptr;
    RECT around{};
    if (top && IsWindowVisible(top)) {
        GetWindowRect(top, &around);
    } else {
        around = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    int x = around.left + (around.right - around.left - size.cx) / 2;
    int y = around.top + (around.bottom - around.top - size.cy) / 2;
    x = std::max(0, x);
    y = std::max(0, y);

    LPCWSTR cls = boxClass();
    if (!cls) return 0;
    DWORD exStyle = WS_EX_DLGMODALFRAME | ((type & (MB_TOPMOST | MB_SYSTEMMODAL)) ? WS_EX_TOPMOST : 0);
    HWND window = CreateWindowExW(exStyle, cls, title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y, size.cx,
                                  size.cy, top, nullptr, nullptr, &box);
    if (!window) return 0;
    bool disabledOwner = top && IsWindowEnabled(top);
    if (disabledOwner) EnableWindow(top, FALSE);
    ShowWindow(window, SW_SHOW);
    SetFocus(window);
    UpdateWindow(window);

    headless::MessageBoxShown shown;
    headless::MessageBoxResponder responder;
    shown.box = window;
    shown.owner = top;
    shown.caption = title;
    shown.text = box.text;
    shown.type = type;
    shown.defaultButton = box.focus;
    for (const auto& b : box.buttons) shown.buttons.push_back(b.label);
    bool headlessDisplay = isHeadlessDisplay();
    if (headlessDisplay) {
        std::lock_guard lock(hooks().mutex);
        responder = hooks().responder;
    }
    if (headlessDisplay) {
        int answer = responder ? responder(shown) : box.buttons[box.focus].id;
        if (answer != headless::kLetItRun) box.end(answer);
    }
    ModalEnd end = runModalLoop([&] { return box.ended || !IsWindow(window); });
    if (end != ModalEnd::Done || !box.ended) {
        // Ended from outside: the answer of Escape, else the last button (No).
        box.end(box.cancelAnswer ? box.cancelAnswer : box.buttons.back().id);
    }

    // The owner is enabled before the box goes, so that activation returns to it.
    if (disabledOwner) EnableWindow(top, TRUE);
    if (IsWindow(window)) DestroyWindow(window);
    if (top && IsWindow(top) && GetWindowThreadProcessId(top, nullptr) == GetCurrentThreadId()) SetActiveWindow(top);

    shown.answer = box.answer;
    {
        std::lock_guard lock(hooks().mutex);
        hooks().shown.push_back(shown);
    }
    return box.answer;
}
