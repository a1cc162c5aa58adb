// "Time Sentences Automatically" on the player: takes the open audio and the
// sentence rows, asks whether times already set are kept, runs the timing
// dialog, and puts the outcome into the rows as one edit that
// undoLastTiming() takes back whole. A transcript that does not fit, or a
// cancel, leaves the rows as they were.
//
// Invariant: the undo snapshot, when there is one, holds every row's start
// (as the timing index has it), end and sentence from before the last timing,
// and is only applied while the table holds the same sentences in the same
// rows (not after another file is opened or rows are edited).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "player/AutoTimingDialog.h"

class LyricsEditing;

class AutoTiming {
public:
    // Runs the dialog modally over owner; true when it ended with an outcome.
    using DialogRunner = std::function<bool(HWND owner, AutoTimingDialog& dialog)>;
    using Message = std::function<void(const std::u16string&)>;
    // Yes / No / Cancel: IDYES keep the times, IDNO time all anew, IDCANCEL stop.
    using KeepAsker = std::function<int()>;

    AutoTiming(LyricsEditing& editing, Message message, KeepAsker askKeep);

    void timeSentences(HWND owner, const std::u16string& audioPath, std::uint32_t lengthMs);
    bool canUndo() const;
    void undoLastTiming();

    // For tests: the modal run (showModal by default).
    void setDialogRunner(DialogRunner runner) { runner_ = std::move(runner); }
    // Puts an outcome into the rows (what timeSentences does with the dialog's).
    void apply(const TimingOutcome& outcome, const std::vector<bool>& kept);

private:
    struct RowTimes {
        std::uint32_t startMs;
        std::uint32_t endMs;
        std::u16string sentence;
    };

    LyricsEditing& editing_;
    Message message_;
    KeepAsker askKeep_;
    DialogRunner runner_;
    std::vector<RowTimes> before_;
};
