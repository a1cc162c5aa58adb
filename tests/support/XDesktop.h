// A real X display as a person at the keyboard sees it: keys and pointer
// through the X test extension (as a keyboard and a mouse give them), the
// top-level windows and what happens to them (made, mapped, moved, gone),
// pictures of the screen. Declared without X's macros (None, Bool, Window)
// so that it sits beside GoogleTest and the program's own headers.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace veltrix::test {

class XDesktop {
public:
    // Null without an X display or without the XTEST extension.
    static std::unique_ptr<XDesktop> open();
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    int width() const;
    int height() const;

    // Keys by X key symbol (XK_ values). Nothing is sent until flush(), so a
    // whole sequence reaches the server at once, as fast as it can take it.
    void key(unsigned long keySym, bool down);
    // Down and up of the key, inside downs and ups of the modifiers.
    void press(unsigned long keySym, const std::vector<unsigned long>& modifiers = {});
    // Printable ASCII, each character the key of a US keyboard that gives it.
    void type(const std::string& text);
    void flush();
    void moveTo(int x, int y);
    void click(unsigned int button);
    // One half of a click, for drags.
    void button(unsigned int button, bool down);

    // What happened to top-level windows (children of the root) since watch()
    // began, oldest first.
    struct WindowEvent {
        enum class Kind { Create, Map, Unmap, Destroy, Configure };
        Kind kind;
        unsigned long window;
        int x = 0, y = 0, width = 0, height = 0;  // Create, Configure; Map: where it is when mapped
        std::chrono::steady_clock::time_point at;
    };
    void watch();
    const std::vector<WindowEvent>& events();
    // Reads what has happened until the condition holds or the time is up.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit);
    // Mapped top-level windows now.
    std::vector<unsigned long> mappedWindows();
    // The window that has the keyboard (0 for none, 1 for the pointer's root).
    unsigned long focus();
    // The title a window shows (_NET_WM_NAME in UTF-8, else WM_NAME).
    std::string title(unsigned long window);
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };
    Rect geometry(unsigned long window);
    // Asks the window to close, as a window manager's close button does.
    void close(unsigned long window);

    // A plain window of the given colour (0xRRGGBB) above everything, that no
    // window manager touches; destroyed by hideCover.
    unsigned long showCover(const Rect& where, unsigned int colour);
    void hideCover(unsigned long cover);

    // The screen's pixel as 0xRRGGBB.
    unsigned int pixel(int x, int y);
    // The pixels of a part of the screen, row by row.
    std::vector<unsigned int> pixels(const Rect& area);
    bool screenshot(const std::string& path);

private:
    XDesktop() = default;
    void readEvents();
    void* display_ = nullptr;
    std::vector<WindowEvent> events_;
};

}  // namespace veltrix::test
