// Positions against what is heard, on the modules' test output, which plays
// in real time 100 ms behind what it consumes, as a real device does. Each
// check takes a short piece of what was heard at a moment, finds where it lies
// in the file by cross-correlation (the file is white noise, so every piece is
// unique), and compares that with the position the player reported then.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "AudioTestSupport.h"
#include "audio/BassPlayer.h"

using namespace audiotest;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kRate = 44100.0;

class PlaybackTiming : public ::testing::Test {
protected:
    void SetUp() override {
        useDummyAudio();
        useLatencyOutput(100);
        ASSERT_TRUE(player.initialize());
        ASSERT_TRUE(heard.available());
        ASSERT_TRUE(clock.available());
        ASSERT_EQ(heard.rate(), 44100);
    }
    void TearDown() override { useRealOutput(); }

    std::u16string noise(const char* name, double seconds) {
        EXPECT_TRUE(renderNoise(dir.native(name), seconds, "-b:a 192k"));
        reference = decodeReference(library.functions(), dir.file(name));
        return dir.file(name);
    }

    // The position the library holds, also while paused (the player answers
    // the position last read while playing then).
    double libraryMs() {
        const auto& f = library.functions();
        return extra.ChannelBytes2Seconds(player.stream(), f.ChannelGetPosition(player.stream(), BASS_POS_BYTE)) * 1000;
    }

    struct Sample {
        Clock::time_point when;
        int position;
    };
    Sample sample() {
        const auto when = Clock::now();
        return {when, player.getPosition()};
    }

    // Nothing sought or resumed at `since` can be heard before the latency has
    // passed, however late this thread wakes; true when it has not yet.
    static bool withinLatency(Clock::time_point since) { return Clock::now() - since < 95ms; }

    // Where what was heard at `s.when` lies in the file, less the position
    // reported then, in milliseconds; nothing when no piece of the file matches
    // (on a busy machine the output may have run dry around then).
    std::optional<double> contentOffsetMs(const Sample& s, double windowMs = 20, double rangeMs = 60,
                                          double minCorrelation = 0.9) {
        const auto half = static_cast<std::int64_t>(windowMs / 2000 * kRate);
        // What is heard at a moment was taken 100 ms before it.
        std::this_thread::sleep_until(s.when + std::chrono::milliseconds(static_cast<int>(windowMs)) + 20ms);
        const std::int64_t frame = heard.frameAt(s.when);
        if (frame < 0) return std::nullopt;
        const auto window = heard.mono(frame - half, static_cast<std::size_t>(2 * half));
        if (window.size() != static_cast<std::size_t>(2 * half)) return std::nullopt;
        const auto expected = static_cast<std::int64_t>(s.position / 1000.0 * kRate) - half;
        const Match match = bestMatch(window, reference, expected, static_cast<std::int64_t>(rangeMs / 1000 * kRate));
        if (match.correlation < minCorrelation) return std::nullopt;
        return match.offset / kRate * 1000.0;
    }

    TempDir dir;
    MessageRecorder boxes;
    BassLibrary library{pluginsFolder()};
    BassPlayer player{library};
    HeardAudio heard{pluginsFolder()};
    ExtraFunctions extra{pluginsFolder()};
    OutputClock clock{pluginsFolder()};
    std::vector<float> reference;
};

