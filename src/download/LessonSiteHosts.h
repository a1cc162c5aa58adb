// Where the phrase and lecture downloaders find their web sites. The sites fix
// only paths, query keys and page markers; the hosts are configuration: the
// settings file's section "Hosts" holds one key per site, and a missing or
// empty key means the site's public host. Tests and mirrors name another
// host, with a port when needed ("127.0.0.1:8080").
//
// Read on the window thread when a dialog opens; a worker gets its copy.
#pragma once

#include <string>
#include <string_view>

// The value of one key of the section "Hosts" in the settings file at
// settingsPath, with white space around it dropped; fallback when the key is
// missing or holds nothing else.
std::u16string readHostSetting(const std::u16string& settingsPath, std::u16string_view key,
                               std::u16string_view fallback);

struct LessonSiteHosts {
    static constexpr const char16_t* kSection = u"Hosts";
    // Keys and the public hosts they default to.
    static constexpr const char16_t* kPhraseSiteKey = u"GogakuruSite";
    static constexpr const char16_t* kPhraseSiteDefault = u"gogakuru.com";
    static constexpr const char16_t* kPhraseStreamKey = u"GogakuruStream";
    static constexpr const char16_t* kPhraseStreamDefault = u"flv.nhk.or.jp";
    static constexpr const char16_t* kPhrasePlayerKey = u"GogakuruPlayer";
    static constexpr const char16_t* kPhrasePlayerDefault = u"www.nhk.or.jp";
    static constexpr const char16_t* kLectureArchiveKey = u"KokokozaArchive";
    static constexpr const char16_t* kLectureArchiveDefault = u"www.nhk.or.jp";

    // The phrase pages and the list pages that link to them.
    std::u16string phraseSite = kPhraseSiteDefault;
    // The streaming server the phrase voices are recorded from.
    std::u16string phraseStream = kPhraseStreamDefault;
    // The host of the player address the stream tool presents; never fetched.
    std::u16string phrasePlayer = kPhrasePlayerDefault;
    // The radio lectures' pages and chapter lists.
    std::u16string lectureArchive = kLectureArchiveDefault;

    // The hosts a settings file names, each key's default where it is missing.
    static LessonSiteHosts read(const std::u16string& settingsPath);
    // The hosts of the program's own settings file.
    static LessonSiteHosts fromSettings();
};
