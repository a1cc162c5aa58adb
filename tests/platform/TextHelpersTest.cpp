// The shared text helpers: UTF-16 to UTF-8 with offsets (what Pango's byte
// indices are mapped back through), surrogate arithmetic, ASCII-only case
// folding and path extensions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/common/AsciiCase.h"
#include "platform/common/FileExtension.h"
#include "platform/common/Unicode.h"

namespace {

using namespace veltrix;

TEST(Unicode, OffsetsMapEveryUnitToItsFirstByteAndPairsToOnePlace) {
    std::vector<int> offsets;
    // a (1 byte), 日 (3), U+1F600 as a pair (4), b (1), a lone low surrogate (3: U+FFFD).
    const std::u16string text = u"a\u65E5\U0001F600b" + std::u16string(1, u'\xDC00');
    const std::string utf8 = unicode::utf16ToUtf8(text, offsets);
    EXPECT_EQ(utf8,
              "a\xE6\x97\xA5\xF0\x9F\x98\x80"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(offsets, (std::vector<int>{0, 1, 4, 4, 8, 9, 12}));
    EXPECT_EQ(utf8, unicode::utf16ToUtf8(text)) << "both forms encode alike";
    EXPECT_EQ(unicode::utf16ToUtf8(u"", offsets), "");
    EXPECT_EQ(offsets, std::vector<int>{0});
}

TEST(Unicode, SurrogateArithmeticRoundTripsAtTheEdgesOfThePlanes) {
    for (char32_t cp : {U'\U00010000', U'\U0001F600', U'\U0010FFFF'}) {
        const char16_t high = unicode::highSurrogateOf(cp), low = unicode::lowSurrogateOf(cp);
        EXPECT_TRUE(unicode::isHighSurrogate(high));
        EXPECT_TRUE(unicode::isLowSurrogate(low));
        EXPECT_EQ(unicode::combineSurrogates(high, low), cp);
        const std::u16string pair{high, low};
        EXPECT_TRUE(unicode::isPairAt(pair, 0));
        EXPECT_FALSE(unicode::isPairAt(pair, 1));
        EXPECT_EQ(unicode::utf8ToUtf16(unicode::utf16ToUtf8(pair)), pair);
    }
    EXPECT_FALSE(unicode::isPairAt(std::u16string{u'\xDC00', u'\xD800'}, 0)) << "reversed halves are no pair";
    EXPECT_FALSE(unicode::isSurrogate(u'\xD7FF'));
    EXPECT_FALSE(unicode::isSurrogate(u'\xE000'));
}

TEST(AsciiCase, OnlyAsciiLettersFold) {
    EXPECT_TRUE(ascii::equalsIgnoringCase(u"TOOLTIPS_class32", u"tooltips_CLASS32"));
    EXPECT_FALSE(ascii::equalsIgnoringCase(u"\uFF21", u"\uFF41")) << "full-width letters stay";
    EXPECT_FALSE(ascii::equalsIgnoringCase(u"\u00C9", u"\u00E9")) << "accented Latin stays";
    EXPECT_FALSE(ascii::equalsIgnoringCase(u"[", u"{")) << "only A-Z move by 32";
    EXPECT_FALSE(ascii::equalsIgnoringCase(u"ab", u"abc"));
    EXPECT_EQ(ascii::toLower(u"Song.MP3 \u00C9"), u"song.mp3 \u00C9");
    EXPECT_EQ(ascii::toUpper(u'z'), u'Z');
    EXPECT_EQ(ascii::toUpper(u'{'), u'{');
    EXPECT_TRUE(ascii::endsWithIgnoringCase(u"list.M3U", u".m3u"));
    EXPECT_FALSE(ascii::endsWithIgnoringCase(u"m3u", u".m3u"));
}

TEST(FileExtension, TheLastDotOfTheFileNameInLowerCase) {
    struct Case {
        const char16_t* path;
        const char16_t* extension;
    };
    const Case cases[] = {
        {u"C:\\Music\\Song.MP3", u".mp3"},
        {u"/home/me/lesson.tar.gz", u".gz"},
        {u"notes", u""},
        {u"a.b\\notes", u""},
        {u"a.b/notes", u""},
        {u"trailing.", u"."},
        {u"folder/.hidden", u".hidden"},
        {u"", u""},
    };
    for (const Case& c : cases) EXPECT_EQ(paths::extensionOf(c.path), c.extension) << std::u16string(c.path).size();
    EXPECT_TRUE(paths::hasExtension(u"x/Lesson.Ogg", {u".mp3", u".ogg", u".wma"}));
    EXPECT_FALSE(paths::hasExtension(u"x.mp3/lesson", {u".mp3"}));
}

}  // namespace
