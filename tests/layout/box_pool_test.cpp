#include <gtest/gtest.h>

#include <memory>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/layout_services.h"
#include "document/line.h"
#include "document/par.h"
#include "layout/box.h"
#include "layout/box_geometry.h"
#include "layout/box_pool.h"
#include "layout/layout_registration.h"

using namespace qv;

namespace {

class BoxTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterLayoutServices();
    page = AcquirePage(doc);
    page->Rect = {0, 0, 12240, 15840};
    par = std::make_unique<TPar>(&doc);
    for (int i = 0; i < 4; ++i) lines.push_back(AcquireLine(*par, DefaultCharFormat));
  }
  void TearDown() override {
    ReleaseBox(page);
    for (TLine* l : lines) ReleaseLine(l);
    RegisterDocLayoutServices(nullptr);
  }
  TBox& Child(TBox& parent, uint32_t flags) {
    TBoxRef box = AcquireBox(&parent, TBoxKind::Box);
    box->Flags = flags;
    return *parent.AddChild(std::move(box));
  }

  TDoc doc{true};
  TPage* page = nullptr;
  std::unique_ptr<TPar> par;
  std::vector<TLine*> lines;
};

TEST_F(BoxTreeTest, RestoreRemovesNewBoxesAndDetachesNewLines) {
  TBox& band = Child(*page, TBox::SectionBand);
  TBox& text = Child(band, TBox::TextBox);
  text.AppendLine(*lines[0]);
  text.Rect.bottom = 240;
  text.FillPos = 240;
  page->FootnoteCounter = 3;
  TakePageSnapshot(*page);
  text.AppendLine(*lines[1]);
  text.Rect.bottom = 480;
  text.FillPos = 480;
  TBox& later = Child(band, TBox::TextBox);
  later.AppendLine(*lines[2]);
  page->FootnoteCounter = 9;
  page->Footnotes = AcquireFragment();
  RestorePageSnapshot(*page);
  EXPECT_EQ(text.LineCount(), 1);
  EXPECT_EQ(text.Rect.bottom, 240);
  EXPECT_EQ(text.FillPos, 240);
  ASSERT_EQ(band.Children.size(), 1u);
  EXPECT_EQ(lines[0]->Box, &text);
  EXPECT_EQ(lines[1]->Box, nullptr);  // detached, not freed: the paragraph still owns it
  EXPECT_EQ(lines[2]->Box, nullptr);
  EXPECT_EQ(lines[1]->Par, par.get());
  EXPECT_EQ(page->FootnoteCounter, 3);
  EXPECT_FALSE(page->Footnotes);
  // The snapshot stays until it is discarded; restoring again gives the same page.
  EXPECT_EQ(PageSnapshotCount(*page), 1);
  DiscardPageSnapshot(*page);
  EXPECT_EQ(PageSnapshotCount(*page), 0);
}

TEST_F(BoxTreeTest, SnapshotsNestAndRestoreTheirFragments) {
  page->Footnotes = AcquireFragment();
  page->Footnotes->SetSingleRange(5, 0, 5, 10);
  TakePageSnapshot(*page);
  const TPageSnapshot* outer = LastPageSnapshot(*page);
  page->Footnotes->SetSingleRange(6, 0, 6, 3);
  TakePageSnapshot(*page);
  page->Footnotes.reset();
  RestorePageSnapshot(*page);
  ASSERT_TRUE(page->Footnotes);
  EXPECT_EQ(page->Footnotes->GetRange(0)->Start.Par, 6);
  RestorePageSnapshot(*page, *outer);
  EXPECT_EQ(page->Footnotes->GetRange(0)->Start.Par, 5);
  DiscardPageSnapshot(*page, outer);  // from the middle: the other stays
  EXPECT_EQ(PageSnapshotCount(*page), 1);
  DiscardPageSnapshot(*page);
}

TEST_F(BoxTreeTest, ShapeListIsKeptWhenThePageAsksForIt) {
  int a = 0, b = 0;
  auto* first = reinterpret_cast<TShape*>(&a);
  auto* second = reinterpret_cast<TShape*>(&b);
  page->Shapes = {first};
  TakePageSnapshot(*page);
  page->Shapes.push_back(second);
  page->Flags |= TBox::KeepShapeList;
  RestorePageSnapshot(*page);
  EXPECT_EQ(page->Shapes.size(), 2u);
  page->Flags &= ~TBox::KeepShapeList;
  RestorePageSnapshot(*page);
  EXPECT_EQ(page->Shapes, std::vector<TShape*>{first});
  DiscardPageSnapshot(*page);
}

