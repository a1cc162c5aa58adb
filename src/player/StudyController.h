// The study modes on top of the player: a sentence played again and again
// with a gap between (loop), a pause at the end of every sentence during
// normal playback (auto-pause), and a sentence played at a rising list of
// tempos (ladder). It runs on the user-interface thread and wakes itself
// through the host's one-shot timer, timed from the playback position and
// the tempo so that it lands on a sentence's end within a few milliseconds;
// the player's 100 ms tick is left alone.
//
// Phases: Idle (mode Off), Playing (waiting for the end of `row`), Gap
// (paused between repetitions; the audio is already at the next start),
// Held (auto-pause holding after `row`). The user's Stop, or a pause not made
// here, ends a loop or a ladder at the next wake-up; auto-pause only waits.
//
// Timed as heard: what the output has taken is heard its latency later even
// when the channel pauses, so the pause is made when the position heard is
// the latency (in audio time, at the tempo) before the end; the sound then
// ends at the end, and a gap or a hold measured from the pause is heard as
// long as it is. The pause leaves the position there, and every resume seeks
// (to the start again, or to the next sentence's start) first.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "audio/IAudioPlayer.h"
#include "player/StudySettings.h"

enum class StudyMode { Off, Loop, AutoPause, Ladder };
enum class StudyPhase { Idle, Playing, Gap, Held };

// A sentence's time span in milliseconds, end after start.
struct SentenceSpan {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

class StudyHost {
public:
    virtual ~StudyHost() = default;
    // One wake-up `ms` from now, replacing one still pending.
    virtual void wakeIn(unsigned ms) = 0;
    virtual void cancelWake() = 0;
    // Highlights the sentence being studied (the one just heard while held).
    virtual void showStudySentence(int row) = 0;
    // The audio was started by the controller: apply tempo, pitch and volume.
    virtual void studyPlaybackStarted() = 0;
    // The mode or the phase changed (tool bar, status).
    virtual void studyChanged() = 0;
};

class StudyController {
public:
    // The span of a row (none beyond the last row or for an empty one) and
    // the row playing at a position (-1 for none).
    using SpanOf = std::function<std::optional<SentenceSpan>(int row)>;
    using RowAt = std::function<int(std::uint32_t ms)>;

    // Below this much time to the end the controller wakes every millisecond.
    static constexpr unsigned kCloseMs = 12;
    // Farthest a wake-up is put off, so that seeks and tempo changes are seen.
    static constexpr unsigned kFarMs = 100;

    StudyController(IAudioPlayer& audio, StudyHost& host, SpanOf spanOf, RowAt rowAt);

    void setSettings(const StudySettings& settings) { settings_ = settings; }
    const StudySettings& settings() const { return settings_; }

    // Loop or ladder from `row` (the audio is restarted there); auto-pause
    // from wherever normal playback is. `baseTempo` is the tempo the ladder
    // gives back when it ends. False when the row has no span or play fails.
    bool start(StudyMode mode, int row, int baseTempo);
    // Leaves the mode; a loop or ladder also stops the audio.
    void stop();
    // The host's wake-up arrived.
    void wake();
    // The learner's key: ends a hold or a gap at once.
    void proceed();

    StudyMode mode() const { return mode_; }
    StudyPhase phase() const { return phase_; }
    int row() const { return row_; }
    // Repetitions of the current sentence (or tempo step) finished so far.
    int repetition() const { return repetition_; }
    int ladderStep() const { return step_; }

private:
    void end();
    void playFromStart();
    void schedule();
    void reachedEnd();
    // After a repetition: which row plays next, or false to finish.
    bool advance();
    void arm(int position);
    unsigned msOfAudio(int ms) const;
    // Where the pause is made: the output's latency before the end, in audio time.
    int pausePoint() const;

    IAudioPlayer& audio_;
    StudyHost& host_;
    SpanOf spanOf_;
    RowAt rowAt_;
    StudySettings settings_;
    StudyMode mode_ = StudyMode::Off;
    StudyPhase phase_ = StudyPhase::Idle;
    int row_ = -1;
    SentenceSpan span_;
    int repetition_ = 0;
    int step_ = 0;
    int baseTempo_ = 100;
};
