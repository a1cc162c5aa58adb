// The partition with a pending step against a plain vector of starts, under
// the edits a line table makes: text typed into one line after another, parts
// inserted and removed near and far from the last change.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "editor/Partition.h"

namespace {

std::vector<int> startsOf(const Partition& partition) {
    std::vector<int> starts;
    for (int i = 0; i <= partition.parts(); ++i) starts.push_back(partition.start(i));
    return starts;
}

int partOfByHand(const std::vector<int>& starts, int value) {
    int part = 0;
    for (int i = 1; i + 1 < static_cast<int>(starts.size()); ++i)
        if (starts[static_cast<std::size_t>(i)] <= value) part = i;
    return part;
}

TEST(Partition, FollowsAPlainVectorThroughRandomChanges) {
    std::mt19937 random(77);
    std::vector<int> model{0, 10, 20, 30, 40};
    Partition partition;
    partition.assign(model);
    int near = 0;
    for (int step = 0; step < 30000; ++step) {
        const int parts = static_cast<int>(model.size()) - 1;
        // Mostly near the last change, as typing is; now and then anywhere.
        const int part = random() % 4 == 0 ? static_cast<int>(random() % static_cast<unsigned>(parts))
                                           : std::clamp(near + static_cast<int>(random() % 5) - 2, 0, parts - 1);
        near = part;
        const unsigned kind = random() % 8;
        if (kind < 5) {
            // Text typed into part or taken out of it, never more than it holds.
            const int room = model[static_cast<std::size_t>(part) + 1] - model[static_cast<std::size_t>(part)];
            const int delta = static_cast<int>(random() % 7) - std::min(room, 3);
            partition.shiftAfter(part, delta);
            for (std::size_t i = static_cast<std::size_t>(part) + 1; i < model.size(); ++i) model[i] += delta;
        } else if (kind < 7 && part >= 1) {
            // A new part inside the one before part's start.
            const int low = model[static_cast<std::size_t>(part) - 1];
            const int high = model[static_cast<std::size_t>(part)];
            const int value = low + static_cast<int>(random() % static_cast<unsigned>(high - low + 1));
            partition.insertPart(part, value);
            model.insert(model.begin() + part, value);
        } else if (part >= 1 && part < parts && parts > 2) {
            partition.removePart(part);
            model.erase(model.begin() + part);
        }
        ASSERT_EQ(partition.parts(), static_cast<int>(model.size()) - 1);
        if (step % 97 == 0) {
            ASSERT_EQ(startsOf(partition), model) << "step " << step;
        }
        const int probe = static_cast<int>(random() % static_cast<unsigned>(model.back() + 3)) - 1;
        ASSERT_EQ(partition.partOf(probe), partOfByHand(model, probe)) << "step " << step << " value " << probe;
    }
    EXPECT_EQ(startsOf(partition), model);
}

TEST(Partition, EqualStartsAndValuesOutsideAreClampedToTheParts) {
    Partition partition;
    EXPECT_EQ(partition.parts(), 0);
    EXPECT_EQ(partition.partOf(5), 0);
    partition.assign({0, 4, 4, 9});
    EXPECT_EQ(partition.partOf(-3), 0);
    EXPECT_EQ(partition.partOf(3), 0);
    EXPECT_EQ(partition.partOf(4), 2);  // the last of the parts starting there
    EXPECT_EQ(partition.partOf(9), 2);
    EXPECT_EQ(partition.partOf(100), 2);
    partition.shiftAfter(0, 3);
    partition.setStart(2, 8);
    EXPECT_EQ(startsOf(partition), (std::vector<int>{0, 7, 8, 12}));
    partition.shiftAfter(3, 50);  // nothing lies after the closing entry
    EXPECT_EQ(partition.start(3), 12);
}

}  // namespace
