#pragma once
// JPEG pictures through the system's JPEG library: the size from the header, decoding into a
// bitmap within a pixel budget, and encoding a bitmap. Damaged data never reaches past its end
// and never crashes: it is refused with GfxError.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/gfx/bitmap.h"

namespace plat {

struct JpegInfo {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Components = 0;  // 1 grey, 3 colour, 4 CMYK
};

// Reads the header; false when the data is no JPEG or its header is damaged.
bool ReadJpegInfo(std::span<const uint8_t> data, JpegInfo& info);

// Decodes into an opaque bitmap. Throws GfxError for damaged data, or when the picture has more
// pixels than maxPixels (its header is read first, so nothing large is allocated).
Bitmap DecodeJpeg(std::span<const uint8_t> data, int64_t maxPixels);

// Encodes the bitmap (alpha ignored) as a baseline JPEG of the quality (1..100).
std::vector<uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality = 90);

}  // namespace plat
