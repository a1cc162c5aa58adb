// The phrase downloader: the learner gives a list page or a phrase page of
// the phrase site and presses "Analyze"; the phrase pages found become rows.
// "Download" starts the worker, which reads each row's page, records its
// voice with the stream tool, fills the row, and at its end has the dialog
// ask where to save all rows as one sentence list.
//
// Rows: column 0 the page's address (no query, ending in a digit, each
// address once), 1 to 3 the sentence, translation and explanation, 4 the
// voice file, 5 "OK" or "Failed". A row marked "OK" is not fetched again, so
// a stopped run resumes; a row whose page was being read when the stop came
// is left as it was.
//
// States: idle ("Analyze", "Download" enabled; "Delete" while a row is
// selected) -> downloading ("Stop" only; rows cannot be deleted) -> idle.
#pragma once

#include <memory>
#include <string>

#include "download/GogakuruSite.h"
#include "download/PhrasePageReader.h"
#include "download/SiteHosts.h"
#include "download/StreamDownloaderDialog.h"
#include "toolkit/EventListener.h"
#include "xml/Element.h"

class GogakuruDownloader : public StreamDownloaderDialog, public TableModelListener, public KeyListener {
public:
    enum ColumnIndex { UrlColumn, SentenceColumn, TranslationColumn, ExplanationColumn, VoiceColumn, StatusColumn };
    static constexpr const char16_t* kTitle = u"Gogakuru Downloader";
    static constexpr const char16_t* kSettingsSection = u"NHK";
    static constexpr const char16_t* kUrlKey = u"GogakuruURL";
    // Between two phrase pages, so as not to press the site.
    static constexpr int kPauseBetweenPagesMs = 1000;

    explicit GogakuruDownloader(const SiteHosts& hosts);
    ~GogakuruDownloader() override;

    // The URL field's text before the dialog is shown; also the address
    // remembered until an analysis succeeds.
    void setUrl(const std::u16string& url);
    // The last address analysed with success (written back to the settings).
    const std::u16string& rememberedUrl() const { return remembered_; }
    const gogakuru::Addresses& addresses() const { return work_.addresses; }
    // Where voices, the tool and the script are taken from (tests move them).
    PhraseWork& work() { return work_; }

    Button& deleteButton() { return delete_; }

    bool createContents() override;
    void onCommand(HWND control, WPARAM first, WORD notificationCode) override;

    // "Analyze": the field's address as a row when it is a phrase page not
    // yet listed; otherwise the page read for the phrase pages it links to.
    // True then (and the address is remembered); false for the settings
    // default, a foreign site or a page that cannot be fetched.
    bool analyze();
    // Adds a phrase page's row, unless the address is none or listed already.
    bool addRow(const std::u16string& url, const std::u16string& sentence);
    // "Delete" and the Delete key: the selected rows go.
    void deleteSelectedRows();
    // The rows as a SentenceList; the voice path rides on each sentence.
    std::unique_ptr<Element> sentenceList() const;
    // Asks for the file and writes the rows' sentence list there, when there
    // are rows; false when nothing was written.
    bool save();

    void startDownload() override;

    // TableModelListener, KeyListener
    void tableChanged(TableModelEvent event) override;
    void keyPressed(KeyEvent event) override;

    // Thread
    DWORD run() override;

protected:
    void runFinished() override;
    void showIdle() override;

private:
    void updateDeleteButton();
    bool isListed(const std::u16string& address) const;

    PhraseWork work_;
    std::u16string initialUrl_;
    std::u16string remembered_;
    Button delete_;
    // On the dialog's thread: a run is going (from Download to its end).
    bool downloading_ = false;
};
