#include "dictionary/PDicData.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint8_t kExtendedFlag = 0x10;
constexpr std::uint8_t kItemsEnd = 0x80;
constexpr std::uint8_t kBinaryItem = 0x10;
constexpr std::uint8_t kExampleItem = 1;
constexpr std::uint8_t kPronunciationItem = 2;

}  // namespace

std::uint32_t CPDicData::readLength(std::size_t at) const {
    std::uint32_t value = 0;
    for (int i = 0; i < m_width; ++i) value |= std::uint32_t{static_cast<std::uint8_t>(m_blkbuf[at + i])} << (8 * i);
    return value;
}

std::string_view CPDicData::bytes(std::uint32_t offset, std::uint32_t length) const {
    if (offset > m_blkbuf.size() || length > m_blkbuf.size() - offset) return {};
    return std::string_view(m_blkbuf.data() + offset, length);
}

bool CPDicData::loadBlock(std::uint32_t number) {
    if (m_loaded == number) {
        m_recOffs = 2;
        return true;
    }
    m_loaded = -1;
    const std::size_t blockSize = static_cast<std::size_t>(m_header.blockSize());
    const std::int64_t start = m_header.blockStart(number);
    std::vector<char> first(blockSize);
    if (start < 0 || m_file.readAt(start, first.data(), blockSize) != blockSize) return false;
    const auto word = static_cast<std::uint16_t>(static_cast<std::uint8_t>(first[0]) |
                                                 (blockSize > 1 ? static_cast<std::uint8_t>(first[1]) << 8 : 0));
    m_width = (word & 0x8000) ? 4 : 2;
    m_blocks = word & 0x7FFF;
    if (m_blocks == 0 || blockSize < 2) return false;
    // A header may claim more blocks than the file has; only what is there is kept.
    const std::int64_t available = m_file.size() - start;
    const std::size_t spanned = static_cast<std::size_t>(
        std::min<std::int64_t>(std::int64_t{m_blocks} * static_cast<std::int64_t>(blockSize), available));
    m_blkbuf.assign(std::max(spanned, blockSize), '\0');
    std::memcpy(m_blkbuf.data(), first.data(), blockSize);
    if (m_blkbuf.size() > blockSize) {
        const std::size_t rest = m_blkbuf.size() - blockSize;
        m_file.readAt(start + static_cast<std::int64_t>(blockSize), m_blkbuf.data() + blockSize, rest);
    }
    m_loaded = number;
    m_recOffs = 2;
    return true;
}

bool CPDicData::nextRecord(PDicRecord& record) {
    if (m_loaded < 0) return false;
    const std::size_t size = m_blkbuf.size();
    const auto byteAt = [&](std::size_t at) { return static_cast<std::uint8_t>(m_blkbuf[at]); };
    std::size_t at = m_recOffs;
    if (at + static_cast<std::size_t>(m_width) > size) return false;
    const std::uint32_t length = readLength(at);
    if (length == 0) return false;
    record = PDicRecord{};
    record.offset = static_cast<std::uint32_t>(at);
    at += static_cast<std::size_t>(m_width);
    const bool unicode = m_header.unicode();
    if (at + (unicode ? 2 : 1) > size) return false;
    const std::size_t shared = byteAt(at++);
    std::uint8_t attribute = unicode ? byteAt(at++) : 0;
    const std::size_t pieceStart = at;
    if (length > size - pieceStart) return false;
    const std::size_t nextoffs = pieceStart + length;

    const char* pieceEnd =
        static_cast<const char*>(std::memchr(m_blkbuf.data() + pieceStart, 0, nextoffs - pieceStart));
    if (!pieceEnd) return false;
    const std::size_t pieceLength = static_cast<std::size_t>(pieceEnd - m_blkbuf.data()) - pieceStart;
    if (shared > m_lastTitle.size() || shared + pieceLength > kMaxTitle) return false;
    m_lastTitle.resize(shared);
    m_lastTitle.append(m_blkbuf.data() + pieceStart, pieceLength);
    at = pieceStart + pieceLength + 1;

    if (!unicode) {
        if (at >= nextoffs) return false;
        attribute = byteAt(at++);
    }
    record.level = attribute & 0x0F;
    if (!(attribute & kExtendedFlag)) {
        record.honbunOffset = static_cast<std::uint32_t>(at);
        record.honbunLength = static_cast<std::uint32_t>(nextoffs - at);
        m_recOffs = nextoffs;
        return true;
    }

    const auto zeroEnded = [&](std::size_t from, std::uint32_t& offset, std::uint32_t& textLength) {
        const void* zero = std::memchr(m_blkbuf.data() + from, 0, nextoffs - from);
        if (!zero) return false;
        offset = static_cast<std::uint32_t>(from);
        textLength = static_cast<std::uint32_t>(static_cast<const char*>(zero) - m_blkbuf.data() - from);
        return true;
    };
    if (at > nextoffs || !zeroEnded(at, record.honbunOffset, record.honbunLength)) return false;
    at += record.honbunLength + 1;
    while (at < nextoffs) {
        const std::uint8_t type = byteAt(at++);
        if (type == kItemsEnd) break;
        if (type & kBinaryItem) {
            if (at + static_cast<std::size_t>(m_width) > nextoffs) return false;
            const std::uint32_t skip = readLength(at);
            at += static_cast<std::size_t>(m_width);
            if (skip > nextoffs - at) return false;
            at += skip;
            continue;
        }
        std::uint32_t offset = 0, textLength = 0;
        if (!zeroEnded(at, offset, textLength)) return false;
        if (type == kExampleItem) {
            record.yoreiOffset = offset;
            record.yoreiLength = textLength;
        } else if (type == kPronunciationItem) {
            record.pronOffset = offset;
            record.pronLength = textLength;
        }
        at += textLength + 1;
    }
    if (at != nextoffs) return false;
    m_recOffs = nextoffs;
    return true;
}
