// The toolkit's Dialog on the headless display: modal results by button and
// close box, the standard button bar before and after a resize, Apply, the
// modeless life cycle, Tab order inside a dialog and a picture to look at.
#include <gtest/gtest.h>

#include <functional>

#include "ToolkitTestSupport.h"
#include "platform/display/HeadlessAnswers.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Dialog.h"
#include "toolkit/LabelComponent.h"
#include "toolkit/TextField.h"

using namespace veltrix::test;

namespace {

class SampleDialog : public Dialog {
public:
    DWORD buttons = kOkButton | kCancelButton;
    int created = 0;
    int applied = 0;
    bool allowClose = true;
    SIZE size{400, 300};
    std::vector<int> otherCommands;

    bool createContents() override {
        ++created;
        setTitle(u"サンプル設定");
        setSizeCentered(size.cx, size.cy);
        if (withFields) {
            label.createLabel(handle(), u"保存先のフォルダー:", 12, 16, 140, 20);
            field.createAt(handle(), 156, 14, 220, 22);
            field.setText(u"C:/英語/ニュース");
            check.createButton(handle(), 0, u"キーワードも保存する", 12, 48, 220, 22);
        }
        addStandardButtons(buttons);
        return true;
    }
    bool withFields = false;
    LabelComponent label;
    TextField field;
    CheckBox check;
    bool onApply() override {
        ++applied;
        return true;
    }
    bool onClose() override { return allowClose; }
    LRESULT defaultProc(HWND, UINT message, WPARAM first, LPARAM) override {
        if (message == WM_COMMAND) otherCommands.push_back(LOWORD(first));
        return 0;
    }
};

POINT centreOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

RECT placeIn(HWND child, HWND dialog) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

struct Dialogs : ::testing::Test {
    RecordingFrame owner;
    void TearDown() override { headless::setDialogResponder({}); }
    bool runModal(SampleDialog& d, const std::function<void(HWND)>& input) {
        headless::setDialogResponder([&](const headless::DialogShown& s) {
            input(s.dialog);
            return headless::kLetItRun;
        });
        return showModal(owner.handle(), d);
    }
};

}  // namespace

TEST_F(Dialogs, ShowModalIsTrueForOkAndFalseForCancelAndTheCloseBox) {
    struct Case {
        const char* how;
        std::function<void(SampleDialog&, HWND)> input;
        bool result;
    };
    const Case cases[] = {
        {"OK clicked",
         [](SampleDialog& d, HWND) { headless::click(headless::Button::Left, centreOf(d.okButton().handle())); }, true},
        {"Cancel clicked",
         [](SampleDialog& d, HWND) { headless::click(headless::Button::Left, centreOf(d.cancelButton().handle())); },
         false},
        {"close box", [](SampleDialog&, HWND w) { headless::closeWindow(w); }, false},
        {"Return on the focused OK button",
         [](SampleDialog& d, HWND) {
             SetFocus(d.okButton().handle());
             headless::pressKey(VK_RETURN);
         },
         true},
    };
    for (const auto& c : cases) {
        SampleDialog d;
        bool ownerEnabled = true;
        bool result = runModal(d, [&](HWND w) {
            ownerEnabled = IsWindowEnabled(owner.handle());
            c.input(d, w);
        });
        EXPECT_EQ(result, c.result) << c.how;
        EXPECT_FALSE(ownerEnabled) << c.how;
        EXPECT_TRUE(IsWindowEnabled(owner.handle()));
        EXPECT_EQ(d.handle(), nullptr) << c.how;
        EXPECT_EQ(d.created, 1);
    }
}

TEST_F(Dialogs, StandardButtonsSitWhereTheBarPutsThemBeforeAndAfterAResize) {
    SampleDialog d;
    RECT okBefore{}, cancelBefore{}, okAfter{}, cancelAfter{};
    runModal(d, [&](HWND w) {
        // Re-adding at the current size shows the placement of addStandardButtons.
        d.okButton().destroyWindow();
        d.cancelButton().destroyWindow();
        d.addStandardButtons(kOkButton | kCancelButton);
        okBefore = placeIn(d.okButton().handle(), w);
        cancelBefore = placeIn(d.cancelButton().handle(), w);
        d.setSize(500, 360);
        okAfter = placeIn(d.okButton().handle(), w);
        cancelAfter = placeIn(d.cancelButton().handle(), w);
        d.close(kOkButton);
    });
    EXPECT_EQ(okBefore.left, 400 - 212);
    EXPECT_EQ(cancelBefore.left, 400 - 112);
    EXPECT_EQ(okBefore.top, 300 - 30);
    EXPECT_EQ(okBefore.right - okBefore.left, 92);
    EXPECT_EQ(okBefore.bottom - okBefore.top, 21);
    EXPECT_EQ(okAfter.left, 500 - 212);
    EXPECT_EQ(cancelAfter.left, 500 - 112);
    EXPECT_EQ(okAfter.top, 360 - 30);
    EXPECT_EQ(cancelAfter.top, 360 - 30);
}

