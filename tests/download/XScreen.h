// The X display as a learner's eyes and hands for the whole-program test:
// top-level windows found by their titles, real pointer and key input through
// the X test extension, and pictures of the screen. Free of X's macros, so
// that it sits beside GoogleTest.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace veltrix::test {

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
};

class XScreen {
public:
    // Null without an X display or without the XTEST extension.
    static std::unique_ptr<XScreen> open();
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    // The shown top-level window with this title (UTF-8), where it is on the screen.
    std::optional<ScreenRect> findWindow(const std::string& title);
    // Waits up to the time for it to be shown.
    std::optional<ScreenRect> waitForWindow(const std::string& title, int milliseconds);
    // Asks the window to close, as a window manager's close button does.
    bool closeWindow(const std::string& title);

    void click(int x, int y);
    // Types ASCII text key by key (Shift where a US layout needs it).
    void type(const std::string& text);
    void pressReturn();
    bool screenshot(const std::string& path);

private:
    XScreen() = default;
    unsigned long windowWithTitle(const std::string& title);
    void key(unsigned long symbol, bool shifted);
    void* display_ = nullptr;
};

}  // namespace veltrix::test
