// What the open and save dialogs decide, apart from their windows: filter
// lists, wildcard matching, folder listings, paths typed by the user and what
// each typed text means. Internal to src/platform; paths are UTF-16 with "/"
// (a typed "\" is read as "/").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"

namespace veltrix::platform::controls {

struct FileFilter {
    std::u16string label;
    std::u16string patterns;  // ";"-separated, e.g. "*.htm;*.html"
};

// Reads an OPENFILENAMEW filter: pairs of zero-terminated strings ending with
// an empty one. At most 256 pairs and kMaxFilterText units in all are read,
// so a missing final terminator cannot run away.
std::vector<FileFilter> parseFilter(const WCHAR* filter);
inline constexpr std::size_t kMaxFilterText = 16384;

// Whether name matches one of the ";"-separated patterns ("*" any run, "?"
// one character; ASCII letters without regard to case; "*.*" matches every
// name, as on Windows). An empty pattern list matches everything. No recursion.
bool matchesPattern(std::u16string_view name, std::u16string_view patterns);

struct FolderEntry {
    std::u16string name;
    bool folder = false;
    std::uint64_t size = 0;
};

struct Listing {
    bool readable = false;
    // ".." first (except at the root), then folders, then matching files,
    // each group sorted by name without regard to case.
    std::vector<FolderEntry> entries;
};

enum class HiddenFiles { Skip, Show };
Listing listFolder(const std::u16string& folder, std::u16string_view patterns, HiddenFiles hidden);

// "/"-separated, without "." and ".." steps (never above the root), without
// doubled or trailing separators; "~" at the start is the home folder.
// Relative paths are taken from base.
std::u16string normalisePath(const std::u16string& path, const std::u16string& base);
std::u16string parentFolder(const std::u16string& folder);
bool isFolder(const std::u16string& path);
bool isFile(const std::u16string& path);
// The process's current folder.
std::u16string currentFolder();

enum class FileDialogMode { Open, Save };

// What the text typed in the file-name field asks for.
struct TypedOutcome {
    enum class Action { Nothing, Navigate, Filter, Choose, AskOverwrite, Refuse };
    Action action = Action::Nothing;
    std::u16string path;     // Navigate: the folder; Choose/AskOverwrite: the file
    std::u16string pattern;  // Filter: the patterns typed
    std::u16string message;  // Refuse: what to tell the user; AskOverwrite: the question
};

// flags are OPENFILENAMEW flags; defaultExtension may start with "." (ignored).
TypedOutcome resolveTyped(FileDialogMode mode, DWORD flags, const std::u16string& folder, std::u16string typed,
                          const std::u16string& defaultExtension);

}  // namespace veltrix::platform::controls