TEST_F(Dialogs, ApplyStartsDisabledAndDisablesItselfWhenApplied) {
    SampleDialog d;
    d.buttons = kOkButton | kCancelButton | kApplyButton;
    bool enabledAtFirst = true;
    bool enabledAfter = true;
    int okLeft = 0;
    runModal(d, [&](HWND w) {
        enabledAtFirst = IsWindowEnabled(d.applyButton().handle());
        okLeft = placeIn(d.okButton().handle(), w).left;
        d.applyButton().setEnabled(true);
        headless::click(headless::Button::Left, centreOf(d.applyButton().handle()));
        headless::pumpMessages();
        enabledAfter = IsWindowEnabled(d.applyButton().handle());
        SendMessageW(w, WM_COMMAND, MAKEWPARAM(777, 0), 0);
        d.close(kCancelButton);
    });
    EXPECT_FALSE(enabledAtFirst);
    EXPECT_EQ(d.applied, 1);
    EXPECT_FALSE(enabledAfter);
    EXPECT_EQ(okLeft, 400 - 112 - 200);  // OK, Cancel, Apply from the left; Apply at the right
    EXPECT_EQ(d.otherCommands, (std::vector<int>{777}));
}

TEST_F(Dialogs, TabMovesAroundTheButtonsOfADialog) {
    SampleDialog d;
    d.buttons = kOkButton | kCancelButton | kApplyButton;
    std::vector<HWND> visited;
    runModal(d, [&](HWND) {
        d.applyButton().setEnabled(true);
        SetFocus(d.okButton().handle());
        for (int i = 0; i < 4; ++i) {
            visited.push_back(GetFocus());
            headless::pressKey(VK_TAB);
            headless::pumpMessages();
        }
        headless::key(VK_SHIFT, true);
        headless::pressKey(VK_TAB);  // Cancel -> OK
        headless::pressKey(VK_TAB);  // OK -> Apply, wrapping backwards
        headless::pumpMessages();
        headless::key(VK_SHIFT, false);
        visited.push_back(GetFocus());
        d.close(kCancelButton);
    });
    ASSERT_EQ(visited.size(), 5u);
    EXPECT_NE(visited[0], visited[1]);
    EXPECT_NE(visited[1], visited[2]);
    EXPECT_EQ(visited[3], visited[0]);  // wraps after Apply
    EXPECT_EQ(visited[4], visited[2]);  // Shift+Tab from OK goes back to Apply
}

TEST_F(Dialogs, ModelessDialogsLiveUntilClosed) {
    SampleDialog d;
    d.withFields = true;
    ASSERT_TRUE(showModeless(owner.handle(), d));
    HWND first = d.handle();
    ASSERT_TRUE(first);
    EXPECT_TRUE(d.isModeless());
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
    EXPECT_TRUE(showModeless(owner.handle(), d));  // no second window
    EXPECT_EQ(d.handle(), first);
    EXPECT_EQ(d.created, 1);
    SetFocus(d.field.handle());
    headless::pumpMessages();
    EXPECT_TRUE(headless::savePicture(first, VELTRIX_PICTURE_DIR "/dialog-toolkit.png"));

    d.allowClose = false;
    headless::closeWindow(first);
    headless::pumpMessages();
    EXPECT_TRUE(IsWindow(first));
    d.allowClose = true;
    headless::closeWindow(first);
    headless::pumpMessages();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(d.handle(), nullptr);
    // It can be shown again.
    ASSERT_TRUE(showModeless(owner.handle(), d));
    EXPECT_EQ(d.created, 2);
    d.close(0);
}

TEST_F(Dialogs, DestroyingAModelessDialogObjectTakesItsWindow) {
    HWND window = nullptr;
    {
        SampleDialog d;
        ASSERT_TRUE(showModeless(owner.handle(), d));
        window = d.handle();
    }
    headless::pumpMessages();
    EXPECT_FALSE(IsWindow(window));
}
