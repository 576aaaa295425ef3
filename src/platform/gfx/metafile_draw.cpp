// The drawing engine behind both metafile formats: coordinate transforms, the state stack,
// paths, fills, outlines, text, bitmaps and clipping, all through the public Canvas.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/metafile_internal.h"

namespace plat::mf {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr size_t kMaxSavedStates = 1024;
// Coordinates are kept within this many pixels of the canvas so that nothing overflows.
constexpr double kMaxCoordinate = double(1 << 28);

struct RectF {
  double l, t, r, b;
};

RectF ToRectF(const Rect& r, double margin) {
  return {r.left - margin, r.top - margin, r.right + margin, r.bottom + margin};
}

// Sutherland-Hodgman clipping of a closed polygon against a rectangle. The fill inside the
// rectangle stays the same for both fill rules.
std::vector<PointF> ClipPolygon(const std::vector<PointF>& in, const RectF& r) {
  std::vector<PointF> poly = in, out;
  for (int edge = 0; edge < 4 && !poly.empty(); ++edge) {
    auto inside = [&](const PointF& p) {
      switch (edge) {
        case 0:
          return p.x >= r.l;
        case 1:
          return p.x <= r.r;
        case 2:
          return p.y >= r.t;
        default:
          return p.y <= r.b;
      }
    };
    auto cross = [&](const PointF& a, const PointF& b) {
      const double v = edge == 0 ? r.l : edge == 1 ? r.r : edge == 2 ? r.t : r.b;
      if (edge < 2) {
        const double k = (v - a.x) / (b.x - a.x);
        return PointF{v, a.y + k * (b.y - a.y)};
      }
      const double k = (v - a.y) / (b.y - a.y);
      return PointF{a.x + k * (b.x - a.x), v};
    };
    out.clear();
    for (size_t i = 0; i < poly.size(); ++i) {
      const PointF& cur = poly[i];
      const PointF& prev = poly[(i + poly.size() - 1) % poly.size()];
      if (inside(cur)) {
        if (!inside(prev)) out.push_back(cross(prev, cur));
        out.push_back(cur);
      } else if (inside(prev)) {
        out.push_back(cross(prev, cur));
      }
    }
    poly.swap(out);
  }
  return poly;
}

// Liang-Barsky clipping of a segment; false when nothing of it is inside.
bool ClipSegment(PointF& a, PointF& b, const RectF& r) {
  double t0 = 0, t1 = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - r.l, r.r - a.x, a.y - r.t, r.b - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const PointF a0 = a;
  a = {a0.x + t0 * dx, a0.y + t0 * dy};
  b = {a0.x + t1 * dx, a0.y + t1 * dy};
  return true;
}

Point ToPoint(const PointF& p) { return {ToPixel(p.x), ToPixel(p.y)}; }

double Det(const Matrix& m) { return m.m11 * m.m22 - m.m12 * m.m21; }

}  // namespace

int32_t ToPixel(double v) {
  if (!(v == v)) return 0;  // NaN
  return static_cast<int32_t>(std::lround(std::clamp(v, -kMaxCoordinate, kMaxCoordinate)));
}

