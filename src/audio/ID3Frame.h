// One raw ID3v2 frame: its header fields and data, and where its header stands
// in the file so that a reader can go back to it.
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

    std::array<char, 4> identifier{};
    std::uint32_t size = 0;
    std::array<std::uint8_t, 2> flags{};
    std::vector<std::uint8_t> data;
    long fileOffset = 0;
};
