// TrackPopupMenu: each open menu level is a top-level pop-up window of our
// own; one nested loop takes the keyboard and (through capture) the mouse.
#include <algorithm>
#include <memory>
#include <mutex>

#include "platform/api/GdiHandles.h"
#include "platform/common/AsciiCase.h"
#include "platform/controls/Controls.h"
#include "platform/controls/MenuTable.h"
#include "platform/controls/ModalLoop.h"
#include "platform/controls/Painter.h"
#include "platform/display/Display.h"
#include "platform/display/HeadlessAnswers.h"

namespace veltrix::platform {

namespace {

constexpr int kItemHeight = 28;
constexpr int kSeparatorHeight = 9;
constexpr int kFramePad = 4;  // between the border and the items
constexpr int kCheckColumn = 32;
constexpr int kArrowColumn = 28;
constexpr int kAcceleratorGap = 32;
constexpr int kMinWidth = 160;
constexpr COLORREF kBackground = RGB(0xFB, 0xFB, 0xFB);
constexpr COLORREF kBorder = RGB(0xC8, 0xC8, 0xC8);
constexpr COLORREF kHot = RGB(0xE4, 0xEE, 0xF9);
constexpr COLORREF kText = RGB(0x1A, 0x1A, 0x1A);
constexpr COLORREF kGreyText = RGB(0xA0, 0xA0, 0xA0);

struct Level {
    HMENU menu = nullptr;
    HWND window = nullptr;
    std::vector<MenuItem> items;
    std::vector<RECT> rects;  // client coordinates, one per item
    int hot = -1;
    int openedFrom = -1;  // the item of the level above that opened this one
};

struct Tracking {
    std::vector<std::unique_ptr<Level>> levels;
    HWND owner = nullptr;
    UINT flags = 0;
    bool ended = false;
    UINT chosen = 0;
    // The button that opened the menu may still be down; its release over the
    // menu must not choose unless the pointer moved onto an item first.
    bool armed = false;
};

struct Hooks {
    std::mutex mutex;
    headless::MenuResponder responder;
};

Hooks& hooks() {
    static Hooks* h = new Hooks;
    return *h;
}

thread_local Tracking* current = nullptr;

HFONT menuFont() { return painter::uiFont(); }

bool selectable(const MenuItem& i) { return !(i.flags & MF_SEPARATOR); }
bool usable(const MenuItem& i) { return !(i.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)); }

// The label and the accelerator text after a tab.
std::pair<std::u16string, std::u16string> splitText(const std::u16string& text) {
    auto tab = text.find(u'\t');
    if (tab == std::u16string::npos) return {text, u""};
    return {text.substr(0, tab), text.substr(tab + 1)};
}

// The access key after "&" (upper case), or 0.
char16_t accessKey(const std::u16string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        char16_t c = text[i + 1];
        return ascii::toUpper(c);
    }
    return 0;
}

int measure(HDC dc, const std::u16string& text) {
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return r.right - r.left;
}

SIZE layout(Level& level) {
    int labelW = 0, accelW = 0;
    {
        const UniqueDC dc(CreateCompatibleDC(nullptr));
        const SelectedObject font(dc.get(), menuFont());
        for (const auto& i : level.items) {
            if (i.flags & MF_SEPARATOR) continue;
            auto [label, accel] = splitText(i.text);
            labelW = std::max(labelW, measure(dc.get(), label));
            if (!accel.empty()) accelW = std::max(accelW, measure(dc.get(), accel));
        }
    }
    int width = std::max(kMinWidth, kCheckColumn + labelW + (accelW ? kAcceleratorGap + accelW : 0) + kArrowColumn) +
                2 * kFramePad;
    int y = kFramePad;
    level.rects.clear();
    for (const auto& i : level.items) {
        int h = (i.flags & MF_SEPARATOR) ? kSeparatorHeight : kItemHeight;
        level.rects.push_back({kFramePad, y, width - kFramePad, y + h});
        y += h;
    }
    return {width, std::max(y + kFramePad, 2 * kFramePad + 8)};
}

