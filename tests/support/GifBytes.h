// GIF files written byte by byte, for pictures no encoder would make: frames
// that declare any size while holding (almost) no pixel data.
#pragma once

#include <cstdint>
#include <string>

namespace gifbytes {

inline std::string le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }

// "GIF89a", the screen and a global table of two colours (black, white).
inline std::string header(unsigned screenWidth, unsigned screenHeight) {
    return "GIF89a" + le16(screenWidth) + le16(screenHeight) + std::string("\x80\x00\x00", 3) +
           std::string("\x00\x00\x00\xFF\xFF\xFF", 6);
}

// An image descriptor declaring the size, then an empty run of pixel data.
inline std::string emptyFrame(unsigned width, unsigned height) {
    return "\x2C" + le16(0) + le16(0) + le16(width) + le16(height) + std::string("\x00\x02\x00", 3);
}

// A 2 × 1 frame at the top left: white, black (LZW codes clear, 1, 0, end).
inline std::string twoPixelFrame() {
    return "\x2C" + le16(0) + le16(0) + le16(2) + le16(1) + std::string("\x00\x02\x02\x0C\x0A\x00", 6);
}

inline const std::string kTrailer = "\x3B";

// A small file that declares `frames` frames of width × height on a small screen.
inline std::string manyHugeFrames(int frames, unsigned width, unsigned height) {
    std::string gif = header(100, 100);
    for (int i = 0; i < frames; ++i) gif += emptyFrame(width, height);
    return gif + kTrailer;
}

}  // namespace gifbytes
