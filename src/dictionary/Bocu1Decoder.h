// Decoding of BOCU-1 (Binary Ordered Compression for Unicode), the encoding
// of every text in a Unicode PDIC dictionary.
//
// BOCU-1 writes each code point as the difference from a "previous" value
// that follows the script of the text, in one to four bytes; the bytes 0x00
// to 0x20 stand for themselves and 0xFF resets the state. The decoder keeps
// that state between bytes; a text is always decoded from a fresh state.
//
// Invariants: 0 <= trailsLeft() <= 3; while trailsLeft() is 0 the next byte
// is a lead byte. An illegal byte or a result outside U+0000..U+10FFFF puts
// the decoder back into its fresh state and is reported as Illegal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class Bocu1Decoder {
public:
    enum class Step { CodePoint, NeedMore, Illegal };

    // Feeds one byte; on Step::CodePoint, codePoint() holds the decoded value.
    Step feed(std::uint8_t byte);
    char32_t codePoint() const { return codePoint_; }
    int trailsLeft() const { return trailsLeft_; }
    void reset();

private:
    Step leadByte(std::uint8_t byte);
    Step trailByte(std::uint8_t byte);
    Step deliver(std::int32_t value);

    std::int32_t previous_ = kAsciiPrevious;
    std::int32_t difference_ = 0;
    int trailsLeft_ = 0;
    char32_t codePoint_ = 0;

    static constexpr std::int32_t kAsciiPrevious = 0x40;
};

// Decodes bytes from a fresh state into UTF-16. The text ends at an illegal
// sequence (what came before it stays), at U+0000, or when maxUnits
// code units are written (a code point that would not fit whole is left out).
std::u16string decodeBocu1(std::string_view bytes, std::size_t maxUnits = std::u16string::npos);
