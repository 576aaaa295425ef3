// Hint windows and tooltips: measuring and wrapping, staying on the screen, the messages that
// end a hint, and the delays of a tooltip.
#include <gtest/gtest.h>

#include "platform/controls/control.h"
#include "platform/controls/control_look.h"
#include "platform/controls/hint_window.h"
#include "platform/controls/tooltip.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

TEST_F(WidgetTest, HintWindowWrapsAndStaysOnTheScreen) {
  HintWindow hw;
  Rect one = hw.CalcHintRect(1000, u"Short");
  EXPECT_EQ(one.left, 0);
  EXPECT_EQ(one.top, 0);
  int32_t lineH = InterfaceFont().Metrics().Height;
  std::u16string longText = u"several words that cannot stand on one narrow line";
  Rect wrapped = hw.CalcHintRect(80, longText);
  EXPECT_LE(wrapped.Width(), 80 + 2);
  EXPECT_GE(wrapped.Height() - one.Height(), lineH * 2);  // three lines or more
  Rect two = hw.CalcHintRect(1000, u"a\nb");
  EXPECT_EQ(two.Height() - one.Height(), lineH);
  Rect screen = GetScreenRect();
  hw.ActivateHint(wrapped.Offset(screen.right - 10, screen.bottom - 5), longText);
  EXPECT_TRUE(hw.Showing());
  EXPECT_EQ(hw.ScreenRect().right, screen.right);
  EXPECT_EQ(hw.ScreenRect().bottom, screen.bottom);
  EXPECT_GE(hw.Lines().size(), 3u);
  EXPECT_TRUE(GetWindowExStyle(hw.Handle()) & WS_EX_NOACTIVATE);
  hw.ReleaseHint();
  EXPECT_FALSE(hw.Showing());
  struct Case {
    uint32_t msg;
    bool ends;
  } cases[] = {{WM_KEYDOWN, true}, {WM_SYSCHAR, true}, {WM_LBUTTONDOWN, true}, {WM_MOUSEWHEEL, true},
               {WM_COMMAND, true}, {CM_DEACTIVATE, true}, {CM_APPKEYDOWN, true},
               {WM_MOUSEMOVE, false}, {WM_PAINT, false}, {WM_TIMER, false}};
  for (const Case& c : cases) {
    Msg m;
    m.message = c.msg;
    EXPECT_EQ(HintWindow::IsHintMsg(m), c.ends) << c.msg;
  }
}

TEST_F(WidgetTest, ToolTipShowsAfterTheDelayAndGoesOnLeave) {
  Control& a = form->Add<Control>();
  a.SetBounds(10, 10, 50, 30);
  Control& b = form->Add<Control>();
  b.SetBounds(100, 10, 50, 30);
  int ownEnters = 0;
  a.OnMouseEnter = [&](Control&) { ++ownEnters; };
  ToolTip tip;
  tip.AddTool(a, u"Tool A");
  ShowForm();
  headless::MouseMove(a.Handle(), {5, 5});
  PumpPending();
  EXPECT_EQ(ownEnters, 1);  // the control's own handler still runs
  EXPECT_FALSE(tip.Window().Showing());
  headless::AdvanceClock(tip.InitialDelay);
  PumpPending();
  ASSERT_TRUE(tip.Window().Showing());
  EXPECT_EQ(tip.Window().Text(), u"Tool A");
  EXPECT_EQ(tip.Current(), &a);
  // Moving to a control without a tool hides it.
  headless::MouseMove(b.Handle(), {5, 5});
  PumpPending();
  EXPECT_FALSE(tip.Window().Showing());
  // Back again: it goes by itself after the auto-pop delay, and on a click.
  headless::MouseMove(a.Handle(), {6, 6});
  PumpPending();
  headless::AdvanceClock(tip.InitialDelay);
  PumpPending();
  EXPECT_TRUE(tip.Window().Showing());
  headless::AdvanceClock(tip.AutoPopDelay);
  PumpPending();
  EXPECT_FALSE(tip.Window().Showing());
  tip.Active = false;
  headless::MouseMove(b.Handle(), {5, 5});
  headless::MouseMove(a.Handle(), {6, 6});
  PumpPending();
  headless::AdvanceClock(tip.InitialDelay);
  PumpPending();
  EXPECT_FALSE(tip.Window().Showing());
}
