#include "foundation/base/geometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "foundation/base/service_slot.h"

namespace qv {

int32_t LineWidth = 1;

namespace {

struct Channels {
  int32_t r, g, b;
};

Channels Split(uint32_t c) {
  return {static_cast<int32_t>(c & 0xFF), static_cast<int32_t>((c >> 8) & 0xFF),
          static_cast<int32_t>((c >> 16) & 0xFF)};
}

uint32_t Join(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 |
         static_cast<uint32_t>(b) << 16;
}

// One channel: a = background, c = colour. `carry` collects the darkening that a channel could
// not take; in the second pass darkened channels pay it off.
int32_t AdjustChannel(int32_t a, int32_t c, bool dark, bool secondPass, int32_t& carry) {
  int32_t d = 255 - c;  // the colour's distance from white
  if (dark && a + d <= 255) {
    if (a >= 32) return a + d;
    return std::min(255, a + static_cast<int32_t>(std::lround(d * 250 / 100.0)));
  }
  if (d <= a) {
    int32_t result = a - d;
    if (secondPass && carry > 0 && result > 0) {
      int32_t m = std::min(result, carry);
      result -= m;
      carry -= m;
    }
    return result;
  }
  if (a > 128) {
    carry += d - a;
    return 0;
  }
  int32_t result = std::min(255, a + d);
  carry += d - (result - a);
  return result;
}

double LinearChannel(int32_t v) {
  double s = v / 255.0;
  return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

double Luminance(uint32_t c) {
  Channels ch = Split(c);
  return 0.2126 * LinearChannel(ch.r) + 0.7152 * LinearChannel(ch.g) +
         0.0722 * LinearChannel(ch.b);
}

}  // namespace

void AddRectToRegion(const plat::Rect& rect, plat::Region& region) { region.Union(rect); }

void ExcludeRectFromRegion(const plat::Rect& rect, plat::Region& region) {
  region.Subtract(rect);
}

bool IntersectRectInPlace(plat::Rect& r, const plat::Rect& clip) {
  r.left = std::max(r.left, clip.left);
  r.right = std::min(r.right, clip.right);
  if (r.left >= r.right) return false;
  r.top = std::max(r.top, clip.top);
  r.bottom = std::min(r.bottom, clip.bottom);
  return r.top < r.bottom;
}

bool PointsEqual(plat::Point a, plat::Point b) { return a.x == b.x && a.y == b.y; }

bool PointNearSegment(plat::Point p, plat::Point a, plat::Point b, double tolerance) {
  double dx = static_cast<double>(b.x) - a.x;
  double dy = static_cast<double>(b.y) - a.y;
  double lengthSquared = dx * dx + dy * dy;
  double t = lengthSquared == 0 ? -1
                                : ((p.x - static_cast<double>(a.x)) * dx +
                                   (p.y - static_cast<double>(a.y)) * dy) / lengthSquared;
  double nx = a.x, ny = a.y;
  if (t > 1) {
    nx = b.x;
    ny = b.y;
  } else if (t >= 0) {
    nx = a.x + t * dx;
    ny = a.y + t * dy;
  }
  return std::hypot(p.x - nx, p.y - ny) <= tolerance;
}

void RegisterFindFormPlacement(std::unique_ptr<TFindFormPlacement> source) {
  RegisterService(std::move(source));
}

const TFindFormPlacement& FindFormPlacement() { return Service<TFindFormPlacement>(); }

void FindFormScreenRect(const plat::Rect& rect, plat::Rect& out) {
  plat::Rect screen, placement;
  out = rect;
  if (FindFormPlacement().GetRects(screen, placement)) {
    out = rect.Offset(screen.left - placement.left, screen.top - placement.top);
  }
}

uint32_t AdjustColorForBackground(uint32_t color, uint32_t background) {
  Channels bg = Split(background);
  Channels c = Split(color);
  bool dark = bg.r + bg.g + bg.b < 384;
  int32_t carry = 0;
  int32_t b = AdjustChannel(bg.b, c.b, dark, false, carry);
  int32_t g = AdjustChannel(bg.g, c.g, dark, false, carry);
  int32_t r = AdjustChannel(bg.r, c.r, dark, false, carry);
  if (carry > 0) {
    b = AdjustChannel(bg.b, c.b, dark, true, carry);
    g = AdjustChannel(bg.g, c.g, dark, true, carry);
    r = AdjustChannel(bg.r, c.r, dark, true, carry);
  }
  return Join(r, g, b);
}

double ContrastRatio(uint32_t color1, uint32_t color2) {
  double l1 = Luminance(color1);
  double l2 = Luminance(color2);
  if (l1 < l2) std::swap(l1, l2);
  return (l1 + 0.05) / (l2 + 0.05);
}

uint32_t PickContrastingColor(uint32_t color, uint32_t background) {
  double best = ContrastRatio(color, background);
  if (best >= 3) return color;
  uint32_t choice = color;
  for (uint32_t candidate : {0xFFFFFFu, 0x000000u}) {
    double ratio = ContrastRatio(candidate, background);
    if (ratio > best) {
      best = ratio;
      choice = candidate;
    }
  }
  return choice;
}

}  // namespace qv
