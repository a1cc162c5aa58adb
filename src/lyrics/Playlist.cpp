#include "lyrics/Playlist.h"

#include <cstdio>

#include "platform/common/AsciiCase.h"
#include "platform/win32.h"
#include "text/NarrowText.h"
#include "text/ReplacingFile.h"
#include "text/TextFile.h"

namespace {

bool endsWithM3u(const std::u16string& path) { return veltrix::ascii::endsWithIgnoringCase(path, u".m3u"); }

std::u16string folderOf(const std::u16string& path) {
    std::size_t cut = path.find_last_of(u"\\/");
    return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut + 1);
}

}  // namespace

bool loadPlaylist(const std::u16string& path, PlaylistTarget& target) {
    if (!endsWithM3u(path)) return false;
    std::u16string text;
    readTextFile(path, text, encoding::kDetect);
    const std::u16string folder = folderOf(path);
    // Lines end in CR LF, LF or CR: playlists made on Linux use bare LF.
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(u"\r\n", start);
        if (end == std::u16string::npos) end = text.size();
        std::u16string line = text.substr(start, end - start);
        start = end + ((end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n') ? 2 : 1);
        if (line.empty() || line.rfind(u"#EXT", 0) == 0) continue;
        if (PathIsRelativeW(line.c_str())) {
            WCHAR combined[MAX_PATH];
            if (PathCombineW(combined, folder.c_str(), line.c_str())) target.addFile(combined);
        } else {
            target.addFile(line);
        }
    }
    target.setPlaylistPath(path);
    return true;
}

std::string buildPlaylistText(const std::string& playlistPath, const std::vector<std::u16string>& files) {
    if (playlistPath.find('?') != std::string::npos) return {};
    const std::u16string playlist = toWide(playlistPath);
    std::string text = "#EXTM3U\r\n";
    bool any = false;
    for (const auto& file : files) {
        std::string narrow = toNarrow(file);
        if (narrow.find('?') != std::string::npos) continue;
        WCHAR relative[MAX_PATH];
        std::string path =
            PathRelativePathToW(relative, playlist.c_str(), FILE_ATTRIBUTE_NORMAL, file.c_str(), FILE_ATTRIBUTE_NORMAL)
                ? toNarrow(relative)
                : narrow;
        text += "#EXTINF:0," + toNarrow(PathFindFileNameW(file.c_str())) + "\r\n" + path + "\r\n\r\n";
        any = true;
    }
    return any ? text : std::string();
}

PlaylistSave savePlaylist(const std::u16string& path, const std::vector<std::u16string>& files) {
    // The system's code page, so that other players read the file.
    NarrowCodePageScope scope(CP_ACP);
    std::string text = buildPlaylistText(toNarrow(path), files);
    if (text.empty()) return PlaylistSave::InvalidCharacters;
    ReplacingFile file(path);
    bool ok = file.file() && std::fwrite(text.data(), 1, text.size(), file.file()) == text.size() && file.commit();
    return ok ? PlaylistSave::Saved : PlaylistSave::WriteFailed;
}
