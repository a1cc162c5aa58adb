// The editor's vertical scroll bar under the mouse, and the layout of edited
// lines at widths where the view does not wrap on resize.
//
// Faults these caught: a click or drag on the painted bar moved the caret and
// scrolled nothing; after WM_SETTEXT in an editor 4096 px wide or more the
// first line kept the empty text's layout and painted empty.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "EditorWindowFixture.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

struct EditorScrollBar : EditorWindow {
    void SetUp() override {
        EditorWindow::SetUp();
        std::u16string text;
        for (int i = 0; i < 300; ++i)
            text += u"row " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u"\r\n";
        send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        send(EM_SETSEL, 7, 7);
        headless::pumpMessages();
        takeEvents();
    }
    int barX() { return kWidth - GetSystemMetrics(SM_CXVSCROLL) / 2; }
    int firstVisible() { return static_cast<int>(send(EM_GETFIRSTVISIBLELINE)); }
    int caret() {
        DWORD start = 0, end = 0;
        send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return static_cast<int>(end);
    }
    void clickAt(int x, int y) {
        headless::click(headless::Button::Left, screen(x, y));
        headless::pumpMessages();
    }
    TextScrollBar::Thumb thumb() { return editor.scrollPosition().thumb(kHeight); }
};

TEST_F(EditorScrollBar, ClicksBesideTheThumbPageAndNeverMoveTheCaret) {
    const int page = editor.scrollPosition().visibleRows;
    ASSERT_GT(page, 3);
    ASSERT_EQ(thumb().top, 0);
    clickAt(barX(), kHeight - 4);
    EXPECT_EQ(firstVisible(), page);
    clickAt(barX(), kHeight - 4);
    EXPECT_EQ(firstVisible(), 2 * page);
    clickAt(barX(), 1);  // above the thumb now
    EXPECT_EQ(firstVisible(), page);
    EXPECT_EQ(caret(), 7);
    const auto events = takeEvents();
    EXPECT_EQ(std::count(events.begin(), events.end(), "EN_VSCROLL"), 3);
}

TEST_F(EditorScrollBar, TheThumbFollowsADragAndLetsGoOnRelease) {
    const TextScrollBar::Thumb start = thumb();
    ASSERT_GT(start.height, 0);
    const int grab = start.height / 2;
    headless::mouseButton(headless::Button::Left, true, screen(barX(), grab));
    headless::mouseMove(screen(barX(), grab + (kHeight - start.height) / 2));
    headless::pumpMessages();
    const int middle = firstVisible();
    const int last = editor.scrollPosition().maxFirstRow();
    EXPECT_NEAR(middle, last / 2, 2);
    editor.setFindHighlight(u"row [a-e]", TextEditor::kFindRegex);
    headless::pumpMessages();
    std::filesystem::create_directories(VELTRIX_PICTURES_DIR);
    EXPECT_TRUE(headless::savePicture(frame, std::string(VELTRIX_PICTURES_DIR) + "/editor-thumb-dragged.png"));
    editor.setFindHighlight(u"", 0);
    // Far below the bar and outside the window the thumb sits at the bottom.
    headless::mouseMove(screen(barX() - 200, kHeight + 300));
    headless::pumpMessages();
    EXPECT_EQ(firstVisible(), last);
    EXPECT_EQ(thumb().top + thumb().height, kHeight);
    headless::mouseButton(headless::Button::Left, false, screen(barX() - 200, kHeight + 300));
    headless::mouseMove(screen(barX(), 5));
    headless::pumpMessages();
    EXPECT_EQ(firstVisible(), last);
    EXPECT_EQ(caret(), 7);
    // The text still takes clicks: the caret goes to the row clicked.
    clickAt(20, 2 + editor.rowHeight() / 2);
    EXPECT_EQ(send(EM_LINEFROMCHAR, static_cast<WPARAM>(caret())), last);
}

TEST_F(EditorScrollBar, ABarWithNothingToScrollIgnoresClicks) {
    send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"short"));
    send(EM_SETSEL, 2, 2);
    clickAt(barX(), kHeight / 2);
    EXPECT_EQ(caret(), 2);
    EXPECT_EQ(firstVisible(), 0);
}

TEST_F(EditorScrollBar, ThumbArithmeticCoversTheWholeRange) {
    TextScrollBar bar;
    bar.totalRows = 1000;
    bar.visibleRows = 10;
    const TextScrollBar::Thumb top = bar.thumb(200);
    EXPECT_EQ(top.height, TextScrollBar::kMinimumThumb);
    EXPECT_EQ(top.top, 0);
    // Wherever the thumb is dragged, it lands under the pointer.
    const int travel = 200 - top.height;
    for (int y = 0; y <= travel; ++y) {
        bar.firstRow = bar.rowForThumbTop(y, 200);
        ASSERT_EQ(bar.thumb(200).top, y);
    }
    EXPECT_EQ(bar.firstRow, 990);
    EXPECT_EQ(bar.thumb(200).top + bar.thumb(200).height, 200);
    EXPECT_EQ(bar.rowForThumbTop(-50, 200), 0);
    EXPECT_EQ(bar.rowForThumbTop(5000, 200), 990);
    bar.totalRows = 10;
    EXPECT_EQ(bar.thumb(200).height, 0);
}

struct EditorWidths : EditorWindow {
    void resize(int width) {
        MoveWindow(editor.getHandle(), 0, 0, width, kHeight, TRUE);
        headless::pumpMessages();
    }
    RowSpan row(int index) { return editor.layout().rowSpan(index); }
};

TEST_F(EditorWidths, EditedLinesAreLaidOutAtEveryWidth) {
    const std::u16string longLine(1500, u'w');
    const std::u16string text = u"hello\r\n" + longLine + u"\r\nend";
    for (int width : {5000, 8, 3, 0}) {
        SCOPED_TRACE(width);
        resize(width);
        send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
        send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        EXPECT_EQ(row(0).start, 0);
        EXPECT_EQ(row(0).end, 5);  // "hello" is on the first row
        const int last = editor.totalRows() - 1;
        EXPECT_EQ(row(last).start, 7 + 1500 + 2);
        EXPECT_EQ(row(last).end, static_cast<int>(text.size()));
        if (width > 8) {
            // Wrapped to the wide window: the long line takes a few rows.
            EXPECT_GT(editor.totalRows(), 3);
            EXPECT_LT(editor.totalRows(), 10);
        } else {
            EXPECT_EQ(editor.totalRows(), 3);
        }
    }
    // Back at an ordinary width every line is wrapped to it.
    resize(kWidth);
    EXPECT_GT(editor.totalRows(), 10);
    const POINT end = pointOf(5);
    EXPECT_GT(end.x, 20);
    EXPECT_EQ(end.y, 2);
}

}  // namespace
