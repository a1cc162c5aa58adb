// The input method, hover tracking, re-parenting between top-level and child,
// and top-level windows owned by a worker thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "MessageLog.h"
#include "platform/display/Headless.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

std::u16string compositionString(HWND window, DWORD index) {
    HIMC context = ImmGetContext(window);
    LONG bytes = ImmGetCompositionStringW(context, index, nullptr, 0);
    std::u16string text(static_cast<std::size_t>(std::max<LONG>(bytes, 0)) / 2, u'\0');
    if (bytes > 0) ImmGetCompositionStringW(context, index, text.data(), static_cast<DWORD>(bytes));
    ImmReleaseContext(window, context);
    return text;
}

// What an editor sees while it handles each IME message.
struct Seen {
    UINT message;
    LPARAM flags;
    std::u16string editing;
    std::u16string result;
    LONG cursor;
};
std::vector<Seen> seen;
bool swallowResults = false;

LRESULT imeProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_IME_STARTCOMPOSITION || m == WM_IME_COMPOSITION || m == WM_IME_ENDCOMPOSITION) {
        HIMC c = ImmGetContext(w);
        seen.push_back({m, lp, compositionString(w, GCS_COMPSTR), compositionString(w, GCS_RESULTSTR),
                        ImmGetCompositionStringW(c, GCS_CURSORPOS, nullptr, 0)});
        ImmReleaseContext(w, c);
        if (m == WM_IME_COMPOSITION && (lp & GCS_RESULTSTR) && swallowResults) return 0;
    }
    return loggingProc(w, m, wp, lp);
}

LPCWSTR imeClass() {
    static bool done = false;
    if (!done) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = imeProc;
        wc.lpszClassName = u"ImeLogged";
        RegisterClassExW(&wc);
        done = true;
    }
    return u"ImeLogged";
}

struct InputMethod : ::testing::Test {
    MessageLog& log = MessageLog::instance();
    HWND frame = nullptr, field = nullptr;
    void SetUp() override {
        headless::pumpMessages();
        seen.clear();
        swallowResults = false;
        frame = CreateWindowExW(0, loggedClass(), u"Ime", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                                nullptr, nullptr, nullptr);
        field = CreateWindowExW(0, imeClass(), u"", WS_CHILD | WS_VISIBLE, 10, 20, 200, 30, frame, nullptr, nullptr,
                                nullptr);
        log.name(field, "field");
        SetFocus(field);
        headless::pumpMessages();
        log.clear();
    }
    void TearDown() override {
        headless::compose(u"", 0);
        DestroyWindow(frame);
        headless::pumpMessages();
    }
};

TEST_F(InputMethod, ACompositionStartsUpdatesAndEndsWithItsResult) {
    headless::compose(u"か", 1);
    headless::compose(u"かん", 2);
    headless::typeText(u"漢");
    headless::pumpMessages();
    EXPECT_TRUE(log.matches({{"field", WM_IME_STARTCOMPOSITION},
                             {"field", WM_IME_COMPOSITION},
                             {"field", WM_IME_COMPOSITION},
                             {"field", WM_IME_COMPOSITION},
                             {"field", WM_IME_CHAR},
                             {"field", WM_CHAR},
                             {"field", WM_IME_ENDCOMPOSITION}}))
        << log.describe();
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[1].flags, static_cast<LPARAM>(GCS_COMPSTR | GCS_CURSORPOS));
    EXPECT_EQ(seen[1].editing, u"か");
    EXPECT_EQ(seen[2].editing, u"かん");
    EXPECT_EQ(seen[2].cursor, 2);
    EXPECT_EQ(seen[3].flags, static_cast<LPARAM>(GCS_RESULTSTR));
    EXPECT_EQ(seen[3].result, u"漢");
    EXPECT_EQ(seen[3].editing, u"");
    EXPECT_EQ(log.of(WM_CHAR).at(0).wParam, u'漢');
}

TEST_F(InputMethod, AWindowThatTakesTheResultGetsNoCharacters) {
    swallowResults = true;
    headless::compose(u"にほん", 3);
    headless::typeText(u"日本");
    headless::pumpMessages();
    EXPECT_TRUE(log.of(WM_CHAR).empty());
    EXPECT_TRUE(log.of(WM_IME_CHAR).empty());
    EXPECT_EQ(log.of(WM_IME_ENDCOMPOSITION).size(), 1u);
}

