#include "platform/gfx/region.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace plat {

namespace {

constexpr int32_t kMaxRow = 1 << 17;

struct Span {
  int32_t l, r;
  friend bool operator==(const Span&, const Span&) = default;
};

struct Band {
  int32_t top, bottom;
  std::vector<Span> spans;
};

std::vector<Band> ToBands(const std::vector<Rect>& rects) {
  std::vector<Band> bands;
  for (const Rect& r : rects) {
    if (bands.empty() || bands.back().top != r.top || bands.back().bottom != r.bottom)
      bands.push_back({r.top, r.bottom, {}});
    bands.back().spans.push_back({r.left, r.right});
  }
  return bands;
}

// Appends a band, merging it into the previous one when they touch and hold the same spans.
void AppendBand(std::vector<Band>& out, int32_t top, int32_t bottom, std::vector<Span>&& spans) {
  if (spans.empty() || top >= bottom) return;
  if (!out.empty() && out.back().bottom == top && out.back().spans == spans) {
    out.back().bottom = bottom;
    return;
  }
  out.push_back({top, bottom, std::move(spans)});
}

std::vector<Rect> FromBands(const std::vector<Band>& bands) {
  std::vector<Rect> rects;
  for (const Band& b : bands)
    for (const Span& s : b.spans) rects.push_back({s.l, b.top, s.r, b.bottom});
  return rects;
}

bool Keep(RegionOp op, bool a, bool b) {
  switch (op) {
    case RegionOp::And: return a && b;
    case RegionOp::Or: return a || b;
    case RegionOp::Xor: return a != b;
    case RegionOp::Diff: return a && !b;
    case RegionOp::Copy: return a;
  }
  return false;
}

// Combines two sorted lists of disjoint spans.
std::vector<Span> CombineSpans(const std::vector<Span>* a, const std::vector<Span>* b,
                               RegionOp op) {
  static const std::vector<Span> kNone;
  const std::vector<Span>& sa = a ? *a : kNone;
  const std::vector<Span>& sb = b ? *b : kNone;
  std::vector<int32_t> xs;
  xs.reserve(2 * (sa.size() + sb.size()));
  for (const Span& s : sa) xs.insert(xs.end(), {s.l, s.r});
  for (const Span& s : sb) xs.insert(xs.end(), {s.l, s.r});
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::vector<Span> out;
  size_t ia = 0, ib = 0;
  for (size_t i = 0; i + 1 < xs.size(); ++i) {
    const int32_t x0 = xs[i], x1 = xs[i + 1];
    while (ia < sa.size() && sa[ia].r <= x0) ++ia;
    while (ib < sb.size() && sb[ib].r <= x0) ++ib;
    const bool inA = ia < sa.size() && sa[ia].l <= x0;
    const bool inB = ib < sb.size() && sb[ib].l <= x0;
    if (!Keep(op, inA, inB)) continue;
    if (!out.empty() && out.back().r == x0)
      out.back().r = x1;
    else
      out.push_back({x0, x1});
  }
  return out;
}

const std::vector<Span>* SpansAt(const std::vector<Band>& bands, size_t& cursor, int32_t y) {
  while (cursor < bands.size() && bands[cursor].bottom <= y) ++cursor;
  if (cursor < bands.size() && bands[cursor].top <= y) return &bands[cursor].spans;
  return nullptr;
}

}  // namespace

Region::Region(const Rect& r) {
  if (!r.IsEmpty()) rects_.push_back(r);
}

Region Region::Combine(const Region& a, const Region& b, RegionOp op) {
  if (op == RegionOp::Copy) return a;
  const std::vector<Band> ba = ToBands(a.rects_);
  const std::vector<Band> bb = ToBands(b.rects_);
  std::vector<int32_t> ys;
  for (const Band& x : ba) ys.insert(ys.end(), {x.top, x.bottom});
  for (const Band& x : bb) ys.insert(ys.end(), {x.top, x.bottom});
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<Band> out;
  size_t ca = 0, cb = 0;
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    const std::vector<Span>* sa = SpansAt(ba, ca, ys[i]);
    const std::vector<Span>* sb = SpansAt(bb, cb, ys[i]);
    if (!sa && !sb) continue;
    AppendBand(out, ys[i], ys[i + 1], CombineSpans(sa, sb, op));
  }
  Region r;
  r.rects_ = FromBands(out);
  return r;
}

Region Region::FromRects(std::span<const Rect> rects) {
  Region r;
  for (const Rect& x : rects) r.Union(x);
  return r;
}

