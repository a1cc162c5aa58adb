// The dialog manager on the headless display: templates read as Windows lays
// them out, the modal loop and its disabled owner, the procedure protocol,
// and the keyboard interface (Tab order, groups, Return, Escape, close box).
#include <gtest/gtest.h>

#include "DialogTemplateBuilder.h"
#include "MessageLog.h"
#include "platform/controls/DialogTemplate.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;
using veltrix::platform::controls::readDialogTemplate;

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr UINT kAskResult = WM_USER + 7;

// What the test's dialog procedure saw.
struct Seen {
    int initDialogs = 0;
    LPARAM initParam = 0;
    HWND initFocus = nullptr;
    std::vector<int> commands;
    bool endOnCommand = true;
};
Seen seen;

INT_PTR testProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            ++seen.initDialogs;
            seen.initParam = lParam;
            seen.initFocus = reinterpret_cast<HWND>(wParam);
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;  // the edits' focus notices
            seen.commands.push_back(LOWORD(wParam));
            if (seen.endOnCommand && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == 9))
                EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case kAskResult:
            // A handled message's result travels in DWLP_MSGRESULT.
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1234);
            return TRUE;
        default:
            return FALSE;
    }
}

// An OK/Cancel dialog with two edits, a disabled edit, a static and a radio-like group.
DialogTemplateBuilder sampleTemplate(DWORD extraStyle = 0) {
    DialogTemplateBuilder b(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | extraStyle, 0, 10, 10,
                            200, 120, u"Sample 設定", 9, u"Segoe UI");
    b.item(kChild | SS_LEFT, 4, 4, 60, 10, 100, 0x82, u"Name:")
        .item(kChild | WS_TABSTOP | WS_BORDER, 70, 4, 100, 12, 10, 0x81, u"first")
        .item(kChild | WS_TABSTOP | WS_BORDER | WS_DISABLED, 70, 20, 100, 12, 11, 0x81, u"")
        .item(kChild | WS_TABSTOP | WS_BORDER, 70, 36, 100, 12, 12, 0x81, u"second")
        .item(kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 4, 60, 40, 14, 20, 0x80, u"A")
        .item(kChild | BS_PUSHBUTTON, 50, 60, 40, 14, 21, 0x80, u"B")
        .item(kChild | BS_PUSHBUTTON, 96, 60, 40, 14, 22, 0x80, u"C")
        .item(kChild | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 90, 100, 50, 14, IDOK, 0x80, u"OK")
        .item(kChild | WS_TABSTOP | BS_PUSHBUTTON, 145, 100, 50, 14, IDCANCEL, 0x80, u"Cancel");
    return b;
}

struct Dialogs : ::testing::Test {
    HWND owner = nullptr;
    void SetUp() override {
        seen = Seen{};
        headless::pumpMessages();
        headless::takeDialogs();
        owner = CreateWindowExW(0, loggedClass(), u"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 640, 480,
                                nullptr, nullptr, nullptr, nullptr);
        headless::pumpMessages();
    }
    void TearDown() override {
        headless::setDialogResponder({});
        DestroyWindow(owner);
        headless::pumpMessages();
    }
    // Runs the sample dialog modally; `drive` runs once it is shown.
    INT_PTR run(const std::function<int(HWND)>& drive, DWORD extraStyle = 0) {
        headless::setDialogResponder([&](const headless::DialogShown& s) { return drive(s.dialog); });
        auto t = sampleTemplate(extraStyle);
        return DialogBoxIndirectParamW(nullptr, t.get(), owner, testProc, 77);
    }
    static int focusId() { return GetDlgCtrlID(GetFocus()); }
    // Handles the queued input as a dialog's own loop does.
    static void pumpDialog(HWND d) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(d, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
};

}  // namespace

