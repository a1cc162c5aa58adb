#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <ctime>

#include "platform/services/NativePath.h"
#include "platform/win32.h"

namespace {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kEpochDifference = 11644473600LL;

FILETIME toFileTime(std::int64_t seconds, std::int64_t nanoseconds) {
    const std::uint64_t ticks =
        static_cast<std::uint64_t>((seconds + kEpochDifference) * 10000000LL + nanoseconds / 100);
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

std::uint64_t ticksOf(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

BOOL GetFileAttributesExW(LPCWSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID information) {
    if (!path || !information || level != GetFileExInfoStandard) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    struct statx st;
    if (::statx(AT_FDCWD, platform::nativePath(path).c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &st) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(information);
    data->dwFileAttributes = S_ISDIR(st.stx_mode)           ? FILE_ATTRIBUTE_DIRECTORY
                             : (st.stx_mode & S_IWUSR) != 0 ? FILE_ATTRIBUTE_NORMAL
                                                            : FILE_ATTRIBUTE_READONLY;
    const auto& birth = (st.stx_mask & STATX_BTIME) ? st.stx_btime : st.stx_ctime;
    data->ftCreationTime = toFileTime(birth.tv_sec, birth.tv_nsec);
    data->ftLastAccessTime = toFileTime(st.stx_atime.tv_sec, st.stx_atime.tv_nsec);
    data->ftLastWriteTime = toFileTime(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec);
    data->nFileSizeHigh = static_cast<DWORD>(st.stx_size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(st.stx_size & 0xFFFFFFFFu);
    return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime) {
    if (!fileTime || !localFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::uint64_t ticks = ticksOf(*fileTime);
    const std::time_t seconds = static_cast<std::time_t>(ticks / 10000000u) - kEpochDifference;
    std::tm local{};
    if (!localtime_r(&seconds, &local)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::int64_t shifted =
        static_cast<std::int64_t>(ticks) + static_cast<std::int64_t>(local.tm_gmtoff) * 10000000LL;
    *localFileTime = FILETIME{static_cast<DWORD>(shifted & 0xFFFFFFFFu),
                              static_cast<DWORD>(static_cast<std::uint64_t>(shifted) >> 32)};
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime) {
    if (!fileTime || !systemTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::uint64_t ticks = ticksOf(*fileTime);
    const std::time_t seconds = static_cast<std::time_t>(ticks / 10000000u) - kEpochDifference;
    std::tm utc{};
    if (!gmtime_r(&seconds, &utc)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *systemTime = SYSTEMTIME{static_cast<WORD>(utc.tm_year + 1900), static_cast<WORD>(utc.tm_mon + 1),
                             static_cast<WORD>(utc.tm_wday),        static_cast<WORD>(utc.tm_mday),
                             static_cast<WORD>(utc.tm_hour),        static_cast<WORD>(utc.tm_min),
                             static_cast<WORD>(utc.tm_sec),         static_cast<WORD>((ticks / 10000u) % 1000u)};
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime) {
    if (!systemTime || !fileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const SYSTEMTIME& s = *systemTime;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (s.wYear % 4 == 0 && s.wYear % 100 != 0) || s.wYear % 400 == 0;
    // The weekday is not read; every other field must name a real moment.
    if (s.wYear < 1601 || s.wYear > 30827 || s.wMonth < 1 || s.wMonth > 12 || s.wDay < 1 ||
        s.wDay > kDays[s.wMonth - 1] + (s.wMonth == 2 && leap ? 1 : 0) || s.wHour > 23 || s.wMinute > 59 ||
        s.wSecond > 59 || s.wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Days since 1970-01-01 by the civil-from-days inverse (proleptic Gregorian).
    int y = s.wYear - (s.wMonth <= 2 ? 1 : 0);
    int era = y / 400;
    int yoe = y - era * 400;
    int mp = (s.wMonth + 9) % 12;
    int doy = (153 * mp + 2) / 5 + s.wDay - 1;
    int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    long long days = static_cast<long long>(era) * 146097 + doe - 719468;
    long long seconds = days * 86400 + s.wHour * 3600 + s.wMinute * 60 + s.wSecond + kEpochDifference;
    std::uint64_t ticks = static_cast<std::uint64_t>(seconds) * 10000000u + s.wMilliseconds * 10000u;
    fileTime->dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    fileTime->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return TRUE;
}

void GetLocalTime(SYSTEMTIME* systemTime) {
    if (!systemTime) return;
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    *systemTime = SYSTEMTIME{static_cast<WORD>(local.tm_year + 1900), static_cast<WORD>(local.tm_mon + 1),
                             static_cast<WORD>(local.tm_wday),        static_cast<WORD>(local.tm_mday),
                             static_cast<WORD>(local.tm_hour),        static_cast<WORD>(local.tm_min),
                             static_cast<WORD>(local.tm_sec),         static_cast<WORD>(ms)};
}
