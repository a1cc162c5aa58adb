// The program on the SDL display of a virtual X server with a session bus of
// the test's own, as a learner on a Linux desktop uses it: Ctrl+O typed
// through the X test extension opens the desktop's file chooser (a stand-in
// portal here) and its file reaches the player; playerctl then plays,
// pauses, steps to the next sentence and reads the sentence as the title.
// Runs under xvfb-run from the program folder; without an X display or a
// dbus-daemon it skips itself.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "app/AcceleratorTable.h"
#include "app/Application.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "app/TestApp.h"
#include "platform/common/Unicode.h"
#include "platform/display/Headless.h"
#include "support/PrivateSessionBus.h"
#include "support/TempDir.h"
#include "support/XDesktop.h"
#include "text/NarrowText.h"

using veltrix::test::XDesktop;
namespace headless = veltrix::platform::headless;

namespace {

using Clock = std::chrono::steady_clock;

class DesktopUnderX : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::unsetenv("VELTRIX_DISPLAY");
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        x = XDesktop::open();
        if (!x) return;
        folder = std::make_unique<TempDir>();
        for (const char* name : {"AskingTheWay.mp3", "AskingTheWay.xml"})
            std::filesystem::copy_file(std::filesystem::path(appDirectory()) / "Samples" / name, folder->native(name));
        // The bus comes before the window, which registers its media controls.
        bus = std::make_unique<PrivateSessionBus>();
        if (!bus->startStandInDesktop(folder->native("AskingTheWay.mp3").string())) return;
        setNarrowCodePage(932);
        std::filesystem::remove(std::filesystem::path(settingsFilePath()));
        prepareSettingsFile();
        fillProgramAccelerators(AcceleratorTable::instance());
        app = std::make_unique<TestApp>(folder->file("window.ini"));
        app->createMainWindow();
        ShowWindow(app->handle(), SW_SHOWNORMAL);
    }
    static void TearDownTestSuite() {
        if (app && IsWindow(app->handle())) {
            app->content().lyricsView().setModified(false);
            SendMessageW(app->handle(), WM_CLOSE, 0, 0);
        }
        app.reset();
        bus.reset();
        folder.reset();
        x.reset();
    }
    void SetUp() override {
        if (!x) GTEST_SKIP() << "no X display with the XTEST extension";
        if (headless::active()) GTEST_SKIP() << "SDL2 found no video driver";
        if (!app) GTEST_SKIP() << "no dbus-daemon for a private session bus";
        ASSERT_TRUE(IsWindow(app->handle()));
    }

    Orvella& player() { return app->content(); }
    void run(int ms) {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        do {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) continue;
                routeMessage(msg, player().handle(), AcceleratorTable::instance().handle());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } while (Clock::now() < until);
    }
    bool runUntil(const std::function<bool()>& done) {
        const auto until = Clock::now() + std::chrono::seconds(5);
        while (!done() && Clock::now() < until) run(20);
        return done();
    }
    // playerctl, while the program's loop runs on.
    std::string playerctl(const std::vector<std::string>& args) {
        std::vector<std::string> argv{"playerctl", "-p", "veltrix"};
        argv.insert(argv.end(), args.begin(), args.end());
        auto result = std::async(std::launch::async, [argv] { return PrivateSessionBus::run(argv); });
        while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) run(10);
        return result.get().out;
    }
    std::string sentence(int row) {
        return veltrix::unicode::utf16ToUtf8(player().lyricsTable().getValueAt(row, LyricsTable::Sentence));
    }

    static inline std::unique_ptr<XDesktop> x;
    static inline std::unique_ptr<TempDir> folder;
    static inline std::unique_ptr<PrivateSessionBus> bus;
    static inline std::unique_ptr<TestApp> app;
};

TEST_F(DesktopUnderX, TheDesktopsChooserOpensTheLessonAndPlayerctlPlaysIt) {
    run(400);  // mapped and painted
    // Without a window manager the keyboard follows the pointer.
    POINT inside{20, 20};
    ClientToScreen(player().lyricsView().getHandle(), &inside);
    x->moveTo(inside.x, inside.y);
    x->click(1);
    run(300);
    x->press(XK_o, {XK_Control_L});
    x->flush();
    ASSERT_TRUE(runUntil([&] { return player().core().hasAudio(); }));
    EXPECT_EQ(player().core().audioPath(), folder->file("AskingTheWay.mp3"));
    ASSERT_FALSE(bus->requests().empty());
    // The chooser is told which window it belongs to.
    EXPECT_EQ(bus->requests()[0].rfind("OpenFile parent=x11:", 0), 0u) << bus->requests()[0];
    ASSERT_GE(player().lyricsTable().getRowCount(), 3);

    playerctl({"play-pause"});
    ASSERT_TRUE(runUntil([&] { return player().playCaption() == u"Pause"; }));
    EXPECT_EQ(playerctl({"status"}), "Playing");
    EXPECT_EQ(playerctl({"metadata", "title"}), sentence(0));

    playerctl({"next"});
    ASSERT_TRUE(runUntil([&] { return player().lyricsTable().getSelectedRows() == std::vector<int>{1}; }));
    EXPECT_EQ(playerctl({"metadata", "title"}), sentence(1));

    playerctl({"pause"});
    ASSERT_TRUE(runUntil([&] { return player().playCaption() == u"Play"; }));
    EXPECT_EQ(playerctl({"status"}), "Paused");
}

}  // namespace
