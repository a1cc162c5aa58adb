#include "lyrics/TimeCode.h"

#include <cstdio>

#include "xml/Element.h"

std::u16string formatTimeCode(std::uint32_t t) {
    char text[40];
    const int length =
        std::snprintf(text, sizeof text, "%02u:%02u:%02u", t / 60000u, (t / 1000u) % 60u, (t % 1000u) / 10u);
    return std::u16string(text, text + length);
}

std::uint32_t parseTimeCode(std::u16string_view text) {
    if (text.empty()) return 0;
    std::u16string_view parts[3];
    std::size_t count = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = text.find(u':', start);
        if (count == 3) return 0;  // a fourth part
        parts[count++] = text.substr(start, colon == std::u16string_view::npos ? colon : colon - start);
        if (colon == std::u16string_view::npos) break;
        start = colon + 1;
    }
    if (count != 3) return 0;
    const auto value = [](std::u16string_view part) { return static_cast<std::uint32_t>(parseDecimal(part)); };
    return value(parts[0]) * 60000u + value(parts[1]) * 1000u + value(parts[2]) * 10u;
}
