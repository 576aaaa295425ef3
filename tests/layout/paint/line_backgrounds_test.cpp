#include "document/border_sets.h"
#include "document/tab_stops.h"
#include "layout/paint/line_backgrounds.h"
#include "layout/paint/paint_fixture.h"

using LineBackgroundTest = PaintTest;

namespace {

int32_t CountRuns(const plat::Bitmap& bmp, int32_t x, int32_t y0, int32_t y1, uint32_t colour) {
  int32_t runs = 0;
  bool previous = false;
  for (int32_t y = y0; y < y1; ++y) {
    const bool on = bmp.GetPixel(x, y) == colour;
    runs += on && !previous;
    previous = on;
  }
  return runs;
}

}  // namespace

TEST_F(LineBackgroundTest, HighlightsStopBeforeTheParagraphMarkAndChangeColour) {
  Begin();
  Text("ab");
  Fmt(cpHighlight, 0x00FFFF);
  Text("cd");
  Fmt(cpHighlight, 0x00FF00);
  Text("ef");
  const int32_t p = EndPar();
  Layout();
  PaintRecorder rec;
  PaintFirstLine(p, rec);
  TLine& line = FirstLine(p);
  const int32_t y = 10 + LineHeightPixels(line) - 2;
  auto colourAt = [&](int32_t x) { return bitmap.GetPixel(x, y); };
  EXPECT_EQ(colourAt(XAt(line, 1)), 0xFFFFFFu);
  EXPECT_EQ(colourAt(XAt(line, 2)), 0x00FFFFu);
  EXPECT_EQ(colourAt(XAt(line, 4) - 1), 0x00FFFFu);
  EXPECT_EQ(colourAt(XAt(line, 4)), 0x00FF00u);
  EXPECT_EQ(colourAt(XAt(line, 6) - 1), 0x00FF00u);
  // Not under the paragraph mark.
  EXPECT_EQ(colourAt(XAt(line, 6) + 1), 0xFFFFFFu);
}

TEST_F(LineBackgroundTest, AGroupOfBorderedParagraphsHasOneTopOneBottomAndBetweenBorders) {
  TParBorders borders;
  InitParBorders(borders);
  for (TBorderLine* l : {&borders.Top, &borders.Bottom, &borders.Inside}) {
    l->Style = 1;
    l->Width = 15;
    l->Color = 0x0000FF;
  }
  b->Format.Borders = static_cast<int16_t>(InternParBorders(borders));
  b->Format.Shading = 0xFFEEDD;
  for (int i = 0; i < 3; ++i) b->Add("a");
  b->Format.Borders = 0;
  b->Format.Shading = ParUnset32;
  b->Add("after");
  Layout();
  TPage& page = Page(0);
  plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
  plat::Canvas canvas(target);
  PaintPage(page, canvas, 0, 0);
  TLine& first = *Par(0).Lines.at(0);
  const plat::Point origin = BoxToPagePoint(*first.Box, {0, 0});
  const int32_t x = origin.x + first.Box->PixelRect.Width() - first.Box->PixelMargins.right - 20;
  // Top, two between borders, bottom.
  EXPECT_EQ(CountRuns(target, x, 0, target.Height(), 0x0000FF), 4);
  // The shading covers the group and nothing below it.
  EXPECT_EQ(CountRuns(target, x, 0, target.Height(), 0xFFEEDD), 3);
  TLine& after = *Par(3).Lines.at(0);
  EXPECT_EQ(target.GetPixel(x, BoxToPagePoint(*after.Box, {0, 0}).y + doc->TwipsToPixelsY(after.Top) + 3),
            0xFFFFFFu);
}

TEST_F(LineBackgroundTest, BarTabsAreInvertedOverTheLine) {
  TTabTable tabs;
  AddTabStop(tabs, PackTabStop(1440, tkBar, tlNone));
  b->Format.TabSet = static_cast<int16_t>(GetTabManager().AddTable(tabs));
  b->Add("x");
  Layout();
  TPage& page = Page(0);
  plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
  plat::Canvas canvas(target);
  PaintPage(page, canvas, 0, 0);
  TLine& line = *Par(0).Lines.at(0);
  const plat::Point origin = BoxToPagePoint(*line.Box, {0, 0});
  const int32_t x = origin.x + line.Box->PixelMargins.left + doc->TwipsToPixelsX(1440);
  const int32_t y = origin.y + doc->TwipsToPixelsY(line.Top) + 2;
  EXPECT_EQ(target.GetPixel(x, y), 0x000000u);
  EXPECT_EQ(target.GetPixel(x + 3, y), 0xFFFFFFu);
}

TEST_F(LineBackgroundTest, AutomaticTextOnDarkShadingComesOutWhite) {
  b->Format.Shading = 0x200000;  // dark blue
  const int32_t p = b->Add("HHHH");
  Layout();
  PaintRecorder rec;
  PaintFirstLine(p, rec);
  TLine& line = FirstLine(p);
  int32_t white = 0, shaded = 0;
  for (int32_t x = XAt(line, 0); x < XAt(line, 4); ++x)
    for (int32_t y = 10; y < 10 + LineHeightPixels(line); ++y) {
      const uint32_t c = bitmap.GetPixel(x, y);
      white += c == 0xFFFFFF;
      shaded += c == 0x200000;
    }
  EXPECT_GT(white, 20);   // the letters' strokes
  EXPECT_GT(shaded, 20);  // the shading around them
}
