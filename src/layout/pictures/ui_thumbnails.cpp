#include "layout/pictures/ui_thumbnails.h"

#include <array>
#include <memory>

#include "foundation/base/exceptions.h"
#include "foundation/graphics/colour_manager.h"
#include "layout/pictures/bitmap_utils.h"
#include "layout/pictures/png_codec.h"

namespace qv {
namespace {

// The picture drawn in the illustrations: the "CAT" resource used as a mask over a block of the
// picture colour (the colour where the mask is set, the drawing elsewhere); a plain block when
// the resource is missing.
struct PictureMask {
  TBitmap mask;
  int32_t Width() const { return mask.Empty() ? 160 : mask.Width(); }
  int32_t Height() const { return mask.Empty() ? 160 : mask.Height(); }
};

const PictureMask& Cat() {
  static const PictureMask cat = [] {
    PictureMask m;
    TPNGImage image;
    try {
      if (LoadPngResource("CAT", image)) m.mask = std::move(image);
    } catch (const Exception&) {
    }
    return m;
  }();
  return cat;
}

void DrawPicture(plat::Bitmap& canvasBitmap, int32_t left, int32_t top, plat::Color colour) {
  const PictureMask& cat = Cat();
  plat::Canvas canvas(canvasBitmap);
  if (cat.mask.Empty()) {
    canvas.FillRect({left, top, left + cat.Width(), top + cat.Height()}, colour);
    return;
  }
  canvas.Flush();
  for (int32_t y = 0; y < cat.Height(); ++y)
    for (int32_t x = 0; x < cat.Width(); ++x) {
      const bool set = IsPaletteFormat(cat.mask.PixelFormat()) ? cat.mask.IndexAt(x, y) != 0
                                                               : cat.mask.ColorAt(x, y) != 0;
      if (set) canvasBitmap.SetPixel(left + x, top + y, colour);
    }
}

void Line(plat::Bitmap& bmp, int32_t left, int32_t right, int32_t top, int32_t bottom,
          plat::Color c) {
  if (right > left) bmp.FillRect({left, top, right, bottom}, c);
}

TBitmap Shrink(const plat::Bitmap& drawing, int32_t width, int32_t height) {
  const TBitmap large = TBitmap::FromPlatformBitmap(drawing);
  TBitmap small(width, height, TPixelFormat::pf24bit);
  large.ResampleInto(small, true);
  return small;
}

std::array<std::unique_ptr<TBitmap>, kWrappingStyleCount>& Wrapping() {
  static std::array<std::unique_ptr<TBitmap>, kWrappingStyleCount> t;
  return t;
}
std::array<std::unique_ptr<TBitmap>, kPicturePositionCount>& Positions() {
  static std::array<std::unique_ptr<TBitmap>, kPicturePositionCount> t;
  return t;
}

}  // namespace

TThumbnailColors ThumbnailColors() {
  TColorPalette& palette = GetColorManager().ActivePalette();
  TThumbnailColors c;
  c.Page = palette.Entries[3].Color & 0xFFFFFF;
  const int32_t k = LightenFactor();
  SetLightenFactor(5);
  c.TextLines = LightenColor(palette.Entries[0].Color & 0xFFFFFF);
  SetLightenFactor(k);
  c.Picture = palette.Entries[1].Color & 0xFFFFFF;
  c.Frame = palette.Entries[6].Color & 0xFFFFFF;
  return c;
}

TBitmap DrawWrappingStyleThumbnail(int32_t s, const TThumbnailColors& colors) {
  if (s < 0 || s >= kWrappingStyleCount) return {};
  plat::Bitmap bmp(400, 400);
  bmp.Fill(colors.Page);
  const PictureMask& cat = Cat();
  const int32_t picLeft = s == 0 ? 25 : (400 - cat.Width()) / 2, picTop = (400 - cat.Height()) / 2;
  if (s == 5) DrawPicture(bmp, picLeft, picTop, colors.Picture);
  // Where lines 2 to 7 end on the left and start again on the right round a square picture.
  static constexpr int32_t kLeftEnd[6] = {80, 80, 90, 93, 130, 140};
  static constexpr int32_t kRightStart[6] = {310, 315, 310, 302, 297, 285};
  for (int32_t i = 0; i < 10; ++i) {
    const int32_t top = 25 + 37 * i, bottom = 40 + 37 * i;
    if (i < 2 || i > 7 || s == 5 || s == 6) {
      Line(bmp, 20, 380, top, bottom, colors.TextLines);
      continue;
    }
    const int32_t k = i - 2;
    switch (s) {
      case 0:
        if (i == 7) Line(bmp, 224, 380, top, bottom, colors.TextLines);
        break;
      case 1:
        Line(bmp, 20, 76, top, bottom, colors.TextLines);
        Line(bmp, 324, 380, top, bottom, colors.TextLines);
        break;
      case 2:
      case 3:
        Line(bmp, 20, kLeftEnd[k], top, bottom, colors.TextLines);
        Line(bmp, kRightStart[k], 380, top, bottom, colors.TextLines);
        if (s == 3) {
          if (i == 2) Line(bmp, 175, 260, top, bottom, colors.TextLines);
          if (i == 3) Line(bmp, 170, 270, top, bottom, colors.TextLines);
          if (i == 6) Line(bmp, 193, 225, top, bottom, colors.TextLines);
          if (i == 7) Line(bmp, 190, 235, top, bottom, colors.TextLines);
        }
        break;
      default:
        break;  // 4: no lines beside the picture
    }
  }
  if (s != 5) DrawPicture(bmp, picLeft, picTop, colors.Picture);
  return Shrink(bmp, 36, 36);
}

TBitmap DrawPicturePositionThumbnail(int32_t p, const TThumbnailColors& colors) {
  if (p < 0 || p >= kPicturePositionCount) return {};
  plat::Bitmap bmp(600, 800);
  bmp.Fill(colors.Page);
  for (int32_t i = 0; i < 12; ++i) Line(bmp, 80, 520, 75 + 57 * i, 95 + 57 * i, colors.TextLines);
  const PictureMask& cat = Cat();
  const int32_t w = cat.Width(), h = cat.Height();
  const int32_t left = p <= 2 ? 80 : p <= 5 ? 80 + (440 - w) / 2 : 520 - w;
  const int32_t top = p % 3 == 0 ? 75 : p % 3 == 1 ? (800 - h) / 2 : 725 - h;
  bmp.FillRect({left - w / 4, top - h / 4, left + w + w / 4, top + h + h / 4}, colors.Page);
  DrawPicture(bmp, left, top, colors.Picture);
  TBitmap small = Shrink(bmp, 40, 56);
  for (int32_t x = 0; x < 40; ++x) {
    small.SetColor(x, 0, colors.Frame);
    small.SetColor(x, 55, colors.Frame);
  }
  for (int32_t y = 0; y < 56; ++y) {
    small.SetColor(0, y, colors.Frame);
    small.SetColor(39, y, colors.Frame);
  }
  return small;
}

const TBitmap& WrappingStyleBitmap(int32_t s) {
  static const TBitmap none;
  if (s < 0 || s >= kWrappingStyleCount) return none;
  auto& entry = Wrapping()[size_t(s)];
  if (!entry) entry = std::make_unique<TBitmap>(DrawWrappingStyleThumbnail(s, ThumbnailColors()));
  return *entry;
}

const TBitmap& PicturePositionBitmap(int32_t p) {
  static const TBitmap none;
  if (p < 0 || p >= kPicturePositionCount) return none;
  auto& entry = Positions()[size_t(p)];
  if (!entry) entry = std::make_unique<TBitmap>(DrawPicturePositionThumbnail(p, ThumbnailColors()));
  return *entry;
}

void BuildCachedUiBitmaps() {
  for (int32_t s = kWrappingStyleCount - 1; s >= 0; --s) WrappingStyleBitmap(s);
  for (int32_t p = kPicturePositionCount - 1; p >= 0; --p) PicturePositionBitmap(p);
}

void ReleaseCachedUiBitmaps() {
  for (auto& e : Wrapping()) e.reset();
  for (auto& e : Positions()) e.reset();
}

}  // namespace qv
