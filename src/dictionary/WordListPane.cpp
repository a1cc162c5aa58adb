#include "dictionary/WordListPane.h"

#include <algorithm>

#include "app/Paths.h"
#include "dictionary/Deinflect.h"
#include "dictionary/DictionaryEngine.h"
#include "lyrics/SentenceListBuilders.h"
#include "toolkit/PopupMenu.h"

namespace {

struct ColumnSpec {
    const char16_t* title;
    int width;
};
constexpr ColumnSpec kColumns[] = {
    {u"LV", 20}, {u"Key", 110}, {u"Value", 110}, {u"Explanation", 75}, {u"Pronunciation", 75},
};

constexpr int kLeftWidth = 210;
constexpr int kRightX = 214;
constexpr int kTopRow = 8;
constexpr int kRowHeight = 18;
constexpr int kValueY = 30;
constexpr int kValueHeight = 120;
constexpr int kExplanationY = 152;
constexpr int kBoxHeight = 20;
constexpr int kBoxListHeight = 300;
constexpr int kResultGap = 20;
constexpr UINT kDeleteItem = 1;

constexpr char16_t kBoxTip[] = u"Choose a PDIC or WordNet dictionary as a word search engine.\r\n";

// The decimal number a level cell starts with (0 when it starts with none).
int leadingNumber(const std::u16string& text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) negative = text[at++] == u'-';
    long long value = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        value = std::min<long long>(value * 10 + (text[at] - u'0'), 1'000'000'000);
    }
    return static_cast<int>(negative ? -value : value);
}

