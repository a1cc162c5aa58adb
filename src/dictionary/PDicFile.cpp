#include "dictionary/PDicFile.h"

#include <algorithm>

#include "platform/win32.h"

bool PDicFile::open(const std::u16string& path) {
    close();
    m_stream.reset(_wfopen(path.c_str(), u"rb"));
    if (!m_stream) return false;
    if (std::fseek(m_stream.get(), 0, SEEK_END) != 0) {
        close();
        return false;
    }
    const long end = std::ftell(m_stream.get());
    if (end < 0) {
        close();
        return false;
    }
    m_size = end;
    return true;
}

std::size_t PDicFile::readAt(std::int64_t offset, void* buffer, std::size_t count) {
    if (!m_stream || offset < 0 || offset >= m_size || count == 0) return 0;
    if (std::fseek(m_stream.get(), static_cast<long>(offset), SEEK_SET) != 0) return 0;
    const auto available = static_cast<std::size_t>(std::min<std::int64_t>(count, m_size - offset));
    return std::fread(buffer, 1, available, m_stream.get());
}
