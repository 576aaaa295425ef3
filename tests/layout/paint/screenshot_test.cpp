// A whole page painted as the view shows it: mixed character formatting, a table with borders
// and shading, and the formatting marks of Special Symbols mode. The test checks what can be
// told from pixels; with QV_SCREENSHOT set to a file name it also writes the page as a PNG for
// a person to look at.
#include <cstdlib>
#include <string>

#include "foundation/settings/options_holder.h"
#include "layout/paint/formatting_marks.h"
#include "layout/paint/page_decorations.h"
#include "layout/paint/paint_fixture.h"
#include "layout/paint/underlines.h"
#include "layout/paint/view_painter.h"
#include "layout/pictures/png_codec.h"

namespace {

class Screenshot : public PaintTest {
 protected:
  void SetUp() override {
    PaintTest::SetUp();
    b->Format.LineSpacing = ParUnset16;  // lines as tall as their text
    b->Format.LineRule = ParUnset16;
    SmallPage(*doc->Sections[0], 12240, 9000);
    savedView = GetOptionsHolder().Options.View;
  }
  void TearDown() override {
    GetOptionsHolder().Options.View = savedView;
    PaintTest::TearDown();
  }
  void Run(const std::string& text, std::initializer_list<std::pair<int, int32_t>> on) {
    for (const auto& [kind, value] : on) Fmt(kind, value);
    Text(text);
    for (const auto& [kind, value] : on) Fmt(kind, kind == cpSize ? 24 : kind == cpColor || kind == cpHighlight ? AutoColor : 0);
  }
  TViewOptions savedView;
};

bool IsInk(uint32_t c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 3 * 160; }

TEST_F(Screenshot, APageWithMixedFormattingATableAndFormattingMarks) {
  Begin();
  Run("Quarterly report", {{cpSize, 36}, {cpBold, 1}});
  const int32_t heading = EndPar();
  Begin();
  Text("Plain, ");
  Run("bold", {{cpBold, 1}});
  Text(", ");
  Run("italic", {{cpItalic, 1}});
  Text(", ");
  Run("underlined", {{cpUnderline, ulSingle}});
  Text(" ");
  Run("double", {{cpUnderline, ulDouble}});
  Text(" ");
  Run("wavy", {{cpUnderline, ulWave}});
  Text(", ");
  Run("struck", {{cpStrike, 1}});
  Text(", ");
  Run("Small Capitals", {{cpSmallCaps, 1}});
  Text(", x");
  Run("2", {{cpScript, 1}});
  Text(", ");
  Run("red", {{cpColor, 0x0000FF}});
  Text(" and ");
  Run("highlighted", {{cpHighlight, 0x00FFFF}});
  Text(" text.");
  const int32_t mixed = EndPar();
  Begin();
  Text("Name");
  Special(scTab);
  Text("Value");
  Special(scLineBreak);
  Text("second line");
  EndPar();
  TTableRow* rows[2] = {b->Row({"Region", "Sales", "Growth"}, 2600), b->Row({"North", "1,200", "4 %"}, 2600)};
  for (TTableRow* row : rows)
    for (int i = 0; i < 3; ++i) {
      TTableCell& c = row->Cells[static_cast<size_t>(i)];
      for (TBorderLine* line : {&c.BorderLeft, &c.BorderTop, &c.BorderRight, &c.BorderBottom}) {
        line->Width = 15;
        line->Style = 1;
        line->Color = 0;
      }
      if (row == rows[0]) c.ShadingColor = 0xE0E0E0;
    }
  b->Row({"Total", "2,400", ""}, 2600);  // no borders: gridlines show its edges
  b->Add("After the table.");
  Layout();
  TViewOptions& view = GetOptionsHolder().Options.View;
  view.Flags |= ViewFlagSpecialSymbols | ViewFlagMarginBorders | ViewFlagGridlines;
  view.SpecSymbTypesEx = 255;
  if (const char* zoom = std::getenv("QV_SCREENSHOT_ZOOM"); zoom != nullptr && std::atoi(zoom) > 0) {
    doc->SetZoom(std::atoi(zoom));
    doc->ReformatAllParagraphs();
    doc->DiscardPages();
    Layout();
  }
  doc->ArrangePages();
  TPage& page = Page(0);
  const plat::Rect area{0, 0, page.PixelRect.Width() + 40, page.PixelRect.Height() + 40};
  plat::Bitmap bmp(area.right, area.bottom);
  ASSERT_EQ(PaintDocumentView(*doc, bmp, area), 1);
  if (const char* file = std::getenv("QV_SCREENSHOT"); file != nullptr && *file != '\0') {
    TPNGImage png;
    static_cast<TBitmap&>(png) = TBitmap::FromPlatformBitmap(bmp);
    png.SaveToFile(file);
  }
  // Every paragraph left ink on its line, and the red run is red.
  const plat::Rect placed = doc->Layout.Arrangement.PageRects[0];
  auto inkOnLine = [&](int32_t par) {
    TLine& line = FirstLine(par);
    const plat::Point at = BoxToPagePoint(*line.Box, {0, doc->TwipsToPixelsY(line.Top)});
    int32_t ink = 0;
    for (int32_t y = 0; y < LineHeightPixels(line); ++y)
      for (int32_t x = 0; x < line.Box->PixelRect.Width(); ++x)
        ink += IsInk(bmp.GetPixel(placed.left + at.x + x, placed.top + at.y + y));
    return ink;
  };
  for (int32_t p = 0; p < doc->ParCount(); ++p)
    if (Par(p).CharCount() > 1) EXPECT_GT(inkOnLine(p), 10) << p;
  EXPECT_GT(inkOnLine(heading), inkOnLine(heading + 3));  // large bold text, more ink
  int32_t red = 0;
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x) {
      const uint32_t c = bmp.GetPixel(x, y);
      red += (c & 0xFF) > 0xC0 && ((c >> 8) & 0xFF) < 0x60 && ((c >> 16) & 0xFF) < 0x60;
    }
  EXPECT_GT(red, 10);
  (void)mixed;
}

}  // namespace
