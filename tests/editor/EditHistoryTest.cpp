// Undo, redo and the saved state, driven the way the editor drives them: each
// edit is recorded and applied to a document, each replay applied unrecorded.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/EditHistory.h"
#include "editor/TextDocument.h"

namespace {

// The editor's edit step reduced to what the history sees.
class Editing {
public:
    void edit(int start, int end, std::u16string_view text) {
        EditRecord record;
        record.kind = start == end ? EditRecord::Kind::Insert : EditRecord::Kind::Replace;
        record.position = start;
        record.caretBefore = caret;
        record.newText = text;
        record.oldText = document.textRange(start, end);
        history.record(std::move(record));
        document.replace(start, end, text);
        caret = start + static_cast<int>(text.size());
    }
    void type(std::u16string_view text) {
        for (char16_t c : text) edit(caret, caret, std::u16string(1, c));
    }
    bool undo() { return apply(history.undo()); }
    bool redo() { return apply(history.redo()); }

    TextDocument document;
    EditHistory history;
    int caret = 0;

private:
    bool apply(const std::optional<EditHistory::Replay>& replay) {
        if (!replay) return false;
        document.replace(replay->start, replay->end, replay->text);
        caret = replay->caret;
        return true;
    }
};

TEST(EditHistory, UndoingThreeTypedCharactersRestoresTheEmptyText) {
    Editing e;
    e.type(u"abc");
    EXPECT_EQ(e.history.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(e.undo());
    EXPECT_EQ(e.document.text(), u"");
    EXPECT_EQ(e.caret, 0);
    EXPECT_FALSE(e.history.canUndo());
    EXPECT_FALSE(e.undo());
    EXPECT_TRUE(e.history.canRedo());
}

TEST(EditHistory, ANewEditAfterUndoDropsTheRedo) {
    Editing e;
    e.type(u"abc");
    e.undo();
    EXPECT_TRUE(e.history.canRedo());
    e.type(u"X");
    EXPECT_EQ(e.document.text(), u"abX");
    EXPECT_FALSE(e.history.canRedo());
    EXPECT_FALSE(e.redo());
    EXPECT_EQ(e.history.size(), 3u);
}

TEST(EditHistory, EveryKindOfRecordRoundTripsTextAndCaret) {
    struct Case {
        const char* name;
        const char16_t* before;
        int caret, start, end;
        const char16_t* text;
        const char16_t* after;
    };
    const Case cases[] = {
        {"insert", u"hello", 5, 5, 5, u" world", u"hello world"},
        {"insert a break", u"ab", 1, 1, 1, u"\r\n", u"a\r\nb"},
        {"replace longer", u"one two", 7, 4, 7, u"three", u"one three"},
        {"replace shorter", u"one three", 0, 4, 9, u"2", u"one 2"},
        {"delete", u"a\r\nb", 3, 1, 3, u"", u"ab"},
        {"delete the whole text", u"x\ny", 3, 0, 3, u"", u""},
        {"insert nothing", u"abc", 1, 1, 1, u"", u"abc"},
        {"replace Japanese", u"今日は", 3, 0, 2, u"明日", u"明日は"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Editing e;
        e.document.setText(c.before);
        e.caret = c.caret;
        e.edit(c.start, c.end, c.text);
        ASSERT_EQ(e.document.text(), c.after);
        const int caretAfter = e.caret;

        ASSERT_TRUE(e.undo());
        EXPECT_EQ(e.document.text(), c.before);
        EXPECT_EQ(e.caret, c.caret);
        ASSERT_TRUE(e.redo());
        EXPECT_EQ(e.document.text(), c.after);
        EXPECT_EQ(e.caret, caretAfter);
    }
}

TEST(EditHistory, RandomEditsUndoToEveryEarlierTextAndRedoBack) {
    std::mt19937 random(42);
    Editing e;
    // Entry i belongs to edit i; entry 0 is the state before any edit.
    std::vector<std::u16string> texts{e.document.text()};
    std::vector<int> caretsBefore{0};
    std::vector<int> caretsAfter{0};
    for (int step = 0; step < 500; ++step) {
        const int n = e.document.length();
        const int start = static_cast<int>(random() % static_cast<unsigned>(n + 1));
        const int end = std::min(n, start + static_cast<int>(random() % 4));
        static const char16_t* kPieces[] = {u"", u"a", u"\r\n", u"\r", u"\n", u"語", u"xy"};
        e.caret = static_cast<int>(random() % static_cast<unsigned>(n + 1));
        caretsBefore.push_back(e.caret);
        e.edit(start, end, kPieces[random() % 7]);
        texts.push_back(e.document.text());
        caretsAfter.push_back(e.caret);
    }
    for (std::size_t i = texts.size() - 1; i > 0; --i) {
        ASSERT_TRUE(e.undo());
        ASSERT_EQ(e.document.text(), texts[i - 1]);
        ASSERT_EQ(e.caret, caretsBefore[i]);
    }
    EXPECT_FALSE(e.undo());
    for (std::size_t i = 1; i < texts.size(); ++i) {
        ASSERT_TRUE(e.redo());
        ASSERT_EQ(e.document.text(), texts[i]);
        ASSERT_EQ(e.caret, caretsAfter[i]);
    }
    EXPECT_FALSE(e.redo());
}

TEST(EditHistory, ModifiedFollowsTheSavedIndex) {
    Editing e;
    EXPECT_FALSE(e.history.modified());
    e.type(u"ab");
    EXPECT_TRUE(e.history.modified());
    e.history.markSaved();
    EXPECT_FALSE(e.history.modified());
    e.undo();
    EXPECT_TRUE(e.history.modified());
    e.redo();
    EXPECT_FALSE(e.history.modified());
    e.type(u"c");
    EXPECT_TRUE(e.history.modified());
    e.undo();
    EXPECT_FALSE(e.history.modified());
}

TEST(EditHistory, AnEditAfterUndoingPastTheSaveMakesTheSavedStateUnreachable) {
    Editing e;
    e.type(u"ab");
    e.history.markSaved();
    e.undo();
    e.type(u"X");
    EXPECT_TRUE(e.history.modified());
    while (e.undo()) EXPECT_TRUE(e.history.modified());
    EXPECT_TRUE(e.history.modified());
    while (e.redo()) EXPECT_TRUE(e.history.modified());
}

TEST(EditHistory, UndoingBackToTheSaveAfterMoreEditsIsUnmodified) {
    Editing e;
    e.type(u"ab");
    e.history.markSaved();
    e.type(u"cd");
    e.undo();
    e.type(u"e");  // the saved state lies behind the current index: still reachable
    e.undo();
    e.undo();
    EXPECT_EQ(e.document.text(), u"ab");
    EXPECT_FALSE(e.history.modified());
}

TEST(EditHistory, ResetForgetsEverythingAndCountsAsSaved) {
    Editing e;
    e.type(u"abc");
    e.undo();
    e.history.reset();
    EXPECT_FALSE(e.history.canUndo());
    EXPECT_FALSE(e.history.canRedo());
    EXPECT_FALSE(e.history.modified());
    EXPECT_EQ(e.history.size(), 0u);
}

}  // namespace
