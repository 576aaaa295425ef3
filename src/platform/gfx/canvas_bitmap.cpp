// Copying, stretching, masking and blending bitmaps onto a canvas.
#include <algorithm>

#include "platform/gfx/canvas_impl.h"

namespace plat {

namespace {

uint32_t Combine(uint32_t dst, uint32_t src, RasterOp op) {
  switch (op) {
    case RasterOp::SrcCopy: return src;
    case RasterOp::SrcAnd: return dst & src;
    case RasterOp::SrcPaint: return dst | src;
    case RasterOp::SrcInvert: return dst ^ (src & 0xFFFFFFu);
    case RasterOp::DstInvert: return dst ^ 0xFFFFFFu;
  }
  return dst;
}

// The part of srcRect inside the source, and the destination point moved to match.
bool ClampSource(const Bitmap& src, Rect& srcRect, int32_t& x, int32_t& y) {
  const Rect c = srcRect.Intersect(src.Bounds());
  if (c.IsEmpty()) return false;
  x = SaturateToInt32(int64_t{x} + c.left - srcRect.left);
  y = SaturateToInt32(int64_t{y} + c.top - srcRect.top);
  srcRect = c;
  return true;
}

// Draws a bitmap through cairo: dest gets srcRect, scaled, blended with alpha.
void PaintScaled(Canvas::Impl& d, const Rect& dest, const Bitmap& src, const Rect& srcRect,
                 bool smooth, double alpha) {
  if (dest.IsEmpty() || srcRect.IsEmpty() || src.IsEmpty()) return;
  gfx_detail::SurfacePtr s = gfx_detail::SurfaceFor(src);
  cairo_t* cr = d.cr.get();
  cairo_save(cr);
  cairo_rectangle(cr, dest.left, dest.top, dest.Width(), dest.Height());
  cairo_clip(cr);
  cairo_translate(cr, dest.left, dest.top);
  cairo_scale(cr, double(dest.Width()) / srcRect.Width(), double(dest.Height()) / srcRect.Height());
  cairo_set_source_surface(cr, s.get(), -double(srcRect.left), -double(srcRect.top));
  cairo_pattern_t* p = cairo_get_source(cr);
  cairo_pattern_set_filter(p, smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
  cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
  if (alpha >= 1.0)
    cairo_paint(cr);
  else
    cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
}

// A copy of the source part with alpha: opaque where keep(x, y) holds, clear elsewhere.
template <typename Keep>
Bitmap WithHoles(const Bitmap& src, const Rect& srcRect, Keep keep) {
  Bitmap out(srcRect.Width(), srcRect.Height(), true);
  for (int32_t y = 0; y < out.Height(); ++y)
    for (int32_t x = 0; x < out.Width(); ++x) {
      const int32_t sx = srcRect.left + x, sy = srcRect.top + y;
      out.ScanLine(y)[x] = keep(sx, sy) ? (src.ScanLine(sy)[sx] | 0xFF000000u) : 0u;
    }
  return out;
}

// Copies pixels of the source onto a bitmap target, pixel by pixel.
template <typename Fn>
void PixelCopy(Canvas::Impl& d, int32_t x, int32_t y, const Bitmap& src, const Rect& srcRect,
               Fn fn) {
  // Copying within one bitmap (scrolling) reads from a snapshot so that overlap does no harm.
  Bitmap snapshot;
  const Bitmap* from = &src;
  Rect sr = srcRect;
  if (&src == d.bitmap) {
    d.BeginPixels();
    snapshot = Bitmap(srcRect.Width(), srcRect.Height(), src.HasAlpha());
    for (int32_t r = 0; r < srcRect.Height(); ++r)
      std::copy_n(src.ScanLine(srcRect.top + r) + srcRect.left, srcRect.Width(), snapshot.ScanLine(r));
    from = &snapshot;
    sr = snapshot.Bounds();
  }
  const Rect dest = d.ToDevice(Rect{x, y, SaturateToInt32(int64_t{x} + sr.Width()),
                                    SaturateToInt32(int64_t{y} + sr.Height())});
  d.ForEachRun(Region(dest), [&](uint32_t* row, int32_t x0, int32_t x1, int32_t dy) {
    const uint32_t* s = from->ScanLine(sr.top + dy - dest.top) + sr.left - dest.left;
    for (int32_t dx = x0; dx < x1; ++dx) fn(row[dx], s[dx], sr.left + dx - dest.left, sr.top + dy - dest.top);
  });
}

}  // namespace

void Canvas::DrawBitmap(int32_t x, int32_t y, const Bitmap& src, const Rect& srcRect, RasterOp op) {
  Impl& d = *impl_;
  Rect sr = srcRect;
  if (op == RasterOp::DstInvert) {
    InvertRect({x, y, x + srcRect.Width(), y + srcRect.Height()});
    return;
  }
  if (!ClampSource(src, sr, x, y)) return;
  if (!d.bitmap) {
    PaintScaled(d, {x, y, x + sr.Width(), y + sr.Height()}, src, sr, false, 1.0);
    return;
  }
  const bool opaqueTarget = !d.bitmap->HasAlpha();
  PixelCopy(d, x, y, src, sr, [op, opaqueTarget](uint32_t& dst, uint32_t s, int32_t, int32_t) {
    dst = Combine(dst, s, op);
    if (opaqueTarget) dst |= 0xFF000000u;
  });
}

void Canvas::StretchBitmap(const Rect& dest, const Bitmap& src, const Rect& srcRect, bool smooth) {
  Impl& d = *impl_;
  if (&src == d.bitmap) {
    d.BeginPixels();
    Bitmap copy = src;
    PaintScaled(d, dest, copy, srcRect, smooth, 1.0);
    return;
  }
  PaintScaled(d, dest, src, srcRect, smooth, 1.0);
}

void Canvas::DrawTransparent(int32_t x, int32_t y, const Bitmap& src, const Rect& srcRect,
                             Color transparent) {
  Impl& d = *impl_;
  Rect sr = srcRect;
  if (!ClampSource(src, sr, x, y)) return;
  const uint32_t key = ColorToPixel(transparent) & 0xFFFFFFu;
  if (!d.bitmap) {
    Bitmap holes = WithHoles(src, sr, [&](int32_t sx, int32_t sy) {
      return (src.ScanLine(sy)[sx] & 0xFFFFFFu) != key;
    });
    PaintScaled(d, {x, y, x + sr.Width(), y + sr.Height()}, holes, holes.Bounds(), false, 1.0);
    return;
  }
  PixelCopy(d, x, y, src, sr, [key](uint32_t& dst, uint32_t s, int32_t, int32_t) {
    if ((s & 0xFFFFFFu) != key) dst = s | 0xFF000000u;
  });
}

void Canvas::DrawMasked(int32_t x, int32_t y, const Bitmap& src, const Rect& srcRect,
                        const Bitmap& mask) {
  Impl& d = *impl_;
  Rect sr = srcRect;
  if (!ClampSource(src, sr, x, y)) return;
  // Black in the mask (dark, by its green channel) lets the source through.
  auto through = [&mask](int32_t sx, int32_t sy) {
    return sx < mask.Width() && sy < mask.Height() && ((mask.ScanLine(sy)[sx] >> 8) & 0xFF) < 128;
  };
  if (!d.bitmap) {
    Bitmap holes = WithHoles(src, sr, through);
    PaintScaled(d, {x, y, x + sr.Width(), y + sr.Height()}, holes, holes.Bounds(), false, 1.0);
    return;
  }
  const Rect full = sr;
  PixelCopy(d, x, y, src, sr, [&](uint32_t& dst, uint32_t s, int32_t sx, int32_t sy) {
    // Self-copies read a snapshot whose coordinates start at 0.
    const int32_t mx = &src == d.bitmap ? sx + full.left : sx;
    const int32_t my = &src == d.bitmap ? sy + full.top : sy;
    if (through(mx, my)) dst = s | 0xFF000000u;
  });
}

void Canvas::AlphaBlend(const Rect& dest, const Bitmap& src, const Rect& srcRect, uint8_t alpha) {
  Impl& d = *impl_;
  if (&src == d.bitmap) {
    d.BeginPixels();
    Bitmap copy = src;
    PaintScaled(d, dest, copy, srcRect, true, alpha / 255.0);
    return;
  }
  PaintScaled(d, dest, src, srcRect, true, alpha / 255.0);
}

}  // namespace plat
