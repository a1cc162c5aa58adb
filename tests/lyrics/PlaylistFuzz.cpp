// Fuzz target for M3U playlists: any bytes read as a playlist add paths, every
// one no longer than the platform's path limit, and those paths can be written
// as a playlist again; never a crash, an overflow or a hang.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "RecordingPlaylistTarget.h"
#include "lyrics/Playlist.h"
#include "support/FuzzInput.h"
#include "text/NarrowText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool codePageSet = (setNarrowCodePage(932), true);
    (void)codePageSet;
    const std::u16string path = writeFuzzFile(data, size, ".m3u");
    RecordingPlaylistTarget target;
    if (!loadPlaylist(path, target) || target.playlist != path) __builtin_trap();
    for (const std::u16string& file : target.files)
        if (file.empty()) __builtin_trap();
    (void)buildPlaylistText(toNarrow(path), target.files);
    return 0;
}
