#include "layout/page_preview.h"

#include <gtest/gtest.h>

#include "platform/gfx/bitmap.h"

using namespace qv;

namespace {

constexpr plat::Color kBackground = 0x00FF00;

struct TPreview {
  plat::Bitmap bmp{120, 160};
  void Draw(const TPageParams& params, int32_t kind, uint32_t style, TPageNumberPlacement numbers,
            bool onePage, const TSectionFormat* format = nullptr) {
    plat::Canvas canvas(bmp);
    plat::Brush brush;
    brush.Colour = kBackground;
    canvas.SetBrush(brush);
    DrawPageLayoutPreview(canvas, {0, 0, 120, 160}, params, kind, style, numbers, onePage, format);
    canvas.Flush();
  }
  plat::Color At(int32_t x, int32_t y) const { return bmp.GetPixel(x, y); }
};

TEST(PagePreview, SinglePageWithStripesAndFrame) {
  TPageParams params;
  InitPageParams(params);
  TPreview p;
  p.Draw(params, plOnePart, psFrame, TPageNumberPlacement{1, 1, 2}, false);
  const TPreviewColors& colors = PreviewColors();
  // Letter page scaled by 122.4 twips a pixel: 100 x 129 pixels at (10, 15), margins 12 pixels.
  EXPECT_EQ(p.At(5, 5), kBackground);
  EXPECT_EQ(p.At(10, 15), colors.FrameColor());      // frame
  EXPECT_EQ(p.At(110, 20), colors.FrameColor());     // shadow right of the page
  EXPECT_EQ(p.At(14, 18), colors.PageColor());       // margin
  EXPECT_EQ(p.At(30, 27), colors.TextColor());       // first text stripe
  EXPECT_EQ(p.At(30, 28), colors.PageColor());       // gap between stripes
  EXPECT_EQ(p.At(96, 137), colors.FrameColor());     // page-number mark at the bottom right
}

TEST(PagePreview, MirroredPagesAndColumns) {
  TPageParams params;
  InitPageParams(params);
  params.Mirror = 1;
  params.LeftMargin = 4000;  // wide inner margin shows which page is which
  TSectionFormat format;
  format.ColumnCount = 2;
  format.SeparatorLine = 1;
  TPreview p;
  p.Draw(params, plColumns, 0, TPageNumberPlacement{}, false, &format);
  const TPreviewColors& colors = PreviewColors();
  // Two facing pages of 48 x 61 pixels at x 9 and 62 (y 49), five pixels apart; 257.7 twips a
  // pixel, so the margins are 6 and 16 pixels.
  EXPECT_EQ(p.At(59, 80), kBackground);
  const int32_t row = 49 + 6;  // the first stripe row
  // Left-hand page: the wide margin is on the right (inner) side.
  EXPECT_EQ(p.At(9 + 7, row), colors.TextColor());
  EXPECT_EQ(p.At(57 - 4, row), colors.PageColor());
  EXPECT_EQ(p.At(28, row + 1), colors.TextColor());  // the line between the two columns
  EXPECT_EQ(p.At(26, row + 1), colors.PageColor());
  // Right-hand page: the wide margin is on the left.
  EXPECT_EQ(p.At(62 + 7, row), colors.PageColor());
  EXPECT_EQ(p.At(62 + 20, row), colors.TextColor());

  p.Draw(params, plColumns, 0, TPageNumberPlacement{}, true, &format);
  EXPECT_EQ(p.At(10, 80), colors.PageColor());  // one page only, wider
}

TEST(PagePreview, TinyRectangleDrawsBackgroundOnly) {
  TPageParams params;
  InitPageParams(params);
  plat::Bitmap bmp(15, 15);
  plat::Canvas canvas(bmp);
  plat::Brush brush;
  brush.Colour = kBackground;
  canvas.SetBrush(brush);
  DrawPageLayoutPreview(canvas, {0, 0, 15, 15}, params, plOnePart, psFrame, {}, false);
  DrawPageLayoutPreview(canvas, {5, 5, 5, 9}, params, plOnePart, psFrame, {}, false);
  canvas.Flush();
  EXPECT_EQ(bmp.GetPixel(7, 7), kBackground);
}

}  // namespace
