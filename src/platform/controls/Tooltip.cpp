// The tooltip window: a top-most pop-up that shows a tool's text once the
// pointer has rested over the tool for the initial delay, and hides when the
// pointer leaves the tool, a button is pressed, or the automatic pop-up time
// has passed. Tools added with TTF_SUBCLASS have their owner's messages
// watched through a relay procedure put in front of the owner's own.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/api/GdiHandles.h"
#include "platform/api/Tooltip.h"
#include "platform/controls/SystemClasses.h"
#include "platform/win32.h"

namespace veltrix::platform {

namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kPopTimer = 2;
constexpr UINT_PTR kLeaveTimer = 3;
constexpr UINT kLeavePollMs = 100;
constexpr int kPadding = 6;
constexpr int kRadius = 10;
constexpr int kTail = 8;  // the balloon's pointer below its body's top

struct Tool {
    UINT flags = 0;
    HWND owner = nullptr;
    UINT_PTR id = 0;
    RECT rect{};
    std::u16string text;
    bool callback = false;  // the text is asked of the owner each time
};

struct TooltipState {
    std::vector<Tool> tools;
    int maxWidth = -1;
    int initialMs = 500;
    int reshowMs = 100;
    int autopopMs = 5000;
    bool active = true;
    int current = -1;  // the tool shown or about to be shown
    bool shown = false;
    bool hidOnce = false;
    DWORD hiddenAt = 0;        // when the last tip went away, for the reshow delay
    std::u16string shownText;  // the text of the tip on the screen
};

// Owned here, one per tooltip window; dropped on WM_NCDESTROY.
std::map<HWND, std::unique_ptr<TooltipState>>& states() {
    static auto* s = new std::map<HWND, std::unique_ptr<TooltipState>>;
    return *s;
}

TooltipState* stateOf(HWND window) {
    auto it = states().find(window);
    return it == states().end() ? nullptr : it->second.get();
}

// Owners whose procedure the relay stands in front of: owner -> (previous
// procedure, tooltip windows watching it).
struct Relay {
    WNDPROC previous = nullptr;
    std::vector<HWND> tooltips;
};
std::map<HWND, Relay>& relays() {
    static auto* r = new std::map<HWND, Relay>;
    return *r;
}

bool isBalloon(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & TTS_BALLOON) != 0; }

void hideTip(HWND window, TooltipState& s) {
    KillTimer(window, kShowTimer);
    KillTimer(window, kPopTimer);
    KillTimer(window, kLeaveTimer);
    if (s.shown) {
        s.hiddenAt = GetTickCount();
        s.hidOnce = true;
    }
    s.shown = false;
    s.current = -1;
    ShowWindow(window, SW_HIDE);
}

