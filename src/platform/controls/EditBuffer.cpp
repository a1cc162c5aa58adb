#include "platform/controls/EditBuffer.h"

#include <algorithm>

#include "platform/common/Unicode.h"
namespace veltrix::platform::controls {

namespace {

constexpr std::size_t kDefaultLimit = 32767;  // what a user may type before EM_LIMITTEXT, as on Windows
constexpr std::size_t kMaximumLimit = 0x7FFFFFFE;

using unicode::isHighSurrogate;
using unicode::isLowSurrogate;

enum class CharClass { Space, Word, Hiragana, Katakana, Kanji, Punctuation, Break };

CharClass classOf(char16_t c) {
    if (c == u'\r' || c == u'\n') return CharClass::Break;
    if (c == u' ' || c == u'\t' || c == 0x3000) return CharClass::Space;
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' ||
        (c >= 0xC0 && c < 0x2000 && c != 0xD7 && c != 0xF7) || (c >= 0xFF10 && c <= 0xFF5A))
        return CharClass::Word;
    if (c >= 0x3041 && c <= 0x309F) return CharClass::Hiragana;
    if ((c >= 0x30A0 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F)) return CharClass::Katakana;
    if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || isHighSurrogate(c) || isLowSurrogate(c) ||
        c == 0x3005)
        return CharClass::Kanji;
    return CharClass::Punctuation;
}

// The first line of a text, for single-line buffers.
std::u16string firstLine(std::u16string text) {
    auto end = text.find_first_of(u"\r\n");
    if (end != std::u16string::npos) text.resize(end);
    return text;
}

}  // namespace

EditBuffer::EditBuffer(LineMode mode) : mode_(mode), limit_(kDefaultLimit) { rebuildLines(); }

void EditBuffer::setText(std::u16string text) {
    // Kept whole even in a single-line buffer, as Windows keeps it: the text
    // a program sets comes back unchanged.
    text_ = std::move(text);
    anchor_ = caret_ = 0;
    modified_ = false;
    emptyUndo();
    rebuildLines();
}

std::u16string EditBuffer::selectedText() const {
    return text_.substr(selectionStart(), selectionEnd() - selectionStart());
}

void EditBuffer::select(std::size_t anchor, std::size_t caret) {
    anchor_ = std::min(anchor, text_.size());
    caret_ = std::min(caret, text_.size());
    typingRun_ = false;
}

void EditBuffer::moveCaret(std::size_t position, bool extend) {
    caret_ = std::min(position, text_.size());
    if (!extend) anchor_ = caret_;
    typingRun_ = false;
}

void EditBuffer::remember() {
    undo_ = Snapshot{text_, anchor_, caret_};
    undoValid_ = true;
}

bool EditBuffer::replaceSelection(std::u16string text, UndoRecording undo, EditKind kind) {
    if (mode_ == LineMode::Single) text = firstLine(std::move(text));
    std::size_t start = selectionStart();
    std::size_t end = selectionEnd();
    std::size_t kept = text_.size() - (end - start);
    std::size_t room = kept >= limit_ ? 0 : limit_ - kept;
    if (text.size() > room) {
        text.resize(room);
        // Never keep half of a surrogate pair.
        if (!text.empty() && isHighSurrogate(text.back())) text.pop_back();
    }
    if (text.empty() && start == end) return false;
    bool joins = kind == EditKind::Typing && typingRun_ && start == end && start == typingEnd_ && undoValid_;
    if (undo == UndoRecording::On && !joins) remember();
    if (undo == UndoRecording::Off) undoValid_ = false;
    text_.replace(start, end - start, text);
    anchor_ = caret_ = start + text.size();
    typingRun_ = kind == EditKind::Typing && undo == UndoRecording::On;
    typingEnd_ = caret_;
    modified_ = true;
    rebuildLines();
    return true;
}

bool EditBuffer::deleteBackward() {
    if (!hasSelection()) {
        if (caret_ == 0) return false;
        anchor_ = previousPosition(caret_);
    }
    typingRun_ = false;
    return replaceSelection({}, UndoRecording::On);
}

bool EditBuffer::deleteForward() {
    if (!hasSelection()) {
        if (caret_ >= text_.size()) return false;
        anchor_ = nextPosition(caret_);
    }
    typingRun_ = false;
    return replaceSelection({}, UndoRecording::On);
}

