// The study modes against what is heard, on the modules' test output, which
// sounds 100 ms after it consumes and keeps what it played. A test plays the
// part of the window (it delivers the controller's wake-ups when they fall
// due); afterwards it splits what was heard into stretches of sound and of
// silence and finds, by cross-correlation with the file (white noise, so every
// piece is unique), where each stretch of sound began and ended in the file.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "../audio/AudioTestSupport.h"
#include "audio/BassPlayer.h"
#include "player/StudyController.h"

using namespace audiotest;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kRate = 44100.0;

class StudyTiming : public ::testing::Test, public StudyHost {
protected:
    void SetUp() override {
        useDummyAudio();
        useLatencyOutput(100);
        ASSERT_TRUE(player.initialize());
        ASSERT_TRUE(heard.available());
        ASSERT_EQ(heard.rate(), 44100);
        ASSERT_TRUE(renderNoise(dir.native("noise.mp3"), 8.0, "-b:a 192k"));
        ASSERT_TRUE(player.open(dir.file("noise.mp3")));
        ASSERT_EQ(player.outputLatencyMs(), 100);
        reference = decodeReference(library.functions(), dir.file("noise.mp3"));
        ASSERT_GT(reference.size(), static_cast<std::size_t>(7 * kRate));
    }
    void TearDown() override { useRealOutput(); }

    void wakeIn(unsigned ms) override { due = Clock::now() + std::chrono::milliseconds(ms); }
    void cancelWake() override { due.reset(); }
    void showStudySentence(int row) override { shown.push_back(row); }
    void studyPlaybackStarted() override {}
    void studyChanged() override {}

    // Runs the window's part until `done` or the time is up.
    template <typename Done>
    void run(std::chrono::milliseconds limit, Done done) {
        const auto until = Clock::now() + limit;
        while (Clock::now() < until && !done()) {
            if (due && Clock::now() >= *due) {
                due.reset();
                study.wake();
            }
            std::this_thread::sleep_for(1ms);
        }
    }

    using Stretch = HeardAudio::Stretch;
    // The stretches of sound heard from `from` until now.
    std::vector<Stretch> stretches(std::int64_t from) {
        // Everything taken until now is heard within the latency (and a block).
        std::this_thread::sleep_for(150ms);
        return heard.stretches(from, heard.frameAt(Clock::now()));
    }

    // Where in the file (ms) the 10 ms of sound heard from `frame` on lie,
    // looked for within 60 ms of `expectedMs`.
    std::optional<double> fileMsAt(std::int64_t frame, double expectedMs) {
        const auto window = heard.mono(frame, static_cast<std::size_t>(0.01 * kRate));
        const Match match = bestMatch(window, reference, static_cast<std::int64_t>(expectedMs / 1000 * kRate),
                                      static_cast<std::int64_t>(0.06 * kRate));
        if (match.correlation < 0.9) return std::nullopt;
        return expectedMs + match.offset / kRate * 1000;
    }

    // A stretch heard from `startMs` of the file to `endMs`, to 20 and 30 ms.
    void expectHeard(const Stretch& s, int startMs, int endMs) {
        const auto began = fileMsAt(s.first, startMs);
        ASSERT_TRUE(began) << "the stretch does not begin near " << startMs;
        EXPECT_NEAR(*began, startMs, 20) << "restarted away from the sentence's start";
        const auto tenMs = static_cast<std::int64_t>(0.01 * kRate);
        const auto ended = fileMsAt(s.end - tenMs, endMs - 10);
        ASSERT_TRUE(ended) << "the stretch does not end near " << endMs;
        EXPECT_NEAR(*ended + 10, endMs, 30) << "stopped away from the sentence's end";
    }
    double silenceMs(const Stretch& before, const Stretch& after) const {
        const auto now = Clock::now();
        return std::chrono::duration<double, std::milli>(heard.heardAt(after.first, startedAt, now) -
                                                         heard.heardAt(before.end, startedAt, now))
            .count();
    }

    std::optional<SentenceSpan> spanOf(int row) const {
        if (row < 0 || row >= static_cast<int>(spans.size())) return std::nullopt;
        return spans[static_cast<std::size_t>(row)];
    }
    int rowAt(std::uint32_t ms) const {
        int row = 0;
        for (std::size_t i = 0; i < spans.size(); ++i)
            if (spans[i].start <= ms) row = static_cast<int>(i);
        return row;
    }

