// XMLParser against the plain reference reader: random documents and broken
// ones, read from text and streamed from files, with every construct placed
// across the boundary between two pieces of a streamed file. The parser takes
// runs of characters at once and works rows out only when something fails;
// the reference feeds one character at a time, so any run that takes a
// character it should not, or a row counted wrong, shows as a difference.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "xml/ReferenceXmlReader.h"
#include "xml/XMLParser.h"

namespace {

struct Parser : XMLParser {
    std::vector<std::u16string> messages;
    Parser() {
        setMessageSink([this](const std::u16string& text) { messages.push_back(text); });
    }
};

std::string printable(std::u16string_view text) {
    std::string out;
    for (char16_t c : text.substr(0, 400)) {
        if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
        else
            out += "\\u" + std::to_string(static_cast<unsigned>(c));
    }
    return out;
}

// Compares what the parser made of a text with the reference's reading.
void expectSameReading(Parser& parser, bool ok, std::u16string_view text, std::u16string_view path = {}) {
    const ReferenceOutcome expected = referenceRead(text, path);
    SCOPED_TRACE(printable(text));
    ASSERT_EQ(ok, expected.ok);
    EXPECT_EQ(parser.messages.empty() ? std::u16string() : parser.messages.back(), expected.message);
    if (!expected.message.empty()) {
        ASSERT_TRUE(parser.lastError());
        EXPECT_EQ(parser.lastError()->location(), expected.location);
        EXPECT_EQ(parser.lastError()->row(), expected.row);
        EXPECT_EQ(parser.lastError()->column(), expected.column);
    }
    EXPECT_EQ(parser.getRoot() ? describeTree(*parser.getRoot()) : std::u16string(), expected.tree);
    EXPECT_EQ(parser.declaration(), expected.declaration);
    EXPECT_EQ(parser.declaredEncoding(), expected.declaredEncoding);
}

std::string utf16le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    return bytes;
}

// Documents made of the constructs the reader knows, well-formed more often
// than not, with the characters that change its states put everywhere.
class DocumentMaker {
public:
    explicit DocumentMaker(unsigned seed) : m_random(seed) {}

    std::u16string document(int pieces) {
        std::u16string out;
        std::vector<std::u16string> open;
        if (chance(3))
            out += pick({u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", u"<?xml version='1.0'?>",
                         u"<?xml encoding='x'?>", u"<?xml version='1' encoding='Shift_JIS' a='&amp;'?>",
                         u"<!DOCTYPE list [<!ELEMENT a>]>", u"\r\n"});
        for (int i = 0; i < pieces; ++i) {
            switch (below(12)) {
                case 0:
                case 1: {
                    const std::u16string name = tagName();
                    out += u"<" + name + attributes() + (chance(6) ? u" " : u"") + u">";
                    open.push_back(name);
                    break;
                }
                case 2:
                case 3:
                    if (!open.empty()) {
                        out += u"</" + (chance(10) ? tagName() : open.back()) + (chance(8) ? u" " : u"") + u">";
                        open.pop_back();
                    }
                    break;
                case 4:
                    out += u"<" + tagName() + attributes() + (chance(4) ? u" />" : u"/>");
                    break;
                case 5:
                case 6:
                    out += text();
                    break;
                case 7:
                    out += u"<![CDATA[" + run(u"ab]>] 字\n", 12) + (chance(10) ? u"]]" : u"]]>");
                    break;
                case 8:
                    out += u"<!--" + run(u"c-> \n", 10) + (chance(10) ? u"--" : u"-->");
                    break;
                case 9:
                    out += pick({u"<!DOCTYPE d>", u"<!doctype d>", u"<?pi a='1'?>", u"<?pi?>", u"<!x>", u"<!-x>"});
                    break;
                case 10:
                    out += run(u" \r\n\t", 4);
                    break;
                case 11:
                    out += run(u"<>/?!=\"'&;-[]:_. \n\tAbz09日", 6);
                    break;
            }
        }
        while (!open.empty() && !chance(5)) {
            out += u"</" + open.back() + u">";
            open.pop_back();
        }
        // Now and then a character dropped, doubled or replaced.
        for (int mutations = static_cast<int>(below(3)); mutations > 0 && !out.empty(); --mutations) {
            const std::size_t at = below(static_cast<unsigned>(out.size()));
            switch (below(3)) {
                case 0:
                    out.erase(at, 1);
                    break;
                case 1:
                    out.insert(at, 1, out[at]);
                    break;
                case 2:
                    out[at] = pick({u"<", u">", u"/", u"&", u"'", u"\"", u"]", u"-", u"\n", u"="})[0];
                    break;
            }
        }
        return out;
    }

    std::u16string tagName() {
        return pick({u"a", u"b", u"SentenceGroup", u"x:y", u"_n.1-2", u"id3", u"a", u"b", u"sentence"});
    }

