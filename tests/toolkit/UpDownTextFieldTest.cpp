// The number field: clamping of every change with one -18 per change, keys,
// wheel and arrow drags, the layout rules, and focus passing through it.
#include <chrono>
#include <cstring>
#include <thread>

#include "WidgetTestSupport.h"
#include "toolkit/Button.h"
#include "toolkit/Graphics.h"
#include "toolkit/UpDownTextField.h"

using namespace veltrix::test;

namespace {

struct UpDownTest : WidgetTest {
    void SetUp() override {
        WidgetTest::SetUp();
        ASSERT_TRUE(before.createButton(frame.handle(), 1, u"前", 10, 10, 60, 22));
        ASSERT_TRUE(updown.createField(frame.handle(), 44, u"Tempo", 80, 10, 120, 22));
        ASSERT_TRUE(after.createButton(frame.handle(), 2, u"後", 210, 10, 60, 22));
        updown.setRange(50, 360);
        updown.setValue(100);
        updown.requestFocus();
        settle();
        frame.clear();
    }
    HWND h() const { return updown.handle(); }
    std::u16string fieldText() { return updown.field().getText(); }
    int valueChanges() const { return frame.count(EventCode::ValueChanged); }

    Button before;
    UpDownTextField updown;
    Button after;
};

TEST_F(UpDownTest, KeysStepByOneOrATenthOfTheRangeWithControl) {
    EXPECT_EQ(GetFocus(), updown.field().handle());
    pressWith(VK_CONTROL, VK_UP);
    EXPECT_EQ(fieldText(), u"131");
    press(VK_DOWN);
    EXPECT_EQ(updown.getValue(), 130);
    for (int i = 0; i < 11; ++i) pressWith(VK_CONTROL, VK_UP);
    EXPECT_EQ(updown.getValue(), 360);
    press(VK_UP);
    EXPECT_EQ(fieldText(), u"360");
    wheel(h(), -1);
    EXPECT_EQ(updown.getValue(), 359);
    wheel(h(), 2);
    EXPECT_EQ(updown.getValue(), 360);
}

TEST_F(UpDownTest, EveryTypedChangeIsClampedAtOnceAndReportedOnce) {
    pressWith(VK_CONTROL, 'A');
    type(u"9");
    EXPECT_EQ(fieldText(), u"50");
    EXPECT_EQ(updown.getValue(), 50);
    EXPECT_EQ(valueChanges(), 1);
    // The parent also gets the field's command, posted with the control as sender.
    ASSERT_EQ(frame.of(WM_COMMAND).size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(frame.of(WM_COMMAND)[0].lParam), h());
    EXPECT_EQ(HIWORD(frame.of(WM_COMMAND)[0].wParam), EN_CHANGE);

    type(u"7");
    EXPECT_EQ(fieldText(), u"360");  // 507
    EXPECT_EQ(valueChanges(), 2);

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
    std::memcpy(GlobalLock(block), u"999", 8);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    updown.field().selectAll();
    SendMessageW(updown.field().handle(), WM_PASTE, 0, 0);
    settle();
    EXPECT_EQ(fieldText(), u"360");
    EXPECT_EQ(valueChanges(), 3);

    // Letters never reach a digits-only field.
    type(u"x");
    EXPECT_EQ(fieldText(), u"360");
}

TEST_F(UpDownTest, ArrowsClickAndDragOnePerPixel) {
    const int arrowX = updown.getWidth() - 6;
    click(h(), arrowX, 3);
    EXPECT_EQ(updown.getValue(), 101);
    std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 20));
    click(h(), arrowX, 19);
    EXPECT_EQ(updown.getValue(), 100);

    std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 20));
    mouseButton(h(), arrowX, 5, true);  // +1
    EXPECT_TRUE(updown.isArrowDragging());
    moveTo(h(), arrowX, 0);  // 5 pixels up
    EXPECT_EQ(updown.getValue(), 106);
    moveTo(h(), arrowX, 300);  // far down: clamped
    EXPECT_EQ(updown.getValue(), 50);
    mouseButton(h(), arrowX, 300, false);
    EXPECT_FALSE(updown.isArrowDragging());
    EXPECT_EQ(GetCapture(), nullptr);
    auto scrolls = frame.of(WM_VSCROLL);
    ASSERT_EQ(scrolls.size(), 2u);
    EXPECT_EQ(LOWORD(scrolls[0].wParam), 44);
    EXPECT_EQ(HIWORD(scrolls[0].wParam), 106);
    EXPECT_EQ(reinterpret_cast<HWND>(scrolls[0].lParam), h());
    EXPECT_EQ(HIWORD(scrolls[1].wParam), 50);

    // A press beside the arrows does nothing.
    click(h(), 5, 11);
    EXPECT_EQ(updown.getValue(), 50);
}

TEST_F(UpDownTest, TheFieldIsSizedForTheRangeAndPlacedByTheRules) {
    Graphics g(1, 1);
    g.setFont(updown.font());
    const int nine = g.getTextWidth(std::u16string(u"9"));
    const int room = UpDownTextField::kCaretRoom;
    const int minus = g.getTextWidth(std::u16string(u"-"));
    const int caption = g.getTextWidth(std::u16string(u"Tempo"));
    auto fieldRect = [&] {
        RECT r{};
        GetWindowRect(updown.field().handle(), &r);
        POINT p{r.left, r.top};
        ScreenToClient(h(), &p);
        return RECT{p.x, p.y, p.x + r.right - r.left, p.y + r.bottom - r.top};
    };
    RECT r = fieldRect();
    EXPECT_EQ(r.right - r.left, 3 * nine + room);
    EXPECT_EQ(r.bottom - r.top, 13);
    EXPECT_EQ(r.left, 120 - 3 * nine - room - 15);
    EXPECT_EQ(r.top, (22 - 13) / 2 + 1);

    updown.setRange(-10, 5);
    EXPECT_EQ(updown.getValue(), 5);  // re-clamped
    updown.pack();
    r = fieldRect();
    EXPECT_EQ(r.right - r.left, nine + minus + room);
    EXPECT_EQ(updown.getWidth(), caption + nine + minus + room + 23);
    EXPECT_EQ(r.left, caption + 8);
}

TEST_F(UpDownTest, FocusPassesThroughTheControlToItsFieldAndOn) {
    before.requestFocus();
    settle();
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), updown.field().handle());
    DWORD selection = static_cast<DWORD>(SendMessageW(updown.field().handle(), EM_GETSEL, 0, 0));
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), 3);
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), after.handle());
    pressWith(VK_SHIFT, VK_TAB);
    EXPECT_EQ(GetFocus(), updown.field().handle());
    pressWith(VK_SHIFT, VK_TAB);
    EXPECT_EQ(GetFocus(), before.handle());
}

}  // namespace
