// The geometry of floating shapes that layout and the document window ask for: the region text
// keeps out of (a rectangle for square and top-and-bottom wrapping, the rectangles of the wrap
// polygon for tight and through wrapping), the shape's bounds, its selection handles and the
// rectangle while it is resized.
#include <algorithm>
#include <cmath>

#include "document/doc.h"
#include "document/shape.h"
#include "foundation/base/units.h"

namespace qv {

namespace {

using TRect = std::array<int32_t, 4>;
using W = TShapeProps::TWrapStyle;

int32_t g_handleDpi = 96;

// Wrap distances are stored in EMU; 635 make a twip.
int32_t Distance(const TShapeProps& p, int32_t id) {
  const int32_t v = p.GetProp(id);
  return v == kShapePropUnset ? 0 : v / 635;
}

const std::vector<TShapeProps::TPoint>& PolygonOf(const TShapeProps& p) {
  return p.HasWrapPolygon() ? p.WrapPolygon : DefaultWrapPolygon();
}

int32_t Span(int32_t v, int32_t size) { return MulDiv(v, size, kWrapPolygonSpan); }

// The intervals of one scan row of a polygon under the winding rule, sampled at y.
std::vector<std::pair<int32_t, int32_t>> RowIntervals(const std::vector<std::array<double, 2>>& pts,
                                                      double y) {
  std::vector<std::pair<double, int>> crossings;
  const size_t n = pts.size();
  for (size_t i = 0; i < n; ++i) {
    const auto& a = pts[i];
    const auto& b = pts[(i + 1) % n];
    if (a[1] == b[1]) continue;
    const bool up = a[1] < b[1];
    const double lo = up ? a[1] : b[1], hi = up ? b[1] : a[1];
    if (y < lo || y >= hi) continue;
    const double x = a[0] + (y - a[1]) * (b[0] - a[0]) / (b[1] - a[1]);
    crossings.emplace_back(x, up ? 1 : -1);
  }
  std::sort(crossings.begin(), crossings.end());
  std::vector<std::pair<int32_t, int32_t>> out;
  int winding = 0;
  double start = 0;
  for (const auto& [x, dir] : crossings) {
    const int before = winding;
    winding += dir;
    if (before == 0 && winding != 0) start = x;
    if (before != 0 && winding == 0) {
      const auto l = static_cast<int32_t>(std::lround(start)), r = static_cast<int32_t>(std::lround(x));
      if (r > l) out.emplace_back(l, r);
    }
  }
  return out;
}

// The polygon's region as rectangles band by band, in units of 8 twips.
std::vector<TRect> PolygonRects(const std::vector<TShapeProps::TPoint>& polygon, int32_t width,
                                int32_t height) {
  std::vector<std::array<double, 2>> pts;
  int32_t maxY = 0;
  for (const auto& p : polygon) {
    const int64_t x = int64_t{p.X} * width / 172800, y = int64_t{p.Y} * height / 172800;
    pts.push_back({static_cast<double>(x), static_cast<double>(y)});
    maxY = std::max<int32_t>(maxY, static_cast<int32_t>(y));
  }
  std::vector<TRect> rects;
  std::vector<std::pair<int32_t, int32_t>> previous;
  size_t bandStart = 0;
  for (int32_t y = 0; y < maxY; ++y) {
    auto row = RowIntervals(pts, y + 0.5);
    if (row == previous && !row.empty()) {
      for (size_t i = bandStart; i < rects.size(); ++i) rects[i][3] = y + 1;
      continue;
    }
    bandStart = rects.size();
    for (const auto& [l, r] : row) rects.push_back({l, y, r, y + 1});
    previous = std::move(row);
  }
  return rects;
}

// Joins each rectangle with the ones that touch it from below with the same sides (or, for a
// thin one, sides within 4 units).
void MergeDown(std::vector<TRect>& rects) {
  for (size_t i = 0; i < rects.size(); ++i) {
    for (size_t j = i + 1; j < rects.size();) {
      TRect& a = rects[i];
      const TRect& b = rects[j];
      const bool touches = b[1] == a[3];
      const bool same = b[0] == a[0] && b[2] == a[2];
      const bool close = std::abs(b[0] - a[0]) <= 4 && std::abs(b[2] - a[2]) <= 4 && b[3] - b[1] <= 4;
      if (touches && (same || close)) {
        a[3] = b[3];
        rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
        j = i + 1;
      } else {
        ++j;
      }
    }
  }
}

// Tight wrapping lets no text run between two parts of the shape on one line.
void FillGaps(std::vector<TRect>& rects) {
  const size_t n = rects.size();
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) {
      const TRect& a = rects[i];
      const TRect& b = rects[j];
      const int32_t top = std::max(a[1], b[1]), bottom = std::min(a[3], b[3]);
      if (top < bottom && a[2] < b[0]) rects.push_back({a[2], top, b[0], bottom});
    }
}

}  // namespace

