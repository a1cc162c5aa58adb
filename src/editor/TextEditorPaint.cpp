// Painting of TextEditor: every row into one off-screen picture, which the
// window procedure copies to the screen in one block transfer.
#include <algorithm>
#include <array>

#include "editor/TextEditor.h"
#include "editor/regex/RegexPattern.h"
#include "platform/common/Unicode.h"
#include "toolkit/Graphics.h"

namespace {

// The end-of-line marks, six rows of six pixels each ('#' set).
using Mark = std::array<const char*, 6>;
constexpr Mark kCrLfMark{".....#", "..#..#", ".#...#", "#####.", ".#....", "..#..."};
constexpr Mark kCrMark{"......", "..#...", ".#....", "######", ".#....", "..#..."};
constexpr Mark kLfMark{"..#...", "..#...", "..#...", "#.#.#.", ".###..", "..#..."};

constexpr COLORREF kForeignBreakBox = RGB(255, 96, 32);
constexpr COLORREF kSurrogateBox = RGB(232, 158, 185);
constexpr COLORREF kBorder = RGB(150, 170, 250);

void fill(HDC dc, int x, int y, int width, int height, COLORREF colour) {
    if (width <= 0 || height <= 0) return;
    SetBkColor(dc, colour);
    RECT rect{x, y, x + width, y + height};
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void drawMark(Bitmap& target, const Mark& mark, int x, int y, COLORREF colour) {
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 6; ++column) {
            const int px = x + column;
            const int py = y + row;
            if (mark[static_cast<std::size_t>(row)][column] != '#') continue;
            if (px < 0 || py < 0 || px >= target.getWidth() || py >= target.getHeight()) continue;
            target.setPixel(px, py, colour);
        }
    }
}

// Draws text at the advances the layout gave each character. Pieces between
// blanks whose natural width already equals the sum of their advances are
// drawn whole, which is much cheaper than placing every glyph on its own;
// the others are placed character by character.
void drawRun(HDC dc, int x, int y, const std::u16string& shown, const std::vector<INT>& advances) {
    std::size_t i = 0;
    while (i < shown.size()) {
        if (shown[i] == u' ') {
            x += advances[i++];
            continue;
        }
        std::size_t j = i;
        int width = 0;
        while (j < shown.size() && shown[j] != u' ') width += advances[j++];
        const int count = static_cast<int>(j - i);
        SIZE natural{};
        GetTextExtentPoint32W(dc, shown.data() + i, count, &natural);
        ExtTextOutW(dc, x, y, 0, nullptr, shown.data() + i, static_cast<UINT>(count),
                    natural.cx == width ? nullptr : advances.data() + i);
        x += width;
        i = j;
    }
}

}  // namespace

void TextEditor::paint(Graphics& graphics) { paint(graphics, RECT{0, 0, m_clientWidth, m_clientHeight}); }

void TextEditor::paint(Graphics& graphics, const RECT& area) {
    HDC dc = graphics.dc();
    const int width = graphics.image().getWidth();
    const int height = graphics.image().getHeight();
    const COLORREF background = m_colors.get(ColorSlot::Background);
    // The highlight's searches of this paint start afresh with one budget.
    m_lineMatches = LineMatches{};
    m_paintBudget = m_findPattern.makeBudget();
    SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    fill(dc, 0, 0, width, height, background);
    const bool overPicture = !m_background.empty();
    if (overPicture) {
        const int pictureWidth = width - scrollBarWidth();
        graphics.drawBitmap(m_background, Rect{0, 0, pictureWidth, height},
                            Rect{0, 0, m_background.getWidth(), m_background.getHeight()});
    }
    SelectObject(dc, m_font.get());  // RestoreDC below puts the picture's own font back
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    IntersectClipRect(dc, 0, 0, std::max(0, m_clientWidth - scrollBarWidth()), height);
    const int rows = m_layout.totalRows();
    const int rowPixels = std::max(1, rowHeight());
    for (int row = m_scroll.firstRow; row < rows; ++row) {
        const int y = m_margins.top + (row - m_scroll.firstRow) * rowPixels;
        if (y >= height || y >= area.bottom) break;
        if (y + rowPixels <= area.top) continue;
        paintRow(graphics, row, y, overPicture);
    }
    paintComposition(graphics);
    paintCaret(graphics);
    RestoreDC(dc, -1);
    paintScrollIndicator(graphics);
    if (m_border) {
        const UniqueBrush frame(CreateSolidBrush(kBorder));
        RECT rect{0, 0, width, height};
        FrameRect(dc, &rect, frame.get());
    }
}

