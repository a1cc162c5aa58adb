// The mouse side of TextEditor: clicks, double and triple clicks, margin
// selection of lines, drag selection with auto-scroll (timer 1), the triple
// click window (timer 2), and the sentence navigation they share with the
// keys.
#include <algorithm>

#include "editor/SentenceBoundaries.h"
#include "editor/TextEditor.h"
#include "editor/WordBreak.h"

// Words and sentences ---------------------------------------------------------------------------

int TextEditor::wordLeftOf(int position) const {
    if (!m_wordBreak) return wordLeft(m_document.text(), position);
    std::u16string text = m_document.text();
    return std::clamp(m_wordBreak(text.data(), position, static_cast<int>(text.size()), WB_LEFT), 0,
                      static_cast<int>(text.size()));
}

int TextEditor::wordRightOf(int position) const {
    if (!m_wordBreak) return wordRight(m_document.text(), position);
    std::u16string text = m_document.text();
    return std::clamp(m_wordBreak(text.data(), position, static_cast<int>(text.size()), WB_RIGHT), 0,
                      static_cast<int>(text.size()));
}

void TextEditor::selectNextSentence() {
    const std::u16string& text = m_document.text();
    const SentenceSpan span = sentenceRange(text, selectionEnd(), SentenceDirection::Next);
    if (span.end == selectionEnd() || span.end > static_cast<int>(text.size())) return;
    setSelection(span.start, span.end);
}

void TextEditor::selectPreviousSentence() {
    const SentenceSpan span = sentenceRange(m_document.text(), selectionStart(), SentenceDirection::Previous);
    setSelection(span.start, span.end);
}

void TextEditor::selectSentenceAt(int position) {
    const std::u16string& text = m_document.text();
    const int length = static_cast<int>(text.size());
    int p = std::clamp(position, 0, length);
    while (p < length && (text[p] == u' ' || text[p] == u'\t' || text[p] == u'\r' || text[p] == u'\n')) ++p;
    if (p >= length) return;
    setSelection(p, sentenceEnd(text, p));
    if (handle_) SetFocus(handle_);
}

void TextEditor::selectSentenceAtPoint(int x, int y) {
    if (x < 0 || y < 0 || x >= m_clientWidth || y >= m_clientHeight) return;
    // The previous sentence from just behind the hit is the one holding it,
    // also when the point lies on a sentence's first character.
    const int hit = positionAtPoint(x, y);
    setSelection(hit, hit);
    const SentenceSpan span =
        sentenceRange(m_document.text(), std::min(hit + 1, m_document.length()), SentenceDirection::Previous);
    setSelection(span.start, span.end);
}

void TextEditor::moveToSentenceBoundary(int direction, Extend extend) {
    const std::u16string& text = m_document.text();
    int target = m_caret;
    if (direction < 0) {
        target = sentenceRange(text, m_caret, SentenceDirection::Previous).start;
    } else {
        const SentenceSpan next = sentenceRange(text, m_caret, SentenceDirection::Next);
        target = next.start > m_caret ? next.start : next.end;
    }
    moveCaret(target, extend);
    m_desiredX = m_caretPoint.x;
}

// Buttons -------------------------------------------------------------------------------------

bool TextEditor::insideTextArea(int x, int y) const {
    return x >= textAreaLeft() && x < textAreaRight() && y >= m_margins.top && y < m_clientHeight - m_margins.bottom;
}

