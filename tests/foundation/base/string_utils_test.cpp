#include "foundation/base/string_utils.h"

#include <gtest/gtest.h>

#include "foundation/base/service_slot.h"
#include "foundation/text/code_pages.h"

using namespace qv;

namespace {

TEST(StringUtils, FindRoutines) {
  const char block[] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(FindByte(block, 'd', 4), 3);
  EXPECT_EQ(FindByte(block, 'd', 3), -1);
  EXPECT_EQ(FindByte(block, 'x', 4), -1);
  const char16_t wide[] = u"ab\u0416c";
  EXPECT_EQ(FindWideChar(wide, u'\u0416', 4), 2);
  EXPECT_EQ(FindWideChar(wide, u'z', 4), -1);
  EXPECT_EQ(FindControlChar("ab\tc", 4), 2);
  EXPECT_EQ(FindControlChar("abc", 3), 3);
  EXPECT_EQ(FindControlChar("", 0), 0);
}

TEST(StringUtils, BarsAndLineBreaks) {
  const struct {
    std::string bars, breaks;
  } cases[] = {
      {"a||b", "a\r\nb"},
      {"|||", "\r\n|"},
      {"", ""},
      {"||||", "\r\n\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(BarsToLineBreaks(c.bars), c.breaks) << c.bars;
  EXPECT_EQ(LineBreaksToBars("a\r\nb\rc\nd"), "a||b\rc\nd");
  EXPECT_EQ(ReplaceChar(std::string("a.b.c"), '.', ','), "a,b,c");
}

TEST(StringUtils, HexToInt) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {
      {"ff", 255},          {"FF", 255},          {"7FFFFFFF", 2147483647},
      {"80000000", NOT_SET_VALUE}, {"G", NOT_SET_VALUE}, {"", NOT_SET_VALUE},
      {"1ffffffff", NOT_SET_VALUE},  // ninth digit carries no weight, but the rest is negative
      {"100000001", 1},     // only the last eight digits count
      {"0", 0},             {"12g4", NOT_SET_VALUE},
  };
  for (const auto& c : cases) EXPECT_EQ(HexToInt(c.text), c.value) << c.text;
}

TEST(StringUtils, WideHexText) {
  EXPECT_EQ(WideToHexText(u"A"), "4100");
  EXPECT_EQ(WideToHexText(u"\u0416\xFFFF"), "1604FFFF");
  EXPECT_EQ(HexTextToWide("4100"), u"A");
  EXPECT_EQ(HexTextToWide("1604ffff"), u"\u0416\xFFFF");
  EXPECT_EQ(HexTextToWide("41004"), u"A");  // a partial unit is dropped
  const std::u16string all = u"x\U0001F600\u00E9";
  EXPECT_EQ(HexTextToWide(WideToHexText(all)), all);
}

TEST(StringUtils, NumberFormatting) {
  const struct {
    double value;
    int decimals;
    const char* expected;
  } cases[] = {
      {1234567, 0, "1 234 567"}, {999, 0, "999"},        {1000, 0, "1 000"},
      {-1234.5, 0, "-1 235"},    {2.5, 0, "3"},          {15.999998, 2, "16.00"},
      {0.125, 2, "0.13"},        {-0.001, 2, "0.00"},    {1234567.891, 2, "1 234 567.89"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatNumberN(c.value, c.decimals, " ", "."), c.expected) << c.value;
  const std::string dec = LocaleDecimalSeparator();
  EXPECT_EQ(FormatThousands(1234567.4), "1 234 567");
  EXPECT_EQ(UseDecimalSeparator("1,5 and 2.5"), "1" + dec + "5 and 2" + dec + "5");
}

TEST(StringUtils, StripCapitalAccents) {
  const std::string src = "\xC0\xC9\xCE\xD4\xDB\xC7\xE9Z";  // À É Î Ô Û Ç é Z
  std::string dst(src.size(), '\0');
  StripCapitalAccents(src.data(), dst.data(), static_cast<int32_t>(src.size()));
  EXPECT_EQ(dst, "AEIOU\xC7\xE9Z");  // Ç and lower-case é are not in the table
  const std::u16string wsrc = u"\u00C0\u00DA\u00C7\u0416";
  std::u16string wdst(wsrc.size(), u'\0');
  StripCapitalAccentsW(wsrc.data(), wdst.data(), 4);
  EXPECT_EQ(wdst, u"AU\u00C7\u0416");
}

class FrenchCapitals : public TCapitalAccentsPolicy {
 public:
  bool AccentFreeCapitals(int32_t language) const override { return (language & 0x3FF) == 12; }
};

TEST(StringUtils, UpperCaseAndComparisonByLanguage) {
  const int32_t turkish = 1055, english = 1033, french = 1036, german = 1031;
  EXPECT_EQ(UpperCaseForLanguage(turkish, u"istanbul"), u"\u0130STANBUL");
  EXPECT_EQ(UpperCaseForLanguage(english, u"istanbul"), u"ISTANBUL");
  EXPECT_EQ(UpperCaseForLanguage(german, u"stra\u00DFe"), u"STRA\u00DFE");  // length kept
  EXPECT_EQ(UpperCaseForLanguage(12345, u"abc"), u"ABC");  // unknown language: root rules
  EXPECT_TRUE(SameTextForLanguage(english, u"Caf\u00E9", u"CAF\u00C9"));
  EXPECT_FALSE(SameTextForLanguage(english, u"abc", u"abcd"));
  EXPECT_FALSE(SameTextForLanguage(french, u"\u00C9t\u00E9", u"ETE"));
  {
    ScopedService<TCapitalAccentsPolicy, FrenchCapitals> frenchCapitals;
    EXPECT_TRUE(SameTextForLanguage(french, u"\u00C9t\u00E9", u"ETE"));
    EXPECT_TRUE(SameTextForLanguage(french, std::string("\xE9t\xE9"), std::string("ETE")));
    EXPECT_FALSE(SameTextForLanguage(english, u"\u00C9t\u00E9", u"ETE"));
  }
  EXPECT_FALSE(SameTextForLanguage(french, u"\u00C9t\u00E9", u"ETE"));
  // The byte form works in the program's code page (y-diaeresis has its capital at 0x9F) and
  // keeps a byte whose capital would not be one byte (sharp s).
  EXPECT_EQ(UpperCaseForLanguage(english, std::string("caf\xE9 \xFF \xDF")),
            "CAF\xC9 \x9F \xDF");
}

}  // namespace
