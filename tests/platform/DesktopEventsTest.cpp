// What the desktop tells a program besides input, through the headless
// display: a window shown again after it was covered, the rectangles that
// reach the screen, drops onto the window the window system names, a focus
// notice for a modal box's owner, and the end of the session (asked by the
// desktop, or forced by a signal with nobody to answer).
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>

#include "MessageLog.h"
#include "platform/api/Ole.h"
#include "platform/api/Startup.h"
#include "platform/display/Headless.h"
#include "platform/display/SessionSignals.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct DesktopEvents : ::testing::Test {
    MessageLog& log = MessageLog::instance();
    HWND frame = nullptr;
    void SetUp() override {
        headless::pumpMessages();
        frame = CreateWindowExW(0, loggedClass(), u"Desktop", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                                nullptr, nullptr, nullptr, nullptr);
        log.name(frame, "frame");
        headless::pumpMessages();
        log.clear();
    }
    void TearDown() override {
        if (IsWindow(frame)) DestroyWindow(frame);
        headless::pumpMessages();
    }
};

TEST_F(DesktopEvents, AnExposedWindowIsPresentedWholeWithoutPainting) {
    headless::expose(frame);
    headless::pumpMessages();
    const auto presented = headless::lastPresented(frame);
    ASSERT_EQ(presented.size(), 1u);
    EXPECT_TRUE(sameRect(presented[0], RECT{0, 0, 400, 300}));
    EXPECT_TRUE(log.of(WM_PAINT).empty()) << "the picture was still whole: nothing to paint";
}

LRESULT paintingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_PAINT) return loggingProc(w, m, wp, lp);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(w, &paint);
    FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EndPaint(w, &paint);
    return 0;
}

TEST_F(DesktopEvents, SmallChangesFarApartReachTheScreenAsTheirOwnRectangles) {
    SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(paintingProc));
    const RECT label{300, 270, 390, 290};
    const RECT highlight{10, 10, 200, 30};
    InvalidateRect(frame, &label, TRUE);
    InvalidateRect(frame, &highlight, TRUE);
    headless::pumpMessages();
    auto presented = headless::lastPresented(frame);
    std::sort(presented.begin(), presented.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
    ASSERT_EQ(presented.size(), 2u);
    EXPECT_TRUE(sameRect(presented[0], highlight));
    EXPECT_TRUE(sameRect(presented[1], label));
}

TEST_F(DesktopEvents, DroppedFilesGoToTheNamedWindowNotToTheOneUnderThePointer) {
    HWND other = CreateWindowExW(WS_EX_ACCEPTFILES, loggedClass(), u"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 100,
                                 200, 200, nullptr, nullptr, nullptr, nullptr);
    log.name(other, "other");
    DragAcceptFiles(frame, TRUE);
    headless::pumpMessages();
    log.clear();
    // The point is over the other window (where the pointer last was).
    headless::dropFiles({u"/lessons/a.mp3"}, POINT{650, 150}, frame);
    headless::pumpMessages();
    const auto drops = log.of(WM_DROPFILES);
    ASSERT_EQ(drops.size(), 1u) << log.describe();
    EXPECT_EQ(drops[0].window, frame);
    POINT at{};
    EXPECT_TRUE(DragQueryPoint(reinterpret_cast<HDROP>(drops[0].wParam), &at));
    // Outside the named window: its middle.
    EXPECT_EQ(at.x, 200);
    EXPECT_EQ(at.y, 150);
    DragFinish(reinterpret_cast<HDROP>(drops[0].wParam));
    DestroyWindow(other);
}

