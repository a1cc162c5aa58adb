// The ten files the learner opened last, most recent first, offered by the
// drop-down arrow of the open button and kept in the settings file.
//
// Invariant: at most kCapacity entries, no two equal, none empty. Entries are
// checked against the disk when added and when chosen, so a file that has gone
// never opens and leaves the list.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

class RecentFileList {
public:
    static constexpr std::size_t kCapacity = 10;
    static constexpr char16_t kSection[] = u"RecentFileManager";
    static constexpr char16_t kClearHistory[] = u"Clear History";

    // Moves an existing file to the front; a missing file only leaves the list.
    void addRecentFile(const std::u16string& path);

    // A pop-up at the pointer with one item per entry, a separator and "Clear
    // History". Returns the chosen path when its file still exists; otherwise
    // (nothing chosen, the history cleared, the file gone and dropped) "".
    std::u16string showRecentFilesMenu(HWND owner);

    // Reads "RecentFile9" down to "RecentFile0" of the settings file, so the
    // order is kept and vanished files are dropped.
    void load(const std::u16string& settingsPath);
    // Writes "RecentFile0" to "RecentFile9", empty past the last entry. False
    // when the settings file could not be written.
    bool save(const std::u16string& settingsPath) const;

    const std::vector<std::u16string>& entries() const { return entries_; }
    void clear() { entries_.clear(); }

private:
    std::vector<std::u16string> entries_;
};
