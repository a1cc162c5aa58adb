// Reading the news programme's pages: the programme information and its exact
// failure texts, the word list, the explanation links, the explanation and
// keyword pages, and pages whose markers are missing, doubled or out of order
// in every combination.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "NewsSite.h"
#include "download/NewsPages.h"
#include "download/PageMarkers.h"
#include "download/RetrieverException.h"
#include "platform/win32.h"
#include "text/NarrowText.h"

using namespace std::string_literals;

namespace {

const std::u16string kHost = u"news.test";
const std::u16string kUrl = u"http://news.test/e-news/elearning/explain.cgi?ymd=20150520&type=news&id=1";

std::u16string utf16(const std::string& utf8) { return decodeCodePage(utf8, CP_UTF8); }

// The message of the RetrieverException f throws, or "<no exception>".
std::u16string failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RetrieverException& e) {
        return e.message();
    }
    return u"<no exception>";
}

struct GroupTexts {
    std::u16string sentence, translation, explanation;
    bool operator==(const GroupTexts&) const = default;
};

GroupTexts textsOf(const Element& group) {
    auto children = group.getChildren();
    EXPECT_EQ(children.size(), 3u);
    EXPECT_EQ(group.getName(), u"SentenceGroup");
    return {children.at(0)->getCDataText(), children.at(1)->getCDataText(), children.at(2)->getCDataText()};
}

void PrintTo(const GroupTexts& t, std::ostream* os) {
    *os << "{" << ::testing::PrintToString(t.sentence) << ", " << ::testing::PrintToString(t.translation) << ", "
        << ::testing::PrintToString(t.explanation) << "}";
}

}  // namespace

TEST(NewsUrls, DayListAndOfficialAddressesOnTheConfiguredHost) {
    EXPECT_EQ(news::dayPageUrl(kHost, u"20150520"), u"http://news.test/e-news/news/index.cgi?ymd=20150520");
    EXPECT_EQ(news::newsExplanationsUrl(kHost, u"20150520"),
              u"http://news.test/e-news/elearning/explain.cgi?ymd=20150520&type=news");
    EXPECT_EQ(news::keywordExplanationsUrl(kHost, u"20150520"),
              u"http://news.test/e-news/elearning/explain.cgi?ymd=20150520&type=keyword");
    EXPECT_EQ(news::officialSiteUrl(kHost), u"http://news.test/e-news/index.cgi");
}

TEST(NewsUrls, OnlyAddressesOnTheSiteItselfAreExplanationPages) {
    EXPECT_TRUE(news::isExplanationUrl(kUrl, kHost));
    // A link can name the site's address anywhere in it; only its start counts.
    EXPECT_FALSE(
        news::isExplanationUrl(u"http://news.test@evil.test/?http://news.test/e-news/elearning/explain.cgi", kHost));
    EXPECT_FALSE(news::isExplanationUrl(u"http://news.test.evil.test/e-news/elearning/explain.cgi", kHost));
    EXPECT_FALSE(news::isExplanationUrl(u"http://news.test/e-news/other.cgi", kHost));
}

TEST(ProgrammeInformation, TheDayPageGivesTitleDescriptionCategoryAndDate) {
    auto information = news::readProgrammeInformation(utf16(newssite::dayPage()), kHost, u"20150520");
    ASSERT_TRUE(information.has_value());
    EXPECT_EQ(information->title, u"Economy Grows - ニュースで英会話");
    const Element& id3 = *information->id3;
    EXPECT_EQ(id3.getName(), u"id3");
    std::vector<std::u16string> names;
    for (const Element* child : id3.getChildren()) names.push_back(child->getName());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"title", u"description", u"officialSite", u"sourceUrl", u"category",
                                                  u"year", u"month", u"day"}));
    EXPECT_EQ(id3.getTextOf(u"title"), u"Economy Grows - ニュースで英会話");
    const Element* description = id3.findElement(u"description");
    ASSERT_NE(description, nullptr);
    ASSERT_NE(description->firstChild(), nullptr);
    EXPECT_TRUE(description->firstChild()->isCData());
    EXPECT_EQ(description->getCDataText(),
              u"Economy Grows - ニュースで英会話\r\n2015年5月20日（水）放送\r\n"
              u"Japan's economy grew faster than expected. Details inside.");
    EXPECT_EQ(id3.getTextOf(u"officialSite"), u"http://news.test/e-news/index.cgi");
    EXPECT_EQ(id3.getTextOf(u"sourceUrl"), u"http://news.test/e-news/news/index.cgi?ymd=20150520");
    // Tabs go, non-breaking spaces become spaces, then double spaces go.
    EXPECT_EQ(id3.getTextOf(u"category"), u" 経済ビジネス");
    EXPECT_EQ(id3.getTextOf(u"year"), u"2015");
    EXPECT_EQ(id3.getTextOf(u"month"), u"05");
    EXPECT_EQ(id3.getTextOf(u"day"), u"20");
}

