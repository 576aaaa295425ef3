// The navigation keys of the document window, pressed through the application object's loop: the
// key table with and without Ctrl and Shift, the goal column over short lines, the paragraph mark
// under Shift, breaks and wrapped lines, the story's ends, pages, blocks of table cells and the
// keys on selected floating shapes.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "document/shape.h"
#include "docwindow/scroll_into_view.h"
#include "docwindow/zoom.h"
#include "layout/page.h"
#include "mouse_fixture.h"

using namespace qv;

namespace {

using Range = std::array<int32_t, 4>;

class CaretMovementTest : public dwtest::MouseTest {
 protected:
  void Caret(int32_t par, int32_t offset) {
    SetCaret(Doc(), par, offset, scClearSelection, 0);
    form->ResetCaretColumn();
  }
  std::array<int32_t, 2> At() { return {Doc().Caret.Par, Doc().Caret.Offset}; }
  // A paragraph long enough to wrap over several lines.
  static std::string LongText() {
    std::string s;
    for (int i = 0; i < 40; ++i) s += "word" + std::to_string(i) + " ";
    return s;
  }
};

TEST_F(CaretMovementTest, TheKeyTable) {
  b->Add("Alpha beta gamma");        // 0
  b->Add("Second paragraph");       // 1
  b->Add("Third");                  // 2
  Show();
  struct Case {
    const char* name;
    uint8_t key;
    uint8_t shift;
    std::array<int32_t, 2> from;
    std::array<int32_t, 2> to;
  };
  const Case cases[] = {
      {"Left", plat::VK_LEFT, 0, {0, 3}, {0, 2}},
      {"Left at a paragraph start", plat::VK_LEFT, 0, {1, 0}, {0, 16}},
      {"Left at the story's start", plat::VK_LEFT, 0, {0, 0}, {0, 0}},
      {"Right", plat::VK_RIGHT, 0, {0, 3}, {0, 4}},
      {"Right before a mark", plat::VK_RIGHT, 0, {0, 16}, {1, 0}},
      {"Right at the story's end", plat::VK_RIGHT, 0, {2, 5}, {2, 5}},
      {"Ctrl+Left", plat::VK_LEFT, plat::ssCtrl, {0, 8}, {0, 6}},
      {"Ctrl+Right", plat::VK_RIGHT, plat::ssCtrl, {0, 1}, {0, 6}},
      {"Home", plat::VK_HOME, 0, {1, 7}, {1, 0}},
      {"End", plat::VK_END, 0, {1, 3}, {1, 16}},
      {"Ctrl+Home", plat::VK_HOME, plat::ssCtrl, {2, 3}, {0, 0}},
      {"Ctrl+End", plat::VK_END, plat::ssCtrl, {0, 3}, {2, 5}},
      {"Up", plat::VK_UP, 0, {1, 3}, {0, 3}},
      {"Down", plat::VK_DOWN, 0, {0, 3}, {1, 3}},
      {"Up on the first line", plat::VK_UP, 0, {0, 3}, {0, 3}},
      {"Ctrl+Up inside a paragraph", plat::VK_UP, plat::ssCtrl, {1, 5}, {1, 0}},
      {"Ctrl+Up at a paragraph start", plat::VK_UP, plat::ssCtrl, {1, 0}, {0, 0}},
      {"Ctrl+Down", plat::VK_DOWN, plat::ssCtrl, {0, 5}, {1, 0}},
      {"Ctrl+Down in the last paragraph", plat::VK_DOWN, plat::ssCtrl, {2, 1}, {2, 5}},
      {"Page Up at the view's top", plat::VK_PRIOR, 0, {2, 3}, {0, 0}},
      {"Ctrl+Alt+Left does nothing", plat::VK_LEFT, plat::ssCtrl | plat::ssAlt, {0, 3}, {0, 3}},
  };
  for (const Case& c : cases) {
    Caret(c.from[0], c.from[1]);
    Press(c.key, c.shift);
    EXPECT_EQ(At(), c.to) << c.name;
    EXPECT_FALSE(Doc().HasSelection()) << c.name;
  }
  // Ctrl+Page Up and Ctrl+Page Down browse by the browse object.
  Press(plat::VK_PRIOR, plat::ssCtrl);
  Press(plat::VK_NEXT, plat::ssCtrl);
  EXPECT_EQ(S().Commands, (std::vector<int32_t>{4225, 4226}));
}

TEST_F(CaretMovementTest, ShiftExtendsAndPlainKeysLeaveASelectionAtItsEdges) {
  b->Add("Alpha beta gamma");
  b->Add("Second paragraph");
  Show();
  struct Case {
    const char* name;
    uint8_t key;
    uint8_t shift;
    std::array<int32_t, 2> from;
    Range selection;
    std::array<int32_t, 2> caret;
  };
  const Case cases[] = {
      {"Shift+Right", plat::VK_RIGHT, plat::ssShift, {0, 3}, {0, 3, 0, 4}, {0, 4}},
      {"Shift+Left", plat::VK_LEFT, plat::ssShift, {0, 3}, {0, 2, 0, 3}, {0, 2}},
      {"Shift+Home", plat::VK_HOME, plat::ssShift, {0, 3}, {0, 0, 0, 3}, {0, 0}},
      {"Shift+End", plat::VK_END, plat::ssShift, {0, 3}, {0, 3, 0, 16}, {0, 16}},
      {"Shift+Down", plat::VK_DOWN, plat::ssShift, {0, 3}, {0, 3, 1, 3}, {1, 3}},
      {"Shift+Ctrl+Right", plat::VK_RIGHT, plat::ssShift | plat::ssCtrl, {0, 0}, {0, 0, 0, 6}, {0, 6}},
      // At the end of a paragraph Shift+Right takes its mark.
      {"Shift+Right over the mark", plat::VK_RIGHT, plat::ssShift, {0, 16}, {0, 16, 0, 17}, {0, 17}},
  };
  for (const Case& c : cases) {
    Caret(c.from[0], c.from[1]);
    Press(c.key, c.shift);
    EXPECT_EQ(Sel(), c.selection) << c.name;
    EXPECT_EQ(At(), c.caret) << c.name;
  }
  // The next Shift+Right takes the next paragraph's first character.
  Press(plat::VK_RIGHT, plat::ssShift);
  EXPECT_EQ(Sel(), (Range{0, 16, 1, 1}));
  // Without Shift, Left and Right leave a selection at its start or end.
  Doc().SetSelection(0, 6, 0, 10);
  Press(plat::VK_LEFT);
  EXPECT_FALSE(Doc().HasSelection());
  EXPECT_EQ(At(), (std::array<int32_t, 2>{0, 6}));
  Doc().SetSelection(0, 6, 0, 10);
  Press(plat::VK_RIGHT);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{0, 10}));
  // Ctrl+Up over a selection growing downwards shrinks it to the previous paragraph's end.
  Caret(0, 3);
  Press(plat::VK_DOWN, plat::ssShift);
  Press(plat::VK_UP, plat::ssShift | plat::ssCtrl);
  EXPECT_EQ(Sel(), (Range{0, 3, 0, 17}));
}

