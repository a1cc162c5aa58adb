// The downloaders' configuration: the hosts of section "Hosts" with their
// public defaults, and the news downloader's options of section "NHK" taken
// before it opens and given back when it closes.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/Paths.h"
#include "app/Settings.h"
#include "download/DownloaderShortcut.h"
#include "download/NHK_NewsEnglishDialog.h"
#include "download/SiteHosts.h"
#include "support/TempDir.h"
#include "toolkit/ToolkitTestSupport.h"

using namespace veltrix::test;

TEST(SiteHosts, EachSiteHasAKeyAndMissingOrEmptyKeysGiveThePublicHost) {
    TempDir dir;
    const std::u16string ini = dir.file("settings.ini");
    prepareSettingsFile(ini);
    SiteHosts defaults = SiteHosts::read(ini);
    EXPECT_EQ(defaults.newsSite, u"cgi2.nhk.or.jp");
    EXPECT_EQ(defaults.captionService, u"video.google.com");
    EXPECT_EQ(defaults.videoSite, u"youtube.com");
    EXPECT_EQ(defaults.phraseSite, u"gogakuru.com");
    EXPECT_EQ(defaults.lectureArchive, u"www.nhk.or.jp");

    WritePrivateProfileStringW(u"Hosts", u"NHKNewsEnglish", u" 127.0.0.1:8080 ", ini.c_str());
    WritePrivateProfileStringW(u"Hosts", u"YoutubeCaptions", u"", ini.c_str());
    WritePrivateProfileStringW(u"Hosts", u"YoutubeVideo", u"videos.test", ini.c_str());
    WritePrivateProfileStringW(u"Hosts", u"GogakuruStream", u"stream.test", ini.c_str());
    WritePrivateProfileStringW(u"Hosts", u"KokokozaArchive", u"archive.test:81", ini.c_str());
    SiteHosts configured = SiteHosts::read(ini);
    EXPECT_EQ(configured.newsSite, u"127.0.0.1:8080");
    EXPECT_EQ(configured.captionService, u"video.google.com");
    EXPECT_EQ(configured.videoSite, u"videos.test");
    EXPECT_EQ(configured.phraseStream, u"stream.test");
    EXPECT_EQ(configured.phrasePlayer, u"www.nhk.or.jp");
    EXPECT_EQ(configured.lectureArchive, u"archive.test:81");
}

TEST(DownloaderShortcut, TheNewsOptionsComeFromTheSettingsAndGoBackOnClose) {
    const std::filesystem::path ini(settingsFilePath());
    std::filesystem::remove(ini);
    prepareSettingsFile();
    ASSERT_TRUE(writeSettingInt(u"NHK", u"DownloadWithKeyWords", 1));
    RecordingFrame frame;
    DownloaderShortcut shortcut;
    EXPECT_FALSE(shortcut.open(frame.handle(), "nonsense"));
    ASSERT_TRUE(shortcut.open(frame.handle(), "news"));
    NHK_NewsEnglishDialog* dialog = shortcut.newsDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->keywordsBox().isChecked());
    EXPECT_FALSE(dialog->renameBox().isChecked());
    dialog->keywordsBox().click(ClickSource::Mouse);
    dialog->renameBox().click(ClickSource::Mouse);
    headless::closeWindow(dialog->handle());
    headless::pumpMessages();
    EXPECT_EQ(dialog->handle(), nullptr);
    EXPECT_EQ(readSettingInt(u"NHK", u"DownloadWithKeyWords", -1), 0);
    EXPECT_EQ(readSettingInt(u"NHK", u"RenameMP3", -1), 1);
    // Opened again, it shows what was kept.
    ASSERT_TRUE(shortcut.open(frame.handle(), "news"));
    EXPECT_FALSE(dialog->keywordsBox().isChecked());
    EXPECT_TRUE(dialog->renameBox().isChecked());
    std::filesystem::remove(ini);
}
