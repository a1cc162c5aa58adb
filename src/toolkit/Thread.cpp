#include "toolkit/Thread.h"

#include <system_error>

// The run as the worker and its owner share it: the owner may let go of it
// (an abandoned run) long before the worker does.
struct WorkerContext::State {
    std::stop_source stop;
    Thread::Body body;
    std::atomic<bool> finished{false};
    std::atomic<bool> abandoned{false};
    std::atomic<DWORD> waiter{0};  // the thread waiting in stop(), woken when the run ends
    std::atomic<DWORD> exitCode{0};
};

std::stop_token WorkerContext::stopToken() const { return state_->stop.get_token(); }

BOOL WorkerContext::post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    if (state_->abandoned.load()) return FALSE;
    return PostMessageW(window, message, wParam, lParam);
}

LRESULT WorkerContext::send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    if (state_->abandoned.load()) return 0;
    return SendMessageW(window, message, wParam, lParam);
}

Thread::~Thread() { Thread::stop(); }

bool Thread::start(Body body) {
    stop();
    auto state = std::make_shared<WorkerContext::State>();
    state->body = std::move(body);
    // The run's state is in place before its thread starts: a body that asks
    // isStopRequested() at once must see this run's flag, not the last run's
    // raised one (it then ended at once with "stop!").
    state_ = state;
    abandoned_ = false;
    try {
        worker_ = std::thread(&Thread::entry, state);
    } catch (const std::system_error&) {
        state->stop.request_stop();
        state->body = nullptr;
        state->finished = true;
        return false;
    }
    return true;
}

void Thread::entry(std::shared_ptr<WorkerContext::State> state) {
    WorkerContext context(state);
    // The thread is the worker's edge: nothing it throws may end the process.
    try {
        state->exitCode = state->body(context);
    } catch (...) {
        state->exitCode = kFailedExitCode;
    }
    // What the body captured goes with the run, here on the worker.
    state->body = nullptr;
    state->finished = true;
    // Wake a stop() that waits for this run in its message loop.
    if (DWORD waiter = state->waiter.load()) PostThreadMessageW(waiter, WM_NULL, 0, 0);
}

bool Thread::isStopRequested() const { return !state_ || state_->stop.stop_requested(); }

bool Thread::isRunning() const { return state_ && !state_->finished.load(); }

DWORD Thread::exitCode() const { return state_ ? state_->exitCode.load() : 0; }

void Thread::stop() {
    if (!state_) return;
    state_->stop.request_stop();
    if (!worker_.joinable() || worker_.get_id() == std::this_thread::get_id()) return;
    const std::shared_ptr<WorkerContext::State> state = state_;
    const bool ended = waitForEnd();
    // A stop or start nested in a message handled while waiting has dealt
    // with this run already.
    if (state_ != state || !worker_.joinable()) return;
    if (ended) {
        worker_.join();
        return;
    }
    state->abandoned = true;
    abandoned_ = true;
    worker_.detach();
}

bool Thread::waitForEnd() {
    const std::shared_ptr<WorkerContext::State> state = state_;
    // Set before finished is read, so that either this loop sees the end or
    // the worker sees the waiter and wakes it.
    state->waiter = GetCurrentThreadId();
    const auto deadline = std::chrono::steady_clock::now() + stopLimit_;
    // Wakes WaitMessage at the limit when nothing else arrives.
    const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(stopLimit_.count()), nullptr);
    bool quit = false;
    WPARAM quitCode = 0;
    while (!state->finished.load() && std::chrono::steady_clock::now() < deadline) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (msg.message == WM_QUIT) {
            quit = true;
            quitCode = msg.wParam;
        } else if (!(msg.message == WM_TIMER && !msg.hwnd && msg.wParam == timer)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    KillTimer(nullptr, timer);
    state->waiter = 0;
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return state->finished.load();
}
