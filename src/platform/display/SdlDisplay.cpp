#include "platform/display/SdlDisplay.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/api/Window.h"
#include "platform/common/Unicode.h"
#include "platform/common/UniqueC.h"
#include "platform/display/SessionSignals.h"
#include "platform/display/X11Keyboard.h"
#include "platform/gdi/CairoHandles.h"

namespace veltrix::platform {

namespace {

// SDL speaks UTF-8; the layer's one converter turns malformed input and lone
// surrogates into U+FFFD rather than into bytes no other program reads.
std::string toUtf8(const std::u16string& text) { return veltrix::unicode::utf16ToUtf8(text); }

std::u16string fromUtf8(const char* s) { return s ? veltrix::unicode::utf8ToUtf16(s) : std::u16string(); }

// SDL key symbols to Windows virtual-key codes (drivers other than X11).
int virtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    switch (key) {
        case SDLK_KP_0:
            return VK_NUMPAD0;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_LSHIFT:
            return VK_LSHIFT;
        case SDLK_RSHIFT:
            return VK_RSHIFT;
        case SDLK_LCTRL:
            return VK_LCONTROL;
        case SDLK_RCTRL:
            return VK_RCONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        case SDLK_PAUSE:
            return VK_PAUSE;
        case SDLK_CAPSLOCK:
            return VK_CAPITAL;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_END:
            return VK_END;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_INSERT:
            return VK_INSERT;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_KP_MULTIPLY:
            return VK_MULTIPLY;
        case SDLK_KP_PLUS:
            return VK_ADD;
        case SDLK_KP_MINUS:
            return VK_SUBTRACT;
        case SDLK_KP_PERIOD:
            return VK_DECIMAL;
        case SDLK_KP_DIVIDE:
            return VK_DIVIDE;
        case SDLK_SEMICOLON:
            return VK_OEM_1;
        case SDLK_EQUALS:
            return VK_OEM_PLUS;
        case SDLK_COMMA:
            return VK_OEM_COMMA;
        case SDLK_MINUS:
            return VK_OEM_MINUS;
        case SDLK_PERIOD:
            return VK_OEM_PERIOD;
        case SDLK_SLASH:
            return VK_OEM_2;
        default:
            return 0;
    }
}

MouseButton buttonOf(Uint8 b) {
    switch (b) {
        case SDL_BUTTON_LEFT:
            return MouseButton::Left;
        case SDL_BUTTON_RIGHT:
            return MouseButton::Right;
        case SDL_BUTTON_MIDDLE:
            return MouseButton::Middle;
        default:
            return MouseButton::None;
    }
}

// SDL counts a composition's caret in code points; ours counts UTF-16 units.
int unitsBefore(const std::u16string& text, int codePoints) {
    int units = 0;
    for (int points = 0; units < static_cast<int>(text.size()) && points < codePoints; ++points)
        units += veltrix::unicode::isHighSurrogate(text[units]) ? 2 : 1;
    return units;
}

}  // namespace

void SdlDisplay::WindowDeleter::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }

void SdlDisplay::CursorDeleter::operator()(SDL_Cursor* cursor) const { SDL_FreeCursor(cursor); }

namespace {

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

}  // namespace

