#include "layout/pictures/bitmap_resample.h"

#include <gtest/gtest.h>

#include "foundation/base/units.h"

using namespace qv;

namespace {

TBitmap Uniform(int32_t w, int32_t h, plat::Color c) {
  TBitmap b(w, h, TPixelFormat::pf24bit);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.SetColor(x, y, c);
  return b;
}

bool AllPixels(const TBitmap& b, plat::Color c) {
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x)
      if (b.ColorAt(x, y) != c) return false;
  return true;
}

}  // namespace

TEST(BitmapResample, KernelAndDpiScaling) {
  EXPECT_NEAR(MitchellKernel(0.0f), 8.0f / 9.0f, 1e-6);
  EXPECT_NEAR(MitchellKernel(1.0f), 1.0f / 18.0f, 1e-6);
  EXPECT_NEAR(MitchellKernel(-1.0f), 1.0f / 18.0f, 1e-6);
  EXPECT_EQ(MitchellKernel(2.0f), 0.0f);
  EXPECT_EQ(MitchellKernel(-7.5f), 0.0f);
  SetScreenPixelsPerInchForTests(144);
  EXPECT_EQ(ScaleByDpi(16), 24);
  EXPECT_EQ(ScaleByDpi(21), 31);  // integer division
  SetScreenPixelsPerInchForTests(0);
}

TEST(BitmapResample, SameSizeIsAnIdenticalCopyInItsOwnFormat) {
  TBitmap source(3, 2, TPixelFormat::pf8bit);
  source.Palette = {plat::Rgb(9, 8, 7), plat::Rgb(1, 2, 3)};
  source.SetIndex(1, 1, 1);
  auto copy = source.Resample(3, 2, true);
  EXPECT_EQ(copy->PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(copy->Palette, source.Palette);
  EXPECT_EQ(copy->IndexAt(1, 1), 1u);
  EXPECT_EQ(copy->ColorAt(0, 0), plat::Rgb(9, 8, 7));
  EXPECT_TRUE(source.Resample(0, 5, false)->Empty());
}

TEST(BitmapResample, OnePixelEnlargedIsUniform) {
  auto big = Uniform(1, 1, plat::Rgb(10, 200, 30)).Resample(3, 3, false);
  EXPECT_EQ(big->PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_TRUE(AllPixels(*big, plat::Rgb(10, 200, 30)));
}

TEST(BitmapResample, EdgesMirrorAtTheStartAndClampAtTheEnd) {
  TBitmap row(4, 1, TPixelFormat::pf24bit);
  const uint8_t values[4] = {100, 200, 50, 250};
  for (int32_t x = 0; x < 4; ++x) row.SetColor(x, 0, plat::Rgb(values[x], values[x], values[x]));
  auto wide = row.Resample(7, 1, false);  // scale 2: target 0 over source 0, target 6 over 3
  // Column 0: k(0) v0 + k(1) v1 (from +1) + k(1) v1 (from -1, mirrored) = 88.9 + 22.2.
  EXPECT_EQ(plat::RedOf(wide->ColorAt(0, 0)), 111);
  // Column 6: k(1) v2 + k(0) v3 + k(1) v3 (from 4, clamped to 3) = 2.8 + 236.1.
  EXPECT_EQ(plat::RedOf(wide->ColorAt(6, 0)), 239);
}

TEST(BitmapResample, SharpeningWhitensNearWhiteAndKeepsUniformGrey) {
  EXPECT_TRUE(AllPixels(*Uniform(6, 5, plat::Rgb(251, 252, 253)).Resample(9, 4, true),
                        plat::Rgb(255, 255, 255)));
  // Same size through ResampleInto: only the sharpening acts, and its kernel sums to 16.
  TBitmap sharpened(10, 10, TPixelFormat::pf24bit);
  Uniform(10, 10, plat::Rgb(128, 128, 128)).ResampleInto(sharpened, true);
  EXPECT_TRUE(AllPixels(sharpened, plat::Rgb(128, 128, 128)));
  EXPECT_TRUE(AllPixels(*Uniform(4, 4, plat::Rgb(90, 40, 200)).Resample(13, 11, true),
                        plat::Rgb(90, 40, 200)));
}

TEST(BitmapResample, ATargetOneWideOrHighAveragesTheSource) {
  // A target of width or height 1 would have an infinite filter support: it gets a finite one,
  // centred on the source.
  const struct { int32_t tw, th; } sizes[] = {{1, 3}, {3, 1}, {1, 1}};
  for (const auto& s : sizes) {
    auto small = Uniform(40, 30, plat::Rgb(60, 120, 180)).Resample(s.tw, s.th, false);
    ASSERT_EQ(small->Width(), s.tw);
    ASSERT_EQ(small->Height(), s.th);
    EXPECT_TRUE(AllPixels(*small, plat::Rgb(60, 120, 180))) << s.tw << " x " << s.th;
  }
  TBitmap ramp(5, 1, TPixelFormat::pf24bit);
  for (int32_t x = 0; x < 5; ++x) ramp.SetColor(x, 0, plat::Rgb(uint8_t(x * 60), 0, 0));
  auto one = ramp.Resample(1, 1, false);
  // Centred on the middle of the ramp; the mirrored start and clamped end lift it a little.
  EXPECT_EQ(plat::RedOf(one->ColorAt(0, 0)), 128);
}

TEST(BitmapResample, HalftoneStretchKeepsTheTargetsFormat) {
  TBitmap source = Uniform(5, 5, plat::Rgb(0, 0, 255));
  TBitmap target(20, 12, TPixelFormat::pf32bit);
  source.HalftoneStretchTo(target);
  EXPECT_EQ(target.PixelFormat(), TPixelFormat::pf32bit);
  EXPECT_EQ(target.Width(), 20);
  EXPECT_TRUE(AllPixels(target, plat::Rgb(0, 0, 255)));
}
