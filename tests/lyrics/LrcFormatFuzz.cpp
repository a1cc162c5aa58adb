// Fuzz target for the LRC format description file: any bytes read as the
// format file give formats (each with a name) or a failure with the XML
// reader's message, and the formats found drive the LRC writer's wrapping.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lyrics/LrcExport.h"
#include "lyrics/LrcWriter.h"
#include "support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string path = writeFuzzFile(data, size, ".txt");
    std::vector<LyricsFormat> formats;
    std::u16string message;
    if (!readLyricsFormats(path, formats, [&](const std::u16string& text) { message = text; })) return 0;
    for (const LyricsFormat& format : formats) {
        if (format.name.empty()) __builtin_trap();
        // As the writer takes them: at least 100 wide and a size of 10.
        const int width = format.width < 100 ? 100 : format.width;
        const int fontSize = format.fontSize < 10 ? 10 : format.fontSize;
        const auto lines = wrapLyricLine(u"Excuse me,\r\nwhere is the station? 駅はどこですか。", fontSize, width);
        if (lines.empty()) __builtin_trap();
        for (const auto& line : lines)
            if (line.find(u'\0') != std::u16string::npos) __builtin_trap();
        (void)lrcTimeTag(83456, format.extendedTag);
    }
    return 0;
}
