#pragma once
// Private helpers shared by the cairo-based parts of the drawing layer.
#include <cairo.h>

#include <memory>

#include "platform/gfx/bitmap.h"

namespace plat::gfx_detail {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;

// A cairo image surface drawing straight into the bitmap's pixels (RGB24 for an opaque bitmap,
// premultiplied ARGB32 for one with alpha).
SurfacePtr SurfaceFor(const Bitmap& bmp);

inline void SetSourceColor(cairo_t* cr, Color c) {
  cairo_set_source_rgb(cr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0);
}

}  // namespace plat::gfx_detail
