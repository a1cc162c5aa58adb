// The real program on a real X display (Xvfb, no window manager), driven as a
// learner drives it: keys through the X test extension as a keyboard gives
// them, no pause between them unless a person would make one. Each test runs
// its own copy of the program folder with a fresh settings file and its own
// settings and state folders; the pictures it takes stay in the build folder
// (desktop-session/). Runs under run-under-xvfb.sh; without an X display it
// skips itself.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "lyrics/TimeCode.h"
#include "support/TempDir.h"
#include "support/XDesktop.h"
#include "text/NarrowText.h"

extern char** environ;

using veltrix::test::XDesktop;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A UTF-16LE file with its byte-order mark, as UTF-8 text.
std::string utf16File(const fs::path& path) {
    const std::string bytes = readBytes(path);
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') return {};
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return encodeCodePage(text, 65001);
}

// Writes UTF-8 text as a UTF-16LE file with its byte-order mark.
void writeUtf16File(const fs::path& path, const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : decodeCodePage(text, 65001)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    out.push_back(text.substr(start));
    return out;
}

// The start times of a sentence-list file's entries, in milliseconds.
std::vector<std::uint32_t> startTimes(const std::string& xml) {
    std::vector<std::uint32_t> times;
    const std::regex start("startTime='([0-9:]+)'");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), start); it != std::sregex_iterator(); ++it) {
        const std::string code = (*it)[1];
        times.push_back(parseTimeCode(std::u16string(code.begin(), code.end())));
    }
    return times;
}

// One run of the program: its own copy of the program folder (the executable
// copied, Plugins/, Resources/ and Dictionaries/ linked), its own settings
// and state folders, the X display of the test.
class Program {
public:
    explicit Program(const TempDir& dir) : dir_(dir) {
        // A second run in the same folder finds the first one's copy.
        if (fs::exists(folder() / "veltrix")) return;
        fs::create_directories(dir.native("program"));
        fs::copy_file(VELTRIX_EXECUTABLE, folder() / "veltrix");
        for (const char* sub : {"Plugins", "Resources", "Dictionaries"})
            fs::create_directory_symlink(fs::path(VELTRIX_PROGRAM_DIR) / sub, folder() / sub);
        fs::create_directories(dir.native("config"));
        fs::create_directories(dir.native("state"));
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    fs::path folder() const { return dir_.native("program"); }
    fs::path settings() const { return folder() / "veltrix.ini"; }
    fs::path stateFolder() const { return dir_.native("state") / "veltrix"; }

    // Starts `prefix... veltrix` with the test's environment, less what would
    // make it leave the X display, plus the folders of this run.
    void start(std::vector<std::string> prefix = {}, std::vector<std::string> extraEnvironment = {}) {
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("VELTRIX_DISPLAY=", 0) == 0 || entry.rfind("XDG_CONFIG_HOME=", 0) == 0 ||
                entry.rfind("XDG_STATE_HOME=", 0) == 0 || entry.rfind("SDL_AUDIODRIVER=", 0) == 0)
                continue;
            environment.push_back(entry);
        }
        environment.push_back("XDG_CONFIG_HOME=" + dir_.native("config").string());
        environment.push_back("XDG_STATE_HOME=" + dir_.native("state").string());
        // Xvfb has no sound card: SDL's silent output plays in real time.
        environment.push_back("SDL_AUDIODRIVER=dummy");
        for (auto& e : extraEnvironment) environment.push_back(e);
        std::vector<std::string> arguments = std::move(prefix);
        arguments.push_back((folder() / "veltrix").string());
        std::vector<char*> argv, envp;
        for (auto& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);
        ASSERT_EQ(posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()), 0);
    }
    void signal(int number) { ::kill(pid_, number); }
    // The exit status, or -1 when it is still running when the time is up.
    int waitForExit(std::chrono::milliseconds limit) {
        const auto until = Clock::now() + limit;
        while (Clock::now() < until) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }

private:
    const TempDir& dir_;
    pid_t pid_ = -1;
};

