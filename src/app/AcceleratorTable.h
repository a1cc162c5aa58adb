// The program's keyboard accelerators: one process-wide list of entries and
// the table built from it, which the message loop consults for every message.
//
// Invariant: handle() is the table built from the list as it was at the last
// build(), or null before the first build and when the list was empty.
#pragma once

#include <vector>

#include "platform/win32.h"

class AcceleratorTable {
public:
    static AcceleratorTable& instance();
    // The study modes' keys, built at the first call: a table of their own,
    // consulted after the program's, which keeps its entries as they are.
    static AcceleratorTable& study();

    AcceleratorTable() = default;
    ~AcceleratorTable();
    AcceleratorTable(const AcceleratorTable&) = delete;
    AcceleratorTable& operator=(const AcceleratorTable&) = delete;

    // Appends, without a check for duplicates.
    void add(const ACCEL& entry);
    // Rebinds the command's entry (flags plus FVIRTKEY), or appends one.
    void setCommandKey(WORD command, WORD key, BYTE flags);
    // Replaces the table with one built from the list; false when none exists.
    bool build();
    HACCEL handle() const { return handle_; }
    const std::vector<ACCEL>& entries() const { return entries_; }

private:
    std::vector<ACCEL> entries_;
    HACCEL handle_ = nullptr;
};

// The accelerators of the player's command table (player/PlayerCommands.h)
// below the study commands, in its order, then build().
void fillProgramAccelerators(AcceleratorTable& table);
// The study commands' accelerators (200 and up), then build().
void fillStudyAccelerators(AcceleratorTable& table);
