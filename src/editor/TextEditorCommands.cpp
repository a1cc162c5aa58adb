// The commands of TextEditor: the context menu and what its items do, the
// output of the selected text to a file, and the input method.
#include <algorithm>

#include "editor/TextEditor.h"
#include "platform/common/FileExtension.h"
#include "text/TextFile.h"
#include "toolkit/Graphics.h"
#include "toolkit/PopupMenu.h"

namespace {

constexpr int kMaxImeResult = 1024;

// The save dialog's filters, and which one a path's extension picks (1-based).
constexpr char16_t kOutputFilters[] = u"Text (*.txt)\0*.txt\0HTML (*.htm,*.html)\0*.htm;*.html\0All file (*.*)\0*.*\0";

DWORD filterIndexFor(const std::u16string& path) {
    const std::u16string extension = veltrix::paths::extensionOf(path);
    if (extension == u".html" || extension == u".htm") return 2;
    return extension.empty() || extension == u".txt" ? 1 : 3;
}

}  // namespace

void TextEditor::buildContextMenu(PopupMenu& menu) {
    const bool writable = !readOnly();
    const bool selection = m_anchor != m_caret;
    const bool clipboardText = IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
    auto state = [](bool on) { return on ? ItemState::Enabled : ItemState::Greyed; };
    menu.addMenuItem(u"&Undo\t\t\tCtrl+Z", kCommandUndo, state(canUndo() && writable));
    menu.addMenuItem(u"&Redo\t\t\tCtrl+Y", kCommandRedo, state(canRedo() && writable));
    menu.addMenuItem(u"", 0);
    menu.addMenuItem(u"Cu&t\t\t\tCtrl+X", kCommandCut, state(selection && writable));
    menu.addMenuItem(u"&Copy\t\t\tCtrl+C", kCommandCopy, state(selection));
    menu.addMenuItem(u"&Paste\t\t\tCtrl+V", kCommandPaste, state(clipboardText && writable));
    menu.addMenuItem(u"&Delete\t\tDel", kCommandDelete, state(selection && writable));
    menu.addMenuItem(u"", 0);
    menu.addMenuItem(u"Select &All\tCtrl+A", kCommandSelectAll, state(m_document.length() > 0));
    menu.addMenuItem(u"", 0);
    menu.addMenuItem(u"Output Selected Text As", kCommandOutputSelection, state(selection));
}

void TextEditor::showContextMenu() {
    if (!handle_) return;
    PopupMenu menu;
    buildContextMenu(menu);
    // Posted, so the command runs once the menu's own loop has ended.
    if (const int command = menu.trackAtPointer(handle_)) PostMessageW(handle_, WM_COMMAND, command, 0);
}

void TextEditor::onCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0 && runCommand(LOWORD(wParam))) return;
    BaseWindow::onCommand(wParam, lParam);
}

bool TextEditor::runCommand(int command) {
    switch (command) {
        case kCommandUndo:
            undo();
            break;
        case kCommandRedo:
            redo();
            break;
        case kCommandCopy:
            copy();
            break;
        case kCommandPaste:
            paste();
            break;
        case kCommandCut:
            cut();
            break;
        case kCommandSelectAll:
            setSelection(0, -1);
            break;
        case kCommandDelete:
            if (readOnly()) break;
            if (m_anchor != m_caret) {
                replaceSelection(u"", Recording::On);
            } else if (m_caret < m_document.length()) {
                const bool pair = m_document.charAt(m_caret) == u'\r' && m_caret + 1 < m_document.length() &&
                                  m_document.charAt(m_caret + 1) == u'\n';
                replaceRange(m_caret, m_caret + (pair ? 2 : 1), u"", Recording::On);
            }
            break;
        case kCommandClearModified:
            setModified(false);
            break;
        case kCommandOutputSelection:
            outputSelectedText();
            break;
        default:
            return false;
    }
    scrollCaretIntoView();
    return true;
}

bool TextEditor::outputSelectedText() {
    if (m_anchor == m_caret) return false;
    const std::u16string& start = m_document.path();
    std::u16string buffer(MAX_PATH, u'\0');
    std::copy_n(start.begin(), std::min<std::size_t>(start.size(), MAX_PATH - 1), buffer.begin());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = handle_;
    dialog.lpstrFilter = kOutputFilters;
    dialog.nFilterIndex = filterIndexFor(start);
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = u"txt";
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return false;
    const std::u16string path(buffer.c_str());
    if (saveTextFile(path, selectedText(), m_document.encoding())) return true;
    MessageBoxW(handle_, (u"The selected text could not be written to " + path + u".").c_str(), u"Veltrix",
                MB_OK | MB_TOPMOST);
    return false;
}

