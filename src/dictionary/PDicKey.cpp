#include "dictionary/PDicKey.h"

#include <algorithm>

#include "dictionary/Bocu1Decoder.h"
#include "text/NarrowText.h"

namespace {

// Voiced and small katakana and the letter each is searched as.
constexpr std::u16string_view kKatakanaFrom =
    u"ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポァィゥェォッャュョヮヵヶ";
constexpr std::u16string_view kKatakanaTo =
    u"カキクケコサシスセソタチツテトハヒフヘホハヒフヘホアイウエオツヤユヨワカケ";
static_assert(kKatakanaFrom.size() == kKatakanaTo.size());

template <typename Unit>
int comparePrefix(std::basic_string_view<Unit> title, std::basic_string_view<Unit> key) {
    const std::size_t n = key.size();
    const std::size_t common = std::min(title.size(), n);
    for (std::size_t i = 0; i < common; ++i) {
        // Unsigned: a lead byte of Shift-JIS sorts after ASCII.
        using Unsigned = std::make_unsigned_t<Unit>;
        const auto a = static_cast<Unsigned>(title[i]), b = static_cast<Unsigned>(key[i]);
        if (a != b) return a < b ? -1 : 1;
    }
    return title.size() < n ? -1 : 0;
}

}  // namespace

std::u16string normalizeKeyword(std::u16string_view word) {
    std::u16string out(word);
    for (char16_t& c : out) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        } else if (c == u'-') {
            c = u' ';
        } else if (const auto at = kKatakanaFrom.find(c); at != std::u16string_view::npos) {
            c = kKatakanaTo[at];
        }
    }
    return out;
}

PDicKey::PDicKey(std::u16string_view word, bool unicode) : m_unicode(unicode) {
    if (unicode) {
        m_units = word;
        return;
    }
    m_bytes = encodeCodePage(word, 932);
    if (m_bytes.size() > kMaxBytes) {
        m_tooLong = true;
        m_bytes.clear();
    }
}

int PDicKey::compareBytes(std::string_view title) const { return comparePrefix<char>(title, m_bytes); }

int PDicKey::compareUnits(std::u16string_view title) const { return comparePrefix<char16_t>(title, m_units); }

int PDicKey::compareStored(std::string_view title) const {
    if (!m_unicode) return compareBytes(title);
    // Only the first length() units take part; decoding more is wasted.
    return compareUnits(decodeBocu1(title, m_units.size() + 1));
}
