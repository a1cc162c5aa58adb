// A new learner's first session with the player's menu, on the SDL display of
// a virtual X server with real X input: the program is started as a user
// starts it, the sample lesson opened with Ctrl+O, then from "Menu...": the
// LRC file, the MP3 with lyrics, the ID3 block edited and saved with Ctrl+S,
// another theme, and the word list with Ctrl+W. Pictures of each step go to
// "pictures/menu-x-<step>-<what>.png" in the program folder. Without an X display with
// the XTEST extension it skips itself.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/Utf16Ascii.h"
#include "support/XDesktop.h"

// Last: X's macros (None, Bool) would break the headers above.
#include <X11/keysym.h>

namespace fs = std::filesystem;
using veltrix::test::XDesktop;

extern char** environ;

namespace {

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

using veltrix::test::asciiOfUtf16File;

// Heights of the menu's rows as the pop-up lays them out: text items and
// separators, inside a 4-pixel frame.
constexpr int kItemHeight = 28;
constexpr int kSeparatorHeight = 9;
constexpr int kFramePad = 4;

class MenuSession {
public:
    explicit MenuSession(XDesktop& x) : x_(x) {}

    std::optional<unsigned long> windowTitled(const std::string& title, int ms) {
        for (int waited = 0; waited < ms; waited += 50) {
            for (unsigned long w : x_.mappedWindows())
                if (x_.title(w).find(title) != std::string::npos) return w;
            pause(50);
        }
        return std::nullopt;
    }
    // A window mapped since `before` was taken.
    std::optional<unsigned long> newWindow(const std::vector<unsigned long>& before, int ms) {
        for (int waited = 0; waited < ms; waited += 50) {
            for (unsigned long w : x_.mappedWindows())
                if (std::find(before.begin(), before.end(), w) == before.end()) return w;
            pause(50);
        }
        return std::nullopt;
    }
    void pointInto(unsigned long window, int dx = -1, int dy = -1) {
        const XDesktop::Rect r = x_.geometry(window);
        x_.moveTo(r.x + (dx < 0 ? r.width / 2 : dx), r.y + (dy < 0 ? r.height / 2 : dy));
        pause(150);
    }
    // Clicks row `row` of the pop-up that opens; separators are the rows listed.
    bool chooseRow(const std::vector<unsigned long>& before, int row, const std::set<int>& separators) {
        const auto popup = newWindow(before, 3000);
        if (!popup) return false;
        pause(300);
        const XDesktop::Rect r = x_.geometry(*popup);
        int y = kFramePad;
        for (int k = 0; k < row; ++k) y += separators.count(k) ? kSeparatorHeight : kItemHeight;
        x_.moveTo(r.x + 40, r.y + y + kItemHeight / 2);
        pause(200);
        shot("menu");
        x_.click(1);
        pause(300);
        return true;
    }
    // "Menu..." at the left of the bottom row, then the row of its pop-up.
    bool menu(unsigned long main, int row) {
        const XDesktop::Rect r = x_.geometry(main);
        const auto before = x_.mappedWindows();
        x_.moveTo(r.x + 34, r.y + r.height - 13);
        pause(200);
        x_.click(1);
        return chooseRow(before, row, {1, 5, 8, 11, 13, 15});
    }
    // "pictures/menu-x-<step>-<what>.png", numbered in the order taken.
    void shot(const std::string& what) {
        fs::create_directories("pictures");
        const int n = shots_++;
        const std::string step = (n < 10 ? "0" : "") + std::to_string(n);
        x_.screenshot((fs::path("pictures") / ("menu-x-" + step + "-" + what + ".png")).string());
    }
    void erase(int count) {
        x_.press(XK_End);
        for (int i = 0; i < count; ++i) x_.press(XK_BackSpace);
        x_.flush();
    }

private:
    XDesktop& x_;
    int shots_ = 0;
};

// The program started for the test, ended with it however the test ends.
struct RunningProgram {
    pid_t pid = -1;
    fs::path work;
    ~RunningProgram() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            for (int waited = 0; waited < 5000 && waitpid(pid, nullptr, WNOHANG) != pid; waited += 50) pause(50);
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        std::error_code ignored;
        if (!work.empty()) fs::remove_all(work, ignored);
    }
};

bool waitForFile(const fs::path& path, int ms) {
    for (int waited = 0; waited < ms; waited += 100) {
        std::error_code ignored;
        if (fs::exists(path) && fs::file_size(path, ignored) > 0) return true;
        pause(100);
    }
    return false;
}

}  // namespace

