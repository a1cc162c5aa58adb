// The news-item list manager: "voa.xml" of the current folder as a tree
// (categories under the document, their items' sentence-list files under
// them), an address field with "Get!" that turns a news page into an id3
// block ready to paste, and a context menu that writes the HTML index of the
// items ("CreateHTML", also filing their files by category;
// "CreateOrderedHTML", all items by day after "voa_temp.txt"), removes an
// item, or opens an item's folder in the file browser.
//
// The tree's changes (drops, drags, removals, open branches) are saved to
// "voa.xml" when the dialog closes.
#pragma once

#include <string>
#include <vector>

#include "download/SiteHosts.h"
#include "download/VoaIndex.h"
#include "editor/TextEditor.h"
#include "toolkit/Button.h"
#include "toolkit/Dialog.h"
#include "toolkit/TabbedPane.h"
#include "toolkit/XmlTreePane.h"

class VoaManagerDialog : public Dialog {
public:
    static constexpr const char16_t* kListFile = u"voa.xml";
    static constexpr const char16_t* kPrefixFile = u"voa_temp.txt";
    static constexpr int kGetId = 1101;
    // Context-menu items.
    enum MenuItem : UINT { kCreateHtml = 1, kCreateOrderedHtml = 2, kRemove = 3, kOpenFolder = 4 };

    // The tree of the list: its right click opens the dialog's context menu.
    class A : public XmlTreePane {
    public:
        explicit A(VoaManagerDialog& owner) : owner_(owner) {}
        LRESULT onNotify(WPARAM wParam, LPARAM lParam) override;

    private:
        VoaManagerDialog& owner_;
    };

    explicit VoaManagerDialog(const SiteHosts& hosts);
    ~VoaManagerDialog() override;

    bool createContents() override;
    void onCommand(HWND control, WPARAM first, WORD notificationCode) override;
    void onSize(WPARAM type, LPARAM size) override;
    bool onClose() override;

    // "Get!": the page in the address field as an id3 block in the text pane.
    void get();
    // Shows the menu at the pointer and carries out the choice.
    void showContextMenu();
    void perform(MenuItem item, HTREEITEM at);
    // The list's categories (the first root's children) with their items' files.
    std::vector<voa::Category> categories() const;

    // Where "CreateHTML" files the items (a folder of the current folder by default).
    void setExportFolder(std::u16string folder) { exportFolder_ = std::move(folder); }
    A& tree() { return tree_; }
    TextEditor& addressField() { return address_; }
    TextEditor& textPane() { return text_; }
    TabbedPane& tabs() { return tabs_; }

private:
    void showText(const std::u16string& text);

    std::u16string publish_;
    std::u16string exportFolder_ = u"voa_export";
    TextEditor address_;
    Button get_;
    TabbedPane tabs_;
    A tree_;
    TextEditor text_;
};
