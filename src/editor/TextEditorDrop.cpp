// Drag and drop in TextEditor: dragging the selection out (to the editor
// itself or to another window), and text and files dropped onto the editor.
#include <algorithm>

#include "editor/DataObject.h"
#include "editor/DropSource.h"
#include "editor/TextEditor.h"

void TextEditor::dragSelectionOut() {
    m_mouseMode = kMouseDraggingOut;
    const int anchor = m_anchor;
    const int caret = m_caret;
    m_drag = DragOut{true, selectionStart(), selectionEnd(), false};
    DataObject data(selectedText());
    DropSource source;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    const DragOut drag = m_drag;
    m_drag = DragOut{};
    stopAutoScroll();
    m_mouseMode = kMouseNone;
    if (drag.droppedHere) return;  // the drop made the whole edit itself
    if (result == DRAGDROP_S_DROP && effect == DROPEFFECT_MOVE && !readOnly()) {
        replaceRange(drag.start, drag.end, u"", Recording::On);
        scrollCaretIntoView();
        return;
    }
    // Dropped elsewhere as a copy, or cancelled: the selection is as it was.
    setSelection(anchor, caret);
}

void TextEditor::onDragEnter() {
    if (!readOnly() && !m_drag.active) m_mouseMode = kMouseDropping;
    if (handle_) SetFocus(handle_);
}

void TextEditor::onDragOver(DWORD keyState, int x, int y, DWORD* effect) {
    if (readOnly()) {
        *effect = DROPEFFECT_NONE;
        return;
    }
    if (m_drag.active) {
        *effect = (keyState & MK_CONTROL) && (*effect & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }
    POINT point{x, y};
    if (handle_) ScreenToClient(handle_, &point);
    m_lastMouse = point;
    updateAutoScroll(point.x, point.y);
    followDrag(point.x, point.y);
}

void TextEditor::onDragLeave() {
    stopAutoScroll();
    if (m_mouseMode == kMouseDropping) m_mouseMode = kMouseNone;
}

HRESULT TextEditor::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    const HRESULT result = DropTarget::Drop(data, keyState, point, effect);
    stopAutoScroll();
    if (m_mouseMode == kMouseDropping) m_mouseMode = kMouseNone;
    return result;
}

HRESULT TextEditor::onDrop(int x, int y, IDataObject* data, DWORD* effect) {
    POINT point{x, y};
    if (handle_) ScreenToClient(handle_, &point);
    const int p = positionAtPoint(point.x, point.y);
    if (readOnly()) {
        setSelection(p, p);
        if (effect) *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    if (m_drag.active) {
        m_drag.droppedHere = true;
        const int start = m_drag.start;
        const int end = m_drag.end;
        const std::u16string dragged = m_document.textRange(start, end);
        const int length = static_cast<int>(dragged.size());
        const bool move = !effect || *effect != DROPEFFECT_COPY;
        if (p >= start && p <= end) {
            // Dropped onto itself (the ends included): nothing moves.
            setSelection(p, p);
        } else if (!move) {
            replaceRange(p, p, dragged, Recording::On);
            setSelection(p, p + length);
        } else if (p > end) {
            // One recorded edit: what lay between the selection and the drop
            // point closes up, and the dragged text lands just before p.
            replaceRange(start, p, m_document.textRange(end, p) + dragged, Recording::On);
            setSelection(p - length, p);
        } else {
            replaceRange(p, end, dragged + m_document.textRange(p, start), Recording::On);
            setSelection(p, p + length);
        }
        scrollCaretIntoView();
        return S_OK;
    }
    const std::u16string text = acceptedText(droppedText(data));
    if (text.empty()) {
        if (effect) *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    replaceRange(p, p, text, Recording::On);
    setSelection(p, p + static_cast<int>(text.size()));
    scrollCaretIntoView();
    if (effect) *effect &= DROPEFFECT_COPY | DROPEFFECT_MOVE;
    return S_OK;
}
