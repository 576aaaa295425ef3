#include "document/number_formats.h"

#include <gtest/gtest.h>

#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"

using namespace qv;

namespace {

const std::string kAsterisk = "\x2A";
const std::string kDagger = "\x86";
const std::string kSection = "\xA7";

TEST(NumberFormats, NumberToTextAndCodes) {
  struct TCase {
    int32_t number;
    int32_t code;  // number style for the first group, format code for the second
    std::string expected;
  };
  const std::vector<TCase> styles = {
      {28, 1, "bb"}, {28, 2, "BB"}, {4, 3, "iv"}, {4, 4, "IV"}, {0, 4, ""}, {-7, 0, "-7"},
      {12, 0, "12"}, {9, 200, "IX"}, {6630, 2, std::string(255, 'Z')}, {6631, 1, "6631"},
      {2000000000, 4, "2000000000"}};
  for (const auto& c : styles) {
    EXPECT_EQ(NumberToText(c.number, static_cast<uint8_t>(c.code)), c.expected) << c.number;
  }
  const std::vector<TCase> codes = {
      {6, 2, "vi"}, {6, 1, "VI"}, {3, 3, "C"}, {3, 4, "c"}, {7, 0, "7"},
      {1, 9, kAsterisk}, {4, 9, kSection}, {5, 9, kAsterisk + kAsterisk},
      {6, 9, kDagger + kDagger}, {8, 9, kSection + kSection},
      // Numbers below 1 give the first symbol instead of indexing before the table.
      {0, 9, kAsterisk}, {-3, 9, kAsterisk}, {-3, -1, kAsterisk}, {2, 255, kDagger},
      {1020, 9, std::string(255, '\xA7')}, {1021, 9, "1021"}};
  for (const auto& c : codes) {
    EXPECT_EQ(FormatNumberByCode(c.number, c.code), c.expected) << c.number << " code " << c.code;
  }
}

TEST(NumberFormats, BulletFormats) {
  for (int32_t code : {-1, 0, 9, 22, 255}) EXPECT_FALSE(IsBulletNumberFormat(code)) << code;
  for (int32_t code : {23, 254, 256}) EXPECT_TRUE(IsBulletNumberFormat(code)) << code;
  EXPECT_TRUE(IsNumberedFormat(255));
}

TEST(NumberFormats, LevelNumberPositions) {
  EXPECT_EQ(LevelNumberPositions(std::u16string(u"\0.\1.\2", 5)), std::string("\1\3\5"));
  EXPECT_EQ(LevelNumberPositions(std::u16string(u"(\2)\0\2", 5)), std::string("\4\2"));
  EXPECT_EQ(LevelNumberPositions(u"none"), "");
}

TEST(NumberFormats, TypedListNumbers) {
  struct TCase {
    std::string token;
    std::vector<int32_t> codes;
    std::vector<int32_t> starts;
    std::u16string text;
  };
  const std::vector<TCase> accepted = {
      {"1.", {0}, {1}, std::u16string(u"\0.", 2)},
      {"01)", {22}, {1}, std::u16string(u"\0)", 2)},
      {"10.", {0, 22}, {10, 10}, std::u16string(u"\0.", 2)},
      {"(iv)", {2}, {4}, std::u16string(u"(\0)", 3)},
      {"IV.", {1}, {4}, std::u16string(u"\0.", 2)},
      {"i.", {2, 4}, {1, 9}, std::u16string(u"\0.", 2)},
      {"AA)", {3}, {27}, std::u16string(u"\0)", 2)},
      {"b.", {4}, {2}, std::u16string(u"\0.", 2)}};
  for (const auto& c : accepted) {
    std::u16string text;
    std::vector<int32_t> codes, starts;
    ASSERT_TRUE(ParseTypedListNumber(c.token, text, codes, starts)) << c.token;
    EXPECT_EQ(codes, c.codes) << c.token;
    EXPECT_EQ(starts, c.starts) << c.token;
    EXPECT_EQ(text, c.text) << c.token;
  }
  for (std::string token : {"x", "1", "(1.", "().", "ab)", "1a.", "99999999999.", "-1.", "."}) {
    std::u16string text;
    std::vector<int32_t> codes, starts;
    EXPECT_FALSE(ParseTypedListNumber(token, text, codes, starts)) << token;
    EXPECT_TRUE(codes.empty() && starts.empty()) << token;
  }
}

TEST(NumberFormats, ListNumberTexts) {
  EXPECT_EQ(FormatListNumber(3, 22, 9), "03");
  EXPECT_EQ(FormatListNumber(123, 22, 9), "123");
  EXPECT_EQ(FormatListNumber(3, 9, 9), "");
  EXPECT_EQ(FormatListNumber(42, 6, 0x409), "Forty-two");
  EXPECT_EQ(FormatListNumber(-2, 7, 9), "Second");
  EXPECT_EQ(FormatListNumber(-2, 5, 9), "2nd");
  EXPECT_EQ(FormatListNumber(14, 1, 9), "XIV");
}

TEST(NumberFormats, RulerSnapping) {
  // Inches: the grid point of 100 twips is 90 (1/16 inch) = 6.25 hundredths, read back as 86.
  EXPECT_EQ(SnapRulerPositionInUnit(100, static_cast<int32_t>(0x80000000u), nullptr, 1), 86);
  EXPECT_EQ(SnapRulerPositionInUnit(100, 150, nullptr, 1), 150);  // candidate within 96 wins
  EXPECT_EQ(SnapRulerPositionInUnit(100, 300, nullptr, 1), 86);   // too far away
  const std::vector<int32_t> list = {120, 110};
  // From the last to the first: 110 (distance 10) beats 120 (distance 20) and the extra (50).
  EXPECT_EQ(SnapRulerPositionInUnit(100, 150, &list, 1), 110);
  EXPECT_EQ(SnapRulerPositionInUnit(1000, static_cast<int32_t>(0x80000000u), nullptr, 2), 1020);

  struct TAltDown : TRulerSnapServices {
    int32_t MeasurementUnit() const override { return 1; }
    bool AltKeyDown() const override { return true; }
  };
  {
    ScopedService<TRulerSnapServices, TAltDown> altDown;
    EXPECT_EQ(SnapRulerPosition(100, 150, nullptr, true), 100);
    EXPECT_EQ(SnapRulerPosition(100, 400, nullptr, false), 86);
  }

  // The default reads the unit from the options.
  uint8_t saved = GetOptions().General.Measurements;
  GetOptions().General.Measurements = 1;
  EXPECT_EQ(SnapRulerPosition(100, static_cast<int32_t>(0x80000000u), nullptr, true), 86);
  GetOptions().General.Measurements = 2;
  EXPECT_EQ(SnapRulerPosition(1000, static_cast<int32_t>(0x80000000u), nullptr, true), 1020);
  GetOptions().General.Measurements = saved;
}

}  // namespace
