// The program's own text control: a window that owns one TextDocument and
// its EditHistory, lays the text out in (optionally wrapped and justified)
// visual rows, paints it double-buffered with per-character colours, keeps a
// selection (anchor and caret) and a scroll position, and answers the
// platform's edit-control messages so that other components drive it as they
// would an edit control. It reports to its parent with WM_COMMAND
// notifications (control id 0, the editor's window as the last parameter) and
// to one TextEditorListener.
//
// Invariants:
//  - 0 <= anchor, caret <= text length;
//  - the document's line table carries the current layout (TextLayout);
//  - the scroll position lies within its ranges (TextScrollBar::clamp);
//  - every change of text goes through the edit step (replaceRange, or
//    applyEdit for undo and redo), and the history either holds a record of
//    it or is cleared by it (EditHistory): undo never replays a record
//    against a text it does not describe;
//  - modified() is the history's: not at the save point.
//
// The input side: keys (caret moves by character, word, sentence, row, page
// and document; the Ctrl chords), typed characters, the mouse with its modes
// and timers, the input method, the clipboard, drag and drop of the
// selection and onto the editor, the context menu and its commands.
//  - the mouse mode is one of the MouseMode values; it starts on a button
//    press and ends on its release; timer 1 runs only while a drag is outside
//    the text area, timer 2 only in the 300 ms after a double click;
//  - m_drag describes the selection being dragged out while DoDragDrop runs.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/EditHistory.h"
#include "editor/EditorColors.h"
#include "editor/TextDocument.h"
#include "editor/TextEditorListener.h"
#include "editor/TextLayout.h"
#include "editor/TextScrollBar.h"
#include "editor/regex/RegexPattern.h"
#include "platform/api/GdiHandles.h"
#include "platform/win32.h"
#include "toolkit/BaseWindow.h"
#include "toolkit/Bitmap.h"
#include "toolkit/DropTarget.h"

class Graphics;
class PopupMenu;

// Whether an edit is recorded for undo (and sets the modified flag). An
// unrecorded edit clears the history and leaves the modified flag alone.
enum class Recording { Off, On };

// The four sides of the text area's margins, in pixels or percent.
struct EditorSides {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Whether a dropped or configured path names a picture the editor shows
// behind its text (".bmp", ".png", ".gif", ".jpg" or ".jpeg" anywhere in it).
bool hasPictureExtension(const std::u16string& path);

class TextEditor : public BaseWindow, public DropTarget {
public:
    static constexpr DWORD kDefaultStyle =
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE;
    static constexpr const char16_t* kClassName = u"TextEditor";
    // Flags of the find highlight.
    static constexpr int kFindIgnoreCase = 1;
    static constexpr int kFindRegex = 2;
    static constexpr int kFindBackward = 4;
    // Commands of the context menu, posted to the editor as WM_COMMAND.
    static constexpr int kCommandUndo = 100;
    static constexpr int kCommandRedo = 101;
    static constexpr int kCommandCopy = 1000;
    static constexpr int kCommandPaste = 1001;
    static constexpr int kCommandCut = 1002;
    static constexpr int kCommandSelectAll = 1003;
    static constexpr int kCommandDelete = 1005;
    static constexpr int kCommandClearModified = 1006;
    static constexpr int kCommandOutputSelection = 1008;
    // Timer 1 scrolls while a drag is outside the text; timer 2 is the
    // window after a double click in which a click counts as a triple click.
    static constexpr UINT_PTR kAutoScrollTimer = 1;
    static constexpr UINT kAutoScrollInterval = 10;
    static constexpr UINT_PTR kTripleClickTimer = 2;
    static constexpr UINT kTripleClickInterval = 300;
    enum MouseMode : int {
        kMouseNone = 0,
        kMouseSelecting = 2,
        kMouseRightPressed = 4,
        kMouseDropping = 16,
        kMouseSentences = 32,
        kMouseDraggingOut = 64,
        kMouseLines = 128,
    };

    TextEditor();
    ~TextEditor() override;

    // Resets the text (empty document, history reset, selection 0) and makes
    // the window, of class "TextEditor" with the I-beam cursor, as a child of
    // parent with the editor's style. False when the window could not be made.
    bool create(HWND parent) override;
    bool createAt(HWND parent, int x, int y, int width, int height) override;

