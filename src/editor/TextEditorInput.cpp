// The keyboard side of TextEditor: keys with and without Ctrl, the chords
// that compose accented letters, typed characters, and the clipboard.
#include <algorithm>

#include "editor/LetterCase.h"
#include "editor/TextEditor.h"
#include "platform/common/Unicode.h"
#include "text/NarrowText.h"
#include "toolkit/ClipboardText.h"
#include "toolkit/Graphics.h"

namespace {

bool keyHeld(int key) { return GetKeyState(key) < 0; }

bool isBlank(char16_t c) { return c == u'\t' || c == u' '; }

// The letter a chord composes with: (capital, small) for each letter key.
struct Accent {
    int key;
    char16_t capital;
    char16_t small;
};
constexpr Accent kAcute[] = {{'A', 0xC1, 0xE1},   {'C', 0x106, 0x107}, {'E', 0xC9, 0xE9},
                             {'I', 0xCD, 0xED},   {'N', 0x143, 0x144}, {'O', 0xD3, 0xF3},
                             {'S', 0x15A, 0x15B}, {'U', 0xDA, 0xFA},   {'Z', 0x179, 0x17A}};
constexpr Accent kGrave[] = {
    {'A', 0xC0, 0xE0}, {'E', 0xC8, 0xE8}, {'I', 0xCC, 0xEC}, {'O', 0xD2, 0xF2}, {'U', 0xD9, 0xF9}};
constexpr Accent kLigature[] = {{'A', 0xC6, 0xE6}};

template <std::size_t N>
char16_t accentOf(const Accent (&table)[N], int key, bool capital) {
    for (const Accent& accent : table)
        if (accent.key == key) return capital ? accent.capital : accent.small;
    return 0;
}

}  // namespace

void TextEditor::moveCaret(int position, Extend extend) {
    position = std::clamp(position, 0, m_document.length());
    setSelection(extend == Extend::Yes ? m_anchor : position, position);
    scrollCaretIntoView();
}

bool TextEditor::composeAccent(int key) {
    if (readOnly()) return false;
    const bool capital = keyHeld(VK_SHIFT);
    char16_t composed = 0;
    if (keyHeld(VK_MENU)) {
        switch (key) {
            case 'C':
                composed = 0xA9;
                break;
            case 'R':
                composed = 0xAE;
                break;
            case 'T':
                composed = 0x2122;
                break;
            case VK_OEM_PERIOD:
                composed = 0x2026;
                break;
            default:
                break;
        }
    } else if (keyHeld('7')) {
        composed = accentOf(kAcute, key, capital);
    } else if (keyHeld(VK_OEM_3)) {
        composed = accentOf(kGrave, key, capital);
    } else if (keyHeld('6')) {
        composed = accentOf(kLigature, key, capital);
    }
    if (!composed) return false;
    replaceSelection(std::u16string_view(&composed, 1), Recording::On);
    scrollCaretIntoView();
    return true;
}

bool TextEditor::transformSelection(int key) {
    if (readOnly() || m_anchor == m_caret) return false;
    std::u16string text = selectedText();
    switch (key) {
        case 'U':
            if (keyHeld(VK_SHIFT)) {
                std::transform(text.begin(), text.end(), text.begin(), letter_case::toUpper);
            } else {
                std::transform(text.begin(), text.end(), text.begin(), letter_case::toLower);
            }
            break;
        case VK_OEM_PLUS:
            for (char16_t& c : text)
                if (c >= 0x20 && c <= 0xFDFF) ++c;
            break;
        case VK_OEM_MINUS:
            for (char16_t& c : text)
                if (c >= 0x21 && c <= 0xFDFF) --c;
            break;
        default:
            return false;
    }
    const int start = selectionStart();
    replaceSelection(text, Recording::On);
    setSelection(start, start + static_cast<int>(text.size()));
    return true;
}

