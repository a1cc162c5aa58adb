#include "download/AbstractDownloader.h"

#include "download/HttpClient.h"
#include "lyrics/SentenceListFile.h"
#include "platform/api/Process.h"
#include "text/NarrowText.h"
#include "toolkit/FileChooser.h"
#include "xml/HtmlReader.h"

namespace {

const std::vector<StreamDownloaderDialog::Column> kColumns = {
    {u"URL", 100},        {u"Sentence", 100}, {u"Translation", 75},
    {u"Explanation", 60}, {u"Voice", 35},     {u"Status", StreamDownloaderDialog::kRestOfWidth},
};

constexpr const char16_t* kTypedRowSentence = u"ちょくりん(´・ω・`)！";

std::u16string childText(const Element& group, int index) {
    const Element* child = group.firstChild();
    for (int i = 0; child && i < index; ++i) child = child->next();
    return child ? child->getCDataText() : std::u16string();
}

}  // namespace

AbstractDownloader::AbstractDownloader()
    : StreamDownloaderDialog(kInitialTitle, kColumns), results_(std::make_unique<Element>(u"SentenceList")) {}

AbstractDownloader::~AbstractDownloader() { stopRun(); }

bool AbstractDownloader::createContents() {
    createCommonContents();
    delete_.createButton(handle(), kDeleteId, u"Delete", 231, 28, 80, 20);
    download_.setEnabled(false);
    delete_.setEnabled(false);
    table_.getModel().addTableModelListener(this);
    table_.addListener("KeyListener", static_cast<KeyListener*>(this));
    initialize();
    SetFocus(url_.handle());
    return false;
}

void AbstractDownloader::onCommand(HWND control, WPARAM first, WORD notificationCode) {
    switch (LOWORD(first)) {
        case kAnalyzeId:
            analyze();
            return;
        case kDownloadId:
            startDownload();
            return;
        case kStopId:
            stopDownload();
            return;
        case kDeleteId:
            deleteSelectedRows();
            return;
        default:
            StreamDownloaderDialog::onCommand(control, first, notificationCode);
    }
}

bool AbstractDownloader::analyze() {
    std::u16string text = url_.text();
    if (!text.starts_with(u"http://")) text.insert(0, u"http://");
    if (text.find(u"???") != std::u16string::npos) return false;
    if (addItem(text, kTypedRowSentence)) return true;
    if (!acceptsPage(text)) {
        MessageBoxW(handle(), u"この URL はサポートしてません(´・ω・`)！", u"Veltrix", MB_OK | MB_TOPMOST);
        return false;
    }
    const std::u16string page = decodeCodePage(fetchUrlText(encodeCodePage(text, CP_ACP)), CP_UTF8);
    if (page.empty()) {
        MessageBoxW(handle(), u"HTML を取得できませんでした！", u"Veltrix", MB_OK | MB_TOPMOST);
        return false;
    }
    collectItems(page);
    return true;
}

bool AbstractDownloader::isListed(const std::u16string& url) const {
    for (int row = 0; row < table_.getRowCount(); ++row)
        if (table_.getValueAt(row, UrlColumn) == url) return true;
    return false;
}

bool AbstractDownloader::addItem(const std::u16string& url, const std::u16string& sentence) {
    std::u16string address = url;
    if (!normalizeItemUrl(address) || isListed(address)) return false;
    const int row = table_.insertRow(address, table_.getRowCount());
    if (row < 0) return false;
    table_.setValueAt(sentence, row, SentenceColumn);
    table_.repaint();
    if (!downloading_) download_.setEnabled(true);
    return true;
}

void AbstractDownloader::collectItems(const std::u16string& page) {
    HtmlReader reader;
    reader.read(page);
    for (const Element* anchor : reader.getElementsByTagName(u"a")) {
        addItem(anchor->getAttribute(u"href"), u"");
        Sleep(kPauseBetweenItemsMs);
    }
}

void AbstractDownloader::deleteSelectedRows() {
    if (downloading_) return;
    const std::vector<int> rows = table_.getSelectedRows();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) table_.removeRow(*it);
    table_.repaint();
    updateDeleteButton();
}

bool AbstractDownloader::save() {
    if (!results_->firstChild()) return false;
    const std::u16string filter = std::u16string(u"XML File") + u'\0' + u"*.xml" + u'\0';
    const std::u16string path = chooseSaveFile(handle(), u"xml 保存先を選んでください", filter, u"", u".xml");
    if (path.empty()) return false;
    if (!saveUtf16File(path, u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n" + results_->toString())) {
        MessageBoxW(handle(), (path + u"\r\nファイルの作成に失敗しました。").c_str(), u"Veltrix", MB_OK | MB_TOPMOST);
        return false;
    }
    return true;
}

void AbstractDownloader::startDownload() {
    downloading_ = true;
    delete_.setEnabled(false);
    results_->removeAllChildren();
    StreamDownloaderDialog::startDownload();
}

void AbstractDownloader::showIdle() {
    downloading_ = false;
    StreamDownloaderDialog::showIdle();
    updateDeleteButton();
}

void AbstractDownloader::runFinished() { save(); }

void AbstractDownloader::updateDeleteButton() {
    if (delete_.handle()) delete_.setEnabled(!downloading_ && !table_.getSelectedRows().empty());
}

void AbstractDownloader::tableChanged(TableModelEvent) {
    if (!downloading_) updateDeleteButton();
}

void AbstractDownloader::keyPressed(KeyEvent event) {
    if (event.keyCode == VK_DELETE) deleteSelectedRows();
}

DWORD AbstractDownloader::run() {
    setHooks(hooks_);
    const RemoteTable rows = remoteTable();
    for (int row = 0; !isStopRequested() && row < rows.rowCount(); ++row) {
        if (rows.text(row, StatusColumn).starts_with(u"OK")) continue;
        std::unique_ptr<Element> group = downloadItem(row);
        // An item cut short by the stop is neither done nor failed.
        if (isStopRequested()) return 0;
        if (group) {
            rows.setText(row, VoiceColumn, group->getAttribute(u"voice"));
            rows.setText(row, SentenceColumn, childText(*group, 0));
            rows.setText(row, TranslationColumn, childText(*group, 1));
            rows.setText(row, ExplanationColumn, childText(*group, 2));
            rows.setText(row, StatusColumn, u"OK");
            results_->appendChild(std::move(group));
        } else {
            rows.setText(row, StatusColumn, u"Failed");
        }
        rows.showRow(row);
        if (!pause(kPauseBetweenItemsMs)) return 0;
    }
    if (!isStopRequested()) reportFinished();
    return 0;
}
