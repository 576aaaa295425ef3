#include "foundation/base/constant_tables.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

TEST(ConstantTables, HexDigitValues) {
  const struct {
    char c;
    uint8_t value;
  } cases[] = {{'0', 0}, {'9', 9}, {'a', 10}, {'f', 15}, {'A', 10}, {'F', 15},
               {'g', 255}, {'G', 255}, {'/', 255}, {':', 255}, {'@', 255}, {' ', 255}};
  for (const auto& c : cases)
    EXPECT_EQ(HexDigitValues[static_cast<uint8_t>(c.c)], c.value) << c.c;
  int digits = 0;
  for (uint8_t v : HexDigitValues) digits += v != kNotAHexDigit;
  EXPECT_EQ(digits, 22);
}

TEST(ConstantTables, UnicodeToSpecialChar) {
  const struct {
    char16_t ch;
    uint8_t code;
  } cases[] = {{9, 9},       {8211, 14}, {150, 14},  {8212, 13},  {151, 13},
               {160, 11},    {173, 15},  {8194, 18}, {8195, 19},  {8197, 20},
               {8209, 12},   {8210, 255}, {8196, 255}, {32, 255}, {'a', 255}};
  for (const auto& c : cases) EXPECT_EQ(UnicodeToSpecialChar(c.ch), c.code) << int(c.ch);
}

TEST(ConstantTables, DateFormatSetIndex) {
  const struct {
    int32_t language;
    int32_t set;
  } cases[] = {{1036, 2}, {3084, 2}, {4108, 2}, {1033, 1}, {2057, 0}, {1031, 0}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(DateFormatSetIndex(c.language), c.set) << c.language;
}

}  // namespace