bool TextEditor::onKeyDown(int key) {
    const bool shift = keyHeld(VK_SHIFT);
    const Extend extend = shift ? Extend::Yes : Extend::No;
    const bool control = keyHeld(VK_CONTROL);
    const int length = m_document.length();
    auto charAt = [this](int p) { return m_document.charAt(p); };
    auto crLfBefore = [&](int p) { return p >= 2 && charAt(p - 2) == u'\r' && charAt(p - 1) == u'\n'; };
    auto crLfAt = [&](int p) { return p + 1 < length && charAt(p) == u'\r' && charAt(p + 1) == u'\n'; };
    if (control) {
        if (composeAccent(key) || transformSelection(key)) return true;
        switch (key) {
            case 'A':
                setSelection(0, -1);
                return true;
            case 'C':
                copy();
                return true;
            case 'V':
                paste();
                return true;
            case 'X':
                cut();
                return true;
            case 'Z':
                if (shift)
                    redo();
                else
                    undo();
                scrollCaretIntoView();
                return true;
            case 'Y':
                redo();
                scrollCaretIntoView();
                return true;
            default:
                break;
        }
    }
    switch (key) {
        case VK_LEFT:
            moveCaret(control ? wordLeftOf(m_caret) : m_caret - (crLfBefore(m_caret) ? 2 : 1), extend);
            m_desiredX = m_caretPoint.x;
            return true;
        case VK_RIGHT:
            moveCaret(control ? wordRightOf(m_caret) : m_caret + (crLfAt(m_caret) ? 2 : 1), extend);
            m_desiredX = m_caretPoint.x;
            return true;
        case VK_UP:
        case VK_DOWN: {
            if (control && shift) {
                moveToSentenceBoundary(key == VK_UP ? -1 : 1, extend);
                return true;
            }
            if (control) {
                if (key == VK_UP)
                    selectPreviousSentence();
                else
                    selectNextSentence();
                scrollCaretIntoView();
                return true;
            }
            const int row = m_layout.rowOfPosition(m_caret) + (key == VK_UP ? -1 : 1);
            if (row < 0 || row >= m_layout.totalRows()) return true;
            const int desired = m_desiredX;
            const RowSpan span = m_layout.rowSpan(row);
            moveCaret(m_layout.positionAtX(span, desired - textAreaLeft() + m_scroll.horizontalOffset), extend);
            m_desiredX = desired;
            return true;
        }
        case VK_PRIOR:
        case VK_NEXT:
            pageBy(key == VK_PRIOR ? -1 : 1, extend);
            return true;
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
                const int from = control ? wordLeftOf(m_caret) : m_caret - (crLfBefore(m_caret) ? 2 : 1);
                replaceRange(from, m_caret, u"", Recording::On);
            } else {
                replaceSelection(u"", Recording::On);
            }
            scrollCaretIntoView();
            return true;
        case VK_DELETE:
            if (readOnly()) return true;
            if (shift) {
                cut();
                return true;
            }
            if (m_anchor == m_caret) {
                if (m_caret >= length) return true;
                const int to = control ? wordRightOf(m_caret) : m_caret + (crLfAt(m_caret) ? 2 : 1);
                replaceRange(m_caret, std::max(to, m_caret + 1), u"", Recording::On);
            } else {
                replaceSelection(u"", Recording::On);
            }
            scrollCaretIntoView();
            return true;
        case VK_RETURN:
            enter();
            return true;
        case VK_APPS:
            showContextMenu();
            return true;
        case VK_F10:
            if (!shift) return false;
            showContextMenu();
            return true;
        default:
            return false;
    }
}

void TextEditor::enter() {
    if (readOnly() || !multiLine()) return;
    const int start = selectionStart();
    const int lineStart = m_document.lineStartOfPosition(start);
    std::u16string inserted(m_document.lineEndingText());
    for (int p = lineStart; p < start && isBlank(m_document.charAt(p)); ++p) inserted += m_document.charAt(p);
    if (m_anchor == m_caret && m_caret > 0 && m_document.charAt(m_caret - 1) == u'{') inserted += u'\t';
    replaceSelection(inserted, Recording::On);
    scrollCaretIntoView();
}

void TextEditor::pageBy(int direction, Extend extend) {
    const int visible = std::max(1, m_scroll.visibleRows);
    const int screenRow = m_layout.rowOfPosition(m_caret) - m_scroll.firstRow;
    const int step = std::max(2, visible / 5);
    // Each step is painted, so the eye can follow where the text went.
    int remaining = visible;
    for (; remaining >= step; remaining -= step) {
        scrollBy(0, direction * step);
        if (handle_) UpdateWindow(handle_);
    }
    for (; remaining > 0; --remaining) {
        scrollBy(0, direction);
        if (handle_) UpdateWindow(handle_);
    }
    const int lastRow = std::max(0, m_layout.totalRows() - 1);
    const bool atTop = m_scroll.firstRow == 0;
    const bool atEnd = m_scroll.firstRow >= m_scroll.maxFirstRow();
    int row;
    if (direction < 0 && atTop) {
        row = 0;
    } else if (atEnd) {
        row = lastRow;
    } else if (atTop) {
        row = 0;
    } else {
        row = std::clamp(m_scroll.firstRow + screenRow, 0, lastRow);
    }
    const int desired = m_desiredX;
    moveCaret(m_layout.positionAtX(m_layout.rowSpan(row), desired - textAreaLeft() + m_scroll.horizontalOffset),
              extend);
    m_desiredX = desired;
}

bool TextEditor::onChar(char16_t character) {
    if (readOnly() || keyHeld(VK_CONTROL)) return true;
    if (character == u'\t') {
        if (keyHeld(VK_RETURN)) {
            enter();
            return true;
        }
        if (!multiLine()) {
            // A field hands the focus on, as a dialog's edit control does.
            if (HWND next = GetNextDlgTabItem(GetParent(handle_), handle_, keyHeld(VK_SHIFT) ? TRUE : FALSE))
                SetFocus(next);
            return true;
        }
        if (indentLines(keyHeld(VK_SHIFT))) return true;
    } else if (character == u'}') {
        if (closeBrace()) return true;
    } else if (character < 0x20) {
        // Backspace, Enter and Escape are the keys' business; other control
        // characters are never typed into the text.
        return true;
    }
    replaceSelection(std::u16string_view(&character, 1), Recording::On);
    scrollCaretIntoView();
    return true;
}

