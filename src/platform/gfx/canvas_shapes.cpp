// Lines and shapes drawn with the canvas's pen and brush.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/gfx/canvas_impl.h"

namespace plat {

namespace {

// On and off run lengths of the one-pixel pen styles.
std::vector<int> PatternOf(PenStyle s) {
  switch (s) {
    case PenStyle::Dash: return {18, 6};
    case PenStyle::Dot: return {3, 3};
    case PenStyle::DashDot: return {9, 6, 3, 6};
    case PenStyle::DashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
  }
}

Rect BoundsOf(std::span<const Point> pts, int32_t grow) {
  auto cell = [](Point p) {
    return Rect{p.x, p.y, SaturateToInt32(int64_t{p.x} + 1), SaturateToInt32(int64_t{p.y} + 1)};
  };
  Rect b = cell(pts[0]);
  for (const Point& p : pts) b = b.Union(cell(p));
  return {SaturateToInt32(int64_t{b.left} - grow), SaturateToInt32(int64_t{b.top} - grow),
          SaturateToInt32(int64_t{b.right} + grow), SaturateToInt32(int64_t{b.bottom} + grow)};
}

using PathFn = std::function<void(cairo_t*)>;

}  // namespace

// A one-pixel line straight into a bitmap's pixels (Bresenham), leaving out its last point as
// the system's lines do; styled pens step their pattern along it, and with an opaque
// background the gaps take the background colour.
static void PixelLine(Canvas::Impl& d, Point a, Point b, bool withLast) {
  const Point o = d.st.origin;
  int32_t x = a.x + o.x, y = a.y + o.y;
  const int32_t x1 = b.x + o.x, y1 = b.y + o.y;
  const int32_t dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
  const int32_t sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
  const int32_t steps = std::max(dx, -dy) + (withLast ? 1 : 0);
  if (steps <= 0) return;
  const Region visible = d.DrawableRegion();
  const std::vector<int> pattern = PatternOf(d.st.pen.Style);
  const uint32_t penPx = ColorToPixel(d.st.pen.Colour), bkPx = ColorToPixel(d.st.bkColor);
  const bool opaqueGaps = d.st.bkMode == BkMode::Opaque;
  d.BeginPixels();
  int32_t err = dx + dy;
  size_t run = 0;
  int left = pattern.empty() ? 0 : pattern[0];
  for (int32_t i = 0; i < steps; ++i) {
    const bool on = pattern.empty() || run % 2 == 0;
    if ((on || opaqueGaps) && visible.Contains({x, y})) {
      uint32_t& px = d.bitmap->ScanLine(y)[x];
      px = ApplyRop2(px, on ? penPx : bkPx, d.st.rop);
    }
    if (!pattern.empty() && --left == 0) {
      run = (run + 1) % pattern.size();
      left = pattern[run];
    }
    const int32_t e2 = 2 * err;
    if (e2 >= dy) { err += dy; x += sx; }
    if (e2 <= dx) { err += dx; y += sy; }
  }
  d.EndPixels();
}

static bool UsePixelLines(const Canvas::Impl& d) {
  return d.bitmap && d.PenVisible() && d.st.pen.Width <= 1;
}

// Lines reaching far outside the device go through cairo, which clips them, instead of being
// stepped pixel by pixel.
static bool Near(const Canvas::Impl& d, std::span<const Point> pts) {
  constexpr int64_t kReach = 1 << 16;
  for (const Point& p : pts) {
    const int64_t x = int64_t(p.x) + d.st.origin.x, y = int64_t(p.y) + d.st.origin.y;
    if (x < -kReach || y < -kReach || x > d.deviceSize.cx + kReach || y > d.deviceSize.cy + kReach)
      return false;
  }
  return true;
}

// Fills and strokes a cairo path with the brush and the pen, through a mask when the Rop2 is
// not a plain copy.
static void DrawPath(Canvas::Impl& d, const PathFn& path, bool fill, bool stroke, FillMode mode,
                     const Rect& logicalBounds) {
  const cairo_fill_rule_t rule =
      mode == FillMode::Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD;
  const bool viaMask = d.bitmap && d.st.rop != Rop2::CopyPen;
  const Rect devBounds = d.ToDevice(logicalBounds);
  if (fill && d.BrushVisible()) {
    auto doFill = [&](cairo_t* c) {
      path(c);
      cairo_set_fill_rule(c, rule);
      cairo_fill(c);
    };
    if (viaMask) {
      d.RopShape(devBounds, d.st.brush.Colour, doFill);
    } else {
      gfx_detail::SetSourceColor(d.cr.get(), d.st.brush.Colour);
      doFill(d.cr.get());
    }
  }
  if (stroke && d.PenVisible()) {
    auto doStroke = [&](cairo_t* c) {
      path(c);
      d.SetPenSource(c);
      cairo_stroke(c);
    };
    if (viaMask)
      d.RopShape(devBounds, d.st.pen.Colour, doStroke);
    else
      doStroke(d.cr.get());
  }
}

void Canvas::MoveTo(int32_t x, int32_t y) { impl_->st.cp = {x, y}; }
Point Canvas::CurrentPosition() const { return impl_->st.cp; }

void Canvas::LineTo(int32_t x, int32_t y) {
  Line(impl_->st.cp.x, impl_->st.cp.y, x, y);
  impl_->st.cp = {x, y};
}

void Canvas::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const Point pts[2] = {{x1, y1}, {x2, y2}};
  Polyline(pts);
}