class DesktopSession : public ::testing::Test {
protected:
    void SetUp() override {
        x = XDesktop::open();
        if (!x) GTEST_SKIP() << "no X display with the XTEST extension";
        ASSERT_EQ(x->mappedWindows().size(), 0u) << "the display must start empty";
        for (const char* name : {"AskingTheWay.mp3", "AskingTheWay.xml"})
            fs::copy_file(fs::path(VELTRIX_PROGRAM_DIR) / "Samples" / name, lesson(name));
        // Out of the way of tool tips.
        x->moveTo(0, 0);
        x->watch();
        fs::create_directories(pictures());
    }

    fs::path lesson(const char* name) const {
        fs::create_directories(dir.native("lesson"));
        return dir.native("lesson") / name;
    }
    static fs::path pictures() { return fs::path(VELTRIX_PICTURE_DIR); }
    void picture(const std::string& name) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        x->screenshot((pictures() / (std::string(test->name()) + "-" + name + ".png")).string());
    }

    // The window the program mapped first (its main window), once it is up.
    unsigned long mainWindow() {
        unsigned long window = 0;
        x->waitFor(
            [&] {
                for (const auto& e : x->events())
                    if (e.kind == XDesktop::WindowEvent::Kind::Map) {
                        window = e.window;
                        return true;
                    }
                return false;
            },
            20s);
        return window;
    }
    int maps() {
        int count = 0;
        for (const auto& e : x->events()) count += e.kind == XDesktop::WindowEvent::Kind::Map;
        return count;
    }
    // Windows destroyed (each dialog, once closed); a withdrawn window is
    // reported unmapped twice, so unmaps do not count windows.
    int destroyed() {
        int count = 0;
        for (const auto& e : x->events()) count += e.kind == XDesktop::WindowEvent::Kind::Destroy;
        return count;
    }
    // Waits for the number of windows mapped at once to become `count`.
    bool mappedBecome(std::size_t count, std::chrono::milliseconds limit = 10s) {
        return x->waitFor([&] { return x->mappedWindows().size() == count; }, limit);
    }
    void ctrl(unsigned long key, bool shift = false) {
        std::vector<unsigned long> modifiers{XK_Control_L};
        if (shift) modifiers.push_back(XK_Shift_L);
        x->press(key, modifiers);
        x->flush();
    }
    // Ctrl+O, the lesson's path typed into the open dialog (pictured under
    // `picture` when one is named) and Return: the title names the lesson.
    void openLesson(unsigned long main, const std::string& pictureName = {}) {
        ctrl(XK_o);
        ASSERT_TRUE(mappedBecome(2)) << "Ctrl+O did not open the file dialog";
        pause();
        if (!pictureName.empty()) picture(pictureName);
        x->type(lesson("AskingTheWay.mp3").string());
        x->press(XK_Return);
        x->flush();
        ASSERT_TRUE(mappedBecome(1)) << "the dialog did not close";
        ASSERT_TRUE(x->waitFor([&] { return x->title(main).find("AskingTheWay.mp3") != std::string::npos; }, 10s))
            << x->title(main);
    }
    // A person's pause between two actions.
    static void pause(std::chrono::milliseconds ms = 150ms) { std::this_thread::sleep_for(ms); }

    TempDir dir;
    std::unique_ptr<XDesktop> x;
};

