#include "download/VoaManagerDialog.h"

#include "download/HttpClient.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"
#include "toolkit/PopupMenu.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kTop = 28;
constexpr int kTextTab = 1;

}  // namespace

LRESULT VoaManagerDialog::A::onNotify(WPARAM wParam, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->hwndFrom == tree().handle() && header->code == NM_RCLICK) {
        owner_.showContextMenu();
        return 1;
    }
    return XmlTreePane::onNotify(wParam, lParam);
}

VoaManagerDialog::VoaManagerDialog(const SiteHosts& hosts) : publish_(hosts.voaPublish), tree_(*this) {}

VoaManagerDialog::~VoaManagerDialog() {
    tree_.destroyWindow();
    text_.destroyWindow();
    address_.destroyWindow();
}

bool VoaManagerDialog::createContents() {
    setTitle(u"VOA");
    address_.createAt(handle(), 4, 4, 320, 20);
    address_.fieldMode();
    get_.createButton(handle(), kGetId, u"Get!", 328, 4, 46, 20);
    tabs_.createPane(handle(), TabSide::Top);
    tree_.createAt(tabs_.handle(), 0, 0, 100, 100);
    text_.createAt(tabs_.handle(), 0, 0, 100, 100);
    tabs_.addTab(u"Data", &tree_);
    tabs_.addTab(u"Text", &text_);
    if (!tree_.load(kListFile)) tree_.newDocument(kListFile);
    tabs_.selectTab(0, TabNotification::Silent);
    setSizeCentered(kWidth, kHeight);
    onSize(0, 0);
    return false;
}

void VoaManagerDialog::onSize(WPARAM, LPARAM) {
    if (!tabs_.handle()) return;
    RECT client{};
    GetClientRect(handle(), &client);
    const int width = client.right;
    const int height = std::max<int>(client.bottom - kTop, 0);
    tabs_.setBounds(0, kTop, width, height);
    // The pages fill the pane below its tab strip.
    const int strip = TabbedPane::kTabThickness;
    for (BaseWindow* page : {static_cast<BaseWindow*>(&tree_), static_cast<BaseWindow*>(&text_)})
        if (page->handle()) page->setBounds(1, strip, std::max(width - 2, 0), std::max(height - strip - 1, 0));
}

bool VoaManagerDialog::onClose() {
    tree_.saveStates();
    return true;
}

void VoaManagerDialog::onCommand(HWND control, WPARAM first, WORD notificationCode) {
    if (LOWORD(first) == kGetId) {
        get();
        return;
    }
    Dialog::onCommand(control, first, notificationCode);
}

void VoaManagerDialog::showText(const std::u16string& text) {
    text_.setText(text);
    tabs_.selectTab(kTextTab, TabNotification::Silent);
}

void VoaManagerDialog::get() {
    const std::u16string address = address_.text();
    const std::u16string page = decodeCodePage(fetchUrlText(encodeCodePage(address, CP_ACP)), CP_UTF8);
    showText(voa::id3Block(page, address));
}

void VoaManagerDialog::showContextMenu() {
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(tree_.tree().handle(), &at);
    const HTREEITEM item = tree_.tree().itemAt(at);
    PopupMenu menu;
    menu.addMenuItem(u"CreateHTML", kCreateHtml);
    menu.addMenuItem(u"CreateOrderedHTML", kCreateOrderedHtml);
    if (item) {
        menu.addMenuItem(u"", 0);
        menu.addMenuItem(u"Remove", kRemove);
        menu.addMenuItem(u"OpenFolder", kOpenFolder);
    }
    const int chosen = menu.trackAtPointer(handle());
    if (chosen > 0) perform(static_cast<MenuItem>(chosen), item);
}

std::vector<voa::Category> VoaManagerDialog::categories() const {
    std::vector<voa::Category> out;
    const TreePane& tree = const_cast<A&>(tree_).tree();
    for (HTREEITEM category = tree.firstChildOf(tree.firstRoot()); category; category = tree.nextSiblingOf(category)) {
        voa::Category entry;
        entry.name = tree_.attributeOf(category, u"name");
        if (entry.name.empty()) entry.name = XmlTreePane::fileTitleOf(tree_.attributeOf(category, u"path"));
        for (HTREEITEM item = tree.firstChildOf(category); item; item = tree.nextSiblingOf(item))
            entry.files.push_back(tree_.attributeOf(item, u"path"));
        out.push_back(std::move(entry));
    }
    return out;
}

void VoaManagerDialog::perform(MenuItem item, HTREEITEM at) {
    switch (item) {
        case kCreateHtml: {
            const std::vector<voa::Category> list = categories();
            voa::fileCategories(list, exportFolder_);
            showText(voa::indexHtml(list, publish_));
            return;
        }
        case kCreateOrderedHtml: {
            CreateDirectoryW(exportFolder_.c_str(), nullptr);
            std::u16string prefix;
            readTextFile(kPrefixFile, prefix);
            showText(voa::orderedHtml(prefix, categories(), publish_));
            return;
        }
        case kRemove:
            tree_.removeItem(at);
            return;
        case kOpenFolder: {
            std::u16string path = tree_.attributeOf(at, u"path");
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                const std::size_t slash = path.find_last_of(u"/\\");
                path = slash == std::u16string::npos ? std::u16string(u".") : path.substr(0, slash);
            }
            ShellExecuteW(handle(), u"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            return;
        }
    }
}
