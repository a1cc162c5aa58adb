#include "platform/display/SdlDisplay.h"

#include <SDL.h>

#include <string>

#include "platform/api/Window.h"
#include "platform/common/UniqueC.h"
#include "platform/common/Unicode.h"
#include "platform/gdi/CairoHandles.h"

namespace veltrix::platform {

namespace {

// SDL speaks UTF-8; the layer's one converter turns malformed input and lone
// surrogates into U+FFFD rather than into bytes no other program reads.
std::string toUtf8(const std::u16string& text) { return veltrix::unicode::utf16ToUtf8(text); }

std::u16string fromUtf8(const char* s) { return s ? veltrix::unicode::utf8ToUtf16(s) : std::u16string(); }

// SDL key symbols to Windows virtual-key codes.
int virtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT: return VK_LSHIFT;
    case SDLK_RSHIFT: return VK_RSHIFT;
    case SDLK_LCTRL: return VK_LCONTROL;
    case SDLK_RCTRL: return VK_RCONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    default: return 0;
    }
}

MouseButton buttonOf(Uint8 b) {
    switch (b) {
    case SDL_BUTTON_LEFT: return MouseButton::Left;
    case SDL_BUTTON_RIGHT: return MouseButton::Right;
    case SDL_BUTTON_MIDDLE: return MouseButton::Middle;
    default: return MouseButton::None;
    }
}

}  // namespace

std::unique_ptr<SdlDisplay> SdlDisplay::open() {
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    std::unique_ptr<SdlDisplay> d(new SdlDisplay);
    d->wakeEvent_ = SDL_RegisterEvents(1);
    d->owner_ = std::this_thread::get_id();
    SDL_Rect r;
    if (SDL_GetDisplayBounds(0, &r) == 0) d->monitor_ = {r.x, r.y, r.x + r.w, r.y + r.h};
    SDL_StopTextInput();
    return d;
}

bool SdlDisplay::deferred(std::function<void()> call) {
    if (std::this_thread::get_id() == owner_) return false;
    {
        std::lock_guard lock(deferredMutex_);
        deferred_.push_back(std::move(call));
    }
    wake();
    return true;
}

void SdlDisplay::runDeferred() {
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(deferredMutex_);
            if (deferred_.empty()) return;
            call = std::move(deferred_.front());
            deferred_.pop_front();
        }
        call();
    }
}

