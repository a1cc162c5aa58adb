// One raw ID3v2 frame: its header fields and data, and where its header stands
// in the file so that a reader can go back to it.
//
// Invariant: data holds the frame's bytes as the tag stores them, as far as the
// file has them (fewer than size when the file ends inside the frame). For a
// version 2.2 or 2.3 tag that was unsynchronised as a whole, that is after the
// unsynchronisation was undone; content() undoes a version 2.4 frame's own.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

class ID3Frame {
public:
    // Frames larger than this end the scan of a tag: no lyrics frame is that big,
    // and a corrupt size must not make the reader allocate gigabytes.
    static constexpr std::uint32_t kMaxSize = 0x9FFFFF;

    // Reads the frame at the file's position for a tag of the given version word
    // (2 for version 2.2: 3-character identifiers and 24-bit sizes). Returns the
    // bytes consumed, or 0 when no frame stands there: for an identifier that is
    // not letters and digits the file is put back where it was.
    std::size_t read(std::FILE* file, std::uint16_t version);
    // The same from a tag body held in memory (an unsynchronised version 2.2 or
    // 2.3 tag, undone): the frame at `bytes`, with `available` bytes left.
    std::size_t read(const std::uint8_t* bytes, std::size_t available, std::uint16_t version);

    // The frame's fields as they lie: for version 2.4, the unsynchronisation
    // undone (when the frame's flag or the tag's flag `tagFlags` says it was
    // applied) and past the group byte and data length the flags announce; for
    // version 2.3, past the group byte. Empty for compressed or encrypted
    // frames, whose fields cannot be read.
    std::vector<std::uint8_t> content(std::uint16_t version, std::uint8_t tagFlags) const;

    std::array<char, 4> identifier{};
    std::uint32_t size = 0;
    std::array<std::uint8_t, 2> flags{};
    std::vector<std::uint8_t> data;
    long fileOffset = 0;  // -1 for frames read from memory

private:
    // Fills identifier, size and flags from a header; false when no frame
    // stands there (an identifier that is not letters and digits).
    bool parseHeader(const std::uint8_t* header, std::uint16_t version);
};

// Undoes ID3 unsynchronisation: drops each 0x00 that follows a 0xFF.
std::vector<std::uint8_t> removeUnsynchronisation(const std::uint8_t* bytes, std::size_t count);
