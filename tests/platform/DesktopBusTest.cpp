// The desktop over a private session bus: the media controls as playerctl
// drives and reads them, the open and save dialogs through a stand-in portal
// (and the own dialog where no portal answers), and notifications that only
// go out while the window is not focused. With no bus, nothing happens.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "platform/api/Desktop.h"
#include "platform/bus/PortalFileChooser.h"
#include "platform/common/Unicode.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "platform/win32.h"
#include "support/PrivateSessionBus.h"
#include "support/TempDir.h"

namespace headless = veltrix::platform::headless;
using veltrix::unicode::utf16ToUtf8;

namespace {

constexpr WORD kPlayPause = 101, kStop = 103, kPrevious = 119, kNext = 120;

std::vector<WORD> commands;

LRESULT recordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) commands.push_back(LOWORD(wParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

// Runs the window thread's messages until the answer is in, as the program would.
template <typename T>
T pumpUntil(std::future<T> future) {
    while (future.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) headless::pumpMessages();
    headless::pumpMessages();
    return future.get();
}

PrivateSessionBus::Result playerctl(std::vector<std::string> args) {
    args.insert(args.begin(), {"playerctl", "-p", "veltrix"});
    return pumpUntil(std::async(std::launch::async, [args] { return PrivateSessionBus::run(args); }));
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bus.running()) GTEST_SKIP() << "no dbus-daemon";
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = recordCommands;
        wc.lpszClassName = u"DesktopBusTest";
        RegisterClassExW(&wc);
        window = CreateWindowExW(0, u"DesktopBusTest", u"Player", WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr, nullptr,
                                 nullptr, nullptr);
        commands.clear();
    }
    void TearDown() override {
        if (window) DestroyWindow(window);
    }

    void publish(desktop::MediaStatus status, const char16_t* title) {
        desktop::MediaState state;
        state.status = status;
        state.title = title;
        state.album = u"AskingTheWay.mp3";
        state.positionMs = 1500;
        state.lengthMs = 60000;
        state.canGoNext = TRUE;
        state.canGoPrevious = TRUE;
        desktop::updateMediaControls(window, state);
    }
    // Waits until playerctl sees the player (the name is taken on the bus thread).
    bool playerAppears() {
        for (int i = 0; i < 50; ++i) {
            if (playerctl({"status"}).status == 0) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    OPENFILENAMEW dialog(WCHAR* buffer, const WCHAR* filter, const std::u16string& folder) {
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = window;
        ofn.lpstrFilter = filter;
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = buffer;
        ofn.nMaxFile = 260;
        ofn.lpstrInitialDir = folder.c_str();
        return ofn;
    }

    PrivateSessionBus bus;
    TempDir dir;
    HWND window = nullptr;
};

const char16_t kAudioFilter[] = u"Audio File (*.ogg,*.mp3,*.wma)\0*.ogg;*.mp3;*.wma\0All\0*.*\0";

}  // namespace

TEST_F(Desktop, PlayerctlDrivesThePlayerAndReadsItsSentence) {
    ASSERT_TRUE(desktop::registerMediaControls(window, {kPlayPause, kStop, kNext, kPrevious}));
    publish(desktop::MediaStatus::Playing, u"駅はどこですか? Where is the station?");
    ASSERT_TRUE(playerAppears());

    EXPECT_EQ(playerctl({"status"}).out, "Playing");
    EXPECT_EQ(playerctl({"metadata", "title"}).out, "駅はどこですか? Where is the station?");
    EXPECT_EQ(playerctl({"metadata", "album"}).out, "AskingTheWay.mp3");
    // The position runs on from the last reading while playing.
    EXPECT_GE(std::stod(playerctl({"position"}).out), 1.5);

    for (const char* verb : {"play-pause", "next", "previous", "stop", "play"}) ASSERT_EQ(playerctl({verb}).status, 0);
    headless::pumpMessages();
    // "play" while playing asks for nothing.
    EXPECT_EQ(commands, (std::vector<WORD>{kPlayPause, kNext, kPrevious, kStop}));

    commands.clear();
    publish(desktop::MediaStatus::Paused, u"Go straight ahead.");
    EXPECT_EQ(playerctl({"metadata", "title"}).out, "Go straight ahead.");
    EXPECT_EQ(playerctl({"status"}).out, "Paused");
    playerctl({"play"});
    playerctl({"pause"});
    headless::pumpMessages();
    EXPECT_EQ(commands, (std::vector<WORD>{kPlayPause}));

    desktop::unregisterMediaControls(window);
    EXPECT_NE(playerctl({"status"}).status, 0);
}

TEST_F(Desktop, TheOpenDialogAsksThePortalAndTakesItsFile) {
    dir.write("lesson.mp3", "ID3");
    const std::string chosen = dir.native("lesson.mp3").string();
    ASSERT_TRUE(bus.startStandInDesktop(chosen));
    WCHAR file[260] = {};
    std::u16string folder = dir.file("");
    OPENFILENAMEW ofn = dialog(file, kAudioFilter, folder);
    ofn.nFilterIndex = 2;
    ofn.Flags = OFN_FILEMUSTEXIST;
    ASSERT_TRUE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(utf16ToUtf8(file), chosen);
    EXPECT_EQ(utf16ToUtf8(file + ofn.nFileOffset), "lesson.mp3");
    EXPECT_EQ(ofn.nFilterIndex, 2u);  // the portal kept the filter it was given
    EXPECT_TRUE(headless::takeFileDialogs().empty());
    ASSERT_EQ(bus.requests().size(), 1u);
    EXPECT_EQ(bus.requests()[0],
              "OpenFile title=Open folder=" + dir.path().string() +
                  " filters=Audio File (*.ogg,*.mp3,*.wma):*.[oO][gG][gG],*.[mM][pP]3,*.[wW][mM][aA];"
                  "All:* current=All:*");
    EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(Desktop, ASavedNameGetsTheDefaultExtensionAndOurOverwriteQuestion) {
    dir.write("lesson.xml", "<old/>");
    ASSERT_TRUE(bus.startStandInDesktop(dir.native("lesson").string()));
    std::vector<int> answers{IDNO, IDYES};
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown&) {
        int a = answers.front();
        answers.erase(answers.begin());
        return a;
    });
    for (bool expected : {false, true}) {
        WCHAR file[260] = u"lesson.xml";
        std::u16string folder = dir.file("");
        OPENFILENAMEW ofn = dialog(file, u"XML File\0*.xml\0", folder);
        ofn.lpstrDefExt = u".xml";
        ofn.Flags = OFN_OVERWRITEPROMPT;
        EXPECT_EQ(GetSaveFileNameW(&ofn) != FALSE, expected);
        if (expected) {
            EXPECT_EQ(std::u16string(file), dir.file("lesson.xml"));
        }
    }
    auto boxes = headless::takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, u"Confirm Save As");
    EXPECT_EQ(bus.requests()[0],
              "SaveFile title=Save As folder=" + dir.path().string() +
                  " name=lesson.xml filters=XML File:*.[xX][mM][lL] current=XML File:*.[xX][mM][lL]");
    headless::setMessageBoxResponder(nullptr);
}

