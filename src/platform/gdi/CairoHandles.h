// Owners for the Cairo objects the native layer creates: each releases its
// object once, on every path out of the scope or object that holds it. A
// surface another owner keeps is shared by taking a reference of one's own
// (shareSurface), never by copying the raw pointer.
//
// Native layer only (and tools and tests that draw with Cairo directly):
// nothing above src/platform includes a Cairo header.
#pragma once

#include <cairo.h>

#include "platform/common/UniqueC.h"

namespace veltrix::platform {

using UniqueCairo = UniqueC<cairo_t, cairo_destroy>;
using UniqueCairoSurface = UniqueC<cairo_surface_t, cairo_surface_destroy>;
using UniqueCairoRegion = UniqueC<cairo_region_t, cairo_region_destroy>;
using UniqueCairoFontOptions = UniqueC<cairo_font_options_t, cairo_font_options_destroy>;

// A reference of the caller's own to a surface that stays held elsewhere.
inline UniqueCairoSurface shareSurface(cairo_surface_t* surface) {
    return UniqueCairoSurface(surface ? cairo_surface_reference(surface) : nullptr);
}

}  // namespace veltrix::platform