TEST_F(PlaybackTiming, ASeekReadsItsTargetAtOnceAndWhatIsHeardFollowsThePosition) {
    ASSERT_TRUE(player.open(noise("noise.mp3", 20.0)));
    ASSERT_TRUE(player.play());
    std::this_thread::sleep_for(300ms);
    for (int target : {10000, 3000, 15500, 700}) {
        SCOPED_TRACE(target);
        const auto sought = Clock::now();
        player.setPosition(target);
        EXPECT_NEAR(player.getPosition(), target, 5);
        // Until frames from the target are heard, the position holds there.
        std::this_thread::sleep_for(40ms);
        const int held = player.getPosition();
        if (withinLatency(sought)) {
            EXPECT_NEAR(held, target, 5);
        }
        clock.wait(400);
        int matched = 0;
        for (int i = 0; i < 5; ++i) {
            const Sample s = sample();
            // Real time at most, less the output's latency.
            EXPECT_GT(s.position, target);
            const double since = std::chrono::duration<double, std::milli>(s.when - sought).count();
            EXPECT_LT(s.position, target + since - 90);
            if (const auto offset = contentOffsetMs(s)) {
                EXPECT_NEAR(*offset, 0.0, 5.0);
                ++matched;
            }
        }
        EXPECT_GT(matched, 0) << "what was heard is never the file around the position";
    }
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(PlaybackTiming, PausingAndResumingGoOnFromWhatWasHeard) {
    ASSERT_TRUE(player.open(noise("noise.mp3", 10.0)));
    player.setPosition(2000);
    ASSERT_TRUE(player.play());
    clock.wait(500);
    const auto asked = Clock::now();
    const int before = player.getPosition();
    player.pause();
    const double upTo = std::chrono::duration<double, std::milli>(Clock::now() - asked).count();
    const double paused = libraryMs();
    // Where it was heard when paused: no earlier than just before, and no
    // further on than the time it took to pause.
    EXPECT_GE(paused, before - 1);
    EXPECT_LE(paused, before + upTo + 1);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(libraryMs(), paused);
    const auto resumed = Clock::now();
    player.resume();
    std::this_thread::sleep_for(60ms);
    const int held = player.getPosition();
    if (withinLatency(resumed)) {
        EXPECT_NEAR(held, paused, 5) << "nothing new is heard within the latency";
    }
    clock.wait(300);
    int matched = 0;
    for (int i = 0; i < 5; ++i) {
        const Sample s = sample();
        EXPECT_GT(s.position, paused);
        if (const auto offset = contentOffsetMs(s)) {
            EXPECT_NEAR(*offset, 0.0, 5.0);
            ++matched;
        }
    }
    EXPECT_GT(matched, 0);
}

TEST_F(PlaybackTiming, TenSecondsAfterATempoChangeThePositionIsOnTheContent) {
    ASSERT_TRUE(player.open(noise("noise.mp3", 30.0)));
    player.setPosition(2000);
    const double started = clock.ms();
    ASSERT_TRUE(player.play());
    const double fullSpeed = clock.wait(1000) - started;
    player.setTempo(50);
    const double halfSpeed = clock.wait(10000) - started - fullSpeed;
    std::vector<Sample> samples;
    for (int i = 0; i < 16; ++i) {
        samples.push_back(sample());
        std::this_thread::sleep_for(37ms);
    }
    // What the output took, at full speed and then at half, less what it had
    // not sounded yet; what it took before the change still sounds at full.
    const double latency = OutputClock::latencyMs();
    EXPECT_GT(samples.front().position, 2000 + fullSpeed - latency - 100 + halfSpeed * 0.5);
    EXPECT_LT(samples.front().position, 2000 + fullSpeed + latency + 100 + halfSpeed * 0.5);
    // Stretching repeats short pieces of the sound, so a single piece can sit
    // a little before or after the position; the middle of them may not.
    std::vector<double> offsets;
    for (const Sample& s : samples)
        if (auto offset = contentOffsetMs(s, 12, 100, 0.6)) offsets.push_back(*offset);
    ASSERT_GE(offsets.size(), samples.size() / 2);
    std::sort(offsets.begin(), offsets.end());
    EXPECT_NEAR(offsets[offsets.size() / 2], 0.0, 20.0) << ::testing::PrintToString(offsets);
}

TEST_F(PlaybackTiming, TheEndIsReachedWhenItIsHeard) {
    ASSERT_TRUE(player.open(noise("noise.wav", 1.0)));
    ASSERT_TRUE(player.play());
    // From the moment the first frame is heard.
    while (player.getPosition() == 0) std::this_thread::sleep_for(1ms);
    const auto start = Clock::now();
    const double firstHeard = clock.ms();
    double lastPlaying = firstHeard;
    int last = 0;
    while (Clock::now() - start < 30s) {
        const double now = clock.ms();
        if (!player.isPlaying()) break;
        lastPlaying = now;
        last = player.getPosition();
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_FALSE(player.isPlaying());
    // One second of sound, however slowly the output took it on a busy machine.
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_GT(wall, 0.97);
    EXPECT_LT(lastPlaying - firstHeard, 1000 + 60);
    EXPECT_GT(last, 980);
    EXPECT_NEAR(libraryMs(), player.lengthMs, 1);
}

}  // namespace
