#include "download/KokokozaDownloader.h"

#include "download/DownloadFiles.h"

namespace {

const std::vector<StreamDownloaderDialog::Column> kColumns = {
    {u"Title", 128}, {u"URL", 0}, {u"Year", 32}, {u"Album", 64}, {u"Status", 35},
};

}  // namespace

KokokozaDownloader::KokokozaDownloader(const SiteHosts& hosts)
    : StreamDownloaderDialog(kTitle, kColumns), work_(hosts) {}

KokokozaDownloader::~KokokozaDownloader() {
    // run() reads this object's members.
    stopRun();
}

bool KokokozaDownloader::createContents() {
    createCommonContents();
    for (int number = 1; number <= kokokoza::kLectureCount; ++number) {
        const int row = table_.insertRow(u"", table_.getRowCount());
        table_.setValueAt(kokokoza::lectureAddress(work_.archiveHost, number), row, UrlColumn);
        table_.setValueAt(kokokoza::kYear, row, YearColumn);
        table_.setValueAt(kokokoza::kAlbum, row, AlbumColumn);
    }
    return true;
}

void KokokozaDownloader::onCommand(HWND control, WPARAM first, WORD notificationCode) {
    switch (LOWORD(first)) {
        case kAnalyzeId:
            return;  // the course is built in: nothing to analyse
        case kDownloadId:
            startDownload();
            return;
        case kStopId:
            stopDownload();
            return;
        default:
            StreamDownloaderDialog::onCommand(control, first, notificationCode);
    }
}

DWORD KokokozaDownloader::run() {
    LectureWork work = work_;
    setHooks(work);
    const LectureRecorder recorder(work);
    const RemoteTable rows = remoteTable();
    createDirectoriesForFile(work.outputFolder);

    const int count = rows.rowCount();
    int recorded = 0;
    for (int row = 0; row < count && recorded < kLecturesPerRun && !isStopRequested(); ++row) {
        kokokoza::LectureTags tags;
        tags.date = rows.text(row, YearColumn);
        tags.track = row + 1;
        tags.trackCount = count;
        tags.album = rows.text(row, AlbumColumn);
        const LectureRow cells{
            [&](const std::u16string& title) { rows.setText(row, TitleColumn, title); },
            [&](const std::u16string& status) { rows.setText(row, StatusColumn, status); },
        };
        const LectureRecorder::Outcome outcome = recorder.record(rows.text(row, UrlColumn), tags, cells);
        if (outcome == LectureRecorder::Outcome::Stopped) return 0;
        // Lectures already there cost the site nothing: only the others count.
        if (outcome != LectureRecorder::Outcome::Present) ++recorded;
        rows.showRow(row);
        if (!pause(1)) return 0;
    }
    if (!isStopRequested()) reportFinished();
    return 0;
}
