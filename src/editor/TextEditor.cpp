#include "editor/TextEditor.h"

#include <algorithm>
#include <cstring>

#include "platform/common/AsciiCase.h"
#include "toolkit/Graphics.h"

bool hasPictureExtension(const std::u16string& path) {
    const std::u16string lower = veltrix::ascii::toLower(path);
    for (const char16_t* extension : {u".bmp", u".png", u".gif", u".jpg", u".jpeg"}) {
        if (lower.find(extension) != std::u16string::npos) return true;
    }
    return false;
}

TextEditor::TextEditor() {
    m_measureDc.reset(CreateCompatibleDC(nullptr));
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font_, &font_);
    // The toolkit's colour fields mirror the editor's own slots.
    background_ = m_colors.get(ColorSlot::Background);
    foreground_ = m_colors.get(ColorSlot::Text);
    font_.lfWidth = 0;
    rebuildFont();
    resetText();
    acceptFormat(CF_UNICODETEXT);
    acceptFormat(CF_TEXT);
    acceptFormat(CF_HDROP);
}

TextEditor::~TextEditor() {
    // The window goes first, while the members its last messages touch live.
    destroyWindow();
}

void TextEditor::registerEditorClass() {
    if (!className_.empty()) return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &BaseWindow::toolkitWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    windowClass.lpszClassName = kClassName;
    // Every editor shares the class; the second registration fails harmlessly.
    RegisterClassExW(&windowClass);
    className_ = kClassName;
}

bool TextEditor::create(HWND parent) { return createAt(parent, 0, 0, 0, 0); }

bool TextEditor::createAt(HWND parent, int x, int y, int width, int height) {
    destroyWindow();
    resetText();
    registerEditorClass();
    HWND window = CreateWindowExW(0, kClassName, u"", m_style, x, y, width, height, parent, nullptr, nullptr, this);
    return window != nullptr;
}

bool TextEditor::onCreate() {
    registerDropTarget(handle_);
    return false;
}

bool TextEditor::onFilesDropped(const std::vector<std::u16string>& paths) {
    if (paths.size() != 1) return true;
    if (hasPictureExtension(paths.front())) {
        setBackgroundImage(paths.front());
    } else if (!openFile(paths.front())) {
        // The text stays as it was; the user hears why nothing happened.
        MessageBoxW(handle_, (u"The file could not be read:\n" + paths.front()).c_str(), u"Veltrix",
                    MB_OK | MB_TOPMOST);
    }
    return true;
}

LRESULT TextEditor::onSize(WPARAM type, LPARAM size) {
    if (type != SIZE_MINIMIZED) resizeView(GET_X_LPARAM(size), GET_Y_LPARAM(size));
    return 0;
}

void TextEditor::resetText() {
    m_document.clear();
    m_history.reset();
    m_anchor = m_caret = 0;
    m_scroll = TextScrollBar{};
    m_layout.layoutAll();
    updateScrollRanges();
}

// The edit step ------------------------------------------------------------------------------

void TextEditor::replaceRange(int start, int end, std::u16string_view text, Recording recording) {
    const int length = m_document.length();
    if (start < 0 || start > length) start = 0;
    if (end > length || end < start) end = length;
    const bool wasModified = modified();
    if (!readOnly() && recording == Recording::On) {
        EditRecord record;
        record.kind = start == end ? EditRecord::Kind::Insert : EditRecord::Kind::Replace;
        record.position = start;
        record.caretBefore = m_caret;
        record.newText = std::u16string(text);
        if (start != end) record.oldText = m_document.textRange(start, end);
        m_history.record(std::move(record));
    } else if (start != end || !text.empty()) {
        m_history.forget();
    }
    if (modified() != wasModified) notifyModifiedChanged();
    applyEdit(start, end, text);
}

void TextEditor::applyEdit(int start, int end, std::u16string_view text) {
    const int rowsBefore = m_layout.totalRows();
    const int firstRow = m_layout.rowOfPosition(start);
    const int linesBefore = m_document.lineCount();
    m_document.replace(start, end, text);
    const int newEnd = start + static_cast<int>(text.size());
    const int firstLine = m_document.lineOfPosition(start);
    m_layout.linesReplaced(firstLine, m_document.lineCount() - linesBefore);
    const int lastLine = m_document.lineOfPosition(newEnd) + 2;
    // Every line the edit touched gets a layout that fits its new text: its
    // old wrap list may describe a line that no longer exists.
    if (canWrap()) {
        m_layout.relayout(firstLine, lastLine);
    } else {
        m_layout.unwrap(firstLine, lastLine);
    }
    updateScrollRanges();
    if (m_layout.totalRows() != rowsBefore) {
        invalidateAll();
    } else {
        // The rest of the last re-laid line may have moved between its rows.
        const int last = std::min(lastLine, m_document.lineCount() - 1);
        const LineTable& lines = m_document.lines();
        invalidateRows(firstRow, lines.firstRow(last) + lines.rowCount(last) - 1);
    }
    m_anchor = m_caret = newEnd;
    placeCaret();
    m_desiredX = m_caretPoint.x;
    if (m_listener) m_listener->textChanged(*this);
    notifyCommand(EN_UPDATE);
}

