#include "platform/controls/FileList.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "platform/api/GdiHandles.h"
#include "platform/common/AsciiCase.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Theme.h"

namespace veltrix::platform::controls {

namespace {

constexpr int kRowHeight = 22;
constexpr int kIconSize = 16;
constexpr int kScrollWidth = 6;
constexpr COLORREF kFolderColour = RGB(0xE8, 0xB3, 0x3A);
constexpr COLORREF kFolderTab = RGB(0xD4, 0x9A, 0x22);
constexpr COLORREF kPageFrame = RGB(0x8A, 0x8A, 0x8A);

using ascii::toLower;

int visibleRows(HWND list) {
    RECT r;
    GetClientRect(list, &r);
    return std::max(1, static_cast<int>(r.bottom - r.top - 2) / kRowHeight);
}

int rowCount(const FileListModel& m) { return static_cast<int>(m.listing.entries.size()); }

void clampTop(HWND list, FileListModel& m) {
    int maxTop = std::max(0, rowCount(m) - visibleRows(list));
    m.top = std::clamp(m.top, 0, maxTop);
}

std::u16string sizeText(std::uint64_t bytes) {
    std::uint64_t kb = (bytes + 1023) / 1024;
    std::string digits = std::to_string(kb);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return std::u16string(grouped.begin(), grouped.end()) + u" KB";
}

void drawFolderIcon(HDC dc, int x, int y) {
    theme::fill(dc, RECT{x, y + 2, x + 7, y + 5}, kFolderTab);
    theme::fill(dc, RECT{x, y + 4, x + kIconSize, y + 14}, kFolderColour);
}

void drawFileIcon(HDC dc, int x, int y) {
    RECT page{x + 2, y, x + 14, y + 15};
    theme::fill(dc, page, RGB(0xFF, 0xFF, 0xFF));
    theme::frame(dc, page, kPageFrame);
    for (int line = 0; line < 3; ++line)
        theme::fill(dc, RECT{x + 5, y + 4 + line * 3, x + 11, y + 5 + line * 3}, kPageFrame);
}

void paint(HWND list) {
    const PaintDC painting(list);
    HDC dc = painting.get();
    RECT client;
    GetClientRect(list, &client);
    bool focused = GetFocus() == list;
    theme::fill(dc, client, theme::kFieldBackground);
    theme::frame(dc, client, focused ? theme::kFocus : theme::kFrame);
    FileListModel* m = fileListModelOf(list);
    if (m) {
        SelectedObject selection(dc, fontOrDefault(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0))));
        SetBkMode(dc, TRANSPARENT);
        int rows = visibleRows(list);
        bool scrolls = rowCount(*m) > rows;
        int right = client.right - 1 - (scrolls ? kScrollWidth + 2 : 0);
        for (int i = 0; i < rows && m->top + i < rowCount(*m); ++i) {
            int index = m->top + i;
            const FolderEntry& e = m->listing.entries[static_cast<std::size_t>(index)];
            RECT row{1, 1 + i * kRowHeight, right, 1 + (i + 1) * kRowHeight};
            bool selected = index == m->selected;
            if (selected) theme::fill(dc, row, focused ? theme::kSelection : theme::kInactiveSelection);
            COLORREF text = selected && focused ? theme::kSelectionText : theme::kFieldText;
            int iconY = row.top + (kRowHeight - kIconSize) / 2;
            if (e.folder)
                drawFolderIcon(dc, row.left + 6, iconY);
            else
                drawFileIcon(dc, row.left + 6, iconY);
            std::u16string detail = e.folder ? (e.name == u".." ? u"" : u"Folder") : sizeText(e.size);
            RECT detailRect{row.right - 90, row.top, row.right - 8, row.bottom};
            SetTextColor(dc, selected && focused ? theme::kSelectionText : theme::kMutedText);
            DrawTextW(dc, detail.c_str(), static_cast<int>(detail.size()), &detailRect,
                      DT_SINGLELINE | DT_RIGHT | DT_VCENTER | DT_NOPREFIX);
            RECT nameRect{row.left + 6 + kIconSize + 8, row.top, detailRect.left - 8, row.bottom};
            SetTextColor(dc, text);
            DrawTextW(dc, e.name.c_str(), static_cast<int>(e.name.size()), &nameRect,
                      DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            if (selected && focused) {
                // A dotted-free focus mark: a one-pixel inner frame in the selection's own colour family.
                RECT inner = row;
                InflateRect(&inner, -1, -1);
                theme::frame(dc, inner, RGB(0x00, 0x50, 0x9A));
            }
        }
        if (m->listing.entries.empty()) {
            RECT note = client;
            note.top += 8;
            SetTextColor(dc, theme::kMutedText);
            const std::u16string empty = m->listing.readable ? u"(no matching files)" : u"(this folder cannot be read)";
            DrawTextW(dc, empty.c_str(), static_cast<int>(empty.size()), &note,
                      DT_SINGLELINE | DT_CENTER | DT_NOPREFIX);
        }
        if (scrolls) {
            int trackTop = 3;
            int trackHeight = client.bottom - 6;
            int total = rowCount(*m);
            int thumbHeight = std::max(16, trackHeight * rows / total);
            int thumbTop = trackTop + (trackHeight - thumbHeight) * m->top / std::max(1, total - rows);
            RECT thumb{client.right - 2 - kScrollWidth, thumbTop, client.right - 3, thumbTop + thumbHeight};
            theme::fill(dc, thumb, RGB(0xB0, 0xB0, 0xB0));
        }
    }
}

int rowAt(const FileListModel& m, LPARAM lParam) {
    int y = GET_Y_LPARAM(lParam) - 1;
    if (y < 0) return -1;
    int row = m.top + y / kRowHeight;
    return row < rowCount(m) ? row : -1;
}

void notify(HWND list, WORD code) { notifyParent(list, code); }

}  // namespace