void TextEditor::characterAttributes(const RowSpan& span, std::vector<COLORREF>& text, std::vector<COLORREF>& back) {
    const int count = span.end - span.start;
    text.assign(static_cast<std::size_t>(count), m_colors.get(ColorSlot::Text));
    back.assign(static_cast<std::size_t>(count), m_colors.get(ColorSlot::Background));
    auto mark = [&](int from, int to, COLORREF foreground, COLORREF background) {
        from = std::max(from, span.start);
        to = std::min(to, span.end);
        for (int i = from; i < to; ++i) {
            text[static_cast<std::size_t>(i - span.start)] = foreground;
            back[static_cast<std::size_t>(i - span.start)] = background;
        }
    };
    if (!m_findText.empty()) {
        const COLORREF findText = m_colors.get(ColorSlot::FindText);
        const COLORREF findBack = m_colors.get(ColorSlot::FindBackground);
        const int lineStart = m_document.lineStart(span.line);
        const int lineEnd = m_document.lineStart(span.line + 1);
        if (m_findFlags & kFindRegex) {
            for (const auto& [start, end] : lineMatches(span.line, span.end - lineStart)) {
                if (start >= span.end - lineStart) break;
                mark(lineStart + start, lineStart + end, findText, findBack);
            }
        } else {
            // Occurrences that reach into this row from the row before count too.
            const int findLength = static_cast<int>(m_findText.size());
            const int from = std::max(lineStart, span.start - findLength + 1);
            const std::u16string_view window = m_document.view(from, std::min(lineEnd, span.end + findLength - 1));
            for (std::size_t at = window.find(m_findText); at != std::u16string_view::npos;
                 at = window.find(m_findText, at + 1)) {
                mark(from + static_cast<int>(at), from + static_cast<int>(at) + findLength, findText, findBack);
            }
        }
    }
    if (!(m_hideSelection && !m_focused)) {
        mark(selectionStart(), selectionEnd(), m_colors.get(ColorSlot::HighlightText),
             m_colors.get(ColorSlot::Highlight));
    }
}

void TextEditor::paintRow(Graphics& graphics, int row, int y, bool overPicture) {
    HDC dc = graphics.dc();
    const RowSpan span = m_layout.rowSpan(row);
    const COLORREF background = m_colors.get(ColorSlot::Background);
    std::vector<COLORREF> foreground;
    std::vector<COLORREF> backs;
    characterAttributes(span, foreground, backs);
    const int space = m_layout.spaceWidth(span);
    // Taken last: the views above may move the text's storage.
    const std::u16string_view shownText = m_document.view(span.start, span.end);
    const int left = textAreaLeft() - m_scroll.horizontalOffset;
    const int rightEdge = textAreaRight();
    const int height = rowHeight();
    std::vector<INT> advances;
    std::u16string shown;
    int x = 0;  // from the row's left edge
    SetBkMode(dc, TRANSPARENT);
    for (int i = span.start; i < span.end;) {
        const auto index = static_cast<std::size_t>(i - span.start);
        const COLORREF runText = foreground[index];
        const COLORREF runBack = backs[index];
        int j = i;
        const int runX = x;
        shown.clear();
        advances.clear();
        std::vector<int> surrogates;
        while (j < span.end && foreground[static_cast<std::size_t>(j - span.start)] == runText &&
               backs[static_cast<std::size_t>(j - span.start)] == runBack) {
            const char16_t c = shownText[static_cast<std::size_t>(j - span.start)];
            const int next = m_layout.advance(c, x, space);
            const bool blank = c == u'\t' || c == u'\u3000' || c == u' ';
            const bool surrogate = veltrix::unicode::isSurrogate(c);
            if (surrogate) surrogates.push_back(x);
            shown.push_back(blank || surrogate ? u' ' : c);
            advances.push_back(next - x);
            x = next;
            ++j;
            if (left + x > rightEdge + 64) break;  // the rest of the row is not visible
        }
        const int runLeft = left + runX;
        if (!(overPicture && runBack == background)) fill(dc, runLeft, y, x - runX, height, runBack);
        if (runLeft < rightEdge && left + x > 0) {
            SetTextColor(dc, runText);
            drawRun(dc, runLeft, y, shown, advances);
        }
        for (int sx : surrogates) {
            const int cell = m_widths.width(u'\u3000');
            fill(dc, left + sx, y, cell, m_fontHeight, kSurrogateBox);
            fill(dc, left + sx + 2, y + 2, cell - 4, m_fontHeight - 4, runText);
        }
        i = j;
        if (left + x > rightEdge + 64) return;
    }
    if (span.lastOfLine) paintLineEnd(graphics, span, left + x, y);
}

