// The display without a screen: top-level pictures stay in memory, raw input
// comes from tests. Thread-safe: tests may inject from any thread. Ending
// signals reach its wait as they reach the SDL display's.
#pragma once

#include <deque>
#include <map>
#include <mutex>

#include "platform/display/Display.h"
#include "platform/display/WakePipe.h"

namespace veltrix::platform {

class HeadlessDisplay : public Display {
public:
    struct Mirror {
        RECT screen{};
        bool visible = false;
        std::u16string title;
    };

    void createWindow(HWND window, const RECT& screen, DWORD style, DWORD exStyle) override;
    void destroyWindow(HWND window) override;
    void showWindow(HWND window, bool visible) override;
    void moveWindow(HWND window, const RECT& screen) override;
    void setTitle(HWND window, const std::u16string& title) override;
    HeadlessDisplay();
    void present(HWND window, cairo_surface_t* picture, const std::vector<RECT>& dirty) override;
    void pumpEvents(std::vector<RawEvent>& out) override;
    void wait(int timeoutMs) override;
    void wake() override;
    RECT monitorRect() override { return {0, 0, 1920, 1080}; }
    void setCursor(CursorShape shape) override;
    std::u16string clipboardText() override;
    void setClipboardText(const std::u16string& text) override;
    void startTextInput(HWND topLevel, const RECT& area) override;
    void stopTextInput() override;

    void inject(RawEvent event);
    bool mirror(HWND window, Mirror& out);
    CursorShape cursor();
    int presentCount();
    // The rectangles of the last present of the window.
    std::vector<RECT> lastPresented(HWND window);
    // Whether text input runs, and the area it was last given.
    bool textInput(RECT& area);

private:
    std::mutex mutex_;
    WakePipe wake_;
    std::deque<RawEvent> events_;
    std::map<HWND, std::vector<RECT>> presented_;
    std::map<HWND, Mirror> windows_;
    std::u16string clipboard_;
    CursorShape cursor_ = CursorShape::Arrow;
    int presents_ = 0;
    bool textInput_ = false;
    RECT textInputArea_{};
};

}  // namespace veltrix::platform
