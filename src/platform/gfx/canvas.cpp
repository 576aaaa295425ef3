// Canvas state, clipping, direct pixel work and the plain fills.
#include <algorithm>

#include "platform/gfx/canvas_impl.h"

namespace plat {

uint32_t ApplyRop2(uint32_t dst, uint32_t colorPixel, Rop2 rop) {
  const uint32_t rgb = colorPixel & 0xFFFFFFu;
  switch (rop) {
    case Rop2::CopyPen: return 0xFF000000u | rgb;
    case Rop2::XorPen: return dst ^ rgb;
    case Rop2::NotXorPen: return (dst & 0xFF000000u) | (~(dst ^ rgb) & 0xFFFFFFu);
    case Rop2::Not: return dst ^ 0xFFFFFFu;
  }
  return dst;
}

Canvas::Impl::Impl(Bitmap* target, gfx_detail::SurfacePtr s, Size size, int32_t dpiValue)
    : bitmap(target), surface(std::move(s)), deviceSize(size), dpi(dpiValue) {
  cr.reset(cairo_create(surface.get()));
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
  ApplyTransform();
}

void Canvas::Impl::ApplyTransform() {
  cairo_identity_matrix(cr.get());
  cairo_scale(cr.get(), scale, scale);
  cairo_translate(cr.get(), st.origin.x, st.origin.y);
}

void Canvas::Impl::ApplyClip() {
  cairo_t* c = cr.get();
  cairo_new_path(c);
  cairo_reset_clip(c);
  if (!st.clip) return;
  cairo_identity_matrix(c);
  cairo_scale(c, scale, scale);
  for (const Rect& r : st.clip->Rects()) cairo_rectangle(c, r.left, r.top, r.Width(), r.Height());
  if (st.clip->IsEmpty()) cairo_rectangle(c, 0, 0, 0, 0);
  cairo_clip(c);
  ApplyTransform();
}

Region Canvas::Impl::DrawableRegion() const {
  Region device(Rect{0, 0, deviceSize.cx, deviceSize.cy});
  return st.clip ? Region::Combine(device, *st.clip, RegionOp::And) : device;
}

void Canvas::Impl::BeginPixels() { cairo_surface_flush(surface.get()); }
void Canvas::Impl::EndPixels() { cairo_surface_mark_dirty(surface.get()); }

void Canvas::Impl::ForEachRun(const Region& deviceRegion,
                              const std::function<void(uint32_t*, int32_t, int32_t, int32_t)>& fn) {
  if (!bitmap) return;
  const Region visible = Region::Combine(deviceRegion, DrawableRegion(), RegionOp::And);
  if (visible.IsEmpty()) return;
  BeginPixels();
  for (const Rect& r : visible.Rects())
    for (int32_t y = r.top; y < r.bottom; ++y) fn(bitmap->ScanLine(y), r.left, r.right, y);
  EndPixels();
}

void Canvas::Impl::RopShape(const Rect& deviceBounds, Color c,
                            const std::function<void(cairo_t*)>& draw) {
  const Rect b = deviceBounds.Intersect({0, 0, deviceSize.cx, deviceSize.cy});
  if (!bitmap || b.IsEmpty()) return;
  gfx_detail::SurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, b.Width(), b.Height()));
  {
    gfx_detail::CairoPtr m(cairo_create(mask.get()));
    cairo_set_antialias(m.get(), CAIRO_ANTIALIAS_NONE);
    cairo_translate(m.get(), st.origin.x - b.left, st.origin.y - b.top);
    cairo_set_source_rgba(m.get(), 0, 0, 0, 1);
    draw(m.get());
  }
  cairo_surface_flush(mask.get());
  const unsigned char* data = cairo_image_surface_get_data(mask.get());
  const int stride = cairo_image_surface_get_stride(mask.get());
  const uint32_t px = ColorToPixel(c);
  const Rop2 rop = st.rop;
  ForEachRun(Region(b), [&](uint32_t* row, int32_t x0, int32_t x1, int32_t y) {
    const unsigned char* m = data + size_t(y - b.top) * size_t(stride);
    for (int32_t x = x0; x < x1; ++x)
      if (m[x - b.left] >= 128) row[x] = ApplyRop2(row[x], px, rop);
  });
}

