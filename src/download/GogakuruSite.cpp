#include "download/GogakuruSite.h"

#include "xml/HtmlReader.h"

namespace gogakuru {

Addresses::Addresses(const SiteHosts& hosts)
    : siteHost(hosts.phraseSite),
      phrasePrefix(u"http://" + hosts.phraseSite + u"/english/phrase/"),
      siteRoot(u"http://" + hosts.phraseSite + u"/"),
      streamBase(u"rtmpe://" + hosts.phraseStream + u"/nhk-edu/_definst_/gogakuru/"),
      playerAddress(u"http://" + hosts.phrasePlayer + u"/www11/nhk-edu/web/gogakuru/swf/phrase_player.swf"),
      startAddress(u"http://" + hosts.phraseSite + u"/???") {}

std::u16string phraseRowAddress(std::u16string_view url, std::u16string_view phrasePrefix) {
    if (!url.starts_with(phrasePrefix)) return {};
    const std::u16string_view address = url.substr(0, url.find(u'?'));
    if (address.empty() || address.back() < u'0' || address.back() > u'9') return {};
    return std::u16string(address);
}

std::vector<std::u16string> linkedAddresses(std::u16string_view page, std::u16string_view siteHost) {
    HtmlReader reader;
    reader.read(page);
    std::vector<std::u16string> addresses;
    for (const Element* link : reader.getElementsByTagName(u"a")) {
        const std::u16string href = link->getAttribute(u"href");
        if (href.find(u".htm") != std::u16string::npos) continue;
        addresses.push_back(u"http://" + std::u16string(siteHost) + href);
    }
    return addresses;
}

std::u16string textBetween(std::u16string_view text, std::size_t from, std::u16string_view open,
                           std::u16string_view close, const MissingMarker& missing) {
    const std::size_t start = text.find(open, from);
    if (start == std::u16string_view::npos) return {};
    const std::size_t begin = start + open.size();
    const std::size_t end = text.find(close, begin);
    if (end == std::u16string_view::npos) {
        if (missing) missing(std::u16string(close));
        return {};
    }
    return std::u16string(text.substr(begin, end - begin));
}

PhraseTexts readPhraseTexts(std::u16string_view page, std::size_t from, const MissingMarker& missing) {
    PhraseTexts texts;
    const std::u16string english = textBetween(page, from, u"<p class=\"en\">", u"</p>", missing);
    texts.sentence = textBetween(english, 0, u">", u"</span>", missing);
    texts.translation = textBetween(page, from, u"<p class=\"jp\">", u"</p>", missing);
    texts.explanation = textBetween(page, from, u"<div class=\"phrase_kaisetsu\">", u"</div>", missing);
    return texts;
}

std::u16string voiceStreamPath(std::u16string_view page, std::size_t from) {
    return textBetween(page, from, u"r('", u"'", {});
}

}  // namespace gogakuru
