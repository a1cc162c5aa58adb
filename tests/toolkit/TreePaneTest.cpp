// The tree control and the panes on it: item order and handles, expansion,
// the mouse, the XML tree's file round trip with its state bits, dropped
// files and item drags into folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ToolkitTestSupport.h"
#include "support/TempDir.h"
#include "text/TextFile.h"
#include "toolkit/TreePane.h"
#include "toolkit/XmlTreePane.h"

using namespace veltrix::test;

namespace {

class TreeControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.create(frame.handle());
        tree.setBounds(0, 0, 300, 280);
        SetWindowLongW(tree.handle(), GWL_STYLE, static_cast<LONG>(XmlTreePane::kTreeStyle));
    }
    HTREEITEM add(const std::u16string& text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST) {
        return tree.insertItem(text, parent, after);
    }
    std::vector<std::u16string> childTexts(HTREEITEM parent) {
        std::vector<std::u16string> texts;
        for (HTREEITEM at = parent ? tree.firstChildOf(parent) : tree.firstRoot(); at; at = tree.nextSiblingOf(at))
            texts.push_back(tree.textOf(at));
        return texts;
    }
    RecordingFrame frame;
    TreePane tree;
};

TEST_F(TreeControlTest, ItemsKeepTheirPlacesAndDeletedHandlesAreRefused) {
    HTREEITEM root = tree.addRoot(u"root");
    HTREEITEM b = add(u"b", root);
    add(u"a", root, TVI_FIRST);
    add(u"c", root, b);
    add(u"d", root, TVI_LAST);
    EXPECT_EQ(childTexts(root), (std::vector<std::u16string>{u"a", u"b", u"c", u"d"}));
    EXPECT_EQ(tree.parentOf(b), root);
    EXPECT_EQ(tree.itemCount(), 5);

    HTREEITEM grandChild = add(u"b1", b);
    const int deletesBefore = frame.count(static_cast<int>(TVN_DELETEITEMW));
    tree.deleteItem(b);
    // The child goes with its parent, and the parent hears of each.
    EXPECT_EQ(frame.count(static_cast<int>(TVN_DELETEITEMW)) - deletesBefore, 2);
    EXPECT_EQ(childTexts(root), (std::vector<std::u16string>{u"a", u"c", u"d"}));
    // A handle of a deleted item never reaches another item.
    EXPECT_EQ(tree.textOf(grandChild), u"");
    EXPECT_EQ(add(u"x", grandChild), nullptr);
    tree.deleteAllItems();
    EXPECT_EQ(tree.firstRoot(), nullptr);
    EXPECT_EQ(tree.itemCount(), 0);
}

TEST_F(TreeControlTest, ClicksSelectAndTheButtonExpands) {
    HTREEITEM root = tree.addRoot(u"root");
    HTREEITEM folder = add(u"folder", root);
    HTREEITEM file = add(u"file", folder);
    tree.expand(root);
    RECT label{};
    ASSERT_TRUE(tree.labelRect(folder, label));
    RECT hidden{};
    EXPECT_FALSE(tree.labelRect(file, hidden));  // inside a closed folder

    // Without icons the button sits just left of the label, in the indent cell.
    const POINT button = screenOf(tree.handle(), label.left - 13, (label.top + label.bottom) / 2);
    const int expandedBefore = frame.count(static_cast<int>(TVN_ITEMEXPANDEDW));
    headless::click(headless::Button::Left, button);
    headless::pumpMessages();
    EXPECT_TRUE(tree.stateOf(folder) & TVIS_EXPANDED);
    EXPECT_EQ(frame.count(static_cast<int>(TVN_ITEMEXPANDEDW)) - expandedBefore, 1);
    ASSERT_TRUE(tree.labelRect(file, label));

    headless::click(headless::Button::Left, screenOf(tree.handle(), label.left + 4, label.top + 4));
    headless::pumpMessages();
    EXPECT_EQ(tree.selectedItem(), file);
    EXPECT_TRUE(tree.stateOf(file) & TVIS_SELECTED);
    EXPECT_GE(frame.count(static_cast<int>(TVN_SELCHANGEDW)), 1);
    EXPECT_EQ(tree.itemAt(POINT{label.left + 4, label.top + 4}), file);
    EXPECT_EQ(tree.itemAt(POINT{5, 270}), nullptr);

    // Collapsing the branch takes the selection up to the folder.
    tree.expand(folder, TVE_COLLAPSE);
    EXPECT_EQ(tree.selectedItem(), folder);
}

class XmlTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dir.native("music"));
        dir.write("voa.xml",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<voa>\n"
                  "  <TreeItem path=\"" +
                      dir.native("music").string() +
                      "\" name=\"Music\" state=\"32\">\n"
                      "    <TreeItem path=\"a/one.mp3\"/>\n"
                      "  </TreeItem>\n"
                      "  <TreeItem path=\"two.xml\" state=\"16\"/>\n"
                      "  <TreeItem path=\"c:\\x\\three.txt\"/>\n"
                      "</voa>\n");
        pane.createAt(frame.handle(), 0, 0, 400, 300);
        ASSERT_TRUE(pane.load(dir.file("voa.xml")));
    }
    HTREEITEM item(const std::u16string& path) { return pane.findItemByPath(path); }
    POINT labelPoint(HTREEITEM at) {
        RECT r{};
        EXPECT_TRUE(pane.tree().labelRect(at, r));
        return screenOf(pane.tree().handle(), r.left + 6, (r.top + r.bottom) / 2);
    }
    // Presses on one item, moves far enough to start a drag, and releases on another.
    void drag(HTREEITEM from, HTREEITEM onto) {
        const POINT start = labelPoint(from);
        const POINT end = labelPoint(onto);
        headless::mouseButton(headless::Button::Left, true, start);
        headless::mouseMove(POINT{start.x + 8, start.y + 8});
        headless::pumpMessages();
        EXPECT_TRUE(pane.tree().dragging());
        headless::mouseMove(end);
        headless::pumpMessages();
        headless::mouseButton(headless::Button::Left, false, end);
        headless::pumpMessages();
    }
    std::u16string savedText() {
        std::u16string text;
        EXPECT_TRUE(pane.saveStates());
        readTextFile(dir.file("voa.xml"), text);
        return text;
    }

    TempDir dir;
    RecordingFrame frame;
    XmlTreePane pane;
};

TEST_F(XmlTreeTest, TheFileBecomesTheTreeAndItsStatesComeBackAfterSaving) {
    TreePane& tree = pane.tree();
    HTREEITEM root = tree.firstRoot();
    EXPECT_EQ(tree.textOf(root), dir.file("voa.xml"));
    HTREEITEM folder = tree.firstChildOf(root);
    EXPECT_EQ(tree.textOf(folder), u"Music");                     // its name
    EXPECT_EQ(tree.textOf(item(u"a/one.mp3")), u"one");           // the file title
    EXPECT_EQ(tree.textOf(item(u"c:\\x\\three.txt")), u"three");  // after a backslash
    EXPECT_TRUE(tree.stateOf(folder) & TVIS_EXPANDED);
    EXPECT_TRUE(tree.stateOf(item(u"two.xml")) & TVIS_BOLD);
    EXPECT_EQ(pane.attributeOf(item(u"two.xml"), u"path"), u"two.xml");
    EXPECT_EQ(pane.attributeOf(nullptr, u"path"), u"");
    // Icons by extension: the folder first, the same extension shares one.
    EXPECT_EQ(tree.imageOf(folder), 0);
    EXPECT_NE(tree.imageOf(item(u"a/one.mp3")), tree.imageOf(item(u"two.xml")));
    EXPECT_EQ(pane.iconIndexFor(u"other.mp3"), tree.imageOf(item(u"a/one.mp3")));

    tree.expand(folder, TVE_COLLAPSE);
    tree.setState(item(u"c:\\x\\three.txt"), TVIS_BOLD, TVIS_BOLD);
    const std::u16string saved = savedText();
    EXPECT_NE(saved.find(u"name=\"Music\""), std::u16string::npos);

    XmlTreePane again;
    again.createAt(frame.handle(), 0, 0, 400, 300);
    ASSERT_TRUE(again.load(dir.file("voa.xml")));
    EXPECT_FALSE(again.tree().stateOf(again.findItemByPath(pane.attributeOf(folder, u"path"))) & TVIS_EXPANDED);
    EXPECT_TRUE(again.tree().stateOf(again.findItemByPath(u"c:\\x\\three.txt")) & TVIS_BOLD);
    EXPECT_TRUE(again.tree().stateOf(again.findItemByPath(u"two.xml")) & TVIS_BOLD);
    EXPECT_EQ(again.tree().itemCount(), 5);
}

