#include "app/AcceleratorTable.h"

AcceleratorTable& AcceleratorTable::instance() {
    static AcceleratorTable table;
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
    constexpr BYTE ctrl = FVIRTKEY | FCONTROL;
    constexpr BYTE ctrlShift = FVIRTKEY | FCONTROL | FSHIFT;
    auto add = [&](BYTE flags, int key, int command) {
        table.add(ACCEL{flags, static_cast<WORD>(key), static_cast<WORD>(command)});
    };
    add(ctrl, 'O', 100);
    add(ctrl, 'P', 101);
    add(ctrlShift, 'P', 102);
    add(ctrl, VK_UP, 119);
    add(ctrl, VK_DOWN, 120);
    add(ctrl, 'T', 104);
    add(ctrlShift, 'T', 105);
    add(ctrl, 'E', 106);
    add(ctrlShift, 'E', 107);
    add(ctrl, 'R', 108);
    add(ctrlShift, 'R', 109);
    add(ctrl, 'L', 115);
    add(ctrl, 'J', 114);
    add(ctrl, VK_SPACE, 118);
    add(ctrl, 'F', 116);
    // Through setCommandKey, so that a later rebinding of saving replaces
    // its key instead of adding a second one.
    table.setCommandKey(112, 'S', FCONTROL);
    add(ctrl, 'W', 117);
    table.build();
}
