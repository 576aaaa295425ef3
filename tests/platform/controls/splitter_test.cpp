// Splitters resize their neighbour within limits.
#include <gtest/gtest.h>

#include "platform/controls/splitter.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

TEST_F(WidgetTest, SplitterResizesItsNeighbourWithinLimits) {
  form->SetClientSize(400, 300);
  Control& left = form->Add<Control>();
  left.SetAlign(Align::Left);
  left.SetWidth(100);
  Splitter& sp = form->Add<Splitter>();
  sp.SetMinSize(50);
  Control& rest = form->Add<Control>();
  rest.SetAlign(Align::Client);
  int moved = 0;
  sp.OnMoved = [&](Splitter&) { ++moved; };
  ShowForm();
  ASSERT_EQ(sp.Neighbour(), &left);
  EXPECT_EQ(sp.Left(), 100);
  struct Case {
    int32_t dx;
    int32_t width;
  } cases[] = {{+40, 140}, {-200, 50}, {+1000, 400 - 4 - 50}};
  for (const Case& c : cases) {
    headless::Drag(sp.Handle(), {2, 50}, {2 + c.dx, 50});
    PumpPending();
    EXPECT_EQ(left.Width(), c.width) << c.dx;
    EXPECT_EQ(sp.Left(), c.width) << c.dx;  // the layout follows
    EXPECT_EQ(rest.Left(), c.width + 4) << c.dx;
  }
  EXPECT_EQ(moved, 3);
}

TEST_F(WidgetTest, HorizontalSplitterAtTheBottomGrowsUpwards) {
  form->SetClientSize(300, 300);
  Control& bottom = form->Add<Control>();
  bottom.SetAlign(Align::Bottom);
  bottom.SetHeight(80);
  Splitter& sp = form->Add<Splitter>();
  sp.SetAlign(Align::Bottom);
  sp.SetHeight(4);
  ShowForm();
  ASSERT_EQ(sp.Neighbour(), &bottom);
  headless::Drag(sp.Handle(), {50, 2}, {50, -18});
  PumpPending();
  EXPECT_EQ(bottom.Height(), 100);
}
