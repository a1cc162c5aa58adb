// A top-level window that hosts one control under test and records, in
// order, every notification the control sends it (WM_COMMAND codes and
// WM_NOTIFY codes, with a copy of a date-change record).
#pragma once

#include <string>
#include <vector>

#include "platform/api/GdiHandles.h"
#include "platform/display/Headless.h"
#include "platform/win32.h"

namespace veltrix::test {

struct Notification {
    UINT message;  // WM_COMMAND or WM_NOTIFY
    HWND from;
    int code;
    SYSTEMTIME date{};  // DTN_DATETIMECHANGE only
};

class ControlHost {
public:
    // The frame's client area starts at screen (100, 80).
    ControlHost();
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    HWND frame() const { return frame_; }
    HWND create(LPCWSTR className, LPCWSTR text, DWORD style, int x, int y, int width, int height, int id = 7,
                DWORD exStyle = 0);
    std::vector<Notification>& notifications() { return notifications_; }
    // The codes received so far, from any control, then forgotten.
    std::vector<int> takeCodes();
    // Answer WM_CTLCOLOREDIT with a brush of this colour (CLR_INVALID: do not answer).
    void setEditColour(COLORREF colour);

    // Screen point of a client point of a window.
    static POINT screen(HWND window, int x, int y);
    static void pump() { platform::headless::pumpMessages(); }
    // Keys with modifiers, e.g. chord({VK_CONTROL}, 'C').
    static void chord(std::initializer_list<int> modifiers, int key);
    static std::u16string text(HWND window);

private:
    static LRESULT proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND frame_ = nullptr;
    std::vector<Notification> notifications_;
    UniqueBrush editBrush_;
};

}  // namespace veltrix::test