std::u16string decimal(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::vector<std::u16string> dictionaryFilesIn(const std::u16string& root, const std::u16string& folder) {
    std::vector<std::u16string> files;
    WIN32_FIND_DATAW found{};
    const std::u16string pattern = root + folder + u"\\*.*";
    HANDLE find = FindFirstFileW(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return files;
    const std::unique_ptr<void, BOOL (*)(HANDLE)> closer(find, &FindClose);
    do {
        const std::u16string name = found.cFileName;
        if (name == u"." || name == u"..") continue;
        // A folder is no dictionary; offering it would only fail to open.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        files.push_back(folder + u"/" + name);
    } while (FindNextFileW(find, &found));
    return files;
}

// FieldEditor -----------------------------------------------------------------------------

bool WordListPane::FieldEditor::onKeyDown(int key) {
    if (key == VK_TAB) {
        moveFocus(GetKeyState(VK_SHIFT) < 0 ? FocusDirection::Backward : FocusDirection::Forward);
        return true;
    }
    return TextEditor::onKeyDown(key);
}

bool WordListPane::FieldEditor::onChar(char16_t character) {
    if (character == u'\t') return true;  // taken at its key down
    return TextEditor::onChar(character);
}

// Creation and layout -----------------------------------------------------------------------

WordListPane::WordListPane(Element& wordList) : wordList_(wordList), root_(appDirectory()) {}

WordListPane::~WordListPane() { WordListPane::destroyWindow(); }

bool WordListPane::create(HWND parent) {
    registerWindowClass(u"WordListPane", u"", 0);
    if (!Component::create(parent)) return false;
    setText(u"Word List");

    keyField_.create(handle_);
    keyField_.fieldMode();
    keyField_.setListener(this);

    levelField_.createField(handle_, 0, u"", 0, 0, 32, kRowHeight);
    levelField_.setRange(0, kMaxLevel);
    levelField_.pack();

    newButton_.createButton(handle_, 0, u"New", 0, 0, 36, kRowHeight);
    newButton_.setActionListener(this);

    for (TextEditor* editor : {&valueEditor_, &explanationEditor_}) {
        editor->create(handle_);
        editor->setBorder(true);
    }
    dictionaryBox_.createBox(handle_, 0, 0, 0, kLeftWidth, kBoxHeight, ComboKind::List, kBoxListHeight);
    dictionaryBox_.setToolTipText(kBoxTip);

    createTable(wordTable_);
    createTable(resultTable_);

    reload();
    fillDictionaryBox();
    return true;
}

void WordListPane::createTable(TableComponent& table) {
    table.create(handle_);
    // The table keeps its columns when its window goes with a closed dialog.
    if (table.getColumnCount() == 0) {
        for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
            table.insertColumn(i, kColumns[i].title, kColumns[i].width);
    }
}

void WordListPane::destroyWindow() {
    if (handle_) KillTimer(handle_, kSearchTimer);
    keyField_.setListener(nullptr);
    newButton_.setActionListener(nullptr);
    for (BaseWindow* child :
         std::initializer_list<BaseWindow*>{&keyField_, &valueEditor_, &explanationEditor_, &levelField_, &wordTable_,
                                            &resultTable_, &dictionaryBox_, &newButton_})
        child->destroyWindow();
    Component::destroyWindow();
}

void WordListPane::fillDictionaryBox() {
    std::vector<std::u16string> files = dictionaryFilesIn(root_, kPdicFolder);
    for (std::u16string& file : dictionaryFilesIn(root_, kWordNetFolder)) files.push_back(std::move(file));
    SendMessageW(dictionaryBox_.handle(), CB_RESETCONTENT, 0, 0);
    dictionaryBox_.addItem(files.empty() ? kNoDictionary : kChooseEntry);
    for (const std::u16string& file : files) dictionaryBox_.addItem(file);
    dictionaryBox_.setSelectedIndex(files.empty() ? 0 : 1);
    InvalidateRect(dictionaryBox_.handle(), nullptr, FALSE);
}

LRESULT WordListPane::onSize(WPARAM, LPARAM) {
    RECT client{};
    GetClientRect(handle_, &client);
    layout(client.right, client.bottom);
    return 0;
}

void WordListPane::layout(int width, int height) {
    if (!handle_) return;
    const int buttonWidth = newButton_.getWidth(), buttonHeight = newButton_.getHeight();
    const int levelWidth = levelField_.getWidth(), levelHeight = levelField_.getHeight();
    const int buttonX = kLeftWidth - buttonWidth;
    keyField_.setBounds(4, kTopRow, std::max(0, kLeftWidth - buttonWidth - levelWidth - 10), kRowHeight);
    newButton_.setBounds(buttonX, kTopRow, buttonWidth, buttonHeight);
    levelField_.setBounds(buttonX - 6 - levelWidth, kTopRow, levelWidth, levelHeight);
    valueEditor_.setBounds(4, kValueY, kLeftWidth, kValueHeight);
    explanationEditor_.setBounds(4, kExplanationY, kLeftWidth, std::max(0, height - kExplanationY));
    const int half = height / 2;
    const int rightWidth = std::max(0, width - kRightX);
    wordTable_.setBounds(kRightX, 0, rightWidth, half);
    dictionaryBox_.setBounds(kRightX, half, kLeftWidth, kBoxHeight);
    resultTable_.setBounds(kRightX, half + kResultGap, rightWidth, std::max(0, height - (half + kResultGap)));
}

// The word table and its element ---------------------------------------------------------

void WordListPane::reload() {
    wordTable_.removeAllRows();
    for (const Element* word = wordList_.firstChild(); word; word = word->next()) {
        if (word->getName() != u"Word") continue;
        addOrUpdate(word->getIntAttribute(u"level", 0), wordKey(*word), wordValue(*word), wordExplanation(*word));
    }
}

void WordListPane::store() {
    wordList_.clear();
    wordList_.setName(u"WordList");
    for (int row = 0; row < wordTable_.getRowCount(); ++row) {
        std::unique_ptr<Element> word = createWord(wordTable_.getValueAt(row, Key), wordTable_.getValueAt(row, Value),
                                                   wordTable_.getValueAt(row, Explanation));
        word->setAttribute(u"level", wordTable_.getValueAt(row, Level));
        wordList_.appendChild(std::move(word));
    }
}

int WordListPane::addOrUpdate(int level, const std::u16string& key, const std::u16string& value,
                              const std::u16string& explanation) {
    if (key.empty()) return -1;
    int row = -1;
    for (int r = 0; r < wordTable_.getRowCount(); ++r) {
        if (wordTable_.getValueAt(r, Key) == key) {
            row = r;
            break;
        }
    }
    if (row < 0) row = wordTable_.insertRow(u"", wordTable_.getRowCount());
    if (row < 0) return -1;
    wordTable_.setValueAt(decimal(level), row, Level);
    wordTable_.setValueAt(key, row, Key);
    wordTable_.setValueAt(value, row, Value);
    wordTable_.setValueAt(explanation, row, Explanation);
    return row;
}

void WordListPane::actionPerformed(ActionEvent) {
    const int row =
        addOrUpdate(levelField_.getValue(), keyField_.text(), valueEditor_.text(), explanationEditor_.text());
    if (row < 0) return;
    wordTable_.ensureVisible(row);
    wordTable_.selectRow(row);
}

void WordListPane::showWordMenu() {
    const std::vector<int> selected = wordTable_.getSelectedRows();
    PopupMenu menu;
    menu.addMenuItem(u"Delete", kDeleteItem, selected.empty() ? ItemState::Greyed : ItemState::Enabled);
    if (static_cast<UINT>(menu.trackAtPointer(handle_)) != kDeleteItem || selected.empty()) return;
    for (auto row = selected.rbegin(); row != selected.rend(); ++row) wordTable_.removeRow(*row);
}

// Selections ---------------------------------------------------------------------------------

void WordListPane::takeSelection(TableComponent& table, bool& busy) {
    if (busy) return;
    const std::vector<int> rows = table.getSelectedRows();
    if (rows.empty()) return;
    busy = true;
    const int first = rows.front();
    const std::u16string levelText = table.getValueAt(first, Level);
    const int level = levelText.empty() ? 0 : leadingNumber(levelText);
    std::u16string value;
    for (int row : rows) {
        if (row != first) value += u", ";
        value += table.getValueAt(row, Value);
    }
    levelField_.setValue(std::clamp(level, 0, kMaxLevel));
    valueEditor_.setText(value);
    explanationEditor_.setText(table.getValueAt(first, Explanation));
    keyField_.setText(table.getValueAt(first, Key));
    // Setting the key has just started a search for what is already shown.
    KillTimer(handle_, kSearchTimer);
    busy = false;
}

LRESULT WordListPane::onNotify(WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || !header->hwndFrom) return Component::onNotify(wParam, lParam);
    const bool word = header->hwndFrom == wordTable_.handle();
    if (!word && header->hwndFrom != resultTable_.handle()) return Component::onNotify(wParam, lParam);
    switch (header->code) {
        case LVN_ITEMCHANGED:
        case NM_CLICK:
            if (word)
                takeSelection(wordTable_, wordTableBusy_);
            else
                takeSelection(resultTable_, resultTableBusy_);
            return 0;
        case NM_RCLICK:
            if (word) showWordMenu();
            return 0;
        default:
            return 0;
    }
}

// The look-up ---------------------------------------------------------------------------------

void WordListPane::onCommand(WPARAM wParam, LPARAM lParam) {
    const HWND from = reinterpret_cast<HWND>(lParam);
    if (from && from == dictionaryBox_.handle() && HIWORD(wParam) == CBN_SELCHANGE) {
        InvalidateRect(dictionaryBox_.handle(), nullptr, FALSE);
        restartSearch(kChoiceDelayMs);
    }
}

void WordListPane::textChanged(TextEditor& editor) {
    if (&editor == &keyField_) restartSearch(kTypingDelayMs);
}

void WordListPane::restartSearch(UINT delayMs) {
    if (handle_) SetTimer(handle_, kSearchTimer, delayMs, nullptr);
}

bool WordListPane::onTimer(UINT_PTR id, LPARAM) {
    if (id != kSearchTimer) return false;
    KillTimer(handle_, kSearchTimer);
    searchDictionary(keyField_.text());
    return true;
}

void WordListPane::searchDictionary(const std::u16string& word) {
    const int chosen = dictionaryBox_.getSelectedIndex();
    if (word.empty() || chosen <= 0 || resultTableBusy_) return;
    resultTable_.removeAllRows();
    DictionaryEngine engine;
    if (!engine.open(root_ + dictionaryBox_.itemText(chosen))) return;
    int truncated = 0;
    int hits = engine.search(word, SearchMode::Prefix, kMaxHits, truncated);
    if (hits == 0) {
        const std::u16string base = deinflect(word);
        hits = engine.search(base, SearchMode::Prefix, kMaxHits, truncated);
        if (hits == 0) hits = engine.search(base + u"e", SearchMode::Prefix, kMaxHits, truncated);
    }
    for (int n = 0; n < hits; ++n) {
        DictionaryHit hit;
        if (engine.hitAt(n, hit) != 0) break;
        const int row = resultTable_.insertRow(decimal(hit.level), resultTable_.getRowCount());
        resultTable_.setValueAt(hit.key, row, Key);
        resultTable_.setValueAt(hit.value, row, Value);
        resultTable_.setValueAt(hit.explanation, row, Explanation);
        resultTable_.setValueAt(hit.pronunciation, row, Pronunciation);
    }
}
