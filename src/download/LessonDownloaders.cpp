#include "download/LessonDownloaders.h"

#include <cstdlib>

#include "app/Settings.h"
#include "download/GogakuruDownloader.h"
#include "download/KokokozaDownloader.h"

bool openLessonDownloader(HWND owner, std::string_view name) {
    const LessonSiteHosts hosts = LessonSiteHosts::fromSettings();
    if (name == "phrases") {
        GogakuruDownloader dialog(hosts);
        dialog.setUrl(readSettingString(GogakuruDownloader::kSettingsSection, GogakuruDownloader::kUrlKey,
                                        dialog.addresses().startAddress));
        showModal(owner, dialog);
        writeSettingString(GogakuruDownloader::kSettingsSection, GogakuruDownloader::kUrlKey, dialog.rememberedUrl());
        return true;
    }
    if (name == "lectures") {
        KokokozaDownloader dialog(hosts);
        showModal(owner, dialog);
        return true;
    }
    return false;
}

bool openLessonDownloaderFromEnvironment(HWND owner) {
    const char* name = std::getenv(kOpenDownloaderVariable);
    return name && openLessonDownloader(owner, name);
}