int32_t ShapeHandleSize() { return 8 * g_handleDpi / 96; }
void SetShapeHandleDpi(int32_t dpi) { g_handleDpi = std::clamp(dpi, 24, 960); }

void TShape::ShiftVertically(int32_t dy) {
  if (VerticalBox != nullptr) return;
  const int32_t rel = Props.GetProp(spPosRelV);
  if (rel == 2 || rel == 3) PlacedRect[1] += dy, PlacedRect[3] += dy;
}

TRect TShape::GetBounds() const {
  TRect r = PlacedRect;
  if (!Props.HasWrapPolygon()) return r;
  const int32_t w = PlacedRect[2] - PlacedRect[0], h = PlacedRect[3] - PlacedRect[1];
  for (const auto& p : Props.WrapPolygon) {
    const int32_t x = PlacedRect[0] + Span(p.X, w), y = PlacedRect[1] + Span(p.Y, h);
    r[0] = std::min(r[0], x), r[2] = std::max(r[2], x);
    r[1] = std::min(r[1], y), r[3] = std::max(r[3], y);
  }
  return r;
}

void TShape::GetWrapBounds(TRect& r, int32_t boxWidth) const {
  const W w = GetEffectiveWrap();
  const bool side = w == W::Square || w == W::Tight || w == W::Through;
  if (side) {
    r[0] -= Distance(Props, 900);
    r[2] += Distance(Props, 902);
  }
  if (w == W::TopBottom || w == W::Square) {
    r[1] -= Distance(Props, 901);
    r[3] += Distance(Props, 903);
  }
  if (w == W::TopBottom) {
    r[0] = 0;
    r[2] = boxWidth;
    return;
  }
  if (!side) return;
  switch (Props.WrapSide) {
    case 1: r[2] = boxWidth; break;
    case 2: r[0] = 0; break;
    case 3: {
      const int64_t centre2 = int64_t{PlacedRect[0]} + PlacedRect[2];
      if (centre2 < boxWidth) r[0] = 0;
      else if (centre2 > boxWidth) r[2] = boxWidth;
      break;
    }
    default: break;
  }
}

int32_t TShape::GetWrapRects(std::vector<TRect>& out) {
  if ((Flags & FlagWrapRectsValid) == 0) {
    const int32_t w = PlacedRect[2] - PlacedRect[0], h = PlacedRect[3] - PlacedRect[1];
    WrapRects = w > 0 && h > 0 ? PolygonRects(PolygonOf(Props), w, h) : std::vector<TRect>{};
    MergeDown(WrapRects);
    if (GetEffectiveWrap() == W::Tight) FillGaps(WrapRects);
    Flags |= FlagWrapRectsValid;
  }
  out.clear();
  for (const TRect& r : WrapRects)
    out.push_back({PlacedRect[0] + r[0] * 8, PlacedRect[1] + r[1] * 8, PlacedRect[0] + r[2] * 8,
                   PlacedRect[1] + r[3] * 8});
  return static_cast<int32_t>(out.size());
}