SdlDisplay::~SdlDisplay() {
    for (auto& [h, w] : windows_) SDL_DestroyWindow(w);
    for (auto& [shape, c] : cursors_) SDL_FreeCursor(c);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlDisplay::createWindow(HWND window, const RECT& screen, DWORD style, DWORD exStyle) {
    if (deferred([=, this] { createWindow(window, screen, style, exStyle); })) return;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    bool popup = (style & WS_POPUP) != 0;
    if (popup && !(style & WS_CAPTION)) flags |= SDL_WINDOW_BORDERLESS;
    if (exStyle & WS_EX_TOOLWINDOW) flags |= popup ? SDL_WINDOW_TOOLTIP : SDL_WINDOW_UTILITY;
    if (style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    if (exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    int w = std::max(1, static_cast<int>(screen.right - screen.left));
    int h = std::max(1, static_cast<int>(screen.bottom - screen.top));
    SDL_Window* sdl = SDL_CreateWindow("", screen.left, screen.top, w, h, flags);
    if (sdl) windows_[window] = sdl;
}

void SdlDisplay::destroyWindow(HWND window) {
    if (deferred([=, this] { destroyWindow(window); })) return;
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    SDL_DestroyWindow(it->second);
    windows_.erase(it);
}

void SdlDisplay::showWindow(HWND window, bool visible) {
    if (deferred([=, this] { showWindow(window, visible); })) return;
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    if (visible) {
        SDL_ShowWindow(it->second);
    } else {
        SDL_HideWindow(it->second);
    }
}

void SdlDisplay::moveWindow(HWND window, const RECT& screen) {
    if (deferred([=, this] { moveWindow(window, screen); })) return;
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    int x, y, w, h;
    SDL_GetWindowPosition(it->second, &x, &y);
    SDL_GetWindowSize(it->second, &w, &h);
    if (x != screen.left || y != screen.top) SDL_SetWindowPosition(it->second, screen.left, screen.top);
    int nw = std::max(1, static_cast<int>(screen.right - screen.left));
    int nh = std::max(1, static_cast<int>(screen.bottom - screen.top));
    if (w != nw || h != nh) SDL_SetWindowSize(it->second, nw, nh);
}

void SdlDisplay::setTitle(HWND window, const std::u16string& title) {
    if (deferred([=, this] { setTitle(window, title); })) return;
    auto it = windows_.find(window);
    if (it != windows_.end()) SDL_SetWindowTitle(it->second, toUtf8(title).c_str());
}

void SdlDisplay::activateWindow(HWND window) {
    if (deferred([=, this] { activateWindow(window); })) return;
    auto it = windows_.find(window);
    if (it == windows_.end() || !(SDL_GetWindowFlags(it->second) & SDL_WINDOW_SHOWN)) return;
    if (SDL_GetKeyboardFocus() == it->second) return;
    SDL_RaiseWindow(it->second);
    // Without a window manager nobody answers the raise request's focus part.
    SDL_SetWindowInputFocus(it->second);
}

void SdlDisplay::present(HWND window, cairo_surface_t* picture, const RECT& dirty) {
    if (std::this_thread::get_id() != owner_) {
        // The picture may change or go before the display thread gets to it.
        int w = dirty.right - dirty.left, h = dirty.bottom - dirty.top;
        if (w <= 0 || h <= 0) return;
        std::shared_ptr<cairo_surface_t> owned = UniqueCairoSurface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
        UniqueCairo cr(cairo_create(owned.get()));
        cairo_set_source_surface(cr.get(), picture, -dirty.left, -dirty.top);
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr.get());
        deferred([=, this] { blit(window, owned.get(), 0, 0, dirty); });
        return;
    }
    blit(window, picture, dirty.left, dirty.top, dirty);
}

void SdlDisplay::blit(HWND window, cairo_surface_t* picture, int sourceX, int sourceY, const RECT& dirty) {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    SDL_Surface* target = SDL_GetWindowSurface(it->second);
    if (!target) return;
    cairo_surface_flush(picture);
    const UniqueC<SDL_Surface, SDL_FreeSurface> source(SDL_CreateRGBSurfaceWithFormatFrom(
        cairo_image_surface_get_data(picture), cairo_image_surface_get_width(picture),
        cairo_image_surface_get_height(picture), 32, cairo_image_surface_get_stride(picture), SDL_PIXELFORMAT_RGB888));
    if (!source) return;
    SDL_Rect r{sourceX, sourceY, dirty.right - dirty.left, dirty.bottom - dirty.top};
    SDL_Rect d{dirty.left, dirty.top, r.w, r.h};
    SDL_BlitSurface(source.get(), &r, target, &d);
    SDL_UpdateWindowSurface(it->second);
}

HWND SdlDisplay::windowOf(unsigned int sdlId) const {
    SDL_Window* w = SDL_GetWindowFromID(sdlId);
    for (const auto& [h, sdl] : windows_)
        if (sdl == w) return h;
    return nullptr;
}

POINT SdlDisplay::toScreen(unsigned int sdlId, int x, int y) const {
    SDL_Window* w = SDL_GetWindowFromID(sdlId);
    int wx = 0, wy = 0;
    if (w) SDL_GetWindowPosition(w, &wx, &wy);
    return {wx + x, wy + y};
}

void SdlDisplay::pumpEvents(std::vector<RawEvent>& out) {
    runDeferred();
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        RawEvent r;
        switch (e.type) {
        case SDL_MOUSEMOTION:
            r.type = RawEventType::MouseMove;
            r.screen = toScreen(e.motion.windowID, e.motion.x, e.motion.y);
            out.push_back(r);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            r.type = e.type == SDL_MOUSEBUTTONDOWN ? RawEventType::MouseDown : RawEventType::MouseUp;
            r.screen = toScreen(e.button.windowID, e.button.x, e.button.y);
            r.button = buttonOf(e.button.button);
            if (r.button != MouseButton::None) out.push_back(r);
            break;
        case SDL_MOUSEWHEEL: {
            r.type = RawEventType::MouseWheel;
            int x, y;
            SDL_GetMouseState(&x, &y);
            r.screen = toScreen(e.wheel.windowID, x, y);
            r.wheelDelta = e.wheel.y * WHEEL_DELTA;
            if (r.wheelDelta) out.push_back(r);
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            r.type = e.type == SDL_KEYDOWN ? RawEventType::KeyDown : RawEventType::KeyUp;
            r.virtualKey = virtualKeyOf(e.key.keysym.sym);
            if (r.virtualKey) out.push_back(r);
            break;
        case SDL_TEXTINPUT:
            r.type = RawEventType::Text;
            r.text = fromUtf8(e.text.text);
            out.push_back(r);
            break;
        case SDL_TEXTEDITING: {
            r.type = RawEventType::Composition;
            r.text = fromUtf8(e.edit.text);
            // SDL counts the caret in code points; ours counts UTF-16 units.
            const std::u16string& before = r.text;
            int units = 0;
            for (int points = 0; units < static_cast<int>(before.size()) && points < e.edit.start; ++points)
                units += veltrix::unicode::isHighSurrogate(before[units]) ? 2 : 1;
            r.cursor = units;
            out.push_back(r);
            break;
        }
        case SDL_DROPFILE:
            // One event per file; they are handed on together at the end.
            droppedFiles_.push_back(fromUtf8(e.drop.file));
            SDL_free(e.drop.file);
            break;
        case SDL_DROPCOMPLETE:
            if (!droppedFiles_.empty()) {
                r.type = RawEventType::DropFiles;
                r.window = windowOf(e.drop.windowID);
                r.files = std::move(droppedFiles_);
                droppedFiles_.clear();
                out.push_back(r);
            }
            break;
        case SDL_WINDOWEVENT: {
            r.window = windowOf(e.window.windowID);
            if (!r.window) break;
            switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE: r.type = RawEventType::Close; out.push_back(r); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: r.type = RawEventType::FocusGained; out.push_back(r); break;
            case SDL_WINDOWEVENT_FOCUS_LOST: r.type = RawEventType::FocusLost; out.push_back(r); break;
            case SDL_WINDOWEVENT_MOVED:
            case SDL_WINDOWEVENT_SIZE_CHANGED: {
                SDL_Window* w = windows_[r.window];
                int x, y, cw, ch;
                SDL_GetWindowPosition(w, &x, &y);
                SDL_GetWindowSize(w, &cw, &ch);
                r.type = RawEventType::Geometry;
                r.rect = {x, y, x + cw, y + ch};
                out.push_back(r);
                break;
            }
            default: break;
            }
            break;
        }
        default: break;
        }
    }
}

void SdlDisplay::wait(int timeoutMs) {
    SDL_Event e;
    int got = timeoutMs < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeoutMs);
    // Keep real events for pumpEvents; the wake event has done its work.
    if (got && e.type != wakeEvent_) SDL_PushEvent(&e);
}

