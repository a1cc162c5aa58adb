// A playlist target that only records what a playlist gave it.
#pragma once

#include <string>
#include <vector>

#include "lyrics/Playlist.h"

class RecordingPlaylistTarget : public PlaylistTarget {
public:
    void addFile(const std::u16string& path) override { files.push_back(path); }
    void setPlaylistPath(const std::u16string& path) override { playlist = path; }
    std::vector<std::u16string> files;
    std::u16string playlist;
};
