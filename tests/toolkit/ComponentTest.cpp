// The component core: the toolkit procedure, the event rules, focus
// traversal, double-buffered painting and the diagnostic texts.
#include <gtest/gtest.h>

#include "ToolkitTestSupport.h"
#include "toolkit/Component.h"
#include "toolkit/Graphics.h"

using namespace veltrix::test;

namespace {

struct RecordingListener : EventListener {
    void handleEvent(const EventObject& event) override { codes.push_back(event.code); }
    std::vector<int> codes;
};

struct MouseRecorder : EventListener {
    void handleEvent(const EventObject& event) override {
        const auto& mouse = dynamic_cast<const MouseEvent&>(event);
        messages.push_back(mouse.message());
        points.push_back({mouse.x, mouse.y});
    }
    std::vector<unsigned> messages;
    std::vector<POINT> points;
};

// A component that accepts presses and counts its callbacks.
class Probe : public Component {
public:
    bool onMousePressed(int x, int y) override {
        ++pressed;
        return acceptPress;
    }
    bool onMouseReleased() override {
        ++released;
        return true;
    }
    bool onMouseMoved(int, int) override {
        ++moved;
        return false;
    }
    bool onMouseWheel(int, int, int, int notches) override {
        wheel += notches;
        return true;
    }
    void paint(Graphics& g) override {
        Component::paint(g);
        g.setBrushColor(fill);
        g.fillRect(2, 2, 6, 6);
    }
    bool acceptPress = true;
    int pressed = 0, released = 0, moved = 0, wheel = 0;
    COLORREF fill = 0x0000FF;
};

struct ComponentCore : ::testing::Test {
    void SetUp() override { headless::pumpMessages(); }
    void TearDown() override {
        ReleaseCapture();
        headless::pumpMessages();
    }
    RecordingFrame frame;
};

TEST_F(ComponentCore, WithoutListenersTheParentIsNotifiedAndWithOneItIsNot) {
    Probe probe;
    ASSERT_TRUE(probe.create(frame.handle()));
    probe.fireEvent(EventCode::Pressed, 0);
    EXPECT_EQ(frame.count(EventCode::Pressed), 1);
    ASSERT_FALSE(frame.senders.empty());
    EXPECT_EQ(frame.senders.back(), probe.handle());

    // A listener that ignores the event still takes it from the parent.
    struct Ignoring : EventListener {
        void handleEvent(const EventObject&) override {}
    } ignoring;
    probe.addEventListener(&ignoring);
    probe.fireEvent(EventCode::Pressed, 0);
    EXPECT_EQ(frame.count(EventCode::Pressed), 1);
}

TEST_F(ComponentCore, MouseMoveAlwaysReachesTheParentAndNeverTheEventListeners) {
    Probe probe;
    ASSERT_TRUE(probe.create(frame.handle()));
    probe.setBounds(10, 10, 50, 40);
    RecordingListener listener;
    probe.addEventListener(&listener);
    headless::mouseMove(screenOf(probe.handle(), 5, 5));
    headless::pumpMessages();
    EXPECT_EQ(probe.moved, 1);
    EXPECT_EQ(frame.count(EventCode::MouseMoved), 1);
    for (int code : listener.codes) EXPECT_NE(code, EventCode::MouseMoved);
}

TEST_F(ComponentCore, APressTakesFocusFiresPressedAndCapturesUntilRelease) {
    Probe probe;
    ASSERT_TRUE(probe.create(frame.handle()));
    probe.setBounds(10, 10, 50, 40);
    MouseRecorder mice;
    probe.addListener("MouseListener", &mice);
    RecordingListener events;
    probe.addEventListener(&events);

    headless::mouseButton(headless::Button::Left, true, screenOf(probe.handle(), 7, 8));
    headless::pumpMessages();
    EXPECT_EQ(probe.pressed, 1);
    EXPECT_TRUE(probe.hasFocus());
    EXPECT_TRUE(probe.isFocused());
    EXPECT_EQ(GetCapture(), probe.handle());
    EXPECT_NE(std::find(events.codes.begin(), events.codes.end(), EventCode::Pressed), events.codes.end());
    EXPECT_NE(std::find(events.codes.begin(), events.codes.end(), EventCode::FocusChanged), events.codes.end());
    ASSERT_FALSE(mice.messages.empty());
    EXPECT_EQ(mice.messages.back(), WM_LBUTTONDOWN);
    EXPECT_EQ(mice.points.back().x, 7);
    EXPECT_EQ(mice.points.back().y, 8);

    headless::mouseButton(headless::Button::Left, false, screenOf(probe.handle(), 7, 8));
    headless::pumpMessages();
    EXPECT_EQ(probe.released, 1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ComponentCore, ARefusedPressNeitherFocusesNorCaptures) {
    Probe probe;
    probe.acceptPress = false;
    ASSERT_TRUE(probe.create(frame.handle()));
    probe.setBounds(10, 10, 50, 40);
    headless::mouseButton(headless::Button::Left, true, screenOf(probe.handle(), 3, 3));
    headless::pumpMessages();
    EXPECT_EQ(probe.pressed, 1);
    EXPECT_FALSE(probe.hasFocus());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(frame.count(EventCode::Pressed), 0);
    headless::mouseButton(headless::Button::Left, false, screenOf(probe.handle(), 3, 3));
}

TEST_F(ComponentCore, ADisabledComponentTakesNoMouseInput) {
    Probe probe;
    ASSERT_TRUE(probe.create(frame.handle()));
    probe.setBounds(10, 10, 50, 40);
    MouseRecorder mice;
    probe.addListener("MouseListener", &mice);
    probe.setEnabled(false);
    EXPECT_FALSE(probe.isEnabled());
    // Sent straight to the window: the native layer would route real input
    // past a disabled window, so test the component's own rule.
    SendMessageW(probe.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(probe.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    SendMessageW(probe.handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(mice.messages.empty());
    EXPECT_EQ(probe.pressed + probe.released + probe.moved, 0);
    EXPECT_TRUE(frame.notifications.empty());
}

TEST_F(ComponentCore, RightReleaseFiresMinusFiveAndTheWheelGivesNotches) {
    Probe probe;
    ASSERT_TRUE(probe.create(frame.handle()));
    probe.setBounds(10, 10, 50, 40);
    headless::click(headless::Button::Right, screenOf(probe.handle(), 4, 4));
    headless::pumpMessages();
    EXPECT_EQ(frame.count(EventCode::RightClicked), 1);
    SetFocus(probe.handle());
    headless::mouseWheel(2 * WHEEL_DELTA, screenOf(probe.handle(), 4, 4));
    headless::pumpMessages();
    EXPECT_EQ(probe.wheel, 2);
}

TEST_F(ComponentCore, PaintingIsOffScreenThenCopiedAndReportsPainted) {
    Probe probe;
    probe.setBackground(0x00FF00);
    ASSERT_TRUE(probe.create(frame.handle()));
    probe.setBounds(20, 30, 40, 40);
    headless::pumpMessages();
    EXPECT_EQ(headless::pixel(probe.handle(), 4, 4), 0x0000FFu);
    EXPECT_EQ(headless::pixel(probe.handle(), 20, 20), 0x00FF00u);
    EXPECT_GE(frame.count(EventCode::Painted), 1);
    // The system never erases the background.
    EXPECT_EQ(SendMessageW(probe.handle(), WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(ComponentCore, FieldFrameFollowsTheFocus) {
    struct Field : Component {
        void paint(Graphics& g) override {
            Component::paint(g);
            paintFieldFrame(g, 0, 0, 60, 30, 0);
        }
    } field;
    field.setBackground(0xFFFFFF);
    ASSERT_TRUE(field.create(frame.handle()));
    field.setBounds(10, 10, 60, 30);
    headless::pumpMessages();
    // The plain frame at the left edge, below the shaded bands' darkest rows.
    COLORREF unfocused = headless::pixel(field.handle(), 0, 20);
    EXPECT_NE(unfocused, 0xFFFFFFu);
    field.requestFocus();
    headless::pumpMessages();
    EXPECT_NE(headless::pixel(field.handle(), 0, 20), unfocused);
    // The interior far from the bands keeps the background, darkened by the
    // last band only: 255 - floor(255 * 12 / 255) = 243.
    EXPECT_EQ(headless::pixel(field.handle(), 30, 20), 0xF3F3F3u);
}

TEST_F(ComponentCore, TabWrapsInBothDirectionsAndSkipsWhatCannotTakeFocus) {
    BaseWindow pane;  // no tab stop of its own
    ASSERT_TRUE(pane.createAt(frame.handle(), 0, 0, 300, 200));
    Component first, disabled, hidden, last;
    for (Component* c : {&first, &disabled, &hidden, &last}) ASSERT_TRUE(c->create(pane.handle()));
    disabled.setEnabled(false);
    ShowWindow(hidden.handle(), SW_HIDE);

    first.requestFocus();
    headless::pressKey(VK_TAB);
    headless::pumpMessages();
    EXPECT_TRUE(last.hasFocus());
    headless::pressKey(VK_TAB);
    headless::pumpMessages();
    EXPECT_TRUE(first.hasFocus()) << "forward wraps to the first";

    headless::key(VK_SHIFT, true);
    headless::pressKey(VK_TAB);
    headless::key(VK_SHIFT, false);
    headless::pumpMessages();
    EXPECT_TRUE(last.hasFocus()) << "backward wraps to the last";
}

TEST_F(ComponentCore, TabFromTheLastChildGoesToATabStopParent) {
    Component outer;  // components are tab stops
    ASSERT_TRUE(outer.create(frame.handle()));
    Component a, b;
    ASSERT_TRUE(a.create(outer.handle()));
    ASSERT_TRUE(b.create(outer.handle()));
    EXPECT_TRUE(b.moveFocus(FocusDirection::Forward));
    EXPECT_TRUE(outer.hasFocus());
}

TEST_F(ComponentCore, ALoneTabStopFindsNothing) {
    Component only;
    ASSERT_TRUE(only.create(frame.handle()));
    only.requestFocus();
    EXPECT_FALSE(only.moveFocus(FocusDirection::Forward));
    EXPECT_FALSE(only.moveFocus(FocusDirection::Backward));
    EXPECT_TRUE(only.hasFocus());
}

TEST_F(ComponentCore, XmlAndDebugTextsHaveTheirExactShape) {
    Component c;
    ASSERT_TRUE(c.create(frame.handle()));
    c.setBounds(10, 20, 30, 40);
    c.setForeground(0);
    c.setBackground(0xFFFFFF);
    c.setText(u"OK");
    EXPECT_EQ(c.toXmlString(),
              u"<Component Class=\"Component\" X=\"10\" Y=\"20\" Width=\"30\" Height=\"40\" TextColor=\"0\" "
              u"BackColor=\"16777215\" Text=\"OK\" />");
    EXPECT_EQ(c.toDebugString(), u"Component, 1442906112, 10, 20, 30, 40, 0, 16777215, OK");
    // A long text is cut to the 1023 characters of the diagnostic buffer.
    c.setText(std::u16string(1500, u'x'));
    EXPECT_EQ(c.toXmlString().size(), 1023u);
}

TEST_F(ComponentCore, ObjectsWithoutWindowsAreHarmless) {
    Component c;
    EXPECT_EQ(c.handle(), nullptr);
    c.repaint();
    c.update();
    c.setBounds(1, 2, 3, 4);
    c.setText(u"x");
    c.fireEvent(EventCode::Pressed, 0);
    EXPECT_EQ(c.getText(), u"");
    EXPECT_EQ(c.getWidth(), 0);
    EXPECT_FALSE(c.hasFocus());
    c.setToolTipText(u"tip");
    EXPECT_EQ(c.toolTipWindow(), nullptr);
}

TEST_F(ComponentCore, RecreatingDestroysTheOldWindowAndDestructionClearsTheHandle) {
    Component c;
    ASSERT_TRUE(c.create(frame.handle()));
    HWND first = c.handle();
    ASSERT_TRUE(c.create(frame.handle()));
    EXPECT_FALSE(IsWindow(first));
    HWND second = c.handle();
    DestroyWindow(second);
    EXPECT_EQ(c.handle(), nullptr);
    {
        Component scoped;
        ASSERT_TRUE(scoped.create(frame.handle()));
        first = scoped.handle();
    }
    EXPECT_FALSE(IsWindow(first));
}

}  // namespace
