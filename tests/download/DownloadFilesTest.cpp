// Placing downloaded files: escaped names, folder chains, moves that never
// overwrite, and names from a page that must stay inside their folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "download/DownloadFiles.h"
#include "platform/win32.h"
#include "support/TempDir.h"

namespace {

std::size_t utf8Bytes(const std::u16string& text) { return std::filesystem::path(text).string().size(); }

std::set<std::filesystem::path> listing(const std::filesystem::path& folder) {
    std::set<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) entries.insert(entry.path());
    return entries;
}

TEST(EscapeFileName, ReservedAndControlCharactersBecomeHarmless) {
    struct Case {
        std::u16string title, expected;
    };
    const Case cases[] = {
        {u"a:b?c", u"a%3Ab%3Fc"},
        {u"\"*/:<>?\\|", u"%22%2A%2F%3A%3C%3E%3F%5C%7C"},
        {u"a\tb", u"a b"},
        {std::u16string(u"x\0y", 3), u"x y"},
        {u"\x1f\r\n", u"   "},
        {u"ニュースで英会話 2015/05/20", u"ニュースで英会話 2015%2F05%2F20"},
        {u"news & views.mp3", u"news & views.mp3"},
        {u"..", u"%2E%2E"},
        {u".", u"%2E"},
        {u"...x", u"...x"},
        {u"", u""},
    };
    for (const auto& c : cases) EXPECT_EQ(escapeFileName(c.title), c.expected);
}

TEST(EscapeFileName, ALongNameIsCutAtACharacterBoundary) {
    const std::u16string ascii(400, u'a');
    EXPECT_EQ(escapeFileName(ascii), std::u16string(kMaxEscapedNameBytes, u'a'));

    const std::u16string japanese(300, u'語');  // three bytes each in UTF-8
    const std::u16string cut = escapeFileName(japanese);
    EXPECT_EQ(cut, std::u16string(kMaxEscapedNameBytes / 3, u'語'));

    std::u16string pairs;
    for (int i = 0; i < 100; ++i) pairs += u"😀";  // four bytes, two UTF-16 units each
    const std::u16string emoji = escapeFileName(u"a" + pairs);
    EXPECT_LE(utf8Bytes(emoji), kMaxEscapedNameBytes);
    EXPECT_EQ(emoji.size() % 2, 1u);  // "a" and whole pairs only
    EXPECT_EQ(emoji.back(), pairs[1]);
}

TEST(PathInFolder, NamesFromAPageNeverLeaveTheFolder) {
    TempDir root;
    std::filesystem::create_directories(root.native("out"));
    const std::u16string folder = root.file("out");
    const std::u16string hostile[] = {u"..",
                                      u".",
                                      u"../escaped.xml",
                                      u"..\\escaped.xml",
                                      u"/etc/escaped",
                                      u"a/../../b",
                                      u"\\\\server\\share",
                                      std::u16string(u"x\0/../y", 7),
                                      std::u16string(600, u'長'),
                                      u"",
                                      u"C:\\escaped",
                                      u"~/escaped"};
    std::set<std::filesystem::path> made;
    for (const auto& name : hostile) {
        const std::u16string path = pathInFolder(folder, name);
        std::FILE* f = _wfopen(path.c_str(), u"wb");
        ASSERT_NE(f, nullptr) << std::filesystem::path(path);
        std::fclose(f);
        made.insert(std::filesystem::path(path).filename());
        EXPECT_EQ(std::filesystem::path(path).parent_path(), root.native("out"));
    }
    // Every file landed directly in the folder, each under its own name.
    std::set<std::filesystem::path> expected;
    for (const auto& name : made) expected.insert(root.native("out") / name);
    EXPECT_EQ(listing(root.path()), [&] {
        auto all = expected;
        all.insert(root.native("out"));
        return all;
    }());
    EXPECT_EQ(made.size(), std::size(hostile));  // and no two names met
}

TEST(PathInFolder, AddsOneSeparator) {
    EXPECT_EQ(pathInFolder(u"public_domain", u"pic.jpg"), u"public_domain/pic.jpg");
    EXPECT_EQ(pathInFolder(u"public_domain/", u"pic.jpg"), u"public_domain/pic.jpg");
    EXPECT_EQ(pathInFolder(u"dl\\", u"a?b"), u"dl\\a%3Fb");
    EXPECT_EQ(pathInFolder(u"dl", u""), u"dl/_");
}

TEST(CreateDirectoriesForFile, CreatesTheChainWithEitherSeparator) {
    TempDir root;
    EXPECT_TRUE(createDirectoriesForFile(root.file("a/b\\c/file.mp3")));
    EXPECT_TRUE(std::filesystem::is_directory(root.native("a/b/c")));
    EXPECT_FALSE(std::filesystem::exists(root.native("a/b/c/file.mp3")));
    // Already there: still success.
    EXPECT_TRUE(createDirectoriesForFile(root.file("a/b/c/other.mp3")));
    EXPECT_TRUE(createDirectoriesForFile(root.file("a/b/c/")));
    // A bare name lies in the current folder.
    EXPECT_TRUE(createDirectoriesForFile(u"gogakuru.sh"));
}

TEST(CreateDirectoriesForFile, FailsWhenAFileStandsInTheWay) {
    TempDir root;
    root.write("taken", "a file");
    EXPECT_FALSE(createDirectoriesForFile(root.file("taken/x.mp3")));
    EXPECT_FALSE(createDirectoriesForFile(root.file("taken/deeper/x.mp3")));
    EXPECT_EQ(root.read("taken"), "a file");
    EXPECT_FALSE(createDirectoriesForFile(root.file(std::string(300, 'n') + "/x.mp3")));
}

TEST(MoveFile, NeverOverwritesAndLeavesBothFilesAsTheyWere) {
    TempDir root;
    root.write("source.mp3", "new");
    root.write("target.mp3", "old");
    EXPECT_FALSE(moveFile(root.file("source.mp3"), root.file("target.mp3")));
    EXPECT_EQ(root.read("source.mp3"), "new");
    EXPECT_EQ(root.read("target.mp3"), "old");

    EXPECT_TRUE(moveFile(root.file("source.mp3"), root.file("renamed.mp3")));
    EXPECT_FALSE(std::filesystem::exists(root.native("source.mp3")));
    EXPECT_EQ(root.read("renamed.mp3"), "new");

    EXPECT_FALSE(moveFile(root.file("missing.mp3"), root.file("other.mp3")));
    EXPECT_FALSE(std::filesystem::exists(root.native("other.mp3")));
}

}  // namespace
