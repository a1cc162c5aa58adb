#include "NewsSite.h"

namespace newssite {

std::string dayTarget() { return std::string("/e-news/news/index.cgi?ymd=") + kDate; }

std::string newsListTarget() { return std::string("/e-news/elearning/explain.cgi?ymd=") + kDate + "&type=news"; }

std::string keywordListTarget() {
    return std::string("/e-news/elearning/explain.cgi?ymd=") + kDate + "&type=keyword";
}

std::string explanationTarget(const std::string& type, int id) {
    return std::string("/e-news/elearning/explain.cgi?ymd=") + kDate + "&type=" + type + "&id=" + std::to_string(id);
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
    page += std::string("<li><a href=\"/e-news/elearning/explain.cgi?ymd=") + kDate + "\">all</a></li>\n";
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

std::u16string hostOf(const HttpTestServer& server) {
    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    return std::u16string(host.begin(), host.end());
}

}  // namespace newssite
