// The display on SDL2: one SDL window per top-level window (tool tips and
// menus as borderless pop-ups), SDL events as raw events, SDL text input for
// the input method, the SDL clipboard and system cursors.
//
// Order: raw events leave in exactly the order SDL queued them; a wait never
// takes an event off SDL's queue. On X11 the keys come from the raw X events
// (see X11Keyboard.h), so that focus changes can neither invent, drop nor
// reorder a key.
//
// Mapping: a top-level window gets its SDL window when it is first shown, at
// its place and size of that moment, so it is mapped once where it belongs.
// Pictures reach the screen through SDL's window framebuffer without OpenGL
// (X shared memory on X11), one rectangle per dirty rectangle.
//
// SDL's video calls belong to the thread that opened the display. A window
// made on another thread (a worker's message box) has its display calls
// queued and carried out in order by the display thread's next pump; its
// pictures are copied at the time of the call.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/display/Display.h"
#include "platform/display/WakePipe.h"

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace veltrix::platform {

class SdlDisplay : public Display {
public:
    // Null when there is no display: none named by DISPLAY, WAYLAND_DISPLAY
    // or SDL_VIDEODRIVER, or SDL2 could open none but its invisible drivers
    // (whyNot then says what SDL2 found).
    static std::unique_ptr<SdlDisplay> open(std::string& whyNot);
    ~SdlDisplay() override;

    void createWindow(HWND window, const RECT& screen, DWORD style, DWORD exStyle) override;
    void destroyWindow(HWND window) override;
    void showWindow(HWND window, bool visible) override;
    void moveWindow(HWND window, const RECT& screen) override;
    void setTitle(HWND window, const std::u16string& title) override;
    void activateWindow(HWND window) override;
    // How other programs on the desktop name the display window ("x11:" and
    // its id in hexadecimal, as the XDG portals take a parent window); empty
    // when there is none, or when asked from another thread than the display's.
    std::string desktopHandle(HWND window);
    void present(HWND window, cairo_surface_t* picture, const std::vector<RECT>& dirty) override;
    void pumpEvents(std::vector<RawEvent>& out) override;
    void wait(int timeoutMs) override;
    void wake() override;
    RECT monitorRect() override;
    void setCursor(CursorShape shape) override;
    std::u16string clipboardText() override;
    void setClipboardText(const std::u16string& text) override;
    void startTextInput(HWND topLevel, const RECT& caret) override;
    void stopTextInput() override;

private:
    struct WindowDeleter {
        void operator()(SDL_Window* window) const;
    };
    struct CursorDeleter {
        void operator()(SDL_Cursor* cursor) const;
    };
    using UniqueWindow = std::unique_ptr<SDL_Window, WindowDeleter>;
    using UniqueCursor = std::unique_ptr<SDL_Cursor, CursorDeleter>;

    // What the display knows of one top-level window. `sdl` is null until the
    // window is first shown.
    struct Mirror {
        RECT screen{};
        DWORD style = 0;
        DWORD exStyle = 0;
        std::u16string title;
        bool visible = false;
        UniqueWindow sdl;
        unsigned long xWindow = 0;  // its X window on X11
    };

    SdlDisplay() = default;
    // True (and the call queued) when the caller is not the display thread.
    bool deferred(std::function<void()> call);
    void runDeferred();
    Mirror* mirrorOf(HWND window);
    HWND windowOf(unsigned int sdlId) const;
    bool ownsXWindow(unsigned long xWindow) const;
    POINT toScreen(unsigned int sdlId, int x, int y) const;
    void realize(Mirror& mirror);
    // Before a window that has the keyboard disappears, the keyboard goes to
    // the window that had it before: keys the window system sends while no
    // window has the focus would be lost.
    void handOnFocus(HWND leaving);
    void blit(HWND window, cairo_surface_t* source, POINT origin, const std::vector<RECT>& dirty);
    void translate(const SDL_Event& event, std::vector<RawEvent>& out);
    void translateWindowEvent(const SDL_Event& event, std::vector<RawEvent>& out);
    void translateDrop(const SDL_Event& event, std::vector<RawEvent>& out);
    void translateX11Key(const SDL_Event& event, std::vector<RawEvent>& out);
    // Waits on SDL's own queue, in slices, where the connection's descriptor
    // is unknown (before the first window, or on a driver other than X11).
    void sliceWait(int timeoutMs);

    std::map<HWND, Mirror> windows_;
    std::map<int, UniqueCursor> cursors_;
    std::vector<HWND> focusHistory_;  // windows given the keyboard, latest last
    HWND focused_ = nullptr;
    WakePipe wake_;
    unsigned int wakeEvent_ = 0;
    bool x11Driver_ = false;
    void* x11_ = nullptr;  // the X connection, once the first window exists
    bool textInput_ = false;
    bool lastWasText_ = false;  // the previous SDL event was committed text
    std::vector<std::u16string> droppedFiles_;
    std::u16string droppedText_;
    std::thread::id owner_;
    RECT monitor_{0, 0, 1280, 800};
    std::mutex deferredMutex_;
    std::deque<std::function<void()>> deferred_;
};

}  // namespace veltrix::platform
