// The input TextEditor needs to be usable on its own: caret keys, typing,
// clicks and drag selection, the wheel, focus, resizing and the clipboard.
#include <algorithm>

#include "editor/TextEditor.h"
#include "toolkit/Graphics.h"

namespace {

bool keyHeld(int key) { return GetKeyState(key) < 0; }

}  // namespace

void TextEditor::moveCaret(int position, Extend extend) {
    position = std::clamp(position, 0, m_document.length());
    setSelection(extend == Extend::Yes ? m_anchor : position, position);
    scrollCaretIntoView();
}

bool TextEditor::onKeyDown(int key) {
    const Extend extend = keyHeld(VK_SHIFT) ? Extend::Yes : Extend::No;
    const bool control = keyHeld(VK_CONTROL);
    const int length = m_document.length();
    auto charAt = [this](int p) { return m_document.charAt(p); };
    auto crLfBefore = [&](int p) { return p >= 2 && charAt(p - 2) == u'\r' && charAt(p - 1) == u'\n'; };
    auto crLfAt = [&](int p) { return p + 1 < length && charAt(p) == u'\r' && charAt(p + 1) == u'\n'; };
    if (control) {
        switch (key) {
        case 'A': setSelection(0, -1); return true;
        case 'C': copy(); return true;
        case 'V': paste(); return true;
        case 'X': cut(); return true;
        case 'Z':
            if (keyHeld(VK_SHIFT)) redo(); else undo();
            scrollCaretIntoView();
            return true;
        case 'Y': redo(); scrollCaretIntoView(); return true;
        default: break;
        }
    }
    switch (key) {
    case VK_LEFT:
        moveCaret(m_caret - (crLfBefore(m_caret) ? 2 : 1), extend);
        m_desiredX = m_caretPoint.x;
        return true;
    case VK_RIGHT:
        moveCaret(m_caret + (crLfAt(m_caret) ? 2 : 1), extend);
        m_desiredX = m_caretPoint.x;
        return true;
    case VK_UP:
    case VK_DOWN: {
        const int row = m_layout.rowOfPosition(m_caret) + (key == VK_UP ? -1 : 1);
        if (row < 0 || row >= m_layout.totalRows()) return true;
        const int desired = m_desiredX;
        const RowSpan span = m_layout.rowSpan(row);
        moveCaret(m_layout.positionAtX(span, desired - textAreaLeft() + m_scroll.horizontalOffset), extend);
        m_desiredX = desired;
        return true;
    }
    case VK_PRIOR:
    case VK_NEXT: {
        const int rows = std::max(1, m_scroll.visibleRows) * (key == VK_PRIOR ? -1 : 1);
        const int row = std::clamp(m_layout.rowOfPosition(m_caret) + rows, 0, std::max(0, m_layout.totalRows() - 1));
        scrollBy(0, rows);
        const int desired = m_desiredX;
        moveCaret(m_layout.positionAtX(m_layout.rowSpan(row), desired - textAreaLeft() + m_scroll.horizontalOffset),
                  extend);
        m_desiredX = desired;
        return true;
    }
    case VK_HOME:
        moveCaret(control ? 0 : m_document.lineStart(m_document.lineOfPosition(m_caret)), extend);
        m_desiredX = m_caretPoint.x;
        return true;
    case VK_END: {
        int end = length;
        if (!control) {
            const int line = m_document.lineOfPosition(m_caret);
            end = m_document.lineStart(line + 1);
            if (end > m_document.lineStart(line) && charAt(end - 1) == u'\n') --end;
            if (end > m_document.lineStart(line) && charAt(end - 1) == u'\r') --end;
        }
        moveCaret(end, extend);
        m_desiredX = m_caretPoint.x;
        return true;
    }
    case VK_BACK:
        if (readOnly()) return true;
        if (selectionEnd() == 0) {
            MessageBeep(0);
            return true;
        }
        if (m_anchor == m_caret) {
            replaceRange(m_caret - (crLfBefore(m_caret) ? 2 : 1), m_caret, u"", Recording::On);
        } else {
            replaceSelection(u"", Recording::On);
        }
        scrollCaretIntoView();
        return true;
    case VK_DELETE:
        if (readOnly()) return true;
        if (keyHeld(VK_SHIFT)) {
            cut();
            return true;
        }
        if (m_anchor == m_caret) {
            if (m_caret >= length) return true;
            replaceRange(m_caret, m_caret + (crLfAt(m_caret) ? 2 : 1), u"", Recording::On);
        } else {
            replaceSelection(u"", Recording::On);
        }
        scrollCaretIntoView();
        return true;
    case VK_RETURN:
        if (readOnly() || !multiLine()) return true;
        replaceSelection(m_document.lineEndingText(), Recording::On);
        scrollCaretIntoView();
        return true;
    default: return false;
    }
}

bool TextEditor::onChar(char16_t character) {
    if (readOnly() || keyHeld(VK_CONTROL)) return true;
    if (character == u'\b' || character == u'\r' || character == u'\n' || character == 0x1B) return true;
    if (character == u'\t' && !multiLine()) return false;
    if (character < 0x20 && character != u'\t') return true;
    replaceSelection(std::u16string_view(&character, 1), Recording::On);
    scrollCaretIntoView();
    return true;
}

void TextEditor::onLeftDown(int x, int y, WPARAM keys) {
    if (handle_) {
        SetFocus(handle_);
        SetCapture(handle_);
    }
    m_selecting = true;
    moveCaret(positionAtPoint(x, y), (keys & MK_SHIFT) ? Extend::Yes : Extend::No);
    m_desiredX = m_caretPoint.x;
}

void TextEditor::onLeftUp() {
    if (!m_selecting) return;
    m_selecting = false;
    if (handle_ && GetCapture() == handle_) ReleaseCapture();
    m_desiredX = m_caretPoint.x;
}

void TextEditor::onMouseMove(int x, int y) {
    if (!m_selecting) return;
    const int position = positionAtPoint(x, y);
    if (position != m_caret) moveCaret(position, Extend::Yes);
}

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

void TextEditor::copy() {
    if (m_anchor == m_caret) return;
    const std::u16string text = selectedText();
    if (!OpenClipboard(handle_)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
    if (memory) {
        auto* buffer = static_cast<char16_t*>(GlobalLock(memory));
        std::copy(text.begin(), text.end(), buffer);
        buffer[text.size()] = 0;
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

void TextEditor::cut() {
    if (readOnly() || m_anchor == m_caret) return;
    copy();
    replaceSelection(u"", Recording::On);
}

void TextEditor::paste() {
    if (readOnly() || !OpenClipboard(handle_)) return;
    std::u16string text;
    if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* data = static_cast<const char16_t*>(GlobalLock(memory))) {
            text = data;
            GlobalUnlock(memory);
        }
    }
    CloseClipboard();
    if (!multiLine()) std::erase_if(text, [](char16_t c) { return c == u'\r' || c == u'\n' || c == u'\t'; });
    if (text.empty()) return;
    replaceSelection(text, Recording::On);
    scrollCaretIntoView();
}

void TextEditor::clearSelection() {
    if (readOnly() || m_anchor == m_caret) return;
    replaceSelection(u"", Recording::On);
}
