#include <dirent.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/common/Unicode.h"
#include "platform/controls/FileDialogModel.h"
#include "platform/services/KernelObjects.h"
#include "platform/services/NativePath.h"
#include "platform/win32.h"

namespace {

// A listing: the matching entries, read when it started, and the next to give.
struct FindListing : platform::KernelObject {
    std::u16string folder;  // with its separator, or empty for the current folder
    std::vector<std::u16string> names;
    std::size_t next = 0;
};

bool fill(const FindListing& listing, WIN32_FIND_DATAW* data) {
    if (listing.next >= listing.names.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return false;
    }
    const std::u16string& name = listing.names[listing.next];
    *data = WIN32_FIND_DATAW{};
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (GetFileAttributesExW((listing.folder + name).c_str(), GetFileExInfoStandard, &attributes)) {
        data->dwFileAttributes = attributes.dwFileAttributes;
        data->ftCreationTime = attributes.ftCreationTime;
        data->ftLastAccessTime = attributes.ftLastAccessTime;
        data->ftLastWriteTime = attributes.ftLastWriteTime;
        data->nFileSizeHigh = attributes.nFileSizeHigh;
        data->nFileSizeLow = attributes.nFileSizeLow;
    }
    const std::size_t length = std::min<std::size_t>(name.size(), MAX_PATH - 1);
    std::copy_n(name.begin(), length, data->cFileName);
    data->cFileName[length] = 0;
    return true;
}

}  // namespace

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data) {
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::u16string whole(pattern);
    const std::size_t slash = whole.find_last_of(u"\\/");
    auto listing = std::make_unique<FindListing>();
    listing->folder = slash == std::u16string::npos ? std::u16string() : whole.substr(0, slash + 1);
    const std::u16string namePattern = slash == std::u16string::npos ? whole : whole.substr(slash + 1);

    const std::string folder = listing->folder.empty() ? std::string(".") : platform::nativePath(listing->folder);
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), &::closedir);
    if (!directory) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    while (const dirent* entry = ::readdir(directory.get())) {
        const std::u16string name = veltrix::unicode::utf8ToUtf16(entry->d_name);
        if (veltrix::platform::controls::matchesPattern(name, namePattern)) listing->names.push_back(name);
    }
    if (listing->names.empty() || !fill(*listing, data)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    listing->next = 1;
    return platform::KernelObjects::add(std::move(listing));
}

BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data) {
    auto* listing = platform::KernelObjects::get<FindListing>(find);
    if (!listing || !data) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!fill(*listing, data)) return FALSE;
    ++listing->next;
    return TRUE;
}

BOOL FindClose(HANDLE find) {
    if (!platform::KernelObjects::get<FindListing>(find)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return platform::KernelObjects::close(find) ? TRUE : FALSE;
}
