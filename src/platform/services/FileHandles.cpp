// CreateFileW, ReadFile, WriteFile and read-only file mappings on POSIX files.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "platform/services/Errno.h"
#include "platform/services/FileObject.h"
#include "platform/services/KernelObjects.h"
#include "platform/services/NativePath.h"
#include "platform/win32.h"

namespace {

using platform::FileObject;

class MappingObject : public platform::KernelObject {
public:
    MappingObject(int mapped, std::size_t bytes) : fd(mapped), size(bytes) {}
    ~MappingObject() override { ::close(fd); }
    const int fd;
    const std::size_t size;
};

// Views outlive their mapping handle, as on Windows; their lengths are kept for unmapping.
std::mutex viewsLock;
std::map<const void*, std::size_t> views;

}  // namespace

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD, LPVOID, DWORD disposition, DWORD, HANDLE) {
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    int flags = O_CLOEXEC;
    if ((access & GENERIC_READ) && (access & GENERIC_WRITE))
        flags |= O_RDWR;
    else if (access & GENERIC_WRITE)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    switch (disposition) {
        case CREATE_NEW:
            flags |= O_CREAT | O_EXCL;
            break;
        case CREATE_ALWAYS:
            flags |= O_CREAT | O_TRUNC;
            break;
        case OPEN_ALWAYS:
            flags |= O_CREAT;
            break;
        case TRUNCATE_EXISTING:
            flags |= O_TRUNC;
            break;
        default:
            break;
    }
    std::string native = platform::nativePath(path);
    int fd = ::open(native.c_str(), flags, 0666);
    if (fd < 0) {
        platform::setLastErrorFromErrno();
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return platform::KernelObjects::add(std::make_unique<FileObject>(fd));
}

BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size) {
    auto* f = platform::KernelObjects::get<FileObject>(file);
    struct stat st;
    if (!f || !size || ::fstat(f->fd, &st) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    size->QuadPart = st.st_size;
    return TRUE;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, DWORD* bytesRead, LPVOID) {
    auto* f = platform::KernelObjects::get<FileObject>(file);
    if (bytesRead) *bytesRead = 0;
    if (!f) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::size_t done = 0;
    while (done < bytesToRead) {
        ssize_t n = ::read(f->fd, static_cast<char*>(buffer) + done, bytesToRead - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetLastError(ERROR_READ_FAULT);
            return FALSE;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
        // A pipe gives what is there, as on Windows, rather than waiting to fill the buffer.
        if (f->kind == FileObject::Kind::Pipe) break;
    }
    if (bytesRead) *bytesRead = static_cast<DWORD>(done);
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, DWORD* bytesWritten, LPVOID) {
    auto* f = platform::KernelObjects::get<FileObject>(file);
    if (bytesWritten) *bytesWritten = 0;
    if (!f) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::size_t done = 0;
    while (done < bytesToWrite) {
        ssize_t n = ::write(f->fd, static_cast<const char*>(buffer) + done, bytesToWrite - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetLastError(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
            if (bytesWritten) *bytesWritten = static_cast<DWORD>(done);
            return FALSE;
        }
        done += static_cast<std::size_t>(n);
    }
    if (bytesWritten) *bytesWritten = static_cast<DWORD>(done);
    return TRUE;
}

HANDLE CreateFileMappingW(HANDLE file, LPVOID, DWORD protect, DWORD, DWORD, LPCWSTR) {
    auto* f = platform::KernelObjects::get<FileObject>(file);
    struct stat st;
    if (!f || protect != PAGE_READONLY || ::fstat(f->fd, &st) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // As on Windows, an empty file cannot be mapped.
    if (st.st_size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int fd = ::dup(f->fd);
    if (fd < 0) {
        platform::setLastErrorFromErrno();
        return nullptr;
    }
    return platform::KernelObjects::add(std::make_unique<MappingObject>(fd, static_cast<std::size_t>(st.st_size)));
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes) {
    auto* m = platform::KernelObjects::get<MappingObject>(mapping);
    if (!m || access != FILE_MAP_READ || offsetHigh || offsetLow || (bytes && bytes != m->size)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A copy of the file taken at once, not its pages in place: on Windows a
    // view never changes under its reader, while on Linux another program may
    // cut the file, and touching a mapped page past the new end would kill the
    // reader (SIGBUS). A file cut while it is copied gives no view.
    void* view = ::mmap(nullptr, m->size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (view == MAP_FAILED) {
        platform::setLastErrorFromErrno();
        return nullptr;
    }
    WIN32_MEMORY_RANGE_ENTRY range{view, m->size};
    PrefetchVirtualMemory(GetCurrentProcess(), 1, &range, 0);
    std::size_t done = 0;
    while (done < m->size) {
        ssize_t n = ::pread(m->fd, static_cast<char*>(view) + done, m->size - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (done < m->size || ::mprotect(view, m->size, PROT_READ) != 0) {
        ::munmap(view, m->size);
        SetLastError(done < m->size ? ERROR_HANDLE_EOF : ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::lock_guard guard(viewsLock);
    views[view] = m->size;
    return view;
}

BOOL UnmapViewOfFile(LPCVOID view) {
    std::lock_guard guard(viewsLock);
    auto it = views.find(view);
    if (it == views.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ::munmap(const_cast<void*>(it->first), it->second);
    views.erase(it);
    return TRUE;
}

BOOL CloseHandle(HANDLE object) {
    if (!platform::KernelObjects::close(object)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