void TextEditor::paintLineEnd(Graphics& graphics, const RowSpan& span, int x, int y) {
    const int lineEnd = m_document.lineStart(span.line + 1);
    if (lineEnd == span.end) return;  // the last line has no break
    std::uint32_t kind = line_ending::kLf;
    const Mark* mark = &kLfMark;
    if (m_document.charAt(span.end) == u'\r') {
        const bool pair = span.end + 1 < lineEnd && m_document.charAt(span.end + 1) == u'\n';
        kind = pair ? line_ending::kCrLf : line_ending::kCr;
        mark = pair ? &kCrLfMark : &kCrMark;
    }
    Bitmap& target = graphics.image().bitmap();
    if (kind != m_document.lineEnding()) {
        // A break unlike the document's own is shown whether or not marks are on.
        fill(graphics.dc(), x, y + m_fontHeight - 8, 8, 8, kForeignBreakBox);
        drawMark(target, *mark, x + 1, y + m_fontHeight - 7, RGB(255, 255, 255));
    } else if (m_endOfLineMarks) {
        drawMark(target, *mark, x + 1, y + m_fontHeight - 7, m_colors.get(ColorSlot::EndOfLine));
    }
}

// The input method's text being composed, over the text at the caret and
// underlined, so the learner sees the reading where it will go.
void TextEditor::paintComposition(Graphics& graphics) {
    if (m_composition.empty()) return;
    HDC dc = graphics.dc();
    SIZE size{};
    GetTextExtentPoint32W(dc, m_composition.data(), static_cast<int>(m_composition.size()), &size);
    const int x = m_caretPoint.x;
    const int y = m_caretPoint.y;
    const COLORREF text = m_colors.get(ColorSlot::Text);
    fill(dc, x, y, size.cx + 2, m_fontHeight + 2, m_colors.get(ColorSlot::Background));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    ExtTextOutW(dc, x, y, 0, nullptr, m_composition.data(), static_cast<UINT>(m_composition.size()), nullptr);
    fill(dc, x, y + m_fontHeight, size.cx, 1, text);
}

void TextEditor::paintCaret(Graphics& graphics) {
    if (!m_focused) return;
    int x = m_caretPoint.x;
    if (m_compositionCursor > 0 && !m_composition.empty()) {
        // Inside the reading being composed, where the input method says.
        SIZE size{};
        GetTextExtentPoint32W(graphics.dc(), m_composition.data(), m_compositionCursor, &size);
        x += size.cx;
    }
    fill(graphics.dc(), x, m_caretPoint.y, 2, m_fontHeight + 2, m_colors.get(ColorSlot::Text));
}

void TextEditor::paintScrollIndicator(Graphics& graphics) {
    if (!hasVerticalBar()) return;
    const int bar = scrollBarWidth();
    const int height = graphics.image().getHeight();
    const int x = m_clientWidth - bar;
    fill(graphics.dc(), x, 0, bar, height, m_colors.get(ColorSlot::LineBackground));
    const TextScrollBar::Thumb thumb = m_scroll.thumb(m_clientHeight);
    if (thumb.height == 0) return;
    fill(graphics.dc(), x + 4, thumb.top + 2, bar - 8, thumb.height - 4, m_colors.get(ColorSlot::EndOfLine));
}
