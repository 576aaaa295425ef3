#include "foundation/graphics/offscreen_bitmap.h"

#include <algorithm>

#include "foundation/base/geometry.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

struct DashPattern {
  int32_t period;
  uint8_t mask;  // bit i set: position i of the period is drawn
};

bool PatternOf(int32_t pattern, DashPattern& out) {
  static constexpr DashPattern kPatterns[] = {
      {2, 0b1}, {3, 0b1}, {5, 0b1}, {8, 0b1001}, {8, 0b11011}};
  if (pattern < 0 || pattern > 4) return false;
  out = kPatterns[pattern];
  return true;
}

int32_t FloorMod(int64_t v, int32_t m) {
  int64_t r = v % m;
  return static_cast<int32_t>(r < 0 ? r + m : r);
}

// Calls set(position) for the pattern's drawn positions from `from` to `to` (both inclusive,
// already clipped), aligned so that position p is drawn when (p + origin) mod period is a drawn
// place of the period.
template <typename Set>
void WalkPattern(int32_t from, int32_t to, int32_t origin, const DashPattern& pattern, Set set) {
  int64_t start = from - int64_t{FloorMod(int64_t{from} + origin, pattern.period)};
  for (int64_t p = start; p <= to; ++p) {
    int32_t place = FloorMod(p + origin, pattern.period);
    if (p >= from && (pattern.mask >> place & 1) != 0) set(static_cast<int32_t>(p));
  }
}

}  // namespace

TServiceBitmap::TServiceBitmap() {
  plat::Rect screen = plat::GetScreenRect();
  Width = screen.Width() + 32;
  Height = screen.Height() + 32;
  AllocBits();
}

TServiceBitmap::TServiceBitmap(int32_t width, int32_t height) : Width(width), Height(height) {
  AllocBits();
}

void TServiceBitmap::AllocBits() {
  // The new pixels and canvas are made aside: a size that cannot be had (GfxError) leaves the
  // old ones in use, with Width and Height as they were, instead of a bitmap without a canvas.
  std::unique_ptr<plat::Bitmap> bitmap;
  std::unique_ptr<plat::Canvas> canvas;
  try {
    bitmap = std::make_unique<plat::Bitmap>(Width, Height);
    canvas = std::make_unique<plat::Canvas>(*bitmap);
  } catch (...) {
    if (bitmap_) {
      Width = Bounds.Width();
      Height = Bounds.Height();
    }
    throw;
  }
  // The canvas must not outlive the pixels it draws on, so it goes first.
  canvas_.reset();
  bitmap_ = std::move(bitmap);
  canvas_ = std::move(canvas);
  canvas_->SetBkMode(plat::BkMode::Transparent);
  Bounds = {0, 0, Width, Height};
}

void TServiceBitmap::GrowTo(int32_t width, int32_t height) {
  if (width <= Width && height <= Height) return;
  Width = std::max(width, Width);
  Height = std::max(height, Height);
  AllocBits();
}

uint32_t TServiceBitmap::PixelOf(uint32_t color) {
  return (color & 0xFF000000u) | (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

void TServiceBitmap::ClipRect(plat::Rect& rect) const {
  rect.left = std::max(rect.left, Bounds.left);
  rect.top = std::max(rect.top, Bounds.top);
  rect.right = std::min(rect.right, Bounds.right);
  rect.bottom = std::min(rect.bottom, Bounds.bottom);
}

void TServiceBitmap::FillArea(int32_t left, int32_t top, uint32_t color, int32_t bottom,
                              int32_t right) {
  plat::Rect r{left, top, right, bottom};
  ClipRect(r);
  if (r.IsEmpty()) return;
  canvas_->Flush();
  const uint32_t pixel = PixelOf(color);
  for (int32_t y = r.bottom - 1; y >= r.top; --y) {
    std::fill(Row(y) + r.left, Row(y) + r.right, pixel);
  }
}

void TServiceBitmap::FillBounds(int32_t left, int32_t top, uint32_t color, int32_t height,
                                int32_t width) {
  FillArea(left, top, color, plat::SaturateToInt32(int64_t{top} + height),
           plat::SaturateToInt32(int64_t{left} + width));
}

void TServiceBitmap::FillRect(const plat::Rect& rect, uint32_t color) {
  FillArea(rect.left, rect.top, color, rect.bottom, rect.right);
}

void TServiceBitmap::FrameArea(int32_t left, int32_t top, uint32_t color, int32_t bottom,
                               int32_t right) {
  if (right <= left || bottom <= top) return;  // nothing to frame (and no edge to step past)
  FillArea(left, top, color, top + 1, right);
  FillArea(left, top, color, bottom, left + 1);
  FillArea(right - 1, top, color, bottom, right);
  FillArea(left, bottom - 1, color, bottom, right);
}

void TServiceBitmap::FrameBounds(int32_t left, int32_t top, uint32_t color, int32_t height,
                                 int32_t width) {
  FrameArea(left, top, color, plat::SaturateToInt32(int64_t{top} + height),
            plat::SaturateToInt32(int64_t{left} + width));
}

void TServiceBitmap::FrameRect(const plat::Rect& rect, uint32_t color) {
  FrameArea(rect.left, rect.top, color, rect.bottom, rect.right);
}

void TServiceBitmap::SetPixel(int32_t x, int32_t y, uint32_t color) {
  if (!Bounds.Contains({x, y})) return;
  canvas_->Flush();
  uint8_t* p = reinterpret_cast<uint8_t*>(Row(y) + x);
  p[0] = static_cast<uint8_t>(color >> 16);  // blue
  p[1] = static_cast<uint8_t>(color >> 8);   // green
  p[2] = static_cast<uint8_t>(color);        // red; the fourth byte is left
}

void TServiceBitmap::PatternHLine(int32_t x1, int32_t x2, int32_t pattern, uint32_t color,
                                  int32_t y) {
  DashPattern dash;
  if (!PatternOf(pattern, dash)) return;
  if (x1 >= Bounds.right || x2 < Bounds.left) return;
  canvas_->Flush();
  const uint32_t pixel = PixelOf(color);
  const int32_t from = std::max(x1, Bounds.left);
  const int32_t to = std::min(x2, Bounds.right - 1);
  // Only the rows of the line's width that lie inside the bitmap are walked.
  const int64_t rowEnd = std::min<int64_t>(int64_t{y} + LineWidth, Bounds.bottom);
  for (int64_t row = std::max<int64_t>(y, Bounds.top); row < rowEnd; ++row) {
    uint32_t* line = Row(static_cast<int32_t>(row));
    WalkPattern(from, to, PatternOrigin.x, dash, [&](int32_t x) { line[x] = pixel; });
  }
}

void TServiceBitmap::PatternVLine(int32_t x, int32_t y1, int32_t pattern, uint32_t color,
                                  int32_t y2) {
  DashPattern dash;
  if (!PatternOf(pattern, dash)) return;
  if (y1 >= Bounds.bottom || y2 < Bounds.top) return;
  canvas_->Flush();
  const uint32_t pixel = PixelOf(color);
  const int32_t from = std::max(y1, Bounds.top);
  const int32_t to = std::min(y2, Bounds.bottom - 1);
  const int64_t columnEnd = std::min<int64_t>(int64_t{x} + LineWidth, Bounds.right);
  for (int64_t column = std::max<int64_t>(x, Bounds.left); column < columnEnd; ++column) {
    WalkPattern(from, to, PatternOrigin.y, dash, [&](int32_t y) { Row(y)[column] = pixel; });
  }
}

}  // namespace qv
