#include "download/DownloaderShortcut.h"

#include <cstdlib>

#include "app/Settings.h"
#include "download/LessonDownloaders.h"
#include "download/NHK_NewsEnglishDialog.h"
#include "download/VoaManagerDialog.h"
#include "download/WebsiteDownloader.h"
#include "download/YoutubeLyricsDialog.h"

namespace {

constexpr const char16_t* kNhkSection = u"NHK";

}  // namespace

DownloaderShortcut::DownloaderShortcut() = default;
DownloaderShortcut::~DownloaderShortcut() = default;

bool DownloaderShortcut::requested() {
    const char* name = std::getenv(kVariable);
    return name && *name;
}

bool DownloaderShortcut::openFromEnvironment(HWND owner) {
    const char* name = std::getenv(kVariable);
    return name && open(owner, name);
}

bool DownloaderShortcut::open(HWND owner, std::string_view name) {
    if (name == "captions") {
        YoutubeLyricsDialog dialog(SiteHosts::fromSettings());
        showModal(owner, dialog);
        return true;
    }
    if (name == "website") {
        WebsiteDownloader dialog(SiteHosts::fromSettings());
        showModal(owner, dialog);
        return true;
    }
    if (name == "voa") {
        VoaManagerDialog dialog(SiteHosts::fromSettings());
        showModal(owner, dialog);
        return true;
    }
    if (openLessonDownloader(owner, name)) return true;
    if (name != "news") return false;
    if (!news_) {
        news_ = std::make_unique<NHK_NewsEnglishDialog>(SiteHosts::fromSettings());
        news_->setClosedHandler([dialog = news_.get()] {
            writeSettingInt(kNhkSection, u"DownloadWithKeyWords", dialog->withKeywords() ? 1 : 0);
            writeSettingInt(kNhkSection, u"RenameMP3", dialog->renameMp3() ? 1 : 0);
        });
    }
    news_->setOptions(readSettingInt(kNhkSection, u"DownloadWithKeyWords", 0) != 0,
                      readSettingInt(kNhkSection, u"RenameMP3", 0) != 0);
    return showModeless(owner, *news_);
}
