// The X display as a learner meets it, for whole-program tests under Xvfb:
// finding the program's top-level windows by title, real pointer and key
// input through the X test extension, and pictures of the screen. Declared
// without X's own types and macros so that it sits beside GoogleTest.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace veltrix::test {

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
};

class XDesktop {
public:
    // Null without an X display or without the test extension.
    static std::unique_ptr<XDesktop> open();
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    // The screen rectangle of the mapped top-level window with this title
    // (UTF-8), or nothing.
    std::optional<ScreenRect> findWindow(const std::string& title);
    void moveTo(int x, int y);
    void click();
    // ASCII text, each character typed with its key (shifted where needed).
    void type(const std::string& text);
    void pressReturn();
    bool screenshot(const std::string& path);

private:
    XDesktop() = default;
    void key(unsigned long symbol, bool shift);
    void* display_ = nullptr;
};

}  // namespace veltrix::test
