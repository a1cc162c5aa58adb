#include "download/StreamDownloaderDialog.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "download/DownloadNotice.h"

StreamDownloaderDialog::StreamDownloaderDialog(std::u16string title, std::vector<Column> columns)
    : title_(std::move(title)), columns_(std::move(columns)) {}

StreamDownloaderDialog::~StreamDownloaderDialog() {
    // The worker uses this object's members: it must end before they go.
    stopRun();
    url_.destroyWindow();
}

void StreamDownloaderDialog::createCommonContents() {
    setTitle(title_);
    HWND label = CreateWindowExW(0, u"STATIC", u"URL:", WS_CHILD | WS_VISIBLE, 4, 8, 28, 16, handle(), nullptr, nullptr,
                                 nullptr);
    if (label) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    url_.createAt(handle(), 50, 4, 390, 20);
    url_.fieldMode();
    analyze_.createButton(handle(), kAnalyzeId, u"Analyze", 444, 4, 64, 20);
    download_.createButton(handle(), kDownloadId, u"Download", 55, 28, 80, 20);
    stop_.createButton(handle(), kStopId, u"Stop", 143, 28, 80, 20);
    stop_.setEnabled(false);

    table_.create(handle());
    table_.setId(kTableId);
    tableWindow_ = table_.handle();
    dialogWindow_ = handle();
    int used = 0;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        int width = columns_[i].width;
        if (width == kRestOfWidth) width = std::max(35, kWidth - 16 - used);
        table_.insertColumn(static_cast<int>(i), columns_[i].title, width);
        used += width;
    }
    setSizeCentered(kWidth, kHeight);
}

void StreamDownloaderDialog::onSize(WPARAM, LPARAM) {
    if (!table_.handle()) return;
    RECT client{};
    GetClientRect(handle(), &client);
    table_.setBounds(0, kTableTop, client.right, std::max<int>(client.bottom - kTableTop, 0));
}

void StreamDownloaderDialog::startDownload() {
    analyze_.setEnabled(false);
    download_.setEnabled(false);
    stop_.setEnabled(true);
    // A new run gets a fresh switch: the last one may have been cancelled.
    Thread::stop();
    cancel_ = std::make_unique<RequestCancel>();
    if (!start([this](WorkerContext&) { return run(); })) showIdle();
}

void StreamDownloaderDialog::stopDownload() {
    stop_.setEnabled(false);
    stopRun();
    showIdle();
}

void StreamDownloaderDialog::showIdle() {
    analyze_.setEnabled(true);
    download_.setEnabled(true);
    stop_.setEnabled(false);
}

void StreamDownloaderDialog::stopRun() {
    if (cancel_) cancel_->cancel();
    Thread::stop();
}

bool StreamDownloaderDialog::onClose() {
    stopRun();
    return true;
}

LRESULT StreamDownloaderDialog::defaultProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case kTellMessage:
            // A box asked for just before a stop would only hold the stop up.
            if (!isStopRequested() && second)
                MessageBoxW(handle(), reinterpret_cast<const std::u16string*>(second)->c_str(), u"Veltrix",
                            MB_OK | MB_TOPMOST);
            return 0;
        case kFinishedMessage:
            showIdle();
            noticeDownloadEnded(window, true);
            runFinished();
            return 0;
        default:
            return Dialog::defaultProc(window, message, first, second);
    }
}

void StreamDownloaderDialog::tell(const std::u16string& text) {
    if (isStopRequested()) return;
    SendMessageW(dialogWindow_.load(), kTellMessage, 0, reinterpret_cast<LPARAM>(&text));
}

void StreamDownloaderDialog::setHooks(WorkerHooks& hooks) {
    hooks.shouldStop = [this] { return isStopRequested(); };
    hooks.tell = [this](const std::u16string& text) { tell(text); };
    hooks.cancel = cancel_.get();
}

void StreamDownloaderDialog::reportFinished() { PostMessageW(dialogWindow_.load(), kFinishedMessage, 0, 0); }

bool StreamDownloaderDialog::pause(int milliseconds) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!isStopRequested()) {
        if (std::chrono::steady_clock::now() >= until) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}
