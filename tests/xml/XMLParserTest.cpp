// The XML reader: what trees it builds, how it fails (number, row, column,
// message), that failures keep the previous tree, and saving in each encoding.
#include <gtest/gtest.h>

#include <random>

#include "support/TempDir.h"
#include "text/NarrowText.h"
#include "xml/XMLParser.h"

namespace {

// A parser whose messages are collected instead of shown.
struct Parser : XMLParser {
    std::vector<std::u16string> messages;
    Parser() {
        setMessageSink([this](const std::u16string& text) { messages.push_back(text); });
    }
};

std::string utf16le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    return bytes;
}

std::string utf16be(std::u16string_view text) {
    std::string bytes = "\xFE\xFF";
    for (char16_t c : text) {
        bytes += static_cast<char>(c >> 8);
        bytes += static_cast<char>(c & 0xFF);
    }
    return bytes;
}

}  // namespace

TEST(XMLParserReading, EmptyTagWithAttributesRoundTrips) {
    Parser p;
    ASSERT_TRUE(p.parseString(u"<a y=\"2\" x='1'/>"));
    Element* root = p.getRoot();
    EXPECT_EQ(root->getName(), u"a");
    EXPECT_EQ(root->getAttribute(u"x"), u"1");
    EXPECT_EQ(root->getAttribute(u"y"), u"2");
    EXPECT_TRUE(root->isEmptyTag());
    EXPECT_EQ(root->toString(), u"<a x=\"1\" y=\"2\" />");
}

TEST(XMLParserReading, EntitiesKnownAndUnknown) {
    Parser p;
    ASSERT_TRUE(p.parseString(u"<a t=\"&quot;&apos;&amp;\">&lt;b&gt; &amp; &#65; &copy;</a>"));
    ASSERT_EQ(p.getRoot()->getChildren().size(), 1u);
    EXPECT_EQ(p.getRoot()->firstChild()->ownText(), u"<b> &  ");
    EXPECT_EQ(p.getRoot()->getAttribute(u"t"), u"\"'&");
}

TEST(XMLParserReading, CDataSectionsCannotCarryTheirEnd) {
    Parser p;
    ASSERT_TRUE(p.parseString(u"<a><![CDATA[x]]>y]]></a>"));
    std::vector<Element*> children = p.getRoot()->getChildren();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_TRUE(children[0]->isCData());
    EXPECT_EQ(children[0]->ownText(), u"x");
    EXPECT_TRUE(children[1]->isTextNode());
    EXPECT_EQ(children[1]->ownText(), u"y]]>");

    ASSERT_TRUE(p.parseString(u"<a><![CDATA[a]b]]c]]]>d<![CDATA[]]></a>"));
    children = p.getRoot()->getChildren();
    ASSERT_EQ(children.size(), 2u);  // the empty section makes no node
    EXPECT_EQ(children[0]->ownText(), u"a]b]]c]");
}

TEST(XMLParserReading, WhiteSpaceBetweenElementsIsOwnText) {
    Parser p;
    ASSERT_TRUE(p.parseString(u"<a>\r\n<b/>\r\n</a>"));
    EXPECT_EQ(p.getRoot()->getChildren().size(), 1u);
    EXPECT_EQ(p.getRoot()->ownText(), u"\r\n");
    ASSERT_TRUE(p.parseString(u"<a> x </a>"));
    EXPECT_EQ(p.getRoot()->firstChild()->ownText(), u" x ");
}

TEST(XMLParserReading, CommentsAndDocumentTypes) {
    Parser p;
    ASSERT_TRUE(p.parseString(u"<!DOCTYPE html><r><!-- c --></r>"));
    EXPECT_EQ(p.getRoot()->getName(), u"r");
    EXPECT_EQ(p.getRoot()->firstChild(), nullptr);

    ASSERT_TRUE(p.parseString(u"<r>ab<!-- c -- d --->cd</r>"));
    std::vector<Element*> children = p.getRoot()->getChildren();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->ownText(), u"ab");
    EXPECT_EQ(children[1]->ownText(), u"cd");

    Parser lower;
    EXPECT_FALSE(lower.parseString(u"<!doctype html><r/>"));  // swallowed: no root, no message
    EXPECT_TRUE(lower.messages.empty());
}

