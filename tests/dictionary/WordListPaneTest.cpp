// The word list pane and dialog on the headless display, driven through
// their windows: the layout and columns, the dictionary box, reload and
// store of the WordList element, "New", the table selections, typing a word
// and waiting for the look-up, the Delete menu, and OK and Cancel.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "PDicTestSupport.h"
#include "WordNetFixture.h"
#include "dictionary/WordListDialog.h"
#include "lyrics/SentenceListBuilders.h"
#include "platform/display/HeadlessAnswers.h"
#include "toolkit/WidgetTestSupport.h"

using namespace veltrix::test;

namespace {

using Clock = std::chrono::steady_clock;

RECT boundsIn(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    POINT topLeft{r.left, r.top}, bottomRight{r.right, r.bottom};
    ScreenToClient(parent, &topLeft);
    ScreenToClient(parent, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

std::vector<PDicEntry> englishEntries() {
    std::vector<PDicEntry> entries = entriesFor({u"make", u"maker", u"makeup", u"run", u"runner", u"walk"});
    entries[0].level = 3;
    return entries;
}

class WordListPaneTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        std::filesystem::create_directories(root.native("Dictionaries/PDIC"));
        std::filesystem::create_directories(root.native("Dictionaries/WordNet"));
        ASSERT_TRUE(writePDic(root.native("Dictionaries/PDIC/english.dic"), englishEntries(), PDicLayout{}));
    }
    void TearDown() override {
        headless::setMenuResponder(nullptr);
        dialog.close(0);
        WidgetTest::TearDown();
    }
    void open() {
        dialog.pane().setDictionaryRoot(root.path().u16string() + u"/");
        ASSERT_TRUE(showModeless(frame.handle(), dialog));
        settle();
    }
    WordListPane& pane() { return dialog.pane(); }
    // The program's loop for a while of real time, so that timers fire.
    template <typename Done>
    bool runUntil(int ms, Done done) {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        while (!done() && Clock::now() < until) {
            headless::pumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }
    void typeIntoKeyField(const std::u16string& text) {
        SetFocus(pane().keyField().handle());
        type(text);
    }
    // A click on a row of a table, with Ctrl held when asked.
    void clickRow(TableComponent& table, int row, bool control = false) {
        const RECT r = table.rowRect(row);
        if (control) headless::key(VK_CONTROL, true);
        headless::click(headless::Button::Left, screenOf(table.handle(), r.left + 30, (r.top + r.bottom) / 2));
        if (control) headless::key(VK_CONTROL, false);
        settle();
    }
    std::vector<std::u16string> column(TableComponent& table, int c) {
        std::vector<std::u16string> texts;
        for (int r = 0; r < table.getRowCount(); ++r) texts.push_back(table.getValueAt(r, c));
        return texts;
    }

    TempDir root;
    RecordingFrame frame;
    Element words{u"WordList"};
    WordListDialog dialog{words};
};

}  // namespace

TEST_F(WordListPaneTest, TheDialogLaysThePaneAndItsChildrenOut) {
    open();
    EXPECT_EQ(headless::title(dialog.handle()), u"Word List");
    RECT window{};
    GetWindowRect(dialog.handle(), &window);
    EXPECT_EQ(window.right - window.left, 640);
    EXPECT_EQ(window.bottom - window.top, 400);
    RECT client{};
    GetClientRect(dialog.handle(), &client);
    const RECT paneRect = boundsIn(dialog.handle(), pane().handle());
    EXPECT_EQ(paneRect.bottom - paneRect.top, client.bottom - 32);
    EXPECT_EQ(paneRect.right - paneRect.left, client.right);

    RECT inner{};
    GetClientRect(pane().handle(), &inner);
    const int W = inner.right, H = inner.bottom;
    const HWND p = pane().handle();
    const RECT button = boundsIn(p, pane().newButton().handle());
    const RECT level = boundsIn(p, pane().levelField().handle());
    const RECT key = boundsIn(p, pane().keyField().handle());
    EXPECT_EQ(button.right - button.left, 36);
    EXPECT_EQ(button.left, 210 - 36);
    EXPECT_EQ(button.top, 8);
    EXPECT_EQ(level.left, button.left - 6 - (level.right - level.left));
    EXPECT_EQ(key.left, 4);
    EXPECT_EQ(key.top, 8);
    EXPECT_EQ(key.right - key.left, 210 - 36 - (level.right - level.left) - 10);
    EXPECT_EQ(key.bottom - key.top, 18);
    EXPECT_EQ(boundsIn(p, pane().valueEditor().handle()).top, 30);
    const RECT explanation = boundsIn(p, pane().explanationEditor().handle());
    EXPECT_EQ(explanation.top, 152);
    EXPECT_EQ(explanation.bottom, H);
    const RECT wordTable = boundsIn(p, pane().wordTable().handle());
    EXPECT_EQ(wordTable.left, 214);
    EXPECT_EQ(wordTable.top, 0);
    EXPECT_EQ(wordTable.right, W);
    EXPECT_EQ(wordTable.bottom, H / 2);
    EXPECT_EQ(boundsIn(p, pane().dictionaryBox().handle()).top, H / 2);
    const RECT results = boundsIn(p, pane().resultTable().handle());
    EXPECT_EQ(results.top, H / 2 + 20);
    EXPECT_EQ(results.bottom, H);

    for (TableComponent* table : {&pane().wordTable(), &pane().resultTable()}) {
        ASSERT_EQ(table->getColumnCount(), 5);
        const std::pair<const char16_t*, int> columns[] = {
            {u"LV", 20}, {u"Key", 110}, {u"Value", 110}, {u"Explanation", 75}, {u"Pronunciation", 75}};
        for (int c = 0; c < 5; ++c) {
            EXPECT_EQ(table->column(c)->title, columns[c].first);
            EXPECT_EQ(table->getColumnWidth(c), columns[c].second);
        }
    }
    EXPECT_EQ(pane().levelField().minimum(), 0);
    EXPECT_EQ(pane().levelField().maximum(), 30);

    std::filesystem::create_directories(std::filesystem::path(VELTRIX_TEST_PICTURES));
    headless::savePicture(dialog.handle(), std::string(VELTRIX_TEST_PICTURES) + "/word-list-dialog.png");
}

TEST_F(WordListPaneTest, TheBoxListsBothFoldersAndChoosesTheFirstDictionary) {
    ASSERT_TRUE(buildWordNet(root.native("Dictionaries/WordNet/wnjpn.db").string(), sampleSynsets()));
    std::filesystem::create_directories(root.native("Dictionaries/PDIC/a folder"));
    open();
    ComboBox& box = pane().dictionaryBox();
    ASSERT_EQ(box.itemCount(), 3);
    EXPECT_EQ(box.itemText(0), u"Choose a dictionary");
    EXPECT_EQ(box.itemText(1), u"Dictionaries/PDIC/english.dic");
    EXPECT_EQ(box.itemText(2), u"Dictionaries/WordNet/wnjpn.db");
    EXPECT_EQ(box.getSelectedIndex(), 1);
}

TEST_F(WordListPaneTest, EmptyFoldersOfferNoDictionary) {
    std::filesystem::remove(root.native("Dictionaries/PDIC/english.dic"));
    open();
    ASSERT_EQ(pane().dictionaryBox().itemCount(), 1);
    EXPECT_EQ(pane().dictionaryBox().itemText(0), u"No dictionary");
    EXPECT_EQ(pane().dictionaryBox().getSelectedIndex(), 0);
    typeIntoKeyField(u"make");
    pane().searchDictionary(u"make");
    EXPECT_EQ(pane().resultTable().getRowCount(), 0);
}

TEST_F(WordListPaneTest, ReloadTakesEveryWordAndTheLastOfADuplicateKey) {
    words.appendChild(createWord(u"run", u"走る", u""))->setAttribute(u"level", u"2");
    words.appendChild(createWord(u"walk", u"歩く", u"on foot"));
    words.appendChild(createWord(u"run", u"経営する", u"a company"))->setAttribute(u"level", u"5");
    // An older file: the key as an attribute, the value as the word's own CDATA.
    Element* old = words.appendChild(std::make_unique<Element>(u"Word"));
    old->setAttribute(u"key", u"swim");
    old->appendChild(std::make_unique<Element>())->setCData(u"泳ぐ");
    words.appendChild(std::make_unique<Element>(u"Word"))->setAttribute(u"key", u"bare");
    open();
    TableComponent& table = pane().wordTable();
    EXPECT_EQ(column(table, WordListPane::Key), (std::vector<std::u16string>{u"run", u"walk", u"swim", u"bare"}));
    EXPECT_EQ(column(table, WordListPane::Value), (std::vector<std::u16string>{u"経営する", u"歩く", u"泳ぐ", u"?"}));
    EXPECT_EQ(column(table, WordListPane::Level), (std::vector<std::u16string>{u"5", u"0", u"0", u"0"}));
    EXPECT_EQ(column(table, WordListPane::Explanation),
              (std::vector<std::u16string>{u"a company", u"on foot", u"", u""}));
}

TEST_F(WordListPaneTest, NewAddsOrUpdatesInPlaceAndSkipsAnEmptyKey) {
    open();
    EXPECT_EQ(pane().addOrUpdate(1, u"alpha", u"a", u""), 0);
    EXPECT_EQ(pane().addOrUpdate(1, u"beta", u"b", u""), 1);
    // The "New" button with the fields filled.
    pane().keyField().setText(u"alpha");
    pane().valueEditor().setText(u"アルファ");
    pane().explanationEditor().setText(u"the first letter");
    pane().levelField().setValue(7);
    pane().newButton().click(ClickSource::Mouse);
    settle();
    TableComponent& table = pane().wordTable();
    ASSERT_EQ(table.getRowCount(), 2);
    EXPECT_EQ(table.getValueAt(0, WordListPane::Value), u"アルファ");
    EXPECT_EQ(table.getValueAt(0, WordListPane::Explanation), u"the first letter");
    EXPECT_EQ(table.getValueAt(0, WordListPane::Level), u"7");
    EXPECT_EQ(table.getSelectedRows(), std::vector<int>{0});
    // Keys are compared whole and case-sensitively.
    pane().keyField().setText(u"Alpha");
    pane().newButton().click(ClickSource::Mouse);
    settle();
    EXPECT_EQ(table.getRowCount(), 3);
    pane().keyField().setText(u"");
    pane().newButton().click(ClickSource::Mouse);
    settle();
    EXPECT_EQ(table.getRowCount(), 3);
    EXPECT_EQ(pane().addOrUpdate(0, u"", u"x", u""), -1);
}

TEST_F(WordListPaneTest, TypingAWordFillsTheResultTableAfterAPause) {
    open();
    typeIntoKeyField(u"mak");
    // Not at once: the look-up waits for the typing to pause.
    EXPECT_EQ(pane().resultTable().getRowCount(), 0);
    ASSERT_TRUE(runUntil(3000, [&] { return pane().resultTable().getRowCount() > 0; }));
    TableComponent& results = pane().resultTable();
    EXPECT_EQ(column(results, WordListPane::Key), (std::vector<std::u16string>{u"make", u"maker", u"makeup"}));
    EXPECT_EQ(results.getValueAt(0, WordListPane::Level), u"3");
    EXPECT_EQ(results.getValueAt(0, WordListPane::Value), u"訳:make");
    EXPECT_EQ(results.getValueAt(0, WordListPane::Explanation), u"例: make here");
    EXPECT_EQ(results.getValueAt(0, WordListPane::Pronunciation), u"[make]");
}

TEST_F(WordListPaneTest, AnInflectedWordIsLookedUpByItsBaseForm) {
    open();
    // walking -> walk; making -> mak (every headword beginning with it);
    // runs -> run; "lives" finds nothing in any form.
    pane().searchDictionary(u"walking");
    EXPECT_EQ(column(pane().resultTable(), WordListPane::Key), std::vector<std::u16string>{u"walk"});
    pane().searchDictionary(u"making");
    EXPECT_EQ(column(pane().resultTable(), WordListPane::Key),
              (std::vector<std::u16string>{u"make", u"maker", u"makeup"}));
    pane().searchDictionary(u"runs");
    EXPECT_EQ(column(pane().resultTable(), WordListPane::Key), (std::vector<std::u16string>{u"run", u"runner"}));
    pane().searchDictionary(u"lives");
    EXPECT_EQ(pane().resultTable().getRowCount(), 0);
}

TEST_F(WordListPaneTest, EntryZeroOfTheBoxLeavesTheResultsAlone) {
    open();
    pane().searchDictionary(u"run");
    ASSERT_EQ(pane().resultTable().getRowCount(), 2);
    pane().dictionaryBox().setSelectedIndex(0);
    typeIntoKeyField(u"walk");
    runUntil(1200, [] { return false; });
    EXPECT_EQ(column(pane().resultTable(), WordListPane::Key), (std::vector<std::u16string>{u"run", u"runner"}));
}

TEST_F(WordListPaneTest, ChoosingAWordNetDictionaryLooksTheWordUpThere) {
    ASSERT_TRUE(buildWordNet(root.native("Dictionaries/WordNet/wnjpn.db").string(), sampleSynsets()));
    open();
    pane().keyField().setText(u"cat");
    // A choice in the box starts the look-up almost at once.
    pane().dictionaryBox().setSelectedIndex(2);
    SendMessageW(pane().handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(pane().dictionaryBox().handle()));
    ASSERT_TRUE(runUntil(500, [&] { return pane().resultTable().getRowCount() > 0; }));
    TableComponent& results = pane().resultTable();
    EXPECT_EQ(results.getValueAt(0, WordListPane::Level), u"0");
    EXPECT_EQ(results.getValueAt(0, WordListPane::Key), u"cat");
    EXPECT_EQ(results.getValueAt(0, WordListPane::Value), u"猫");
    EXPECT_EQ(results.getValueAt(0, WordListPane::Explanation), u"");
}

TEST_F(WordListPaneTest, SelectedResultRowsFillTheFields) {
    open();
    pane().searchDictionary(u"mak");
    TableComponent& results = pane().resultTable();
    ASSERT_EQ(results.getRowCount(), 3);
    results.setValueAt(u"45", 0, WordListPane::Level);
    SetFocus(results.handle());
    clickRow(results, 0);
    clickRow(results, 1, true);
    clickRow(results, 2, true);
    EXPECT_EQ(results.getSelectedRows(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(pane().valueEditor().text(), u"訳:make, 訳:maker, 訳:makeup");
    EXPECT_EQ(pane().keyField().text(), u"make");
    EXPECT_EQ(pane().explanationEditor().text(), u"例: make here");
    EXPECT_EQ(pane().levelField().getValue(), 30);
    // Setting the key did not start a look-up that would replace the rows.
    runUntil(1000, [] { return false; });
    EXPECT_EQ(results.getRowCount(), 3);
    EXPECT_EQ(results.getSelectedRows(), (std::vector<int>{0, 1, 2}));

    // A hit becomes a word of the list with "New".
    results.selectRow(1);
    settle();
    pane().newButton().click(ClickSource::Mouse);
    settle();
    EXPECT_EQ(column(pane().wordTable(), WordListPane::Key), std::vector<std::u16string>{u"maker"});
    EXPECT_EQ(pane().wordTable().getValueAt(0, WordListPane::Value), u"訳:maker");
    EXPECT_EQ(pane().wordTable().getValueAt(0, WordListPane::Level), u"1");
    headless::savePicture(dialog.handle(), std::string(VELTRIX_TEST_PICTURES) + "/word-list-dialog-in-use.png");
}

TEST_F(WordListPaneTest, DeleteInTheWordTablesMenuRemovesTheSelectedRows) {
    for (const char16_t* key : {u"one", u"two", u"three", u"four"}) words.appendChild(createWord(key, u"v", u""));
    open();
    TableComponent& table = pane().wordTable();
    std::vector<headless::MenuShown> menus;
    headless::setMenuResponder([&](const headless::MenuShown& shown) {
        menus.push_back(shown);
        return static_cast<int>(shown.items.front().id);
    });
    clickRow(table, 1);
    clickRow(table, 3, true);
    const RECT r = table.rowRect(3);
    headless::click(headless::Button::Right, screenOf(table.handle(), r.left + 30, r.top + 4));
    settle();
    ASSERT_EQ(menus.size(), 1u);
    ASSERT_EQ(menus[0].items.size(), 1u);
    EXPECT_EQ(menus[0].items[0].text, u"Delete");
    EXPECT_TRUE(menus[0].items[0].enabled);
    EXPECT_EQ(column(table, WordListPane::Key), (std::vector<std::u16string>{u"one", u"three"}));
    // The result table has no menu.
    pane().searchDictionary(u"run");
    const RECT hit = pane().resultTable().rowRect(0);
    headless::click(headless::Button::Right, screenOf(pane().resultTable().handle(), hit.left + 30, hit.top + 4));
    settle();
    EXPECT_EQ(menus.size(), 1u);
}

TEST_F(WordListPaneTest, OkStoresTheTableAsTheElementAndCancelDoesNot) {
    words.appendChild(createWord(u"run", u"走る", u""))->setAttribute(u"level", u"2");
    int stored = 0;
    dialog.setStoredHandler([&] { ++stored; });
    open();
    pane().addOrUpdate(4, u"walk", u"歩く", u"on foot");
    SendMessageW(dialog.handle(), WM_COMMAND, MAKEWPARAM(kCancelButton, BN_CLICKED), 0);
    settle();
    EXPECT_EQ(dialog.handle(), nullptr);
    EXPECT_EQ(words.getChildren().size(), 1u);
    EXPECT_EQ(stored, 0);

    open();
    EXPECT_EQ(pane().wordTable().getRowCount(), 1) << "the pane is made afresh from the element";
    pane().addOrUpdate(4, u"walk", u"歩く", u"on foot");
    SendMessageW(dialog.handle(), WM_COMMAND, MAKEWPARAM(kOkButton, BN_CLICKED), 0);
    settle();
    EXPECT_EQ(dialog.handle(), nullptr);
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(words.toString(),
              u"<WordList>\r\n"
              u"\t<Word level=\"2\">\r\n"
              u"\t\t<key>\r\n\t\t\t<![CDATA[run]]>\r\n\t\t</key>\r\n"
              u"\t\t<value>\r\n\t\t\t<![CDATA[走る]]>\r\n\t\t</value>\r\n"
              u"\t</Word>\r\n"
              u"\t<Word level=\"4\">\r\n"
              u"\t\t<key>\r\n\t\t\t<![CDATA[walk]]>\r\n\t\t</key>\r\n"
              u"\t\t<value>\r\n\t\t\t<![CDATA[歩く]]>\r\n\t\t</value>\r\n"
              u"\t\t<explanation>\r\n\t\t\t<![CDATA[on foot]]>\r\n\t\t</explanation>\r\n"
              u"\t</Word>\r\n"
              u"</WordList>");
    // OK without a change is not an edit.
    open();
    SendMessageW(dialog.handle(), WM_COMMAND, MAKEWPARAM(kOkButton, BN_CLICKED), 0);
    settle();
    EXPECT_EQ(stored, 1);
}

TEST_F(WordListPaneTest, TabMovesTheFocusOnFromTheKeyField) {
    open();
    SetFocus(pane().keyField().handle());
    press(VK_TAB);
    EXPECT_NE(GetFocus(), pane().keyField().handle());
    EXPECT_EQ(pane().keyField().text(), u"");
    EXPECT_TRUE(IsChild(pane().handle(), GetFocus()));
    SetFocus(pane().valueEditor().handle());
    press(VK_TAB);
    EXPECT_NE(GetFocus(), pane().valueEditor().handle());
    EXPECT_EQ(pane().valueEditor().text(), u"");
}

TEST(DictionaryFiles, AreListedInTheFileSystemsOrderWithoutFolders) {
    TempDir root;
    std::filesystem::create_directories(root.native("Dictionaries/PDIC/sub"));
    for (const char* name : {"b.dic", "a.dic", "日本語.dic", "no extension"})
        root.write(std::string("Dictionaries/PDIC/") + name, "x");
    std::vector<std::u16string> expected;
    for (const auto& entry : std::filesystem::directory_iterator(root.native("Dictionaries/PDIC")))
        if (!entry.is_directory()) expected.push_back(u"Dictionaries/PDIC/" + entry.path().filename().u16string());
    EXPECT_EQ(dictionaryFilesIn(root.path().u16string() + u"/", u"Dictionaries/PDIC"), expected);
    EXPECT_EQ(expected.size(), 4u);
    EXPECT_TRUE(dictionaryFilesIn(root.path().u16string() + u"/", u"Dictionaries/Missing").empty());
}
