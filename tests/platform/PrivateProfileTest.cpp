// The private-profile functions with the Windows behaviour the settings rely on.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/win32.h"
#include "support/TempDir.h"

namespace {

std::u16string read(const std::u16string& file, LPCWSTR section, LPCWSTR key, LPCWSTR fallback = u"none") {
    WCHAR buffer[256];
    GetPrivateProfileStringW(section, key, fallback, buffer, 256, file.c_str());
    return buffer;
}

std::string utf16le(std::u16string_view text) {
    std::string out = "\xFF\xFE";
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

}  // namespace

TEST(PrivateProfile, MissingFileGivesDefaultsAndFirstWriteCreatesUnicodeFile) {
    TempDir dir;
    auto file = dir.file("a.ini");
    EXPECT_EQ(read(file, u"Player", u"Volume", u"100  "), u"100");
    EXPECT_EQ(GetPrivateProfileIntW(u"Player", u"Volume", -7, file.c_str()), static_cast<UINT>(-7));
    EXPECT_FALSE(std::filesystem::exists(dir.native("a.ini")));

    ASSERT_TRUE(WritePrivateProfileStringW(u"Player", u"Volume", u"80", file.c_str()));
    EXPECT_EQ(dir.read("a.ini"), utf16le(u"[Player]\r\nVolume=80\r\n"));
}

TEST(PrivateProfile, WritesKeepEverythingElseByteForByte) {
    TempDir dir;
    dir.write("s.ini",
              utf16le(u"; 設定\r\n[Window]\r\nMainLeft=10\r\nMainTop=20\r\n\r\n[Player]\r\nFont=ＭＳ ゴシック\r\n"));
    auto file = dir.file("s.ini");
    ASSERT_TRUE(WritePrivateProfileStringW(u"window", u"MAINTOP", u"-5", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(u"Window", u"MainWidth", u"640", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(u"NHK", u"Folder", u"C:\\ニュース", file.c_str()));
    EXPECT_EQ(dir.read("s.ini"),
              utf16le(u"; 設定\r\n[Window]\r\nMainLeft=10\r\nMainTop=-5\r\nMainWidth=640\r\n\r\n[Player]\r\n"
                      u"Font=ＭＳ ゴシック\r\n[NHK]\r\nFolder=C:\\ニュース\r\n"));
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(u"WINDOW", u"maintop", 0, file.c_str())), -5);
    EXPECT_EQ(read(file, u"player", u"font"), u"ＭＳ ゴシック");
}

TEST(PrivateProfile, ValuesAreTrimmedAndUnquoted) {
    TempDir dir;
    dir.write("q.ini", utf16le(u"[S]\r\n  Key  =   spaced value  \r\nQ=\"quoted \"\r\nHalf=\"open\r\nEmpty=\r\n"));
    auto file = dir.file("q.ini");
    EXPECT_EQ(read(file, u"S", u"Key"), u"spaced value");
    EXPECT_EQ(read(file, u"S", u"Q"), u"quoted ");
    EXPECT_EQ(read(file, u"S", u"Half"), u"\"open");
    EXPECT_EQ(read(file, u"S", u"Empty"), u"");
    // An empty value reads as the integer default, as on Windows.
    EXPECT_EQ(GetPrivateProfileIntW(u"S", u"Empty", 42, file.c_str()), 42u);
}

TEST(PrivateProfile, IntegerReading) {
    TempDir dir;
    dir.write("i.ini", utf16le(u"[N]\r\na=123\r\nb=-40\r\nc= 0x1F\r\nd=12abc\r\ne=abc\r\n"));
    auto file = dir.file("i.ini");
    auto get = [&](LPCWSTR key) { return static_cast<int>(GetPrivateProfileIntW(u"N", key, 99, file.c_str())); };
    EXPECT_EQ(get(u"a"), 123);
    EXPECT_EQ(get(u"b"), -40);
    EXPECT_EQ(get(u"c"), 31);
    EXPECT_EQ(get(u"d"), 12);
    EXPECT_EQ(get(u"e"), 0);
    EXPECT_EQ(get(u"missing"), 99);
}

TEST(PrivateProfile, DeletingKeysAndSectionsAndListingNames) {
    TempDir dir;
    dir.write("d.ini", utf16le(u"[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n"));
    auto file = dir.file("d.ini");
    ASSERT_TRUE(WritePrivateProfileStringW(u"A", u"x", nullptr, file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(u"B", nullptr, nullptr, file.c_str()));
    EXPECT_EQ(dir.read("d.ini"), utf16le(u"[A]\r\ny=2\r\n"));

    dir.write("d.ini", utf16le(u"[A]\r\nx=1\r\n[Second]\r\n"));
    WCHAR list[32];
    DWORD n = GetPrivateProfileStringW(nullptr, nullptr, nullptr, list, 32, file.c_str());
    EXPECT_EQ(std::u16string(list, n + 1), std::u16string(u"A\0Second\0", 10));
    // A list that does not fit is cut and still doubly terminated.
    n = GetPrivateProfileStringW(nullptr, nullptr, nullptr, list, 5, file.c_str());
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(std::u16string(list, 5), std::u16string(u"A\0S\0\0", 5));
}

TEST(PrivateProfile, LongValuesAreCutToTheBuffer) {
    TempDir dir;
    auto file = dir.file("l.ini");
    std::u16string longValue(5000, u'x');
    ASSERT_TRUE(WritePrivateProfileStringW(u"S", u"K", longValue.c_str(), file.c_str()));
    WCHAR buffer[10];
    EXPECT_EQ(GetPrivateProfileStringW(u"S", u"K", u"", buffer, 10, file.c_str()), 9u);
    EXPECT_EQ(std::u16string(buffer), std::u16string(9, u'x'));
}

TEST(PrivateProfile, FilesKeepTheirEncoding) {
    TempDir dir;
    dir.write("u.ini", "\xEF\xBB\xBF[S]\nk=\xE6\x97\xA5\n");
    auto file = dir.file("u.ini");
    EXPECT_EQ(read(file, u"S", u"k"), u"日");
    ASSERT_TRUE(WritePrivateProfileStringW(u"S", u"j", u"本", file.c_str()));
    EXPECT_EQ(dir.read("u.ini"), "\xEF\xBB\xBF[S]\r\nk=\xE6\x97\xA5\r\nj=\xE6\x9C\xAC\r\n");
}

TEST(PrivateProfile, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    std::string before = utf16le(u"[S]\r\nk=1\r\n");
    dir.write("f.ini", before);
    // Block the temporary file the write goes through: the write must fail
    // without touching the file.
    std::filesystem::create_directory(dir.native("f.ini.tmp-" + std::to_string(::getpid())));
    EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"2", dir.file("f.ini").c_str()));
    EXPECT_EQ(dir.read("f.ini"), before);
    // A folder that does not exist cannot hold the file.
    EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"2", dir.file("missing/x.ini").c_str()));
}
