// Timed lyrics: times in milliseconds and texts, in step. Filled from an MP3
// file's synchronised lyrics frame here; the LRC export takes it as its input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One LRC flavour of the format description file: the writer uses its
// encoding, width, fontSize and extendedTag (the separator between seconds and
// hundredths); the other fields are kept as read.
struct LyricsFormat {
    std::u16string name, appName, headerName, version, language, encoding;
    int x = 0, y = 0, width = 0, rowCount = 0, fontSize = 0;
    std::u16string extendedTag = u".";
};

class LyricsInfoManager {
public:
    // Reads the SYLT ("SLT" in version 2.2) frame of the file. False when the
    // file cannot be opened, has no tag or no such frame. A frame cut short (by
    // the end of the file, or an entry without its terminator or time stamp
    // inside the frame) keeps the entries before the incomplete one and gives
    // true. Nothing past the frame is read.
    bool readSyltTag(const std::u16string& path);
    // The text of the file's USLT ("ULT") frame, or "" when there is none.
    static std::u16string getUltTagText(const std::u16string& path);

    // When the LRC writer takes the lists, times holds one element more than
    // texts: the end of the last text.
    std::vector<std::int32_t> times;
    std::vector<std::u16string> texts;

    std::vector<LyricsFormat> formats;
    // The format used; an index beyond the list selects the first.
    unsigned formatIndex = 0;
};