TEST(DialogTemplates, ClassicTemplateReadsBackFieldByField) {
    auto b = sampleTemplate();
    b.item(kChild, 1, 2, 3, 4, 300, 0, u"custom", u"MyClass", {0xAA, 0xBB, 0xCC});
    auto d = readDialogTemplate(b.get());
    ASSERT_TRUE(d);
    EXPECT_FALSE(d->extended);
    EXPECT_EQ(d->style & DS_SETFONT, DS_SETFONT);
    EXPECT_EQ(d->cx, 200);
    EXPECT_EQ(d->cy, 120);
    EXPECT_TRUE(d->menu.empty());
    EXPECT_TRUE(d->windowClass.empty());
    EXPECT_EQ(d->title, u"Sample 設定");
    EXPECT_EQ(d->pointSize, 9);
    EXPECT_EQ(d->face, u"Segoe UI");
    ASSERT_EQ(d->items.size(), 10u);
    EXPECT_EQ(veltrix::platform::controls::itemClassName(d->items[0].windowClass), u"STATIC");
    EXPECT_EQ(d->items[0].title.name, u"Name:");
    EXPECT_EQ(veltrix::platform::controls::itemClassName(d->items[1].windowClass), u"EDIT");
    EXPECT_EQ(d->items[7].id, static_cast<DWORD>(IDOK));
    EXPECT_EQ(d->items[7].style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    const auto& last = d->items[9];
    EXPECT_EQ(last.windowClass.name, u"MyClass");
    EXPECT_EQ(last.id, 300u);
    EXPECT_EQ(last.x, 1);
    EXPECT_EQ(last.cy, 4);
    EXPECT_EQ(last.creationData, (std::vector<BYTE>{0xAA, 0xBB, 0xCC}));
}

TEST(DialogTemplates, ExtendedTemplateAndBadInput) {
    // DLGTEMPLATEEX: version 1, signature 0xFFFF, help id, ex style, style, count ...
    std::vector<WORD> w = {1, 0xFFFF, 0, 0, 0, 0, 0x0040, 0x80C8, 1, 5, 6, 70, 80, 0, 0};
    for (char16_t c : std::u16string(u"Ex")) w.push_back(c);
    w.push_back(0);
    w.insert(w.end(), {10, 700, 0x0101});  // point size, weight, italic + charset
    for (char16_t c : std::u16string(u"Meiryo")) w.push_back(c);
    w.push_back(0);
    while (w.size() % 2) w.push_back(0);
    // Item: help id, ex style, style (2 DWORDs each), x y cx cy, DWORD id, class, title, extra.
    w.insert(w.end(), {0, 0, 0, 0, 0, 0x5000, 2, 3, 40, 12, 42, 0, 0xFFFF, 0x0080});
    for (char16_t c : std::u16string(u"Go")) w.push_back(c);
    w.insert(w.end(), {0, 0});
    std::vector<DWORD> aligned((w.size() + 1) / 2);
    std::memcpy(aligned.data(), w.data(), w.size() * 2);
    auto d = readDialogTemplate(reinterpret_cast<const DLGTEMPLATE*>(aligned.data()));
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->extended);
    EXPECT_EQ(d->style, 0x80C80040u);
    EXPECT_EQ(d->title, u"Ex");
    EXPECT_EQ(d->weight, 700);
    EXPECT_EQ(d->italic, 1);
    EXPECT_EQ(d->face, u"Meiryo");
    ASSERT_EQ(d->items.size(), 1u);
    EXPECT_EQ(d->items[0].id, 42u);
    EXPECT_EQ(d->items[0].style, 0x50000000u);
    EXPECT_EQ(d->items[0].title.name, u"Go");

    EXPECT_FALSE(readDialogTemplate(nullptr));
    // A title without its terminator within the limit is refused, not read on and on.
    std::vector<char16_t> runaway(20 + veltrix::platform::controls::kMaxString * 2, u'x');
    std::memset(runaway.data(), 0, 22);
    EXPECT_FALSE(readDialogTemplate(reinterpret_cast<const DLGTEMPLATE*>(runaway.data())));
}

TEST_F(Dialogs, ModalLoopRunsWithTheOwnerDisabled) {
    bool ownerEnabled = true;
    HWND dialog = nullptr;
    std::u16string title;
    INT_PTR r = run([&](HWND d) {
        dialog = d;
        ownerEnabled = IsWindowEnabled(owner);
        title = headless::title(d);
        EXPECT_TRUE(headless::shown(d));
        EXPECT_EQ(GetParent(d), owner);
        return 55;
    });
    EXPECT_EQ(r, 55);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(title, u"Sample 設定");
    EXPECT_EQ(seen.initDialogs, 1);
    EXPECT_EQ(seen.initParam, 77);
    EXPECT_EQ(GetActiveWindow(), owner);
    auto shown = headless::takeDialogs();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].owner, owner);
}

TEST_F(Dialogs, ControlsComeFromTheTemplateInDialogUnits) {
    run([&](HWND d) {
        HWND edit = GetDlgItem(d, 10);
        EXPECT_EQ(seen.initFocus, edit);  // the first tab stop
        EXPECT_EQ(GetFocus(), edit);
        WCHAR cls[32];
        GetClassNameW(edit, cls, 32);
        EXPECT_EQ(std::u16string(cls), u"EDIT");
        WCHAR text[32];
        EXPECT_EQ(GetDlgItemTextW(d, 10, text, 32), 5u);
        EXPECT_EQ(std::u16string(text), u"first");
        EXPECT_TRUE(SetDlgItemTextW(d, 12, u"changed"));
        GetDlgItemTextW(d, 12, text, 32);
        EXPECT_EQ(std::u16string(text), u"changed");
        // Positions follow the font's units, exactly as MapDialogRect converts them.
        RECT expected{70, 36, 170, 48};
        EXPECT_TRUE(MapDialogRect(d, &expected));
        RECT actual;
        GetWindowRect(GetDlgItem(d, 12), &actual);
        MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right - actual.left, expected.right - expected.left);
        RECT client;
        GetClientRect(d, &client);
        RECT size{0, 0, 200, 120};
        MapDialogRect(d, &size);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);
        EXPECT_GT(size.right, 200);  // a 9-point font's units are wider than a pixel
        EXPECT_EQ(SendMessageW(d, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
        EXPECT_EQ(SendMessageW(d, kAskResult, 0, 0), 1234);
        return IDOK;
    });
}