RECT textBox(HWND window, TooltipState& s, const std::u16string& text) {
    const ClientDC dc(window);
    const SelectedObject font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
    RECT box{0, 0, s.maxWidth > 0 ? s.maxWidth - 2 * kPadding : 10000, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &box,
              DT_CALCRECT | (s.maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOPREFIX);
    return box;
}

// The tool's text; for a callback tool, the owner's answer to TTN_GETDISPINFOW.
std::u16string currentText(HWND window, const Tool& tool) {
    if (!tool.callback) return tool.text;
    NMTTDISPINFOW info{};
    info.hdr = NMHDR{window, tool.id, TTN_GETDISPINFOW};
    info.uFlags = tool.flags;
    SendMessageW(tool.owner, WM_NOTIFY, tool.id, reinterpret_cast<LPARAM>(&info));
    if (info.lpszText && info.lpszText != LPSTR_TEXTCALLBACKW) return std::u16string(info.lpszText);
    info.szText[79] = 0;
    return std::u16string(info.szText);
}

void showTip(HWND window, TooltipState& s) {
    if (s.current < 0 || s.current >= static_cast<int>(s.tools.size())) return;
    const Tool tool = s.tools[static_cast<std::size_t>(s.current)];
    std::u16string text = currentText(window, tool);
    // The owner may have removed the tool or the tooltip while answering.
    if (!IsWindow(window) || stateOf(window) != &s || s.current < 0) return;
    if (text.empty()) return;
    s.shownText = std::move(text);
    RECT box = textBox(window, s, s.shownText);
    int width = box.right - box.left + 2 * kPadding;
    int height = box.bottom - box.top + 2 * kPadding + (isBalloon(window) ? kTail : 0);
    POINT at{};
    GetCursorPos(&at);
    at.y += 20;
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    at.x = std::clamp<LONG>(at.x, screen.left, std::max<LONG>(screen.left, screen.right - width));
    at.y = std::clamp<LONG>(at.y, screen.top, std::max<LONG>(screen.top, screen.bottom - height));
    SetWindowPos(window, HWND_TOPMOST, at.x, at.y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(window, nullptr, TRUE);
    s.shown = true;
    SetTimer(window, kPopTimer, static_cast<UINT>(s.autopopMs), nullptr);
    SetTimer(window, kLeaveTimer, kLeavePollMs, nullptr);
}

int toolAt(const TooltipState& s, HWND owner, POINT client) {
    for (std::size_t i = 0; i < s.tools.size(); ++i) {
        const Tool& t = s.tools[i];
        if (t.owner != owner) continue;
        RECT r = t.rect;
        if (t.flags & TTF_IDISHWND) GetClientRect(owner, &r);
        if (PtInRect(&r, client)) return static_cast<int>(i);
    }
    return -1;
}

// A mouse message seen on a tool's owner.
void relayMouse(HWND window, const MSG& msg) {
    TooltipState* s = stateOf(window);
    if (!s || !s->active) return;
    if (msg.message != WM_MOUSEMOVE) {
        if (msg.message != WM_MOUSEWHEEL) hideTip(window, *s);
        return;
    }
    POINT client{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    int tool = toolAt(*s, msg.hwnd, client);
    if (tool == s->current) return;
    bool wasShown = s->shown;
    DWORD hiddenAt = s->hiddenAt;
    bool hidOnce = s->hidOnce;
    hideTip(window, *s);
    if (tool < 0) return;
    s->current = tool;
    bool recent = wasShown || (hidOnce && GetTickCount() - hiddenAt < static_cast<DWORD>(s->reshowMs) * 4);
    SetTimer(window, kShowTimer, static_cast<UINT>(recent ? s->reshowMs : s->initialMs), nullptr);
}

LRESULT relayProc(HWND owner, UINT message, WPARAM wParam, LPARAM lParam) {
    auto it = relays().find(owner);
    if (it == relays().end()) return DefWindowProcW(owner, message, wParam, lParam);
    WNDPROC previous = it->second.previous;
    if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSELEAVE) {
        std::vector<HWND> watching = it->second.tooltips;
        MSG msg{owner, message, wParam, lParam, 0, {}};
        for (HWND tip : watching) {
            if (message == WM_MOUSELEAVE) {
                if (TooltipState* s = stateOf(tip)) hideTip(tip, *s);
            } else {
                relayMouse(tip, msg);
            }
        }
    }
    if (message == WM_NCDESTROY) relays().erase(owner);
    return previous ? CallWindowProcW(previous, owner, message, wParam, lParam)
                    : DefWindowProcW(owner, message, wParam, lParam);
}

void watchOwner(HWND tip, HWND owner) {
    auto it = relays().find(owner);
    if (it == relays().end()) {
        Relay relay;
        relay.previous =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&relayProc)));
        it = relays().emplace(owner, relay).first;
    }
    auto& list = it->second.tooltips;
    if (std::find(list.begin(), list.end(), tip) == list.end()) list.push_back(tip);
}

