// The gap buffer against a plain string under random insertions, deletions
// and the reads that move the gap (range, compacted) or must not (copyTo).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/GapBuffer.h"

namespace {

std::u16string contents(const GapBuffer<std::u16string>& buffer) {
    std::u16string out;
    buffer.copyTo(0, buffer.size(), std::back_inserter(out));
    return out;
}

TEST(GapBuffer, FollowsAPlainStringThroughRandomEditsAndReads) {
    std::mt19937 random(2112);
    GapBuffer<std::u16string> buffer;
    std::u16string model;
    for (int step = 0; step < 20000; ++step) {
        const std::size_t n = model.size();
        const std::size_t at = random() % (n + 1);
        switch (random() % 6) {
            case 0:
            case 1: {
                // Runs long enough now and then to outgrow the gap.
                std::u16string piece(random() % 3 == 0 ? random() % 700 : random() % 4, u'a');
                for (char16_t& c : piece) c = static_cast<char16_t>(u'a' + random() % 26);
                buffer.insert(at, piece.data(), piece.size());
                model.insert(at, piece);
                break;
            }
            case 2: {
                const std::size_t count = std::min(n - at, static_cast<std::size_t>(random() % 40));
                buffer.erase(at, count);
                model.erase(at, count);
                break;
            }
            case 3: {
                // A view across the gap must read straight through it.
                const std::size_t count = std::min(n - at, static_cast<std::size_t>(random() % 50));
                const char16_t* run = buffer.range(at, count);
                ASSERT_EQ(std::u16string(run, run + count), model.substr(at, count)) << "step " << step;
                break;
            }
            case 4:
                if (step % 50 == 0) {
                    ASSERT_EQ(buffer.compacted(), model) << "step " << step;
                }
                break;
            default:
                if (n > 0) {
                    ASSERT_EQ(buffer[at % n], model[at % n]) << "step " << step;
                }
        }
        ASSERT_EQ(buffer.size(), model.size());
        if (model.size() > 3000) {
            buffer.erase(0, 2000);
            model.erase(0, 2000);
        }
    }
    EXPECT_EQ(contents(buffer), model);
}

TEST(GapBuffer, CompactedHandsTheWholeTextOutAndTakesTheGapBackAfterwards) {
    GapBuffer<std::u16string> buffer(u"listening");
    buffer.insert(6, u"--", 2);
    EXPECT_EQ(buffer.compacted(), u"listen--ing");
    // The next insertion after a compaction must find room again.
    buffer.insert(0, u"x", 1);
    buffer.erase(7, 2);
    EXPECT_EQ(buffer.compacted(), u"xlistening");
    buffer.erase(0, buffer.size());
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(buffer.compacted(), u"");
}

TEST(GapBuffer, HoldsMoveOnlyAndHeapElements) {
    GapBuffer<std::vector<std::vector<int>>> lists;
    std::vector<std::vector<int>> model;
    for (int i = 0; i < 300; ++i) {
        lists.insert(static_cast<std::size_t>(i / 2), std::vector<int>{i, i});
        model.insert(model.begin() + i / 2, std::vector<int>{i, i});
    }
    lists.erase(10, 100);
    model.erase(model.begin() + 10, model.begin() + 110);
    EXPECT_EQ(lists.compacted(), model);
}

}  // namespace
