// The news downloader's window: a date, "Download...", two options and a log.
// Pressing "Download..." starts the worker for the chosen day; the worker's
// reports come back as posted commands (1 a log line, 2 finished, 3 failed);
// after a normal end the dialog asks where to save the sentence list and,
// when asked to, renames the day's recorded MP3 to sit beside it.
//
// Threads: downloadMessage, downloadFinished and downloadFailed run on the
// worker and only queue and post; everything else runs on the window thread.
// Every queued line reaches the log whole and in order: a command 1 shows
// the lines queued up to then, so none is shown twice or left behind.
// States: idle (button enabled) -> running (disabled) -> idle again after
// command 2 (saved) or 3; closing the dialog stops a run, which then saves
// nothing.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "download/NHK_NewsEnglishDonwloader.h"
#include "download/SiteHosts.h"
#include "editor/TextEditor.h"
#include "toolkit/Button.h"
#include "toolkit/CalendarPane.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Dialog.h"
#include "toolkit/EventListener.h"

class NHK_NewsEnglishDialog : public Dialog, public DownloadListener {
public:
    static constexpr int kWidth = 450;
    static constexpr int kHeight = 360;
    static constexpr const char16_t* kTitle = u"「NHK ニュースで英会話（月～金）」スクリプトダウンローダー";
    // The commands the worker's reports post.
    static constexpr WORD kMessageCommand = 1;
    static constexpr WORD kFinishedCommand = 2;
    static constexpr WORD kFailedCommand = 3;
    // The controls' ids, clear of those commands and of the standard buttons.
    static constexpr int kDownloadId = 1001;
    static constexpr int kKeywordsId = 1002;
    static constexpr int kRenameId = 1003;
    // Where the log pane begins, below the check boxes.
    static constexpr int kLogTop = 74;

    explicit NHK_NewsEnglishDialog(SiteHosts hosts = {});
    ~NHK_NewsEnglishDialog() override;

    bool createContents() override;
    void onCommand(HWND control, WPARAM first, WORD notificationCode) override;
    // Stops a running worker (serving this thread's messages meanwhile).
    bool onClose() override;
    void onSize(WPARAM type, LPARAM size) override;

    // DownloadListener, called on the worker thread.
    void downloadFinished() override;
    void downloadFailed() override;
    void downloadMessage(const std::u16string& text) override;

    // What "Download..." does: disable it, clear the log, take the picked
    // day and the options, start the worker.
    void startDownload();
    // After a normal end: asks for the file, writes the sentence list as
    // UTF-16LE, renames the day's MP3 when that option is on.
    void saveResult();

    // The options: the check boxes' states while the window exists, else the
    // last ones set or shown.
    bool withKeywords() const;
    bool renameMp3() const;
    void setOptions(bool withKeywords, bool renameMp3);
    // Called when the learner closes the dialog (after a run was stopped).
    void setClosedHandler(std::function<void()> handler) { closed_ = std::move(handler); }

    NHK_NewsEnglishDonwloader& downloader() { return downloader_; }
    TextEditor& log() { return log_; }
    Button& downloadButton() { return download_; }
    CalendarPane& datePicker() { return picker_; }
    CheckBox& keywordsBox() { return keywords_; }
    CheckBox& renameBox() { return rename_; }

private:
    // A line and its line end, at the end of the log, scrolled into view.
    void appendLog(const std::u16string& line);
    void appendText(const std::u16string& text);
    void clearLog();
    void post(WORD command);

    SiteHosts hosts_;
    NHK_NewsEnglishDonwloader downloader_;
    CalendarPane picker_;
    Button download_;
    CheckBox keywords_;
    CheckBox rename_;
    TextEditor log_;
    bool withKeywords_ = false;
    bool renameMp3_ = false;
    bool closing_ = false;
    std::function<void()> closed_;

    // Shared with the worker: the queued log lines, the ends it reported,
    // and the window it posts to.
    std::mutex linesLock_;
    std::deque<std::u16string> lines_;
    std::atomic<bool> finishedPending_{false};
    std::atomic<bool> failedPending_{false};
    std::atomic<HWND> window_{nullptr};
};