TEST_F(InputMethod, ACancelledCompositionEndsWithoutText) {
    headless::compose(u"あ", 1);
    headless::compose(u"", 0);
    headless::compose(u"", 0);  // nothing runs any more: ignored
    headless::pumpMessages();
    EXPECT_TRUE(log.matches({{"field", WM_IME_STARTCOMPOSITION},
                             {"field", WM_IME_COMPOSITION},
                             {"field", WM_IME_COMPOSITION},
                             {"field", WM_IME_ENDCOMPOSITION}}))
        << log.describe();
    EXPECT_EQ(seen.at(2).flags, 0);
    EXPECT_TRUE(log.of(WM_CHAR).empty());
}

TEST_F(InputMethod, TextWithoutACompositionArrivesAsCharacters) {
    headless::typeText(u"ab");
    headless::pumpMessages();
    EXPECT_TRUE(log.matches({{"field", WM_CHAR}, {"field", WM_CHAR}})) << log.describe();
    EXPECT_TRUE(seen.empty());
}

TEST_F(InputMethod, CompositionStringsCopyWholeUnitsAndReportTheirSize) {
    headless::compose(u"かな", 1);
    headless::pumpMessages();
    HIMC c = ImmGetContext(field);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(ImmGetCompositionStringW(c, GCS_COMPSTR, nullptr, 0), 4);
    char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(ImmGetCompositionStringW(c, GCS_COMPSTR, buffer, 3), 2);  // one unit fits
    EXPECT_EQ(buffer[0], u'か');
    EXPECT_EQ(buffer[1], u'x');
    EXPECT_EQ(ImmGetCompositionStringW(c, GCS_CURSORPOS, nullptr, 0), 1);
    EXPECT_LT(ImmGetCompositionStringW(c, 0x1234, nullptr, 0), 0);
    ImmReleaseContext(field, c);
    EXPECT_EQ(ImmGetContext(nullptr), nullptr);
}

TEST_F(InputMethod, TextInputFollowsTheFocusAndTheCompositionWindow) {
    RECT area;
    ASSERT_TRUE(headless::textInputArea(area));
    EXPECT_EQ(area.left, 100 + 10);  // the field's client area on the screen
    HIMC c = ImmGetContext(field);
    COMPOSITIONFORM form{CFS_POINT, {40, 5}, {}};
    EXPECT_TRUE(ImmSetCompositionWindow(c, &form));
    ASSERT_TRUE(headless::textInputArea(area));
    POINT origin{0, 0};
    ClientToScreen(field, &origin);
    EXPECT_EQ(area.left, origin.x + 40);
    EXPECT_EQ(area.top, origin.y + 5);
    COMPOSITIONFORM back{};
    EXPECT_TRUE(ImmGetCompositionWindow(c, &back));
    EXPECT_EQ(back.ptCurrentPos.x, 40);
    ImmReleaseContext(field, c);
    SetFocus(nullptr);
    EXPECT_FALSE(headless::textInputArea(area));
}