class TextTarget final : public IDropTarget {
public:
    HRESULT QueryInterface(REFIID, void** object) override {
        *object = this;
        return S_OK;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        offeredFiles = data->QueryGetData(&files) == S_OK;
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragLeave() override { return S_OK; }
    HRESULT Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) override {
        FORMATETC format{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data->GetData(&format, &medium) == S_OK) {
            text = static_cast<const char16_t*>(GlobalLock(medium.hGlobal));
            GlobalUnlock(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
        at = point;
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    std::u16string text;
    bool offeredFiles = true;
    POINTL at{};
};

TEST_F(DesktopEvents, DroppedTextReachesTheDropTargetAsUnicodeText) {
    TextTarget target;
    ASSERT_EQ(RegisterDragDrop(frame, &target), S_OK);
    headless::dropText(u"Turn left at the second corner.\r\n二つ目の角を左に", POINT{150, 140}, frame);
    headless::pumpMessages();
    EXPECT_EQ(target.text, u"Turn left at the second corner.\r\n二つ目の角を左に");
    EXPECT_FALSE(target.offeredFiles);
    EXPECT_EQ(target.at.x, 150);
    EXPECT_EQ(target.at.y, 140);
    RevokeDragDrop(frame);
}

TEST_F(DesktopEvents, DroppedTextWithoutADropTargetIsLeftAlone) {
    DragAcceptFiles(frame, TRUE);
    headless::dropText(u"words", POINT{150, 140}, frame);
    headless::pumpMessages();
    EXPECT_TRUE(log.of(WM_DROPFILES).empty());
}

// A late focus notice for the owner of a modal box (sent before the box came)
// must not take the keyboard away from the box.
TEST_F(DesktopEvents, AFocusNoticeForADisabledOwnerLeavesTheBoxActive) {
    HWND box = CreateWindowExW(0, loggedClass(), u"Box", WS_POPUP | WS_CAPTION | WS_VISIBLE, 150, 150, 200, 100, frame,
                               nullptr, nullptr, nullptr);
    EnableWindow(frame, FALSE);
    SetActiveWindow(box);
    headless::pumpMessages();
    ASSERT_EQ(GetActiveWindow(), box);
    headless::focusWindow(frame);
    headless::pumpMessages();
    EXPECT_EQ(GetActiveWindow(), box);
    EnableWindow(frame, TRUE);
    DestroyWindow(box);
}

TEST_F(DesktopEvents, AFocusNoticeActivatesAnEnabledWindow) {
    HWND other = CreateWindowExW(0, loggedClass(), u"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 100, 200, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    SetActiveWindow(frame);
    headless::focusWindow(other);
    headless::pumpMessages();
    EXPECT_EQ(GetActiveWindow(), other);
    DestroyWindow(other);
}

LRESULT refusingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    loggingProc(w, m, wp, lp);
    if (m == WM_QUERYENDSESSION) return FALSE;
    return DefWindowProcW(w, m, wp, lp);
}

bool quitPosted(int& code) {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    code = static_cast<int>(msg.wParam);
    return true;
}

TEST_F(DesktopEvents, AQuitRequestOfTheDesktopEndsTheSessionWhenEveryWindowAgrees) {
    headless::endSession(false);
    headless::pumpMessages();
    const auto queries = log.of(WM_QUERYENDSESSION);
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries[0].lParam, ENDSESSION_LOGOFF);
    const auto ends = log.of(WM_ENDSESSION);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].wParam, static_cast<WPARAM>(TRUE));
    int code = -1;
    EXPECT_TRUE(quitPosted(code));
    EXPECT_EQ(code, 0);
}

TEST_F(DesktopEvents, AWindowMayRefuseAQuitRequestOfTheDesktop) {
    SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(refusingProc));
    headless::endSession(false);
    headless::pumpMessages();
    const auto ends = log.of(WM_ENDSESSION);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].wParam, static_cast<WPARAM>(FALSE));
    int code = -1;
    EXPECT_FALSE(quitPosted(code));
}

TEST_F(DesktopEvents, NobodyCanRefuseWhenASignalEndsTheSession) {
    SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(refusingProc));
    ::raise(SIGTERM);
    headless::pumpMessages();
    const auto queries = log.of(WM_QUERYENDSESSION);
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries[0].lParam, ENDSESSION_CRITICAL);
    const auto ends = log.of(WM_ENDSESSION);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].wParam, static_cast<WPARAM>(TRUE));
    int code = -1;
    EXPECT_TRUE(quitPosted(code));
    EXPECT_EQ(code, 0);
}

TEST(SessionSignals, ASecondSignalEndsTheProcessAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            veltrix::platform::session::installSignalHandlers();
            ::raise(SIGINT);
            ::raise(SIGTERM);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

// `timeout` sends its signal to the process and then to its process group:
// one request, arriving twice.
TEST(SessionSignals, TheSameSignalFromTheSameSenderAtOnceIsOneRequest) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            veltrix::platform::session::installSignalHandlers();
            ::raise(SIGTERM);
            ::raise(SIGTERM);
            const int first = veltrix::platform::session::takeSignal();
            std::exit(first == SIGTERM && veltrix::platform::session::takeSignal() == 0 ? 5 : 6);
        },
        ::testing::ExitedWithCode(5), "");
}

TEST(SessionSignals, ASignalTheProcessWasStartedToIgnoreStaysIgnored) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::signal(SIGHUP, SIG_IGN);
            veltrix::platform::session::installSignalHandlers();
            ::raise(SIGHUP);
            std::exit(veltrix::platform::session::takeSignal() == 0 ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "");
}

}  // namespace
