// Message boxes on the headless display: what they show, how each button,
// key and the close box answer, the disabled owner, and the loop that keeps
// other windows alive.
#include <gtest/gtest.h>

#include <thread>

#include "MessageLog.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct MessageBoxes : ::testing::Test {
    HWND owner = nullptr;
    void SetUp() override {
        headless::pumpMessages();
        headless::takeMessageBoxes();
        owner = CreateWindowExW(0, loggedClass(), u"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 640, 480,
                                nullptr, nullptr, nullptr, nullptr);
        headless::pumpMessages();
    }
    void TearDown() override {
        headless::setMessageBoxResponder({});
        DestroyWindow(owner);
        headless::pumpMessages();
    }
    // Answers by injected input: the keys are pressed once the box is up.
    int answerWithKeys(UINT type, std::vector<int> keys, std::u16string typed = u"") {
        headless::setMessageBoxResponder([&](const headless::MessageBoxShown&) {
            for (int k : keys) headless::pressKey(k);
            if (!typed.empty()) headless::typeText(typed);
            return headless::kLetItRun;
        });
        return MessageBoxW(owner, u"Text", u"Caption", type);
    }
};

TEST_F(MessageBoxes, EachTypeShowsItsButtonsAndDefault) {
    struct Case {
        UINT type;
        std::vector<std::u16string> buttons;
        int defaultButton;
        int defaultAnswer;
    };
    const Case cases[] = {
        {MB_OK, {u"OK"}, 0, IDOK},
        {MB_OKCANCEL, {u"OK", u"Cancel"}, 0, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, {u"OK", u"Cancel"}, 1, IDCANCEL},
        {MB_YESNO, {u"Yes", u"No"}, 0, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, {u"Yes", u"No"}, 1, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, {u"Yes", u"No", u"Cancel"}, 2, IDCANCEL},
        {MB_OK | MB_DEFBUTTON3, {u"OK"}, 0, IDOK},  // no third button: the first
    };
    for (const auto& c : cases) {
        // Without a responder the default button answers.
        EXPECT_EQ(MessageBoxW(owner, u"Text", u"Caption", c.type), c.defaultAnswer) << c.type;
        auto shown = headless::takeMessageBoxes();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].buttons, c.buttons) << c.type;
        EXPECT_EQ(shown[0].defaultButton, c.defaultButton) << c.type;
        EXPECT_EQ(shown[0].answer, c.defaultAnswer);
        EXPECT_EQ(shown[0].owner, owner);
        EXPECT_FALSE(IsWindow(shown[0].box));
    }
}

TEST_F(MessageBoxes, TheResponderReadsTheBoxAndChoosesTheAnswer) {
    std::u16string title;
    bool ownerEnabled = true;
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& s) {
        title = headless::title(s.box);
        ownerEnabled = IsWindowEnabled(owner);
        EXPECT_TRUE(headless::shown(s.box));
        EXPECT_EQ(s.caption, u"Veltrix");
        EXPECT_EQ(s.text, u"Save changes?");
        EXPECT_EQ(s.type, MB_YESNOCANCEL | MB_ICONQUESTION | MB_TOPMOST);
        EXPECT_EQ(GetWindowLongW(s.box, GWL_EXSTYLE) & WS_EX_TOPMOST, static_cast<LONG>(WS_EX_TOPMOST));
        return IDNO;
    });
    EXPECT_EQ(MessageBoxW(owner, u"Save changes?", u"Veltrix", MB_YESNOCANCEL | MB_ICONQUESTION | MB_TOPMOST), IDNO);
    EXPECT_EQ(title, u"Veltrix");
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(MessageBoxes, KeysMoveTheFocusAndAnswer) {
    struct Case {
        UINT type;
        std::vector<int> keys;
        std::u16string typed;
        int answer;
    };
    const Case cases[] = {
        {MB_OKCANCEL, {VK_RETURN}, u"", IDOK},
        {MB_OKCANCEL, {VK_TAB, VK_RETURN}, u"", IDCANCEL},
        {MB_OKCANCEL, {VK_TAB, VK_TAB, VK_SPACE}, u"", IDOK},  // Tab wraps around
        {MB_YESNOCANCEL, {VK_RIGHT, VK_RIGHT, VK_LEFT, VK_RETURN}, u"", IDNO},
        {MB_OKCANCEL, {VK_ESCAPE}, u"", IDCANCEL},
        {MB_OK, {VK_ESCAPE}, u"", IDOK},
        {MB_YESNOCANCEL, {VK_ESCAPE}, u"", IDCANCEL},
        {MB_YESNO, {VK_ESCAPE}, u"n", IDNO},  // Escape does nothing; N answers No
        {MB_YESNO, {}, u"Y", IDYES},
    };
    for (const auto& c : cases) EXPECT_EQ(answerWithKeys(c.type, c.keys, c.typed), c.answer) << c.type;
}

