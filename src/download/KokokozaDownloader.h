// The lecture downloader: the built-in course's 84 lectures in a table;
// "Download" starts the worker, which records the lectures one after another
// into kokokoza/<title>.mp3 beside the executable, each tool's progress in
// the lecture's row. A lecture already there is passed over, so a stopped
// run resumes; a run records at most five lectures, so as not to press the
// site.
//
// Columns: 0 the title (from the lecture's page), 1 the lecture's address
// (hidden: width 0), 2 the year, 3 the album, 4 the status.
#pragma once

#include "download/LectureRecorder.h"
#include "download/StreamDownloaderDialog.h"

class KokokozaDownloader : public StreamDownloaderDialog {
public:
    enum ColumnIndex { TitleColumn, UrlColumn, YearColumn, AlbumColumn, StatusColumn };
    static constexpr const char16_t* kTitle = u"Kokokoza Downloader";
    static constexpr int kLecturesPerRun = 5;

    explicit KokokozaDownloader(const SiteHosts& hosts);
    ~KokokozaDownloader() override;

    // Where the lectures, the tools and the script are (tests move them).
    LectureWork& work() { return work_; }

    bool createContents() override;
    void onCommand(HWND control, WPARAM first, WORD notificationCode) override;

    // Thread
    DWORD run() override;

protected:
    void runFinished() override {}

private:
    LectureWork work_;
};