std::unique_ptr<SdlDisplay> SdlDisplay::open(std::string& whyNot) {
    // Without a display to name, SDL would try the default Wayland socket
    // (and have libwayland complain) and then settle for its invisible
    // "offscreen" driver; a driver asked for by name is the user's choice.
    const bool driverAsked = isSet("SDL_VIDEODRIVER");
    if (!driverAsked && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
        whyNot.clear();
        return nullptr;
    }
    // Only the kinds of display that are named: SDL would otherwise try the
    // others too, and libwayland complains on the standard error when it
    // finds no socket.
    if (!driverAsked && !(isSet("DISPLAY") && isSet("WAYLAND_DISPLAY")))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, isSet("DISPLAY") ? "x11" : "wayland");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Ending signals are the display's own (SessionSignals.h); SDL's handlers
    // would swallow them into an SDL_QUIT.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Windows closes a program's windows one by one; closing the last is no quit request.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Compositions of any length, not cut at 32 bytes.
    SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
    // The window framebuffer without OpenGL: on a display without a GPU the
    // accelerated one loads a software OpenGL that costs twice the processor
    // time and more than twice the memory while the player plays, and it
    // makes the window again (a second mapping) the first time it is drawn.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        whyNot = SDL_GetError();
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    const std::string name = driver ? driver : "";
    if (!driverAsked && (name == "offscreen" || name == "dummy")) {
        whyNot = "no display could be opened, only SDL's \"" + name + "\" driver, which shows nothing";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    std::unique_ptr<SdlDisplay> d(new SdlDisplay);
    d->wakeEvent_ = SDL_RegisterEvents(1);
    d->owner_ = std::this_thread::get_id();
    d->x11Driver_ = name == "x11";
    if (d->x11Driver_) SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    SDL_Rect r;
    if (SDL_GetDisplayBounds(0, &r) == 0) d->monitor_ = {r.x, r.y, r.x + r.w, r.y + r.h};
    SDL_StopTextInput();
    session::installSignalHandlers();
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
    windows_.clear();
    cursors_.clear();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

SdlDisplay::Mirror* SdlDisplay::mirrorOf(HWND window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
}

void SdlDisplay::createWindow(HWND window, const RECT& screen, DWORD style, DWORD exStyle) {
    if (deferred([=, this] { createWindow(window, screen, style, exStyle); })) return;
    Mirror& m = windows_[window];
    m.screen = screen;
    m.style = style;
    m.exStyle = exStyle;
}

void SdlDisplay::realize(Mirror& m) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    const bool popup = (m.style & WS_POPUP) != 0;
    if (popup && !(m.style & WS_CAPTION)) flags |= SDL_WINDOW_BORDERLESS;
    if (m.exStyle & WS_EX_TOOLWINDOW) flags |= popup ? SDL_WINDOW_TOOLTIP : SDL_WINDOW_UTILITY;
    if (m.style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    if (m.exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    const int w = std::max(1, static_cast<int>(m.screen.right - m.screen.left));
    const int h = std::max(1, static_cast<int>(m.screen.bottom - m.screen.top));
    m.sdl.reset(SDL_CreateWindow(toUtf8(m.title).c_str(), m.screen.left, m.screen.top, w, h, flags));
    if (!m.sdl || !x11Driver_) return;
    m.xWindow = x11::windowIdOf(m.sdl.get());
    if (!x11_) {
        x11_ = x11::displayOf(m.sdl.get());
        x11::detectAutoRepeat(x11_);
    }
}

void SdlDisplay::handOnFocus(HWND leaving) {
    if (focused_ != leaving) {
        // The server may have given the leaving window the keyboard without
        // this display's record knowing (seen after 200 dialogs opened and
        // closed at typing speed: X's focus fell to no window and the next
        // keys were lost). Said again, so the keyboard stays with a window.
        Mirror* m = focused_ ? mirrorOf(focused_) : nullptr;
        if (m && m->visible && m->sdl) SDL_SetWindowInputFocus(m->sdl.get());
        return;
    }
    focused_ = nullptr;
    for (auto it = focusHistory_.rbegin(); it != focusHistory_.rend(); ++it) {
        if (*it == leaving) continue;
        Mirror* m = mirrorOf(*it);
        if (!m || !m->visible || !m->sdl) continue;
        SDL_SetWindowInputFocus(m->sdl.get());
        focused_ = *it;
        return;
    }
}

void SdlDisplay::destroyWindow(HWND window) {
    if (deferred([=, this] { destroyWindow(window); })) return;
    handOnFocus(window);
    focusHistory_.erase(std::remove(focusHistory_.begin(), focusHistory_.end(), window), focusHistory_.end());
    windows_.erase(window);
}

void SdlDisplay::showWindow(HWND window, bool visible) {
    if (deferred([=, this] { showWindow(window, visible); })) return;
    Mirror* m = mirrorOf(window);
    if (!m || m->visible == visible) return;
    if (!visible) {
        handOnFocus(window);
        m->visible = false;
        if (m->sdl) SDL_HideWindow(m->sdl.get());
        return;
    }
    if (!m->sdl) realize(*m);
    if (!m->sdl) return;
    m->visible = true;
    SDL_ShowWindow(m->sdl.get());
}

void SdlDisplay::moveWindow(HWND window, const RECT& screen) {
    if (deferred([=, this] { moveWindow(window, screen); })) return;
    Mirror* m = mirrorOf(window);
    if (!m) return;
    m->screen = screen;
    if (!m->sdl) return;
    int x, y, w, h;
    SDL_GetWindowPosition(m->sdl.get(), &x, &y);
    SDL_GetWindowSize(m->sdl.get(), &w, &h);
    if (x != screen.left || y != screen.top) SDL_SetWindowPosition(m->sdl.get(), screen.left, screen.top);
    const int nw = std::max(1, static_cast<int>(screen.right - screen.left));
    const int nh = std::max(1, static_cast<int>(screen.bottom - screen.top));
    if (w != nw || h != nh) SDL_SetWindowSize(m->sdl.get(), nw, nh);
}

void SdlDisplay::setTitle(HWND window, const std::u16string& title) {
    if (deferred([=, this] { setTitle(window, title); })) return;
    Mirror* m = mirrorOf(window);
    if (!m) return;
    m->title = title;
    if (m->sdl) SDL_SetWindowTitle(m->sdl.get(), toUtf8(title).c_str());
}

std::string SdlDisplay::desktopHandle(HWND window) {
    if (std::this_thread::get_id() != owner_) return {};
    Mirror* m = mirrorOf(window);
    const unsigned long id = m && m->sdl ? x11::windowIdOf(m->sdl.get()) : 0;
    if (!id) return {};
    char text[32];
    std::snprintf(text, sizeof text, "x11:%lx", id);
    return text;
}

void SdlDisplay::activateWindow(HWND window) {
    if (deferred([=, this] { activateWindow(window); })) return;
    Mirror* m = mirrorOf(window);
    if (!m || !m->visible || !m->sdl) return;
    focusHistory_.erase(std::remove(focusHistory_.begin(), focusHistory_.end(), window), focusHistory_.end());
    focusHistory_.push_back(window);
    if (focused_ == window && SDL_GetKeyboardFocus() == m->sdl.get()) return;
    focused_ = window;
    SDL_RaiseWindow(m->sdl.get());
    // Without a window manager nobody answers the raise request's focus part.
    SDL_SetWindowInputFocus(m->sdl.get());
}

void SdlDisplay::present(HWND window, cairo_surface_t* picture, const std::vector<RECT>& dirty) {
    if (dirty.empty()) return;
    if (std::this_thread::get_id() != owner_) {
        // The picture may change or go before the display thread gets to it:
        // the dirty part is copied now.
        RECT bounds = dirty.front();
        for (const RECT& r : dirty) UnionRect(&bounds, &bounds, &r);
        const int w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
        if (w <= 0 || h <= 0) return;
        std::shared_ptr<cairo_surface_t> copy =
            UniqueCairoSurface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
        {
            const UniqueCairo cr(cairo_create(copy.get()));
            cairo_set_source_surface(cr.get(), picture, -bounds.left, -bounds.top);
            cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
            cairo_paint(cr.get());
        }
        const POINT origin{bounds.left, bounds.top};
        deferred([=, this] { blit(window, copy.get(), origin, dirty); });
        return;
    }
    blit(window, picture, POINT{0, 0}, dirty);
}

void SdlDisplay::blit(HWND window, cairo_surface_t* picture, POINT origin, const std::vector<RECT>& dirty) {
    Mirror* m = mirrorOf(window);
    if (!m || !m->visible || !m->sdl) return;
    SDL_Surface* target = SDL_GetWindowSurface(m->sdl.get());
    if (!target) return;
    cairo_surface_flush(picture);
    const UniqueC<SDL_Surface, SDL_FreeSurface> source(SDL_CreateRGBSurfaceWithFormatFrom(
        cairo_image_surface_get_data(picture), cairo_image_surface_get_width(picture),
        cairo_image_surface_get_height(picture), 32, cairo_image_surface_get_stride(picture), SDL_PIXELFORMAT_RGB888));
    if (!source) return;
    std::vector<SDL_Rect> updated;
    updated.reserve(dirty.size());
    for (const RECT& r : dirty) {
        SDL_Rect from{r.left - origin.x, r.top - origin.y, r.right - r.left, r.bottom - r.top};
        SDL_Rect to{r.left, r.top, from.w, from.h};
        const SDL_Rect all{0, 0, target->w, target->h};
        SDL_Rect clipped;
        if (!SDL_IntersectRect(&to, &all, &clipped)) continue;
        from.x += clipped.x - to.x;
        from.y += clipped.y - to.y;
        from.w = clipped.w;
        from.h = clipped.h;
        SDL_BlitSurface(source.get(), &from, target, &clipped);
        updated.push_back(clipped);
    }
    if (!updated.empty()) SDL_UpdateWindowSurfaceRects(m->sdl.get(), updated.data(), static_cast<int>(updated.size()));
}

HWND SdlDisplay::windowOf(unsigned int sdlId) const {
    SDL_Window* w = SDL_GetWindowFromID(sdlId);
    if (!w) return nullptr;
    for (const auto& [h, m] : windows_)
        if (m.sdl.get() == w) return h;
    return nullptr;
}

bool SdlDisplay::ownsXWindow(unsigned long xWindow) const {
    for (const auto& [h, m] : windows_)
        if (m.xWindow == xWindow) return true;
    return false;
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
        translate(e, out);
        lastWasText_ = e.type == SDL_TEXTINPUT;
    }
    if (session::takeSignal()) {
        RawEvent r;
        r.type = RawEventType::EndSession;
        r.unattended = true;
        out.push_back(r);
    }
}

void SdlDisplay::translate(const SDL_Event& e, std::vector<RawEvent>& out) {
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
        case SDL_SYSWMEVENT:
            translateX11Key(e, out);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (x11Driver_) break;  // the raw X event of this key has been handed on already
            r.type = e.type == SDL_KEYDOWN ? RawEventType::KeyDown : RawEventType::KeyUp;
            r.virtualKey = virtualKeyOf(e.key.keysym.sym);
            if (r.virtualKey) out.push_back(r);
            break;
        case SDL_TEXTINPUT:
            // SDL cuts a long committed text into pieces of 32 bytes, queued one
            // after the other: they are one text.
            if (lastWasText_ && !out.empty() && out.back().type == RawEventType::Text) {
                out.back().text += fromUtf8(e.text.text);
                break;
            }
            r.type = RawEventType::Text;
            r.text = fromUtf8(e.text.text);
            out.push_back(r);
            break;
        case SDL_TEXTEDITING:
            r.type = RawEventType::Composition;
            r.text = fromUtf8(e.edit.text);
            r.cursor = unitsBefore(r.text, e.edit.start);
            out.push_back(r);
            break;
        case SDL_TEXTEDITING_EXT:
            r.type = RawEventType::Composition;
            r.text = fromUtf8(e.editExt.text);
            r.cursor = unitsBefore(r.text, e.editExt.start);
            SDL_free(e.editExt.text);
            out.push_back(r);
            break;
        case SDL_DROPBEGIN:
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
        case SDL_DROPCOMPLETE:
            translateDrop(e, out);
            break;
        case SDL_WINDOWEVENT:
            translateWindowEvent(e, out);
            break;
        case SDL_QUIT:
            // The desktop asks the program to quit; someone may still answer.
            r.type = RawEventType::EndSession;
            r.unattended = false;
            out.push_back(r);
            break;
        default:
            break;
    }
}

