// The per-user folders of the desktop's base-directory rules, under the shell's
// folder names.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/api/FileOperations.h"
#include "platform/api/Ole.h"
#include "platform/api/Startup.h"
#include "platform/services/NativePath.h"
#include "platform/win32.h"

namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && *entry->pw_dir == '/') return entry->pw_dir;
    return {};
}

// The variable's folder when it holds an absolute path, else the home folder's default.
std::string baseFolder(const char* variable, const char* underHome) {
    if (const char* value = std::getenv(variable); value && *value == '/') return value;
    const std::string home = homeFolder();
    return home.empty() ? std::string() : home + "/" + underHome;
}

}  // namespace

HRESULT SHGetFolderPathW(HWND, int folder, HANDLE, DWORD, LPWSTR path) {
    if (!path) return E_INVALIDARG;
    std::string native;
    switch (folder & ~CSIDL_FLAG_CREATE) {
        case CSIDL_APPDATA:
            native = baseFolder("XDG_CONFIG_HOME", ".config");
            break;
        case CSIDL_LOCAL_APPDATA:
            native = baseFolder("XDG_STATE_HOME", ".local/state");
            break;
        default:
            return E_INVALIDARG;
    }
    while (native.size() > 1 && native.back() == '/') native.pop_back();
    const std::u16string result = platform::programPath(native);
    if (native.empty() || result.size() >= MAX_PATH) return E_FAIL;
    if (folder & CSIDL_FLAG_CREATE) {
        const int made = SHCreateDirectoryExW(nullptr, result.c_str(), nullptr);
        if (made != static_cast<int>(ERROR_SUCCESS) && made != static_cast<int>(ERROR_ALREADY_EXISTS)) return E_FAIL;
    }
    result.copy(path, result.size());
    path[result.size()] = 0;
    return S_OK;
}
