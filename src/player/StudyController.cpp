#include "player/StudyController.h"

#include <algorithm>

namespace {

// A position further than this past the armed end was a seek, not playback.
constexpr int kSeekSlackMs = 500;

}  // namespace

StudyController::StudyController(IAudioPlayer& audio, StudyHost& host, SpanOf spanOf, RowAt rowAt)
    : audio_(audio), host_(host), spanOf_(std::move(spanOf)), rowAt_(std::move(rowAt)) {}

bool StudyController::start(StudyMode mode, int row, int baseTempo) {
    if (mode_ != StudyMode::Off) stop();
    if (mode == StudyMode::Off) return true;
    baseTempo_ = baseTempo;
    repetition_ = 0;
    step_ = 0;
    mode_ = mode;
    if (mode == StudyMode::AutoPause) {
        phase_ = StudyPhase::Playing;
        arm(audio_.getPosition());
        schedule();
        host_.studyChanged();
        return true;
    }
    const std::optional<SentenceSpan> span = spanOf_(row);
    if (!span || (mode == StudyMode::Ladder && settings_.ladderTempos.empty())) {
        mode_ = StudyMode::Off;
        return false;
    }
    row_ = row;
    span_ = *span;
    // A seek while playing is exact, so playback that runs is only moved.
    audio_.setPosition(static_cast<int>(span_.start));
    if (!audio_.isPlaying()) {
        if (!audio_.play()) {
            end();
            return false;
        }
        host_.studyPlaybackStarted();
    }
    if (mode == StudyMode::Ladder && !settings_.ladderTempos.empty()) audio_.setTempo(settings_.ladderTempos.front());
    phase_ = StudyPhase::Playing;
    host_.showStudySentence(row_);
    schedule();
    host_.studyChanged();
    return true;
}

void StudyController::stop() {
    if (mode_ == StudyMode::Off) return;
    if (mode_ != StudyMode::AutoPause || phase_ == StudyPhase::Held) {
        // A hold is the study's own pause; normal playback goes on after it.
        if (mode_ == StudyMode::AutoPause) {
            audio_.setPosition(static_cast<int>(span_.end));
            audio_.resume();
        } else {
            audio_.stop();
        }
    }
    end();
}

void StudyController::end() {
    host_.cancelWake();
    if (mode_ == StudyMode::Ladder) audio_.setTempo(baseTempo_);
    mode_ = StudyMode::Off;
    phase_ = StudyPhase::Idle;
    host_.studyChanged();
}

unsigned StudyController::msOfAudio(int ms) const {
    // The position runs at the tempo: 100 ms of audio take 100 / tempo of a second.
    const int tempo = std::max(1, audio_.getTempo());
    return static_cast<unsigned>(std::max(0, ms) * 100 / tempo);
}

void StudyController::arm(int position) {
    row_ = rowAt_(static_cast<std::uint32_t>(std::max(position, 0)));
    const std::optional<SentenceSpan> span = row_ >= 0 ? spanOf_(row_) : std::nullopt;
    span_ = span ? *span : SentenceSpan{};
}

int StudyController::pausePoint() const {
    return static_cast<int>(span_.end) - audio_.outputLatencyMs() * std::max(1, audio_.getTempo()) / 100;
}

void StudyController::schedule() {
    if (phase_ != StudyPhase::Playing) return;
    // Between sentences without a span (auto-pause past the last one): only look again later.
    if (span_.end == 0) return host_.wakeIn(kFarMs);
    const int left = pausePoint() - audio_.getPosition();
    const unsigned wall = msOfAudio(left);
    host_.wakeIn(wall > kCloseMs ? std::min(wall - kCloseMs / 2, kFarMs) : 1);
}

void StudyController::wake() {
    switch (phase_) {
        case StudyPhase::Idle:
            return;
        case StudyPhase::Playing: {
            if (!audio_.isPlaying()) {
                // Stopped or paused by the user: a loop ends; auto-pause waits for playback.
                if (mode_ != StudyMode::AutoPause) return end();
                host_.wakeIn(kFarMs);
                return;
            }
            const int position = audio_.getPosition();
            if (mode_ == StudyMode::AutoPause && (span_.end == 0 || position < static_cast<int>(span_.start) ||
                                                  position > static_cast<int>(span_.end) + kSeekSlackMs))
                arm(position);
            if (span_.end != 0 && position >= pausePoint()) return reachedEnd();
            return schedule();
        }
        case StudyPhase::Gap:
            if (!audio_.isPaused()) return end();
            return proceed();
        case StudyPhase::Held:
            if (!audio_.isPaused()) {
                // Played on by the user.
                phase_ = StudyPhase::Playing;
                arm(audio_.getPosition());
                schedule();
                host_.studyChanged();
                return;
            }
            return proceed();
    }
}

void StudyController::reachedEnd() {
    audio_.pause();
    if (mode_ == StudyMode::AutoPause) {
        phase_ = StudyPhase::Held;
        host_.showStudySentence(row_);
        host_.cancelWake();
        if (settings_.pauseMs > 0) host_.wakeIn(static_cast<unsigned>(settings_.pauseMs));
        host_.studyChanged();
        return;
    }
    ++repetition_;
    if (!advance()) {
        audio_.stop();
        return end();
    }
    // Ready at the start, so that the resume only has to be timed.
    audio_.setPosition(static_cast<int>(span_.start));
    phase_ = StudyPhase::Gap;
    host_.studyChanged();
    if (settings_.gapMs == 0) return proceed();
    host_.wakeIn(static_cast<unsigned>(settings_.gapMs));
}

bool StudyController::advance() {
    int repeats = settings_.loopCount;
    if (mode_ == StudyMode::Ladder) repeats = settings_.ladderRepeats;
    if (repeats == 0 || repetition_ < repeats) return true;
    repetition_ = 0;
    if (mode_ == StudyMode::Ladder && step_ + 1 < static_cast<int>(settings_.ladderTempos.size())) {
        ++step_;
        audio_.setTempo(settings_.ladderTempos[static_cast<std::size_t>(step_)]);
        return true;
    }
    if (mode_ == StudyMode::Loop && !settings_.loopThenNext) return false;
    const std::optional<SentenceSpan> next = spanOf_(row_ + 1);
    if (!next) return false;
    ++row_;
    span_ = *next;
    step_ = 0;
    if (mode_ == StudyMode::Ladder) audio_.setTempo(settings_.ladderTempos.front());
    return true;
}

void StudyController::proceed() {
    if (phase_ == StudyPhase::Held) {
        // The pause left the position the latency before the end; the next
        // sentence goes on from its start.
        audio_.setPosition(static_cast<int>(span_.end));
        audio_.resume();
        phase_ = StudyPhase::Playing;
        arm(static_cast<int>(span_.end));
        // A row with an End time before the next start still holds its end:
        // go on with the next row from there.
        if (row_ >= 0 && span_.end <= static_cast<std::uint32_t>(audio_.getPosition())) {
            if (const std::optional<SentenceSpan> next = spanOf_(row_ + 1)) {
                ++row_;
                span_ = *next;
            }
        }
        schedule();
        host_.studyChanged();
        return;
    }
    if (phase_ != StudyPhase::Gap) return;
    host_.cancelWake();
    audio_.resume();
    phase_ = StudyPhase::Playing;
    host_.showStudySentence(row_);
    schedule();
    host_.studyChanged();
}
