// The message interface of TextEditor: the platform's edit-control messages
// answered over the editor's own state.
#include <algorithm>
#include <cstring>

#include "editor/TextEditor.h"
#include "toolkit/Graphics.h"

namespace {

int asPosition(WPARAM value) { return static_cast<int>(static_cast<LONG_PTR>(value)); }
int asPosition(LPARAM value) { return static_cast<int>(value); }

}  // namespace

LRESULT TextEditor::getSelection(WPARAM wParam, LPARAM lParam) const {
    const int start = selectionStart();
    const int end = selectionEnd();
    if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
    if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
    return MAKELRESULT(std::min(start, 0xFFFF), std::min(end, 0xFFFF));
}

LRESULT TextEditor::handleScroll(UINT message, WPARAM wParam) {
    const int request = LOWORD(wParam);
    const bool vertical = message == WM_VSCROLL;
    const int page = vertical ? m_scroll.visibleRows : std::max(1, textAreaWidth() / std::max(1, m_averageWidth));
    const int before = m_scroll.firstRow;
    int amount = 0;
    switch (request) {
        case SB_LINEUP:
            amount = -1;
            break;
        case SB_LINEDOWN:
            amount = 1;
            break;
        case SB_PAGEUP:
            amount = -page;
            break;
        case SB_PAGEDOWN:
            amount = page;
            break;
        case SB_TOP:
            amount = vertical ? -m_scroll.firstRow : -m_scroll.horizontalOffset / std::max(1, m_averageWidth);
            break;
        case SB_BOTTOM:
            amount =
                vertical
                    ? m_scroll.maxFirstRow() - m_scroll.firstRow
                    : (m_scroll.maxHorizontalOffset() - m_scroll.horizontalOffset) / std::max(1, m_averageWidth) + 1;
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            amount = vertical ? HIWORD(wParam) - m_scroll.firstRow
                              : (HIWORD(wParam) - m_scroll.horizontalOffset) / std::max(1, m_averageWidth);
            break;
        default:
            break;
    }
    if (vertical) {
        scrollBy(0, amount);
    } else {
        scrollBy(amount, 0);
    }
    notifyCommand(vertical ? EN_VSCROLL : EN_HSCROLL);
    return MAKELRESULT(m_scroll.firstRow - before, TRUE);
}

