#include "platform/controls/CharWidths.h"

namespace veltrix::platform::controls {

std::vector<int> CharWidths::advances(HDC dc, const std::u16string& text) {
    std::vector<int> x(text.size() + 1, 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        std::size_t units = 1;
        char32_t key = c;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            units = 2;
            key = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        }
        auto it = widths_.find(key);
        if (it == widths_.end()) {
            SIZE size{};
            GetTextExtentPoint32W(dc, text.data() + i, static_cast<int>(units), &size);
            it = widths_.emplace(key, static_cast<int>(size.cx)).first;
        }
        x[i + 1] = x[i] + it->second;
        if (units == 2) {
            x[i + 2] = x[i + 1];
            ++i;
        }
    }
    return x;
}

}  // namespace veltrix::platform::controls
