// Status bars: panel layout, clicks on panels, owner-drawn panels and the simple text.
#include <gtest/gtest.h>

#include "platform/controls/status_bar.h"
#include "platform/gfx/canvas.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

TEST_F(WidgetTest, StatusBarPanelsLayOutAndReportClicks) {
  StatusBar& sb = form->Add<StatusBar>();
  sb.AddPanel(u"Page 1", 80);
  sb.AddPanel(u"", 60).OwnerDraw = true;
  sb.AddPanel(u"Ready", -1);
  sb.AddPanel(u"never shown", 40);  // after a rest-of-bar panel
  std::vector<int32_t> clicks;
  sb.OnPanelClick = [&](StatusBar&, int32_t i) { clicks.push_back(i); };
  int drawn = 0;
  sb.OnDrawPanel = [&](StatusBar&, int32_t i, Canvas& c, const Rect& r) {
    EXPECT_EQ(i, 1);
    c.FillRect(r, Rgb(255, 0, 0));
    ++drawn;
  };
  ShowForm();
  EXPECT_EQ(sb.Top() + sb.Height(), form->ClientRect().bottom);  // along the bottom
  int32_t w = sb.Width();
  struct Case {
    int32_t panel;
    int32_t left, right;
  } cases[] = {{0, 0, 80}, {1, 80, 140}, {2, 140, w - sb.Height()}, {3, 0, 0}};
  for (const Case& c : cases) {
    Rect r = sb.PanelRect(c.panel);
    EXPECT_EQ(r.left, c.left) << c.panel;
    EXPECT_EQ(r.right, c.right) << c.panel;
  }
  ClickAt(sb, {10, 5});
  ClickAt(sb, {150, 5});
  ClickAt(sb, {w - 3, 5});  // the size grip
  EXPECT_EQ(clicks, (std::vector<int32_t>{0, 2}));
  UpdateWindow(form->Handle());
  EXPECT_GE(drawn, 1);
  const Bitmap* surface = GetWindowSurface(form->Handle());
  ASSERT_NE(surface, nullptr);
  Point p = ClientToScreen(sb.Handle(), {100, 10});
  Point origin = ClientToScreen(form->Handle(), {0, 0});
  Rect fb = GetWindowScreenRect(form->Handle());
  EXPECT_EQ(surface->GetPixel(p.x - fb.left, p.y - fb.top), Rgb(255, 0, 0));
  (void)origin;
  // Text changes of a missing panel are ignored; simple mode hides the panels.
  sb.SetPanelText(9, u"x");
  sb.SetPanelText(0, u"Page 2");
  EXPECT_EQ(sb.Panel(0).Text, u"Page 2");
  sb.SetSimplePanel(true);
  EXPECT_EQ(sb.PanelAt({10, 5}), -1);
}
