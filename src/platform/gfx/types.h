#pragma once
// Basic geometry and colour types of the drawing layer.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace plat {

// A colour as the system stores it: 0x00BBGGRR (red in the low byte).
using Color = uint32_t;

constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}
constexpr uint8_t RedOf(Color c) { return uint8_t(c & 0xFF); }
constexpr uint8_t GreenOf(Color c) { return uint8_t((c >> 8) & 0xFF); }
constexpr uint8_t BlueOf(Color c) { return uint8_t((c >> 16) & 0xFF); }

// A colour as a 32-bit pixel of a Bitmap reads it: 0xAARRGGBB (in memory B, G, R, A).
constexpr uint32_t ColorToPixel(Color c) {
  return 0xFF000000u | (uint32_t(RedOf(c)) << 16) | (uint32_t(GreenOf(c)) << 8) | BlueOf(c);
}
constexpr Color PixelToColor(uint32_t p) {
  return Rgb(uint8_t((p >> 16) & 0xFF), uint8_t((p >> 8) & 0xFF), uint8_t(p & 0xFF));
}

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// Right and bottom are exclusive.
// Sums and differences of coordinates saturate at the ends of the 32-bit range: a rectangle
// reaching far off (from a damaged document or picture) stays far off instead of wrapping round.
constexpr int32_t SaturateToInt32(int64_t v) {
  return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v);
}

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t Width() const { return SaturateToInt32(int64_t{right} - left); }
  int32_t Height() const { return SaturateToInt32(int64_t{bottom} - top); }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  Rect Offset(int32_t dx, int32_t dy) const {
    return {SaturateToInt32(int64_t{left} + dx), SaturateToInt32(int64_t{top} + dy),
            SaturateToInt32(int64_t{right} + dx), SaturateToInt32(int64_t{bottom} + dy)};
  }
  // The common part; an empty rectangle (all zero) when they do not overlap.
  Rect Intersect(const Rect& o) const;
  // The smallest rectangle holding both; an empty one counts as absent.
  Rect Union(const Rect& o) const;
  friend bool operator==(const Rect&, const Rect&) = default;
};

inline Rect Rect::Intersect(const Rect& o) const {
  Rect r{left > o.left ? left : o.left, top > o.top ? top : o.top,
         right < o.right ? right : o.right, bottom < o.bottom ? bottom : o.bottom};
  return r.IsEmpty() ? Rect{} : r;
}

inline Rect Rect::Union(const Rect& o) const {
  if (IsEmpty()) return o;
  if (o.IsEmpty()) return *this;
  return {left < o.left ? left : o.left, top < o.top ? top : o.top,
          right > o.right ? right : o.right, bottom > o.bottom ? bottom : o.bottom};
}

// Raised by the drawing layer for what it cannot do (a file that cannot be written, a damaged
// picture, a size out of range). Callers above the platform layer map it onto their own errors.
class GfxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace plat
