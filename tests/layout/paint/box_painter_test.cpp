#include <algorithm>
#include <functional>

#include "layout/paint/paint_fixture.h"

#include "document/table_row.h"
#include "layout/pictures/bitmap_utils.h"

using BoxPaintTest = PaintTest;

namespace {

bool Dark(plat::Color c) { return (c & 0xFF) < 0x80 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80; }

}  // namespace

TEST_F(BoxPaintTest, ASharedCellBorderIsDrawnOnce) {
  TTableRow* row = b->Row({"", "", ""}, 1500);
  for (int i = 0; i < 3; ++i) {
    TTableCell& c = row->Cells[static_cast<size_t>(i)];
    for (TBorderLine* line : {&c.BorderLeft, &c.BorderTop, &c.BorderRight, &c.BorderBottom}) {
      line->Width = 15;  // one pixel
      line->Style = 1;
      line->Color = 0;
    }
  }
  Layout();
  TPage& page = Page(0);
  plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
  plat::Canvas canvas(target);
  PaintPage(page, canvas, 0, 0);
  // Along a row of pixels through the middle of the cells: four borders of one pixel each.
  TLine& line = *Par(0).Lines.at(0);
  const int32_t y = BoxToPagePoint(*GetCellBox(line.Box), {0, 0}).y +
                    GetCellBox(line.Box)->PixelRect.Height() / 2;
  int32_t columns = 0, runs = 0;
  bool previous = false;
  for (int32_t x = 0; x < target.Width(); ++x) {
    const bool dark = Dark(target.GetPixel(x, y));
    columns += dark;
    runs += dark && !previous;
    previous = dark;
  }
  EXPECT_EQ(runs, 4);
  EXPECT_EQ(columns, 4);
}

TEST_F(BoxPaintTest, ADimmedTableShowsItsBordersPaleAndItsShadingLightened) {
  TField* header = b->HeaderFooter(*doc->Sections[0], 1, "Header");
  TTableRow* row = b->Row({"", ""}, 1500);
  for (int i = 0; i < 2; ++i) {
    TTableCell& c = row->Cells[static_cast<size_t>(i)];
    for (TBorderLine* line : {&c.BorderLeft, &c.BorderTop, &c.BorderRight, &c.BorderBottom}) {
      line->Width = 15;
      line->Style = 1;
      line->Color = 0;
    }
  }
  row->Cells[1].ShadingColor = 0x0000FF;
  Layout();
  TPage& page = Page(0);
  const TCellBox& cell = *GetCellBox(Par(0).Lines.at(0)->Box);
  const plat::Point at = BoxToPagePoint(cell, {0, 0});
  const int32_t y = at.y + cell.PixelRect.Height() / 2;
  const int32_t shadedX = at.x + cell.PixelRect.Width() + cell.PixelRect.Width() / 2;
  auto paint = [&](int32_t& darkColumns, uint32_t& shade) {
    plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
    plat::Canvas canvas(target);
    PaintPage(page, canvas, 0, 0);
    darkColumns = 0;
    for (int32_t x = 0; x < target.Width(); ++x) darkColumns += Dark(target.GetPixel(x, y));
    shade = target.GetPixel(shadedX, y);
  };
  int32_t dark = 0;
  uint32_t shade = 0;
  paint(dark, shade);
  EXPECT_EQ(dark, 3);
  EXPECT_EQ(shade, 0x0000FFu);
  // While the header is edited in place the main text, its table too, is dimmed.
  doc->HeaderFooterInPlace = header;
  paint(dark, shade);
  EXPECT_EQ(dark, 0);
  EXPECT_EQ(shade, LightenColor(0x0000FF));
  doc->HeaderFooterInPlace = nullptr;
}