    // Text and edits -------------------------------------------------------------------
    // A copy of the whole text.
    std::u16string text() const { return m_document.text(); }
    const TextDocument& document() const { return m_document; }
    // The edit step: replaces [start, end) (clamped: a start outside the text
    // becomes 0, an end past the text or before the start becomes the
    // length), re-lays out only the affected lines, collapses the selection
    // behind the new text, and notifies. Recorded only while writable.
    void replaceRange(int start, int end, std::u16string_view text, Recording recording);
    // Replaces the selection.
    void replaceSelection(std::u16string_view text, Recording recording);
    // Replaces the whole text as one recorded edit; the caret goes to 0.
    void setText(std::u16string_view text);
    // Loads a file; on failure nothing changes. On success the view starts at
    // the top with an empty history, unmodified, read-only when the file is.
    bool openFile(const std::u16string& path);
    // Writes the selected text to a file chosen with the save dialog, in the
    // document's encoding with its byte-order mark. False when nothing was
    // written (no selection, cancelled, or the file could not be written).
    bool outputSelectedText();
    void undo();
    void redo();
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    // Forgets every undo and redo step (as EM_EMPTYUNDOBUFFER), so that a text
    // loaded by its owner cannot be undone into the text it replaced. The
    // modified flag stays as it is.
    void emptyUndoBuffer() { m_history.forget(); }
    // Replace All: every match of find (a pattern compiled with multiLine,
    // plus ignoreCase and rightToLeft as flags 1 and 4 ask) is replaced by
    // the template, and the result becomes the whole text in one recorded
    // edit with the caret at 0. The searches share one step budget; when it
    // runs out the text is left unchanged and the status says so, as it does
    // when nothing matched (an empty find text matches nothing).
    MatchStatus replaceAll(std::u16string_view find, std::u16string_view replacement, int flags);

    // Selection ----------------------------------------------------------------------------
    // Each end clamped to the text; -1 means the end.
    void setSelection(int anchor, int caret);
    int anchor() const { return m_anchor; }
    int caret() const { return m_caret; }
    int selectionStart() const { return std::min(m_anchor, m_caret); }
    int selectionEnd() const { return std::max(m_anchor, m_caret); }
    std::u16string selectedText() const;
    int mouseMode() const { return m_mouseMode; }

    // Words and sentences --------------------------------------------------------------------
    // Where a word move from position stops, through the word-break
    // procedure (EM_SETWORDBREAKPROC) or the default one.
    int wordLeftOf(int position) const;
    int wordRightOf(int position) const;
    // Sentence navigation over the boundaries of SentenceBoundaries.h.
    void selectNextSentence();
    void selectPreviousSentence();
    // Skips whitespace from position and selects the sentence starting
    // there, taking the focus; nothing at the end of the text.
    void selectSentenceAt(int position);
    // The sentence containing the client point, when it lies inside the
    // client area.
    void selectSentenceAtPoint(int x, int y);

    // State -------------------------------------------------------------------------------
    bool modified() const { return m_history.modified(); }
    // Clearing marks the history's save point (the text was saved); setting
    // makes the save point unreachable (the owner changed what the text is
    // saved with). Notifies (EN_CHANGE, modifiedChanged) only when the value
    // changes.
    void setModified(bool modified);
    bool readOnly() const { return (m_style & ES_READONLY) != 0; }
    bool multiLine() const { return (m_style & ES_MULTILINE) != 0; }
    bool wordWrap() const { return m_wordWrap; }
    DWORD style() const { return m_style; }
    // Multi-line, read-only, word wrap (no WS_HSCROLL) and hide-selection (no
    // ES_NOHIDESEL) come from the style; without ES_MULTILINE word wrap and
    // justification are off.
    virtual void setStyle(DWORD style);
    // A one-line field: no scroll bar, no wrap, a frame, small margins.
    void fieldMode();
    void setListener(TextEditorListener* listener) { m_listener = listener; }
    void setJustify(Justify justify);
    void setEndOfLineMarks(bool on);
    void setBorder(bool on);

    // Appearance ----------------------------------------------------------------------------
    COLORREF color(ColorSlot slot) const { return m_colors.get(slot); }
    void setColor(ColorSlot slot, COLORREF colour);
    // Pixels added to the font height for each row.
    void setLineSpacing(int pixels);
    int lineSpacing() const { return m_lineSpacing; }
    int fontHeight() const { return m_fontHeight; }
    int rowHeight() const { return m_fontHeight + m_lineSpacing; }
    // The font description is the window's (WinApiWindow::font()).
    void setFont(const LOGFONTW& font);
    EditorSides margins() const { return m_margins; }
    void setMargins(const EditorSides& margins);
    // Percentages of the client size, 0 (off) or 1 to 79.
    EditorSides padding() const { return m_padding; }
    void setPadding(const EditorSides& padding);
    // Loads a background picture; a path without a picture extension or one
    // that cannot be read leaves the current picture. An empty path removes it.
    bool setBackgroundImage(const std::u16string& path);
    bool hasBackgroundImage() const { return !m_background.empty(); }
    // Marks every occurrence of text (flags kFindRegex, kFindIgnoreCase) in
    // the rows painted. A pattern is compiled once here; each paint's
    // searches share one step budget, and once a paint runs out of it the
    // pattern is no longer highlighted until the highlight is set again.
    void setFindHighlight(std::u16string text, int flags);
    // found, or the limit that stopped the highlight's searches.
    MatchStatus findHighlightStatus() const { return m_findStatus; }

