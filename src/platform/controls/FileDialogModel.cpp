#include "platform/controls/FileDialogModel.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/common/AsciiCase.h"
#include "platform/services/NativePath.h"

namespace fs = std::filesystem;

namespace veltrix::platform::controls {

namespace {

using ascii::toLower;

// Wildcard match by the usual greedy walk with one back-tracking point.
bool matchOne(std::u16string_view name, std::u16string_view pattern) {
    if (pattern == u"*.*" || pattern == u"*") return true;
    std::size_t n = 0, p = 0, star = std::u16string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || toLower(pattern[p]) == toLower(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            mark = n;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

std::u16string trim(std::u16string s) {
    auto notSpace = [](char16_t c) { return c != u' ' && c != u'\t'; };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
    s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
    return s;
}

std::u16string nameOf(const std::u16string& path) {
    auto slash = path.rfind(u'/');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

std::u16string homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? ::platform::programPath(home) : u"/";
}

}  // namespace

std::vector<FileFilter> parseFilter(const WCHAR* filter) {
    std::vector<FileFilter> out;
    if (!filter) return out;
    std::size_t used = 0;
    auto readString = [&](std::u16string& s) {
        while (used < kMaxFilterText && filter[used]) s.push_back(filter[used++]);
        if (used >= kMaxFilterText) return false;
        ++used;  // the terminator
        return true;
    };
    while (out.size() < 256) {
        FileFilter f;
        if (!readString(f.label) || f.label.empty()) break;
        if (!readString(f.patterns)) break;
        out.push_back(std::move(f));
    }
    return out;
}

bool matchesPattern(std::u16string_view name, std::u16string_view patterns) {
    bool any = false;
    std::size_t start = 0;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(u';', start);
        if (end == std::u16string_view::npos) end = patterns.size();
        std::u16string_view one = patterns.substr(start, end - start);
        while (!one.empty() && one.front() == u' ') one.remove_prefix(1);
        while (!one.empty() && one.back() == u' ') one.remove_suffix(1);
        if (!one.empty()) {
            any = true;
            if (matchOne(name, one)) return true;
        }
        start = end + 1;
    }
    return !any;
}

Listing listFolder(const std::u16string& folder, std::u16string_view patterns, HiddenFiles hidden) {
    Listing listing;
    std::error_code ec;
    fs::directory_iterator it(fs::path(::platform::nativePath(folder)), fs::directory_options::skip_permission_denied,
                              ec);
    if (ec) return listing;
    listing.readable = true;
    std::vector<FolderEntry> folders;
    std::vector<FolderEntry> files;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        FolderEntry e;
        e.name = ::platform::programPath(it->path().filename().string());
        if (hidden == HiddenFiles::Skip && !e.name.empty() && e.name[0] == u'.') continue;
        std::error_code typeError;
        e.folder = it->is_directory(typeError);
        if (e.folder) {
            folders.push_back(std::move(e));
        } else if (matchesPattern(e.name, patterns)) {
            std::error_code sizeError;
            auto size = it->file_size(sizeError);
            e.size = sizeError ? 0 : size;
            files.push_back(std::move(e));
        }
    }
    auto byName = [](const FolderEntry& a, const FolderEntry& b) {
        return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                            [](char16_t x, char16_t y) { return toLower(x) < toLower(y); });
    };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    if (folder != u"/") listing.entries.push_back({u"..", true, 0});
    for (auto& f : folders) listing.entries.push_back(std::move(f));
    for (auto& f : files) listing.entries.push_back(std::move(f));
    return listing;
}

std::u16string normalisePath(const std::u16string& path, const std::u16string& base) {
    std::u16string p = path;
    std::replace(p.begin(), p.end(), u'\\', u'/');
    if (p == u"~" || p.rfind(u"~/", 0) == 0) p = homeFolder() + p.substr(1);
    if (p.empty() || p[0] != u'/') {
        std::u16string b = base;
        std::replace(b.begin(), b.end(), u'\\', u'/');
        p = b + u"/" + p;
    }
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start <= p.size()) {
        std::size_t end = p.find(u'/', start);
        if (end == std::u16string::npos) end = p.size();
        std::u16string part = p.substr(start, end - start);
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != u".") {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    std::u16string out;
    for (const auto& part : parts) out += u"/" + part;
    return out.empty() ? u"/" : out;
}