TEST(MenuUnderX, ANewLearnersFirstSessionWithTheMenu) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display";
    std::unique_ptr<XDesktop> x = XDesktop::open();
    if (!x) GTEST_SKIP() << "no X display with the XTEST extension";

    char pattern[] = "/tmp/veltrixXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    RunningProgram running;
    const fs::path work = running.work = pattern;
    for (const char* name : {"AskingTheWay.mp3", "AskingTheWay.xml"})
        fs::copy_file(fs::current_path() / "Samples" / name, work / name);

    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        if (!entry.starts_with("VELTRIX_DISPLAY=") && !entry.starts_with("VELTRIX_OPEN_DOWNLOADER=") &&
            !entry.starts_with("LC_ALL=") && !entry.starts_with("LANG="))
            environment.push_back(entry);
    }
    environment.push_back("SDL_AUDIODRIVER=dummy");
    environment.push_back("LANG=en_US.UTF-8");
    std::vector<char*> envp;
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string program = VELTRIX_PROGRAM;
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const fs::path here = fs::current_path();
    fs::current_path(work);
    ASSERT_EQ(posix_spawn(&running.pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    fs::current_path(here);

    MenuSession s(*x);
    const auto before = x->mappedWindows();
    const auto main = s.newWindow(before, 20000);
    ASSERT_TRUE(main) << "the program did not open its window";
    pause(1000);

    // Ctrl+O, the lesson's path typed into the open dialog.
    s.pointInto(*main);
    auto windows = x->mappedWindows();
    x->press(XK_o, {XK_Control_L});
    x->flush();
    const auto open = s.newWindow(windows, 5000);
    ASSERT_TRUE(open) << "no open dialog";
    pause(400);
    s.pointInto(*open);
    x->type((work / "AskingTheWay.mp3").string());
    x->press(XK_Return);
    x->flush();
    ASSERT_TRUE(s.windowTitled("AskingTheWay", 5000)) << "the lesson did not open";
    pause(500);
    s.shot("lesson");

    // The LRC file, under the name the dialog offers beside the audio.
    windows = x->mappedWindows();
    ASSERT_TRUE(s.menu(*main, 3));
    const auto lrcDialog = s.newWindow(windows, 5000);
    ASSERT_TRUE(lrcDialog) << "no save dialog for the LRC file";
    EXPECT_EQ(x->title(*lrcDialog), "Save As .lrc File");
    pause(300);
    s.pointInto(*lrcDialog);
    s.shot("lrc-dialog");
    x->press(XK_Return);
    x->flush();
    ASSERT_TRUE(waitForFile(work / "AskingTheWay.lrc", 5000));
    pause(500);

    // The MP3 with lyrics, under a name of the learner's own.
    windows = x->mappedWindows();
    s.pointInto(*main);
    ASSERT_TRUE(s.menu(*main, 2));
    const auto mp3Dialog = s.newWindow(windows, 5000);
    ASSERT_TRUE(mp3Dialog) << "no save dialog for the MP3 file";
    pause(300);
    s.pointInto(*mp3Dialog);
    s.erase(40);
    x->type((work / "AskingTheWay-lyrics.mp3").string());
    x->press(XK_Return);
    x->flush();
    if (s.windowTitled("Converting", 5000)) {
        s.shot("converting");
        for (int waited = 0; waited < 60000 && s.windowTitled("Converting", 0); waited += 200) pause(200);
    }
    EXPECT_TRUE(waitForFile(work / "AskingTheWay-lyrics.mp3", 10000));
    pause(500);

    // The ID3 block: a new title, Return for OK, then Ctrl+S and Return for Yes.
    windows = x->mappedWindows();
    s.pointInto(*main);
    ASSERT_TRUE(s.menu(*main, 10));
    const auto id3 = s.newWindow(windows, 5000);
    ASSERT_TRUE(id3) << "no ID3 editor";
    EXPECT_EQ(x->title(*id3), "ID3 Editor");
    pause(300);
    s.pointInto(*id3);
    s.erase(30);
    x->type("Asking the Way - part 1");
    x->flush();
    pause(300);
    s.shot("id3");
    x->press(XK_Return);
    x->flush();
    pause(500);
    s.pointInto(*main);
    windows = x->mappedWindows();
    x->press(XK_s, {XK_Control_L});
    x->flush();
    const auto question = s.newWindow(windows, 5000);
    ASSERT_TRUE(question) << "no question before saving";
    pause(300);
    s.pointInto(*question);
    x->press(XK_Return);
    x->flush();
    bool saved = false;
    for (int waited = 0; waited < 5000 && !saved; waited += 100) {
        saved = asciiOfUtf16File(work / "AskingTheWay.xml").find("<title>Asking the Way - part 1</title>") !=
                std::string::npos;
        if (!saved) pause(100);
    }
    EXPECT_TRUE(saved) << asciiOfUtf16File(work / "AskingTheWay.xml");
    pause(300);

    // "Theme...", then the second theme ("Night"): the lyrics view goes dark.
    s.pointInto(*main);
    windows = x->mappedWindows();
    ASSERT_TRUE(s.menu(*main, 16));
    ASSERT_TRUE(s.chooseRow(windows, 1, {}));
    pause(500);
    const XDesktop::Rect r = x->geometry(*main);
    const std::vector<unsigned int> view = x->pixels({r.x + r.width / 2, r.y + 60, r.width / 2 - 30, 100});
    EXPECT_NE(std::find(view.begin(), view.end(), 0x1D2026u), view.end()) << "the lyrics view is not dark";
    s.shot("theme");

    // The word list, with Ctrl+W.
    s.pointInto(*main);
    x->press(XK_w, {XK_Control_L});
    x->flush();
    EXPECT_TRUE(s.windowTitled("Word List", 5000));
    pause(500);
    s.shot("word-list");
}