void TextEditor::replaceSelection(std::u16string_view text, Recording recording) {
    replaceRange(selectionStart(), selectionEnd(), text, recording);
}

void TextEditor::setText(std::u16string_view text) {
    if (handle_ && text.size() > 10000) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    replaceRange(0, m_document.length(), text, Recording::On);
    setSelection(0, 0);
    if (handle_ && text.size() > 10000) SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
}

bool TextEditor::openFile(const std::u16string& path) {
    if (!m_document.load(path)) return false;
    m_scroll = TextScrollBar{};
    m_anchor = m_caret = 0;
    m_desiredX = 0;
    m_mouseMode = kMouseNone;
    relayoutAll();
    DWORD attributes = GetFileAttributesW(path.c_str());
    const bool fileReadOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    setStyle(fileReadOnly ? (m_style | ES_READONLY) : (m_style & ~ES_READONLY));
    m_history.reset();
    // The listener and the parent hear of the fresh, unmodified state even
    // when the editor was unmodified before.
    notifyModifiedChanged();
    invalidateAll();
    placeCaret();
    return true;
}

void TextEditor::undo() {
    const bool wasModified = modified();
    auto replay = m_history.undo();
    if (!replay) return;
    applyEdit(replay->start, replay->end, replay->text);
    setSelection(replay->caret, replay->caret);
    if (modified() != wasModified) notifyModifiedChanged();
}

void TextEditor::redo() {
    const bool wasModified = modified();
    auto replay = m_history.redo();
    if (!replay) return;
    applyEdit(replay->start, replay->end, replay->text);
    setSelection(replay->caret, replay->caret);
    if (modified() != wasModified) notifyModifiedChanged();
}

// Selection and state -----------------------------------------------------------------------------

void TextEditor::setSelection(int anchor, int caret) {
    const int length = m_document.length();
    auto clampEnd = [length](int value) { return value < 0 || value > length ? length : value; };
    anchor = clampEnd(anchor);
    caret = clampEnd(caret);
    const int from = std::min({m_anchor, m_caret, anchor, caret});
    const int to = std::max({m_anchor, m_caret, anchor, caret});
    m_anchor = anchor;
    m_caret = caret;
    invalidatePositions(from, to);
    placeCaret();
}

std::u16string TextEditor::selectedText() const { return m_document.textRange(selectionStart(), selectionEnd()); }

void TextEditor::setModified(bool modified) {
    const bool wasModified = this->modified();
    if (modified) {
        m_history.markUnsaved();
    } else {
        m_history.markSaved();
    }
    if (this->modified() != wasModified) notifyModifiedChanged();
}

void TextEditor::notifyModifiedChanged() {
    if (m_listener) m_listener->modifiedChanged(*this);
    notifyCommand(EN_CHANGE);
}

void TextEditor::setStyle(DWORD style) {
    m_style = style;
    m_hideSelection = (style & ES_NOHIDESEL) == 0;
    m_wordWrap = (style & WS_HSCROLL) == 0;
    if (!(style & ES_MULTILINE)) {
        m_wordWrap = false;
        m_justify = false;
    }
    m_layout.setJustify(m_justify ? Justify::On : Justify::Off);
    if (handle_) {
        SetWindowLongW(handle_, GWL_STYLE, static_cast<LONG>(style));
        relayoutAll();
        invalidateAll();
    }
}

void TextEditor::fieldMode() {
    setStyle(m_style & ~(WS_VSCROLL | ES_NOHIDESEL | ES_MULTILINE));
    m_padding = EditorSides{};
    m_margins = EditorSides{4, 2, 4, 0};
    m_border = true;
    relayoutAll();
    invalidateAll();
}

void TextEditor::setJustify(Justify justify) {
    m_justify = justify == Justify::On && multiLine();
    m_layout.setJustify(m_justify ? Justify::On : Justify::Off);
    invalidateAll();
}

void TextEditor::setEndOfLineMarks(bool on) {
    m_endOfLineMarks = on;
    invalidateAll();
}

void TextEditor::setBorder(bool on) {
    m_border = on;
    invalidateAll();
}

void TextEditor::setColor(ColorSlot slot, COLORREF colour) {
    m_colors.set(slot, colour);
    invalidateAll();
}

void TextEditor::setLineSpacing(int pixels) {
    m_lineSpacing = std::clamp(pixels, 0, 200);
    updateScrollRanges();
    invalidateAll();
}

