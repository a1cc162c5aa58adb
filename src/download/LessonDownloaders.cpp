#include "download/LessonDownloaders.h"

#include "app/Settings.h"
#include "download/GogakuruDownloader.h"
#include "download/KokokozaDownloader.h"

bool openLessonDownloader(HWND owner, std::string_view name) {
    const SiteHosts hosts = SiteHosts::fromSettings();
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