void SdlDisplay::translateX11Key(const SDL_Event& e, std::vector<RawEvent>& out) {
    x11::Key key;
    if (!e.syswm.msg || !x11::keyOf(*e.syswm.msg, key) || !key.virtualKey) return;
    RawEvent r;
    r.type = key.down ? RawEventType::KeyDown : RawEventType::KeyUp;
    r.virtualKey = key.virtualKey;
    if (key.down && textInput_ && ownsXWindow(key.window)) {
        // SDL queues a key's own event right behind the raw one unless the
        // input method took the key for its composition.
        SDL_Event next;
        const bool keyFollows =
            SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 && next.type == SDL_KEYDOWN;
        if (!keyFollows) r.virtualKey = VK_PROCESSKEY;
    }
    out.push_back(r);
}

void SdlDisplay::translateWindowEvent(const SDL_Event& e, std::vector<RawEvent>& out) {
    RawEvent r;
    r.window = windowOf(e.window.windowID);
    if (!r.window) return;
    switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            r.type = RawEventType::Close;
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            r.type = RawEventType::FocusGained;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            r.type = RawEventType::FocusLost;
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            r.type = RawEventType::Expose;
            break;
        case SDL_WINDOWEVENT_MOVED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            SDL_Window* w = mirrorOf(r.window)->sdl.get();
            int x, y, cw, ch;
            SDL_GetWindowPosition(w, &x, &y);
            SDL_GetWindowSize(w, &cw, &ch);
            r.type = RawEventType::Geometry;
            r.rect = {x, y, x + cw, y + ch};
            break;
        }
        default:
            return;
    }
    out.push_back(r);
}

