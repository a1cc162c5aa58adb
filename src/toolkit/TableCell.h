// One cell of a table column: its text and an item value that the owner of
// the table may attach to a row (list-view lParam; kept at full width so that
// nothing stored there is cut).
#pragma once

#include <string>

#include "platform/win32.h"

struct TableCell {
    std::u16string text;
    LPARAM value = 0;
};
