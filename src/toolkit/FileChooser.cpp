#include "toolkit/FileChooser.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t kPathSize = 260;
constexpr DWORD kSaveFlags = 0x100A;  // overwrite prompt, keep the current folder, file must exist
constexpr DWORD kOpenFlags = 0x1008;  // keep the current folder, file must exist

// A filter string that surely ends with the double NUL the dialog reads up to.
std::u16string terminatedFilter(const std::u16string& filter) {
    std::u16string out = filter;
    out.push_back(u'\0');
    out.push_back(u'\0');
    return out;
}

void copyInto(std::array<WCHAR, kPathSize>& buffer, const std::u16string& text) {
    std::size_t n = std::min(text.size(), kPathSize - 1);
    std::copy_n(text.begin(), n, buffer.begin());
    buffer[n] = 0;
}

}  // namespace

std::u16string chooseSaveFile(HWND owner, const std::u16string& title, const std::u16string& filter,
                              const std::u16string& initialName, const std::u16string& defaultExtension) {
    std::array<WCHAR, kPathSize> file{};
    std::array<WCHAR, kPathSize> fileTitle{};
    copyInto(file, initialName);
    std::u16string filters = terminatedFilter(filter);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.empty() ? nullptr : filters.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathSize;
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = kPathSize;
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    ofn.Flags = kSaveFlags;
    if (!GetSaveFileNameW(&ofn)) return {};
    return std::u16string(file.data());
}

std::u16string chooseOpenFile(HWND owner, const std::u16string& filter, const std::u16string& initialFolder) {
    std::array<WCHAR, kPathSize> file{};
    copyInto(file, initialFolder);
    std::u16string filters = terminatedFilter(filter);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.empty() ? nullptr : filters.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathSize;
    ofn.lpstrInitialDir = initialFolder.c_str();
    ofn.lpstrTitle = u"";
    ofn.Flags = kOpenFlags;
    if (!GetOpenFileNameW(&ofn)) return {};
    return std::u16string(file.data());
}