void unwatchAll(HWND tip) {
    for (auto it = relays().begin(); it != relays().end();) {
        auto& list = it->second.tooltips;
        list.erase(std::remove(list.begin(), list.end(), tip), list.end());
        if (list.empty()) {
            // Step out of the owner's chain only if nothing was put in front of us.
            HWND owner = it->first;
            if (IsWindow(owner) && GetWindowLongPtrW(owner, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&relayProc))
                SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.previous));
            it = relays().erase(it);
        } else {
            ++it;
        }
    }
}

Tool* findTool(TooltipState& s, const TOOLINFOW* info) {
    if (!info) return nullptr;
    for (Tool& t : s.tools)
        if (t.owner == info->hwnd && t.id == info->uId) return &t;
    return nullptr;
}

std::u16string textOf(const TOOLINFOW* info) {
    if (!info->lpszText || reinterpret_cast<LONG_PTR>(info->lpszText) == -1) return {};
    return std::u16string(info->lpszText);
}

void paintTip(HWND window, TooltipState& s) {
    const PaintDC painting(window);
    HDC dc = painting.get();
    RECT client{};
    GetClientRect(window, &client);
    const bool balloon = isBalloon(window);
    const UniqueBrush back(CreateSolidBrush(GetSysColor(COLOR_INFOBK)));
    const UniquePen frame(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWFRAME)));
    const SelectedObject brushSelection(dc, back.get());
    const SelectedObject penSelection(dc, frame.get());
    RECT body = client;
    if (balloon) {
        body.top += kTail;
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        RoundRect(dc, body.left, body.top, body.right, body.bottom, kRadius, kRadius);
        POINT tail[3] = {{kRadius, body.top + 1}, {kRadius + kTail, body.top + 1}, {kRadius, 0}};
        Polygon(dc, tail, 3);
    } else {
        Rectangle(dc, body.left, body.top, body.right, body.bottom);
    }
    if (s.current >= 0 && s.current < static_cast<int>(s.tools.size())) {
        const std::u16string& text = s.shownText;
        const SelectedObject fontSelection(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        RECT inside{body.left + kPadding, body.top + kPadding, body.right - kPadding, body.bottom - kPadding};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inside,
                  (s.maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOPREFIX);
    }
}

LRESULT setDelay(TooltipState& s, WPARAM which, LPARAM value) {
    int ms = static_cast<int>(static_cast<short>(LOWORD(value)));
    if (which == TTDT_AUTOMATIC) {
        if (ms < 0) ms = 500;
        s.initialMs = ms;
        s.reshowMs = ms / 5;
        s.autopopMs = ms * 10;
        return 0;
    }
    int* target = which == TTDT_RESHOW ? &s.reshowMs : which == TTDT_AUTOPOP ? &s.autopopMs : &s.initialMs;
    if (ms < 0) ms = which == TTDT_RESHOW ? 100 : which == TTDT_AUTOPOP ? 5000 : 500;
    *target = ms;
    return 0;
}