TEST_F(DesktopSession, TheMainWindowIsMappedOnceWhereItBelongs) {
    Program program(dir);
    program.start();
    const unsigned long main = mainWindow();
    ASSERT_NE(main, 0u);
    pause(1500ms);  // painted, and whatever else start-up does
    picture("started");
    const auto& events = x->events();
    int mapped = 0;
    for (const auto& e : events) {
        if (e.kind == XDesktop::WindowEvent::Kind::Map) {
            ++mapped;
            EXPECT_EQ(e.window, main);
            // 640 x 480 centred on the screen, the first time.
            EXPECT_EQ(e.x, (x->width() - 640) / 2);
            EXPECT_EQ(e.y, (x->height() - 480) / 2);
            EXPECT_EQ(e.width, 640);
            EXPECT_EQ(e.height, 480);
        }
        EXPECT_FALSE(e.kind == XDesktop::WindowEvent::Kind::Destroy && e.window == main) << "made again";
    }
    EXPECT_EQ(mapped, 1);
    const XDesktop::Rect now = x->geometry(main);
    EXPECT_EQ(now.x, (x->width() - 640) / 2);
    EXPECT_EQ(now.y, (x->height() - 480) / 2);
    program.signal(SIGTERM);
    EXPECT_EQ(program.waitForExit(5s), 0);
}

