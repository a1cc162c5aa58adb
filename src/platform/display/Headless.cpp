#include "platform/display/Headless.h"

#include "platform/display/HeadlessDisplay.h"
#include "platform/window/WindowManager.h"

namespace veltrix::platform::headless {

namespace {

HeadlessDisplay* headlessDisplay() { return dynamic_cast<HeadlessDisplay*>(&display()); }

void inject(RawEvent e) {
    if (HeadlessDisplay* d = headlessDisplay()) d->inject(std::move(e));
}

// An event that names only its window (expose, focus, close).
void injectFor(RawEventType type, HWND topLevel) {
    RawEvent e;
    e.type = type;
    e.window = topLevel;
    inject(std::move(e));
}

MouseButton toButton(Button b) {
    switch (b) {
        case Button::Left:
            return MouseButton::Left;
        case Button::Right:
            return MouseButton::Right;
        default:
            return MouseButton::Middle;
    }
}

}  // namespace

bool active() { return headlessDisplay() != nullptr; }

void mouseMove(POINT screen) {
    RawEvent e;
    e.type = RawEventType::MouseMove;
    e.screen = screen;
    inject(e);
}

void mouseButton(Button button, bool down, POINT screen) {
    RawEvent e;
    e.type = down ? RawEventType::MouseDown : RawEventType::MouseUp;
    e.screen = screen;
    e.button = toButton(button);
    inject(e);
}

void click(Button button, POINT screen) {
    mouseButton(button, true, screen);
    mouseButton(button, false, screen);
}

void mouseWheel(int delta, POINT screen) {
    RawEvent e;
    e.type = RawEventType::MouseWheel;
    e.screen = screen;
    e.wheelDelta = delta;
    inject(e);
}

void key(int virtualKey, bool down) {
    RawEvent e;
    e.type = down ? RawEventType::KeyDown : RawEventType::KeyUp;
    e.virtualKey = virtualKey;
    inject(e);
}

void pressKey(int virtualKey) {
    key(virtualKey, true);
    key(virtualKey, false);
}

void typeText(const std::u16string& text) {
    RawEvent e;
    e.type = RawEventType::Text;
    e.text = text;
    inject(e);
}

void compose(const std::u16string& text, int cursor) {
    RawEvent e;
    e.type = RawEventType::Composition;
    e.text = text;
    e.cursor = cursor;
    inject(e);
}

bool textInputArea(RECT& area) {
    HeadlessDisplay* d = headlessDisplay();
    return d && d->textInput(area);
}

void dropFiles(const std::vector<std::u16string>& files, POINT screen, HWND topLevel) {
    RawEvent e;
    e.type = RawEventType::DropFiles;
    e.files = files;
    e.screen = screen;
    e.window = topLevel;
    inject(e);
}

void dropText(const std::u16string& text, POINT screen, HWND topLevel) {
    RawEvent e;
    e.type = RawEventType::DropText;
    e.text = text;
    e.screen = screen;
    e.window = topLevel;
    inject(e);
}

void expose(HWND topLevel) { injectFor(RawEventType::Expose, topLevel); }

std::vector<RECT> lastPresented(HWND topLevel) {
    HeadlessDisplay* d = headlessDisplay();
    return d ? d->lastPresented(topLevel) : std::vector<RECT>{};
}

void focusWindow(HWND topLevel) { injectFor(RawEventType::FocusGained, topLevel); }

void endSession(bool unattended) {
    RawEvent e;
    e.type = RawEventType::EndSession;
    e.unattended = unattended;
    inject(e);
}

void closeWindow(HWND topLevel) { injectFor(RawEventType::Close, topLevel); }

int pumpMessages() {
    int handled = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++handled;
    }
    return handled;
}

COLORREF pixel(HWND window, int x, int y) {
    auto lock = WindowManager::lock();
    WindowState& m = *lock;
    Window* w = m.find(window);
    if (!w) return CLR_INVALID;
    Window* top = m.topLevelOf(w);
    if (!top->picture) return CLR_INVALID;
    POINT o = m.clientOrigin(*w), t = m.clientOrigin(*top);
    int px = x + o.x - t.x, py = y + o.y - t.y;
    cairo_surface_flush(top->picture.get());
    if (px < 0 || py < 0 || px >= cairo_image_surface_get_width(top->picture.get()) ||
        py >= cairo_image_surface_get_height(top->picture.get()))
        return CLR_INVALID;
    const unsigned char* p = cairo_image_surface_get_data(top->picture.get()) +
                             py * cairo_image_surface_get_stride(top->picture.get()) + px * 4;
    return RGB(p[2], p[1], p[0]);
}

bool savePicture(HWND window, const std::string& path) {
    UniqueCairoSurface picture;
    {
        auto lock = WindowManager::lock();
        WindowState& m = *lock;
        Window* w = m.find(window);
        if (!w) return false;
        Window* top = m.topLevelOf(w);
        if (!top->picture) return false;
        picture = shareSurface(top->picture.get());
    }
    return cairo_surface_write_to_png(picture.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::u16string title(HWND topLevel) {
    HeadlessDisplay::Mirror mirror;
    HeadlessDisplay* d = headlessDisplay();
    return d && d->mirror(topLevel, mirror) ? mirror.title : std::u16string();
}

bool shown(HWND topLevel) {
    HeadlessDisplay::Mirror mirror;
    HeadlessDisplay* d = headlessDisplay();
    return d && d->mirror(topLevel, mirror) && mirror.visible;
}

std::uintptr_t cursor() {
    HeadlessDisplay* d = headlessDisplay();
    if (!d) return 0;
    constexpr std::uintptr_t ids[] = {32512, 32513, 32514, 32515, 32644, 32645, 32646, 32648, 32649};
    return ids[static_cast<int>(d->cursor())];
}

}  // namespace veltrix::platform::headless
