// The player's "Menu..." in the whole program on the headless display: its
// items, numbers, order and enabled states in each state of the program and
// locale, and every action it offers carried out once with its dialogs
// answered. Runs from the program folder (Plugins/, Resources/, Samples/).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramSession.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "app/TestApp.h"
#include "download/NHK_NewsEnglishDialog.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "player/ID3EditorDialog.h"
#include "support/TempDir.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"
#include "xml/Element.h"

namespace headless = veltrix::platform::headless;

namespace {

struct Shown {
    std::u16string text;
    UINT id;
    bool enabled;
    bool operator==(const Shown&) const = default;
};

// What the menu shows on an English system, every condition holding.
const std::vector<Shown> kFullMenu = {
    {u"Reload Lyrics...\tCtrl+L", 1, true},
    {u"", 0, true},
    {u"Save &As MP3 File (with Lyrics)...", 6, true},
    {u"Save As .lrc File...", 8, true},
    {u"Save As PlayList...", 9, true},
    {u"", 0, true},
    {u"Time Sentences Automatically...\tCtrl+Shift+A", 220, true},
    {u"Undo Automatic Timing", 221, true},
    {u"", 0, true},
    {u"Open Word List...\tCtrl+W", 12, true},
    {u"Open ID3 Editor...", 11, true},
    {u"", 0, true},
    {u"Open Youtube Lyrics Downloader...", 2, true},
    {u"", 0, true},
    {u"Send xml to Morvane...", 30, true},
    {u"", 0, true},
    {u"Theme...", 3, true},
};

std::vector<Shown> withDisabled(std::vector<Shown> menu, std::vector<UINT> disabled) {
    for (Shown& item : menu)
        for (UINT id : disabled)
            if (item.id == id) item.enabled = false;
    return menu;
}

std::string utf8(const std::u16string& text) { return encodeCodePage(text, 65001); }

class PlayerMenuProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        session = std::make_unique<veltrix::test::ProgramSession>();
    }
    static void TearDownTestSuite() { session.reset(); }

    void SetUp() override {
        ASSERT_TRUE(headless::active());
        player().fileTable().clearFiles();
        setLocale(nullptr, nullptr, "en_US.UTF-8");
        for (const char* name : {"AskingTheWay.mp3", "AskingTheWay.xml"})
            std::filesystem::copy_file(std::filesystem::path(appDirectory()) / "Samples" / name, folder.native(name));
        headless::setFileDialogResponder([this](const headless::FileDialogShown& shown) {
            fileDialogs.push_back(shown);
            codePageInDialog = narrowCodePage();
            return chosen.empty() ? headless::FileDialogAnswer::cancel() : headless::FileDialogAnswer::choose(chosen);
        });
    }
    void TearDown() override {
        headless::setMenuResponder(nullptr);
        headless::setDialogResponder(nullptr);
        headless::setFileDialogResponder(nullptr);
        headless::setMessageBoxResponder(nullptr);
        if (player().core().hasAudio()) {
            player().core().stopPlayback();
            player().lyricsView().setModified(false);
        }
        session->run(50);
    }

    static void setLocale(const char* all, const char* messages, const char* lang) {
        for (auto [name, value] : {std::pair{"LC_ALL", all}, {"LC_MESSAGES", messages}, {"LANG", lang}})
            value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    Orvella& player() { return session->app().content(); }
    // Opens the menu and answers it with choice; what it showed.
    std::vector<Shown> openMenu(int choice = 0) {
        std::vector<Shown> shown;
        headless::setMenuResponder([&](const headless::MenuShown& menu) {
            for (const auto& item : menu.items) shown.push_back({item.text, item.id, item.enabled});
            return choice;
        });
        SendMessageW(player().handle(), WM_COMMAND, Orvella::PlayerMenu, 0);
        headless::setMenuResponder(nullptr);
        session->run(30);
        return shown;
    }
    void openLesson() {
        ASSERT_TRUE(player().openFile(folder.file("AskingTheWay.mp3")));
        session->run(50);
    }

    static inline std::unique_ptr<veltrix::test::ProgramSession> session;
    TempDir folder;
    std::u16string chosen;
    std::vector<headless::FileDialogShown> fileDialogs;
    unsigned codePageInDialog = 932;
};

}  // namespace

