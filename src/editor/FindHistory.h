// The texts a find field remembers: at most ten, the most recent first.
//
// Invariants: no entry is empty or holds CR, LF or TAB; no two entries are
// equal ignoring ASCII case (as the list box's exact match compares); at
// most kMaxEntries entries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class FindHistory {
public:
    static constexpr std::size_t kMaxEntries = 10;
    // The most characters of a stored list that are read back.
    static constexpr std::size_t kMaxStoredLength = 2048;

    enum class Place { Top, End };
    // Adds text at the top (or at the end, while loading), replacing an equal
    // entry; a text that is empty or holds a line break or TAB is ignored.
    // The entry's index afterwards, or -1 when nothing was added.
    int add(std::u16string_view text, Place place = Place::Top);
    void clear() { entries_.clear(); }

    const std::vector<std::u16string>& entries() const { return entries_; }
    int size() const { return static_cast<int>(entries_.size()); }

    // The stored form: the entries joined with "," (oldest last). A text
    // holding "," comes back as several entries.
    std::u16string joined() const;
    // Replaces the entries by the pieces of a stored list, each added at the end.
    void load(std::u16string_view stored);

private:
    std::vector<std::u16string> entries_;
};
