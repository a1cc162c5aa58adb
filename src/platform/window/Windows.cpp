// Window classes, creation and destruction, window data, the tree and text.
#include <algorithm>
#include <cstring>

#include "platform/controls/Controls.h"
#include "platform/controls/SystemClasses.h"
#include "platform/display/Display.h"
#include "platform/window/WindowManager.h"

using namespace veltrix::platform;

namespace {

std::u16string textOf(LPCWSTR s) { return s ? std::u16string(s) : std::u16string(); }

// A class "name" may also be an atom in the pointer's low word, as on Windows.
std::u16string classNameOf(LPCWSTR name, const WindowState& m) {
    auto value = reinterpret_cast<std::uintptr_t>(name);
    if (value != 0 && value < 0x10000) {
        std::size_t index = value - 0xC000;
        if (index < m.classes.size()) return m.classes[index]->name;
        return {};
    }
    return textOf(name);
}

void destroyPicture(Window& w) { w.picture.reset(); }

}  // namespace

ATOM RegisterClassExW(const WNDCLASSEXW* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    std::u16string name = textOf(windowClass->lpszClassName);
    if (name.empty() || m.findClass(name)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto c = std::make_shared<WindowClass>();
    c->name = name;
    c->info = *windowClass;
    c->info.lpszClassName = nullptr;
    c->info.lpszMenuName = nullptr;
    m.classes.push_back(c);
    return static_cast<ATOM>(0xC000 + m.classes.size() - 1);
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    auto c = m.findClass(classNameOf(className, m));
    if (!c) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    // The atom stays reserved (slots keep their index); the name is freed.
    c->name.clear();
    return TRUE;
}

BOOL GetClassInfoExW(HINSTANCE, LPCWSTR className, WNDCLASSEXW* out) {
    controls::registerSystemClasses();
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    auto c = m.findClass(classNameOf(className, m));
    if (!c || !out) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *out = c->info;
    out->lpszClassName = className;
    return TRUE;
}

int GetClassNameW(HWND window, LPWSTR buffer, int size) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w || !buffer || size <= 0) return 0;
    int n = std::min<int>(size - 1, static_cast<int>(w->windowClass->name.size()));
    std::copy_n(w->windowClass->name.data(), n, buffer);
    buffer[n] = 0;
    return n;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    ensureSystemClass(className);
    // The system controls exist before the first window, as on Windows.
    controls::registerSystemClasses();
    HWND handle = nullptr;
    std::u16string name;
    bool topLevel = !(style & WS_CHILD);
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        name = classNameOf(className, m);
        auto c = m.findClass(name);
        if (!c) {
            SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
            return nullptr;
        }
        Window* parentWindow = parent ? m.find(parent) : nullptr;
        if (parent && !parentWindow) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (!topLevel && !parentWindow) {
            SetLastError(1406);  // ERROR_TLW_WITH_WSCHILD
            return nullptr;
        }
        auto w = std::make_unique<Window>();
        w->windowClass = c;
        w->proc = c->info.lpfnWndProc;
        w->style = style & ~WS_VISIBLE;
        if (topLevel && !(style & WS_POPUP)) w->style |= WS_CLIPSIBLINGS | WS_CAPTION;
        w->exStyle = exStyle;
        w->instance = instance;
        w->text = textOf(windowName);
        w->extra.assign(static_cast<std::size_t>(std::max(0, c->info.cbWndExtra)), 0);
        w->queue = m.currentQueue();
        if (topLevel) {
            // The parent argument of a top-level window names its owner, which
            // is always a top-level window.
            w->owner = parentWindow ? m.topLevelOf(parentWindow)->handle : nullptr;
            if (x == CW_USEDEFAULT) x = y = 100;
            if (width == CW_USEDEFAULT) {
                width = 800;
                height = 600;
            }
        } else {
            w->parent = parent;
            w->id = reinterpret_cast<LONG_PTR>(menu);
            if (x == CW_USEDEFAULT) x = y = 0;
            if (width == CW_USEDEFAULT) width = height = 0;
        }
        w->rect = {x, y, x + std::max(0, width), y + std::max(0, height)};
        m.recomputeClient(*w);
        Window* raw = w.get();
        handle = reinterpret_cast<HWND>(m.windows.add(std::move(w)));
        raw->handle = handle;
        if (topLevel) {
            m.topLevels.insert(m.topLevels.begin(), handle);
            m.ensurePicture(*raw);
            if (!m.displayThreadSet) {
                m.displayThreadSet = true;
                m.displayThread = std::this_thread::get_id();
                raw->queue->isDisplayThread = true;
            }
        } else {
            parentWindow->children.push_back(handle);
        }
    }
    if (topLevel) {
        RECT screen;
        {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            Window* w = m.find(handle);
            POINT o = m.clientOrigin(*w);
            screen = {o.x, o.y, o.x + w->client.right - w->client.left, o.y + w->client.bottom - w->client.top};
        }
        display().createWindow(handle, screen, style, exStyle);
        display().setTitle(handle, textOf(windowName));
    }

    CREATESTRUCTW cs{param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
                     windowName, className, exStyle};
    auto fail = [&]() -> HWND {
        DestroyWindow(handle);
        return nullptr;
    };
    if (topLevel) {
        MINMAXINFO info{};
        info.ptMaxTrackSize = {16384, 16384};
        sendTo(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    }
    if (!sendTo(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) return fail();
    if (!IsWindow(handle)) return nullptr;
    NCCALCSIZE_PARAMS calc{};
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        calc.rgrc[0] = m.find(handle)->rect;
    }
    sendTo(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&calc.rgrc[0]));
    if (sendTo(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) return fail();
    RECT client{};
    RECT rect{};
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(handle);
        if (!w) return nullptr;
        client = w->client;
        rect = w->rect;
    }
    sendTo(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
    sendTo(handle, WM_MOVE, 0, MAKELPARAM(rect.left + client.left, rect.top + client.top));
    if (!topLevel && !(exStyle & WS_EX_NOPARENTNOTIFY) && IsWindow(parent))
        sendTo(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, static_cast<int>(reinterpret_cast<LONG_PTR>(menu))),
               reinterpret_cast<LPARAM>(handle));
    if (!IsWindow(handle)) return nullptr;
    if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
    return IsWindow(handle) ? handle : nullptr;
}

