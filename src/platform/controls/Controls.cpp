#include <mutex>

#include "platform/controls/Controls.h"
#include "platform/controls/DialogClasses.h"
#include "platform/controls/Theme.h"
#include "platform/display/Display.h"
#include "platform/window/WindowManager.h"

namespace veltrix::platform::controls {

void registerSystemClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        const LayerClass classes[] = {
            {u"EDIT", editProc, CS_DBLCLKS | CS_GLOBALCLASS, 0, IDC_IBEAM},
            {u"COMBOBOX", comboProc, CS_DBLCLKS | CS_GLOBALCLASS},
            {kComboListClass, comboListProc, CS_GLOBALCLASS},
            {u"SysDateTimePick32", datePickerProc, CS_GLOBALCLASS},
            {kCalendarClass, calendarProc, CS_GLOBALCLASS},
            {u"ToolbarWindow32", toolbarProc, CS_DBLCLKS | CS_GLOBALCLASS},
            {WC_TREEVIEWW, treeViewProc, CS_DBLCLKS | CS_GLOBALCLASS},
        };
        for (const LayerClass& layerClass : classes) registerLayerClass(layerClass);
        registerDialogClasses();
    });
}

bool registerLayerClass(const LayerClass& layerClass) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = layerClass.style;
    wc.lpfnWndProc = layerClass.proc;
    wc.cbWndExtra = layerClass.windowExtra;
    wc.hCursor = LoadCursorW(nullptr, layerClass.cursor);
    wc.lpszClassName = layerClass.name;
    return RegisterClassExW(&wc) != 0;
}

void notifyParent(HWND control, WORD code) {
    HWND parent = GetAncestor(control, GA_PARENT);
    if (!parent || parent == GetDesktopWindow()) return;
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

HFONT fontOrDefault(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

int lineHeightOf(HFONT font) {
    FontDC dc(nullptr, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    return tm.tmHeight > 0 ? tm.tmHeight : 16;
}

int textWidth(HFONT font, const std::u16string& text) {
    FontDC dc(nullptr, font);
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

bool hasBorder(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_BORDER) != 0; }

void paintBorder(HWND window, COLORREF colour) {
    if (!hasBorder(window)) return;
    const WindowDC dc(window);
    if (!dc) return;
    RECT r;
    GetWindowRect(window, &r);
    OffsetRect(&r, -r.left, -r.top);
    theme::frame(dc.get(), r, colour);
}

void trackHover(HWND window, bool& hovered) {
    if (hovered) return;
    hovered = true;
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, 0};
    TrackMouseEvent(&track);
    InvalidateRect(window, nullptr, FALSE);
}

void endHover(HWND window, bool& hovered) {
    hovered = false;
    InvalidateRect(window, nullptr, FALSE);
}

void startTextInput(HWND window, const RECT& caret) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT onScreen = caret;
    OffsetRect(&onScreen, origin.x, origin.y);
    display().startTextInput(GetAncestor(window, GA_ROOT), onScreen);
}

void stopTextInput() { display().stopTextInput(); }

FontDC::FontDC(HWND window, HFONT font) : dc_(window), selection_(dc_.get(), fontOrDefault(font)) {}

}  // namespace veltrix::platform::controls
