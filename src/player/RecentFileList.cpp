#include "player/RecentFileList.h"

#include <algorithm>
#include <string>

#include "toolkit/PopupMenu.h"

namespace {

bool fileExists(const std::u16string& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::u16string keyOf(std::size_t index) {
    std::u16string key = u"RecentFile";
    key += static_cast<char16_t>(u'0' + index);
    return key;
}

}  // namespace

void RecentFileList::addRecentFile(const std::u16string& path) {
    if (path.empty()) return;
    std::erase(entries_, path);
    if (!fileExists(path)) return;
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > kCapacity) entries_.pop_back();
}

std::u16string RecentFileList::showRecentFilesMenu(HWND owner) {
    if (entries_.empty()) return {};
    PopupMenu menu;
    for (std::size_t i = 0; i < entries_.size(); ++i) menu.addMenuItem(entries_[i], static_cast<UINT>(i + 1));
    menu.addMenuItem(u"", 0);
    const std::size_t clearId = entries_.size() + 1;
    menu.addMenuItem(kClearHistory, static_cast<UINT>(clearId));
    const auto chosen = static_cast<std::size_t>(std::max(menu.trackAtPointer(owner), 0));
    if (chosen == 0) return {};
    if (chosen == clearId) {
        entries_.clear();
        return {};
    }
    if (chosen > entries_.size()) return {};
    std::u16string path = entries_[chosen - 1];
    if (fileExists(path)) return path;
    std::erase(entries_, path);
    return {};
}

void RecentFileList::load(const std::u16string& settingsPath) {
    const auto* file = settingsPath.c_str();
    for (std::size_t n = kCapacity; n-- > 0;) {
        std::u16string key = keyOf(n);
        std::u16string value(2048, u'\0');
        const DWORD length =
            GetPrivateProfileStringW(kSection, key.c_str(), u"", value.data(), static_cast<DWORD>(value.size()), file);
        value.resize(length);
        if (!value.empty()) addRecentFile(value);
    }
}

bool RecentFileList::save(const std::u16string& settingsPath) const {
    const auto* file = settingsPath.c_str();
    bool written = true;
    for (std::size_t i = 0; i < kCapacity; ++i) {
        std::u16string key = keyOf(i);
        const std::u16string& value = i < entries_.size() ? entries_[i] : std::u16string();
        written = WritePrivateProfileStringW(kSection, key.c_str(), value.c_str(), file) && written;
    }
    return written;
}
