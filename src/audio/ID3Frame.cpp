#include "audio/ID3Frame.h"

#include <algorithm>
#include <new>

namespace {

bool isAlphanumeric(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

std::uint32_t bigEndian(const std::uint8_t* b, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | b[i];
    return value;
}

// Whether a frame header, padding or the end of the file stands at offset.
bool plausibleNextFrame(std::FILE* file, long offset) {
    long here = std::ftell(file);
    unsigned char next[4] = {};
    bool ok = std::fseek(file, offset, SEEK_SET) == 0;
    std::size_t got = ok ? std::fread(next, 1, 4, file) : 0;
    std::fseek(file, here, SEEK_SET);
    if (!ok) return false;
    if (got == 0 || next[0] == 0) return true;
    if (got < 4) return false;
    // Frame identifiers are capital letters and digits.
    for (unsigned char c : next)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

// Version 2.4 frame sizes are syncsafe (seven bits a byte), but older writers,
// this program's predecessors among them, stored plain numbers there. A size
// with a high bit set can only be plain; otherwise the reading after which
// another frame (or padding) follows wins, syncsafe when both or neither do.
std::uint32_t version4Size(std::FILE* file, const std::uint8_t* b, std::uint32_t plain) {
    if ((b[0] | b[1] | b[2] | b[3]) & 0x80) return plain;
    std::uint32_t syncsafe = std::uint32_t(b[0]) << 21 | std::uint32_t(b[1]) << 14 | std::uint32_t(b[2]) << 7 | b[3];
    if (syncsafe == plain) return plain;
    long dataStart = std::ftell(file);
    if (plausibleNextFrame(file, dataStart + static_cast<long>(syncsafe))) return syncsafe;
    if (plain <= ID3Frame::kMaxSize && plausibleNextFrame(file, dataStart + static_cast<long>(plain))) return plain;
    return syncsafe;
}

}  // namespace

bool ID3Frame::parseHeader(const std::uint8_t* header, std::uint16_t version) {
    if (version == 2) {
        for (int i = 0; i < 3; ++i) identifier[i] = static_cast<char>(header[i]);
        size = bigEndian(header + 3, 3);
    } else {
        for (int i = 0; i < 4; ++i) identifier[i] = static_cast<char>(header[i]);
        size = bigEndian(header + 4, 4);
        flags = {header[8], header[9]};
    }
    return isAlphanumeric(identifier[0]) && isAlphanumeric(identifier[1]) && isAlphanumeric(identifier[2]);
}

std::size_t ID3Frame::read(std::FILE* file, std::uint16_t version) {
    data.clear();
    identifier.fill(0);
    flags.fill(0);
    fileOffset = std::ftell(file);
    std::uint8_t header[10] = {};
    const std::size_t headerLength = version == 2 ? 6 : 10;
    const std::size_t got = std::fread(header, 1, headerLength, file);
    if (!parseHeader(header, version)) {
        std::fseek(file, -static_cast<long>(got), SEEK_CUR);
        return 0;
    }
    if (version == 4 && got == headerLength) size = version4Size(file, header + 4, size);
    if (size > kMaxSize) return 0;
    try {
        data.resize(size);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    // A file that ends inside the frame leaves only what it has.
    data.resize(std::fread(data.data(), 1, size, file));
    return headerLength + size;
}

std::size_t ID3Frame::read(const std::uint8_t* bytes, std::size_t available, std::uint16_t version) {
    data.clear();
    identifier.fill(0);
    flags.fill(0);
    fileOffset = -1;
    const std::size_t headerLength = version == 2 ? 6 : 10;
    if (available < headerLength || !parseHeader(bytes, version) || size > kMaxSize) return 0;
    const std::size_t present = std::min<std::size_t>(size, available - headerLength);
    data.assign(bytes + headerLength, bytes + headerLength + present);
    return headerLength + size;
}

std::vector<std::uint8_t> ID3Frame::content(std::uint16_t version, std::uint8_t tagFlags) const {
    std::vector<std::uint8_t> bytes;
    std::size_t skip = 0;
    const std::uint8_t format = flags[1];
    if (version == 4) {
        constexpr std::uint8_t kGroup = 0x40, kCompressed = 0x08, kEncrypted = 0x04, kUnsynchronised = 0x02,
                               kDataLength = 0x01;
        if (format & (kCompressed | kEncrypted)) return {};
        bytes =
            (format & kUnsynchronised) || (tagFlags & 0x80) ? removeUnsynchronisation(data.data(), data.size()) : data;
        skip = ((format & kGroup) ? 1 : 0) + ((format & kDataLength) ? 4 : 0);
    } else {
        bytes = data;
        if (version == 3) {
            constexpr std::uint8_t kCompressed = 0x80, kEncrypted = 0x40, kGroup = 0x20;
            if (format & (kCompressed | kEncrypted)) return {};
            skip = (format & kGroup) ? 1 : 0;
        }
    }
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(skip, bytes.size())));
    return bytes;
}

std::vector<std::uint8_t> removeUnsynchronisation(const std::uint8_t* bytes, std::size_t count) {
    std::vector<std::uint8_t> out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == 0xFF && i + 1 < count && bytes[i + 1] == 0x00) ++i;
    }
    return out;
}