namespace {

// Pre-order list of a window and its descendants.
void collect(WindowState& m, HWND h, std::vector<HWND>& out) {
    std::vector<HWND> stack{h};
    while (!stack.empty()) {
        HWND cur = stack.back();
        stack.pop_back();
        Window* w = m.find(cur);
        if (!w) continue;
        out.push_back(cur);
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) stack.push_back(*it);
    }
}

}  // namespace

BOOL DestroyWindow(HWND window) {
    std::vector<HWND> owned;
    HWND parent = nullptr;
    LONG_PTR id = 0;
    bool notifyParent = false;
    bool visible = false;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (w->queue->thread != std::this_thread::get_id()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (w->destroying) return TRUE;
        w->destroying = true;
        parent = w->parent;
        id = w->id;
        notifyParent = parent && !(w->exStyle & WS_EX_NOPARENTNOTIFY);
        visible = (w->style & WS_VISIBLE) != 0;
        if (w->isTopLevel())
            m.windows.forEach([&](const Window& o) {
                if (o.owner == window && !o.destroying) owned.push_back(o.handle);
            });
    }
    if (notifyParent && IsWindow(parent))
        sendTo(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, static_cast<int>(id)), reinterpret_cast<LPARAM>(window));
    for (HWND o : owned) DestroyWindow(o);
    if (visible)
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    forgetWindowInput(window);

    std::vector<HWND> tree;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        collect(m, window, tree);
        for (HWND h : tree)
            if (Window* w = m.find(h)) w->destroying = true;
    }
    for (HWND h : tree) sendTo(h, WM_DESTROY, 0, 0);
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) sendTo(*it, WM_NCDESTROY, 0, 0);

    std::vector<std::unique_ptr<Window>> dead;
    bool topLevel = false;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        topLevel = w && w->isTopLevel();
        if (w) {
            auto& siblings = m.siblingsOf(*w);
            siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
        }
        for (HWND h : tree) {
            Window* d = m.find(h);
            if (!d) continue;
            auto& timers = d->queue->timers;
            timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == h; }),
                         timers.end());
            if (d->queue->focus == h) d->queue->focus = nullptr;
            if (d->queue->active == h) d->queue->active = nullptr;
            m.windows.forEach([&](const Window& o) {
                if (o.lastFocus == h) const_cast<Window&>(o).lastFocus = nullptr;
            });
            dead.push_back(m.windows.remove(reinterpret_cast<std::uintptr_t>(h)));
        }
    }
    if (topLevel) display().destroyWindow(window);
    for (auto& d : dead)
        if (d) destroyPicture(*d);
    return TRUE;
}