TEST_F(CaretMovementTest, TheGoalColumnSurvivesShortLines) {
  b->Add("A long first line of text here");
  b->Add("ab");
  b->Add("cd");
  b->Add("A long last line of text as well");
  Show();
  Caret(3, 25);
  const int32_t x = Doc().View.CaretX;
  Press(plat::VK_UP);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{2, 2}));
  Press(plat::VK_UP);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{1, 2}));
  Press(plat::VK_DOWN);
  Press(plat::VK_DOWN);
  EXPECT_EQ(Doc().Caret.Par, 3);
  EXPECT_EQ(Doc().Caret.Offset, 25);
  EXPECT_NEAR(Doc().View.CaretX, x, 1);
  // Another key in between forgets the column.
  Caret(3, 25);
  Press(plat::VK_UP);
  Press(plat::VK_LEFT);
  Press(plat::VK_DOWN);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{3, 1}));
}

TEST_F(CaretMovementTest, EndOnBrokenAndWrappedLines) {
  b->Add("First|Second");
  b->Add(LongText());
  Show();
  Caret(0, 1);
  Press(plat::VK_END);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{0, 5}));  // before the line break
  EXPECT_EQ(Doc().Caret.Line, 0);
  TPar& wrapped = *Doc().Par(1);
  ASSERT_GT(wrapped.LineCount(), 1);
  const TLine& first = *wrapped.Lines[0];
  Caret(1, 2);
  Press(plat::VK_END);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{1, first.LastChar()}));
  EXPECT_EQ(Doc().Caret.Line, 0);  // shown at the end of the first line, not the second's start
  Press(plat::VK_HOME);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{1, 0}));
  // Down from the first line of the wrapped paragraph stays in it.
  Caret(1, 2);
  Press(plat::VK_DOWN);
  EXPECT_EQ(Doc().Caret.Par, 1);
  EXPECT_EQ(Doc().Caret.Line, 1);
}

