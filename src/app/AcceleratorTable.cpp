#include "app/AcceleratorTable.h"

#include "player/PlayerCommands.h"

AcceleratorTable& AcceleratorTable::instance() {
    static AcceleratorTable table;
    return table;
}

AcceleratorTable& AcceleratorTable::study() {
    static AcceleratorTable table;
    if (!table.handle()) fillStudyAccelerators(table);
    return table;
}

AcceleratorTable::~AcceleratorTable() {
    if (handle_) DestroyAcceleratorTable(handle_);
}

void AcceleratorTable::add(const ACCEL& entry) { entries_.push_back(entry); }

void AcceleratorTable::setCommandKey(WORD command, WORD key, BYTE flags) {
    for (ACCEL& entry : entries_) {
        if (entry.cmd == command) {
            entry.key = key;
            entry.fVirt = static_cast<BYTE>(flags | FVIRTKEY);
            return;
        }
    }
    entries_.push_back(ACCEL{static_cast<BYTE>(flags | FVIRTKEY), key, command});
}

bool AcceleratorTable::build() {
    if (handle_) {
        DestroyAcceleratorTable(handle_);
        handle_ = nullptr;
    }
    if (!entries_.empty()) handle_ = CreateAcceleratorTableW(entries_.data(), static_cast<int>(entries_.size()));
    return handle_ != nullptr;
}

void fillProgramAccelerators(AcceleratorTable& table) {
    // Through setCommandKey, so that a later rebinding of a command replaces
    // its key instead of adding a second one.
    for (const player_commands::Row& row : player_commands::kRows)
        if (row.key.key && !player_commands::isStudyCommand(row.command))
            table.setCommandKey(static_cast<WORD>(row.command), row.key.key, row.key.modifiers);
    table.build();
}

void fillStudyAccelerators(AcceleratorTable& table) {
    for (const player_commands::Row& row : player_commands::kRows)
        if (row.key.key && player_commands::isStudyCommand(row.command))
            table.setCommandKey(static_cast<WORD>(row.command), row.key.key, row.key.modifiers);
    table.build();
}
