#include "platform/common/CharWidthCache.h"

#include <algorithm>
#include <utility>

#include "platform/common/Unicode.h"

namespace veltrix {

CharWidthCache::CharWidthCache(Surrogates surrogates) : surrogates_(surrogates) {}

CharWidthCache::CharWidthCache(Measure measure, int tabCell, Surrogates surrogates) : surrogates_(surrogates) {
    reset(std::move(measure), tabCell);
}

void CharWidthCache::reset(Measure measure, int tabCell) {
    measure_ = std::move(measure);
    tabCell_ = std::max(1, tabCell);
    clear();
}

void CharWidthCache::clear() {
    for (auto& page : pages_) page.reset();
    pairs_.clear();
}

int CharWidthCache::measureUnit(char16_t unit, const Measure& measure) {
    int w = 0;
    if (unit == u'\r' || unit == u'\n') {
        w = 0;
    } else if (surrogates_ == Surrogates::AsIdeographicCells && unicode::isSurrogate(unit)) {
        w = measure(u"\u3000");
    } else {
        w = measure(std::u16string_view(&unit, 1));
    }
    w = std::max(0, w);
    std::unique_ptr<Page>& page = pages_[unit >> 8];
    if (!page) {
        page = std::make_unique<Page>();
        page->fill(-1);
    }
    (*page)[unit & 0xFF] = w;
    return w;
}

std::vector<int> CharWidthCache::advances(std::u16string_view text, const Measure& measure) {
    std::vector<int> x(text.size() + 1, 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (surrogates_ == Surrogates::AsCharacters && unicode::isPairAt(text, i)) {
            const char32_t codePoint = unicode::combineSurrogates(text[i], text[i + 1]);
            auto it = pairs_.find(codePoint);
            if (it == pairs_.end()) it = pairs_.emplace(codePoint, std::max(0, measure(text.substr(i, 2)))).first;
            x[i + 1] = x[i] + it->second;
            x[i + 2] = x[i + 1];
            ++i;
            continue;
        }
        const char16_t unit = text[i];
        const Page* page = pages_[unit >> 8].get();
        const int known = page ? (*page)[unit & 0xFF] : -1;
        x[i + 1] = x[i] + (known >= 0 ? known : measureUnit(unit, measure));
    }
    return x;
}

}  // namespace veltrix
