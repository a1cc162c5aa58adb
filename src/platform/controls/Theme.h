// The look shared by the layer's controls: flat fields with a thin grey frame
// that turns blue with the focus, and a blue selection. One place, so that the
// edit field, the combo box and the date picker agree.
#pragma once

#include "platform/win32.h"

namespace veltrix::platform::controls::theme {

inline constexpr COLORREF kFieldBackground = RGB(0xFF, 0xFF, 0xFF);
inline constexpr COLORREF kFieldText = RGB(0x1A, 0x1A, 0x1A);
inline constexpr COLORREF kDisabledBackground = RGB(0xF3, 0xF3, 0xF3);
inline constexpr COLORREF kDisabledText = RGB(0x8C, 0x8C, 0x8C);
inline constexpr COLORREF kFrame = RGB(0xAD, 0xAD, 0xAD);
inline constexpr COLORREF kFrameHot = RGB(0x6E, 0x6E, 0x6E);
inline constexpr COLORREF kFocus = RGB(0x00, 0x78, 0xD4);
inline constexpr COLORREF kSelection = RGB(0x00, 0x78, 0xD4);
inline constexpr COLORREF kSelectionText = RGB(0xFF, 0xFF, 0xFF);
inline constexpr COLORREF kInactiveSelection = RGB(0xCC, 0xE4, 0xF7);
inline constexpr COLORREF kHover = RGB(0xE5, 0xF1, 0xFB);
inline constexpr COLORREF kButtonFace = RGB(0xF5, 0xF5, 0xF5);
inline constexpr COLORREF kGlyph = RGB(0x44, 0x44, 0x44);
inline constexpr COLORREF kMutedText = RGB(0x9A, 0x9A, 0x9A);

inline void fill(HDC dc, const RECT& r, COLORREF colour) {
    const SelectedObject brush(dc, GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, colour);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

inline void frame(HDC dc, const RECT& r, COLORREF colour) {
    SetDCBrushColor(dc, colour);
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// A small downward chevron centred in the rectangle.
inline void chevron(HDC dc, const RECT& r, COLORREF colour) {
    int cx = (r.left + r.right) / 2;
    int cy = (r.top + r.bottom) / 2 - 1;
    for (int i = 0; i < 4; ++i) {
        RECT line{cx - 4 + i, cy + i, cx + 5 - i, cy + i + 1};
        RECT left{cx - 4 + i, cy + i, cx - 2 + i, cy + i + 1};
        RECT right{cx + 3 - i, cy + i, cx + 5 - i, cy + i + 1};
        if (i == 3) {
            fill(dc, line, colour);
        } else {
            fill(dc, left, colour);
            fill(dc, right, colour);
        }
    }
}

}  // namespace veltrix::platform::controls::theme
