// The pane below the player's views that holds the sentence table ("Lyrics")
// and the file list ("File") on two tabs, and folds down to its tab strip.
//
// The pane lays out its own pages; its parent asks isShowingPages() when it
// lays out and gives the pane either kCollapsedHeight or the full height.
// Every change of that answer posts the parent a WM_SIZE with its client
// size, so the parent lays out again. A drag hovering over a tab opens the
// pane for as long as the drag stays; dropped files go to the file list.
#pragma once

#include "toolkit/Caption.h"
#include "toolkit/DropTarget.h"
#include "toolkit/TabbedPane.h"

class FileTable;

class ChannelPane : public TabbedPane, public DropTarget {
public:
    static constexpr int kCollapsedHeight = 24;
    static constexpr int kToggleCommand = 10;
    static constexpr int kPinCommand = 11;
    static constexpr int kLyricsTab = 0;
    static constexpr int kFileTab = 1;
    static constexpr UINT_PTR kDragHoverTimer = 0xC4A1;
    static constexpr UINT kDragHoverInterval = 100;

    // The button at the right end of the tab strip that folds the pane: its
    // face is a 16-pixel cell of "Resources/Channel.png" (normal, hovered,
    // pressed while the pane is open; normal, hovered while folded).
    class FoldButton : public Caption::CloseButton {
    public:
        explicit FoldButton(const ChannelPane& pane) : pane_(pane) {}
        void paint(Graphics& g) override;

    private:
        const ChannelPane& pane_;
    };

    ChannelPane();
    ~ChannelPane() override;

    // The pane with its two tabs; lyrics and files become its pages (they
    // must not have windows yet: they are made as the pane's children).
    bool createChannels(HWND parent, Component& lyrics, FileTable& files);
    void destroyWindow() override;

    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT onSize(WPARAM type, LPARAM size) override;
    bool onTimer(UINT_PTR id, LPARAM lParam) override;
    bool onMousePressed(int x, int y) override;

    // DropTarget: x, y on the screen.
    void onDragOver(DWORD keyState, int x, int y, DWORD* effect) override;
    void onDragLeave() override;
    bool onFilesDropped(const std::vector<std::u16string>& paths) override;

    bool isExpanded() const { return expanded_; }
    // Open: expanded, or held open by a drag over a tab.
    bool isShowingPages() const { return expanded_ || dragOpened_; }
    void setExpanded(bool expanded);
    void toggleExpanded() { setExpanded(!expanded_); }

    FoldButton& foldButton() { return foldButton_; }

private:
    void layoutPages();
    void relayoutParent();
    void endDragHover();

    FileTable* files_ = nullptr;
    FoldButton foldButton_;
    bool expanded_ = true;
    bool dragOpened_ = false;
};
