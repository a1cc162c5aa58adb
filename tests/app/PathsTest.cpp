// The program's folder, base name and the path helpers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/Paths.h"
#include "platform/win32.h"
#include "support/TempDir.h"

TEST(Paths, BaseNameOfProgramPath) {
    struct Case {
        std::u16string path, name;
    };
    const Case cases[] = {
        {u"C:\\Tools\\Player.exe", u"Player"},
        {u"C:\\a.b\\prog", u"prog"},  // a dot in a folder name is not an extension
        {u"prog", u"prog"},
        {u"prog.exe", u"prog"},
        {u"./build/veltrix", u"veltrix"},
        {u"/opt/v/veltrix.bin.old", u"veltrix.bin"},
        {u"", u""},
    };
    for (const auto& c : cases) EXPECT_EQ(baseNameOfProgramPath(c.path), c.name);
}

TEST(Paths, FoldersAndSettingsFileOfTheRunningProgram) {
    const std::u16string& dir = appDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), u'/');
    EXPECT_EQ(appBaseName(), u"app_tests");
    EXPECT_EQ(settingsFilePath(), dir + u"app_tests.ini");
    // Cached: the same object every time.
    EXPECT_EQ(&appDirectory(), &dir);
}

TEST(Paths, FileNameAndExtension) {
    EXPECT_EQ(fileNameOf(u"C:\\Music\\lesson 1.mp3"), u"lesson 1.mp3");
    EXPECT_EQ(fileNameOf(u"/home/a/b.xml"), u"b.xml");
    EXPECT_EQ(withoutExtension(u"C:\\Music\\lesson 1.mp3"), u"C:\\Music\\lesson 1");
    EXPECT_EQ(withoutExtension(u"/home/a.dir/b"), u"/home/a.dir/b");
    EXPECT_EQ(withoutExtension(u"ニュース.final.xml"), u"ニュース.final");
}

// An installed copy cannot write beside itself: its settings file lives in
// the user's settings folder, under the same name.
TEST(Paths, TheSettingsFileLivesBesideTheProgramWhenItCanBeWrittenThere) {
    TempDir program;
    const std::u16string folder = program.file("");
    EXPECT_EQ(settingsFilePathFor(folder, u"veltrix"), folder + u"veltrix.ini");
    EXPECT_FALSE(std::filesystem::exists(program.native("veltrix.ini"))) << "finding out must not make the file";
}

TEST(Paths, OtherwiseInTheUsersSettingsFolder) {
    TempDir config;
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    // A folder that cannot be written (here: one that is not there).
    const std::u16string readOnly = config.file("nowhere/program/");
    EXPECT_EQ(settingsFilePathFor(readOnly, u"veltrix"), config.file("veltrix/veltrix.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(config.native("veltrix")));
    ::unsetenv("XDG_CONFIG_HOME");
}
