// The "EDIT" window class: one- and multi-line text fields drawn with the
// layer's GDI, with caret, selection, clipboard and single-level undo.
#include <algorithm>

#include "platform/api/GdiHandles.h"
#include "platform/common/AsciiCase.h"
#include "platform/common/CharWidthCache.h"
#include "platform/common/Unicode.h"
#include "platform/controls/ControlState.h"
#include "platform/controls/Controls.h"
#include "platform/controls/EditBuffer.h"
#include "platform/controls/Theme.h"
#include "platform/window/WindowManager.h"

namespace veltrix::platform::controls {

namespace {

constexpr UINT kImeChar = 0x0286;  // WM_IME_CHAR
constexpr UINT_PTR kBlinkTimer = 0x7E01;
constexpr UINT kBlinkInterval = 530;

struct EditState {
    EditBuffer buffer;
    // The field's font; a pair shows as one glyph, so it is measured whole.
    CharWidthCache widths{CharWidthCache::Surrogates::AsCharacters};
    HFONT font = nullptr;
    int lineHeight = 16;
    int scrollX = 0;  // pixels of the longest line scrolled off to the left
    std::size_t firstLine = 0;
    int leftMargin = 3;
    int rightMargin = 3;
    bool focused = false;
    bool caretOn = false;
    bool selecting = false;
    bool selectingWords = false;  // a drag that began with a double click
    std::size_t wordStart = 0;    // the word it began on
    std::size_t wordEnd = 0;
    bool inCombo = false;
};
using States = ControlStates<EditState>;

DWORD styleOf(HWND w) { return static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE)); }
bool isMulti(HWND w) { return (styleOf(w) & ES_MULTILINE) != 0; }
bool isReadOnly(HWND w) { return (styleOf(w) & ES_READONLY) != 0; }
bool shiftDown() { return GetKeyState(VK_SHIFT) < 0; }
bool controlDown() { return GetKeyState(VK_CONTROL) < 0; }

// Where text lines are laid out: the client area less the margins; a single
// line is centred vertically so that a tall field still looks balanced.
RECT formatRect(HWND w, const EditState& s) {
    RECT c;
    GetClientRect(w, &c);
    RECT r{c.left + s.leftMargin, c.top, c.right - s.rightMargin, c.bottom};
    if (isMulti(w)) {
        r.top += 1;
    } else {
        r.top += std::max(0, (int(c.bottom - c.top) - s.lineHeight) / 2);
    }
    if (r.right < r.left) r.right = r.left;
    return r;
}

std::size_t visibleLines(HWND w, const EditState& s) {
    RECT r = formatRect(w, s);
    return static_cast<std::size_t>(std::max(1, int(r.bottom - r.top) / std::max(1, s.lineHeight)));
}

// Horizontal offset of a line for centred and right-aligned fields.
int alignmentOffset(HWND w, const RECT& fr, int lineWidth) {
    DWORD style = styleOf(w);
    int room = int(fr.right - fr.left) - lineWidth;
    if (room <= 0) return 0;
    if (style & ES_RIGHT) return room - 1;
    if (style & ES_CENTER) return room / 2;
    return 0;
}

struct Layout {
    std::u16string text;
    std::vector<int> x;
    int offset = 0;
};

Layout layoutLine(HWND w, EditState& s, HDC dc, std::size_t line, const RECT& fr) {
    Layout l;
    l.text = s.buffer.lineText(line);
    // A program may set line breaks into a one-line field: they show as spaces.
    for (char16_t& c : l.text)
        if (c == u'\r' || c == u'\n') c = u' ';
    l.x = s.widths.advances(l.text, [dc](std::u16string_view character) {
        SIZE size{};
        GetTextExtentPoint32W(dc, character.data(), static_cast<int>(character.size()), &size);
        return static_cast<int>(size.cx);
    });
    l.offset = alignmentOffset(w, fr, l.x.back());
    return l;
}

POINT pointOf(HWND w, EditState& s, std::size_t position) {
    RECT fr = formatRect(w, s);
    std::size_t line = s.buffer.lineFromPosition(position);
    std::size_t column = std::min(position - s.buffer.lineIndex(line), s.buffer.lineLength(line));
    FontDC dc(w, s.font);
    Layout l = layoutLine(w, s, dc.get(), line, fr);
    int y = fr.top + (static_cast<int>(line) - static_cast<int>(s.firstLine)) * s.lineHeight;
    return {fr.left + l.offset + l.x[column] - s.scrollX, y};
}

