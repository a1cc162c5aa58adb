#include "platform/services/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/common/Unicode.h"
#include "platform/win32.h"

namespace platform {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trim(std::u16string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char16_t fold(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
    // Full-width Latin letters fold as Windows folds them.
    if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);
    return c;
}

bool sameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

// The section name of a "[name]" line, or nothing for other lines.
std::optional<std::u16string_view> sectionOf(std::u16string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != u'[') return std::nullopt;
    line.remove_prefix(1);
    std::size_t close = line.find(u']');
    if (close != std::u16string_view::npos) line = line.substr(0, close);
    return trim(line);
}

// The key and raw value of a "key=value" line; comments and other lines give nothing.
bool splitKey(std::u16string_view line, std::u16string_view* key, std::u16string_view* value) {
    std::u16string_view t = trim(line);
    if (t.empty() || t.front() == u';' || t.front() == u'[') return false;
    std::size_t eq = t.find(u'=');
    if (eq == std::u16string_view::npos) return false;
    *key = trim(t.substr(0, eq));
    *value = trim(t.substr(eq + 1));
    return true;
}

}  // namespace

IniFile IniFile::load(const std::string& nativePath) {
    std::ifstream in(nativePath, std::ios::binary);
    if (!in) return IniFile{};
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    IniFile file = fromBytes(bytes);
    file.m_exists = true;
    return file;
}

IniFile IniFile::fromBytes(std::string_view bytes) {
    IniFile file;
    file.m_exists = true;
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    std::u16string text;
    if (bytes.size() >= 2 && b(0) == 0xFF && b(1) == 0xFE) {
        file.m_encoding = Encoding::Utf16LE;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) text += static_cast<char16_t>(b(i) | b(i + 1) << 8);
    } else if (bytes.size() >= 2 && b(0) == 0xFE && b(1) == 0xFF) {
        file.m_encoding = Encoding::Utf16BE;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) text += static_cast<char16_t>(b(i) << 8 | b(i + 1));
    } else if (bytes.size() >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) {
        file.m_encoding = Encoding::Utf8WithMark;
        text = veltrix::unicode::utf8ToUtf16(bytes.substr(3));
    } else if (bytes.empty()) {
        // An empty file is taken as Unicode, as Windows does with the profile functions.
        file.m_encoding = Encoding::Utf16LE;
    } else {
        file.m_encoding = Encoding::SystemCodePage;
        std::u16string wide(bytes.size(), u'\0');
        int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                                    static_cast<int>(wide.size()));
        wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        text = std::move(wide);
    }
    // Lines end at CR LF, LF or a lone CR.
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            file.m_lines.emplace_back(text, start, i - start);
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) file.m_lines.emplace_back(text, start, std::u16string::npos);
    return file;
}

std::optional<IniFile::Span> IniFile::findSection(std::u16string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        auto name = sectionOf(m_lines[i]);
        if (!name || !sameName(*name, trim(section))) continue;
        std::size_t end = i + 1;
        while (end < m_lines.size() && !sectionOf(m_lines[end])) ++end;
        return Span{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::findKey(const Span& span, std::u16string_view key) const {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        std::u16string_view k, v;
        if (splitKey(m_lines[i], &k, &v) && sameName(k, trim(key))) return i;
    }
    return std::nullopt;
}

std::optional<std::u16string> IniFile::value(std::u16string_view section, std::u16string_view key) const {
    auto span = findSection(section);
    if (!span) return std::nullopt;
    auto line = findKey(*span, key);
    if (!line) return std::nullopt;
    std::u16string_view k, v;
    splitKey(m_lines[*line], &k, &v);
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::u16string(v);
}

std::vector<std::u16string> IniFile::sectionNames() const {
    std::vector<std::u16string> names;
    for (const auto& line : m_lines)
        if (auto name = sectionOf(line)) names.emplace_back(*name);
    return names;
}

std::vector<std::u16string> IniFile::keyNames(std::u16string_view section) const {
    std::vector<std::u16string> names;
    auto span = findSection(section);
    if (!span) return names;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        std::u16string_view k, v;
        if (splitKey(m_lines[i], &k, &v)) names.emplace_back(k);
    }
    return names;
}

void IniFile::setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    std::u16string trimmedKey(trim(key));
    std::u16string line = trimmedKey + u"=" + std::u16string(value);
    auto span = findSection(section);
    if (!span) {
        m_lines.push_back(u"[" + std::u16string(trim(section)) + u"]");
        m_lines.push_back(line);
        return;
    }
    if (auto existing = findKey(*span, key)) {
        // Keep the key's own spelling and only put the new value in.
        std::u16string_view k, v;
        splitKey(m_lines[*existing], &k, &v);
        m_lines[*existing] = std::u16string(k) + u"=" + std::u16string(value);
        return;
    }
    // After the section's last key, so that trailing blank lines and comments
    // that introduce the next section stay where they are.
    std::size_t at = span->header + 1;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        std::u16string_view k, v;
        if (splitKey(m_lines[i], &k, &v)) at = i + 1;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), line);
}

void IniFile::removeKey(std::u16string_view section, std::u16string_view key) {
    auto span = findSection(section);
    if (!span) return;
    if (auto line = findKey(*span, key)) m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*line));
}

void IniFile::removeSection(std::u16string_view section) {
    auto span = findSection(section);
    if (!span) return;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(span->header),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(span->end));
}

std::string IniFile::toBytes() const {
    std::u16string text;
    for (const auto& line : m_lines) {
        text += line;
        text += u"\r\n";
    }
    std::string out;
    switch (m_encoding) {
        case Encoding::Utf16LE:
            out = "\xFF\xFE";
            for (char16_t c : text) {
                out.push_back(static_cast<char>(c & 0xFF));
                out.push_back(static_cast<char>(c >> 8));
            }
            break;
        case Encoding::Utf16BE:
            out = "\xFE\xFF";
            for (char16_t c : text) {
                out.push_back(static_cast<char>(c >> 8));
                out.push_back(static_cast<char>(c & 0xFF));
            }
            break;
        case Encoding::Utf8WithMark:
            out = "\xEF\xBB\xBF" + veltrix::unicode::utf16ToUtf8(text);
            break;
        case Encoding::SystemCodePage:
            if (!text.empty()) {
                int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                            nullptr);
                out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
                if (n > 0)
                    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                                        nullptr);
            }
            break;
    }
    return out;
}

bool IniFile::save(const std::string& nativePath) const {
    std::string bytes = toBytes();
    std::string temp = nativePath + ".tmp-" + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED);
        return false;
    }
    // Keep the permissions of the file being replaced.
    struct stat st;
    if (::stat(nativePath.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
    std::size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            SetLastError(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        SetLastError(ERROR_WRITE_FAULT);
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        SetLastError(ERROR_WRITE_FAULT);
    }
    if (ok && std::rename(temp.c_str(), nativePath.c_str()) != 0) {
        ok = false;
        SetLastError(ERROR_ACCESS_DENIED);
    }
    if (!ok) std::remove(temp.c_str());
    return ok;
}

}  // namespace platform