// Run first, while no file is open.
TEST_F(PlayerMenuProgram, ItemsAndTheirStatesInEachStateOfTheProgram) {
    // No file, an empty file list; opened by a click on its button.
    std::vector<Shown> shown;
    headless::setMenuResponder([&](const headless::MenuShown& menu) {
        for (const auto& item : menu.items) shown.push_back({item.text, item.id, item.enabled});
        return 0;
    });
    RECT button{};
    GetWindowRect(player().menuButton().handle(), &button);
    const POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    headless::mouseMove(centre);
    headless::click(headless::Button::Left, centre);
    session->run(50);
    EXPECT_EQ(shown, withDisabled(kFullMenu, {1, 6, 8, 9, 11, 30, 220, 221}));

    openLesson();
    EXPECT_EQ(openMenu(), withDisabled(kFullMenu, {9, 221}));
    ASSERT_TRUE(PostMessageW(player().handle(), WM_COMMAND, Orvella::TogglePlay, 0));
    ASSERT_TRUE(session->runUntil(2000, [&] { return player().audio().isPlaying(); }));
    EXPECT_EQ(openMenu(), withDisabled(kFullMenu, {6, 8, 9, 221}));
    player().core().stopPlayback();
    player().fileTable().addFile(folder.file("AskingTheWay.mp3"));
    const std::vector<Shown> stoppedWithList = withDisabled(kFullMenu, {221});
    EXPECT_EQ(openMenu(), stoppedWithList);

    // Japanese: the news downloader, and the phrase downloader while its
    // recorder is in the Plugins folder. LC_ALL comes before LC_MESSAGES,
    // which comes before LANG.
    std::vector<Shown> japanese = stoppedWithList;
    japanese.insert(japanese.begin() + 13, {{u"Open NHK News de Eikaiwa Downloader...", 15, true},
                                            {u"Open NHK Gogakuru Downloader...", 16, true}});
    setLocale(nullptr, "ja_JP.UTF-8", "en_US.UTF-8");
    EXPECT_EQ(openMenu(), japanese);
    setLocale(nullptr, nullptr, "zh_TW.Big5");
    EXPECT_EQ(openMenu(), japanese);
    setLocale("C", "ja_JP.UTF-8", "ja_JP.UTF-8");
    EXPECT_EQ(openMenu(), stoppedWithList);
    PlayerMenuState noRecorder{true, false, true, false, 1041, 1041, false, false};
    EXPECT_EQ(OrvellaMenu::items(noRecorder).size(), kFullMenu.size() + 1);

    // Shift held: the three tools without items of their own are listed last.
    headless::key(VK_SHIFT, true);
    session->run(30);
    const std::vector<Shown> withShift = openMenu();
    headless::key(VK_SHIFT, false);
    ASSERT_EQ(withShift.size(), kFullMenu.size() + 4);
    EXPECT_EQ(std::vector<Shown>(withShift.end() - 3, withShift.end()),
              (std::vector<Shown>{{u"Open VOA List Manager...", 10, true},
                                  {u"Open Kokokoza Downloader...", 66, true},
                                  {u"Open Website Downloader...", 300, true}}));
}

