// The find histories: their order, their length and their stored form.
#include <gtest/gtest.h>

#include "editor/FindHistory.h"

namespace {

using Entries = std::vector<std::u16string>;

TEST(FindHistory, TheEleventhTextPushesTheOldestOutAndAnEqualTextMovesUp) {
    FindHistory history;
    for (char16_t c = u'a'; c <= u'k'; ++c) history.add(std::u16string(1, c));
    ASSERT_EQ(history.size(), 10);
    EXPECT_EQ(history.entries().front(), u"k");
    EXPECT_EQ(history.entries().back(), u"b");
    // A differs from a only in case: it replaces it, at the top.
    EXPECT_EQ(history.add(u"E"), 0);
    EXPECT_EQ(history.entries()[0], u"E");
    EXPECT_EQ(history.size(), 10);
    EXPECT_EQ(std::count(history.entries().begin(), history.entries().end(), u"e"), 0);
    // Texts a one-line list cannot show are not remembered.
    for (const char16_t* bad : {u"", u"a\r\nb", u"a\tb", u"x\n"}) EXPECT_EQ(history.add(bad), -1);
    EXPECT_EQ(history.size(), 10);
}

TEST(FindHistory, TheStoredFormKeepsOrderAndSplitsAtCommas) {
    FindHistory history;
    for (const char16_t* text : {u"old", u"a,b", u"(\\w+)-(\\w+)", u"新しい"}) history.add(text);
    EXPECT_EQ(history.joined(), u"新しい,(\\w+)-(\\w+),a,b,old");
    FindHistory restored;
    restored.load(history.joined());
    EXPECT_EQ(restored.entries(), (Entries{u"新しい", u"(\\w+)-(\\w+)", u"a", u"b", u"old"}));
    // A stored list longer than ten keeps its first ten; empty pieces vanish.
    restored.load(u"1,2,,3,4,5,6,7,8,9,10,11,12");
    EXPECT_EQ(restored.size(), 10);
    EXPECT_EQ(restored.entries().front(), u"1");
    EXPECT_EQ(restored.entries().back(), u"10");
    restored.load(u"");
    EXPECT_EQ(restored.size(), 0);
}

}  // namespace
