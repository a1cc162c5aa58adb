#include "toolkit/BitmapCache.h"

BitmapCache& BitmapCache::instance() {
    // Never destroyed: windows may still release bitmaps during exit.
    static auto* cache = new BitmapCache;
    return *cache;
}

std::shared_ptr<const Bitmap> BitmapCache::find(const std::u16string& key) const {
    std::lock_guard lock(mutex_);
    auto it = bitmaps_.find(key);
    return it == bitmaps_.end() ? nullptr : it->second;
}

std::shared_ptr<const Bitmap> BitmapCache::load(const std::u16string& key, const std::u16string& path) {
    auto bitmap = std::make_shared<Bitmap>();
    if (!bitmap->loadImage(path, 32)) return nullptr;
    put(key, bitmap);
    return bitmap;
}

void BitmapCache::put(const std::u16string& key, std::shared_ptr<const Bitmap> bitmap) {
    if (!bitmap) return;
    std::lock_guard lock(mutex_);
    bitmaps_[key] = std::move(bitmap);
}

void BitmapCache::remove(const std::u16string& key) {
    std::lock_guard lock(mutex_);
    bitmaps_.erase(key);
}

void BitmapCache::clear() {
    std::lock_guard lock(mutex_);
    bitmaps_.clear();
}

std::size_t BitmapCache::size() const {
    std::lock_guard lock(mutex_);
    return bitmaps_.size();
}
