#include "download/CaptionText.h"

#include "editor/SentenceBoundaries.h"
#include "platform/win32.h"
#include "text/NarrowText.h"
#include "xml/PageText.h"
#include "xml/XMLParser.h"

namespace captions {

namespace {

constexpr std::u16string_view kWatch = u"/watch?v=";

std::u16string percentEncoded(std::u16string_view value) {
    static const char16_t hex[] = u"0123456789ABCDEF";
    std::u16string out;
    for (unsigned char byte : encodeCodePage(value, CP_UTF8)) {
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                                byte == '~';
        if (unreserved) {
            out += static_cast<char16_t>(byte);
        } else {
            out += u'%';
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
    return out;
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace

std::u16string videoIdOf(std::u16string_view address, std::u16string_view videoSite) {
    std::u16string marker(videoSite);
    marker += kWatch;
    const std::size_t at = address.find(marker);
    if (at == std::u16string_view::npos) return {};
    const std::size_t start = at + marker.size();
    const std::size_t end = address.find_first_of(u"&/", start);
    return std::u16string(address.substr(start, end == std::u16string_view::npos ? end : end - start));
}

std::u16string trackListUrl(std::u16string_view host, std::u16string_view videoId) {
    std::u16string url = u"http://";
    url.append(host);
    url += u"/timedtext?type=list&v=";
    url += percentEncoded(videoId);
    return url;
}

std::u16string trackUrl(std::u16string_view host, const Track& track, std::u16string_view videoId) {
    const std::u16string code = percentEncoded(track.code);
    std::u16string url = u"http://";
    url.append(host);
    url += u"/timedtext?hl=" + code + u"&lang=" + code + u"&name=" + percentEncoded(track.name) + u"&v=" +
           percentEncoded(videoId);
    return url;
}

std::vector<Track> readTrackList(std::u16string_view xml) {
    XMLParser parser;
    if (!parser.parseString(xml)) return {};
    std::vector<Track> tracks;
    for (const Element* element : parser.getElementsByTagName(u"track")) {
        tracks.push_back(Track{element->getAttribute(u"lang_original"), element->getAttribute(u"lang_code"),
                               element->getAttribute(u"name")});
    }
    return tracks;
}

std::u16string captionText(std::u16string_view xml) {
    XMLParser parser;
    if (!parser.parseString(xml)) return {};
    std::u16string text;
    for (const Element* element : parser.getElementsByTagName(u"text")) {
        text += decodePageText(element->getText(), true);
        text += u' ';
    }
    return text;
}

std::vector<std::u16string> splitSentences(std::u16string_view text) {
    std::vector<std::u16string> sentences;
    std::size_t previousEnd = 0;
    std::size_t position = 0;
    for (;;) {
        while (position < text.size() && isBlank(text[position])) ++position;
        if (text.size() - position < 2) break;
        const auto end = static_cast<std::size_t>(sentenceEnd(text, static_cast<int>(position)));
        if (end <= position) break;
        std::u16string sentence(text.substr(previousEnd, end - previousEnd));
        if (!sentence.empty() && sentence.back() == u' ') sentence.pop_back();
        sentences.push_back(std::move(sentence));
        previousEnd = position = end;
    }
    return sentences;
}

}  // namespace captions
