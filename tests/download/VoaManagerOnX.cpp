// The whole program on the SDL display of a virtual X server with real X
// input: the news-item list manager opened from the environment switch over a
// "voa.xml" in the current folder. The learner drags an item with the mouse
// into a folder of the tree and closes the manager; "voa.xml" then holds the
// item inside the folder. Run under xvfb-run; without an X display it skips.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

#include "support/Utf16Ascii.h"
#include "support/XDesktop.h"

namespace fs = std::filesystem;
using veltrix::test::XDesktop;

extern char** environ;

namespace {

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

using veltrix::test::asciiOfUtf16File;

TEST(VoaManagerOnX, AnItemDraggedIntoAFolderIsSavedThereWhenTheManagerCloses) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display";
    std::unique_ptr<XDesktop> desktop = XDesktop::open();
    if (!desktop) GTEST_SKIP() << "no X display with the XTEST extension";

    char pattern[] = "/tmp/veltrixXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path work = pattern;
    {
        std::ofstream list(work / "voa.xml");
        list << "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<voa>\n"
                "<TreeItem path=\"Health\" state=\"32\"><TreeItem path=\"a.xml\"/></TreeItem>\n"
                "<TreeItem path=\"b.xml\"/>\n</voa>\n";
    }
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e)
        if (!std::string(*e).starts_with("VELTRIX_DISPLAY=")) environment.push_back(*e);
    environment.push_back("VELTRIX_OPEN_DOWNLOADER=voa");
    environment.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<char*> envp;
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string program = VELTRIX_PROGRAM;
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const fs::path before = fs::current_path();
    fs::current_path(work);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    fs::current_path(before);

    std::optional<XDesktop::Rect> dialog;
    for (int waited = 0; waited < 20000 && !dialog; waited += 100) {
        for (unsigned long w : desktop->mappedWindows())
            if (desktop->title(w) == "VOA") dialog = desktop->geometry(w);
        if (!dialog) pause(100);
    }
    ASSERT_TRUE(dialog) << "the manager did not open";
    pause(800);
    if (const char* pictures = std::getenv("VELTRIX_SAVE_PICTURES"))
        desktop->screenshot(std::string(pictures) + "/voa-x-opened.png");

    // Rows of the tree (below the field row and the tab strip): the document,
    // Health, a.xml, b.xml. Labels start right of the icons.
    const int top = dialog->y + 28 + 24 + 2;
    const int row = 18;
    auto rowPoint = [&](int index) {
        return std::pair{dialog->x + 62 + 19 * (index == 2 ? 1 : 0), top + row * index + row / 2};
    };
    const auto [fromX, fromY] = rowPoint(3);
    const auto [toX, toY] = rowPoint(1);
    desktop->moveTo(fromX, fromY);
    pause(150);
    desktop->button(1, true);
    pause(150);
    for (int step = 1; step <= 6; ++step) {
        desktop->moveTo(fromX, fromY - (fromY - toY) * step / 6);
        pause(80);
    }
    desktop->button(1, false);
    pause(500);
    if (const char* pictures = std::getenv("VELTRIX_SAVE_PICTURES"))
        desktop->screenshot(std::string(pictures) + "/voa-x-dragged.png");

    for (unsigned long w : desktop->mappedWindows())
        if (desktop->title(w) == "VOA") desktop->close(w);
    pause(1500);
    const std::string saved = asciiOfUtf16File(work / "voa.xml");
    const std::size_t health = saved.find("path=\"Health\"");
    const std::size_t b = saved.find("path=\"b.xml\"");
    const std::size_t healthEnd = saved.find("</TreeItem>", health);
    EXPECT_NE(b, std::string::npos) << saved;
    EXPECT_LT(health, b) << saved;
    EXPECT_LT(b, healthEnd) << "b.xml is not inside Health:\n" << saved;

    kill(pid, SIGTERM);
    for (int waited = 0; waited < 5000 && waitpid(pid, nullptr, WNOHANG) != pid; waited += 50) pause(50);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::error_code ignored;
    fs::remove_all(work, ignored);
}

}  // namespace
