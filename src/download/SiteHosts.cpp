#include "download/SiteHosts.h"

#include "app/Paths.h"
#include "platform/win32.h"

namespace {

std::u16string readHost(const std::u16string& path, const char16_t* key, const char16_t* fallback) {
    WCHAR buffer[256] = {};
    GetPrivateProfileStringW(SiteHosts::kSection, key, fallback, buffer, 256, path.c_str());
    std::u16string host(buffer);
    // A host never holds spaces; a value typed with them around still works.
    const std::size_t first = host.find_first_not_of(u" \t");
    const std::size_t last = host.find_last_not_of(u" \t");
    host = first == std::u16string::npos ? std::u16string() : host.substr(first, last - first + 1);
    return host.empty() ? std::u16string(fallback) : host;
}

}  // namespace

SiteHosts SiteHosts::read(const std::u16string& settingsPath) {
    SiteHosts hosts;
    hosts.newsSite = readHost(settingsPath, kNewsKey, kNewsDefault);
    hosts.captionService = readHost(settingsPath, kCaptionKey, kCaptionDefault);
    hosts.videoSite = readHost(settingsPath, kVideoKey, kVideoDefault);
    hosts.phraseSite = readHost(settingsPath, kPhraseSiteKey, kPhraseSiteDefault);
    hosts.phraseStream = readHost(settingsPath, kPhraseStreamKey, kPhraseStreamDefault);
    hosts.phrasePlayer = readHost(settingsPath, kPhrasePlayerKey, kPhrasePlayerDefault);
    hosts.lectureArchive = readHost(settingsPath, kLectureArchiveKey, kLectureArchiveDefault);
    hosts.photoSite = readHost(settingsPath, kPhotoSiteKey, kPhotoSiteDefault);
    hosts.translator = readHost(settingsPath, kTranslatorKey, kTranslatorDefault);
    hosts.voaPublish = readHost(settingsPath, kVoaPublishKey, kVoaPublishDefault);
    return hosts;
}

SiteHosts SiteHosts::fromSettings() { return read(settingsFilePath()); }
