// An owned set of pixel rectangles (a Cairo region) used for update regions and
// clipping. Copyable; empty by default.
#pragma once

#include "platform/api/Types.h"
#include "platform/gdi/CairoHandles.h"

namespace veltrix::platform {

class Region {
public:
    Region() : region_(cairo_region_create()) {}
    explicit Region(const RECT& r);
    Region(const Region& other) : region_(cairo_region_copy(other.region_.get())) {}
    Region& operator=(const Region& other);

    bool empty() const { return cairo_region_is_empty(region_.get()); }
    RECT bounds() const;
    void clear();
    void unite(const RECT& r);
    void unite(const Region& r) { cairo_region_union(region_.get(), r.region_.get()); }
    void intersect(const RECT& r);
    void intersect(const Region& r) { cairo_region_intersect(region_.get(), r.region_.get()); }
    void subtract(const RECT& r);
    void subtract(const Region& r) { cairo_region_subtract(region_.get(), r.region_.get()); }
    void translate(int dx, int dy) { cairo_region_translate(region_.get(), dx, dy); }
    bool contains(int x, int y) const { return cairo_region_contains_point(region_.get(), x, y); }
    int count() const { return cairo_region_num_rectangles(region_.get()); }
    RECT rect(int i) const;
    // Adds the region to the Cairo path (for cairo_clip).
    void addToPath(cairo_t* cr) const;

private:
    UniqueCairoRegion region_;
};

}  // namespace veltrix::platform
