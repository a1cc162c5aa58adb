#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "platform/win32.h"

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)); }

BOOL PrefetchVirtualMemory(HANDLE, std::uintptr_t count, WIN32_MEMORY_RANGE_ENTRY* entries, ULONG) {
    if (!entries) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    static const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    for (std::uintptr_t i = 0; i < count; ++i) {
        // Only whole pages inside the range may be advised.
        auto begin = (reinterpret_cast<std::uintptr_t>(entries[i].VirtualAddress) + page - 1) & ~(page - 1);
        auto end =
            (reinterpret_cast<std::uintptr_t>(entries[i].VirtualAddress) + entries[i].NumberOfBytes) & ~(page - 1);
        if (end <= begin) continue;
        // Advice only: a kernel without it simply faults the pages in later.
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
    }
    return TRUE;
}
