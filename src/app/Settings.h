// The settings file: an INI file kept in UTF-16LE so that the private-profile
// functions read and write it as Unicode.
#pragma once

#include <string>
#include <string_view>

// Converts the settings file to UTF-16LE with byte-order mark, or creates it
// holding only the mark; an empty file is left as it is. Run once at start-up,
// before anything reads a setting.
void prepareSettingsFile();
// The same, for any settings file path.
void prepareSettingsFile(const std::u16string& path);

// The value, cut to 2047 characters; the default when the key is missing.
std::u16string readSettingString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view defaultValue);
// Writes the text as the key's value; false when the write failed.
bool writeSettingString(std::u16string_view section, std::u16string_view key, std::u16string_view value);
// Writes the integer as decimal text; false when the write failed.
bool writeSettingInt(std::u16string_view section, std::u16string_view key, int value);
// The integer read the way the profile functions read it; the default when missing.
int readSettingInt(std::u16string_view section, std::u16string_view key, int defaultValue);
