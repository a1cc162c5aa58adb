// The state the date picker shares with its pop-up calendar. Internal to the
// date picker's two source files.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/ControlState.h"
#include "platform/controls/DateFormat.h"

namespace veltrix::platform::controls {

struct DateState {
    SYSTEMTIME date{};
    std::vector<DateSegment> segments;
    int field = -1;        // index of the current editable segment
    std::u16string typed;  // digits typed into the current field so far
    bool focused = false;
    bool hovered = false;
    HFONT font = nullptr;
    HWND calendar = nullptr;  // the pop-up month grid, owned by the picker's top-level
    bool dropped = false;
    bool closing = false;
    SYSTEMTIME shown{};  // the calendar's month (its day is the highlighted day)
    int hotCell = -1;    // the day cell under the pointer, 0 to 41
};
using DateStates = ControlStates<DateState>;

inline constexpr int kDateButtonWidth = 22;

// Gives the picker a new date from the user: stored and reported with
// DTN_DATETIMECHANGE when it differs.
void datePickerChange(HWND picker, const SYSTEMTIME& date);
// Closes the calendar; with a date, that date is chosen.
void datePickerClose(HWND picker, const SYSTEMTIME* chosen);

// The calendar's size for a font.
SIZE calendarSize(HFONT font);

}  // namespace veltrix::platform::controls
