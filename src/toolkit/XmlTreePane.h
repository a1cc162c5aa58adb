// A tree that mirrors an XML file of paths. The document's root is the tree's
// first root; every element below it is a "TreeItem" with the attributes
// "path" (a file or folder) and "state" (the item's state bits in decimal, as
// last saved), nested as the items are. Files dropped onto the pane join the
// first root once each; items dragged inside the tree move into folders or
// before other items, and the XML follows every change.
//
// Invariants: every mapped item's element is in the document, and the
// elements' parent/child links match the items'; the first root maps to the
// root element and is never removed. Icons are cached per extension (the
// folder icon is index 0); the pane owns its image list.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/BaseWindow.h"
#include "toolkit/DropTarget.h"
#include "toolkit/TreePane.h"
#include "xml/XMLParser.h"

class XmlTreePane : public BaseWindow, public DropTarget {
public:
    // The tree's styles here: child, visible, border, vertical scroll bar;
    // buttons, lines, lines at root, selection always shown.
    static constexpr DWORD kTreeStyle = 0x50A00027;
    static constexpr const char16_t* kItemName = u"TreeItem";

    XmlTreePane();
    ~XmlTreePane() override;

    // The pane with its tree, registered for dropped files.
    bool onCreate() override;
    void destroyWindow() override;
    LRESULT onSize(WPARAM type, LPARAM size) override;
    LRESULT onNotify(WPARAM wParam, LPARAM lParam) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Each path (the program's folder cut off its front) not yet in the tree
    // goes under the first root.
    bool onFilesDropped(const std::vector<std::u16string>& paths) override;

    // Reads the file into the document and shows it; false (tree unchanged)
    // when it cannot be read.
    bool load(const std::u16string& path);
    // When there is no document yet: one with a root element named name, whose
    // path is name.
    void newDocument(const std::u16string& name);
    // Shows the document anew.
    void rebuild();
    // Writes each item's state bits into its element and saves the document to
    // its path; false when the file could not be written.
    bool saveStates();

    virtual HTREEITEM addChildItem(HTREEITEM parent, const std::u16string& path);
    virtual HTREEITEM insertItemAfter(HTREEITEM item, const std::u16string& path);
    virtual void removeItem(HTREEITEM item);

    std::u16string attributeOf(HTREEITEM item, const std::u16string& name) const;
    HTREEITEM findItemByPath(const std::u16string& path) const;
    Element* elementOf(HTREEITEM item) const;
    // A folder item: its path names an existing folder, or it shows the folder icon.
    bool isFolderItem(HTREEITEM item) const;
    int iconIndexFor(const std::u16string& path);

    TreePane& tree() { return tree_; }
    const std::u16string& documentPath() const { return documentPath_; }
    Element* rootElement() const { return document_.getRoot(); }
    HIMAGELIST imageList() const { return images_.get(); }
    // The drag as the mouse runs it (points in the pane's client coordinates).
    void dragTo(POINT pane);
    void dropAt(POINT pane);

    // The file title of a path: after its last slash or backslash, before its last dot.
    static std::u16string fileTitleOf(const std::u16string& path);

private:
    struct ImageListOwner {
        void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
    };

    HTREEITEM addMapped(HTREEITEM parent, HTREEITEM after, Element* element, const std::u16string& title);
    // Moves the item and its branch under parent after `after`; the new handle.
    HTREEITEM moveItem(HTREEITEM item, HTREEITEM parent, HTREEITEM after);
    void beginDrag(const NMTREEVIEWW& info);
    POINT toTree(POINT pane) const;

    TreePane tree_;
    XMLParser document_;
    std::u16string documentPath_;
    std::map<HTREEITEM, Element*> items_;
    std::map<std::u16string, int> icons_;
    std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListOwner> images_;
};
