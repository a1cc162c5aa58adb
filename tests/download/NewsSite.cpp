#include "NewsSite.h"

#include "lyrics/SentenceListBuilders.h"

namespace newssite {

namespace {
std::string theDate = "20150520";
}

const std::string& date() { return theDate; }
void setDate(std::string date) { theDate = std::move(date); }

std::string dayTarget() { return std::string("/e-news/news/index.cgi?ymd=") + date(); }

std::string newsListTarget() { return std::string("/e-news/elearning/explain.cgi?ymd=") + date() + "&type=news"; }

std::string keywordListTarget() { return std::string("/e-news/elearning/explain.cgi?ymd=") + date() + "&type=keyword"; }

std::string explanationTarget(const std::string& type, int id) {
    return std::string("/e-news/elearning/explain.cgi?ymd=") + date() + "&type=" + type + "&id=" + std::to_string(id);
}

std::string dayPage(const std::string& englishTitle) {
    return "<html>\r\n<head><title>ニュースで英会話</title></head>\r\n<body>\r\n"
           "<div class=\"right_col_in\">\r\n"
           "<h2>ニュースで英会話&nbsp;&nbsp;<span>2015年5月20日</span></h2>\r\n"
           "<p>2015年5月20日（水）放送</p>\r\n"
           "<br />Japan's economy grew faster than expected.&nbsp;Details inside.\t\r\n"
           "<br />カテゴリ :&nbsp;\t経済&nbsp;&nbsp;ビジネス<br />\r\n"
           "</div>\r\n"
           "<div class=\"program\">放送内容　　" +
           englishTitle +
           "<span>!</span></div>\r\n"
           "<p><span data-word=\"grow\" data-jp=\"成長する\" data-type=\"動詞\">grow</span>\r\n"
           "<span data-word=\"economy\" data-jp=\"経済\" data-type=\"名詞\">economy</span>\r\n"
           "<span data-word=\"grow\" data-jp=\"成長する\" data-type=\"動詞\">grow</span></p>\r\n"
           "</body>\r\n</html>\r\n";
}

std::string listPage(const std::string& type, std::initializer_list<int> ids) {
    std::string page = "<html><body><ul>\n";
    for (int id : ids) page += "<li><a href=\"" + explanationTarget(type, id) + "\">item</a></li>\n";
    // Links the downloader must pass over: another path, and no id.
    page += "<li><a href=\"/e-news/other.cgi?x=1&id=9\">other</a></li>\n";
    page += std::string("<li><a href=\"/e-news/elearning/explain.cgi?ymd=") + date() + "\">all</a></li>\n";
    page += "</ul></body></html>\n";
    return page;
}

std::string newsPageWithAudio() {
    return "<html><body>\n<div id=\"elearning_explain\">\n<dl><dt>News</dt><dd>The economy grew<br />\r\n"
           " by 2.4 percent.<Audio1><br />経済は2.4%成長しました。</Audio1></dd>\n"
           "<dt>解説</dt><dd>&quot;grow&quot; means 成長する.<br />Second line.</dd></dl>\n</div></body></html>\n";
}

std::string newsPageWithSpan() {
    return "<html><body>\n<div id=\"elearning_explain\">\n<dl><dd>Prices rose &amp; wages fell.<span>訳</span>"
           "<br />物価が上がり\n賃金が下がった。</dd>\n<dd>Explanation two.</dd></dl>\n</div></body></html>\n";
}

std::string keywordPage() {
    return "<html><body>\n<div id=\"elearning_explain\">\n<dl><dd>to become bigger</dd></dl>\n"
           "<ul class=\"explain\"><li>The company grew quickly.<br />その会社は急成長した。<br /></li></ul>\n"
           "</div></body></html>\n";
}

std::string weekendPage() { return "<html><body><p>本日の放送はありません。</p></body></html>\n"; }

void serveNormalDay(HttpTestServer& server, const std::string& englishTitle) {
    server.route(dayTarget(), HttpTestServer::page(dayPage(englishTitle)));
    server.route(newsListTarget(), HttpTestServer::page(listPage("news", {1, 2, 1})));
    server.route(explanationTarget("news", 1), HttpTestServer::page(newsPageWithAudio()));
    server.route(explanationTarget("news", 2), HttpTestServer::page(newsPageWithSpan()));
    server.route(keywordListTarget(), HttpTestServer::page(listPage("keyword", {1})));
    server.route(explanationTarget("keyword", 1), HttpTestServer::page(keywordPage()));
}

// The tree the normal day must give, built with the sentence-list builders.
std::unique_ptr<Element> expectedNormalDay(const std::u16string& host, bool withKeywords) {
    auto root = std::make_unique<Element>(u"SentenceList");
    Element* id3 = root->appendChild(std::make_unique<Element>(u"id3"));
    const std::u16string title = u"Economy Grows - ニュースで英会話";
    id3->setChildText(u"title", title);
    id3->appendChild(std::make_unique<Element>(u"description"))
        ->appendChild(std::make_unique<Element>())
        ->setCData(title +
                   u"\r\n2015年5月20日（水）放送\r\nJapan's economy grew faster than expected. Details inside.");
    id3->setChildText(u"officialSite", u"http://" + host + u"/e-news/index.cgi");
    const std::u16string day(date().begin(), date().end());
    id3->setChildText(u"sourceUrl", u"http://" + host + u"/e-news/news/index.cgi?ymd=" + day);
    id3->setChildText(u"category", u" 経済ビジネス");
    id3->setChildText(u"year", day.substr(0, 4));
    id3->setChildText(u"month", day.substr(4, 2));
    id3->setChildText(u"day", day.substr(6, 2));
    Element* words = root->appendChild(std::make_unique<Element>(u"WordList"));
    words->appendChild(createWord(u"grow", u"[動詞] 成長する", u""));
    words->appendChild(createWord(u"economy", u"[名詞] 経済", u""));
    root->appendChild(createSentenceGroup(u"The economy grew by 2.4 percent.\r\n", u"経済は2.4%成長しました。\r\n",
                                          u"\"grow\" means 成長する.\r\nSecond line."));
    root->appendChild(createSentenceGroup(u"Prices rose & wages fell.\r\n", u"物価が上がり賃金が下がった。\r\n",
                                          u"Explanation two."));
    if (withKeywords)
        root->appendChild(
            createSentenceGroup(u"The company grew quickly.\r\n", u"その会社は急成長した。\r\n", u"to become bigger"));
    return root;
}

std::u16string hostOf(const HttpTestServer& server) {
    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    return std::u16string(host.begin(), host.end());
}

}  // namespace newssite
