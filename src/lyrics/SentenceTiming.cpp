#include "lyrics/SentenceTiming.h"

int findEntryAt(const std::vector<SentenceTiming>& s, std::uint32_t p) {
    const std::size_t n = s.size();
    if (n == 0) return -1;
    std::size_t last = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const std::uint32_t start = s[i].startMs;
        if (p < start) return static_cast<int>(i);
        std::uint32_t windowEnd = s[i + 1].startMs;
        if (windowEnd < start) windowEnd = start + 10000u;
        if (start <= p && p < windowEnd) return static_cast<int>(i);
        if (start != 0) last = i;
    }
    if (n >= 2 && last == n - 2) return static_cast<int>(n - 1);
    return static_cast<int>(last);
}