std::size_t positionAt(HWND w, EditState& s, POINT p) {
    RECT fr = formatRect(w, s);
    int row = p.y < fr.top ? -1 : (p.y - fr.top) / std::max(1, s.lineHeight);
    long line = static_cast<long>(s.firstLine) + row;
    line = std::clamp<long>(line, 0, static_cast<long>(s.buffer.lineCount()) - 1);
    FontDC dc(w, s.font);
    Layout l = layoutLine(w, s, dc.get(), static_cast<std::size_t>(line), fr);
    int x = p.x - fr.left - l.offset + s.scrollX;
    // The boundary nearest to x: the first whose following midpoint is not left of x.
    std::size_t column = 0;
    std::size_t high = l.x.size() - 1;
    while (column < high) {
        std::size_t mid = (column + high) / 2;
        if (x > (l.x[mid] + l.x[mid + 1]) / 2)
            column = mid + 1;
        else
            high = mid;
    }
    std::size_t start = s.buffer.lineIndex(static_cast<std::size_t>(line));
    std::size_t position = start + column;
    // Never land inside a surrogate pair.
    if (position > 0 && position < s.buffer.length()) {
        char16_t c = s.buffer.text()[position];
        if (unicode::isLowSurrogate(c)) position = s.buffer.previousPosition(position + 1);
    }
    return position;
}

void restartBlink(HWND w, EditState& s);

// Scrolls so that the caret shows, a quarter of the width at a time as
// Windows does, so that typing at the right edge does not scroll every key.
void scrollToCaret(HWND w, EditState& s) {
    RECT fr = formatRect(w, s);
    int width = std::max(1, int(fr.right - fr.left));
    std::size_t caret = s.buffer.caret();
    std::size_t line = s.buffer.lineFromPosition(caret);
    if (isMulti(w)) {
        std::size_t rows = visibleLines(w, s);
        if (line < s.firstLine) s.firstLine = line;
        if (line >= s.firstLine + rows) s.firstLine = line - rows + 1;
    } else {
        s.firstLine = 0;
    }
    FontDC dc(w, s.font);
    Layout l = layoutLine(w, s, dc.get(), line, fr);
    std::size_t column = std::min(caret - s.buffer.lineIndex(line), s.buffer.lineLength(line));
    int x = l.offset + l.x[column];
    if (x - s.scrollX >= width) s.scrollX = x - width + width / 4;
    if (x < s.scrollX) s.scrollX = std::max(0, x - width / 4);
    // Give back room when the text got shorter.
    if (!isMulti(w) && l.x.back() - s.scrollX < width - 1) s.scrollX = std::max(0, l.x.back() - width + 1);
    if (s.scrollX < 0) s.scrollX = 0;
}

void refresh(HWND w, EditState& s) {
    scrollToCaret(w, s);
    restartBlink(w, s);
    InvalidateRect(w, nullptr, FALSE);
}

void changed(HWND w, EditState& s) {
    refresh(w, s);
    notifyParent(w, EN_UPDATE);
    notifyParent(w, EN_CHANGE);
}

void blink(HWND w, UINT, UINT_PTR, DWORD) {
    auto s = States::find(w);
    if (!s || !s->focused) return;
    s->caretOn = !s->caretOn;
    InvalidateRect(w, nullptr, FALSE);
}

void restartBlink(HWND w, EditState& s) {
    if (!s.focused) return;
    s.caretOn = true;
    SetTimer(w, kBlinkTimer, kBlinkInterval, blink);
}

