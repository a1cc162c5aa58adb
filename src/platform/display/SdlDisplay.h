// The display on SDL2: one SDL window per top-level window (tool tips and
// menus as borderless pop-ups), SDL events as raw events, SDL text input for
// the input method, the SDL clipboard and system cursors.
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
#include <thread>

#include "platform/display/Display.h"

struct SDL_Window;
struct SDL_Cursor;

namespace veltrix::platform {

class SdlDisplay : public Display {
public:
    // Null when SDL2 has no video driver (no X or Wayland display).
    static std::unique_ptr<SdlDisplay> open();
    ~SdlDisplay() override;

    void createWindow(HWND window, const RECT& screen, DWORD style, DWORD exStyle) override;
    void destroyWindow(HWND window) override;
    void showWindow(HWND window, bool visible) override;
    void moveWindow(HWND window, const RECT& screen) override;
    void setTitle(HWND window, const std::u16string& title) override;
    void activateWindow(HWND window) override;
    void present(HWND window, cairo_surface_t* picture, const RECT& dirty) override;
    void pumpEvents(std::vector<RawEvent>& out) override;
    void wait(int timeoutMs) override;
    void wake() override;
    RECT monitorRect() override;
    void setCursor(CursorShape shape) override;
    std::u16string clipboardText() override;
    void setClipboardText(const std::u16string& text) override;
    void startTextInput(const RECT& caret) override;
    void stopTextInput() override;

private:
    SdlDisplay() = default;
    // True (and the call queued) when the caller is not the display thread.
    bool deferred(std::function<void()> call);
    void runDeferred();
    void blit(HWND window, cairo_surface_t* source, int sourceX, int sourceY, const RECT& target);
    HWND windowOf(unsigned int sdlId) const;
    POINT toScreen(unsigned int sdlId, int x, int y) const;

    std::map<HWND, SDL_Window*> windows_;
    std::map<int, SDL_Cursor*> cursors_;
    unsigned int wakeEvent_ = 0;
    std::vector<std::u16string> droppedFiles_;
    std::thread::id owner_;
    RECT monitor_{0, 0, 1280, 800};
    std::mutex deferredMutex_;
    std::deque<std::function<void()>> deferred_;
};

}  // namespace veltrix::platform
