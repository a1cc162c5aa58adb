// Pixel widths of single UTF-16 code units in one font, measured on first use
// and kept for the life of the font (one slot per code unit).
//
// "\r" and "\n" are 0 wide; a surrogate code unit is measured as U+3000 so
// that the two halves of a pair each take an ideographic cell. TAB and space
// are not special here: the layout gives them their row-dependent advances.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

class CharWidthCache {
public:
    // Gives the width of one code unit in the current font.
    using Measure = std::function<int(char16_t)>;

    CharWidthCache();
    explicit CharWidthCache(Measure measure, int tabCell);

    // Forgets every width: the font changed.
    void reset(Measure measure, int tabCell);

    int width(char16_t c) {
        const std::int32_t cached = m_widths[c];
        return cached >= 0 ? cached : measure(c);
    }
    // The distance between TAB stops.
    int tabCell() const { return m_tabCell; }

private:
    int measure(char16_t c);

    Measure m_measure;
    int m_tabCell = 64;
    std::vector<std::int32_t> m_widths;  // -1: not measured yet
};