BOOL IsWindow(HWND window) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    return m.find(window) ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND window) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    return w && w->parent && m.isDescendant(parent, w->parent) ? TRUE : FALSE;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!proc) return 0;
    return proc(window, message, wParam, lParam);
}

LONG_PTR GetWindowLongPtrW(HWND window, int index) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w->instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
        case GWLP_ID:
            return w->id;
        case GWL_STYLE:
            return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(w->exStyle);
        case GWLP_USERDATA:
            return w->userData;
        default:
            if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
                LONG_PTR v;
                std::memcpy(&v, w->extra.data() + index, sizeof v);
                return v;
            }
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        LONG_PTR old = GetWindowLongPtrW(window, index);
        if (!IsWindow(window)) return 0;
        struct {
            DWORD styleOld;
            DWORD styleNew;
        } change{static_cast<DWORD>(old), static_cast<DWORD>(value)};
        sendTo(window, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
        {
            auto lock = WindowManager::lock();
            WindowState& m = *lock;
            Window* w = m.find(window);
            if (!w) return 0;
            if (index == GWL_STYLE) {
                w->style = change.styleNew;
            } else {
                w->exStyle = change.styleNew;
            }
            m.recomputeClient(*w);
        }
        sendTo(window, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
        return old;
    }
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR old = 0;
    switch (index) {
        case GWLP_WNDPROC:
            old = reinterpret_cast<LONG_PTR>(w->proc);
            w->proc = reinterpret_cast<WNDPROC>(value);
            return old;
        case GWLP_HINSTANCE:
            old = reinterpret_cast<LONG_PTR>(w->instance);
            w->instance = reinterpret_cast<HINSTANCE>(value);
            return old;
        case GWLP_ID:
            old = w->id;
            w->id = value;
            return old;
        case GWLP_USERDATA:
            old = w->userData;
            w->userData = value;
            return old;
        case GWLP_HWNDPARENT:
            // Changes the owner of a top-level window, as on Windows.
            old = reinterpret_cast<LONG_PTR>(w->owner);
            if (!w->parent) w->owner = reinterpret_cast<HWND>(value);
            return old;
        default:
            if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
                std::memcpy(&old, w->extra.data() + index, sizeof old);
                std::memcpy(w->extra.data() + index, &value, sizeof value);
                return old;
            }
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
    }
}

LONG GetWindowLongW(HWND window, int index) { return static_cast<LONG>(GetWindowLongPtrW(window, index)); }
LONG SetWindowLongW(HWND window, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtrW(window, index, value));
}

DWORD GetClassLongPtrW(HWND window, int index) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w) return 0;
    if (index == -26) return w->windowClass->info.style;  // GCL_STYLE
    return 0;
}

HWND GetParent(HWND window) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w) return nullptr;
    if (w->parent) return w->parent;
    // A top-level window answers its owner only when it is a pop-up.
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND GetAncestor(HWND window, UINT flags) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w) return nullptr;
    if (flags == GA_PARENT) return w->parent;
    return m.topLevelOf(w)->handle;
}

