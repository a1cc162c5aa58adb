// Pixel widths of the characters of one font, measured once each and summed,
// so that laying a line out costs time in proportion to its length. The text
// editor and the edit control both measure through it.
//
// Rules: CR and LF are 0 wide (a view lays line breaks out itself). A
// surrogate pair is measured by the view's rule: AsIdeographicCells gives each
// unit of a pair (and a lone one) the width of U+3000, for views that show a
// box per unit; AsCharacters measures the pair whole and gives its width to
// the first unit, the second adding nothing, for views that draw the glyph.
// Invariant: a width, once measured, holds until reset or clear (the font
// changed); no width is negative.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veltrix {

class CharWidthCache {
public:
    enum class Surrogates { AsIdeographicCells, AsCharacters };
    // The width of one character (one unit, or a surrogate pair) in the font.
    using Measure = std::function<int(std::u16string_view character)>;

    explicit CharWidthCache(Surrogates surrogates = Surrogates::AsIdeographicCells);
    CharWidthCache(Measure measure, int tabCell, Surrogates surrogates = Surrogates::AsIdeographicCells);

    // The font changed: forgets every width and measures with measure from now on.
    void reset(Measure measure, int tabCell);
    // The font changed, and the measure given to advances follows it.
    void clear();

    // One unit, measured with the measure given to reset.
    int width(char16_t unit) {
        if (const Page* page = pages_[unit >> 8].get()) {
            const std::int32_t cached = (*page)[unit & 0xFF];
            if (cached >= 0) return cached;
        }
        return measureUnit(unit, measure_);
    }
    // The distance between TAB stops (for the views that expand TABs).
    int tabCell() const { return tabCell_; }

    // The x of every boundary of text (text.size() + 1 of them), measuring
    // what is not known yet with measure.
    std::vector<int> advances(std::u16string_view text, const Measure& measure);

private:
    using Page = std::array<std::int32_t, 256>;  // -1: not measured yet

    int measureUnit(char16_t unit, const Measure& measure);

    Surrogates surrogates_;
    Measure measure_;
    int tabCell_ = 64;
    std::array<std::unique_ptr<Page>, 256> pages_;  // by high byte, made on first use
    std::unordered_map<char32_t, int> pairs_;       // AsCharacters: by code point
};

}  // namespace veltrix
