// What the hit test finds under a point of the window: caret positions between characters, the
// bands above pages, the selection bar, list labels, table zones, fields and web addresses, and
// the caret when the context-menu key asks.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "document/field.h"
#include "document/shape.h"
#include "docwindow/view_geometry.h"
#include "layout/page.h"
#include "mouse_fixture.h"

using namespace qv;

namespace {

class HitTestTest : public dwtest::MouseTest {};

TEST_F(HitTestTest, PointsBetweenCharactersGiveTheNearerCaretPosition) {
  b->Add("Wide words here");
  b->Add("Second");
  Show();
  const plat::Point a = At(0, 5), c = At(0, 6);
  struct Case {
    const char* name;
    int32_t x;
    int32_t offset;
    int32_t under;
  };
  const int32_t mid = (a.x + c.x) / 2;
  const bool odd = (c.x - a.x) % 2 != 0;
  const Case cases[] = {
      {"on the boundary", a.x, 5, 5},
      {"just right of it", a.x + 1, 5, 5},
      {"just left of the next", c.x - 1, 6, 5},
      // Exactly half-way the position to the right wins.
      {"half-way", odd ? mid + 1 : mid, 6, 5},
  };
  for (const Case& k : cases) {
    const THitTestInfo h = Hit({k.x, a.y});
    ASSERT_TRUE(h.HasPosition()) << k.name;
    EXPECT_EQ(h.Position.Par, 0) << k.name;
    EXPECT_EQ(h.Position.Offset, k.offset) << k.name;
    EXPECT_EQ(h.CharPos.Offset, k.under) << k.name;
    EXPECT_TRUE(h.InText && h.InLineVertically) << k.name;
  }
  // Right of the last paragraph's text: before its paragraph mark, outside the text.
  const THitTestInfo end = Hit({At(1, 6).x + 40, At(1, 0).y});
  EXPECT_EQ(end.Position.Par, 1);
  EXPECT_EQ(end.Position.Offset, 6);
  EXPECT_FALSE(end.InText);
  // The character left of the position; unset when it is a space.
  EXPECT_EQ(Hit(At(0, 3)).CharLeft.Offset, 2);
  EXPECT_EQ(Hit(At(0, 5)).CharLeft.Offset, kNoHitPosition);
}

TEST_F(HitTestTest, TheBandAbovePagesAndPointsOffThePages) {
  b->Add("First page\fSecond page");
  Show();
  ASSERT_EQ(Doc().PageCount(), 2);
  plat::Rect first, second;
  Doc().GetPageRect(0, first);
  Doc().GetPageRect(1, second);
  Doc().ScrollTo({0, second.top - 40});
  Pump();
  const int32_t x = form->DocToClient({second.left + 50, 0}).x;
  auto client = [&](int32_t y) { return plat::Point{x, form->DocToClient({0, y}).y}; };
  EXPECT_TRUE(Hit(client(second.top - 3)).OnPageGap);
  EXPECT_FALSE(Hit(client(second.top - 3)).HasPosition());
  EXPECT_FALSE(Hit(client(second.top - 8)).OnPageGap);
  EXPECT_TRUE(Hit(client(second.top + 20)).HasPosition());
  EXPECT_FALSE(Hit(client(second.top + 20)).OnPageGap);
  // Beside the page in Print Layout there is no position at all.
  const THitTestInfo beside = Hit({form->DocToClient({second.right + 5, 0}).x, client(second.top + 40).y});
  EXPECT_FALSE(beside.HasPosition());
  // 10 pixels above the first page is still its band.
  Doc().ScrollTo({0, 0});
  Pump();
  const plat::Point above = form->DocToClient({first.left + 50, first.top - 10});
  ASSERT_GE(above.y, form->PageArea.top);
  EXPECT_TRUE(Hit(above).OnPageGap);
}

TEST_F(HitTestTest, DraftViewsHitThePageAtTheHeightOfThePoint) {
  b->Add("Some text");
  Show();
  Doc().SetViewMode(vmDraft);
  Pump();
  const plat::Point p = At(0, 2);
  const THitTestInfo h = Hit({form->PageArea.right - 3, p.y});
  ASSERT_TRUE(h.HasPosition());
  EXPECT_EQ(h.PageIndex, 0);
  EXPECT_EQ(h.Position.Par, 0);
}

TEST_F(HitTestTest, SelectionBarAndListLabels) {
  AddNumberedList(1);
  b->Add("Plain paragraph");
  b->Format.List = 1;
  b->Format.ListLevel = 0;
  b->Format.LeftIndent = 720;
  b->Format.FirstIndent = -360;
  b->Add("Listed paragraph");
  b->Finish();
  Doc().RenumberLists();
  Show();
  EXPECT_FALSE(Hit(LeftOfLine(0, 0, 4)).InSelectionBar);
  const THitTestInfo bar = Hit(LeftOfLine(0, 0, 12));
  EXPECT_TRUE(bar.InSelectionBar);
  EXPECT_FALSE(bar.InText);
  EXPECT_EQ(bar.Position.Offset, 0);
  TPar& listed = *Doc().Par(1);
  ASSERT_TRUE(listed.NumberPar && listed.NumberPar->CharCount() > 0);
  const THitTestInfo label = Hit(LeftOfLine(1, 0, 6));
  EXPECT_TRUE(label.OnListLabel);
  EXPECT_TRUE(label.InSelectionBar);
  // Within the few pixels before the text the point is neither.
  EXPECT_FALSE(Hit(LeftOfLine(1, 0, 2)).InSelectionBar);
}

TEST_F(HitTestTest, TableZonesAndBorders) {
  b->Add("Before");
  b->Row({"A1", "B1"});
  b->Row({"A2", "B2"});
  b->Add("After");
  Show();
  const int32_t a1 = 1, b1 = 2, a2 = 4;
  ASSERT_EQ(ParText(b1), "B1");
  const plat::Point inB1 = AtChar(b1, 0);
  const THitTestInfo text = Hit(inB1);
  ASSERT_NE(text.CellBox, nullptr);
  EXPECT_EQ(text.CellBox->CellRange.Start.Par, b1);
  EXPECT_FALSE(text.OnCellSelectArea);
  // The cell zone: a band inside the cell's left edge.
  TCellBox& cell = *text.CellBox;
  const plat::Point cellOrigin = form->DocToClient(BoxToViewPoint(cell, {0, 0}));
  const THitTestInfo zone = Hit({cellOrigin.x + 1, inB1.y});
  EXPECT_TRUE(zone.OnCellSelectArea);
  // The column zone: a band inside the top of a first-row cell.
  EXPECT_TRUE(Hit({inB1.x, cellOrigin.y + 1}).OnColumnSelectArea);
  EXPECT_FALSE(Hit({inB1.x, At(a2, 0).y}).OnColumnSelectArea);
  // The row zone: left of the row's first cell.
  const THitTestInfo row = Hit(LeftOfLine(a1, 0, 20));
  EXPECT_TRUE(row.OnRowSelectArea);
  ASSERT_NE(row.CellBox, nullptr);
  EXPECT_EQ(row.CellBox->CellRange.Start.Par, a1);
  // The border between two cells is the right border of the left one; the first cell's left
  // edge is its left border.
  const THitTestInfo between = Hit({cellOrigin.x, inB1.y});
  EXPECT_EQ(between.TableBorderKind, 5);
  ASSERT_NE(between.BorderCell, nullptr);
  EXPECT_EQ(between.BorderCell->CellRange.Start.Par, a1);
  const THitTestInfo left = Hit({form->DocToClient(BoxToViewPoint(*row.CellBox, {0, 0})).x, inB1.y});
  EXPECT_EQ(left.TableBorderKind, 4);
}

TEST_F(HitTestTest, HyperlinksAndWebAddressesUnderThePoint) {
  b->Add("Visit http://example.com today");
  Show();
  const THitTestInfo h = Hit(AtChar(0, 10));
  EXPECT_TRUE(h.InWebAddress);
  EXPECT_EQ(h.WebAddress.Position.Offset, 6);
  EXPECT_EQ(h.WebAddress.Length, 18);
  EXPECT_FALSE(Hit(AtChar(0, 2)).InWebAddress);
}

TEST_F(HitTestTest, TheContextMenuKeyAsksForTheCaret) {
  b->Add("Some words");
  Show();
  SetCaret(Doc(), 0, 5, scClearSelection, 0);
  form->Flags |= TDocForm::dfKeyboardContextMenu;
  const THitTestInfo h = Hit({0, 0});
  form->Flags &= ~TDocForm::dfKeyboardContextMenu;
  EXPECT_EQ(h.Position.Offset, 5);
  EXPECT_EQ(h.CharLeft.Offset, kNoHitPosition);
  EXPECT_FALSE(h.OverSelection);
}

}  // namespace