TEST_F(MessageBoxes, ShiftTabMovesBackwards) {
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown&) {
        headless::key(VK_SHIFT, true);
        headless::pressKey(VK_TAB);
        headless::key(VK_SHIFT, false);
        headless::pressKey(VK_RETURN);
        return headless::kLetItRun;
    });
    EXPECT_EQ(MessageBoxW(owner, u"Text", u"Caption", MB_YESNOCANCEL), IDCANCEL);
}

TEST_F(MessageBoxes, TheMouseChoosesAButtonOnlyWhenPressedAndReleasedOnIt) {
    // Buttons sit right-aligned at the bottom: the last one ends 12 pixels in.
    auto lastButton = [](HWND box) {
        RECT r;
        GetWindowRect(box, &r);
        return POINT{r.right - 12 - 20, r.bottom - 12 - 15};
    };
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& s) {
        POINT last = lastButton(s.box);
        // Pressed on Cancel but released elsewhere: nothing.
        headless::mouseButton(headless::Button::Left, true, last);
        headless::mouseButton(headless::Button::Left, false, {last.x, last.y - 60});
        // A click on the owner goes nowhere while the box runs.
        headless::click(headless::Button::Left, {150, 150});
        headless::click(headless::Button::Left, {last.x - 100, last.y});  // No
        return headless::kLetItRun;
    });
    MessageLog::instance().clear();
    EXPECT_EQ(MessageBoxW(owner, u"Text", u"Caption", MB_YESNOCANCEL), IDNO);
    for (const auto& m : MessageLog::instance().of(WM_LBUTTONDOWN)) EXPECT_NE(m.window, owner);
}

TEST_F(MessageBoxes, TheCloseBoxCancelsWhereCancellingIsPossible) {
    struct Case {
        UINT type;
        int answer;
    };
    for (const Case& c : {Case{MB_OKCANCEL, IDCANCEL}, Case{MB_OK, IDOK}}) {
        headless::setMessageBoxResponder([&](const headless::MessageBoxShown& s) {
            headless::closeWindow(s.box);
            return headless::kLetItRun;
        });
        EXPECT_EQ(MessageBoxW(owner, u"Text", u"Caption", c.type), c.answer);
    }
    // A Yes/No question stays after the close box until it is answered.
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& s) {
        headless::closeWindow(s.box);
        headless::typeText(u"y");
        return headless::kLetItRun;
    });
    EXPECT_EQ(MessageBoxW(owner, u"Text", u"Caption", MB_YESNO), IDYES);
}

int ticks = 0;
bool ownerEnabledDuringTicks = true;

