// Worker threads: start and stop, a worker that talks to a window while the
// window's thread waits for it, the quit message met while waiting, blocking
// calls ended through the stop token, and a stuck worker left behind safely.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "ToolkitTestSupport.h"
#include "toolkit/Thread.h"

using namespace veltrix::test;
using namespace std::chrono_literals;

namespace {

// What a test shares with its worker's body.
struct Counters {
    std::atomic<int> steps{0};
    std::atomic<int> runs{0};
};

// Posts a command and sends a message to the window once per step until told to stop.
Thread::Body messenger(HWND window, std::shared_ptr<Counters> counters) {
    return [window, counters](WorkerContext& context) -> DWORD {
        while (!context.isStopRequested()) {
            context.post(window, WM_COMMAND, 500, 0);
            context.send(window, WM_USER + 5, 0, 0);
            ++counters->steps;
        }
        return 7;
    };
}

Thread::Body sleeper(std::shared_ptr<Counters> counters) {
    return [counters](WorkerContext& context) -> DWORD {
        ++counters->runs;
        while (!context.isStopRequested()) std::this_thread::sleep_for(1ms);
        return 3;
    };
}

class Receiver : public BaseWindow {
public:
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER + 5) {
            ++sends;
            return 1;
        }
        return BaseWindow::windowProc(window, message, wParam, lParam);
    }
    void onCommand(WPARAM wParam, LPARAM) override { commands += LOWORD(wParam) == 500; }
    int sends = 0;
    int commands = 0;
};

TEST(Thread, AWorkerThatSendsToTheWaitingThreadIsStoppedWithoutDeadlock) {
    Receiver receiver;
    ASSERT_TRUE(receiver.createFrame());
    auto counters = std::make_shared<Counters>();
    Thread worker;
    ASSERT_TRUE(worker.start(messenger(receiver.handle(), counters)));
    EXPECT_TRUE(worker.isRunning());
    while (receiver.sends < 20) {
        MSG msg;
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        DispatchMessageW(&msg);
    }
    // The worker is most likely inside SendMessageW now; stop must serve it.
    worker.stop();
    EXPECT_FALSE(worker.isRunning());
    EXPECT_FALSE(worker.wasAbandoned());
    EXPECT_TRUE(worker.isStopRequested());
    EXPECT_EQ(worker.exitCode(), 7u);
    headless::pumpMessages();
    EXPECT_GE(receiver.sends, 20);
    EXPECT_EQ(receiver.commands, counters->steps.load());
}

TEST(Thread, StartEndsARunningRunFirstAndStopIsRepeatable) {
    auto counters = std::make_shared<Counters>();
    Thread worker;
    worker.stop();  // never started: nothing to do
    EXPECT_TRUE(worker.isStopRequested());
    EXPECT_EQ(worker.stopLimit(), 10000ms);
    ASSERT_TRUE(worker.start(sleeper(counters)));
    EXPECT_FALSE(worker.isStopRequested());
    ASSERT_TRUE(worker.start(sleeper(counters)));
    worker.stop();
    worker.stop();
    EXPECT_EQ(counters->runs.load(), 2);
    EXPECT_EQ(worker.exitCode(), 3u);
    EXPECT_EQ(worker.priority(), Thread::kDefaultPriority);
}

// Workers whose body reads its owner's members (the downloaders) ask the
// owner whether a stop was asked for as their first step: a run must never
// see the flag of the run stopped before it.
TEST(Thread, ABodyAskingItsOwnerAtOnceSeesItsOwnRunsFlag) {
    Thread worker;
    for (int run = 0; run < 5000; ++run) {
        auto sawStop = std::make_shared<std::promise<bool>>();
        std::future<bool> seen = sawStop->get_future();
        ASSERT_TRUE(worker.start([&worker, sawStop](WorkerContext&) -> DWORD {
            sawStop->set_value(worker.isStopRequested());
            return 0;
        }));
        ASSERT_FALSE(seen.get()) << "run " << run;
        worker.stop();
    }
}

TEST(Thread, AQuitMessageMetWhileWaitingIsPostedAgain) {
    Thread worker;
    ASSERT_TRUE(worker.start(sleeper(std::make_shared<Counters>())));
    PostQuitMessage(4);
    worker.stop();
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {}
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 4u);
}

