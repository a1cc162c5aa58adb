// A small writer of PDIC dictionary files for the tests and benchmarks,
// written from the format's documented layout: the 256-byte header (the
// version-4 packing included), an optional extended header, the index of
// first titles, and data blocks of prefix-compressed records, in Shift-JIS
// or in BOCU-1. Texts are encoded by ICU (windows-31j and BOCU-1), so the
// reader's own decoders are checked against an independent encoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrix::test {

struct PDicEntry {
    std::u16string title;
    std::u16string honbun;
    std::u16string yorei;
    std::u16string pronunciation;
    int level = 0;
    // Raw extension items put before the texts' items (type byte first).
    std::string extraItems;
};

struct PDicLayout {
    enum class Encoding { ShiftJis, Unicode };
    Encoding encoding = Encoding::ShiftJis;
    int majorVersion = 5;
    int blockSize = 256;
    bool indexBits32 = false;
    // Record length fields of 32 bits in every data block (bit 15 of the block word).
    bool wideLengths = false;
    bool signatureAt24 = false;
    std::uint32_t extHeaderSize = 0;
    // At most this many records in one data block (0: as many as fit in one
    // physical block; a record that does not fit makes the block span more).
    int recordsPerBlock = 0;
    // Data blocks span at least this many physical blocks.
    int minimumSpan = 1;
};

// What the writer made, for tests that look at the file's structure.
struct PDicFileInfo {
    int dataBlocks = 0;
    int indexBlocks = 0;
    int maxSpan = 0;
    // Records whose title shares bytes with the one before it.
    int compressedRecords = 0;
    // Where each data block's word and records start, by data block number.
    std::vector<std::size_t> blockOffsets;
    std::size_t indexOffset = 0;
};

// The file's bytes; entries are sorted by the writer in the order the
// reader compares titles (code-page-932 bytes, or UTF-16 code units).
std::string buildPDic(std::vector<PDicEntry> entries, const PDicLayout& layout, PDicFileInfo* info = nullptr);
bool writePDic(const std::string& path, const std::vector<PDicEntry>& entries, const PDicLayout& layout,
               PDicFileInfo* info = nullptr);

// count distinct lower-case words of 2 to 9 letters, sorted, the same for a
// seed in every run; letters lean towards the start of the alphabet, so that
// many words share long prefixes.
std::vector<std::u16string> generatedHeadwords(int count, unsigned seed);

// The independent encoders and decoder (ICU).
std::string encodeBocu1(const std::u16string& text);
std::string encodeWindows31j(const std::u16string& text);
// Decodes BOCU-1 with ICU, stopping at the first illegal sequence.
std::u16string icuDecodeBocu1(const std::string& bytes);

}  // namespace veltrix::test
