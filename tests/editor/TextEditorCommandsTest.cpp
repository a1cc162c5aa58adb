// The editor's context menu and commands, the clipboard with bad input, the
// input method and the file commands, on the headless display.
#include <gtest/gtest.h>

#include <cstring>

#include "EditorWindowFixture.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/TempDir.h"
#include "text/TextFile.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct EditorCommands : FocusedEditorWindow {
    void TearDown() override {
        headless::setMenuResponder(nullptr);
        headless::setFileDialogResponder(nullptr);
        headless::setMessageBoxResponder(nullptr);
        EditorWindow::TearDown();
    }
    // Opens the context menu with a right click and chooses command (0 for
    // none); returns what it showed.
    headless::MenuShown rightClickMenu(int command) {
        headless::MenuShown shown;
        headless::setMenuResponder([&](const headless::MenuShown& menu) {
            shown = menu;
            return command;
        });
        headless::click(headless::Button::Right, screen(30, 10));
        headless::pumpMessages();
        headless::setMenuResponder(nullptr);
        return shown;
    }
    static void putOnClipboard(const std::u16string& text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GHND, (text.size() + 1) * sizeof(char16_t));
        std::memcpy(GlobalLock(block), text.data(), text.size() * sizeof(char16_t));
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
        CloseClipboard();
    }
};

std::vector<std::pair<std::u16string, bool>> itemsOf(const headless::MenuShown& menu) {
    std::vector<std::pair<std::u16string, bool>> items;
    for (const auto& item : menu.items) items.emplace_back(item.separator ? u"-" : item.text, item.enabled);
    return items;
}

TEST_F(EditorCommands, ContextMenuItemsAndTheirStates) {
    putOnClipboard(u"clip");
    setText(u"some text");
    send(EM_EMPTYUNDOBUFFER);
    send(EM_SETSEL, 0, 4);
    using Items = std::vector<std::pair<std::u16string, bool>>;
    EXPECT_EQ(itemsOf(rightClickMenu(0)), (Items{{u"&Undo\t\t\tCtrl+Z", false},
                                                 {u"&Redo\t\t\tCtrl+Y", false},
                                                 {u"-", true},
                                                 {u"Cu&t\t\t\tCtrl+X", true},
                                                 {u"&Copy\t\t\tCtrl+C", true},
                                                 {u"&Paste\t\t\tCtrl+V", true},
                                                 {u"&Delete\t\tDel", true},
                                                 {u"-", true},
                                                 {u"Select &All\tCtrl+A", true},
                                                 {u"-", true},
                                                 {u"Output Selected Text As", true}}));
    // Choosing Cut posts the command: the text goes to the clipboard.
    rightClickMenu(TextEditor::kCommandCut);
    EXPECT_EQ(windowText(), u" text");
    auto states = itemsOf(rightClickMenu(0));
    EXPECT_TRUE(states[0].second);    // undo
    EXPECT_FALSE(states[3].second);   // cut: nothing selected
    EXPECT_FALSE(states[4].second);   // copy
    EXPECT_FALSE(states[10].second);  // output
    rightClickMenu(TextEditor::kCommandPaste);
    EXPECT_EQ(windowText(), u"some text");
    rightClickMenu(TextEditor::kCommandSelectAll);
    EXPECT_EQ(editor.selectedText(), u"some text");
    rightClickMenu(TextEditor::kCommandDelete);
    EXPECT_EQ(windowText(), u"");
    EXPECT_FALSE(itemsOf(rightClickMenu(0))[8].second);  // select all: no text
    rightClickMenu(TextEditor::kCommandUndo);
    EXPECT_EQ(windowText(), u"some text");
    // Read-only: only the copying items.
    send(EM_SETSEL, 0, 4);
    send(EM_SETREADONLY, TRUE);
    states = itemsOf(rightClickMenu(0));
    EXPECT_FALSE(states[0].second);
    EXPECT_FALSE(states[3].second);
    EXPECT_TRUE(states[4].second);
    EXPECT_FALSE(states[5].second);
    EXPECT_FALSE(states[6].second);
    // The keyboard opens the same menu.
    int shown = 0;
    headless::setMenuResponder([&](const headless::MenuShown&) {
        ++shown;
        return 0;
    });
    press(VK_APPS);
    chord(VK_SHIFT, VK_F10);
    EXPECT_EQ(shown, 2);
    // Command 1006 clears the modified flag.
    send(EM_SETREADONLY, FALSE);
    type(u"x");
    ASSERT_TRUE(editor.modified());
    send(WM_COMMAND, TextEditor::kCommandClearModified, 0);
    EXPECT_FALSE(editor.modified());
}

TEST_F(EditorCommands, CopyPutsTheSelectionOnTheClipboard) {
    setText(u"abc 日本語");
    send(EM_SETSEL, 4, 7);
    chord(VK_CONTROL, 'C');
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE block = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(block))), u"日本語");
    GlobalUnlock(block);
    CloseClipboard();
    // An empty selection copies nothing.
    send(EM_SETSEL, 1, 1);
    send(WM_COPY);
    send(WM_PASTE);
    EXPECT_EQ(windowText(), u"a日本語bc 日本語");
}

