// A frame for widget tests that records everything its children report
// (notifications, commands with both words, scroll messages), and helpers
// that drive the headless display and let it settle.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "ToolkitTestSupport.h"

namespace veltrix::test {

struct Report {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class WidgetFrame : public RecordingFrame {
public:
    void onCommand(WPARAM wParam, LPARAM lParam) override {
        RecordingFrame::onCommand(wParam, lParam);
        reports.push_back({WM_COMMAND, wParam, lParam});
    }
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_HSCROLL || message == WM_VSCROLL) {
            reports.push_back({message, wParam, lParam});
            return 0;
        }
        return RecordingFrame::windowProc(window, message, wParam, lParam);
    }
    std::vector<Report> of(UINT message) const {
        std::vector<Report> found;
        for (const Report& r : reports)
            if (r.message == message) found.push_back(r);
        return found;
    }
    void clear() {
        reports.clear();
        notifications.clear();
        senders.clear();
        commands.clear();
    }

    std::vector<Report> reports;
};

struct WidgetTest : ::testing::Test {
    void SetUp() override { headless::pumpMessages(); }
    void TearDown() override {
        for (int key : {VK_CONTROL, VK_SHIFT, VK_SPACE})
            if (GetKeyState(key) < 0) headless::key(key, false);
        ReleaseCapture();
        headless::pumpMessages();
    }
    static void settle() { headless::pumpMessages(); }
    static void key(int virtualKey, bool down) {
        headless::key(virtualKey, down);
        settle();
    }
    static void press(int virtualKey) {
        headless::pressKey(virtualKey);
        settle();
    }
    static void pressWith(int modifier, int virtualKey) {
        headless::key(modifier, true);
        headless::pressKey(virtualKey);
        headless::key(modifier, false);
        settle();
    }
    static void type(const std::u16string& text) {
        headless::typeText(text);
        settle();
    }
    // Client coordinates of the window.
    static void moveTo(HWND window, int x, int y) {
        headless::mouseMove(screenOf(window, x, y));
        settle();
    }
    static void mouseButton(HWND window, int x, int y, bool down) {
        headless::mouseButton(headless::Button::Left, down, screenOf(window, x, y));
        settle();
    }
    static void click(HWND window, int x, int y) {
        mouseButton(window, x, y, true);
        mouseButton(window, x, y, false);
    }
    static void wheel(HWND window, int notches) {
        headless::mouseWheel(notches * WHEEL_DELTA, screenOf(window, 2, 2));
        settle();
    }

    WidgetFrame frame;
};

}  // namespace veltrix::test