TEST_F(CaretMovementTest, StoryEndsAndPages) {
  for (int i = 0; i < 150; ++i) b->Add(TDocBuilder::Numbered("Paragraph ", i));
  b->AddWithNote("Noted", "Note one|Note two");
  Show(800, 600);
  Doc().PaginateAll();
  const int32_t last = Doc().LastParagraphOfStory(stMain);
  Caret(0, 2);
  Press(plat::VK_END, plat::ssCtrl);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{last, Doc().ParLength(last) - 1}));
  EXPECT_GT(Doc().View.ScrollPos.y, 0);
  EXPECT_TRUE(IsCaretVisible(Doc()));
  Press(plat::VK_HOME, plat::ssCtrl);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{0, 0}));
  EXPECT_EQ(Doc().View.ScrollPos.y, 0);
  // Page Down keeps the caret's height in the window over a run of presses.
  Caret(3, 0);
  const int32_t y0 = Doc().View.CaretY - Doc().View.ScrollPos.y;
  Press(plat::VK_NEXT);
  const int32_t par1 = Doc().Caret.Par;
  EXPECT_GT(par1, 10);
  EXPECT_GT(Doc().View.ScrollPos.y, 0);
  Press(plat::VK_NEXT);
  EXPECT_GT(Doc().Caret.Par, par1);
  EXPECT_NEAR(Doc().View.CaretY - Doc().View.ScrollPos.y, y0, 25);
  EXPECT_FALSE(form->Column.PageKeyRect.IsEmpty());
  Press(plat::VK_LEFT);
  EXPECT_TRUE(form->Column.PageKeyRect.IsEmpty());
  // In a footnote Ctrl+End only moves within the note.
  const int32_t note = Doc().FirstParagraphOfStory(stFootnotes);
  Caret(note, 0);
  Press(plat::VK_END, plat::ssCtrl);
  EXPECT_EQ(Doc().Caret.Par, note);
}

TEST_F(CaretMovementTest, WholePageZoomsPageByCommand) {
  b->Add("One\fTwo\fThree");
  Show();
  Doc().View.ZoomMode = zmTwoPages;
  ApplyZoom(Doc(), Doc().ComputeZoom());
  Doc().ScrollTo({0, 1});
  Caret(0, 0);
  Press(plat::VK_NEXT);
  EXPECT_EQ(S().Commands, std::vector<int32_t>{4226});
  Doc().View.ZoomMode = zmFixed;
}

