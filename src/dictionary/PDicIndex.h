// The index of a PDIC dictionary: for every data block, its number and its
// first full title. It is read once, on the first search, and then kept in
// memory whole (block numbers and title bytes), so that finding where a
// search starts reads nothing from the file.
//
// Invariants once loaded: count() is the number of entries actually read
// (at most the header's index count, never more than the index area holds);
// every title lies inside titles_ and holds no zero byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/PDicFile.h"
#include "dictionary/PDicHeader.h"

class PDicKey;

class CPDicIndex {
public:
    CPDicIndex(const PDicHeader& header, PDicFile& file) : m_header(header), m_file(file) {}
    virtual ~CPDicIndex() = default;

    // Reads the index entries (only the first call reads); false when the
    // file could not be read at all.
    bool loadIndexTable();
    bool loaded() const { return m_loaded; }
    int count() const { return static_cast<int>(m_indexTbl.size()); }

    // The entry to start a search at: the one before the first entry whose
    // title is not smaller than the key (the wanted titles may start in its
    // block), or 0.
    int findBlockIndex(const PDicKey& key) const;
    // The block number and the title bytes (in the dictionary's encoding) of
    // entry idxno; false for an entry that does not exist.
    bool readIndexEntry(int idxno, std::uint32_t& block, std::string_view& title) const;

private:
    struct Entry {
        std::uint32_t titleOffset;  // in titles_
        std::uint32_t block;
        std::uint32_t titleLength;
    };

    const PDicHeader& m_header;
    PDicFile& m_file;
    std::vector<Entry> m_indexTbl;
    std::string m_titles;
    bool m_loaded = false;
};
