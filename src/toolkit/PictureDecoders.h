// Readers for the picture types the system's picture loader took on Windows:
// GIF (the first frame, with its transparent colour) and JPEG. Both read from
// memory, check every size, and report failure with a reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<BYTE> bgrx;             // top-down rows of width × 4 bytes
    COLORREF transparent = 0xFF000000;  // the GIF's transparent colour, or none
};

bool decodeGif(const std::vector<BYTE>& file, int maxSide, DecodedPicture& out, std::u16string& error);
bool decodeJpeg(const std::vector<BYTE>& file, int maxSide, DecodedPicture& out, std::u16string& error);