void SdlDisplay::translateDrop(const SDL_Event& e, std::vector<RawEvent>& out) {
    switch (e.type) {
        case SDL_DROPBEGIN:
            droppedFiles_.clear();
            droppedText_.clear();
            return;
        case SDL_DROPFILE:
            droppedFiles_.push_back(fromUtf8(e.drop.file));
            SDL_free(e.drop.file);
            return;
        case SDL_DROPTEXT:
            // SDL hands dropped text on line by line.
            if (!droppedText_.empty()) droppedText_ += u"\r\n";
            droppedText_ += fromUtf8(e.drop.file);
            SDL_free(e.drop.file);
            return;
        default:
            break;
    }
    RawEvent r;
    r.window = windowOf(e.drop.windowID);
    // SDL does not say where the drop was; the pointer is there now (the
    // window layer keeps the point inside the window named).
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    r.screen = {x, y};
    if (!droppedFiles_.empty()) {
        r.type = RawEventType::DropFiles;
        r.files = std::move(droppedFiles_);
        out.push_back(r);
    }
    if (!droppedText_.empty()) {
        r.type = RawEventType::DropText;
        r.files.clear();
        r.text = std::move(droppedText_);
        out.push_back(r);
    }
    droppedFiles_.clear();
    droppedText_.clear();
}

