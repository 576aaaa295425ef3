// Track bars, spin buttons and progress bars: keys, clicks and range limits.
#include <gtest/gtest.h>

#include "platform/controls/progress_bar.h"
#include "platform/controls/track_bar.h"
#include "platform/controls/up_down.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

TEST_F(WidgetTest, TrackBarMovesByKeysAndClicks) {
  TrackBar& tb = form->Add<TrackBar>();
  tb.SetBounds(10, 10, 220, 32);
  tb.SetRange(0, 20);
  tb.SetLineSize(1);
  tb.SetPageSize(5);
  std::vector<int32_t> seen;
  tb.OnChange = [&](TrackBar& t) { seen.push_back(t.Position()); };
  ShowForm();
  tb.SetFocus();
  struct Step {
    uint8_t vk;
    int32_t want;
  } steps[] = {{VK_RIGHT, 1}, {VK_DOWN, 2}, {VK_NEXT, 7}, {VK_LEFT, 6}, {VK_END, 20},
               {VK_RIGHT, 20}, {VK_PRIOR, 15}, {VK_HOME, 0}, {VK_UP, 0}};
  for (const Step& s : steps) {
    Press(s.vk);
    PumpPending();
    EXPECT_EQ(tb.Position(), s.want) << int(s.vk);
  }
  EXPECT_EQ(seen.size(), 7u);  // no event when nothing moved
  // A click on the channel far right pages once towards it; a drag of the thumb follows.
  ClickAt(tb, {210, 16});
  EXPECT_EQ(tb.Position(), 5);
  Rect thumb = tb.ThumbRect();
  headless::Drag(tb.Handle(), {(thumb.left + thumb.right) / 2, 16}, {500, 16});
  PumpPending();
  EXPECT_EQ(tb.Position(), 20);
  EXPECT_EQ(tb.PositionAt({-50, 0}), 0);
  tb.SetRange(5, 2);  // max below min becomes min
  EXPECT_EQ(tb.Max(), 5);
  EXPECT_EQ(tb.Position(), 5);
}

TEST_F(WidgetTest, UpDownStepsWrapsAndShowsInItsAssociate) {
  Control& buddy = form->Add<Control>();
  buddy.SetBounds(10, 10, 60, 22);
  UpDown& ud = form->Add<UpDown>();
  ud.SetRange(0, 1500);
  ud.SetIncrement(600);
  ud.SetAssociate(&buddy);
  ShowForm();
  EXPECT_EQ(ud.Left(), 70);
  ClickAt(ud, {5, 3});  // upper button
  ClickAt(ud, {5, 3});
  EXPECT_EQ(ud.Position(), 1200);
  EXPECT_EQ(buddy.Caption(), u"1,200");
  ClickAt(ud, {5, 3});
  EXPECT_EQ(ud.Position(), 1500);  // stops at Max
  ud.SetWrap(true);
  ClickAt(ud, {5, 3});
  EXPECT_EQ(ud.Position(), 0);  // wraps round
  ClickAt(ud, {5, 18});
  EXPECT_EQ(ud.Position(), 1500);
  bool allow = false;
  ud.OnChanging = [&](UpDown&, bool& a) { a = allow; };
  ClickAt(ud, {5, 18});
  EXPECT_EQ(ud.Position(), 1500);
  // Held: one step, then repeats after the delay.
  allow = true;
  ud.SetWrap(false);
  ud.SetIncrement(1);
  ud.SetPosition(10);
  headless::MouseDown(ud.Handle(), {5, 18});
  PumpPending();
  EXPECT_EQ(ud.Position(), 9);
  headless::AdvanceClock(UpDown::RepeatDelayMs);
  PumpPending();
  headless::AdvanceClock(UpDown::RepeatIntervalMs);
  PumpPending();
  EXPECT_EQ(ud.Position(), 7);
  headless::MouseUp(ud.Handle(), {5, 18});
  PumpPending();
  headless::AdvanceClock(1000);
  PumpPending();
  EXPECT_EQ(ud.Position(), 7);
}

TEST_F(WidgetTest, ProgressBarFillsInProportionAndStepsRoundTheRange) {
  ProgressBar& pb = form->Add<ProgressBar>();
  pb.SetBounds(0, 0, 102, 10);  // 100 pixels inside the frame
  pb.SetRange(0, 200);
  struct Case {
    int32_t pos;
    int32_t width;
  } cases[] = {{0, 0}, {50, 25}, {200, 100}, {500, 100}, {-5, 0}};
  for (const Case& c : cases) {
    pb.SetPosition(c.pos);
    EXPECT_EQ(pb.FilledRect().Width(), c.width) << c.pos;
  }
  pb.SetPosition(190);
  pb.SetStep(20);
  pb.StepIt();
  EXPECT_EQ(pb.Position(), 9);  // past Max it starts again from Min
}
