// The player's list of audio files to work through: files dropped onto it or
// read from an M3U playlist, opened one at a time by the player.
//
// Invariant: every row is an audio file (".mp3", ".ogg", ".wma") whose Path
// appears in no other row. The table reports to its parent as every table
// does; the player passes those reports to respond(), which carries out the
// file list's part (removing rows, the context menu) and hands back the file
// to open.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/DropTarget.h"
#include "toolkit/TableComponent.h"

class FileTable : public TableComponent, public DropTarget {
public:
    enum Column { kNameColumn = 0, kPathColumn = 1 };
    // Context-menu item numbers.
    enum MenuItem : UINT { kOpenItem = 1, kRemoveItem = 2 };

    // What dropping files onto the player asks of it after the table took them.
    enum class DropOutcome {
        ShowFileTab,  // the first file was a playlist: its files are listed
        OpenSingle,   // one file that is not a playlist: open it
        Listed,       // several files: listed (playlists expanded)
    };

    // The table window with the "Name" and "Path" columns, registered as a
    // drop target for files.
    bool create(HWND parent) override;
    void destroyWindow() override;

    // Appends an audio file not yet listed; false when nothing was added.
    bool addFile(const std::u16string& path);
    // Lists the playlist's audio files and remembers the playlist; false when
    // path does not name a playlist (".m3u").
    bool loadPlaylist(const std::u16string& path);
    // Empties the table and forgets the playlist.
    void clearFiles();

    const std::u16string& playlistPath() const { return playlistPath_; }
    void setPlaylistPath(const std::u16string& path) { playlistPath_ = path; }
    std::vector<std::u16string> paths() const;
    // The Path of the first selected row, "" when none is selected.
    std::u16string firstSelectedPath() const;
    // Removes the selected rows, the last first so the indices stay valid.
    void removeSelectedRows();

    // Files dropped onto the table: each one a playlist, or else a file.
    bool onFilesDropped(const std::vector<std::u16string>& paths) override;
    // Files dropped onto the player: the table is emptied and takes them.
    DropOutcome takePlayerDrop(const std::vector<std::u16string>& paths);

    // "Open" (1) and "&Remove" (2) at the pointer, both enabled only with a
    // row selected; returns the chosen number, 0 for none.
    UINT showContextMenu();

    // Carries out a report of this table to the player: Delete removes the
    // first selected row, a right click shows the context menu, Return and a
    // double click open the first selected row. open is called with the path
    // to open. True when the report was the file list's.
    using Opener = std::function<void(const std::u16string&)>;
    bool respond(const NMHDR& report, const Opener& open);

private:
    std::u16string playlistPath_;
};
