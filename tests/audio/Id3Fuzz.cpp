// Fuzz target for the ID3v2 tag reader and its lyrics: any bytes taken as an
// MP3 file give synchronised lyrics, unsynchronised lyrics or none, never a
// crash, a hang, a leak or a read outside the file.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "audio/ID3Tag.h"
#include "audio/LyricsInfoManager.h"
#include "platform/win32.h"
#include "support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string path = writeFuzzFile(data, size, ".mp3");
    LyricsInfoManager lyrics;
    lyrics.readSyltTag(path);
    // Each time stamp belongs to one text.
    if (lyrics.times.size() != lyrics.texts.size()) __builtin_trap();
    LyricsInfoManager::getUltTagText(path);

    if (std::FILE* file = _wfopen(path.c_str(), u"rb")) {
        ID3Tag tag;
        if (tag.readTag(file)) {
            tag.findFrame("SYLT");
            tag.findFrame("ULT");
        }
        std::fclose(file);
    }
    return 0;
}