TEST_F(InputMethod, AWorkerLosingItsFocusLeavesTextInputToTheFocusThatRemains) {
    std::thread worker([] {
        HWND w = CreateWindowExW(0, loggedClass(), u"Worker", WS_POPUP | WS_VISIBLE, 500, 500, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
        SetFocus(w);
        DestroyWindow(w);  // its thread now has no focus
    });
    worker.join();
    RECT area;
    ASSERT_TRUE(headless::textInputArea(area));
    POINT origin{0, 0};
    ClientToScreen(field, &origin);
    EXPECT_EQ(area.left, origin.x);
}

// Hover ---------------------------------------------------------------------------------------

TEST_F(InputMethod, HoverComesOnceAfterThePointerRestsAndRestartsWhenItMoves) {
    headless::mouseMove({150, 150});
    headless::pumpMessages();
    TRACKMOUSEEVENT track{sizeof track, TME_HOVER, frame, 30};
    ASSERT_TRUE(TrackMouseEvent(&track));
    log.clear();
    auto start = std::chrono::steady_clock::now();
    MSG msg;
    // A move beyond the hover square restarts the time.
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    headless::mouseMove({160, 150});
    headless::pumpMessages();
    EXPECT_TRUE(log.of(WM_MOUSEHOVER).empty());
    while (log.of(WM_MOUSEHOVER).empty() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        if (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    }
    auto hover = log.of(WM_MOUSEHOVER);
    ASSERT_EQ(hover.size(), 1u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(45));
    POINT client{160, 150};
    ScreenToClient(frame, &client);
    EXPECT_EQ(GET_X_LPARAM(hover[0].lParam), client.x);
    EXPECT_EQ(GET_Y_LPARAM(hover[0].lParam), client.y);
    // Tracking has ended: resting longer brings nothing more.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    headless::pumpMessages();
    EXPECT_EQ(log.of(WM_MOUSEHOVER).size(), 1u);
}

TEST_F(InputMethod, HoverIsCancelledWhenThePointerGoesToAnotherWindow) {
    headless::mouseMove({150, 150});
    headless::pumpMessages();
    TRACKMOUSEEVENT track{sizeof track, TME_HOVER, frame, 20};
    TrackMouseEvent(&track);
    headless::mouseMove({100 + 10 + 5, 100 + 20 + 5});  // over the field
    headless::pumpMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    headless::pumpMessages();
    EXPECT_TRUE(log.of(WM_MOUSEHOVER).empty());
}

// Re-parenting --------------------------------------------------------------------------------

TEST_F(InputMethod, AChildBecomesTopLevelAndBackKeepingItsPlaceOnTheScreen) {
    RECT before;
    GetWindowRect(field, &before);
    EXPECT_EQ(SetParent(field, nullptr), frame);
    EXPECT_EQ(GetAncestor(field, GA_ROOT), field);
    EXPECT_EQ(GetAncestor(field, GA_PARENT), nullptr);
    RECT after;
    GetWindowRect(field, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    headless::pumpMessages();
    EXPECT_TRUE(headless::shown(field));
    EXPECT_NE(headless::pixel(field, 1, 1), CLR_INVALID);  // it has a picture of its own
    // A click at its place reaches it as a window of its own.
    log.clear();
    headless::click(headless::Button::Left, {before.left + 3, before.top + 4});
    headless::pumpMessages();
    ASSERT_EQ(log.of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(log.of(WM_LBUTTONDOWN)[0].window, field);
    EXPECT_EQ(log.of(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(3, 4));

    EXPECT_EQ(SetParent(field, frame), GetDesktopWindow());
    EXPECT_EQ(GetAncestor(field, GA_PARENT), frame);
    EXPECT_FALSE(headless::shown(field));
    GetWindowRect(field, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(SetParent(frame, field), nullptr);  // a window never goes inside itself
}

// Worker threads ------------------------------------------------------------------------------

TEST(WorkerWindows, ATopLevelWindowOfAWorkerReceivesItsInputOnTheWorkersQueue) {
    headless::pumpMessages();
    std::atomic<HWND> made{nullptr};
    std::atomic<DWORD> worker{0};
    std::atomic<DWORD> clickedOn{0};
    std::atomic<bool> done{false};
    std::thread t([&] {
        worker = GetCurrentThreadId();
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_LBUTTONDOWN) {
                SetWindowLongPtrW(w, GWLP_USERDATA, static_cast<LONG_PTR>(GetCurrentThreadId()));
                PostQuitMessage(0);
            }
            return DefWindowProcW(w, m, wp, lp);
        };
        wc.lpszClassName = u"WorkerTop";
        RegisterClassExW(&wc);
        HWND w = CreateWindowExW(0, u"WorkerTop", u"Worker", WS_POPUP | WS_VISIBLE, 600, 400, 100, 80, nullptr, nullptr,
                                 nullptr, nullptr);
        made = w;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        clickedOn = static_cast<DWORD>(GetWindowLongPtrW(w, GWLP_USERDATA));
        DestroyWindow(w);
        done = true;
    });
    auto start = std::chrono::steady_clock::now();
    while (!made && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) std::this_thread::yield();
    ASSERT_NE(made.load(), nullptr);
    EXPECT_EQ(GetWindowThreadProcessId(made, nullptr), worker.load());
    headless::click(headless::Button::Left, {620, 420});
    // The display thread turns raw input into messages for the worker's queue.
    while (!done && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        headless::pumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!done) PostThreadMessageW(worker, WM_QUIT, 0, 0);
    t.join();
    EXPECT_EQ(clickedOn.load(), worker.load());
}

}  // namespace
