// The element builders the downloaders and the word list use.
#include <gtest/gtest.h>

#include "lyrics/SentenceListBuilders.h"

TEST(Builders, SentenceGroupHasThreeCDataChildrenEvenWhenEmpty) {
    std::unique_ptr<Element> group = createSentenceGroup(u"s", u"", u"e]]>");
    EXPECT_EQ(group->toString(),
              u"<SentenceGroup>\r\n"
              u"\t<sentence>\r\n\t\t<![CDATA[s]]>\r\n\t</sentence>\r\n"
              u"\t<translation>\r\n\t\t<![CDATA[]]>\r\n\t</translation>\r\n"
              u"\t<explanation>\r\n\t\t<![CDATA[e]]&gt;]]>\r\n\t</explanation>\r\n"
              u"</SentenceGroup>");
    EXPECT_FALSE(group->hasAttribute(u"startTime"));
}

TEST(Builders, WordWithAndWithoutExplanation) {
    std::unique_ptr<Element> word = createWord(u"run", u"走る", u"");
    EXPECT_EQ(word->toString(),
              u"<Word>\r\n\t<key>\r\n\t\t<![CDATA[run]]>\r\n\t</key>\r\n"
              u"\t<value>\r\n\t\t<![CDATA[走る]]>\r\n\t</value>\r\n</Word>");
    setExplanation(*word, u"note");
    setExplanation(*word, u"changed");
    ASSERT_NE(word->findElement(u"explanation"), nullptr);
    EXPECT_EQ(word->findElement(u"explanation")->getChildren().size(), 1u);
    EXPECT_EQ(word->findElement(u"explanation")->getCDataText(), u"changed");
    setExplanation(*word, u"");
    EXPECT_EQ(word->findElement(u"explanation"), nullptr);
}

TEST(Builders, SetWordValueMovesTheOlderFormsCData) {
    // Older files keep the meaning as a CDATA section directly inside Word.
    Element word(u"Word");
    word.setAttribute(u"key", u"run");
    word.appendChild(std::make_unique<Element>())->setCData(u"old meaning");
    setWordValue(word, u"新しい意味");
    std::vector<Element*> children = word.getChildren();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0]->getName(), u"value");
    ASSERT_EQ(children[0]->getChildren().size(), 1u);
    EXPECT_EQ(children[0]->getCDataText(), u"新しい意味");

    // A value element holding plain text gets a CDATA child in its place.
    Element other(u"Word");
    other.appendChild(std::make_unique<Element>(u"value"))->appendChild(std::make_unique<Element>())->setText(u"t");
    setWordValue(other, u"v");
    EXPECT_EQ(other.findElement(u"value")->getChildren().size(), 1u);
    EXPECT_EQ(other.findElement(u"value")->getCDataText(), u"v");
}

TEST(Builders, SetImageUsesOwnTextNotCData) {
    std::unique_ptr<Element> group = createSentenceGroup(u"s", u"t", u"e");
    setImage(*group, u"pictures/1.jpg");
    setImage(*group, u"pictures/2.jpg");
    ASSERT_EQ(group->getChildren().size(), 4u);
    Element* image = group->findElement(u"image");
    EXPECT_EQ(image->firstChild(), nullptr);
    EXPECT_EQ(image->ownText(), u"pictures/2.jpg");
    EXPECT_NE(group->toString().find(u"\t<image>pictures/2.jpg</image>\r\n"), std::u16string::npos);
}
