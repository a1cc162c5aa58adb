// What the phrase and the lecture downloaders share: a dialog with the label
// "URL:", a URL field, "Analyze", "Download" and "Stop" in one row, a table
// below them, and one worker that fetches pages and records streams.
//
// Threads: the worker never touches a window of the dialog's thread. It reads
// and writes the table through list-view messages (RemoteTable), asks for a
// message box with tell(), and reports its normal end with reportFinished(),
// which the dialog's thread turns into runFinished(). Once a stop has been
// asked for, tell() shows nothing, so a stop is never held up by a box.
//
// Stopping: stopRun() cancels the web request in progress and raises the
// worker's stop flag; the worker ends a running tool at once (the runner's
// wait watches the flag) and returns; meanwhile the dialog's thread keeps
// serving messages, so the worker's last sends complete.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "download/RemoteTable.h"
#include "download/RequestCancel.h"
#include "download/WorkerHooks.h"
#include "editor/TextEditor.h"
#include "toolkit/Button.h"
#include "toolkit/Dialog.h"
#include "toolkit/TableComponent.h"
#include "toolkit/Thread.h"

class StreamDownloaderDialog : public Dialog, public Thread {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    // Control ids, clear of the standard buttons'.
    static constexpr int kAnalyzeId = 1001;
    static constexpr int kDownloadId = 1002;
    static constexpr int kStopId = 1003;
    static constexpr int kDeleteId = 1004;
    static constexpr int kTableId = 1005;
    // Where the table begins: below the row of buttons.
    static constexpr int kTableTop = 52;
    // Sent by the worker: show the text (a std::u16string* in lParam) in a box.
    static constexpr UINT kTellMessage = WM_APP + 30;
    // Posted by the worker at its normal end.
    static constexpr UINT kFinishedMessage = WM_APP + 31;

    static constexpr int kRestOfWidth = -1;
    struct Column {
        const char16_t* title;
        int width;  // kRestOfWidth: what the other columns leave
    };

    ~StreamDownloaderDialog() override;

    TextEditor& urlField() { return url_; }
    Button& analyzeButton() { return analyze_; }
    Button& downloadButton() { return download_; }
    Button& stopButton() { return stop_; }
    TableComponent& table() { return table_; }

    // "Download" and "Stop" as the buttons do them.
    virtual void startDownload();
    virtual void stopDownload();

    void onSize(WPARAM type, LPARAM size) override;
    // Stops a running worker first.
    bool onClose() override;
    LRESULT defaultProc(HWND window, UINT message, WPARAM first, LPARAM second) override;

protected:
    StreamDownloaderDialog(std::u16string title, std::vector<Column> columns);

    // The label, the field, the three buttons ("Stop" disabled) and the table
    // with its columns; then the dialog is centred at its size.
    void createCommonContents();
    // On the dialog's thread after the worker ended by itself.
    virtual void runFinished() = 0;
    // The buttons of a run that has ended, however it ended.
    virtual void showIdle();

    // Worker side ----------------------------------------------------------------------------------
    // The learner reads text in a box owned by the dialog (the worker waits
    // until it is closed); nothing once a stop was asked for.
    void tell(const std::u16string& text);
    void reportFinished();
    // Sleeps, waking early when a stop is asked for; false then.
    bool pause(int milliseconds) const;
    RemoteTable remoteTable() const { return RemoteTable(tableWindow_); }
    // The run's stop flag, tell() and request switch, for the worker's readers.
    void setHooks(WorkerHooks& hooks);

    // Ends a run: cancels its request, raises the flag and waits for it.
    void stopRun();

    TextEditor url_;
    Button analyze_;
    Button download_;
    Button stop_;
    TableComponent table_;

private:
    std::u16string title_;
    std::vector<Column> columns_;
    // The windows the worker sends to, set before any run starts.
    std::atomic<HWND> dialogWindow_{nullptr};
    HWND tableWindow_ = nullptr;
    // One per run: a cancelled one stays cancelled.
    std::unique_ptr<RequestCancel> cancel_;
};
