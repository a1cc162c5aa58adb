#include "platform/win32.h"

namespace {
bool isSeparator(WCHAR c) { return c == u'\\' || c == u'/'; }

std::size_t length(LPCWSTR s) {
    std::size_t n = 0;
    while (s[n]) ++n;
    return n;
}
}  // namespace

// The file name begins after the last separator (or drive colon) that is not the
// path's last character, so "C:\dir\" names "dir\".
LPWSTR PathFindFileNameW(LPCWSTR path) {
    if (!path) return nullptr;
    LPCWSTR name = path;
    for (LPCWSTR p = path; *p; ++p)
        if ((isSeparator(*p) || *p == u':') && p[1] && !isSeparator(p[1])) name = p + 1;
    return const_cast<LPWSTR>(name);
}

// The last "." of the last path component; a space ends the candidate, as an
// extension never holds one. Without an extension, the terminating zero.
LPWSTR PathFindExtensionW(LPCWSTR path) {
    if (!path) return nullptr;
    LPCWSTR dot = nullptr;
    LPCWSTR p = path;
    for (; *p; ++p) {
        if (isSeparator(*p) || *p == u' ')
            dot = nullptr;
        else if (*p == u'.')
            dot = p;
    }
    return const_cast<LPWSTR>(dot ? dot : p);
}

void PathStripPathW(LPWSTR path) {
    if (!path) return;
    LPWSTR name = PathFindFileNameW(path);
    if (name == path) return;
    std::size_t n = length(name);
    for (std::size_t i = 0; i <= n; ++i) path[i] = name[i];
}

void PathRemoveExtensionW(LPWSTR path) {
    if (!path) return;
    *PathFindExtensionW(path) = 0;
}