TEST(ProgrammeInformation, EachMissingPartFailsWithItsOwnText) {
    const std::string page = newssite::dayPage();
    auto without = [&](const std::string& part, const std::string& instead = "") {
        std::string changed = page;
        changed.replace(changed.find(part), part.size(), instead);
        return utf16(changed);
    };
    struct Case {
        std::u16string page;
        std::u16string message;
    };
    const Case cases[] = {
        {without("Japan's economy grew faster than expected.&nbsp;Details inside."),
         u"description text is not found.\r\n"},
        {without("カテゴリ :"), u"\r\ncategory text is not found.\r\n"},
        {without("放送内容　　"), u"\r\ntitle text is not found.\r\n"},
        {without("<h2>ニュースで英会話", "<h2>"), u"\r\ntitle japanese text is not found.\r\n"},
        {without("<p>2015年5月20日（水）放送</p>"), u"\r\nreal time text is not found.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.message));
        EXPECT_EQ(failureOf([&] { news::readProgrammeInformation(c.page, kHost, u"20150520"); }), c.message);
    }
}

TEST(ProgrammeInformation, APageWithoutTheBlockHasNone) {
    EXPECT_FALSE(news::readProgrammeInformation(utf16(newssite::weekendPage()), kHost, u"20150520").has_value());
    EXPECT_FALSE(news::readProgrammeInformation(u"", kHost, u"").has_value());
    // A block that runs to the end of the page is still read.
    auto information = news::readProgrammeInformation(
        u"放送内容　　T<div class=\"right_col_in\"><h2>J<p>t</p><br />d\tカテゴリ :c<br />", kHost, u"2015");
    ASSERT_TRUE(information.has_value());
    EXPECT_EQ(information->title, u"T - J");
    EXPECT_EQ(information->id3->getTextOf(u"month"), u"");
}

TEST(WordList, EachWordOnceWithItsTypeAndMeaning) {
    int repeated = 0;
    auto list = news::readWordList(utf16(newssite::dayPage()), [&] { ++repeated; });
    EXPECT_EQ(list->getName(), u"WordList");
    auto words = list->getChildren();
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0]->findElement(u"key")->getCDataText(), u"grow");
    EXPECT_EQ(words[0]->findElement(u"value")->getCDataText(), u"[動詞] 成長する");
    EXPECT_EQ(words[1]->findElement(u"key")->getCDataText(), u"economy");
    EXPECT_EQ(words[1]->findElement(u"value")->getCDataText(), u"[名詞] 経済");
    EXPECT_EQ(repeated, 1);
}

TEST(WordList, AWordWithoutMeaningOrTypeEndsTheWalk) {
    auto list = news::readWordList(
        u"data-word=\"a\" data-jp=\"あ\" data-type=\"t\" data-word=\"b\" data-jp=\"い\" "
        u"data-word=\"c\" data-jp=\"う\" data-type=\"u\"",
        {});
    // b takes c's type, as the walk searches on; c itself is then passed.
    ASSERT_EQ(list->getChildren().size(), 2u);
    EXPECT_EQ(list->getChildren()[1]->findElement(u"value")->getCDataText(), u"[u] い");
    EXPECT_TRUE(news::readWordList(u"data-word=\"a\" data-jp=\"あ\"", {})->getChildren().empty());
    EXPECT_TRUE(news::readWordList(u"data-word=\"unclosed", {})->getChildren().empty());
}

