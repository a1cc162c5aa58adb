// One entry of a sentence list as a value: what a row of the sentence table
// holds, with its times as numbers. (The name is also the entry's element name
// in sentence-list files.)
#pragma once

#include <cstdint>
#include <string>

struct SentenceGroup {
    // Passed as an end time, clears it.
    static constexpr std::uint32_t kNoEndTime = 0xFFFFFFFFu;

    std::uint32_t startTime = 0;  // 0 for an entry without a time yet
    std::uint32_t endTime = 0;    // meaningful only when greater than startTime
    std::u16string sentence;      // as stored, trailing spaces and line breaks included
    std::u16string translation;
    std::u16string explanation;
};
