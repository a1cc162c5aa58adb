#include "FakeXInput.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

namespace veltrix::test {

std::unique_ptr<FakeXInput> FakeXInput::open() {
    ::Display* x = XOpenDisplay(nullptr);
    if (!x) return nullptr;
    int event, error, major, minor;
    if (!XTestQueryExtension(x, &event, &error, &major, &minor)) {
        XCloseDisplay(x);
        return nullptr;
    }
    std::unique_ptr<FakeXInput> input(new FakeXInput);
    input->display_ = x;
    return input;
}

FakeXInput::~FakeXInput() {
    if (display_) XCloseDisplay(static_cast<::Display*>(display_));
}

void FakeXInput::moveTo(int x, int y) {
    auto* d = static_cast<::Display*>(display_);
    XTestFakeMotionEvent(d, DefaultScreen(d), x, y, CurrentTime);
    XFlush(d);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
}

void FakeXInput::click(unsigned int button) {
    auto* d = static_cast<::Display*>(display_);
    // A person's press lasts a while; SDL may drop a press that comes with its release.
    XTestFakeButtonEvent(d, button, True, CurrentTime);
    XFlush(d);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    XTestFakeButtonEvent(d, button, False, CurrentTime);
    XFlush(d);
}

void FakeXInput::typeKey(unsigned long keySymbol) {
    auto* d = static_cast<::Display*>(display_);
    KeyCode code = XKeysymToKeycode(d, keySymbol);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XFlush(d);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    XFlush(d);
}

void FakeXInput::pressKey(unsigned long keySymbol) {
    auto* d = static_cast<::Display*>(display_);
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, keySymbol), True, CurrentTime);
    XFlush(d);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void FakeXInput::releaseKey(unsigned long keySymbol) {
    auto* d = static_cast<::Display*>(display_);
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, keySymbol), False, CurrentTime);
    XFlush(d);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

}  // namespace veltrix::test