TEST_F(Desktop, ACancelledPortalIsACancelAndNoPortalMeansTheOwnDialog) {
    WCHAR file[260] = {};
    std::u16string folder = dir.file("");
    headless::setFileDialogResponder(
        [](const headless::FileDialogShown&) { return headless::FileDialogAnswer::cancel(); });
    // A bus without a portal: the own dialog, at once.
    OPENFILENAMEW ofn = dialog(file, kAudioFilter, folder);
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(headless::takeFileDialogs().size(), 1u);

    ASSERT_TRUE(bus.startStandInDesktop("cancel"));
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_TRUE(headless::takeFileDialogs().empty());
    EXPECT_EQ(bus.requests().size(), 1u);

    // The setting turns the portal off.
    desktop::useDesktopFileChooser(FALSE);
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    desktop::useDesktopFileChooser(TRUE);
    EXPECT_EQ(headless::takeFileDialogs().size(), 1u);
    EXPECT_EQ(bus.requests().size(), 1u);
    headless::setFileDialogResponder(nullptr);
}

TEST_F(Desktop, NotificationsGoOutOnlyWhileTheWindowIsNotFocused) {
    ASSERT_TRUE(bus.startStandInDesktop("cancel"));
    ShowWindow(window, SW_SHOW);
    // The desktop has not given the program the focus (the learner is elsewhere).
    EXPECT_TRUE(desktop::notifyWhenInactive(window, u"MP3 file saved", u"/tmp/レッスン.mp3"));
    for (int i = 0; i < 100 && bus.requests().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(bus.requests(), std::vector<std::string>{"Notify summary=MP3 file saved body=/tmp/レッスン.mp3"});
    headless::focusWindow(window);
    headless::pumpMessages();
    EXPECT_FALSE(desktop::notifyWhenInactive(window, u"MP3 file saved", u"lesson.mp3"));
}

TEST(DesktopWithoutBus, NothingIsSentAndTheOwnDialogAnswers) {
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    HWND window = CreateWindowExW(0, u"STATIC", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(desktop::registerMediaControls(window, {kPlayPause, kStop, kNext, kPrevious}));
    EXPECT_FALSE(desktop::notifyWhenInactive(window, u"t", u"b"));
    veltrix::platform::bus::PortalRequest request;
    EXPECT_EQ(veltrix::platform::bus::askPortal(request).outcome,
              veltrix::platform::bus::PortalAnswer::Outcome::Unavailable);
    desktop::unregisterMediaControls(window);
    DestroyWindow(window);
}