std::u16string parentFolder(const std::u16string& folder) { return normalisePath(u"..", folder); }

bool isFolder(const std::u16string& path) {
    std::error_code ec;
    return fs::is_directory(fs::path(::platform::nativePath(path)), ec);
}

bool isFile(const std::u16string& path) {
    std::error_code ec;
    auto status = fs::status(fs::path(::platform::nativePath(path)), ec);
    return !ec && fs::exists(status) && !fs::is_directory(status);
}

std::u16string currentFolder() {
    std::error_code ec;
    auto here = fs::current_path(ec);
    return ec ? u"/" : normalisePath(::platform::programPath(here.string()), u"/");
}

TypedOutcome resolveTyped(FileDialogMode mode, DWORD flags, const std::u16string& folder, std::u16string typed,
                          const std::u16string& defaultExtension) {
    TypedOutcome out;
    typed = trim(std::move(typed));
    if (typed.size() >= 2 && typed.front() == u'"' && typed.back() == u'"') typed = typed.substr(1, typed.size() - 2);
    if (typed.empty()) return out;
    std::replace(typed.begin(), typed.end(), u'\\', u'/');

    std::u16string name = nameOf(typed);
    if (name.find_first_of(u"*?") != std::u16string::npos) {
        std::u16string where = typed.substr(0, typed.size() - name.size());
        std::u16string target = where.empty() ? folder : normalisePath(where, folder);
        if (!isFolder(target)) {
            out.action = TypedOutcome::Action::Refuse;
            out.message = target + u"\nPath does not exist.\nCheck the path and try again.";
            return out;
        }
        out.action = TypedOutcome::Action::Filter;
        out.path = target;
        out.pattern = name;
        return out;
    }

    std::u16string path = normalisePath(typed, folder);
    if (isFolder(path)) {
        out.action = TypedOutcome::Action::Navigate;
        out.path = path;
        return out;
    }
    std::u16string parent = parentFolder(path);
    bool folderMissing = typed.back() == u'/' || !isFolder(parent);
    if (folderMissing && (mode == FileDialogMode::Save || (flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)))) {
        out.action = TypedOutcome::Action::Refuse;
        out.message = (typed.back() == u'/' ? path : parent) + u"\nPath does not exist.\nCheck the path and try again.";
        return out;
    }

    std::u16string extension = defaultExtension;
    extension.erase(0, extension.find_first_not_of(u'.'));
    bool hasExtension = nameOf(path).find(u'.') != std::u16string::npos;
    std::u16string withExtension = !hasExtension && !extension.empty() ? path + u"." + extension : path;

    if (mode == FileDialogMode::Open) {
        // The name as typed wins when it exists; otherwise the default extension is tried.
        std::u16string chosen = isFile(path) ? path : withExtension;
        if ((flags & OFN_FILEMUSTEXIST) && !isFile(chosen)) {
            out.action = TypedOutcome::Action::Refuse;
            out.message = nameOf(path) + u"\nFile not found.\nCheck the file name and try again.";
            return out;
        }
        out.action = TypedOutcome::Action::Choose;
        out.path = chosen;
        return out;
    }
    if (isFolder(withExtension)) {
        out.action = TypedOutcome::Action::Navigate;
        out.path = withExtension;
        return out;
    }
    out.path = withExtension;
    if ((flags & OFN_OVERWRITEPROMPT) && isFile(withExtension)) {
        out.action = TypedOutcome::Action::AskOverwrite;
        out.message = nameOf(withExtension) + u" already exists.\nDo you want to replace it?";
        return out;
    }
    out.action = TypedOutcome::Action::Choose;
    return out;
}

}  // namespace veltrix::platform::controls
