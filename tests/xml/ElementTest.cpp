// The element tree: structure operations, queries and the exact serialised text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "xml/Element.h"

namespace {

std::unique_ptr<Element> textNode(std::u16string_view text) {
    auto node = std::make_unique<Element>();
    node->setText(std::u16string(text));
    return node;
}

std::unique_ptr<Element> cdataNode(std::u16string_view text) {
    auto node = std::make_unique<Element>();
    node->setCData(text);
    return node;
}

std::u16string namesOf(const std::vector<Element*>& list) {
    std::u16string out;
    for (const Element* e : list) out += e->getName().empty() ? u"#" : e->getName();
    return out;
}

// Checks the sibling and parent links of every child both ways.
void expectConsistent(const Element& parent) {
    const Element* previous = nullptr;
    for (const Element* child = parent.firstChild(); child; child = child->next()) {
        EXPECT_EQ(child->parent(), &parent);
        EXPECT_EQ(child->previous(), previous);
        previous = child;
    }
    EXPECT_EQ(parent.lastChild(), previous);
}

}  // namespace

TEST(ElementTree, InsertChildModesAndFallbacks) {
    Element root(u"r");
    Element* b = root.appendChild(std::make_unique<Element>(u"b"));
    root.insertChild(std::make_unique<Element>(u"a"), b, InsertMode::Before);
    root.insertChild(std::make_unique<Element>(u"c"), b, InsertMode::After);
    root.insertChild(std::make_unique<Element>(u"f"), b, InsertMode::First);
    root.insertChild(std::make_unique<Element>(u"l"), b, InsertMode::Last);
    root.insertChild(std::make_unique<Element>(u"n"), nullptr, InsertMode::First);  // no reference: last
    Element stranger(u"s");
    root.insertChild(std::make_unique<Element>(u"x"), &stranger, InsertMode::Before);  // not a child: last
    EXPECT_EQ(namesOf(root.getChildren()), u"fabclnx");
    expectConsistent(root);

    Element empty(u"e");
    empty.insertChild(std::make_unique<Element>(u"only"), nullptr, InsertMode::Before);
    EXPECT_EQ(namesOf(empty.getChildren()), u"only");
}

TEST(ElementTree, RemoveAndDeleteKeepLinksConsistent) {
    Element root(u"r");
    Element* a = root.appendChild(std::make_unique<Element>(u"a"));
    Element* b = root.appendChild(std::make_unique<Element>(u"b"));
    Element* c = root.appendChild(std::make_unique<Element>(u"c"));
    std::unique_ptr<Element> removed = root.removeChild(b);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->parent(), nullptr);
    EXPECT_EQ(removed->next(), nullptr);
    EXPECT_EQ(removed->previous(), nullptr);
    EXPECT_EQ(namesOf(root.getChildren()), u"ac");
    expectConsistent(root);

    EXPECT_FALSE(root.removeChild(removed.get()));
    EXPECT_FALSE(root.deleteChild(removed.get()));
    EXPECT_TRUE(root.deleteChild(c));
    EXPECT_TRUE(root.deleteChild(a));
    EXPECT_EQ(root.firstChild(), nullptr);
    EXPECT_EQ(root.lastChild(), nullptr);
}

TEST(ElementTree, ClearKeepsTheName) {
    Element root(u"r");
    root.setAttribute(u"a", u"1");
    root.setText(u"  ");
    root.appendChild(std::make_unique<Element>(u"c"));
    root.clear();
    EXPECT_EQ(root.getName(), u"r");
    EXPECT_TRUE(root.attributes().empty());
    EXPECT_EQ(root.ownText(), u"");
    EXPECT_EQ(root.firstChild(), nullptr);
}

TEST(ElementTree, MoveElementBesideOrIntoTheTarget) {
    Element root(u"r");
    Element* a = root.appendChild(std::make_unique<Element>(u"a"));
    Element* b = root.appendChild(std::make_unique<Element>(u"b"));
    Element* c = root.appendChild(std::make_unique<Element>(u"c"));
    EXPECT_TRUE(Element::moveElement(*c, *a, InsertMode::Before));
    EXPECT_EQ(namesOf(root.getChildren()), u"cab");
    EXPECT_TRUE(Element::moveElement(*c, root, InsertMode::Before));  // root has no parent: appended inside
    EXPECT_EQ(namesOf(root.getChildren()), u"abc");
    EXPECT_TRUE(Element::moveElement(*a, *b, InsertMode::Last));
    EXPECT_EQ(namesOf(root.getChildren()), u"bca");
    expectConsistent(root);

    // Moving an element into its own subtree would make a cycle.
    Element* inner = b->appendChild(std::make_unique<Element>(u"i"));
    EXPECT_FALSE(Element::moveElement(*b, *inner, InsertMode::After));
    EXPECT_FALSE(Element::moveElement(*b, *b, InsertMode::After));
    EXPECT_EQ(namesOf(root.getChildren()), u"bca");
    EXPECT_FALSE(Element::moveElement(root, *inner, InsertMode::After));  // no parent
}

