// The hand-over between a feeder and the output: which channel position is
// heard when, through the output's latency, the tempo each block was made
// with, flushes for seeks, gaps when the output runs late, and the end.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/PlaybackBuffer.h"

using namespace bass;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 1000;  // one frame a millisecond keeps the arithmetic plain
constexpr std::size_t kBlock = 10;

class PlaybackBufferTest : public ::testing::Test {
protected:
    // Writes `frames` frames of value `value` starting at channel position `start`.
    bool write(std::size_t frames, double start, double step = 1.0, float value = 0.5f) {
        std::vector<float> samples(frames * 2, value);
        TimeRuns runs;
        runs.add(frames, start, step);
        return buffer.write(buffer.generation(), samples.data(), runs);
    }
    // The output takes a block now, heard `latency` later; returns what it took.
    std::vector<float> take(Clock::duration latency = 100ms) {
        std::vector<float> out(kBlock * 2, 0.0f);
        dry = buffer.mixInto(out.data(), kBlock, outputFrame, now + latency);
        outputFrame += kBlock;
        now += 10ms;  // an output consuming in real time
        return out;
    }
    double heardAt(Clock::duration when) const { return buffer.heardPosition(origin + when); }

    PlaybackBuffer buffer{kRate, 200};
    Clock::time_point origin = Clock::now();
    Clock::time_point now = origin;
    std::uint64_t outputFrame = 0;
    std::size_t dry = 0;  // what the last block taken ran short by
};

TEST_F(PlaybackBufferTest, WhatIsHeardIsWhatWasTakenLessTheLatency) {
    buffer.flush(1000);
    buffer.setPlaying(true);
    ASSERT_TRUE(write(100, 1000));
    for (int i = 0; i < 10; ++i) take();
    // Taken from 0 ms on, heard from 100 ms on.
    EXPECT_EQ(heardAt(0ms), 1000);
    EXPECT_EQ(heardAt(99ms), 1000);
    EXPECT_NEAR(heardAt(100ms), 1000, 1e-6);
    EXPECT_NEAR(heardAt(137ms), 1037, 1e-6);
    // Past the last frame taken the position holds.
    EXPECT_NEAR(heardAt(500ms), 1100, 1e-6);
}

TEST_F(PlaybackBufferTest, EachFrameCountsAtTheTempoItWasMadeWith) {
    buffer.flush(0);
    buffer.setPlaying(true);
    TimeRuns runs;
    runs.add(20, 0, 1.0);
    runs.add(20, 20, 0.5);  // half speed from 20
    runs.add(20, 30, 2.0);  // double from 30
    std::vector<float> samples(60 * 2, 0.5f);
    ASSERT_TRUE(buffer.write(buffer.generation(), samples.data(), runs));
    for (int i = 0; i < 6; ++i) take(0ms);
    EXPECT_NEAR(heardAt(10ms), 10, 1e-6);
    EXPECT_NEAR(heardAt(30ms), 25, 1e-6);
    EXPECT_NEAR(heardAt(40ms), 30, 1e-6);
    EXPECT_NEAR(heardAt(50ms), 50, 1e-6);
    EXPECT_NEAR(heardAt(60ms), 70, 1e-6);
}

TEST_F(PlaybackBufferTest, AfterAFlushThePositionHoldsUntilNewFramesAreHeard) {
    buffer.flush(0);
    buffer.setPlaying(true);
    ASSERT_TRUE(write(100, 0));
    for (int i = 0; i < 5; ++i) take();
    const std::uint64_t old = buffer.generation();
    // A seek to 5000 at 50 ms: what was taken before still sounds, but the
    // position is the target until frames from it are heard.
    buffer.flush(5000);
    std::vector<float> stale(20, 0.5f);
    TimeRuns runs;
    runs.add(10, 60, 1.0);
    EXPECT_FALSE(buffer.write(old, stale.data(), runs)) << "frames made before the seek are dropped";
    EXPECT_EQ(heardAt(120ms), 5000);
    ASSERT_TRUE(write(100, 5000));
    // Taken from 50 ms, after the 5 ms fade of what was sounding: heard from 155 ms.
    for (int i = 0; i < 5; ++i) take();
    EXPECT_EQ(heardAt(154ms), 5000);
    EXPECT_NEAR(heardAt(175ms), 5020, 1e-6);
}

