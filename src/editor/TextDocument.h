// The document of one editor: the text in a gap buffer, its line table kept
// up to date on every edit, and the file it came from with that file's
// encoding and preferred line ending.
//
// An edit costs the move of the gap from the last edit to this one, a binary
// search of the line table and O(1) work on its starts (Partition), plus the
// edited text: typing anywhere in a document of many megabytes does not shift
// the text or the line starts behind the caret.
//
// Beyond the invariants of ITextDocument, the line table of a TextDocument
// always equals what a fresh scan of the text would give, whatever the edits
// did to "\r\n" pairs: an edit that splits a pair or joins a lone "\r" with a
// lone "\n" moves the affected line start with it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "editor/GapBuffer.h"
#include "editor/ITextDocument.h"

// Which line breaks a text contains (bit flags) and which one the editor
// types for Enter.
namespace line_ending {
inline constexpr std::uint32_t kCr = 1;
inline constexpr std::uint32_t kLf = 2;
inline constexpr std::uint32_t kCrLf = 4;
}  // namespace line_ending

class TextDocument : public ITextDocument {
public:
    TextDocument();

    bool load(const std::u16string& path) override;
    void clear() override;
    bool save(const std::u16string& path) override;
    bool setText(std::u16string_view text) override;
    void removeLines(int start, int end) override;
    void insertLines(int position, std::u16string_view inserted) override;
    void replace(int start, int end, std::u16string_view text) override;
    int lineStart(int line) const override;
    LineColumn positionToLineColumn(int position) const override;
    const std::u16string& text() const override { return m_text.compacted(); }
    std::u16string_view view(int start, int end) const override;
    std::u16string textRange(int start, int end) const override;
    char16_t charAt(int position) const override;
    int copyLine(int line, std::u16string& buffer) const override;
    std::u16string lineText(int line) const override;
    int lineCount() const override;
    int lineLength(int line) const override;
    int lineOfPosition(int position, LineLookup lookup = LineLookup::ByPosition) const override;
    int lineStartOfPosition(int position) const override;
    int lineStartIfAny(int line) const override;
    int length() const override { return static_cast<int>(m_text.size()); }
    // Copies [start, start + count) (inside the text) to out without moving the gap.
    void copyRange(int start, int count, char16_t* out) const;

    // Bits of line_ending for every kind of break the text held when it was
    // last loaded or set; edits do not change it.
    std::uint32_t lineEndingsFound() const { return m_endingsFound; }
    // One of line_ending, chosen by majority when the text was last loaded or
    // set ("\r\n" on a tie or without breaks).
    std::uint32_t lineEnding() const { return m_endingInUse; }
    // The characters of lineEnding().
    std::u16string_view lineEndingText() const;

    // Encoding code of text/EncodingCode.h used by save().
    int encoding() const { return m_encoding; }
    void setEncoding(int code) { m_encoding = code; }
    const std::u16string& path() const { return m_path; }
    void setPath(std::u16string path) { m_path = std::move(path); }

private:
    // Scans text (the whole new text) for the line table and the line endings.
    void rebuildLines(std::u16string_view text);
    // True when a line starts at position, judged from the characters on
    // either side of it. Position 0 is not asked.
    bool startsLineAt(int position) const;
    // Brings the record for position (0 < position <= length) in line with
    // startsLineAt; the only place an edit's neighbours can disagree with a
    // rescan is where the edited range meets the old text.
    void repairLineStartAt(int position);
    // The text; mutable because handing it out whole moves its gap.
    mutable GapBuffer<std::u16string> m_text;
    std::u16string m_path = u"Untitled.txt";
    int m_encoding = 1;
    std::uint32_t m_endingsFound = 0;
    std::uint32_t m_endingInUse = line_ending::kCrLf;
};