void TextEditor::setCharFormat(const CHARFORMATW& format) {
    if (format.dwMask & CFM_FACE) {
        std::memset(font_.lfFaceName, 0, sizeof font_.lfFaceName);
        for (int i = 0; i < LF_FACESIZE - 1 && format.szFaceName[i]; ++i) {
            font_.lfFaceName[i] = format.szFaceName[i];
        }
    }
    if (format.dwMask & CFM_SIZE) font_.lfHeight = std::max<LONG>(8, format.yHeight / 20);
    if (format.dwMask & CFM_BOLD) font_.lfWeight = (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    if (format.dwMask & CFM_ITALIC) font_.lfItalic = (format.dwEffects & CFE_ITALIC) ? 1 : 0;
    if (format.dwMask & CFM_UNDERLINE) font_.lfUnderline = (format.dwEffects & CFE_UNDERLINE) ? 1 : 0;
    if (format.dwMask & CFM_COLOR) m_colors.set(ColorSlot::Text, format.crTextColor);
    setFont(font_);
}

LRESULT TextEditor::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            // Also posted by theme changes, which come with the current size.
            onSize(wParam, lParam);
            return 0;
        case WM_DESTROY:
            revokeDropTarget();
            stopAutoScroll();
            KillTimer(window, kTripleClickTimer);
            m_tripleClickPending = false;
            m_focused = false;
            m_mouseMode = kMouseNone;
            m_draggingThumb = false;
            m_canvas.reset();
            break;
        case WM_TIMER:
            if (wParam != kLayoutTimer) break;
            continueLayout();
            return 0;
        case WM_PAINT: {
            if (layOutShownRows(m_scroll.firstRow)) {
                updateScrollRanges();
                placeCaret();
                InvalidateRect(window, nullptr, FALSE);
            }
            const PaintDC painting(window);
            HDC dc = painting.get();
            if (m_clientWidth > 0 && m_clientHeight > 0) {
                if (!m_canvas || m_canvas->image().getWidth() != std::min(m_clientWidth, Bitmap::kMaxSide) ||
                    m_canvas->image().getHeight() != std::min(m_clientHeight, Bitmap::kMaxSide)) {
                    m_canvas = std::make_unique<Graphics>(m_clientWidth, m_clientHeight);
                }
                const RECT area = painting.area();
                paint(*m_canvas, area);
                BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, m_canvas->dc(),
                       area.left, area.top, SRCCOPY);
            }
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
            onSetFocus();
            return 0;
        case WM_KILLFOCUS:
            onKillFocus();
            return 0;
        case WM_KEYDOWN:
            if (onKeyDown(static_cast<int>(wParam))) return 0;
            break;
        case WM_CHAR:
            if (onChar(static_cast<char16_t>(wParam))) return 0;
            break;
        // The scroll bar is the editor's own: presses on it never reach the
        // text's mouse handlers.
        case WM_LBUTTONDOWN:
            if (pressScrollBar(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) return 0;
            onLeftDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), wParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            if (pressScrollBar(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) return 0;
            onDoubleClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            onRightDown();
            return 0;
        case WM_RBUTTONUP:
            onRightUp();
            return 0;
        case WM_CONTEXTMENU:
            showContextMenu();
            return 0;
        case WM_IME_STARTCOMPOSITION:
        case WM_IME_COMPOSITION:
        case WM_IME_ENDCOMPOSITION:
        case WM_IME_REQUEST: {
            LRESULT result = 0;
            if (onImeMessage(message, wParam, lParam, result)) return result;
            break;
        }
        case WM_LBUTTONUP:
            if (m_draggingThumb) {
                endThumbDrag();
                return 0;
            }
            onLeftUp();
            return 0;
        case WM_MOUSEMOVE:
            if (m_draggingThumb) {
                dragThumb(GET_Y_LPARAM(lParam));
                return 0;
            }
            onMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEWHEEL:
            onWheel(static_cast<short>(HIWORD(wParam)));
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the mouse: a selection drag ends where it is.
            if (m_mouseMode == kMouseSelecting || m_mouseMode == kMouseSentences || m_mouseMode == kMouseLines) {
                stopAutoScroll();
                m_mouseMode = kMouseNone;
            }
            m_draggingThumb = false;
            return 0;

        case WM_SETTEXT:
            setText(lParam ? std::u16string_view(reinterpret_cast<LPCWSTR>(lParam)) : std::u16string_view());
            return TRUE;
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<LPWSTR>(lParam);
            const int size = static_cast<int>(wParam);
            if (!buffer || size <= 0) return 0;
            const int count = std::min(size - 1, m_document.length());
            m_document.copyRange(0, count, buffer);
            buffer[count] = 0;
            return count;
        }
        case WM_GETTEXTLENGTH:
            return m_document.length();
        case WM_SETFONT: {
            LOGFONTW description{};
            if (wParam && GetObjectW(reinterpret_cast<HGDIOBJ>(wParam), sizeof description, &description)) {
                setFont(description);
            }
            return 0;
        }
        // The editor's own font object: the caller may select it but does not
        // own it (a fresh object per call would leak one font per question).
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(m_font.get());
        case WM_GETDLGCODE:
            return multiLine() ? DLGC_WANTALLKEYS : (DLGC_WANTARROWS | DLGC_HASSETSEL);

        case EM_GETSEL:
            return getSelection(wParam, lParam);
        case EM_EXGETSEL:
            if (auto* range = reinterpret_cast<CHARRANGE*>(lParam)) {
                range->cpMin = selectionStart();
                range->cpMax = selectionEnd();
            }
            return 0;
        case EM_SETSEL:
            setSelection(asPosition(wParam), asPosition(lParam));
            return 0;
        case EM_EXSETSEL:
            if (const auto* range = reinterpret_cast<const CHARRANGE*>(lParam))
                setSelection(range->cpMin, range->cpMax);
            return selectionEnd();
        case EM_GETRECT:
            if (auto* rect = reinterpret_cast<RECT*>(lParam)) {
                *rect = RECT{m_margins.left, m_margins.top, m_clientWidth - m_margins.right,
                             m_clientHeight - m_margins.bottom};
            }
            return 0;
        case EM_SETRECT:
        case EM_SETRECTNP:
            if (const auto* rect = reinterpret_cast<const RECT*>(lParam)) {
                setMargins(EditorSides{std::max<int>(0, rect->left), std::max<int>(0, rect->top),
                                       std::max<int>(0, m_clientWidth - rect->right),
                                       std::max<int>(0, m_clientHeight - rect->bottom)});
            }
            return 0;
        case EM_SCROLL:
            return windowProc(window, WM_VSCROLL, wParam, 0);
        case EM_LINESCROLL:
            scrollBy(asPosition(wParam), asPosition(lParam));
            return TRUE;
        case EM_SCROLLCARET:
            scrollCaretIntoView();
            return TRUE;
        case EM_GETMODIFY:
            return modified() ? TRUE : FALSE;
        case EM_SETMODIFY:
            setModified(wParam != 0);
            return 0;
        case EM_GETLINECOUNT:
            return m_layout.totalRows();
        case EM_LINEINDEX: {
            int line = asPosition(wParam);
            if (line == -1) line = m_document.lineOfPosition(selectionStart());
            return m_document.lineStartIfAny(line);
        }
        case EM_GETFIRSTVISIBLELINE:
        case EM_GETTHUMB:
            return m_scroll.firstRow;
        case EM_LINELENGTH: {
            int position = asPosition(wParam);
            if (position < 0) position = selectionStart();
            return m_document.lineLength(m_document.lineOfPosition(std::min(position, m_document.length())));
        }
        case EM_REPLACESEL: {
            const auto* text = reinterpret_cast<LPCWSTR>(lParam);
            replaceSelection(text ? std::u16string_view(text) : std::u16string_view(),
                             wParam ? Recording::On : Recording::Off);
            return 0;
        }
        case EM_GETLINE: {
            auto* buffer = reinterpret_cast<LPWSTR>(lParam);
            if (!buffer) return 0;
            const int size = *reinterpret_cast<const WORD*>(buffer);
            const std::u16string line = m_document.lineText(asPosition(wParam));
            const int count = std::min<int>(size, static_cast<int>(line.size()));
            std::copy_n(line.data(), count, buffer);
            return count;
        }
        case EM_LIMITTEXT:
            m_limit = wParam ? asPosition(wParam) : -1;
            return 0;
        case EM_GETLIMITTEXT:
            return m_limit;
        case EM_CANUNDO:
            return canUndo() ? TRUE : FALSE;
        case EM_EMPTYUNDOBUFFER:
            emptyUndoBuffer();
            return 0;
        case EM_UNDO:
        case WM_UNDO:
            undo();
            return TRUE;
        case EM_REDO:
            redo();
            return TRUE;
        case EM_CANREDO:
            return canRedo() ? TRUE : FALSE;
        case EM_LINEFROMCHAR: {
            int position = asPosition(wParam);
            if (position == -1) position = selectionStart();
            return m_document.lineOfPosition(std::clamp(position, 0, m_document.length()));
        }
        case EM_SETREADONLY:
            setStyle(wParam ? (m_style | ES_READONLY) : (m_style & ~ES_READONLY));
            return TRUE;
        case EM_SETWORDBREAKPROC:
            m_wordBreak = reinterpret_cast<EDITWORDBREAKPROCW>(lParam);
            return 0;
        case EM_GETWORDBREAKPROC:
            return reinterpret_cast<LRESULT>(m_wordBreak);
        case EM_SETMARGINS: {
            EditorSides margins = m_margins;
            if (wParam & EC_LEFTMARGIN) margins.left = LOWORD(static_cast<DWORD_PTR>(lParam));
            if (wParam & EC_RIGHTMARGIN) margins.right = HIWORD(static_cast<DWORD_PTR>(lParam));
            setMargins(margins);
            return 0;
        }
        case EM_GETMARGINS:
            return MAKELRESULT(m_margins.left, m_margins.right);
        case EM_POSFROMCHAR: {
            const POINT point = pointOfPosition(asPosition(wParam));
            return MAKELRESULT(point.x, point.y);
        }
        case EM_CHARFROMPOS: {
            const int position = positionAtPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return MAKELRESULT(std::min(position, 0xFFFF), std::min(m_document.lineOfPosition(position), 0xFFFF));
        }
        case EM_CANPASTE:
            return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT) ? TRUE : FALSE;
        case EM_HIDESELECTION:
            m_hideSelection = wParam != 0;
            invalidateAll();
            return 0;
        case EM_SETBKGNDCOLOR: {
            const COLORREF previous = m_colors.get(ColorSlot::Background);
            setColor(ColorSlot::Background, wParam ? GetSysColor(COLOR_WINDOW) : static_cast<COLORREF>(lParam));
            return previous;
        }
        case EM_SETCHARFORMAT:
            if (const auto* format = reinterpret_cast<const CHARFORMATW*>(lParam)) setCharFormat(*format);
            return TRUE;
        case EM_SETOPTIONS:
        case EM_GETHANDLE:
        case EM_SETHANDLE:
        case EM_FMTLINES:
        case EM_GETPASSWORDCHAR:
            return 0;
        case WM_CUT:
            cut();
            return 0;
        case WM_COPY:
            copy();
            return 0;
        case WM_PASTE:
            paste();
            return 0;
        case WM_CLEAR:
            clearSelection();
            return 0;
        case WM_HSCROLL:
        case WM_VSCROLL:
            return handleScroll(message, wParam);
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