TEST_F(BoxTreeTest, PooledBoxesCarryNothingOfTheirFormerLife) {
  TBoxRef box = AcquireBox(page, TBoxKind::Cell);
  box->Flags = TBox::CellBoxFlag | TBox::CellComplete;
  box->Area = 1;
  box->MaxHeight = 5;
  box->Rect = {1, 2, 3, 4};
  box->AppendLine(*lines[0]);
  static_cast<TCellBox&>(*box).CellIndex = 7;
  TBox* raw = box.get();
  TBox& grandchild = Child(*box, TBox::TextBox);
  grandchild.AppendLine(*lines[1]);
  box.reset();  // back to the pool
  EXPECT_EQ(lines[0]->Box, nullptr);
  EXPECT_EQ(lines[1]->Box, nullptr);
  EXPECT_GE(BoxPoolSize(TBoxKind::Cell), 1);
  TBoxRef again = AcquireBox(page, TBoxKind::Cell);
  EXPECT_EQ(again.get(), raw);
  EXPECT_EQ(again->Flags, 0u);
  EXPECT_EQ(again->Area, TBox::AreaNone);
  EXPECT_EQ(again->MaxHeight, TBox::Unlimited);
  EXPECT_EQ(again->Rect, plat::Rect{});
  EXPECT_TRUE(again->Lines.empty());
  EXPECT_TRUE(again->Children.empty());
  EXPECT_EQ(static_cast<TCellBox&>(*again).CellIndex, 0);
  EXPECT_EQ(again->Page, page);
}

TEST_F(BoxTreeTest, ReleasedLineLeavesAnEmptySlot) {
  TBox& text = Child(*page, TBox::TextBox);
  TLine* line = AcquireLine(*par, DefaultCharFormat);
  text.AppendLine(*lines[0]);
  text.AppendLine(*line);
  text.AppendLine(*lines[1]);
  ReleaseLine(line);
  ASSERT_EQ(text.LineCount(), 3);
  EXPECT_EQ(text.Lines[1], nullptr);
  EXPECT_EQ(text.LastLine(), lines[1]);
  EXPECT_FALSE(IsBoxEmpty(text));
}

TEST_F(BoxTreeTest, GrowBoxAsksTheAncestorsAndRespectsLimits) {
  page->Margins = {0, 720, 0, 720};
  TBox& band = Child(*page, TBox::SectionBand);
  band.Rect = {0, 720, 12240, 720};
  TBox& column = Child(band, TBox::ColumnBody);
  TBox& area = Child(column, TBox::AreaBox);
  TBox& text = Child(area, TBox::TextBox);
  int32_t granted = 0;
  EXPECT_TRUE(GrowBox(&area, text, 1000, false, &granted));
  EXPECT_EQ(granted, 1000);
  EXPECT_EQ(band.Height(), 1000);
  // The page body holds 15840 - 1440 twips: the rest cannot be had.
  EXPECT_FALSE(GrowBox(&area, text, 20000, false, &granted));
  EXPECT_EQ(granted, 14400 - 1000);
  EXPECT_EQ(text.Height(), 14400);
  // Forced growth goes past the page.
  EXPECT_TRUE(GrowBox(&area, text, 500, true, &granted));
  EXPECT_EQ(text.Height(), 14900);
  // A maximum height cuts even a forced request.
  band.MaxHeight = 15000;
  EXPECT_TRUE(GrowBox(&area, text, 500, true, &granted));
  EXPECT_EQ(band.Height(), 15000);
  text.MaxHeight = text.Height();
  EXPECT_FALSE(GrowBox(&area, text, 10, true, &granted));
}

TEST_F(BoxTreeTest, BodyTopAndTreeQueries) {
  TBox& header = Child(*page, TBox::AreaBox);
  header.Area = TBox::AreaHeaderFooter;
  TBox& band = Child(*page, TBox::SectionBand);
  TBox& column = Child(band, TBox::ColumnBody);
  TBox& area = Child(column, TBox::AreaBox);
  area.Area = TBox::AreaMain;
  TBox& first = Child(area, TBox::TextBox);
  first.Area = TBox::AreaMain;
  EXPECT_TRUE(IsBoxAtBodyTop(first));
  first.AppendLine(*lines[0]);
  EXPECT_FALSE(IsBoxAtBodyTop(first));
  TBox& second = Child(area, TBox::TextBox);
  EXPECT_FALSE(IsBoxAtBodyTop(second));
  TBox& band2 = Child(*page, TBox::SectionBand);
  TBox& column2 = Child(band2, TBox::ColumnBody);
  TBox& area2 = Child(column2, TBox::AreaBox);
  EXPECT_FALSE(IsBoxAtBodyTop(area2));  // an earlier band is on the page
  EXPECT_TRUE(IsAncestor(&first, &band));
  EXPECT_FALSE(IsAncestor(&band, &first));
  EXPECT_EQ(GetFirstLineOfBox(*page, AreaBit(TBox::AreaMain)), lines[0]);
  EXPECT_EQ(GetFirstLineOfBox(*page, AreaBit(TBox::AreaFootnotes)), nullptr);
  TDocRange range;
  MakeRange(par->Index, 0, par->Index, 1, range);
  EXPECT_TRUE(BoxLinesWithin(*page, AreaBit(TBox::AreaMain), range));
  MakeRange(par->Index + 1, 0, par->Index + 2, 1, range);
  EXPECT_FALSE(BoxLinesWithin(*page, AreaBit(TBox::AreaMain), range));
  EXPECT_TRUE(BoxLinesWithin(*page, AreaBit(TBox::AreaFootnotes), range));
  TBox& footer = Child(*page, TBox::AreaBox | TBox::FooterBox);
  TBox& inFooter = Child(footer, TBox::TextBox);
  EXPECT_TRUE(IsInFooter(&inFooter));
  EXPECT_FALSE(IsInFooter(&first));
  (void)header;
}

}  // namespace