TEST_F(Dialogs, KeysAndTheCloseBoxEndTheDialog) {
    struct Case {
        const char* name;
        std::vector<int> keys;
        bool closeBox;
        INT_PTR result;
    };
    const Case cases[] = {
        {"Return in an edit presses the default button", {VK_RETURN}, false, IDOK},
        {"Escape cancels", {VK_ESCAPE}, false, IDCANCEL},
        {"the close box cancels", {}, true, IDCANCEL},
        {"Return on a focused push button presses it", {VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_RETURN}, false, IDCANCEL},
        {"Space on a focused push button presses it", {VK_TAB, VK_TAB, VK_TAB, VK_SPACE}, false, IDOK},
    };
    for (const auto& c : cases) {
        seen = Seen{};
        INT_PTR r = run([&](HWND d) {
            for (int k : c.keys) headless::pressKey(k);
            if (c.closeBox) headless::closeWindow(d);
            return headless::kLetItRun;
        });
        EXPECT_EQ(r, c.result) << c.name;
    }
}

TEST_F(Dialogs, TabVisitsTabStopsInOrderAndWraps) {
    std::vector<int> forward;
    std::vector<int> backward;
    run([&](HWND d) {
        for (int i = 0; i < 6; ++i) {
            forward.push_back(focusId());
            headless::pressKey(VK_TAB);
            pumpDialog(d);
        }
        headless::key(VK_SHIFT, true);
        for (int i = 0; i < 6; ++i) {
            backward.push_back(focusId());
            headless::pressKey(VK_TAB);
            pumpDialog(d);
        }
        headless::key(VK_SHIFT, false);
        return IDCANCEL;
    });
    // The disabled edit (11), the static and the buttons without WS_TABSTOP are skipped.
    EXPECT_EQ(forward, (std::vector<int>{10, 12, 20, IDOK, IDCANCEL, 10}));
    EXPECT_EQ(backward, (std::vector<int>{12, 10, IDCANCEL, IDOK, 20, 12}));
}

TEST_F(Dialogs, ArrowsMoveInsideAGroupOnly) {
    std::vector<int> visited;
    run([&](HWND d) {
        SetFocus(GetDlgItem(d, 20));
        for (int k : {VK_RIGHT, VK_DOWN, VK_RIGHT, VK_LEFT, VK_UP}) {
            headless::pressKey(k);
            pumpDialog(d);
            visited.push_back(focusId());
        }
        return IDCANCEL;
    });
    // Buttons want no arrows; the group A B C wraps without reaching OK.
    EXPECT_EQ(visited, (std::vector<int>{21, 22, 20, 22, 21}));
    EXPECT_TRUE(seen.commands.empty());
}

TEST_F(Dialogs, ModelessDialogShowsAndEndDialogHidesIt) {
    auto t = sampleTemplate(WS_VISIBLE);
    HWND d = CreateDialogIndirectParamW(nullptr, t.get(), owner, testProc, 5);
    ASSERT_TRUE(d);
    EXPECT_TRUE(IsWindowVisible(d));
    EXPECT_TRUE(IsWindowEnabled(owner));  // modeless: the owner stays usable
    EXPECT_EQ(seen.initParam, 5);
    // Messages reach the dialog through IsDialogMessageW in the caller's loop.
    SetFocus(GetDlgItem(d, 10));
    headless::pressKey(VK_RETURN);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageW(d, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    EXPECT_EQ(seen.commands, (std::vector<int>{IDOK}));
    EXPECT_TRUE(IsWindow(d));
    EXPECT_FALSE(IsWindowVisible(d));
    MSG other{owner, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(IsDialogMessageW(d, &other));
    DestroyWindow(d);
    EXPECT_FALSE(EndDialog(d, 1));
}

TEST_F(Dialogs, AFailedDialogLeavesTheOwnerAlone) {
    DialogTemplateBuilder b(WS_POPUP | WS_CAPTION, 0, 0, 0, 100, 50, u"Broken");
    b.item(kChild, 0, 0, 10, 10, 1, 0, u"", u"NoSuchClass");
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, b.get(), owner, testProc, 0), -1);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(seen.initDialogs, 0);
    EXPECT_EQ(CreateDialogIndirectParamW(nullptr, nullptr, owner, testProc, 0), nullptr);
}

TEST_F(Dialogs, EndDialogDuringInitialisationNeverShowsTheDialog) {
    static bool shownAtAll;
    shownAtAll = false;
    auto endAtOnce = [](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
        if (m == WM_INITDIALOG) EndDialog(d, 3);
        if (m == WM_SHOWWINDOW) shownAtAll = true;
        return FALSE;
    };
    auto t = sampleTemplate();
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.get(), owner, endAtOnce, 0), 3);
    EXPECT_FALSE(shownAtAll);
    EXPECT_TRUE(IsWindowEnabled(owner));
}
