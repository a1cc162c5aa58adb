// The system window classes the layer provides ("EDIT", "COMBOBOX",
// "SysDateTimePick32" and their pop-ups) and the helpers they share. Internal
// to src/platform.
#pragma once

#include <string>
#include <vector>

#include "platform/api/GdiHandles.h"
#include "platform/win32.h"

namespace veltrix::platform::controls {

// Registers the classes once per process; CreateWindowExW calls it, so the
// classes exist before any window is made, as on Windows.
void registerSystemClasses();

LRESULT editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT comboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT comboListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT datePickerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT calendarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT toolbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT treeViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

inline constexpr const char16_t* kComboListClass = u"ComboLBox";
inline constexpr const char16_t* kCalendarClass = u"SysMonthCal32";

// A window class of the layer's own controls and pop-ups.
struct LayerClass {
    const char16_t* name;
    WNDPROC proc;
    UINT style = 0;
    int windowExtra = 0;
    LPCWSTR cursor = IDC_ARROW;
};
// Registers the class; false when the layer refused it.
bool registerLayerClass(const LayerClass& layerClass);

// WM_COMMAND to the parent: the control id in the low word, the code in the high word.
void notifyParent(HWND control, WORD code);
// The default GUI font when the window has none.
HFONT fontOrDefault(HFONT font);
// The cell height of a font.
int lineHeightOf(HFONT font);
int textWidth(HFONT font, const std::u16string& text);
// Whether the window has a one-pixel non-client border (WS_BORDER), which
// its WM_NCPAINT paints in the given colour.
bool hasBorder(HWND window);
// Typed text (and the input method) goes to the display's focus window only
// while asked for: a control that takes characters asks on WM_SETFOCUS, with
// its caret's client rectangle for the candidate window, and stops on
// WM_KILLFOCUS.
void startTextInput(HWND window, const RECT& caret);
void stopTextInput();
void paintBorder(HWND window, COLORREF colour);
// Hover looks: WM_MOUSEMOVE and WM_MOUSELEAVE handling of a control that
// repaints when the pointer enters or leaves it.
void trackHover(HWND window, bool& hovered);
void endHover(HWND window, bool& hovered);

// A DC of a window with a font selected, released on destruction.
class FontDC {
public:
    FontDC(HWND window, HFONT font);
    HDC get() const { return dc_.get(); }

private:
    ClientDC dc_;
    SelectedObject selection_;  // after the DC: deselects before the DC goes back
};

}  // namespace veltrix::platform::controls
