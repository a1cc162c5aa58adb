// Ownership of an object that a C library hands out and takes back with one
// release function (cairo_destroy, pango_font_description_free, av_frame_free,
// curl_easy_cleanup, sqlite3_close ...).
//
//     using UniqueCairo = UniqueC<cairo_t, cairo_destroy>;
//     UniqueCairo cr(cairo_create(surface));   // released on every path out
//
// Invariant: the owner calls the release function exactly once, for a non-null
// pointer only, when it is reset, reassigned or destroyed; release() hands the
// object on without releasing it. Plain C++ with no library header, so that
// every folder (the native layer, the Parts above it, the audio modules) can
// name its own owners with it.
#pragma once

#include <memory>

namespace veltrix {

// The deleter: calls Release on the pointer. std::unique_ptr never calls it
// with null, which C release functions do not all accept.
template <auto Release>
struct CallRelease {
    template <class T>
    void operator()(T* object) const noexcept {
        Release(object);
    }
};

template <class T, auto Release>
using UniqueC = std::unique_ptr<T, CallRelease<Release>>;

// For release functions that take the address of the pointer and clear it
// (av_frame_free(&frame), av_packet_free(&packet), swr_free(&context)).
template <auto Release>
struct CallReleaseByAddress {
    template <class T>
    void operator()(T* object) const noexcept {
        Release(&object);
    }
};

template <class T, auto Release>
using UniqueCByAddress = std::unique_ptr<T, CallReleaseByAddress<Release>>;

}  // namespace veltrix
