// The reading of in-memory dialog templates (DLGTEMPLATE and DLGTEMPLATEEX
// with their items) into plain values. Internal to src/platform.
//
// A template carries no length, so the reader trusts the memory it is given as
// Windows does, but it never reads a string longer than kMaxString units or
// more than the item count the header states.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/api/Dialog.h"
#include "platform/api/Types.h"

namespace veltrix::platform::controls {

// A menu, class or title field: absent, an ordinal, or a name.
struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::u16string name;
    bool empty() const { return !isOrdinal && name.empty(); }
};

struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
    std::vector<BYTE> creationData;
};

struct DialogDescription {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string title;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::u16string face;
    std::vector<DialogItem> items;
};

inline constexpr std::size_t kMaxString = 4096;

// Null when the template is null or a string runs past kMaxString.
std::optional<DialogDescription> readDialogTemplate(const DLGTEMPLATE* dialogTemplate);

// The class name of an item: the predefined ordinals 0x80 to 0x85 become
// "BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX".
std::u16string itemClassName(const NameOrOrdinal& windowClass);

}  // namespace veltrix::platform::controls