void paint(HWND window, Level& level) {
    const PaintDC painting(window);
    HDC dc = painting.get();
    RECT client;
    GetClientRect(window, &client);
    const UniqueBrush back(CreateSolidBrush(kBackground));
    const UniqueBrush border(CreateSolidBrush(kBorder));
    FillRect(dc, &client, back.get());
    FrameRect(dc, &client, border.get());
    const SelectedObject font(dc, menuFont());
    SetBkMode(dc, TRANSPARENT);
    for (std::size_t k = 0; k < level.items.size(); ++k) {
        const MenuItem& i = level.items[k];
        RECT r = level.rects[k];
        if (i.flags & MF_SEPARATOR) {
            RECT rule{r.left + 8, (r.top + r.bottom) / 2, r.right - 8, (r.top + r.bottom) / 2 + 1};
            const UniqueBrush line(CreateSolidBrush(RGB(0xE0, 0xE0, 0xE0)));
            FillRect(dc, &rule, line.get());
            continue;
        }
        bool enabled = usable(i);
        if (static_cast<int>(k) == level.hot)
            painter::roundRect(dc, r, 4, enabled ? kHot : RGB(0xEE, 0xEE, 0xEE), 0, 0);
        COLORREF colour = enabled ? kText : kGreyText;
        SetTextColor(dc, colour);
        if (i.flags & MF_CHECKED) {
            RECT box{r.left + 8, r.top + 6, r.left + 24, r.top + 22};
            painter::checkMark(dc, box, colour);
        }
        auto [label, accel] = splitText(i.text);
        RECT text{r.left + kCheckColumn, r.top, r.right - kArrowColumn, r.bottom};
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        if (!accel.empty())
            DrawTextW(dc, accel.c_str(), static_cast<int>(accel.size()), &text,
                      DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
        if (i.flags & MF_POPUP) {
            RECT arrow{r.right - kArrowColumn, r.top, r.right - 4, r.bottom};
            painter::rightArrow(dc, arrow, colour);
        }
    }
}

void handleMouse(Tracking& t, const MSG& msg);

LRESULT levelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* level = reinterpret_cast<Level*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!level) {
        if (message == WM_NCCREATE) {
            auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT:
            paint(window, *level);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEACTIVATE:
            return 3;  // MA_NOACTIVATE
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
            // Mouse input reaches the menu here when it is dispatched by a loop
            // other than the menu's own (the capture sends it all to the first level).
            if (current) {
                MSG msg{window, message, wParam, lParam, 0, {0, 0}};
                handleMouse(*current, msg);
            }
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return DefWindowProcW(window, message, wParam, lParam);
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LPCWSTR levelClass() {
    static const bool registered = controls::registerLayerClass({u"VeltrixPopupMenu", levelProc});
    return registered ? u"VeltrixPopupMenu" : nullptr;
}

void repaint(Level& level) {
    if (level.window) InvalidateRect(level.window, nullptr, FALSE);
}

// Opens a level for the menu with its corner at the point, kept on the
// monitor; alternative is where to go when it does not fit to the right
// (the left edge of the item that opened a submenu).
bool openLevel(Tracking& t, HMENU menu, POINT at, UINT align, int alternativeRight, int openedFrom) {
    auto level = std::make_unique<Level>();
    level->menu = menu;
    level->items = menuItems(menu);
    level->openedFrom = openedFrom;
    if (!(t.flags & TPM_NONOTIFY) && IsWindow(t.owner)) {
        SendMessageW(t.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                     MAKELPARAM(openedFrom < 0 ? 0 : openedFrom, 0));
        level->items = menuItems(menu);  // the owner may have changed it
    }
    if (level->items.empty()) return false;
    SIZE size = layout(*level);
    int x = at.x, y = at.y;
    if (align & TPM_RIGHTALIGN)
        x -= size.cx;
    else if (align & TPM_CENTERALIGN)
        x -= size.cx / 2;
    if (align & TPM_BOTTOMALIGN)
        y -= size.cy;
    else if (align & TPM_VCENTERALIGN)
        y -= size.cy / 2;
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    if (x + size.cx > screenW) x = alternativeRight >= 0 ? alternativeRight - size.cx : screenW - size.cx;
    if (y + size.cy > screenH) y = screenH - size.cy;
    x = std::max(0, x);
    y = std::max(0, y);
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, levelClass(), u"", WS_POPUP, x,
                                  y, size.cx, size.cy, t.owner, nullptr, nullptr, level.get());
    if (!window) return false;
    level->window = window;
    t.levels.push_back(std::move(level));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    return true;
}

void closeLevelsAbove(Tracking& t, std::size_t keep) {
    while (t.levels.size() > keep) {
        HWND w = t.levels.back()->window;
        t.levels.pop_back();
        if (IsWindow(w)) DestroyWindow(w);
    }
    if (!t.levels.empty()) SetCapture(t.levels.front()->window);
}

void openSubmenu(Tracking& t, std::size_t depth, int item) {
    Level& level = *t.levels[depth];
    const MenuItem& i = level.items[item];
    if (!(i.flags & MF_POPUP) || !usable(i)) return;
    if (depth + 1 < t.levels.size() && t.levels[depth + 1]->openedFrom == item) return;  // open already
    closeLevelsAbove(t, depth + 1);
    RECT r = level.rects[item];
    RECT frame;
    GetWindowRect(level.window, &frame);
    POINT at{frame.left + r.right + kFramePad - 2, frame.top + r.top - kFramePad};
    openLevel(t, i.submenu, at, TPM_LEFTALIGN | TPM_TOPALIGN, frame.left + r.left + 2, item);
}

void choose(Tracking& t, const MenuItem& i) {
    if (!usable(i) || (i.flags & MF_POPUP)) return;
    t.chosen = i.id;
    t.ended = true;
}

void activate(Tracking& t, std::size_t depth, int item) {
    const MenuItem& i = t.levels[depth]->items[item];
    if (i.flags & MF_POPUP) {
        openSubmenu(t, depth, item);
        if (depth + 1 < t.levels.size()) {
            Level& sub = *t.levels[depth + 1];
            for (std::size_t k = 0; k < sub.items.size(); ++k)
                if (selectable(sub.items[k])) {
                    sub.hot = static_cast<int>(k);
                    repaint(sub);
                    break;
                }
        }
        return;
    }
    choose(t, i);
}

void moveHot(Level& level, int step) {
    int n = static_cast<int>(level.items.size());
    int k = level.hot;
    for (int tries = 0; tries < n; ++tries) {
        k = k < 0 ? (step > 0 ? 0 : n - 1) : (k + step + n) % n;
        if (selectable(level.items[k])) break;
    }
    level.hot = k;
    repaint(level);
}

void handleKey(Tracking& t, WPARAM key) {
    std::size_t depth = t.levels.size() - 1;
    Level& level = *t.levels[depth];
    switch (key) {
        case VK_UP:
            moveHot(level, -1);
            break;
        case VK_DOWN:
            moveHot(level, 1);
            break;
        case VK_RIGHT:
            if (level.hot >= 0 && (level.items[level.hot].flags & MF_POPUP)) activate(t, depth, level.hot);
            break;
        case VK_LEFT:
            if (depth > 0) closeLevelsAbove(t, depth);
            break;
        case VK_ESCAPE:
            if (depth > 0) {
                closeLevelsAbove(t, depth);
            } else {
                t.ended = true;
            }
            break;
        case VK_RETURN:
            if (level.hot >= 0) activate(t, depth, level.hot);
            break;
        default:
            break;
    }
}

void handleCharacter(Tracking& t, char16_t c) {
    c = ascii::toUpper(c);
    std::size_t depth = t.levels.size() - 1;
    Level& level = *t.levels[depth];
    std::vector<int> matches;
    for (std::size_t k = 0; k < level.items.size(); ++k)
        if (selectable(level.items[k]) && accessKey(level.items[k].text) == c) matches.push_back(static_cast<int>(k));
    if (matches.empty()) return;
    if (matches.size() == 1) {
        level.hot = matches[0];
        repaint(level);
        activate(t, depth, matches[0]);
        return;
    }
    // Several items share the key: each press moves to the next of them.
    auto next = std::upper_bound(matches.begin(), matches.end(), level.hot);
    level.hot = next == matches.end() ? matches.front() : *next;
    repaint(level);
}

// The deepest level and item under a screen point; depth -1 when outside all.
std::pair<int, int> hitTest(const Tracking& t, POINT screen) {
    for (int d = static_cast<int>(t.levels.size()) - 1; d >= 0; --d) {
        const Level& level = *t.levels[d];
        RECT frame;
        GetWindowRect(level.window, &frame);
        if (!PtInRect(&frame, screen)) continue;
        POINT p{screen.x - frame.left, screen.y - frame.top};
        for (std::size_t k = 0; k < level.rects.size(); ++k)
            if (PtInRect(&level.rects[k], p)) return {d, static_cast<int>(k)};
        return {d, -1};
    }
    return {-1, -1};
}

void handleMouse(Tracking& t, const MSG& msg) {
    POINT screen{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (msg.message == WM_MOUSEWHEEL) return;
    ClientToScreen(msg.hwnd, &screen);
    auto [depth, item] = hitTest(t, screen);
    switch (msg.message) {
        case WM_MOUSEMOVE:
            if (depth < 0) return;
            {
                Level& level = *t.levels[depth];
                if (item >= 0 && !selectable(level.items[item])) item = -1;
                if (item >= 0) t.armed = true;
                if (level.hot != item) {
                    level.hot = item;
                    repaint(level);
                }
                if (item >= 0 && (level.items[item].flags & MF_POPUP)) {
                    openSubmenu(t, depth, item);
                } else if (item >= 0 && static_cast<std::size_t>(depth) + 1 < t.levels.size()) {
                    closeLevelsAbove(t, depth + 1);
                }
            }
            return;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (depth < 0)
                t.ended = true;  // a click outside closes the menu
            else
                t.armed = true;
            return;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (msg.message == WM_RBUTTONUP && !(t.flags & TPM_RIGHTBUTTON)) return;
            if (depth >= 0 && item >= 0 && t.armed) activate(t, depth, item);
            return;
        default:
            return;
    }
}

bool filter(Tracking& t, MSG& msg) {
    if (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSCHAR) {
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            if (msg.wParam == VK_MENU || msg.wParam == VK_F1 + 9) {
                t.ended = true;
            } else {
                handleKey(t, msg.wParam);
                // Letters become characters for the access keys.
                TranslateMessage(&msg);
            }
        } else if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
            handleCharacter(t, static_cast<char16_t>(msg.wParam));
        }
        return true;  // the menu takes the keyboard while it is open
    }
    return false;  // the mouse reaches the level windows through the capture
}