// The learner's session: open the lesson through the dialog, play it, watch
// the highlight move on, time an untimed sentence while it plays, save, and
// end the program the way a desktop ends it.
TEST_F(DesktopSession, OpenPlayStampSaveAndTerminate) {
    // The third sentence has no time yet: that is the one to stamp.
    std::string lessonXml = utf16File(lesson("AskingTheWay.xml"));
    const auto untimed = lessonXml.find("startTime='00:12:15'");
    ASSERT_NE(untimed, std::string::npos);
    lessonXml.replace(untimed, 20, "startTime='00:00:00'");
    writeUtf16File(lesson("AskingTheWay.xml"), lessonXml);

    Program program(dir);
    program.start();
    const unsigned long main = mainWindow();
    ASSERT_NE(main, 0u);
    ASSERT_TRUE(mappedBecome(1));
    pause(500ms);

    ASSERT_NO_FATAL_FAILURE(openLesson(main, "dialog"));
    picture("opened");

    // At once after the dialog closed: the key must not be lost on the way back.
    ctrl(XK_p);
    const auto playing = Clock::now();
    const XDesktop::Rect window = x->geometry(main);
    // The lyrics view's highlight and the translation pane follow the
    // sentence being played: the first (0.4 s to 5.7 s), then the second.
    std::this_thread::sleep_until(playing + 2500ms);
    picture("playing-sentence-1");
    const auto first = x->pixels(window);
    std::this_thread::sleep_until(playing + 7500ms);
    picture("playing-sentence-2");
    const auto second = x->pixels(window);
    const XDesktop::Rect translation{window.x, window.y + window.height - 113, window.width, 86};
    int changedInTranslation = 0;
    for (int row = 0; row < translation.height; ++row)
        for (int column = 0; column < window.width; ++column) {
            const std::size_t i = static_cast<std::size_t>((translation.y - window.y + row) * window.width + column);
            changedInTranslation += first[i] != second[i];
        }
    EXPECT_GT(changedInTranslation, 200) << "the translation pane did not follow playback";

    // Ctrl+Down selects the second sentence, which moves playback to its
    // start (5.7 s); Ctrl+Shift+T at once selects the untimed third and
    // stamps it with the position, which does not move it.
    x->press(XK_Down, {XK_Control_L});
    x->press(XK_t, {XK_Control_L, XK_Shift_L});
    x->flush();
    ASSERT_TRUE(x->waitFor([&] { return x->title(main).rfind("* ", 0) == 0; }, 5s)) << x->title(main);
    pause();
    ctrl(XK_s);
    ASSERT_TRUE(mappedBecome(2)) << "Ctrl+S did not ask before saving";
    picture("save-question");
    x->press(XK_Return);
    x->flush();
    ASSERT_TRUE(mappedBecome(1));
    ASSERT_TRUE(x->waitFor([&] { return x->title(main).rfind("* ", 0) != 0; }, 5s)) << x->title(main);

    program.signal(SIGTERM);
    const auto signalled = Clock::now();
    EXPECT_EQ(program.waitForExit(5s), 0);
    EXPECT_LT(Clock::now() - signalled, 1s);

    // Only the third sentence's start changed, to where playback was.
    const std::string after = utf16File(lesson("AskingTheWay.xml"));
    ASSERT_FALSE(after.empty()) << "not a UTF-16LE file with its mark";
    const auto oldLines = lines(lessonXml), newLines = lines(after);
    ASSERT_EQ(oldLines.size(), newLines.size());
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < oldLines.size(); ++i)
        if (oldLines[i] != newLines[i]) differing.push_back(i);
    ASSERT_EQ(differing.size(), 1u) << after;
    EXPECT_NE(newLines[differing[0]].find("endTime='00:14:13'"), std::string::npos) << newLines[differing[0]];
    const auto oldTimes = startTimes(lessonXml), newTimes = startTimes(after);
    ASSERT_EQ(oldTimes.size(), newTimes.size());
    for (std::size_t i = 0; i < oldTimes.size(); ++i) {
        if (i != 2) {
            EXPECT_EQ(oldTimes[i], newTimes[i]) << "sentence " << i;
        }
    }
    EXPECT_GE(newTimes[2], 5700u);
    EXPECT_LT(newTimes[2], 6700u);

    // The settings and the placement were saved on the way out.
    const std::string settings = utf16File(program.settings());
    EXPECT_NE(settings.find("[Window]"), std::string::npos) << settings;
    EXPECT_NE(settings.find("MainWidth=640"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Tempo=100"), std::string::npos) << settings;
    EXPECT_NE(settings.find("RecentFile0=" + lesson("AskingTheWay.mp3").string()), std::string::npos) << settings;
}

// The lesson exported at Tempo 80 from the player's menu: a click on
// "Menu...", the item's access key, the target typed into the save dialog;
// the Converting window comes and goes, and the new file's lyrics frame,
// read by mutagen, holds every sentence at its start x 100 / 80.
TEST_F(DesktopSession, ExportTheLessonAsAnMp3WithLyrics) {
    Program program(dir);
    writeUtf16File(program.settings(), "[Player]\r\nTempo=80\r\n");
    program.start();
    const unsigned long main = mainWindow();
    ASSERT_NE(main, 0u);
    ASSERT_TRUE(mappedBecome(1));
    pause(500ms);
    ASSERT_NO_FATAL_FAILURE(openLesson(main));
    pause();

    // "Menu..." sits at the left of the bottom row.
    const XDesktop::Rect window = x->geometry(main);
    x->moveTo(window.x + 4 + 30, window.y + window.height - 24 + 12);
    pause();
    x->click(1);
    x->flush();
    ASSERT_TRUE(mappedBecome(2)) << "no menu";
    pause();
    picture("menu");
    x->type("a");  // "Save &As MP3 File (with Lyrics)..."
    x->flush();
    auto titled = [&](const std::string& title) {
        return x->waitFor(
            [&] {
                for (unsigned long w : x->mappedWindows())
                    if (x->title(w) == title) return true;
                return false;
            },
            10s);
    };
    ASSERT_TRUE(titled("Save As MP3"));
    pause();
    const fs::path target = dir.native("lesson") / "slow.mp3";
    x->type(target.string());
    x->press(XK_Return);
    x->flush();
    ASSERT_TRUE(titled("Converting"));
    picture("converting");
    ASSERT_TRUE(mappedBecome(1, 60s)) << "the export did not end";
    // The tag is written once the window has gone; the file appears whole.
    ASSERT_TRUE(x->waitFor([&] { return fs::exists(target); }, 10s));
    EXPECT_FALSE(fs::exists(target.string() + ".veltrix-encoding"));

    std::string listed;
    const std::string command =
        "/usr/bin/python3 -c 'import sys; from mutagen.id3 import ID3\n"
        "for text, ms in ID3(sys.argv[1]).getall(\"SYLT\")[0].text: print(ms)' '" +
        target.string() + "'";
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) listed.append(buffer, n);
        ::pclose(pipe);
    }
    std::string expected;
    for (std::uint32_t start : startTimes(utf16File(lesson("AskingTheWay.xml"))))
        expected += std::to_string(static_cast<std::uint32_t>(start * (100.0 / 80))) + "\n";
    EXPECT_EQ(listed, expected);

    program.signal(SIGTERM);
    EXPECT_EQ(program.waitForExit(5s), 0);
}

