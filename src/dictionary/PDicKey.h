// The search word as a PDIC dictionary compares it with its titles: the
// bytes of code page 932 for a Shift-JIS dictionary, UTF-16 code units for a
// Unicode one (whose titles are decoded from BOCU-1 first). Titles are
// compared on the key's length only, so "app" is equal to "apple".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Version 6 and later dictionaries compare normalised words: "A".."Z" as
// "a".."z", "-" as a space, voiced and small katakana as their base letter.
std::u16string normalizeKeyword(std::u16string_view word);

// Whether a search matches whole titles or every title that begins with the word.
enum class SearchMode { Prefix, Exact };

class PDicKey {
public:
    // The longest key in bytes of code page 932 that a title could match.
    static constexpr std::size_t kMaxBytes = 1024;

    PDicKey(std::u16string_view word, bool unicode);

    bool unicode() const { return m_unicode; }
    // A Shift-JIS key longer than any title can be: nothing matches it.
    bool tooLong() const { return m_tooLong; }
    // n: bytes (Shift-JIS) or code units (Unicode).
    std::size_t length() const { return m_unicode ? m_units.size() : m_bytes.size(); }

    // The first length() units of the title against the key: negative when
    // the title is smaller (a shorter title that matches so far is smaller),
    // 0 when equal, positive when greater.
    int compareBytes(std::string_view title) const;
    int compareUnits(std::u16string_view title) const;
    // The title in the dictionary's encoding (raw bytes), decoded as needed.
    int compareStored(std::string_view title) const;

private:
    bool m_unicode;
    bool m_tooLong = false;
    std::string m_bytes;
    std::u16string m_units;
};
