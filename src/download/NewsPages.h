// Reading the pages of the daily English news programme: the day's page
// (programme information and the day's words), the list of a day's
// explanation links, and one explanation or keyword page, each turned into
// the elements of a sentence-list file.
//
// Pure text work on pages already decoded to UTF-16: no requests, no waits.
// What makes a day unusable is thrown as RetrieverException carrying the
// exact line the log shows; anything a page holds, however broken, large or
// nested, ends in an element or such an exception in time linear in its size.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/Element.h"

namespace news {

inline constexpr std::u16string_view kDayPagePath = u"/e-news/news/index.cgi";
inline constexpr std::u16string_view kExplanationPath = u"/e-news/elearning/explain.cgi";
inline constexpr std::u16string_view kOfficialSitePath = u"/e-news/index.cgi";

// date: eight digits, year, month and day ("20150520").
std::u16string dayPageUrl(std::u16string_view host, std::u16string_view date);
std::u16string newsExplanationsUrl(std::u16string_view host, std::u16string_view date);
std::u16string keywordExplanationsUrl(std::u16string_view host, std::u16string_view date);
std::u16string officialSiteUrl(std::u16string_view host);

// Whether url is an explanation page of the site on host: it begins with
// "http://" + host + the explanation path, so a link on a page can never
// send a request to another host.
bool isExplanationUrl(std::u16string_view url, std::u16string_view host);

struct ProgrammeInformation {
    std::unique_ptr<Element> id3;  // title, description, officialSite, sourceUrl, category, year, month, day
    std::u16string title;          // English title + " - " + Japanese title
};

// The programme information block of the day's page as an id3 element;
// nothing when the page has no block. Throws when the block lacks a part.
std::optional<ProgrammeInformation> readProgrammeInformation(std::u16string_view page, std::u16string_view host,
                                                             std::u16string_view date);

// The day's words as a WordList of Word entries (key the word, value
// "[type] meaning"), each word once; repeatedWord is called for each word met
// again.
std::unique_ptr<Element> readWordList(std::u16string_view page, const std::function<void()>& repeatedWord);

// The hrefs of the list page's links to explanation pages, in page order, each
// once.
std::vector<std::u16string> readExplanationLinks(std::u16string_view page, std::u16string_view host);

// One news explanation page (the sentence, its translation and explanation)
// as a SentenceGroup; url only names the page in messages.
std::unique_ptr<Element> readExplanationPage(std::u16string_view url, std::u16string_view page);
// One keyword page (a keyword's example sentence, translation and explanation).
std::unique_ptr<Element> readKeywordPage(std::u16string_view url, std::u16string_view page);

// A SentenceGroup of three texts cut from a page: line breaks dropped,
// references decoded, "<br />" made a line end; the sentence and the
// translation end with at least one line end.
std::unique_ptr<Element> makeSentenceGroup(std::u16string_view sentence, std::u16string_view translation,
                                           std::u16string_view explanation);

}  // namespace news
