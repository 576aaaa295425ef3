// Scroll boxes: bars as needed, scrolling moves the children, ScrollInView.
#include <gtest/gtest.h>

#include "platform/controls/scroll_box.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

TEST_F(WidgetTest, ScrollBoxShowsBarsAndMovesItsChildren) {
  ScrollBox& box = form->Add<ScrollBox>();
  box.SetBounds(0, 0, 200, 150);
  Control& near = box.Add<Control>();
  near.SetBounds(10, 10, 50, 20);
  ShowForm();
  box.UpdateScrollBars();
  EXPECT_FALSE(box.VertScrollBar().Visible());
  EXPECT_FALSE(box.HorzScrollBar().Visible());
  Control& far = box.Add<Control>();
  far.SetBounds(100, 400, 40, 30);  // below the view, inside its width
  box.UpdateScrollBars();
  EXPECT_TRUE(box.VertScrollBar().Visible());
  EXPECT_FALSE(box.HorzScrollBar().Visible());
  box.ScrollInView(&far);
  EXPECT_EQ(box.VertPosition(), 430 - 150);
  EXPECT_EQ(far.Top(), 150 - 30);
  EXPECT_EQ(near.Top(), 10 - 280);
  EXPECT_EQ(box.VertScrollBar().Position(), 280);
  // The bar moves the content; the wheel too; never past the ends.
  box.VertScrollBar().SetPosition(0);
  EXPECT_EQ(near.Top(), 10);
  // (The wheel message goes to the focus and on up to its parents; the box gets it here.)
  box.Perform(WM_MOUSEWHEEL, MakeWParam(0, uint16_t(-WHEEL_DELTA * 10)), 0);
  EXPECT_EQ(box.VertPosition(), 280);
  // A wider child brings the horizontal bar.
  far.SetBounds(300, far.Top(), 40, 30);
  box.UpdateScrollBars();
  EXPECT_TRUE(box.HorzScrollBar().Visible());
  EXPECT_EQ(box.ViewRect().right, 200 - box.VertScrollBar().Width());
}