TEST_F(PlayerMenuProgram, LrcAndPlaylistFromTheMenu) {
    openLesson();
    chosen = folder.file("lesson.lrc.lrc");
    openMenu(8);
    ASSERT_FALSE(fileDialogs.empty());
    EXPECT_EQ(fileDialogs.back().title, u"Save As .lrc File");
    EXPECT_EQ(fileDialogs.back().fileName, u"AskingTheWay.lrc");
    EXPECT_EQ(fileDialogs.back().defaultExtension, u"lrc");
    // One ".lrc" is left of the doubled extension.
    ASSERT_TRUE(std::filesystem::exists(folder.native("lesson.lrc")));
    EXPECT_NE(folder.read("lesson.lrc").find("[00:00.40]Excuse me, could you tell me"), std::string::npos);

    // A name that cannot be written (a folder holds it): said, not passed over.
    std::filesystem::create_directory(folder.native("taken.lrc"));
    chosen = folder.file("taken.lrc.lrc");
    std::vector<headless::MessageBoxShown> boxes;
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& box) {
        boxes.push_back(box);
        return IDOK;
    });
    EXPECT_FALSE(player().menu().saveAsLrc());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, u"Veltrix");
    EXPECT_EQ(boxes[0].text, u"Couldn't save the .lrc file.\r\n" + folder.file("taken.lrc"));

    // The playlist: the system code page while the command runs, 932 after it
    // on every way out (cancelled, saved, refused).
    player().fileTable().addFile(folder.file("AskingTheWay.mp3"));
    chosen.clear();
    openMenu(9);
    EXPECT_EQ(codePageInDialog, 0u);
    EXPECT_EQ(narrowCodePage(), 932u);
    chosen = folder.file("lessons.m3u");
    openMenu(9);
    EXPECT_EQ(fileDialogs.back().title, u"Save as PlayList");
    EXPECT_EQ(narrowCodePage(), 932u);
    EXPECT_EQ(folder.read("lessons.m3u"), "#EXTM3U\r\n#EXTINF:0,AskingTheWay.mp3\r\n./AskingTheWay.mp3\r\n\r\n");
}

TEST_F(PlayerMenuProgram, TheId3EditorEditsTheBlockThatIsSavedWithTheList) {
    openLesson();
    SYSTEMTIME today{};
    GetLocalTime(&today);
    std::vector<std::u16string> before;
    int dates[3] = {};
    headless::setDialogResponder([&](const headless::DialogShown& shown) {
        auto* dialog =
            static_cast<ID3EditorDialog*>(reinterpret_cast<Dialog*>(GetWindowLongPtrW(shown.dialog, GWLP_USERDATA)));
        EXPECT_EQ(shown.title, u"ID3 Editor");
        for (int i = 0; i < 4; ++i) before.push_back(dialog->textField(i).getText());
        for (int i = 0; i < 3; ++i) dates[i] = dialog->dateField(i).getValue();
        dialog->textField(0).setText(u"Asking the Way, part 1");
        dialog->textField(3).setText(u"Conversation");
        dialog->dateField(1).setValue(13);  // kept to its range
        SendMessageW(shown.dialog, WM_COMMAND, MAKEWPARAM(kOkButton, BN_CLICKED),
                     reinterpret_cast<LPARAM>(dialog->okButton().handle()));
        return headless::kLetItRun;
    });
    openMenu(11);
    EXPECT_EQ(before, (std::vector<std::u16string>{u"Asking the Way", u"", u"", u""}));
    // The sample's block holds no date: today's.
    EXPECT_EQ(dates[0], today.wYear);
    EXPECT_EQ(dates[1], today.wMonth);
    EXPECT_EQ(dates[2], today.wDay);
    const Element& id3 = player().editing().document().id3();
    EXPECT_EQ(id3.getTextOf(u"title"), u"Asking the Way, part 1");
    EXPECT_EQ(id3.getTextOf(u"category"), u"Conversation");
    EXPECT_EQ(id3.getTextOf(u"month"), u"12");
    // An unsaved edit until the list is saved, which writes the block.
    EXPECT_TRUE(player().lyricsView().modified());
    headless::setMessageBoxResponder([](const headless::MessageBoxShown&) { return IDYES; });
    session->ctrl('S');
    EXPECT_FALSE(player().lyricsView().modified());
    std::u16string saved;
    readTextFile(folder.file("AskingTheWay.xml"), saved, encoding::kDetect);
    EXPECT_NE(saved.find(u"<title>Asking the Way, part 1</title>"), std::u16string::npos) << utf8(saved);
    EXPECT_NE(saved.find(u"<category>Conversation</category>"), std::u16string::npos);

    // Cancel changes nothing.
    headless::setDialogResponder([](const headless::DialogShown&) { return kCancelButton; });
    openMenu(11);
    EXPECT_FALSE(player().lyricsView().modified());
}

