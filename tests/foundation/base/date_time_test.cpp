#include "foundation/base/date_time.h"

#include <gtest/gtest.h>

#include <string>

using namespace qv;

namespace {

TEST(DateTime, DayIndexGrowsWithTheDate) {
  double jan31 = EncodeDateTime(2024, 1, 31, 0, 0, 0);
  double feb1 = EncodeDateTime(2024, 2, 1, 23, 59, 59);
  EXPECT_EQ(DateToDayIndex(feb1) - DateToDayIndex(jan31), 1);
  EXPECT_EQ(DateToDayIndex(jan31), 2024 * 365 + 31 + 31);
}

TEST(DateTime, Iso8601ReadsTheThreeFormsAndWritesBack) {
  for (const char* text : {"2021-03-04T05:06:07Z", "20210304T050607", "2021-03-04T05:06:07.123Z"}) {
    double v = 0;
    ASSERT_TRUE(Iso8601ToDateTime(text, v)) << text;
    std::string back;
    DateTimeToIso8601(v, back);
    EXPECT_EQ(back, "2021-03-04T05:06:07Z") << text;
  }
}

TEST(DateTime, Iso8601RefusesBadTextAndKeepsTheOldValue) {
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
