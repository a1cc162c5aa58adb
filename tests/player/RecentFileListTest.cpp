// The recent-files list: its order and bound, files that vanish, the settings
// round trip and the drop-down menu.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/display/HeadlessAnswers.h"
#include "platform/win32.h"
#include "player/RecentFileList.h"
#include "support/TempDir.h"
#include "toolkit/ToolkitTestSupport.h"

namespace answers = veltrix::platform::headless;

namespace {

struct RecentFiles : ::testing::Test {
    std::u16string make(int n) {
        const std::string name = "file" + std::to_string(n) + ".mp3";
        dir.write(name, "x");
        return dir.file(name);
    }
    void TearDown() override { answers::setMenuResponder(nullptr); }

    veltrix::test::RecordingFrame frame;
    TempDir dir;
    RecentFileList list;
};

TEST_F(RecentFiles, MostRecentFirstAndNeverMoreThanTen) {
    for (int n = 0; n < 11; ++n) list.addRecentFile(make(n));
    ASSERT_EQ(list.entries().size(), 10u);
    EXPECT_EQ(list.entries().front(), dir.file("file10.mp3"));
    EXPECT_EQ(list.entries().back(), dir.file("file1.mp3"));  // file0 was dropped

    list.addRecentFile(dir.file("file5.mp3"));
    EXPECT_EQ(list.entries().front(), dir.file("file5.mp3"));
    EXPECT_EQ(list.entries().size(), 10u);

    // An empty path is ignored; a file that has gone only leaves the list.
    list.addRecentFile(u"");
    std::filesystem::remove(dir.native("file7.mp3"));
    list.addRecentFile(dir.file("file7.mp3"));
    EXPECT_EQ(list.entries().size(), 9u);
    EXPECT_EQ(list.entries().front(), dir.file("file5.mp3"));
}

TEST_F(RecentFiles, SettingsRoundTripDropsVanishedFiles) {
    const std::u16string settings = dir.file("veltrix.ini");
    for (int n = 0; n < 4; ++n) list.addRecentFile(make(n));  // file3 first
    ASSERT_TRUE(list.save(settings));

    // Gaps and stale entries in a hand-edited file are tolerated.
    std::filesystem::remove(dir.native("file2.mp3"));
    RecentFileList again;
    again.load(settings);
    EXPECT_EQ(again.entries(),
              (std::vector<std::u16string>{dir.file("file3.mp3"), dir.file("file1.mp3"), dir.file("file0.mp3")}));

    // Saving a shorter list empties the keys past its end.
    ASSERT_TRUE(again.save(settings));
    char16_t value[512] = u"unchanged";
    GetPrivateProfileStringW(RecentFileList::kSection, u"RecentFile3", u"default", value, 512, settings.c_str());
    EXPECT_EQ(std::u16string(value), u"");
    GetPrivateProfileStringW(RecentFileList::kSection, u"RecentFile0", u"", value, 512, settings.c_str());
    EXPECT_EQ(std::u16string(value), dir.file("file3.mp3"));
}

TEST_F(RecentFiles, DropDownMenu) {
    answers::MenuShown shown;
    int answer = 0;
    answers::setMenuResponder([&](const answers::MenuShown& menu) {
        shown = menu;
        return answer;
    });
    // An empty list shows no menu.
    EXPECT_EQ(list.showRecentFilesMenu(frame.handle()), u"");
    EXPECT_TRUE(shown.items.empty());

    for (int n = 0; n < 3; ++n) list.addRecentFile(make(n));
    answer = 2;
    EXPECT_EQ(list.showRecentFilesMenu(frame.handle()), dir.file("file1.mp3"));
    ASSERT_EQ(shown.items.size(), 5u);
    EXPECT_EQ(shown.items[0].text, dir.file("file2.mp3"));
    EXPECT_EQ(shown.items[0].id, 1u);
    EXPECT_TRUE(shown.items[3].separator);
    EXPECT_EQ(shown.items[4].text, u"Clear History");
    EXPECT_EQ(shown.items[4].id, 4u);

    // A chosen file that has gone is dropped and nothing is opened.
    std::filesystem::remove(dir.native("file1.mp3"));
    EXPECT_EQ(list.showRecentFilesMenu(frame.handle()), u"");
    EXPECT_EQ(list.entries().size(), 2u);

    answer = 0;
    EXPECT_EQ(list.showRecentFilesMenu(frame.handle()), u"");
    EXPECT_EQ(list.entries().size(), 2u);

    answer = 3;  // "Clear History" of the two-entry menu
    EXPECT_EQ(list.showRecentFilesMenu(frame.handle()), u"");
    EXPECT_TRUE(list.entries().empty());
}

}  // namespace