// The input method ---------------------------------------------------------------------------

namespace {

std::u16string compositionString(HIMC context, DWORD index, int limit) {
    const LONG bytes = ImmGetCompositionStringW(context, index, nullptr, 0);
    if (bytes <= 0) return {};
    std::u16string text(static_cast<std::size_t>(bytes) / sizeof(char16_t), u'\0');
    const LONG read = ImmGetCompositionStringW(context, index, text.data(), static_cast<DWORD>(bytes));
    text.resize(static_cast<std::size_t>(std::max<LONG>(0, read)) / sizeof(char16_t));
    if (static_cast<int>(text.size()) > limit) text.resize(static_cast<std::size_t>(limit));
    return text;
}

}  // namespace

bool TextEditor::onImeMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    auto placeCandidates = [this](HIMC context) {
        COMPOSITIONFORM form{};
        form.dwStyle = CFS_POINT;
        form.ptCurrentPos = m_caretPoint;
        ImmSetCompositionWindow(context, &form);
    };
    switch (message) {
        case WM_IME_STARTCOMPOSITION: {
            m_composition.clear();
            if (HIMC context = ImmGetContext(handle_)) {
                placeCandidates(context);
                ImmReleaseContext(handle_, context);
            }
            return true;
        }
        case WM_IME_COMPOSITION: {
            HIMC context = ImmGetContext(handle_);
            if (!context) return true;
            if (lParam & GCS_RESULTSTR) {
                const std::u16string committed = acceptedText(compositionString(context, GCS_RESULTSTR, kMaxImeResult));
                m_composition.clear();
                if (!readOnly() && !committed.empty()) {
                    replaceSelection(committed, Recording::On);
                    scrollCaretIntoView();
                }
                placeCandidates(context);
                invalidateAll();
            }
            if (lParam & GCS_COMPSTR) {
                m_composition = compositionString(context, GCS_COMPSTR, kMaxImeResult);
                if (readOnly()) m_composition.clear();
                m_compositionCursor = std::clamp<int>(ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0), 0,
                                                      static_cast<int>(m_composition.size()));
                placeCandidates(context);
                invalidateAll();
            }
            ImmReleaseContext(handle_, context);
            return true;
        }
        case WM_IME_ENDCOMPOSITION:
            m_composition.clear();
            invalidateAll();
            return true;
        case WM_IME_REQUEST: {
            if (wParam != IMR_RECONVERTSTRING && wParam != IMR_CONFIRMRECONVERTSTRING) return false;
            // The selection, or the caret's line without its line break.
            int start = selectionStart();
            int end = selectionEnd();
            if (start == end) {
                const int line = m_document.lineOfPosition(m_caret);
                start = m_document.lineStart(line);
                end = line + 1 < m_document.lineCount() ? m_document.lineStart(line + 1) : m_document.length();
                while (end > start && (m_document.charAt(end - 1) == u'\n' || m_document.charAt(end - 1) == u'\r'))
                    --end;
            }
            auto* request = reinterpret_cast<RECONVERTSTRING*>(lParam);
            if (wParam == IMR_CONFIRMRECONVERTSTRING) {
                if (!request) return true;
                const int from =
                    std::clamp(start + static_cast<int>(request->dwCompStrOffset / sizeof(char16_t)), start, end);
                setSelection(from, std::min(end, from + static_cast<int>(request->dwCompStrLen)));
                result = TRUE;
                return true;
            }
            const std::u16string offered = m_document.textRange(start, end);
            const DWORD size = static_cast<DWORD>(sizeof(RECONVERTSTRING) + (offered.size() + 1) * sizeof(char16_t));
            result = size;
            if (!request) return true;
            if (request->dwSize < size) {
                result = 0;
                return true;
            }
            const DWORD length = static_cast<DWORD>(offered.size());
            *request = RECONVERTSTRING{size, 0, length, sizeof(RECONVERTSTRING), length, 0, length, 0};
            auto* text = reinterpret_cast<char16_t*>(request + 1);
            std::copy(offered.begin(), offered.end(), text);
            text[offered.size()] = 0;
            return true;
        }
        default:
            return false;
    }
}
