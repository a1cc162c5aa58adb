// The extension of a path as the program tests it: the part of the file name
// from its last dot, folded to lower case, so that ".MP3" and ".mp3" are one
// extension. Folders end at "\" or "/"; a dot in a folder name is no extension.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/common/AsciiCase.h"

namespace veltrix::paths {

// ".mp3" for "C:\Music\Song.MP3"; "" for "notes", "a.b\notes" and "a.b/notes".
inline std::u16string extensionOf(std::u16string_view path) {
    const std::size_t name = path.find_last_of(u"\\/");
    const std::size_t dot = path.rfind(u'.');
    if (dot == std::u16string_view::npos || (name != std::u16string_view::npos && dot < name)) return {};
    return ascii::toLower(path.substr(dot));
}

// Whether the path's extension is one of the given ones (lower case, with the dot).
inline bool hasExtension(std::u16string_view path, std::initializer_list<std::u16string_view> extensions) {
    const std::u16string extension = extensionOf(path);
    for (std::u16string_view candidate : extensions)
        if (extension == candidate) return true;
    return false;
}

}  // namespace veltrix::paths