    std::u16string attributes() {
        std::u16string out;
        for (int n = static_cast<int>(below(4)); n > 0; --n) {
            const char16_t quote = chance(2) ? u'"' : u'\'';
            out += u" " + pick({u"x", u"y", u"startTime", u"x", u"n-1"}) + (chance(15) ? u" =" : u"=") + quote +
                   run(u"v 0:&amp;&lt;&#65;&q;'\"日", 5) + quote;
        }
        return out;
    }

    std::u16string text() {
        std::u16string out;
        for (int n = static_cast<int>(below(5)); n >= 0; --n) {
            out += pick({u"plain words", u" ", u"\r\n\t", u"&amp;", u"&lt;&gt;", u"&quot;&apos;", u"&#65;", u"&copy;",
                         u"&amp", u";", u"英語の文", u"]]>", u"x > y"});
        }
        return out;
    }

    std::u16string run(std::u16string_view alphabet, unsigned longest) {
        std::u16string out;
        for (unsigned n = below(longest + 1); n > 0; --n)
            out += alphabet[below(static_cast<unsigned>(alphabet.size()))];
        return out;
    }

    std::u16string pick(std::initializer_list<const char16_t*> choices) {
        return choices.begin()[below(static_cast<unsigned>(choices.size()))];
    }
    bool chance(unsigned oneIn) { return below(oneIn) == 0; }
    unsigned below(unsigned n) { return static_cast<unsigned>(m_random() % n); }

private:
    std::mt19937 m_random;
};

}  // namespace

TEST(XMLParserDifferential, RandomTextsReadAsCharacterByCharacter) {
    DocumentMaker maker(34);
    int succeeded = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::u16string text = maker.document(1 + round % 30);
        Parser parser;
        const bool ok = parser.parseString(text);
        succeeded += ok;
        expectSameReading(parser, ok, text);
        if (HasFatalFailure() || HasFailure()) return;
    }
    // The documents reach both outcomes often enough to test both.
    EXPECT_GT(succeeded, 4000);
    EXPECT_LT(succeeded, 16000);
}

TEST(XMLParserDifferential, EveryPrefixOfADocument) {
    const std::u16string document =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<!DOCTYPE x>\r\n<r a='1&amp;2' b=\"&q\">\r\n"
        u"\t<s>t&lt;u&#1;v</s><!-- c -- - --><![CDATA[x]y]]z]]]><e/>\r\n\t<f g='h' />\r\n</r>";
    for (std::size_t n = 0; n <= document.size(); ++n) {
        Parser parser;
        const std::u16string_view text = std::u16string_view(document).substr(0, n);
        expectSameReading(parser, parser.parseString(text), text);
    }
}

TEST(XMLParserDifferential, StreamedFilesReadAsCharacterByCharacter) {
    TempDir dir;
    const std::u16string path = dir.file("s.xml");
    DocumentMaker maker(2024);
    // Documents of several pieces, well-formed but for a rare fault, so that
    // most of them are read to the end.
    for (int round = 0; round < 12; ++round) {
        std::u16string text = u"<root>\r\n";
        while (text.size() < 150000) {
            std::u16string part = maker.document(8);
            if (round % 3 == 0) {
                Parser check;
                if (!check.parseString(u"<r>" + part + u"</r>")) continue;  // keep this document whole
            }
            text += u"<p>" + part + u"</p>\r\n";
        }
        text += u"</root>";
        dir.write("s.xml", utf16le(text));
        Parser parser;
        expectSameReading(parser, parser.parse(path), text, path);
        if (HasFailure()) return;
    }
}

TEST(XMLParserDifferential, ConstructsAcrossTheBoundaryOfTwoPieces) {
    TempDir dir;
    const std::u16string path = dir.file("b.xml");
    // The first piece of a streamed file holds 32,768 units after the mark;
    // each construct is moved across that boundary one unit at a time.
    constexpr std::size_t kPiece = 32768;
    const std::u16string probes[] = {
        u"<![CDATA[a]]>",      u"<![CDATA[]]]]>", u"<![CDATA[x]]]>y",
        u"<![CDATA[]]>",       u"<!-- c --->",    u"<e a='1' b=\"&amp;&lt;\"/>",
        u"&amp;&unknown;x&lt", u"<!DOCTYPE d>",   u"<?xml version='1.0' encoding='UTF-8'?>",
        u"\r\n  \r\n<s/>",     u"<e></f>",        u"<e a = '1'>",
        u"\n\n<e;>",           u"< e>",           u"text\nmore<e/>",
        u"<a\nb='1'\n/>",
    };
    for (const std::u16string& probe : probes) {
        for (std::size_t at = kPiece - probe.size() - 1; at <= kPiece + 1; ++at) {
            // Rows of 100 characters, so that a failing row may begin in the first piece.
            std::u16string text = u"<r>\n";
            while (text.size() < at) text += (text.size() % 100 == 99) ? u'\n' : u'p';
            text += probe + u"\n</r>";
            dir.write("b.xml", utf16le(text));
            Parser parser;
            expectSameReading(parser, parser.parse(path), text, path);
            if (HasFailure()) return;
        }
    }
}
