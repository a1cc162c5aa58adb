// A tolerant ID3v2 tag reader and its writer: the header and the frames in
// file order. The reader never rejects a file for a malformed tag; a frame it
// cannot read ends the scan.
//
// Invariant: size counts everything after the 10-byte header that the tag
// claims (frames, their headers and padding); setFrame keeps it in step with
// the frames, and writeTag pads up to it.
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

    // Gives the first frame with this identifier (3 or 4 characters by
    // version) the data, or puts a new frame with it at the front; the tag
    // size changes by what the frames grew.
    void setFrame(std::string_view identifier, std::vector<std::uint8_t> data);
    // Drops the first frame with this identifier; the tag size shrinks by
    // the frame's header and data. False when there is none.
    bool removeFrame(std::string_view identifier);
    // The tag as written: the header (flags 0, no extended header), the frames
    // with data in list order, zero padding up to the size. Empty for a tag
    // without frames. Version 2.4 frame sizes are written syncsafe.
    std::vector<std::uint8_t> tagBytes() const;
    // Writes tagBytes(); false when the file took fewer bytes.
    bool writeTag(std::FILE* file) const;

    ID3Tag() = default;
    // Header fields and every frame duplicated.
    ID3Tag(const ID3Tag& other);
    ID3Tag& operator=(const ID3Tag& other);
    ID3Tag(ID3Tag&&) = default;
    ID3Tag& operator=(ID3Tag&&) = default;

    // The major version byte in the low byte, the revision in the high byte.
    std::uint16_t version = 3;
    std::uint8_t flags = 0;
    // Everything after the 10-byte header.
    std::uint32_t size = 0;
    std::vector<std::unique_ptr<ID3Frame>> frames;

private:
    void readUnsynchronised(std::FILE* file);
};
