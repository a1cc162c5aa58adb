// The learner's word list for the open sentence list, and a dictionary
// look-up beside it. On the left the key field, the level field with the
// "New" button, and the value and explanation editors; on the right the word
// table (the list being edited), the dictionary box and the result table of
// the last look-up.
//
// The word table is a working copy of the WordList element it is given (the
// player's, written into the sentence-list file): reload() fills the table
// from the element, store() writes the table back. Keys are unique in the
// table (whole, case-sensitive); rows keep their insertion order.
//
// Typing in the key field starts timer 10 (800 ms); when it fires, the word
// is looked up in the chosen dictionary, as a prefix, then in its guessed
// base form, then in that form + "e", and the hits fill the result table.
// Choosing a row of either table copies it into the fields.
//
// The dictionary folders "Dictionaries/PDIC" and "Dictionaries/WordNet" are
// looked for in the program's folder, whatever folder the program was
// started from; the box names each file by its path inside that folder.
//
// Invariants: both tables have the five columns LV, Key, Value, Explanation
// and Pronunciation; entry 0 of the dictionary box is "Choose a dictionary"
// or "No dictionary" and never names a file.
#pragma once

#include <string>
#include <vector>

#include "editor/TextEditor.h"
#include "editor/TextEditorListener.h"
#include "toolkit/Button.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Component.h"
#include "toolkit/EventListener.h"
#include "toolkit/TableComponent.h"
#include "toolkit/UpDownTextField.h"
#include "xml/Element.h"

class WordListPane : public Component, public ActionListener, public TextEditorListener {
public:
    // Columns of both tables.
    enum Column : int { Level = 0, Key = 1, Value = 2, Explanation = 3, Pronunciation = 4 };
    static constexpr UINT_PTR kSearchTimer = 10;
    static constexpr UINT kTypingDelayMs = 800;
    static constexpr UINT kChoiceDelayMs = 1;
    static constexpr int kMaxHits = 30;
    static constexpr int kMaxLevel = 30;
    static constexpr char16_t kPdicFolder[] = u"Dictionaries/PDIC";
    static constexpr char16_t kWordNetFolder[] = u"Dictionaries/WordNet";
    static constexpr char16_t kChooseEntry[] = u"Choose a dictionary";
    static constexpr char16_t kNoDictionary[] = u"No dictionary";

    // An editor in which Tab and Shift+Tab move the focus on through the
    // pane instead of being typed.
    class FieldEditor : public TextEditor {
    protected:
        bool onKeyDown(int key) override;
        bool onChar(char16_t character) override;
    };

    explicit WordListPane(Element& wordList);
    ~WordListPane() override;

    // Creates the pane and its children inside parent, fills the word table
    // from the element and the dictionary box from the two folders.
    bool create(HWND parent) override;
    void destroyWindow() override;

    void reload();
    void store();
    // The row of key, appended when the table has none; -1 for an empty key.
    int addOrUpdate(int level, const std::u16string& key, const std::u16string& value,
                    const std::u16string& explanation);
    // The look-up that timer 10 runs, with the word given.
    void searchDictionary(const std::u16string& word);
    // The dictionary box refilled from the folders.
    void fillDictionaryBox();
    // The folder that holds "Dictionaries" (with its separator); the
    // program's folder unless set.
    void setDictionaryRoot(std::u16string folder) { root_ = std::move(folder); }
    const std::u16string& dictionaryRoot() const { return root_; }

    // Children, for the dialog and tests.
    TextEditor& keyField() { return keyField_; }
    TextEditor& valueEditor() { return valueEditor_; }
    TextEditor& explanationEditor() { return explanationEditor_; }
    UpDownTextField& levelField() { return levelField_; }
    TableComponent& wordTable() { return wordTable_; }
    TableComponent& resultTable() { return resultTable_; }
    ComboBox& dictionaryBox() { return dictionaryBox_; }
    Button& newButton() { return newButton_; }
    Element& element() { return wordList_; }

    // Component ---------------------------------------------------------------------------
    void onCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT onNotify(WPARAM wParam, LPARAM lParam) override;
    LRESULT onSize(WPARAM type, LPARAM size) override;
    bool onTimer(UINT_PTR id, LPARAM lParam) override;

    // ActionListener: the "New" button ---------------------------------------------------
    void actionPerformed(ActionEvent event) override;
    // TextEditorListener: the key field --------------------------------------------------
    void textChanged(TextEditor& editor) override;

private:
    void layout(int width, int height);
    void createTable(TableComponent& table);
    void takeSelection(TableComponent& table, bool& busy);
    void showWordMenu();
    void restartSearch(UINT delayMs);

    Element& wordList_;
    std::u16string root_;
    FieldEditor keyField_;
    FieldEditor valueEditor_;
    FieldEditor explanationEditor_;
    UpDownTextField levelField_;
    TableComponent wordTable_;
    TableComponent resultTable_;
    ComboBox dictionaryBox_;
    Button newButton_;
    // Set while a table's selection is being copied into the fields.
    bool wordTableBusy_ = false;
    bool resultTableBusy_ = false;
};

// The files of root + folder, each as folder + "/" + name, in the order the
// file system lists them; sub-folders and "." and ".." are left out.
std::vector<std::u16string> dictionaryFilesIn(const std::u16string& root, const std::u16string& folder);
