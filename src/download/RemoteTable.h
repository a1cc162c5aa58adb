// A worker's hands on a table that lives on the window thread. Every read and
// write is a list-view message sent to the table's window, so the table's
// rows are only ever touched on their own thread, and a worker whose table
// is gone reads empty texts and writes nothing (messages to a destroyed
// window do nothing).
#pragma once

#include <string>

#include "platform/win32.h"

class RemoteTable {
public:
    explicit RemoteTable(HWND table = nullptr) : m_table(table) {}

    int rowCount() const;
    // The cell's whole text; empty outside the table.
    std::u16string text(int row, int column) const;
    void setText(int row, int column, const std::u16string& text) const;
    // Repaints and scrolls the row into view.
    void showRow(int row) const;

private:
    HWND m_table;
};
