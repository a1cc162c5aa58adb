#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/api/FileOperations.h"
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
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) return MoveFileW(from, to);
    std::string target = platform::nativePath(to);
    if (std::rename(platform::nativePath(from).c_str(), target.c_str()) != 0) {
        platform::setLastErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

namespace {

// Copies a file to a name that must not exist yet; the copy is removed again
// when anything fails, so a half-written file is never left behind.
bool copyToNewFile(const std::string& from, const std::string& to) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        errno = EACCES;
        return false;
    }
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        int saved = errno;
        ::close(in);
        errno = saved;
        return false;
    }
    bool ok = true;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            ssize_t w = ::write(out, buffer + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0)
                ok = false;
            else
                done += w;
        }
        if (!ok) break;
    }
    int saved = errno;
    ::close(in);
    if (::close(out) != 0) ok = false;
    if (!ok) {
        ::unlink(to.c_str());
        errno = saved ? saved : EIO;
    }
    return ok;
}

}  // namespace

BOOL MoveFileW(LPCWSTR from, LPCWSTR to) {
    if (!from || !to) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string source = platform::nativePath(from);
    const std::string target = platform::nativePath(to);
    int result = ::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
    if (result != 0 && errno == EINVAL) {
        // A file system without the no-replace rename: a hard link is just as
        // atomic about an existing name.
        result = ::link(source.c_str(), target.c_str());
        if (result == 0) ::unlink(source.c_str());
    }
    if (result != 0 && errno == EXDEV) {
        if (copyToNewFile(source, target)) {
            ::unlink(source.c_str());
            return TRUE;
        }
    }
    if (result != 0) {
        platform::setLastErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

int SHCreateDirectoryExW(HWND, LPCWSTR path, const void*) {
    if (!path || !*path) return ERROR_BAD_PATHNAME;
    const std::string native = platform::nativePath(path);
    std::size_t end = native.size();
    while (end > 1 && native[end - 1] == '/') --end;  // a trailing separator names the same folder
    const std::string folder = native.substr(0, end);
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? ERROR_ALREADY_EXISTS : ERROR_FILE_EXISTS;
    for (std::size_t cut = folder.find('/', 1);; cut = folder.find('/', cut + 1)) {
        const std::string part = folder.substr(0, cut);
        if (!part.empty() && part.back() != '/' && ::mkdir(part.c_str(), 0777) != 0) {
            int error = errno;
            if (error == EEXIST) {
                if (::stat(part.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                    return cut == std::string::npos ? ERROR_FILE_EXISTS : ERROR_PATH_NOT_FOUND;
            } else if (error == ENAMETOOLONG) {
                return ERROR_FILENAME_EXCED_RANGE;
            } else if (error == ENOENT || error == ENOTDIR) {
                return ERROR_PATH_NOT_FOUND;
            } else {
                return ERROR_ACCESS_DENIED;
            }
        }
        if (cut == std::string::npos) break;
    }
    return ERROR_SUCCESS;
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
        case ENOENT:
            SetLastError(ERROR_FILE_NOT_FOUND);
            break;
        case ENOTDIR:
            SetLastError(ERROR_PATH_NOT_FOUND);
            break;
        case EEXIST:
            SetLastError(ERROR_ALREADY_EXISTS);
            break;
        case ENOSPC:
            SetLastError(ERROR_DISK_FULL);
            break;
        case ENOMEM:
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            break;
        default:
            SetLastError(ERROR_ACCESS_DENIED);
            break;
    }
}

DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
    char native[4096];
    if (!::getcwd(native, sizeof native)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    const std::u16string path = platform::programPath(native);
    if (!buffer || size <= path.size()) return static_cast<DWORD>(path.size() + 1);
    std::copy(path.begin(), path.end(), buffer);
    buffer[path.size()] = 0;
    return static_cast<DWORD>(path.size());
}
