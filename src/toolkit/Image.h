// A bitmap cut into a grid of equal cells (button faces, tool images), with a
// placement (position, scale, opacity) for Graphics::drawPlacedImage.
#pragma once

#include <string>

#include "toolkit/Bitmap.h"

// A rectangle as x, y, width and height (the toolkit's convention).
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class Image {
public:
    Image() = default;
    virtual ~Image() = default;
    // Loads the bitmap with 32 bits per pixel and computes the cell size.
    virtual bool load(const std::u16string& path);

    // A blank 32-bit bitmap; each side limited to 4096 pixels.
    bool create(int width, int height);
    Rect cellRect(int column, int row) const;

    void setGrid(int columns, int rows);
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    bool loaded() const { return loaded_; }

    double opacity = 1.0;
    int x = 0;
    int y = 0;
    double scaleX = 1.0;
    double scaleY = 1.0;

    Bitmap& bitmap() { return bitmap_; }
    const Bitmap& bitmap() const { return bitmap_; }
    int getWidth() const { return bitmap_.getWidth(); }
    int getHeight() const { return bitmap_.getHeight(); }
    int getStride() const { return bitmap_.getStride(); }
    int getBitsPerPixel() const { return bitmap_.getBitsPerPixel(); }
    BYTE* getPixels() { return bitmap_.getPixels(); }
    COLORREF getPixel(int px, int py) const { return bitmap_.getPixel(px, py); }
    bool isTransparent() const { return bitmap_.isTransparent(); }
    COLORREF getTransparentColor() const { return bitmap_.getTransparentColor(); }

private:
    void computeCells();

    Bitmap bitmap_;
    int columns_ = 16;
    int rows_ = 16;
    int cellWidth_ = 1;
    int cellHeight_ = 1;
    bool loaded_ = false;
};
