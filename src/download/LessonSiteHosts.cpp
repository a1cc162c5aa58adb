#include "download/LessonSiteHosts.h"

#include "app/Paths.h"
#include "platform/win32.h"

std::u16string readHostSetting(const std::u16string& settingsPath, std::u16string_view key,
                               std::u16string_view fallback) {
    const std::u16string keyText(key);
    WCHAR buffer[256] = {};
    GetPrivateProfileStringW(LessonSiteHosts::kSection, keyText.c_str(), u"", buffer, 256, settingsPath.c_str());
    const std::u16string_view value(buffer);
    // A host never holds spaces; a value typed with them around still works.
    const std::size_t first = value.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos) return std::u16string(fallback);
    const std::size_t last = value.find_last_not_of(u" \t");
    return std::u16string(value.substr(first, last - first + 1));
}

LessonSiteHosts LessonSiteHosts::read(const std::u16string& settingsPath) {
    LessonSiteHosts hosts;
    hosts.phraseSite = readHostSetting(settingsPath, kPhraseSiteKey, kPhraseSiteDefault);
    hosts.phraseStream = readHostSetting(settingsPath, kPhraseStreamKey, kPhraseStreamDefault);
    hosts.phrasePlayer = readHostSetting(settingsPath, kPhrasePlayerKey, kPhrasePlayerDefault);
    hosts.lectureArchive = readHostSetting(settingsPath, kLectureArchiveKey, kLectureArchiveDefault);
    return hosts;
}

LessonSiteHosts LessonSiteHosts::fromSettings() { return read(settingsFilePath()); }
