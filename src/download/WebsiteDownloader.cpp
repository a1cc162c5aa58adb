#include "download/WebsiteDownloader.h"

#include <utility>

#include "app/Paths.h"
#include "download/DownloadFiles.h"
#include "download/HttpClient.h"
#include "download/PageMarkers.h"
#include "lyrics/SentenceListBuilders.h"
#include "text/NarrowText.h"

namespace {

constexpr const char16_t* kItemMarker = u"<a itemprop=image rel=";

// The bytes of a query value: unreserved characters as they are, every other
// byte as %XX, so that spaces, "&" and "#" in a caption stay in the value.
std::u16string percentEncoded(const std::string& bytes) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string out;
    for (unsigned char c : bytes) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_' || c == '.' || c == '~' || c == '\'' || c == '(' || c == ')' || c == '!' ||
                           c == '*';
        if (plain) {
            out.push_back(c);
        } else {
            out.push_back(u'%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        }
    }
    return out;
}

}  // namespace

WebsiteDownloader::WebsiteDownloader(const SiteHosts& hosts)
    : site_(u"http://" + hosts.photoSite), translator_(hosts.translator) {}

WebsiteDownloader::~WebsiteDownloader() { stopRun(); }

void WebsiteDownloader::initialize() {
    url_.setText(site_ + u"/???");
    setTitle(kTitle);
    CreateDirectoryW(kFolder, nullptr);
}

bool WebsiteDownloader::acceptsPage(const std::u16string& url) const { return url.starts_with(site_ + u"/"); }

bool WebsiteDownloader::normalizeItemUrl(std::u16string& url) const {
    if (url.starts_with(u"/pics")) url.insert(0, site_);
    return !url.empty() && url.find(u"/pics") != std::u16string::npos;
}

void WebsiteDownloader::collectItems(const std::u16string& page) {
    // One box per page at most: a hostile page could leave out a closing
    // marker thousands of times.
    bool told = false;
    const MissingMarker missing = [this, &told](const std::u16string& marker) {
        if (std::exchange(told, true)) return;
        MessageBoxW(handle(), marker.c_str(), u"Veltrix", MB_OK | MB_TOPMOST);
    };
    const std::u16string_view text(page);
    const std::size_t markerLength = std::char_traits<char16_t>::length(kItemMarker);
    std::size_t at = text.find(kItemMarker);
    while (at != std::u16string_view::npos) {
        // An item's texts are looked for before the next item only, so that a
        // page of anchors without them is read in one pass, not once per anchor.
        const std::size_t next = text.find(kItemMarker, at + markerLength);
        const std::u16string_view item = slice(text, at, next);
        const std::u16string url = textBetween(item, u"href=\"", u"\"", 0, missing);
        const std::u16string caption = textBetween(item, u"<span itemprop=name>", u"</span>", 0, missing);
        addItem(url, caption);
        at = next;
    }
}

std::u16string WebsiteDownloader::translationRequest(const std::u16string& caption) const {
    std::u16string text;
    for (char16_t c : caption) {
        if (c == u'\r' || c == u'\n')
            text.push_back(u' ');
        else if (c == u'\u2019')
            text.push_back(u'\'');
        else if (c == u'\u201C' || c == u'\u201D')
            text.push_back(u'"');
        else
            text.push_back(c);
    }
    return u"http://" + translator_ + u"/translate_t?hl=ja&langpair=en%7Cja&text=" +
           percentEncoded(encodeCodePage(text, CP_ACP));
}

std::u16string WebsiteDownloader::translate(const std::u16string& caption) {
    const std::string address = encodeCodePage(translationRequest(caption), CP_ACP);
    const std::u16string answer = decodeCodePage(fetchUrlText(address, "GET", {}, hooks().cancel), CP_UTF8);
    const std::size_t box = answer.find(u"<span id=result_box");
    if (box == std::u16string::npos) return {};
    return textBetween(answer, u"backgroundColor='#fff'\">", u"</span>", box);
}

std::u16string WebsiteDownloader::localFileFor(const std::u16string& url) {
    // The last path part of the address, made a plain name inside the folder.
    return pathInFolder(kFolder, fileNameOf(url));
}

std::unique_ptr<Element> WebsiteDownloader::downloadItem(int row) {
    const RemoteTable rows = remoteTable();
    const std::u16string url = rows.text(row, UrlColumn);
    const std::u16string file = localFileFor(url);
    if (!downloadUrlToFile(file, url, "GET", {}, hooks().cancel)) return nullptr;
    const std::u16string caption = rows.text(row, SentenceColumn);
    std::unique_ptr<Element> group = createSentenceGroup(caption, translate(caption), u"");
    setImage(*group, file);
    return group;
}
