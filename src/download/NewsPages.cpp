#include "download/NewsPages.h"

#include <unordered_set>

#include "download/PageMarkers.h"
#include "download/RetrieverException.h"
#include "lyrics/SentenceListBuilders.h"
#include "xml/HtmlReader.h"
#include "xml/PageText.h"

namespace news {

namespace {

constexpr std::size_t npos = std::u16string_view::npos;
constexpr std::u16string_view kBlockMarker = u"<div class=\"right_col_in\">";
constexpr std::u16string_view kExplainMarker = u"<div id=\"elearning_explain\"";
constexpr std::u16string_view kKeywordMarker = u"class=\"explain\"";
// The longest page text a message quotes.
constexpr std::size_t kQuotedPageLimit = 4096;

std::u16string operator+(std::u16string_view a, std::u16string_view b) {
    std::u16string out(a);
    out.append(b);
    return out;
}

// The position just after the next `marker` from `from`, or npos.
std::size_t after(std::u16string_view page, std::u16string_view marker, std::size_t from) {
    if (from == npos) return npos;
    const std::size_t at = page.find(marker, from);
    return at == npos ? npos : at + marker.size();
}

// The next `marker` from `from`, or the end of the page: a missing end marker
// lets a text run to the end, and every later search then finds nothing.
std::size_t endAt(std::u16string_view page, std::u16string_view marker, std::size_t from) {
    if (from == npos || from >= page.size()) return page.size();
    const std::size_t at = page.find(marker, from);
    return at == npos ? page.size() : at;
}

std::unique_ptr<Element> textElement(std::u16string_view name, std::u16string_view text) {
    auto element = std::make_unique<Element>(std::u16string(name));
    auto node = std::make_unique<Element>();
    node->setText(std::u16string(text));
    element->appendChild(std::move(node));
    return element;
}

std::unique_ptr<Element> cdataElement(std::u16string_view name, std::u16string_view text) {
    auto element = std::make_unique<Element>(std::u16string(name));
    element->appendChild(std::make_unique<Element>())->setCData(text);
    return element;
}

std::size_t checkedExplanationStart(std::u16string_view url, std::u16string_view page) {
    const std::size_t at = page.find(kExplainMarker);
    if (at == npos) throw RetrieverException(url + u"\r\nNot found" + kExplainMarker + u"\r\n");
    return at;
}

std::u16string cleanPageText(std::u16string_view text) {
    return replaceAll(decodePageText(replaceAll(text, u"\r\n", u""), false), u"<br />", u"\r\n");
}

}  // namespace

std::u16string dayPageUrl(std::u16string_view host, std::u16string_view date) {
    return u"http://" + host + kDayPagePath + u"?ymd=" + date;
}

std::u16string newsExplanationsUrl(std::u16string_view host, std::u16string_view date) {
    return u"http://" + host + kExplanationPath + u"?ymd=" + date + u"&type=news";
}

std::u16string keywordExplanationsUrl(std::u16string_view host, std::u16string_view date) {
    return u"http://" + host + kExplanationPath + u"?ymd=" + date + u"&type=keyword";
}

std::u16string officialSiteUrl(std::u16string_view host) { return u"http://" + host + kOfficialSitePath; }

bool isExplanationUrl(std::u16string_view url, std::u16string_view host) {
    const std::u16string prefix = u"http://" + host + kExplanationPath;
    return url.substr(0, prefix.size()) == prefix;
}

std::optional<ProgrammeInformation> readProgrammeInformation(std::u16string_view page, std::u16string_view host,
                                                             std::u16string_view date) {
    const std::size_t start = page.find(kBlockMarker);
    if (start == npos) return std::nullopt;
    const std::size_t end = endAt(page, u"<div", start + kBlockMarker.size());
    std::u16string block = replaceAll(slice(page, start, end), u"\r\n", u"");
    block = replaceAll(block, u"<br />", u"\r\n");

    const std::u16string description = replaceAll(textBetween(block, u"\r\n", u"\t"), u"&nbsp;", u" ");
    std::u16string category = textBetween(block, u"カテゴリ :", u"\r\n");
    category = replaceAll(replaceAll(replaceAll(category, u"\t", u""), u"&nbsp;", u" "), u"  ", u"");
    block = replaceAll(block, u"&nbsp;", u"");
    if (description.empty()) throw RetrieverException(u"description text is not found.\r\n");
    if (category.empty()) throw RetrieverException(u"\r\ncategory text is not found.\r\n");

    const std::u16string englishTitle = textBetween(page, u"放送内容　　", u"<");
    if (englishTitle.empty()) throw RetrieverException(u"\r\ntitle text is not found.\r\n");
    const std::u16string broadcastTime = textBetween(block, u"<p>", u"</p>");
    std::u16string japaneseTitle = textBetween(block, u"<h2>", u"&nbsp;&nbsp;");
    if (japaneseTitle.empty()) japaneseTitle = textBetween(block, u"<h2>", u"&nbsp;<");
    if (japaneseTitle.empty()) japaneseTitle = textBetween(block, u"<h2>", u"<");
    if (japaneseTitle.empty()) throw RetrieverException(u"\r\ntitle japanese text is not found.\r\n");
    if (broadcastTime.empty()) throw RetrieverException(u"\r\nreal time text is not found.\r\n");

    ProgrammeInformation information;
    information.title = englishTitle + u" - " + japaneseTitle;
    auto id3 = std::make_unique<Element>(u"id3");
    id3->appendChild(textElement(u"title", information.title));
    id3->appendChild(cdataElement(u"description", information.title + u"\r\n" + broadcastTime + u"\r\n" + description));
    id3->appendChild(textElement(u"officialSite", officialSiteUrl(host)));
    id3->appendChild(textElement(u"sourceUrl", dayPageUrl(host, date)));
    id3->appendChild(textElement(u"category", category));
    id3->appendChild(textElement(u"year", slice(date, 0, 4)));
    id3->appendChild(textElement(u"month", slice(date, 4, 6)));
    id3->appendChild(textElement(u"day", slice(date, 6, 8)));
    information.id3 = std::move(id3);
    return information;
}

std::unique_ptr<Element> readWordList(std::u16string_view page, const std::function<void()>& repeatedWord) {
    auto list = std::make_unique<Element>(u"WordList");
    std::unordered_set<std::u16string_view> seen;
    std::size_t position = 0;
    for (;;) {
        const std::size_t wordStart = after(page, u"data-word=\"", position);
        const std::size_t wordEnd = wordStart == npos ? npos : page.find(u'"', wordStart);
        if (wordEnd == npos) break;
        const std::u16string_view word = page.substr(wordStart, wordEnd - wordStart);
        position = wordEnd + 1;
        if (!seen.insert(word).second) {
            if (repeatedWord) repeatedWord();
            continue;
        }
        const std::size_t meaningStart = after(page, u"data-jp=\"", wordEnd);
        const std::size_t meaningEnd = meaningStart == npos ? npos : page.find(u'"', meaningStart);
        const std::size_t typeStart = after(page, u"data-type=\"", meaningEnd);
        const std::size_t typeEnd = typeStart == npos ? npos : page.find(u'"', typeStart);
        if (typeEnd == npos) break;
        const std::u16string_view meaning = page.substr(meaningStart, meaningEnd - meaningStart);
        const std::u16string_view type = page.substr(typeStart, typeEnd - typeStart);
        list->appendChild(createWord(word, u"[" + type + u"] " + meaning, u""));
        position = typeEnd + 1;
    }
    return list;
}

std::vector<std::u16string> readExplanationLinks(std::u16string_view page, std::u16string_view host) {
    HtmlReader reader;
    reader.read(page);
    std::vector<std::u16string> links;
    std::unordered_set<std::u16string> kept;
    for (const Element* link : reader.getElementsByTagName(u"a")) {
        std::u16string href = link->getAttribute(u"href");
        if (href.find(u"&id=") == npos) continue;
        if ((u"http://" + host + href).find(kExplanationPath) == npos) continue;
        if (!kept.insert(href).second) continue;
        links.push_back(std::move(href));
    }
    return links;
}

std::unique_ptr<Element> readExplanationPage(std::u16string_view url, std::u16string_view page) {
    const std::size_t explain = checkedExplanationStart(url, page);
    const std::size_t start = after(page, u"<dd>", explain);
    if (start == npos) throw RetrieverException(url + u"\r\nNot found " + u"<dd>");

    std::u16string sentence, translation;
    std::size_t translationEnd = npos;
    if (page.find(u"udio1>", start) != npos) {
        std::size_t audio = page.find(u"<Audio1><br />", start);
        if (audio == npos) audio = page.find(u"<audio1><br />", start);
        if (audio == npos) throw RetrieverException(url + u"\r\n<audio1> tag is not found.\r\n");
        sentence = replaceAll(replaceAll(slice(page, start, audio), u"<br />", u""), u"\n", u"");
        const std::size_t from = audio + 14;
        translationEnd = page.find(u"</Audio1>", from);
        if (translationEnd == npos) translationEnd = page.find(u"</audio1>", from);
        if (translationEnd == npos) translationEnd = endAt(page, u"</dd>", from);
        translation = replaceAll(slice(page, from, translationEnd), u"\n", u"");
    } else {
        const std::size_t span = endAt(page, u"<span>", start);
        sentence = std::u16string(slice(page, start, span));
        const std::size_t from = after(page, u"<br />", span);
        translationEnd = endAt(page, u"</dd>", from);
        translation = replaceAll(slice(page, from, translationEnd), u"\n", u"");
    }
    const std::size_t explanationStart = after(page, u"<dd>", translationEnd);
    if (explanationStart == npos) throw RetrieverException(url + u"\r\nNot found " + u"<dd>");
    const std::u16string_view explanation = slice(page, explanationStart, endAt(page, u"</dd>", explanationStart));
    return makeSentenceGroup(sentence, translation, explanation);
}

std::unique_ptr<Element> readKeywordPage(std::u16string_view url, std::u16string_view page) {
    const std::size_t explain = checkedExplanationStart(url, page);
    const std::size_t explanationStart = after(page, u"<dd>", explain);
    const std::size_t explanationEnd = endAt(page, u"</dd>", explanationStart);
    const std::u16string_view explanation = slice(page, explanationStart, explanationEnd);
    const std::size_t sentenceStart = after(page, u"<li>", after(page, kKeywordMarker, explanationEnd));
    if (sentenceStart == npos)
        throw RetrieverException(url + excerpt(page, kQuotedPageLimit) + u"\r\nNot found " + kKeywordMarker + u"\r\n");
    const std::size_t sentenceEnd = endAt(page, u"<br />", sentenceStart);
    const std::u16string sentence = slice(page, sentenceStart, sentenceEnd) + u"<br />";
    const std::size_t translationStart = after(page, u"<br />", sentenceEnd);
    const std::u16string_view translation = slice(page, translationStart, endAt(page, u"<br />", translationStart));
    return makeSentenceGroup(sentence, translation, explanation);
}

std::unique_ptr<Element> makeSentenceGroup(std::u16string_view sentence, std::u16string_view translation,
                                           std::u16string_view explanation) {
    std::u16string s = cleanPageText(sentence);
    if (s.find(u"\r\n") == npos) s += u"\r\n";
    std::u16string t = cleanPageText(translation);
    if (t.find(u"\r\n") == npos) t += u"\r\n";
    return createSentenceGroup(s, t, cleanPageText(explanation));
}

}  // namespace news
