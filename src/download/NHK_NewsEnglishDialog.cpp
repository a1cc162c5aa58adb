#include "download/NHK_NewsEnglishDialog.h"

#include <algorithm>

#include "download/DownloadFiles.h"
#include "download/DownloadNotice.h"
#include "download/PageMarkers.h"
#include "lyrics/SentenceListFile.h"
#include "toolkit/FileChooser.h"
#include "toolkit/Graphics.h"

namespace {

constexpr const char16_t* kRenameTip =
    u"「ニュースで英会話（読み直し音声）_xxxx_xx_xx.mp3」が\r\n"
    u"xml ファイル保存先にあれば\r\n"
    u"xml ファイルと同じ名前にリネームします。";

std::u16string hexadecimal(DWORD value) {
    static const char16_t digits[] = u"0123456789ABCDEF";
    std::u16string out;
    do {
        out.insert(out.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value);
    return out;
}

// Where a check box's caption begins: its indicator and the gap after it.
constexpr int kCheckBoxTextStart = 20;

int textWidth(const LOGFONTW& font, const std::u16string& text) {
    Graphics measure(1, 1);
    measure.setFont(font);
    return measure.getTextWidth(text);
}

// "2015_05_20" of "20150520".
std::u16string dayName(std::u16string_view date) {
    return std::u16string(slice(date, 0, 4)) + u"_" + std::u16string(slice(date, 4, 6)) + u"_" +
           std::u16string(slice(date, 6, 8));
}

}  // namespace

NHK_NewsEnglishDialog::NHK_NewsEnglishDialog(SiteHosts hosts) : hosts_(std::move(hosts)), downloader_(this) {}

NHK_NewsEnglishDialog::~NHK_NewsEnglishDialog() {
    // The worker reports to this object: it ends before any member goes.
    closing_ = true;
    downloader_.stop();
    window_ = nullptr;
    log_.destroyWindow();
}

bool NHK_NewsEnglishDialog::createContents() {
    setTitle(kTitle);
    // The places are those of the dialog's design; a text wider in this
    // display's font than its place widens the place (and moves what follows
    // on its row), so that no caption is cut.
    const std::u16string labelText = u"Choose English News Date:";
    HWND label = CreateWindowExW(0, u"STATIC", labelText.c_str(), WS_CHILD | WS_VISIBLE, 8, 12, 150, 18, handle(),
                                 nullptr, nullptr, nullptr);
    if (label) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    keywords_.createButton(handle(), kKeywordsId, u"Download Keyword Sentences", 8, 30, 240, 20);
    rename_.createButton(handle(), kRenameId, u"Rename an MP3 file downloaded with CaptureStream", 8, 50, 240, 20);
    const int labelWidth = std::max(150, textWidth(keywords_.font(), labelText) + 4);
    if (label) MoveWindow(label, 8, 12, labelWidth, 18, FALSE);
    const int shift = labelWidth - 150;
    picker_.create(handle(), 158 + shift, 8, 120, 20);
    download_.createButton(handle(), kDownloadId, u"Download...", 282 + shift, 8, 80, 20);
    for (CheckBox* box : {&keywords_, &rename_}) {
        const int needed = kCheckBoxTextStart + textWidth(box->font(), box->getText()) + 4;
        box->setBounds(8, box->getY(), std::min(std::max(240, needed), kWidth - 16), 20);
    }
    // Focus order: the date, the button, the options, the log.
    SetWindowPos(picker_.handle(), label, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(download_.handle(), picker_.handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    rename_.setToolTipText(kRenameTip);
    keywords_.setChecked(withKeywords_);
    rename_.setChecked(renameMp3_);
    log_.createAt(handle(), 0, kLogTop, kWidth, kHeight - kLogTop);
    log_.setStyle(log_.style() | ES_READONLY);
    log_.setEndOfLineMarks(false);
    log_.setJustify(Justify::Off);
    window_ = handle();
    setSizeCentered(kWidth, kHeight);
    return true;
}

void NHK_NewsEnglishDialog::onSize(WPARAM, LPARAM) {
    if (!log_.handle()) return;
    RECT client{};
    GetClientRect(handle(), &client);
    MoveWindow(log_.handle(), 0, kLogTop, client.right, std::max<int>(client.bottom - kLogTop, 0), TRUE);
}

void NHK_NewsEnglishDialog::onCommand(HWND control, WPARAM first, WORD notificationCode) {
    switch (LOWORD(first)) {
        case kMessageCommand: {
            // Every line queued so far goes to the log at once, in order; the
            // commands posted with the later ones then find nothing left. A
            // worker that reports faster than the log can take lines one by one
            // (a page with a million repeated words) so never floods the window
            // thread. The dialog manager sends command 1 for Return as well,
            // which at most shows waiting lines a moment early.
            std::u16string text;
            {
                std::lock_guard guard(linesLock_);
                for (const std::u16string& line : lines_) text += line + u"\r\n";
                lines_.clear();
            }
            if (!text.empty()) appendText(text);
            return;
        }
        case kFinishedCommand:
            // Command 2 is also what Escape sends; only the worker's counts.
            if (!finishedPending_.exchange(false)) return;
            noticeDownloadEnded(handle(), true);
            if (!closing_) saveResult();
            download_.setEnabled(true);
            return;
        case kFailedCommand:
            if (!failedPending_.exchange(false)) return;
            noticeDownloadEnded(handle(), false);
            download_.setEnabled(true);
            return;
        case kDownloadId:
            startDownload();
            return;
        default:
            Dialog::onCommand(control, first, notificationCode);
            return;
    }
}

bool NHK_NewsEnglishDialog::onClose() {
    withKeywords_ = keywords_.isChecked();
    renameMp3_ = rename_.isChecked();
    closing_ = true;
    downloader_.stop();
    closing_ = false;
    window_ = nullptr;
    if (closed_) closed_();
    return true;
}

void NHK_NewsEnglishDialog::downloadFinished() {
    finishedPending_ = true;
    post(kFinishedCommand);
}

void NHK_NewsEnglishDialog::downloadFailed() {
    failedPending_ = true;
    post(kFailedCommand);
}

void NHK_NewsEnglishDialog::downloadMessage(const std::u16string& text) {
    {
        std::lock_guard guard(linesLock_);
        lines_.push_back(text);
    }
    post(kMessageCommand);
}

void NHK_NewsEnglishDialog::post(WORD command) {
    if (HWND window = window_.load()) PostMessageW(window, WM_COMMAND, command, 0);
}

void NHK_NewsEnglishDialog::startDownload() {
    if (closing_ || !handle() || downloader_.isRunning()) return;
    download_.setEnabled(false);
    clearLog();
    {
        std::lock_guard guard(linesLock_);
        lines_.clear();
    }
    finishedPending_ = false;
    failedPending_ = false;
    std::u16string date = picker_.getText();
    date.erase(std::remove(date.begin(), date.end(), u'/'), date.end());
    downloader_.setDate(date);
    downloader_.setHost(hosts_.newsSite);
    downloader_.setWithKeywords(keywords_.isChecked());
    downloader_.setRenameMp3(rename_.isChecked());
    if (!downloader_.start()) {
        appendLog(u"Couldn't start the download.");
        download_.setEnabled(true);
    }
}

void NHK_NewsEnglishDialog::saveResult() {
    const Element* root = downloader_.root();
    if (!root) return;
    const std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n" + root->toString() + u"\r\n";
    const std::u16string day = dayName(downloader_.date());
    const std::u16string baseName = escapeFileName(day + u"_" + downloader_.title());
    appendLog(baseName + u".xml");

    const std::u16string filter = std::u16string(u"XML File") + u'\0' + u"*.xml" + u'\0';
    const std::u16string path =
        chooseSaveFile(handle(), u"保存先を選んでください", filter, baseName + u".xml", u".xml");
    if (path.empty()) {
        appendLog(u"\r\nFailed GetSaveFileName: Error:0x" + hexadecimal(CommDlgExtendedError()));
        return;
    }
    if (!saveUtf16File(path, text)) {
        // The learner must not take a missing file for a saved one.
        appendLog(path + u"\r\nファイルの作成に失敗しました。");
        return;
    }
    if (downloader_.renameMp3()) {
        const std::u16string folder = path.substr(0, path.find_last_of(u"\\/") + 1);
        const std::u16string source = folder + u"ニュースで英会話（読み直し音声）_" + day + u".mp3";
        const std::u16string target = folder + baseName + u".mp3";
        if (GetFileAttributesW(source.c_str()) != INVALID_FILE_ATTRIBUTES) {
            appendLog(u"Exist:" + source);
            if (moveFile(source, target)) appendLog(u"Rename:" + target);
        }
    }
    appendLog(u"\r\nEnd !!");
}

bool NHK_NewsEnglishDialog::withKeywords() const { return keywords_.handle() ? keywords_.isChecked() : withKeywords_; }

bool NHK_NewsEnglishDialog::renameMp3() const { return rename_.handle() ? rename_.isChecked() : renameMp3_; }

void NHK_NewsEnglishDialog::setOptions(bool withKeywords, bool renameMp3) {
    withKeywords_ = withKeywords;
    renameMp3_ = renameMp3;
    keywords_.setChecked(withKeywords);
    rename_.setChecked(renameMp3);
}

void NHK_NewsEnglishDialog::appendLog(const std::u16string& line) { appendText(line + u"\r\n"); }

void NHK_NewsEnglishDialog::appendText(const std::u16string& text) {
    if (!log_.handle()) return;
    const int end = log_.document().length();
    log_.replaceRange(end, end, text, Recording::Off);
    log_.setSelection(-1, -1);
    log_.scrollCaretIntoView();
}

void NHK_NewsEnglishDialog::clearLog() {
    log_.replaceRange(0, log_.document().length(), u"", Recording::Off);
    log_.emptyUndoBuffer();
}