// Unsaved edits when the process is told to end: the XML file stays as it
// was, the edits wait in the state folder, and the next open offers them.
TEST_F(DesktopSession, ASignalKeepsUnsavedEditsForTheNextOpen) {
    const std::string original = readBytes(lesson("AskingTheWay.xml"));
    {
        Program program(dir);
        program.start();
        const unsigned long main = mainWindow();
        ASSERT_NE(main, 0u);
        ASSERT_TRUE(mappedBecome(1));
        pause(500ms);
        ctrl(XK_o);
        ASSERT_TRUE(mappedBecome(2));
        x->type(lesson("AskingTheWay.mp3").string());
        x->press(XK_Return);
        x->flush();
        ASSERT_TRUE(x->waitFor([&] { return x->title(main).find("AskingTheWay.mp3") != std::string::npos; }, 10s));
        // Clear the first sentence's times: an unsaved edit.
        ctrl(XK_r);
        ASSERT_TRUE(x->waitFor([&] { return x->title(main).rfind("* ", 0) == 0; }, 5s)) << x->title(main);
        program.signal(SIGTERM);
        EXPECT_EQ(program.waitForExit(5s), 0);
        EXPECT_EQ(readBytes(lesson("AskingTheWay.xml")), original);
        ASSERT_TRUE(fs::exists(program.stateFolder()));
        int kept = 0;
        for (const auto& entry : fs::directory_iterator(program.stateFolder())) {
            ++kept;
            EXPECT_EQ(entry.path().filename().string().rfind("AskingTheWay-", 0), 0u) << entry.path();
            const auto times = startTimes(utf16File(entry.path()));
            ASSERT_EQ(times.size(), 8u);
            EXPECT_EQ(times[0], 0u);
        }
        EXPECT_EQ(kept, 1);
    }
    x->watch();
    Program again(dir);
    again.start();
    const unsigned long main = mainWindow();
    ASSERT_NE(main, 0u);
    ASSERT_TRUE(mappedBecome(1));
    pause(500ms);
    ctrl(XK_o);
    ASSERT_TRUE(mappedBecome(2));
    x->type(lesson("AskingTheWay.mp3").string());
    x->press(XK_Return);
    x->flush();
    // The dialog goes and the offer comes.
    ASSERT_TRUE(x->waitFor([&] { return destroyed() >= 1 && x->mappedWindows().size() == 2; }, 10s));
    picture("offer");
    x->press(XK_Return);  // Yes
    x->flush();
    ASSERT_TRUE(mappedBecome(1));
    ASSERT_TRUE(x->waitFor([&] { return x->title(main).rfind("* ", 0) == 0; }, 5s)) << x->title(main);
    for (const auto& entry : fs::directory_iterator(again.stateFolder())) ADD_FAILURE() << "left " << entry.path();
    ctrl(XK_s);
    ASSERT_TRUE(mappedBecome(2));
    x->press(XK_Return);
    x->flush();
    ASSERT_TRUE(mappedBecome(1));
    ASSERT_TRUE(x->waitFor([&] { return x->title(main).rfind("* ", 0) != 0; }, 5s));
    const auto times = startTimes(utf16File(lesson("AskingTheWay.xml")));
    ASSERT_EQ(times.size(), 8u);
    EXPECT_EQ(times[0], 0u);
    EXPECT_EQ(times[1], 5700u);
    again.signal(SIGTERM);
    EXPECT_EQ(again.waitForExit(5s), 0);
}

