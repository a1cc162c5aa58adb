// Code page 932 (Shift_JIS with the Microsoft extensions) as lookup tables,
// built once from the C library's CP932 converter. Table look-ups make reading a
// large Shift_JIS file several times faster than converting it through iconv.
//
// Invariants: every byte pair that decodes to a character encodes back to the
// pair Windows prefers for it (where NEC and IBM extensions give one character
// two codes, the C library's encoder decides).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

class ShiftJisTable {
public:
    static const ShiftJisTable& instance();

    // Windows writes this for a byte pair that maps to no character.
    static constexpr char16_t kUnmappedPair = 0x30FB;

    // Decodes n bytes into out (room for n units). Returns the units written.
    std::size_t decode(const unsigned char* data, std::size_t n, char16_t* out) const;
    std::size_t decodedLength(const unsigned char* data, std::size_t n) const;
    // Appends the encoding of n units; unmappable characters become defaultChar.
    void encode(const char16_t* text, std::size_t n, std::string& out, const std::string& defaultChar,
                bool* usedDefault) const;

    static bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
    static bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

private:
    ShiftJisTable();

    std::array<char16_t, 256> m_single{};
    // Indexed by (lead - 0x80) * 256 + trail; 0 where unmapped.
    std::vector<char16_t> m_double;
    // Indexed by the UTF-16 unit: the one or two bytes as (lead << 8 | trail),
    // or a single byte; 0 where unmappable (U+0000 is handled apart).
    std::vector<std::uint16_t> m_encode;
};

}  // namespace platform
