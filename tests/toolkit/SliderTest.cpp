// The slider: its value through drags, clicks on the track, keys and the
// wheel, the report every change sends, and the track-bar messages.
#include "WidgetTestSupport.h"
#include "toolkit/Slider.h"

using namespace veltrix::test;

namespace {

struct SliderTest : WidgetTest {
    void SetUp() override {
        WidgetTest::SetUp();
        ASSERT_TRUE(slider.create(frame.handle()));
        SetWindowLongPtrW(h(), GWLP_ID, 31);
        // Track 232 - 32 = 200 pixels for 0..100: two pixels per step.
        slider.setBounds(10, 10, 232, 18);
        send(TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
        settle();
        frame.clear();
    }
    HWND h() const { return slider.handle(); }
    LRESULT send(UINT message, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(h(), message, w, l); }
    // The position each WM_HSCROLL reported, after checking its other fields.
    std::vector<int> reported() {
        std::vector<int> positions;
        for (const Report& r : frame.of(WM_HSCROLL)) {
            EXPECT_EQ(LOWORD(r.wParam), 31);
            EXPECT_EQ(reinterpret_cast<HWND>(r.lParam), h());
            positions.push_back(HIWORD(r.wParam));
        }
        return positions;
    }

    Slider slider;
};

TEST_F(SliderTest, GeometryFollowsTheSizeAndTheRange) {
    EXPECT_EQ(slider.trackLength(), 200);
    EXPECT_FLOAT_EQ(slider.scale(), 0.5f);
    send(TBM_SETPOS, TRUE, 50);
    EXPECT_EQ(slider.thumbX(), 100);
    send(TBM_SETPOS, TRUE, 500);
    EXPECT_EQ(send(TBM_GETPOS), 100);
    send(TBM_SETPOS, TRUE, -3);
    EXPECT_EQ(send(TBM_GETPOS), 0);
    EXPECT_TRUE(reported().empty());  // set by the program: no report

    // A range set before any size uses the range as its track length.
    Slider early;
    early.setRange(10, 60);
    EXPECT_EQ(early.trackLength(), 50);
    EXPECT_FLOAT_EQ(early.scale(), 1.0f);
}

TEST_F(SliderTest, KeysMoveByTheLineStepOrAFifthWithControlAndStayInRange) {
    slider.requestFocus();
    settle();
    press(VK_RIGHT);
    press(VK_DOWN);
    press(VK_LEFT);
    EXPECT_EQ(slider.position(), 1);
    pressWith(VK_CONTROL, VK_RIGHT);
    EXPECT_EQ(slider.position(), 21);
    press(VK_UP);
    EXPECT_EQ(slider.position(), 20);
    EXPECT_EQ(reported(), (std::vector<int>{1, 2, 1, 21, 20}));

    send(TBM_SETPOS, TRUE, 100);
    press(VK_RIGHT);
    EXPECT_EQ(slider.position(), 100);
    EXPECT_EQ(slider.thumbX(), 200);

    send(TBM_SETLINESIZE, 0, 7);
    EXPECT_EQ(send(TBM_GETLINESIZE), 7);
    press(VK_LEFT);
    EXPECT_EQ(slider.position(), 93);
    // A page count below 1 counts as 5.
    send(TBM_SETPAGESIZE, 0, 0);
    pressWith(VK_CONTROL, VK_LEFT);
    EXPECT_EQ(slider.position(), 73);
    // Other keys are taken but change nothing.
    EXPECT_EQ(send(WM_KEYDOWN, 'A', 0), 1);
    EXPECT_EQ(slider.position(), 73);
}

TEST_F(SliderTest, WheelAwayFromTheUserLowersTheValue) {
    send(TBM_SETPOS, TRUE, 50);
    slider.requestFocus();
    settle();
    wheel(h(), 1);
    EXPECT_EQ(slider.position(), 49);
    wheel(h(), -3);
    EXPECT_EQ(slider.position(), 52);
}

TEST_F(SliderTest, ClickOnTheTrackCentresTheThumbThereAndReportsAtOnce) {
    mouseButton(h(), 150, 9, true);
    EXPECT_TRUE(slider.isDragging());
    EXPECT_EQ(slider.thumbX(), 134);
    EXPECT_EQ(slider.position(), 67);
    EXPECT_EQ(reported(), std::vector<int>{67});
    EXPECT_EQ(GetFocus(), h());
    mouseButton(h(), 150, 9, false);
    EXPECT_FALSE(slider.isDragging());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SliderTest, DraggingTheThumbKeepsTheGrabPointAndStopsAtTheEnds) {
    send(TBM_SETPOS, TRUE, 10);  // thumb at x 20
    mouseButton(h(), 25, 9, true);
    EXPECT_EQ(slider.position(), 10);  // a press on the thumb does not move it
    moveTo(h(), 65, 9);
    EXPECT_EQ(slider.thumbX(), 60);
    EXPECT_EQ(slider.position(), 30);
    moveTo(h(), 600, 9);  // far past the end: captured, clamped
    EXPECT_EQ(slider.position(), 100);
    moveTo(h(), -300, 9);
    EXPECT_EQ(slider.thumbX(), 0);
    EXPECT_EQ(slider.position(), 0);
    mouseButton(h(), -300, 9, false);
    EXPECT_EQ(reported(), (std::vector<int>{30, 100, 0}));
    moveTo(h(), 100, 9);  // no longer dragging
    EXPECT_EQ(slider.position(), 0);
}

TEST_F(SliderTest, MessagesAndDescriptionOfATrackBar) {
    send(TBM_SETRANGEMIN, TRUE, 20);
    send(TBM_SETRANGEMAX, TRUE, 220);
    send(TBM_SETPOS, TRUE, 120);
    EXPECT_EQ(send(TBM_GETRANGEMIN), 20);
    EXPECT_EQ(send(TBM_GETRANGEMAX), 220);
    EXPECT_FLOAT_EQ(slider.scale(), 1.0f);
    EXPECT_EQ(slider.getTextCopy(), u"The current slider position is 120. The range is from 20 to 220.");
    EXPECT_EQ(send(WM_GETDLGCODE), 1);
    send(TBM_SETTHUMBLENGTH, 12);
    // "220" is wider than 12 pixels: the thumb grows to show it whole.
    EXPECT_EQ(send(TBM_GETTHUMBLENGTH), slider.widestValueWidth() + 2 * Slider::kValueMargin);
    EXPECT_GT(send(TBM_GETTHUMBLENGTH), 12);
    EXPECT_EQ(slider.trackLength(), 232 - slider.thumbWidth());
    send(TBM_SETTHUMBLENGTH, 40);
    EXPECT_EQ(send(TBM_GETTHUMBLENGTH), 40);
    EXPECT_EQ(slider.trackLength(), 192);
    EXPECT_EQ(send(TBM_SETTICFREQ, 10), 0);

    slider.setEnabled(false);
    EXPECT_EQ(send(WM_KEYDOWN, VK_RIGHT, 0), 0);
    EXPECT_EQ(slider.position(), 120);
}

TEST_F(SliderTest, ThePositionIsPaintedInTheThumbWhenItIsWideEnough) {
    send(TBM_SETPOS, TRUE, 88);
    settle();
    auto inkInThumb = [&] {
        int ink = 0;
        for (int x = slider.thumbX() + 2; x < slider.thumbX() + slider.thumbWidth() - 2; ++x)
            for (int y = 3; y < 15; ++y) {
                COLORREF c = headless::pixel(h(), x, y);
                ink += (GetRValue(c) + GetGValue(c) + GetBValue(c)) < 300;
            }
        return ink;
    };
    EXPECT_GT(inkInThumb(), 5);
    send(TBM_SETTHUMBLENGTH, 11);
    settle();
    EXPECT_EQ(inkInThumb(), 0);
}

}  // namespace
