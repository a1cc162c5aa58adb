#include "download/YoutubeLyricsDialog.h"

#include <memory>

#include "download/HttpClient.h"
#include "text/NarrowText.h"
#include "toolkit/PopupMenu.h"

namespace {

std::u16string fetchDocument(const std::u16string& url) {
    return decodeCodePage(fetchUrlText(encodeCodePage(url, CP_ACP)), CP_UTF8);
}

}  // namespace

YoutubeLyricsDialog::YoutubeLyricsDialog(SiteHosts hosts) : hosts_(std::move(hosts)) {}

YoutubeLyricsDialog::~YoutubeLyricsDialog() { editor_.destroyWindow(); }

bool YoutubeLyricsDialog::createContents() {
    HWND label = CreateWindowExW(0, u"STATIC", u"URL:", WS_CHILD | WS_VISIBLE, 8, 10, 32, 18, handle(), nullptr,
                                 nullptr, nullptr);
    if (label) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    url_.createAt(handle(), 40, 8, 330, 20);
    url_.setId(kUrlId);
    download_.createButton(handle(), kDownloadId, u"Download...", 378, 8, 80, 20);
    editor_.createAt(handle(), 8, 36, 476, 224);
    setSizeCentered(kWidth, kHeight);
    SetFocus(url_.handle());
    return false;
}

void YoutubeLyricsDialog::onCommand(HWND control, WPARAM first, WORD notificationCode) {
    if (LOWORD(first) == kDownloadId) {
        download();
        return;
    }
    Dialog::onCommand(control, first, notificationCode);
}

bool YoutubeLyricsDialog::download() {
    const std::u16string videoId = captions::videoIdOf(url_.getText(), hosts_.videoSite);
    if (videoId.empty()) return false;
    const std::vector<captions::Track> tracks =
        captions::readTrackList(fetchDocument(captions::trackListUrl(hosts_.captionService, videoId)));
    if (tracks.empty()) return false;

    PopupMenu menu;
    for (std::size_t i = 0; i < tracks.size(); ++i) menu.addMenuItem(tracks[i].label, static_cast<UINT>(i + 1));
    const int choice = menu.trackAtPointer(handle());
    if (choice <= 0 || static_cast<std::size_t>(choice) > tracks.size()) return false;
    const captions::Track& track = tracks[static_cast<std::size_t>(choice) - 1];

    const std::u16string text =
        captions::captionText(fetchDocument(captions::trackUrl(hosts_.captionService, track, videoId)));
    const std::vector<std::u16string> sentences = captions::splitSentences(text);
    if (sentences.empty()) return false;
    std::u16string lines;
    for (const std::u16string& sentence : sentences) lines += sentence + u"\r\n";
    // One edit, so that a single undo takes the whole download back.
    const int end = editor_.document().length();
    editor_.replaceRange(end, end, lines, Recording::On);
    return true;
}
