#include "download/PageMarkers.h"

std::u16string textBetween(std::u16string_view text, std::u16string_view open, std::u16string_view close,
                           std::size_t from, const MissingMarker& missing) {
    const std::size_t at = text.find(open, from);
    if (at == std::u16string_view::npos) return {};
    const std::size_t start = at + open.size();
    const std::size_t end = text.find(close, start);
    if (end == std::u16string_view::npos) {
        if (missing) missing(std::u16string(close));
        return {};
    }
    return std::u16string(text.substr(start, end - start));
}

std::u16string replaceAll(std::u16string_view text, std::u16string_view from, std::u16string_view to) {
    std::u16string out;
    if (from.empty()) return std::u16string(text);
    out.reserve(text.size());
    std::size_t position = 0;
    for (;;) {
        const std::size_t at = text.find(from, position);
        if (at == std::u16string_view::npos) break;
        out.append(text.substr(position, at - position));
        out.append(to);
        position = at + from.size();
    }
    out.append(text.substr(position));
    return out;
}

std::u16string_view slice(std::u16string_view text, std::size_t begin, std::size_t end) {
    if (begin >= text.size()) return {};
    if (end == std::u16string_view::npos || end > text.size()) end = text.size();
    if (end <= begin) return {};
    return text.substr(begin, end - begin);
}

std::u16string excerpt(std::u16string_view text, std::size_t limit) {
    if (text.size() <= limit) return std::u16string(text);
    std::u16string out(text.substr(0, limit));
    // Never leave half of a surrogate pair at the cut.
    if (!out.empty() && out.back() >= 0xD800 && out.back() <= 0xDBFF) out.pop_back();
    const std::string length = std::to_string(text.size());
    out += u"...\r\n(";
    out.append(length.begin(), length.end());
    out += u" characters in all)";
    return out;
}
