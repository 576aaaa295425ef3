// Combo boxes: the editable field filters the list, events come in their documented order,
// the list styles select by keys, Escape and clicks outside dismiss the list.
#include <gtest/gtest.h>

#include <string>

#include "controls_fixture.h"
#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/edit.h"
#include "platform/controls/popup.h"
#include "platform/controls/scroll_bar.h"

using namespace plat;
using namespace ctltest;

namespace {

struct ComboForm {
  Form form;
  ComboBox& combo = form.Add<ComboBox>();
  Button& ok = form.Add<Button>();
  Button& cancel = form.Add<Button>();
  std::string log;
  int okClicks = 0, cancelClicks = 0;

  ComboForm() {
    form.SetBounds(100, 100, 300, 250);
    combo.SetBounds(10, 10, 150, 23);
    combo.SetItems({u"Apple", u"Apricot", u"Banana", u"Blueberry", u"Cherry"});
    ok.SetBounds(10, 200, 75, 23);
    ok.SetDefault(true);
    ok.OnClick = [this](Control&) { ++okClicks; };
    cancel.SetBounds(100, 200, 75, 23);
    cancel.SetCancel(true);
    cancel.OnClick = [this](Control&) { ++cancelClicks; };
    combo.OnChange = [this](Control&) { log += "change(" + Narrow(combo.Text()) + ") "; };
    combo.OnDropDown = [this](ComboBox&) { log += "dropdown "; };
    combo.OnCloseUp = [this](ComboBox&) { log += "closeup "; };
    combo.OnSelect = [this](ComboBox&) { log += "select "; };
    combo.OnSelectCancel = [this](ComboBox&) { log += "cancel "; };
  }
  static std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }
  std::vector<std::u16string> ListRows() {
    std::vector<std::u16string> out;
    for (int32_t i = 0; i < combo.List().Count(); ++i) out.push_back(combo.List().ItemText(i));
    return out;
  }
};

}  // namespace

TEST_F(ControlsTest, EditableComboFiltersAndReportsEventsInOrder) {
  ComboForm f;
  f.combo.SetAutoFilter(true);
  ShowForm(f.form);
  f.combo.SetFocus();
  EXPECT_EQ(Focus(), f.combo.Field());
  Type("B");
  EXPECT_TRUE(f.combo.DroppedDown());
  EXPECT_EQ(f.ListRows(), (std::vector<std::u16string>{u"Banana", u"Blueberry"}));
  Type("l");
  EXPECT_EQ(f.ListRows(), (std::vector<std::u16string>{u"Blueberry"}));
  Press(VK_BACK);
  Press(VK_DOWN);  // moves in the list; the field keeps the typed text
  EXPECT_EQ(f.combo.List().ItemIndex(), 1);
  Press(VK_RETURN);  // takes Blueberry; not the default button
  EXPECT_FALSE(f.combo.DroppedDown());
  EXPECT_EQ(f.combo.Text(), u"Blueberry");
  EXPECT_EQ(f.combo.ItemIndex(), 3);
  EXPECT_EQ(f.okClicks, 0);
  EXPECT_EQ(f.log, "change(B) dropdown change(Bl) change(B) closeup select change(Blueberry) ");
  // Nothing matches: the list closes quietly.
  f.log.clear();
  f.combo.Field()->SetSel(0, -1);
  Type("Ch");
  EXPECT_TRUE(f.combo.DroppedDown());
  Type("x");
  EXPECT_FALSE(f.combo.DroppedDown());
  EXPECT_EQ(f.combo.ItemIndex(), -1);
  EXPECT_EQ(f.log, "change(C) dropdown change(Ch) change(Chx) closeup ");
  // Enter with the list closed goes to the default button; Tab leaves the field for the next
  // control and Shift+Tab comes back to it.
  Press(VK_RETURN);
  EXPECT_EQ(f.okClicks, 1);
  Press(VK_TAB);
  EXPECT_EQ(Focus(), &f.ok);
  Press(VK_TAB, 1);
  EXPECT_EQ(Focus(), f.combo.Field());
}

TEST_F(ControlsTest, ComboEscapeAndClickOutsideDismissAndRestore) {
  struct Case {
    const char* name;
    bool byEscape;
  };
  for (const Case& c : {Case{"escape", true}, Case{"click outside", false}}) {
    SCOPED_TRACE(c.name);
    ComboForm f;
    ShowForm(f.form);
    f.combo.SetItemIndex(0);
    f.combo.SetFocus();
    Press(VK_DOWN, 2);  // Alt+Down drops the list down
    EXPECT_TRUE(f.combo.DroppedDown());
    Press(VK_DOWN);
    Press(VK_DOWN);
    EXPECT_EQ(f.combo.List().ItemIndex(), 2);
    if (c.byEscape) Press(VK_ESCAPE);
    else ClickAt(f.form, {250, 150});
    EXPECT_FALSE(f.combo.DroppedDown());
    EXPECT_EQ(f.combo.Text(), u"Apple");
    EXPECT_EQ(f.combo.ItemIndex(), 0);
    EXPECT_EQ(f.log, "dropdown closeup cancel ");
    EXPECT_EQ(f.cancelClicks, 0);  // Escape closed the list, not the dialog
  }
}

