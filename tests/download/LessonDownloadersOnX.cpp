// The whole program on the SDL display of a virtual X server, driven with real
// X input: the phrase downloader opened from the environment switch in a
// program folder of its own (the stand-in recorder and ffmpeg in Plugins/,
// hosts in its settings file pointing at a site on 127.0.0.1). The learner
// presses "Analyze" and "Download", turns down the save dialog that follows,
// and closes the downloader; the voices and the remembered address are
// checked. Run under xvfb-run (see tests/platform/run-under-xvfb.sh); without
// an X display it skips itself.
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
#include <thread>

#include "XScreen.h"
#include "support/HttpTestServer.h"

namespace fs = std::filesystem;
using veltrix::test::ScreenRect;
using veltrix::test::XScreen;

extern char** environ;

namespace {

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string phrasePage(const std::string& sentence, const std::string& translation, const std::string& stream) {
    return "<html><body><div class=\"phrase_main_padding\"><p class=\"en\"><span>" + sentence + "</span></p>"
           "<p class=\"jp\">" + translation + "</p><div class=\"phrase_kaisetsu\">解説</div>"
           "<script>r('" + stream + "');</script></div></body></html>";
}

// UTF-16LE bytes as UTF-8, for reading the settings file (ASCII is enough here).
std::string asciiOfUtf16(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        if (bytes[i + 1] == 0) out += bytes[i];
    return out;
}

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
            if (entry.path().extension() == ".so") fs::create_symlink(entry.path(), folder / "Plugins" / entry.path().filename());
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

TEST(LessonDownloadersOnX, ThePhraseDownloaderAnalysesAndDownloadsWithRealInput) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display";
    std::unique_ptr<XScreen> screen = XScreen::open();
    if (!screen) GTEST_SKIP() << "no X display with the XTEST extension";

    char pattern[] = "/tmp/veltrixXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    const char* pictures = std::getenv("VELTRIX_SAVE_PICTURES");
    auto picture = [&](const std::string& name) {
        if (pictures) screen->screenshot(std::string(pictures) + "/" + name);
    };

    HttpTestServer server;
    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    server.route("/english/list/1", HttpTestServer::page("<ul><li><a href='/english/phrase/501?list=1'>1</a></li>"
                                                         "<li><a href='/english/phrase/502'>2</a></li>"
                                                         "<li><a href='/english/about.html'>about</a></li></ul>"));
    server.route("/english/phrase/501", HttpTestServer::page(phrasePage("Take your time.", "ごゆっくりどうぞ。",
                                                                        "gogakuru/voice/x501_1s")));
    server.route("/english/phrase/502", HttpTestServer::page(phrasePage("After you.", "お先にどうぞ。",
                                                                        "gogakuru/voice/x502_1s")));

    Program program(root / "program");
    {
        std::ofstream ini(program.folder / "veltrix.ini");
        ini << "[Hosts]\nGogakuruSite=" << host << "\nGogakuruStream=" << host << "\nGogakuruPlayer=" << host
            << "\n[NHK]\nGogakuruURL=" << host << "/english/list/1\n";
    }
    fs::create_directories(root / "work");
    program.start(root / "work");

    const std::optional<ScreenRect> dialog = screen->waitForWindow("Gogakuru Downloader", 20000);
    ASSERT_TRUE(dialog) << "the downloader did not open";
    pause(500);
    picture("phrase-x-opened.png");

    // "Analyze" (444, 4; 64 x 20): the address from the settings is in the field.
    screen->click(dialog->x + 476, dialog->y + 14);
    pause(1500);
    picture("phrase-x-analysed.png");
    // "Download" (55, 28; 80 x 20).
    screen->click(dialog->x + 95, dialog->y + 38);

    const std::optional<ScreenRect> save = screen->waitForWindow("xml 保存先を選んでください", 30000);
    ASSERT_TRUE(save) << "no save dialog";
    pause(500);
    picture("phrase-x-save.png");
    // Saving through the dialog is covered on the headless display; here the
    // learner turns it down, which must leave the voices and the program well.
    EXPECT_TRUE(screen->closeWindow("xml 保存先を選んでください"));
    pause(1000);
    picture("phrase-x-downloaded.png");
    EXPECT_FALSE(screen->findWindow("xml 保存先を選んでください"));
    EXPECT_TRUE(fs::exists(program.folder / "voices" / "x501_1s.mp3"));
    EXPECT_TRUE(fs::exists(program.folder / "voices" / "x502_1s.mp3"));

    // Closing the dialog writes the address back; then the program is closed.
    EXPECT_TRUE(screen->closeWindow("Gogakuru Downloader"));
    pause(1500);
    const std::string settings = asciiOfUtf16(readFile(program.folder / "veltrix.ini"));
    EXPECT_NE(settings.find("GogakuruURL=http://" + host + "/english/list/1"), std::string::npos) << settings;
    kill(program.pid, SIGTERM);
    program.ended(5000);
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

}  // namespace
