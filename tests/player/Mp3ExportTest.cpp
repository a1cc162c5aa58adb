// The MP3 export on the real audio modules and lame, through the Converting
// dialog on the headless display: its progress, and every way it can fail
// (cancelled, lame missing, the open file as target, a folder that cannot be
// written, a full disk), each of which must show its message, leave no file
// behind and leave the source as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "audio/AudioTestSupport.h"
#include "audio/BassPlayer.h"
#include "platform/display/HeadlessAnswers.h"
#include "player/ConvertingDialog.h"
#include "player/Mp3Export.h"
#include "support/FileSizeLimit.h"
#include "support/ReadOnlyFolder.h"

using namespace audiotest;
namespace headless = veltrix::platform::headless;

namespace {

class Mp3Export : public ::testing::Test {
protected:
    void SetUp() override {
        useDummyAudio();
        ASSERT_TRUE(render(dir.native("source.wav"), "sine=frequency=440:sample_rate=44100:duration=6", "-ac 2"));
        source = dir.read("source.wav");
        ASSERT_TRUE(player.initialize());
        ASSERT_TRUE(player.open(dir.file("source.wav")));
        player.setTempo(80);
    }
    void TearDown() override {
        headless::setDialogResponder(nullptr);
        headless::takeDialogs();  // what one case showed is no other case's business
    }

    bool run(const std::u16string& target) {
        Mp3ExportRequest request;
        request.target = target;
        request.sentences = {{u"One", 0}, {u"Two", 2000}};
        request.tempo = 80;
        return exportMp3(player, nullptr, request, [this](const std::u16string& text) { messages.push_back(text); });
    }
    // The files in the folder besides the sources.
    std::vector<std::string> leftOver(const std::filesystem::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename().string().rfind("source", 0) != 0)
                names.push_back(entry.path().filename().string());
        return names;
    }
    void expectSourceUntouched() { EXPECT_EQ(dir.read("source.wav"), source); }

    TempDir dir;
    std::string source;
    MessageRecorder boxes;
    BassLibrary library{pluginsFolder()};
    BassPlayer player{library};
    std::vector<std::u16string> messages;
};

}  // namespace

TEST_F(Mp3Export, TheDialogShowsProgressAndCancelStopsLameAndLeavesNothing) {
    std::vector<std::u16string> progress;
    std::vector<int> percents;
    std::vector<std::u16string> titles;
    // A minute, so that three ticks cannot finish it on any machine (six
    // seconds were done within two ticks on a quiet one).
    ASSERT_TRUE(render(dir.native("source-long.wav"), "sine=frequency=440:sample_rate=44100:duration=60", "-ac 2"));
    ASSERT_TRUE(player.open(dir.file("source-long.wav")));
    player.setTempo(80);
    headless::setDialogResponder([&](const headless::DialogShown& shown) {
        titles.push_back(shown.title);
        auto* dialog =
            static_cast<ConvertingDialog*>(reinterpret_cast<Dialog*>(GetWindowLongPtrW(shown.dialog, GWLP_USERDATA)));
        // A few ticks, then Cancel as a click on it would send it.
        for (int i = 0; i < 3 && dialog; ++i) {
            dialog->onTimer(ConvertingDialog::kTimer, 0);
            WCHAR text[64] = {};
            GetWindowTextW(dialog->progressBar().handle(), text, 64);
            progress.push_back(text);
            percents.push_back(dialog->progressBar().position());
        }
        PostMessageW(shown.dialog, WM_COMMAND, kCancelButton, 0);
        return headless::kLetItRun;
    });
    EXPECT_FALSE(run(dir.file("out.mp3")));
    ASSERT_EQ(titles, (std::vector<std::u16string>{u"Converting"}));
    ASSERT_EQ(progress.size(), 3u);
    const std::regex shape("([0-9]+)/60000");
    int last = -1;
    for (std::size_t i = 0; i < progress.size(); ++i) {
        const std::string text(progress[i].begin(), progress[i].end());
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, shape)) << text;
        const int position = std::stoi(match[1]);
        EXPECT_GT(position, last);
        EXPECT_EQ(percents[i], position * 100 / 60000);
        last = position;
    }
    EXPECT_LT(last, 60000);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(boxes.messages.empty());
    EXPECT_TRUE(leftOver(dir.path()).empty());
    expectSourceUntouched();
}

TEST_F(Mp3Export, TheOpenFileAsTargetShowsTheInUseBox) {
    EXPECT_FALSE(run(dir.file("source.wav")));
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text, u"現在このファイルは使用中です。\r\n" + dir.file("source.wav"));
    EXPECT_TRUE(leftOver(dir.path()).empty());
    expectSourceUntouched();
}

TEST_F(Mp3Export, AFolderThatCannotBeWrittenIsReportedBeforeEncoding) {
    ReadOnlyFolder folder(dir.native("locked"));
    if (!folder.available()) GTEST_SKIP() << "no way to make a folder read-only here";
    ASSERT_TRUE(folder.lock());
    const std::u16string target = dir.file("locked/out.mp3");
    EXPECT_FALSE(run(target));
    EXPECT_EQ(messages, (std::vector<std::u16string>{Mp3ExportTexts::kNotWritable + target}));
    EXPECT_TRUE(headless::takeDialogs().empty()) << "nothing was decoded";
    EXPECT_TRUE(leftOver(folder.path()).empty());
    expectSourceUntouched();
}

TEST_F(Mp3Export, AFullDiskIsReportedAndLeavesNothing) {
    const std::u16string target = dir.file("out.mp3");
    bool exported;
    {
        FileSizeLimit full(20000);  // which lame inherits
        exported = run(target);
    }
    EXPECT_FALSE(exported);
    EXPECT_EQ(messages, (std::vector<std::u16string>{Mp3ExportTexts::kEncoderFailed + target}));
    EXPECT_TRUE(leftOver(dir.path()).empty());
    expectSourceUntouched();
}

TEST_F(Mp3Export, AnExportReplacesAnOldFileOnlyWhenFinished) {
    dir.write("out.mp3", "an older export");
    ASSERT_TRUE(run(dir.file("out.mp3")));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(leftOver(dir.path()), (std::vector<std::string>{"out.mp3"}));
    BassPlayer check(library);
    ASSERT_TRUE(check.open(dir.file("out.mp3")));
    EXPECT_NEAR(double(check.lengthMs), 6000 * 100.0 / 80, 6000 * 1.25 * 0.01);
    expectSourceUntouched();
}

TEST(Mp3ExportWithoutLame, LameMissingShowsItsBoxAndWritesNothing) {
    useDummyAudio();
    TempDir dir;
    MessageRecorder boxes;
    BassLibrary library(partialPlugins(dir, {"libbass.so", "libbass_fx.so", "libbassenc.so"}));
    BassPlayer player(library);
    ASSERT_TRUE(player.initialize());
    ASSERT_TRUE(render(dir.native("a.wav"), "sine=duration=1", "-ac 2"));
    ASSERT_TRUE(player.open(dir.file("a.wav")));
    Mp3ExportRequest request;
    request.target = dir.file("out.mp3");
    std::vector<std::u16string> messages;
    EXPECT_FALSE(exportMp3(player, nullptr, request, [&](const std::u16string& text) { messages.push_back(text); }));
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text, u"Plugins フォルダーに lame.exe ファイルを入れてください。");
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.native("out.mp3")));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(encodingPathFor(request.target))));
}
