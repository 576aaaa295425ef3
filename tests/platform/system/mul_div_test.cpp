#include "platform/system/mul_div.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(MulDiv64, WideProductsRoundAndSaturateAtThe64BitEnds) {
  struct Case { int64_t a, b, c, result; const char* what; } cases[] = {
      {INT64_MAX, INT64_MAX, INT64_MAX, INT64_MAX, "a 126-bit product"},
      {INT64_MIN, INT64_MIN, INT64_MIN, INT64_MIN, "a 126-bit product, negative"},
      {INT64_MIN, INT64_MIN, 1, INT64_MAX, "saturates high"},
      {INT64_MIN, INT64_MAX, 1, INT64_MIN, "saturates low"},
      {INT64_MIN, 1, -1, INT64_MAX, "-INT64_MIN does not fit"},
      {INT64_MIN, 1, 1, INT64_MIN, "INT64_MIN itself fits"},
      {-5, 1, 2, -3, "halves away from zero"},
      {INT64_MAX, 3, 0, 0, "zero divisor"},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::MulDiv64(c.a, c.b, c.c), c.result) << c.what;
}

}  // namespace
