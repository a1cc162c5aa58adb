#include "platform/controls/ModalLoop.h"

#include <chrono>

#include "platform/display/Display.h"

namespace veltrix::platform {

ModalEnd runModalLoop(const std::function<bool()>& done, const std::function<bool(MSG&)>& filter) {
    using Clock = std::chrono::steady_clock;
    const bool headless = isHeadlessDisplay();
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    // A thread timer wakes the loop, so the deadline is seen even when no input comes.
    UINT_PTR tick = headless ? SetTimer(nullptr, 0, 100, nullptr) : 0;
    ModalEnd end = ModalEnd::Done;
    MSG msg;
    while (!done()) {
        if (headless && Clock::now() > deadline) {
            end = ModalEnd::TimedOut;
            break;
        }
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            end = ModalEnd::Quit;
            break;
        }
        if (filter && filter(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (tick) KillTimer(nullptr, tick);
    return end;
}

}  // namespace veltrix::platform
