// Undo, redo and the saved state of the editor window, driven only through
// its messages: the save point lives in the history, and edits that are not
// recorded never leave records behind that describe another text.
//
// Faults these caught: EM_SETMODIFY(FALSE) only cleared a flag, so undoing
// back to the text that was saved said "modified" and undoing past it said
// "unmodified"; an insert recorded at 50 undone after an unrecorded edit
// shrank the text to 10 emptied the whole text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "EditorWindowFixture.h"

using namespace veltrix::test;

namespace {

LPARAM wide(const std::u16string& text) { return reinterpret_cast<LPARAM>(text.c_str()); }

struct EditorHistory : EditorWindow {
    void replace(int start, int end, const std::u16string& text, BOOL recorded) {
        send(EM_SETSEL, static_cast<WPARAM>(start), end);  // end -1: to the end
        send(EM_REPLACESEL, recorded, wide(text));
    }
    bool modified() { return send(EM_GETMODIFY) != FALSE; }
    bool canUndo() { return send(EM_CANUNDO) != FALSE; }
    bool canRedo() { return send(EM_CANREDO) != FALSE; }
};

TEST_F(EditorHistory, SaveThenUndoIsModifiedAndRedoIsNot) {
    send(WM_SETTEXT, 0, wide(u"Listen"));
    send(EM_EMPTYUNDOBUFFER);
    send(EM_SETMODIFY, FALSE);  // as loaded
    replace(6, 6, u" again", TRUE);
    EXPECT_TRUE(modified());
    send(EM_SETMODIFY, FALSE);  // saved
    takeEvents();

    send(EM_UNDO);
    EXPECT_EQ(windowText(), u"Listen");
    EXPECT_TRUE(modified());
    const std::vector<std::string> undone = takeEvents();
    EXPECT_EQ(std::count(undone.begin(), undone.end(), "EN_CHANGE"), 1);
    send(EM_REDO);
    EXPECT_EQ(windowText(), u"Listen again");
    EXPECT_FALSE(modified());

    // Undoing back to the loaded text after the save is a change to save.
    send(EM_UNDO);
    EXPECT_TRUE(modified());
    // Save, undo, a new edit: the saved text can never come back unmodified.
    send(EM_REDO);
    send(EM_UNDO);
    replace(0, 0, u"X", TRUE);
    while (canUndo()) {
        send(EM_UNDO);
        EXPECT_TRUE(modified());
    }
    while (canRedo()) {
        send(EM_REDO);
        EXPECT_TRUE(modified());
    }
}

TEST_F(EditorHistory, SettingModifiedOutlastsEveryUndo) {
    replace(0, 0, u"ab", TRUE);
    send(EM_SETMODIFY, FALSE);
    send(EM_SETMODIFY, TRUE);  // the owner changed what is saved with the text
    EXPECT_TRUE(modified());
    send(EM_UNDO);
    send(EM_REDO);
    EXPECT_TRUE(modified());
    send(EM_SETMODIFY, FALSE);
    EXPECT_FALSE(modified());
}

TEST_F(EditorHistory, UnrecordedEditsOfEveryShapeLeaveNothingToReplay) {
    struct Case {
        const char* name;
        std::u16string replacement;
    };
    const std::u16string long50(50, u'x');
    const Case cases[] = {
        {"shorter", u"only ten.."},
        {"longer", std::u16string(120, u'y')},
        {"empty", u""},
        {"same length", std::u16string(51, u'z')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        send(WM_SETTEXT, 0, wide(long50));
        send(EM_EMPTYUNDOBUFFER);
        send(EM_SETMODIFY, FALSE);
        replace(50, 50, u"!", TRUE);  // recorded at 50
        ASSERT_TRUE(canUndo());
        replace(0, -1, c.replacement, FALSE);
        EXPECT_EQ(windowText(), c.replacement);
        EXPECT_FALSE(canUndo());
        EXPECT_FALSE(canRedo());
        send(EM_UNDO);
        send(EM_REDO);
        EXPECT_EQ(windowText(), c.replacement);
        // The typed "!" was never saved: the text stays modified.
        EXPECT_TRUE(modified());
    }
}

TEST_F(EditorHistory, AnUnrecordedEditOfASavedTextKeepsItUnmodified) {
    replace(0, 0, u"typed", TRUE);
    send(EM_UNDO);  // redo is possible now
    send(EM_SETMODIFY, FALSE);
    replace(0, -1, u"filled by the owner", FALSE);
    EXPECT_FALSE(modified());
    EXPECT_FALSE(canRedo());
    replace(0, 0, u"> ", TRUE);
    EXPECT_TRUE(modified());
    send(EM_UNDO);
    EXPECT_EQ(windowText(), u"filled by the owner");
    EXPECT_FALSE(modified());
}

TEST_F(EditorHistory, EmptyingTheUndoBufferKeepsTheModifiedFlag) {
    replace(0, 0, u"abc", TRUE);
    send(EM_EMPTYUNDOBUFFER);
    EXPECT_FALSE(canUndo());
    EXPECT_TRUE(modified());
    send(EM_SETMODIFY, FALSE);
    send(EM_EMPTYUNDOBUFFER);
    EXPECT_FALSE(modified());
}

// The intended behaviour in its plainest form: a list of whole texts.
struct Model {
    std::vector<std::u16string> texts{u""};
    std::size_t current = 0;
    std::ptrdiff_t saved = 0;

    const std::u16string& text() const { return texts[current]; }
    bool modified() const { return saved != static_cast<std::ptrdiff_t>(current); }
    void recorded(std::u16string next) {
        if (saved > static_cast<std::ptrdiff_t>(current)) saved = -1;
        texts.resize(current + 1);
        texts.push_back(std::move(next));
        ++current;
    }
    void unrecorded(std::u16string next) {
        const bool wasModified = modified();
        texts.assign(1, std::move(next));
        current = 0;
        saved = wasModified ? -1 : 0;
    }
};

TEST_F(EditorHistory, TenThousandRandomStepsAgreeWithAModel) {
    std::mt19937 random(20240621);
    Model model;
    static const std::u16string kPieces[] = {u"a", u"bc", u"\r\n", u"\r", u"\n", u"語", u" ", u"", u"xyz\r\nw"};
    for (int step = 0; step < 10000; ++step) {
        const int length = static_cast<int>(model.text().size());
        const unsigned kind = random() % 10;
        if (kind < 6) {
            int start = static_cast<int>(random() % static_cast<unsigned>(length + 1));
            int end = std::min(length, start + static_cast<int>(random() % 5));
            if (length > 300) end = std::min(length, start + 60);  // keep the text small
            const std::u16string& piece = kPieces[random() % std::size(kPieces)];
            const bool recorded = kind < 5;
            std::u16string next = model.text();
            next.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), piece);
            replace(start, end, piece, recorded ? TRUE : FALSE);
            if (recorded) {
                model.recorded(std::move(next));
            } else if (start != end || !piece.empty()) {
                model.unrecorded(std::move(next));
            }
        } else if (kind < 8) {
            send(EM_UNDO);
            if (model.current > 0) --model.current;
        } else if (kind < 9) {
            send(EM_REDO);
            if (model.current + 1 < model.texts.size()) ++model.current;
        } else {
            const bool setModified = random() % 3 == 0;
            send(EM_SETMODIFY, setModified ? TRUE : FALSE);
            // The model takes a "save" at face value and "modified" as a
            // state no undo or redo leads out of.
            model.saved = setModified ? -1 : static_cast<std::ptrdiff_t>(model.current);
        }
        ASSERT_EQ(windowText(), model.text()) << "step " << step;
        ASSERT_EQ(canUndo(), model.current > 0) << "step " << step;
        ASSERT_EQ(canRedo(), model.current + 1 < model.texts.size()) << "step " << step;
        ASSERT_EQ(modified(), model.modified()) << "step " << step;
        if (step % 250 == 0) {
            // The incremental line table still equals a fresh count.
            const std::u16string& text = model.text();
            int lines = 1;
            for (std::size_t i = 0; i < text.size(); ++i)
                if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) ++lines;
            ASSERT_EQ(editor.document().lineCount(), lines) << "step " << step;
        }
    }
}

}  // namespace
