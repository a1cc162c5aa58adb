// An INI file held as its lines, so that a write changes only the line it must
// and leaves comments, blank lines, the order of keys and the file's encoding
// as they were. The private-profile functions are built on it.
//
// Invariant: lines never hold a line break; the file is written back with CR LF
// after every line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniFile {
public:
    enum class Encoding { Utf16LE, Utf16BE, Utf8WithMark, SystemCodePage };

    // Reads the file; a missing or unreadable file gives an empty one (exists()
    // false) that will be written as UTF-16LE with byte-order mark.
    static IniFile load(const std::string& nativePath);
    // Parses text already decoded (for tests and for callers that hold bytes).
    static IniFile fromBytes(std::string_view bytes);

    bool exists() const { return m_exists; }
    Encoding encoding() const { return m_encoding; }

    // The raw value after "=", trimmed, with one pair of matching surrounding
    // quotes removed; nothing when the section or key is missing.
    std::optional<std::u16string> value(std::u16string_view section, std::u16string_view key) const;
    std::vector<std::u16string> sectionNames() const;
    std::vector<std::u16string> keyNames(std::u16string_view section) const;

    void setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);
    void removeKey(std::u16string_view section, std::u16string_view key);
    void removeSection(std::u16string_view section);

    std::string toBytes() const;
    // Writes through a temporary file beside the target and a rename, so a
    // failure part-way leaves the old file whole. Sets the Win32 last error.
    bool save(const std::string& nativePath) const;

private:
    struct Span {
        std::size_t header;  // index of the "[name]" line
        std::size_t end;     // one past the section's last line
    };
    std::optional<Span> findSection(std::u16string_view section) const;
    std::optional<std::size_t> findKey(const Span& span, std::u16string_view key) const;

    std::vector<std::u16string> m_lines;
    Encoding m_encoding = Encoding::Utf16LE;
    bool m_exists = false;
};

}  // namespace platform