TEST(XMLParserReading, StructureQuirksOfATolerantReader) {
    Parser p;
    // Elements left open are not an error; text after the last tag is dropped.
    ASSERT_TRUE(p.parseString(u"<a><b>text"));
    EXPECT_EQ(p.getRoot()->findElement(u"b")->firstChild(), nullptr);
    // A second top-level element becomes a child of the first.
    ASSERT_TRUE(p.parseString(u"lead<a/><b/>"));
    EXPECT_EQ(p.getRoot()->getName(), u"a");
    EXPECT_EQ(p.getRoot()->getChildren().size(), 1u);
    // Processing instructions other than the declaration are ignored.
    ASSERT_TRUE(p.parseString(u"<?style x=\"1\"?><a/>"));
    EXPECT_EQ(p.declaration(), u"");
}

TEST(XMLParserReading, GetElementsByTagNameIncludesTheRoot) {
    Parser p;
    EXPECT_TRUE(p.getElementsByTagName(u"x").empty());
    ASSERT_TRUE(p.parseString(u"<x><y><x/></y><x/></x>"));
    EXPECT_EQ(p.getElementsByTagName(u"x").size(), 3u);
    EXPECT_EQ(p.getElementsByTagName(u"x")[0], p.getRoot());
}

TEST(XMLParserReading, DeclarationIsRebuiltAndItsEncodingRecognised) {
    struct Case {
        std::u16string encoding;
        int expected;
    };
    const Case cases[] = {{u"utf-8", XMLParser::kUtf8},   {u"Shift_JIS", XMLParser::kShiftJis},
                          {u"EUC-JP", XMLParser::kEucJp}, {u"UTF-16", XMLParser::kUtf16},
                          {u"euc_jp", XMLParser::kEucJp}, {u"latin1", XMLParser::kUtf16}};
    for (const Case& c : cases) {
        Parser p;
        ASSERT_TRUE(p.parseString(u"<?xml version=\"1.0\" standalone='yes' encoding=\"" + c.encoding + u"\"?><a/>"));
        EXPECT_EQ(p.declaredEncoding(), c.expected) << std::string(c.encoding.begin(), c.encoding.end());
        EXPECT_EQ(p.declaration(), u"<?xml version=\"1.0\" encoding=\"" + c.encoding + u"\" standalone=\"yes\"?>");
    }
    Parser p;
    ASSERT_TRUE(p.parseString(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>"));
    ASSERT_TRUE(p.parseString(u"<b/>"));  // no declaration: the old one stays
    EXPECT_EQ(p.declaredEncoding(), XMLParser::kUtf8);
}

TEST(XMLParserFailures, NumbersRowsColumnsAndMessages) {
    struct Case {
        std::u16string text;
        int location;
        int row;
        int column;
    };
    const Case cases[] = {
        {u"<a>< b/></a>", 221, 1, 4},
        {u"<a></a/>", 235, 1, 6},
        {u"<?xml/>", 235, 1, 5},
        {u"<a;>", 242, 1, 2},
        {u"<a x='1'?>", 257, 1, 8},
        {u"<?p x='1'/>", 261, 1, 9},
        {u"<a x='1';>", 266, 1, 8},
        {u"<a x = \"1\">", 277, 1, 4},
        {u"<a x= \"1\">", 285, 1, 5},
        {u"<a/ >", 302, 1, 3},
        {u"<?xml encoding=\"UTF-8\"?><a/>", 456, 1, 23},
        {u"<?xml version=\"1.0\"?>\n<a/>", 458, 1, 20},
        {u"</a>", 529, 1, 3},
        {u"<a>\r\n  <b>\r\n</a></b>", 534, 3, 3},
    };
    for (const Case& c : cases) {
        Parser p;
        EXPECT_FALSE(p.parseString(c.text));
        const std::string label(c.text.begin(), c.text.end());
        ASSERT_TRUE(p.lastError()) << label;
        EXPECT_EQ(p.lastError()->location(), c.location) << label;
        EXPECT_EQ(p.lastError()->row(), c.row) << label;
        EXPECT_EQ(p.lastError()->column(), c.column) << label;
        EXPECT_EQ(p.messages.size(), 1u) << label;
        EXPECT_EQ(p.getRoot(), nullptr) << label;
    }
}

TEST(XMLParserFailures, MessageTextNamesTheRowAndTheFailingLine) {
    Parser p;
    EXPECT_FALSE(p.parseString(u"<a>\n<b></a></b>"));
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0],
              u"Exception in XMLParser.parse():\r\nXMLParser line:534\r\n"
              u"要素が部分的に重ねられています\u3000<A><B></A></B>\r\na > b"
              u"\r\nRow:2 Col:6 in \r\n<b></a>");
    EXPECT_EQ(p.lastError()->displayText(),
              u"XMLParser line:534\r\n要素が部分的に重ねられています\u3000<A><B></A></B>\r\na > b");

    EXPECT_FALSE(p.parseString(u"</x>"));
    EXPECT_EQ(p.lastError()->message(), u"要素");
}

