// The sentence table's context menu: its items in order with the numbers
// they return, each enabled by how many rows are selected.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win32.h"

struct SentenceMenuItem {
    std::u16string text;  // empty for a separator
    int number = 0;       // 0 for a separator
    bool enabled = false;
};

std::vector<SentenceMenuItem> sentenceMenuItems(std::size_t selectedRows);
// Shows the menu at the pointer, owned by owner, and returns the chosen
// number (0 when nothing was chosen) without sending a command.
int showSentenceMenu(HWND owner, std::size_t selectedRows);
