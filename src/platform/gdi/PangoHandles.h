// Owners for the Pango and GLib objects the native layer creates (layouts,
// font maps, font descriptions, attribute and tab lists): each releases its
// object once, on every path out.
//
// Native layer only: nothing above src/platform includes a Pango header.
#pragma once

// Before Pango: GLib defines TRUE and FALSE as macros when they are not yet known.
#include "platform/win32.h"

#include <pango/pango.h>

#include "platform/common/UniqueC.h"

namespace veltrix::platform {

// Any GObject (PangoLayout, PangoFontMap, PangoContext ...), released with
// g_object_unref.
template <class T>
using UniqueGObject = UniqueC<T, g_object_unref>;

// Memory GLib hands over to be freed with g_free (arrays of borrowed pointers).
template <class T>
using UniqueGMemory = UniqueC<T, g_free>;

using UniquePangoLayout = UniqueGObject<PangoLayout>;
using UniquePangoFontDescription = UniqueC<PangoFontDescription, pango_font_description_free>;
using UniquePangoAttrList = UniqueC<PangoAttrList, pango_attr_list_unref>;
using UniquePangoTabArray = UniqueC<PangoTabArray, pango_tab_array_free>;
using UniquePangoGlyphString = UniqueC<PangoGlyphString, pango_glyph_string_free>;

}  // namespace veltrix::platform
