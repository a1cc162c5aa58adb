// The ascending starts of the consecutive parts of a sequence (the lines of a
// text, the visual rows of its lines), stored so that a change of length
// inside one part does not rewrite every later start at once: the starts
// after m_stepPart still lack m_stepLength, which reading adds and which is
// written into them lazily as later edits walk past.
//
// Invariants (when not empty): entries = parts() + 1; start(0) == 0 as given
// to assign(); start(i) <= start(i + 1); start(parts()) closes the last part
// (the sequence's length). The stored value of entry i is start(i) for
// i <= m_stepPart and start(i) - m_stepLength after it;
// 0 <= m_stepPart <= parts(), and m_stepLength == 0 once m_stepPart reaches
// the closing entry.
//
// Successive changes near one place cost O(1); a change far from the last
// one costs the distance in entries once. Lookup by value is a binary search.
#pragma once

#include <vector>

#include "editor/GapBuffer.h"

class Partition {
public:
    // No parts, not even the closing entry.
    Partition() = default;

    bool empty() const { return m_starts.empty(); }
    void clear();
    // Takes the starts, closing entry included (at least two entries).
    void assign(std::vector<int> startsWithClosing);

    int parts() const { return empty() ? 0 : static_cast<int>(m_starts.size()) - 1; }
    // part in 0..parts(); parts() gives the closing entry.
    int start(int part) const {
        const int stored = m_starts[static_cast<std::size_t>(part)];
        return part > m_stepPart ? stored + m_stepLength : stored;
    }
    void setStart(int part, int value) {
        m_starts[static_cast<std::size_t>(part)] = part > m_stepPart ? value - m_stepLength : value;
    }
    // Every start after part (the closing one included) moves by delta.
    void shiftAfter(int part, int delta);
    // A new entry at index part (1..parts()) with the given start, which must
    // lie between its neighbours; the entries from part on move up one index.
    void insertPart(int part, int value);
    // Removes entry part (1..parts() - 1): part - 1 takes its extent.
    void removePart(int part);
    // The last part whose start is not greater than value, clamped to
    // 0..parts() - 1; 0 when empty.
    int partOf(int value) const;

private:
    // Writes the pending step into the entries up to part.
    void applyStepTo(int part);
    // Takes the step back out of the entries after part, up to m_stepPart.
    void withdrawStepTo(int part);

    GapBuffer<std::vector<int>> m_starts;
    int m_stepPart = 0;
    int m_stepLength = 0;
    // The last answer of partOf: the caret's line and row are asked for many
    // times per keystroke, and a hit saves a search through cold memory.
    mutable int m_lastPart = 0;
};
