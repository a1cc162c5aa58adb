// The window manager's lock: the state is reached through the guard, waits
// let the lock go, and the GDI lock is never taken under the window lock (the
// order that keeps drawing threads and the message loop from deadlocking).
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <thread>

#include "platform/win32.h"
#include "platform/window/WindowManager.h"

namespace {

using veltrix::platform::WindowManager;

TEST(WindowLock, TheGuardSaysWhileItHoldsTheLock) {
    EXPECT_FALSE(WindowManager::heldByThisThread());
    {
        auto lock = WindowManager::lock();
        EXPECT_TRUE(WindowManager::heldByThisThread());
        lock.unlock();
        EXPECT_FALSE(WindowManager::heldByThisThread());
        // Between unlock and relock GDI may be called: that is what unlock is for.
        EXPECT_NE(GetSysColorBrush(COLOR_WINDOW), nullptr);
        lock.relock();
        EXPECT_TRUE(WindowManager::heldByThisThread());
    }
    EXPECT_FALSE(WindowManager::heldByThisThread());
}

TEST(WindowLock, AWaitLetsAnotherThreadTakeTheLock) {
    std::condition_variable changed;
    std::atomic<bool> ready{false};
    bool flag = false;  // guarded by the window lock
    std::thread other([&] {
        while (!ready) std::this_thread::yield();
        auto lock = WindowManager::lock();
        flag = true;
        changed.notify_all();
    });
    {
        auto lock = WindowManager::lock();
        ready = true;
        for (int i = 0; i < 200 && !flag; ++i) lock.waitFor(changed, std::chrono::milliseconds(50));
        EXPECT_TRUE(flag);
        EXPECT_TRUE(WindowManager::heldByThisThread());
    }
    other.join();
}

TEST(WindowLockDeathTest, TakingTheGdiLockUnderTheWindowLockStopsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto lock = WindowManager::lock();
            GetSysColorBrush(COLOR_WINDOW);
        },
        "GDI lock was taken while the window lock was held");
}

}  // namespace