    // View ------------------------------------------------------------------------------
    TextLayout& layout() { return m_layout; }
    const TextScrollBar& scrollPosition() const { return m_scroll; }
    int totalRows() const { return m_layout.totalRows(); }
    // Scrolls by (columns of the average character width, rows).
    void scrollBy(int columns, int rows);
    void scrollCaretIntoView();
    // Brings the caret's row a quarter of the way down the view (more than a
    // hundred rows jump at once, fewer scroll row by row).
    void scrollCaretToQuarter();
    // Client coordinates of the top-left of a position's cell.
    POINT pointOfPosition(int position);
    // The position nearest to a client point.
    int positionAtPoint(int x, int y);
    // Paints the whole client area into graphics (which has the client size).
    void paint(Graphics& graphics);
    // Paints only the rows that meet area (client coordinates).
    void paint(Graphics& graphics, const RECT& area);

    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onCreate() override;
    // Exactly one file: a picture becomes the background, anything else is
    // opened into the editor. Several files are ignored.
    bool onFilesDropped(const std::vector<std::u16string>& paths) override;
    // Not when minimised: recompute the padding margins, re-wrap everything,
    // keep the line that was at the top at the top.
    LRESULT onSize(WPARAM type, LPARAM size) override;

protected:
    virtual bool onKeyDown(int key);
    virtual bool onChar(char16_t character);
    virtual void onLeftDown(int x, int y, WPARAM keys);
    virtual void onLeftUp();
    virtual void onMouseMove(int x, int y);
    virtual void onDoubleClick(int x, int y);
    virtual void onRightDown();
    virtual void onRightUp();
    virtual void onWheel(int delta);
    bool onTimer(UINT_PTR id, LPARAM lParam) override;
    // Context-menu commands (lParam 0); other WM_COMMANDs go the toolkit's way.
    void onCommand(WPARAM wParam, LPARAM lParam) override;
    // Runs one of the kCommand values; false for another id.
    virtual bool runCommand(int command);
    // Fills the context menu; subclasses append their own items.
    virtual void buildContextMenu(PopupMenu& menu);
    // Shows the context menu at the pointer and posts the chosen command.
    void showContextMenu();
    // Input method messages; true when handled.
    bool onImeMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // A drop of files ends in onFilesDropped, never in onDrop: the drop mode
    // ends here for both.
    HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    // Drop target callbacks (x, y on the screen).
    void onDragEnter() override;
    void onDragOver(DWORD keyState, int x, int y, DWORD* effect) override;
    void onDragLeave() override;
    HRESULT onDrop(int x, int y, IDataObject* data, DWORD* effect) override;
    virtual void onSetFocus();
    virtual void onKillFocus();
    void resizeView(int width, int height);

    void copy();
    void cut();
    void paste();
    void clearSelection();
    // Text from outside (clipboard, drops, the input method): a one-line
    // editor drops CR, LF and TAB; lone surrogates become U+FFFD, so that no
    // file the editor saves holds broken UTF-16.
    std::u16string acceptedText(std::u16string text) const;
    // Moves the caret (keeping the anchor when extending) and shows it.
    enum class Extend { No, Yes };
    void moveCaret(int position, Extend extend);
    // WM_COMMAND to the parent with control id 0 and this window.
    void notifyCommand(WORD code);

private:
    void registerEditorClass();
    // Ctrl chords that compose or transform; true when one was handled.
    bool composeAccent(int key);
    bool transformSelection(int key);
    void pageBy(int direction, Extend extend);
    void moveToSentenceBoundary(int direction, Extend extend);
    void enter();
    bool indentLines(bool outdent);
    bool closeBrace();
    bool insideTextArea(int x, int y) const;
    // Mode 128: the lines from the first selected one to the one at y.
    void extendByLines(int x, int y);
    // The selection follows a drag point (modes 2, 32 and 128).
    void followDrag(int x, int y);
    void updateAutoScroll(int x, int y);
    void autoScrollStep();
    void stopAutoScroll();
    void endMouseMode();
    void dragSelectionOut();
    void paintComposition(Graphics& graphics);

