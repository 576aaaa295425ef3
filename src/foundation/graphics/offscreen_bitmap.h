#pragma once
// TServiceBitmap: the one program-wide off-screen bitmap into which the editor, the rulers, the
// panes and the bars paint before copying to the screen. Besides its canvas it offers direct
// pixel operations (fills, frames, single pixels and dashed lines) that write the 32-bit pixels
// themselves, which is much cheaper than a drawing call per rectangle for dense patterns.
//
// Pixels are 32 bits, rows top-down, 0x00RRGGBB (in memory blue, green, red and a fourth byte
// that is not drawn). Pending canvas drawing is flushed before every direct write.
#include <cstdint>
#include <memory>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/types.h"

namespace qv {

class TServiceBitmap {
 public:
  // A bitmap of the screen's size plus 32 in each direction (needs the window system).
  TServiceBitmap();
  TServiceBitmap(int32_t width, int32_t height);
  TServiceBitmap(const TServiceBitmap&) = delete;
  TServiceBitmap& operator=(const TServiceBitmap&) = delete;

  int32_t Width = 0;
  int32_t Height = 0;
  plat::Rect Bounds;          // (0, 0, Width, Height) as of the last AllocBits
  plat::Point PatternOrigin;  // dash patterns are aligned to it

  // Makes new pixels of the current Width and Height (the old ones are lost) and a new canvas.
  void AllocBits();
  // Grows to at least the given size (never shrinks) and makes new pixels when it grew.
  void GrowTo(int32_t width, int32_t height);

  plat::Canvas& Canvas() { return *canvas_; }
  plat::Bitmap& Bitmap() { return *bitmap_; }
  uint8_t* Bits() { return bitmap_->Bits(); }

  void ClipRect(plat::Rect& rect) const;
  // Fills [left, right) x [top, bottom), clipped to the bounds.
  void FillArea(int32_t left, int32_t top, uint32_t color, int32_t bottom, int32_t right);
  void FillBounds(int32_t left, int32_t top, uint32_t color, int32_t height, int32_t width);
  void FillRect(const plat::Rect& rect, uint32_t color);
  // A frame one pixel wide inside [left, right) x [top, bottom).
  void FrameArea(int32_t left, int32_t top, uint32_t color, int32_t bottom, int32_t right);
  void FrameBounds(int32_t left, int32_t top, uint32_t color, int32_t height, int32_t width);
  void FrameRect(const plat::Rect& rect, uint32_t color);
  void SetPixel(int32_t x, int32_t y, uint32_t color);
  // Dashed lines LineWidth pixels thick, from x1 to x2 (y1 to y2) inclusive, aligned to
  // PatternOrigin. Patterns: 0 every 2nd pixel, 1 every 3rd, 2 every 5th, 3 dot-dot-gap (period
  // 8: 0 and 3), 4 dash-dash-gap (period 8: 0, 1, 3 and 4); other numbers draw nothing.
  void PatternHLine(int32_t x1, int32_t x2, int32_t pattern, uint32_t color, int32_t y);
  void PatternVLine(int32_t x, int32_t y1, int32_t pattern, uint32_t color, int32_t y2);

  // The pixel value of a colour 0x00BBGGRR: 0x00RRGGBB with the colour's high byte kept.
  static uint32_t PixelOf(uint32_t color);

 private:
  uint32_t* Row(int32_t y) { return bitmap_->ScanLine(y); }

  std::unique_ptr<plat::Bitmap> bitmap_;
  std::unique_ptr<plat::Canvas> canvas_;
};

}  // namespace qv
