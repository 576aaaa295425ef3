#include "document/border_sets.h"
#include "document/doc_flags.h"
#include "document/field.h"
#include "document/par_breaking.h"
#include "foundation/settings/options_holder.h"
#include "document/tab_stops.h"
#include "layout/paint/formatting_marks.h"
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

namespace {

// Columns [x0, x1) of the bitmap that hold any pixel other than white, over rows [y0, y1).
int32_t InkColumns(const plat::Bitmap& bmp, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
  int32_t n = 0;
  for (int32_t x = std::max(0, x0); x < x1; ++x) {
    bool ink = false;
    for (int32_t y = y0; y < y1 && !ink; ++y) ink = bmp.GetPixel(x, y) != 0xFFFFFF;
    n += ink;
  }
  return n;
}

}  // namespace

TEST_F(LineBackgroundTest, FieldsAreShadedByTheOptionExceptHyperlinksAndSymbols) {
  auto field = [&](uint8_t type) {
    auto owned = std::make_unique<TField>();
    owned->FieldType = type;
    TField* f = owned.get();
    doc->Fields.push_back(std::move(owned));
    return f;
  };
  TField* page = field(33);
  TField* link = field(88);
  Begin();
  Text("ab");
  AppendContentTag(s_, ctFieldStart, TagRefOf(page));
  Text("cde");
  AppendContentTag(s_, ctFieldEnd, TagRefOf(page));
  Text("f");
  AppendContentTag(s_, ctFieldStart, TagRefOf(link));
  Text("gh");
  AppendContentTag(s_, ctFieldEnd, TagRefOf(link));
  const int32_t p = EndPar();
  doc->InvalidateFieldIndex();
  Layout();
  TViewOptions& view = GetOptionsHolder().Options.View;
  const TViewOptions saved = view;
  struct Case {
    uint8_t mode;
    bool specialSymbols;
    bool shaded;
  } cases[] = {{2, false, true}, {0, false, false}, {1, false, false}, {1, true, true}};
  for (const Case& c : cases) {
    view.FldShading = c.mode;
    view.Flags = static_cast<uint16_t>(c.specialSymbols ? (saved.Flags | ViewFlagSpecialSymbols)
                                                        : (saved.Flags & ~ViewFlagSpecialSymbols));
    PaintRecorder rec;
    PaintFirstLine(p, rec);
    TLine& line = FirstLine(p);
    const int32_t y = 10 + LineHeightPixels(line) - 1;
    EXPECT_EQ(bitmap.GetPixel(XAt(line, 3), y) == 0xC0C0C0u, c.shaded) << int(c.mode);
    EXPECT_EQ(bitmap.GetPixel(XAt(line, 1), y), 0xFFFFFFu);
    EXPECT_EQ(bitmap.GetPixel(XAt(line, 7), y), 0xFFFFFFu);  // the hyperlink is not shaded
  }
  view = saved;
}

TEST_F(LineBackgroundTest, AListLabelEndsWhereTheTextStarts) {
  b->Format.LeftIndent = 1440;
  const int32_t p = b->Add("Item");
  Layout();
  TPar& par = Par(p);
  par.NumberPar = std::make_unique<TPar>(doc.get());
  TPar& label = *par.NumberPar;
  label.Flags |= pfNumberPar;
  label.Index = p;
  label.Format = par.Format;
  label.Format.Shading = 0x0000FF;  // the label never paints its host's backgrounds
  label.Content.AppendString("88.");
  label.RebuildCodes();
  label.ContentChanged();
  BreakParagraphIntoLines(label, 0, 0x7FFF, nullptr);
  ASSERT_FALSE(label.Lines.empty());
  PaintRecorder rec;
  PaintFirstLine(p, rec);
  TLine& line = FirstLine(p);
  const int32_t start = XAt(line, 0);
  const int32_t labelWidth = LineTextX(*label.Lines.front(), label.Lines.front()->Count) -
                             LineTextX(*label.Lines.front(), 0);
  ASSERT_GT(labelWidth, 4);
  const int32_t h = LineHeightPixels(line);
  EXPECT_GT(InkColumns(bitmap, start - labelWidth, start, 10, 10 + h), labelWidth / 3);
  EXPECT_EQ(InkColumns(bitmap, 0, start - labelWidth - 1, 10, 10 + h), 0);
  for (int32_t x = start - labelWidth; x < start; ++x)
    EXPECT_NE(bitmap.GetPixel(x, 10 + h - 1), 0x0000FFu);
  // The label's own line keeps no place of its host's after the paint.
  EXPECT_EQ(label.Lines.front()->Box, nullptr);
}

TEST_F(LineBackgroundTest, LineNumbersAppearOnMultiplesOfTheIntervalBeforeTheTextArea) {
  TPageParams& pp = doc->Sections[0]->PageParams;
  pp.LineNumStart = 1;
  pp.LineNumDistance = 0;  // automatic: 360 twips for one column
  for (int32_t interval : {1, 2}) {
    pp.LineNumInterval = interval;
    doc->InvalidateFromParagraph(0);
    const int32_t p = b->Add("numbered");
    Layout();
    TLine& line = FirstLine(p);
    ASSERT_GT(line.LineNumber, 0);
    plat::Canvas canvas(bitmap);
    canvas.FillRect(bitmap.Bounds(), 0xFFFFFF);
    PaintLine(line, canvas, 300, 10);
    const int32_t areaLeft = 300 + line.Box->PixelMargins.left;
    const int32_t numberEnd = areaLeft - doc->TwipsToPixelsX(360);
    const int32_t h = LineHeightPixels(line);
    const bool shown = line.LineNumber % interval == 0;
    EXPECT_EQ(InkColumns(bitmap, numberEnd - 30, numberEnd + 1, 10, 10 + h) > 0, shown) << interval;
    EXPECT_EQ(InkColumns(bitmap, numberEnd + 2, areaLeft, 10, 10 + h), 0);
  }
}