TEST_F(CaretMovementTest, ShiftArrowsOverABlockOfCells) {
  b->Add("Before");
  b->Row({"A1", "B1", "C1"});
  b->Row({"A2", "B2", "C2"});
  b->Add("After");
  Show();
  const int32_t a1 = 1, b1 = 2, c1 = 3, row1End = 4, a2 = 5, b2 = 6, row2End = 8, after = 9;
  ASSERT_EQ(ParText(after), "After");
  // A block of A1 and B1 with the caret in B1.
  Doc().SetSelection(a1, 0, b1, Doc().ParLength(b1));
  Doc().SelectionAnchor = TDocPosition{a1, 0, 0, 0};
  SetCaretPos(Doc(), TDocPosition{b1, 2, 0, 0}, 0);
  ASSERT_TRUE(Doc().IsCellSelection(*Doc().Selection));
  Press(plat::VK_RIGHT, plat::ssShift);
  EXPECT_TRUE(Doc().IsParagraphWhollySelected(c1));
  EXPECT_FALSE(Doc().IsPositionSelected(TDocPosition{a2, 0, 0, 0}));
  // Then the row end, then a row downwards.
  Press(plat::VK_RIGHT, plat::ssShift);
  EXPECT_TRUE(Doc().IsPositionSelected(TDocPosition{row1End, 0, 0, 0}));
  Press(plat::VK_RIGHT, plat::ssShift);
  EXPECT_TRUE(Doc().IsParagraphWhollySelected(b2));
  EXPECT_EQ(Doc().Selection->GetRange(0)->Start.Par, a1);
  // Past the table's last row the selection leaves the table.
  Press(plat::VK_DOWN, plat::ssShift);
  EXPECT_EQ(Doc().Selection->LastRange->End.Par, after);
  EXPECT_GE(Doc().Selection->LastRange->End.Offset, 1);
  // Shift+Left on a one-cell block with the caret after the anchor extends as outside a block.
  Doc().SetSelection(b1, 0, b1, Doc().ParLength(b1));
  Doc().SelectionAnchor = TDocPosition{b1, 0, 0, 0};
  SetCaretPos(Doc(), TDocPosition{b1, 2, 0, 0}, 0);
  Press(plat::VK_LEFT, plat::ssShift);
  EXPECT_EQ(Sel(), (Range{a1, 0, b1, Doc().ParLength(b1)}));
  (void)row2End;
}

TEST_F(CaretMovementTest, ShiftArrowsOutOfATableTakeWholeRows) {
  b->Add("Before");
  b->Row({"A1", "B1"});
  b->Row({"A2", "B2"});
  b->Add("After");
  Show();
  const int32_t a1 = 1, row1End = 3, a2 = 4;
  // The anchor above the table, the caret in its second row: Left gives up that row.
  Caret(0, 2);
  Doc().SetSelection(0, 2, a2, 1);
  Doc().SelectionAnchor = TDocPosition{0, 2, 0, 0};
  SetCaretPos(Doc(), TDocPosition{a2, 1, 0, 0}, 0);
  Press(plat::VK_LEFT, plat::ssShift);
  EXPECT_EQ(Doc().Selection->LastRange->End.Par, row1End);
  (void)a1;
}

TEST_F(CaretMovementTest, RightTakesTheMergedCellDetourAndGoesOnInItsRow) {
  b->Add("Before");
  TTableRow* first = b->Row({"A1", "B1"});
  TTableRow* second = b->Row({"A2", "B2"});
  b->Add("After");
  first->Cells[0].MergeStart = first->Cells[0].Merged = 1;
  second->Cells[0].Merged = 1;
  Doc().ClearTableCache();
  Show();
  const int32_t a1 = 1, row1End = 3, a2 = 4, b2 = 5;
  ASSERT_TRUE(Doc().IsInMergedCell(a2));
  ASSERT_FALSE(Doc().IsInMergedCell(a1));
  Caret(row1End, 0);
  // Onto the merged cell's paragraph: to the cell its merge starts in.
  Press(plat::VK_RIGHT);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{a1, 0}));
  Press(plat::VK_RIGHT);
  Press(plat::VK_RIGHT);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{a1, 2}));
  // Leaving that cell goes on in the row the walk came from.
  Press(plat::VK_RIGHT);
  EXPECT_EQ(At(), (std::array<int32_t, 2>{b2, 0}));
}

// Floating shapes placed on the first page, selected as objects.
class ShapeKeysTest : public CaretMovementTest {
 protected:
  TShape* AddShape(int32_t page, const std::array<int32_t, 4>& rect, int32_t z = 0) {
    auto owned = std::make_unique<TShape>(&Doc());
    TShape* s = owned.get();
    s->AnchorPar = Doc().Par(0);
    s->Props.WrapStyle = TShapeProps::TWrapStyle::Square;
    s->Props.ZOrder = z;
    s->Props.ShapeRect = rect;
    s->PlacedRect = rect;
    Doc().Shapes.push_back(std::move(owned));
    Doc().Pages[static_cast<size_t>(page)]->Shapes.push_back(s);
    return s;
  }
  const dwtest::RecEditProviders::Call* LastShapeEdit() {
    for (auto it = E().Calls.rbegin(); it != E().Calls.rend(); ++it)
      if (it->Code == 85) return &*it;
    return nullptr;
  }
};

