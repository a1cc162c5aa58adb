#include "app/Paths.h"

#include <vector>

#include "platform/api/FileOperations.h"
#include "platform/api/Startup.h"
#include "platform/win32.h"

namespace {

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

std::u16string executableFolder() {
    // Linux paths may be longer than MAX_PATH; grow until the name is not cut.
    std::vector<WCHAR> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) break;
        buffer.resize(buffer.size() * 2);
    }
    std::u16string path(buffer.data());
    std::size_t cut = path.find_last_of(u"\\/");
    return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut + 1);
}

// The program's folder in the user's settings folder.
constexpr char16_t kUserFolderName[] = u"veltrix";

// Whether the file can be written, or made when it is missing; a file made
// only to find out is removed again, so a missing settings file stays missing.
bool canWrite(const std::u16string& path) {
    HANDLE existing = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existing != INVALID_HANDLE_VALUE) {
        CloseHandle(existing);
        return true;
    }
    HANDLE made = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made == INVALID_HANDLE_VALUE) return false;
    CloseHandle(made);
    DeleteFileW(path.c_str());
    return true;
}

std::u16string launchedBaseName() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::u16string name = (argv && count > 0) ? baseNameOfProgramPath(argv[0]) : std::u16string();
    LocalFree(argv);
    return name;
}

}  // namespace

const std::u16string& appDirectory() {
    static const std::u16string directory = executableFolder();
    return directory;
}

const std::u16string& appBaseName() {
    static const std::u16string name = launchedBaseName();
    return name;
}

const std::u16string& settingsFilePath() {
    static const std::u16string path = settingsFilePathFor(appDirectory(), appBaseName());
    return path;
}

std::u16string settingsFilePathFor(const std::u16string& programFolder, const std::u16string& baseName) {
    const std::u16string fileName = baseName + u".ini";
    const std::u16string beside = programFolder + fileName;
    if (canWrite(beside)) return beside;
    WCHAR folder[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return beside;
    const std::u16string own = std::u16string(folder) + u"/" + kUserFolderName;
    SHCreateDirectoryExW(nullptr, own.c_str(), nullptr);
    return own + u"/" + fileName;
}

std::u16string baseNameOfProgramPath(std::u16string_view path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (isSeparator(path[i])) start = i + 1;
    std::size_t dot = path.rfind(u'.');
    std::size_t end = (dot == std::u16string_view::npos || dot < start) ? path.size() : dot;
    return std::u16string(path.substr(start, end - start));
}

std::u16string fileNameOf(std::u16string_view path) {
    std::u16string buffer(path);
    PathStripPathW(buffer.data());
    return std::u16string(buffer.c_str());
}

std::u16string withoutExtension(std::u16string_view path) {
    std::u16string buffer(path);
    PathRemoveExtensionW(buffer.data());
    return std::u16string(buffer.c_str());
}
