#include "foundation/graphics/draw_helpers.h"

#include <gtest/gtest.h>

#include "foundation/base/geometry.h"

using namespace qv;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlue = 0xFF0000;

// A white bitmap with a canvas on it.
struct Surface {
  explicit Surface(int32_t w, int32_t h) : bitmap(w, h), canvas(bitmap) {
    bitmap.Fill(kWhite);
  }
  uint32_t At(int32_t x, int32_t y) {
    canvas.Flush();
    return bitmap.GetPixel(x, y);
  }
  // The bounding box of every pixel that is not white; empty when there is none.
  plat::Rect Ink() {
    canvas.Flush();
    plat::Rect box;
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
      for (int32_t x = 0; x < bitmap.Width(); ++x) {
        if (bitmap.GetPixel(x, y) != kWhite) box = box.Union({x, y, x + 1, y + 1});
      }
    }
    return box;
  }
  plat::Bitmap bitmap;
  plat::Canvas canvas;
};

TEST(DrawHelpers, Frame3D) {
  Surface s(10, 10);
  DrawFrame3D(s.canvas, {1, 1, 6, 6}, kRed, kBlue);
  struct Case {
    int32_t x, y;
    uint32_t color;
  };
  const Case cases[] = {{1, 5, kRed},  {1, 1, kRed},  {4, 1, kRed},    {5, 1, kBlue},
                        {5, 5, kBlue}, {2, 5, kBlue}, {3, 3, kWhite},  {6, 1, kWhite}};
  for (const Case& c : cases) EXPECT_EQ(s.At(c.x, c.y), c.color) << c.x << "," << c.y;
}

TEST(DrawHelpers, WaveStaysInsideItsBandAndRestoresThePen) {
  Surface s(40, 24);
  plat::Pen pen{plat::PenStyle::Dot, 1, 0x00FF00};
  s.canvas.SetPen(pen);
  DrawWave(s.canvas, 5, 30, 0x000000, 1, 2, 8, 0, 12);
  plat::Rect ink = s.Ink();
  EXPECT_FALSE(ink.IsEmpty());
  EXPECT_GE(ink.left, 5);
  EXPECT_LE(ink.right, 30);
  EXPECT_GE(ink.top, 12 - 2 - 1);
  EXPECT_LE(ink.bottom, 12 + 2 + 1);
  EXPECT_EQ(s.canvas.GetPen().Style, plat::PenStyle::Dot);
  EXPECT_FALSE(s.canvas.HasClip());
}

TEST(DrawHelpers, UnderlinePreview) {
  Surface bars(30, 10);
  bars.canvas.SetBrush({plat::BrushStyle::Solid, kRed});
  DrawUnderlinePreview(bars.canvas, {0, 0, 30, 10}, 1, false);
  EXPECT_EQ(bars.Ink(), (plat::Rect{0, 4, 30, 5}));
  EXPECT_EQ(bars.At(10, 4), kRed);

  Surface unknown(30, 10);
  DrawUnderlinePreview(unknown.canvas, {0, 0, 30, 10}, 99, true);
  EXPECT_TRUE(unknown.Ink().IsEmpty());

  Surface text(120, 24);
  text.canvas.SetTextColor(0x000000);
  DrawUnderlinePreview(text.canvas, {0, 0, 120, 24}, 0, true);
  plat::Rect ink = text.Ink();
  ASSERT_FALSE(ink.IsEmpty());
  // Centred: the margins left and right of the caption differ by little.
  EXPECT_LE(std::abs(ink.left - (120 - ink.right)), 4);
}

TEST(DrawHelpers, DottedLinesAreLineWidthThick) {
  int32_t saved = LineWidth;
  LineWidth = 2;
  Surface s(20, 10);
  DottedHLine(s.canvas, 2, 12, 0x000000, 3);
  LineWidth = saved;
  for (int32_t x : {2, 7, 12}) {
    EXPECT_EQ(s.At(x, 3), 0u) << x;
    EXPECT_EQ(s.At(x, 4), 0u) << x;
  }
  EXPECT_EQ(s.At(3, 3), kWhite);
  EXPECT_EQ(s.Ink(), (plat::Rect{2, 3, 13, 5}));
}

}  // namespace
