// The news downloader in the real program on a real X display (Xvfb), used
// as a learner uses it: the program is started with the downloader opened,
// "Download..." is clicked and the file name typed into the save dialog with
// real X input, against the stand-in site on 127.0.0.1. The settings file
// names that site in its "Hosts" section.
//
// The program is launched through a link of another name, which gives it a
// settings file of its own beside the program (the name decides the file's
// name), so the learner's own settings are never touched.
#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "NewsSite.h"
#include "app/Settings.h"
#include "download/NHK_NewsEnglishDialog.h"
#include "download/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XDesktop.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"

// Last: X's macros would break the program's headers.
#include <X11/keysym.h>

using namespace veltrix::test;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr char kSessionName[] = "veltrix-news-session";

std::string utf8(const std::u16string& text) { return encodeCodePage(text, CP_UTF8); }

class NewsProgram : public ::testing::Test {
protected:
    void SetUp() override {
        desktop = XDesktop::open();
        if (!desktop) GTEST_SKIP() << "no X display with the XTEST extension";
        const fs::path executable(VELTRIX_PROGRAM);
        settings = executable.parent_path() / (std::string(kSessionName) + ".ini");
        fs::remove(settings);
        const std::u16string ini = settings.u16string();
        prepareSettingsFile(ini);
        const std::u16string host = newssite::hostOf(server);
        ASSERT_TRUE(WritePrivateProfileStringW(u"Hosts", u"NHKNewsEnglish", host.c_str(), ini.c_str()));
        ASSERT_TRUE(WritePrivateProfileStringW(u"NHK", u"DownloadWithKeyWords", u"1", ini.c_str()));
        // Lower-case and plain, so that it can be typed key by key.
        folder = fs::temp_directory_path() / ("veltrix-news-session-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::create_symlink(executable, folder / kSessionName);
        ::unsetenv("VELTRIX_DISPLAY");
        ::setenv("VELTRIX_OPEN_DOWNLOADER", "news", 1);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override {
        if (running) program.stop();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        fs::remove(settings, ignored);
    }

    // Waits for a condition while keeping the program's output drained.
    bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            program.readOutput();
            if (done()) return true;
            std::this_thread::sleep_for(50ms);
        }
        return done();
    }
    // Where the mapped top-level window with this title is, if there is one.
    std::optional<XDesktop::Rect> findWindow(const std::u16string& title) {
        const std::string wanted = utf8(title);
        for (unsigned long window : desktop->mappedWindows())
            if (desktop->title(window) == wanted) return desktop->geometry(window);
        return std::nullopt;
    }
    std::optional<XDesktop::Rect> waitForWindow(const std::u16string& title) {
        std::optional<XDesktop::Rect> found;
        waitFor([&] { return (found = findWindow(title)).has_value(); }, 15s);
        return found;
    }
    void pressReturn() {
        desktop->press(XK_Return);
        desktop->flush();
    }
    void snapshot(const std::string& name) { desktop->screenshot(name); }
    // A move of the pointer wakes the program, which then takes the window
    // system's late reports; then a pause for them to be handled.
    void settle(int x, int y) {
        desktop->moveTo(x, y);
        std::this_thread::sleep_for(600ms);
    }

    std::unique_ptr<XDesktop> desktop;
    HttpTestServer server;
    fs::path settings;
    fs::path folder;
    ProcessRunner program;
    bool running = false;
};

}  // namespace

TEST_F(NewsProgram, ADayIsDownloadedAndSavedThroughTheRealWindows) {
    // The date picker starts at today.
    const std::time_t now = std::time(nullptr);
    char day[16];
    std::strftime(day, sizeof day, "%Y%m%d", std::localtime(&now));
    newssite::setDate(day);
    newssite::serveNormalDay(server);
    const std::u16string command = u"\"" + (folder / kSessionName).u16string() + u"\"";
    ASSERT_TRUE(program.start(command));
    running = true;

    const auto news = waitForWindow(NHK_NewsEnglishDialog::kTitle);
    ASSERT_TRUE(news.has_value()) << "the news downloader did not open";
    EXPECT_EQ(news->width, NHK_NewsEnglishDialog::kWidth);
    EXPECT_EQ(news->height, NHK_NewsEnglishDialog::kHeight);
    std::this_thread::sleep_for(500ms);  // painted

    // The window system reports focus changes late, when the next input
    // wakes the program; a click on the dialog's own background makes it the
    // active window whatever was reported before.
    settle(5, 5);
    desktop->moveTo(news->x + 420, news->y + 40);
    desktop->click(1);
    settle(news->x + 425, news->y + 42);
    // "Download..." has the keyboard in the active dialog: Return presses it.
    pressReturn();
    std::this_thread::sleep_for(300ms);
    snapshot("news-program-downloading.png");
    const auto save = waitForWindow(u"保存先を選んでください");
    if (!save) snapshot("news-program-failed.png");
    ASSERT_TRUE(save.has_value()) << "no save dialog; requests: " << server.requests().size();
    // The keyword pages too: the option came from the settings' "NHK" section.
    EXPECT_EQ(server.requests().size(), 6u);
    desktop->moveTo(save->x + save->width / 2, save->y + save->height / 2);
    std::this_thread::sleep_for(300ms);
    snapshot("news-program-save.png");

    // The proposed name is selected in the file-name field: typing replaces it.
    const fs::path target = folder / "news-day.xml";
    desktop->type(target.string());
    desktop->flush();
    pressReturn();
    ASSERT_TRUE(waitFor([&] { return fs::exists(target) && !findWindow(u"保存先を選んでください"); }, 15s))
        << "the sentence list was not saved";
    std::this_thread::sleep_for(500ms);
    snapshot("news-program-saved.png");

    TempDir copy;
    fs::copy_file(target, copy.native("saved.xml"));
    const std::u16string expected = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n" +
                                    newssite::expectedNormalDay(newssite::hostOf(server), true)->toString() + u"\r\n";
    EXPECT_EQ(copy.read("saved.xml"), "\xFF\xFE" + encodeText(expected, encoding::kUtf16LE));

    program.stop();
    running = false;
}
