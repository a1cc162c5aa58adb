#include "dictionary/PDicHeader.h"

#include <algorithm>

std::u16string_view describe(PDicError error) {
    switch (error) {
        case PDicError::None:
            return u"";
        case PDicError::AlreadyOpen:
            return u"The reader already has a dictionary open.";
        case PDicError::CannotOpen:
            return u"The file cannot be opened.";
        case PDicError::ShortHeader:
            return u"The file is shorter than a dictionary header.";
        case PDicError::OldVersion:
            return u"The dictionary was made by a version before 4.";
        case PDicError::BlockSizeOutOfRange:
            return u"The header's block size is not 1 to 1024.";
        case PDicError::HeaderSizeOutOfRange:
            return u"The header's size is not 1 to 1024.";
        case PDicError::NoSignature:
            return u"The file has no dictionary signature.";
    }
    return u"";
}

void PDicHeader::put32(std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) m_header[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

PDicError PDicHeader::parse(const std::uint8_t* bytes, std::size_t count) {
    if (count < kSize) return PDicError::ShortHeader;
    std::copy_n(bytes, kSize, m_header.begin());
    if (majorVersion() < 4) return PDicError::OldVersion;
    if (headerSize() < 1 || headerSize() > 1024) return PDicError::HeaderSizeOutOfRange;
    if (blockSize() < 1 || blockSize() > 1024) return PDicError::BlockSizeOutOfRange;
    const auto signatureAt = [&](std::size_t offset) {
        return std::equal(kSignature.begin(), kSignature.end(), m_header.begin() + offset,
                          [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
    };
    if (!signatureAt(13) && !signatureAt(24)) return PDicError::NoSignature;
    if (majorVersion() == 4) {
        // The fields overlap where they come from and where they go: read all first.
        const std::uint32_t extHeader = u32(kV4ExtHeaderSize);
        const std::uint32_t indexCount = u32(kV4IndexCount);
        const std::uint8_t blockBits = m_header[kV4IndexBlockBits];
        m_header[kIndexBlockBits] = blockBits;
        put32(kExtHeaderSize, extHeader);
        put32(kIndexCount, indexCount);
    }
    return PDicError::None;
}
