#pragma once
// Off-screen 32-bit bitmaps with direct pixel access.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/types.h"

namespace plat {

// A 32-bit top-down bitmap. Each pixel is a uint32_t 0xAARRGGBB (in memory B, G, R, A); rows are
// Stride() bytes apart, the first row is the top one. An opaque bitmap (the default) ignores the
// fourth byte when drawn; a bitmap with alpha holds premultiplied colour.
// A Canvas draws into the bitmap's own pixels: call Canvas::Flush() before touching the pixels
// directly while a canvas is open on it, and do not Resize() a bitmap while a canvas is open.
class Bitmap {
 public:
  Bitmap() = default;
  // Pixels start as 0 (black; transparent for a bitmap with alpha). Throws GfxError for a
  // negative size or one too large to allocate.
  Bitmap(int32_t width, int32_t height, bool hasAlpha = false);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t Stride() const { return width_ * 4; }  // bytes per row
  bool HasAlpha() const { return hasAlpha_; }
  bool IsEmpty() const { return width_ <= 0 || height_ <= 0; }
  Rect Bounds() const { return {0, 0, width_, height_}; }

  // Changes the size; the old pixels are lost (all 0 afterwards).
  void Resize(int32_t width, int32_t height);

  uint8_t* Bits() { return reinterpret_cast<uint8_t*>(pixels_.data()); }
  const uint8_t* Bits() const { return reinterpret_cast<const uint8_t*>(pixels_.data()); }
  uint32_t* ScanLine(int32_t y) { return pixels_.data() + size_t(y) * size_t(width_); }
  const uint32_t* ScanLine(int32_t y) const { return pixels_.data() + size_t(y) * size_t(width_); }

  // Colour access in 0x00BBGGRR; outside the bitmap GetPixel gives 0 and SetPixel does nothing.
  Color GetPixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, Color c);
  // Fills the part of the rectangle inside the bitmap (an opaque colour).
  void FillRect(const Rect& r, Color c);
  void Fill(Color c) { FillRect(Bounds(), c); }

  // Writes the bitmap as a PNG file (a temporary file in the target's folder, renamed over it).
  // Throws GfxError when the file cannot be written.
  void SavePng(const std::string& path) const;
  // Reads a PNG file; throws GfxError for a missing or damaged file.
  static Bitmap LoadPng(const std::string& path);

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool hasAlpha_ = false;
  std::vector<uint32_t> pixels_;
};

}  // namespace plat
