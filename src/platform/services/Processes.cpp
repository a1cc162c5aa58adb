// CreateProcessW on posix_spawn, anonymous pipes, and waiting for children.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/api/Process.h"
#include "platform/common/AsciiCase.h"
#include "platform/common/Unicode.h"
#include "platform/services/Errno.h"
#include "platform/services/FileObject.h"
#include "platform/services/NativePath.h"
#include "platform/win32.h"

extern char** environ;

namespace {

using platform::FileObject;

class ProcessObject : public platform::KernelObject {
public:
    explicit ProcessObject(pid_t child) : pid(child) {
#ifdef SYS_pidfd_open
        pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
#endif
    }

    ~ProcessObject() override {
        if (pidfd >= 0) ::close(pidfd);
        // The last handle went while the child still runs: it keeps running,
        // as on Windows, and is reaped when it ends.
        if (!reap(WNOHANG)) {
            pid_t child = pid;
            std::thread([child] {
                while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
            }).detach();
        }
    }

    // True once the child has ended and been collected; exitCode is then final.
    bool reap(int options) {
        std::lock_guard guard(lock);
        if (reaped) return true;
        int status = 0;
        pid_t r;
        do r = ::waitpid(pid, &status, options);
        while (r < 0 && errno == EINTR);
        if (r == 0) return false;
        reaped = true;
        if (r < 0)
            exitCode = 0;  // collected elsewhere (SIGCHLD ignored): the status is lost
        else if (terminated)
            exitCode = terminateCode;
        else if (WIFEXITED(status))
            exitCode = static_cast<DWORD>(WEXITSTATUS(status));
        else
            exitCode = 128 + static_cast<DWORD>(WTERMSIG(status));
        return true;
    }

    bool terminate(UINT code) {
        std::lock_guard guard(lock);
        // Only a child not yet collected still owns its pid.
        if (reaped) return false;
        terminated = true;
        terminateCode = code;
        ::kill(-pid, SIGKILL);  // its session's process group
        ::kill(pid, SIGKILL);   // and the child itself, should it have left the group
        return true;
    }

    const pid_t pid;
    int pidfd = -1;
    std::mutex lock;
    bool reaped = false;
    bool terminated = false;
    UINT terminateCode = 0;
    DWORD exitCode = STILL_ACTIVE;
};

void setLastErrorFromSpawn(int error) {
    switch (error) {
        case ENOENT:
        case ENOEXEC:
        case ENOTDIR:
        case ELOOP:
        case ENAMETOOLONG:
            SetLastError(ERROR_FILE_NOT_FOUND);
            break;
        case EACCES:
        case EPERM:
            SetLastError(ERROR_ACCESS_DENIED);
            break;
        case ENOMEM:
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            break;
    }
}

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// The program named by the first argument: a path, or a name looked up on PATH.
// A Windows "x.exe" that is missing here is tried as "x".
std::string programPath(const std::u16string& first, bool& searchPath) {
    std::string program = platform::nativePath(first);
    searchPath = program.find('/') == std::string::npos;
    if (!searchPath && !fileExists(program) && program.size() > 4) {
        if (veltrix::ascii::endsWithIgnoringCase(std::string_view(program), ".exe") &&
            fileExists(program.substr(0, program.size() - 4)))
            program.resize(program.size() - 4);
    }
    return program;
}

struct FileActions {
    posix_spawn_file_actions_t actions;
    FileActions() { posix_spawn_file_actions_init(&actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
};

struct SpawnAttributes {
    posix_spawnattr_t attributes;
    SpawnAttributes() { posix_spawnattr_init(&attributes); }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes); }
};

// Gives the child one standard stream: the handle's descriptor, or /dev/null.
bool addStandardStream(FileActions& fa, HANDLE handle, int target) {
    if (!handle)
        return posix_spawn_file_actions_addopen(&fa.actions, target, "/dev/null", target == 0 ? O_RDONLY : O_WRONLY,
                                                0) == 0;
    auto* f = platform::KernelObjects::get<FileObject>(handle);
    if (!f) return false;
    return posix_spawn_file_actions_adddup2(&fa.actions, f->fd, target) == 0;
}

}  // namespace

BOOL CreatePipe(HANDLE* readPipe, HANDLE* writePipe, SECURITY_ATTRIBUTES*, DWORD) {
    if (!readPipe || !writePipe) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        platform::setLastErrorFromErrno();
        return FALSE;
    }
    *readPipe = platform::KernelObjects::add(std::make_unique<FileObject>(fds[0], FileObject::Kind::Pipe));
    *writePipe = platform::KernelObjects::add(std::make_unique<FileObject>(fds[1], FileObject::Kind::Pipe));
    return TRUE;
}

BOOL DuplicateHandle(HANDLE, HANDLE source, HANDLE, HANDLE* target, DWORD, BOOL, DWORD options) {
    auto* f = platform::KernelObjects::get<FileObject>(source);
    if (!f || !target) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    int fd = ::fcntl(f->fd, F_DUPFD_CLOEXEC, 3);
    if (fd < 0) {
        platform::setLastErrorFromErrno();
        return FALSE;
    }
    *target = platform::KernelObjects::add(std::make_unique<FileObject>(fd, f->kind));
    if (options & DUPLICATE_CLOSE_SOURCE) CloseHandle(source);
    return TRUE;
}

BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, SECURITY_ATTRIBUTES*, SECURITY_ATTRIBUTES*, BOOL,
                    DWORD, LPVOID environment, LPCWSTR currentDirectory, STARTUPINFOW* startupInfo,
                    PROCESS_INFORMATION* processInformation) {
    if (applicationName || environment || !commandLine || !*commandLine || !processInformation) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *processInformation = PROCESS_INFORMATION{};

    int count = 0;
    std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(commandLine, &count), &LocalFree);
    if (!argv || count < 1 || !argv.get()[0][0]) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) args.push_back(veltrix::unicode::utf16ToUtf8(argv.get()[i]));
    bool searchPath = false;
    const std::string program = programPath(argv.get()[0], searchPath);
    std::vector<char*> pointers;
    for (auto& a : args) pointers.push_back(a.data());
    pointers.push_back(nullptr);

    FileActions fa;
    if (startupInfo && (startupInfo->dwFlags & STARTF_USESTDHANDLES)) {
        if (!addStandardStream(fa, startupInfo->hStdInput, 0) || !addStandardStream(fa, startupInfo->hStdOutput, 1) ||
            !addStandardStream(fa, startupInfo->hStdError, 2)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
    }
    if (currentDirectory && *currentDirectory) {
        std::string folder = platform::nativePath(currentDirectory);
        struct stat st;
        if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            SetLastError(ERROR_DIRECTORY);
            return FALSE;
        }
        posix_spawn_file_actions_addchdir_np(&fa.actions, folder.c_str());
    }

    // Hidden from the terminal: a session of its own, so that neither its
    // keyboard signals nor its input reach the tool, and a clean signal state
    // whatever this process blocks or ignores.
    SpawnAttributes sa;
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD, SIGALRM, SIGUSR1, SIGUSR2})
        sigaddset(&defaults, sig);
    posix_spawnattr_setsigmask(&sa.attributes, &none);
    posix_spawnattr_setsigdefault(&sa.attributes, &defaults);
    posix_spawnattr_setflags(&sa.attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    int error = searchPath
                    ? ::posix_spawnp(&pid, program.c_str(), &fa.actions, &sa.attributes, pointers.data(), environ)
                    : ::posix_spawn(&pid, program.c_str(), &fa.actions, &sa.attributes, pointers.data(), environ);
    if (error != 0) {
        setLastErrorFromSpawn(error);
        return FALSE;
    }
    processInformation->hProcess = platform::KernelObjects::add(std::make_unique<ProcessObject>(pid));
    processInformation->hThread = nullptr;
    processInformation->dwProcessId = static_cast<DWORD>(pid);
    processInformation->dwThreadId = static_cast<DWORD>(pid);
    return TRUE;
}

BOOL PeekNamedPipe(HANDLE pipe, LPVOID, DWORD, DWORD* bytesRead, DWORD* totalAvailable, DWORD* bytesLeftThisMessage) {
    auto* f = platform::KernelObjects::get<FileObject>(pipe);
    if (!f || f->kind != FileObject::Kind::Pipe) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    int available = 0;
    if (::ioctl(f->fd, FIONREAD, &available) != 0) {
        platform::setLastErrorFromErrno();
        return FALSE;
    }
    if (available == 0) {
        // Empty with the writing end gone: Windows reports a broken pipe.
        pollfd p{f->fd, POLLIN, 0};
        if (::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP)) {
            SetLastError(ERROR_BROKEN_PIPE);
            return FALSE;
        }
    }
    if (bytesRead) *bytesRead = 0;
    if (totalAvailable) *totalAvailable = static_cast<DWORD>(available);
    if (bytesLeftThisMessage) *bytesLeftThisMessage = 0;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    auto* process = platform::KernelObjects::get<ProcessObject>(handle);
    if (!process) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (process->reap(WNOHANG)) return WAIT_OBJECT_0;
        int wait = 1;
        if (milliseconds != INFINITE) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return WAIT_TIMEOUT;
            wait = static_cast<int>(std::min<long long>(left, 1000));
        } else {
            wait = 1000;
        }
        if (process->pidfd >= 0) {
            pollfd p{process->pidfd, POLLIN, 0};
            ::poll(&p, 1, wait);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

BOOL GetExitCodeProcess(HANDLE handle, DWORD* exitCode) {
    auto* process = platform::KernelObjects::get<ProcessObject>(handle);
    if (!process || !exitCode) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exitCode = process->reap(WNOHANG) ? process->exitCode : STILL_ACTIVE;
    return TRUE;
}

BOOL TerminateProcess(HANDLE handle, UINT exitCode) {
    auto* process = platform::KernelObjects::get<ProcessObject>(handle);
    if (!process) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!process->terminate(exitCode)) {
        SetLastError(ERROR_ACCESS_DENIED);  // as Windows answers for a process that has ended
        return FALSE;
    }
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
    auto* f = platform::KernelObjects::get<FileObject>(file);
    if (!f) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // A pipe holds nothing back; a file is pushed to the disk.
    if (f->kind == FileObject::Kind::File && ::fsync(f->fd) != 0) {
        platform::setLastErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
