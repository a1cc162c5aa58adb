#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "platform/services/Errno.h"
#include "platform/services/NativePath.h"
#include "platform/win32.h"

std::FILE* _wfopen(LPCWSTR path, LPCWSTR mode) {
    if (!path || !mode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Windows' "t" (text) and "ccs=" flags have no meaning here; binary is the only mode.
    std::string m;
    for (LPCWSTR p = mode; *p && *p != u','; ++p)
        if (*p == u'r' || *p == u'w' || *p == u'a' || *p == u'+' || *p == u'b') m.push_back(static_cast<char>(*p));
    std::string native = platform::nativePath(path);
    // Windows will not open a folder as a file; Linux would, for reading.
    struct stat st;
    if (::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    std::FILE* file = std::fopen(native.c_str(), m.c_str());
    if (!file) platform::setLastErrorFromErrno();
    return file;
}

DWORD GetFileAttributesW(LPCWSTR path) {
    struct stat st;
    if (!path || ::stat(platform::nativePath(path).c_str(), &st) != 0) {
        platform::setLastErrorFromErrno();
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    return (st.st_mode & S_IWUSR) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

BOOL DeleteFileW(LPCWSTR path) {
    if (!path || std::remove(platform::nativePath(path).c_str()) != 0) {
        platform::setLastErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
    if (!from || !to) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string target = platform::nativePath(to);
    struct stat st;
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && ::stat(target.c_str(), &st) == 0) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (std::rename(platform::nativePath(from).c_str(), target.c_str()) != 0) {
        platform::setLastErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR path, LPVOID) {
    if (!path || ::mkdir(platform::nativePath(path).c_str(), 0777) != 0) {
        platform::setLastErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

void platform::setLastErrorFromErrno() {
    switch (errno) {
    case ENOENT: SetLastError(ERROR_FILE_NOT_FOUND); break;
    case ENOTDIR: SetLastError(ERROR_PATH_NOT_FOUND); break;
    case EEXIST: SetLastError(ERROR_ALREADY_EXISTS); break;
    case ENOSPC: SetLastError(ERROR_DISK_FULL); break;
    case ENOMEM: SetLastError(ERROR_NOT_ENOUGH_MEMORY); break;
    default: SetLastError(ERROR_ACCESS_DENIED); break;
    }
}