void copySelection(HWND w, const EditState& s) {
    if (!s.buffer.hasSelection()) return;
    std::u16string text = s.buffer.selectedText();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
    if (!block) return;
    auto* p = static_cast<char16_t*>(GlobalLock(block));
    std::copy(text.begin(), text.end(), p);
    p[text.size()] = 0;
    GlobalUnlock(block);
    if (!OpenClipboard(w)) {
        GlobalFree(block);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
    CloseClipboard();
}

std::u16string clipboardText(HWND w) {
    std::u16string text;
    if (!OpenClipboard(w)) return text;
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const char16_t*>(GlobalLock(block))) {
            std::size_t limit = GlobalSize(block) / sizeof(char16_t);
            std::size_t n = 0;
            while (n < limit && p[n]) ++n;
            text.assign(p, n);
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return text;
}

bool acceptsCharacter(HWND w, char16_t c) {
    if (styleOf(w) & ES_NUMBER) return c >= u'0' && c <= u'9';
    return true;
}

char16_t applyCase(HWND w, char16_t c) {
    DWORD style = styleOf(w);
    if (style & ES_UPPERCASE) return ascii::toUpper(c);
    if (style & ES_LOWERCASE) return ascii::toLower(c);
    return c;
}

void typeCharacter(HWND w, EditState& s, char16_t c) {
    if (isReadOnly(w)) return;
    if (c == u'\r') {
        if (!isMulti(w)) return;
        if (s.buffer.replaceSelection(u"\r\n", UndoRecording::On)) changed(w, s);
        return;
    }
    if (c == u'\t') {
        if (!isMulti(w)) return;
    } else if (c < 0x20 || c == 0x7F) {
        return;
    }
    if (!acceptsCharacter(w, c)) return;
    std::u16string one(1, applyCase(w, c));
    if (s.buffer.replaceSelection(one, UndoRecording::On, EditKind::Typing)) {
        changed(w, s);
    } else {
        notifyParent(w, EN_MAXTEXT);
    }
}

void onChar(HWND w, EditState& s, char16_t c) {
    switch (c) {
        case 1:
            s.buffer.select(0, s.buffer.length());
            refresh(w, s);
            return;  // Ctrl+A
        case 3:
            SendMessageW(w, WM_COPY, 0, 0);
            return;  // Ctrl+C
        case 0x16:
            SendMessageW(w, WM_PASTE, 0, 0);
            return;  // Ctrl+V
        case 0x18:
            SendMessageW(w, WM_CUT, 0, 0);
            return;  // Ctrl+X
        case 0x1A:
            SendMessageW(w, WM_UNDO, 0, 0);
            return;  // Ctrl+Z
        case 8:
            if (!isReadOnly(w) && s.buffer.deleteBackward()) changed(w, s);
            return;
        case 27:
            return;
        default:
            typeCharacter(w, s, c);
    }
}

void moveTo(HWND w, EditState& s, std::size_t position) {
    s.buffer.moveCaret(position, shiftDown());
    refresh(w, s);
}

std::size_t verticalMove(HWND w, EditState& s, long rows) {
    POINT p = pointOf(w, s, s.buffer.caret());
    p.y += static_cast<LONG>(rows * s.lineHeight);
    long line = static_cast<long>(s.buffer.lineFromPosition(s.buffer.caret())) + rows;
    if (line < 0) return 0;
    if (line >= static_cast<long>(s.buffer.lineCount())) return s.buffer.length();
    if (rows < 0 && static_cast<std::size_t>(line) < s.firstLine) {
        s.firstLine = static_cast<std::size_t>(line);
        p.y = formatRect(w, s).top;
    }
    if (rows > 0 && static_cast<std::size_t>(line) >= s.firstLine + visibleLines(w, s)) {
        s.firstLine = static_cast<std::size_t>(line) - visibleLines(w, s) + 1;
        p.y = formatRect(w, s).top + static_cast<LONG>((line - static_cast<long>(s.firstLine)) * s.lineHeight);
    }
    return positionAt(w, s, p);
}

bool onKeyDown(HWND w, EditState& s, int key) {
    const EditBuffer& b = s.buffer;
    bool ctrl = controlDown();
    switch (key) {
        case VK_LEFT:
            if (!shiftDown() && b.hasSelection() && !ctrl)
                moveTo(w, s, b.selectionStart());
            else
                moveTo(w, s, ctrl ? b.previousWord(b.caret()) : b.previousPosition(b.caret()));
            return true;
        case VK_RIGHT:
            if (!shiftDown() && b.hasSelection() && !ctrl)
                moveTo(w, s, b.selectionEnd());
            else
                moveTo(w, s, ctrl ? b.nextWord(b.caret()) : b.nextPosition(b.caret()));
            return true;
        case VK_HOME:
            moveTo(w, s, ctrl ? 0 : b.lineIndex(b.lineFromPosition(b.caret())));
            return true;
        case VK_END: {
            std::size_t line = b.lineFromPosition(b.caret());
            moveTo(w, s, ctrl ? b.length() : b.lineIndex(line) + b.lineLength(line));
            return true;
        }
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT: {
            if (!isMulti(w)) {
                // A one-line field treats Up like Left and Down like Right.
                if (key == VK_UP) moveTo(w, s, b.previousPosition(b.caret()));
                if (key == VK_DOWN) moveTo(w, s, b.nextPosition(b.caret()));
                return true;
            }
            long page = static_cast<long>(visibleLines(w, s));
            long rows = key == VK_UP ? -1 : key == VK_DOWN ? 1 : key == VK_PRIOR ? -page : page;
            moveTo(w, s, verticalMove(w, s, rows));
            return true;
        }
        case VK_DELETE:
            if (isReadOnly(w)) return true;
            if (shiftDown()) {
                SendMessageW(w, WM_CUT, 0, 0);
            } else if (s.buffer.deleteForward()) {
                changed(w, s);
            }
            return true;
        case VK_INSERT:
            if (ctrl)
                SendMessageW(w, WM_COPY, 0, 0);
            else if (shiftDown())
                SendMessageW(w, WM_PASTE, 0, 0);
            return true;
        default:
            return false;
    }
}

void paintFrame(HWND w, const EditState& s) {
    DWORD style = styleOf(w);
    DWORD exStyle = static_cast<DWORD>(GetWindowLongW(w, GWL_EXSTYLE));
    if (!(style & WS_BORDER) && !(exStyle & WS_EX_CLIENTEDGE)) return;
    const WindowDC windowDc(w);
    HDC dc = windowDc.get();
    if (!dc) return;
    RECT r;
    GetWindowRect(w, &r);
    OffsetRect(&r, -r.left, -r.top);
    bool enabled = IsWindowEnabled(w);
    COLORREF outer = s.focused && enabled ? theme::kFocus : theme::kFrame;
    theme::frame(dc, r, outer);
    if (exStyle & WS_EX_CLIENTEDGE) {
        InflateRect(&r, -1, -1);
        COLORREF inner = s.focused && enabled                  ? theme::kFocus
                         : (enabled && !(style & ES_READONLY)) ? theme::kFieldBackground
                                                               : theme::kDisabledBackground;
        theme::frame(dc, r, inner);
    }
}

// The characters of a laid-out line that show between the format rectangle's edges.
std::pair<std::size_t, std::size_t> visibleRange(const Layout& l, int x, const RECT& fr) {
    std::size_t n = l.text.size();
    auto firstAfter = [&](int edge) {
        return static_cast<std::size_t>(std::upper_bound(l.x.begin(), l.x.end(), edge - x) - l.x.begin());
    };
    std::size_t first = firstAfter(fr.left);
    first = first == 0 ? 0 : first - 1;
    std::size_t last = std::min(n, firstAfter(fr.right));
    // Keep surrogate pairs whole at both ends.
    if (first > 0 && first < n && unicode::isLowSurrogate(l.text[first])) --first;
    if (last < n && last > 0 && unicode::isLowSurrogate(l.text[last])) ++last;
    return {first, std::max(first, last)};
}

// Draws characters [range) of a line, each at its measured advance.
void drawRun(HDC dc, const Layout& l, int x, int y, std::pair<std::size_t, std::size_t> range) {
    auto [a, b] = range;
    if (a >= b) return;
    std::vector<INT> dx(b - a);
    for (std::size_t i = a; i < b; ++i) dx[i - a] = l.x[i + 1] - l.x[i];
    ExtTextOutW(dc, x + l.x[a], y, 0, nullptr, l.text.data() + a, static_cast<UINT>(b - a), dx.data());
}

void paint(HWND w, EditState& s) {
    const PaintDC painting(w);
    HDC dc = painting.get();
    if (!dc) return;
    RECT client;
    GetClientRect(w, &client);
    bool enabled = IsWindowEnabled(w);
    bool readOnly = isReadOnly(w);
    COLORREF background = enabled && !readOnly ? theme::kFieldBackground : theme::kDisabledBackground;
    SetTextColor(dc, enabled ? theme::kFieldText : theme::kDisabledText);
    SetBkColor(dc, background);
    HWND parent = GetAncestor(w, GA_PARENT);
    UINT colourMessage = enabled && !readOnly ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    auto brush = reinterpret_cast<HBRUSH>(
        parent ? SendMessageW(parent, colourMessage, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w)) : 0);
    if (brush) {
        FillRect(dc, &client, brush);
    } else {
        theme::fill(dc, client, background);
    }
    COLORREF textColour = GetTextColor(dc);
    SelectedObject fontSelection(dc, fontOrDefault(s.font));
    SetBkMode(dc, TRANSPARENT);
    RECT fr = formatRect(w, s);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, fr.left, client.top, fr.right, client.bottom);
    bool showSelection = s.focused || (styleOf(w) & ES_NOHIDESEL);
    std::size_t selStart = s.buffer.selectionStart();
    std::size_t selEnd = s.buffer.selectionEnd();
    std::size_t rows = visibleLines(w, s) + 1;
    for (std::size_t line = s.firstLine; line < s.buffer.lineCount() && line < s.firstLine + rows; ++line) {
        Layout l = layoutLine(w, s, dc, line, fr);
        int x = fr.left + l.offset - s.scrollX;
        int y = fr.top + static_cast<int>(line - s.firstLine) * s.lineHeight;
        drawRun(dc, l, x, y, visibleRange(l, x, fr));
        std::size_t start = s.buffer.lineIndex(line);
        std::size_t end = start + l.text.size();
        if (!showSelection || selStart == selEnd || selEnd < start || selStart > end) continue;
        std::size_t a = std::max(selStart, start) - start;
        std::size_t b = std::min(selEnd, end) - start;
        // A selection that takes in the line break shows a little beyond the text.
        int extra = selEnd > end && isMulti(w) ? 4 : 0;
        if (a == b && extra == 0) continue;
        RECT band{x + l.x[a], y, x + l.x[b] + extra, y + s.lineHeight};
        theme::fill(dc, band, s.focused ? theme::kSelection : theme::kInactiveSelection);
        SetTextColor(dc, s.focused ? theme::kSelectionText : textColour);
        auto [first, last] = visibleRange(l, x, fr);
        drawRun(dc, l, x, y, {std::max(a, first), std::min(b, last)});
        SetTextColor(dc, textColour);
    }
    if (s.focused && s.caretOn) {
        POINT p = pointOf(w, s, s.buffer.caret());
        RECT caret{p.x, p.y, p.x + 1, p.y + s.lineHeight};
        theme::fill(dc, caret, textColour);
    }
    RestoreDC(dc, saved);
}

