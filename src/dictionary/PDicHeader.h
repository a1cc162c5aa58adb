// The 256-byte header of a PDIC dictionary file, kept in one layout whatever
// the file's version (a version-4 header is rearranged into it), with the
// checks that decide whether the file is read at all.
//
// Invariants once parse() accepted the bytes: majorVersion() >= 4,
// 1 <= blockSize() <= 1024, 1 <= headerSize() <= 1024, and the signature
// stands at offset 13 or 24.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// Why a file was refused (None: it was accepted).
enum class PDicError {
    None,
    AlreadyOpen,
    CannotOpen,
    ShortHeader,
    OldVersion,
    BlockSizeOutOfRange,
    HeaderSizeOutOfRange,
    NoSignature,
};
std::u16string_view describe(PDicError error);

class PDicHeader {
public:
    static constexpr std::size_t kSize = 256;
    static constexpr std::string_view kSignature = "=============== Dictionary for PDIC ===============";
    // Offsets of the fields in the kept layout.
    static constexpr std::size_t kVersion = 140;
    static constexpr std::size_t kBlockSize = 146;
    static constexpr std::size_t kIndexBlockCount = 148;
    static constexpr std::size_t kHeaderSize = 150;
    static constexpr std::size_t kDictFlags = 165;
    static constexpr std::size_t kIndexBlockBits = 182;
    static constexpr std::size_t kExtHeaderSize = 184;
    static constexpr std::size_t kIndexCount = 192;
    // Where a version-4 file stores the fields that move.
    static constexpr std::size_t kV4ExtHeaderSize = 182;
    static constexpr std::size_t kV4IndexCount = 190;
    static constexpr std::size_t kV4IndexBlockBits = 198;
    static constexpr std::uint8_t kUnicodeFlag = 0x08;

    // Takes the first 256 bytes of a file; None when the file is one the
    // reader accepts, otherwise why not.
    PDicError parse(const std::uint8_t* bytes, std::size_t count);

    const std::array<std::uint8_t, kSize>& bytes() const { return m_header; }
    int majorVersion() const { return version() >> 8; }
    std::uint16_t version() const { return u16(kVersion); }
    int blockSize() const { return static_cast<std::int16_t>(u16(kBlockSize)); }
    int indexBlockCount() const { return static_cast<std::int16_t>(u16(kIndexBlockCount)); }
    int headerSize() const { return static_cast<std::int16_t>(u16(kHeaderSize)); }
    bool unicode() const { return (m_header[kDictFlags] & kUnicodeFlag) != 0; }
    // The width of a block number in the index: 4 bytes or 2.
    int indexBlockWidth() const { return m_header[kIndexBlockBits] == 1 ? 4 : 2; }
    std::uint32_t extHeaderSize() const { return u32(kExtHeaderSize); }
    std::int32_t indexCount() const { return static_cast<std::int32_t>(u32(kIndexCount)); }

    // Where the index entries start, and where physical block n starts. Both
    // follow the extended header, which lies between the header and the index.
    std::int64_t indexStart() const { return std::int64_t{headerSize()} + extHeaderSize(); }
    std::int64_t blockStart(std::uint32_t block) const {
        return indexStart() + (std::int64_t{indexBlockCount()} + block) * blockSize();
    }
    // The bytes the index area may take: its physical blocks (none for a
    // negative count).
    std::int64_t indexAreaSize() const {
        return indexBlockCount() > 0 ? std::int64_t{indexBlockCount()} * blockSize() : 0;
    }

private:
    std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(m_header[at] | m_header[at + 1] << 8); }
    std::uint32_t u32(std::size_t at) const {
        return m_header[at] | m_header[at + 1] << 8 | m_header[at + 2] << 16 | std::uint32_t{m_header[at + 3]} << 24;
    }
    void put32(std::size_t at, std::uint32_t value);

    std::array<std::uint8_t, kSize> m_header{};
};
