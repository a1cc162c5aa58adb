// The program's folder, base name and the path helpers.
#include <gtest/gtest.h>

#include "app/Paths.h"

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
