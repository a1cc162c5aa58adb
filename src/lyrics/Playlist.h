// M3U playlists: reading them into the file list and writing the file list as one.
#pragma once

#include <string>
#include <vector>

// Where a loaded playlist's files go (the player's file table).
class PlaylistTarget {
public:
    virtual ~PlaylistTarget() = default;
    virtual void addFile(const std::u16string& path) = 0;
    virtual void setPlaylistPath(const std::u16string& path) = 0;
};

// Adds the playlist's files, relative paths taken from the playlist's folder.
// False when the path does not end in ".m3u"; a missing or empty playlist adds
// nothing and still counts as loaded.
bool loadPlaylist(const std::u16string& path, PlaylistTarget& target);

// The playlist text for files, in the narrow code page: "#EXTM3U", then per file
// an "#EXTINF:0," line and its path relative to the playlist where one can be
// formed. Files whose paths the code page cannot hold are left out; empty when
// the playlist path cannot be held or no file remains.
std::string buildPlaylistText(const std::string& playlistPath, const std::vector<std::u16string>& files);

inline constexpr char16_t kPlaylistNotSaved[] =
    u"Couldn't save PlayList.\r\nOne or more invalid characters is contained in the path.";

enum class PlaylistSave { Saved, InvalidCharacters, WriteFailed };

// Saves files as a playlist in the system code page. On InvalidCharacters the
// caller shows kPlaylistNotSaved; nothing is written then.
PlaylistSave savePlaylist(const std::u16string& path, const std::vector<std::u16string>& files);