void setFont(HWND, EditState& s, HFONT font) {
    s.font = fontOrDefault(font);
    s.widths.clear();
    s.lineHeight = lineHeightOf(s.font);
}

// EM_SETSEL: -1 as the start keeps the caret and drops the selection; any
// other value beyond the text means its end.
void setSelection(EditState& s, WPARAM start, LPARAM end) {
    auto asPosition = [&](std::uintptr_t v) {
        return v > s.buffer.length() ? s.buffer.length() : static_cast<std::size_t>(v);
    };
    if (static_cast<long>(start) == -1) {
        s.buffer.select(s.buffer.caret(), s.buffer.caret());
        return;
    }
    s.buffer.select(asPosition(start), asPosition(static_cast<std::uintptr_t>(end)));
}

LRESULT lineMessage(HWND w, EditState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    const EditBuffer& b = s.buffer;
    auto caretLine = [&] { return b.lineFromPosition(b.selectionStart()); };
    switch (message) {
        case EM_GETLINECOUNT:
            return static_cast<LRESULT>(b.lineCount());
        case EM_LINEINDEX: {
            std::size_t line = static_cast<long>(wParam) == -1 ? b.lineFromPosition(b.caret()) : wParam;
            std::size_t index = b.lineIndex(line);
            return index == EditBuffer::npos ? -1 : static_cast<LRESULT>(index);
        }
        case EM_LINELENGTH: {
            if (static_cast<long>(wParam) == -1) {
                // The characters of the selected lines that are not selected.
                std::size_t first = b.lineFromPosition(b.selectionStart());
                std::size_t last = b.lineFromPosition(b.selectionEnd());
                std::size_t before = b.selectionStart() - b.lineIndex(first);
                std::size_t after = b.lineIndex(last) + b.lineLength(last) -
                                    std::min(b.selectionEnd(), b.lineIndex(last) + b.lineLength(last));
                return static_cast<LRESULT>(before + after);
            }
            if (wParam > b.length()) return 0;
            return static_cast<LRESULT>(b.lineLength(b.lineFromPosition(wParam)));
        }
        case EM_LINEFROMCHAR:
            if (static_cast<long>(wParam) == -1) return static_cast<LRESULT>(caretLine());
            return static_cast<LRESULT>(b.lineFromPosition(wParam));
        case EM_GETLINE: {
            auto* buffer = reinterpret_cast<WCHAR*>(lParam);
            if (!buffer) return 0;
            // The first word of the buffer holds its size in characters.
            std::size_t room = static_cast<WORD>(buffer[0]);
            std::size_t line = isMulti(w) ? wParam : 0;
            if (line >= b.lineCount()) return 0;
            std::u16string text = b.lineText(line);
            std::size_t n = std::min(room, text.size());
            std::copy_n(text.data(), n, buffer);
            if (n < room) buffer[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case EM_GETFIRSTVISIBLELINE:
            if (isMulti(w)) return static_cast<LRESULT>(s.firstLine);
            return static_cast<LRESULT>(positionAt(w, s, {formatRect(w, s).left, formatRect(w, s).top}));
        default:
            return 0;
    }
}

LRESULT editMessage(HWND w, EditState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case EM_GETSEL: {
            auto start = static_cast<DWORD>(s.buffer.selectionStart());
            auto end = static_cast<DWORD>(s.buffer.selectionEnd());
            if (wParam) *reinterpret_cast<DWORD*>(wParam) = start;
            if (lParam) *reinterpret_cast<DWORD*>(lParam) = end;
            return (start > 0xFFFF || end > 0xFFFF) ? -1 : MAKELRESULT(start, end);
        }
        case EM_SETSEL:
            setSelection(s, wParam, lParam);
            refresh(w, s);
            return 0;
        case EM_REPLACESEL: {
            auto* text = reinterpret_cast<LPCWSTR>(lParam);
            if (s.buffer.replaceSelection(text ? std::u16string(text) : std::u16string(),
                                          wParam ? UndoRecording::On : UndoRecording::Off))
                changed(w, s);
            return 0;
        }
        case EM_LIMITTEXT:
            s.buffer.setLimit(wParam);
            return 0;
        case EM_GETLIMITTEXT:
            return static_cast<LRESULT>(s.buffer.limit());
        case EM_CANUNDO:
            return s.buffer.canUndo() ? TRUE : FALSE;
        case EM_UNDO:
        case WM_UNDO:
            if (isReadOnly(w) || !s.buffer.undo()) return FALSE;
            changed(w, s);
            return TRUE;
        case EM_EMPTYUNDOBUFFER:
            s.buffer.emptyUndo();
            return 0;
        case EM_GETMODIFY:
            return s.buffer.modified() ? TRUE : FALSE;
        case EM_SETMODIFY:
            s.buffer.setModified(wParam != 0);
            return 0;
        case EM_SETREADONLY: {
            DWORD style = styleOf(w);
            SetWindowLongW(w, GWL_STYLE, static_cast<LONG>(wParam ? (style | ES_READONLY) : (style & ~ES_READONLY)));
            InvalidateRect(w, nullptr, TRUE);
            return TRUE;
        }
        case EM_SCROLLCARET:
            scrollToCaret(w, s);
            InvalidateRect(w, nullptr, FALSE);
            return TRUE;
        case EM_SETMARGINS:
            if (wParam & EC_LEFTMARGIN)
                s.leftMargin = LOWORD(static_cast<DWORD_PTR>(lParam)) == EC_USEFONTINFO
                                   ? 3
                                   : LOWORD(static_cast<DWORD_PTR>(lParam));
            if (wParam & EC_RIGHTMARGIN)
                s.rightMargin = HIWORD(static_cast<DWORD_PTR>(lParam)) == EC_USEFONTINFO
                                    ? 3
                                    : HIWORD(static_cast<DWORD_PTR>(lParam));
            refresh(w, s);
            return 0;
        case EM_GETMARGINS:
            return MAKELRESULT(s.leftMargin, s.rightMargin);
        case EM_GETRECT:
            if (lParam) *reinterpret_cast<RECT*>(lParam) = formatRect(w, s);
            return 0;
        case EM_POSFROMCHAR: {
            if (wParam > s.buffer.length()) return -1;
            POINT p = pointOf(w, s, wParam);
            return MAKELRESULT(p.x, p.y);
        }
        case EM_CHARFROMPOS: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            std::size_t position = positionAt(w, s, p);
            return MAKELRESULT(position, s.buffer.lineFromPosition(position));
        }
        case EM_LINESCROLL:
            if (isMulti(w)) {
                long line = static_cast<long>(s.firstLine) + static_cast<long>(lParam);
                s.firstLine =
                    static_cast<std::size_t>(std::clamp<long>(line, 0, static_cast<long>(s.buffer.lineCount()) - 1));
                s.scrollX = std::max(0, s.scrollX + static_cast<int>(static_cast<long>(wParam)) * 8);
                InvalidateRect(w, nullptr, FALSE);
            }
            return TRUE;
        case EM_SCROLL: {
            if (!isMulti(w)) return 0;
            long page = static_cast<long>(visibleLines(w, s));
            long rows = wParam == SB_LINEUP     ? -1
                        : wParam == SB_LINEDOWN ? 1
                        : wParam == SB_PAGEUP   ? -page
                        : wParam == SB_PAGEDOWN ? page
                                                : 0;
            long before = static_cast<long>(s.firstLine);
            long line = std::clamp<long>(before + rows, 0, static_cast<long>(s.buffer.lineCount()) - 1);
            s.firstLine = static_cast<std::size_t>(line);
            InvalidateRect(w, nullptr, FALSE);
            return MAKELRESULT(line - before, 1);
        }
        default:
            return lineMessage(w, s, message, wParam, lParam);
    }
}

