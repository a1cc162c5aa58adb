// The combo box: selection through its messages, Return in its field as
// event -4, the list width, and hover tracking by its timer.
#include <algorithm>
#include <chrono>
#include <thread>

#include "WidgetTestSupport.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Graphics.h"

using namespace veltrix::test;

namespace {

struct Recorder : EventListener {
    void handleEvent(const EventObject& event) override { codes.push_back(event.code); }
    std::vector<int> codes;
};

struct ComboBoxTest : WidgetTest {
    void SetUp() override {
        WidgetTest::SetUp();
        ASSERT_TRUE(combo.createBox(frame.handle(), 12, 10, 10, 160, 22));
        for (const char16_t* item : {u"英辞郎", u"WordNet", u"A rather long dictionary name for the list"})
            combo.addItem(item);
        settle();
        frame.clear();
    }
    Recorder recorder;  // outlives the box
    ComboBox combo;
};

TEST_F(ComboBoxTest, CreatedAsADropDownWithRoomForItsList) {
    EXPECT_EQ(combo.getStyle(), ComboBox::kStyle);
    EXPECT_EQ(BaseWindow::fromHandle(combo.handle()), &combo);
    EXPECT_EQ(BaseWindow::fromHandle(combo.field().handle()), &combo.field());
    EXPECT_EQ(GetParent(combo.field().handle()), combo.handle());
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo.handle(), &info));
    EXPECT_EQ(info.hwndItem, combo.field().handle());
}

TEST_F(ComboBoxTest, SelectionByIndexAndByKeys) {
    EXPECT_EQ(combo.getSelectedIndex(), -1);
    combo.setSelectedIndex(1);
    EXPECT_EQ(combo.getSelectedIndex(), 1);
    EXPECT_EQ(combo.field().getText(), u"WordNet");
    combo.setSelectedIndex(7);
    EXPECT_EQ(combo.getSelectedIndex(), -1);
    combo.setSelectedIndex(0);
    EXPECT_EQ(combo.itemText(0), u"英辞郎");

    combo.field().requestFocus();
    settle();
    press(VK_DOWN);
    EXPECT_EQ(combo.getSelectedIndex(), 1);
    EXPECT_EQ(combo.field().getText(), u"WordNet");
}

TEST_F(ComboBoxTest, ReturnInTheFieldFiresMinusFourOnceToListenersOrTheParent) {
    combo.field().requestFocus();
    settle();
    type(u"new word");
    press(VK_RETURN);
    EXPECT_EQ(frame.count(EventCode::ReturnPressed), 1);
    EXPECT_EQ(combo.field().getText(), u"new word");

    combo.addEventListener(&recorder);
    press(VK_RETURN);
    EXPECT_EQ(frame.count(EventCode::ReturnPressed), 1);
    EXPECT_EQ(std::count(recorder.codes.begin(), recorder.codes.end(), EventCode::ReturnPressed), 1);
}

TEST_F(ComboBoxTest, TheListIsAsWideAsTheWidestItemPlusTwenty) {
    Graphics g(1, 1);
    g.setFont(combo.font());
    const int widest = g.getTextWidth(std::u16string(u"A rather long dictionary name for the list"));
    ASSERT_GT(widest + 20, 160);
    EXPECT_EQ(SendMessageW(combo.handle(), CB_GETDROPPEDWIDTH, 0, 0), widest + 20);
    SendMessageW(combo.handle(), CB_SHOWDROPDOWN, TRUE, 0);
    settle();
    EXPECT_TRUE(combo.isDropped());
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo.handle(), &info));
    RECT list{};
    GetWindowRect(info.hwndList, &list);
    EXPECT_EQ(list.right - list.left, widest + 20);
    SendMessageW(combo.handle(), CB_SHOWDROPDOWN, FALSE, 0);
    settle();
}

TEST_F(ComboBoxTest, HoverIsTrackedUntilThePointerLeaves) {
    RECT box{};
    GetClientRect(combo.handle(), &box);
    moveTo(combo.handle(), box.right - 5, 5);  // over the arrow part of the box
    EXPECT_TRUE(combo.isHoverTracking());
    EXPECT_TRUE(combo.isHovered());
    moveTo(frame.handle(), 300, 250);
    for (int i = 0; i < 50 && combo.isHoverTracking(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        settle();
    }
    EXPECT_FALSE(combo.isHoverTracking());
    EXPECT_FALSE(combo.isHovered());
}

}  // namespace
