// The base of every background worker. run() executes on a thread of its own
// and polls isStopRequested() between steps; it reaches windows only by
// posting or sending messages.
//
// stop() never kills a thread: it raises the stop flag and waits for run() to
// return while the calling (window) thread keeps dispatching its messages, so
// a worker blocked in SendMessageW to one of its windows completes the send,
// sees the flag and ends. A worker therefore must make every blocking call
// with a time-out. A WM_QUIT met while waiting is posted again afterwards.
//
// Lifetime: a class deriving from Thread must call stop() in its own
// destructor, because run() may use the derived members; the base destructor
// stops as well, as a last guard.
#pragma once

#include <atomic>
#include <thread>

#include "platform/win32.h"

class Thread {
public:
    // THREAD_PRIORITY_HIGHEST.
    static constexpr int kDefaultPriority = 2;

    Thread() = default;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // The worker's body; its result is the thread's exit code.
    virtual DWORD run() = 0;
    virtual ~Thread();
    // Ends a previous run first. False when no thread could be started (the
    // stop flag then stays raised).
    virtual bool start();
    // Raises the stop flag and waits for the worker to end. Called from the
    // worker itself it only raises the flag.
    virtual void stop();

    bool isStopRequested() const { return stopFlag_.load(); }
    // True from start until run() has returned.
    bool isRunning() const { return worker_.joinable() && !finished_.load(); }
    DWORD exitCode() const { return exitCode_.load(); }
    // Kept for callers that set it; a Linux process without privileges
    // cannot raise a thread's priority, so it is not applied.
    void setPriority(int priority) { priority_ = priority; }
    int priority() const { return priority_; }

private:
    void entry();

    int priority_ = kDefaultPriority;
    std::atomic<bool> stopFlag_{true};
    std::atomic<bool> finished_{false};
    std::atomic<DWORD> waiter_{0};
    std::atomic<DWORD> exitCode_{0};
    std::thread worker_;
};
