// The "Find/Replace" pane: a modeless dialog that finds, replaces and
// replaces all in one target TextEditor, always with regular expressions,
// and marks every match of the find text in the target while it is open.
// The find and replacement texts are remembered in two histories, kept in
// the settings file's "FindReplacePane" section when the pane has a
// settings file path.
//
// Invariants: the histories' lists show FindHistory's entries in order; the
// target's highlight is set by the pane's searches and cleared when the pane
// closes; no search of the pane changes the text unless it completed (a
// pattern stopped as taking too long leaves the text as it was).
#pragma once

#include <string>

#include "editor/FindHistory.h"
#include "editor/TextEditor.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Dialog.h"
#include "toolkit/GroupBox.h"
#include "toolkit/LabelComponent.h"
#include "toolkit/RadioButton.h"

class FindAndReplacePane : public Dialog {
public:
    // A one-line editor that hands Enter, Up and Down to its parent as
    // WM_COMMAND with the key code as the notification code.
    class FindTextField : public TextEditor {
    protected:
        bool onKeyDown(int key) override;
    };
    // A history's drop-down list; its context menu has "Clear History".
    class FindListComboBox : public ComboBox {
    public:
        static constexpr UINT kClearHistory = 1;
        void onRightMouseReleased() override;
    };

    // The search as the pane's controls describe it: flags as the
    // highlight's (1 ignore case, 2 regular expression, 4 backward); start
    // and end the target's ordered selection, swapped when backward.
    struct FindSpec {
        std::u16string text;
        int flags = TextEditor::kFindRegex;
        int start = 0;
        int end = 0;
    };

    static constexpr int kWidth = 487;
    static constexpr int kHeight = 170;
    static constexpr char16_t kSection[] = u"FindReplacePane";
    enum ControlId : int {
        kFindId = 1001,
        kReplaceId,
        kReplaceAllId,
        kCloseId,
        kFindListId,
        kReplaceListId,
        kMatchCaseId,
        kRegexId,
        kBackwardId,
        kForwardId,
    };

    explicit FindAndReplacePane(TextEditor* target = nullptr) : target_(target) {}
    ~FindAndReplacePane() override;

    void setTarget(TextEditor* target) { target_ = target; }
    TextEditor* target() const { return target_; }
    void setSettingsPath(std::u16string path) { settingsPath_ = std::move(path); }

    bool createContents() override;
    void onCommand(HWND control, WPARAM first, WORD code) override;
    // The window's close box and Escape close as "Close" does: the
    // settings are written and the target's highlight is cleared.
    bool onClose() override;
    void closePane();
    // With the pane open: the target's selection (when there is one) becomes
    // the find text, wholly selected, and the find field takes the focus.
    void takeSelection();

    // The buttons; with no target they do nothing.
    void findNext();
    void replaceOnce();
    void replaceAll();

    FindSpec findSpec() const;
    FindTextField& findField() { return findField_; }
    FindTextField& replaceField() { return replaceField_; }
    FindListComboBox& findList() { return findList_; }
    FindListComboBox& replaceList() { return replaceList_; }
    const FindHistory& findHistory() const { return findHistory_; }
    const FindHistory& replaceHistory() const { return replaceHistory_; }
    CheckBox& matchCaseBox() { return matchCase_; }
    RadioButton& backwardButton() { return backward_; }
    RadioButton& forwardButton() { return forward_; }

private:
    void loadSettings();
    void saveSettings() const;
    // Adds text to the top of a history and shows the list anew.
    void remember(FindHistory& history, FindListComboBox& list, const std::u16string& text);
    void showHistory(const FindHistory& history, FindListComboBox& list, int selected);
    // Up and Down in a field: the next newer or older entry of its history.
    void stepHistory(FindTextField& field, FindListComboBox& list, int step);
    // An entry chosen from a list goes to the top and into its field.
    void chooseFromList(FindHistory& history, FindListComboBox& list, FindTextField& field);
    // What every button does first: remembers the texts (the replacement too
    // for Step::Replace), marks the find text in the target and compiles it.
    // False when there is no target or nothing to search with.
    enum class Step { Find, Replace };
    bool begin(Step step, FindSpec& spec, RegexPattern& pattern);
    // Compiles the find text for finding and replacing; false, after saying
    // why when the engine gave a reason, when there is nothing to search with.
    bool compile(const FindSpec& spec, RegexPattern& pattern);
    // Says why a search ended early; false when it did not.
    bool reportLimit(MatchStatus status);
    void showMessage(std::u16string_view text);

    TextEditor* target_ = nullptr;
    std::u16string settingsPath_;
    FindHistory findHistory_;
    FindHistory replaceHistory_;
    bool matchCaseSetting_ = true;

    LabelComponent findLabel_;
    LabelComponent replaceLabel_;
    FindTextField findField_;
    FindTextField replaceField_;
    FindListComboBox findList_;
    FindListComboBox replaceList_;
    GroupBox options_;
    CheckBox matchCase_;
    CheckBox regex_;
    RadioButton backward_;
    RadioButton forward_;
    Button find_;
    Button replace_;
    Button replaceAll_;
    Button close_;
};
