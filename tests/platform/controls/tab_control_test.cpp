// Tab controls and page controls: switching by click, keys and mnemonics.
#include <gtest/gtest.h>

#include "platform/controls/button.h"
#include "platform/controls/page_control.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

TEST_F(WidgetTest, TabControlChangesByClickKeysAndMnemonic) {
  TabControl& tc = form->Add<TabControl>();
  tc.SetBounds(10, 10, 300, 200);
  tc.SetTabs({u"&General", u"&View", u"&Print"});
  std::vector<int32_t> changes;
  tc.OnChange = [&](TabControl& t) { changes.push_back(t.TabIndex()); };
  ShowForm();
  EXPECT_EQ(tc.TabIndex(), 0);
  Rect third = tc.TabRect(2);
  ClickAt(tc, {third.left + 3, third.top + 5});
  EXPECT_EQ(tc.TabIndex(), 2);
  tc.SetFocus();
  struct Step {
    uint8_t vk;
    uint8_t shift;
    int32_t want;
  } steps[] = {{VK_LEFT, 0, 1}, {VK_HOME, 0, 0}, {VK_LEFT, 0, 0}, {VK_TAB, SHIFT_BIT_CTRL, 1},
               {VK_TAB, SHIFT_BIT_CTRL | SHIFT_BIT_SHIFT, 0}, {VK_TAB, SHIFT_BIT_CTRL | SHIFT_BIT_SHIFT, 2}};
  for (const Step& s : steps) {
    Press(s.vk, s.shift);
    PumpPending();
    EXPECT_EQ(tc.TabIndex(), s.want) << int(s.vk) << "/" << int(s.shift);
  }
  AltLetter('v');
  PumpPending();
  EXPECT_EQ(tc.TabIndex(), 1);
  EXPECT_EQ(changes, (std::vector<int32_t>{2, 1, 0, 1, 0, 2, 1}));
  // A refused change keeps the tab; a change from code reports nothing.
  tc.OnChanging = [](TabControl&, bool& allow) { allow = false; };
  Press(VK_RIGHT);
  PumpPending();
  EXPECT_EQ(tc.TabIndex(), 1);
  tc.SetTabIndex(0);
  EXPECT_EQ(changes.size(), 7u);
  tc.SetTabIndex(7);  // out of range: ignored
  EXPECT_EQ(tc.TabIndex(), 0);
  EXPECT_EQ(tc.DisplayRect().top, tc.TabHeight() + 1);
}

TEST_F(WidgetTest, PageControlShowsOnlyTheActivePage) {
  PageControl& pc = form->Add<PageControl>();
  pc.SetBounds(10, 10, 300, 200);
  TabSheet& a = pc.AddPage(u"&One");
  TabSheet& b = pc.AddPage(u"&Two");
  TabSheet& c = pc.AddPage(u"Th&ree");
  Button& inB = b.Add<Button>();
  inB.SetBounds(5, 5, 80, 24);
  ShowForm();
  EXPECT_EQ(pc.ActivePage(), &a);
  EXPECT_TRUE(a.Visible());
  EXPECT_FALSE(b.Visible());
  EXPECT_EQ(a.BoundsRect(), pc.DisplayRect());
  ClickAt(pc, {pc.TabRect(1).left + 4, 5});
  EXPECT_EQ(pc.ActivePage(), &b);
  EXPECT_FALSE(a.Visible());
  EXPECT_TRUE(b.Visible());
  // Ctrl+Tab from a control on the page moves to the next page.
  inB.SetFocus();
  ASSERT_TRUE(inB.Focused());
  Press(VK_TAB, SHIFT_BIT_CTRL);
  PumpPending();
  EXPECT_EQ(pc.ActivePage(), &c);
  // Hiding the tab of the active page moves to the first page; the tabs follow.
  c.SetTabVisible(false);
  EXPECT_EQ(pc.Tabs().size(), 2u);
  EXPECT_EQ(pc.ActivePage(), &a);
  pc.SetActivePage(&c);  // no visible tab: ignored
  EXPECT_EQ(pc.ActivePage(), &a);
  b.SetCaption(u"Second");
  EXPECT_EQ(pc.Tabs()[1], u"Second");
  pc.SelectNextPage(false);
  EXPECT_EQ(pc.ActivePage(), &b);
  EXPECT_EQ(pc.ActivePageIndex(), 1);
  // A page of its own that is destroyed while active leaves another page active.
  {
    TabSheet extra;
    extra.SetCaption(u"Extra");
    extra.SetParent(&pc);
    pc.UpdateTabs();
    pc.SetActivePage(&extra);
    EXPECT_EQ(pc.ActivePage(), &extra);
  }
  EXPECT_EQ(pc.ActivePage(), &a);
  EXPECT_EQ(pc.Tabs().size(), 2u);
  EXPECT_TRUE(a.Visible());
}