// Keys the field of a combo box leaves to the box: the list's keys.
bool comboKey(HWND w, int key) {
    HWND combo = GetAncestor(w, GA_PARENT);
    bool dropped = SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
    switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_F1 + 3:
            return true;
        case VK_PRIOR:
        case VK_NEXT:
        case VK_RETURN:
        case VK_ESCAPE:
            return dropped;
        default:
            return false;
    }
}

bool isEditMessage(UINT message) { return message >= EM_GETSEL && message <= EM_CHARFROMPOS; }

LRESULT onCreate(HWND w, LPARAM lParam) {
    auto s = States::create(w);
    auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    s->buffer.setMode(isMulti(w) ? LineMode::Multi : LineMode::Single);
    s->buffer.setText(cs && cs->lpszName ? std::u16string(cs->lpszName) : std::u16string());
    WCHAR parentClass[32] = {};
    if (HWND parent = GetAncestor(w, GA_PARENT)) GetClassNameW(parent, parentClass, 32);
    s->inCombo = std::u16string(parentClass) == u"COMBOBOX" || std::u16string(parentClass) == u"ComboBox";
    setFont(w, *s, nullptr);
    return TRUE;
}

}  // namespace

LRESULT editProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        onCreate(w, lParam);
        return DefWindowProcW(w, message, wParam, lParam);
    }
    auto keep = States::find(w);
    if (!keep) return DefWindowProcW(w, message, wParam, lParam);
    EditState& s = *keep;
    if (isEditMessage(message) || message == WM_UNDO) return editMessage(w, s, message, wParam, lParam);
    switch (message) {
        case WM_NCDESTROY:
            KillTimer(w, kBlinkTimer);
            States::destroy(w);
            return DefWindowProcW(w, message, wParam, lParam);
        case WM_SETTEXT: {
            auto* text = reinterpret_cast<LPCWSTR>(lParam);
            s.buffer.setText(text ? std::u16string(text) : std::u16string());
            s.scrollX = 0;
            s.firstLine = 0;
            refresh(w, s);
            // A multi-line field and the field of a combo box stay quiet, as on Windows.
            if (!isMulti(w) && !s.inCombo) {
                notifyParent(w, EN_UPDATE);
                notifyParent(w, EN_CHANGE);
            }
            return TRUE;
        }
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<LPWSTR>(lParam);
            if (!buffer || wParam == 0) return 0;
            std::size_t n = std::min<std::size_t>(wParam - 1, s.buffer.length());
            std::copy_n(s.buffer.text().data(), n, buffer);
            buffer[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(s.buffer.length());
        case WM_SETFONT:
            setFont(w, s, reinterpret_cast<HFONT>(wParam));
            scrollToCaret(w, s);
            if (lParam) InvalidateRect(w, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s.font);
        case WM_GETDLGCODE: {
            LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
            if (isMulti(w)) code |= DLGC_WANTALLKEYS;
            return code;
        }
        case WM_SETFOCUS: {
            s.focused = true;
            POINT caret = pointOf(w, s, s.buffer.caret());
            startTextInput(w, RECT{caret.x, caret.y, caret.x + 1, caret.y + s.lineHeight});
            restartBlink(w, s);
            InvalidateRect(w, nullptr, TRUE);
            notifyParent(w, EN_SETFOCUS);
            return 0;
        }
        case WM_KILLFOCUS:
            stopTextInput();
            s.focused = false;
            s.caretOn = false;
            s.selecting = false;
            KillTimer(w, kBlinkTimer);
            InvalidateRect(w, nullptr, TRUE);
            notifyParent(w, EN_KILLFOCUS);
            return 0;
        case WM_ENABLE:
        case WM_STYLECHANGED:
            InvalidateRect(w, nullptr, TRUE);
            return DefWindowProcW(w, message, wParam, lParam);
        case WM_SIZE:
            scrollToCaret(w, s);
            InvalidateRect(w, nullptr, FALSE);
            return 0;
        case WM_CHAR:
        case kImeChar:
            onChar(w, s, static_cast<char16_t>(wParam));
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (s.inCombo && comboKey(w, static_cast<int>(wParam))) {
                SendMessageW(GetAncestor(w, GA_PARENT), message, wParam, lParam);
                return 0;
            }
            if (message == WM_KEYDOWN && onKeyDown(w, s, static_cast<int>(wParam))) return 0;
            return DefWindowProcW(w, message, wParam, lParam);
        case WM_COPY:
            copySelection(w, s);
            return 0;
        case WM_CUT:
            if (isReadOnly(w) || !s.buffer.hasSelection()) return 0;
            copySelection(w, s);
            if (s.buffer.replaceSelection({}, UndoRecording::On)) changed(w, s);
            return 0;
        case WM_CLEAR:
            if (!isReadOnly(w) && s.buffer.replaceSelection({}, UndoRecording::On)) changed(w, s);
            return 0;
        case WM_PASTE: {
            if (isReadOnly(w)) return 0;
            std::u16string text = clipboardText(w);
            if (styleOf(w) & ES_NUMBER) {
                if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c < u'0' || c > u'9'; })) return 0;
            }
            if (s.buffer.replaceSelection(std::move(text), UndoRecording::On)) changed(w, s);
            return 0;
        }
        case WM_LBUTTONDOWN: {
            if (GetFocus() != w) SetFocus(w);
            auto alive = States::find(w);
            if (!alive) return 0;
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            SetCapture(w);
            s.buffer.moveCaret(positionAt(w, s, p), (wParam & MK_SHIFT) != 0);
            s.selecting = true;
            refresh(w, s);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (s.selecting && (wParam & MK_LBUTTON)) {
                POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                std::size_t at = positionAt(w, s, p);
                if (!s.selectingWords) {
                    s.buffer.moveCaret(at, true);
                } else if (at < s.wordStart) {
                    s.buffer.select(s.wordEnd, s.buffer.wordStart(at));
                } else {
                    s.buffer.select(s.wordStart, std::max(s.wordEnd, s.buffer.wordEnd(at)));
                }
                refresh(w, s);
            }
            return 0;
        case WM_LBUTTONUP:
            if (s.selecting) {
                s.selecting = false;
                s.selectingWords = false;
                if (GetCapture() == w) ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            s.selecting = false;
            s.selectingWords = false;
            return 0;
        case WM_LBUTTONDBLCLK: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            std::size_t at = positionAt(w, s, p);
            SetCapture(w);
            s.wordStart = s.buffer.wordStart(at);
            s.wordEnd = s.buffer.wordEnd(at);
            s.buffer.select(s.wordStart, s.wordEnd);
            s.selecting = true;
            s.selectingWords = true;
            refresh(w, s);
            return 0;
        }
        case WM_MOUSEWHEEL:
            if (!isMulti(w)) return DefWindowProcW(w, message, wParam, lParam);
            SendMessageW(w, EM_LINESCROLL, 0, -3 * static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA);
            return 0;
        case WM_VSCROLL:
            // Scroll-bar requests as EM_SCROLL takes them (line and page steps, top and bottom).
            if (LOWORD(wParam) == SB_TOP || LOWORD(wParam) == SB_BOTTOM) {
                s.firstLine = LOWORD(wParam) == SB_TOP ? 0 : s.buffer.lineCount() - 1;
                InvalidateRect(w, nullptr, FALSE);
                return 0;
            }
            editMessage(w, s, EM_SCROLL, LOWORD(wParam), 0);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCPAINT:
            paintFrame(w, s);
            return 0;
        case WM_PAINT:
            paint(w, s);
            return 0;
        default:
            return DefWindowProcW(w, message, wParam, lParam);
    }
}

}  // namespace veltrix::platform::controls
