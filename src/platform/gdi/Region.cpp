#include "platform/gdi/Region.h"

namespace veltrix::platform {

namespace {
cairo_rectangle_int_t toCairo(const RECT& r) {
    return {r.left, r.top, r.right > r.left ? r.right - r.left : 0, r.bottom > r.top ? r.bottom - r.top : 0};
}
}  // namespace

Region::Region(const RECT& r) {
    cairo_rectangle_int_t c = toCairo(r);
    region_.reset(cairo_region_create_rectangle(&c));
}

Region& Region::operator=(const Region& other) {
    if (this != &other) region_.reset(cairo_region_copy(other.region_.get()));
    return *this;
}

RECT Region::bounds() const {
    cairo_rectangle_int_t c;
    cairo_region_get_extents(region_.get(), &c);
    return {c.x, c.y, c.x + c.width, c.y + c.height};
}

void Region::clear() { region_.reset(cairo_region_create()); }

void Region::unite(const RECT& r) {
    cairo_rectangle_int_t c = toCairo(r);
    if (c.width > 0 && c.height > 0) cairo_region_union_rectangle(region_.get(), &c);
}

void Region::intersect(const RECT& r) {
    cairo_rectangle_int_t c = toCairo(r);
    cairo_region_intersect_rectangle(region_.get(), &c);
}

void Region::subtract(const RECT& r) {
    cairo_rectangle_int_t c = toCairo(r);
    if (c.width > 0 && c.height > 0) cairo_region_subtract_rectangle(region_.get(), &c);
}

RECT Region::rect(int i) const {
    cairo_rectangle_int_t c;
    cairo_region_get_rectangle(region_.get(), i, &c);
    return {c.x, c.y, c.x + c.width, c.y + c.height};
}

void Region::addToPath(cairo_t* cr) const {
    int n = count();
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t c;
        cairo_region_get_rectangle(region_.get(), i, &c);
        cairo_rectangle(cr, c.x, c.y, c.width, c.height);
    }
}

}  // namespace veltrix::platform