TEST_F(ShapeKeysTest, TabWalksTheShapesInReadingOrderAndWraps) {
  b->Add("One\fTwo\fThree");
  Show();
  Doc().PaginateAll();
  ASSERT_EQ(Doc().PageCount(), 3);
  TShape* lower = AddShape(0, {2000, 4000, 3000, 5000});
  TShape* upper = AddShape(0, {4000, 2000, 5000, 3000});
  TShape* last = AddShape(2, {2000, 2000, 3000, 3000});
  Doc().SelectedShapes = {upper};
  Press(plat::VK_TAB);
  EXPECT_EQ(Doc().SelectedShapes, std::vector<TShape*>{lower});
  Press(plat::VK_TAB);
  EXPECT_EQ(Doc().SelectedShapes, std::vector<TShape*>{last});
  // From the last shape of the last page round to the first page's first.
  Press(plat::VK_TAB);
  EXPECT_EQ(Doc().SelectedShapes, std::vector<TShape*>{upper});
  // Shift+Tab on the first shape wraps to the last.
  Press(plat::VK_TAB, plat::ssShift);
  EXPECT_EQ(Doc().SelectedShapes, std::vector<TShape*>{last});
}

TEST_F(ShapeKeysTest, ArrowsMoveAndShiftArrowsResizeAboutTheCentre) {
  b->Add("Text");
  Show();
  Doc().PaginateAll();
  TShape* shape = AddShape(0, {2000, 2000, 3440, 4880});  // 1 inch by 2 inches
  Doc().SelectedShapes = {shape};
  Press(plat::VK_UP, plat::ssShift);
  const auto* edit = LastShapeEdit();
  ASSERT_NE(edit, nullptr);
  ASSERT_EQ(edit->ShapeProps.size(), 1u);
  const auto& grown = edit->ShapeProps[0].ShapeRect;
  EXPECT_EQ(grown, (std::array<int32_t, 4>{1990, 1980, 3450, 4900}));  // 1460 x 2920
  // Too small a result changes nothing.
  TShape* tiny = AddShape(0, {5000, 5000, 5370, 5370});
  Doc().SelectedShapes = {tiny};
  E().Calls.clear();
  Press(plat::VK_DOWN, plat::ssShift);
  EXPECT_EQ(LastShapeEdit(), nullptr);
  // Arrows move by 20 twips, by 160 once held for more than two seconds.
  Doc().SelectedShapes = {shape};
  Press(plat::VK_RIGHT);
  ASSERT_NE(LastShapeEdit(), nullptr);
  EXPECT_EQ(LastShapeEdit()->ShapeProps[0].ShapeRect[0], 2020);
  EXPECT_EQ(LastShapeEdit()->ShapeProps[0].GetProp(spPosH), 0);
  plat::headless::KeyDown(plat::VK_LEFT);
  Pump();
  plat::headless::AdvanceClock(2100);
  plat::headless::KeyDown(plat::VK_LEFT);
  Pump();
  plat::headless::KeyUp(plat::VK_LEFT);
  Pump();
  EXPECT_EQ(LastShapeEdit()->ShapeProps[0].ShapeRect[0], 2000 - 160);
}

TEST_F(ShapeKeysTest, DraftViewsStepTheHorizontalAlignment) {
  b->Add("Text");
  Show();
  Doc().PaginateAll();
  TShape* shape = AddShape(0, {2000, 2000, 3000, 3000});
  shape->Props.SetProp(spPosH, 1);
  Doc().SetViewMode(vmDraft);
  Doc().SelectedShapes = {shape};
  std::vector<int32_t> aligns;
  for (int i = 0; i < 3; ++i) {
    E().Calls.clear();
    Press(plat::VK_RIGHT);
    if (const auto* edit = LastShapeEdit()) {
      shape->Props = edit->ShapeProps[0];
      aligns.push_back(shape->Props.GetProp(spPosH));
    }
  }
  EXPECT_EQ(aligns, (std::vector<int32_t>{2, 3}));
  Press(plat::VK_UP);
  Doc().SetViewMode(vmPrintLayout);
}

}  // namespace
