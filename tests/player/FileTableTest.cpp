// The player's file list: which files become rows, playlists, drops onto the
// list and onto the player, and the reports the player passes back to it.
#include <gtest/gtest.h>

#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "player/FileTable.h"
#include "support/TempDir.h"
#include "toolkit/ToolkitTestSupport.h"

using namespace veltrix::test;
namespace answers = veltrix::platform::headless;

namespace {

struct FileList : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(table.create(frame.handle()));
        SetWindowLongPtrW(table.handle(), GWLP_ID, 7);
        table.setBounds(0, 0, 300, 200);
        headless::pumpMessages();
    }
    void TearDown() override {
        answers::setMenuResponder(nullptr);
        table.destroyWindow();
    }
    std::vector<std::u16string> names() const {
        std::vector<std::u16string> out;
        for (int row = 0; row < table.getRowCount(); ++row) out.push_back(table.getValueAt(row, 0));
        return out;
    }
    NMHDR report(UINT code) const { return NMHDR{table.handle(), 7, code}; }

    RecordingFrame frame;
    FileTable table;
    TempDir dir;
};

TEST_F(FileList, OnlyAudioFilesNotYetListedBecomeRows) {
    EXPECT_TRUE(table.addFile(u"/lessons/one.mp3"));
    EXPECT_FALSE(table.addFile(u"/lessons/one.mp3"));
    EXPECT_TRUE(table.addFile(u"/lessons/Two.OGG"));
    EXPECT_TRUE(table.addFile(u"/other/three.Wma"));
    EXPECT_FALSE(table.addFile(u"/lessons/notes.txt"));
    EXPECT_FALSE(table.addFile(u"/lessons/mp3"));
    EXPECT_TRUE(table.addFile(u"/other/one.mp3"));  // same name, other folder

    EXPECT_EQ(names(), (std::vector<std::u16string>{u"one.mp3", u"Two.OGG", u"three.Wma", u"one.mp3"}));
    EXPECT_EQ(table.getValueAt(1, FileTable::kPathColumn), u"/lessons/Two.OGG");
    EXPECT_EQ(table.column(0)->title, u"Name");
    EXPECT_EQ(table.column(1)->title, u"Path");
}

TEST_F(FileList, PlaylistAddsItsAudioFilesAndIsRemembered) {
    dir.write("list.m3u",
              "#EXTM3U\r\n#EXTINF:12,Lesson\r\nlesson1.mp3\r\n/abs/lesson2.ogg\r\nreadme.txt\r\nlesson1.mp3\r\n");
    EXPECT_FALSE(table.loadPlaylist(dir.file("list.txt")));
    ASSERT_TRUE(table.loadPlaylist(dir.file("list.m3u")));
    EXPECT_EQ(table.paths(), (std::vector<std::u16string>{dir.file("lesson1.mp3"), u"/abs/lesson2.ogg"}));
    EXPECT_EQ(table.playlistPath(), dir.file("list.m3u"));
    table.clearFiles();
    EXPECT_EQ(table.getRowCount(), 0);
    EXPECT_TRUE(table.playlistPath().empty());
}

TEST_F(FileList, DropsOntoThePlayer) {
    dir.write("list.m3u", "a.mp3\r\nb.mp3\r\n");
    table.addFile(u"/old/kept-before.mp3");

    // A single file that is not a playlist is opened, and the list emptied.
    EXPECT_EQ(table.takePlayerDrop({dir.file("notes.txt")}), FileTable::DropOutcome::OpenSingle);
    EXPECT_EQ(table.getRowCount(), 0);

    EXPECT_EQ(table.takePlayerDrop({dir.file("list.m3u"), u"/x/c.mp3"}), FileTable::DropOutcome::ShowFileTab);
    EXPECT_EQ(table.paths(), (std::vector<std::u16string>{dir.file("a.mp3"), dir.file("b.mp3")}));

    EXPECT_EQ(table.takePlayerDrop({u"/x/c.mp3", u"/x/c.mp3", u"/x/d.txt", dir.file("list.m3u")}),
              FileTable::DropOutcome::Listed);
    EXPECT_EQ(table.paths(), (std::vector<std::u16string>{u"/x/c.mp3", dir.file("a.mp3"), dir.file("b.mp3")}));
}

TEST_F(FileList, FilesDroppedOnTheTableWindowAreAdded) {
    table.addFile(u"/x/a.mp3");
    headless::dropFiles({u"/x/a.mp3", u"/x/b.mp3", u"/x/skip.doc"}, screenOf(table.handle(), 50, 50));
    headless::pumpMessages();
    EXPECT_EQ(table.paths(), (std::vector<std::u16string>{u"/x/a.mp3", u"/x/b.mp3"}));
}

TEST_F(FileList, ReportsFromTheTable) {
    for (const char16_t* p : {u"/x/a.mp3", u"/x/b.mp3", u"/x/c.mp3", u"/x/d.mp3"}) table.addFile(p);
    std::vector<std::u16string> opened;
    auto open = [&](const std::u16string& path) { opened.push_back(path); };

    // Nothing selected: Return opens nothing, but the report is the list's.
    EXPECT_TRUE(table.respond(report(NM_RETURN), open));
    EXPECT_TRUE(opened.empty());

    table.selectRow(1);
    EXPECT_TRUE(table.respond(report(NM_DBLCLK), open));
    EXPECT_EQ(opened, std::vector<std::u16string>{u"/x/b.mp3"});

    NMLVKEYDOWN key{};
    key.hdr = report(LVN_KEYDOWN);
    key.wVKey = VK_DELETE;
    EXPECT_TRUE(table.respond(key.hdr, open));
    EXPECT_EQ(names(), (std::vector<std::u16string>{u"a.mp3", u"c.mp3", u"d.mp3"}));

    // Another window's report is not the file list's.
    NMHDR other{frame.handle(), 1, NM_RETURN};
    EXPECT_FALSE(table.respond(other, open));
}

TEST_F(FileList, ContextMenuOpensAndRemoves) {
    for (const char16_t* p : {u"/x/a.mp3", u"/x/b.mp3", u"/x/c.mp3", u"/x/d.mp3"}) table.addFile(p);
    std::vector<answers::MenuShown> shown;
    int answer = 0;
    answers::setMenuResponder([&](const answers::MenuShown& menu) {
        shown.push_back(menu);
        return answer;
    });
    std::vector<std::u16string> opened;
    auto open = [&](const std::u16string& path) { opened.push_back(path); };

    // With no row selected both items are there but greyed.
    EXPECT_EQ(table.showContextMenu(), 0u);
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].items.size(), 2u);
    EXPECT_EQ(shown[0].items[0].text, u"Open");
    EXPECT_EQ(shown[0].items[0].id, 1u);
    EXPECT_EQ(shown[0].items[1].text, u"&Remove");
    EXPECT_EQ(shown[0].items[1].id, 2u);
    EXPECT_FALSE(shown[0].items[0].enabled);
    EXPECT_FALSE(shown[0].items[1].enabled);

    table.selectRow(2);
    answer = FileTable::kOpenItem;
    EXPECT_TRUE(table.respond(report(NM_RCLICK), open));
    EXPECT_TRUE(shown.back().items[0].enabled);
    EXPECT_EQ(opened, std::vector<std::u16string>{u"/x/c.mp3"});

    table.selectRange(0, 1, Table::Keep::Others);
    answer = FileTable::kRemoveItem;
    EXPECT_TRUE(table.respond(report(NM_RCLICK), open));
    EXPECT_EQ(names(), std::vector<std::u16string>{u"d.mp3"});
}

}  // namespace