TEST_F(ControlsTest, DropDownListSelectsByKeysAndClicks) {
  ComboForm f;
  f.combo.SetStyle(ComboStyle::DropDownList);
  ShowForm(f.form);
  f.combo.SetFocus();
  EXPECT_EQ(Focus(), &f.combo);
  Press(VK_DOWN);
  EXPECT_EQ(f.combo.Text(), u"Apple");
  Type("b");
  EXPECT_EQ(f.combo.Text(), u"Banana");
  Type("b");
  EXPECT_EQ(f.combo.Text(), u"Blueberry");
  EXPECT_EQ(f.log, "select change(Apple) select change(Banana) select change(Blueberry) ");
  f.log.clear();
  ClickAt(f.combo, {50, 10});  // a click anywhere drops a list style down
  ASSERT_TRUE(f.combo.DroppedDown());
  ListBox& list = f.combo.List();
  Rect row = list.ItemRect(4);
  ClickAt(list, {row.left + 5, row.top + 3});
  EXPECT_EQ(f.combo.Text(), u"Cherry");
  EXPECT_FALSE(f.combo.DroppedDown());
  EXPECT_EQ(Focus(), &f.combo);  // the list never took the focus
  EXPECT_EQ(f.log, "dropdown closeup select change(Cherry) ");
}

TEST_F(ControlsTest, OwnerDrawnComboDrawsFieldAndVisibleRows) {
  ComboForm f;
  f.combo.SetStyle(ComboStyle::OwnerDrawVariable);
  for (int i = 0; i < 30; ++i) f.combo.AddItem(u"more");
  f.combo.SetDropDownCount(5);
  std::vector<std::pair<int32_t, uint32_t>> drawn;
  int measured = 0;
  f.combo.OnMeasureItem = [&](ComboBox&, int32_t, int32_t& h) { ++measured, h = 20; };
  f.combo.OnDrawItem = [&](ComboBox&, int32_t i, Canvas&, const Rect&, uint32_t state) { drawn.push_back({i, state}); };
  f.combo.SetItemIndex(2);
  ShowForm(f.form);
  UpdateWindow(f.form.Handle());
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back().first, 2);
  EXPECT_TRUE(drawn.back().second & odComboBoxEdit);
  drawn.clear();
  f.combo.SetDroppedDown(true);
  for (Popup* p : OpenPopups()) UpdateWindow(p->Handle());
  EXPECT_EQ(drawn.size(), 5u);  // the list is sized for DropDownCount rows and draws those
  EXPECT_LT(measured, 10);  // the rows shown and the next, not all 35 items
}

TEST_F(ControlsTest, ComboDropListScrollsByItsBar) {
  ComboForm f;
  for (int i = 0; i < 30; ++i) f.combo.AddItem(u"Item " + std::u16string(1, char16_t(u'a' + i % 26)));
  f.combo.SetStyle(ComboStyle::DropDownList);
  ShowForm(f.form);
  f.combo.SetFocus();
  f.combo.SetDroppedDown(true);
  PumpPending();
  ScrollBar& bar = f.combo.List().VertScrollBar();
  ASSERT_TRUE(bar.Visible());
  Rect down = bar.PartRect(ScrollBar::Part::LineDown);
  ClickAt(bar, {(down.left + down.right) / 2, (down.top + down.bottom) / 2});
  EXPECT_EQ(f.combo.List().TopIndex(), 1);
  EXPECT_TRUE(f.combo.DroppedDown());  // a click on the bar is inside the list
  EXPECT_EQ(Focus(), &f.combo);
}

TEST_F(ControlsTest, SimpleComboKeepsItsListOpenBelowTheField) {
  ComboForm f;
  f.combo.SetStyle(ComboStyle::Simple);
  f.combo.SetBounds(10, 10, 150, 120);
  ShowForm(f.form);
  f.combo.SetFocus();
  ListBox& list = f.combo.List();
  EXPECT_EQ(list.Parent(), &f.combo);
  EXPECT_TRUE(list.Showing());
  EXPECT_GE(list.Top(), f.combo.Field()->Top() + f.combo.Field()->Height());
  EXPECT_EQ(list.Count(), 5);
  Press(VK_F4);
  f.combo.SetDroppedDown(true);
  EXPECT_FALSE(f.combo.DroppedDown());
  Type("Banana");
  EXPECT_EQ(f.combo.ItemIndex(), 2);
  EXPECT_EQ(list.ItemIndex(), 2);
  f.log.clear();
  Rect row = list.ItemRect(4);
  ClickAt(list, {row.left + 5, (row.top + row.bottom) / 2});
  EXPECT_EQ(f.combo.Text(), u"Cherry");
  EXPECT_EQ(f.log, "select change(Cherry) ");
  EXPECT_EQ(Focus(), f.combo.Field());
  Press(VK_UP);
  EXPECT_EQ(f.combo.Text(), u"Blueberry");
  EXPECT_EQ(list.ItemIndex(), 3);
  f.combo.AddItem(u"Date");
  EXPECT_EQ(list.Count(), 6);
  // Back to a drop-down style: the list moves into its popup again.
  f.combo.SetStyle(ComboStyle::DropDown);
  EXPECT_NE(list.Parent(), &f.combo);
  f.combo.SetDroppedDown(true);
  EXPECT_TRUE(f.combo.DroppedDown());
  EXPECT_EQ(list.Count(), 6);
}