bool TextEditor::indentLines(bool outdent) {
    if (m_anchor == m_caret || selectedText().find(u"\r\n") == std::u16string::npos) return false;
    const int start = m_document.lineStartOfPosition(selectionStart());
    int end = selectionEnd();
    auto lineEndAt = [this](int position) {
        const int line = m_document.lineOfPosition(position);
        int e = line + 1 < m_document.lineCount() ? m_document.lineStart(line + 1) : m_document.length();
        if (e > m_document.lineStart(line) && m_document.charAt(e - 1) == u'\n') --e;
        if (e > m_document.lineStart(line) && m_document.charAt(e - 1) == u'\r') --e;
        return e;
    };
    if (end > start && m_document.lineStartOfPosition(end) == end) {
        // Ends at a line start: the line before is the last one.
        end = lineEndAt(end - 1);
    } else {
        end = lineEndAt(end);
    }
    const std::u16string lines = m_document.textRange(start, end);
    std::u16string result;
    result.reserve(lines.size() + 16);
    if (outdent) {
        std::size_t i = !lines.empty() && lines[0] == u'\t' ? 1 : 0;
        for (; i < lines.size(); ++i) {
            result += lines[i];
            if (lines[i] == u'\n' && i + 1 < lines.size() && lines[i + 1] == u'\t') ++i;
        }
    } else {
        result += u'\t';
        for (char16_t c : lines) {
            result += c;
            if (c == u'\n') result += u'\t';
        }
    }
    replaceRange(start, end, result, Recording::On);
    setSelection(start, start + static_cast<int>(result.size()));
    return true;
}

bool TextEditor::closeBrace() {
    if (m_anchor != m_caret) return false;
    const int line = m_document.lineOfPosition(m_caret);
    const int start = m_document.lineStart(line);
    std::u16string content = m_document.lineText(line);
    while (!content.empty() && (content.back() == u'\n' || content.back() == u'\r')) content.pop_back();
    if (!std::all_of(content.begin(), content.end(), isBlank)) return false;
    const int end = start + static_cast<int>(content.size());
    if (const auto tab = content.find(u'\t'); tab != std::u16string::npos) content.erase(tab, 1);
    content += u'}';
    replaceRange(start, end, content, Recording::On);
    scrollCaretIntoView();
    return true;
}

// The clipboard -------------------------------------------------------------------------------

std::u16string TextEditor::acceptedText(std::u16string text) const {
    if (!multiLine()) std::erase_if(text, [](char16_t c) { return c == u'\r' || c == u'\n' || c == u'\t'; });
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!veltrix::unicode::isSurrogate(text[i])) continue;  // the common case, kept cheap for big pastes
        if (veltrix::unicode::isPairAt(text, i)) {
            ++i;
        } else {
            text[i] = 0xFFFD;
        }
    }
    return text;
}

namespace {

// A block holding bytes and a terminating zero of the given unit size.
HGLOBAL blockOf(const void* data, std::size_t bytes, std::size_t unit) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes + unit);
    if (!block) return nullptr;
    if (auto* p = static_cast<char*>(GlobalLock(block))) {
        std::copy_n(static_cast<const char*>(data), bytes, p);
        std::fill_n(p + bytes, unit, '\0');
        GlobalUnlock(block);
    }
    return block;
}

}  // namespace

void TextEditor::copy() {
    if (m_anchor == m_caret) return;
    const std::u16string text = selectedText();
    if (!OpenClipboard(handle_)) return;
    if (!EmptyClipboard()) {
        CloseClipboard();
        return;
    }
    const std::string narrow = toNarrow(text);
    if (HGLOBAL block = blockOf(narrow.data(), narrow.size(), 1); block && !SetClipboardData(CF_TEXT, block))
        GlobalFree(block);
    if (HGLOBAL block = blockOf(text.data(), text.size() * sizeof(char16_t), sizeof(char16_t));
        block && !SetClipboardData(CF_UNICODETEXT, block))
        GlobalFree(block);
    CloseClipboard();
}

void TextEditor::cut() {
    if (readOnly() || m_anchor == m_caret) return;
    copy();
    replaceSelection(u"", Recording::On);
    scrollCaretIntoView();
}

void TextEditor::paste() {
    if (readOnly()) return;
    const std::u16string text = acceptedText(readClipboardText(handle_));
    if (text.empty()) return;
    replaceSelection(text, Recording::On);
    scrollCaretIntoView();
}

void TextEditor::clearSelection() {
    if (readOnly() || m_anchor == m_caret) return;
    replaceSelection(u"", Recording::On);
}