// The enabled command ids of a menu tree, for checking a responder's answer.
bool offers(HMENU menu, UINT id) {
    std::vector<HMENU> pending{menu};
    for (std::size_t k = 0; k < pending.size() && k < 4096; ++k)
        for (const MenuItem& i : menuItems(pending[k])) {
            if (i.flags & MF_POPUP) {
                if (usable(i)) pending.push_back(i.submenu);
            } else if (usable(i) && i.id == id) {
                return true;
            }
        }
    return false;
}

headless::MenuShown describe(const Level& level) {
    headless::MenuShown shown;
    shown.popup = level.window;
    RECT frame;
    GetWindowRect(level.window, &frame);
    shown.at = {frame.left, frame.top};
    for (const MenuItem& i : level.items) {
        headless::MenuItemShown s;
        s.text = i.text;
        s.separator = (i.flags & MF_SEPARATOR) != 0;
        s.submenu = (i.flags & MF_POPUP) != 0;
        s.id = s.separator || s.submenu ? 0 : i.id;
        s.checked = (i.flags & MF_CHECKED) != 0;
        s.enabled = usable(i) || s.separator;
        shown.items.push_back(s);
    }
    return shown;
}

}  // namespace

namespace headless {

void setMenuResponder(MenuResponder responder) {
    std::lock_guard lock(hooks().mutex);
    hooks().responder = std::move(responder);
}

}  // namespace headless

}  // namespace veltrix::platform