TEST_F(PlaybackBufferTest, ALateBlockLeavesAGapInWhichThePositionHolds) {
    buffer.flush(0);
    buffer.setPlaying(true);
    ASSERT_TRUE(write(100, 0));
    take();  // heard 100..110 ms
    take();  // heard 110..120 ms
    now += 30ms;
    take();  // taken 30 ms late: heard 150..160 ms, silence before it
    EXPECT_NEAR(heardAt(115ms), 15, 1e-6);
    EXPECT_NEAR(heardAt(130ms), 20, 1e-6);
    EXPECT_NEAR(heardAt(149ms), 20, 1e-6);
    EXPECT_NEAR(heardAt(155ms), 25, 1e-6);
}

TEST_F(PlaybackBufferTest, ALateFeederIsReportedButNotTheEndOrAPause) {
    buffer.flush(0);
    ASSERT_TRUE(write(15, 0));
    take();
    EXPECT_EQ(dry, 0u) << "not playing";
    buffer.setPlaying(true);
    take();
    EXPECT_EQ(dry, 0u);
    take();
    EXPECT_EQ(dry, 5u);
    take();
    EXPECT_EQ(dry, kBlock);
    ASSERT_TRUE(write(5, 15));
    buffer.writeEnd(buffer.generation());
    take();
    EXPECT_EQ(dry, 0u) << "the channel ended";
    take();
    EXPECT_EQ(dry, 0u);
}

TEST_F(PlaybackBufferTest, TheEndIsReachedWhenItsLastFrameIsHeard) {
    buffer.flush(0);
    buffer.setPlaying(true);
    ASSERT_TRUE(write(25, 0));
    buffer.writeEnd(buffer.generation());
    for (int i = 0; i < 4; ++i) take();
    EXPECT_FALSE(buffer.finishedAt(origin + 124ms));
    EXPECT_TRUE(buffer.finishedAt(origin + 125ms));
    EXPECT_NEAR(heardAt(200ms), 25, 1e-6);
}

TEST_F(PlaybackBufferTest, DroppingWhatIsNotPlayedYetKeepsWhatWas) {
    buffer.flush(0);
    buffer.setPlaying(true);
    ASSERT_TRUE(write(100, 0));
    for (int i = 0; i < 3; ++i) take(0ms);
    // A tempo change: frames 30 on are made again, at half speed.
    const auto from = buffer.dropUnplayed();
    ASSERT_TRUE(from.has_value());
    EXPECT_NEAR(*from, 30, 1e-6);
    ASSERT_TRUE(write(20, 30, 0.5));
    for (int i = 0; i < 2; ++i) take(0ms);
    EXPECT_NEAR(heardAt(20ms), 20, 1e-6);
    EXPECT_NEAR(heardAt(40ms), 35, 1e-6);
    // With nothing buffered, the next frames are expected where the last ended.
    EXPECT_NEAR(*buffer.dropUnplayed(), 40, 1e-6);
    // Once the end has been given out there is nothing to make again.
    buffer.writeEnd(buffer.generation());
    take(0ms);
    EXPECT_FALSE(buffer.dropUnplayed().has_value());
}

TEST_F(PlaybackBufferTest, NothingIsTakenWhileNotPlaying) {
    buffer.flush(0);
    ASSERT_TRUE(write(100, 0));
    for (float v : take()) EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(buffer.space(), 100u);
    buffer.setPlaying(true);
    const auto out = take();
    EXPECT_EQ(buffer.space(), 110u);
    // Sound starting after silence fades in rather than clicking.
    EXPECT_LT(out[0], 0.5f);
    EXPECT_GT(out[0], 0.0f);
}

TEST_F(PlaybackBufferTest, VolumeIsAppliedAsTheFramesSound) {
    buffer.flush(0);
    buffer.setVolume(0.25f);  // before anything sounded: at once
    buffer.setPlaying(true);
    ASSERT_TRUE(write(100, 0, 1.0, 0.8f));
    take();
    const auto out = take();
    EXPECT_FLOAT_EQ(out[0], 0.2f);
    EXPECT_FLOAT_EQ(out[kBlock * 2 - 1], 0.2f);
}

TEST_F(PlaybackBufferTest, AFlushWhilePlayingFadesWhatWasAboutToSound) {
    buffer.flush(0);
    buffer.setPlaying(true);
    ASSERT_TRUE(write(100, 0, 1.0, 0.8f));
    take();
    take();
    buffer.flush(3000);
    const auto out = take();
    // The 5 ms fade: falling, then silence until frames from 3000 come.
    EXPECT_GT(out[0], out[8]);
    EXPECT_GT(out[8], 0.0f);
    EXPECT_EQ(out[kBlock * 2 - 1], 0.0f);
}

}  // namespace
