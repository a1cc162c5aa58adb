#include "platform/controls/DibCanvas.h"

#include <algorithm>

namespace veltrix::platform::controls {

DibCanvas::DibCanvas(int width, int height) : width_(std::max(width, 1)), height_(std::max(height, 1)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) return;
    pixels_ = static_cast<std::uint32_t*>(bits);
    std::fill_n(pixels_, static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u);
    dc_.reset(CreateCompatibleDC(nullptr));
    if (dc_) previous_ = SelectObject(dc_.get(), bitmap_.get());
}

DibCanvas::~DibCanvas() {
    // The bitmap must leave the DC before either is deleted.
    if (dc_ && previous_) SelectObject(dc_.get(), previous_);
}

void DibCanvas::makeDrawnOpaque(std::uint32_t untouched) {
    if (!pixels_) return;
    const std::size_t count = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t rgb = pixels_[i] & 0x00FFFFFFu;
        pixels_[i] = (pixels_[i] >> 24) || rgb != untouched ? (rgb | 0xFF000000u) : 0u;
    }
}

}  // namespace veltrix::platform::controls