TEST_F(BoxPaintTest, AnEdgeBetweenRowsShowsTheBorderEitherCellGivesIt) {
  struct Case {
    const char* Name;
    bool UpperBottom, LowerTop;
    int32_t Runs;  // dark runs down a column through both cells
  };
  for (const Case& c : {Case{"upper bottom", true, false, 1}, Case{"lower top", false, true, 1},
                        Case{"both", true, true, 1}, Case{"neither", false, false, 0}}) {
    SCOPED_TRACE(c.Name);
    NewDocument();
    TTableRow* upper = b->Row({"", ""}, 1500);
    TTableRow* lower = b->Row({"", ""}, 1500);
    for (int i = 0; i < 2; ++i) {
      for (TBorderLine* line : {&upper->Cells[static_cast<size_t>(i)].BorderBottom,
                                &lower->Cells[static_cast<size_t>(i)].BorderTop}) {
        const bool on = line == &upper->Cells[static_cast<size_t>(i)].BorderBottom ? c.UpperBottom : c.LowerTop;
        line->Width = on ? 15 : 0;  // one pixel
        line->Style = on ? 1 : 0;
        line->Color = 0;
      }
    }
    Layout();
    TPage& page = Page(0);
    plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
    plat::Canvas canvas(target);
    PaintPage(page, canvas, 0, 0);
    TCellBox* cell = GetCellBox(Par(0).Lines.at(0)->Box);
    const int32_t x = BoxToPagePoint(*cell, {0, 0}).x + cell->PixelRect.Width() / 2;
    int32_t runs = 0;
    bool previous = false;
    for (int32_t y = 0; y < target.Height(); ++y) {
      const bool dark = Dark(target.GetPixel(x, y));
      runs += dark && !previous;
      previous = dark;
    }
    EXPECT_EQ(runs, c.Runs);
  }
}

TEST_F(BoxPaintTest, AVerticallyMergedCellShowsNoEdgeInside) {
  TTableRow* rows[] = {b->Row({"merged", "a"}, 1500), b->Row({"", "b"}, 1500), b->Row({"", "c"}, 1500)};
  for (TTableRow* row : rows) {
    for (TTableCell& c : row->Cells)
      for (TBorderLine* line : {&c.BorderLeft, &c.BorderTop, &c.BorderRight, &c.BorderBottom}) {
        line->Width = 15;  // one pixel
        line->Style = 1;
        line->Color = 0;
      }
    row->Cells[0].Merged = 1;
  }
  rows[0]->Cells[0].MergeStart = 1;
  Layout();
  TPage& page = Page(0);
  plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
  plat::Canvas canvas(target);
  PaintPage(page, canvas, 0, 0);
  // Down a column near the merged cell's right edge, past its text: its top and bottom edges only.
  TCellBox* cell = GetCellBox(Par(0).Lines.at(0)->Box);
  const plat::Point at = BoxToPagePoint(*cell, {0, 0});
  ASSERT_GT(cell->PixelRect.Height(), 40);  // it spans the three rows
  const int32_t x = at.x + cell->PixelRect.Width() - 4;
  int32_t runs = 0;
  bool previous = false;
  for (int32_t y = at.y - 3; y < at.y + cell->PixelRect.Height() + 3; ++y) {
    const bool dark = Dark(target.GetPixel(x, y));
    runs += dark && !previous;
    previous = dark;
  }
  EXPECT_EQ(runs, 2);
}

TEST_F(BoxPaintTest, ATableGoingOnToTheNextPageShowsItsHeaderRowThere) {
  b->Row({"Head", "er"})->HeaderRow = 1;
  for (int i = 0; i < 20; ++i) b->Row({"row", std::to_string(i)});
  Layout();
  ASSERT_GE(doc->PageCount(), 2);
  auto paintedTexts = [&](int32_t index) {
    TPage& page = Page(index);
    plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
    plat::Canvas canvas(target);
    PaintRecorder rec;
    PaintPage(page, canvas, 0, 0, &rec);
    std::vector<std::pair<int32_t, std::u16string>> texts;
    for (const PaintRecorder::Text& t : rec.Texts) texts.emplace_back(t.Y, t.S);
    std::sort(texts.begin(), texts.end());
    return texts;
  };
  for (int32_t page : {0, 1}) {
    SCOPED_TRACE(page);
    const auto texts = paintedTexts(page);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front().second.substr(0, 4), u"Head");  // the topmost text of the page
  }
}

