// Check boxes and radio buttons: two-state cycles, radio exclusion with and
// without groups, the check messages, and the simple painted widgets (label,
// progress bar, group box).
#include "WidgetTestSupport.h"
#include "toolkit/CheckBox.h"
#include "toolkit/GroupBox.h"
#include "toolkit/LabelComponent.h"
#include "toolkit/ProgressBar.h"
#include "toolkit/RadioButton.h"
#include "toolkit/Slider.h"

using namespace veltrix::test;

namespace {

using CheckBoxTest = WidgetTest;

TEST_F(CheckBoxTest, ACheckBoxTogglesByMouseAndKeys) {
    CheckBox box;
    ASSERT_TRUE(box.createButton(frame.handle(), 5, u"字幕を表示", 10, 10, 160, 20));
    EXPECT_EQ(box.className(), u"CheckBox");
    EXPECT_EQ(box.getStyle() & 0xF, 0u);  // no radio-style bits
    click(box.handle(), 5, 10);
    EXPECT_TRUE(box.isChecked());
    box.requestFocus();
    settle();
    press(VK_SPACE);
    EXPECT_FALSE(box.isChecked());
    press(VK_RETURN);
    EXPECT_EQ(box.getState(), 1);
    EXPECT_EQ(frame.commands, (std::vector<int>{5, 5, 5}));
}

struct RadioGroup : WidgetTest {
    void SetUp() override {
        WidgetTest::SetUp();
        const char16_t* captions[] = {u"英語", u"日本語", u"両方"};
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(radios[i].createButton(frame.handle(), 10 + i, captions[i], 10, 10 + 22 * i, 120, 20));
        settle();
    }
    std::vector<int> checks() {
        std::vector<int> states;
        for (auto& r : radios) states.push_back(static_cast<int>(SendMessageW(r.handle(), BM_GETCHECK, 0, 0)));
        return states;
    }
    RadioButton radios[3];
};

TEST_F(RadioGroup, CheckingOneUnchecksTheOthersAndACheckedOneStaysChecked) {
    EXPECT_EQ(radios[0].getStyle(), RadioButton::kStyle);
    click(radios[1].handle(), 5, 10);
    EXPECT_EQ(checks(), (std::vector<int>{0, 1, 0}));
    click(radios[0].handle(), 5, 10);
    EXPECT_EQ(checks(), (std::vector<int>{1, 0, 0}));
    radios[2].click(ClickSource::Keyboard);
    EXPECT_EQ(checks(), (std::vector<int>{0, 0, 1}));
    radios[2].click(ClickSource::Keyboard);
    EXPECT_EQ(checks(), (std::vector<int>{0, 0, 1}));

    // BM_SETCHECK sets one button only, as on the system's buttons.
    SendMessageW(radios[0].handle(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(checks(), (std::vector<int>{1, 0, 1}));
}

TEST_F(RadioGroup, AGroupStyleStartsASeparateGroupAndOtherSiblingsAreLeftAlone) {
    RadioButton second[2];
    ASSERT_TRUE(second[0].createButton(frame.handle(), 20, u"A", 200, 10, 80, 20));
    ASSERT_TRUE(second[1].createButton(frame.handle(), 21, u"B", 200, 32, 80, 20));
    SetWindowLongW(second[0].handle(), GWL_STYLE, static_cast<LONG>(second[0].getStyle() | WS_GROUP));
    CheckBox box;
    ASSERT_TRUE(box.createButton(frame.handle(), 30, u"C", 200, 60, 80, 20));
    box.setChecked(true);

    radios[1].click(ClickSource::Mouse);
    second[1].click(ClickSource::Mouse);
    EXPECT_EQ(checks(), (std::vector<int>{0, 1, 0}));
    EXPECT_TRUE(box.isChecked());
    second[0].click(ClickSource::Mouse);
    EXPECT_EQ(second[1].getState(), 0);
    EXPECT_EQ(checks(), (std::vector<int>{0, 1, 0}));
    radios[0].click(ClickSource::Mouse);
    EXPECT_EQ(second[0].getState(), 1);
}

using SimpleWidgets = WidgetTest;

TEST_F(SimpleWidgets, ProgressBarClampsAndPaintsItsBarAcrossTheShare) {
    ProgressBar bar;
    ASSERT_TRUE(bar.create(frame.handle()));
    bar.setBounds(10, 10, 200, 20);
    EXPECT_EQ(bar.className(), u"ProgressBar");
    EXPECT_EQ(bar.getStyle() & WS_TABSTOP, 0u);
    bar.setPosition(150);
    EXPECT_EQ(bar.position(), 100);
    bar.setPosition(-5);
    EXPECT_EQ(bar.position(), 0);
    bar.setPosition(50);
    settle();
    auto isBar = [](COLORREF c) { return GetBValue(c) > 200 && GetRValue(c) < 130; };
    EXPECT_TRUE(isBar(headless::pixel(bar.handle(), 50, 16)));
    EXPECT_FALSE(isBar(headless::pixel(bar.handle(), 150, 16)));
}

TEST_F(SimpleWidgets, LabelsTakeNoFocusAndRepaintTheirText) {
    LabelComponent label;
    ASSERT_TRUE(label.createLabel(frame.handle(), u"00:00/00:00", 10, 10, 80, 20));
    EXPECT_EQ(label.getStyle() & WS_TABSTOP, 0u);
    settle();
    auto ink = [&] {
        int n = 0;
        for (int x = 0; x < 80; ++x)
            for (int y = 0; y < 20; ++y) n += headless::pixel(label.handle(), x, y) != label.background();
        return n;
    };
    EXPECT_GT(ink(), 10);
    label.setText(u"");
    settle();
    EXPECT_EQ(ink(), 0);
}

TEST_F(SimpleWidgets, AGroupBoxPassesItsChildrensReportsToItsParent) {
    GroupBox group;
    ASSERT_TRUE(group.createGroup(frame.handle(), u"再生", 10, 10, 250, 120));
    EXPECT_EQ(group.getStyle(), GroupBox::kStyle);
    CheckBox box;
    ASSERT_TRUE(box.createButton(group.handle(), 8, u"繰り返し", 10, 20, 100, 20));
    Slider slider;
    ASSERT_TRUE(slider.create(group.handle()));
    SetWindowLongPtrW(slider.handle(), GWLP_ID, 9);
    slider.setBounds(10, 50, 150, 20);
    slider.setRange(0, 10);
    box.click(ClickSource::Mouse);
    slider.requestFocus();
    settle();
    press(VK_RIGHT);
    ASSERT_EQ(frame.of(WM_COMMAND).size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(frame.of(WM_COMMAND)[0].lParam), box.handle());
    ASSERT_EQ(frame.of(WM_HSCROLL).size(), 1u);
    EXPECT_EQ(LOWORD(frame.of(WM_HSCROLL)[0].wParam), 9);
}

}  // namespace

namespace {

TEST_F(SimpleWidgets, TabLeadsIntoAGroupBoxAndOutAgain) {
    CheckBox before;
    ASSERT_TRUE(before.createButton(frame.handle(), 1, u"前", 10, 10, 60, 20));
    GroupBox group;
    ASSERT_TRUE(group.createGroup(frame.handle(), u"グループ", 10, 40, 200, 100));
    CheckBox first, last;
    ASSERT_TRUE(first.createButton(group.handle(), 2, u"一", 10, 20, 60, 20));
    ASSERT_TRUE(last.createButton(group.handle(), 3, u"二", 10, 50, 60, 20));
    CheckBox after;
    ASSERT_TRUE(after.createButton(frame.handle(), 4, u"後", 10, 150, 60, 20));
    before.requestFocus();
    settle();
    const std::vector<HWND> forward = {first.handle(), last.handle(), after.handle()};
    for (HWND expected : forward) {
        press(VK_TAB);
        EXPECT_EQ(GetFocus(), expected);
    }
    const std::vector<HWND> backward = {last.handle(), first.handle(), before.handle()};
    for (HWND expected : backward) {
        pressWith(VK_SHIFT, VK_TAB);
        EXPECT_EQ(GetFocus(), expected);
    }
}

}  // namespace
