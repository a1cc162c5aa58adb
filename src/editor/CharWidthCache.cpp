#include "editor/CharWidthCache.h"

#include <algorithm>
#include <utility>

namespace {
constexpr std::size_t kCodeUnits = 0x10000;
}

CharWidthCache::CharWidthCache() : CharWidthCache([](char16_t) { return 8; }, 64) {}

CharWidthCache::CharWidthCache(Measure measure, int tabCell) { reset(std::move(measure), tabCell); }

void CharWidthCache::reset(Measure measure, int tabCell) {
    m_measure = std::move(measure);
    m_tabCell = std::max(1, tabCell);
    m_widths.assign(kCodeUnits, -1);
}

int CharWidthCache::measure(char16_t c) {
    int w = 0;
    if (c == u'\r' || c == u'\n') {
        w = 0;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
        w = m_measure(u'\u3000');
    } else {
        w = m_measure(c);
    }
    w = std::max(0, w);
    m_widths[c] = w;
    return w;
}
