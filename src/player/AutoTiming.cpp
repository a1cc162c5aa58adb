#include "player/AutoTiming.h"

#include <optional>

#include "lyrics/SentenceGroup.h"
#include "player/LyricsEditing.h"

AutoTiming::AutoTiming(LyricsEditing& editing, Message message, KeepAsker askKeep)
    : editing_(editing),
      message_(std::move(message)),
      askKeep_(std::move(askKeep)),
      runner_([](HWND owner, AutoTimingDialog& dialog) { return showModal(owner, dialog); }) {}

void AutoTiming::timeSentences(HWND owner, const std::u16string& audioPath, std::uint32_t lengthMs) {
    const int rows = editing_.rowCount();
    if (rows == 0) {
        message_(u"There are no sentences to time.");
        return;
    }
    auto job = std::make_shared<AutoTimingDialog::Job>();
    job->audioPath = audioPath;
    job->lengthMs = lengthMs;
    std::vector<bool> kept(static_cast<std::size_t>(rows), false);
    bool anyTimed = false;
    for (int row = 0; row < rows; ++row) {
        job->sentences.push_back(editing_.table().cell(row, LyricsTable::Sentence));
        anyTimed = anyTimed || editing_.table().startOf(row) != 0;
    }
    if (anyTimed) {
        const int answer = askKeep_();
        if (answer == IDCANCEL) return;
        if (answer == IDYES)
            for (int row = 0; row < rows; ++row)
                kept[static_cast<std::size_t>(row)] = editing_.table().startOf(row) != 0;
    }
    AutoTimingDialog dialog(job);
    // Cancelled: nothing changes.
    if (!runner_(owner, dialog) || !job->done) return;
    // The rows may not change while the dialog is modal, but check anyway.
    if (editing_.rowCount() != rows) return;
    apply(job->outcome, kept);
}

void AutoTiming::apply(const TimingOutcome& outcome, const std::vector<bool>& kept) {
    const int rows = editing_.rowCount();
    std::vector<std::optional<std::uint32_t>> given(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows && static_cast<std::size_t>(row) < kept.size(); ++row)
        if (kept[static_cast<std::size_t>(row)]) given[static_cast<std::size_t>(row)] = editing_.table().startOf(row);
    const TimingOutcome result = SentenceTimer::keepGivenStarts(outcome, given);
    if (!result.ok()) {
        message_(result.error);
        return;
    }
    if (result.spans.size() != static_cast<std::size_t>(rows)) return;
    const auto& timings = editing_.lyricsView().timings();
    std::vector<RowTimes> before;
    for (int row = 0; row < rows; ++row)
        before.push_back({timings[static_cast<std::size_t>(row)].startMs, editing_.table().endOf(row),
                          editing_.table().cell(row, LyricsTable::Sentence)});
    for (int row = 0; row < rows; ++row) {
        const TimedSpan& span = result.spans[static_cast<std::size_t>(row)];
        editing_.setStart(row, span.startMs);
        editing_.setEnd(row, span.endMs ? span.endMs : SentenceGroup::kNoEndTime);
    }
    before_ = std::move(before);
    const int shown = editing_.firstSelected();
    editing_.showSentence(shown >= 0 ? shown : 0);
    editing_.table().repaint();
}

bool AutoTiming::canUndo() const {
    if (before_.empty() || before_.size() != static_cast<std::size_t>(editing_.rowCount())) return false;
    for (std::size_t row = 0; row < before_.size(); ++row)
        if (editing_.table().cell(static_cast<int>(row), LyricsTable::Sentence) != before_[row].sentence) return false;
    return true;
}

void AutoTiming::undoLastTiming() {
    if (!canUndo()) return;
    for (std::size_t row = 0; row < before_.size(); ++row) {
        editing_.setStart(static_cast<int>(row), before_[row].startMs);
        editing_.setEnd(static_cast<int>(row), before_[row].endMs ? before_[row].endMs : SentenceGroup::kNoEndTime);
    }
    before_.clear();
    editing_.table().repaint();
}
