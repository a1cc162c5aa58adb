// The settings file: conversion at start-up, and reading and writing settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/Paths.h"
#include "app/Settings.h"
#include "platform/win32.h"
#include "support/TempDir.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"

using namespace std::string_literals;

namespace {

std::string utf16le(std::u16string_view text) {
    std::string out = "\xFF\xFE";
    out.append(encodeText(text, encoding::kUtf16LE));
    return out;
}

const std::u16string kSettings = u"[Player]\r\nFontName=ＭＳ Ｐゴシック\r\nVolume=80\r\n[Window]\r\nMainLeft=-8\r\n";

}  // namespace

TEST(PrepareSettingsFile, MissingFileBecomesAByteOrderMark) {
    TempDir dir;
    prepareSettingsFile(dir.file("p.ini"));
    EXPECT_EQ(dir.read("p.ini"), "\xFF\xFE");
    WCHAR buffer[16];
    GetPrivateProfileStringW(u"Player", u"Volume", u"100", buffer, 16, dir.file("p.ini").c_str());
    EXPECT_EQ(std::u16string(buffer), u"100");
}

TEST(PrepareSettingsFile, OtherEncodingsAreRewrittenOnceAsUtf16) {
    setNarrowCodePage(932);
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"shift_jis", encodeText(kSettings, encoding::kNarrow)},
        {"utf-8", encodeText(kSettings, encoding::kUtf8)},
        {"utf-8 with mark", "\xEF\xBB\xBF" + encodeText(kSettings, encoding::kUtf8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.write("s.ini", c.bytes);
        prepareSettingsFile(dir.file("s.ini"));
        EXPECT_EQ(dir.read("s.ini"), utf16le(kSettings));
        auto file = dir.file("s.ini");
        WCHAR buffer[64];
        GetPrivateProfileStringW(u"player", u"fontname", u"", buffer, 64, file.c_str());
        EXPECT_EQ(std::u16string(buffer), u"ＭＳ Ｐゴシック");
        EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(u"Window", u"MainLeft", 0, file.c_str())), -8);
        // A second start leaves the converted file alone.
        prepareSettingsFile(file);
        EXPECT_EQ(dir.read("s.ini"), utf16le(kSettings));
    }
    setNarrowCodePage(0);
}

TEST(PrepareSettingsFile, EmptyAndUnicodeFilesAreLeftAsTheyAre) {
    TempDir dir;
    dir.write("empty.ini", "");
    prepareSettingsFile(dir.file("empty.ini"));
    EXPECT_EQ(dir.read("empty.ini"), "");
    // Unusual spacing and a lone LF survive: the file is not rewritten.
    std::string unicode = utf16le(u"[A]\nk = v\r\n");
    dir.write("u.ini", unicode);
    prepareSettingsFile(dir.file("u.ini"));
    EXPECT_EQ(dir.read("u.ini"), unicode);
}

TEST(Settings, ReadAndWriteThroughTheProgramsSettingsFile) {
    std::filesystem::path file(settingsFilePath());
    std::filesystem::remove(file);
    prepareSettingsFile();
    EXPECT_EQ(readSettingString(u"Player", u"Theme", u"Default"), u"Default");
    EXPECT_EQ(readSettingInt(u"Player", u"Tempo", 100), 100);
    EXPECT_TRUE(writeSettingInt(u"Player", u"Tempo", -35));
    EXPECT_TRUE(writeSettingInt(u"Window", u"MainWidth", 640));
    EXPECT_EQ(readSettingInt(u"player", u"tempo", 100), -35);
    EXPECT_EQ(readSettingString(u"Window", u"MainWidth", u""), u"640");
    EXPECT_EQ(readSettingString(u"Window", u"Missing", u""), u"");
    // Values longer than the read buffer are cut, not overrun.
    std::u16string longValue(3000, u'あ');
    ASSERT_TRUE(WritePrivateProfileStringW(u"Player", u"Long", longValue.c_str(), settingsFilePath().c_str()));
    EXPECT_EQ(readSettingString(u"Player", u"Long", u""), std::u16string(2047, u'あ'));
    std::filesystem::remove(file);
}

TEST(StartUp, TheProgramPreparesTheSettingsFileNamedAfterItself) {
    TempDir dir;
    std::filesystem::copy_file(VELTRIX_EXECUTABLE, dir.native("Player"));
    std::filesystem::permissions(dir.native("Player"), std::filesystem::perms::owner_all);
    ASSERT_EQ(std::system(("VELTRIX_CLOSE_AFTER_START=1 '" + dir.native("Player").string() + "'").c_str()), 0);
    // The program opened its main window and, closed, saved its placement.
    std::string created = dir.read("Player.ini");
    EXPECT_EQ(created.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(created.find(utf16le(u"[Window]").substr(2)), std::string::npos);

    // A Shift_JIS settings file left by an older version is converted in place.
    setNarrowCodePage(932);
    dir.write("Player.ini", encodeText(kSettings, encoding::kNarrow));
    setNarrowCodePage(0);
    ASSERT_EQ(std::system(("VELTRIX_CLOSE_AFTER_START=1 '" + dir.native("Player").string() + "'").c_str()), 0);
    std::string converted = dir.read("Player.ini");
    // The player keeps its own keys of the section and writes its settings beside them.
    std::string kept = utf16le(u"[Player]\r\nFontName=ＭＳ Ｐゴシック\r\nVolume=80\r\n");
    EXPECT_EQ(converted.substr(0, kept.size()), kept);
    EXPECT_NE(converted.find(utf16le(u"Tempo=100\r\n").substr(2)), std::string::npos);
    EXPECT_NE(converted.find(utf16le(u"[Window]\r\n").substr(2)), std::string::npos);
    // MainLeft -8 lay off the screen: the window opened, and was saved, at 0.
    EXPECT_NE(converted.find(utf16le(u"MainLeft=0\r\n").substr(2)), std::string::npos);
}
