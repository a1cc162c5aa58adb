// The colour slots of a text editor. Slots 0 to 4 and 8, 10 are stored;
// slots 5, 6, 7 and 9 are derived from the stored ones on every read, so a
// theme that changes the background also changes the end-of-line marks.
#pragma once

#include <array>

#include "platform/win32.h"

enum class ColorSlot {
    Background = 0,
    Text = 1,
    Highlight = 2,
    HighlightText = 3,
    FindBackground = 4,
    FindText = 5,
    LineBackground = 6,
    LineText = 7,
    Tab = 8,
    EndOfLine = 9,
    Undefined = 10,
};

class EditorColors {
public:
    static constexpr int kSlots = 11;

    EditorColors() {
        m_stored[0] = GetSysColor(COLOR_WINDOW);
        m_stored[1] = GetSysColor(COLOR_WINDOWTEXT);
        m_stored[2] = RGB(144, 215, 236);
        m_stored[3] = RGB(0, 0, 0);
        m_stored[4] = RGB(255, 160, 32);
        m_stored[8] = RGB(180, 180, 230);
        m_stored[10] = RGB(128, 128, 128);
    }

    COLORREF get(ColorSlot slot) const {
        switch (slot) {
            case ColorSlot::FindText:
                return m_stored[3];
            case ColorSlot::LineBackground:
                return m_stored[0];
            case ColorSlot::LineText:
                return m_stored[1];
            case ColorSlot::EndOfLine:
                return mean(m_stored[0], m_stored[1]);
            default:
                return m_stored[static_cast<std::size_t>(slot)];
        }
    }
    // Derived slots have no storage: setting them does nothing.
    void set(ColorSlot slot, COLORREF colour) {
        switch (slot) {
            case ColorSlot::FindText:
            case ColorSlot::LineBackground:
            case ColorSlot::LineText:
            case ColorSlot::EndOfLine:
                return;
            default:
                m_stored[static_cast<std::size_t>(slot)] = colour & 0xFFFFFF;
        }
    }

private:
    static COLORREF mean(COLORREF a, COLORREF b) {
        return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
                   (GetBValue(a) + GetBValue(b)) / 2);
    }

    std::array<COLORREF, kSlots> m_stored{};
};
