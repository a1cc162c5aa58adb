#include "lyrics/AudioPath.h"

#include <vector>

#include "platform/win32.h"

namespace {

bool isSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

bool isAbsolute(std::u16string_view path) {
    if (!path.empty() && isSeparator(path[0])) return true;
    // A drive letter: such paths come from files written on Windows.
    return path.size() >= 2 && path[1] == u':' && ((path[0] | 0x20) >= u'a' && (path[0] | 0x20) <= u'z');
}

// The parts of a path without empty and "." parts and with ".." applied; a
// ".." above the root is dropped, as path qualification does.
std::vector<std::u16string> partsOf(std::u16string_view path) {
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !isSeparator(path[end])) ++end;
        const std::u16string_view part = path.substr(start, end - start);
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != u".") {
            parts.emplace_back(part);
        }
        start = end + 1;
    }
    return parts;
}

std::u16string joined(const std::vector<std::u16string>& parts, std::size_t from, std::size_t to, bool rooted) {
    std::u16string out = rooted ? u"/" : u"";
    for (std::size_t i = from; i < to; ++i) {
        if (i > from) out += u'/';
        out += parts[i];
    }
    return out;
}

bool rootedWithSlash(std::u16string_view path) { return !path.empty() && isSeparator(path[0]); }

}  // namespace

std::u16string qualifyPath(std::u16string_view folder, std::u16string_view path) {
    std::u16string full;
    if (isAbsolute(path)) {
        full = path;
    } else {
        full = folder;
        full += u'/';
        full += path;
    }
    const std::vector<std::u16string> parts = partsOf(full);
    return joined(parts, 0, parts.size(), rootedWithSlash(full));
}

std::u16string folderOf(std::u16string_view path) {
    std::size_t end = path.size();
    while (end > 0 && !isSeparator(path[end - 1])) --end;
    if (end == 0) return {};
    if (end == 1) return std::u16string(path.substr(0, 1));
    return std::u16string(path.substr(0, end - 1));
}

std::u16string relativeAudioPath(std::u16string_view audioPath, std::u16string_view xmlPath) {
    const std::vector<std::u16string> audio = partsOf(audioPath);
    const std::vector<std::u16string> xml = partsOf(xmlPath);
    if (audio.empty() || xml.empty()) return std::u16string(audioPath);
    const std::size_t audioFolder = audio.size() - 1;
    const std::size_t xmlFolder = xml.size() - 1;
    std::size_t common = 0;
    while (common < audioFolder && common < xmlFolder && audio[common] == xml[common]) ++common;
    // Only the root in common: a relative path would climb to the root and
    // break as soon as either file moves, so the absolute path is kept.
    if (common == 0 && rootedWithSlash(audioPath)) return std::u16string(audioPath);
    std::u16string out;
    for (std::size_t i = common; i < xmlFolder; ++i) out += u"../";
    return out + joined(audio, common, audio.size(), false);
}

bool isReadableFile(const std::u16string& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    std::FILE* file = _wfopen(path.c_str(), u"rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}
