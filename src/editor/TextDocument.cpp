#include "editor/TextDocument.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "text/EncodingCode.h"
#include "text/TextFile.h"

namespace {

constexpr std::size_t kMaxLength = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

// Whether any of the four code units in block is below 14 ("\r" is 13, "\n"
// 10): most of a text is skipped four units at a time.
bool mayHoldBreak(std::uint64_t block) {
    constexpr std::uint64_t kOnes = 0x0001000100010001ULL;
    constexpr std::uint64_t kHighs = 0x8000800080008000ULL;
    return ((block - 14 * kOnes) & ~block & kHighs) != 0;
}

}  // namespace

TextDocument::TextDocument() { rebuildLines(u""); }

void TextDocument::rebuildLines(std::u16string_view text) {
    const int n = static_cast<int>(text.size());
    const char16_t* units = text.data();
    std::vector<int> starts;
    starts.reserve(static_cast<std::size_t>(n) / 64 + 2);
    starts.push_back(0);
    int lone = 0, loneLf = 0, pairs = 0;
    for (int i = 0; i < n; ++i) {
        if (i + 4 <= n) {
            std::uint64_t block;
            std::memcpy(&block, units + i, sizeof block);
            if (!mayHoldBreak(block)) {
                i += 3;
                continue;
            }
        }
        const char16_t c = units[i];
        if (c == u'\r') {
            if (i + 1 < n && units[i + 1] == u'\n') {
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
        starts.push_back(i + 1);
    }
    starts.push_back(n);
    m_lines.assign(std::move(starts));

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
        case line_ending::kCr:
            return u"\r";
        case line_ending::kLf:
            return u"\n";
        default:
            return u"\r\n";
    }
}

bool TextDocument::load(const std::u16string& path) {
    std::u16string loaded;
    const int code = readTextFile(path, loaded, encoding::kDetect);
    if (code < 0 || loaded.size() > kMaxLength) return false;
    rebuildLines(loaded);
    m_text.assign(std::move(loaded));
    m_encoding = code;
    m_path = path;
    return true;
}

void TextDocument::clear() {
    m_text.clear();
    rebuildLines(u"");
}

bool TextDocument::save(const std::u16string& path) {
    // A file read as binary holds only the text before its first zero byte,
    // and that encoding writes no body at all: saving would replace the file
    // with a stump.
    if (m_encoding == encoding::kBinary) return false;
    if (!saveTextFile(path, text(), m_encoding)) return false;
    m_path = path;
    return true;
}

bool TextDocument::setText(std::u16string_view text) {
    if (text.size() > kMaxLength) return false;
    rebuildLines(text);
    m_text.assign(std::u16string(text));
    return true;
}

void TextDocument::removeLines(int start, int end) {
    if (m_lines.empty() || start >= end) return;
    const int first = lineOfPosition(start) + 1;
    while (first < m_lines.lineCount() && m_lines.lineStart(first) <= end) m_lines.removeLine(first);
    m_lines.shiftStartsAfter(first - 1, -(end - start));
}

void TextDocument::insertLines(int position, std::u16string_view inserted) {
    if (m_lines.empty()) return;
    const int n = static_cast<int>(inserted.size());
    if (n == 0) return;
    int line = lineOfPosition(position);
    m_lines.shiftStartsAfter(line, n);
    for (int k = 0; k < n; ++k) {
        const char16_t c = inserted[static_cast<std::size_t>(k)];
        const bool pairedCr = c == u'\r' && k + 1 < n && inserted[static_cast<std::size_t>(k) + 1] == u'\n';
        if ((c == u'\r' && !pairedCr) || c == u'\n') m_lines.insertLine(++line, position + k + 1);
    }
}

void TextDocument::replace(int start, int end, std::u16string_view text) {
    const int n = length();
    start = std::clamp(start, 0, n);
    end = std::clamp(end, start, n);
    if (text.size() > kMaxLength - static_cast<std::size_t>(n - (end - start))) return;
    m_text.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    m_text.insert(static_cast<std::size_t>(start), text.data(), text.size());
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
    const char16_t before = charAt(position - 1);
    if (before == u'\n') return true;
    if (before != u'\r') return false;
    return charAt(position) != u'\n';
}

void TextDocument::repairLineStartAt(int position) {
    if (position <= 0 || position > length()) return;
    const int line = lineOfPosition(position);
    const bool present = line > 0 && m_lines.lineStart(line) == position;
    const bool wanted = startsLineAt(position);
    if (wanted && !present)
        m_lines.insertLine(line + 1, position);
    else if (!wanted && present)
        m_lines.removeLine(line);
}

int TextDocument::lineStart(int line) const {
    if (m_lines.empty() || line < 0 || line > m_lines.lineCount()) return 0;
    return m_lines.lineStart(line);
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
    std::u16string range(static_cast<std::size_t>(end - start), u'\0');
    copyRange(start, end - start, range.data());
    return range;
}

void TextDocument::copyRange(int start, int count, char16_t* out) const {
    m_text.copyTo(static_cast<std::size_t>(start), static_cast<std::size_t>(count), out);
}

std::u16string_view TextDocument::view(int start, int end) const {
    const int n = length();
    start = std::clamp(start, 0, n);
    end = std::clamp(end, start, n);
    if (end == start) return {};
    return std::u16string_view(m_text.range(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)),
                               static_cast<std::size_t>(end - start));
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

int TextDocument::lineCount() const { return m_lines.lineCount(); }

int TextDocument::lineLength(int line) const {
    if (lineStartIfAny(line) < 0) return 0;
    return lineStart(line + 1) - lineStart(line);
}

int TextDocument::lineOfPosition(int value, LineLookup lookup) const {
    if (m_lines.empty()) return 0;
    return lookup == LineLookup::ByRow ? m_lines.lineOfRow(value) : m_lines.lineOfPosition(value);
}

int TextDocument::lineStartOfPosition(int position) const {
    if (position < 0 || position > length() || m_lines.empty()) return -1;
    return lineStart(lineOfPosition(position));
}

int TextDocument::lineStartIfAny(int line) const {
    if (line < 0 || line >= lineCount()) return -1;
    return lineStart(line);
}
