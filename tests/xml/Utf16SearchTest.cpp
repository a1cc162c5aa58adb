// The vectorised searches against plain loops, at every length and alignment
// around the eight-unit blocks, with the wanted units at every position.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "xml/Utf16Search.h"

TEST(Utf16Search, FindsAndCountsLikePlainLoops) {
    std::u16string text(80, u'a');
    for (std::size_t start = 0; start < 9; ++start) {
        for (std::size_t length = 0; start + length <= 40; ++length) {
            for (std::size_t at = start; at <= start + length; ++at) {
                std::u16string copy = text;
                if (at < start + length) copy[at] = u'<';
                if (at + 3 < start + length) copy[at + 3] = u'\n';
                const char16_t* first = copy.data() + start;
                const char16_t* last = first + length;
                EXPECT_EQ(xml::findEither(first, last, u'&', u'<'), std::find(first, last, u'<'));
                EXPECT_EQ(xml::findEither(first, last, u'\n', u'<'),
                          std::find_if(first, last, [](char16_t c) { return c == u'\n' || c == u'<'; }));
                EXPECT_EQ(xml::findUnit(first, last, u'\n'), std::find(first, last, u'\n'));
                EXPECT_EQ(xml::countUnit(first, last, u'a'), static_cast<std::size_t>(std::count(first, last, u'a')));
            }
        }
    }
    // Units that differ from the wanted one only in their high byte.
    const std::u16string wide = u"\u013C\u3C00\u3C3C\u0A00\u013C\u3C00\u3C3C\u0A00\u013C\u3C00\u3C3C<\u0A00";
    EXPECT_EQ(xml::findUnit(wide.data(), wide.data() + wide.size(), u'<') - wide.data(), 11);
    EXPECT_EQ(xml::countUnit(wide.data(), wide.data() + wide.size(), u'\n'), 0u);
}

TEST(Utf16Search, CountsPastTheLaneLimit) {
    // More than 65,535 blocks of eight matching units: the lanes are added up
    // before they can overflow.
    const std::u16string lines(8 * 70000 + 5, u'\n');
    EXPECT_EQ(xml::countUnit(lines.data(), lines.data() + lines.size(), u'\n'), lines.size());
}
