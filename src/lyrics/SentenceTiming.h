// The timing index that the lyrics view keeps beside the sentence table: one
// entry per row, in row order.
#pragma once

#include <cstdint>
#include <vector>

struct SentenceTiming {
    std::uint32_t startMs = 0;    // the start as last set, exact (the table shows it to 10 ms)
    std::int32_t textOffset = 0;  // where the sentence begins in the joined sentence text
};

// The entry that is current at a playback position, or -1 for an empty index.
// An entry lasts from its own start to the next entry's start (end times are not
// consulted); an entry whose successor starts earlier keeps the position for 10
// seconds; positions past the last window fall back to the last entry when the
// second-to-last one is timed, else to the last timed entry before it, else to 0.
int findEntryAt(const std::vector<SentenceTiming>& timings, std::uint32_t position);
