// The file choosers and the calendar pane, through the real native dialogs
// and date picker on the headless display.
#include <gtest/gtest.h>

#include "ToolkitTestSupport.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/TempDir.h"
#include "toolkit/CalendarPane.h"
#include "toolkit/FileChooser.h"

using namespace veltrix::test;
using namespace std::string_literals;

namespace {

struct Choosers : ::testing::Test {
    RecordingFrame frame;
    TempDir dir;
    std::u16string root;
    void SetUp() override {
        dir.write("lesson.xml", "<x/>");
        dir.write("talk.mp3", "ID3");
        std::filesystem::create_directories(dir.native("英語ニュース"));
        root = dir.file("");
        while (root.size() > 1 && root.back() == u'/') root.pop_back();
        headless::takeFileDialogs();
        headless::takeMessageBoxes();
    }
    void TearDown() override {
        headless::setFileDialogResponder({});
        headless::setMessageBoxResponder({});
    }
};

}  // namespace

TEST_F(Choosers, OpenStartsInTheFolderAndReturnsTheChosenPath) {
    headless::FileDialogShown seen;
    headless::setFileDialogResponder([&](const headless::FileDialogShown& s) {
        seen = s;
        EXPECT_TRUE(headless::savePicture(s.dialog, VELTRIX_PICTURE_DIR "/dialog-open-file.png"));
        return headless::FileDialogAnswer::choose(u"talk.mp3");
    });
    std::u16string path = chooseOpenFile(frame.handle(), u"Audio File (*.ogg,*.mp3,*.wma)\0*.ogg;*.mp3;*.wma\0"s, root);
    EXPECT_EQ(path, root + u"/talk.mp3");
    EXPECT_EQ(seen.kind, headless::FileDialogKind::Open);
    EXPECT_EQ(seen.title, u"Open");
    EXPECT_EQ(seen.folder, root);
    EXPECT_EQ(seen.fileName, u"");  // the initial folder opens with an empty name
    EXPECT_EQ(seen.flags, 0x1008u);
    EXPECT_EQ(seen.entries, (std::vector<std::u16string>{u"..", u"英語ニュース/", u"talk.mp3"}));
    EXPECT_EQ(seen.owner, frame.handle());
}

TEST_F(Choosers, OpenRefusesAMissingFileAndCancelGivesTheEmptyString) {
    headless::setMessageBoxResponder([](const headless::MessageBoxShown&) { return IDOK; });
    headless::setFileDialogResponder([](const headless::FileDialogShown&) {
        headless::typeText(u"absent.mp3");
        headless::pressKey(VK_RETURN);  // refused with a message box
        headless::pressKey(VK_ESCAPE);  // then the user gives up
        return headless::FileDialogAnswer::letItRun();
    });
    EXPECT_EQ(chooseOpenFile(frame.handle(), u"All\0*.*\0"s, root), u"");
    EXPECT_EQ(headless::takeMessageBoxes().size(), 1u);
}

TEST_F(Choosers, SaveProposesTheNameAddsTheExtensionAndAsksBeforeOverwriting) {
    headless::FileDialogShown seen;
    headless::setFileDialogResponder([&](const headless::FileDialogShown& s) {
        seen = s;
        headless::pressKey(VK_RETURN);  // accept the proposed name
        return headless::FileDialogAnswer::letItRun();
    });
    std::vector<std::u16string> questions;
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& b) {
        questions.push_back(b.text);
        return IDYES;
    });
    std::u16string path =
        chooseSaveFile(frame.handle(), u"保存先を選んでください", u"XML File\0*.xml\0"s, root + u"/lesson", u".xml");
    EXPECT_EQ(path, root + u"/lesson.xml");
    EXPECT_EQ(seen.title, u"保存先を選んでください");
    EXPECT_EQ(seen.fileName, u"lesson");
    EXPECT_EQ(seen.flags, 0x100Au);
    EXPECT_EQ(questions, (std::vector<std::u16string>{u"lesson.xml already exists.\nDo you want to replace it?"}));

    headless::setFileDialogResponder(
        [](const headless::FileDialogShown&) { return headless::FileDialogAnswer::choose(u"fresh"); });
    EXPECT_EQ(
        chooseSaveFile(frame.handle(), u"Save As MP3", u"Audio File (.mp3)\0*.mp3\0"s, root + u"/talk.mp3", u"mp3"),
        root + u"/fresh.mp3");
}

namespace {

SYSTEMTIME dateOf(int y, int m, int d) {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(y);
    t.wMonth = static_cast<WORD>(m);
    t.wDay = static_cast<WORD>(d);
    return t;
}

}  // namespace

TEST(CalendarPanes, ShowYearMonthDayAndReadTheDateBack) {
    RecordingFrame frame;
    CalendarPane pane;
    ASSERT_TRUE(pane.create(frame.handle(), 158, 8, 120, 20));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(pane.handle(), GWL_STYLE)) & 0xFFFF0000u, 0x50800000u);
    EXPECT_EQ(BaseWindow::fromHandle(pane.handle()), &pane);
    SYSTEMTIME shown = dateOf(2012, 5, 14);
    SendMessageW(pane.handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(pane.getText(), u"2012/05/14");
    SYSTEMTIME fallback = dateOf(1999, 1, 2);
    SYSTEMTIME got = pane.getDate(fallback);
    EXPECT_EQ(got.wYear, 2012);
    EXPECT_EQ(got.wMonth, 5);
    EXPECT_EQ(got.wDay, 14);
    EXPECT_EQ(got.wDayOfWeek, 1);  // a Monday, filled in by the conversion
    // Keys change the date as a user would: Up steps the current field (the day).
    SetFocus(pane.handle());
    headless::pressKey(VK_RIGHT);
    headless::pressKey(VK_RIGHT);
    headless::pressKey(VK_UP);
    headless::pumpMessages();
    EXPECT_EQ(pane.getDate(fallback).wDay, 15);
}

TEST(CalendarPanes, TextThatIsNoDateLeavesTheDateUnchanged) {
    RecordingFrame frame;
    CalendarPane pane;
    ASSERT_TRUE(pane.create(frame.handle(), 0, 0, 120, 20));
    SYSTEMTIME fallback = dateOf(1999, 1, 2);
    fallback.wDayOfWeek = 6;
    for (const char16_t* format : {u"yyy'-'MM'-'dd", u"yyy'/'MM", u"yyy'/'MM'/'dd'/'"}) {
        SendMessageW(pane.handle(), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(format));
        SYSTEMTIME got = pane.getDate(fallback);
        EXPECT_EQ(got.wYear, 1999);
        EXPECT_EQ(got.wDay, 2);
        EXPECT_EQ(got.wDayOfWeek, 6);
    }
    CalendarPane none;
    EXPECT_EQ(none.getDate(fallback).wYear, 1999);  // no window: no text
}
