#include "toolkit/Image.h"

#include <algorithm>

bool Image::load(const std::u16string& path) {
    loaded_ = bitmap_.loadImage(path, 32);
    if (loaded_) computeCells();
    return loaded_;
}

bool Image::create(int width, int height) {
    loaded_ = bitmap_.create(std::min(width, Bitmap::kMaxSide), std::min(height, Bitmap::kMaxSide), 32);
    if (loaded_) computeCells();
    return loaded_;
}

void Image::setGrid(int columns, int rows) {
    columns_ = std::max(1, columns);
    rows_ = std::max(1, rows);
    if (!bitmap_.empty()) computeCells();
}

void Image::computeCells() {
    cellWidth_ = std::max(1, bitmap_.getWidth() / columns_);
    cellHeight_ = std::max(1, bitmap_.getHeight() / rows_);
}

Rect Image::cellRect(int column, int row) const {
    return {column * cellWidth_, row * cellHeight_, cellWidth_, cellHeight_};
}
