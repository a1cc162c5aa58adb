#include "editor/TextDocument.h"

#include <algorithm>
#include <limits>

#include "text/EncodingCode.h"
#include "text/TextFile.h"

namespace {

constexpr std::size_t kMaxLength = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

// A line not yet laid out by the view.
LineRecord recordAt(int start) {
    LineRecord record;
    record.start = start;
    return record;
}

}  // namespace

TextDocument::TextDocument() { rebuildLines(); }

void TextDocument::rebuildLines() {
    const int n = length();
    m_lines.clear();
    m_lines.reserve(static_cast<std::size_t>(n) / 100 + 2);
    m_lines.push_back(LineRecord{});
    int lone = 0, loneLf = 0, pairs = 0;
    for (int i = 0; i < n; ++i) {
        const char16_t c = m_text[static_cast<std::size_t>(i)];
        if (c == u'\r') {
            if (i + 1 < n && m_text[static_cast<std::size_t>(i) + 1] == u'\n') {
                ++pairs;
                ++i;
            } else {
                ++lone;
            }
        } else if (c == u'\n') {
            ++loneLf;
        } else {
            continue;
        }
        m_lines.push_back(recordAt(i + 1));
    }
    m_lines.push_back(recordAt(n));

    m_endingsFound = 0;
    if (loneLf > 0) m_endingsFound |= line_ending::kLf;
    if (lone > 0) m_endingsFound |= line_ending::kCr;
    if (pairs > 0) m_endingsFound |= line_ending::kCrLf;
    if (lone > loneLf && lone > pairs)
        m_endingInUse = line_ending::kCr;
    else if (loneLf > lone && loneLf > pairs)
        m_endingInUse = line_ending::kLf;
    else
        m_endingInUse = line_ending::kCrLf;
}

std::u16string_view TextDocument::lineEndingText() const {
    switch (m_endingInUse) {
    case line_ending::kCr: return u"\r";
    case line_ending::kLf: return u"\n";
    default: return u"\r\n";
    }
}

bool TextDocument::load(const std::u16string& path) {
    std::u16string loaded;
    const int code = readTextFile(path, loaded, encoding::kDetect);
    if (code < 0 || loaded.size() > kMaxLength) return false;
    m_text = std::move(loaded);
    m_encoding = code;
    m_path = path;
    rebuildLines();
    return true;
}

void TextDocument::clear() {
    m_text.clear();
    rebuildLines();
}

bool TextDocument::save(const std::u16string& path) {
    // A file read as binary holds only the text before its first zero byte,
    // and that encoding writes no body at all: saving would replace the file
    // with a stump.
    if (m_encoding == encoding::kBinary) return false;
    if (!saveTextFile(path, m_text, m_encoding)) return false;
    m_path = path;
    return true;
}

bool TextDocument::setText(std::u16string_view text) {
    if (text.size() > kMaxLength) return false;
    m_text.assign(text);
    rebuildLines();
    return true;
}

void TextDocument::removeLines(int start, int end) {
    if (m_lines.size() < 2 || start >= end) return;
    const auto first = static_cast<std::size_t>(lineOfPosition(start) + 1);
    const std::size_t closing = m_lines.size() - 1;
    std::size_t past = first;
    while (past < closing && m_lines[past].start <= end) ++past;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(first),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(past));
    const int removed = end - start;
    for (std::size_t i = first; i < m_lines.size(); ++i) m_lines[i].start -= removed;
    if (m_lines.size() < 2) m_lines.push_back(recordAt(length()));
}

void TextDocument::insertLines(int position, std::u16string_view inserted) {
    if (m_lines.size() < 2 || inserted.empty()) return;
    const int n = static_cast<int>(inserted.size());
    std::vector<LineRecord> added;
    for (int k = 0; k < n; ++k) {
        const char16_t c = inserted[static_cast<std::size_t>(k)];
        const bool pairedCr = c == u'\r' && k + 1 < n && inserted[static_cast<std::size_t>(k) + 1] == u'\n';
        if ((c == u'\r' && !pairedCr) || c == u'\n') added.push_back(recordAt(position + k + 1));
    }
    const auto after = static_cast<std::size_t>(lineOfPosition(position) + 1);
    for (std::size_t i = after; i < m_lines.size(); ++i) m_lines[i].start += n;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(after), std::make_move_iterator(added.begin()),
                   std::make_move_iterator(added.end()));
    m_lines.back().start = length();
}

