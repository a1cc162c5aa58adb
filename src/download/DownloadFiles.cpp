#include "download/DownloadFiles.h"

#include "platform/api/FileOperations.h"
#include "platform/common/Unicode.h"
#include "platform/win32.h"

namespace {

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool isReserved(char16_t c) {
    return c == u'"' || c == u'*' || c == u'/' || c == u':' || c == u'<' || c == u'>' || c == u'?' || c == u'\\' ||
           c == u'|';
}

void appendEscape(std::u16string& out, char16_t c) {
    static const char16_t hex[] = u"0123456789ABCDEF";
    out += u'%';
    bool started = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
        unsigned digit = (c >> shift) & 0xF;
        if (digit || started || shift == 0) {
            out += hex[digit];
            started = true;
        }
    }
}

std::size_t utf8Length(char16_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : 3; }

// Cuts text so that its UTF-8 form fits in limit bytes, never between the two
// halves of a surrogate pair.
void cutToUtf8Bytes(std::u16string& text, std::size_t limit) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool pair = veltrix::unicode::isPairAt(text, i);
        const std::size_t need = pair ? 4 : utf8Length(c);
        if (bytes + need > limit) {
            text.resize(i);
            return;
        }
        bytes += need;
        if (pair) ++i;
    }
}

}  // namespace

bool createDirectoriesForFile(std::u16string_view path) {
    const std::size_t cut = path.find_last_of(u"\\/");
    // A bare file name lies in the current folder, which exists.
    if (cut == std::u16string_view::npos) return true;
    const std::u16string folder(path.substr(0, cut + 1));
    const int result = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS;
}

std::u16string escapeFileName(std::u16string_view title) {
    std::u16string out;
    out.reserve(title.size());
    bool onlyDots = !title.empty();
    for (char16_t c : title) {
        if (c != u'.') onlyDots = false;
        if (isReserved(c))
            appendEscape(out, c);
        else if (c < 32)
            out += u' ';
        else
            out += c;
    }
    if (onlyDots) {
        out.clear();
        for (std::size_t i = 0; i < title.size(); ++i) appendEscape(out, u'.');
    }
    cutToUtf8Bytes(out, kMaxEscapedNameBytes);
    return out;
}

std::u16string pathInFolder(std::u16string_view folder, std::u16string_view name) {
    std::u16string path(folder);
    if (!path.empty() && !isSeparator(path.back())) path += u'/';
    std::u16string file = escapeFileName(name);
    path += file.empty() ? u"_" : file;
    return path;
}

bool moveFile(std::u16string_view from, std::u16string_view to) {
    const std::u16string source(from), target(to);
    return MoveFileW(source.c_str(), target.c_str()) != FALSE;
}
