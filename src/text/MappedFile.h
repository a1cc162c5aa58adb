// A whole file mapped read-only for as long as the object lives: readers that
// take a large file at once decode from the view without a buffer of their own.
// The view is the file as it was when it was made (see MapViewOfFile): another
// program cutting the file afterwards changes nothing here, and one cutting it
// while the view is made leaves the file not opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win32.h"

// The whole file, mapped read-only for as long as the object lives.
class MappedFile {
public:
    explicit MappedFile(const std::u16string& path) {
        m_file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
        LARGE_INTEGER size{};
        if (m_file == INVALID_HANDLE_VALUE || !GetFileSizeEx(m_file, &size)) return;
        m_size = static_cast<std::size_t>(size.QuadPart);
        m_opened = true;
        if (m_size == 0) return;
        m_mapping = CreateFileMappingW(m_file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (m_mapping) m_view = static_cast<const std::uint8_t*>(MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0));
        if (!m_view) m_opened = false;
    }
    ~MappedFile() {
        if (m_view) UnmapViewOfFile(m_view);
        if (m_mapping) CloseHandle(m_mapping);
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool opened() const { return m_opened; }
    const std::uint8_t* data() const { return m_view; }
    std::size_t size() const { return m_size; }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_mapping = nullptr;
    const std::uint8_t* m_view = nullptr;
    std::size_t m_size = 0;
    bool m_opened = false;
};
