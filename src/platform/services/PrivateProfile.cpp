// The private-profile functions on IniFile. Every call reads the file afresh, as
// on Windows another process may have changed it; a lock keeps two threads of
// this process from interleaving a read-modify-write.
#include <mutex>
#include <string>
#include <vector>

#include "platform/services/IniFile.h"
#include "platform/services/NativePath.h"
#include "platform/win32.h"

namespace {

std::mutex& profileLock() {
    static std::mutex lock;
    return lock;
}

std::u16string_view view(LPCWSTR s) { return s ? std::u16string_view(s) : std::u16string_view(); }

// Copies a value, cut to the buffer, as GetPrivateProfileStringW does.
DWORD copyValue(std::u16string_view value, LPWSTR buffer, DWORD size) {
    std::size_t n = std::min<std::size_t>(value.size(), size - 1);
    value.copy(buffer, n);
    buffer[n] = 0;
    return static_cast<DWORD>(n);
}

// Copies names as a list of zero-terminated strings ending in an extra zero. When
// the list does not fit it is cut, still doubly terminated, and size - 2 returned.
DWORD copyList(const std::vector<std::u16string>& names, LPWSTR buffer, DWORD size) {
    if (size == 1) {
        buffer[0] = 0;
        return 0;
    }
    std::size_t at = 0;
    for (const auto& name : names) {
        if (at + name.size() + 1 > size - 1) {
            std::size_t room = size - 2 - at;
            name.copy(buffer + at, room);
            buffer[size - 2] = 0;
            buffer[size - 1] = 0;
            return size - 2;
        }
        name.copy(buffer + at, name.size());
        at += name.size();
        buffer[at++] = 0;
    }
    buffer[at] = 0;
    return static_cast<DWORD>(at == 0 ? 0 : at);
}

}  // namespace

DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer, DWORD size,
                               LPCWSTR fileName) {
    if (!buffer || size == 0) return 0;
    platform::IniFile file;
    if (fileName) {
        std::lock_guard guard(profileLock());
        file = platform::IniFile::load(platform::nativePath(fileName));
    }
    if (!section) return copyList(file.sectionNames(), buffer, size);
    if (!key) return copyList(file.keyNames(view(section)), buffer, size);
    if (auto value = file.value(view(section), view(key))) return copyValue(*value, buffer, size);
    // The default loses its trailing blanks.
    std::u16string_view fallback = view(defaultValue);
    while (!fallback.empty() && fallback.back() == u' ') fallback.remove_suffix(1);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return copyValue(fallback, buffer, size);
}

UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue, LPCWSTR fileName) {
    WCHAR buffer[64];
    if (GetPrivateProfileStringW(section, key, u"", buffer, 64, fileName) == 0) return static_cast<UINT>(defaultValue);
    // Leading blanks, a sign, then decimal digits ("0x" for hexadecimal); the
    // number ends at the first other character.
    const WCHAR* p = buffer;
    while (*p == u' ' || *p == u'\t') ++p;
    bool negative = false;
    if (*p == u'-' || *p == u'+') negative = *p++ == u'-';
    unsigned base = 10;
    if (p[0] == u'0' && (p[1] == u'x' || p[1] == u'X')) {
        base = 16;
        p += 2;
    }
    std::uint32_t result = 0;
    for (;; ++p) {
        unsigned digit;
        if (*p >= u'0' && *p <= u'9')
            digit = *p - u'0';
        else if (base == 16 && *p >= u'a' && *p <= u'f')
            digit = *p - u'a' + 10;
        else if (base == 16 && *p >= u'A' && *p <= u'F')
            digit = *p - u'A' + 10;
        else
            break;
        result = result * base + digit;
    }
    return negative ? static_cast<UINT>(0u - result) : static_cast<UINT>(result);
}

BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName) {
    if (!section || !fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(profileLock());
    std::string path = platform::nativePath(fileName);
    platform::IniFile file = platform::IniFile::load(path);
    if (!key)
        file.removeSection(section);
    else if (!value)
        file.removeKey(section, key);
    else
        file.setValue(section, key, value);
    return file.save(path) ? TRUE : FALSE;
}
