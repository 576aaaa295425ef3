#include "layout/layout_units.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

// The layout's conversions round as the units module does, on screen and for a device; the
// negative values show that no second rounding rule hides behind the same names.
TEST(LayoutUnits, ConversionsOnScreenAndForADevice) {
  TLayoutSettings screen;  // 96 dpi
  TLayoutSettings printer;
  printer.DeviceMeasuring = true;
  printer.DeviceScaleX = 300;
  printer.DeviceScaleY = 625;
  struct Case {
    const char* what;
    int32_t got, expected;
  } cases[] = {
      {"pixels to layout", PixelsToLayoutX(3, screen), 48},
      {"negative pixels to layout", PixelsToLayoutY(-1, screen), -31},
      {"layout to pixels, half up", LayoutToPixelsX(8, screen), 1},
      {"negative layout to pixels", LayoutToPixelsY(-8, screen), 0},
      {"device pixels to layout", PixelsToLayoutY(10, printer), 63},
      {"device layout to pixels", LayoutToPixelsY(63, printer), 10},
      {"twips to pixels", TwipsToScreenPixels(8, screen), 1},
      {"negative twips truncate", TwipsToScreenPixels(-8, screen), 0},
      {"pixels to twips", ScreenPixelsToTwips(1, screen), 15},
      {"twips to layout x", TwipsToLayoutX(720, screen), 768},
      {"negative twips to layout x", TwipsToLayoutX(-8, screen), -8},
      {"twips to device x", TwipsToLayoutX(1440, printer), 96},
      {"layout x to twips", LayoutXToTwips(768, screen), 720},
      {"layout y to twips", LayoutYToTwips(320, screen), 300},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

}  // namespace
