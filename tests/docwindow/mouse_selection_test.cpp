// Selections the mouse makes beyond plain text: list paragraphs by their numbers, table columns
// added and taken out with Ctrl, and headers and footers entered and left by double clicks.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "document/field.h"
#include "document/section.h"
#include "document/selection_flags.h"
#include "mouse_fixture.h"

using namespace qv;

namespace {

using Range = std::array<int32_t, 4>;

class MouseSelectionTest : public dwtest::MouseTest {
 protected:
  std::vector<Range> Ranges() {
    std::vector<Range> out;
    const TCompoundFragment& sel = *Doc().Selection;
    for (int32_t i = 0; i < sel.Count(); ++i) {
      const TDocRange& r = *sel.GetRange(i);
      out.push_back({r.Start.Par, r.Start.Offset, r.End.Par, r.End.Offset});
    }
    return out;
  }
  Range Whole(int32_t par) { return {par, 0, par, Doc().ParLength(par)}; }
};

TEST_F(MouseSelectionTest, ListNumbersSelectTheParagraphsOfTheirList) {
  AddNumberedList(1);
  b->Format.List = 1;
  auto item = [&](int8_t level, const char* text) {
    b->Format.ListLevel = level;
    b->Format.LeftIndent = static_cast<int16_t>(720 * (level + 1));
    b->Format.FirstIndent = -360;
    b->Add(text);
  };
  item(0, "First");     // 0
  item(1, "Nested");    // 1
  item(0, "Second");    // 2
  b->Format.List = ParUnset32;
  b->Format.LeftIndent = 0;
  b->Format.FirstIndent = 0;
  b->Add("Plain");      // 3
  b->Finish();
  Doc().RenumberLists();
  Show();
  const plat::Point label = LeftOfLine(0, 0, 8);
  ASSERT_TRUE(Hit(label).OnListLabel);
  Click(label);
  EXPECT_EQ(Ranges(), (std::vector<Range>{Whole(0)}));
  EXPECT_TRUE(Doc().IsDocFlagSet(dfWholeParagraphSelection));
  // A double click: the paragraphs of the same list and level.
  plat::headless::AdvanceClock(2000);
  DoubleClick(label);
  EXPECT_EQ(Ranges(), (std::vector<Range>{Whole(0), Whole(2)}));
  // A triple click: the whole list.
  plat::headless::AdvanceClock(2000);
  for (int i = 0; i < 3; ++i) Click(label);
  EXPECT_EQ(Ranges(), (std::vector<Range>{Whole(0), Whole(1), Whole(2)}));
  // Ctrl+click on another number toggles its paragraph.
  plat::headless::AdvanceClock(2000);
  Click(label);
  plat::headless::AdvanceClock(2000);
  Click(LeftOfLine(2, 0, 8), plat::ssCtrl);
  EXPECT_EQ(Ranges(), (std::vector<Range>{Whole(0), Whole(2)}));
  plat::headless::AdvanceClock(2000);
  Click(LeftOfLine(2, 0, 8), plat::ssCtrl);
  EXPECT_EQ(Ranges(), (std::vector<Range>{Whole(0)}));
}

TEST_F(MouseSelectionTest, CtrlClicksAddAndRemoveTableColumns) {
  b->Row({"A1", "B1"});
  b->Row({"A2", "B2"});
  b->Add("After");
  Show();
  const int32_t a1 = 0, b1 = 1, a2 = 3, b2 = 4;
  auto columnZone = [&](int32_t par) {
    const THitTestInfo h = Hit(AtChar(par, 0));
    const plat::Point o = form->DocToClient(BoxToViewPoint(*h.CellBox, {0, 0}));
    return plat::Point{AtChar(par, 0).x, o.y + 1};
  };
  ASSERT_TRUE(Hit(columnZone(b1)).OnColumnSelectArea);
  Click(columnZone(b1));
  EXPECT_TRUE(Doc().IsParagraphWhollySelected(b1));
  EXPECT_TRUE(Doc().IsParagraphWhollySelected(b2));
  EXPECT_FALSE(Doc().IsParagraphWhollySelected(a1));
  // Ctrl+click on the other column adds it; on a selected column removes it.
  plat::headless::AdvanceClock(2000);
  Click(columnZone(a1), plat::ssCtrl);
  EXPECT_TRUE(Doc().IsParagraphWhollySelected(a1));
  EXPECT_TRUE(Doc().IsParagraphWhollySelected(a2));
  EXPECT_TRUE(Doc().IsParagraphWhollySelected(b1));
  plat::headless::AdvanceClock(2000);
  Click(columnZone(b1), plat::ssCtrl);
  EXPECT_FALSE(Doc().IsParagraphWhollySelected(b1));
  EXPECT_FALSE(Doc().IsParagraphWhollySelected(b2));
  EXPECT_TRUE(Doc().IsParagraphWhollySelected(a1));
  // A triple click in the column zone selects the whole story.
  plat::headless::AdvanceClock(2000);
  for (int i = 0; i < 3; ++i) Click(columnZone(b1));
  TDocRange story;
  Doc().GetCurrentStoryRange(story);
  EXPECT_EQ(Doc().Selection->GetRange(0)->Start.Par, story.Start.Par);
  EXPECT_EQ(Doc().Selection->LastRange->End.Par, story.End.Par);
}

TEST_F(MouseSelectionTest, DoubleClicksEnterAndLeaveAHeader) {
  b->Add("Body text of the page");
  TField* header = b->HeaderFooter(*Doc().Sections.front(), hfOddHeader, "Header text");
  Show();
  Doc().PaginateAll();
  Pump();
  TPage* page = Doc().Pages.front();
  ASSERT_NE(page->HeaderBox, nullptr);
  ASSERT_EQ(page->HeaderField, header);
  const plat::Point headerPoint =
      form->DocToClient(BoxToViewPoint(*page->HeaderBox, {40, page->HeaderBox->PixelRect.Height() / 2}));
  EXPECT_FALSE(Hit(headerPoint).HasPosition());
  DoubleClick(headerPoint);
  EXPECT_EQ(Doc().HeaderFooterInPlace, header);
  // A double click on the body leaves it, with the caret where it was clicked.
  plat::headless::AdvanceClock(2000);
  DoubleClick(AtChar(0, 3));
  EXPECT_EQ(Doc().HeaderFooterInPlace, nullptr);
  EXPECT_EQ(Doc().Caret.Par, 0);
}

}  // namespace
