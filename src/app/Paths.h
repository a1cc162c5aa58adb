// The program's folder, base name and settings file path, and the two path
// helpers every Part uses. The three cached paths are filled on first use (start-up
// fills them before any other thread exists) and never change afterwards.
#pragma once

#include <string>
#include <string_view>

// The executable's folder with its trailing separator; program data folders
// ("Plugins/...", "Resources/...", "Dictionaries/...") are appended to it.
const std::u16string& appDirectory();
// The program path as launched, cut to the text between its last separator and
// its last dot (a dot inside a folder name does not count).
const std::u16string& appBaseName();
// appDirectory() + appBaseName() + ".ini" when the program folder is
// writable; otherwise (an installed copy) the file of that name in the
// user's settings folder, $XDG_CONFIG_HOME/veltrix/ (default ~/.config/veltrix/).
const std::u16string& settingsFilePath();
// The rule of settingsFilePath for a program folder (with trailing separator).
std::u16string settingsFilePathFor(const std::u16string& programFolder, const std::u16string& baseName);

// The name appBaseName derives from a program path.
std::u16string baseNameOfProgramPath(std::u16string_view programPath);

// The path without its folders.
std::u16string fileNameOf(std::u16string_view path);
// The path without its last extension.
std::u16string withoutExtension(std::u16string_view path);
