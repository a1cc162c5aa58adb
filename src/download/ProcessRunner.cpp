#include "download/ProcessRunner.h"

#include "app/Paths.h"
#include "platform/win32.h"
#include "text/NarrowText.h"

namespace {

// How long a stopped child may take to be collected before it is left to the
// native layer's background reaping.
constexpr DWORD kStopWaitMs = 5000;

// Makes one pipe: childEnd goes to the child, keptEnd (a duplicate that the
// child never sees) stays here.
bool makePipe(bool childReads, HANDLE& childEnd, HANDLE& keptEnd) {
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &attributes, 0)) return false;
    HANDLE original = childReads ? writeEnd : readEnd;
    childEnd = childReads ? readEnd : writeEnd;
    const bool duplicated =
        DuplicateHandle(GetCurrentProcess(), original, GetCurrentProcess(), &keptEnd, 0, FALSE, DUPLICATE_SAME_ACCESS);
    CloseHandle(original);
    if (!duplicated) {
        CloseHandle(childEnd);
        childEnd = keptEnd = nullptr;
    }
    return duplicated;
}

// Bytes at the end that begin a UTF-8 sequence still missing its last bytes.
std::size_t incompleteUtf8Tail(const std::string& bytes) {
    const std::size_t n = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        auto c = static_cast<unsigned char>(bytes[n - back]);
        if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

}  // namespace

std::u16string pluginToolPath(std::u16string_view name) { return appDirectory() + u"Plugins/" + std::u16string(name); }

ProcessRunner::~ProcessRunner() {
    if (isRunning()) stop();
    finish();
}

bool ProcessRunner::start(const std::u16string& commandLine, const std::optional<std::u16string>& workingFolder) {
    HANDLE childInput = nullptr, childOutput = nullptr, childError = nullptr;
    bool ok = makePipe(true, childInput, m_input) && makePipe(false, childOutput, m_output) &&
              makePipe(false, childError, m_error);

    if (ok) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
        startup.wShowWindow = SW_HIDE;
        startup.hStdInput = childInput;
        startup.hStdOutput = childOutput;
        startup.hStdError = childError;
        std::u16string line = commandLine;  // CreateProcessW may write into it
        ok = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                            workingFolder ? workingFolder->c_str() : nullptr, &startup, &m_process) != FALSE;
    }
    // The child holds its own copies now; ours would keep its pipes from ever
    // reporting their end.
    for (HANDLE h : {childInput, childOutput, childError})
        if (h) CloseHandle(h);

    if (!ok) {
        const std::u16string text = commandLine + u"\nFailed:CreateProcess()";
        if (m_failureNotice)
            m_failureNotice(text);
        else
            MessageBoxW(nullptr, text.c_str(), u"Veltrix", MB_OK | MB_TOPMOST);
        closeHandle(m_input);
        closeHandle(m_output);
        closeHandle(m_error);
        m_process = PROCESS_INFORMATION{};
        return false;
    }
    m_exitCode = STILL_ACTIVE;
    return true;
}

std::u16string ProcessRunner::readOutput() {
    DWORD available = 0;
    if (m_output && PeekNamedPipe(m_output, nullptr, 0, nullptr, &available, nullptr) && available) {
        std::string dropped(available, '\0');
        DWORD got = 0;
        ReadFile(m_output, dropped.data(), available, &got, nullptr);
    }
    available = 0;
    if (!m_error || !PeekNamedPipe(m_error, nullptr, 0, nullptr, &available, nullptr) || !available) return {};
    std::string bytes(available, '\0');
    DWORD got = 0;
    if (!ReadFile(m_error, bytes.data(), available, &got, nullptr)) return {};
    bytes.resize(got);
    return decode(std::move(bytes));
}

std::u16string ProcessRunner::decode(std::string bytes) {
    bytes.insert(0, m_pendingBytes);
    m_pendingBytes.clear();
    // A read may end inside a character; its first bytes wait for the rest.
    if (GetACP() == CP_UTF8) {
        const std::size_t tail = incompleteUtf8Tail(bytes);
        m_pendingBytes = bytes.substr(bytes.size() - tail);
        bytes.resize(bytes.size() - tail);
    }
    return decodeCodePage(bytes, CP_ACP);
}

ProcessRunner::WaitResult ProcessRunner::wait(const std::function<bool()>& shouldStop,
                                              const std::function<void(const std::u16string&)>& onOutput) {
    if (!m_process.hProcess) return WaitResult::NotStarted;
    auto drain = [&] {
        std::u16string text = readOutput();
        if (!text.empty() && onOutput) onOutput(text);
    };
    for (;;) {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_ABANDONED) break;
        drain();
        if (shouldStop && shouldStop()) {
            stop();
            return WaitResult::Stopped;
        }
        DWORD code = STILL_ACTIVE;
        if (!GetExitCodeProcess(m_process.hProcess, &code) || code != STILL_ACTIVE) break;
        Sleep(1);
    }
    drain();  // what it wrote just before it ended
    GetExitCodeProcess(m_process.hProcess, &m_exitCode);
    return WaitResult::Ended;
}

void ProcessRunner::stop() {
    if (!m_process.hProcess) return;
    TerminateProcess(m_process.hProcess, 1);
    WaitForSingleObject(m_process.hProcess, kStopWaitMs);
    GetExitCodeProcess(m_process.hProcess, &m_exitCode);
}

bool ProcessRunner::isRunning() const {
    DWORD code = 0;
    return m_process.hProcess && GetExitCodeProcess(m_process.hProcess, &code) && code == STILL_ACTIVE;
}

void ProcessRunner::flushOutputs() {
    if (m_input) FlushFileBuffers(m_input);
    if (m_output) FlushFileBuffers(m_output);
}

void ProcessRunner::closeHandles() {
    closeHandle(m_process.hProcess);
    closeHandle(m_input);
    closeHandle(m_output);
    closeHandle(m_error);
}

DWORD ProcessRunner::finish() {
    if (m_process.hProcess) GetExitCodeProcess(m_process.hProcess, &m_exitCode);
    closeHandles();
    closeHandle(m_process.hThread);
    m_process = PROCESS_INFORMATION{};
    return m_exitCode;
}

void ProcessRunner::closeHandle(HANDLE& handle) {
    if (handle) CloseHandle(handle);
    handle = nullptr;
}
