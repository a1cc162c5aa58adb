// Real X input through the SDL2 display: the X test extension moves the
// pointer, clicks, turns the wheel and types, and the messages must reach the
// right windows, in the order they were typed, however fast. Runs under
// xvfb-run (see run-under-xvfb.sh); without an X display it skips itself.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "MessageLog.h"
#include "SdlEvents.h"
#include "platform/api/Ole.h"
#include "platform/api/Startup.h"
#include "platform/display/Headless.h"
#include "support/XDesktop.h"

using namespace veltrix::test;
using namespace std::chrono_literals;

namespace {

// Runs the message loop until the condition holds or the time is up.
bool pumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = 3s) {
    auto until = std::chrono::steady_clock::now() + limit;
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
    std::unique_ptr<XDesktop> x;
    HWND frame = nullptr, left = nullptr, right = nullptr;
    MessageLog& log = MessageLog::instance();

    void SetUp() override {
        unsetenv("VELTRIX_DISPLAY");
        x = XDesktop::open();
        if (!x) GTEST_SKIP() << "no X display with the XTEST extension";
        frame = CreateWindowExW(0, loggedClass(), u"SDL input", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 40, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(frame, nullptr);
        ASSERT_FALSE(veltrix::platform::headless::active());
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
        settle(50);
    }
    // Screen point of a client point of the window.
    POINT at(HWND window, int cx, int cy) {
        POINT p{cx, cy};
        ClientToScreen(window, &p);
        return p;
    }
    void moveTo(POINT p) { x->moveTo(p.x, p.y); }
    void typeKey(unsigned long symbol) {
        x->press(symbol);
        x->flush();
    }
    bool got(UINT message, HWND window) {
        for (const auto& m : log.of(message))
            if (m.window == window) return true;
        return false;
    }
};

TEST_F(SdlInput, ClicksReachTheChildUnderThePointerInClientCoordinates) {
    moveTo(at(left, 20, 30));
    ASSERT_TRUE(pumpUntil([&] { return got(WM_MOUSEMOVE, left); })) << log.describe();
    x->click(1);
    ASSERT_TRUE(pumpUntil([&] { return got(WM_LBUTTONUP, left); })) << log.describe();
    auto down = log.of(WM_LBUTTONDOWN);
    ASSERT_FALSE(down.empty()) << log.describe();
    EXPECT_EQ(down.back().window, left);
    EXPECT_EQ(GET_X_LPARAM(down.back().lParam), 20);
    EXPECT_EQ(GET_Y_LPARAM(down.back().lParam), 30);
    EXPECT_FALSE(got(WM_LBUTTONDOWN, right));

    moveTo(at(right, 5, 6));
    x->click(3);
    ASSERT_TRUE(pumpUntil([&] { return got(WM_RBUTTONUP, right); })) << log.describe();
}

TEST_F(SdlInput, TheWheelGoesToTheFocusWindow) {
    moveTo(at(left, 20, 20));
    pumpUntil([&] { return got(WM_MOUSEMOVE, left); });
    x->click(4);  // away from the user
    ASSERT_TRUE(pumpUntil([&] { return !log.of(WM_MOUSEWHEEL).empty(); })) << log.describe();
    auto wheel = log.of(WM_MOUSEWHEEL);
    EXPECT_EQ(wheel.front().window, right);
    EXPECT_EQ(static_cast<short>(HIWORD(wheel.front().wParam)), WHEEL_DELTA);
}

TEST_F(SdlInput, KeysAndTypedCharactersReachTheFocusWindow) {
    typeKey(XK_a);
    typeKey(XK_Return);
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

// Each key as the window saw it: WM_KEYDOWN, WM_KEYUP or WM_CHAR, the key or
// character, and whether Ctrl was down by GetKeyState at that moment.
struct SeenKey {
    UINT message;
    WPARAM key;
    bool control;
    bool operator==(const SeenKey&) const = default;
};
std::vector<SeenKey>* seenKeys = nullptr;

LRESULT keyRecorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (seenKeys && (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR))
        seenKeys->push_back({message, wParam, GetKeyState(VK_CONTROL) < 0});
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(SdlInput, KeysTypedAtOnceArriveInTheirOrderWithTheirModifiers) {
    std::vector<SeenKey> seen;
    seenKeys = &seen;
    SetWindowLongPtrW(right, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(keyRecorder));
    constexpr int kRounds = 150;
    std::vector<SeenKey> typed;
    for (int i = 0; i < kRounds; ++i) {
        x->press(XK_a, {XK_Control_L});
        x->press(XK_b);
        // A character follows its key: Ctrl+A's control character made by
        // TranslateMessage, b's typed text from the window system.
        typed.insert(typed.end(), {{WM_KEYDOWN, VK_LCONTROL, true},
                                   {WM_KEYDOWN, 'A', true},
                                   {WM_CHAR, 1, true},
                                   {WM_KEYUP, 'A', true},
                                   {WM_KEYUP, VK_LCONTROL, false},
                                   {WM_KEYDOWN, 'B', false},
                                   {WM_CHAR, 'b', false},
                                   {WM_KEYUP, 'B', false}});
    }
    x->flush();
    pumpUntil([&] { return seen.size() >= typed.size(); }, 20s);
    seenKeys = nullptr;
    ASSERT_EQ(seen.size(), typed.size());
    for (std::size_t i = 0; i < typed.size(); ++i)
        ASSERT_EQ(seen[i], typed[i]) << "entry " << i << ": " << messageName(seen[i].message) << " " << seen[i].key;
}

int boxesOpened = 0;
std::vector<int> boxAnswers;

LRESULT boxOpener(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == 'O' && GetKeyState(VK_CONTROL) < 0) {
        ++boxesOpened;
        boxAnswers.push_back(MessageBoxW(window, u"Opened by Ctrl+O", u"Opened", MB_OKCANCEL));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Whatever the window system does with the keyboard while boxes come and go
// (focus moves, windows destroyed with keys on their way to them), each
// Escape closes the box opened by the Ctrl+O before it.
TEST_F(SdlInput, BoxesOpenedAndClosedByKeysTypedAtOnce) {
    boxesOpened = 0;
    boxAnswers.clear();
    SetWindowLongPtrW(right, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(boxOpener));
    constexpr int kPairs = 60;
    for (int i = 0; i < kPairs; ++i) {
        x->press(XK_o, {XK_Control_L});
        x->press(XK_Escape);
    }
    x->flush();
    pumpUntil([&] { return boxesOpened == kPairs && static_cast<int>(boxAnswers.size()) == kPairs; }, 60s);
    EXPECT_EQ(boxesOpened, kPairs);
    ASSERT_EQ(static_cast<int>(boxAnswers.size()), kPairs);
    for (int answer : boxAnswers) EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(FindWindowW(nullptr, u"Opened"), nullptr);
}

// The same at the pace of a quick typist, so that keys also come while a box
// is being shown or taken down, with the window system's focus on its way.
TEST_F(SdlInput, BoxesOpenedAndClosedByKeysTypedWhileTheyComeAndGo) {
    boxesOpened = 0;
    boxAnswers.clear();
    SetWindowLongPtrW(right, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(boxOpener));
    constexpr int kPairs = 40;
    std::atomic<bool> typing{true};
    std::thread typist([&] {
        auto keyboard = XDesktop::open();
        for (int i = 0; i < kPairs; ++i) {
            keyboard->press(XK_o, {XK_Control_L});
            keyboard->flush();
            std::this_thread::sleep_for(std::chrono::milliseconds(i % 7 * 4));
            keyboard->press(XK_Escape);
            keyboard->flush();
            std::this_thread::sleep_for(std::chrono::milliseconds(i % 5 * 6));
        }
        typing = false;
    });
    pumpUntil([&] { return !typing && static_cast<int>(boxAnswers.size()) == kPairs; }, 60s);
    typist.join();
    settle(200);
    EXPECT_EQ(boxesOpened, kPairs);
    EXPECT_EQ(static_cast<int>(boxAnswers.size()), kPairs);
    for (int answer : boxAnswers) EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(FindWindowW(nullptr, u"Opened"), nullptr);
}

TEST_F(SdlInput, AWorkerThreadsMessageBoxTakesTheKeyboardWhileTheMainLoopRuns) {
    std::atomic<int> answer{-1};
    std::thread worker([&] { answer = MessageBoxW(nullptr, u"From a worker", u"Worker box", MB_OKCANCEL); });
    HWND box = nullptr;
    // The worker's window reaches the screen through this thread's loop.
    ASSERT_TRUE(pumpUntil([&] { return (box = FindWindowW(nullptr, u"Worker box")) != nullptr; }));
    settle(300);
    typeKey(XK_Escape);
    bool byKey = pumpUntil([&] { return answer != -1; });
    if (!byKey) PostMessageW(box, WM_CLOSE, 0, 0);  // never leave the worker waiting
    pumpUntil([&] { return answer != -1; });
    worker.join();
    EXPECT_TRUE(byKey);
    EXPECT_EQ(answer.load(), IDCANCEL);
}

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

// Japanese takes three bytes a character: twenty of them are 60 bytes, more
// than SDL's 32-byte events hold.
TEST_F(SdlInput, LongCompositionsAndTheirResultsArriveWhole) {
    const char* text = "きょうはとてもいいてんきですねまたあした";
    const std::u16string wide = u"きょうはとてもいいてんきですねまたあした";
    pushSdlComposition(text, 20);
    ASSERT_TRUE(pumpUntil([&] { return got(WM_IME_COMPOSITION, right); })) << log.describe();
    EXPECT_EQ(compositionNow(right, GCS_COMPSTR), wide);
    pushSdlText(text);
    ASSERT_TRUE(pumpUntil([&] { return got(WM_IME_ENDCOMPOSITION, right); })) << log.describe();
    pumpUntil([&] { return log.of(WM_CHAR).size() >= wide.size(); });
    EXPECT_EQ(compositionNow(right, GCS_RESULTSTR), wide);
    auto chars = log.of(WM_CHAR);
    ASSERT_EQ(chars.size(), wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) EXPECT_EQ(chars[i].wParam, static_cast<WPARAM>(wide[i]));
}

TEST_F(SdlInput, UncoveringAWindowShowsItAgain) {
    ShowWindow(left, SW_HIDE);
    ShowWindow(right, SW_HIDE);
    settle(200);
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    HDC dc = GetDC(frame);
    RECT all;
    GetClientRect(frame, &all);
    FillRect(dc, &all, green);
    ReleaseDC(frame, dc);
    DeleteObject(green);
    ValidateRect(frame, nullptr);
    settle(200);
    const POINT corner = at(frame, 0, 0);
    ASSERT_EQ(x->pixel(corner.x + 150, corner.y + 150), 0x00A000u);
    const unsigned long cover = x->showCover({corner.x, corner.y, 300, 200}, 0xFF00FF);
    settle(200);
    ASSERT_EQ(x->pixel(corner.x + 150, corner.y + 150), 0xFF00FFu);
    x->hideCover(cover);
    settle(300);
    EXPECT_EQ(x->pixel(corner.x + 150, corner.y + 150), 0x00A000u);
    EXPECT_EQ(x->pixel(corner.x + 5, corner.y + 195), 0x00A000u);
}

TEST_F(SdlInput, DroppedFilesGoToTheWindowTheWindowSystemNames) {
    HWND other = CreateWindowExW(WS_EX_ACCEPTFILES, loggedClass(), u"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 40,
                                 200, 200, nullptr, nullptr, nullptr, nullptr);
    log.name(other, "other");
    DragAcceptFiles(frame, TRUE);
    settle(300);
    // The pointer rests over the other window; the drop is for the frame.
    moveTo(at(other, 50, 50));
    pumpUntil([&] { return got(WM_MOUSEMOVE, other); });
    pushSdlDrop("SDL input", {"/tmp/one.mp3", "/tmp/two.mp3"});
    ASSERT_TRUE(pumpUntil([&] { return !log.of(WM_DROPFILES).empty(); })) << log.describe();
    auto drops = log.of(WM_DROPFILES);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].window, frame);
    HDROP drop = reinterpret_cast<HDROP>(drops[0].wParam);
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    DestroyWindow(other);
}

// A drop target that keeps the text it was given.
class TextTarget final : public IDropTarget {
public:
    HRESULT QueryInterface(REFIID, void** object) override {
        *object = this;
        return S_OK;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragLeave() override { return S_OK; }
    HRESULT Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC format{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data->GetData(&format, &medium) == S_OK) {
            text = static_cast<const char16_t*>(GlobalLock(medium.hGlobal));
            GlobalUnlock(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    std::u16string text;
};

TEST_F(SdlInput, DroppedTextGoesToTheDropTargetAsUnicodeText) {
    TextTarget target;
    ASSERT_EQ(RegisterDragDrop(left, &target), S_OK);
    moveTo(at(left, 30, 30));
    pumpUntil([&] { return got(WM_MOUSEMOVE, left); });
    pushSdlDrop("SDL input", {}, "Excuse me, could you tell me the way?");
    EXPECT_TRUE(pumpUntil([&] { return !target.text.empty(); }));
    EXPECT_EQ(target.text, u"Excuse me, could you tell me the way?");
    RevokeDragDrop(left);
}

UINT queryAnswer = TRUE;
std::vector<std::pair<UINT, LPARAM>> sessionMessages;

LRESULT sessionRecorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYENDSESSION) {
        sessionMessages.emplace_back(message, lParam);
        return queryAnswer;
    }
    if (message == WM_ENDSESSION) sessionMessages.emplace_back(message, wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// The desktop asks the program to quit: a window may refuse, and nothing ends.
TEST_F(SdlInput, AQuitRequestAsksTheWindowsWhichMayRefuse) {
    sessionMessages.clear();
    queryAnswer = FALSE;
    SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sessionRecorder));
    pushSdlQuit();
    ASSERT_TRUE(pumpUntil([&] { return sessionMessages.size() >= 2; }));
    EXPECT_EQ(sessionMessages[0], std::make_pair(WM_QUERYENDSESSION, ENDSESSION_LOGOFF));
    EXPECT_EQ(sessionMessages[1], std::make_pair(WM_ENDSESSION, static_cast<LPARAM>(FALSE)));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

// SIGTERM with nothing else to do: the idle wait ends at once, the windows
// hear that nobody can answer, and the message loop ends.
TEST_F(SdlInput, ATerminationSignalEndsTheSessionAndTheLoop) {
    sessionMessages.clear();
    queryAnswer = TRUE;
    SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sessionRecorder));
    settle(100);
    std::thread signaller([] {
        std::this_thread::sleep_for(200ms);
        ::kill(::getpid(), SIGTERM);
    });
    const auto start = std::chrono::steady_clock::now();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    const auto took = std::chrono::steady_clock::now() - start;
    signaller.join();
    EXPECT_LT(took, 1s);
    ASSERT_EQ(sessionMessages.size(), 2u);
    EXPECT_EQ(sessionMessages[0], std::make_pair(WM_QUERYENDSESSION, ENDSESSION_CRITICAL));
    EXPECT_EQ(sessionMessages[1], std::make_pair(WM_ENDSESSION, static_cast<LPARAM>(TRUE)));
    EXPECT_EQ(msg.wParam, 0u);
}

}  // namespace
