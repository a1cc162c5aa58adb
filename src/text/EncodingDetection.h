// Recognising the encoding of text without a byte-order mark from byte
// statistics, and the EUC-JP to Shift_JIS step that lets EUC-JP text be read
// through the narrow code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct EncodingCounts {
    std::int64_t sjis = 0;
    std::int64_t utf8 = 0;
    std::int64_t euc = 0;
    bool hasZeroByte = false;
};

// Each count is the number of bytes that take part in sequences valid in that
// encoding (see detectEncoding).
std::int64_t shiftJisCount(const unsigned char* data, std::size_t n);
std::int64_t utf8Count(const unsigned char* data, std::size_t n);
// Zero as soon as a byte of 80 or more (not the last byte) starts no EUC-JP sequence.
std::int64_t eucJpCount(const unsigned char* data, std::size_t n);

// True when the data is well-formed UTF-8 holding at least one multi-byte sequence.
bool isMultiByteUtf8(const unsigned char* data, std::size_t n);

// The encoding code for data without a byte-order mark: 7 when it holds a zero
// byte, else 0, 3 or 6 from the counts.
//
// Well-formed UTF-8 with a multi-byte sequence and no zero byte is always 3:
// its UTF-8 count is n, so only an EUC-JP count of n with a Shift_JIS count
// short of n could make it 6. An EUC-JP count of n leaves no byte from 80 to A0
// but 8E and 8F leading a pair or triple of bytes from A1 on, and none of them
// last; Shift_JIS then finds a trail byte after every lead (UTF-8 follows
// E0 to F4 with a byte from 80 to BF too) and no byte it cannot take alone.
// The file reader relies on this to recognise UTF-8 by decoding it.
int detectEncoding(const unsigned char* data, std::size_t n);

// Rewrites EUC-JP bytes as Shift_JIS: JIS X 0208 pairs become their Shift_JIS
// pair, half-width katakana (8E xx) the single Shift_JIS byte xx, and JIS X 0212
// triples (8F xx yy), which Shift_JIS cannot hold, a "?".
void eucJpToShiftJis(std::string& bytes);