void Canvas::Polyline(std::span<const Point> points) {
  Impl& d = *impl_;
  if (points.size() < 2 || !d.PenVisible()) return;
  if (UsePixelLines(d) && Near(d, points)) {
    for (size_t i = 0; i + 1 < points.size(); ++i) PixelLine(d, points[i], points[i + 1], false);
    return;
  }
  // Centred on the pixels; the line stops short of its last point by half a pixel.
  PathFn path = [points](cairo_t* c) {
    cairo_move_to(c, points[0].x + 0.5, points[0].y + 0.5);
    for (size_t i = 1; i < points.size(); ++i) cairo_line_to(c, points[i].x + 0.5, points[i].y + 0.5);
  };
  DrawPath(d, path, false, true, FillMode::Alternate, BoundsOf(points, d.st.pen.Width + 1));
}

void Canvas::PolyBezier(std::span<const Point> points) {
  if (points.size() < 4 || (points.size() - 1) % 3 != 0) return;
  // Flattened into short segments; enough that no step is longer than a few pixels.
  std::vector<Point> flat{points[0]};
  for (size_t i = 0; i + 3 < points.size(); i += 3) {
    const Point p0 = points[i], p1 = points[i + 1], p2 = points[i + 2], p3 = points[i + 3];
    auto dist = [](Point a, Point b) { return std::hypot(double(b.x) - a.x, double(b.y) - a.y); };
    const double len = dist(p0, p1) + dist(p1, p2) + dist(p2, p3);
    const int n = std::clamp(int(len / 3), 2, 512);
    for (int k = 1; k <= n; ++k) {
      const double t = double(k) / n, u = 1 - t;
      const double x = u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x;
      const double y = u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y;
      const Point q{int32_t(std::lround(x)), int32_t(std::lround(y))};
      if (!(q == flat.back())) flat.push_back(q);
    }
  }
  Polyline(flat);
  // Unlike a polyline, a curve includes its end point.
  if (UsePixelLines(*impl_) && Near(*impl_, flat)) PixelLine(*impl_, flat.back(), flat.back(), true);
}

void Canvas::Polygon(std::span<const Point> points, FillMode mode) {
  Impl& d = *impl_;
  if (points.size() < 2) return;
  if (d.bitmap && d.BrushVisible()) {
    const uint32_t px = ColorToPixel(d.st.brush.Colour);
    const Rop2 rop = d.st.rop;
    // Rasterised in device pixels and only over the device: far-off points cost nothing.
    const Rect device{0, 0, d.deviceSize.cx, d.deviceSize.cy};
    d.ForEachRun(Region::FromPolygonClipped(points, mode, d.st.origin, device),
                 [&](uint32_t* row, int32_t x0, int32_t x1, int32_t) {
                   for (int32_t x = x0; x < x1; ++x) row[x] = ApplyRop2(row[x], px, rop);
                 });
  }
  if (UsePixelLines(d) && Near(d, points)) {
    for (size_t i = 0; i < points.size(); ++i)
      PixelLine(d, points[i], points[(i + 1) % points.size()], false);
    return;
  }
  PathFn path = [points](cairo_t* c) {
    cairo_move_to(c, points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) cairo_line_to(c, points[i].x, points[i].y);
    cairo_close_path(c);
  };
  DrawPath(d, path, !d.bitmap, true, mode, BoundsOf(points, d.st.pen.Width + 1));
}

