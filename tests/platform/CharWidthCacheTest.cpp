// The one character-width cache: each character measured once per font, the
// two surrogate rules of the views that use it, and line breaks of no width.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/common/CharWidthCache.h"

namespace {

using veltrix::CharWidthCache;

// Measures: 10 per unit, a whole pair 17, U+3000 24; counts the calls.
struct CountingMeasure {
    int* calls;
    int operator()(std::u16string_view character) const {
        ++*calls;
        if (character.size() == 2) return 17;
        return character[0] == u'\u3000' ? 24 : 10;
    }
};

const std::u16string kGrinning = u"\U0001F600";  // one pair

TEST(CharWidthCache, AViewThatDrawsGlyphsMeasuresAPairWholeOnItsFirstUnit) {
    int calls = 0;
    CharWidthCache cache(CharWidthCache::Surrogates::AsCharacters);
    const std::u16string text = u"a" + kGrinning + u"b" + std::u16string(1, u'\xDC00');
    EXPECT_EQ(cache.advances(text, CountingMeasure{&calls}), (std::vector<int>{0, 10, 27, 27, 37, 47}));
    EXPECT_EQ(calls, 4) << "a, the pair, b and the lone half";
    cache.advances(text + text, CountingMeasure{&calls});
    EXPECT_EQ(calls, 4) << "each character is measured once";
    cache.clear();
    cache.advances(u"a", CountingMeasure{&calls});
    EXPECT_EQ(calls, 5) << "a new font measures again";
}

TEST(CharWidthCache, AViewThatShowsBoxesGivesEachHalfAnIdeographicCell) {
    int calls = 0;
    CharWidthCache cache(CountingMeasure{&calls}, 80);
    EXPECT_EQ(cache.advances(u"a" + kGrinning, CountingMeasure{&calls}), (std::vector<int>{0, 10, 34, 58}));
    EXPECT_EQ(cache.width(kGrinning[0]), 24);
    EXPECT_EQ(cache.width(kGrinning[1]), 24);
    EXPECT_EQ(cache.tabCell(), 80);
}

TEST(CharWidthCache, LineBreaksAreNothingAndNoWidthIsNegative) {
    CharWidthCache cache([](std::u16string_view c) { return c[0] == u'x' ? -3 : 9; }, 0);
    EXPECT_EQ(cache.width(u'\r'), 0);
    EXPECT_EQ(cache.width(u'\n'), 0);
    EXPECT_EQ(cache.width(u'x'), 0);
    EXPECT_EQ(cache.width(u'\uFFFF'), 9) << "the last unit has its slot";
    EXPECT_EQ(cache.tabCell(), 1) << "a TAB stop is never 0 wide";
}

}  // namespace
