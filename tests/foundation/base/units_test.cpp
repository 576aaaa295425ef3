#include "foundation/base/units.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/controls/control_look.h"

using namespace qv;

namespace {

struct ScaleGuard {
  explicit ScaleGuard(int32_t scale, int32_t ppi = 96) {
    plat::SetInterfaceScaleForTests(scale);
    SetScreenPixelsPerInchForTests(ppi);
  }
  ~ScaleGuard() {
    plat::SetInterfaceScaleForTests(0);
    SetScreenPixelsPerInchForTests(0);
  }
};

TEST(Units, MulDivRoundsHalvesAwayFromZeroAndSaturates) {
  struct Case { int64_t a, b, c; int32_t result; const char* what; } cases[] = {
      {7, 1, 2, 4, "3.5 up"},
      {-7, 1, 2, -4, "-3.5 down"},
      {5, -1, 2, -3, "a negative factor"},
      {5, 1, -2, -3, "a negative divisor"},
      {-5, 1, -2, 3, "two negatives"},
      {3, 1, 2, 2, "1.5"},
      {2, 1, 3, 1, "2/3 to the nearest"},
      {-2, 1, 3, -1, "-2/3 to the nearest"},
      {1, 1, 3, 0, "1/3 to the nearest"},
      {74, 16, 13, 91, "a design size at scale 16"},
      {5, 3, 0, 0, "zero divisor"},
      {-5, 3, 0, 0, "zero divisor, negative product"},
      {0, 0, 0, 0, "nothing at all"},
      {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, "the product needs 62 bits"},
      {1 << 30, 1 << 30, 1 << 29, INT32_MAX, "saturates high"},
      {INT32_MAX, 2, 1, INT32_MAX, "saturates high"},
      {INT32_MIN, 2, 1, INT32_MIN, "saturates low"},
      {INT32_MIN, -1, 1, INT32_MAX, "-INT32_MIN does not fit"},
      {INT64_MAX, INT64_MAX, 1, INT32_MAX, "a product beyond 64 bits"},
      {INT64_MIN, INT64_MAX, 1, INT32_MIN, "a product beyond 64 bits, negative"},
  };
  for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result) << c.what;
  EXPECT_EQ(PercentOf(200, 15), 30);
  EXPECT_EQ(PercentOf(-5, 50), -3);
}

TEST(Units, TwipsAndPixelsAtAGivenResolution) {
  struct Case { int64_t twips; int32_t ppi, pixels; } toPixels[] = {
      {1440, 96, 96}, {8, 96, 1}, {7, 96, 0}, {-8, 96, 0}, {-15, 96, -1}, {1440, 120, 120},
      {6, 120, 1}, {1440, 0, 0}, {int64_t(INT32_MAX) * 16, 96, INT32_MAX},
  };
  for (const Case& c : toPixels)
    EXPECT_EQ(TwipsToPixelsAt(c.twips, c.ppi), c.pixels) << c.twips << " at " << c.ppi;
  EXPECT_EQ(PixelsToTwipsAt(1, 96), 15);
  EXPECT_EQ(PixelsToTwipsAt(-1, 96), -15);
  EXPECT_EQ(PixelsToTwipsAt(1, 120), 12);
  EXPECT_EQ(PixelsToTwipsAt(5, 0), 0);  // a resolution of nothing converts nothing
}

TEST(Units, HundredthsOfTheMeasurementUnit) {
  struct Case { int32_t unit, twips, hundredths; } cases[] = {
      {0, 720, 127}, {1, 720, 50}, {2, 720, 3600}, {3, 720, 300}, {4, 720, 1270},
      {0, -720, -127}, {1, -720, -50}, {2, -720, -3600}, {9, 720, 1270},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TwipsToUnits100(c.twips, c.unit), c.hundredths) << "unit " << c.unit;
    EXPECT_EQ(Units100ToTwips(c.hundredths, c.unit), c.twips) << "unit " << c.unit;
  }
  EXPECT_EQ(TwipsToInch100(7), 0);
  EXPECT_EQ(TwipsToInch100(8), 1);
  EXPECT_EQ(TwipsToInch100(-8), -1);
  EXPECT_EQ(TwipsToPt100(1), 10);    // half a tenth of a point rounds away from zero
  EXPECT_EQ(TwipsToPt100(-1), -10);
  EXPECT_EQ(TwipsToPt100(INT32_MAX), INT32_MAX);  // the tenths made hundredths saturate
  EXPECT_EQ(TwipsToMm100(INT32_MIN), INT32_MIN);
}

TEST(Units, TwipsAndFontHeightsAt96Ppi) {
  ScaleGuard g(13, 96);
  struct Case { int32_t twips, pixels; } cases[] = {{1440, 96}, {8, 1}, {7, 0}, {-8, 0}, {-15, -1}, {0, 0}};
  for (const Case& c : cases) EXPECT_EQ(TwipsToScreenPixels(c.twips), c.pixels) << c.twips;
  EXPECT_EQ(ScreenPixelsToTwips(96), 1440);
  EXPECT_EQ(ScreenPixelsToTwips(1), 15);
  EXPECT_EQ(TwipsToScreenPixelsZoomed(1440, 200), 192);
  EXPECT_EQ(TwipsToScreenPixelsZoomed(8, 100), 1);
  EXPECT_EQ(HalfPointsToFontHeight(24), -16);
  EXPECT_EQ(HalfPointsToFontHeight(23), -15);
}

TEST(Units, LayoutUnitsOnScreenAndForADevice) {
  EXPECT_EQ(PixelsToLayoutY(3, nullptr), 48);
  EXPECT_EQ(PixelsToLayoutY(-1, nullptr), -31);
  struct Case { int32_t layout, pixels; } cases[] = {{8, 1}, {7, 0}, {-31, -1}, {-47, -2}, {16, 1}, {24, 2}};
  for (const Case& c : cases) EXPECT_EQ(LayoutToPixelsY(c.layout, nullptr), c.pixels) << c.layout;
  for (int32_t a = -40; a <= 40; ++a) EXPECT_EQ(LayoutToPixelsY(PixelsToLayoutY(a, nullptr), nullptr), a);
  EXPECT_EQ(SixteenthsToPixels(40), 3);

  TDeviceLayoutInfo printer{true, 300, 625};
  EXPECT_EQ(PixelsToLayoutX(10, &printer), 30);
  EXPECT_EQ(PixelsToLayoutY(10, &printer), 63);   // 62.5 rounds up
  // Rounds to the nearest pixel whatever the scale (6300 / 625 = 10.08 is 10, not 11).
  EXPECT_EQ(LayoutToPixelsY(63, &printer), 10);
  EXPECT_EQ(LayoutToPixelsY(66, &printer), 11);  // 10.56
  EXPECT_EQ(LayoutToPixelsX(45, &printer), 15);
  EXPECT_EQ(PixelsToLayoutY(-1, &printer), -12);  // 1 - round(2 * 6.25)
}

}  // namespace