    TempDir dir;
    MessageRecorder boxes;
    BassLibrary library{pluginsFolder()};
    BassPlayer player{library};
    HeardAudio heard{pluginsFolder()};
    std::vector<float> reference;
    std::vector<SentenceSpan> spans{{1000, 1800}, {1800, 2600}, {2600, 3400}, {3400, 8000}};
    StudyController study{player, *this, [this](int row) { return spanOf(row); },
                          [this](std::uint32_t ms) { return rowAt(ms); }};
    std::optional<Clock::time_point> due;
    Clock::time_point startedAt = Clock::now();
    std::vector<int> shown;
};

TEST_F(StudyTiming, ALoopIsHeardFromStartToEndWithItsGapBetween) {
    StudySettings settings;
    settings.loopCount = 3;
    settings.gapMs = 500;
    settings.loopThenNext = true;
    study.setSettings(settings);
    const std::int64_t from = heard.frameAt(Clock::now());
    ASSERT_TRUE(study.start(StudyMode::Loop, 1, 100));
    // Three times row 1, then row 2 once.
    run(8000ms, [&] { return study.row() == 2 && study.repetition() == 1 && study.phase() == StudyPhase::Gap; });
    study.stop();
    const std::vector<Stretch> found = stretches(from);
    ASSERT_EQ(found.size(), 4u);
    const int starts[] = {1800, 1800, 1800, 2600};
    const int ends[] = {2600, 2600, 2600, 3400};
    for (std::size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(i);
        expectHeard(found[i], starts[i], ends[i]);
        if (i > 0) {
            EXPECT_NEAR(silenceMs(found[i - 1], found[i]), 500, 20);
        }
    }
    EXPECT_EQ(shown.front(), 1);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(StudyTiming, AutoPauseIsHeardToStopAtEachEndAndHoldsForItsTime) {
    StudySettings settings;
    settings.pauseMs = 400;
    study.setSettings(settings);
    player.setPosition(1500);
    const std::int64_t from = heard.frameAt(Clock::now());
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(study.start(StudyMode::AutoPause, -1, 100));
    run(3000ms, [&] { return shown.size() >= 3; });
    ASSERT_EQ(study.phase(), StudyPhase::Held);
    // The highlight shows the sentence just heard.
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2}));
    const std::vector<Stretch> found = stretches(from);
    ASSERT_EQ(found.size(), 3u);
    expectHeard(found[0], 1500, 1800);
    expectHeard(found[1], 1800, 2600);
    expectHeard(found[2], 2600, 3400);
    EXPECT_NEAR(silenceMs(found[0], found[1]), 400, 20);
    EXPECT_NEAR(silenceMs(found[1], found[2]), 400, 20);
    study.stop();
    EXPECT_TRUE(player.isPlaying()) << "leaving auto-pause leaves normal playback going";
    EXPECT_NEAR(player.getPosition(), 3400, 5) << "from the next sentence's start";
}

TEST_F(StudyTiming, TheLadderClimbsItsTemposAndGivesTheTempoBack) {
    StudySettings settings;
    settings.ladderTempos = {70, 100};
    settings.ladderRepeats = 1;
    settings.gapMs = 200;
    study.setSettings(settings);
    player.setTempo(120);
    ASSERT_TRUE(study.start(StudyMode::Ladder, 0, 120));
    EXPECT_EQ(player.getTempo(), 70);
    run(4000ms, [&] { return study.ladderStep() == 1 && study.phase() == StudyPhase::Playing; });
    EXPECT_EQ(player.getTempo(), 100);
    // Paused the latency, in audio time at 70 %, before the end.
    EXPECT_NEAR(player.getPosition(), 1000, 5) << "back at the start";
    run(4000ms, [&] { return study.row() == 1; });
    EXPECT_EQ(player.getTempo(), 70) << "the next sentence starts at the bottom again";
    study.stop();
    EXPECT_EQ(player.getTempo(), 120);
    EXPECT_FALSE(player.isPlaying());
}

}  // namespace
