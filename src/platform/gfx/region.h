#pragma once
// Regions: sets of pixels held as non-overlapping rectangles in band order.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/gfx/types.h"

namespace plat {

enum class RegionOp { And, Or, Xor, Diff, Copy };
// How a polygon's inside is decided: alternate (even-odd) or winding (non-zero).
enum class FillMode { Alternate, Winding };

// A set of pixels. The rectangles are kept in band order: sorted by top, then by left; every
// band (rectangles with the same top and bottom) holds disjoint rectangles that do not touch,
// and vertically adjacent bands with the same spans are merged. Equal sets therefore have
// equal rectangle lists.
class Region {
 public:
  Region() = default;
  explicit Region(const Rect& r);
  // The pixels whose centres lie inside the polygon (closed automatically); rows beyond
  // 131072 pixels from 0 are left out.
  static Region FromPolygon(std::span<const Point> points, FillMode mode = FillMode::Alternate);
  // Several polygons at once (an even-odd or winding fill over all of them together).
  static Region FromPolygons(std::span<const Point> points, std::span<const int32_t> counts,
                             FillMode mode = FillMode::Alternate);
  // The polygon moved by `offset` (in 64 bits, so far-off points cannot wrap round), only its
  // part inside `clip`: rows outside the clip are never scanned, however far the points reach.
  static Region FromPolygonClipped(std::span<const Point> points, FillMode mode, Point offset,
                                   const Rect& clip);
  static Region FromRects(std::span<const Rect> rects);  // their union

  // The result of a op b; Copy gives a.
  static Region Combine(const Region& a, const Region& b, RegionOp op);
  Region& Union(const Region& o) { return *this = Combine(*this, o, RegionOp::Or); }
  Region& Intersect(const Region& o) { return *this = Combine(*this, o, RegionOp::And); }
  Region& Subtract(const Region& o) { return *this = Combine(*this, o, RegionOp::Diff); }
  Region& Xor(const Region& o) { return *this = Combine(*this, o, RegionOp::Xor); }
  Region& Union(const Rect& r) { return Union(Region(r)); }
  Region& Subtract(const Rect& r) { return Subtract(Region(r)); }

  void Offset(int32_t dx, int32_t dy);
  bool IsEmpty() const { return rects_.empty(); }
  // Bounding box; all zero when empty.
  Rect Bounds() const;
  bool Contains(Point p) const;
  // Whether any pixel of the rectangle is in the region.
  bool Intersects(const Rect& r) const;
  const std::vector<Rect>& Rects() const { return rects_; }

  friend bool operator==(const Region&, const Region&) = default;

 private:
  std::vector<Rect> rects_;
};

}  // namespace plat
