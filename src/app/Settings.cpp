#include "app/Settings.h"

#include "app/Paths.h"
#include "platform/win32.h"
#include "text/TextFile.h"

void prepareSettingsFile(const std::u16string& path) {
    std::u16string text;
    int code = readTextFile(path, text, encoding::kDetect);
    if (code == encoding::kUtf16LE) return;
    // A file that exists but cannot be read is left alone rather than replaced
    // by an empty one: the learner's settings are worth more than a default.
    if (code == -1 && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    // Failure to write is not fatal: every setting then takes its default.
    saveTextFile(path, text, encoding::kUtf16LE);
}

void prepareSettingsFile() { prepareSettingsFile(settingsFilePath()); }

std::u16string readSettingString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view defaultValue) {
    constexpr DWORD kBufferSize = 2048;
    WCHAR buffer[kBufferSize];
    std::u16string s(section), k(key), d(defaultValue);
    GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), buffer, kBufferSize, settingsFilePath().c_str());
    return buffer;
}

bool writeSettingString(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    std::u16string s(section), k(key), v(value);
    return WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), settingsFilePath().c_str()) != FALSE;
}

bool writeSettingInt(std::u16string_view section, std::u16string_view key, int value) {
    std::string digits = std::to_string(value);
    return writeSettingString(section, key, std::u16string(digits.begin(), digits.end()));
}

int readSettingInt(std::u16string_view section, std::u16string_view key, int defaultValue) {
    std::u16string s(section), k(key);
    return static_cast<int>(GetPrivateProfileIntW(s.c_str(), k.c_str(), defaultValue, settingsFilePath().c_str()));
}