TEST_F(BoxPaintTest, PaintingRestoresTheCanvasAndSkipsWhatIsClippedAway) {
  b->Add("Some text on the page");
  Layout();
  TPage& page = Page(0);
  plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
  target.Fill(0x00FF00);
  plat::Canvas canvas(target);
  canvas.IntersectClipRect({0, 0, 5, 5});
  const plat::Rect clip = canvas.ClipBox();
  PaintPage(page, canvas, 0, 0);
  EXPECT_EQ(canvas.ClipBox(), clip);
  EXPECT_EQ(target.GetPixel(100, 100), 0x00FF00u);
  EXPECT_EQ(target.GetPixel(2, 2), 0xFFFFFFu);
}

TEST_F(BoxPaintTest, EveryPageShowsItsHeader) {
  b->HeaderFooter(*doc->Sections[0], 1, "Header HHHH");
  b->Add("page one\fpage two\fpage three");
  Layout();
  ASSERT_EQ(doc->PageCount(), 3);
  auto headerInk = [&](int32_t index) {
    TPage& page = Page(index);
    plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
    plat::Canvas canvas(target);
    PaintPage(page, canvas, 0, 0);
    if (page.HeaderBox == nullptr) return 0;
    const plat::Point at = BoxToPagePoint(*page.HeaderBox, {0, 0});
    int32_t ink = 0;
    for (int32_t y = at.y; y < at.y + page.HeaderBox->PixelRect.Height(); ++y)
      for (int32_t x = 0; x < target.Width(); ++x) ink += target.GetPixel(x, y) != 0xFFFFFF ? 1 : 0;  // dimmed: grey
    return ink;
  };
  // In turn and again: laying a header out for one page leaves the others able to show theirs.
  for (int round = 0; round < 2; ++round)
    for (int i = 0; i < 3; ++i) EXPECT_GT(headerInk(i), 10) << "page " << i << " round " << round;
  // No box keeps a line that has moved to another page's header: releasing the header's lines
  // later (an edit) must not leave a box pointing at them.
  std::function<void(const TBox&)> check = [&](const TBox& box) {
    for (const TLine* line : box.Lines)
      if (line != nullptr) EXPECT_EQ(line->Box, &box);
    for (const TBoxRef& child : box.Children) check(*child);
  };
  for (int i = 0; i < 3; ++i) check(Page(i));
}

TEST_F(BoxPaintTest, AFootnoteAreaShowsItsSeparatorUnlessHidden) {
  b->AddWithNote("With a note", "The note text");
  Layout();
  TPage& page = Page(0);
  const int32_t notePar = doc->FirstParagraphOfStory(stFootnotes);
  TBox& area = *Par(notePar).Lines.at(0)->Box->Parent;
  ASSERT_EQ(area.Area, TBox::AreaFootnotes);
  const plat::Point at = BoxToPagePoint(area, {0, 0});
  // Ink in the area's top inset, left of its text, counted over its rows.
  auto separatorInk = [&] {
    plat::Bitmap target(page.PixelRect.Width(), page.PixelRect.Height());
    plat::Canvas canvas(target);
    PaintPage(page, canvas, 0, 0);
    int32_t ink = 0;
    for (int32_t y = at.y; y < at.y + area.PixelMargins.top; ++y)
      for (int32_t x = at.x + area.PixelMargins.left; x < at.x + area.PixelMargins.left + 100; ++x)
        ink += target.GetPixel(x, y) != 0xFFFFFF ? 1 : 0;
    return ink;
  };
  ASSERT_GT(area.PixelMargins.top, 0);
  EXPECT_EQ(separatorInk(), 100);  // a rule one pixel high, wider than the 100 pixels looked at
  doc->NoteSeparatorFlags = 2;     // only the endnote separator shown
  EXPECT_EQ(separatorInk(), 0);
}
