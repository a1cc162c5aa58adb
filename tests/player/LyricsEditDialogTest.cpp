// The sentence dialog: its title for each use, what it shows, and that only
// OK hands the typed sentence back, with the other texts untouched.
#include <gtest/gtest.h>

#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "player/LyricsEditDialog.h"
#include "toolkit/ToolkitTestSupport.h"

using namespace veltrix::test;

namespace {

HWND childOfClass(HWND parent, std::u16string_view name) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char16_t buffer[64] = {};
        GetClassNameW(child, buffer, 64);
        if (name == buffer) return child;
    }
    return nullptr;
}

struct SentenceDialog : ::testing::Test {
    void TearDown() override { headless::setDialogResponder({}); }

    // Runs ask() with the dialog answered by a command: OK after typing, or Cancel.
    std::optional<SentenceTexts> answer(SentenceEdit edit, WORD command, const std::u16string& typed) {
        headless::setDialogResponder([&](const headless::DialogShown& shown) {
            titles.push_back(shown.title);
            HWND editor = childOfClass(shown.dialog, u"TextEditor");
            if (editor) {
                char16_t buffer[256] = {};
                SendMessageW(editor, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
                shownText = buffer;
                SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
            }
            PostMessageW(shown.dialog, WM_COMMAND, command, 0);
            return headless::kLetItRun;
        });
        return LyricsEditDialog::ask(frame.handle(), edit, SentenceTexts{u"Excuse me.", u"すみません。", u"note"});
    }

    RecordingFrame frame;
    std::vector<std::u16string> titles;
    std::u16string shownText;
};

TEST_F(SentenceDialog, OkReturnsTheTypedSentenceAndKeepsTheRest) {
    const auto texts = answer(SentenceEdit::Replace, kOkButton, u"Excuse me, please.");
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->sentence, u"Excuse me, please.");
    EXPECT_EQ(texts->translation, u"すみません。");
    EXPECT_EQ(texts->explanation, u"note");
    EXPECT_EQ(titles, std::vector<std::u16string>{u"Sentence Editor"});
    EXPECT_EQ(shownText, u"Excuse me.");
}

TEST_F(SentenceDialog, CancelChangesNothing) {
    EXPECT_FALSE(answer(SentenceEdit::Insert, kCancelButton, u"typed but not wanted").has_value());
    EXPECT_EQ(titles, std::vector<std::u16string>{u"Sentence Inserter"});
}

TEST_F(SentenceDialog, TheEditorShowsTheSentenceAndFillsTheDialog) {
    LyricsEditDialog dialog(SentenceEdit::Replace, SentenceTexts{u"Where is the station?", {}, {}});
    RECT editor{};
    RECT client{};
    headless::setDialogResponder([&](const headless::DialogShown& shown) {
        GetClientRect(shown.dialog, &client);
        GetWindowRect(dialog.editor().handle(), &editor);
        MapWindowPoints(nullptr, shown.dialog, reinterpret_cast<POINT*>(&editor), 2);
        headless::savePicture(shown.dialog, "sentence-dialog.png");
        return static_cast<int>(kCancelButton);
    });
    showModal(frame.handle(), dialog);
    EXPECT_EQ(dialog.editor().text(), u"Where is the station?");
    EXPECT_EQ(editor.left, 0);
    EXPECT_EQ(editor.top, 36);
    EXPECT_EQ(editor.right, client.right);
    EXPECT_EQ(editor.bottom - editor.top, client.bottom - 74);
}

}  // namespace
