#include "player/FileTable.h"

#include <algorithm>

#include "app/Paths.h"
#include "lyrics/Playlist.h"
#include "platform/common/FileExtension.h"
#include "toolkit/PopupMenu.h"

namespace {

bool isAudioFile(const std::u16string& path) { return veltrix::paths::hasExtension(path, {u".mp3", u".ogg", u".wma"}); }

// The playlist reader reports into the table through this.
class TableTarget : public PlaylistTarget {
public:
    explicit TableTarget(FileTable& table) : table_(table) {}
    void addFile(const std::u16string& path) override { table_.addFile(path); }
    void setPlaylistPath(const std::u16string& path) override { playlist = path; }
    std::u16string playlist;

private:
    FileTable& table_;
};

}  // namespace

bool FileTable::create(HWND parent) {
    if (!TableComponent::create(parent)) return false;
    insertColumn(kNameColumn, u"Name", 130);
    insertColumn(kPathColumn, u"Path", 130);
    acceptFormat(CF_HDROP);
    registerDropTarget(handle());
    return true;
}

void FileTable::destroyWindow() {
    revokeDropTarget();
    TableComponent::destroyWindow();
}

bool FileTable::addFile(const std::u16string& path) {
    if (!isAudioFile(path)) return false;
    const int rows = getRowCount();
    for (int row = 0; row < rows; ++row) {
        if (getValueAt(row, kPathColumn) == path) return false;
    }
    const int row = insertRow(fileNameOf(path), rows);
    if (row < 0) return false;
    setValueAt(path, row, kPathColumn);
    return true;
}

bool FileTable::loadPlaylist(const std::u16string& path) {
    TableTarget target(*this);
    if (!::loadPlaylist(path, target)) return false;
    playlistPath_ = target.playlist.empty() ? path : target.playlist;
    return true;
}

void FileTable::clearFiles() {
    removeAllRows();
    playlistPath_.clear();
}

std::vector<std::u16string> FileTable::paths() const {
    std::vector<std::u16string> out;
    const int rows = getRowCount();
    out.reserve(static_cast<std::size_t>(std::max(rows, 0)));
    for (int row = 0; row < rows; ++row) out.push_back(getValueAt(row, kPathColumn));
    return out;
}

std::u16string FileTable::firstSelectedPath() const {
    const std::vector<int> selected = getSelectedRows();
    return selected.empty() ? std::u16string() : getValueAt(selected.front(), kPathColumn);
}

void FileTable::removeSelectedRows() {
    std::vector<int> selected = getSelectedRows();
    std::sort(selected.begin(), selected.end());
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) removeRow(*it);
}

bool FileTable::onFilesDropped(const std::vector<std::u16string>& dropped) {
    for (const std::u16string& path : dropped) {
        if (!loadPlaylist(path)) addFile(path);
    }
    return true;
}

FileTable::DropOutcome FileTable::takePlayerDrop(const std::vector<std::u16string>& dropped) {
    clearFiles();
    if (!dropped.empty() && loadPlaylist(dropped.front())) return DropOutcome::ShowFileTab;
    if (dropped.size() == 1) return DropOutcome::OpenSingle;
    onFilesDropped(dropped);
    return DropOutcome::Listed;
}

UINT FileTable::showContextMenu() {
    PopupMenu menu;
    const ItemState state = getSelectedRows().empty() ? ItemState::Greyed : ItemState::Enabled;
    menu.addMenuItem(u"Open", kOpenItem, state);
    menu.addMenuItem(u"&Remove", kRemoveItem, state);
    return static_cast<UINT>(std::max(menu.trackAtPointer(handle()), 0));
}

bool FileTable::respond(const NMHDR& report, const Opener& open) {
    if (report.hwndFrom != handle()) return false;
    switch (report.code) {
        case LVN_KEYDOWN: {
            const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(report);
            const std::vector<int> selected = getSelectedRows();
            if (key.wVKey == VK_DELETE && !selected.empty()) removeRow(selected.front());
            return true;
        }
        case NM_RCLICK: {
            const UINT chosen = showContextMenu();
            if (chosen == kOpenItem) {
                const std::u16string path = firstSelectedPath();
                if (!path.empty()) open(path);
            } else if (chosen == kRemoveItem) {
                removeSelectedRows();
            }
            return true;
        }
        case NM_RETURN:
        case NM_DBLCLK: {
            const std::u16string path = firstSelectedPath();
            if (!path.empty()) open(path);
            return true;
        }
        default:
            return false;
    }
}