namespace {

// Scans polygons row by row: the pixels whose centres lie inside, within the rows [top, bottom)
// and the columns [left, right) of `clip`, after moving every point by `offset`.
std::vector<Rect> ScanPolygons(std::span<const Point> points, std::span<const int32_t> counts,
                               FillMode mode, Point offset, const Rect& clip) {
  struct Edge {
    double x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  double minY = std::numeric_limits<double>::max(), maxY = std::numeric_limits<double>::lowest();
  size_t start = 0;
  for (int32_t n : counts) {
    if (n < 0 || start + size_t(n) > points.size()) break;
    for (int32_t i = 0; i < n; ++i) {
      const Point p = points[start + size_t(i)];
      const Point q = points[start + size_t((i + 1) % n)];
      const double px = double(p.x) + offset.x, py = double(p.y) + offset.y;
      const double qx = double(q.x) + offset.x, qy = double(q.y) + offset.y;
      minY = std::min(minY, py);
      maxY = std::max(maxY, py);
      if (py == qy) continue;
      if (py < qy)
        edges.push_back({px, py, qx, qy, 1});
      else
        edges.push_back({qx, qy, px, py, -1});
    }
    start += size_t(n);
  }
  if (edges.empty() || clip.IsEmpty()) return {};
  minY = std::max(minY, double(clip.top));
  maxY = std::min(maxY, double(clip.bottom));
  // Span ends are kept inside the clip's columns, so they always fit in 32 bits.
  auto column = [&clip](double x) {
    return int32_t(std::clamp(std::ceil(x - 0.5), double(clip.left), double(clip.right)));
  };
  std::vector<Band> bands;
  std::vector<std::pair<double, int>> xs;
  for (int64_t y = int64_t(std::floor(minY)); y < int64_t(std::ceil(maxY)); ++y) {
    const double yc = double(y) + 0.5;  // pixels whose centres lie inside
    xs.clear();
    for (const Edge& e : edges)
      if (e.y0 <= yc && yc < e.y1)
        xs.push_back({e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
    std::sort(xs.begin(), xs.end());
    std::vector<Span> spans;
    int winding = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      winding += mode == FillMode::Alternate ? 1 : xs[i].second;
      const bool inside = mode == FillMode::Alternate ? (winding & 1) != 0 : winding != 0;
      if (!inside) continue;
      const int32_t l = column(xs[i].first);
      const int32_t r = column(xs[i + 1].first);
      if (l >= r) continue;
      if (!spans.empty() && spans.back().r >= l)
        spans.back().r = std::max(spans.back().r, r);
      else
        spans.push_back({l, r});
    }
    AppendBand(bands, int32_t(y), int32_t(y + 1), std::move(spans));
  }
  return FromBands(bands);
}

}  // namespace

Region Region::FromPolygon(std::span<const Point> points, FillMode mode) {
  const int32_t count = int32_t(points.size());
  return FromPolygons(points, std::span<const int32_t>(&count, 1), mode);
}

Region Region::FromPolygons(std::span<const Point> points, std::span<const int32_t> counts,
                            FillMode mode) {
  // Rows are scanned one by one; far beyond any device they are left out rather than scanned.
  Region result;
  result.rects_ = ScanPolygons(points, counts, mode, Point{},
                               Rect{INT32_MIN, -kMaxRow, INT32_MAX, kMaxRow});
  return result;
}

Region Region::FromPolygonClipped(std::span<const Point> points, FillMode mode, Point offset,
                                  const Rect& clip) {
  const int32_t count = int32_t(points.size());
  Region result;
  result.rects_ = ScanPolygons(points, std::span<const int32_t>(&count, 1), mode, offset, clip);
  return result;
}

void Region::Offset(int32_t dx, int32_t dy) {
  for (Rect& r : rects_) r = r.Offset(dx, dy);
}

Rect Region::Bounds() const {
  Rect b;
  for (const Rect& r : rects_) b = b.Union(r);
  return b;
}

bool Region::Contains(Point p) const {
  for (const Rect& r : rects_) {
    if (r.top > p.y) break;
    if (r.Contains(p)) return true;
  }
  return false;
}

bool Region::Intersects(const Rect& q) const {
  if (q.IsEmpty()) return false;
  for (const Rect& r : rects_) {
    if (r.top >= q.bottom) break;
    if (!r.Intersect(q).IsEmpty()) return true;
  }
  return false;
}

}  // namespace plat