std::vector<std::array<int32_t, 2>> TShape::GetWrapPolygon(const TRect& frame, int32_t dragPoint,
                                                           std::array<int32_t, 2> dragAt) const {
  std::vector<std::array<int32_t, 2>> pts;
  const W w = GetEffectiveWrap();
  if (w != W::Tight && w != W::Through) return pts;
  const int32_t fw = frame[2] - frame[0], fh = frame[3] - frame[1];
  for (const auto& p : PolygonOf(Props))
    pts.push_back({frame[0] + Span(p.X, fw), frame[1] + Span(p.Y, fh)});
  if (dragPoint != INT32_MIN) {
    if (dragPoint >= 0 && dragPoint < static_cast<int32_t>(pts.size()))
      pts[static_cast<size_t>(dragPoint)] = dragAt;
    else if (dragPoint < 0 && -static_cast<int64_t>(dragPoint) <= static_cast<int64_t>(pts.size()))
      pts.insert(pts.begin() + static_cast<std::ptrdiff_t>(-int64_t{dragPoint}), dragAt);
  }
  if (!pts.empty()) pts.push_back(pts.front());
  return pts;
}

TShape::THandleRects TShape::GetHandleRects(const TRect& r) const {
  THandleRects h;
  if (Doc != nullptr && Doc->WrapEditShape == this) return h;
  const int32_t size = ShapeHandleSize();
  const int32_t midX = (r[0] + r[2]) / 2, midY = (r[1] + r[3]) / 2;
  h.Mask = 330;  // the corners: 1, 3, 6, 8
  if (r[2] - r[0] >= 3 * size) h.Mask |= (1 << 2) | (1 << 7);
  if (r[3] - r[1] >= 3 * size) h.Mask |= (1 << 4) | (1 << 5);
  const int32_t lefts[3] = {std::min(r[0] - size / 2, midX - 2 * size), midX - size / 2,
                            std::max(r[2] - size / 2 - 1, midX + size)};
  const int32_t tops[3] = {std::min(r[1] - size / 2, midY - 2 * size), midY - size / 2,
                           std::max(r[3] - size / 2 - 1, midY + size)};
  // Handle i sits in column and row of the 3 x 3 grid, the centre left out.
  const int cells[9][2] = {{0, 0}, {0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
  for (int i = 1; i <= 8; ++i) {
    const int32_t x = lefts[cells[i][0]], y = tops[cells[i][1]];
    h.Rects[static_cast<size_t>(i)] = {x, y, x + size, y + size};
  }
  return h;
}

TRect TShape::GetResizeRect(const TShape& dragged, int32_t handle, int32_t dragWidth,
                            int32_t dragHeight) const {
  const TRect& d = dragged.PlacedRect;
  double fx = d[2] > d[0] ? static_cast<double>(dragWidth) / (d[2] - d[0]) : 1.0;
  double fy = d[3] > d[1] ? static_cast<double>(dragHeight) / (d[3] - d[1]) : 1.0;
  const bool corner = handle == 1 || handle == 3 || handle == 6 || handle == 8;
  const int32_t lock = Props.GetProp(spLockAspectRatio);
  if (corner && lock != kShapePropUnset && lock != 0) fx = fy = std::max(fx, fy);
  TRect r = PlacedRect;
  const auto scaled = [](int32_t v, double f) {
    return static_cast<int32_t>(std::clamp(std::round(v * f), 72.0, 1e9));
  };
  const int32_t width = scaled(r[2] - r[0], fx), height = scaled(r[3] - r[1], fy);
  if (handle == 1 || handle == 4 || handle == 6) r[0] = r[2] - width;
  if (handle == 3 || handle == 5 || handle == 8) r[2] = r[0] + width;
  if (handle == 1 || handle == 2 || handle == 3) r[1] = r[3] - height;
  if (handle == 6 || handle == 7 || handle == 8) r[3] = r[1] + height;
  return r;
}

}  // namespace qv