TEST(ExplanationLinks, OnlyExplanationLinksWithAnIdEachOnceInPageOrder) {
    auto links = news::readExplanationLinks(utf16(newssite::listPage("news", {2, 1, 2})), kHost);
    EXPECT_EQ(links, (std::vector<std::u16string>{
                         u"/e-news/elearning/explain.cgi?ymd=20150520&type=news&id=2",
                         u"/e-news/elearning/explain.cgi?ymd=20150520&type=news&id=1",
                     }));
    EXPECT_TRUE(news::readExplanationLinks(utf16(newssite::weekendPage()), kHost).empty());
}

TEST(ExplanationPage, AnAudioTagSplitsSentenceAndTranslation) {
    auto group = news::readExplanationPage(kUrl, utf16(newssite::newsPageWithAudio()));
    EXPECT_EQ(textsOf(*group), (GroupTexts{u"The economy grew by 2.4 percent.\r\n", u"経済は2.4%成長しました。\r\n",
                                           u"\"grow\" means 成長する.\r\nSecond line."}));
    // The lower-case tag serves as well, and so does a translation closed only by its </dd>.
    auto lower =
        news::readExplanationPage(kUrl, u"<div id=\"elearning_explain\"><dd>Hi.<audio1><br />やあ。</dd><dd>e</dd>");
    EXPECT_EQ(textsOf(*lower), (GroupTexts{u"Hi.\r\n", u"やあ。\r\n", u"e"}));
}

TEST(ExplanationPage, WithoutAudioTheSpanEndsTheSentence) {
    auto group = news::readExplanationPage(kUrl, utf16(newssite::newsPageWithSpan()));
    EXPECT_EQ(textsOf(*group),
              (GroupTexts{u"Prices rose & wages fell.\r\n", u"物価が上がり賃金が下がった。\r\n", u"Explanation two."}));
    // Line breaks written as <br /> stay, and then no line end is added.
    auto lines = news::readExplanationPage(
        kUrl, u"<div id=\"elearning_explain\"><dd>One<br />two<span>x<br />一<br />二</dd><dd>e</dd>");
    EXPECT_EQ(textsOf(*lines), (GroupTexts{u"One\r\ntwo", u"一\r\n二", u"e"}));
}

TEST(ExplanationPage, MissingMarkersFailWithTheirTexts) {
    EXPECT_EQ(failureOf([] { news::readExplanationPage(kUrl, u"<div><dd>x</dd>"); }),
              kUrl + u"\r\nNot found<div id=\"elearning_explain\"\r\n");
    EXPECT_EQ(failureOf([] { news::readExplanationPage(kUrl, u"<div id=\"elearning_explain\"><dd>x udio1> y</dd>"); }),
              kUrl + u"\r\n<audio1> tag is not found.\r\n");
    EXPECT_EQ(
        failureOf([] { news::readExplanationPage(kUrl, u"<div id=\"elearning_explain\"><dd>x<span>y<br />z</dd>"); }),
        kUrl + u"\r\nNot found <dd>");
    EXPECT_EQ(failureOf([] { news::readExplanationPage(kUrl, u"<div id=\"elearning_explain\">no list"); }),
              kUrl + u"\r\nNot found <dd>");
}

TEST(KeywordPage, TheExampleSentenceItsTranslationAndTheExplanation) {
    auto group = news::readKeywordPage(kUrl, utf16(newssite::keywordPage()));
    EXPECT_EQ(textsOf(*group),
              (GroupTexts{u"The company grew quickly.\r\n", u"その会社は急成長した。\r\n", u"to become bigger"}));
}

TEST(KeywordPage, WithoutTheListTheMessageQuotesThePage) {
    const std::u16string page = u"<div id=\"elearning_explain\"><dd>e</dd>";
    EXPECT_EQ(failureOf([&] { news::readKeywordPage(kUrl, page); }),
              kUrl + page + u"\r\nNot found class=\"explain\"\r\n");
    // A huge page is quoted only in part.
    std::u16string huge = page + std::u16string(100000, u'x');
    const std::u16string message = failureOf([&] { news::readKeywordPage(kUrl, huge); });
    EXPECT_LT(message.size(), 5000u);
    EXPECT_NE(message.find(u"(100038 characters in all)\r\nNot found class=\"explain\"\r\n"), std::u16string::npos);
}