void Canvas::Impl::SetPenSource(cairo_t* c) const {
  gfx_detail::SetSourceColor(c, st.pen.Colour);
  cairo_set_line_width(c, PenWidth());
  cairo_set_line_cap(c, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(c, CAIRO_LINE_JOIN_MITER);
  static const double dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6},
                      dashDotDot[] = {9, 3, 3, 3, 3, 3};
  switch (st.pen.Style) {
    case PenStyle::Dash: cairo_set_dash(c, dash, 2, 0); break;
    case PenStyle::Dot: cairo_set_dash(c, dot, 2, 0); break;
    case PenStyle::DashDot: cairo_set_dash(c, dashDot, 4, 0); break;
    case PenStyle::DashDotDot: cairo_set_dash(c, dashDotDot, 6, 0); break;
    default: cairo_set_dash(c, nullptr, 0, 0); break;
  }
}

// ---------------------------------------------------------------------------------------------

Canvas::Canvas() {
  // A measuring canvas draws into a private 1x1 surface that nobody sees.
  impl_ = std::make_unique<Impl>(
      nullptr, gfx_detail::SurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1)),
      Size{1, 1}, 96);
}

Canvas::Canvas(Bitmap& target) {
  impl_ = std::make_unique<Impl>(&target, gfx_detail::SurfaceFor(target),
                                 Size{target.Width(), target.Height()}, 96);
}