FileListModel* fileListModelOf(HWND list) {
    HWND dialog = GetAncestor(list, GA_PARENT);
    return dialog ? reinterpret_cast<FileListModel*>(GetWindowLongPtrW(dialog, DWLP_USER)) : nullptr;
}

void selectRow(HWND list, int row, Notify notifyParentToo) {
    FileListModel* m = fileListModelOf(list);
    if (!m) return;
    row = rowCount(*m) == 0 ? -1 : std::clamp(row, -1, rowCount(*m) - 1);
    bool changed = row != m->selected;
    m->selected = row;
    if (row >= 0) {
        int rows = visibleRows(list);
        if (row < m->top) m->top = row;
        if (row >= m->top + rows) m->top = row - rows + 1;
    }
    clampTop(list, *m);
    InvalidateRect(list, nullptr, FALSE);
    if (changed && notifyParentToo == Notify::Yes) notify(list, LBN_SELCHANGE);
}

LRESULT fileListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    FileListModel* m = fileListModelOf(list);
    switch (message) {
        case WM_PAINT:
            paint(list);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
            if (m && m->selected < 0 && rowCount(*m) > 0) selectRow(list, 0, Notify::Yes);
            InvalidateRect(list, nullptr, FALSE);
            return 0;
        case WM_KILLFOCUS:
            InvalidateRect(list, nullptr, FALSE);
            return 0;
        case WM_SIZE:
            if (m) clampTop(list, *m);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            SetFocus(list);
            if (!m) return 0;
            int row = rowAt(*m, lParam);
            if (row >= 0) selectRow(list, row, Notify::Yes);
            if (row >= 0 && message == WM_LBUTTONDBLCLK) notify(list, LBN_DBLCLK);
            return 0;
        }
        case WM_MOUSEWHEEL: {
            if (!m) return 0;
            int notches = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
            m->top -= notches * 3;
            clampTop(list, *m);
            InvalidateRect(list, nullptr, FALSE);
            return 0;
        }
        case WM_KEYDOWN: {
            if (!m) return 0;
            int rows = visibleRows(list);
            int at = m->selected;
            switch (wParam) {
                case VK_UP:
                    selectRow(list, at <= 0 ? 0 : at - 1, Notify::Yes);
                    break;
                case VK_DOWN:
                    selectRow(list, at + 1, Notify::Yes);
                    break;
                case VK_PRIOR:
                    selectRow(list, std::max(0, at - rows + 1), Notify::Yes);
                    break;
                case VK_NEXT:
                    selectRow(list, at + rows - 1, Notify::Yes);
                    break;
                case VK_HOME:
                    selectRow(list, 0, Notify::Yes);
                    break;
                case VK_END:
                    selectRow(list, rowCount(*m) - 1, Notify::Yes);
                    break;
                case VK_BACK: {
                    HWND dialog = GetAncestor(list, GA_PARENT);
                    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kUpButtonId, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kUpButtonId)));
                    break;
                }
                default:
                    break;
            }
            return 0;
        }
        case WM_CHAR: {
            // A typed letter goes to the next row whose name starts with it.
            if (!m || wParam < 0x20 || rowCount(*m) == 0) return 0;
            char16_t c = toLower(static_cast<char16_t>(wParam));
            int n = rowCount(*m);
            for (int k = 1; k <= n; ++k) {
                int row = ((m->selected < 0 ? -1 : m->selected) + k) % n;
                const std::u16string& name = m->listing.entries[static_cast<std::size_t>(row)].name;
                if (!name.empty() && toLower(name[0]) == c) {
                    selectRow(list, row, Notify::Yes);
                    break;
                }
            }
            return 0;
        }
        default:
            return DefWindowProcW(list, message, wParam, lParam);
    }
}

void registerFileListClass() {
    static std::once_flag once;
    std::call_once(once, [] { registerLayerClass({kFileListClass, fileListProc, CS_DBLCLKS}); });
}

}  // namespace veltrix::platform::controls