TEST(ElementTree, CopyIsDeepAndIndependent) {
    Element source(u"WordList");
    source.setAttribute(u"v", u"1");
    Element* word = source.appendChild(std::make_unique<Element>(u"Word"));
    word->appendChild(std::make_unique<Element>(u"key"))->appendChild(cdataNode(u"apple"));
    word->appendChild(std::make_unique<Element>(u"empty"))->setEmptyTag(true);
    source.appendChild(textNode(u"tail"));

    Element copy(u"old");
    copy.appendChild(std::make_unique<Element>(u"gone"));
    copy.copyFrom(source);
    EXPECT_EQ(copy.toString(), source.toString());
    EXPECT_EQ(copy.getName(), u"WordList");
    ASSERT_NE(copy.findElement(u"empty"), nullptr);
    EXPECT_TRUE(copy.findElement(u"empty")->isEmptyTag());
    EXPECT_EQ(copy.findElement(u"gone"), nullptr);

    source.findElement(u"key")->firstChild()->setCData(u"pear");
    source.setAttribute(u"v", u"2");
    EXPECT_EQ(copy.findElement(u"key")->getCDataText(), u"apple");
    EXPECT_EQ(copy.getAttribute(u"v"), u"1");
    expectConsistent(copy);
}

TEST(ElementTree, CopyFromOwnDescendant) {
    Element root(u"r");
    Element* child = root.appendChild(std::make_unique<Element>(u"c"));
    child->appendChild(std::make_unique<Element>(u"g"));
    root.copyFrom(*child);
    EXPECT_EQ(root.getName(), u"c");
    EXPECT_EQ(namesOf(root.getChildren()), u"g");
}

TEST(ElementTree, SharedNamesStayApart) {
    Element a(Element::SharedName{u"SentenceGroup"});
    Element b(Element::SharedName{u"SentenceGroup"});
    EXPECT_EQ(&a.getName(), &b.getName());
    b.setName(u"sentence");
    EXPECT_EQ(a.getName(), u"SentenceGroup");
    EXPECT_EQ(b.getName(), u"sentence");

    Element copy(Element::SharedName{u"translation"});
    copy.copyFrom(a);
    a.setName(u"renamed");
    EXPECT_EQ(copy.getName(), u"SentenceGroup");
    EXPECT_TRUE(Element(Element::SharedName{}).isTextNode());

    // A name too long to share, and new names once the shared set is full,
    // are the element's own.
    const std::u16string longName(100, u'n');
    EXPECT_EQ(Element(Element::SharedName{longName}).getName(), longName);
    for (int i = 0; i < 5000; ++i) {
        const std::string digits = std::to_string(i);
        const std::u16string name = u"tag" + std::u16string(digits.begin(), digits.end());
        Element e(Element::SharedName{name});
        e.appendChild(std::make_unique<Element>(Element::SharedName{name}));
        ASSERT_EQ(e.getName(), name);
        ASSERT_EQ(e.firstChild()->getName(), name);
    }
}

TEST(ElementTree, DeepAndWideTreesAreHandledWithoutRecursion) {
    constexpr int kDepth = 200000;
    auto root = std::make_unique<Element>(u"d");
    Element* tip = root.get();
    for (int i = 0; i < kDepth; ++i) tip = tip->appendChild(std::make_unique<Element>(u"d"));
    tip->appendChild(textNode(u"bottom"));
    for (int i = 0; i < kDepth; ++i) root->appendChild(std::make_unique<Element>(u"w"));

    EXPECT_EQ(root->getText(), u"bottom");
    EXPECT_EQ(root->findElement(u"w"), root->getChildren()[1]);
    Element copy(u"x");
    copy.copyFrom(*root);
    EXPECT_EQ(copy.getText(), u"bottom");
    root.reset();  // neither the deep chain nor the long sibling list overflows the stack
}

