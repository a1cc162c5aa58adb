// The worker that builds a sentence list from one broadcast day of the daily
// English news programme: the day's page gives the programme information (an
// id3 block) and the day's words (a WordList); the news explanation pages,
// and optionally the keyword pages, give one SentenceGroup each. Progress and
// failures go to the listener line by line; the tree is the result.
//
// Threads: the window thread sets the options, starts, stops, and reads the
// result only after downloadFinished has reached it; run() alone writes the
// tree. Stopping raises the stop flag and cancels the request in progress, so
// a run ends within moments of stop(): the worker tests the flag before every
// step, between pages and inside its pauses.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "download/RequestCancel.h"
#include "toolkit/EventListener.h"
#include "toolkit/Thread.h"
#include "xml/Element.h"

// The class name is spelled so.
class NHK_NewsEnglishDonwloader : public Thread {
public:
    // The pause before each page request, which keeps the site's load low.
    static constexpr std::chrono::milliseconds kPageInterval{1000};

    explicit NHK_NewsEnglishDonwloader(DownloadListener* listener = nullptr);
    ~NHK_NewsEnglishDonwloader() override;

    // Reports "Start downloading..." onwards; ends with downloadFinished,
    // with downloadFailed after "--- exception! ---" and the failure's text,
    // or, when stopped, with the message "stop!" alone.
    // The worker's body; it uses this object's members, so the object must
    // outlive the run: its stop() cancels the request in progress, which ends
    // the run long before Thread's stop limit.
    DWORD run();
    // Ends a previous run, then starts with a fresh cancel switch.
    bool start();
    // Cancels the request in progress, then waits for the worker as Thread does.
    void stop() override;

    // Options, set on the window thread while no run is in progress.
    void setListener(DownloadListener* listener) { listener_ = listener; }
    void setHost(std::u16string host) { host_ = std::move(host); }
    // Eight digits: year, month, day.
    void setDate(std::u16string date) { date_ = std::move(date); }
    void setWithKeywords(bool on) { withKeywords_ = on; }
    void setRenameMp3(bool on) { renameMp3_ = on; }
    void setPageInterval(std::chrono::milliseconds interval) { pageInterval_ = interval; }

    const std::u16string& host() const { return host_; }
    const std::u16string& date() const { return date_; }
    bool withKeywords() const { return withKeywords_; }
    bool renameMp3() const { return renameMp3_; }
    // The result: the SentenceList of the last run and the programme's title.
    const Element* root() const { return root_.get(); }
    const std::u16string& title() const { return title_; }

    // The whole day (the run's body without its reporting of the end):
    // a fresh tree, then the day page, the news groups and, with keywords,
    // the keyword groups. Throws RetrieverException.
    void downloadDay(const std::u16string& url);

private:
    enum class GroupKind { News, Keyword };

    void report(const std::u16string& text);
    // Waits, ending early when a stop is asked for; false when stopped.
    bool pause(std::chrono::milliseconds time);
    // The page as UTF-16; empty when nothing came (or the run was stopped).
    std::u16string fetchPage(const std::u16string& url);
    void readProgrammeInformation(const std::u16string& page);
    void readWordList(const std::u16string& page);
    void readGroups(GroupKind kind);
    // One explanation or keyword page as a SentenceGroup; null when stopped.
    std::unique_ptr<Element> readGroupPage(const std::u16string& url, GroupKind kind);

    DownloadListener* listener_ = nullptr;
    std::unique_ptr<Element> root_;
    bool withKeywords_ = false;
    bool renameMp3_ = false;
    std::u16string date_;
    std::u16string title_;
    std::u16string host_;
    std::chrono::milliseconds pageInterval_ = kPageInterval;
    // Replaced before each run, while no worker runs; cancelled by stop().
    std::unique_ptr<RequestCancel> cancel_ = std::make_unique<RequestCancel>();
};