void Canvas::Rectangle(const Rect& r) {
  Impl& d = *impl_;
  if (r.IsEmpty()) return;
  const int32_t w = d.PenVisible() ? std::max(1, d.st.pen.Width) : 0;
  const Rect inner{SaturateToInt32(int64_t{r.left} + w), SaturateToInt32(int64_t{r.top} + w),
                   SaturateToInt32(int64_t{r.right} - w), SaturateToInt32(int64_t{r.bottom} - w)};
  if (d.bitmap) {
    const Rop2 rop = d.st.rop;
    auto fill = [&](const Region& logical, Color c) {
      const uint32_t px = ColorToPixel(c);
      d.ForEachRun(d.ToDevice(logical), [&](uint32_t* row, int32_t x0, int32_t x1, int32_t) {
        for (int32_t x = x0; x < x1; ++x) row[x] = ApplyRop2(row[x], px, rop);
      });
    };
    if (d.BrushVisible()) fill(Region(inner), d.st.brush.Colour);
    if (!w) return;
    const Point corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    if (w == 1 && d.st.pen.Style != PenStyle::Solid && d.st.pen.Style != PenStyle::InsideFrame &&
        Near(d, corners)) {
      const Point c[5] = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1},
                          {r.left, r.bottom - 1}, {r.left, r.top}};
      for (int i = 0; i < 4; ++i) PixelLine(d, c[i], c[i + 1], false);
    } else {
      fill(Region(r).Subtract(inner), d.st.pen.Colour);
    }
    return;
  }
  if (d.BrushVisible()) {
    gfx_detail::SetSourceColor(d.cr.get(), d.st.brush.Colour);
    cairo_rectangle(d.cr.get(), inner.left, inner.top, inner.Width(), inner.Height());
    cairo_fill(d.cr.get());
  }
  if (w) {
    PathFn path = [r, w](cairo_t* c) {
      cairo_rectangle(c, r.left + w / 2.0, r.top + w / 2.0, r.Width() - w, r.Height() - w);
    };
    DrawPath(d, path, false, true, FillMode::Alternate, r);
  }
}

void Canvas::Ellipse(const Rect& r) {
  Impl& d = *impl_;
  if (r.IsEmpty()) return;
  const double w = d.PenVisible() ? d.PenWidth() : 0;
  PathFn outer = [r](cairo_t* c) {
    cairo_save(c);
    cairo_translate(c, (double(r.left) + r.right) / 2.0, (double(r.top) + r.bottom) / 2.0);
    cairo_scale(c, r.Width() / 2.0, r.Height() / 2.0);
    cairo_arc(c, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(c);
  };
  PathFn middle = [r, w](cairo_t* c) {
    cairo_save(c);
    cairo_translate(c, (double(r.left) + r.right) / 2.0, (double(r.top) + r.bottom) / 2.0);
    cairo_scale(c, std::max(0.01, (r.Width() - w) / 2.0), std::max(0.01, (r.Height() - w) / 2.0));
    cairo_arc(c, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(c);
  };
  DrawPath(d, outer, true, false, FillMode::Alternate, r);
  if (w > 0) DrawPath(d, middle, false, true, FillMode::Alternate, r);
}

void Canvas::RoundRect(const Rect& r, int32_t ellipseWidth, int32_t ellipseHeight) {
  Impl& d = *impl_;
  if (r.IsEmpty()) return;
  const double w = d.PenVisible() ? d.PenWidth() : 0;
  auto path = [r](double inset, double ew, double eh) {
    return [=](cairo_t* c) {
      const double l = r.left + inset, t = r.top + inset, rr = r.right - inset, b = r.bottom - inset;
      const double rx = std::min(ew / 2.0, (rr - l) / 2.0), ry = std::min(eh / 2.0, (b - t) / 2.0);
      if (rx <= 0 || ry <= 0) {
        cairo_rectangle(c, l, t, rr - l, b - t);
        return;
      }
      auto corner = [c, rx, ry](double cx, double cy, double a0) {
        cairo_save(c);
        cairo_translate(c, cx, cy);
        cairo_scale(c, rx, ry);
        cairo_arc(c, 0, 0, 1, a0, a0 + M_PI / 2);
        cairo_restore(c);
      };
      cairo_new_sub_path(c);
      corner(rr - rx, t + ry, -M_PI / 2);
      corner(rr - rx, b - ry, 0);
      corner(l + rx, b - ry, M_PI / 2);
      corner(l + rx, t + ry, M_PI);
      cairo_close_path(c);
    };
  };
  DrawPath(d, path(0, ellipseWidth, ellipseHeight), true, false, FillMode::Alternate, r);
  if (w > 0)
    DrawPath(d, path(w / 2, ellipseWidth - w, ellipseHeight - w), false, true, FillMode::Alternate, r);
}

}  // namespace plat
