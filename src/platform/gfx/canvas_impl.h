#pragma once
// Private: the state behind a Canvas and the helpers its parts share.
#include <functional>
#include <optional>
#include <vector>

#include "platform/gfx/cairo_util.h"
#include "platform/gfx/canvas.h"

namespace plat {

struct Canvas::Impl {
  struct State {
    Font font;
    Color textColor = 0;
    Color bkColor = 0xFFFFFF;
    BkMode bkMode = BkMode::Opaque;
    uint32_t textAlign = 0;
    Pen pen;
    Brush brush;
    Rop2 rop = Rop2::CopyPen;
    Point origin;
    std::optional<Region> clip;  // device pixels
    Point cp;                    // current position, logical
  };

  Bitmap* bitmap = nullptr;     // the target, or nullptr (PDF page, measuring)
  gfx_detail::SurfacePtr surface;
  gfx_detail::CairoPtr cr;
  Size deviceSize;
  int32_t dpi = 96;
  double scale = 1.0;  // device dots to cairo units (72 / dpi on a PDF page)
  State st;
  std::vector<State> saved;

  Impl(Bitmap* target, gfx_detail::SurfacePtr s, Size size, int32_t dpi);

  // Sets cairo's matrix to device dots shifted by the origin, and its clip to the clip region.
  void ApplyTransform();
  void ApplyClip();
  // The device pixels drawing may touch: the clip region within the device.
  Region DrawableRegion() const;
  Rect ToDevice(const Rect& r) const { return r.Offset(st.origin.x, st.origin.y); }
  Region ToDevice(Region r) const {
    r.Offset(st.origin.x, st.origin.y);
    return r;
  }

  // Direct pixel work on a bitmap target: calls fn(row pointer, x0, x1, y) for each visible
  // run of the device region, after pending cairo drawing is done.
  void ForEachRun(const Region& deviceRegion,
                  const std::function<void(uint32_t*, int32_t, int32_t, int32_t)>& fn);
  void BeginPixels();  // flush cairo before touching pixels
  void EndPixels();    // tell cairo the pixels changed

  // Applies Rop2 with a colour to the pixels that a cairo path would cover (bitmaps only):
  // draw(cr) builds and fills/strokes the path on a mask within deviceBounds.
  void RopShape(const Rect& deviceBounds, Color c, const std::function<void(cairo_t*)>& draw);
  void SetPenSource(cairo_t* c) const;
  bool PenVisible() const { return st.pen.Style != PenStyle::Null; }
  bool BrushVisible() const { return st.brush.Style != BrushStyle::Null; }
  double PenWidth() const { return st.pen.Width <= 0 ? 1.0 : double(st.pen.Width); }
};

// Combines one pixel with a colour by a Rop2 (pixels are 0xAARRGGBB, alpha kept).
uint32_t ApplyRop2(uint32_t dst, uint32_t colorPixel, Rop2 rop);

}  // namespace plat
