// Push buttons: the state cycle and its three reports, the mouse and key
// gestures that click (and those that must not), the painted shades, and
// buttons whose clickable area is a region.
#include <chrono>
#include <thread>

#include "WidgetTestSupport.h"
#include "toolkit/Button.h"
#include "toolkit/RegionButton.h"

using namespace veltrix::test;

namespace {

struct ActionCounter : ActionListener {
    void actionPerformed(ActionEvent event) override {
        ++count;
        source = event.source;
    }
    int count = 0;
    Component* source = nullptr;
};

struct ChangeCounter : ChangeListener {
    void stateChanged(ChangeEvent event) override {
        ++count;
        lastValue = event.value;
    }
    int count = 0;
    int lastValue = -1;
};

struct ButtonTest : WidgetTest {
    void SetUp() override {
        WidgetTest::SetUp();
        ASSERT_TRUE(button.createButton(frame.handle(), 77, u"OK", 10, 10, 92, 24));
        button.setActionListener(&actions);
        button.addListener("ChangeListener", &changes);
        settle();
        frame.clear();
    }
    HWND h() const { return button.handle(); }

    Button button;
    ActionCounter actions;
    ChangeCounter changes;
};

TEST_F(ButtonTest, ClickAdvancesTheStateCyclicallyAndReportsThreeWays) {
    button.setStateCount(3);
    for (int expected : {1, 2, 0, 1}) {
        button.click(ClickSource::Mouse);
        EXPECT_EQ(button.getState(), expected);
    }
    ASSERT_EQ(frame.of(WM_COMMAND).size(), 4u);
    Report command = frame.of(WM_COMMAND).front();
    EXPECT_EQ(LOWORD(command.wParam), 77);
    EXPECT_EQ(HIWORD(command.wParam), 0);
    EXPECT_EQ(reinterpret_cast<HWND>(command.lParam), h());
    EXPECT_EQ(actions.count, 4);
    EXPECT_EQ(actions.source, &button);
    EXPECT_EQ(changes.count, 4);
    EXPECT_EQ(changes.lastValue, 0);
}

TEST_F(ButtonTest, MouseClickInsideClicksAndTakesTheFocus) {
    click(h(), 20, 12);
    EXPECT_EQ(button.getState(), 1);
    EXPECT_EQ(actions.count, 1);
    EXPECT_EQ(GetFocus(), h());
    EXPECT_EQ(frame.count(EventCode::Pressed), 1);
    EXPECT_FALSE(button.isPressedByMouse());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonTest, ReleaseOutsideDoesNotClickButComingBackDoes) {
    mouseButton(h(), 20, 12, true);
    EXPECT_EQ(button.shade(), ButtonShade::PressedInside);
    moveTo(h(), 200, 12);
    EXPECT_EQ(button.shade(), ButtonShade::PressedOutside);
    EXPECT_EQ(headless::cursor(), reinterpret_cast<std::uintptr_t>(IDC_NO));
    mouseButton(h(), 200, 12, false);
    EXPECT_EQ(button.getState(), 0);
    EXPECT_EQ(actions.count, 0);

    mouseButton(h(), 20, 12, true);
    moveTo(h(), 200, 12);
    moveTo(h(), 30, 10);
    EXPECT_EQ(button.shade(), ButtonShade::PressedInside);
    EXPECT_EQ(headless::cursor(), reinterpret_cast<std::uintptr_t>(IDC_HAND));
    mouseButton(h(), 30, 10, false);
    EXPECT_EQ(actions.count, 1);
}

TEST_F(ButtonTest, KeysClickOncePerGesture) {
    button.requestFocus();
    settle();
    press(VK_RETURN);
    EXPECT_EQ(actions.count, 1);

    // Space arms the button; Return while it is held is ignored; the release clicks.
    key(VK_SPACE, true);
    EXPECT_TRUE(button.isPressedByKey());
    EXPECT_EQ(GetCapture(), h());
    press(VK_RETURN);
    key(VK_SPACE, true);  // auto-repeat
    EXPECT_EQ(actions.count, 1);
    key(VK_SPACE, false);
    EXPECT_EQ(actions.count, 2);
    EXPECT_FALSE(button.isPressedByKey());
    EXPECT_EQ(GetCapture(), nullptr);

    // A Space release without its press does nothing.
    key(VK_SPACE, false);
    EXPECT_EQ(actions.count, 2);
}

TEST_F(ButtonTest, TabMovesTheFocusAndTheDialogManagerGetsEveryKey) {
    Button second;
    ASSERT_TRUE(second.createWithText(frame.handle(), u"Cancel", 110, 10, 92, 24));
    button.requestFocus();
    settle();
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), second.handle());
    pressWith(VK_SHIFT, VK_TAB);
    EXPECT_EQ(GetFocus(), h());
    EXPECT_EQ(SendMessageW(h(), WM_GETDLGCODE, 0, 0), 6);
}

