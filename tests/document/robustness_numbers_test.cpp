// Numbers from documents and typing at their extremes: every style and format code with the
// smallest and largest 32-bit values writes a short text, and random typed tokens never fault.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "document/number_formats.h"

using namespace qv;

namespace {

TEST(NumberRobustness, ExtremeNumbersInEveryStyleAndCode) {
  const int32_t numbers[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, 1020, 1021, 6630, 6631,
                             255999, 256000, INT32_MAX - 1, INT32_MAX};
  for (int32_t n : numbers) {
    for (int style = 0; style < 256; ++style)
      EXPECT_LE(NumberToText(n, static_cast<uint8_t>(style)).size(), 300u) << n << " " << style;
    for (int32_t code : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 22, 23, 255, 256, INT32_MAX, INT32_MIN}) {
      EXPECT_LE(FormatNumberByCode(n, code).size(), 1100u) << n << " " << code;
      for (int32_t language : {0, 1033, 1031, 1036, 0x7FFFFFFF, -1})
        EXPECT_LE(FormatListNumber(n, code, language).size(), 400u) << n << " " << code;
    }
  }
}

TEST(NumberRobustness, RulerSnappingAtTheEndsOfTheRange) {
  const std::vector<int32_t> candidates = {INT32_MIN, INT32_MAX, 0, static_cast<int32_t>(0x80000000u)};
  for (int32_t unit = -1; unit <= 5; ++unit) {
    for (int32_t position : {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX}) {
      const int32_t snapped = SnapRulerPositionInUnit(position, INT32_MAX, &candidates, unit);
      // Far ends snap to a grid point or candidate on their own side.
      if (position > 1000) {
        EXPECT_GT(snapped, 0) << unit << " " << position;
      } else if (position < -1000) {
        EXPECT_LT(snapped, 0) << unit << " " << position;
      }
    }
  }
}

TEST(NumberRobustness, RandomTypedTokens) {
  std::mt19937 rng(3);
  static constexpr char kAlphabet[] = "().0123456789ivxlcdmIVXLCDMabzAZ \xe9";
  for (int i = 0; i < 3000; ++i) {
    std::string token(rng() % 14, '\0');
    for (char& c : token) c = kAlphabet[rng() % (sizeof kAlphabet - 1)];
    std::u16string text;
    std::vector<int32_t> codes, starts;
    if (ParseTypedListNumber(token, text, codes, starts)) {
      EXPECT_FALSE(codes.empty()) << token;
      EXPECT_EQ(codes.size(), starts.size()) << token;
      EXPECT_NE(text.find(u'\0'), std::u16string::npos) << token;
    } else {
      EXPECT_TRUE(codes.empty()) << token;
    }
  }
  // Digits far beyond 32 bits are no number to read.
  std::u16string text;
  std::vector<int32_t> codes, starts;
  ParseTypedListNumber(std::string(400, '9') + ".", text, codes, starts);
  for (int32_t start : starts) EXPECT_GE(start, 0);
}

}  // namespace
