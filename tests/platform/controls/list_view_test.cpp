// List views in report style: columns, selection by keys and clicks, header clicks and resizing.
#include <gtest/gtest.h>

#include "platform/controls/list_view.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

namespace {

void Fill(ListView& lv, int n) {
  lv.AddColumn(u"Name", 100);
  lv.AddColumn(u"Size", 60).Alignment = TextAlign::Right;
  for (int i = 0; i < n; ++i) {
    ListItem& it = lv.AddItem(u"item " + std::u16string(1, char16_t(u'a' + i % 26)));
    it.SubItems = {u"1 KB"};
  }
}

}  // namespace

TEST_F(WidgetTest, ListViewSelectsByKeysAndClicks) {
  ListView& lv = form->Add<ListView>();
  lv.SetBounds(10, 10, 250, 150);
  lv.SetMultiSelect(true);
  Fill(lv, 40);
  ShowForm();
  lv.SetFocus();
  using Sel = std::vector<int32_t>;
  struct Step {
    uint8_t vk;
    uint8_t shift;
    int32_t focus;
    Sel selected;
  } steps[] = {
      {VK_DOWN, 0, 0, {0}},
      {VK_DOWN, 0, 1, {1}},
      {VK_DOWN, SHIFT_BIT_SHIFT, 2, {1, 2}},
      {VK_DOWN, SHIFT_BIT_SHIFT, 3, {1, 2, 3}},
      {VK_UP, SHIFT_BIT_SHIFT, 2, {1, 2}},
      {VK_DOWN, SHIFT_BIT_CTRL, 3, {1, 2}},  // Ctrl moves the focus only
      {VK_SPACE, SHIFT_BIT_CTRL, 3, {1, 2, 3}},
      {VK_END, 0, 39, {39}},
      {VK_HOME, 0, 0, {0}},
  };
  for (const Step& s : steps) {
    Press(s.vk, s.shift);
    PumpPending();
    EXPECT_EQ(lv.ItemIndex(), s.focus) << int(s.vk);
    EXPECT_EQ(lv.SelectedIndexes(), s.selected) << int(s.vk);
  }
  Press('A', SHIFT_BIT_CTRL);
  PumpPending();
  EXPECT_EQ(lv.SelCount(), 40);
  // The focus is kept in view.
  Press(VK_END);
  PumpPending();
  EXPECT_FALSE(lv.ItemRect(39).IsEmpty());
  EXPECT_EQ(lv.TopIndex(), 40 - lv.VisibleRowCount());
  // Clicks: plain, Ctrl toggles, Shift extends from the anchor.
  lv.SetTopIndex(0);
  auto clickRow = [&](int32_t i, uint8_t shift) {
    Rect r = lv.ItemRect(i);
    if (shift) headless::KeyDown(shift == SHIFT_BIT_CTRL ? VK_CONTROL : VK_SHIFT);
    headless::Click(lv.Handle(), {20, r.top + 2});
    if (shift) headless::KeyUp(shift == SHIFT_BIT_CTRL ? VK_CONTROL : VK_SHIFT);
    PumpPending();
  };
  clickRow(2, 0);
  EXPECT_EQ(lv.SelectedIndexes(), Sel{2});
  clickRow(4, SHIFT_BIT_SHIFT);
  EXPECT_EQ(lv.SelectedIndexes(), (Sel{2, 3, 4}));
  clickRow(3, SHIFT_BIT_CTRL);
  EXPECT_EQ(lv.SelectedIndexes(), (Sel{2, 4}));
  // Single selection: SetMultiSelect(false) keeps only the focused item.
  lv.SetMultiSelect(false);
  EXPECT_EQ(lv.SelectedIndexes(), Sel{3});
  // Deleting items before the focus moves it along.
  lv.DeleteItem(0);
  EXPECT_EQ(lv.ItemIndex(), 2);
}

TEST_F(WidgetTest, ListViewHeaderClicksResizeAndCells) {
  ListView& lv = form->Add<ListView>();
  lv.SetBounds(10, 10, 250, 150);
  Fill(lv, 3);
  lv.Item(1).SubItems.clear();
  std::vector<int32_t> clicked;
  lv.OnColumnClick = [&](ListView&, int32_t c) { clicked.push_back(c); };
  ShowForm();
  ClickAt(lv, {130, 5});
  EXPECT_EQ(clicked, std::vector<int32_t>{1});
  headless::Drag(lv.Handle(), {100, 5}, {140, 5});
  PumpPending();
  EXPECT_EQ(lv.Column(0).Width, 140);
  EXPECT_EQ(clicked.size(), 1u);  // resizing is no click
  EXPECT_EQ(lv.CellText(0, 1), u"1 KB");
  EXPECT_EQ(lv.CellText(1, 1), u"");  // missing sub-item
  EXPECT_EQ(lv.CellText(1, 5), u"");
  EXPECT_EQ(lv.ItemAt({10, 2}), -1);  // the header
  EXPECT_EQ(lv.ItemAt({10, lv.HeaderHeight() + lv.RowHeight() + 1}), 1);
}