using namespace veltrix::platform;

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    if (!IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!menuExists(menu) || current || !levelClass()) return FALSE;  // one menu per thread at a time
    Tracking t;
    t.owner = owner;
    t.flags = flags;
    current = &t;
    bool opened = openLevel(t, menu, {x, y}, flags, -1, -1);
    if (opened) {
        SetCapture(t.levels.front()->window);
        if (isHeadlessDisplay()) {
            headless::MenuResponder responder;
            {
                std::lock_guard lock(hooks().mutex);
                responder = hooks().responder;
            }
            int answer = responder ? responder(describe(*t.levels.front())) : 0;
            if (answer != headless::kLetItRun) {
                t.ended = true;
                t.chosen = answer > 0 && offers(menu, static_cast<UINT>(answer)) ? static_cast<UINT>(answer) : 0;
            }
        }
        runModalLoop([&] { return t.ended || t.levels.empty() || !IsWindow(t.levels.front()->window); },
                     [&](MSG& msg) { return filter(t, msg); });
    }
    if (GetCapture() && !t.levels.empty() && GetCapture() == t.levels.front()->window) ReleaseCapture();
    closeLevelsAbove(t, 0);
    current = nullptr;
    UINT chosen = t.ended ? t.chosen : 0;
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
    if (chosen && IsWindow(owner)) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return opened ? TRUE : FALSE;
}
