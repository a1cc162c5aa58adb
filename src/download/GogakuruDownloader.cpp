#include "download/GogakuruDownloader.h"

#include "download/HttpClient.h"
#include "lyrics/SentenceListBuilders.h"
#include "text/EncodingCode.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"
#include "toolkit/FileChooser.h"

namespace {

const std::vector<StreamDownloaderDialog::Column> kColumns = {
    {u"URL", 100},        {u"Sentence", 100}, {u"Translation", 75},
    {u"Explanation", 60}, {u"Voice", 35},     {u"Status", StreamDownloaderDialog::kRestOfWidth},
};

// The texts of a group's first three children, by position.
std::u16string childText(const Element& group, int index) {
    const Element* child = group.firstChild();
    for (int i = 0; child && i < index; ++i) child = child->next();
    return child ? child->getCDataText() : std::u16string();
}

}  // namespace

GogakuruDownloader::GogakuruDownloader(const SiteHosts& hosts)
    : StreamDownloaderDialog(kTitle, kColumns), work_(hosts), initialUrl_(work_.addresses.startAddress) {}

GogakuruDownloader::~GogakuruDownloader() {
    // run() reads this object's members.
    stopRun();
}

void GogakuruDownloader::setUrl(const std::u16string& url) {
    initialUrl_ = url;
    // Closing without an analysis must not lose the address the learner had.
    remembered_ = url;
    if (url_.handle()) url_.setText(url);
}

bool GogakuruDownloader::createContents() {
    createCommonContents();
    delete_.createButton(handle(), kDeleteId, u"Delete", 231, 28, 80, 20);
    download_.setEnabled(false);
    delete_.setEnabled(false);
    table_.getModel().addTableModelListener(this);
    table_.addListener("KeyListener", static_cast<KeyListener*>(this));
    url_.setText(initialUrl_);
    SetFocus(url_.handle());
    return false;
}

void GogakuruDownloader::onCommand(HWND control, WPARAM first, WORD notificationCode) {
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

bool GogakuruDownloader::analyze() {
    std::u16string text = url_.text();
    if (!text.starts_with(u"http://")) text.insert(0, u"http://");
    // The settings default, not yet replaced by an address.
    if (text.find(u"???") != std::u16string::npos) return false;
    if (addRow(text, gogakuru::kTypedRowSentence)) {
        remembered_ = text;
        return true;
    }
    if (!text.starts_with(work_.addresses.siteRoot)) {
        MessageBoxW(handle(), u"この URL はサポートしてません(´・ω・`)！", u"Veltrix", MB_OK | MB_TOPMOST);
        return false;
    }
    const std::u16string page = decodeCodePage(fetchUrlText(encodeCodePage(text, CP_ACP)), CP_UTF8);
    if (page.empty()) {
        MessageBoxW(handle(), u"HTML を取得できませんでした！", u"Veltrix", MB_OK | MB_TOPMOST);
        return false;
    }
    for (const std::u16string& address : gogakuru::linkedAddresses(page, work_.addresses.siteHost))
        addRow(address, u"");
    remembered_ = text;
    return true;
}

bool GogakuruDownloader::isListed(const std::u16string& address) const {
    for (int row = 0; row < table_.getRowCount(); ++row)
        if (table_.getValueAt(row, UrlColumn) == address) return true;
    return false;
}

bool GogakuruDownloader::addRow(const std::u16string& url, const std::u16string& sentence) {
    const std::u16string address = gogakuru::phraseRowAddress(url, work_.addresses.phrasePrefix);
    if (address.empty() || isListed(address)) return false;
    const int row = table_.insertRow(address, table_.getRowCount());
    if (row < 0) return false;
    table_.setValueAt(sentence, row, SentenceColumn);
    table_.repaint();
    if (!downloading_) download_.setEnabled(true);
    return true;
}

void GogakuruDownloader::deleteSelectedRows() {
    // The worker addresses rows by index: none may go while it runs.
    if (downloading_) return;
    const std::vector<int> rows = table_.getSelectedRows();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) table_.removeRow(*it);
    table_.repaint();
    updateDeleteButton();
}

std::unique_ptr<Element> GogakuruDownloader::sentenceList() const {
    auto root = std::make_unique<Element>(u"SentenceList");
    for (int row = 0; row < table_.getRowCount(); ++row) {
        std::unique_ptr<Element> group =
            createSentenceGroup(table_.getValueAt(row, SentenceColumn), table_.getValueAt(row, TranslationColumn),
                                table_.getValueAt(row, ExplanationColumn));
        const std::u16string voice = table_.getValueAt(row, VoiceColumn);
        if (!voice.empty()) group->firstChild()->setAttribute(u"voice", voice);
        root->appendChild(std::move(group));
    }
    return root;
}

bool GogakuruDownloader::save() {
    const std::unique_ptr<Element> root = sentenceList();
    if (!root->firstChild()) return false;
    const std::u16string filter = std::u16string(u"XML File") + u'\0' + u"*.xml" + u'\0';
    const std::u16string path =
        chooseSaveFile(handle(), u"xml 保存先を選んでください", filter, u"gogakuru.xml", u".xml");
    if (path.empty()) return false;
    // As the XML writer writes a document of its own: the declaration, the
    // tree, UTF-16LE with its mark, the old file replaced only when all is written.
    const std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n" + root->toString();
    if (!saveTextFile(path, text, encoding::kUtf16LE)) {
        // The learner must not take a missing file for a saved one.
        MessageBoxW(handle(), (path + u"\r\nファイルの作成に失敗しました。").c_str(), u"Veltrix", MB_OK | MB_TOPMOST);
        return false;
    }
    return true;
}

void GogakuruDownloader::startDownload() {
    downloading_ = true;
    delete_.setEnabled(false);
    StreamDownloaderDialog::startDownload();
}

void GogakuruDownloader::showIdle() {
    downloading_ = false;
    StreamDownloaderDialog::showIdle();
    updateDeleteButton();
}

void GogakuruDownloader::runFinished() { save(); }

void GogakuruDownloader::updateDeleteButton() {
    if (delete_.handle()) delete_.setEnabled(!downloading_ && !table_.getSelectedRows().empty());
}

void GogakuruDownloader::tableChanged(TableModelEvent) {
    if (!downloading_) updateDeleteButton();
}

void GogakuruDownloader::keyPressed(KeyEvent event) {
    if (event.keyCode == VK_DELETE) deleteSelectedRows();
}

DWORD GogakuruDownloader::run() {
    PhraseWork work = work_;
    setHooks(work);
    const PhrasePageReader reader(work);
    const RemoteTable rows = remoteTable();
    for (int row = 0; !isStopRequested() && row < rows.rowCount(); ++row) {
        if (rows.text(row, StatusColumn).starts_with(u"OK")) continue;
        const std::unique_ptr<Element> group = reader.read(rows.text(row, UrlColumn));
        // A page cut short by the stop is neither done nor failed: the next
        // run reads it again.
        if (isStopRequested()) return 0;
        if (group) {
            rows.setText(row, VoiceColumn, group->getAttribute(u"voice"));
            rows.setText(row, SentenceColumn, childText(*group, 0));
            rows.setText(row, TranslationColumn, childText(*group, 1));
            rows.setText(row, ExplanationColumn, childText(*group, 2));
            rows.setText(row, StatusColumn, u"OK");
        } else {
            rows.setText(row, StatusColumn, u"Failed");
        }
        rows.showRow(row);
        if (!pause(kPauseBetweenPagesMs)) return 0;
    }
    if (!isStopRequested()) reportFinished();
    return 0;
}
