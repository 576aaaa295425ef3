// Images, paint boxes and panels draw what they hold.
#include <gtest/gtest.h>

#include "platform/controls/image.h"
#include "platform/controls/paint_box.h"
#include "platform/controls/panel.h"
#include "platform/gfx/canvas.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

TEST(ImagePlacement, StretchCentreAndProportions) {
  struct Case {
    const char* name;
    bool stretch, proportional, center;
    Rect want;
  } cases[] = {
      {"as is", false, false, false, {0, 0, 40, 20}},
      {"centred", false, false, true, {30, 40, 70, 60}},
      {"stretched", true, false, false, {0, 0, 100, 100}},
      {"proportional", true, true, true, {0, 25, 100, 75}},
  };
  for (const Case& c : cases) {
    Image img;
    img.SetBounds(0, 0, 100, 100);
    img.SetPicture(Bitmap(40, 20));
    img.SetStretch(c.stretch);
    img.SetProportional(c.proportional);
    img.SetCenter(c.center);
    EXPECT_EQ(img.DestRect(), c.want) << c.name;
  }
  Image empty;
  EXPECT_TRUE(empty.DestRect().IsEmpty());
  Image sized;
  sized.SetAutoSize(true);
  sized.SetPicture(Bitmap(33, 44));
  EXPECT_EQ(sized.Width(), 33);
  EXPECT_EQ(sized.Height(), 44);
}

TEST_F(WidgetTest, ImagePaintBoxAndPanelPaint) {
  Bitmap pic(10, 10);
  pic.Fill(Rgb(0, 0, 255));
  pic.SetPixel(0, 9, Rgb(0, 255, 0));  // the transparent colour's key pixel
  pic.SetPixel(5, 5, Rgb(0, 255, 0));
  Image& img = form->Add<Image>();
  img.SetBounds(0, 0, 10, 10);
  img.SetBackColor(Rgb(255, 255, 255));
  img.SetTransparent(true);
  img.SetPicture(pic);
  PaintBox& box = form->Add<PaintBox>();
  box.SetBounds(20, 0, 10, 10);
  box.OnPaint = [](PaintBox& b, Canvas& c, const Rect&) { c.FillRect(b.ClientRect(), Rgb(255, 0, 0)); };
  Panel& panel = form->Add<Panel>();
  panel.SetBounds(40, 0, 60, 30);
  panel.SetCaption(u"Panel");
  ShowForm();
  UpdateWindow(form->Handle());
  const Bitmap& s = *GetWindowSurface(form->Handle());
  Point o = ClientToScreen(form->Handle(), {0, 0});
  Rect fb = GetWindowScreenRect(form->Handle());
  auto at = [&](int32_t x, int32_t y) { return s.GetPixel(o.x - fb.left + x, o.y - fb.top + y); };
  EXPECT_EQ(at(2, 2), Rgb(0, 0, 255));
  EXPECT_EQ(at(5, 5), Rgb(255, 255, 255));  // key colour left out
  EXPECT_EQ(at(25, 5), Rgb(255, 0, 0));
  EXPECT_EQ(at(40, 0), Look().Border);  // the panel's flat frame
}