Canvas::Canvas(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Canvas::~Canvas() = default;
Canvas::Canvas(Canvas&&) noexcept = default;
Canvas& Canvas::operator=(Canvas&&) noexcept = default;

Bitmap* Canvas::Target() const { return impl_->bitmap; }
Size Canvas::DeviceSize() const { return impl_->deviceSize; }
int32_t Canvas::DpiX() const { return impl_->dpi; }
int32_t Canvas::DpiY() const { return impl_->dpi; }
void Canvas::Flush() { cairo_surface_flush(impl_->surface.get()); }

void Canvas::SetFont(const Font& f) { impl_->st.font = f; }
const Font& Canvas::GetFont() const { return impl_->st.font; }
std::string Canvas::TextFace() const { return impl_->st.font.FaceName(); }
TextMetrics Canvas::GetTextMetrics() const { return impl_->st.font.Metrics(); }
void Canvas::SetTextColor(Color c) { impl_->st.textColor = c; }
Color Canvas::TextColor() const { return impl_->st.textColor; }
void Canvas::SetBkColor(Color c) { impl_->st.bkColor = c; }
Color Canvas::BkColor() const { return impl_->st.bkColor; }
void Canvas::SetBkMode(BkMode m) { impl_->st.bkMode = m; }
BkMode Canvas::GetBkMode() const { return impl_->st.bkMode; }
void Canvas::SetTextAlign(uint32_t flags) { impl_->st.textAlign = flags; }
uint32_t Canvas::TextAlign() const { return impl_->st.textAlign; }
void Canvas::SetPen(const Pen& p) { impl_->st.pen = p; }
const Pen& Canvas::GetPen() const { return impl_->st.pen; }
void Canvas::SetBrush(const Brush& b) { impl_->st.brush = b; }
const Brush& Canvas::GetBrush() const { return impl_->st.brush; }
void Canvas::SetRop2(Rop2 r) { impl_->st.rop = r; }
Rop2 Canvas::GetRop2() const { return impl_->st.rop; }
Point Canvas::Origin() const { return impl_->st.origin; }

void Canvas::SetOrigin(Point p) {
  impl_->st.origin = p;
  impl_->ApplyTransform();
}

void Canvas::SaveState() { impl_->saved.push_back(impl_->st); }

void Canvas::RestoreState() {
  if (impl_->saved.empty()) return;
  impl_->st = std::move(impl_->saved.back());
  impl_->saved.pop_back();
  impl_->ApplyTransform();
  impl_->ApplyClip();
}

void Canvas::SetClipRegion(const Region& deviceRegion) {
  impl_->st.clip = deviceRegion;
  impl_->ApplyClip();
}

void Canvas::ClearClip() {
  impl_->st.clip.reset();
  impl_->ApplyClip();
}

bool Canvas::HasClip() const { return impl_->st.clip.has_value(); }
Region Canvas::ClipRegion() const { return impl_->DrawableRegion(); }

void Canvas::IntersectClipRect(const Rect& r) {
  impl_->st.clip = Region::Combine(impl_->DrawableRegion(), Region(impl_->ToDevice(r)), RegionOp::And);
  impl_->ApplyClip();
}

void Canvas::ExcludeClipRect(const Rect& r) {
  impl_->st.clip = Region::Combine(impl_->DrawableRegion(), Region(impl_->ToDevice(r)), RegionOp::Diff);
  impl_->ApplyClip();
}

Rect Canvas::ClipBox() const {
  const Point o = impl_->st.origin;
  return impl_->DrawableRegion().Bounds().Offset(SaturateToInt32(-int64_t{o.x}),
                                                 SaturateToInt32(-int64_t{o.y}));
}

bool Canvas::RectVisible(const Rect& r) const {
  return impl_->DrawableRegion().Intersects(impl_->ToDevice(r));
}

// ---------------------------------------------------------------------------------------------

void Canvas::FillRegion(const Region& logicalRegion, Color c) {
  Impl& d = *impl_;
  if (d.bitmap) {
    const uint32_t px = ColorToPixel(c);
    d.ForEachRun(d.ToDevice(logicalRegion), [px](uint32_t* row, int32_t x0, int32_t x1, int32_t) {
      std::fill(row + x0, row + x1, px);
    });
    return;
  }
  cairo_t* cr = d.cr.get();
  gfx_detail::SetSourceColor(cr, c);
  for (const Rect& r : logicalRegion.Rects()) cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
  cairo_fill(cr);
}

void Canvas::FillRect(const Rect& r, Color c) { FillRegion(Region(r), c); }

void Canvas::FrameRect(const Rect& r, Color c) {
  if (r.IsEmpty()) return;
  Region frame(r);
  frame.Subtract(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
  FillRegion(frame, c);
}

void Canvas::InvertRegion(const Region& logicalRegion) {
  impl_->ForEachRun(impl_->ToDevice(logicalRegion),
                    [](uint32_t* row, int32_t x0, int32_t x1, int32_t) {
                      for (int32_t x = x0; x < x1; ++x) row[x] ^= 0xFFFFFFu;
                    });
}

void Canvas::InvertRect(const Rect& r) { InvertRegion(Region(r)); }

void Canvas::TintRegion(const Region& logicalRegion, Color c, uint8_t alpha) {
  Impl& d = *impl_;
  if (d.bitmap) {
    const uint32_t a = alpha, na = 255 - a;
    const uint32_t cr = RedOf(c), cg = GreenOf(c), cb = BlueOf(c);
    d.ForEachRun(d.ToDevice(logicalRegion), [&](uint32_t* row, int32_t x0, int32_t x1, int32_t) {
      for (int32_t x = x0; x < x1; ++x) {
        const uint32_t p = row[x];
        const uint32_t r = (((p >> 16) & 0xFF) * na + cr * a + 127) / 255;
        const uint32_t g = (((p >> 8) & 0xFF) * na + cg * a + 127) / 255;
        const uint32_t b = ((p & 0xFF) * na + cb * a + 127) / 255;
        row[x] = (p & 0xFF000000u) | (r << 16) | (g << 8) | b;
      }
    });
    return;
  }
  cairo_t* cr = d.cr.get();
  cairo_set_source_rgba(cr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0, alpha / 255.0);
  for (const Rect& r : logicalRegion.Rects()) cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
  cairo_fill(cr);
}

Color Canvas::GetPixel(int32_t x, int32_t y) const {
  if (!impl_->bitmap) return 0;
  impl_->BeginPixels();
  return impl_->bitmap->GetPixel(SaturateToInt32(int64_t{x} + impl_->st.origin.x),
                                 SaturateToInt32(int64_t{y} + impl_->st.origin.y));
}

void Canvas::SetPixel(int32_t x, int32_t y, Color c) {
  if (x == INT32_MAX || y == INT32_MAX) return;  // no pixel has its right or lower edge there
  FillRect({x, y, x + 1, y + 1}, c);
}

}  // namespace plat