TEST_F(PlayerMenuProgram, ThemesWordListFindAndTheSiblingProgram) {
    openLesson();
    // Theme 1 ("Night") from the theme menu, reached through item 3.
    std::vector<std::u16string> themes;
    int menus = 0;
    headless::setMenuResponder([&](const headless::MenuShown& menu) {
        if (menus++ == 0) return 3;
        for (const auto& item : menu.items) themes.push_back(item.text);
        return 11;
    });
    SendMessageW(player().handle(), WM_COMMAND, Orvella::PlayerMenu, 0);
    session->run(50);
    ASSERT_GE(themes.size(), 2u);
    EXPECT_EQ(themes[0], u"Daylight\t(Veltrix)");
    EXPECT_EQ(themes[1], u"Night\t(Veltrix)");
    EXPECT_EQ(player().lyricsView().color(ColorSlot::Background), 0x26201Du);
    // Command 110 on its own; theme 0 again.
    headless::setMenuResponder([](const headless::MenuShown&) { return 10; });
    SendMessageW(player().handle(), WM_COMMAND, Orvella::ThemeMenu, 0);
    session->run(30);
    EXPECT_EQ(player().lyricsView().color(ColorSlot::Background), 0xF7FAFBu);
    headless::setMenuResponder(nullptr);

    openMenu(12);
    EXPECT_TRUE(IsWindowVisible(player().wordListDialog().handle()));
    session->ctrl('F');
    EXPECT_TRUE(IsWindowVisible(player().findPane().handle()));
    player().findPane().closePane();

    // The sibling program: asked for, remembered, started with the list's path.
    const std::filesystem::path script = folder.native("Morvane");
    {
        std::ofstream out(script);
        out << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n";
    }
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    writeSettingString(OrvellaMenu::kMorvaneSection, u"Path", folder.file("absent/Morvane.exe"));
    chosen = folder.file("Morvane");
    openMenu(30);
    ASSERT_FALSE(fileDialogs.empty());
    EXPECT_EQ(fileDialogs.back().kind, headless::FileDialogKind::Open);
    EXPECT_EQ(readSettingString(OrvellaMenu::kMorvaneSection, u"Path", u""), chosen);
    ASSERT_TRUE(session->runUntil(3000, [&] { return std::filesystem::exists(folder.native("Morvane.args")); }));
    session->run(100);
    EXPECT_EQ(folder.read("Morvane.args"), utf8(folder.file("AskingTheWay.xml")) + "\n");
    fileDialogs.clear();
    openMenu(30);
    EXPECT_TRUE(fileDialogs.empty());
}

TEST_F(PlayerMenuProgram, TheDownloadersOpenWithTheirSettings) {
    setLocale(nullptr, nullptr, "ja_JP.UTF-8");
    std::vector<std::u16string> titles;
    headless::setDialogResponder([&](const headless::DialogShown& shown) {
        titles.push_back(shown.title);
        return kCancelButton;
    });
    for (int item : {2, 16}) openMenu(item);
    for (UINT number : {10u, 66u, 300u}) player().menu().perform(number);
    EXPECT_EQ(titles.size(), 5u);
    EXPECT_NE(std::find(titles.begin(), titles.end(), u"Gogakuru Downloader"), titles.end());
    EXPECT_NE(std::find(titles.begin(), titles.end(), u"Website Downloader"), titles.end());
    // The phrase downloader's start address is kept.
    EXPECT_FALSE(readSettingString(u"NHK", u"GogakuruURL", u"").empty());

    // The news downloader is modeless; its options go back to "NHK" on close.
    writeSettingInt(u"NHK", u"RenameMP3", 1);
    openMenu(15);
    NHK_NewsEnglishDialog* news = player().menu().downloaders().newsDialog();
    ASSERT_TRUE(news && IsWindowVisible(news->handle()));
    EXPECT_TRUE(news->renameMp3());
    news->setOptions(true, false);
    headless::closeWindow(news->handle());
    session->run(50);
    EXPECT_EQ(readSettingInt(u"NHK", u"DownloadWithKeyWords", 0), 1);
    EXPECT_EQ(readSettingInt(u"NHK", u"RenameMP3", 1), 0);
}
