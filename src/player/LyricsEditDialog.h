// The dialog in which the learner writes one sentence: "Sentence Editor" for
// a row's text, "Sentence Inserter" for a new row. The row's translation and
// explanation pass through untouched.
#pragma once

#include <optional>

#include "editor/TextEditor.h"
#include "player/LyricsEditing.h"
#include "toolkit/Dialog.h"

class LyricsEditDialog : public Dialog {
public:
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 360;

    LyricsEditDialog(SentenceEdit edit, SentenceTexts texts);
    ~LyricsEditDialog() override;

    bool createContents() override;
    void onSize(WPARAM type, LPARAM size) override;
    // Takes the editor's text as the sentence.
    bool onOk() override;

    const SentenceTexts& texts() const { return texts_; }
    TextEditor& editor() { return editor_; }

    // Shows the dialog modally over owner; the edited texts, or nothing when
    // it was cancelled.
    static std::optional<SentenceTexts> ask(HWND owner, SentenceEdit edit, const SentenceTexts& texts);

private:
    SentenceEdit edit_;
    SentenceTexts texts_;
    TextEditor editor_;
};
