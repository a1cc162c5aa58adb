// Fuzz target for the MPEG audio frame walk: any bytes taken as an MP3 file
// end in a duration or in MP3::FrameException, never in a crash, a hang or a
// read outside the file; in memory and through the file alike.
#include <cstddef>
#include <cstdint>

#include "audio/Mp3FileScanner.h"
#include "support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Mp3FileScanner scanner;
    try {
        scanner.scanFrames(data, size, 0);
    } catch (const MP3::FrameException&) {}
    const std::u16string path = writeFuzzFile(data, size, ".mp3");
    try {
        if (!scanner.scan(path)) __builtin_trap();  // the file was just written
    } catch (const MP3::FrameException&) {}
    return 0;
}