namespace {

class WrapPointHitTest : public dwtest::MouseTest {
 protected:
  TShape* Shape(const std::array<int32_t, 4>& rect) {
    auto owned = std::make_unique<TShape>(&Doc());
    TShape* s = owned.get();
    s->AnchorPar = Doc().Par(0);
    s->Props.WrapStyle = TShapeProps::TWrapStyle::Tight;
    s->Props.SetWrapPolygon({{0, 0}, {21600, 0}, {21600, 21600}, {0, 10800}});
    s->PlacedRect = rect;
    Doc().Shapes.push_back(std::move(owned));
    Doc().Pages.front()->Shapes.push_back(s);
    Doc().SelectedShapes = {s};
    Doc().WrapEditShape = s;
    return s;
  }
  plat::Point Client(const TShape& s, int32_t x, int32_t y) {
    plat::Rect r;
    EXPECT_TRUE(FloatingShapeViewRect(s, r));
    return form->DocToClient({r.left + x, r.top + y});
  }
};

TEST_F(WrapPointHitTest, PointsAndEdgesOfTheWrapOutline) {
  b->Add("Text");
  Show();
  TShape* s = Shape({2880, 2880, 4320, 4320});  // 96 x 96 pixels at 100 %
  // The fourth point (0, 10800) lies half-way down the left edge.
  const THitTestInfo point = Hit(Client(*s, 1, 48));
  EXPECT_EQ(point.WrapPoint, 3);
  EXPECT_EQ(point.WrapX, 0);
  EXPECT_EQ(point.WrapY, 10800);
  // Half-way along the top edge: edge 1 (from point 0 to point 1), in shape space.
  const THitTestInfo edge = Hit(Client(*s, 48, 1));
  EXPECT_EQ(edge.WrapPoint, -1);
  EXPECT_EQ(edge.WrapEdge, 1);
  EXPECT_NEAR(edge.WrapX, 10800, 300);
  const plat::Point inside = Client(*s, 48, 30);
  EXPECT_EQ(Hit(inside).WrapEdge, 0);
  const plat::Point space = form->ClientToShapeSpace(inside.x, inside.y);
  EXPECT_NEAR(space.x, 10800, 300);
  EXPECT_NEAR(space.y, 30 * 21600 / 96, 300);
}

TEST_F(WrapPointHitTest, AShapeWithoutWidthOrHeightDividesByNothing) {
  b->Add("Text");
  Show();
  TShape* s = Shape({2880, 2880, 2880, 2880});
  const plat::Point at = Client(*s, 0, 0);
  const THitTestInfo h = Hit(at);
  EXPECT_GE(h.WrapPoint, 0);
  const plat::Point space = form->ClientToShapeSpace(at.x + 5, at.y + 5);
  EXPECT_EQ(space.x, 5 * 21600);
  EXPECT_EQ(space.y, 5 * 21600);
}

}  // namespace
