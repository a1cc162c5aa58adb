// Text fields and areas on the system edit control: the input options
// (typed and pasted), the keys a multi-line area takes itself, the dialog
// codes, and the restriction rules on their own.
#include <cstring>

#include "WidgetTestSupport.h"
#include "toolkit/TextArea.h"
#include "toolkit/TextField.h"

using namespace veltrix::test;

namespace {

void putClipboard(const std::u16string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
    std::memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(char16_t));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

TEST(RestrictionName, RefusedCharactersAndPastedTextFollowTheActiveOption) {
    struct Case {
        bool fileName, path;
        std::u16string pasted, inserted;
    };
    const Case cases[] = {
        {false, false, u"a<b>|\"c", u"a<b>|\"c"},
        {false, true, u"C:\\dir\\<x>|\"y\".txt", u"C:\\dir\\ x   y .txt"},
        {true, false, u"name?.txt", u"name"},
        {true, false, u"a/b", u"a"},
        {true, false, u"レッスン1.mp3", u"レッスン1.mp3"},
        {true, true, u"ab|cd:ef", u"ab cd"},
    };
    for (const Case& c : cases) {
        RestrictionName r;
        r.setFileNameCharacters(c.fileName);
        r.setPathCharacters(c.path);
        EXPECT_EQ(r.cleanPaste(c.pasted), c.inserted) << c.fileName << c.path;
    }
    RestrictionName r;
    r.setFileNameCharacters(true);
    for (char16_t c : std::u16string(u"\"*/:<>?\\|")) EXPECT_TRUE(r.refuses(c));
    EXPECT_FALSE(r.refuses(u'a'));
    r.setFileNameCharacters(false);
    r.setPathCharacters(true);
    for (char16_t c : std::u16string(u"\"<>|")) EXPECT_TRUE(r.refuses(c));
    for (char16_t c : std::u16string(u"*/:?\\")) EXPECT_FALSE(r.refuses(c));
}

struct TextFieldTest : WidgetTest {
    void SetUp() override {
        WidgetTest::SetUp();
        ASSERT_TRUE(field.createAt(frame.handle(), 10, 10, 200, 20));
        ASSERT_TRUE(area.createAt(frame.handle(), 10, 40, 200, 100));
        field.requestFocus();
        settle();
    }
    TextField field;
    TextArea area;
};

TEST_F(TextFieldTest, StylesFontsAndDialogCodes) {
    EXPECT_EQ(field.getStyle(), TextField::kFieldStyle);
    EXPECT_EQ(area.getStyle(), TextArea::kAreaStyle);
    EXPECT_EQ(SendMessageW(field.handle(), WM_GETDLGCODE, 0, 0), 0x83);
    EXPECT_EQ(SendMessageW(area.handle(), WM_GETDLGCODE, 0, 0), 4);
    EXPECT_EQ(BaseWindow::fromHandle(field.handle()), &field);
    field.setStyle(TextField::kFieldStyle | ES_NUMBER);
    EXPECT_EQ(field.getStyle() & (ES_NUMBER | ES_RIGHT), ES_NUMBER | ES_RIGHT);
    // Destroying the object leaves nothing behind.
    HWND window = area.handle();
    area.destroyWindow();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(TextFieldTest, TypingHonoursTheOptions) {
    type(u"abc");
    EXPECT_EQ(field.getText(), u"abc");
    field.setFileNameCharacters(true);
    type(u"d:e?f");
    EXPECT_EQ(field.getText(), u"abcdef");
    field.setFileNameCharacters(false);
    field.setPathCharacters(true);
    type(u"/g|");
    EXPECT_EQ(field.getText(), u"abcdef/g");
    field.setReadOnly(true);
    type(u"xyz");
    press(VK_BACK);
    EXPECT_EQ(field.getText(), u"abcdef/g");
}

TEST_F(TextFieldTest, PasteIsCleanedAndUndoableAndReadOnlyRefusesCutAndPaste) {
    field.setPathCharacters(true);
    putClipboard(u"C:\\<a>.txt");
    SendMessageW(field.handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(field.getText(), u"C:\\ a .txt");
    SendMessageW(field.handle(), WM_UNDO, 0, 0);
    EXPECT_EQ(field.getText(), u"");

    field.setText(u"keep");
    field.selectAll();
    field.setReadOnly(true);
    SendMessageW(field.handle(), WM_CUT, 0, 0);
    SendMessageW(field.handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(field.getText(), u"keep");
}

TEST_F(TextFieldTest, AnAreaTakesTabAndReturnItselfAndAFieldPassesTabOn) {
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), area.handle());
    type(u"one");
    press(VK_TAB);
    press(VK_RETURN);
    type(u"two");
    EXPECT_EQ(area.getText(), u"one\t\r\ntwo");
    EXPECT_EQ(GetFocus(), area.handle());
    SendMessageW(area.handle(), WM_UNDO, 0, 0);
    EXPECT_NE(area.getText(), u"one\t\r\ntwo");

    field.requestFocus();
    settle();
    pressWith(VK_SHIFT, VK_TAB);
    EXPECT_EQ(GetFocus(), area.handle());
}

}  // namespace