TEST_F(MessageBoxes, OtherWindowsKeepTheirTimersWhileTheBoxRuns) {
    ticks = 0;
    ownerEnabledDuringTicks = true;
    SetTimer(owner, 7, 5, [](HWND w, UINT, UINT_PTR, DWORD) {
        ++ticks;
        if (IsWindowEnabled(w)) ownerEnabledDuringTicks = false;
        if (ticks == 3) headless::pressKey(VK_ESCAPE);
    });
    headless::setMessageBoxResponder([](const headless::MessageBoxShown&) { return headless::kLetItRun; });
    EXPECT_EQ(MessageBoxW(owner, u"Waiting", u"Caption", MB_OKCANCEL), IDCANCEL);
    KillTimer(owner, 7);
    EXPECT_GE(ticks, 3);
    EXPECT_TRUE(ownerEnabledDuringTicks);
}

TEST_F(MessageBoxes, AQuitMessageEndsTheBoxAndIsPutBack) {
    headless::setMessageBoxResponder([](const headless::MessageBoxShown&) {
        PostQuitMessage(5);
        return headless::kLetItRun;
    });
    EXPECT_EQ(MessageBoxW(owner, u"Text", u"Caption", MB_YESNO), IDNO);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(MessageBoxes, AnOwnerClosedWhileItsBoxRunsEndsTheBox) {
    HWND box = nullptr;
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& s) {
        box = s.box;
        PostMessageW(owner, WM_CLOSE, 0, 0);
        return headless::kLetItRun;
    });
    EXPECT_EQ(MessageBoxW(owner, u"Text", u"Caption", MB_OKCANCEL), IDCANCEL);
    EXPECT_FALSE(IsWindow(owner));
    EXPECT_FALSE(IsWindow(box));
}

TEST_F(MessageBoxes, AWorkerThreadShowsItsOwnBox) {
    headless::setMessageBoxResponder(
        [](const headless::MessageBoxShown& s) { return s.text == u"From a worker" ? IDYES : IDNO; });
    int answer = 0;
    std::thread worker([&] { answer = MessageBoxW(nullptr, u"From a worker", u"Veltrix", MB_YESNO); });
    worker.join();
    EXPECT_EQ(answer, IDYES);
}

TEST_F(MessageBoxes, PicturesShowTheIconTextAndButtons) {
    struct Case {
        const char* file;
        const char16_t* text;
        const char16_t* caption;
        UINT type;
        POINT sample;  // a point of the icon away from its mark
        COLORREF iconColour;
    };
    const Case cases[] = {
        {"message-box-english.png",
         u"An incorrect version of BASS.DLL was loaded (2.4 is required). The program goes on without sound; "
         u"put the right version into the Plugins folder and start it again.",
         u"Incorrect BASS.DLL",
         MB_OK | MB_ICONERROR,
         {26, 36},
         RGB(0xC4, 0x2B, 0x1C)},
        {"message-box-japanese.png",
         u"現在このファイルは使用中です。\r\n/home/user/音声/レッスン 01.mp3\r\n保存しますか？",
         u"Veltrix",
         MB_YESNOCANCEL | MB_ICONQUESTION,
         {26, 36},
         RGB(0x00, 0x67, 0xC0)},
        {"message-box-warning.png",
         u"HTML を取得できませんでした！",
         u"Veltrix",
         MB_OKCANCEL | MB_ICONWARNING,
         {28, 46},
         RGB(0xF7, 0xC2, 0x3A)},
    };
    for (const auto& c : cases) {
        COLORREF seen = CLR_INVALID, below = CLR_INVALID;
        headless::setMessageBoxResponder([&](const headless::MessageBoxShown& s) {
            seen = headless::pixel(s.box, c.sample.x, c.sample.y);
            RECT client;
            GetClientRect(s.box, &client);
            below = headless::pixel(s.box, 2, client.bottom - 2);
            EXPECT_TRUE(headless::savePicture(s.box, c.file));
            return IDOK;
        });
        MessageBoxW(owner, c.text, c.caption, c.type);
        EXPECT_EQ(seen, c.iconColour) << c.file;
        EXPECT_EQ(below, RGB(0xF3, 0xF3, 0xF3)) << c.file;  // the button strip
    }
}

}  // namespace
