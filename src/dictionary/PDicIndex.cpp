#include "dictionary/PDicIndex.h"

#include <algorithm>

#include "dictionary/PDicKey.h"

bool CPDicIndex::loadIndexTable() {
    if (m_loaded) return true;
    m_indexTbl.clear();
    m_titles.clear();
    const std::int32_t wanted = m_header.indexCount();
    // Entries are read from the index area only: what lies behind it is data.
    const std::int64_t areaSize = m_header.indexAreaSize();
    if (wanted <= 0 || areaSize <= 0) {
        m_loaded = true;
        return true;
    }
    std::string area(static_cast<std::size_t>(std::min<std::int64_t>(areaSize, m_file.size())), '\0');
    area.resize(m_file.readAt(m_header.indexStart(), area.data(), area.size()));
    if (area.empty()) return false;

    const std::size_t width = static_cast<std::size_t>(m_header.indexBlockWidth());
    std::size_t at = 0;
    while (static_cast<std::int32_t>(m_indexTbl.size()) < wanted && at + width <= area.size()) {
        std::uint32_t block = 0;
        for (std::size_t i = 0; i < width; ++i)
            block |= std::uint32_t{static_cast<std::uint8_t>(area[at + i])} << (8 * i);
        at += width;
        const std::size_t end = area.find('\0', at);
        // A title cut off by the end of the area is not an entry.
        if (end == std::string::npos) break;
        const std::size_t length = end - at;
        if (block == 0 && length == 0) break;
        m_indexTbl.push_back(
            Entry{static_cast<std::uint32_t>(m_titles.size()), block, static_cast<std::uint32_t>(length)});
        m_titles.append(area, at, length);
        at = end + 1;
    }
    m_loaded = true;
    return true;
}

bool CPDicIndex::readIndexEntry(int idxno, std::uint32_t& block, std::string_view& title) const {
    if (idxno < 0 || idxno >= count()) return false;
    const Entry& entry = m_indexTbl[static_cast<std::size_t>(idxno)];
    block = entry.block;
    title = std::string_view(m_titles).substr(entry.titleOffset, entry.titleLength);
    return true;
}

int CPDicIndex::findBlockIndex(const PDicKey& key) const {
    int lo = 0, hi = count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        std::uint32_t block = 0;
        std::string_view title;
        if (!readIndexEntry(mid, block, title)) return 0;
        if (key.compareStored(title) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return std::max(lo - 1, 0);
}
