#include "toolkit/Thread.h"

#include <system_error>

Thread::~Thread() { Thread::stop(); }

bool Thread::start() {
    stop();
    finished_ = false;
    exitCode_ = 0;
    stopFlag_ = false;
    try {
        worker_ = std::thread(&Thread::entry, this);
    } catch (const std::system_error&) {
        stopFlag_ = true;
        return false;
    }
    return true;
}

void Thread::entry() {
    exitCode_ = run();
    finished_ = true;
    // Wake a stop() that waits for this thread in its message loop.
    if (DWORD waiter = waiter_.load()) PostThreadMessageW(waiter, WM_NULL, 0, 0);
}

void Thread::stop() {
    stopFlag_ = true;
    if (!worker_.joinable()) return;
    if (worker_.get_id() == std::this_thread::get_id()) return;
    // Set before finished_ is read, so that either this loop sees the end or
    // the worker sees the waiter and wakes it.
    waiter_ = GetCurrentThreadId();
    bool quit = false;
    WPARAM quitCode = 0;
    while (!finished_.load()) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (finished_.load()) break;
        WaitMessage();
    }
    worker_.join();
    waiter_ = 0;
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}
