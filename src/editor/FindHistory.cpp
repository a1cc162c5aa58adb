#include "editor/FindHistory.h"

#include <algorithm>

#include "platform/common/AsciiCase.h"

int FindHistory::add(std::u16string_view text, Place place) {
    if (text.empty() || text.find_first_of(u"\r\n\t") != std::u16string_view::npos) return -1;
    std::erase_if(entries_,
                  [&](const std::u16string& entry) { return veltrix::ascii::equalsIgnoringCase(entry, text); });
    int index = 0;
    if (place == Place::Top) {
        entries_.insert(entries_.begin(), std::u16string(text));
    } else {
        entries_.emplace_back(text);
        index = size() - 1;
    }
    if (entries_.size() > kMaxEntries) {
        entries_.erase(entries_.begin() + kMaxEntries);
        if (index >= static_cast<int>(kMaxEntries)) return -1;
    }
    return index;
}

std::u16string FindHistory::joined() const {
    std::u16string text;
    for (const std::u16string& entry : entries_) {
        if (!text.empty()) text += u',';
        text += entry;
    }
    return text;
}

void FindHistory::load(std::u16string_view stored) {
    entries_.clear();
    stored = stored.substr(0, std::min(stored.size(), kMaxStoredLength));
    for (;;) {
        const std::size_t comma = stored.find(u',');
        add(stored.substr(0, comma), Place::End);
        if (comma == std::u16string_view::npos) break;
        stored.remove_prefix(comma + 1);
    }
}
