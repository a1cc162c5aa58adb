// Shell path functions, the known folders, the module file name and the
// command-line splitter.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/api/FileOperations.h"
#include "platform/api/Startup.h"
#include "platform/win32.h"
#include "support/TempDir.h"

TEST(ShellPath, StripPathAndRemoveExtension) {
    struct Case {
        std::u16string path, stripped, withoutExtension;
    };
    const Case cases[] = {
        {u"C:\\Music\\song.mp3", u"song.mp3", u"C:\\Music\\song"},
        {u"/home/learner/news.final.xml", u"news.final.xml", u"/home/learner/news.final"},
        {u"C:\\dir\\", u"dir\\", u"C:\\dir\\"},
        {u"C:\\a.b\\prog", u"prog", u"C:\\a.b\\prog"},
        {u"file name.tar gz", u"file name.tar gz", u"file name.tar gz"},
        {u"plain", u"plain", u"plain"},
        {u".hidden", u".hidden", u""},
        {u"音声\\レッスン１.mp3", u"レッスン１.mp3", u"音声\\レッスン１"},
    };
    for (const auto& c : cases) {
        std::u16string a = c.path, b = c.path;
        PathStripPathW(a.data());
        PathRemoveExtensionW(b.data());
        EXPECT_EQ(std::u16string(a.c_str()), c.stripped);
        EXPECT_EQ(std::u16string(b.c_str()), c.withoutExtension);
    }
}

TEST(Module, FileNameIsTheRunningExecutableAndIsCutToTheBuffer) {
    WCHAR path[4096];
    DWORD n = GetModuleFileNameW(nullptr, path, 4096);
    ASSERT_GT(n, 0u);
    std::u16string name(path, n);
    EXPECT_EQ(name.front(), u'/');
    EXPECT_NE(name.find(u"platform_services_tests"), std::u16string::npos);

    WCHAR small[5];
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 5), 5u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(small), name.substr(0, 4));
}

TEST(CommandLine, SplitsWithTheWindowsRules) {
    struct Case {
        std::u16string line;
        std::vector<std::u16string> args;
    };
    const std::vector<Case> cases = {
        {u"prog a b", {u"prog", u"a", u"b"}},
        {u"\"C:\\Program Files\\p.exe\" x", {u"C:\\Program Files\\p.exe", u"x"}},
        {u"C:\\dir\\prog.exe \"two words\" \\\\server", {u"C:\\dir\\prog.exe", u"two words", u"\\\\server"}},
        {u"p a\\\\\"b c\" d", {u"p", u"a\\b c", u"d"}},
        {u"p \"q\\\"uote\"", {u"p", u"q\"uote"}},
        {u"p \"\"", {u"p", u""}},
        {u"p   spaced\t tabs  ", {u"p", u"spaced", u"tabs"}},
    };
    for (const auto& c : cases) {
        int count = 0;
        LPWSTR* argv = CommandLineToArgvW(c.line.c_str(), &count);
        ASSERT_NE(argv, nullptr);
        std::vector<std::u16string> got(argv, argv + count);
        EXPECT_EQ(got, c.args) << "line: " << std::string(c.line.begin(), c.line.end());
        EXPECT_EQ(argv[count], nullptr);
        LocalFree(argv);
    }
}

TEST(CommandLine, OwnCommandLineNamesThisProgram) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    ASSERT_GE(count, 1);
    std::u16string first = argv[0];
    EXPECT_NE(first.find(u"platform_services_tests"), std::u16string::npos);
    LocalFree(argv);
}

