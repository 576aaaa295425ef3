#include "layout/pictures/bitmap_utils.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "foundation/base/exceptions.h"
#include "foundation/base/memory.h"
#include "foundation/base/units.h"
#include "layout/pictures/bitmap_resample.h"
#include "layout/pictures/resource_service.h"
#include "platform/gfx/jpeg_codec.h"

namespace qv {
namespace {

int32_t& Factor() {
  static int32_t k = 7;
  return k;
}

uint8_t Lighten(uint8_t v, int32_t k) {
  return uint8_t(std::clamp(v + (255 - v) * k / 10, 0, 255));
}

uint32_t ReadLE32(std::span<const uint8_t> b, size_t at) {
  return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
         (uint32_t(b[at + 3]) << 24);
}

// The number of entries of a packed table, 0 when its header does not fit.
uint32_t PackedCount(std::span<const uint8_t> table) {
  if (table.size() < 4) return 0;
  const uint64_t n = ReadLE32(table, 0);
  return 4 + 8 * n <= table.size() ? uint32_t(n) : 0;
}

std::string PackedText(std::span<const uint8_t> table, uint32_t n, uint32_t i) {
  const uint32_t entry = ReadLE32(table, 4 + size_t(n) * 4 + size_t(i) * 4);
  const uint64_t offset = entry >> 10, length = entry & 0x3FF;
  if (offset + length > table.size()) return {};
  return std::string(reinterpret_cast<const char*>(table.data() + offset), size_t(length));
}

TBitmap& Strip() {
  static TBitmap strip = [] {
    TPNGImage image;
    try {
      if (!LoadPngResource("SHAREDGLYPHS", image)) return TBitmap();
    } catch (const Exception&) {
      return TBitmap();
    }
    return TBitmap(std::move(image));
  }();
  return strip;
}

}  // namespace

// ---- Colours
// -------------------------------------------------------------------------------------

plat::Color SwapRedBlue(plat::Color c) {
  return (c & 0xFF00FF00u) | ((c & 0xFF) << 16) | ((c >> 16) & 0xFF);
}

int32_t LightenFactor() { return Factor(); }
void SetLightenFactor(int32_t k) { Factor() = k; }

plat::Color LightenColor(plat::Color c) {
  const int32_t k = Factor();
  return plat::Rgb(Lighten(plat::RedOf(c), k), Lighten(plat::GreenOf(c), k),
                   Lighten(plat::BlueOf(c), k));
}

void LightenBitmap(TBitmap& bitmap, int32_t k) {
  const int32_t previous = Factor();
  Factor() = k;
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int32_t i = 0; i < bitmap.Width() * 3; ++i) row[i] = Lighten(row[i], Factor());
  }
  Factor() = previous;
}

void GetBitmapColors(const TBitmap& bitmap, std::vector<plat::Color>& colors) {
  std::unordered_map<plat::Color, bool> seen;
  for (plat::Color c : colors) seen[c] = true;
  size_t found = 0;
  auto add = [&](plat::Color c) {
    if (seen.emplace(c, true).second) {
      colors.push_back(c);
      ++found;
    }
  };
  if (bitmap.Transparent) add(0xFFFFFF);
  for (int32_t y = 0; y < bitmap.Height() && found <= 256; ++y)
    for (int32_t x = 0; x < bitmap.Width() && found <= 256; ++x) add(bitmap.ColorAt(x, y));
}

void ConvertBitmapToPaletted(TBitmap& bitmap) {
  if (IsPaletteFormat(bitmap.PixelFormat()) || bitmap.Empty()) return;
  std::vector<plat::Color> colors;
  const bool transparent = bitmap.Transparent;
  bitmap.Transparent = false;  // the palette holds the picture's own colours only
  GetBitmapColors(bitmap, colors);
  bitmap.Transparent = transparent;
  if (colors.size() > 256) return;
  const TPixelFormat format = colors.size() <= 2    ? TPixelFormat::pf1bit
                              : colors.size() <= 16 ? TPixelFormat::pf4bit
                                                    : TPixelFormat::pf8bit;
  TBitmap out(bitmap.Width(), bitmap.Height(), format);
  out.Palette = colors;
  out.Transparent = bitmap.Transparent;
  out.TransparentColor = bitmap.TransparentColor;
  std::unordered_map<plat::Color, uint32_t> index;
  for (size_t i = 0; i < colors.size(); ++i) index.emplace(colors[i], uint32_t(i));
  for (int32_t y = 0; y < bitmap.Height(); ++y)
    for (int32_t x = 0; x < bitmap.Width(); ++x) out.SetIndex(x, y, index[bitmap.ColorAt(x, y)]);
  bitmap = std::move(out);
}

void RotateBitmap90(TBitmap& bitmap) {
  const int32_t w = bitmap.Width(), h = bitmap.Height();
  TBitmap turned(h, w, bitmap.PixelFormat());
  turned.Palette = bitmap.Palette;
  turned.Transparent = bitmap.Transparent;
  turned.TransparentColor = bitmap.TransparentColor;
  const bool palette = IsPaletteFormat(bitmap.PixelFormat());
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      if (palette)
        turned.SetIndex(y, w - 1 - x, bitmap.IndexAt(x, y));
      else
        turned.SetColor(y, w - 1 - x, bitmap.ColorAt(x, y));
    }
  }
  bitmap = std::move(turned);
}

// ---- Metafiles
// -------------------------------------------------------------------------------------

