#include "lyrics/LrcWriter.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "app/Paths.h"
#include "text/ReplacingFile.h"
#include "text/TextFile.h"

std::vector<std::u16string> wrapLyricLine(const std::u16string& text, int fontSize, int width) {
    std::vector<std::u16string> output;
    std::u16string line;
    int used = 0;
    std::size_t lastSpace = 0, i = 0;
    // How many characters of line came before the last space met on this line;
    // none while the line has met no space. Counted in characters of line, not
    // in positions of text: skipped control characters are not in line, and a
    // cut measured in positions would pad the line with U+0000.
    std::optional<std::size_t> beforeSpace;
    while (i < text.size()) {
        char16_t c = text[i];
        if (c < 0x20) {
            ++i;
            continue;
        }
        if (c == u' ') {
            lastSpace = i;
            beforeSpace = line.size();
        }
        used += c <= 0x80 ? fontSize / 2 : fontSize;
        if (used <= width) {
            line += c;
            ++i;
            continue;
        }
        if (line.empty()) {
            // Not even one character fits: the whole text goes on one line.
            if (output.empty()) {
                line = text;
                for (std::size_t at; (at = line.find(u"\r\n")) != std::u16string::npos;) line.erase(at, 2);
            }
            break;
        }
        // The first line of a cut ends before its space; later lines keep the
        // space as their last character. A space that did not fit itself is not
        // in line, so the cut never reaches past the line's end.
        if (beforeSpace) {
            std::size_t n = *beforeSpace + (output.empty() ? 0 : 1);
            if (n > 1) {
                line.resize(std::min(n, line.size()));
                i = lastSpace + 1;
            }
        }
        output.push_back(line);
        line.clear();
        used = 0;
        beforeSpace.reset();
    }
    output.push_back(line);
    return output;
}

std::u16string lrcTimeTag(std::uint32_t t, const std::u16string& separator) {
    char buffer[48];
    unsigned minutes = (t / 1000) / 60, seconds = (t / 1000) % 60, hundredths = (t / 10) % 100;
    if (separator.empty()) {
        std::snprintf(buffer, sizeof buffer, "[%02u:%02u]", minutes, seconds);
        return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
    }
    std::snprintf(buffer, sizeof buffer, "[%02u:%02u", minutes, seconds);
    std::u16string tag(buffer, buffer + std::char_traits<char>::length(buffer));
    std::snprintf(buffer, sizeof buffer, "%02u]", hundredths);
    return tag + separator + std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

bool writeLrc(const LyricsInfoManager& manager, const std::u16string& chosenPath) {
    LyricsFormat format;
    if (!manager.formats.empty())
        format = manager.formats[manager.formatIndex < manager.formats.size() ? manager.formatIndex : 0];
    if (format.name.empty() || manager.texts.empty() || manager.times.size() < manager.texts.size()) return false;

    const std::u16string path = withoutExtension(chosenPath.substr(0, 258)) + u".lrc";
    ReplacingFile file(path);
    if (!file.file()) return false;
    const int width = std::max(format.width, 100);
    const int fontSize = std::max(format.fontSize, 10);
    const int code = encodingCodeOf(format.encoding);

    bool ok = writeByteOrderMark(file.file(), code);
    for (std::size_t i = 0; i < manager.texts.size() && ok; ++i) {
        std::vector<std::u16string> lines = wrapLyricLine(manager.texts[i], fontSize, width);
        auto start = static_cast<std::uint32_t>(manager.times[i]);
        // A list without its closing time ends where the last text starts.
        auto next = i + 1 < manager.times.size() ? static_cast<std::uint32_t>(manager.times[i + 1]) : start;
        // Times out of order share one tag rather than wrapping around.
        std::uint32_t step = next > start ? (next - start) / static_cast<std::uint32_t>(lines.size()) : 0;
        std::u16string block;
        for (std::size_t k = 0; k < lines.size(); ++k)
            block += lrcTimeTag(start + static_cast<std::uint32_t>(k) * step, format.extendedTag) + lines[k] + u"\r\n";
        ok = writeEncoded(file.file(), block, code);
    }
    return ok && file.commit();
}

std::u16string lrcFileNameFromChoice(std::u16string chosen) {
    for (std::size_t at; (at = chosen.find(u".lrc.lrc")) != std::u16string::npos;) chosen.replace(at, 8, u".lrc");
    return chosen;
}
