// ShellExecuteW's "open": the desktop's own opener chooses the program, as
// the file browser would. Started directly (no shell), with the path as one
// argument, so no text in a path can run a command.
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>
#include <thread>

#include "platform/services/NativePath.h"
#include "platform/win32.h"

extern char** environ;

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, int) {
    if (verb && *verb && std::u16string_view(verb) != u"open") return reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
    if (!file || !*file) return reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(ERROR_FILE_NOT_FOUND));
    std::string opener = "xdg-open";
    std::string target = platform::nativePath(file);
    char* argv[] = {opener.data(), target.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, opener.c_str(), nullptr, nullptr, argv, environ) != 0)
        return reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(ERROR_FILE_NOT_FOUND));
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    }).detach();
    return reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(42));
}