    LRESULT handleScroll(UINT message, WPARAM wParam);
    // The edit step without the history (undo and redo replay through it).
    void applyEdit(int start, int end, std::u16string_view text);
    void notifyModifiedChanged();
    // Lines are wrapped to the width only when the client area is wider
    // than 8 pixels; narrower, edited lines are laid out as one row each.
    bool canWrap() const { return m_clientWidth > 8; }
    // The vertical bar: a press pages or grabs the thumb; true when the
    // press was on the bar.
    bool pressScrollBar(int x, int y);
    void dragThumb(int y);
    void endThumbDrag();
    int scrollBarWidth() const { return hasVerticalBar() ? GetSystemMetrics(SM_CXVSCROLL) : 0; }
    void scrollToRow(int row);
    // The find matches of a line (line-relative [start, end) pairs), searched
    // from the line's start at least up to column upTo, once per paint.
    const std::vector<std::pair<int, int>>& lineMatches(int line, int upTo);
    LRESULT getSelection(WPARAM wParam, LPARAM lParam) const;
    void setCharFormat(const CHARFORMATW& format);
    void resetText();
    void rebuildFont();
    void applyMargins();
    void relayoutAll();
    // A long document's layout goes on on a timer after its first page shows;
    // the view keeps its first line in place while the rows above it settle.
    static constexpr UINT_PTR kLayoutTimer = 3;
    void continueLayout();
    // Wraps the lines of the rows about to show if the layout has not reached
    // them; true when the view changed.
    bool layOutShownRows(int firstRow);
    // Keeps the first shown line at the top while the rows above it change.
    template <typename Change>
    void keepingFirstLine(Change change);
    void updateScrollRanges();
    void invalidateAll();
    void invalidateRows(int firstRow, int lastRow);
    void invalidatePositions(int from, int to);
    void placeCaret();
    int textAreaLeft() const { return m_margins.left; }
    int textAreaRight() const;
    int textAreaWidth() const { return std::max(0, textAreaRight() - textAreaLeft()); }
    int textAreaHeight() const;
    bool hasVerticalBar() const { return (m_style & WS_VSCROLL) != 0; }
    void paintRow(Graphics& graphics, int row, int y, bool overPicture);
    // Foreground and background of each character of [start, end).
    void characterAttributes(const RowSpan& span, std::vector<COLORREF>& text, std::vector<COLORREF>& back);
    void paintLineEnd(Graphics& graphics, const RowSpan& span, int x, int y);
    void paintScrollIndicator(Graphics& graphics);
    void paintCaret(Graphics& graphics);

    TextDocument m_document;
    EditHistory m_history;
    veltrix::CharWidthCache m_widths;
    TextLayout m_layout{m_document, m_widths};
    TextScrollBar m_scroll;
    EditorColors m_colors;
    TextEditorListener* m_listener = nullptr;

    int m_anchor = 0;
    int m_caret = 0;
    POINT m_caretPoint{0, 0};
    int m_desiredX = 0;
    DWORD m_style = kDefaultStyle;
    bool m_wordWrap = true;
    bool m_justify = true;
    bool m_hideSelection = true;
    bool m_endOfLineMarks = true;
    bool m_border = false;
    bool m_focused = false;
    int m_mouseMode = kMouseNone;
    POINT m_lastMouse{0, 0};  // client point of the last drag move
    int m_autoScrollSum = 0;  // distances outside the text added up by timer 1
    bool m_autoScrolling = false;
    bool m_tripleClickPending = false;
    int m_lineSelectionStart = 0;  // mode 128: the first selected line's start
    int m_lineSelectionEnd = 0;    // and its end, line break included
    // The selection dragged out while DoDragDrop runs.
    struct DragOut {
        bool active = false;
        int start = 0;
        int end = 0;
        bool droppedHere = false;
    };
    DragOut m_drag;
    std::u16string m_composition;  // the input method's text being composed
    int m_compositionCursor = 0;   // the caret's place in it
    bool m_draggingThumb = false;
    int m_thumbGrab = 0;  // pixels from the thumb's top to the pointer
    int m_limit = -1;
    EDITWORDBREAKPROCW m_wordBreak = nullptr;

    UniqueDC m_measureDc;
    UniqueFont m_font;
    SelectedObject m_measureSelection;  // last: gives the DC its own font back first
    int m_fontHeight = 12;
    int m_averageWidth = 6;
    int m_lineSpacing = 4;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    EditorSides m_margins{2, 2, 0, 0};
    EditorSides m_padding{};
    Bitmap m_background;
    int m_backgroundOpacity = 100;
    std::u16string m_findText;
    int m_findFlags = 0;
    RegexPattern m_findPattern;
    MatchStatus m_findStatus = MatchStatus::found;
    // The highlight's searches of the paint in progress.
    struct LineMatches {
        int line = -1;
        std::vector<std::pair<int, int>> matches;
        int next = 0;  // where the next search of the line begins
        bool complete = false;
    };
    LineMatches m_lineMatches;
    MatchBudget m_paintBudget{0};
    std::unique_ptr<Graphics> m_canvas;
};
