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
        long extended =
            static_cast<long>(std::uint32_t(n[0]) << 24 | std::uint32_t(n[1]) << 16 | std::uint32_t(n[2]) << 8 | n[3]);
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

ID3Tag::ID3Tag(const ID3Tag& other) : version(other.version), flags(other.flags), size(other.size) {
    frames.reserve(other.frames.size());
    for (const auto& frame : other.frames) frames.push_back(std::make_unique<ID3Frame>(*frame));
}

ID3Tag& ID3Tag::operator=(const ID3Tag& other) {
    if (this != &other) *this = ID3Tag(other);
    return *this;
}

void ID3Tag::setFrame(std::string_view identifier, std::vector<std::uint8_t> data) {
    const int index = findFrame(identifier);
    const auto newSize = static_cast<long long>(data.size());
    long long grown = 0;
    if (index >= 0) {
        ID3Frame& frame = *frames[static_cast<std::size_t>(index)];
        grown = newSize - static_cast<long long>(frame.size);
        frame.size = static_cast<std::uint32_t>(data.size());
        frame.data = std::move(data);
    } else {
        auto frame = std::make_unique<ID3Frame>();
        std::copy_n(identifier.begin(), std::min<std::size_t>(identifier.size(), 4), frame->identifier.begin());
        frame->size = static_cast<std::uint32_t>(data.size());
        frame->data = std::move(data);
        frame->fileOffset = -1;
        frames.insert(frames.begin(), std::move(frame));
        // Counted with a 10-byte header whatever the version: a version 2.2
        // tag gets the 4 bytes its shorter header saves as extra padding.
        grown = newSize + 10;
    }
    size = static_cast<std::uint32_t>(std::max(0LL, static_cast<long long>(size) + grown));
}

bool ID3Tag::removeFrame(std::string_view identifier) {
    const int index = findFrame(identifier);
    if (index < 0) return false;
    const auto at = frames.begin() + index;
    const long long removed = (version == 2 ? 6 : 10) + static_cast<long long>((*at)->size);
    frames.erase(at);
    size = static_cast<std::uint32_t>(std::max(0LL, static_cast<long long>(size) - removed));
    return true;
}

namespace {

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void putSyncsafe(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift : {21, 14, 7, 0}) out.push_back(static_cast<std::uint8_t>((value >> shift) & 0x7F));
}

}  // namespace

std::vector<std::uint8_t> ID3Tag::tagBytes() const {
    if (frames.empty()) return {};
    const std::uint8_t major = static_cast<std::uint8_t>(version & 0xFF);
    std::vector<std::uint8_t> out = {'I', 'D', '3', major, 0, 0, 0, 0, 0, 0};
    for (const auto& frame : frames) {
        // A frame the file ended inside keeps what it had, with a size that says so.
        const auto& data = frame->data;
        if (data.empty()) continue;
        const auto count = static_cast<std::uint32_t>(data.size());
        if (major == 2) {
            out.insert(out.end(), frame->identifier.begin(), frame->identifier.begin() + 3);
            putBigEndian(out, count, 3);
        } else {
            out.insert(out.end(), frame->identifier.begin(), frame->identifier.end());
            // Version 2.4 sizes are syncsafe; plain numbers there would be
            // misread by other readers as soon as a frame reaches 128 bytes.
            if (major == 4)
                putSyncsafe(out, count);
            else
                putBigEndian(out, count, 4);
            out.insert(out.end(), frame->flags.begin(), frame->flags.end());
        }
        out.insert(out.end(), data.begin(), data.end());
    }
    // A tag whose frames outgrew the size it claimed is written whole: the
    // header must never promise less than follows it.
    const std::size_t written = out.size() - 10;
    const std::size_t total = std::max<std::size_t>(size, written);
    out.resize(10 + total, 0);
    std::vector<std::uint8_t> header;
    putSyncsafe(header, static_cast<std::uint32_t>(total));
    std::copy(header.begin(), header.end(), out.begin() + 6);
    return out;
}

bool ID3Tag::writeTag(std::FILE* file) const {
    const std::vector<std::uint8_t> bytes = tagBytes();
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}
