// libFuzzer target for the tag reader and the frame scanner: any bytes taken as
// an MP3 file end in lyrics, no lyrics or MP3::FrameException, never in a
// crash, a hang or a read outside the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "audio/LyricsInfoManager.h"
#include "audio/Mp3FileScanner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/veltrix-audio-fuzz-" + std::to_string(::getpid()) + ".mp3";
    static const std::u16string widePath(path.begin(), path.end());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    LyricsInfoManager lyrics;
    lyrics.readSyltTag(widePath);
    if (lyrics.times.size() != lyrics.texts.size()) __builtin_trap();
    LyricsInfoManager::getUltTagText(widePath);
    Mp3FileScanner scanner;
    try {
        scanner.scan(widePath);
    } catch (const MP3::FrameException&) {
    }
    return 0;
}
