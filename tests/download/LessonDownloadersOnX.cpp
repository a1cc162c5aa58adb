// The whole program on the SDL display of a virtual X server, driven with real
// X input: the phrase downloader opened from the environment switch in a
// program folder of its own (the stand-in recorder and ffmpeg in Plugins/,
// hosts in its settings file pointing at a site on 127.0.0.1). The learner
// presses "Analyze" and "Download", names the sentence list in the save dialog
// that follows and clicks its "Save", and closes the downloader; the voices,
// the saved list and the remembered address are checked. Run under xvfb-run (see tests/platform/run-under-xvfb.sh);
// without an X display it skips itself.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

#include "support/HttpTestServer.h"
#include "support/Utf16Ascii.h"
#include "support/XDesktop.h"

namespace fs = std::filesystem;
using veltrix::test::XDesktop;

extern char** environ;

namespace {

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string phrasePage(const std::string& sentence, const std::string& translation, const std::string& stream) {
    return "<html><body><div class=\"phrase_main_padding\"><p class=\"en\"><span>" + sentence +
           "</span></p>"
           "<p class=\"jp\">" +
           translation +
           "</p><div class=\"phrase_kaisetsu\">解説</div>"
           "<script>r('" +
           stream + "');</script></div></body></html>";
}

using veltrix::test::asciiOfUtf16;

struct Program {
    fs::path folder;
    pid_t pid = -1;

    // A program folder of its own: the executable copied (it finds its
    // folder from its own path), the build's resources and audio modules, the
    // stand-in recorder and ffmpeg.
    explicit Program(const fs::path& where) : folder(where) {
        const fs::path build = fs::path(VELTRIX_PROGRAM).parent_path();
        fs::create_directories(folder / "Plugins");
        fs::copy_file(VELTRIX_PROGRAM, folder / "veltrix");
        for (const char* data : {"Resources", "Dictionaries"})
            if (fs::exists(build / data)) fs::create_directory_symlink(build / data, folder / data);
        for (const auto& entry : fs::directory_iterator(build / "Plugins"))
            if (entry.path().extension() == ".so")
                fs::create_symlink(entry.path(), folder / "Plugins" / entry.path().filename());
        fs::copy_file(VELTRIX_STANDIN, folder / "Plugins" / "flvstreamer");
        fs::permissions(folder / "Plugins" / "flvstreamer", fs::perms::owner_all, fs::perm_options::add);
        fs::create_symlink(VELTRIX_FFMPEG, folder / "Plugins" / "ffmpeg");
    }

    void start(const fs::path& currentFolder) {
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.starts_with("VELTRIX_DISPLAY=")) continue;  // the real display, not the headless one
            environment.push_back(entry);
        }
        environment.push_back("VELTRIX_OPEN_DOWNLOADER=phrases");
        environment.push_back("SDL_AUDIODRIVER=dummy");
        std::vector<char*> envp;
        for (auto& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);
        const std::string program = (folder / "veltrix").string();
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        const fs::path before = fs::current_path();
        fs::current_path(currentFolder);
        ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
        fs::current_path(before);
    }

    // Waits for the program to end by itself; ends it otherwise.
    bool ended(int milliseconds) {
        for (int waited = 0; waited < milliseconds; waited += 50) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
            pause(50);
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return false;
    }
};

// The X desktop as the learner's eyes and hands: windows found by title,
// clicks where the eyes put them.
struct Learner {
    std::unique_ptr<XDesktop> desktop = XDesktop::open();
    const char* pictures = std::getenv("VELTRIX_SAVE_PICTURES");

    std::optional<unsigned long> window(const std::string& title) {
        for (unsigned long w : desktop->mappedWindows())
            if (desktop->title(w) == title) return w;
        return std::nullopt;
    }
    std::optional<XDesktop::Rect> waitForWindow(const std::string& title, int milliseconds) {
        for (int waited = 0; waited <= milliseconds; waited += 100) {
            if (auto w = window(title)) return desktop->geometry(*w);
            pause(100);
        }
        return std::nullopt;
    }
    bool waitUntilGone(const std::string& title, int milliseconds) {
        for (int waited = 0; waited <= milliseconds; waited += 100) {
            if (!window(title)) return true;
            pause(100);
        }
        return false;
    }
    void click(int x, int y) {
        desktop->moveTo(x, y);
        pause(100);
        desktop->click(1);
        pause(100);
    }
    void picture(const std::string& name) {
        if (pictures) desktop->screenshot(std::string(pictures) + "/" + name);
    }
};

