// List boxes and check list boxes: selection modes by keys and clicks, owner drawing of the
// visible items only, columns, type-ahead.
#include <gtest/gtest.h>

#include <set>

#include "controls_fixture.h"
#include "platform/controls/check_list_box.h"
#include "platform/controls/list_box.h"
#include "platform/controls/scroll_bar.h"

using namespace plat;
using namespace ctltest;

namespace {

struct ListForm {
  Form form;
  ListBox& list = form.Add<ListBox>();
  int clicks = 0;
  explicit ListForm(int items = 20) {
    form.SetBounds(50, 50, 300, 300);
    list.SetBounds(10, 10, 150, 2 + 10 * 16);
    list.SetItemHeight(16);
    for (int i = 0; i < items; ++i) list.AddItem(std::u16string(1, char16_t(u'A' + i)) + u" item");
    list.OnClick = [this](Control&) { ++clicks; };
  }
  Point RowPoint(int row) const { return {20, 1 + row * 16 + 8}; }
};

}  // namespace

TEST_F(ControlsTest, ExtendedSelectionWithShiftAndCtrl) {
  ListForm f;
  f.list.SetSelectMode(SelectMode::Extended);
  ShowForm(f.form);
  ClickAt(f.list, f.RowPoint(2));
  EXPECT_EQ(f.list.SelectedIndexes(), (std::vector<int32_t>{2}));
  ClickAt(f.list, f.RowPoint(5), 1);  // Shift: range from the anchor
  EXPECT_EQ(f.list.SelectedIndexes(), (std::vector<int32_t>{2, 3, 4, 5}));
  ClickAt(f.list, f.RowPoint(4), 4);  // Ctrl: toggles one
  EXPECT_EQ(f.list.SelectedIndexes(), (std::vector<int32_t>{2, 3, 5}));
  ClickAt(f.list, f.RowPoint(7), 4);
  EXPECT_EQ(f.list.SelectedIndexes(), (std::vector<int32_t>{2, 3, 5, 7}));
  Press(VK_DOWN, 1);  // Shift+Down: range from the new anchor (7) replaces the selection
  EXPECT_EQ(f.list.SelectedIndexes(), (std::vector<int32_t>{7, 8}));
  Press(VK_DOWN, 4);  // Ctrl+Down moves the focus only
  EXPECT_EQ(f.list.ItemIndex(), 9);
  EXPECT_EQ(f.list.SelCount(), 2);
  Press(VK_SPACE, 4);  // Ctrl+Space adds the focused item
  EXPECT_EQ(f.list.SelectedIndexes(), (std::vector<int32_t>{7, 8, 9}));
  Press(VK_HOME);
  EXPECT_EQ(f.list.SelectedIndexes(), (std::vector<int32_t>{0}));
  EXPECT_EQ(f.clicks, 7);  // every user change reports once; Ctrl+Down changed nothing
}

TEST_F(ControlsTest, SingleAndMultipleSelection) {
  ListForm f;
  ShowForm(f.form);
  ClickAt(f.list, f.RowPoint(3));
  EXPECT_EQ(f.list.ItemIndex(), 3);
  Press(VK_DOWN);
  Press(VK_DOWN);
  EXPECT_EQ(f.list.SelectedIndexes(), (std::vector<int32_t>{5}));
  Type("c");  // type-ahead: the next item starting with the letter
  EXPECT_EQ(f.list.ItemIndex(), 2);
  f.list.SetSelectMode(SelectMode::Multiple);
  ClickAt(f.list, f.RowPoint(1));
  ClickAt(f.list, f.RowPoint(4));
  ClickAt(f.list, f.RowPoint(1));  // a second click toggles it off
  EXPECT_EQ(f.list.SelectedIndexes(), (std::vector<int32_t>{4}));
  Press(VK_DOWN);
  Press(VK_SPACE);
  EXPECT_EQ(f.list.SelectedIndexes(), (std::vector<int32_t>{2, 4}));  // the focus was on row 1
}

