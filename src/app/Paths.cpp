#include "app/Paths.h"

#include <vector>

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
    static const std::u16string path = appDirectory() + appBaseName() + u".ini";
    return path;
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
