// Time codes and the choice of the current entry.
#include <gtest/gtest.h>

#include "lyrics/SentenceTiming.h"
#include "lyrics/TimeCode.h"

TEST(TimeCode, Format) {
    const std::pair<std::uint32_t, std::u16string> cases[] = {
        {0, u"00:00:00"},      {1234, u"00:01:23"},    {83456, u"01:23:45"},
        {600000, u"10:00:00"}, {4500000, u"75:00:00"}, {6000000, u"100:00:00"},
        {9, u"00:00:00"},      {59999, u"00:59:99"},   {0xFFFFFFFFu, u"71582:47:29"},
    };
    for (const auto& [ms, text] : cases) EXPECT_EQ(formatTimeCode(ms), text) << ms;
}

TEST(TimeCode, Parse) {
    const std::pair<std::u16string, std::uint32_t> cases[] = {
        {u"", 0},
        {u"abc", 0},
        {u"1:2", 0},
        {u"1:2:3:4", 0},
        {u"::", 0},
        {u"01:23", 0},
        {u"00:01:02:03", 0},
        {u"1:2:3", 62030},
        {u" 1: 2: 3", 62030},
        {u"00:01:5", 1050},
        {u"00:01:123", 2230},
        {u"00:75:00", 75000},
        {u"01:23:45", 83450},
        {u"1x:2y:3z", 62030},
        {u"100:00:00", 6000000},
    };
    for (const auto& [text, ms] : cases) EXPECT_EQ(parseTimeCode(text), ms) << std::string(text.begin(), text.end());
    EXPECT_EQ(parseTimeCode(formatTimeCode(1234)), 1230u);
}

namespace {
std::vector<SentenceTiming> starts(std::initializer_list<std::uint32_t> values) {
    std::vector<SentenceTiming> timings;
    for (std::uint32_t v : values) timings.push_back({v, 0});
    return timings;
}
}  // namespace

TEST(FindEntryAt, FollowsTheStartsOfTheEntries) {
    struct Case {
        std::vector<SentenceTiming> timings;
        std::uint32_t position;
        int expected;
    };
    const Case cases[] = {
        {starts({1000, 3000, 6000}), 0, 0},
        {starts({1000, 3000, 6000}), 2999, 0},
        {starts({1000, 3000, 6000}), 3000, 1},
        {starts({1000, 3000, 6000}), 5999, 1},
        {starts({1000, 3000, 6000}), 6000, 2},
        {starts({1000, 3000, 6000}), 1000000, 2},
        {starts({1000, 1000, 6000}), 1000, 1},   // an empty window hands over to the later entry
        {starts({5000, 2000, 8000}), 3000, 0},   // before the first start
        {starts({5000, 2000, 8000}), 14000, 0},  // ten seconds for an entry whose successor starts earlier
        {starts({5000, 2000, 8000}), 16000, 2},
        {starts({1000, 0, 6000}), 7000, 0},
        {starts({1000, 0, 6000}), 20000, 0},  // untimed second-to-last: the last timed entry before it
        {starts({}), 5, -1},
        {starts({7000}), 0, 0},
        {starts({7000}), 99999, 0},
        {starts({0, 0, 0}), 0, 0},
        {starts({0, 0, 0}), 50000, 0},
        {starts({0, 0}), 0, 1},
        {starts({0, 0}), 50000, 1},
        {starts({0xFFFFF000u, 1}), 0xFFFFFFFFu, 1},  // the 10-second window wraps instead of overflowing
    };
    for (const Case& c : cases) {
        std::string label;
        for (const SentenceTiming& t : c.timings) label += std::to_string(t.startMs) + " ";
        EXPECT_EQ(findEntryAt(c.timings, c.position), c.expected) << label << "@ " << c.position;
    }
}
