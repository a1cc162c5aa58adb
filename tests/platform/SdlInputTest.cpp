// Real X input through the SDL2 display: the X test extension moves the
// pointer, clicks, turns the wheel and types, and the messages must reach the
// right windows. Runs under xvfb-run (see run-under-xvfb.sh); without an X
// display it skips itself.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <cstdlib>
#include <functional>

#include "FakeXInput.h"
#include "MessageLog.h"
#include "SdlEvents.h"
#include "platform/display/Headless.h"

using namespace veltrix::test;

namespace {

// Runs the message loop until the condition holds or three seconds pass.
bool pumpUntil(const std::function<bool()>& condition) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    UINT_PTR tick = SetTimer(nullptr, 0, 10, nullptr);
    MSG msg;
    bool met = condition();
    while (!met && std::chrono::steady_clock::now() < until && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        met = condition();
    }
    KillTimer(nullptr, tick);
    return met;
}

void settle(int ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    pumpUntil([&] { return std::chrono::steady_clock::now() >= until; });
}

struct SdlInput : ::testing::Test {
    std::unique_ptr<FakeXInput> x;
    HWND frame = nullptr, left = nullptr, right = nullptr;
    MessageLog& log = MessageLog::instance();

    void SetUp() override {
        unsetenv("VELTRIX_DISPLAY");
        x = FakeXInput::open();
        if (!x) GTEST_SKIP() << "no X display with the XTEST extension";
        frame = CreateWindowExW(0, loggedClass(), u"SDL input", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 40, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(frame, nullptr);
        if (veltrix::platform::headless::active()) GTEST_SKIP() << "SDL2 found no video driver";
        left = CreateWindowExW(0, loggedClass(), u"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, frame, nullptr, nullptr,
                               nullptr);
        right = CreateWindowExW(0, loggedClass(), u"", WS_CHILD | WS_VISIBLE, 150, 10, 100, 100, frame, nullptr,
                                nullptr, nullptr);
        log.name(frame, "frame");
        log.name(left, "left");
        log.name(right, "right");
        settle(400);  // mapped and painted
        SetFocus(right);
        log.clear();
    }
    void TearDown() override {
        if (frame) DestroyWindow(frame);
    }
    // Screen point of a client point of the frame.
    POINT at(HWND window, int cx, int cy) {
        POINT p{cx, cy};
        ClientToScreen(window, &p);
        return p;
    }
    void moveTo(POINT p) { x->moveTo(p.x, p.y); }
    void button(unsigned int b) { x->click(b); }
    void key(unsigned long symbol) { x->typeKey(symbol); }
    bool got(UINT message, HWND window) {
        for (const auto& m : log.of(message))
            if (m.window == window) return true;
        return false;
    }
};

TEST_F(SdlInput, ClicksReachTheChildUnderThePointerInClientCoordinates) {
    moveTo(at(left, 20, 30));
    ASSERT_TRUE(pumpUntil([&] { return got(WM_MOUSEMOVE, left); })) << log.describe();
    button(1);
    ASSERT_TRUE(pumpUntil([&] { return got(WM_LBUTTONUP, left); })) << log.describe();
    auto down = log.of(WM_LBUTTONDOWN);
    ASSERT_FALSE(down.empty()) << log.describe();
    EXPECT_EQ(down.back().window, left);
    EXPECT_EQ(GET_X_LPARAM(down.back().lParam), 20);
    EXPECT_EQ(GET_Y_LPARAM(down.back().lParam), 30);
    EXPECT_FALSE(got(WM_LBUTTONDOWN, right));

    moveTo(at(right, 5, 6));
    button(3);
    ASSERT_TRUE(pumpUntil([&] { return got(WM_RBUTTONUP, right); })) << log.describe();
}

TEST_F(SdlInput, TheWheelGoesToTheFocusWindow) {
    moveTo(at(left, 20, 20));
    pumpUntil([&] { return got(WM_MOUSEMOVE, left); });
    button(4);  // away from the user
    ASSERT_TRUE(pumpUntil([&] { return !log.of(WM_MOUSEWHEEL).empty(); })) << log.describe();
    auto wheel = log.of(WM_MOUSEWHEEL);
    EXPECT_EQ(wheel.front().window, right);
    EXPECT_EQ(static_cast<short>(HIWORD(wheel.front().wParam)), WHEEL_DELTA);
}

TEST_F(SdlInput, KeysAndTypedCharactersReachTheFocusWindow) {
    // Without a window manager the keyboard follows the pointer.
    moveTo(at(right, 50, 50));
    pumpUntil([&] { return got(WM_MOUSEMOVE, right); });
    key(FakeXInput::kLetterA);
    key(FakeXInput::kReturn);
    ASSERT_TRUE(pumpUntil([&] { return log.of(WM_CHAR).size() >= 2 && got(WM_KEYUP, right); })) << log.describe();
    auto downs = log.of(WM_KEYDOWN);
    ASSERT_GE(downs.size(), 2u) << log.describe();
    EXPECT_EQ(downs[0].window, right);
    EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(downs[1].wParam, static_cast<WPARAM>(VK_RETURN));
    auto chars = log.of(WM_CHAR);
    EXPECT_EQ(chars[0].window, right);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(u'a'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>(u'\r'));
}

}  // namespace

