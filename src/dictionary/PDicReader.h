// Reads dictionaries in the PDIC file format (version 4 and later, Shift-JIS
// and Unicode/BOCU-1) and finds the records whose title equals, or begins
// with, a word. Read-only; the file stays open until close().
//
// A search keeps only where each hit lies (block, offsets, lengths) and its
// title bytes; hitAt decodes the texts of one hit on demand, reloading its
// data block only when another one is loaded.
//
// Bounds on hostile files: the index holds only the entries its area really
// has; one search reads each physical block at most once and, in total, no
// more block bytes than the file holds, so looping or overlapping block
// references end the search instead of repeating it. Failures are results
// (-1, 0 hits), never exceptions or messages.
//
// Invariants: isOpen() exactly when the file, the index and the data part
// exist; every hit refers to a title inside the title store; the hits and
// the store stay valid until the next search or close().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "dictionary/PDicData.h"
#include "dictionary/PDicFile.h"
#include "dictionary/PDicHeader.h"
#include "dictionary/PDicIndex.h"
#include "dictionary/PDicKey.h"

// Where one hit of the last search lies.
struct PDicHit {
    std::uint32_t indexEntry = 0;
    std::uint32_t block = 0;
    std::uint32_t recordOffset = 0;
    std::uint32_t titleOffset = 0;  // in the title store
    std::uint32_t honbunOffset = 0, yoreiOffset = 0, pronOffset = 0;
    std::uint32_t titleLength = 0, honbunLength = 0, yoreiLength = 0, pronLength = 0;
    int level = 0;
};

// The decoded texts of one hit.
struct PDicHitTexts {
    std::u16string title;
    std::u16string honbun;  // translation
    std::u16string yorei;   // example text
    std::u16string pronunciation;
    int level = 0;
};

// Capacities in UTF-16 units, the terminator of a C buffer included: a text
// is cut to capacity - 1 units.
struct PDicTextLimits {
    std::size_t title = 1024;
    std::size_t honbun = 3000;
    std::size_t yorei = 20000;
    std::size_t pronunciation = 1000;
};

class CPDicReader {
public:
    CPDicReader() = default;
    virtual ~CPDicReader();
    CPDicReader(const CPDicReader&) = delete;
    CPDicReader& operator=(const CPDicReader&) = delete;

    // 0 on success, -1 on failure (already open, unreadable, refused header);
    // lastError() says why.
    int open(const std::u16string& pszFilePath);
    void close();
    bool isOpen() const { return m_open; }
    PDicError lastError() const { return m_error; }
    const PDicHeader& header() const { return m_header; }
    int majorVersion() const { return m_major; }

    // The number of hits; maxHits <= 0 means no limit; truncated becomes 1
    // when the limit ended the search, else 0.
    int search(const std::u16string& keyword, SearchMode mode, int maxHits, int& truncated);
    int hitCount() const { return m_numhit; }
    // Fills the texts and level of hit num of the last search; 0, or -1 for
    // a hit that does not exist or whose block cannot be read.
    int hitAt(int num, PDicHitTexts& texts, const PDicTextLimits& limits = {});

private:
    bool searchBlock(int entry, std::uint32_t block, const PDicKey& key, SearchMode mode, int maxHits, int& truncated);
    void addHit(int entry, std::uint32_t block, const PDicRecord& record);
    std::u16string decode(std::string_view bytes, std::size_t capacity) const;

    PDicFile m_file;
    PDicHeader m_header;
    int m_major = 0;
    std::vector<PDicHit> m_hits;
    int m_numhit = 0;
    std::string m_titleStore;
    std::unique_ptr<CPDicIndex> m_index;
    std::unique_ptr<CPDicData> m_data;
    bool m_open = false;
    PDicError m_error = PDicError::None;
    // Per search: data blocks read so far and the bytes they held.
    std::unordered_set<std::uint32_t> m_visited;
    std::int64_t m_bytesRead = 0;
};