void TextEditor::onLeftDown(int x, int y, WPARAM keys) {
    if (handle_) SetFocus(handle_);
    if (m_tripleClickPending) {
        m_tripleClickPending = false;
        if (handle_) KillTimer(handle_, kTripleClickTimer);
        selectSentenceAtPoint(x, y);
        m_mouseMode = kMouseSentences;
        if (handle_) SetCapture(handle_);
        return;
    }
    if (m_mouseMode != kMouseNone) {
        endMouseMode();
        return;
    }
    const int hit = positionAtPoint(x, y);
    if (m_anchor != m_caret && insideTextArea(x, y) && hit >= selectionStart() && hit < selectionEnd()) {
        dragSelectionOut();
        return;
    }
    m_mouseMode = kMouseSelecting;
    m_lastMouse = POINT{x, y};
    if (handle_) SetCapture(handle_);
    if (x < textAreaLeft()) {
        const int line = m_document.lineOfPosition(hit);
        m_lineSelectionStart = m_document.lineStart(line);
        m_lineSelectionEnd = line + 1 < m_document.lineCount() ? m_document.lineStart(line + 1) : m_document.length();
        setSelection(m_lineSelectionStart, m_lineSelectionEnd);
        m_mouseMode = kMouseLines;
        return;
    }
    // Shift extends the selection, as users of every text field expect.
    moveCaret(hit, (keys & MK_SHIFT) ? Extend::Yes : Extend::No);
    m_desiredX = m_caretPoint.x;
}

void TextEditor::onLeftUp() {
    if (m_mouseMode != kMouseSelecting && m_mouseMode != kMouseSentences && m_mouseMode != kMouseLines) return;
    stopAutoScroll();
    m_mouseMode = kMouseNone;
    if (handle_ && GetCapture() == handle_) ReleaseCapture();
    m_desiredX = m_caretPoint.x;
}

void TextEditor::endMouseMode() {
    stopAutoScroll();
    m_mouseMode = kMouseNone;
    if (handle_ && GetCapture() == handle_) ReleaseCapture();
}

void TextEditor::onMouseMove(int x, int y) {
    if (m_mouseMode != kMouseSelecting && m_mouseMode != kMouseSentences && m_mouseMode != kMouseLines) return;
    m_lastMouse = POINT{x, y};
    updateAutoScroll(x, y);
    followDrag(x, y);
}

void TextEditor::followDrag(int x, int y) {
    switch (m_mouseMode) {
        case kMouseSelecting: {
            const int position = positionAtPoint(x, y);
            if (position != m_caret) moveCaret(position, Extend::Yes);
            break;
        }
        case kMouseSentences:
            selectSentenceAtPoint(std::clamp(x, 0, std::max(0, m_clientWidth - 1)),
                                  std::clamp(y, 0, std::max(0, m_clientHeight - 1)));
            break;
        case kMouseLines:
            extendByLines(x, y);
            break;
        case kMouseDropping:
        case kMouseDraggingOut: {
            const int position = positionAtPoint(x, y);
            setSelection(position, position);
            scrollCaretIntoView();
            break;
        }
        default:
            break;
    }
}

void TextEditor::extendByLines(int x, int y) {
    const int line = m_document.lineOfPosition(positionAtPoint(x, y));
    const int start = m_document.lineStart(line);
    const int end = line + 1 < m_document.lineCount() ? m_document.lineStart(line + 1) : m_document.length();
    if (start >= m_lineSelectionStart) {
        setSelection(m_lineSelectionStart, end);
    } else {
        setSelection(m_lineSelectionEnd, start);
    }
    scrollCaretIntoView();
}

void TextEditor::onDoubleClick(int x, int y) {
    if (!insideTextArea(x, y)) return;
    endMouseMode();
    const int hit = positionAtPoint(x, y);
    // From just behind the hit, so that a point on a word's first character
    // selects that word and not the one before it.
    const int start = wordLeftOf(std::min(hit + 1, m_document.length()));
    setSelection(start, std::max(start, wordRightOf(hit)));
    m_desiredX = m_caretPoint.x;
    m_tripleClickPending = true;
    if (handle_) SetTimer(handle_, kTripleClickTimer, kTripleClickInterval, nullptr);
}

void TextEditor::onRightDown() {
    if (m_mouseMode != kMouseNone) {
        endMouseMode();
        return;
    }
    m_mouseMode = kMouseRightPressed;
}

void TextEditor::onRightUp() {
    if (m_mouseMode != kMouseRightPressed) return;
    m_mouseMode = kMouseNone;
    showContextMenu();
}

// Timers ----------------------------------------------------------------------------------------