HWND SetParent(HWND window, HWND newParent) {
    if (newParent == GetDesktopWindow()) newParent = nullptr;
    HWND old = nullptr;
    bool becameTopLevel = false;
    bool becameChild = false;
    bool visible = false;
    RECT screen{};
    DWORD style = 0, exStyle = 0;
    std::u16string title;
    UniqueCairoSurface oldPicture;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        Window* p = newParent ? m.find(newParent) : nullptr;
        if (!w || (newParent && !p) || (newParent && m.isDescendant(window, newParent)) ||
            (p && p->queue != w->queue)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        old = w->parent;
        if (old == newParent) return old ? old : GetDesktopWindow();
        becameTopLevel = !p;
        becameChild = !w->parent;
        // The window keeps its place on the screen.
        RECT onScreen = m.screenRect(*w);
        auto& siblings = m.siblingsOf(*w);
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
        w->parent = newParent;
        if (p) {
            p->children.insert(p->children.begin(), window);
            POINT o = m.clientOrigin(*p);
            OffsetRect(&onScreen, -o.x, -o.y);
            w->owner = nullptr;
        } else {
            m.topLevels.insert(m.topLevels.begin(), window);
        }
        w->rect = onScreen;
        m.recomputeClient(*w);
        if (becameChild) {
            oldPicture = std::move(w->picture);
            w->presentPending.clear();
            auto q = w->queue;
            if (q->active == window) q->active = nullptr;
        }
        if (becameTopLevel) {
            m.ensurePicture(*w);
            POINT o = m.clientOrigin(*w);
            screen = {o.x, o.y, o.x + w->client.right - w->client.left, o.y + w->client.bottom - w->client.top};
        }
        visible = (w->style & WS_VISIBLE) != 0;
        style = w->style;
        exStyle = w->exStyle;
        title = w->text;
    }
    oldPicture.reset();
    if (becameChild) display().destroyWindow(window);
    if (becameTopLevel) {
        display().createWindow(window, screen, style, exStyle);
        display().setTitle(window, title);
        if (visible) display().showWindow(window, true);
    }
    if (old && IsWindowVisible(old)) InvalidateRect(old, nullptr, TRUE);
    if (IsWindowVisible(window)) InvalidateRect(window, nullptr, TRUE);
    return old ? old : GetDesktopWindow();
}

HWND GetWindow(HWND window, UINT command) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w) return nullptr;
    if (command == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (command == GW_OWNER) return w->owner;
    auto& siblings = m.siblingsOf(*w);
    auto it = std::find(siblings.begin(), siblings.end(), window);
    switch (command) {
        case GW_HWNDFIRST:
            return siblings.front();
        case GW_HWNDLAST:
            return siblings.back();
        case GW_HWNDNEXT:
            return it + 1 < siblings.end() ? *(it + 1) : nullptr;
        case GW_HWNDPREV:
            return it != siblings.begin() ? *(it - 1) : nullptr;
        default:
            return nullptr;
    }
}

HWND GetTopWindow(HWND window) {
    if (!window) {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        return m.topLevels.empty() ? nullptr : m.topLevels.front();
    }
    return GetWindow(window, GW_CHILD);
}

HWND GetDesktopWindow() {
    // A fixed value that is never a table handle.
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10010));
}

HWND GetDlgItem(HWND dialog, int id) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(dialog);
    if (!w) return nullptr;
    for (HWND c : w->children) {
        Window* child = m.find(c);
        if (child && child->id == id) return c;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND window) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    return w ? static_cast<int>(w->id) : 0;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param) {
    std::vector<HWND> all;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        collect(m, parent, all);
    }
    for (std::size_t i = 1; i < all.size(); ++i)
        if (IsWindow(all[i]) && !proc(all[i], param)) return FALSE;
    return TRUE;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    for (HWND h : m.topLevels) {
        Window* w = m.find(h);
        if (!w) continue;
        if (className && w->windowClass != m.findClass(classNameOf(className, m))) continue;
        if (windowName && w->text != windowName) continue;
        return h;
    }
    return nullptr;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    return sendTo(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) ? TRUE : FALSE;
}

int GetWindowTextW(HWND window, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    return static_cast<int>(sendTo(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND window) { return static_cast<int>(sendTo(window, WM_GETTEXTLENGTH, 0, 0)); }

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
    if (processId) *processId = 1;
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    return w ? w->queue->threadId : 0;
}
