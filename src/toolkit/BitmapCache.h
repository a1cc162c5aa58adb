// The process-wide cache of loaded bitmaps, keyed by the path they were asked
// for, so that windows sharing a picture (tool-bar glyphs, button faces) read
// its file once.
//
// Bitmaps are shared read-only: a cached bitmap is never changed, and one
// replaced or dropped from the cache lives on while a holder keeps it. Safe to
// use from any thread.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "toolkit/Bitmap.h"

class BitmapCache {
public:
    static BitmapCache& instance();

    // The bitmap cached under key, or null.
    std::shared_ptr<const Bitmap> find(const std::u16string& key) const;
    // Loads the file at path with 32 bits per pixel and caches it under key;
    // null (and nothing cached) when it cannot be read.
    std::shared_ptr<const Bitmap> load(const std::u16string& key, const std::u16string& path);
    void put(const std::u16string& key, std::shared_ptr<const Bitmap> bitmap);
    void remove(const std::u16string& key);
    void clear();
    std::size_t size() const;

private:
    BitmapCache() = default;

    mutable std::mutex mutex_;
    std::map<std::u16string, std::shared_ptr<const Bitmap>> bitmaps_;
};