TEST(ShellPath, CombineRelativeAndRelativePathTo) {
    struct Combine {
        std::u16string folder, file, result;
    };
    const Combine combines[] = {
        {u"C:\\lists", u"..\\music\\a.mp3", u"C:\\music\\a.mp3"},
        {u"C:\\lists\\", u".\\a.mp3", u"C:\\lists\\a.mp3"},
        {u"/home/u/lists", u"../music/./a.mp3", u"/home/u/music/a.mp3"},
        {u"/home/u/lists", u"/srv/b.mp3", u"/srv/b.mp3"},
        {u"/a", u"../../../x", u"/x"},
    };
    for (const auto& c : combines) {
        WCHAR out[MAX_PATH];
        ASSERT_NE(PathCombineW(out, c.folder.c_str(), c.file.c_str()), nullptr);
        EXPECT_EQ(std::u16string(out), c.result);
    }
    EXPECT_TRUE(PathIsRelativeW(u"..\\a.mp3"));
    EXPECT_TRUE(PathIsRelativeW(u"music/a.mp3"));
    EXPECT_FALSE(PathIsRelativeW(u"/home/a.mp3"));
    EXPECT_FALSE(PathIsRelativeW(u"C:\\a.mp3"));
    EXPECT_FALSE(PathIsRelativeW(u"\\a.mp3"));

    struct Relative {
        std::u16string from, to;
        bool ok;
        std::u16string result;
    };
    const Relative relatives[] = {
        {u"/home/u/lists/p.m3u", u"/home/u/lists/a.mp3", true, u"./a.mp3"},
        {u"/home/u/lists/p.m3u", u"/home/u/music/a.mp3", true, u"../music/a.mp3"},
        {u"/home/u/p.m3u", u"/home/u/x/y/a.mp3", true, u"./x/y/a.mp3"},
        {u"C:\\lists\\p.m3u", u"C:\\music\\a.mp3", true, u"..\\music\\a.mp3"},
        {u"/home/u/p.m3u", u"/srv/a.mp3", false, u""},  // only the root in common
        {u"C:\\p.m3u", u"D:\\a.mp3", false, u""},
    };
    for (const auto& r : relatives) {
        WCHAR out[MAX_PATH];
        EXPECT_EQ(PathRelativePathToW(out, r.from.c_str(), FILE_ATTRIBUTE_NORMAL, r.to.c_str(), FILE_ATTRIBUTE_NORMAL),
                  r.ok ? TRUE : FALSE);
        if (r.ok) {
            EXPECT_EQ(std::u16string(out), r.result);
        }
    }
}

TEST(ShellFolders, TheDesktopsBaseFoldersWithTheirDefaults) {
    TempDir home;
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", home.path().c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_STATE_HOME");
    WCHAR path[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    EXPECT_EQ(std::u16string(path), home.file(".config"));
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    EXPECT_EQ(std::u16string(path), home.file(".local/state"));
    EXPECT_FALSE(std::filesystem::exists(home.native(".local")));
    // A relative value breaks the desktop's rules and is ignored.
    ::setenv("XDG_STATE_HOME", "relative/state", 1);
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path),
              S_OK);
    EXPECT_EQ(std::u16string(path), home.file(".local/state"));
    EXPECT_TRUE(std::filesystem::is_directory(home.native(".local/state")));
    ::setenv("XDG_STATE_HOME", (home.path() / "state/").c_str(), 1);
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    EXPECT_EQ(std::u16string(path), home.file("state"));
    ::unsetenv("XDG_STATE_HOME");
    ::setenv("HOME", savedHome.c_str(), 1);
}

TEST(ShellFolders, MakingAFolderMakesTheFoldersAboveIt) {
    TempDir dir;
    EXPECT_EQ(SHCreateDirectoryExW(nullptr, dir.file("a/b/c").c_str(), nullptr), static_cast<int>(ERROR_SUCCESS));
    EXPECT_TRUE(std::filesystem::is_directory(dir.native("a/b/c")));
    EXPECT_EQ(SHCreateDirectoryExW(nullptr, dir.file("a/b").c_str(), nullptr), static_cast<int>(ERROR_ALREADY_EXISTS));
    dir.write("file", "x");
    EXPECT_NE(SHCreateDirectoryExW(nullptr, dir.file("file/below").c_str(), nullptr), static_cast<int>(ERROR_SUCCESS));
}