void TextDocument::replace(int start, int end, std::u16string_view text) {
    const int n = length();
    start = std::clamp(start, 0, n);
    end = std::clamp(end, start, n);
    if (text.size() > kMaxLength - static_cast<std::size_t>(n - (end - start))) return;
    m_text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), text);
    if (m_lines.empty()) return;  // emptied on purpose; the owner rebuilds it
    removeLines(start, end);
    insertLines(start, text);
    // Inside the new text and beyond it the records are right by
    // construction; only its two edges can split or join a "\r\n" pair.
    const int newEnd = start + static_cast<int>(text.size());
    repairLineStartAt(start);
    if (newEnd != start) repairLineStartAt(newEnd);
}

bool TextDocument::startsLineAt(int position) const {
    const char16_t before = m_text[static_cast<std::size_t>(position) - 1];
    if (before == u'\n') return true;
    if (before != u'\r') return false;
    return position == length() || m_text[static_cast<std::size_t>(position)] != u'\n';
}

std::size_t TextDocument::firstRecordAtOrAfter(int position) const {
    auto found = std::lower_bound(m_lines.begin(), m_lines.end(), position,
                                  [](const LineRecord& record, int value) { return record.start < value; });
    return static_cast<std::size_t>(found - m_lines.begin());
}

void TextDocument::repairLineStartAt(int position) {
    if (position <= 0 || position > length()) return;
    const std::size_t index = firstRecordAtOrAfter(position);
    const std::size_t closing = m_lines.size() - 1;
    const bool present = index < closing && m_lines[index].start == position;
    const bool wanted = startsLineAt(position);
    if (wanted && !present)
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), recordAt(position));
    else if (!wanted && present)
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(index));
}

int TextDocument::lineStart(int line) const {
    if (line < 0 || line >= static_cast<int>(m_lines.size())) return 0;
    return m_lines[static_cast<std::size_t>(line)].start;
}

LineColumn TextDocument::positionToLineColumn(int position) const {
    const int line = lineOfPosition(position);
    return LineColumn{line, position - lineStart(line)};
}

std::u16string TextDocument::textRange(int start, int end) const {
    const int n = length();
    if (n == 0 || start > n) return {};
    start = std::max(start, 0);
    end = std::min(end, n);
    if (end <= start) return {};
    return m_text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

char16_t TextDocument::charAt(int position) const {
    if (position < 0 || position >= length()) return 0;
    return m_text[static_cast<std::size_t>(position)];
}

int TextDocument::copyLine(int line, std::u16string& buffer) const {
    std::u16string text = lineText(line);
    const int n = static_cast<int>(text.size());
    if (n > 0) buffer = std::move(text);
    return n;
}

std::u16string TextDocument::lineText(int line) const {
    if (m_text.empty() || lineStartIfAny(line) < 0) return {};
    return textRange(lineStart(line), lineStart(line + 1));
}

int TextDocument::lineCount() const { return m_lines.empty() ? 0 : static_cast<int>(m_lines.size()) - 1; }

int TextDocument::lineLength(int line) const {
    if (lineStartIfAny(line) < 0) return 0;
    return lineStart(line + 1) - lineStart(line);
}

int TextDocument::lineOfPosition(int value, LineLookup lookup) const {
    if (m_lines.size() < 2) return 0;
    const bool byRow = lookup == LineLookup::ByRow;
    const int lines = static_cast<int>(m_lines.size()) - 1;
    // Rows are compared with the lines only: the closing record's first row
    // is whatever the view left there.
    const int records = byRow ? lines : lines + 1;
    auto key = [&](int i) {
        const LineRecord& record = m_lines[static_cast<std::size_t>(i)];
        return byRow ? record.firstRow : record.start;
    };

    // Coarse pass in steps of up to a thousand records, then a fine pass
    // from the last record that did not overshoot.
    const int step = std::clamp(lines / 100, 1, 1000);
    int i = 0;
    bool exact = false;
    for (;;) {
        if (i >= records) {
            i -= step;
            break;
        }
        const int k = key(i);
        if (k == value) {
            exact = true;
            break;
        }
        if (k > value) {
            i -= step;
            break;
        }
        i += step;
    }
    i = std::max(i, 0);
    if (!exact && step > 1)
        while (i + 1 < records && key(i + 1) <= value) ++i;
    return byRow ? i : std::min(i, lines - 1);
}

int TextDocument::lineStartOfPosition(int position) const {
    if (position < 0 || position > length() || m_lines.empty()) return -1;
    return lineStart(lineOfPosition(position));
}

int TextDocument::lineStartIfAny(int line) const {
    if (line < 0 || line >= lineCount()) return -1;
    return lineStart(line);
}
