// A visible top-level frame for toolkit tests that records the notifications
// and commands its children send it.
#pragma once

#include <vector>

#include "platform/display/Headless.h"
#include "toolkit/BaseWindow.h"

namespace veltrix::test {

namespace headless = veltrix::platform::headless;

// Client area at screen (kFrameX, kFrameY), 400 x 300.
inline constexpr int kFrameX = 100;
inline constexpr int kFrameY = 80;

class RecordingFrame : public BaseWindow {
public:
    RecordingFrame() {
        createFrame();
        MoveWindow(handle(), kFrameX, kFrameY, 400, 300, TRUE);
        ShowWindow(handle(), SW_SHOW);
    }
    LRESULT onNotify(WPARAM, LPARAM lParam) override {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        notifications.push_back(static_cast<int>(header->code));
        senders.push_back(header->hwndFrom);
        return 0;
    }
    void onCommand(WPARAM wParam, LPARAM lParam) override { commands.push_back(LOWORD(wParam)); }
    int count(int code) const {
        int n = 0;
        for (int c : notifications) n += c == code;
        return n;
    }

    std::vector<int> notifications;
    std::vector<HWND> senders;
    std::vector<int> commands;
};

inline POINT screenOf(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

}  // namespace veltrix::test
