#include "platform/controls/image.h"

#include <algorithm>

#include "platform/gfx/canvas.h"

namespace plat {

Image::Image() { SetBounds(0, 0, 105, 105); }

void Image::SetPicture(Bitmap b) {
  picture_ = std::move(b);
  if (autoSize_ && !picture_.IsEmpty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  Invalidate();
}

void Image::SetAutoSize(bool v) {
  autoSize_ = v;
  if (v && !picture_.IsEmpty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
}

Rect Image::DestRect() const {
  Rect cr = ClientRect();
  int32_t w = picture_.Width(), h = picture_.Height();
  if (w <= 0 || h <= 0) return {};
  bool scale = stretch_ || (proportional_ && (w > cr.Width() || h > cr.Height()));
  if (scale) {
    if (!proportional_) return cr;
    // The largest size of the picture's shape that fits.
    int64_t fitW = cr.Width(), fitH = int64_t(h) * cr.Width() / w;
    if (fitH > cr.Height()) {
      fitH = cr.Height();
      fitW = int64_t(w) * cr.Height() / h;
    }
    w = int32_t(std::max<int64_t>(1, fitW));
    h = int32_t(std::max<int64_t>(1, fitH));
  }
  int32_t x = center_ ? (cr.Width() - w) / 2 : 0;
  int32_t y = center_ ? (cr.Height() - h) / 2 : 0;
  return {x, y, x + w, y + h};
}

void Image::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  c.FillRegion(pc.region, BackColor());
  Rect d = DestRect();
  if (d.IsEmpty()) return;
  Rect src = picture_.Bounds();
  if (transparent_) {
    Color key = picture_.GetPixel(0, picture_.Height() - 1);
    if (d.Width() == src.Width() && d.Height() == src.Height()) {
      c.DrawTransparent(d.left, d.top, picture_, src, key);
      return;
    }
    // Scale first, then leave out the key colour.
    Bitmap scaled(d.Width(), d.Height());
    {
      Canvas sc(scaled);
      sc.StretchBitmap(scaled.Bounds(), picture_, src, false);
    }
    c.DrawTransparent(d.left, d.top, scaled, scaled.Bounds(), key);
    return;
  }
  if (d.Width() == src.Width() && d.Height() == src.Height()) c.DrawBitmap(d.left, d.top, picture_);
  else c.StretchBitmap(d, picture_, src, true);
}

}  // namespace plat