LRESULT tooltipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) states()[window] = std::make_unique<TooltipState>();
    TooltipState* s = stateOf(window);
    if (!s) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case TTM_ADDTOOLW: {
            auto* info = reinterpret_cast<const TOOLINFOW*>(lParam);
            if (!info || !IsWindow(info->hwnd) || findTool(*s, info)) return FALSE;
            s->tools.push_back(Tool{info->uFlags, info->hwnd, info->uId, info->rect, textOf(info),
                                    info->lpszText == LPSTR_TEXTCALLBACKW});
            if (info->uFlags & TTF_SUBCLASS) watchOwner(window, info->hwnd);
            return TRUE;
        }
        case TTM_DELTOOLW: {
            auto* info = reinterpret_cast<const TOOLINFOW*>(lParam);
            if (Tool* t = findTool(*s, info)) {
                hideTip(window, *s);
                s->tools.erase(s->tools.begin() + (t - s->tools.data()));
            }
            return 0;
        }
        case TTM_NEWTOOLRECTW:
            if (Tool* t = findTool(*s, reinterpret_cast<const TOOLINFOW*>(lParam)))
                t->rect = reinterpret_cast<const TOOLINFOW*>(lParam)->rect;
            return 0;
        case TTM_UPDATETIPTEXTW:
            if (Tool* t = findTool(*s, reinterpret_cast<const TOOLINFOW*>(lParam))) {
                t->text = textOf(reinterpret_cast<const TOOLINFOW*>(lParam));
                t->callback = reinterpret_cast<const TOOLINFOW*>(lParam)->lpszText == LPSTR_TEXTCALLBACKW;
                if (s->shown && !t->callback) s->shownText = t->text;
                if (s->shown) InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case TTM_GETTOOLINFOW: {
            auto* info = reinterpret_cast<TOOLINFOW*>(lParam);
            Tool* t = findTool(*s, info);
            if (!t) return FALSE;
            info->uFlags = t->flags;
            info->rect = t->rect;
            return TRUE;
        }
        case TTM_GETTEXTW: {
            // wParam: the buffer's size in characters.
            auto* info = reinterpret_cast<TOOLINFOW*>(lParam);
            Tool* t = findTool(*s, info);
            if (!t || !info->lpszText || wParam == 0) return 0;
            const Tool tool = *t;  // the owner may change the tools while answering
            const std::u16string text = currentText(window, tool);
            std::size_t n = std::min<std::size_t>(text.size(), wParam - 1);
            std::copy_n(text.data(), n, info->lpszText);
            info->lpszText[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case TTM_GETTOOLCOUNT:
            return static_cast<LRESULT>(s->tools.size());
        case TTM_SETMAXTIPWIDTH: {
            int previous = s->maxWidth;
            s->maxWidth = static_cast<int>(lParam);
            return previous;
        }
        case TTM_GETMAXTIPWIDTH:
            return s->maxWidth;
        case TTM_SETDELAYTIME:
            return setDelay(*s, wParam, lParam);
        case TTM_GETDELAYTIME:
            return wParam == TTDT_RESHOW ? s->reshowMs : wParam == TTDT_AUTOPOP ? s->autopopMs : s->initialMs;
        case TTM_ACTIVATE:
            s->active = wParam != 0;
            if (!s->active) hideTip(window, *s);
            return 0;
        case TTM_POP:
            hideTip(window, *s);
            return 0;
        case TTM_RELAYEVENT:
            if (auto* msg = reinterpret_cast<const MSG*>(lParam)) relayMouse(window, *msg);
            return 0;
        case WM_TIMER:
            if (wParam == kShowTimer) {
                KillTimer(window, kShowTimer);
                showTip(window, *s);
            } else if (wParam == kPopTimer) {
                hideTip(window, *s);
            } else if (wParam == kLeaveTimer && s->current >= 0) {
                // The pointer may leave the owner without a message reaching it.
                const Tool& tool = s->tools[static_cast<std::size_t>(s->current)];
                POINT at{};
                GetCursorPos(&at);
                POINT client = at;
                ScreenToClient(tool.owner, &client);
                if (WindowFromPoint(at) != tool.owner || toolAt(*s, tool.owner, client) != s->current)
                    hideTip(window, *s);
            }
            return 0;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_MOUSEACTIVATE:
            return 3;  // MA_NOACTIVATE
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paintTip(window, *s);
            return 0;
        case WM_DESTROY:
            unwatchAll(window);
            break;
        case WM_NCDESTROY: {
            LRESULT result = DefWindowProcW(window, message, wParam, lParam);
            states().erase(window);
            return result;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void registerTooltipClass() {
    WNDCLASSEXW tooltip{};
    tooltip.cbSize = sizeof(tooltip);
    tooltip.style = CS_GLOBALCLASS;
    tooltip.lpfnWndProc = &tooltipProc;
    tooltip.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    tooltip.lpszClassName = TOOLTIPS_CLASSW;
    RegisterClassExW(&tooltip);
}

}  // namespace veltrix::platform
