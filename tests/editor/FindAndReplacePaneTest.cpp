// The find-and-replace pane over an editor on the headless display: find
// next in both directions, replace once and all, the engine's messages, the
// keys of its fields and the histories kept in the settings file.
#include <gtest/gtest.h>

#include <filesystem>

#include "EditorWindowFixture.h"
#include "editor/FindAndReplacePane.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/TempDir.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

using Span = std::pair<int, int>;

struct FindPane : EditorWindow {
    void SetUp() override {
        EditorWindow::SetUp();
        settings = folder.file("settings.ini");
        openPane();
    }
    void TearDown() override {
        pane->closePane();
        pane.reset();
        EditorWindow::TearDown();
    }
    void openPane() {
        pane = std::make_unique<FindAndReplacePane>(&editor);
        pane->setSettingsPath(settings);
        ASSERT_TRUE(showModeless(frame, *pane));
        headless::pumpMessages();
    }
    void setText(const std::u16string& text) {
        send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        send(EM_EMPTYUNDOBUFFER);
    }
    void look(const std::u16string& find, const std::u16string& replacement = u"") {
        pane->findField().setText(find);
        pane->replaceField().setText(replacement);
    }
    Span selection() const { return {editor.selectionStart(), editor.selectionEnd()}; }
    std::vector<std::u16string> messages() {
        std::vector<std::u16string> texts;
        for (const auto& box : headless::takeMessageBoxes()) texts.push_back(box.text);
        return texts;
    }

    TempDir folder;
    std::u16string settings;
    std::unique_ptr<FindAndReplacePane> pane;
};

TEST_F(FindPane, FindNextStepsFromMatchToMatchAndStopsAtTheEnd) {
    setText(u"a Test and test.");
    pane->matchCaseBox().setChecked(false);
    look(u"test");
    pane->findNext();
    EXPECT_EQ(selection(), Span(2, 6));
    pane->findNext();
    EXPECT_EQ(selection(), Span(11, 15));
    // Nothing after the last match: the selection stays, and nothing is said.
    pane->findNext();
    EXPECT_EQ(selection(), Span(11, 15));
    // Backward from the selected match goes to the one before it.
    pane->backwardButton().setChecked(true);
    pane->findNext();
    EXPECT_EQ(selection(), Span(2, 6));
    // With match case on, only the lower-case one is found.
    pane->backwardButton().setChecked(false);
    pane->forwardButton().setChecked(true);
    pane->matchCaseBox().setChecked(true);
    editor.setSelection(0, 0);
    pane->findNext();
    EXPECT_EQ(selection(), Span(11, 15));
    EXPECT_TRUE(messages().empty());
}

TEST_F(FindPane, ReplaceFirstSelectsThenReplacesAndReplaceAllIsOneUndoStep) {
    setText(u"x ab-cd y ef-gh");
    look(u"(\\w+)-(\\w+)", u"$2 $1");
    pane->replaceOnce();
    EXPECT_EQ(editor.text(), u"x ab-cd y ef-gh");
    EXPECT_EQ(selection(), Span(2, 7));
    pane->replaceOnce();
    EXPECT_EQ(editor.text(), u"x cd ab y ef-gh");
    EXPECT_EQ(selection(), Span(10, 15));  // the next match, ready for the next click
    // A replacement that matches the pattern again is not replaced again.
    setText(u"a a");
    look(u"a", u"aa");
    editor.setSelection(0, 1);
    pane->replaceOnce();
    EXPECT_EQ(editor.text(), u"aa a");
    EXPECT_EQ(selection(), Span(3, 4));

    setText(u"ab-cd\r\nef-gh");
    look(u"(\\w+)-(\\w+)", u"$2 $1");
    pane->replaceAll();
    EXPECT_EQ(editor.text(), u"cd ab\r\ngh ef");
    editor.undo();
    EXPECT_EQ(editor.text(), u"ab-cd\r\nef-gh");
    // An empty find text changes nothing.
    look(u"", u"z");
    pane->replaceAll();
    EXPECT_EQ(editor.text(), u"ab-cd\r\nef-gh");
    EXPECT_FALSE(editor.canUndo());
    EXPECT_TRUE(messages().empty());
}

TEST_F(FindPane, APatternTheEngineRefusesOrThatRunsTooLongIsReportedAndChangesNothing) {
    const std::u16string line = std::u16string(400'000, u'a') + u"b";
    setText(line);
    look(u"^(.*)\\1$", u"x");
    pane->replaceAll();
    EXPECT_EQ(messages(), std::vector<std::u16string>{u"The search took too long and was stopped."});
    EXPECT_EQ(editor.document().length(), static_cast<int>(line.size()));
    EXPECT_FALSE(editor.canUndo());
    editor.setSelection(0, 0);
    pane->findNext();
    EXPECT_EQ(messages(), std::vector<std::u16string>{u"The search took too long and was stopped."});
    EXPECT_EQ(selection(), Span(0, 0));

    setText(u"aaa");
    look(std::u16string(300, u'(') + u"a" + std::u16string(300, u')'), u"b");
    pane->replaceAll();
    pane->replaceOnce();
    EXPECT_EQ(messages(), (std::vector<std::u16string>{u"The pattern nests groups too deeply.",
                                                       u"The pattern nests groups too deeply."}));
    EXPECT_EQ(editor.text(), u"aaa");
}

TEST_F(FindPane, TheFieldsKeysStepThroughTheHistoryAndEnterFinds) {
    setText(u"one two one");
    for (const char16_t* text : {u"one", u"two"}) {
        look(text);
        pane->findNext();
    }
    ASSERT_EQ(pane->findHistory().entries(), (std::vector<std::u16string>{u"two", u"one"}));
    ASSERT_EQ(pane->findList().itemCount(), 2);
    SetFocus(pane->findField().getHandle());
    headless::pumpMessages();
    headless::pressKey(VK_DOWN);
    headless::pumpMessages();
    EXPECT_EQ(pane->findField().text(), u"one");
    EXPECT_EQ(pane->findField().selectedText(), u"one");
    editor.setSelection(0, 0);
    headless::pressKey(VK_RETURN);
    headless::pumpMessages();
    EXPECT_EQ(selection(), Span(0, 3));
    EXPECT_EQ(pane->findHistory().entries().front(), u"one");
    headless::pressKey(VK_DOWN);
    headless::pumpMessages();
    EXPECT_EQ(pane->findField().text(), u"two");
}

TEST_F(FindPane, TheHistoriesAndTheCaseBoxSurviveARestart) {
    setText(u"alpha beta");
    for (const char16_t* text : {u"alpha", u"beta", u"Alpha"}) {
        look(text, std::u16string(u"r-") + text);
        pane->replaceAll();
    }
    pane->matchCaseBox().setChecked(false);
    pane->closePane();
    EXPECT_EQ(pane->handle(), nullptr);

    openPane();
    EXPECT_EQ(pane->findHistory().entries(), (std::vector<std::u16string>{u"Alpha", u"beta"}));
    EXPECT_EQ(pane->replaceHistory().entries(), (std::vector<std::u16string>{u"r-Alpha", u"r-beta"}));
    EXPECT_EQ(pane->findList().itemText(0), u"Alpha");
    EXPECT_FALSE(pane->matchCaseBox().isChecked());
    // The pane opens with the target's selection as its find text.
    pane->closePane();
    editor.setSelection(0, 5);
    openPane();
    EXPECT_EQ(pane->findField().text(), editor.selectedText());
}

}  // namespace