TEST_F(EditorCommands, PastedBadTextNeverReachesASavedFileBroken) {
    // Lone surrogates of both kinds, a pair, control bytes and a NUL that
    // ends the clipboard's text.
    const std::u16string bad{u'a', 0xD800, u'b', 0xDC00, 0xD83D, 0xDE00, 0x01, 0xFFFF, 0xD800};
    putOnClipboard(bad + u'\0' + u"lost");
    chord(VK_CONTROL, 'V');
    const std::u16string expected{u'a', 0xFFFD, u'b', 0xFFFD, 0xD83D, 0xDE00, 0x01, 0xFFFF, 0xFFFD};
    EXPECT_EQ(windowText(), expected);
    TempDir folder;
    for (int code : {1, 2, 3}) {
        const std::u16string path = folder.file("pasted.txt");
        ASSERT_TRUE(saveTextFile(path, windowText(), code));
        std::u16string back;
        ASSERT_EQ(readTextFile(path, back, code), code);
        EXPECT_EQ(back, expected) << code;
    }
    chord(VK_CONTROL, 'Z');
    EXPECT_EQ(windowText(), u"");
}

TEST_F(EditorCommands, InputMethodCompositionAndCommit) {
    setText(u"AB");
    send(EM_SETSEL, 1, 1);
    const POINT caret = pointOf(1);
    const COLORREF before = at(caret.x + 4, caret.y + editor.fontHeight());
    headless::compose(u"にほん", 3);
    headless::pumpMessages();
    // The reading is shown in place, underlined, and not yet in the text.
    EXPECT_EQ(windowText(), u"AB");
    EXPECT_NE(at(caret.x + 4, caret.y + editor.fontHeight()), before);
    RECT area{};
    ASSERT_TRUE(headless::textInputArea(area));
    const POINT caretOnScreen = screen(caret.x, caret.y);
    EXPECT_EQ(area.left, caretOnScreen.x);
    EXPECT_EQ(area.top, caretOnScreen.y);
    headless::typeText(u"日本");
    headless::pumpMessages();
    EXPECT_EQ(windowText(), u"A日本B");
    EXPECT_EQ(editor.caret(), 3);
    // The commit is one undo step.
    chord(VK_CONTROL, 'Z');
    EXPECT_EQ(windowText(), u"AB");
    // A read-only editor takes no composition.
    send(EM_SETREADONLY, TRUE);
    headless::compose(u"か", 1);
    headless::typeText(u"か");
    headless::pumpMessages();
    EXPECT_EQ(windowText(), u"AB");
}

TEST_F(EditorCommands, ReconversionOffersTheSelectionOrTheLine) {
    setText(u"first\r\n変換する\r\nlast");
    send(EM_SETSEL, 9, 9);
    const LRESULT size = send(WM_IME_REQUEST, IMR_RECONVERTSTRING, 0);
    ASSERT_EQ(size, static_cast<LRESULT>(sizeof(RECONVERTSTRING) + 5 * sizeof(char16_t)));
    std::vector<unsigned char> buffer(static_cast<std::size_t>(size));
    auto* request = reinterpret_cast<RECONVERTSTRING*>(buffer.data());
    request->dwSize = static_cast<DWORD>(size);
    ASSERT_EQ(send(WM_IME_REQUEST, IMR_RECONVERTSTRING, reinterpret_cast<LPARAM>(request)), size);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(request + 1), request->dwStrLen), u"変換する");
    // The input method chose the first two characters.
    request->dwCompStrOffset = 0;
    request->dwCompStrLen = 2;
    send(WM_IME_REQUEST, IMR_CONFIRMRECONVERTSTRING, reinterpret_cast<LPARAM>(request));
    EXPECT_EQ(editor.selectedText(), u"変換");
}

TEST_F(EditorCommands, OutputSelectedTextWritesTheDocumentsEncoding) {
    TempDir folder;
    folder.write("source.html", "\xEF\xBB\xBF<p>Hello \xE4\xB8\x96\xE7\x95\x8C</p>");
    ASSERT_TRUE(editor.openFile(folder.file("source.html")));
    send(EM_SETSEL, 3, 11);
    headless::FileDialogShown shown;
    const std::u16string target = folder.file("out.txt");
    headless::setFileDialogResponder([&](const headless::FileDialogShown& dialog) {
        shown = dialog;
        return headless::FileDialogAnswer::choose(target);
    });
    send(WM_COMMAND, TextEditor::kCommandOutputSelection, 0);
    headless::pumpMessages();
    EXPECT_EQ(shown.kind, headless::FileDialogKind::Save);
    ASSERT_EQ(shown.filters.size(), 3u);
    EXPECT_EQ(shown.filters[1].first, u"HTML (*.htm,*.html)");
    EXPECT_EQ(shown.filterIndex, 1);  // the path's ".html" picks HTML
    EXPECT_EQ(shown.defaultExtension, u"txt");
    EXPECT_EQ(folder.read("out.txt"), "\xEF\xBB\xBFHello \xE4\xB8\x96\xE7\x95\x8C");
    // Cancelled, nothing is written.
    headless::setFileDialogResponder(
        [](const headless::FileDialogShown&) { return headless::FileDialogAnswer::cancel(); });
    EXPECT_FALSE(editor.outputSelectedText());
}

TEST_F(EditorCommands, AFileThatCannotBeReadGivesAMessageAndKeepsTheText) {
    TempDir folder;
    setText(u"keep me");
    std::vector<headless::MessageBoxShown> boxes;
    headless::takeMessageBoxes();
    headless::dropFiles({folder.file("missing.txt")}, screen(30, 30));
    headless::pumpMessages();
    EXPECT_EQ(windowText(), u"keep me");
    boxes = headless::takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, u"Veltrix");
    EXPECT_NE(boxes[0].text.find(u"missing.txt"), std::u16string::npos);
}

}  // namespace
