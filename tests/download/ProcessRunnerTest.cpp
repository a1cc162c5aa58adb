// The external tool runner with a stand-in tool: a missing tool, progress
// flooding the error stream, a tool that must be stopped, and arguments that a
// shell would have run as commands.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "download/ProcessRunner.h"
#include "download/ToolCommandLine.h"
#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/TempDir.h"

namespace headless = veltrix::platform::headless;

namespace {

const std::u16string kTool = std::filesystem::path(VELTRIX_TEST_TOOL).u16string();

std::u16string commandLine(const std::vector<std::u16string>& args) {
    std::u16string line = quoteArgument(kTool);
    for (const auto& a : args) line += u" " + quoteArgument(a);
    return line;
}

std::vector<std::string> readArguments(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> args;
    std::string arg;
    while (std::getline(in, arg, '\0')) args.push_back(arg);
    return args;
}

std::size_t openDescriptors() {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator()));
}

// Gone, or ended and waiting only for init to collect it.
bool processEnded(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

// Arguments a shell would have run, expanded or split.
const std::vector<std::u16string> kHostileArguments = {u"$(touch pwned)",
                                                       u"`touch pwned2`",
                                                       u"a \"quoted\" word",
                                                       u"it's",
                                                       u"trailing\\",
                                                       u"back\\\\slash\\\"",
                                                       u"two\nlines",
                                                       u"; touch pwned3 && echo",
                                                       u"*",
                                                       u"",
                                                       u"ニュース 英会話",
                                                       u"$HOME",
                                                       u"-y"};

TEST(ProcessRunner, AMissingToolShowsTheBoxAndReturnsFalseWithoutLeaking) {
    std::vector<headless::MessageBoxShown> shown;
    // VELTRIX_SAVE_PICTURES=<folder> keeps a picture of the box for a look.
    const char* pictures = std::getenv("VELTRIX_SAVE_PICTURES");
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& box) {
        shown.push_back(box);
        if (pictures) headless::savePicture(box.box, std::string(pictures) + "/failed-start.png");
        return IDOK;
    });
    // The display keeps its wake and signal pipes for the process's life; it
    // is opened by the first window, here the box, so it is opened first.
    veltrix::platform::display();
    const std::size_t before = openDescriptors();
    const std::u16string line = u"\"/no/such/Plugins/flvstreamer\" -r \"rtmp://x\" -o \"out.flv\"";
    bool started = true;
    // The downloaders start tools from their worker threads.
    std::thread worker([&] {
        ProcessRunner runner;
        started = runner.start(line);
        EXPECT_EQ(runner.readOutput(), u"");
        EXPECT_EQ(runner.wait(), ProcessRunner::WaitResult::NotStarted);
    });
    worker.join();
    headless::setMessageBoxResponder({});
    EXPECT_FALSE(started);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, line + u"\nFailed:CreateProcess()");
    EXPECT_EQ(shown[0].caption, u"Veltrix");
    EXPECT_TRUE(shown[0].type & MB_TOPMOST);
    EXPECT_EQ(openDescriptors(), before);
}

TEST(ProcessRunner, AToolFloodingItsErrorStreamRunsToItsEnd) {
    constexpr std::size_t kBytes = 10u << 20;
    ProcessRunner runner;
    ASSERT_TRUE(runner.start(commandLine({u"stderr", std::u16string(u"10485760")})));
    std::size_t received = 0;
    std::u16string last;
    EXPECT_EQ(runner.wait({},
                          [&](const std::u16string& text) {
                              received += text.size();
                              last = text;
                          }),
              ProcessRunner::WaitResult::Ended);
    EXPECT_EQ(received, kBytes);
    EXPECT_NE(last.find(u"frame="), std::u16string::npos);
    EXPECT_EQ(runner.finish(), 0u);
}

TEST(ProcessRunner, AToolChatteringOnItsStandardOutputNeverBlocks) {
    ProcessRunner runner;
    ASSERT_TRUE(runner.start(commandLine({u"stdout", u"5000000"})));
    EXPECT_EQ(runner.wait(), ProcessRunner::WaitResult::Ended);
    EXPECT_EQ(runner.finish(), 0u);
}