TEST(ElementWriting, DeepTreeIsWrittenLevelByLevel) {
    // Indentation makes the text grow with the square of the depth, so this
    // depth is kept moderate; the walk itself keeps no per-level stack frame.
    constexpr int kDepth = 3000;
    Element root(u"d");
    Element* tip = &root;
    for (int i = 0; i < kDepth; ++i) tip = tip->appendChild(std::make_unique<Element>(u"d"));
    const std::u16string text = root.toString();
    EXPECT_EQ(text.substr(0, 11), u"<d>\r\n\t<d>\r\n");
    EXPECT_EQ(text.substr(text.size() - 6), u"\r\n</d>");
    // Every level is indented on its opening line, and every level but the
    // innermost (written on one line) on its closing line.
    const auto tabs = std::count(text.begin(), text.end(), u'\t');
    EXPECT_EQ(tabs, kDepth * (kDepth + 1) / 2 + (kDepth - 1) * kDepth / 2);
}

TEST(ElementQueries, TextAndCData) {
    Element sentence(u"sentence");
    sentence.setText(u"\r\n");
    sentence.appendChild(textNode(u"\r\n  "));
    sentence.appendChild(cdataNode(u"Hello"));
    sentence.appendChild(textNode(u"  "));
    EXPECT_EQ(sentence.getCDataText(), u"Hello");
    EXPECT_EQ(sentence.getText(), u"\r\n\r\n  Hello  ");
    EXPECT_EQ(Element(u"e").getCDataText(), u"");
    EXPECT_EQ(cdataNode(u"own")->getCDataText(), u"own");

    auto cdata = cdataNode(u"a]]>b]]>");
    EXPECT_EQ(cdata->ownText(), u"a]]&gt;b]]&gt;");
    // Section ends anywhere in a long text, next to "]" runs and at its very end.
    for (std::size_t at = 0; at <= 40; ++at) {
        for (const std::u16string end : {u"]]>", u"]]]>", u"]>]]>"}) {
            std::u16string text(40, u'x');
            text.insert(at, end);
            std::u16string expected = text;
            const std::size_t found = expected.find(u"]]>");
            expected.replace(found, 3, u"]]&gt;");
            EXPECT_EQ(cdataNode(text)->ownText(), expected) << at;
        }
    }
    Element named(u"n");
    named.setCData(u"x");
    EXPECT_FALSE(named.isCData());
    EXPECT_EQ(named.ownText(), u"");
}

TEST(ElementQueries, Attributes) {
    Element e(u"e");
    e.setAttribute(u"z", u"1");
    e.setAttribute(u"a", u"2");
    e.setAttribute(u"z", u"3");
    ASSERT_EQ(e.attributes().size(), 2u);
    EXPECT_EQ(e.attributes()[0].first, u"a");
    EXPECT_EQ(e.getAttribute(u"z"), u"3");
    EXPECT_EQ(e.getAttribute(u"Z", u"none"), u"none");
    EXPECT_TRUE(e.hasAttribute(u"a"));
    EXPECT_FALSE(e.hasAttribute(u"A"));

    struct Case {
        std::u16string value;
        int expected;
    };
    const Case cases[] = {{u"42", 42}, {u"  -7x", -7}, {u"+3", 3}, {u"abc", 0}, {u"", 0}, {u"\t12 3", 12}};
    for (const Case& c : cases) {
        e.setAttribute(u"n", c.value);
        EXPECT_EQ(e.getIntAttribute(u"n", 99), c.expected);
    }
    EXPECT_EQ(e.getIntAttribute(u"missing", 99), 99);
}

TEST(ElementQueries, SearchesArePreOrder) {
    Element root(u"x");
    Element* a = root.appendChild(std::make_unique<Element>(u"a"));
    a->appendChild(std::make_unique<Element>(u"x"))->appendChild(textNode(u"1"));
    root.appendChild(std::make_unique<Element>(u"x"))->appendChild(textNode(u"2"));
    EXPECT_EQ(root.findElement(u"x"), &root);
    EXPECT_EQ(a->findElement(u"x")->getText(), u"1");
    std::vector<Element*> list;
    root.getElementsByTagName(u"x", list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->getText(), u"1");
    EXPECT_EQ(list[1]->getText(), u"2");
    EXPECT_EQ(root.getTextOf(u"a"), u"1");
    EXPECT_EQ(root.getTextOf(u"none", u"default"), u"default");
    EXPECT_EQ(root.findElement(u"X"), nullptr);
}