TEST(LessonDownloadersOnX, ThePhraseDownloaderAnalysesDownloadsAndSavesWithRealInput) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display";
    Learner learner;
    if (!learner.desktop) GTEST_SKIP() << "no X display with the XTEST extension";

    char pattern[] = "/tmp/veltrixXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;

    HttpTestServer server;
    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    server.route("/english/list/1", HttpTestServer::page("<ul><li><a href='/english/phrase/501?list=1'>1</a></li>"
                                                         "<li><a href='/english/phrase/502'>2</a></li>"
                                                         "<li><a href='/english/about.html'>about</a></li></ul>"));
    server.route("/english/phrase/501",
                 HttpTestServer::page(phrasePage("Take your time.", "ごゆっくりどうぞ。", "gogakuru/voice/x501_1s")));
    server.route("/english/phrase/502",
                 HttpTestServer::page(phrasePage("After you.", "お先にどうぞ。", "gogakuru/voice/x502_1s")));

    Program program(root / "program");
    {
        std::ofstream ini(program.folder / "veltrix.ini");
        ini << "[Hosts]\nGogakuruSite=" << host << "\nGogakuruStream=" << host << "\nGogakuruPlayer=" << host
            << "\n[NHK]\nGogakuruURL=" << host << "/english/list/1\n";
    }
    fs::create_directories(root / "work");
    program.start(root / "work");

    const std::string title = "Gogakuru Downloader";
    const std::optional<XDesktop::Rect> dialog = learner.waitForWindow(title, 20000);
    ASSERT_TRUE(dialog) << "the downloader did not open";
    pause(500);
    learner.picture("phrase-x-opened.png");

    // "Analyze" (444, 4; 64 x 20): the address from the settings is in the field.
    learner.click(dialog->x + 476, dialog->y + 14);
    pause(1500);
    learner.picture("phrase-x-analysed.png");
    // "Download" (55, 28; 80 x 20).
    learner.click(dialog->x + 95, dialog->y + 38);

    const std::string saveTitle = "xml 保存先を選んでください";
    const std::optional<XDesktop::Rect> save = learner.waitForWindow(saveTitle, 30000);
    ASSERT_TRUE(save) << "no save dialog";
    pause(500);
    // The proposed name is selected in the name field: typing replaces it.
    // Lower-case and plain, so that it is typed key by key.
    const fs::path target = root / "work" / "phrases.xml";
    learner.desktop->type(target.string());
    learner.desktop->flush();
    pause(300);
    learner.picture("phrase-x-save.png");
    // "Save": 96 x 28, 12 from the right, two rows and their gaps above the bottom.
    learner.click(save->x + save->width - 12 - 48, save->y + save->height - 12 - 26 - 10 - 26 + 13);
    EXPECT_TRUE(learner.waitUntilGone(saveTitle, 10000)) << "clicking Save did not close the save dialog";
    pause(500);
    learner.picture("phrase-x-saved.png");
    EXPECT_TRUE(fs::exists(program.folder / "voices" / "x501_1s.mp3"));
    EXPECT_TRUE(fs::exists(program.folder / "voices" / "x502_1s.mp3"));
    const std::string saved = readFile(target);
    EXPECT_TRUE(saved.starts_with("\xFF\xFE")) << "no UTF-16 sentence list at " << target;
    EXPECT_NE(asciiOfUtf16(saved).find("After you."), std::string::npos);

    // Closing the dialog writes the address back; then the program is closed.
    if (auto w = learner.window(title)) learner.desktop->close(*w);
    EXPECT_TRUE(learner.waitUntilGone(title, 5000));
    pause(500);
    const std::string settings = asciiOfUtf16(readFile(program.folder / "veltrix.ini"));
    EXPECT_NE(settings.find("GogakuruURL=http://" + host + "/english/list/1"), std::string::npos) << settings;
    kill(program.pid, SIGTERM);
    program.ended(5000);
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

}  // namespace
