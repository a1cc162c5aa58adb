// The state the combo box shares with its pop-up list window. Internal to the
// combo box's two source files.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/ControlState.h"
#include "platform/win32.h"

namespace veltrix::platform::controls {

struct ComboItem {
    std::u16string text;
    LPARAM data = 0;
};

struct ComboState {
    std::vector<ComboItem> items;
    int selected = -1;
    int beforeDrop = -1;
    int hot = -1;  // the highlighted row of the opened list
    int top = 0;   // first row the list shows
    bool dropped = false;
    bool closing = false;
    bool hovered = false;
    bool focused = false;
    HWND edit = nullptr;  // CBS_DROPDOWN only
    HWND list = nullptr;  // the pop-up list, a top-level window owned by the box's
    HFONT font = nullptr;
    int itemHeight = 18;   // rows of the list
    int fieldHeight = 18;  // the text area of the closed box
    int listHeight = 100;  // the most the opened list may take
    int droppedWidth = 0;  // 0: as wide as the box
};
using ComboStates = ControlStates<ComboState>;

inline constexpr int kComboButtonWidth = 22;
inline constexpr int kComboEditId = 1001;

// Rows the opened list shows at once.
int comboVisibleRows(const ComboState& s);
// Ends the opened list: chosen (ok) or cancelled; a cancel by the user puts
// the selection from before the opening back.
enum class CloseReason { Chosen, Cancelled, UserCancelled };
void comboClose(HWND combo, CloseReason reason);
// Sets the selection from the list (a click or Return) and closes it.
void comboChoose(HWND combo, int index);

}  // namespace veltrix::platform::controls
