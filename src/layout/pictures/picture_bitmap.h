#pragma once
// TBitmap: a device-independent picture bitmap of 1, 4 or 8 bits per pixel with a palette, or of
// 24 or 32 bits per pixel. The picture codecs decode into it, the resampling and bitmap
// utilities work on it, and it is drawn through the platform's canvas as a 32-bit bitmap.
//
// Rows are top-down and padded to 4 bytes. Pixels of the palette formats are palette indexes,
// the first pixel in the high bits of a byte; 24-bit pixels are blue, green, red; 32-bit pixels
// blue, green, red and a byte that is not drawn. Colours are 0x00BBGGRR.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/types.h"

namespace qv {

enum class TPixelFormat : uint8_t { pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };

int32_t BitsPerPixelOf(TPixelFormat format);
bool IsPaletteFormat(TPixelFormat format);

class TBitmap {
 public:
  // The most pixels a bitmap holds (64 Mi pixels, 192 MiB at 24 bits per pixel); bigger sizes
  // raise EOutOfMemory, whatever a damaged file claims.
  static constexpr int64_t MaxPixels = int64_t{1} << 26;

  TBitmap() = default;
  TBitmap(int32_t width, int32_t height, TPixelFormat format = TPixelFormat::pf24bit);
  virtual ~TBitmap() = default;
  TBitmap(const TBitmap&) = default;
  TBitmap& operator=(const TBitmap&) = default;
  TBitmap(TBitmap&&) noexcept = default;
  TBitmap& operator=(TBitmap&&) noexcept = default;

  // The colours of the palette formats (at most 2^bits entries are used).
  std::vector<plat::Color> Palette;
  // A transparent bitmap is drawn without the pixels of its transparent colour.
  bool Transparent = false;
  plat::Color TransparentColor = 0;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  TPixelFormat PixelFormat() const { return format_; }
  int32_t BitsPerPixel() const { return BitsPerPixelOf(format_); }
  int32_t RowBytes() const { return rowBytes_; }
  uint8_t* ScanLine(int32_t y) { return bits_.data() + size_t(y) * size_t(rowBytes_); }
  const uint8_t* ScanLine(int32_t y) const { return bits_.data() + size_t(y) * size_t(rowBytes_); }

  // A new size; every pixel becomes 0 (index 0, or black). EOutOfMemory for a negative size or
  // one above MaxPixels; the bitmap is then left as it was.
  void SetSize(int32_t width, int32_t height);
  // A new pixel format with the same picture: to 24 or 32 bits through the palette; to a palette
  // format each pixel takes the nearest palette colour (a palette is made when there is none).
  void SetPixelFormat(TPixelFormat format);

  // The palette index of a pixel of a palette format (0 outside the bitmap or in other formats).
  uint32_t IndexAt(int32_t x, int32_t y) const;
  void SetIndex(int32_t x, int32_t y, uint32_t index);
  // The colour of a pixel (black outside the bitmap and for an index without palette entry).
  plat::Color ColorAt(int32_t x, int32_t y) const;
  // Sets a pixel's colour (the nearest palette colour for the palette formats).
  void SetColor(int32_t x, int32_t y, plat::Color c);
  // The palette index nearest to a colour (sum of channel differences; the lowest index on ties).
  uint32_t NearestIndex(plat::Color c) const;

  // The picture as a 32-bit platform bitmap, and a bitmap of a platform bitmap (24 bits).
  plat::Bitmap ToPlatformBitmap() const;
  static TBitmap FromPlatformBitmap(const plat::Bitmap& source);

  // Draws the bitmap (leaving out its transparent colour when it is transparent).
  void Draw(plat::Canvas& canvas, int32_t x, int32_t y) const;
  void StretchDraw(plat::Canvas& canvas, const plat::Rect& dest, bool smooth = true) const;

  // Resampling (bitmap_resample.cpp).
  // A new bitmap of the size: a plain copy when the size is unchanged, else a 24-bit bitmap
  // filled by ResampleInto.
  std::unique_ptr<TBitmap> Resample(int32_t width, int32_t height, bool sharpen) const;
  // Fills an existing 24-bit target from this bitmap (read as 24 bits per pixel) with the
  // separable cubic filter, optionally whitening near-white pixels and sharpening.
  void ResampleInto(TBitmap& target, bool sharpen) const;
  // Smooth stretching of the whole bitmap onto the whole target (its picture is replaced).
  void HalftoneStretchTo(TBitmap& target) const;

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t rowBytes_ = 0;
  TPixelFormat format_ = TPixelFormat::pf24bit;
  std::vector<uint8_t> bits_;
};

// A palette for a palette format when a bitmap has none: black and white, the 16 standard
// colours, or 6 x 6 x 6 colours and a ramp of greys.
std::vector<plat::Color> DefaultPalette(TPixelFormat format);

}  // namespace qv