namespace {

TEST_F(SdlInput, AWorkerThreadsMessageBoxTakesTheKeyboardWhileTheMainLoopRuns) {
    std::atomic<int> answer{-1};
    std::thread worker([&] { answer = MessageBoxW(nullptr, u"From a worker", u"Worker box", MB_OKCANCEL); });
    HWND box = nullptr;
    // The worker's window reaches the screen through this thread's loop.
    ASSERT_TRUE(pumpUntil([&] { return (box = FindWindowW(nullptr, u"Worker box")) != nullptr; }));
    settle(300);
    RECT r;
    GetWindowRect(box, &r);
    moveTo({(r.left + r.right) / 2, r.top + 10});  // the X keyboard follows the pointer
    settle(100);
    x->typeKey(FakeXInput::kEscape);
    bool byKey = pumpUntil([&] { return answer != -1; });
    if (!byKey) PostMessageW(box, WM_CLOSE, 0, 0);  // never leave the worker waiting
    pumpUntil([&] { return answer != -1; });
    worker.join();
    EXPECT_TRUE(byKey);
    EXPECT_EQ(answer.load(), IDCANCEL);
}

}  // namespace

namespace {

std::u16string compositionNow(HWND window, DWORD index) {
    HIMC c = ImmGetContext(window);
    LONG bytes = ImmGetCompositionStringW(c, index, nullptr, 0);
    std::u16string text(static_cast<std::size_t>(std::max<LONG>(bytes, 0)) / 2, u'\0');
    if (bytes > 0) ImmGetCompositionStringW(c, index, text.data(), static_cast<DWORD>(bytes));
    ImmReleaseContext(window, c);
    return text;
}

TEST_F(SdlInput, InputMethodEventsBecomeCompositionMessages) {
    // The caret comes in code points: after "𠮷" (two UTF-16 units) it is at 2.
    pushSdlComposition("𠮷か", 1);
    ASSERT_TRUE(pumpUntil([&] { return got(WM_IME_COMPOSITION, right); })) << log.describe();
    EXPECT_TRUE(got(WM_IME_STARTCOMPOSITION, right));
    EXPECT_EQ(compositionNow(right, GCS_COMPSTR), u"𠮷か");
    HIMC c = ImmGetContext(right);
    EXPECT_EQ(ImmGetCompositionStringW(c, GCS_CURSORPOS, nullptr, 0), 2);
    ImmReleaseContext(right, c);
    pushSdlText("𠮷漢");
    ASSERT_TRUE(pumpUntil([&] { return got(WM_IME_ENDCOMPOSITION, right); })) << log.describe();
    auto chars = log.of(WM_CHAR);
    ASSERT_EQ(chars.size(), 3u);  // one per UTF-16 unit
    EXPECT_EQ(chars[2].wParam, static_cast<WPARAM>(u'漢'));
    EXPECT_EQ(log.of(WM_IME_CHAR).size(), 3u);
}

}  // namespace
