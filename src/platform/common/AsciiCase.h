// ASCII case folding for the names the program compares without regard to
// case: file extensions, window class names, file-dialog patterns, table
// look-ups. Only A-Z and a-z fold; every other unit (full-width letters,
// accented Latin) stays as it is, as in the Windows functions these stand for.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace veltrix::ascii {

constexpr char16_t toLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }
constexpr char16_t toUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }
// The narrow forms serve protocol texts and native paths (UTF-8), where bytes
// of a multi-byte sequence are never in A-Z and so stay as they are.
constexpr char toLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

inline std::u16string toLower(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) c = toLower(c);
    return out;
}

constexpr bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return toLower(x) == toLower(y); });
}

constexpr bool endsWithIgnoringCase(std::u16string_view text, std::u16string_view suffix) {
    return text.size() >= suffix.size() && equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return toLower(x) == toLower(y); });
}

constexpr bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

constexpr bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace veltrix::ascii