TEST_F(ButtonTest, FocusAndPressAreVisibleOnTheFace) {
    Button other;
    ASSERT_TRUE(other.createWithText(frame.handle(), u"Other", 110, 10, 92, 24));
    other.requestFocus();
    settle();
    COLORREF plainEdge = headless::pixel(h(), 46, 1);
    COLORREF plainMiddle = headless::pixel(h(), 4, 18);
    button.requestFocus();
    settle();
    EXPECT_EQ(button.shade(), ButtonShade::Focused);
    EXPECT_NE(headless::pixel(h(), 46, 1), plainEdge);

    mouseButton(h(), 4, 18, true);
    EXPECT_NE(headless::pixel(h(), 4, 18), plainMiddle);
    mouseButton(h(), 4, 18, false);

    button.setEnabled(false);
    settle();
    EXPECT_EQ(button.shade(), ButtonShade::Disabled);
    click(h(), 20, 12);
    EXPECT_EQ(actions.count, 1);
}

TEST_F(ButtonTest, CreationSetsClassTextFontAndStyles) {
    EXPECT_EQ(button.className(), u"ButtonPane");
    EXPECT_EQ(button.getText(), u"OK");
    DWORD style = button.getStyle();
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_TABSTOP), WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    EXPECT_EQ(GetDlgCtrlID(h()), 77);
    Button byId;
    ASSERT_TRUE(byId.createWithId(frame.handle(), 64));
    EXPECT_EQ(GetDlgCtrlID(byId.handle()), 64);
    EXPECT_EQ(byId.getWidth(), 0);
    EXPECT_EQ(byId.getText(), u"");
}

}  // namespace

namespace {

struct RegionButtonTest : WidgetTest {
    void SetUp() override {
        WidgetTest::SetUp();
        ASSERT_TRUE(round.createButton(frame.handle(), 103, u"", 10, 10, 24, 24));
        round.setActionListener(&actions);
        settle();
    }
    RegionButton round;
    ActionCounter actions;
};

TEST_F(RegionButtonTest, OnlyPressesAndReleasesInsideTheRegionClick) {
    HWND h = round.handle();
    click(h, 1, 1);  // the corner lies outside the circle
    EXPECT_EQ(actions.count, 0);
    EXPECT_FALSE(round.isPressedByMouse());
    std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 20));
    click(h, 12, 12);
    EXPECT_EQ(actions.count, 1);

    // A triangle pointing right: its tip and the space beside it.
    round.setRegion({{0, 0}, {24, 12}, {0, 24}});
    std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 20));
    mouseButton(h, 4, 12, true);
    moveTo(h, 20, 3);  // beside the slope: outside
    EXPECT_EQ(round.shade(), ButtonShade::PressedOutside);
    mouseButton(h, 20, 3, false);
    EXPECT_EQ(actions.count, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 20));
    click(h, 20, 12);
    EXPECT_EQ(actions.count, 2);
    round.setRegion({{0, 0}, {5, 5}});  // too few points: the ellipse again
    EXPECT_TRUE(round.region().empty());
}

}  // namespace
