// Putting computed times into the sentence rows: one edit that marks the list
// unsaved and one undo that takes it back; kept times; outcomes that do not
// fit and a cancelled run leave the rows as they were.
#include <gtest/gtest.h>

#include <cstdlib>

#include "player/AutoTiming.h"
#include "player/LyricsViewsFixture.h"

namespace veltrix::test {
namespace {

class AutoTimingTest : public LyricsViews {
protected:
    std::vector<std::pair<std::uint32_t, std::uint32_t>> times() const {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> t;
        for (int row = 0; row < table.getRowCount(); ++row) t.emplace_back(table.startOf(row), table.endOf(row));
        return t;
    }
    std::vector<std::u16string> messages;
    int keepAnswer = IDNO;
    AutoTiming timing{editing, [this](const std::u16string& text) { messages.push_back(text); },
                      [this] { return keepAnswer; }};
};

TimingOutcome spansOf(std::vector<TimedSpan> spans) {
    TimingOutcome outcome;
    outcome.spans = std::move(spans);
    return outcome;
}

TEST_F(AutoTimingTest, OneEditMarkedUnsavedAndOneUndo) {
    loadSix();
    const auto before = times();
    ASSERT_FALSE(lyrics.modified());
    EXPECT_FALSE(timing.canUndo());
    timing.apply(spansOf({{500, 1400}, {1500, 2300}, {2400, 0}, {3100, 3900}, {4000, 4500}, {4600, 5000}}),
                 std::vector<bool>(6, false));
    EXPECT_EQ(times()[1], std::make_pair(1500u, 2300u));
    EXPECT_EQ(times()[2], std::make_pair(2400u, 0u));
    EXPECT_EQ(lyrics.timings()[3].startMs, 3100u);
    EXPECT_TRUE(lyrics.modified());
    expectInStep();
    ASSERT_TRUE(timing.canUndo());
    timing.undoLastTiming();
    EXPECT_EQ(times(), before);
    EXPECT_EQ(lyrics.timings()[3].startMs, 4000u);
    EXPECT_FALSE(timing.canUndo());

    // Kept rows keep their start; the undo is gone once the rows are others.
    std::vector<bool> kept(6, false);
    kept[2] = true;
    timing.apply(spansOf({{500, 0}, {1500, 0}, {2400, 0}, {3100, 0}, {4000, 0}, {4600, 0}}), kept);
    EXPECT_EQ(table.startOf(2), 3000u);
    EXPECT_EQ(table.startOf(3), 3100u);
    editing.applySentenceEdit(4, SentenceEdit::Replace, {u"Changed. ", u"", u""});
    EXPECT_FALSE(timing.canUndo());
    EXPECT_TRUE(messages.empty());
}

TEST_F(AutoTimingTest, WhatDoesNotFitLeavesTheRows) {
    loadSix();
    const auto before = times();
    TimingOutcome failed;
    failed.error = u"The audio ends before Sentence 6 (\"S5.\") is spoken.";
    timing.apply(failed, std::vector<bool>(6, false));
    // A kept start that the computed ones would cross.
    std::vector<bool> kept(6, false);
    kept[5] = true;
    timing.apply(spansOf({{500, 0}, {1500, 0}, {2400, 0}, {3100, 0}, {9000, 0}, {9500, 0}}), kept);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], failed.error);
    EXPECT_EQ(messages[1],
              u"The times already set do not fit the audio: sentence 6 would start before sentence 5. "
              u"The sentences were left as they were.");
    EXPECT_EQ(times(), before);
    EXPECT_FALSE(lyrics.modified());
}

TEST_F(AutoTimingTest, CancelledOrDeclinedRunsChangeNothing) {
    loadSix();
    const auto before = times();
    // Times are set, so the user is asked first; Cancel there starts nothing.
    keepAnswer = IDCANCEL;
    bool ran = false;
    timing.setDialogRunner([&](HWND, AutoTimingDialog&) { return ran = true; });
    timing.timeSentences(frame.handle(), folder.file("lesson.mp3"), 10000);
    EXPECT_FALSE(ran);
    // The dialog's Cancel, pressed as soon as it shows, stops the worker.
    keepAnswer = IDNO;
    static AutoTimingDialog* running = nullptr;
    timing.setDialogRunner([&](HWND owner, AutoTimingDialog& dialog) {
        running = &dialog;
        SetTimer(owner, 77, 50, [](HWND window, UINT, UINT_PTR id, DWORD) {
            KillTimer(window, id);
            // To look at the dialog: VELTRIX_PICTURES=folder.
            if (const char* pictures = std::getenv("VELTRIX_PICTURES"); pictures && running && running->handle())
                veltrix::platform::headless::savePicture(running->handle(),
                                                         std::string(pictures) + "/autotiming-dialog.png");
            if (running && running->handle()) PostMessageW(running->handle(), WM_COMMAND, kCancelButton, 0);
        });
        const bool ended = showModal(owner, dialog);
        running = nullptr;
        return ended;
    });
    timing.timeSentences(frame.handle(), folder.file("lesson.mp3"), 10000);
    EXPECT_EQ(times(), before);
    EXPECT_FALSE(lyrics.modified());
    EXPECT_TRUE(messages.empty()) << std::string(messages.at(0).begin(), messages.at(0).end());
    EXPECT_FALSE(timing.canUndo());
}

}  // namespace
}  // namespace veltrix::test
