// A long document laid out in steps: the first page shows at once, the rest
// is wrapped on the layout timer. Whatever happens meanwhile (edits above,
// across and below the frontier, a resize, a jump to the end), the finished
// layout must equal one made in a single pass over the final text, and the
// view must keep showing the line it showed.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "EditorWindowFixture.h"
#include "support/TempDir.h"
#include "text/EncodingCode.h"
#include "text/TextFile.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct LayoutSteps : EditorWindow {
    TempDir folder;

    // Numbered paragraphs long enough to wrap into several rows each, about
    // three layout steps in all.
    static std::u16string longText() {
        std::u16string text;
        for (int i = 0; text.size() < 3u * TextLayout::kLayoutStep; ++i) {
            text += u"Paragraph " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                    u": the speaker reads the sentence slowly, then again at full speed, and the learner repeats "
                    u"it without looking. 学習者は文を見ずに繰り返します。\r\n";
        }
        return text;
    }

    void openLong() {
        const std::string bytes = encodeText(longText(), encoding::kUtf8);
        folder.write("long.txt", bytes);
        ASSERT_TRUE(editor.openFile(folder.file("long.txt")));
    }

    void finishLayout() {
        for (int i = 0; i < 10000 && editor.layout().layoutPending(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            headless::pumpMessages();
        }
        ASSERT_FALSE(editor.layout().layoutPending());
    }

    // The rows a single pass gives the editor's current text.
    void expectSamePlaceAsOnePass() {
        TextDocument reference;
        ASSERT_TRUE(reference.setText(editor.document().text()));
        TextLayout layout(reference, editor.layout().widths());
        layout.setWrapWidth(editor.layout().wrapWidth());
        layout.layoutAll();
        const LineTable& got = editor.document().lines();
        const LineTable& want = reference.lines();
        ASSERT_EQ(got.lineCount(), want.lineCount());
        EXPECT_EQ(got.totalRows(), want.totalRows());
        for (int line = 0; line < want.lineCount(); ++line) {
            ASSERT_EQ(got.wrapList(line), want.wrapList(line)) << "line " << line;
            ASSERT_EQ(got.firstRow(line), want.firstRow(line)) << "line " << line;
        }
    }

    int firstShownLine() { return editor.layout().lineOfRow(editor.scrollPosition().firstRow); }
};

TEST_F(LayoutSteps, TheFirstPageShowsBeforeTheRestIsWrappedAndTheEndMatchesOnePass) {
    openLong();
    EXPECT_TRUE(editor.layout().layoutPending());
    UpdateWindow(editor.getHandle());
    // The rows on show are final already: the first row of line 1 follows
    // line 0's wrapped rows.
    const LineTable& lines = editor.document().lines();
    EXPECT_GT(lines.rowCount(0), 1);
    EXPECT_EQ(lines.firstRow(1), lines.rowCount(0));
    finishLayout();
    expectSamePlaceAsOnePass();
}

TEST_F(LayoutSteps, EditsAboveAcrossAndBelowTheFrontierLeaveNoLineUnwrapped) {
    openLong();
    ASSERT_TRUE(editor.layout().layoutPending());
    const int length = editor.document().length();
    // Above the frontier: two lines more.
    editor.replaceRange(10, 10, u"\r\nnew line\r\n", Recording::On);
    // Across it: a third of the text goes, lines before and after the
    // frontier with it.
    editor.replaceRange(length / 4, length / 4 + length / 3, u"", Recording::On);
    // Below it.
    editor.replaceRange(editor.document().length() - 100, editor.document().length() - 100, u"x\r\ny\r\nz",
                        Recording::On);
    finishLayout();
    expectSamePlaceAsOnePass();
    // Undo restores the text; its layout is the one-pass layout again.
    editor.undo();
    editor.undo();
    editor.undo();
    expectSamePlaceAsOnePass();
}

TEST_F(LayoutSteps, AResizeWhileScrolledKeepsTheShownLineAtTheTop) {
    openLong();
    finishLayout();
    editor.scrollBy(0, 5000);
    const int line = firstShownLine();
    ASSERT_GT(line, 100);
    SetWindowPos(editor.getHandle(), nullptr, 0, 0, kWidth / 2, kHeight, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_TRUE(editor.layout().layoutPending());
    EXPECT_EQ(firstShownLine(), line);
    finishLayout();
    EXPECT_EQ(firstShownLine(), line);
    expectSamePlaceAsOnePass();
}

TEST_F(LayoutSteps, JumpingToTheEndBeforeTheLayoutReachesItShowsTheCaret) {
    openLong();
    ASSERT_TRUE(editor.layout().layoutPending());
    send(EM_SETSEL, static_cast<WPARAM>(-1), -1);
    send(EM_SCROLLCARET);
    UpdateWindow(editor.getHandle());
    const int caretRow = editor.layout().rowOfPosition(editor.document().length());
    const TextScrollBar& view = editor.scrollPosition();
    EXPECT_GE(caretRow, view.firstRow);
    EXPECT_LT(caretRow, view.firstRow + view.visibleRows);
    finishLayout();
    expectSamePlaceAsOnePass();
}

}  // namespace
