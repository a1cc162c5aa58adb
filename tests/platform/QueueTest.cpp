// The message queue: order, filters, quit, timers and sends across threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "MessageLog.h"
#include "platform/display/Headless.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct Queue : ::testing::Test {
    HWND window = nullptr;
    void SetUp() override {
        headless::pumpMessages();
        window =
            CreateWindowExW(0, loggedClass(), u"Q", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        MessageLog::instance().clear();
    }
    void TearDown() override {
        DestroyWindow(window);
        headless::pumpMessages();
    }
};

TEST_F(Queue, PostedMessagesComeInOrderAndRespectFilters) {
    PostMessageW(window, WM_USER + 1, 1, 0);
    PostMessageW(window, WM_USER + 2, 2, 0);
    PostMessageW(nullptr, WM_USER + 3, 3, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 2, WM_USER + 3, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1u);
    EXPECT_EQ(msg.hwnd, window);
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER + 3u);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Queue, QuitEndsTheLoopAfterPostedMessages) {
    PostMessageW(window, WM_USER, 0, 0);
    PostQuitMessage(3);
    MSG msg;
    EXPECT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(Queue, GetMessageOnAStaleWindowFails) {
    HWND gone = CreateWindowExW(0, loggedClass(), u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, gone, 0, 0), -1);
}

TEST_F(Queue, TimersFireRepeatedlyUntilKilledAndRestartWithTheSameId) {
    EXPECT_EQ(SetTimer(window, 2, 10, nullptr), 2u);
    MSG msg;
    int ticks = 0;
    while (ticks < 3 && GetMessageW(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_TIMER && msg.hwnd == window) {
            EXPECT_EQ(msg.wParam, 2u);
            ++ticks;
        }
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(KillTimer(window, 2));
    EXPECT_FALSE(KillTimer(window, 2));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(PeekMessageW(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(Queue, TimersOfADestroyedWindowStop) {
    HWND w = CreateWindowExW(0, loggedClass(), u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SetTimer(w, 1, 1, nullptr);
    DestroyWindow(w);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

std::atomic<int> timerProcCalls{0};
void countingTimerProc(HWND, UINT, UINT_PTR, DWORD) { ++timerProcCalls; }

TEST_F(Queue, TimerProceduresAreCalledByDispatch) {
    timerProcCalls = 0;
    SetTimer(window, 9, 1, countingTimerProc);
    MSG msg;
    while (timerProcCalls == 0 && GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
    KillTimer(window, 9);
    EXPECT_EQ(timerProcCalls, 1);
    EXPECT_TRUE(MessageLog::instance().of(WM_TIMER).empty());
}

std::thread::id handledOn;
LRESULT threadRecordingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_USER + 5) {
        handledOn = std::this_thread::get_id();
        return static_cast<LRESULT>(wp * 2);
    }
    return DefWindowProcW(w, m, wp, lp);
}

TEST_F(Queue, SendFromAWorkerWaitsForTheWindowsThread) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&threadRecordingProc));
    std::atomic<LRESULT> result{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        result = SendMessageW(window, WM_USER + 5, 21, 0);
        done = true;
        PostMessageW(window, WM_USER + 6, 0, 0);
    });
    MSG msg;
    while (!done && GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
    worker.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
}

TEST_F(Queue, TwoThreadsSendingToEachOtherDoNotDeadlock) {
    std::atomic<HWND> workerWindow{nullptr};
    std::atomic<LRESULT> workerGot{0};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        HWND w = CreateWindowExW(0, loggedClass(), u"worker", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&threadRecordingProc));
        workerWindow = w;
        // Sends to the UI thread, which at the same time sends to us.
        workerGot = SendMessageW(window, WM_USER + 5, 5, 0);
        while (!finished) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        DestroyWindow(w);
    });
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&threadRecordingProc));
    while (!workerWindow) std::this_thread::yield();
    LRESULT uiGot = SendMessageW(workerWindow, WM_USER + 5, 8, 0);
    finished = true;
    worker.join();
    EXPECT_EQ(uiGot, 16);
    EXPECT_EQ(workerGot, 10);
}

TEST_F(Queue, PostingFromAWorkerWakesAWaitingLoop) {
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PostMessageW(window, WM_USER + 9, 7, 0);
    });
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, window, WM_USER + 9, WM_USER + 9));
    EXPECT_EQ(msg.wParam, 7u);
    worker.join();
}

}  // namespace

namespace {

std::u16string readClipboard() {
    std::u16string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const char16_t*>(GlobalLock(h))) {
            text = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

TEST(Clipboard, TextRoundTripsThroughMovableMemory) {
    std::u16string text = u"Copy 日本語\r\nline two";
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * 2);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), (text.size() + 1) * 2);
    auto* p = static_cast<char16_t*>(GlobalLock(h));
    std::copy(text.begin(), text.end(), p);
    p[text.size()] = 0;
    GlobalUnlock(h);
    EXPECT_FALSE(SetClipboardData(CF_UNICODETEXT, h));  // not open
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, h), h);
    EXPECT_EQ(GlobalSize(h), 0u);  // the clipboard took and freed the block
    CloseClipboard();
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(readClipboard(), text);
}

TEST(Clipboard, OneThreadAtATime) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    bool otherGotIt = true;
    std::thread other([&] { otherGotIt = OpenClipboard(nullptr) != FALSE; });
    other.join();
    EXPECT_FALSE(otherGotIt);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_EQ(GlobalFree(reinterpret_cast<HGLOBAL>(0x12345)), reinterpret_cast<HGLOBAL>(0x12345));
}

}  // namespace
