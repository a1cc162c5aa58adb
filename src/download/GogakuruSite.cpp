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

PhraseTexts readPhraseTexts(std::u16string_view page, std::size_t from, const MissingMarker& missing) {
    PhraseTexts texts;
    const std::u16string english = textBetween(page, u"<p class=\"en\">", u"</p>", from, missing);
    texts.sentence = textBetween(english, u">", u"</span>", 0, missing);
    texts.translation = textBetween(page, u"<p class=\"jp\">", u"</p>", from, missing);
    texts.explanation = textBetween(page, u"<div class=\"phrase_kaisetsu\">", u"</div>", from, missing);
    return texts;
}

std::u16string voiceStreamPath(std::u16string_view page, std::size_t from) {
    return textBetween(page, u"r('", u"'", from);
}

}  // namespace gogakuru
