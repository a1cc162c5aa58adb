// A stand-in for the daily English news programme's site on the local test
// server: pages built to the markers the downloader reads, for one day (by
// default 2015/05/20) with two news explanations and one keyword page, and
// helpers to replace any page with a broken or hostile one.
#pragma once

#include <memory>
#include <string>

#include "support/HttpTestServer.h"
#include "xml/Element.h"

namespace newssite {

// The day the site serves: eight digits (a test of the whole program serves
// the day its date picker shows, today).
const std::string& date();
void setDate(std::string date);

// The request targets of the day.
std::string dayTarget();
std::string newsListTarget();
std::string keywordListTarget();
// An explanation page's target ("...&type=news&id=1").
std::string explanationTarget(const std::string& type, int id);

// A day page: programme information with this English title, and the words
// "grow" (twice) and "economy".
std::string dayPage(const std::string& englishTitle = "Economy Grows");
// A list page linking to the explanation pages of these ids, in order.
std::string listPage(const std::string& type, std::initializer_list<int> ids);
// The pages of a normal day.
std::string newsPageWithAudio();  // id 1
std::string newsPageWithSpan();   // id 2
std::string keywordPage();        // keyword id 1
// A weekend list page: no links, no explanation block.
std::string weekendPage();

// Routes every page of the normal day: the news list links 1, 2 and 1 again.
void serveNormalDay(HttpTestServer& server, const std::string& englishTitle = "Economy Grows");

// The sentence list the normal day gives on that host, built with the
// sentence-list builders.
std::unique_ptr<Element> expectedNormalDay(const std::u16string& host, bool withKeywords);

// The server's host as the settings name it: "127.0.0.1:<port>".
std::u16string hostOf(const HttpTestServer& server);

}  // namespace newssite
