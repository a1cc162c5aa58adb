// Where the downloaders find their web sites. Only paths, query keys and page
// markers are fixed by the sites; the hosts are configuration: the settings
// file's section "Hosts" holds one key per site, and a missing key means the
// site's public host. Tests and mirrors name another host, with a port when
// needed ("127.0.0.1:8080").
//
// Read on the window thread when a download starts; a worker gets its copy.
#pragma once

#include <string>

struct SiteHosts {
    static constexpr const char16_t* kSection = u"Hosts";
    // Keys and the public hosts they default to.
    static constexpr const char16_t* kNewsKey = u"NHKNewsEnglish";
    static constexpr const char16_t* kNewsDefault = u"cgi2.nhk.or.jp";
    static constexpr const char16_t* kCaptionKey = u"YoutubeCaptions";
    static constexpr const char16_t* kCaptionDefault = u"video.google.com";
    // Not fetched from: the domain a video's address must name.
    static constexpr const char16_t* kVideoKey = u"YoutubeVideo";
    static constexpr const char16_t* kVideoDefault = u"youtube.com";
    static constexpr const char16_t* kPhraseSiteKey = u"GogakuruSite";
    static constexpr const char16_t* kPhraseSiteDefault = u"gogakuru.com";
    static constexpr const char16_t* kPhraseStreamKey = u"GogakuruStream";
    static constexpr const char16_t* kPhraseStreamDefault = u"flv.nhk.or.jp";
    // Not fetched from: the host of the player address the stream tool names.
    static constexpr const char16_t* kPhrasePlayerKey = u"GogakuruPlayer";
    static constexpr const char16_t* kPhrasePlayerDefault = u"www.nhk.or.jp";
    static constexpr const char16_t* kLectureArchiveKey = u"KokokozaArchive";
    static constexpr const char16_t* kLectureArchiveDefault = u"www.nhk.or.jp";
    static constexpr const char16_t* kPhotoSiteKey = u"PublicDomainPhotos";
    static constexpr const char16_t* kPhotoSiteDefault = u"www.public-domain-photos.com";
    static constexpr const char16_t* kTranslatorKey = u"Translator";
    static constexpr const char16_t* kTranslatorDefault = u"translate.google.com";
    // Not fetched from: where the news-item list's sentence-list files are published.
    static constexpr const char16_t* kVoaPublishKey = u"VoaPublish";
    static constexpr const char16_t* kVoaPublishDefault = u"www.example.com/voa";

    // The daily English news programme's pages (news downloader).
    std::u16string newsSite = kNewsDefault;
    // The service that gives a video's caption tracks (caption downloader).
    std::u16string captionService = kCaptionDefault;
    // The video site whose watch addresses the caption downloader accepts.
    std::u16string videoSite = kVideoDefault;
    // The phrase pages and the list pages that link to them (phrase downloader).
    std::u16string phraseSite = kPhraseSiteDefault;
    // The streaming server the phrase voices are recorded from.
    std::u16string phraseStream = kPhraseStreamDefault;
    std::u16string phrasePlayer = kPhrasePlayerDefault;
    // The radio lectures' pages and chapter lists (lecture downloader).
    std::u16string lectureArchive = kLectureArchiveDefault;
    // The public-domain photo site and the service that translates its captions (website downloader).
    std::u16string photoSite = kPhotoSiteDefault;
    std::u16string translator = kTranslatorDefault;
    // The host and path the news-item list's index links its files under.
    std::u16string voaPublish = kVoaPublishDefault;

    // The hosts a settings file names, each key's default where it is missing
    // or empty.
    static SiteHosts read(const std::u16string& settingsPath);
    // The hosts of the program's own settings file.
    static SiteHosts fromSettings();
};
