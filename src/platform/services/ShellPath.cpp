#include <string>
#include <string_view>
#include <vector>

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

namespace {

// The path's root ("/", "\", "C:\", "C:") and its components, "." and ".."
// resolved; ".." at the root is dropped.
struct SplitPath {
    std::u16string root;
    std::vector<std::u16string> parts;
};

SplitPath split(std::u16string_view path) {
    SplitPath out;
    std::size_t i = 0;
    if (path.size() >= 2 && path[1] == u':') {
        out.root = std::u16string(path.substr(0, 2));
        i = 2;
    }
    if (i < path.size() && isSeparator(path[i])) {
        out.root += path[i];
        ++i;
    }
    while (i <= path.size()) {
        std::size_t end = i;
        while (end < path.size() && !isSeparator(path[end])) ++end;
        std::u16string_view part = path.substr(i, end - i);
        if (part == u"..") {
            if (!out.parts.empty() && out.parts.back() != u"..")
                out.parts.pop_back();
            else if (out.root.empty())
                out.parts.emplace_back(part);
        } else if (!part.empty() && part != u".") {
            out.parts.emplace_back(part);
        }
        i = end + 1;
    }
    return out;
}

char16_t separatorOf(std::u16string_view path) {
    for (char16_t c : path)
        if (isSeparator(c)) return c;
    return u'/';
}

std::u16string join(const SplitPath& p, char16_t separator) {
    std::u16string out = p.root;
    for (std::size_t i = 0; i < p.parts.size(); ++i) {
        if (i) out += separator;
        out += p.parts[i];
    }
    return out;
}

bool copyOut(LPWSTR destination, const std::u16string& text) {
    if (text.size() >= MAX_PATH) return false;
    text.copy(destination, text.size());
    destination[text.size()] = 0;
    return true;
}

bool sameComponent(std::u16string_view a, std::u16string_view b) {
    // Windows compares without regard to case; on Linux the file system does not.
    return a == b;
}

}  // namespace

BOOL PathIsRelativeW(LPCWSTR path) {
    if (!path || !*path) return TRUE;
    if (isSeparator(path[0])) return FALSE;
    return path[1] == u':' ? FALSE : TRUE;
}

LPWSTR PathCombineW(LPWSTR destination, LPCWSTR folder, LPCWSTR file) {
    if (!destination || (!folder && !file)) return nullptr;
    std::u16string combined;
    std::u16string_view f = file ? std::u16string_view(file) : std::u16string_view();
    std::u16string_view d = folder ? std::u16string_view(folder) : std::u16string_view();
    if (!f.empty() && !PathIsRelativeW(file)) {
        combined = f;
    } else {
        combined = d;
        if (!combined.empty() && !f.empty() && !isSeparator(combined.back())) combined += separatorOf(d);
        combined += f;
    }
    SplitPath parts = split(combined);
    std::u16string out = join(parts, separatorOf(combined));
    if (out.empty()) out = std::u16string(1, separatorOf(combined));
    if (!copyOut(destination, out)) {
        destination[0] = 0;
        return nullptr;
    }
    return destination;
}

BOOL PathRelativePathToW(LPWSTR destination, LPCWSTR from, DWORD fromAttributes, LPCWSTR to, DWORD) {
    if (!destination || !from || !to) return FALSE;
    destination[0] = 0;
    SplitPath a = split(from), b = split(to);
    if (!(fromAttributes & FILE_ATTRIBUTE_DIRECTORY) && !a.parts.empty()) a.parts.pop_back();
    if (a.root != b.root || a.root.empty()) return FALSE;
    std::size_t common = 0;
    while (common < a.parts.size() && common < b.parts.size() && sameComponent(a.parts[common], b.parts[common]))
        ++common;
    // A drive is a common folder; the Linux root alone is not, as every path
    // shares it: such files are written with their absolute paths.
    if (common == 0 && a.root.find(u':') == std::u16string::npos) return FALSE;
    const char16_t separator = separatorOf(to);
    std::u16string out;
    if (common == a.parts.size()) {
        out = u".";
    } else {
        for (std::size_t i = common; i < a.parts.size(); ++i)
            out += (i == common ? u".." : std::u16string(1, separator) + u"..");
    }
    for (std::size_t i = common; i < b.parts.size(); ++i) out += separator + b.parts[i];
    return copyOut(destination, out) ? TRUE : FALSE;
}
