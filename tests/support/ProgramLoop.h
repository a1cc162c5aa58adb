// The program's own message loop, run by a whole-program test until a
// condition holds or a time passes: messages are routed as the program routes
// them (accelerators first), so keys typed through X reach what they would.
#pragma once

#include <chrono>
#include <thread>

#include "app/AcceleratorTable.h"
#include "app/Application.h"
#include "app/TestApp.h"

namespace veltrix::test {

// True when done() held before ms passed.
template <typename Done>
bool runUntil(TestApp& app, int ms, Done done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < until) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            routeMessage(msg, app.content().handle(), AcceleratorTable::instance().handle());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

}  // namespace veltrix::test
