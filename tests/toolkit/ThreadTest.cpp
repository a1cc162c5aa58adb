// Worker threads: start and stop, a worker that talks to a window while the
// window's thread waits for it, and the quit message met while waiting.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ToolkitTestSupport.h"
#include "toolkit/Thread.h"

using namespace veltrix::test;
using namespace std::chrono_literals;

namespace {

// Posts a command and sends a message to the window once per step until told
// to stop.
class Messenger : public Thread {
public:
    explicit Messenger(HWND window) : window_(window) {}
    ~Messenger() override { stop(); }
    DWORD run() override {
        while (!isStopRequested()) {
            PostMessageW(window_, WM_COMMAND, 500, 0);
            SendMessageW(window_, WM_USER + 5, 0, 0);
            ++steps;
        }
        return 7;
    }
    std::atomic<int> steps{0};

private:
    HWND window_;
};

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

class Sleeper : public Thread {
public:
    ~Sleeper() override { stop(); }
    DWORD run() override {
        ++runs;
        while (!isStopRequested()) std::this_thread::sleep_for(1ms);
        return 3;
    }
    std::atomic<int> runs{0};
};

TEST(Thread, AWorkerThatSendsToTheWaitingThreadIsStoppedWithoutDeadlock) {
    Receiver receiver;
    ASSERT_TRUE(receiver.createFrame());
    Messenger worker(receiver.handle());
    ASSERT_TRUE(worker.start());
    EXPECT_TRUE(worker.isRunning());
    while (receiver.sends < 20) {
        MSG msg;
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        DispatchMessageW(&msg);
    }
    // The worker is most likely inside SendMessageW now; stop must serve it.
    worker.stop();
    EXPECT_FALSE(worker.isRunning());
    EXPECT_TRUE(worker.isStopRequested());
    EXPECT_EQ(worker.exitCode(), 7u);
    headless::pumpMessages();
    EXPECT_GE(receiver.sends, 20);
    EXPECT_EQ(receiver.commands, worker.steps.load());
}

TEST(Thread, StartEndsARunningRunFirstAndStopIsRepeatable) {
    Sleeper worker;
    worker.stop();  // never started: only the flag
    EXPECT_TRUE(worker.isStopRequested());
    ASSERT_TRUE(worker.start());
    EXPECT_FALSE(worker.isStopRequested());
    ASSERT_TRUE(worker.start());
    worker.stop();
    worker.stop();
    EXPECT_EQ(worker.runs.load(), 2);
    EXPECT_EQ(worker.exitCode(), 3u);
    EXPECT_EQ(worker.priority(), Thread::kDefaultPriority);
}

TEST(Thread, AQuitMessageMetWhileWaitingIsPostedAgain) {
    Sleeper worker;
    ASSERT_TRUE(worker.start());
    PostQuitMessage(4);
    std::thread([&] {
        std::this_thread::sleep_for(20ms);
    }).join();
    worker.stop();
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
    }
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 4u);
}

TEST(Thread, AWorkerThatEndsByItselfIsJoinedOnStop) {
    class Quick : public Thread {
    public:
        ~Quick() override { stop(); }
        DWORD run() override { return 11; }
    } quick;
    ASSERT_TRUE(quick.start());
    while (quick.isRunning()) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(quick.exitCode(), 11u);
    EXPECT_FALSE(quick.isStopRequested()) << "the flag stays down until stop";
    quick.stop();
    EXPECT_TRUE(quick.isStopRequested());
}

}  // namespace
