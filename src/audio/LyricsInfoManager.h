// Timed lyrics: times in milliseconds and texts, in step. Filled from an MP3
// file's synchronised lyrics frame here; the LRC export takes it as its input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class LyricsInfoManager {
public:
    // Reads the SYLT ("SLT" in version 2.2) frame of the file. False when the
    // file cannot be opened or has no tag or no such frame; what was read before
    // a failure stays in the lists.
    bool readSyltTag(const std::u16string& path);
    // The text of the file's USLT ("ULT") frame, or "" when there is none.
    static std::u16string getUltTagText(const std::u16string& path);

    std::vector<std::int32_t> times;
    std::vector<std::u16string> texts;
};