TEST_F(ControlsTest, OwnerDrawnVariableListMeasuresAndDrawsOnlyVisibleItems) {
  ListForm f(200);
  f.list.SetStyle(ListBoxStyle::OwnerDrawVariable);
  std::set<int32_t> measured, drawn;
  f.list.OnMeasureItem = [&](ListBox&, int32_t i, int32_t& h) {
    measured.insert(i);
    h = i % 2 ? 30 : 10;  // 10 + 30 per pair: 8 items fill the 160 pixels
  };
  f.list.OnDrawItem = [&](ListBox&, int32_t i, Canvas&, const Rect&, uint32_t) { drawn.insert(i); };
  f.list.SetSelectMode(SelectMode::Extended);
  ShowForm(f.form);
  UpdateWindow(f.form.Handle());
  EXPECT_EQ(*measured.rbegin(), 8);  // up to the first item past the bottom edge, no further
  EXPECT_EQ(drawn, (std::set<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(f.list.ItemRect(3), (Rect{1, 51, 137, 81}));
  // Scrolling to the end measures the items that come into view, not the ones between.
  f.list.SetFocus();
  measured.clear();
  drawn.clear();
  f.list.SetTopIndex(150);
  UpdateWindow(f.form.Handle());
  EXPECT_GE(*measured.begin(), 150);
  EXPECT_LE(*measured.rbegin(), 160);
  EXPECT_EQ(*drawn.begin(), 150);
  // Shift+click extends in the owner-drawn list like in any other.
  ClickAt(f.list, {20, 5});
  ClickAt(f.list, {20, 55}, 1);  // row 153 (51 pixels down: 10 + 30 + 10 + 1)
  EXPECT_EQ(f.list.SelectedIndexes(), (std::vector<int32_t>{150, 151, 152, 153}));
}

TEST_F(ControlsTest, ListScrollsToKeepTheFocusVisibleAndFlowsIntoColumns) {
  ListForm f(30);
  ShowForm(f.form);
  f.list.SetFocus();
  Press(VK_END);
  EXPECT_EQ(f.list.TopIndex(), 20);
  EXPECT_FALSE(f.list.ItemRect(29).IsEmpty());
  Press(VK_PRIOR);
  EXPECT_EQ(f.list.ItemIndex(), 20);
  headless::Wheel(f.list.Handle(), {20, 20}, -WHEEL_DELTA);
  PumpPending();
  EXPECT_EQ(f.list.TopIndex(), 20);  // already at the end
  f.list.SetTopIndex(0);
  f.list.SetColumns(3);  // 10 rows a column
  EXPECT_EQ(f.list.ItemAtPos({60, 1 + 16 * 2 + 5}), 12);
  Press(VK_HOME);
  Press(VK_RIGHT);  // one column on
  EXPECT_EQ(f.list.ItemIndex(), 10);
}

TEST_F(ControlsTest, CheckListBoxTogglesByClickAndSpace) {
  Form form;
  form.SetBounds(0, 0, 200, 200);
  auto& list = form.Add<CheckListBox>();
  list.SetBounds(0, 0, 150, 100);
  list.SetItemHeight(16);
  list.SetItems({u"one", u"two", u"three"});
  list.SetItemEnabled(2, false);
  std::vector<int32_t> toggled;
  list.OnClickCheck = [&](CheckListBox&, int32_t i) { toggled.push_back(i); };
  ShowForm(form);
  ClickAt(list, {6, 1 + 16 + 8});  // on the box of row 1
  EXPECT_TRUE(list.Checked(1));
  ClickAt(list, {80, 1 + 8});  // on the text of row 0: selects without checking
  EXPECT_FALSE(list.Checked(0));
  EXPECT_EQ(list.ItemIndex(), 0);
  Press(VK_SPACE);
  EXPECT_TRUE(list.Checked(0));
  list.SetAllowGrayed(true);
  Press(VK_SPACE);
  EXPECT_EQ(list.State(0), CheckState::Grayed);
  ClickAt(list, {6, 1 + 32 + 8});  // a disabled item keeps its state
  EXPECT_FALSE(list.Checked(2));
  EXPECT_EQ(toggled, (std::vector<int32_t>{1, 0, 0}));
}

namespace {

Point Middle(const Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

TEST_F(ControlsTest, ListScrollBarStepsPagesDragsAndHidesWhenAllFit) {
  ListForm f(50);  // 10 rows in view
  ShowForm(f.form);
  f.list.SetFocus();
  ScrollBar& bar = f.list.VertScrollBar();
  ASSERT_TRUE(bar.Visible());
  EXPECT_EQ(f.list.ItemRect(0).right, bar.Left());  // the items end where the bar begins
  ClickAt(bar, Middle(bar.PartRect(ScrollBar::Part::LineDown)));
  EXPECT_EQ(f.list.TopIndex(), 1);
  ClickAt(bar, Middle(bar.PartRect(ScrollBar::Part::PageDown)));
  EXPECT_EQ(f.list.TopIndex(), 10);
  Rect thumb = bar.PartRect(ScrollBar::Part::Thumb);
  headless::Drag(bar.Handle(), Middle(thumb), {Middle(thumb).x, bar.Height() - 1});
  PumpPending();
  EXPECT_EQ(f.list.TopIndex(), 40);  // the last page
  EXPECT_EQ(bar.Position(), 40);
  headless::Wheel(f.list.Handle(), {20, 20}, WHEEL_DELTA);
  PumpPending();
  EXPECT_EQ(f.list.TopIndex(), 37);
  EXPECT_EQ(bar.Position(), 37);
  f.list.SetTopIndex(5);  // the program scrolls: the thumb follows
  UpdateWindow(f.form.Handle());
  EXPECT_EQ(bar.Position(), 5);
  EXPECT_EQ(Focus(), &f.list);  // the bar never took the focus
  f.list.SetItems({u"one", u"two"});
  UpdateWindow(f.form.Handle());
  EXPECT_FALSE(bar.Visible());
}
