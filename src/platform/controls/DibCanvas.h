// A top-down 32-bit DIB section selected into a memory DC: a small canvas
// the layer's controls draw a picture on before handing it to an image list.
// Internal to src/platform.
#pragma once

#include <cstdint>

#include "platform/api/GdiHandles.h"

namespace veltrix::platform::controls {

class DibCanvas {
public:
    // Every pixel starts as 0 (transparent black).
    DibCanvas(int width, int height);
    explicit operator bool() const { return bitmap_ && dc_; }
    HDC dc() const { return dc_.get(); }
    HBITMAP bitmap() const { return bitmap_.get(); }
    // Row-major BGRA pixels; null when the canvas could not be made.
    std::uint32_t* pixels() const { return pixels_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Marks every pixel drawn so far as opaque (GDI drawing leaves alpha 0),
    // keeping those still 0 transparent.
    void makeDrawnOpaque(std::uint32_t untouched = 0);

private:
    int width_;
    int height_;
    std::uint32_t* pixels_ = nullptr;
    UniqueBitmap bitmap_;
    UniqueDC dc_;
    HGDIOBJ previous_ = nullptr;

public:
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
};

}  // namespace veltrix::platform::controls