void SdlDisplay::wait(int timeoutMs) {
    if (!x11_) {
        sliceWait(timeoutMs);
        return;
    }
    SDL_PumpEvents();
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) || x11::eventsQueued(x11_)) return;
    const int fds[] = {wake_.fd(), session::signalFd(), x11::connectionFd(x11_)};
    waitReadable(fds, 3, timeoutMs);
    wake_.drain();
}

void SdlDisplay::sliceWait(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    const int fds[] = {wake_.fd(), session::signalFd()};
    for (;;) {
        if (waitReadable(fds, 2, 0)) {
            wake_.drain();
            return;
        }
        int slice = 50;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0) return;
            slice = static_cast<int>(std::min<long long>(left, slice));
        }
        if (SDL_WaitEventTimeout(nullptr, slice)) return;
    }
}

void SdlDisplay::wake() {
    wake_.notify();
    if (!x11_) {
        // SDL's own wait does not watch the pipe.
        SDL_Event e{};
        e.type = wakeEvent_;
        SDL_PushEvent(&e);
    }
}

RECT SdlDisplay::monitorRect() { return monitor_; }

void SdlDisplay::setCursor(CursorShape shape) {
    if (deferred([=, this] { setCursor(shape); })) return;
    static constexpr SDL_SystemCursor kMap[] = {
        SDL_SYSTEM_CURSOR_ARROW,     SDL_SYSTEM_CURSOR_IBEAM,  SDL_SYSTEM_CURSOR_WAIT,
        SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_SIZEWE, SDL_SYSTEM_CURSOR_SIZENS,
        SDL_SYSTEM_CURSOR_SIZEALL,   SDL_SYSTEM_CURSOR_NO,     SDL_SYSTEM_CURSOR_HAND,
    };
    const int index = static_cast<int>(shape);
    UniqueCursor& c = cursors_[index];
    if (!c) c.reset(SDL_CreateSystemCursor(kMap[index]));
    if (c) SDL_SetCursor(c.get());
}

std::u16string SdlDisplay::clipboardText() {
    char* text = SDL_GetClipboardText();
    std::u16string out = fromUtf8(text);
    SDL_free(text);
    return out;
}

void SdlDisplay::setClipboardText(const std::u16string& text) { SDL_SetClipboardText(toUtf8(text).c_str()); }

void SdlDisplay::startTextInput(HWND topLevel, const RECT& caret) {
    if (deferred([=, this] { startTextInput(topLevel, caret); })) return;
    // SDL places the candidate window relative to the window with the keyboard.
    POINT origin{0, 0};
    if (Mirror* m = mirrorOf(topLevel)) origin = {m->screen.left, m->screen.top};
    SDL_Rect r{caret.left - origin.x, caret.top - origin.y, caret.right - caret.left, caret.bottom - caret.top};
    SDL_SetTextInputRect(&r);
    SDL_StartTextInput();
    textInput_ = true;
}

void SdlDisplay::stopTextInput() {
    if (deferred([this] { stopTextInput(); })) return;
    SDL_StopTextInput();
    textInput_ = false;
}

}  // namespace veltrix::platform
