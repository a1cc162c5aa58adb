// The generic downloader: an address is analysed into item rows (the address
// itself when it is an item, else the items its page links to), and the
// worker downloads the rows one by one, each becoming a sentence group, then
// has the dialog ask where to save them all as one sentence list. What an
// item is, how a page lists them and how one is downloaded are the
// operations a concrete downloader gives.
//
// Rows: column 0 the item's address (each once), 1 to 3 the sentence,
// translation and explanation, 4 the voice, 5 "OK" or "Failed". A row marked
// "OK" is not downloaded again, so a stopped run resumes.
//
// States: idle -> downloading ("Stop" only; rows cannot be deleted) -> idle.
// The result groups are the worker's while it runs and the dialog's after.
#pragma once

#include <memory>
#include <string>

#include "download/StreamDownloaderDialog.h"
#include "toolkit/EventListener.h"
#include "xml/Element.h"

class AbstractDownloader : public StreamDownloaderDialog, public TableModelListener, public KeyListener {
public:
    enum ColumnIndex { UrlColumn, SentenceColumn, TranslationColumn, ExplanationColumn, VoiceColumn, StatusColumn };
    static constexpr const char16_t* kInitialTitle = u"WebDownloader";
    static constexpr int kPauseBetweenItemsMs = 1;

    ~AbstractDownloader() override;

    bool createContents() override;
    void onCommand(HWND control, WPARAM first, WORD notificationCode) override;

    // "Analyze": false for the untouched default ("???"), an unsupported
    // address or a page that cannot be fetched (the last two are told).
    bool analyze();
    // Adds a row for an accepted, not yet listed item; true when one was added.
    virtual bool addItem(const std::u16string& url, const std::u16string& sentence);
    // Offers the items a page lists to addItem; by default every link's href.
    virtual void collectItems(const std::u16string& page);
    void deleteSelectedRows();
    // Asks for the file and writes the groups of the last run there; false
    // when nothing was written.
    bool save();
    const Element& results() const { return *results_; }

    void startDownload() override;
    void tableChanged(TableModelEvent event) override;
    void keyPressed(KeyEvent event) override;

protected:
    AbstractDownloader();

    // The title, the URL field's start text and whatever the downloader needs
    // before its first analysis.
    virtual void initialize() = 0;
    virtual bool acceptsPage(const std::u16string& url) const = 0;
    // The item the row describes as a sentence group, or null when it failed.
    // Runs on the worker: reads the row through the remote table.
    virtual std::unique_ptr<Element> downloadItem(int row) = 0;
    // Makes the address an item's (in place); false when it names no item.
    virtual bool normalizeItemUrl(std::u16string& url) const = 0;

    DWORD run() override;
    void runFinished() override;
    void showIdle() override;
    // The worker's hooks (stop flag, request switch) for fetches in downloadItem.
    WorkerHooks& hooks() { return hooks_; }

private:
    bool isListed(const std::u16string& url) const;
    void updateDeleteButton();

    Button delete_;
    std::unique_ptr<Element> results_;
    WorkerHooks hooks_;
    bool downloading_ = false;
};