TEST(ProcessRunner, ReadOutputWithNothingWaitingIsEmptyAtOnce) {
    TempDir dir;
    ProcessRunner runner;
    ASSERT_TRUE(runner.start(commandLine({u"sleep", dir.file("pid")})));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runner.readOutput(), u"");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(runner.isRunning());
    runner.stop();
}

TEST(ProcessRunner, AToolThatMustBeStoppedEndsWithEverythingItStartedAndIsCollected) {
    TempDir dir;
    ProcessRunner runner;
    ASSERT_TRUE(runner.start(commandLine({u"sleep", dir.file("pid")})));
    std::atomic<bool> stopFlag{false};
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stopFlag = true;  // the dialog closes
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runner.wait([&] { return stopFlag.load(); }), ProcessRunner::WaitResult::Stopped);
    closer.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(runner.isRunning());
    runner.finish();

    // The tool was collected (no zombie left to us) ...
    int status = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    // ... and the process it started ended with it.
    std::ifstream pidFile(dir.native("pid"));
    pid_t grandchild = 0;
    ASSERT_TRUE(pidFile >> grandchild);
    for (int i = 0; i < 100 && !processEnded(grandchild); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(processEnded(grandchild));
}

TEST(ProcessRunner, DestroyingARunnerEndsItsTool) {
    TempDir dir;
    pid_t pid = 0;
    {
        ProcessRunner runner;
        ASSERT_TRUE(runner.start(commandLine({u"sleep", dir.file("pid")})));
        for (int i = 0; i < 100 && !std::filesystem::exists(dir.native("pid")); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream pidFile(dir.native("pid"));
    ASSERT_TRUE(pidFile >> pid);
    for (int i = 0; i < 100 && !processEnded(pid); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(processEnded(pid));
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
}

TEST(ProcessRunner, ArgumentsReachTheToolUnchangedAndNothingInThemRuns) {
    TempDir dir;
    std::vector<std::u16string> args = {u"args", u"received.bin"};
    args.insert(args.end(), kHostileArguments.begin(), kHostileArguments.end());
    ProcessRunner runner;
    // A relative output path lands in the working folder.
    ASSERT_TRUE(runner.start(commandLine(args), dir.file("")));
    EXPECT_EQ(runner.wait(), ProcessRunner::WaitResult::Ended);
    EXPECT_EQ(runner.finish(), 0u);

    const auto received = readArguments(dir.native("received.bin"));
    ASSERT_EQ(received.size(), kHostileArguments.size());
    for (std::size_t i = 0; i < received.size(); ++i)
        EXPECT_EQ(std::filesystem::path(received[i]).u16string(), kHostileArguments[i]) << i;
    for (const char* name : {"pwned", "pwned2", "pwned3"}) EXPECT_FALSE(std::filesystem::exists(dir.native(name)));
}

TEST(ProcessRunner, TheExitCodeIsKeptAndAMissingWorkingFolderFailsToStart) {
    ProcessRunner runner;
    ASSERT_TRUE(runner.start(commandLine({u"exit", u"7"})));
    EXPECT_EQ(runner.wait(), ProcessRunner::WaitResult::Ended);
    EXPECT_EQ(runner.finish(), 7u);

    std::vector<headless::MessageBoxShown> shown;
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& box) {
        shown.push_back(box);
        return IDOK;
    });
    ProcessRunner elsewhere;
    EXPECT_FALSE(elsewhere.start(commandLine({u"exit", u"0"}), u"/no/such/folder"));
    headless::setMessageBoxResponder({});
    EXPECT_EQ(shown.size(), 1u);
}

TEST(ProcessRunner, ToolsAreFoundInThePluginsFolder) {
    const std::u16string path = pluginToolPath(u"ffmpeg");
    EXPECT_EQ(path.substr(path.size() - 14), u"Plugins/ffmpeg");
    EXPECT_EQ(std::filesystem::path(path).parent_path().parent_path(),
              std::filesystem::canonical("/proc/self/exe").parent_path());
}

}  // namespace