void SdlDisplay::wake() {
    SDL_Event e{};
    e.type = wakeEvent_;
    SDL_PushEvent(&e);
}

RECT SdlDisplay::monitorRect() { return monitor_; }

void SdlDisplay::setCursor(CursorShape shape) {
    if (deferred([=, this] { setCursor(shape); })) return;
    static constexpr SDL_SystemCursor kMap[] = {
        SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_IBEAM,  SDL_SYSTEM_CURSOR_WAIT,
        SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_SIZEWE, SDL_SYSTEM_CURSOR_SIZENS,
        SDL_SYSTEM_CURSOR_SIZEALL, SDL_SYSTEM_CURSOR_NO, SDL_SYSTEM_CURSOR_HAND,
    };
    int index = static_cast<int>(shape);
    SDL_Cursor*& c = cursors_[index];
    if (!c) c = SDL_CreateSystemCursor(kMap[index]);
    if (c) SDL_SetCursor(c);
}

std::u16string SdlDisplay::clipboardText() {
    char* text = SDL_GetClipboardText();
    std::u16string out = fromUtf8(text);
    SDL_free(text);
    return out;
}

void SdlDisplay::setClipboardText(const std::u16string& text) { SDL_SetClipboardText(toUtf8(text).c_str()); }

void SdlDisplay::startTextInput(const RECT& caret) {
    if (deferred([=, this] { startTextInput(caret); })) return;
    SDL_Rect r{caret.left, caret.top, caret.right - caret.left, caret.bottom - caret.top};
    SDL_SetTextInputRect(&r);
    SDL_StartTextInput();
}

void SdlDisplay::stopTextInput() {
    if (deferred([this] { stopTextInput(); })) return;
    SDL_StopTextInput();
}

}  // namespace veltrix::platform
