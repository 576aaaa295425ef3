#include "foundation/ui/ui_scaling.h"

#include <gtest/gtest.h>

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

TEST(UiScaling, ScaleUIByInterfaceFontHeight) {
  struct Case { int32_t scale, design, scaled; } cases[] = {
      {12, 74, 74}, {13, 74, 74}, {14, 74, 80}, {16, 74, 91}, {20, 74, 114}, {26, 74, 148},
      {13, 17, 17}, {14, 17, 18}, {20, 17, 26}, {20, 23, 35}, {14, 83, 89}, {20, 450, 692},
  };
  for (const Case& c : cases) {
    ScaleGuard g(c.scale);
    EXPECT_EQ(ScaleUI(c.design), c.scaled) << "scale " << c.scale << " size " << c.design;
  }
  ScaleGuard g(20);
  EXPECT_EQ(SmallControlSize(), 26);
}

TEST(UiScaling, TwipsAndFontHeightsAt96Ppi) {
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

TEST(UiScaling, LayoutUnitsOnScreenAndForADevice) {
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

TEST(UiScaling, DayIndexGrowsWithTheDate) {
  double jan31 = EncodeDateTime(2024, 1, 31, 0, 0, 0);
  double feb1 = EncodeDateTime(2024, 2, 1, 23, 59, 59);
  EXPECT_EQ(DateToDayIndex(feb1) - DateToDayIndex(jan31), 1);
  EXPECT_EQ(DateToDayIndex(jan31), 2024 * 365 + 31 + 31);
}

TEST(UiScaling, Iso8601ReadsTheThreeFormsAndWritesBack) {
  for (const char* text : {"2021-03-04T05:06:07Z", "20210304T050607", "2021-03-04T05:06:07.123Z"}) {
    double v = 0;
    ASSERT_TRUE(Iso8601ToDateTime(text, v)) << text;
    std::string back;
    DateTimeToIso8601(v, back);
    EXPECT_EQ(back, "2021-03-04T05:06:07Z") << text;
  }
}

TEST(UiScaling, Iso8601RefusesBadTextAndKeepsTheOldValue) {
  // Digits that do not read must not answer true with the caller's stale value.
  const char* bad[] = {"2021-03-04", "", "2021-0x-04T05:06:07Z", "2021-03-04T05:0a:07",
                       "2021-13-04T05:06:07", "2021-02-30T05:06:07", "2021-03-04T25:06:07",
                       "202103T050607", "20210304T0506"};
  for (const char* text : bad) {
    double v = 12345.5;
    EXPECT_FALSE(Iso8601ToDateTime(text, v)) << text;
    EXPECT_EQ(v, 12345.5) << text;
  }
}

}  // namespace
