#include "player/ChannelPane.h"

#include "app/Paths.h"
#include "player/FileTable.h"
#include "toolkit/Graphics.h"

namespace {

constexpr int kButtonSize = Caption::kCloseButtonSize;
constexpr int kCell = Caption::CloseButton::kCell;

}  // namespace

void ChannelPane::FoldButton::paint(Graphics& g) {
    Component::paint(g);
    if (!image_.loaded()) {
        Caption::CloseButton::paint(g);
        return;
    }
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    const bool hovered = hover_;
    const bool pressed = pressedByMouse_ || pressedByKey_;
    int column = pressed ? 2 : hovered ? 1 : 0;
    if (!pane_.isExpanded()) column = hovered || pressed ? 4 : 3;
    const int left = (client.right - kCell) / 2, top = (client.bottom - kCell) / 2;
    g.drawImage(image_, left, top, kCell, kCell, column * kCell, 0, kCell, kCell);
}

ChannelPane::ChannelPane() : foldButton_(*this) {}

ChannelPane::~ChannelPane() { revokeDropTarget(); }

bool ChannelPane::createChannels(HWND parent, Component& lyrics, FileTable& files) {
    if (!createPane(parent, TabSide::Top)) return false;
    files_ = &files;
    if (!lyrics.create(handle()) || !files.create(handle())) return false;
    addTab(u"Lyrics", &lyrics);
    addTab(u"File", &files);
    selectTab(kLyricsTab, TabNotification::Silent);
    // An open pane shows the fold button's open faces; its state never cycles.
    foldButton_.setStateCount(1);
    if (!foldButton_.createWithId(handle(), kToggleCommand)) return false;
    foldButton_.loadImage(appDirectory() + u"Resources/Channel.png");
    acceptFormat(CF_HDROP);
    registerDropTarget(handle());
    layoutPages();
    return true;
}

void ChannelPane::destroyWindow() {
    revokeDropTarget();
    if (handle()) KillTimer(handle(), kDragHoverTimer);
    TabbedPane::destroyWindow();
}

LRESULT ChannelPane::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Our own commands: the fold button's, or one sent to the pane itself.
    // Commands of the pages go on to the parent.
    const bool ours = lParam == 0 || lParam == reinterpret_cast<LPARAM>(foldButton_.handle());
    if (message == WM_COMMAND && ours) {
        switch (LOWORD(wParam)) {
            case kToggleCommand:
                toggleExpanded();
                return 0;
            case kPinCommand:
                layoutPages();
                return 0;
            default:
                break;
        }
    }
    return TabbedPane::windowProc(window, message, wParam, lParam);
}

LRESULT ChannelPane::onSize(WPARAM type, LPARAM size) {
    layoutPages();
    return TabbedPane::onSize(type, size);
}

void ChannelPane::layoutPages() {
    if (!handle()) return;
    RECT client{};
    GetClientRect(handle(), &client);
    const int strip = kCollapsedHeight;
    for (int i = 0; i < count(); ++i) {
        if (HWND page = tab(i)->window)
            SetWindowPos(page, nullptr, 1, strip, std::max<int>(client.right - 2, 0),
                         std::max<int>(client.bottom - strip - 1, 0), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (foldButton_.handle())
        SetWindowPos(foldButton_.handle(), nullptr, client.right - kButtonSize - 2, (strip - kButtonSize) / 2,
                     kButtonSize, kButtonSize, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ChannelPane::setExpanded(bool expanded) {
    const bool wasShowing = isShowingPages();
    expanded_ = expanded;
    if (foldButton_.handle()) InvalidateRect(foldButton_.handle(), nullptr, FALSE);
    if (isShowingPages() != wasShowing) relayoutParent();
}

void ChannelPane::relayoutParent() {
    HWND parent = handle() ? GetParent(handle()) : nullptr;
    if (!parent) return;
    RECT client{};
    GetClientRect(parent, &client);
    PostMessageW(parent, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

bool ChannelPane::onMousePressed(int x, int y) {
    const int hit = tabAt(x, y);
    if (hit < 0) return TabbedPane::onMousePressed(x, y);
    if (!expanded_) {
        setExpanded(true);
        return TabbedPane::onMousePressed(x, y);
    }
    if (hit == selectedIndex()) {
        setExpanded(false);
        return true;
    }
    return TabbedPane::onMousePressed(x, y);
}

void ChannelPane::onDragOver(DWORD keyState, int x, int y, DWORD* effect) {
    DropTarget::onDragOver(keyState, x, y, effect);
    POINT p{x, y};
    ScreenToClient(handle(), &p);
    const int hit = tabAt(p.x, p.y);
    if (hit < 0) return;
    if (hit != selectedIndex()) selectTab(hit, TabNotification::Fire);
    if (!isShowingPages()) {
        dragOpened_ = true;
        relayoutParent();
    }
    SetTimer(handle(), kDragHoverTimer, kDragHoverInterval, nullptr);
}

void ChannelPane::onDragLeave() {
    DropTarget::onDragLeave();
    endDragHover();
}

bool ChannelPane::onTimer(UINT_PTR id, LPARAM lParam) {
    if (id != kDragHoverTimer) return TabbedPane::onTimer(id, lParam);
    // The drag may end elsewhere without telling us: a pointer outside the
    // pane ends the hover as a leave would.
    POINT pointer{0, 0};
    GetCursorPos(&pointer);
    RECT bounds{};
    GetWindowRect(handle(), &bounds);
    if (!PtInRect(&bounds, pointer)) endDragHover();
    return true;
}

void ChannelPane::endDragHover() {
    if (handle()) KillTimer(handle(), kDragHoverTimer);
    if (!dragOpened_) return;
    dragOpened_ = false;
    if (!expanded_) relayoutParent();
}

bool ChannelPane::onFilesDropped(const std::vector<std::u16string>& paths) {
    if (handle()) KillTimer(handle(), kDragHoverTimer);
    if (!files_) return false;
    files_->onFilesDropped(paths);
    selectTab(kFileTab, TabNotification::Fire);
    // Dropped files are meant to be seen: the pane the drag opened stays open.
    setExpanded(true);
    dragOpened_ = false;
    return true;
}