TEST_F(XmlTreeTest, DroppedFilesJoinOnceAndTheProgramsFolderIsCutOff) {
    WCHAR exe[1024] = {};
    std::u16string program(exe, GetModuleFileNameW(nullptr, exe, 1024));
    program.erase(program.find_last_of(u'/') + 1);
    headless::dropFiles({dir.file("new.lrc"), program + u"Data/inside.mp3"}, screenOf(pane.handle(), 50, 50),
                        frame.handle());
    headless::pumpMessages();
    headless::dropFiles({dir.file("new.lrc")}, screenOf(pane.handle(), 50, 50), frame.handle());
    headless::pumpMessages();
    HTREEITEM dropped = item(dir.file("new.lrc"));
    ASSERT_NE(dropped, nullptr);
    EXPECT_EQ(pane.tree().parentOf(dropped), pane.tree().firstRoot());
    EXPECT_NE(item(u"Data/inside.mp3"), nullptr);
    EXPECT_EQ(pane.tree().itemCount(), 7);
    EXPECT_NE(savedText().find(u"<TreeItem path=\"Data/inside.mp3\""), std::u16string::npos);
}

TEST_F(XmlTreeTest, DraggingMovesItemsIntoFoldersAndBeforeOthersButNeverIntoTheirOwnBranch) {
    TreePane& tree = pane.tree();
    HTREEITEM folder = tree.firstChildOf(tree.firstRoot());
    // Onto a file: just before it, in the tree and in the XML.
    drag(item(u"two.xml"), item(u"a/one.mp3"));
    EXPECT_EQ(tree.parentOf(item(u"two.xml")), folder);
    EXPECT_EQ(tree.nextSiblingOf(item(u"two.xml")), item(u"a/one.mp3"));
    EXPECT_EQ(pane.elementOf(item(u"two.xml"))->next(), pane.elementOf(item(u"a/one.mp3")));

    drag(item(u"c:\\x\\three.txt"), folder);
    EXPECT_FALSE(tree.dragging());
    HTREEITEM moved = item(u"c:\\x\\three.txt");
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(tree.parentOf(moved), folder);
    EXPECT_EQ(tree.selectedItem(), moved);
    Element* folderElement = pane.elementOf(folder);
    EXPECT_EQ(folderElement->lastChild()->getAttribute(u"path"), u"c:\\x\\three.txt");

    // A folder dropped onto its own child stays where it is.
    const std::u16string before = pane.rootElement()->toString();
    drag(folder, item(u"a/one.mp3"));
    EXPECT_EQ(pane.rootElement()->toString(), before);
    EXPECT_EQ(tree.parentOf(item(u"a/one.mp3")), folder);
    EXPECT_FALSE(tree.dragging());
    EXPECT_EQ(tree.dropTarget(), nullptr);
}

TEST_F(XmlTreeTest, RemovingAndInsertingKeepTheXmlInStep) {
    TreePane& tree = pane.tree();
    HTREEITEM folder = tree.firstChildOf(tree.firstRoot());
    HTREEITEM after = pane.insertItemAfter(folder, u"between.mp3");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(tree.nextSiblingOf(folder), after);
    EXPECT_EQ(pane.elementOf(folder)->next(), pane.elementOf(after));

    pane.removeItem(tree.firstRoot());  // never the first root
    EXPECT_NE(tree.firstRoot(), nullptr);
    pane.removeItem(folder);
    EXPECT_EQ(item(u"a/one.mp3"), nullptr);
    EXPECT_EQ(pane.rootElement()->toString().find(u"one.mp3"), std::u16string::npos);
    EXPECT_EQ(pane.addChildItem(nullptr, u"x"), nullptr);  // unmapped: nothing
    EXPECT_EQ(tree.itemCount(), 4);
}

TEST_F(XmlTreeTest, PictureOfThePaneWithIcons) {
    pane.tree().select(item(u"a/one.mp3"));
    headless::pumpMessages();
    const std::string picture = dir.native("tree.png").string();
    ASSERT_TRUE(headless::savePicture(frame.handle(), picture));
#ifdef VELTRIX_PICTURE_DIR
    std::filesystem::copy_file(picture, std::string(VELTRIX_PICTURE_DIR) + "/tree-pane.png",
                               std::filesystem::copy_options::overwrite_existing);
#endif
    // The folder icon of the first child is drawn (not the background).
    RECT r{};
    ASSERT_TRUE(pane.tree().labelRect(pane.tree().firstChildOf(pane.tree().firstRoot()), r));
    int coloured = 0;
    for (int x = r.left - 17; x < r.left - 1; ++x)
        for (int y = r.top + 1; y < r.bottom - 1; ++y) {
            const COLORREF c = headless::pixel(pane.tree().handle(), x, y);
            coloured += c != RGB(0xFF, 0xFF, 0xFF) && c != CLR_INVALID;
        }
    EXPECT_GT(coloured, 20);
}

}  // namespace
