// The study modes against what is heard, on the modules' test output, which
// sounds 100 ms after it consumes. A test plays the part of the window: it
// delivers the controller's wake-ups when they fall due and samples the
// position every millisecond in between, so that it sees when the position
// stopped at a sentence's end and when it set off again from a start.
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

double msBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

class StudyTiming : public ::testing::Test, public StudyHost {
protected:
    void SetUp() override {
        useDummyAudio();
        useLatencyOutput(100);
        ASSERT_TRUE(player.initialize());
        ASSERT_TRUE(renderNoise(dir.native("noise.mp3"), 8.0, "-b:a 192k"));
        ASSERT_TRUE(player.open(dir.file("noise.mp3")));
        ASSERT_EQ(player.outputLatencyMs(), 100);
    }
    void TearDown() override { useRealOutput(); }

    void wakeIn(unsigned ms) override { due = Clock::now() + std::chrono::milliseconds(ms); }
    void cancelWake() override { due.reset(); }
    void showStudySentence(int row) override { shown.push_back(row); }
    void studyPlaybackStarted() override {}
    void studyChanged() override {}

    struct Sample {
        Clock::time_point when;
        int position;
        bool playing;
    };

    // Runs the window's part until `done` or the time is up.
    template <typename Done>
    void run(std::chrono::milliseconds limit, Done done) {
        const auto until = Clock::now() + limit;
        while (Clock::now() < until && !done()) {
            if (due && Clock::now() >= *due) {
                due.reset();
                study.wake();
            }
            samples.push_back({Clock::now(), player.getPosition(), player.isPlaying()});
            std::this_thread::sleep_for(1ms);
        }
    }

    // The moments the position stopped (pauses) and set off again (restarts).
    struct Turn {
        Clock::time_point stoppedAt;
        int stoppedPosition;
        Clock::time_point movedAt;  // the first sample after the stop that moved
        int movedPosition;
    };
    std::vector<Turn> turns() const {
        std::vector<Turn> found;
        for (std::size_t i = 1; i < samples.size(); ++i) {
            if (!(samples[i - 1].playing && !samples[i].playing)) continue;
            // The last position heard before the pause (the player answers
            // the start at once once the gap has sought there).
            Turn turn{samples[i - 1].when, samples[i - 1].position, {}, -1};
            std::size_t j = i + 1;
            while (j < samples.size() && !samples[j].playing) ++j;
            // Once playing, the position holds at the start until it is heard.
            const int held = j < samples.size() ? samples[j].position : -1;
            while (j < samples.size() && samples[j].position == held) ++j;
            if (j < samples.size()) {
                turn.movedAt = samples[j].when;
                turn.movedPosition = samples[j].position;
            }
            found.push_back(turn);
        }
        return found;
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
    std::vector<SentenceSpan> spans{{1000, 1800}, {1800, 2600}, {2600, 3400}, {3400, 8000}};
    StudyController study{player, *this, [this](int row) { return spanOf(row); },
                          [this](std::uint32_t ms) { return rowAt(ms); }};
    std::optional<Clock::time_point> due;
    std::vector<int> shown;
    std::vector<Sample> samples;
};

TEST_F(StudyTiming, ALoopPausesAtTheEndRestartsAtTheStartAndKeepsItsGap) {
    StudySettings settings;
    settings.loopCount = 3;
    settings.gapMs = 500;
    settings.loopThenNext = true;
    study.setSettings(settings);
    ASSERT_TRUE(study.start(StudyMode::Loop, 1, 100));
    // Three times row 1, then row 2 three times.
    run(8000ms, [&] { return study.row() == 2 && study.repetition() == 1 && study.phase() == StudyPhase::Playing; });
    run(300ms, [] { return false; });
    const std::vector<Turn> found = turns();
    ASSERT_GE(found.size(), 4u);
    const int ends[] = {2600, 2600, 2600, 3400};
    const int starts[] = {1800, 1800, 2600, 2600};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const Turn& turn = found[i];
        EXPECT_NEAR(turn.stoppedPosition, ends[i], 20) << "paused away from the sentence's end";
        ASSERT_GE(turn.movedPosition, 0);
        // Back from where it set off, at full speed: where and when it started.
        const double sinceStart = turn.movedPosition - starts[i];
        EXPECT_GE(sinceStart, 0);
        EXPECT_LT(sinceStart, 20) << "restarted away from the sentence's start";
        const double gap = msBetween(turn.stoppedAt, turn.movedAt) - sinceStart;
        EXPECT_NEAR(gap, 500, 20);
    }
    EXPECT_EQ(shown.front(), 1);
    study.stop();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(StudyTiming, AutoPauseHoldsAfterEachSentenceAndGoesOnFromTheNextStart) {
    StudySettings settings;
    settings.pauseMs = 400;
    study.setSettings(settings);
    player.setPosition(1500);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(study.start(StudyMode::AutoPause, -1, 100));
    run(3000ms, [&] { return shown.size() >= 3; });
    ASSERT_EQ(study.phase(), StudyPhase::Held);
    const std::vector<Turn> found = turns();
    ASSERT_GE(found.size(), 2u);
    const int ends[] = {1800, 2600};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(found[i].stoppedPosition, ends[i] - 2);
        EXPECT_LE(found[i].stoppedPosition, ends[i] + 30) << "stopped too late after the sentence's end";
        // The next sentence from its own start, whatever the pause overshot.
        EXPECT_GE(found[i].movedPosition, ends[i]);
        EXPECT_LT(found[i].movedPosition, ends[i] + 20);
        EXPECT_NEAR(msBetween(found[i].stoppedAt, found[i].movedAt) - (found[i].movedPosition - ends[i]), 400, 20);
    }
    // The highlight shows the sentence just heard.
    EXPECT_EQ((std::vector<int>{shown.begin(), shown.begin() + 3}), (std::vector<int>{0, 1, 2}));
    study.stop();
    EXPECT_TRUE(player.isPlaying()) << "leaving auto-pause leaves normal playback going";
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
    run(4000ms, [&] { return study.row() == 1; });
    EXPECT_EQ(player.getTempo(), 70) << "the next sentence starts at the bottom again";
    const std::vector<Turn> found = turns();
    ASSERT_GE(found.size(), 1u);
    EXPECT_NEAR(found[0].stoppedPosition, 1800, 20);
    EXPECT_GE(found[0].movedPosition, 1000);
    EXPECT_LT(found[0].movedPosition, 1020);
    study.stop();
    EXPECT_EQ(player.getTempo(), 120);
}

}  // namespace
