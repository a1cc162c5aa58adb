// The open dictionary file, read at absolute offsets. The reader, its index
// and its data part share one of these; it owns the C stream and closes it.
//
// Invariant: size() is the file's length when it was opened; a read never
// reaches past it, so a file that shrinks later only makes reads come short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/common/UniqueC.h"

class PDicFile {
public:
    // Opens for binary reading; false when the file cannot be opened.
    bool open(const std::u16string& path);
    void close() {
        m_stream.reset();
        m_size = 0;
    }
    bool isOpen() const { return m_stream != nullptr; }
    std::int64_t size() const { return m_size; }

    // Reads up to count bytes at offset; the number read (0 for an offset
    // outside the file or a failed seek).
    std::size_t readAt(std::int64_t offset, void* buffer, std::size_t count);

private:
    veltrix::UniqueC<std::FILE, ::fclose> m_stream;
    std::int64_t m_size = 0;
};
