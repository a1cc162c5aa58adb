// Editing the sentence list in place: every operation keeps the table, the
// timing index and the lyrics text in step, and what it did survives a save
// and a fresh read of the file.
#include "LyricsViewsFixture.h"

#include "lyrics/TimeCode.h"
#include "platform/display/HeadlessAnswers.h"
#include "player/SentenceMenu.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

void select(LyricsTable& table, std::initializer_list<int> rows) {
    table.clearSelection();
    for (int row : rows) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        SendMessageW(table.handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace

TEST_F(LyricsViews, LoadedListShowsEveryRowInStep) {
    loadSix();
    EXPECT_EQ(table.getRowCount(), 6);
    EXPECT_EQ(lyrics.text(), u"S0. S1. S2. S3. S4. S5. ");
    EXPECT_EQ(table.getValueAt(2, LyricsTable::Start), u"00:03:00");
    EXPECT_FALSE(lyrics.modified());
    EXPECT_FALSE(lyrics.canUndo());
    expectInStep();
}

TEST_F(LyricsViews, MergingAdjacentRowsKeepsTextAndFirstRowTimes) {
    loadSix();
    editing.setEnd(2, 3500);
    editing.mergeSentences({2, 3});
    EXPECT_EQ(sentences(), (std::vector<std::u16string>{u"S0. ", u"S1. ", u"S2. S3. ", u"S4. ", u"S5. "}));
    EXPECT_EQ(table.getValueAt(2, LyricsTable::Translation), u"T2T3");
    EXPECT_EQ(lyrics.text(), u"S0. S1. S2. S3. S4. S5. ");
    EXPECT_EQ(table.getValueAt(2, LyricsTable::Start), u"00:03:00");
    EXPECT_EQ(table.getValueAt(2, LyricsTable::End), u"00:03:50");
    expectInStep();

    auto reread = saveAndReread();
    ASSERT_EQ(reread->size(), 5u);
    EXPECT_EQ(reread->rows()[2].sentence, u"S2. S3. ");
    EXPECT_EQ(reread->rows()[2].end, u"00:03:50");
    EXPECT_EQ(reread->joinedText(), lyrics.text());
}

TEST_F(LyricsViews, MergingScatteredRowsMovesTheLaterTextForward) {
    loadSix();
    editing.mergeSentences({5, 2, 3});
    EXPECT_EQ(sentences(), (std::vector<std::u16string>{u"S0. ", u"S1. ", u"S2. S3. S5. ", u"S4. "}));
    EXPECT_EQ(lyrics.text(), u"S0. S1. S2. S3. S5. S4. ");
    EXPECT_TRUE(lyrics.modified());
    expectInStep();
}

TEST_F(LyricsViews, MergingFewerThanTwoRowsChangesNothing) {
    loadSix();
    editing.mergeSentences({3});
    editing.mergeSentences({3, 99});
    EXPECT_EQ(table.getRowCount(), 6);
    expectInStep();
}

TEST_F(LyricsViews, AddingBeforeSelectedRowShiftsLaterOffsets) {
    loadSix();
    select(table, {4});
    editing.setSentenceAsker([](SentenceEdit edit, const SentenceTexts& initial) -> std::optional<SentenceTexts> {
        EXPECT_EQ(edit, SentenceEdit::Insert);
        EXPECT_TRUE(initial.sentence.empty());
        return SentenceTexts{u"New one. ", u"ignored", u"ignored"};
    });
    EXPECT_FALSE(editing.performMenuChoice(SentenceMenuChoice::Add));
    ASSERT_EQ(table.getRowCount(), 7);
    EXPECT_EQ(sentenceAt(4), u"New one. ");
    EXPECT_EQ(sentenceAt(5), u"S4. ");
    EXPECT_EQ(table.getValueAt(4, LyricsTable::Translation), u"");
    EXPECT_EQ(lyrics.timings()[4].startMs, 0u);
    EXPECT_EQ(lyrics.timings()[5].textOffset, 16 + 9);
    expectInStep();

    auto reread = saveAndReread();
    ASSERT_EQ(reread->size(), 7u);
    EXPECT_EQ(reread->rows()[4].sentence, u"New one. ");
    EXPECT_EQ(reread->timings()[4].startMs, 0u);
}

TEST_F(LyricsViews, AddingWithoutSelectionAppendsAndEditingKeepsOtherTexts) {
    loadSix();
    editing.setSentenceAsker([](SentenceEdit edit, const SentenceTexts& initial) -> std::optional<SentenceTexts> {
        if (edit == SentenceEdit::Replace) {
            EXPECT_EQ(initial.sentence, u"S0. ");
            EXPECT_EQ(initial.translation, u"T0");
            EXPECT_EQ(initial.explanation, u"E0");
            return SentenceTexts{u"First, edited. ", u"", u""};
        }
        return SentenceTexts{u"Last. ", u"", u""};
    });
    editing.performMenuChoice(SentenceMenuChoice::Add);
    EXPECT_EQ(sentenceAt(6), u"Last. ");
    select(table, {0});
    editing.performMenuChoice(SentenceMenuChoice::Edit);
    EXPECT_EQ(sentenceAt(0), u"First, edited. ");
    EXPECT_EQ(table.getValueAt(0, LyricsTable::Translation), u"T0");
    EXPECT_EQ(table.getValueAt(0, LyricsTable::Explanation), u"E0");
    EXPECT_EQ(table.getValueAt(0, LyricsTable::Start), u"00:01:00");
    expectInStep();
}

TEST_F(LyricsViews, CancelledDialogChangesNothing) {
    loadSix();
    select(table, {1});
    editing.setSentenceAsker([](SentenceEdit, const SentenceTexts&) { return std::optional<SentenceTexts>{}; });
    editing.performMenuChoice(SentenceMenuChoice::Edit);
    editing.performMenuChoice(SentenceMenuChoice::Add);
    EXPECT_EQ(table.getRowCount(), 6);
    EXPECT_FALSE(lyrics.modified());
}

TEST_F(LyricsViews, DeletingSelectedRowsAndThenAllLeavesEmptyViews) {
    loadSix();
    select(table, {1, 4});
    editing.performMenuChoice(SentenceMenuChoice::Delete);
    EXPECT_EQ(sentences(), (std::vector<std::u16string>{u"S0. ", u"S2. ", u"S3. ", u"S5. "}));
    expectInStep();
    editing.deleteRows({0, 1, 2, 3});
    EXPECT_EQ(table.getRowCount(), 0);
    EXPECT_EQ(lyrics.text(), u"");
    EXPECT_TRUE(lyrics.timings().empty());
    EXPECT_TRUE(lyrics.modified());
}

TEST_F(LyricsViews, EndTimeShowsOnlyWhenLaterThanStart) {
    loadSix();  // row 4 starts at 5000
    struct Case {
        std::uint32_t end;
        const char16_t* cell;
    };
    for (const Case& c : {Case{5000, u""}, Case{5010, u"00:05:01"}, Case{4000, u""}, Case{0, u""},
                          Case{SentenceGroup::kNoEndTime, u""}}) {
        editing.setEnd(4, 6000);
        editing.setEnd(4, c.end);
        EXPECT_EQ(table.getValueAt(4, LyricsTable::End), c.cell) << c.end;
    }
}

TEST_F(LyricsViews, StepButtonsMoveStartsByOneHundredth) {
    loadEntries({{110 * 10, 0, u"A. ", u"", u""}, {0, 0, u"B. ", u"", u""}, {5, 0, u"C. ", u"", u""}});
    select(table, {0, 1, 2});
    editing.performMenuChoice(SentenceMenuChoice::PlusStep);
    EXPECT_EQ(table.getValueAt(0, LyricsTable::Start), u"00:01:11");
    EXPECT_EQ(lyrics.timings()[0].startMs, 1110u);
    editing.performMenuChoice(SentenceMenuChoice::MinusStep);
    editing.performMenuChoice(SentenceMenuChoice::MinusStep);
    EXPECT_EQ(table.getValueAt(0, LyricsTable::Start), u"00:01:09");
    // A start at (or near) zero stops at zero instead of wrapping around.
    EXPECT_EQ(lyrics.timings()[1].startMs, 0u);
    EXPECT_EQ(table.getValueAt(1, LyricsTable::Start), u"00:00:00");
    EXPECT_EQ(lyrics.timings()[2].startMs, 0u);
    expectInStep();
}

TEST_F(LyricsViews, AdjacentSelectionWrapsAround) {
    loadSix();
    select(table, {0});
    editing.selectAdjacentSentence(Direction::Backward);
    EXPECT_EQ(table.getSelectedRows(), std::vector<int>{5});
    editing.selectAdjacentSentence(Direction::Forward);
    EXPECT_EQ(table.getSelectedRows(), std::vector<int>{0});
    editing.selectAdjacentSentence(Direction::Forward);
    EXPECT_EQ(table.getSelectedRows(), std::vector<int>{1});
    EXPECT_EQ(lyrics.selectedText(), u"S1. ");
    EXPECT_EQ(translation.text(), u"T1");
    table.clearSelection();
    editing.selectAdjacentSentence(Direction::Backward);
    EXPECT_EQ(table.getSelectedRows(), std::vector<int>{5});
}

TEST_F(LyricsViews, AdjacentSelectionOnEmptyTableDoesNothing) {
    editing.selectAdjacentSentence(Direction::Forward);
    EXPECT_TRUE(table.getSelectedRows().empty());
}

TEST_F(LyricsViews, StampingNeedsASelectedRowAndSurvivesTheFile) {
    loadSix();
    editing.setRowStart(7777);
    EXPECT_EQ(table.getValueAt(0, LyricsTable::Start), u"00:01:00");
    EXPECT_FALSE(lyrics.modified());
    select(table, {3});
    editing.setRowStart(7777);
    editing.setRowEnd(9000);
    EXPECT_EQ(table.getValueAt(3, LyricsTable::Start), u"00:07:77");
    EXPECT_EQ(lyrics.timings()[3].startMs, 7777u);
    EXPECT_EQ(lyrics.selectedText(), u"S3. ");
    EXPECT_TRUE(lyrics.modified());
    auto reread = saveAndReread();
    EXPECT_EQ(reread->rows()[3].start, u"00:07:77");
    EXPECT_EQ(reread->rows()[3].end, u"00:09:00");
    EXPECT_EQ(reread->timings()[3].startMs, 7770u);
}

TEST_F(LyricsViews, PanesGoIntoTheSelectedRow) {
    loadSix();
    editing.showSentence(2);
    EXPECT_EQ(translation.text(), u"T2");
    translation.setText(u"訳");
    explanation.setText(u"解説");
    editing.applyPanesToRow();
    EXPECT_EQ(table.getValueAt(2, LyricsTable::Translation), u"T2");
    select(table, {2});
    editing.applyPanesToRow();
    EXPECT_EQ(table.getValueAt(2, LyricsTable::Translation), u"訳");
    EXPECT_EQ(table.getValueAt(2, LyricsTable::Explanation), u"解説");
    auto reread = saveAndReread();
    EXPECT_EQ(reread->rows()[2].translation, u"訳");
    EXPECT_EQ(reread->rows()[2].explanation, u"解説");
}

TEST_F(LyricsViews, ShowSentenceSelectsTextAndFillsPanes) {
    loadSix();
    editing.showSentence(1);
    EXPECT_EQ(lyrics.selectionStart(), 4);
    EXPECT_EQ(lyrics.selectionEnd(), 8);
    EXPECT_EQ(translation.text(), u"T1");
    EXPECT_EQ(explanation.text(), u"");
    editing.showSentence(5);
    EXPECT_EQ(lyrics.selectedText(), u"S5. ");
    editing.showSentence(-1);
    EXPECT_EQ(translation.text(), u"T5");
    editing.showSentence(6);  // past the end: ignored
    EXPECT_EQ(lyrics.selectedText(), u"S5. ");
    // Filling the panes is not an edit of the learner's.
    EXPECT_FALSE(translation.canUndo());
}

TEST_F(LyricsViews, SplittingTextKeepsTimesAndTranslationsOfExistingRows) {
    loadSix();
    const std::u16string three = u"Where is the station? It is over there.\r\nThank you very much. ";
    editing.setLyricsText(three);
    EXPECT_EQ(sentences(), (std::vector<std::u16string>{u"Where is the station? ", u"It is over there.\r\n",
                                                        u"Thank you very much. "}));
    EXPECT_EQ(table.getValueAt(1, LyricsTable::Start), u"00:02:00");
    EXPECT_EQ(table.getValueAt(1, LyricsTable::Translation), u"T1");
    EXPECT_EQ(lyrics.text(), three);
    expectInStep();

    const std::u16string five = three + u"You are welcome. Have a nice day. Goodbye";
    editing.setLyricsText(five);
    EXPECT_EQ(table.getRowCount(), 6);
    EXPECT_EQ(table.getValueAt(5, LyricsTable::Start), u"00:00:00");
    EXPECT_EQ(sentenceAt(5), u"Goodbye");
    EXPECT_EQ(lyrics.text(), five);
    expectInStep();
}

TEST_F(LyricsViews, SplittingNeverDropsText) {
    const std::u16string cases[] = {u"", u"x", u"Hi.", u"Hi. \r\n", u"One. T", u"   ", u"日本語の文。次の文。"};
    for (const std::u16string& text : cases) {
        editing.clearSentences();
        editing.setLyricsText(text);
        EXPECT_EQ(lyrics.text(), text);
        expectInStep();
    }
}

TEST(SentenceMenu, ItemsAndTheirConditions) {
    const auto none = sentenceMenuItems(0);
    ASSERT_EQ(none.size(), 11u);
    EXPECT_EQ(none[0].text, u"Edit...");
    EXPECT_EQ(none[5].text, u"Marge選択したセンテンスを一つにする");
    EXPECT_EQ(none[7].text, u"Plus 1ms\t+");
    EXPECT_EQ(none[10].text, u"Play this sentence\tEnter");
    struct Case {
        std::size_t selected;
        std::vector<bool> enabled;  // Edit, Add, Delete, Merge, Plus, Minus, Play
    };
    for (const Case& c :
         {Case{0, {false, true, false, false, false, false, false}},
          Case{1, {true, true, true, false, true, true, true}}, Case{2, {true, true, true, true, true, true, false}}}) {
        std::vector<bool> enabled;
        for (const auto& item : sentenceMenuItems(c.selected))
            if (item.number != 0) enabled.push_back(item.enabled);
        EXPECT_EQ(enabled, c.enabled) << c.selected;
    }
}

TEST_F(LyricsViews, ContextMenuShowsItsItemsAndReturnsTheChoice) {
    std::vector<headless::MenuItemShown> shown;
    headless::setMenuResponder([&](const headless::MenuShown& menu) {
        shown = menu.items;
        return 3;
    });
    EXPECT_EQ(showSentenceMenu(frame.handle(), 2), 3);
    headless::setMenuResponder(nullptr);
    ASSERT_EQ(shown.size(), 11u);
    EXPECT_TRUE(shown[2].separator);
    EXPECT_EQ(shown[3].text, u"Delete");
    EXPECT_EQ(shown[3].id, 2u);
    EXPECT_TRUE(shown[5].enabled);
    EXPECT_FALSE(shown[10].enabled);
}
