// Scroll bars: 32-bit ranges, keys, thumb dragging and the held-button repeat.
#include <gtest/gtest.h>

#include <climits>

#include "platform/controls/scroll_bar.h"
#include "platform/system/mul_div.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

TEST(ScrollMulDivTest, RoundsAndSpansTheWholeRange) {
  EXPECT_EQ(MulDiv64(7, 1, 2), 4);
  EXPECT_EQ(MulDiv64(-7, 1, 2), -4);
  EXPECT_EQ(MulDiv64(5, 3, 0), 0);
  int64_t span = int64_t(INT32_MAX) - INT32_MIN;
  EXPECT_EQ(MulDiv64(span, span, span), span);
}

TEST_F(WidgetTest, ScrollBarKeysAndLimitsOverA32BitRange) {
  ScrollBar& sb = form->Add<ScrollBar>(ScrollBarKind::Vertical);
  sb.SetBounds(10, 10, 17, 200);
  sb.SetParams(0, INT32_MIN, INT32_MAX);
  sb.SetPageSize(1 << 30);
  sb.SetSmallChange(1000);
  sb.SetLargeChange(1 << 29);
  int changes = 0;
  sb.OnChange = [&](ScrollBar&) { ++changes; };
  ShowForm();
  sb.SetFocus();
  const int32_t highest = int32_t(int64_t(INT32_MAX) - (1 << 30) + 1);
  EXPECT_EQ(sb.HighestPosition(), highest);
  struct Step {
    uint8_t vk;
    int32_t want;
  } steps[] = {
      {VK_DOWN, 1000}, {VK_UP, 0}, {VK_NEXT, 1 << 29}, {VK_END, highest}, {VK_DOWN, highest},
      {VK_HOME, INT32_MIN}, {VK_UP, INT32_MIN}, {VK_LEFT, INT32_MIN},  // Left is not this bar's
  };
  for (const Step& s : steps) {
    Press(s.vk);
    PumpPending();
    EXPECT_EQ(sb.Position(), s.want) << int(s.vk);
  }
  EXPECT_EQ(changes, 5);
  // Dragging the thumb to the far end gives the highest position, not beyond; to the middle
  // gives about the middle of the positions.
  Rect thumb = sb.PartRect(ScrollBar::Part::Thumb);
  ASSERT_FALSE(thumb.IsEmpty());
  Point grab{8, thumb.top + 2};
  headless::Drag(sb.Handle(), grab, {8, 400});
  PumpPending();
  EXPECT_EQ(sb.Position(), highest);
  thumb = sb.PartRect(ScrollBar::Part::Thumb);
  Rect track{0, sb.PartRect(ScrollBar::Part::LineUp).bottom, 17, sb.PartRect(ScrollBar::Part::LineDown).top};
  int32_t travel = track.Height() - thumb.Height();
  headless::Drag(sb.Handle(), {8, thumb.top + 2}, {8, track.top + travel / 2 + 2});
  PumpPending();
  int64_t mid = (int64_t(INT32_MIN) + highest) / 2;
  EXPECT_LT(std::abs(sb.Position() - mid), (int64_t(highest) - INT32_MIN) / travel + 1);
  // A range change keeps the position inside.
  sb.SetParams(sb.Position(), 0, 10);
  EXPECT_LE(sb.Position(), sb.HighestPosition());
  EXPECT_EQ(sb.PageSize(), 11);
}

TEST_F(WidgetTest, ScrollBarHeldArrowRepeatsAfterTheDelay) {
  ScrollBar& sb = form->Add<ScrollBar>(ScrollBarKind::Horizontal);
  sb.SetBounds(10, 10, 200, 17);
  sb.SetParams(0, 0, 1000);
  ShowForm();
  Rect down = sb.PartRect(ScrollBar::Part::LineDown);
  headless::MouseDown(sb.Handle(), {down.left + 3, 8});
  PumpPending();
  EXPECT_EQ(sb.Position(), 1);  // one step at once
  struct Tick {
    uint64_t ms;
    int32_t want;
  } ticks[] = {{ScrollBar::RepeatDelayMs - 1, 1}, {1, 2}, {ScrollBar::RepeatIntervalMs, 3},
               {ScrollBar::RepeatIntervalMs, 4}, {ScrollBar::RepeatIntervalMs, 5}};
  for (const Tick& t : ticks) {
    headless::AdvanceClock(t.ms);
    PumpPending();
    EXPECT_EQ(sb.Position(), t.want);
  }
  headless::MouseUp(sb.Handle(), {down.left + 3, 8});
  PumpPending();
  headless::AdvanceClock(1000);
  PumpPending();
  EXPECT_EQ(sb.Position(), 5);
  // A press on the track pages towards the cursor.
  sb.SetLargeChange(100);
  Rect page = sb.PartRect(ScrollBar::Part::PageDown);
  headless::Click(sb.Handle(), {page.right - 2, 8});
  PumpPending();
  EXPECT_EQ(sb.Position(), 105);
}
