#include "audio/ID3Tag.h"

#include <algorithm>
#include <cstring>

bool ID3Tag::readHeader(std::FILE* file) {
    char id[3];
    if (std::fread(id, 1, 3, file) != 3 || std::memcmp(id, "ID3", 3) != 0) {
        std::fseek(file, 0, SEEK_SET);
        return false;
    }
    std::uint8_t b[7] = {};
    std::fread(b, 1, 7, file);
    version = static_cast<std::uint16_t>(b[0] | b[1] << 8);
    flags = b[2];
    size = std::uint32_t(b[3] & 0x7F) << 21 | std::uint32_t(b[4] & 0x7F) << 14 | std::uint32_t(b[5] & 0x7F) << 7 |
           (b[6] & 0x7F);
    if (flags & 0x40) {
        std::uint8_t n[4] = {};
        std::fread(n, 1, 4, file);
        long extended = static_cast<long>(std::uint32_t(n[0]) << 24 | std::uint32_t(n[1]) << 16 |
                                          std::uint32_t(n[2]) << 8 | n[3]);
        std::fseek(file, extended, SEEK_CUR);
    }
    return true;
}

bool ID3Tag::readTag(std::FILE* file) {
    clearFrames();
    if (!readHeader(file)) return false;
    if (version <= 3 && (flags & 0x80)) {
        readUnsynchronised(file);
        return true;
    }
    // Signed, so that a last frame that claims more than the tag holds ends
    // the scan instead of wrapping the count around.
    long long remaining = size;
    while (remaining > 0 && !std::feof(file)) {
        auto frame = std::make_unique<ID3Frame>();
        std::size_t consumed = frame->read(file, version);
        if (consumed == 0) {
            std::fseek(file, static_cast<long>(size) + 10, SEEK_SET);
            break;
        }
        frames.push_back(std::move(frame));
        remaining -= static_cast<long long>(consumed);
    }
    return true;
}

void ID3Tag::readUnsynchronised(std::FILE* file) {
    // Versions 2.2 and 2.3 unsynchronise the whole tag after its header:
    // frame headers and sizes count the bytes as they were before.
    const long end = static_cast<long>(size) + 10;
    const long here = std::ftell(file);
    std::vector<std::uint8_t> stored(static_cast<std::size_t>(std::max(end - here, 0L)));
    stored.resize(std::fread(stored.data(), 1, stored.size(), file));
    const std::vector<std::uint8_t> body = removeUnsynchronisation(stored.data(), stored.size());
    std::size_t at = 0;
    while (at < body.size()) {
        auto frame = std::make_unique<ID3Frame>();
        const std::size_t consumed = frame->read(body.data() + at, body.size() - at, version);
        if (consumed == 0) break;
        frames.push_back(std::move(frame));
        at += consumed;
    }
    std::fseek(file, end, SEEK_SET);
}

int ID3Tag::findFrame(std::string_view identifier, int startIndex) const {
    const std::size_t length = version == 2 ? 3 : 4;
    if (identifier.size() < length) return -1;
    for (std::size_t i = static_cast<std::size_t>(std::max(startIndex, 0)); i < frames.size(); ++i)
        if (std::memcmp(frames[i]->identifier.data(), identifier.data(), length) == 0) return static_cast<int>(i);
    return -1;
}

void ID3Tag::clearFrames() {
    frames.clear();
    size = 0;
    flags = 0;
}