TEST(XMLParserFailures, AFailedParseKeepsThePreviousDocument) {
    Parser p;
    ASSERT_TRUE(p.parseString(u"<?xml version=\"1.0\" encoding=\"EUC-JP\"?><keep/>"));
    Element* kept = p.getRoot();
    EXPECT_FALSE(p.parseString(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a><b></a>"));
    EXPECT_EQ(p.getRoot(), kept);
    EXPECT_EQ(p.declaredEncoding(), XMLParser::kEucJp);
    EXPECT_FALSE(p.parseString(u"just text"));
    EXPECT_FALSE(p.parseString(u""));
    EXPECT_EQ(p.getRoot(), kept);
    // A reference left open by a failed text does not reach into the next one.
    EXPECT_FALSE(p.parseString(u"<a>&amp<b></a>"));
    ASSERT_TRUE(p.parseString(u"<a>x;</a>"));
    EXPECT_EQ(p.getRoot()->getText(), u"x;");
}

TEST(XMLParserFailures, HostileInputEndsInTimeWithoutCrashing) {
    Parser p;
    // 100,000 levels of nesting, closed and left open.
    std::u16string deep;
    for (int i = 0; i < 100000; ++i) deep += u"<a>";
    EXPECT_TRUE(p.parseString(deep));
    for (int i = 0; i < 100000; ++i) deep += u"</a>";
    EXPECT_TRUE(p.parseString(deep));
    deep += u"</b>";
    EXPECT_FALSE(p.parseString(deep));

    // A tag with a great many attributes, named in descending order, and
    // repeated names that keep their last value.
    std::u16string tag = u"<a";
    for (int i = 200000; i > 0; --i) {
        const std::string name = " n" + std::to_string(i) + "='v'";
        tag.append(name.begin(), name.end());
    }
    tag += u" n7='last'/>";
    ASSERT_TRUE(p.parseString(tag));
    EXPECT_EQ(p.getRoot()->attributes().size(), 200000u);
    EXPECT_EQ(p.getRoot()->getAttribute(u"n7"), u"last");
    EXPECT_EQ(p.getRoot()->attributes().front().first, u"n1");

    // Truncated at every length, garbage and unclosed constructs.
    const std::u16string document =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<r a='&amp;'><!-- c --><![CDATA[x]]><b>t&lt;</b></r>";
    for (std::size_t n = 0; n < document.size(); ++n) p.parseString(document.substr(0, n));
    for (const char16_t* text : {u"<![CDATA[never closed", u"<!-- never closed", u"<a x='never closed",
                                 u"<!DOCTYPE never closed", u"<!unknown> <a/>", u"&&&&;;;<a>&;</a>"}) {
        p.parseString(text);
    }
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(static_cast<std::size_t>(random() % 400), '\0');
        for (char& b : bytes) b = static_cast<char>(random());
        if (round % 2) bytes.insert(0, "<a>");
        p.parseBytes(bytes.data(), bytes.size());
    }
    SUCCEED();
}

TEST(XMLParserFiles, ParseReadsEveryEncodingAndRemembersThePath) {
    TempDir dir;
    const std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a t=\"日本語\">英語 English</a>";
    setNarrowCodePage(932);
    const std::pair<const char*, std::string> files[] = {
        {"le.xml", utf16le(text)},
        {"be.xml", utf16be(text)},
        {"utf8.xml", encodeCodePage(text, 65001)},
        {"utf8bom.xml", "\xEF\xBB\xBF" + encodeCodePage(text, 65001)},
        {"sjis.xml", encodeCodePage(text, 932)},
        {"euc.xml", encodeCodePage(text, 20932)},
    };
    for (const auto& [name, bytes] : files) {
        dir.write(name, bytes);
        Parser p;
        ASSERT_TRUE(p.parse(dir.file(name))) << name;
        EXPECT_EQ(p.filePath(), dir.file(name));
        EXPECT_EQ(p.getRoot()->getAttribute(u"t"), u"日本語") << name;
        EXPECT_EQ(p.getRoot()->getText(), u"英語 English") << name;
    }
    setNarrowCodePage(0);

    Parser p;
    ASSERT_TRUE(p.parse(dir.file("le.xml")));
    dir.write("empty.xml", "");
    dir.write("broken.xml", utf16le(u"<a><b></a>"));
    EXPECT_FALSE(p.parse(dir.file("missing.xml")));
    EXPECT_FALSE(p.parse(dir.file("empty.xml")));
    EXPECT_TRUE(p.messages.empty());
    EXPECT_FALSE(p.parse(dir.file("broken.xml")));
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_NE(p.messages[0].find(u"Row:1 Col:9 in " + dir.file("broken.xml")), std::u16string::npos);
    EXPECT_EQ(p.filePath(), dir.file("le.xml"));
}

TEST(XMLParserFiles, SaveAsWritesTheDeclaredEncoding) {
    TempDir dir;
    setNarrowCodePage(932);
    struct Case {
        std::u16string declaration;
        std::string expectedBytes;
    };
    const std::u16string body = u"<a t=\"&amp;\">\r\n\t<b>日本語の文章です。英語を勉強しましょう。</b>\r\n</a>";
    const Case cases[] = {
        {u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
         "\xEF\xBB\xBF" + encodeCodePage(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + body, 65001)},
        {u"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>",
         encodeCodePage(u"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n" + body, 932)},
        {u"<?xml version=\"1.0\" encoding=\"EUC-JP\"?>",
         encodeCodePage(u"<?xml version=\"1.0\" encoding=\"EUC-JP\"?>\r\n" + body, 20932)},
        {u"", utf16le(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n" + body)},
    };
    for (const Case& c : cases) {
        Parser p;
        ASSERT_TRUE(p.parseString(c.declaration + u"<a t='&amp;'><b>日本語の文章です。英語を勉強しましょう。</b></a>"));
        ASSERT_TRUE(p.saveAs(dir.file("out.xml")));
        EXPECT_EQ(dir.read("out.xml"), c.expectedBytes);
        // Short EUC-JP text is also valid Shift_JIS, and the byte statistics of
        // the text reader take it as such; the bytes above are what matters here.
        if (p.declaredEncoding() == XMLParser::kEucJp) continue;
        Parser again;
        ASSERT_TRUE(again.parse(dir.file("out.xml")));
        EXPECT_EQ(again.getRoot()->toString(), p.getRoot()->toString());
    }
    setNarrowCodePage(0);

    Parser empty;
    EXPECT_FALSE(empty.saveAs(dir.file("none.xml")));
    ASSERT_EQ(empty.messages.size(), 1u);
    EXPECT_EQ(empty.messages[0],
              u"XMLParser.saveAs() is called, but rootElement is null so couldn't save xml file.\nIt may be a kind "
              u"of bag.");

    // A save that cannot write leaves the old file alone.
    Parser p;
    ASSERT_TRUE(p.parseString(u"<a/>"));
    EXPECT_FALSE(p.saveAs(dir.file("no-such-folder/out.xml")));
    dir.write("old.xml", "old");
    std::filesystem::create_directory(dir.native("old.xml.veltrix-tmp"));  // the temporary file cannot be made
    EXPECT_FALSE(p.saveAs(dir.file("old.xml")));
    EXPECT_EQ(dir.read("old.xml"), "old");
}

TEST(XMLParserFiles, StreamedFilesReadLikeText) {
    TempDir dir;
    // Rows long enough that pieces of the file end inside rows, elements and
    // CDATA sections, and a failure on a row that began in an earlier piece.
    std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<r>\r\n";
    for (int i = 0; text.size() < 100000; ++i) {
        text += u"\t<e n='" + std::u16string(static_cast<std::size_t>(i % 50), u'a') + u"'><![CDATA[";
        text += std::u16string(static_cast<std::size_t>(i % 300), u'字') + u"]]></e>\r\n";
    }
    const std::u16string good = text + u"</r>";
    const std::u16string bad = text + u"<x a='" + std::u16string(70000, u'y') + u"'></z>\r\n</r>";
    for (const std::u16string* body : {&good, &bad}) {
        dir.write("s.xml", utf16le(*body));
        Parser fromFile;
        Parser fromText;
        const bool fileOk = fromFile.parse(dir.file("s.xml"));
        ASSERT_EQ(fileOk, fromText.parseString(*body));
        if (fileOk) {
            EXPECT_EQ(fromFile.getRoot()->toString(), fromText.getRoot()->toString());
            continue;
        }
        ASSERT_TRUE(fromFile.lastError() && fromText.lastError());
        EXPECT_EQ(fromFile.lastError()->row(), fromText.lastError()->row());
        EXPECT_EQ(fromFile.lastError()->column(), fromText.lastError()->column());
        const std::u16string& fileMessage = fromFile.messages.at(0);
        const std::u16string& textMessage = fromText.messages.at(0);
        EXPECT_EQ(fileMessage.substr(fileMessage.rfind(u"\r\n")), textMessage.substr(textMessage.rfind(u"\r\n")));
        EXPECT_EQ(fileMessage.substr(fileMessage.rfind(u"\r\n") + 2, 6), u"<x a='");
    }
}

TEST(XMLParserFiles, StreamedFileEdges) {
    TempDir dir;
    Parser p;
    dir.write("mark-only.xml", "\xFF\xFE");
    EXPECT_FALSE(p.parse(dir.file("mark-only.xml")));
    dir.write("zero-first.xml", utf16le(std::u16string(u"\0<a/>", 5)));
    EXPECT_FALSE(p.parse(dir.file("zero-first.xml")));
    EXPECT_TRUE(p.messages.empty());
    // The text ends at a zero character; an odd last byte is ignored.
    dir.write("zero.xml", utf16le(std::u16string(u"<a>x</a>\0<b>", 12)) + "\x41");
    ASSERT_TRUE(p.parse(dir.file("zero.xml")));
    EXPECT_EQ(p.getRoot()->toString(), u"<a>x</a>");
}