bool EditBuffer::undo() {
    if (!undoValid_) return false;
    Snapshot now{text_, anchor_, caret_};
    text_ = std::move(undo_.text);
    // The undone range comes back selected, as Windows shows it.
    anchor_ = std::min(undo_.anchor, text_.size());
    caret_ = std::min(undo_.caret, text_.size());
    undo_ = std::move(now);
    typingRun_ = false;
    modified_ = true;
    rebuildLines();
    return true;
}

void EditBuffer::setLimit(std::size_t limit) { limit_ = limit == 0 ? kMaximumLimit : std::min(limit, kMaximumLimit); }

void EditBuffer::rebuildLines() {
    lineStarts_.assign(1, 0);
    if (mode_ == LineMode::Single) return;
    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (text_[i] == u'\n') {
            lineStarts_.push_back(i + 1);
        } else if (text_[i] == u'\r' && i + 1 < text_.size() && text_[i + 1] == u'\n') {
            lineStarts_.push_back(i + 2);
            ++i;
        }
    }
}

std::size_t EditBuffer::lineCount() const { return lineStarts_.size(); }

std::size_t EditBuffer::lineIndex(std::size_t line) const {
    return line < lineStarts_.size() ? lineStarts_[line] : npos;
}

std::size_t EditBuffer::lineLength(std::size_t line) const {
    if (line >= lineStarts_.size()) return 0;
    std::size_t start = lineStarts_[line];
    std::size_t end = line + 1 < lineStarts_.size() ? lineStarts_[line + 1] : text_.size();
    if (end > start && text_[end - 1] == u'\n' && line + 1 < lineStarts_.size()) {
        --end;
        if (end > start && text_[end - 1] == u'\r') --end;
    }
    return end - start;
}

std::size_t EditBuffer::lineFromPosition(std::size_t position) const {
    position = std::min(position, text_.size());
    auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), position);
    return static_cast<std::size_t>(it - lineStarts_.begin()) - 1;
}

std::u16string EditBuffer::lineText(std::size_t line) const {
    if (line >= lineStarts_.size()) return {};
    return text_.substr(lineStarts_[line], lineLength(line));
}

std::size_t EditBuffer::previousPosition(std::size_t position) const {
    position = std::min(position, text_.size());
    if (position == 0) return 0;
    std::size_t p = position - 1;
    if (p > 0 && isLowSurrogate(text_[p]) && isHighSurrogate(text_[p - 1])) --p;
    if (p > 0 && text_[p] == u'\n' && text_[p - 1] == u'\r') --p;
    return p;
}

std::size_t EditBuffer::nextPosition(std::size_t position) const {
    if (position >= text_.size()) return text_.size();
    std::size_t p = position + 1;
    if (p < text_.size() && isHighSurrogate(text_[position]) && isLowSurrogate(text_[p])) ++p;
    if (p < text_.size() && text_[position] == u'\r' && text_[p] == u'\n') ++p;
    return p;
}

std::size_t EditBuffer::wordStart(std::size_t position) const {
    position = std::min(position, text_.size());
    if (text_.empty()) return 0;
    std::size_t at = position < text_.size() ? position : position - 1;
    CharClass c = classOf(text_[at]);
    if (c == CharClass::Break) return position;
    while (at > 0 && classOf(text_[at - 1]) == c) --at;
    return at;
}

std::size_t EditBuffer::wordEnd(std::size_t position) const {
    position = std::min(position, text_.size());
    if (text_.empty()) return 0;
    std::size_t at = position < text_.size() ? position : position - 1;
    CharClass c = classOf(text_[at]);
    if (c == CharClass::Break) return position;
    while (at < text_.size() && classOf(text_[at]) == c) ++at;
    return at;
}

std::size_t EditBuffer::nextWord(std::size_t position) const {
    std::size_t p = std::min(position, text_.size());
    if (p == text_.size()) return p;
    CharClass c = classOf(text_[p]);
    if (c == CharClass::Break) return nextPosition(p);
    if (c != CharClass::Space)
        while (p < text_.size() && classOf(text_[p]) == c) ++p;
    while (p < text_.size() && classOf(text_[p]) == CharClass::Space) ++p;
    return p;
}

std::size_t EditBuffer::previousWord(std::size_t position) const {
    std::size_t p = std::min(position, text_.size());
    while (p > 0 && classOf(text_[p - 1]) == CharClass::Space) --p;
    if (p == 0) return 0;
    CharClass c = classOf(text_[p - 1]);
    if (c == CharClass::Break) return previousPosition(p);
    while (p > 0 && classOf(text_[p - 1]) == c) --p;
    return p;
}

}  // namespace veltrix::platform::controls
