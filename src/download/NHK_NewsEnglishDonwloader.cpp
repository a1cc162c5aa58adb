#include "download/NHK_NewsEnglishDonwloader.h"

#include <exception>
#include <thread>

#include "download/HttpClient.h"
#include "download/NewsPages.h"
#include "download/RetrieverException.h"
#include "platform/win32.h"
#include "text/NarrowText.h"

namespace {

// Every request of the downloaders goes out as the system code page's text.
std::string narrowUrl(const std::u16string& url) { return encodeCodePage(url, CP_ACP); }

}  // namespace

NHK_NewsEnglishDonwloader::NHK_NewsEnglishDonwloader(DownloadListener* listener) : listener_(listener) {}

NHK_NewsEnglishDonwloader::~NHK_NewsEnglishDonwloader() { stop(); }

bool NHK_NewsEnglishDonwloader::start() {
    stop();
    cancel_ = std::make_unique<RequestCancel>();
    return Thread::start([this](WorkerContext&) { return run(); });
}

void NHK_NewsEnglishDonwloader::stop() {
    // Only a running worker's switch is thrown: Thread::start calls stop()
    // too, after the fresh switch for the next run is in place.
    if (isRunning()) cancel_->cancel();
    Thread::stop();
}

DWORD NHK_NewsEnglishDonwloader::run() {
    auto failed = [this](const std::u16string& text) {
        // A stopped run may fail on its cancelled request: that is no failure.
        if (isStopRequested()) {
            report(u"stop!");
            return;
        }
        report(u"--- exception! ---");
        report(text);
        if (listener_) listener_->downloadFailed();
    };
    try {
        downloadDay(news::dayPageUrl(host_, date_));
        if (isStopRequested()) {
            report(u"stop!");
            return 0;
        }
        if (listener_) listener_->downloadFinished();
        return 0;
    } catch (const RetrieverException& e) {
        failed(e.message());
    } catch (const std::exception& e) {
        failed(toWide(e.what()));
    } catch (...) {
        // Not one of ours, but the dialog must become usable again all the same.
        failed(u"unknown exception");
    }
    return 1;
}

void NHK_NewsEnglishDonwloader::downloadDay(const std::u16string& url) {
    root_ = std::make_unique<Element>(u"SentenceList");
    title_.clear();
    if (isStopRequested()) return;
    report(u"Start downloading...");
    const std::u16string page = fetchPage(url);
    readProgrammeInformation(page);
    readWordList(page);
    readGroups(GroupKind::News);
    if (withKeywords_) readGroups(GroupKind::Keyword);
}

void NHK_NewsEnglishDonwloader::report(const std::u16string& text) {
    if (listener_) listener_->downloadMessage(text);
}

bool NHK_NewsEnglishDonwloader::pause(std::chrono::milliseconds time) {
    // Short slices keep a stop noticed within moments, without any lock.
    const auto until = std::chrono::steady_clock::now() + time;
    while (!isStopRequested()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) return true;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(until - now, std::chrono::milliseconds(10)));
    }
    return false;
}

std::u16string NHK_NewsEnglishDonwloader::fetchPage(const std::u16string& url) {
    if (isStopRequested()) return {};
    return decodeCodePage(fetchUrlText(narrowUrl(url), "GET", "", cancel_.get()), CP_UTF8);
}

void NHK_NewsEnglishDonwloader::readProgrammeInformation(const std::u16string& page) {
    if (isStopRequested() || page.empty()) return;
    if (!pause(pageInterval_)) return;
    auto information = news::readProgrammeInformation(page, host_, date_);
    if (!information) return;
    title_ = information->title;
    root_->appendChild(std::move(information->id3));
    report(u"Retrieved the ID3 tag.");
}

void NHK_NewsEnglishDonwloader::readWordList(const std::u16string& page) {
    if (isStopRequested() || page.empty()) return;
    auto words = news::readWordList(page, [this] { report(u"k"); });
    root_->appendChild(std::move(words));
    report(u"Retrieved the WordList.");
}

void NHK_NewsEnglishDonwloader::readGroups(GroupKind kind) {
    if (isStopRequested()) return;
    if (!pause(pageInterval_)) return;
    const bool keywords = kind == GroupKind::Keyword;
    const std::u16string url =
        keywords ? news::keywordExplanationsUrl(host_, date_) : news::newsExplanationsUrl(host_, date_);
    report((keywords ? u"Start retrieving keyword groups.\r\nURL: " : u"Start retrieving sentence groups.\r\nURL: ") +
           url);
    const std::u16string page = fetchPage(url);
    if (isStopRequested()) return;
    if (page.empty()) throw RetrieverException(url + u"\r\nCoundn't get the html file from this url.");

    int count = 0;
    for (const std::u16string& href : news::readExplanationLinks(page, host_)) {
        std::unique_ptr<Element> group = readGroupPage(u"http://" + host_ + href, kind);
        if (!group) break;
        ++count;
        report(u"Retrieved a sentence group.");
        root_->appendChild(std::move(group));
        pause(std::chrono::milliseconds(1));
    }
    if (count > 0 || isStopRequested()) return;

    // A page without links may be a single explanation itself; a day
    // without a programme has neither.
    std::unique_ptr<Element> group;
    try {
        group = readGroupPage(url, kind);
    } catch (const RetrieverException&) {}
    if (isStopRequested()) return;
    if (!group)
        throw RetrieverException(url + u"\r\nNot found any sentence in the html.\r\nTry another day (Monday-Friday).");
    report(keywords ? u"Retrieved keywords." : u"Retrieved one sentence group.");
    root_->appendChild(std::move(group));
}

std::unique_ptr<Element> NHK_NewsEnglishDonwloader::readGroupPage(const std::u16string& url, GroupKind kind) {
    if (isStopRequested()) return nullptr;
    if (!news::isExplanationUrl(url, host_)) throw RetrieverException(url + u"\r\nthis url is invalid\r\n");
    if (!pause(pageInterval_)) return nullptr;
    const std::u16string page = fetchPage(url);
    if (isStopRequested()) return nullptr;
    if (page.empty()) throw RetrieverException(url + u"\r\nthis url is invalid\r\n");
    return kind == GroupKind::Keyword ? news::readKeywordPage(url, page) : news::readExplanationPage(url, page);
}
