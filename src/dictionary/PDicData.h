// The data part of a PDIC dictionary: loads one data block (one or more
// consecutive physical blocks) and walks its records, rebuilding each full
// title from the part it shares with the title before it.
//
// Every field of a record is checked against the block's end before it is
// read; a record that does not fit its block, a title longer than 1024 bytes,
// a title that shares more than the previous one has, or extension items that
// do not end exactly at the record's end make the record unreadable, and the
// walk of that block ends there.
//
// Invariants: while a block is loaded, 2 <= m_recOffs <= m_blkbuf.size() and
// m_blkbuf holds m_blocks physical blocks (fewer where the file ends);
// lastTitle() never exceeds kMaxTitle bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/PDicFile.h"
#include "dictionary/PDicHeader.h"

// Where one record's texts lie in the loaded block, and its level.
struct PDicRecord {
    std::uint32_t offset = 0;  // of the record in the block
    std::uint32_t honbunOffset = 0, honbunLength = 0;
    std::uint32_t yoreiOffset = 0, yoreiLength = 0;
    std::uint32_t pronOffset = 0, pronLength = 0;
    int level = 0;
};

class CPDicData {
public:
    static constexpr std::size_t kMaxTitle = 1024;

    CPDicData(const PDicHeader& header, PDicFile& file) : m_header(header), m_file(file) {}
    virtual ~CPDicData() = default;

    // Loads data block number (or only rewinds it when it is the loaded one);
    // false when it cannot be read or is marked unused, and then no block is
    // loaded.
    bool loadBlock(std::uint32_t number);
    // The next record of the loaded block; false at the end of its records or
    // at a record that cannot be read. The record's full title is lastTitle().
    bool nextRecord(PDicRecord& record);

    const std::string& lastTitle() const { return m_lastTitle; }
    std::int64_t loadedBlock() const { return m_loaded; }
    // The bytes of the block that the block's buffer holds.
    std::size_t loadedBytes() const { return m_blkbuf.size(); }
    // The physical blocks the loaded data block spans.
    int spannedBlocks() const { return m_blocks; }
    // Bytes of the loaded block; empty where the range leaves it.
    std::string_view bytes(std::uint32_t offset, std::uint32_t length) const;

private:
    std::uint32_t readLength(std::size_t at) const;

    const PDicHeader& m_header;
    PDicFile& m_file;
    std::int64_t m_loaded = -1;
    std::size_t m_recOffs = 0;
    int m_width = 2;
    int m_blocks = 0;
    std::vector<char> m_blkbuf;
    std::string m_lastTitle;
};
