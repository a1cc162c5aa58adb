#include "platform/display/HeadlessDisplay.h"

#include "platform/display/SessionSignals.h"

namespace veltrix::platform {

HeadlessDisplay::HeadlessDisplay() { session::installSignalHandlers(); }

void HeadlessDisplay::createWindow(HWND window, const RECT& screen, DWORD, DWORD) {
    std::lock_guard lock(mutex_);
    windows_[window] = Mirror{screen, false, {}};
}

void HeadlessDisplay::destroyWindow(HWND window) {
    std::lock_guard lock(mutex_);
    windows_.erase(window);
}

void HeadlessDisplay::showWindow(HWND window, bool visible) {
    std::lock_guard lock(mutex_);
    windows_[window].visible = visible;
}

void HeadlessDisplay::moveWindow(HWND window, const RECT& screen) {
    std::lock_guard lock(mutex_);
    windows_[window].screen = screen;
}

void HeadlessDisplay::setTitle(HWND window, const std::u16string& title) {
    std::lock_guard lock(mutex_);
    windows_[window].title = title;
}

void HeadlessDisplay::present(HWND window, cairo_surface_t*, const std::vector<RECT>& dirty) {
    // The picture is the window's own surface: there is nothing to copy.
    std::lock_guard lock(mutex_);
    ++presents_;
    presented_[window] = dirty;
}

std::vector<RECT> HeadlessDisplay::lastPresented(HWND window) {
    std::lock_guard lock(mutex_);
    auto it = presented_.find(window);
    return it == presented_.end() ? std::vector<RECT>{} : it->second;
}

void HeadlessDisplay::pumpEvents(std::vector<RawEvent>& out) {
    {
        std::lock_guard lock(mutex_);
        while (!events_.empty()) {
            out.push_back(std::move(events_.front()));
            events_.pop_front();
        }
    }
    if (session::takeSignal()) {
        RawEvent r;
        r.type = RawEventType::EndSession;
        r.unattended = true;
        out.push_back(r);
    }
}

void HeadlessDisplay::wait(int timeoutMs) {
    {
        std::lock_guard lock(mutex_);
        if (!events_.empty()) return;
    }
    const int fds[] = {wake_.fd(), session::signalFd()};
    waitReadable(fds, 2, timeoutMs);
    wake_.drain();
}

void HeadlessDisplay::wake() { wake_.notify(); }

void HeadlessDisplay::setCursor(CursorShape shape) {
    std::lock_guard lock(mutex_);
    cursor_ = shape;
}

std::u16string HeadlessDisplay::clipboardText() {
    std::lock_guard lock(mutex_);
    return clipboard_;
}

void HeadlessDisplay::setClipboardText(const std::u16string& text) {
    std::lock_guard lock(mutex_);
    clipboard_ = text;
}

void HeadlessDisplay::inject(RawEvent event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
    wake_.notify();
}

bool HeadlessDisplay::mirror(HWND window, Mirror& out) {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(window);
    if (it == windows_.end()) return false;
    out = it->second;
    return true;
}

CursorShape HeadlessDisplay::cursor() {
    std::lock_guard lock(mutex_);
    return cursor_;
}

void HeadlessDisplay::startTextInput(HWND, const RECT& area) {
    std::lock_guard lock(mutex_);
    textInput_ = true;
    textInputArea_ = area;
}

void HeadlessDisplay::stopTextInput() {
    std::lock_guard lock(mutex_);
    textInput_ = false;
}

bool HeadlessDisplay::textInput(RECT& area) {
    std::lock_guard lock(mutex_);
    area = textInputArea_;
    return textInput_;
}

int HeadlessDisplay::presentCount() {
    std::lock_guard lock(mutex_);
    return presents_;
}

}  // namespace veltrix::platform