float Reader::F32(uint64_t o) const {
  const uint32_t bits = U32(o);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

// ---- Matrix
// --------------------------------------------------------------------------------------

Matrix Matrix::Then(const Matrix& o) const {
  return {m11 * o.m11 + m12 * o.m21,      m11 * o.m12 + m12 * o.m22,
          m21 * o.m11 + m22 * o.m21,      m21 * o.m12 + m22 * o.m22,
          dx * o.m11 + dy * o.m21 + o.dx, dx * o.m12 + dy * o.m22 + o.dy};
}

std::optional<Matrix> Matrix::Inverse() const {
  const double d = Det(*this);
  if (std::fabs(d) < 1e-12 || !std::isfinite(d)) return std::nullopt;
  Matrix r{m22 / d, -m12 / d, -m21 / d, m11 / d, 0, 0};
  r.dx = -(dx * r.m11 + dy * r.m21);
  r.dy = -(dx * r.m12 + dy * r.m22);
  return r;
}

double Matrix::ScaleX() const { return std::hypot(m11, m12); }
double Matrix::ScaleY() const { return std::hypot(m21, m22); }
bool Matrix::IsFinite() const {
  return std::isfinite(m11) && std::isfinite(m12) && std::isfinite(m21) && std::isfinite(m22) &&
         std::isfinite(dx) && std::isfinite(dy);
}

// ---- Player: set-up and coordinates
// ---------------------------------------------------------------

Player::Player(Canvas& c, const Metafile& p, const Rect& dest)
    : canvas(c), picture(p), frame_(dest) {
  canvas.SaveState();
  base_ = canvas.ClipRegion();
  const Point o = canvas.Origin();
  Region visible = base_;
  visible.Offset(-o.x, -o.y);
  limit_ =
      visible.Bounds().Intersect({dest.left - 2, dest.top - 2, dest.right + 2, dest.bottom + 2});
  wmf = p.GetKind() == Metafile::Kind::Wmf;
  ApplyClip();
}

Player::~Player() { canvas.RestoreState(); }

Matrix Player::PageToCanvas() const {
  double sx = 1, sy = 1;
  const PointF wExt{st.windowExt.x ? st.windowExt.x : 1, st.windowExt.y ? st.windowExt.y : 1};
  if (wmf) {
    // The viewport of a Windows metafile is the destination rectangle.
    sx = frame_.Width() / wExt.x;
    sy = frame_.Height() / wExt.y;
    return Matrix{sx, 0, 0, sy, frame_.left - st.windowOrg.x * sx, frame_.top - st.windowOrg.y * sy}
        .Then(playback);
  }
  const Size px = picture.DevicePixels(), mm = picture.DeviceMillimetres();
  const double pxPerMmX = double(px.cx) / mm.cx, pxPerMmY = double(px.cy) / mm.cy;
  const PointF vExt{st.viewportExt.x ? st.viewportExt.x : 1,
                    st.viewportExt.y ? st.viewportExt.y : 1};
  switch (st.mapMode) {
    case 2:
      sx = pxPerMmX / 10, sy = -pxPerMmY / 10;
      break;  // 0.1 mm
    case 3:
      sx = pxPerMmX / 100, sy = -pxPerMmY / 100;
      break;  // 0.01 mm
    case 4:
      sx = pxPerMmX * 0.254, sy = -pxPerMmY * 0.254;
      break;  // 0.01 inch
    case 5:
      sx = pxPerMmX * 0.0254, sy = -pxPerMmY * 0.0254;
      break;  // 0.001 inch
    case 6:
      sx = pxPerMmX * 25.4 / 1440, sy = -pxPerMmY * 25.4 / 1440;
      break;  // twips
    case 7: {
      sx = vExt.x / wExt.x;
      sy = vExt.y / wExt.y;
      const double m = std::min(std::fabs(sx), std::fabs(sy));
      sx = std::copysign(m, sx);
      sy = std::copysign(m, sy);
      break;
    }
    case 8:
      sx = vExt.x / wExt.x, sy = vExt.y / wExt.y;
      break;
    default:
      break;
  }
  return Matrix{
      sx, 0, 0, sy, st.viewportOrg.x - st.windowOrg.x * sx, st.viewportOrg.y - st.windowOrg.y * sy}
      .Then(playback);
}

Matrix Player::Total() const { return st.world.Then(PageToCanvas()); }

Rect Player::ToCanvasRect(double l, double t, double r, double b) const {
  const Matrix m = Total();
  const PointF c[4] = {m.Apply({l, t}), m.Apply({r, t}), m.Apply({l, b}), m.Apply({r, b})};
  double x0 = c[0].x, x1 = c[0].x, y0 = c[0].y, y1 = c[0].y;
  for (const PointF& p : c) {
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  return {ToPixel(x0), ToPixel(y0), ToPixel(x1), ToPixel(y1)};
}

// ---- State stack and objects -------------------------------------------------------------------

void Player::Save() {
  if (saved_.size() < kMaxSavedStates) saved_.push_back(st);
}

void Player::Restore(int32_t relative) {
  size_t level = 0;
  if (relative < 0) {
    if (size_t(-int64_t{relative}) > saved_.size()) return;
    level = saved_.size() - size_t(-int64_t{relative});
  } else {
    if (relative == 0 || size_t(relative) > saved_.size()) return;
    level = size_t(relative) - 1;
  }
  st = saved_[level];
  saved_.resize(level);
  ApplyClip();
}

void Player::SelectStock(uint32_t id) {
  static const Color kBrushes[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
  if (id <= 4)
    st.brush = {BrushObj::Kind::Solid, kBrushes[id], 0, nullptr};
  else if (id == 5)
    st.brush.kind = BrushObj::Kind::Null;
  else if (id == 6)
    st.pen = {PenStyle::Solid, 0, true, 0xFFFFFF};
  else if (id == 7 || id == 19)
    st.pen = {PenStyle::Solid, 0, true, 0x000000};
  else if (id == 8)
    st.pen.style = PenStyle::Null;
  else if (id == 18)
    st.brush = {BrushObj::Kind::Solid, 0xFFFFFF, 0, nullptr};
  else if (id >= 10 && id <= 17)
    st.font = FontObj{};
}

// ---- Paths and shapes
// ------------------------------------------------------------------------------

void Player::Shape(std::vector<Figure> figures, bool fill, bool stroke) {
  if (pathOpen) {
    for (Figure& f : figures) path.push_back(std::move(f));
    return;
  }
  if (fill) Fill(figures, st.brush);
  if (stroke) Stroke(figures);
}

void Player::MoveTo(PointF logical) {
  st.position = logical;
  if (pathOpen) path.push_back({{ToCanvas(logical)}, false});
}

void Player::LineTo(PointF logical) {
  const PointF from = ToCanvas(st.position), to = ToCanvas(logical);
  st.position = logical;
  if (pathOpen) {
    if (path.empty() || path.back().closed) path.push_back({{from}, false});
    path.back().points.push_back(to);
    return;
  }
  Stroke({{{from, to}, false}});
}

void Player::PolyBezierTo(std::span<const PointF> pts) {
  std::vector<PointF> points{ToCanvas(st.position)};
  for (size_t i = 0; i + 2 < pts.size(); i += 3) {
    const std::vector<PointF> seg =
        Bezier(points.back(), ToCanvas(pts[i]), ToCanvas(pts[i + 1]), ToCanvas(pts[i + 2]));
    points.insert(points.end(), seg.begin() + 1, seg.end());
    st.position = pts[i + 2];
  }
  if (pathOpen) {
    if (path.empty() || path.back().closed) path.push_back({{points.front()}, false});
    path.back().points.insert(path.back().points.end(), points.begin() + 1, points.end());
    return;
  }
  Stroke({{points, false}});
}

void Player::CloseFigure() {
  if (!pathOpen || path.empty() || path.back().closed) return;
  path.back().closed = true;
  const PointF start = path.back().points.front();
  path.push_back({{start}, false});
}

Figure Player::Polyline(std::span<const PointF> logical, bool closed) const {
  const Matrix m = Total();
  Figure f;
  f.closed = closed;
  f.points.reserve(logical.size());
  for (const PointF& p : logical) f.points.push_back(m.Apply(p));
  return f;
}

Figure Player::RectFigure(double l, double t, double r, double b) const {
  const PointF c[4] = {{l, t}, {r, t}, {r, b}, {l, b}};
  return Polyline(c, true);
}

namespace {
// How many segments make a smooth curve of this length in pixels.
int32_t Segments(double length) { return std::clamp(static_cast<int32_t>(length / 3.0), 8, 256); }
}  // namespace

Figure Player::EllipseFigure(double l, double t, double r, double b) const {
  const double cx = (l + r) / 2, cy = (t + b) / 2, rx = std::fabs(r - l) / 2,
               ry = std::fabs(b - t) / 2;
  const Matrix m = Total();
  const int32_t n = Segments(2 * kPi * std::max(rx * m.ScaleX(), ry * m.ScaleY()));
  Figure f;
  f.closed = true;
  for (int32_t i = 0; i < n; ++i) {
    const double a = 2 * kPi * i / n;
    f.points.push_back(m.Apply({cx + rx * std::cos(a), cy - ry * std::sin(a)}));
  }
  return f;
}

Figure Player::RoundRectFigure(double l, double t, double r, double b, double w, double h) const {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  const double rx = std::min(std::fabs(w) / 2, (r - l) / 2),
               ry = std::min(std::fabs(h) / 2, (b - t) / 2);
  const Matrix m = Total();
  const int32_t n = Segments(kPi / 2 * std::max(rx * m.ScaleX(), ry * m.ScaleY())) / 4 + 2;
  const struct {
    double cx, cy, from;
  } corners[4] = {{r - rx, t + ry, 0},
                  {l + rx, t + ry, kPi / 2},
                  {l + rx, b - ry, kPi},
                  {r - rx, b - ry, 3 * kPi / 2}};
  Figure f;
  f.closed = true;
  for (const auto& c : corners)
    for (int32_t i = 0; i <= n; ++i) {
      const double a = c.from + kPi / 2 * i / n;
      f.points.push_back(m.Apply({c.cx + rx * std::cos(a), c.cy - ry * std::sin(a)}));
    }
  return f;
}

Figure Player::ArcFigure(double l, double t, double r, double b, PointF start, PointF end,
                         int kind) const {
  const double cx = (l + r) / 2, cy = (t + b) / 2;
  const double rx = std::max(std::fabs(r - l) / 2, 1e-9), ry = std::max(std::fabs(b - t) / 2, 1e-9);
  const Matrix m = Total();
  double a0 = std::atan2(-(start.y - cy) / ry, (start.x - cx) / rx);
  double a1 = std::atan2(-(end.y - cy) / ry, (end.x - cx) / rx);
  // Arcs run anticlockwise as the canvas shows them unless the picture asks for clockwise ones.
  bool anticlockwise = !st.clockwiseArcs;
  if (Det(m) < 0) anticlockwise = !anticlockwise;
  if (anticlockwise) {
    while (a1 <= a0) a1 += 2 * kPi;
  } else {
    while (a1 >= a0) a1 -= 2 * kPi;
  }
  const double sweep = a1 - a0;
  const int32_t n =
      std::max(2, int32_t(Segments(std::fabs(sweep) * std::max(rx * m.ScaleX(), ry * m.ScaleY()))));
  Figure f;
  for (int32_t i = 0; i <= n; ++i) {
    const double a = a0 + sweep * i / n;
    f.points.push_back(m.Apply({cx + rx * std::cos(a), cy - ry * std::sin(a)}));
  }
  if (kind == 2) f.points.push_back(m.Apply({cx, cy}));
  f.closed = kind != 0;
  return f;
}

std::vector<PointF> Player::Bezier(PointF p0, PointF p1, PointF p2, PointF p3) const {
  auto dist = [](PointF a, PointF b) { return std::hypot(b.x - a.x, b.y - a.y); };
  const double length = dist(p0, p1) + dist(p1, p2) + dist(p2, p3);
  const int32_t n =
      std::clamp(static_cast<int32_t>(std::isfinite(length) ? length / 4 : 0), 4, 128);
  std::vector<PointF> out;
  for (int32_t i = 0; i <= n; ++i) {
    const double t = double(i) / n, u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    out.push_back(
        {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
  }
  return out;
}

// ---- Fills and outlines
// ----------------------------------------------------------------------------

Region Player::PathRegion(const std::vector<Figure>& figures) const {
  const RectF box = ToRectF(limit_, 1);
  std::vector<Point> points;
  std::vector<int32_t> counts;
  for (const Figure& f : figures) {
    if (f.points.size() < 3) continue;
    const std::vector<PointF> clipped = ClipPolygon(f.points, box);
    if (clipped.size() < 3) continue;
    for (const PointF& p : clipped) points.push_back(ToPoint(p));
    counts.push_back(static_cast<int32_t>(clipped.size()));
  }
  if (counts.empty()) return {};
  return Region::FromPolygons(points, counts, st.winding ? FillMode::Winding : FillMode::Alternate);
}

void Player::Fill(const std::vector<Figure>& figures, const BrushObj& brush) {
  if (brush.kind == BrushObj::Kind::Null) return;
  FillRegion(PathRegion(figures), brush);
}

void Player::FillRegion(const Region& whole, const BrushObj& brush) {
  if (whole.IsEmpty() || brush.kind == BrushObj::Kind::Null) return;
  // Only the part that can show is filled, so that no far-off coordinate reaches the device.
  const Region region = Region::Combine(whole, Region(limit_), RegionOp::And);
  if (region.IsEmpty()) return;
  if (brush.kind == BrushObj::Kind::Solid ||
      (brush.kind == BrushObj::Kind::Pattern && !brush.pattern)) {
    canvas.FillRegion(region, brush.colour);
    return;
  }
  if (brush.kind == BrushObj::Kind::Hatch && st.bkOpaque) canvas.FillRegion(region, st.bkColor);
  canvas.SaveState();
  Region device = region;
  const Point o = canvas.Origin();
  device.Offset(o.x, o.y);
  canvas.SetClipRegion(Region::Combine(device, canvas.ClipRegion(), RegionOp::And));
  const Rect box = region.Bounds();
  if (brush.kind == BrushObj::Kind::Hatch) {
    canvas.SetPen({PenStyle::Solid, 1, brush.colour});
    canvas.SetRop2(Rop2::CopyPen);
    const int32_t h = brush.hatch;
    const int32_t x0 = box.left - ((box.left % 8) + 8) % 8, y0 = box.top - ((box.top % 8) + 8) % 8;
    if (h == 0 || h == 4)
      for (int32_t y = y0; y < box.bottom; y += 8) canvas.Line(box.left, y, box.right, y);
    if (h == 1 || h == 4)
      for (int32_t x = x0; x < box.right; x += 8) canvas.Line(x, box.top, x, box.bottom);
    const int32_t span = box.Width() + box.Height();
    if (h == 2 || h == 5)
      for (int32_t k = x0 - box.Height() - 8; k < box.right; k += 8)
        canvas.Line(k, y0, k + span + 8, y0 + span + 8);
    if (h == 3 || h == 5)
      for (int32_t k = x0; k < box.right + box.Height() + 8; k += 8)
        canvas.Line(k, y0, k - span - 8, y0 + span + 8);
  } else {
    const Bitmap& tile = *brush.pattern;
    const int32_t tw = tile.Width(), th = tile.Height();
    if (tw > 0 && th > 0) {
      const int32_t x0 = box.left - (((box.left - ToPixel(st.brushOrigin.x)) % tw) + tw) % tw;
      const int32_t y0 = box.top - (((box.top - ToPixel(st.brushOrigin.y)) % th) + th) % th;
      for (int32_t y = y0; y < box.bottom; y += th)
        for (int32_t x = x0; x < box.right; x += tw) canvas.DrawBitmap(x, y, tile);
    }
  }
  canvas.RestoreState();
}

void Player::Stroke(const std::vector<Figure>& figures) {
  if (st.pen.style == PenStyle::Null) return;
  const Matrix m = Total();
  int32_t width = 1;
  if (!st.pen.cosmetic && st.pen.width > 1)
    width = std::clamp(ToPixel(st.pen.width * std::sqrt(std::fabs(Det(m)))), 1, 1 << 16);
  canvas.SetPen({st.pen.style, width, st.pen.colour});
  canvas.SetRop2(st.rop);
  const RectF box = ToRectF(limit_, width + 2.0);
  for (const Figure& f : figures) {
    std::vector<PointF> pts = f.points;
    if (f.closed && pts.size() > 1) pts.push_back(pts.front());
    std::vector<Point> run;
    auto flush = [&] {
      if (run.size() > 1) canvas.Polyline(run);
      run.clear();
    };
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
      PointF a = pts[i], b = pts[i + 1];
      if (!ClipSegment(a, b, box)) {
        flush();
        continue;
      }
      const Point pa = ToPoint(a), pb = ToPoint(b);
      if (run.empty() || !(run.back() == pa)) {
        flush();
        run.push_back(pa);
      }
      run.push_back(pb);
    }
    flush();
  }
}

void Player::SetPixel(PointF logical, Color c) {
  const PointF p = ToCanvas(logical);
  canvas.SetPixel(ToPixel(p.x), ToPixel(p.y), c);
}

// ---- Text
// --------------------------------------------------------------------------------------------

void Player::Text(PointF logical, std::u16string_view text, std::string_view bytes,
                  std::span<const double> dx, uint32_t options, const double* rect) {
  const Matrix m = Total();
  LogFont lf = st.font.font;
  const double sy = m.ScaleY(), sx = m.ScaleX();
  const double height = lf.Height == 0 ? -12.0 * sy : lf.Height * sy;
  if (!std::isfinite(height) || std::fabs(height) > 4096 || std::fabs(height) < 0.5) return;
  lf.Height = ToPixel(height);
  lf.Width = std::clamp(ToPixel(lf.Width * sx), -4096, 4096);
  const double turn = std::atan2(-m.m12, m.m11) * 1800 / kPi;
  lf.Escapement = ToPixel(std::fmod(lf.Escapement + (std::isfinite(turn) ? turn : 0), 3600.0));
  const PointF at = m.Apply(logical);
  if (std::fabs(at.x) > 1e6 || std::fabs(at.y) > 1e6) return;

  std::vector<int32_t> advances;
  double sum = 0;
  int32_t placed = 0;
  for (double d : dx) {
    sum += d * sx;
    const int32_t next = ToPixel(sum);
    advances.push_back(next - placed);
    placed = next;
  }
  Rect box;
  if (rect) box = ToCanvasRect(rect[0], rect[1], rect[2], rect[3]).Intersect(limit_);
  canvas.SetFont(Font(lf));
  canvas.SetTextColor(st.textColor);
  canvas.SetBkColor(st.bkColor);
  canvas.SetBkMode(st.bkOpaque ? BkMode::Opaque : BkMode::Transparent);
  canvas.SetTextAlign(st.textAlign & (align::UpdateCP | align::Center | align::Baseline));
  const uint32_t opts = rect ? options & (eto::Opaque | eto::Clipped) : 0;
  const Rect* r = rect ? &box : nullptr;
  if (st.textAlign & align::UpdateCP)
    canvas.MoveTo(ToPixel(ToCanvas(st.position).x), ToPixel(ToCanvas(st.position).y));
  if (!bytes.empty())
    canvas.ExtTextOut(ToPixel(at.x), ToPixel(at.y), opts, r, bytes, advances);
  else
    canvas.ExtTextOut(ToPixel(at.x), ToPixel(at.y), opts, r, text, advances);
  if (st.textAlign & align::UpdateCP) {
    if (const std::optional<Matrix> inv = m.Inverse()) {
      const Point cp = canvas.CurrentPosition();
      st.position = inv->Apply({double(cp.x), double(cp.y)});
    }
  }
}

// ---- Bitmaps
// -------------------------------------------------------------------------------------

namespace {
constexpr uint32_t kSrcCopy = 0x00CC0020, kSrcAnd = 0x008800C6, kSrcPaint = 0x00EE0086,
                   kSrcInvert = 0x00660046, kNotSrcCopy = 0x00330008, kPatCopy = 0x00F00021,
                   kPatInvert = 0x005A0049, kDstInvert = 0x00550009, kBlackness = 0x00000042,
                   kWhiteness = 0x00FF0062;
}  // namespace

void Player::DrawDib(const Bitmap& source, double sx, double sy, double sw, double sh, double dx,
                     double dy, double dw, double dh, uint32_t rop,
                     std::optional<Color> transparent) {
  if (source.IsEmpty()) return;
  if (sw < 0) sx += sw, sw = -sw;
  if (sh < 0) sy += sh, sh = -sh;
  // The source rectangle within the bitmap, the destination shrunk alike.
  const double cx0 = std::max(sx, 0.0), cy0 = std::max(sy, 0.0);
  const double cx1 = std::min(sx + sw, double(source.Width())),
               cy1 = std::min(sy + sh, double(source.Height()));
  if (cx1 <= cx0 || cy1 <= cy0 || sw <= 0 || sh <= 0) return;
  const double fx = dw / sw, fy = dh / sh;
  const Rect dest = ToCanvasRect(dx + (cx0 - sx) * fx, dy + (cy0 - sy) * fy, dx + (cx1 - sx) * fx,
                                 dy + (cy1 - sy) * fy);
  const Rect visible = dest.Intersect(limit_);
  if (visible.IsEmpty() || dest.Width() <= 0 || dest.Height() <= 0) return;
  // The part of the source that lands on the visible part.
  const double kx = (cx1 - cx0) / dest.Width(), ky = (cy1 - cy0) / dest.Height();
  Rect src{ToPixel(cx0 + (visible.left - dest.left) * kx),
           ToPixel(cy0 + (visible.top - dest.top) * ky),
           ToPixel(cx0 + (visible.right - dest.left) * kx),
           ToPixel(cy0 + (visible.bottom - dest.top) * ky)};
  src = src.Intersect(source.Bounds());
  if (src.IsEmpty())
    src = Rect{ToPixel(cx0), ToPixel(cy0), ToPixel(cx0) + 1, ToPixel(cy0) + 1}.Intersect(
        source.Bounds());
  if (src.IsEmpty()) return;
  const bool sameSize = src.Width() == visible.Width() && src.Height() == visible.Height();
  if (!transparent && rop != kSrcAnd && rop != kSrcPaint && rop != kSrcInvert &&
      rop != kNotSrcCopy) {
    if (sameSize)
      canvas.DrawBitmap(visible.left, visible.top, source, src);
    else
      canvas.StretchBitmap(visible, source, src, true);
    return;
  }
  Bitmap scaled(visible.Width(), visible.Height());
  {
    Canvas c(scaled);
    c.StretchBitmap(scaled.Bounds(), source, src, false);
    c.Flush();
  }
  if (transparent) {
    canvas.DrawTransparent(visible.left, visible.top, scaled, scaled.Bounds(), *transparent);
    return;
  }
  RasterOp op = rop == kSrcAnd      ? RasterOp::SrcAnd
                : rop == kSrcPaint  ? RasterOp::SrcPaint
                : rop == kSrcInvert ? RasterOp::SrcInvert
                                    : RasterOp::SrcCopy;
  if (rop == kNotSrcCopy)
    for (int32_t y = 0; y < scaled.Height(); ++y)
      for (int32_t x = 0; x < scaled.Width(); ++x) scaled.ScanLine(y)[x] ^= 0x00FFFFFFu;
  canvas.DrawBitmap(visible.left, visible.top, scaled, scaled.Bounds(), op);
}

void Player::PatBlt(double l, double t, double w, double h, uint32_t rop) {
  const Rect box = ToCanvasRect(l, t, l + w, t + h).Intersect(limit_);
  if (box.IsEmpty()) return;
  switch (rop) {
    case kBlackness:
      canvas.FillRect(box, 0x000000);
      break;
    case kWhiteness:
      canvas.FillRect(box, 0xFFFFFF);
      break;
    case kDstInvert:
      canvas.InvertRect(box);
      break;
    case kPatInvert:
      if (st.brush.kind == BrushObj::Kind::Null) break;
      canvas.SetPen({PenStyle::Null, 1, 0});
      canvas.SetBrush({BrushStyle::Solid, st.brush.colour});
      canvas.SetRop2(Rop2::XorPen);
      canvas.Rectangle(box);
      break;
    case kPatCopy:
    default:
      FillRegion(Region(box), st.brush);
      break;
  }
}

void Player::AlphaBlend(const Bitmap& source, double sx, double sy, double sw, double sh, double dx,
                        double dy, double dw, double dh, uint8_t alpha) {
  const Rect dest = ToCanvasRect(dx, dy, dx + dw, dy + dh);
  const Rect src =
      Rect{ToPixel(sx), ToPixel(sy), ToPixel(sx + sw), ToPixel(sy + sh)}.Intersect(source.Bounds());
  const Rect visible = dest.Intersect(limit_);
  if (src.IsEmpty() || visible.IsEmpty()) return;
  if (visible == dest) {
    canvas.AlphaBlend(dest, source, src, alpha);
    return;
  }
  // Only the visible part is blended, so that a far-off destination costs nothing.
  const double kx = double(src.Width()) / dest.Width(), ky = double(src.Height()) / dest.Height();
  Rect part{src.left + ToPixel((visible.left - dest.left) * kx),
            src.top + ToPixel((visible.top - dest.top) * ky),
            src.left + ToPixel((visible.right - dest.left) * kx),
            src.top + ToPixel((visible.bottom - dest.top) * ky)};
  part = part.Intersect(source.Bounds());
  if (!part.IsEmpty()) canvas.AlphaBlend(visible, source, part, alpha);
}

// ---- Clipping
// -----------------------------------------------------------------------------------------

void Player::CombineClip(const Region& region, int32_t mode) {
  const Region all(Rect{frame_.left - 2, frame_.top - 2, frame_.right + 2, frame_.bottom + 2});
  const Region current = st.clip ? *st.clip : all;
  switch (mode) {
    case 1:
      st.clip = Region::Combine(current, region, RegionOp::And);
      break;
    case 2:
      st.clip = Region::Combine(current, region, RegionOp::Or);
      break;
    case 3:
      st.clip = Region::Combine(current, region, RegionOp::Xor);
      break;
    case 4:
      st.clip = Region::Combine(current, region, RegionOp::Diff);
      break;
    case 5:
      st.clip = region;
      break;
    default:
      return;
  }
  ApplyClip();
}

void Player::ApplyClip() {
  const Point o = canvas.Origin();
  Region allowed(Rect{frame_.left, frame_.top, frame_.right + 1, frame_.bottom + 1});
  if (st.clip) allowed.Intersect(*st.clip);
  allowed.Offset(o.x, o.y);
  canvas.SetClipRegion(Region::Combine(allowed, base_, RegionOp::And));
}

}  // namespace plat::mf
