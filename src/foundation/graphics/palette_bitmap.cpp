#include "foundation/graphics/palette_bitmap.h"

#include <algorithm>
#include <unordered_set>

#include "platform/gfx/bitmap.h"

namespace qv {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// 0x00BBGGRR to the BMP order 0x00RRGGBB.
uint32_t ToBmpOrder(uint32_t c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

uint32_t PixelColor(const plat::Bitmap& b, int32_t x, int32_t y, const TPaletteOptions* options) {
  uint32_t c = b.GetPixel(x, y) & 0xFFFFFF;
  if (options != nullptr && options->Transparent && c == (options->TransparentColor & 0xFFFFFF)) {
    return kWhite;
  }
  return ToBmpOrder(c);
}

void PutLE(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

void CollectBitmapColors(const plat::Bitmap& bitmap, bool transparent,
                         std::vector<uint32_t>& colors) {
  std::unordered_set<uint32_t> seen(colors.begin(), colors.end());
  for (int32_t y = bitmap.Height() - 1; y >= 0; --y) {
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      uint32_t c = PixelColor(bitmap, x, y, nullptr);
      if (seen.insert(c).second) colors.push_back(c);
    }
    if (colors.size() > 256) break;
  }
  if (transparent && seen.insert(kWhite).second) colors.push_back(kWhite);
}

bool ConvertBitmapToPaletted(const plat::Bitmap& bitmap, const TPaletteOptions& options,
                             std::string& bmpImage) {
  bmpImage.clear();
  if (bitmap.IsEmpty()) return false;
  std::vector<uint32_t> colors;
  // The transparent colour is drawn as white, so it is collected as white.
  std::unordered_set<uint32_t> seen;
  for (int32_t y = bitmap.Height() - 1; y >= 0 && colors.size() <= 256; --y) {
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      uint32_t c = PixelColor(bitmap, x, y, &options);
      if (seen.insert(c).second) colors.push_back(c);
    }
  }
  if (options.Transparent && seen.insert(kWhite).second) colors.push_back(kWhite);
  if (colors.size() > 256) return false;
  if (options.EbookExport && colors.size() >= 3 && colors.size() <= 16) {
    for (uint32_t v = 0; colors.size() < 17; ++v) {
      if (seen.insert(v).second) colors.push_back(v);
    }
  }
  std::sort(colors.begin(), colors.end());
  const uint32_t bits = colors.size() <= 2 ? 1 : colors.size() <= 16 ? 4 : 8;
  const uint32_t width = uint32_t(bitmap.Width()), height = uint32_t(bitmap.Height());
  const uint32_t rowBytes = ((width * bits + 7) / 8 + 3) / 4 * 4;
  const uint32_t imageSize = rowBytes * height;
  const uint32_t paletteBytes = 4u << bits;
  const uint32_t offset = paletteBytes + 54;
  bmpImage.reserve(offset + imageSize);
  bmpImage += "BM";
  PutLE(bmpImage, imageSize + offset, 4);
  PutLE(bmpImage, 0, 4);
  PutLE(bmpImage, offset, 4);
  PutLE(bmpImage, 40, 4);
  PutLE(bmpImage, width, 4);
  PutLE(bmpImage, height, 4);
  PutLE(bmpImage, 1, 2);
  PutLE(bmpImage, bits, 2);
  PutLE(bmpImage, 0, 4);  // no compression
  PutLE(bmpImage, imageSize, 4);
  PutLE(bmpImage, 0, 4);
  PutLE(bmpImage, 0, 4);
  PutLE(bmpImage, 0, 4);
  PutLE(bmpImage, 0, 4);
  for (uint32_t i = 0; i < (1u << bits); ++i) PutLE(bmpImage, i < colors.size() ? colors[i] : 0, 4);
  std::string row(rowBytes, '\0');
  for (int32_t y = bitmap.Height() - 1; y >= 0; --y) {
    std::fill(row.begin(), row.end(), '\0');
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t c = PixelColor(bitmap, int32_t(x), y, &options);
      auto index = uint32_t(std::lower_bound(colors.begin(), colors.end(), c) - colors.begin());
      uint32_t bit = x * bits;
      uint32_t shift = 8 - bits - bit % 8;
      row[bit / 8] = static_cast<char>(uint8_t(row[bit / 8]) | uint8_t(index << shift));
    }
    bmpImage += row;
  }
  return true;
}

}  // namespace qv
