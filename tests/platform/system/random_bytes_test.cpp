#include "platform/system/random_bytes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

TEST(RandomBytes, FillsWithNewBytesEachTime) {
  std::array<uint8_t, 64> a{}, b{};
  ASSERT_TRUE(plat::FillRandomBytes(a.data(), a.size()));
  ASSERT_TRUE(plat::FillRandomBytes(b.data(), b.size()));
  EXPECT_NE(a, b);
  EXPECT_NE(a, (std::array<uint8_t, 64>{}));
  EXPECT_TRUE(plat::FillRandomBytes(a.data(), 0));
}
