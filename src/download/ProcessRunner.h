// Runs one command-line tool from the Plugins folder as a hidden child with
// its three standard streams on pipes, so that a downloader's worker can wait
// for it, watch the progress it writes to its error stream, and stop it.
//
// The command line is one string in Windows quoting; the native layer splits
// it into arguments and starts the program directly, never through a shell,
// so no text taken from a web page can run a command.
//
// Lifecycle: created (no handles) -> started (child running, pipes open) ->
// finished (every handle closed exactly once). A runner serves one child. A
// child still running when the runner is destroyed is ended and collected.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/api/Process.h"

// The folder's tool under its Linux name: appDirectory() + "Plugins/" + name.
std::u16string pluginToolPath(std::u16string_view name);

class ProcessRunner {
public:
    ProcessRunner() = default;
    ~ProcessRunner();
    ProcessRunner(const ProcessRunner&) = delete;
    ProcessRunner& operator=(const ProcessRunner&) = delete;

    // Starts the child hidden, in workingFolder when one is given. On failure
    // shows a top-most box "<command line>\nFailed:CreateProcess()" captioned
    // "Veltrix", closes what it opened and returns false.
    bool start(const std::u16string& commandLine, const std::optional<std::u16string>& workingFolder = std::nullopt);
    // Where the failed-start text goes instead of the runner's own box: a
    // worker hands it to its dialog's thread, which shows it there.
    void setFailureNotice(std::function<void(const std::u16string& text)> notice) {
        m_failureNotice = std::move(notice);
    }

    // Everything waiting on the child's error stream now, decoded from the
    // system code page; empty at once when nothing waits. Output the child
    // writes to its standard output is drained and dropped, so a chatty tool
    // never blocks on a full pipe.
    std::u16string readOutput();

    enum class WaitResult { Ended, Stopped, NotStarted };
    // The waiting loop of every caller: drains the error stream into onOutput
    // (when given) until the child ends; when shouldStop (when given) answers
    // true, ends the child instead. Polls every millisecond.
    WaitResult wait(const std::function<bool()>& shouldStop = {},
                    const std::function<void(const std::u16string&)>& onOutput = {});

    // Ends the child (and whatever it started) at once and collects it.
    void stop();
    bool isRunning() const;

    void flushOutputs();
    // Closes the process handle and the three kept pipe ends.
    void closeHandles();
    // The exit code (STILL_ACTIVE when unknown), after closing every handle
    // still open.
    DWORD finish();

private:
    void closeHandle(HANDLE& handle);
    std::u16string decode(std::string bytes);

    HANDLE m_input = nullptr;   // write end of the child's standard input
    HANDLE m_output = nullptr;  // read end of the child's standard output
    HANDLE m_error = nullptr;   // read end of the child's standard error
    PROCESS_INFORMATION m_process{};
    DWORD m_exitCode = STILL_ACTIVE;
    std::string m_pendingBytes;  // an incomplete UTF-8 sequence from the last read
    std::function<void(const std::u16string&)> m_failureNotice;
};
