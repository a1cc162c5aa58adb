// The forgiving HTML reader: attributes, skipped content, anchors that hide
// what follows them, the title, and pages with broken markup.
#include <gtest/gtest.h>

#include <random>

#include "support/TempDir.h"
#include "text/TextFile.h"
#include "xml/HtmlReader.h"

namespace {

std::vector<std::u16string> hrefs(const HtmlReader& reader) {
    std::vector<std::u16string> out;
    for (Element* a : reader.getElementsByTagName(u"a")) out.push_back(a->getAttribute(u"href", u"<none>"));
    return out;
}

using Attributes = std::vector<std::pair<std::u16string, std::u16string>>;

Attributes attributesOf(const HtmlReader& reader, std::u16string_view tag, std::size_t index = 0) {
    auto list = reader.getElementsByTagName(tag);
    if (index >= list.size()) return {{u"<missing>", u""}};
    return list[index]->attributes();
}

TEST(HtmlReader, TheFirstOfARepeatedAttributeIsKeptAndNamesAreLowerCased) {
    HtmlReader reader;
    reader.read(u"<A HREF='x.htm' href='y.htm'>link</A>");
    EXPECT_EQ(attributesOf(reader, u"a"), (Attributes{{u"href", u"x.htm"}}));
    EXPECT_TRUE(reader.getElementsByTagName(u"A").empty());
}

TEST(HtmlReader, ValuesQuotedUnquotedOrMissing) {
    HtmlReader reader;
    reader.read(
        u"<a href=foo.htm title=t>x</a><img src='a.png' alt><p CLASS=\"Big &amp; Bold\" id = 'q'>"
        u"<input value=>");
    EXPECT_EQ(attributesOf(reader, u"a"), (Attributes{{u"href", u"foo.htm"}, {u"title", u"t"}}));
    EXPECT_EQ(attributesOf(reader, u"img"), (Attributes{{u"alt", u""}, {u"src", u"a.png"}}));
    // Values stay as written: no decoding, no case change.
    EXPECT_EQ(attributesOf(reader, u"p"), (Attributes{{u"class", u"Big &amp; Bold"}, {u"id", u"q"}}));
    // "name=" right before ">" stores nothing.
    EXPECT_EQ(attributesOf(reader, u"input"), Attributes{});
}

TEST(HtmlReader, AValueEndsAtAnAngleBracketEvenInsideQuotes) {
    HtmlReader reader;
    reader.read(u"<a title=\"1 > 2\" href=\"z\">x</a><div id=d>");
    EXPECT_EQ(attributesOf(reader, u"a"), (Attributes{{u"title", u"1 "}}));
    // The tag ended at that ">": the rest is text, and the next tag is read.
    EXPECT_EQ(attributesOf(reader, u"div"), (Attributes{{u"id", u"d"}}));
}

TEST(HtmlReader, SlashesAndWhiteSpaceInTagNames) {
    HtmlReader reader;
    reader.read(u"<br/><br /><br\t/><BR>");
    EXPECT_EQ(reader.getElementsByTagName(u"br/").size(), 1u);  // the slash belongs to the name
    EXPECT_EQ(reader.getElementsByTagName(u"br").size(), 2u);
    EXPECT_EQ(reader.getElementsByTagName(u"br\t/").size(), 1u);
}

TEST(HtmlReader, ScriptAndStyleContentIsSkipped) {
    HtmlReader reader;
    reader.read(
        u"<script>var s = '<a href=x>';</script><a href='y'>y</a>"
        u"<style>p{}<!-- </style> --></style><p id=after>");
    EXPECT_EQ(hrefs(reader), std::vector<std::u16string>{u"y"});
    EXPECT_TRUE(reader.getElementsByTagName(u"script").empty());
    EXPECT_EQ(attributesOf(reader, u"p"), (Attributes{{u"id", u"after"}}));
}

TEST(HtmlReader, AnAnchorHidesTheTagsUpToItsEnd) {
    HtmlReader reader;
    reader.read(u"<a href='1'>one<a href='2'>two</a><a href='3'><img src=i></a><img src=j>");
    EXPECT_EQ(hrefs(reader), (std::vector<std::u16string>{u"1", u"3"}));
    ASSERT_EQ(reader.getElementsByTagName(u"img").size(), 1u);
    EXPECT_EQ(reader.getElementsByTagName(u"img")[0]->getAttribute(u"src"), u"j");

    reader.read(u"<a href='open'>never closed<div><a href='lost'><p>");
    EXPECT_EQ(hrefs(reader), std::vector<std::u16string>{u"open"});
    EXPECT_TRUE(reader.getElementsByTagName(u"div").empty());
    EXPECT_TRUE(reader.getElementsByTagName(u"p").empty());
}

TEST(HtmlReader, PreAndRubyContentGetsNoElementsButAnchorsInPreDo) {
    HtmlReader reader;
    reader.read(
        u"<pre><b>x</b><pre><i></pre><a href='in-pre'>a</a><u></pre><em>"
        u"<ruby>漢<rt>kan</rt><a href='in-ruby'></a></ruby><strong>");
    EXPECT_EQ(hrefs(reader), std::vector<std::u16string>{u"in-pre"});
    for (const char16_t* hidden : {u"pre", u"b", u"i", u"u", u"ruby", u"rt"})
        EXPECT_TRUE(reader.getElementsByTagName(hidden).empty());
    EXPECT_EQ(reader.getElementsByTagName(u"em").size(), 1u);
    EXPECT_EQ(reader.getElementsByTagName(u"strong").size(), 1u);
}

TEST(HtmlReader, TheTitleIsCollectedAndDecoded) {
    HtmlReader reader;
    reader.read(u"<html><head><TITLE>News &amp; Views</TITLE></head>");
    EXPECT_EQ(reader.getTitle(), u"News & Views");
    reader.read(u"<title>Part 1</title><title> | Part 2");
    EXPECT_EQ(reader.getTitle(), u"Part 1 | Part 2");
    reader.read(u"no tags at all");
    EXPECT_EQ(reader.getTitle(), u"");
    EXPECT_TRUE(reader.getElementsByTagName(u"a").empty());
}

TEST(HtmlReader, CommentsAndEmptyTagsAreSkippedAndACutTagIsDropped) {
    HtmlReader reader;
    reader.read(u"<!-- <a href='c'> --><><a href='real'></a><!-- unclosed <p>");
    EXPECT_EQ(hrefs(reader), std::vector<std::u16string>{u"real"});
    EXPECT_TRUE(reader.getElementsByTagName(u"p").empty());

    reader.read(u"<p id=1><a href='cut");
    EXPECT_EQ(reader.getElementsByTagName(u"p").size(), 1u);
    EXPECT_TRUE(reader.getElementsByTagName(u"a").empty());
    for (const char16_t* cut : {u"<", u"<p", u"<p ", u"<p id", u"<p id=", u"<p id='x", u"<br /"}) {
        reader.read(cut);
        EXPECT_TRUE(reader.getElementsByTagName(u"p").empty());
        EXPECT_TRUE(reader.getElementsByTagName(u"br").empty());
    }
}

TEST(HtmlReader, ReadingAgainForgetsThePreviousPage) {
    HtmlReader reader;
    reader.read(u"<title>old</title><a href=1></a>");
    reader.read(u"<a href=2></a>");
    EXPECT_EQ(hrefs(reader), std::vector<std::u16string>{u"2"});
    EXPECT_EQ(reader.getTitle(), u"");
}

TEST(HtmlReader, DeepNestingCostsNoStack) {
    std::u16string page;
    for (int i = 0; i < 200000; ++i) page += u"<pre><div>";
    page += u"<a href='deep'></a>";
    HtmlReader reader;
    reader.read(page);
    EXPECT_EQ(hrefs(reader), std::vector<std::u16string>{u"deep"});
    EXPECT_TRUE(reader.getElementsByTagName(u"div").empty());
}

// Pages as sites write them, with the faults they have, saved to a file and
// read back as a downloader would: every anchor the rules should find is found.
TEST(HtmlReader, GeneratedPagesWithBrokenMarkup) {
    std::mt19937 random(20240611);
    TempDir dir;
    for (int pageNumber = 0; pageNumber < 40; ++pageNumber) {
        std::u16string page = u"<!DOCTYPE html>\n<HTML><head><title>第" + std::u16string(1, u'0' + pageNumber % 10) +
                              u"課 &amp; more</title>\n<meta charset=utf-8>\n</head><body>\n";
        std::vector<std::u16string> expected;
        for (int item = 0; item < 60; ++item) {
            const std::u16string href = u"/lesson/" + std::u16string(1, u'a' + item % 26) + u"?n=" +
                                        std::u16string(1, u'0' + item % 10) + u"&amp;x=1";
            switch (random() % 9) {
                case 0:  // upper case, unquoted, repeated attribute
                    page += u"<A HREF=" + href + u" href=wrong>Lesson</A>\n";
                    expected.push_back(href);
                    break;
                case 1:  // a stray "<" in text is read as a tag up to the next ">"
                    page += u"<p>3 < 4 and so on</p>\n";
                    break;
                case 2:  // an anchor inside a comment
                    page += u"<!-- <a href='/commented'>old</a> -->\n";
                    break;
                case 3:  // script with markup in a string
                    page += u"<script type=\"text/javascript\">document.write('<a href=\"/js\">');</script>\n";
                    break;
                case 4:  // an unclosed paragraph and an apostrophe-quoted link
                    page += u"<p class='x'>text<a href='" + href + u"' target=_blank>go</a>\n";
                    expected.push_back(href);
                    break;
                case 5:  // ruby annotations hide their anchors
                    page += u"<ruby>英<rt>えい</rt><a href='/ruby'></a></ruby>\n";
                    break;
                case 6:  // white space inside an attribute name is dropped: no href here
                    page += u"<a download\nhref=\"" + href + u"\">file</a>\n";
                    expected.push_back(u"<none>");
                    break;
                case 7:  // entities and Japanese text
                    page += u"<div>ニュースで英会話 &nbsp;&copy; 2015</div>\n";
                    break;
                default:  // an end tag without a start, and an empty tag
                    page += u"</span><><br/>\n";
                    break;
            }
        }
        page += u"</body></html>";
        ASSERT_TRUE(saveTextFile(dir.file("page.html"), page, encoding::kUtf8));
        std::u16string read;
        ASSERT_EQ(readTextFile(dir.file("page.html"), read, encoding::kUtf8), encoding::kUtf8);

        HtmlReader reader;
        reader.read(read);
        EXPECT_EQ(hrefs(reader), expected) << "page " << pageNumber;
        EXPECT_EQ(reader.getTitle(), page.substr(page.find(u"第"), 3) + u" & more");
    }
}

}  // namespace
