#include "layout/pictures/picture_bitmap.h"

#include <cstdlib>
#include <unordered_map>

#include "foundation/base/exceptions.h"

namespace qv {
namespace {

int32_t ChannelDistance(plat::Color a, plat::Color b) {
  return std::abs(int32_t(plat::RedOf(a)) - plat::RedOf(b)) +
         std::abs(int32_t(plat::GreenOf(a)) - plat::GreenOf(b)) +
         std::abs(int32_t(plat::BlueOf(a)) - plat::BlueOf(b));
}

size_t PaletteLimit(TPixelFormat f) { return size_t{1} << BitsPerPixelOf(f); }

}  // namespace

int32_t BitsPerPixelOf(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit:
      return 1;
    case TPixelFormat::pf4bit:
      return 4;
    case TPixelFormat::pf8bit:
      return 8;
    case TPixelFormat::pf24bit:
      return 24;
    case TPixelFormat::pf32bit:
      return 32;
  }
  return 24;
}

bool IsPaletteFormat(TPixelFormat format) { return BitsPerPixelOf(format) <= 8; }

std::vector<plat::Color> DefaultPalette(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit:
      return {0x000000, 0xFFFFFF};
    case TPixelFormat::pf4bit:
      return {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
              0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    case TPixelFormat::pf8bit: {
      std::vector<plat::Color> p;
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b)
            p.push_back(plat::Rgb(uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51)));
      for (int i = 0; i < 40; ++i) {
        const uint8_t v = uint8_t((i + 1) * 255 / 41);
        p.push_back(plat::Rgb(v, v, v));
      }
      return p;
    }
    default:
      return {};
  }
}

TBitmap::TBitmap(int32_t width, int32_t height, TPixelFormat format) : format_(format) {
  SetSize(width, height);
}

void TBitmap::SetSize(int32_t width, int32_t height) {
  if (width < 0 || height < 0 || int64_t{width} * height > MaxPixels) throw EOutOfMemory();
  const int64_t rowBytes = ((int64_t{width} * BitsPerPixel() + 31) / 32) * 4;
  std::vector<uint8_t> bits(size_t(rowBytes) * size_t(height), 0);
  bits_ = std::move(bits);
  width_ = width;
  height_ = height;
  rowBytes_ = static_cast<int32_t>(rowBytes);
}

uint32_t TBitmap::IndexAt(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* row = ScanLine(y);
  switch (format_) {
    case TPixelFormat::pf1bit:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case TPixelFormat::pf4bit:
      return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case TPixelFormat::pf8bit:
      return row[x];
    default:
      return 0;
  }
}

void TBitmap::SetIndex(int32_t x, int32_t y, uint32_t index) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint8_t* row = ScanLine(y);
  switch (format_) {
    case TPixelFormat::pf1bit: {
      const uint8_t bit = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = (index & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      break;
    }
    case TPixelFormat::pf4bit:
      row[x >> 1] = (x & 1) ? uint8_t((row[x >> 1] & 0xF0) | (index & 0x0F))
                            : uint8_t((row[x >> 1] & 0x0F) | ((index & 0x0F) << 4));
      break;
    case TPixelFormat::pf8bit:
      row[x] = uint8_t(index);
      break;
    default:
      break;
  }
}

plat::Color TBitmap::ColorAt(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  if (IsPaletteFormat(format_)) {
    const uint32_t i = IndexAt(x, y);
    return i < Palette.size() ? Palette[i] & 0xFFFFFF : 0;
  }
  const uint8_t* p = ScanLine(y) + size_t(x) * (format_ == TPixelFormat::pf32bit ? 4 : 3);
  return plat::Rgb(p[2], p[1], p[0]);
}

void TBitmap::SetColor(int32_t x, int32_t y, plat::Color c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  if (IsPaletteFormat(format_)) {
    SetIndex(x, y, NearestIndex(c));
    return;
  }
  uint8_t* p = ScanLine(y) + size_t(x) * (format_ == TPixelFormat::pf32bit ? 4 : 3);
  p[0] = plat::BlueOf(c);
  p[1] = plat::GreenOf(c);
  p[2] = plat::RedOf(c);
}

