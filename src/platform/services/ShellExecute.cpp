// ShellExecuteW's "open": a program file is started itself with the
// parameters (split by the Windows rules), anything else goes to the desktop's
// own opener, which chooses the program as the file browser would. Both are
// started directly (no shell), each argument whole, so no text in a path or
// parameter can run a command.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "platform/common/Unicode.h"
#include "platform/services/NativePath.h"
#include "platform/win32.h"

extern char** environ;

namespace {

bool isProgramFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::vector<std::string> splitParameters(LPCWSTR parameters) {
    std::vector<std::string> split;
    if (!parameters || !*parameters) return split;
    // CommandLineToArgvW takes its first word as the program's name, with other rules.
    const std::u16string line = std::u16string(u"x ") + parameters;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(line.c_str(), &count);
    if (!words) return split;
    for (int i = 1; i < count; ++i) split.push_back(veltrix::unicode::utf16ToUtf8(words[i]));
    LocalFree(reinterpret_cast<HLOCAL>(words));
    return split;
}

}  // namespace

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR, int) {
    if (verb && *verb && std::u16string_view(verb) != u"open") return reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
    if (!file || !*file) return reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(ERROR_FILE_NOT_FOUND));
    const std::string target = platform::nativePath(file);
    std::vector<std::string> arguments;
    if (isProgramFile(target)) {
        arguments.push_back(target);
        for (std::string& parameter : splitParameters(parameters)) arguments.push_back(std::move(parameter));
    } else {
        arguments = {"xdg-open", target};
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(ERROR_FILE_NOT_FOUND));
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    }).detach();
    return reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(42));
}