void TextEditor::updateAutoScroll(int x, int y) {
    if (!handle_) return;
    if (insideTextArea(x, y)) {
        stopAutoScroll();
    } else if (!m_autoScrolling) {
        m_autoScrolling = true;
        m_autoScrollSum = 0;
        SetTimer(handle_, kAutoScrollTimer, kAutoScrollInterval, nullptr);
    }
}

void TextEditor::stopAutoScroll() {
    if (!m_autoScrolling) return;
    m_autoScrolling = false;
    if (handle_) KillTimer(handle_, kAutoScrollTimer);
}

void TextEditor::autoScrollStep() {
    const int x = m_lastMouse.x;
    const int y = m_lastMouse.y;
    const int bottom = m_clientHeight - m_margins.bottom;
    int rows = 0;
    int columns = 0;
    int distance = 0;
    if (y >= bottom) {
        distance += y - bottom;
        rows = (y - bottom) / 150 + 1;
    } else if (y < m_margins.top) {
        distance += m_margins.top - y;
        rows = -((m_margins.top - y) / 130 + 1);
    }
    if (!m_wordWrap) {
        if (x >= textAreaRight()) {
            distance += x - textAreaRight();
            columns = x - textAreaRight();
        } else if (x < textAreaLeft()) {
            distance += textAreaLeft() - x;
            columns = -(textAreaLeft() - x);
        }
    }
    m_autoScrollSum += std::max(1, distance);
    if (m_autoScrollSum <= 100) return;
    m_autoScrollSum = 0;
    scrollBy(columns, rows);
    followDrag(x, y);
}

bool TextEditor::onTimer(UINT_PTR id, LPARAM) {
    if (id == kAutoScrollTimer) {
        if (m_autoScrolling) autoScrollStep();
        return true;
    }
    if (id == kTripleClickTimer) {
        m_tripleClickPending = false;
        if (handle_) KillTimer(handle_, kTripleClickTimer);
        return true;
    }
    return false;
}

// Wheel, scroll bar, focus and size ------------------------------------------------------------

void TextEditor::onWheel(int delta) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (lines < 2) lines = 3;
    scrollBy(0, -delta * static_cast<int>(lines) / WHEEL_DELTA);
}

bool TextEditor::pressScrollBar(int x, int y) {
    if (!hasVerticalBar() || x < m_clientWidth - scrollBarWidth() || x >= m_clientWidth) return false;
    const TextScrollBar::Thumb thumb = m_scroll.thumb(m_clientHeight);
    if (thumb.height == 0) return true;  // nothing to scroll; the caret stays
    if (y < thumb.top) {
        handleScroll(WM_VSCROLL, SB_PAGEUP);
    } else if (y >= thumb.top + thumb.height) {
        handleScroll(WM_VSCROLL, SB_PAGEDOWN);
    } else {
        m_draggingThumb = true;
        m_thumbGrab = y - thumb.top;
        if (handle_) SetCapture(handle_);
    }
    return true;
}

void TextEditor::dragThumb(int y) { scrollToRow(m_scroll.rowForThumbTop(y - m_thumbGrab, m_clientHeight)); }

void TextEditor::endThumbDrag() {
    m_draggingThumb = false;
    if (handle_ && GetCapture() == handle_) ReleaseCapture();
}

void TextEditor::onSetFocus() {
    m_focused = true;
    placeCaret();
    invalidateAll();
    notifyCommand(EN_SETFOCUS);
}

void TextEditor::onKillFocus() {
    m_focused = false;
    invalidateAll();
    notifyCommand(EN_KILLFOCUS);
}

void TextEditor::resizeView(int width, int height) {
    const int topLine = m_layout.lineOfRow(m_scroll.firstRow);
    m_clientWidth = width;
    m_clientHeight = height;
    applyMargins();
    relayoutAll();
    // The line that was at the top stays there.
    m_scroll.firstRow = m_document.lines().empty() ? 0 : m_document.lines().firstRow(topLine);
    m_scroll.clamp();
    invalidateAll();
    placeCaret();
}