uint32_t TBitmap::NearestIndex(plat::Color c) const {
  uint32_t best = 0;
  int32_t bestDistance = INT32_MAX;
  for (size_t i = 0; i < Palette.size(); ++i) {
    const int32_t d = ChannelDistance(c, Palette[i]);
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<uint32_t>(i);
    }
  }
  return best;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  TBitmap out(width_, height_, format);
  out.Transparent = Transparent;
  out.TransparentColor = TransparentColor;
  const bool fromPalette = IsPaletteFormat(format_);
  if (IsPaletteFormat(format)) {
    out.Palette = !Palette.empty() && Palette.size() <= PaletteLimit(format)
                      ? Palette
                      : DefaultPalette(format);
    const bool samePalette = fromPalette && out.Palette == Palette;
    std::unordered_map<plat::Color, uint32_t> nearest;
    for (int32_t y = 0; y < height_; ++y) {
      for (int32_t x = 0; x < width_; ++x) {
        if (samePalette && IndexAt(x, y) < out.Palette.size()) {
          out.SetIndex(x, y, IndexAt(x, y));
          continue;
        }
        const plat::Color c = ColorAt(x, y);
        auto it = nearest.find(c);
        if (it == nearest.end()) it = nearest.emplace(c, out.NearestIndex(c)).first;
        out.SetIndex(x, y, it->second);
      }
    }
  } else {
    for (int32_t y = 0; y < height_; ++y)
      for (int32_t x = 0; x < width_; ++x) out.SetColor(x, y, ColorAt(x, y));
  }
  *this = std::move(out);
}

plat::Bitmap TBitmap::ToPlatformBitmap() const {
  plat::Bitmap bmp(width_, height_);
  for (int32_t y = 0; y < height_; ++y) {
    uint32_t* row = bmp.ScanLine(y);
    if (format_ == TPixelFormat::pf24bit || format_ == TPixelFormat::pf32bit) {
      const int32_t step = format_ == TPixelFormat::pf32bit ? 4 : 3;
      const uint8_t* p = ScanLine(y);
      for (int32_t x = 0; x < width_; ++x, p += step)
        row[x] = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    } else {
      for (int32_t x = 0; x < width_; ++x) row[x] = plat::ColorToPixel(ColorAt(x, y));
    }
  }
  return bmp;
}

TBitmap TBitmap::FromPlatformBitmap(const plat::Bitmap& source) {
  TBitmap out(source.Width(), source.Height(), TPixelFormat::pf24bit);
  for (int32_t y = 0; y < source.Height(); ++y) {
    const uint32_t* row = source.ScanLine(y);
    uint8_t* p = out.ScanLine(y);
    for (int32_t x = 0; x < source.Width(); ++x, p += 3) {
      p[0] = uint8_t(row[x]);
      p[1] = uint8_t(row[x] >> 8);
      p[2] = uint8_t(row[x] >> 16);
    }
  }
  return out;
}

void TBitmap::Draw(plat::Canvas& canvas, int32_t x, int32_t y) const {
  if (Empty()) return;
  const plat::Bitmap bmp = ToPlatformBitmap();
  if (Transparent)
    canvas.DrawTransparent(x, y, bmp, bmp.Bounds(), TransparentColor);
  else
    canvas.DrawBitmap(x, y, bmp);
}

void TBitmap::StretchDraw(plat::Canvas& canvas, const plat::Rect& dest, bool smooth) const {
  if (Empty() || dest.IsEmpty()) return;
  const plat::Bitmap bmp = ToPlatformBitmap();
  if (!Transparent || int64_t{dest.Width()} * dest.Height() > MaxPixels) {
    canvas.StretchBitmap(dest, bmp, bmp.Bounds(), smooth);
    return;
  }
  // The transparent colour must survive the stretching exactly: stretch without smoothing.
  plat::Bitmap stretched(dest.Width(), dest.Height());
  plat::Canvas c(stretched);
  c.StretchBitmap(stretched.Bounds(), bmp, bmp.Bounds(), false);
  c.Flush();
  canvas.DrawTransparent(dest.left, dest.top, stretched, stretched.Bounds(), TransparentColor);
}

}  // namespace qv
