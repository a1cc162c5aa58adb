// A tolerant ID3v2 tag reader: the header and the frames in file order. It
// never rejects a file for a malformed tag; a frame it cannot read ends the scan.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

#include "audio/ID3Frame.h"

class ID3Tag {
public:
    // Reads the 10-byte header at the file's position (its start) and steps
    // over an extended header. Without "ID3" there the file goes back to 0.
    bool readHeader(std::FILE* file);
    // clearFrames, the header, then the frames up to the end of the tag. A
    // version 2.2 or 2.3 tag unsynchronised as a whole (flag 0x80) is read into
    // memory and undone first; the file is left at the end of the tag then.
    bool readTag(std::FILE* file);
    // The first frame from startIndex on whose identifier matches the first 3
    // (version 2.2) or 4 characters of identifier; -1 when there is none.
    int findFrame(std::string_view identifier, int startIndex = 0) const;
    void clearFrames();

    // The major version byte in the low byte, the revision in the high byte.
    std::uint16_t version = 3;
    std::uint8_t flags = 0;
    // Everything after the 10-byte header.
    std::uint32_t size = 0;
    std::vector<std::unique_ptr<ID3Frame>> frames;

private:
    void readUnsynchronised(std::FILE* file);
};
