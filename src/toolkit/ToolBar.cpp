#include "toolkit/ToolBar.h"

#include <memory>

#include "toolkit/BitmapCache.h"

namespace {

// Child, visible, clip siblings, tab stop; no divider, no parent alignment, no
// resize. Tips are asked for at creation, as the bar makes its tooltip then.
constexpr DWORD kBarStyle = 0x5601004C | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS;
// Most strips are square glyphs; the classic 15-pixel-high strips hold 16 x 15 glyphs.
constexpr int kClassicHeight = 15;
constexpr int kClassicWidth = 16;

std::u16string programFolder() {
    std::u16string buffer(MAX_PATH * 4, u'\0');
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(n);
    std::size_t slash = buffer.find_last_of(u"/\\");
    return slash == std::u16string::npos ? std::u16string() : buffer.substr(0, slash + 1);
}

std::shared_ptr<const Bitmap> glyphBitmap(const std::u16string& path) {
    BitmapCache& cache = BitmapCache::instance();
    if (auto cached = cache.find(path)) return cached;
    if (auto loaded = cache.load(path, path)) return loaded;
    return cache.load(path, programFolder() + path);
}

// A 32-bit copy whose glyph i (sourceCell wide) sits at x = i * cellWidth,
// the extra columns filled with the transparent colour, so that each cell of
// the list holds one whole glyph.
bool spreadGlyphs(const Bitmap& source, int sourceCell, int cellWidth, int count, COLORREF transparent, Bitmap& out) {
    const int height = source.getHeight();
    if (count <= 0 || !out.create(count * cellWidth, height, 32)) return false;
    for (int i = 0; i < count; ++i) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < cellWidth; ++x) {
                const COLORREF colour = x < sourceCell ? source.getPixel(i * sourceCell + x, y) : transparent;
                out.setPixel(i * cellWidth + x, y, colour);
            }
        }
    }
    return true;
}

}  // namespace

ToolBar::~ToolBar() {
    BaseWindow::destroyWindow();
    releaseGlyphs();
}

bool ToolBar::create(HWND parent) {
    destroyWindow();
    HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, kBarStyle, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
    if (!bar) return false;
    SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    if (glyphs_) SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(glyphs_));
    return subclassWindow(bar);
}

void ToolBar::setSize(int width, int height) {
    if (handle_) SendMessageW(handle_, TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
}

LRESULT ToolBar::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && wParam == u'\t') {
        moveFocus(GetKeyState(VK_SHIFT) < 0 ? FocusDirection::Backward : FocusDirection::Forward);
        return 0;
    }
    return BaseWindow::windowProc(window, message, wParam, lParam);
}

bool ToolBar::loadGlyphs(const std::u16string& path, COLORREF transparent) {
    std::shared_ptr<const Bitmap> bitmap = glyphBitmap(path);
    if (!bitmap || bitmap->empty()) return false;
    const int height = bitmap->getHeight();
    const int count = height > 0 ? bitmap->getWidth() / height : 0;
    const int cellWidth = height == kClassicHeight ? kClassicWidth : height;
    HIMAGELIST list = ImageList_Create(cellWidth, height, ILC_COLOR24 | ILC_MASK, count, 0);
    if (!list) return false;
    HBITMAP source = bitmap->section();
    Bitmap spread;
    if (cellWidth != height || !source) {
        if (spreadGlyphs(*bitmap, height, cellWidth, count, transparent, spread))
            source = spread.section();
        else
            source = nullptr;
    }
    if (source) ImageList_AddMasked(list, source, transparent);
    if (handle_) SendMessageW(handle_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
    releaseGlyphs();
    glyphs_ = list;
    return true;
}

void ToolBar::fitToButtons() {
    if (!handle_) return;
    SIZE size{};
    SendMessageW(handle_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    SetWindowPos(handle_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    updateToolTipRect();
}

int ToolBar::glyphCount() const { return glyphs_ ? ImageList_GetImageCount(glyphs_) : 0; }

void ToolBar::releaseGlyphs() {
    if (!glyphs_) return;
    if (handle_ && reinterpret_cast<HIMAGELIST>(SendMessageW(handle_, TB_GETIMAGELIST, 0, 0)) == glyphs_)
        SendMessageW(handle_, TB_SETIMAGELIST, 0, 0);
    ImageList_Destroy(glyphs_);
    glyphs_ = nullptr;
}
