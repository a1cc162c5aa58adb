// Decoding text cut out of pages: references, escapes, line breaks, and the
// fixed one-pass replacement of the basic references.
#include <gtest/gtest.h>

#include "xml/PageText.h"

namespace {

struct Case {
    std::u16string input;
    std::u16string expected;
};

TEST(DecodePageText, ReferencesEscapesAndBreaks) {
    const Case cases[] = {
        {u"caf&eacute;\nbar", u"cafébar"},
        {u"&amp;lt;", u"<"},
        {u"&amp;amp;lt;", u"<"},       // each decoded "&" joins the next name
        {u"&#65;&#x41;", u"A&#x41;"},  // no hexadecimal references
        {u"&#0065;&#65601;", u"AA"},   // leading zeros; modulo 65536
        {u"&bogus;", u"!"},
        {u"&fnof;&rsaquo;&euro;", u"!!!"},
        {u"&apos;&nbsp;&quot;", u"' \""},
        {u"a\\tb", u"a\tb"},
        {u"a\\nb\\rc\\\\d\\\"e", u"a\r\nbc\\d\"e"},
        {u"end\\", u"end"},
        {u"&amp;#65;", u"&#65;"},  // only names decode behind a decoded "&"
        {u"&amp;\\lt;", u"&lt;"},  // an escape ends the pending "&"
        {u"&amp;&lt;", u"&<"},
        {u"&thetasym;", u"\u03d1"},          // nine characters with "&"
        {u"&abcdefghij;", u"&abcdefghij;"},  // eleven: too long to be a reference
        {u"&#123456789;", u"&#123456789;"},
        {u"&;&#;& amp;", u"&;&#;& amp;"},
        {u"x&", u"x&"},
        {u"&amp;", u"&"},
        {u"&amp;x", u"&x"},
        {u"AT&T", u"AT&T"},
        {u"&Eacute;&eacute;&yuml;&iexcl;", u"Éé\u00ff\u00a1"},
        {u"&hearts;&Omega;&rlm;&lArr;", u"\u2665\u03a9\u200f\u21d0"},
    };
    for (const auto& c : cases) EXPECT_EQ(decodePageText(c.input, false), c.expected);
}

TEST(DecodePageText, BreaksBecomeSpacesWhenAsked) {
    EXPECT_EQ(decodePageText(u"caf&eacute;\nbar", true), u"café bar");
    EXPECT_EQ(decodePageText(u"a\r\nb\rc\nd\n\re", true), u"a b c d  e");
    EXPECT_EQ(decodePageText(u"a\r\nb", false), u"ab");
    // A space between them parts a decoded "&" from the name after it.
    EXPECT_EQ(decodePageText(u"&amp;\nlt;", true), u"& lt;");
}

TEST(DecodeBasicEntities, OnePassOverAFixedList) {
    const Case cases[] = {
        {u"&amp;lt;", u"&lt;"},
        {u"News &amp; Views", u"News & Views"},
        {u"&#60;&#62;&#38;&#34;&#39;", u"<>&\"'"},
        {u"&nbsp;&#150;", u"  "},
        {u"&rlm;&#8206;", u"??"},
        {u"&copy;&lsquo;&#8217;&ldquo;&#8221;", u"\u00a9\u2018\u2019\u201c\u201d"},
        {u"&eacute; &hellip;", u"&eacute; &hellip;"},
        {u"a & b; c &lt;", u"a & b; c <"},
        {u"tail &amp", u"tail &amp"},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeBasicEntities(c.input), c.expected);
}

TEST(LookupEntity, TheTableAndItsExceptions) {
    EXPECT_EQ(lookupEntity(u"nbsp"), u' ');
    EXPECT_EQ(lookupEntity(u"yuml"), u'\u00ff');
    EXPECT_EQ(lookupEntity(u"Yuml"), u'\u0178');
    EXPECT_EQ(lookupEntity(u"apos"), u'\'');
    EXPECT_EQ(lookupEntity(u"diams"), u'\u2666');
    EXPECT_EQ(lookupEntity(u"alefsym"), u'\u2135');
    EXPECT_EQ(lookupEntity(u"image"), u'\u2111');
    EXPECT_FALSE(lookupEntity(u"fnof"));
    EXPECT_FALSE(lookupEntity(u"rsaquo"));
    EXPECT_FALSE(lookupEntity(u"euro"));
    EXPECT_FALSE(lookupEntity(u"AMP"));
    EXPECT_FALSE(lookupEntity(u""));
    EXPECT_EQ(lookupEntity(u"lsaquo"), u'\u2039');
}

}  // namespace
