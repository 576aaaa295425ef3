#include "layout/pagination_fixture.h"

#include "document/field.h"
#include "layout/char_format_cache.h"
#include "layout/page.h"

namespace {

TEST_F(PaginationTest, PageLineQueries) {
  TField* header = b->HeaderFooter(*doc->Sections[0], hfOddHeader, "Header");
  const int32_t first = b->Lines(3);
  const int32_t ref = b->AddWithNote("Note here", "Note text");
  b->Lines(10);
  Paginate();
  const TPage& page = Page(0);
  const std::vector<TLine*> main = CollectPageLines(page, AreaBit(TBox::AreaMain));
  // The note's line and its separator room take 510 twips: nine lines of main text remain.
  ASSERT_EQ(main.size(), 9u);
  EXPECT_EQ(main.front(), Par(first).Lines[0]);
  EXPECT_EQ(CountPageLines(page, BodyAreas), 10);
  EXPECT_EQ(GetPageLineIndex(page, *Par(ref).Lines[0]), 3);
  EXPECT_EQ(FirstLineIndexOnPage(page, first), 0);
  EXPECT_EQ(FirstLineIndexOnPage(Page(1), ref + 1), 5);
  EXPECT_EQ(FirstLineIndexOnPage(Page(1), first), INT32_MAX);
  EXPECT_EQ(GetPageSection(Page(1)), doc->Sections[0].get());
  // The header is measured only; laid out again for painting it holds its line.
  ASSERT_NE(page.HeaderBox, nullptr);
  EXPECT_EQ(CountPageLines(page, AreaBit(TBox::AreaHeaderFooter)), 0);
  ReflowPageHeaderFooter(Page(0), header);
  EXPECT_EQ(CountPageLines(page, AreaBit(TBox::AreaHeaderFooter)), 1);
  EXPECT_EQ(GetPageLineIndex(page, *Par(header->Range.Start.Par).Lines[0]), 0);
  doc->HeaderFooterInPlace = header;
  ClearPageHeaderFooter(Page(0));
  EXPECT_EQ(CountPageLines(page, AreaBit(TBox::AreaHeaderFooter)), 0);
  doc->HeaderFooterInPlace = nullptr;
  plat::Rect mark;
  EXPECT_FALSE(AnchorMarkRect(page, mark));
}

TEST_F(PaginationTest, ViewQueriesFollowThePageArrangement) {
  for (int i = 0; i < 50; ++i) b->Add(TDocBuilder::Numbered("Paragraph ", i));
  Paginate();
  ASSERT_EQ(doc->PageCount(), 5);
  plat::Rect r0, r2;
  doc->GetPageRect(0, r0);
  doc->GetPageRect(2, r2);
  EXPECT_EQ(r0.Height(), doc->TwipsToPixelsY(4320));
  EXPECT_GT(r2.top, r0.bottom);
  doc->View.ScrollPos = {0, r2.top + 5};
  EXPECT_EQ(doc->FirstVisiblePage(), 2);
  EXPECT_EQ(doc->CurrentPage(), 2);
  plat::Rect beyond;
  doc->GetPageRect(99, beyond);
  doc->GetPageRect(4, r0);
  EXPECT_EQ(beyond, r0);
  EXPECT_EQ(doc->SectionOfPage(99), doc->Sections[0].get());
  EXPECT_GT(doc->View.Extent.cy, r2.bottom);
}

TEST_F(PaginationTest, LineStartFormatsAreKeptOnce) {
  TCharFormat a = DefaultCharFormat, c = DefaultCharFormat;
  a.Size = 24 * 16;
  a.Kerning = 0;
  c.Size = 20 * 16 + 9;  // rounds up
  c.Kerning = 16 * 16;
  EXPECT_EQ(CacheCharFormat(*doc, a), 0);
  EXPECT_EQ(CacheCharFormat(*doc, c), 1);
  EXPECT_EQ(CacheCharFormat(*doc, a), 0);
  EXPECT_EQ(CachedCharFormatCount(*doc), 2);
  TCharFormat out;
  GetCachedCharFormat(*doc, 1, out);
  EXPECT_EQ(out.Size, 21);
  EXPECT_EQ(out.Kerning, 16);
  GetCachedCharFormat(*doc, 0, out);
  EXPECT_EQ(out.Kerning, 0);
  GetCachedCharFormat(*doc, 7, out);
  EXPECT_EQ(out.Size, DefaultCharFormat.Size);
}

// Damaged content lays out without hanging or crashing.
TEST_F(PaginationTest, DamagedContentStillPaginates) {
  b->Add("Before");
  TTableRow* row = b->Row({"a", "b"});
  row->CellCount = 63;  // more cells than the row has
  TTableRow* empty = b->Row({"c"});
  empty->CellCount = 0;
  b->Add("Between");
  TParFormat loose = b->Format;
  loose.InTable = 1;
  b->Format = loose;
  b->Add("in a table without a row end");
  b->Format.InTable = 0;
  b->Add("After");
  const int32_t ref = b->AddWithNote("Note", "text");
  Paginate();
  EXPECT_TRUE(doc->Layout.LaidOutToEnd);
  EXPECT_GE(PageOf(ref), 0);
  // Pages far too small for anything: every page takes what is forced onto it.
  SetUp();
  SmallPage(*doc->Sections[0], 12240, 300);
  doc->Sections[0]->PageParams.TopMargin = doc->Sections[0]->PageParams.BottomMargin = 200;
  b->AddWithNote("Note", "never fits");
  b->Lines(5);
  Paginate();
  EXPECT_TRUE(doc->Layout.LaidOutToEnd);
  EXPECT_LT(doc->PageCount(), 20);
}

}  // namespace
