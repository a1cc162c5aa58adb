// The phrase site as the phrase downloader reads it: which addresses are
// phrase pages, the links a list page gives, and the texts and the voice a
// phrase page holds. Everything here works on text already fetched and
// decoded; nothing blocks.
//
// The site's addresses are built from the configured hosts; its paths and
// page markers are fixed by the site.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "download/PageMarkers.h"
#include "download/SiteHosts.h"

namespace gogakuru {

// The sentence cell of a row whose address was typed in rather than found on
// a list page.
inline constexpr const char16_t* kTypedRowSentence = u"ちょくりん(´・ω・`)！";
// The marker of a phrase page's content; all texts are searched after it.
inline constexpr const char16_t* kPhraseMainMarker = u"<div class=\"phrase_main_padding\">";

struct Addresses {
    explicit Addresses(const SiteHosts& hosts);

    std::u16string siteHost;
    // "http://" + site + "/english/phrase/": every phrase page begins so.
    std::u16string phrasePrefix;
    // "http://" + site + "/": the pages that may be crawled for links.
    std::u16string siteRoot;
    // The voices' stream addresses are this + the page's stream path.
    std::u16string streamBase;
    // The player the stream tool presents itself as.
    std::u16string playerAddress;
    // The settings default of the URL field: to be replaced by the learner.
    std::u16string startAddress;
};

// The address a table row gets for url: url cut at its first "?", when it
// begins with the phrase prefix and ends in a decimal digit; else empty.
std::u16string phraseRowAddress(std::u16string_view url, std::u16string_view phrasePrefix);

// The addresses a list page links to, in document order: "http://" + site +
// href for every `a` whose href (empty when absent) does not contain ".htm".
std::vector<std::u16string> linkedAddresses(std::u16string_view page, std::u16string_view siteHost);

struct PhraseTexts {
    std::u16string sentence;
    std::u16string translation;
    std::u16string explanation;
};

// The phrase's texts, searched from `from` (the content marker's place), kept
// as the page writes them (markup inside stays):
//   sentence: between <p class="en"> and </p>, then between ">" and "</span>";
//   translation: between <p class="jp"> and </p>;
//   explanation: between <div class="phrase_kaisetsu"> and </div>.
PhraseTexts readPhraseTexts(std::u16string_view page, std::size_t from, const MissingMarker& missing);

// The voice's stream path: the text between "r('" and the next "'" after
// `from`; empty when there is none.
std::u16string voiceStreamPath(std::u16string_view page, std::size_t from);

}  // namespace gogakuru