// Keys typed faster than the program handles them keep their order: each
// Ctrl+O opens the file dialog and the Escape after it closes it again.
TEST_F(DesktopSession, TwoHundredOpenAndEscapePairsTypedAtOnce) {
    Program program(dir);
    program.start();
    const unsigned long main = mainWindow();
    ASSERT_NE(main, 0u);
    ASSERT_TRUE(mappedBecome(1));
    pause(500ms);
    constexpr int kPairs = 200;
    for (int i = 0; i < kPairs; ++i) {
        x->press(XK_o, {XK_Control_L});
        x->press(XK_Escape);
    }
    x->flush();
    const auto typed = Clock::now();
    const bool all = x->waitFor([&] { return maps() == 1 + kPairs && destroyed() == kPairs; }, 150s);
    EXPECT_TRUE(all) << "dialogs opened: " << maps() - 1 << ", closed: " << destroyed();
    std::printf("%d dialogs opened and closed in %.1f s\n", kPairs,
                std::chrono::duration<double>(Clock::now() - typed).count());
    pause(500ms);
    EXPECT_EQ(maps(), 1 + kPairs);
    EXPECT_EQ(x->mappedWindows().size(), 1u);
    // Still listening.
    const unsigned long focus = x->focus();
    ctrl(XK_o);
    EXPECT_TRUE(mappedBecome(2)) << "main window " << main << ", keyboard at " << focus;
    x->press(XK_Escape);
    x->flush();
    EXPECT_TRUE(mappedBecome(1));
    program.signal(SIGTERM);
    EXPECT_EQ(program.waitForExit(5s), 0);
}

TEST_F(DesktopSession, UncoveringTheWindowShowsItAgain) {
    Program program(dir);
    program.start();
    const unsigned long main = mainWindow();
    ASSERT_NE(main, 0u);
    ASSERT_TRUE(mappedBecome(1));
    pause(1000ms);
    const XDesktop::Rect window = x->geometry(main);
    // The bottom rows (buttons, slider, label) do not blink.
    const XDesktop::Rect steady{window.x, window.y + window.height - 30, window.width, 30};
    const auto before = x->pixels(steady);
    constexpr unsigned int kCover = 0xFF00FF;
    const unsigned long cover = x->showCover(window, kCover);
    pause(300ms);
    EXPECT_EQ(x->pixel(window.x + 10, window.y + 10), kCover);
    x->hideCover(cover);
    pause(500ms);
    picture("uncovered");
    int left = 0;
    for (unsigned int p : x->pixels(window)) left += p == kCover;
    EXPECT_EQ(left, 0) << "pixels of the cover stayed on the window";
    EXPECT_EQ(x->pixels(steady), before);
    program.signal(SIGTERM);
    EXPECT_EQ(program.waitForExit(5s), 0);
}

// `timeout 5 veltrix`: the program closes itself cleanly on the signal, and
// timeout reports that the time ran out.
TEST_F(DesktopSession, TimeoutEndsItCleanly) {
    Program program(dir);
    const auto started = Clock::now();
    program.start({"/usr/bin/timeout", "5"});
    ASSERT_NE(mainWindow(), 0u);
    EXPECT_EQ(program.waitForExit(10s), 124);
    EXPECT_LT(Clock::now() - started, 6500ms);
    const std::string settings = utf16File(program.settings());
    EXPECT_NE(settings.find("MainLeft="), std::string::npos) << settings;
    EXPECT_NE(settings.find("[Player]"), std::string::npos) << settings;
}

// Not on the X display at all: one clear line, and no process left running.
TEST(NoDisplay, SaysWhatItLookedForAndExits) {
    TempDir dir;
    Program program(dir);
    const fs::path err = dir.native("stderr.txt");
    const std::string run = "timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY -u VELTRIX_DISPLAY -u SDL_VIDEODRIVER '" +
                            (program.folder() / "veltrix").string() + "' 2>'" + err.string() + "'";
    const int status = std::system(run.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string said = readBytes(err);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("DISPLAY is not set"), std::string::npos) << said;
    EXPECT_NE(said.find("WAYLAND_DISPLAY is not set"), std::string::npos) << said;
    EXPECT_NE(said.find("VELTRIX_DISPLAY=headless"), std::string::npos) << said;
}

}  // namespace
