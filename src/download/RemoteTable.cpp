#include "download/RemoteTable.h"

#include <vector>

int RemoteTable::rowCount() const { return static_cast<int>(SendMessageW(m_table, LVM_GETITEMCOUNT, 0, 0)); }

std::u16string RemoteTable::text(int row, int column) const {
    // The message copies at most the buffer's size less one; a text that
    // fills it may be longer, so ask again with more room.
    std::vector<WCHAR> buffer(256);
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto copied = static_cast<std::size_t>(
            SendMessageW(m_table, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (copied + 1 < buffer.size()) return std::u16string(buffer.data(), copied);
        buffer.resize(buffer.size() * 4);
    }
}

void RemoteTable::setText(int row, int column, const std::u16string& text) const {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<LPWSTR>(text.c_str());
    SendMessageW(m_table, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void RemoteTable::showRow(int row) const {
    SendMessageW(m_table, LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row));
    SendMessageW(m_table, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}