TEST(ElementQueries, SetChildTextReusesItsNodes) {
    Element id3(u"id3");
    id3.setChildText(u"title", u"x");
    id3.setChildText(u"title", u"y");
    id3.setChildInt(u"year", -2024);
    ASSERT_EQ(id3.getChildren().size(), 2u);
    Element* title = id3.findElement(u"title");
    ASSERT_EQ(title->getChildren().size(), 1u);
    EXPECT_TRUE(title->firstChild()->isTextNode());
    EXPECT_EQ(id3.getTextOf(u"title"), u"y");
    EXPECT_EQ(id3.getTextOf(u"year"), u"-2024");
}

TEST(ElementWriting, OpeningMarkupEscapesAttributeValuesInNameOrder) {
    Element e(u"e");
    e.setAttribute(u"z", u"a<b&\"c'd");
    e.setAttribute(u"a", u">");
    EXPECT_EQ(e.openingMarkup(), u"<e a=\"&gt;\" z=\"a&lt;b&amp;&quot;c&apos;d\">");
    e.setEmptyTag(true);
    EXPECT_EQ(e.openingMarkup(), u"<e a=\"&gt;\" z=\"a&lt;b&amp;&quot;c&apos;d\" />");
    EXPECT_EQ(cdataNode(u"<&>")->openingMarkup(), u"<![CDATA[<&>]]>");
    EXPECT_EQ(textNode(u"<&")->openingMarkup(), u"<&");
}

TEST(ElementWriting, Id3Example) {
    Element id3(u"id3");
    id3.appendChild(std::make_unique<Element>(u"title"))->appendChild(textNode(u"Song"));
    id3.appendChild(std::make_unique<Element>(u"year"));
    EXPECT_EQ(id3.toString(), u"<id3>\r\n\t<title>Song</title>\r\n\t<year></year>\r\n</id3>");
}

TEST(ElementWriting, IndentationFollowsDepthAndChildKinds) {
    Element root(u"r");
    Element* list = root.appendChild(std::make_unique<Element>(u"WordList"));
    Element* word = list->appendChild(std::make_unique<Element>(u"Word"));
    word->setAttribute(u"level", u"2");
    word->appendChild(std::make_unique<Element>(u"key"))->appendChild(cdataNode(u"run"));
    word->appendChild(std::make_unique<Element>(u"e"))->setEmptyTag(true);
    Element* own = word->appendChild(std::make_unique<Element>(u"own"));
    own->setText(u"kept");
    Element* mixed = word->appendChild(std::make_unique<Element>(u"mixed"));
    mixed->appendChild(textNode(u"t"));
    mixed->appendChild(std::make_unique<Element>(u"b"));

    // Written from a nested element, its indentation counts its ancestors.
    EXPECT_EQ(list->toString(),
              u"\t<WordList>\r\n"
              u"\t\t<Word level=\"2\">\r\n"
              u"\t\t\t<key>\r\n"
              u"\t\t\t\t<![CDATA[run]]>\r\n"
              u"\t\t\t</key>\r\n"
              u"\t\t\t<e />\r\n"
              u"\t\t\t<own>kept</own>\r\n"
              u"\t\t\t<mixed>t\t\t\t\t<b></b>\r\n"
              u"</mixed>\r\n"
              u"\t\t</Word>\r\n"
              u"\t</WordList>");

    // A childless top element does not write its own text.
    EXPECT_EQ(own->toString(), u"\t\t\t<own></own>");
    Element single(u"s");
    single.setEmptyTag(true);
    single.appendChild(std::make_unique<Element>(u"hidden"));
    EXPECT_EQ(single.toString(), u"<s />");
}

TEST(ElementWriting, CharacterDataIsEscapedSoThatItReadsBack) {
    // Titles typed by the user or taken from web pages are text nodes; written
    // raw, "&" would make the whole file unreadable.
    Element id3(u"id3");
    id3.setChildText(u"title", u"Q&A <live>");
    EXPECT_EQ(id3.toString(), u"<id3>\r\n\t<title>Q&amp;A &lt;live&gt;</title>\r\n</id3>");
    EXPECT_EQ(textNode(u"a&b")->toString(), u"a&amp;b");
}