void TextEditor::setFont(const LOGFONTW& font) {
    font_ = font;
    rebuildFont();
    relayoutAll();
    invalidateAll();
    placeCaret();
}

void TextEditor::rebuildFont() {
    UniqueFont font(CreateFontIndirectW(&font_));
    if (!font) return;
    m_measureSelection.select(m_measureDc.get(), font.get());
    m_font = std::move(font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(m_measureDc.get(), &metrics);
    m_fontHeight = std::max<int>(1, metrics.tmHeight);
    m_averageWidth = std::max<int>(1, metrics.tmAveCharWidth);
    HDC dc = m_measureDc.get();
    m_widths.reset(
        [dc](std::u16string_view character) {
            SIZE size{};
            GetTextExtentPoint32W(dc, character.data(), static_cast<int>(character.size()), &size);
            return static_cast<int>(size.cx);
        },
        8 * m_averageWidth);
}

void TextEditor::setMargins(const EditorSides& margins) {
    m_margins = margins;
    relayoutAll();
    invalidateAll();
}

void TextEditor::setPadding(const EditorSides& padding) {
    auto valid = [](int percent) { return percent >= 1 && percent <= 79 ? percent : 0; };
    m_padding = {valid(padding.left), valid(padding.top), valid(padding.right), valid(padding.bottom)};
    applyMargins();
    relayoutAll();
    invalidateAll();
}

void TextEditor::applyMargins() {
    if (m_padding.left) m_margins.left = m_clientWidth * m_padding.left / 100;
    if (m_padding.right) m_margins.right = m_clientWidth * m_padding.right / 100;
    if (m_padding.top) m_margins.top = m_clientHeight * m_padding.top / 100;
    if (m_padding.bottom) m_margins.bottom = m_clientHeight * m_padding.bottom / 100;
}

bool TextEditor::setBackgroundImage(const std::u16string& path) {
    if (path.empty()) {
        m_background.release();
        invalidateAll();
        return true;
    }
    if (!hasPictureExtension(path)) return false;
    Bitmap picture;
    if (!picture.loadImage(path, 32)) return false;
    // The picture is a backdrop: none of its pixels is a hole.
    picture.setTransparent(false);
    m_background = picture;
    m_background.setTransparent(false);
    invalidateAll();
    return true;
}

// Layout and scrolling ----------------------------------------------------------------------------

int TextEditor::textAreaRight() const { return m_clientWidth - m_margins.right - scrollBarWidth(); }

int TextEditor::textAreaHeight() const { return std::max(0, m_clientHeight - m_margins.top - m_margins.bottom); }

void TextEditor::relayoutAll() {
    m_layout.setWrapWidth(m_wordWrap ? std::max(1, textAreaWidth()) : TextLayout::kNoWrapWidth);
    // Too narrow to show anything (a window still being made or folded
    // away): the lines keep the rows they have, which fit their texts.
    if (canWrap()) {
        if (!handle_) {
            m_layout.layoutAll();  // no window, no timer to finish a started layout
        } else {
            m_layout.startLayout();
            if (m_layout.layoutPending()) {
                keepingFirstLine([this] { layOutShownRows(m_scroll.firstRow); });
                SetTimer(handle_, kLayoutTimer, 1, nullptr);
            }
        }
    }
    updateScrollRanges();
}

template <typename Change>
void TextEditor::keepingFirstLine(Change change) {
    if (m_document.lineCount() == 0) {
        change();
        return;
    }
    const LineTable& lines = m_document.lines();
    const int line = m_layout.lineOfRow(m_scroll.firstRow);
    const int rowInLine = m_scroll.firstRow - lines.firstRow(line);
    change();
    if (line < m_document.lineCount())
        m_scroll.firstRow = lines.firstRow(line) + std::clamp(rowInLine, 0, lines.rowCount(line) - 1);
}

bool TextEditor::layOutShownRows(int firstRow) {
    if (!m_layout.layoutPending()) return false;
    const int visible = std::max(1, textAreaHeight() / std::max(1, rowHeight()));
    return m_layout.layOutRows(firstRow, visible + 1);
}

void TextEditor::continueLayout() {
    keepingFirstLine([this] {
        if (!m_layout.layOutMore()) KillTimer(handle_, kLayoutTimer);
    });
    updateScrollRanges();
    placeCaret();
    // The rows on show were laid out before they showed; only the bar moves.
    if (handle_ && hasVerticalBar()) {
        RECT bar{m_clientWidth - scrollBarWidth(), 0, m_clientWidth, m_clientHeight};
        InvalidateRect(handle_, &bar, FALSE);
    }
}

void TextEditor::updateScrollRanges() {
    m_scroll.totalRows = m_layout.totalRows();
    m_scroll.visibleRows = std::max(1, textAreaHeight() / std::max(1, rowHeight()));
    m_scroll.textWidth = textAreaWidth();
    m_scroll.widestRow = m_wordWrap ? 0 : m_layout.widestRow();
    m_scroll.clamp();
}

void TextEditor::scrollBy(int columns, int rows) {
    const int beforeOffset = m_scroll.horizontalOffset;
    const int moved = m_scroll.scrollBy(m_wordWrap ? 0 : columns * m_averageWidth, rows);
    if (moved != 0 || beforeOffset != m_scroll.horizontalOffset) {
        // The canvas is repainted whole: a shift of the window contents would
        // save little next to painting the few rows that show.
        invalidateAll();
        placeCaret();
    }
}

void TextEditor::scrollToRow(int row) {
    const int before = m_scroll.firstRow;
    scrollBy(0, row - m_scroll.firstRow);
    if (m_scroll.firstRow != before) notifyCommand(EN_VSCROLL);
}

void TextEditor::scrollCaretIntoView() {
    // The rows round the caret are laid out before they are counted, or the
    // caret could land below the view once they are.
    if (m_layout.layoutPending()) {
        const int line = m_document.lineOfPosition(m_caret);
        const int visible = std::max(1, m_scroll.visibleRows);
        keepingFirstLine([&] { m_layout.layOutLines(line - visible, line + visible); });
        updateScrollRanges();
    }
    const int row = m_layout.rowOfPosition(m_caret);
    const RowSpan span = m_layout.rowSpan(row);
    const int x = m_layout.xOfPosition(span, m_caret);
    const int pixels = m_wordWrap ? 0 : m_scroll.pixelsToReveal(x);
    const int rows = m_scroll.rowsToReveal(row);
    if (rows == 0 && pixels == 0) return;
    const int beforeOffset = m_scroll.horizontalOffset;
    const int moved = m_scroll.scrollBy(pixels, rows);
    if (moved != 0 || beforeOffset != m_scroll.horizontalOffset) {
        invalidateAll();
        placeCaret();
    }
}

void TextEditor::scrollCaretToQuarter() {
    const int rows = m_scroll.rowsToQuarter(m_layout.rowOfPosition(m_caret));
    if (rows > 100 || rows < -100) {
        scrollBy(0, rows);
        return;
    }
    const int step = rows > 0 ? 1 : -1;
    for (int i = 0; i != rows; i += step) {
        scrollBy(0, step);
        if (handle_) UpdateWindow(handle_);
    }
}

POINT TextEditor::pointOfPosition(int position) {
    position = std::clamp(position, 0, m_document.length());
    const int row = m_layout.rowOfPosition(position);
    const RowSpan span = m_layout.rowSpan(row);
    POINT point;
    point.x = textAreaLeft() + m_layout.xOfPosition(span, position) - m_scroll.horizontalOffset;
    point.y = m_margins.top + (row - m_scroll.firstRow) * rowHeight();
    return point;
}

int TextEditor::positionAtPoint(int x, int y) {
    const int height = std::max(1, rowHeight());
    const int offsetY = y - m_margins.top;
    // Floor division: a point above the top margin is on the row above.
    int row = m_scroll.firstRow + (offsetY >= 0 ? offsetY / height : -((-offsetY + height - 1) / height));
    row = std::clamp(row, 0, std::max(0, m_layout.totalRows() - 1));
    x = std::clamp(x, textAreaLeft(), std::max(textAreaLeft(), textAreaRight()));
    const RowSpan span = m_layout.rowSpan(row);
    return m_layout.positionAtX(span, x - textAreaLeft() + m_scroll.horizontalOffset);
}

void TextEditor::placeCaret() {
    m_caretPoint = pointOfPosition(m_caret);
    if (m_listener) m_listener->caretMoved(*this);
}

void TextEditor::invalidateAll() {
    if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void TextEditor::invalidateRows(int firstRow, int lastRow) {
    if (!handle_) return;
    const int top = m_margins.top + (firstRow - m_scroll.firstRow) * rowHeight();
    const int bottom = m_margins.top + (lastRow + 1 - m_scroll.firstRow) * rowHeight();
    if (bottom <= 0 || top >= m_clientHeight) return;
    RECT rect{0, std::max(0, top), m_clientWidth, std::min(m_clientHeight, bottom)};
    InvalidateRect(handle_, &rect, FALSE);
}

void TextEditor::invalidatePositions(int from, int to) {
    invalidateRows(m_layout.rowOfPosition(from), m_layout.rowOfPosition(to));
}

void TextEditor::notifyCommand(WORD code) {
    if (!handle_) return;
    HWND parent = GetParent(handle_);
    if (parent) SendMessageW(parent, WM_COMMAND, MAKEWPARAM(0, code), reinterpret_cast<LPARAM>(handle_));
}
