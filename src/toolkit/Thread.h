// A background worker: its body runs on a thread of its own, checks its stop
// token between steps, and reaches windows only through its WorkerContext.
//
// Stopping: stop() raises the stop flag and waits for the body to return while
// the calling (window) thread keeps dispatching its messages, so a worker that
// is sending to one of its windows completes the send, sees the flag and ends.
// It waits at most stopLimit() (10,000 ms). Linux cannot end a thread safely
// from outside, so a worker still running then is left to finish by itself:
// it is abandoned. Nothing it can reach is freed under it, because the body
// and everything it captured are owned by the worker's shared state, which
// the thread keeps alive until the body returns; and its notices (messages
// posted or sent through the context) are dropped from then on, so no window
// hears from a run that was stopped. The Thread object itself may be gone by
// then: a body must never capture it, or anything else it does not share.
//
// Cancelling blocking calls: the context's stopToken() is a std::stop_token.
// A call that can block polls it, or registers a std::stop_callback that ends
// the call from the stopping thread (a web request closes its session), so the
// limit is rarely reached.
//
// Invariants: at most one run at a time; isStopRequested() is true before the
// first start and from stop() on; a run's exit code is read only after it has
// ended. Everything but the body is called on the owner's (window) thread.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>

#include "platform/win32.h"

// What a worker's body holds: its stop token and its way to the windows.
class WorkerContext {
public:
    struct State;
    explicit WorkerContext(std::shared_ptr<State> state) : state_(std::move(state)) {}

    std::stop_token stopToken() const;
    bool isStopRequested() const { return stopToken().stop_requested(); }
    // PostMessageW and SendMessageW, until the worker is abandoned; then
    // nothing is delivered and the results are FALSE and 0.
    BOOL post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    std::shared_ptr<State> state_;
};

class Thread {
public:
    // THREAD_PRIORITY_HIGHEST.
    static constexpr int kDefaultPriority = 2;
    // The exit code of a run that ended with an exception.
    static constexpr DWORD kFailedExitCode = 0xFFFFFFFF;
    static constexpr std::chrono::milliseconds kStopLimit{10000};

    // The body's result is the run's exit code.
    using Body = std::function<DWORD(WorkerContext&)>;

    Thread() = default;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Stops a run in progress (see stop()).
    virtual ~Thread();
    // Ends a previous run first. False when no thread could be started (the
    // stop flag then stays raised).
    virtual bool start(Body body);
    // Raises the stop flag and waits for the run to end, at most stopLimit(),
    // dispatching the calling thread's messages meanwhile; a run still going
    // then is abandoned. Called from the worker itself it only raises the flag.
    // A WM_QUIT met while waiting is posted again afterwards.
    virtual void stop();

    bool isStopRequested() const;
    // True from start until the body has returned (an abandoned run included).
    bool isRunning() const;
    // True when the last stop gave up waiting for the run.
    bool wasAbandoned() const { return abandoned_; }
    DWORD exitCode() const;

    std::chrono::milliseconds stopLimit() const { return stopLimit_; }
    // For tests, which cannot wait ten seconds for each case.
    void setStopLimit(std::chrono::milliseconds limit) { stopLimit_ = limit; }

    // Kept for callers that set it; a Linux process without privileges
    // cannot raise a thread's priority, so it is not applied.
    void setPriority(int priority) { priority_ = priority; }
    int priority() const { return priority_; }

private:
    static void entry(std::shared_ptr<WorkerContext::State> state);
    // Dispatches messages until the run has ended or the limit has passed;
    // true when it ended.
    bool waitForEnd();

    int priority_ = kDefaultPriority;
    std::chrono::milliseconds stopLimit_ = kStopLimit;
    std::shared_ptr<WorkerContext::State> state_;
    std::thread worker_;
    bool abandoned_ = false;
};