TEST(Thread, AWorkerThatEndsByItselfIsJoinedOnStop) {
    Thread quick;
    ASSERT_TRUE(quick.start([](WorkerContext&) -> DWORD { return 11; }));
    while (quick.isRunning()) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(quick.exitCode(), 11u);
    EXPECT_FALSE(quick.isStopRequested()) << "the flag stays down until stop";
    quick.stop();
    EXPECT_TRUE(quick.isStopRequested());
}

TEST(Thread, ARunThatThrowsEndsWithTheFailureCodeAndTheProcessGoesOn) {
    Thread worker;
    ASSERT_TRUE(worker.start([](WorkerContext&) -> DWORD { throw std::runtime_error("network gone"); }));
    worker.stop();
    EXPECT_EQ(worker.exitCode(), Thread::kFailedExitCode);
}

TEST(Thread, AStopInsideAMessageHandledWhileStoppingIsHarmless) {
    Thread worker;
    class Stopper : public BaseWindow {
    public:
        explicit Stopper(Thread& t) : thread(t) {}
        LRESULT windowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) override {
            if (m == WM_USER + 9) thread.stop();
            return BaseWindow::windowProc(w, m, wp, lp);
        }
        Thread& thread;
    } stopper(worker);
    ASSERT_TRUE(stopper.createFrame());
    ASSERT_TRUE(worker.start(sleeper(std::make_shared<Counters>())));
    PostMessageW(stopper.handle(), WM_USER + 9, 0, 0);
    worker.stop();
    EXPECT_FALSE(worker.isRunning());
}

// A blocking call that watches the stop token (here a wait on a condition that
// never comes) returns as soon as stop is asked; nothing is abandoned.
TEST(Thread, ABlockingCallWatchingTheStopTokenEndsTheRunAtOnce) {
    auto ended = std::make_shared<std::atomic<bool>>(false);
    Thread worker;
    ASSERT_TRUE(worker.start([ended](WorkerContext& context) -> DWORD {
        std::mutex lock;
        std::condition_variable_any never;
        std::unique_lock guard(lock);
        never.wait(guard, context.stopToken(), [] { return false; });
        // A call that blocks elsewhere registers a callback that ends it.
        bool calledBack = false;
        std::stop_callback cancel(context.stopToken(), [&] { calledBack = true; });
        *ended = calledBack;
        return 5;
    }));
    worker.stop();
    EXPECT_FALSE(worker.wasAbandoned());
    EXPECT_EQ(worker.exitCode(), 5u);
    EXPECT_TRUE(ended->load());
}

// A worker stuck in a call that ignores the stop token: stop gives up at its
// limit, the owner goes away, and the worker, once it wakes, works on state it
// shares and is kept alive for it, while its notices reach nobody.
TEST(Thread, AWorkerStuckPastTheLimitIsLeftBehindWithoutTouchingFreedState) {
    struct Job {
        std::promise<void> wake;
        std::promise<void> done;
        std::vector<int> results;  // filled after the owner has gone
        BOOL posted = TRUE;
        LRESULT sent = 1;
    };
    auto job = std::make_shared<Job>();
    std::shared_future<void> wake = job->wake.get_future().share();
    std::future<void> done = job->done.get_future();

    Receiver receiver;
    ASSERT_TRUE(receiver.createFrame());
    {
        Thread worker;
        worker.setStopLimit(100ms);
        ASSERT_TRUE(worker.start([job, wake, window = receiver.handle()](WorkerContext& context) -> DWORD {
            wake.wait();  // deaf to the stop token
            job->results.assign(1000, 42);
            job->posted = context.post(window, WM_COMMAND, 500, 0);
            job->sent = context.send(window, WM_USER + 5, 0, 0);
            job->done.set_value();
            return 0;
        }));
        worker.stop();
        EXPECT_TRUE(worker.wasAbandoned());
        EXPECT_TRUE(worker.isRunning());
    }  // the owner is gone while its worker still runs
    job->wake.set_value();
    ASSERT_EQ(done.wait_for(10s), std::future_status::ready);
    headless::pumpMessages();
    EXPECT_EQ(job->results.size(), 1000u);
    EXPECT_FALSE(job->posted);
    EXPECT_EQ(job->sent, 0);
    EXPECT_EQ(receiver.commands, 0);
    EXPECT_EQ(receiver.sends, 0);
}

}  // namespace