// Pages built from every subset of a page's markers, in their own order and
// reversed (nested the wrong way round), and with every marker doubled: each
// gives a group or fails with a message naming the page, and a page that
// has every marker in order gives a group.
TEST(ExplanationPage, MarkersMissingNestedOrRepeatedInEveryCombination) {
    const std::vector<std::u16string> markers = {u"<div id=\"elearning_explain\">",
                                                 u"<dd>",
                                                 u"A sentence.",
                                                 u"<Audio1><br />",
                                                 u"<audio1><br />",
                                                 u"<span>",
                                                 u"<br />",
                                                 u"訳。",
                                                 u"</Audio1>",
                                                 u"</dd>",
                                                 u"<dd>",
                                                 u"Explained.",
                                                 u"</dd>",
                                                 u"class=\"explain\"",
                                                 u"<li>",
                                                 u"Example.<br />",
                                                 u"例。<br />"};
    const std::size_t n = markers.size();
    int groups = 0, failures = 0;
    for (int arrangement = 0; arrangement < 3; ++arrangement) {
        for (std::uint32_t subset = 0; subset < (1u << n); subset += (arrangement == 0 ? 1 : 7)) {
            std::u16string page;
            for (std::size_t i = 0; i < n; ++i) {
                const std::size_t k = arrangement == 1 ? n - 1 - i : i;
                if (!(subset & (1u << k))) continue;
                page += markers[k];
                if (arrangement == 2) page += markers[k];
            }
            for (auto read : {&news::readExplanationPage, &news::readKeywordPage}) {
                try {
                    auto group = read(kUrl, page);
                    ASSERT_NE(group, nullptr);
                    ASSERT_EQ(group->getChildren().size(), 3u);
                    ++groups;
                } catch (const RetrieverException& e) {
                    ASSERT_EQ(e.message().rfind(kUrl, 0), 0u) << ::testing::PrintToString(page);
                    ++failures;
                }
            }
        }
    }
    EXPECT_GT(groups, 0);
    EXPECT_GT(failures, 0);
    std::u16string all;
    for (const auto& m : markers) all += m;
    EXPECT_NO_THROW(news::readExplanationPage(kUrl, all));
    EXPECT_NO_THROW(news::readKeywordPage(kUrl, all));
}

TEST(SentenceGroupText, ReferencesDecodedBreaksKeptAndLineEndsAdded) {
    auto group = news::makeSentenceGroup(u"a &lt;b&gt;\r\nc", u"x<br />y", u"e\\tf");
    EXPECT_EQ(textsOf(*group), (GroupTexts{u"a <b>c\r\n", u"x\r\ny", u"e\tf"}));
}

TEST(PageMarkers, BetweenReplaceAndExcerpt) {
    EXPECT_EQ(textBetween(u"a[b]c[d]", u"[", u"]"), u"b");
    EXPECT_EQ(textBetween(u"a[b", u"[", u"]"), u"");
    EXPECT_EQ(textBetween(u"a]b", u"[", u"]"), u"");
    // From a position on; only a missing close is reported.
    std::vector<std::u16string> missing;
    const auto note = [&](const std::u16string& marker) { missing.push_back(marker); };
    EXPECT_EQ(textBetween(u"[a][b]", u"[", u"]", 1, note), u"b");
    EXPECT_EQ(textBetween(u"a]b", u"[", u"]", 0, note), u"");
    EXPECT_EQ(textBetween(u"<x>open only", u"<x>", u"</x>", 0, note), u"");
    EXPECT_EQ(missing, (std::vector<std::u16string>{u"</x>"}));
    EXPECT_EQ(replaceAll(u"aaaa", u"aa", u"b"), u"bb");
    EXPECT_EQ(replaceAll(u"a  b   c", u"  ", u""), u"ab c");
    EXPECT_EQ(std::u16string(slice(u"abc", 1, std::u16string::npos)), u"bc");
    EXPECT_EQ(std::u16string(slice(u"abc", 5, 9)), u"");
    EXPECT_EQ(excerpt(u"short", 10), u"short");
    EXPECT_EQ(excerpt(u"abcdef", 3), u"abc...\r\n(6 characters in all)");
}