bool DrawMetafileToBitmap(const plat::Metafile& metafile, TBitmap& bitmap, plat::Size size) {
  if (size.cx == 0) size = metafile.FrameSizeInPixels();
  size.cx = std::max(size.cx, 1);
  size.cy = std::max(size.cy, 1);
  const double pixels = double(size.cx) * double(size.cy);
  if (pixels > double(TBitmap::MaxPixels)) {
    // A frame bigger than any picture may be: drawn as large as a bitmap may be.
    const double k = std::sqrt(double(TBitmap::MaxPixels) / pixels);
    size = {std::max(1, int32_t(size.cx * k)), std::max(1, int32_t(size.cy * k))};
  }
  plat::Bitmap canvasBitmap(size.cx, size.cy);
  canvasBitmap.Fill(0xFFFFFF);
  bool complete = true;
  {
    plat::Canvas canvas(canvasBitmap);
    complete = plat::PlayMetafile(canvas, metafile, canvasBitmap.Bounds());
    canvas.Flush();
  }
  bitmap = TBitmap::FromPlatformBitmap(canvasBitmap);
  ConvertBitmapToPaletted(bitmap);
  return complete;
}

std::optional<TBitmap> MetafileToBitmapHandle(const plat::Metafile& metafile, plat::Size size) {
  try {
    TBitmap bitmap;
    DrawMetafileToBitmap(metafile, bitmap, size);
    return bitmap;
  } catch (const Exception&) {
    return std::nullopt;
  } catch (const plat::GfxError&) {
    return std::nullopt;
  }
}

plat::Metafile BitmapToMetafile(const TBitmap& bitmap) {
  plat::Bitmap pixels = bitmap.ToPlatformBitmap();
  if (bitmap.Transparent) {
    const uint32_t key = plat::ColorToPixel(bitmap.TransparentColor);
    for (int32_t y = 0; y < pixels.Height(); ++y)
      for (int32_t x = 0; x < pixels.Width(); ++x)
        if ((pixels.ScanLine(y)[x] | 0xFF000000u) == key) pixels.ScanLine(y)[x] = 0xFFFFFFFFu;
  }
  return plat::Metafile::FromBitmap(pixels);
}

// ---- Resources
// ------------------------------------------------------------------------------------

std::span<const uint8_t> GetResourceData(const std::string& name, const std::string& type) {
  return ResourceService().Find(name, type);
}

bool LoadJpegResource(const std::string& name, plat::Bitmap& image) {
  const std::span<const uint8_t> data = GetResourceData(name, "JPEG");
  if (data.empty()) return false;
  try {
    image = plat::DecodeJpeg(data, TBitmap::MaxPixels);
  } catch (const plat::GfxError&) {
    return false;
  }
  return true;
}

std::vector<uint8_t> MetafileToJpeg(const plat::Metafile& metafile, plat::Size size) {
  TBitmap bitmap;
  DrawMetafileToBitmap(metafile, bitmap, size);
  if (bitmap.Empty()) return {};
  try {
    return plat::EncodeJpeg(bitmap.ToPlatformBitmap());
  } catch (const plat::GfxError&) {
    return {};
  }
}

bool LoadPngResource(const std::string& name, TPNGImage& image) {
  const std::span<const uint8_t> data = GetResourceData(name, "PNG");
  if (data.empty()) return false;
  image.LoadFromBytes(data);
  return true;
}

bool SaveResourceToFile(const std::string& name, const std::string& type,
                        const std::string& fileName) {
  const std::span<const uint8_t> data = GetResourceData(name, type);
  if (data.empty() || data.size() > size_t(TMemory::MaxLength)) return false;
  try {
    TMemory file;
    file.SetData(data.data(), static_cast<int32_t>(data.size()));
    file.SaveToFile(fileName);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

// ---- Packed text tables
// ------------------------------------------------------------------------------

std::string FindPackedString(std::span<const uint8_t> table, uint32_t id) {
  const uint32_t n = PackedCount(table);
  uint32_t lo = 0, hi = n;
  while (lo < hi) {
    const uint32_t mid = lo + (hi - lo) / 2;
    const uint32_t v = ReadLE32(table, 4 + size_t(mid) * 4);
    if (v == id) return PackedText(table, n, mid);
    if (v < id)
      lo = mid + 1;
    else
      hi = mid;
  }
  return {};
}

void LoadPackedStrings(std::span<const uint8_t> table, TStringList& list) {
  list.Clear();
  const uint32_t n = PackedCount(table);
  for (uint32_t i = 0; i < n; ++i)
    list.Add(PackedText(table, n, i), intptr_t(ReadLE32(table, 4 + size_t(i) * 4)));
}

// ---- Shared glyphs
// --------------------------------------------------------------------------------

const TBitmap& SharedGlyphStrip() { return Strip(); }
void SetSharedGlyphStrip(TBitmap strip) { Strip() = std::move(strip); }

void GetSharedGlyph(int32_t n, TBitmap& bitmap, plat::Color background) {
  const int32_t width = n < 22 ? 16 : 21, left = n < 22 ? 16 * n : 21 * n - 110;
  TBitmap glyph(width, 16, TPixelFormat::pf24bit);
  const TBitmap& strip = SharedGlyphStrip();
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const int32_t sx = left + x;
      const bool inside = n >= 0 && sx >= 0 && sx < strip.Width() && y < strip.Height();
      const plat::Color c = inside ? strip.ColorAt(sx, y) : kGlyphKeyColor;
      glyph.SetColor(x, y, c == kGlyphKeyColor ? background : c);
    }
  }
  if (ScreenPixelsPerInch() == 96) {
    bitmap = std::move(glyph);
    return;
  }
  bitmap =
      TBitmap(std::max(1, ScaleByDpi(width)), std::max(1, ScaleByDpi(16)), TPixelFormat::pf24bit);
  glyph.ResampleInto(bitmap, true);
}

}  // namespace qv
