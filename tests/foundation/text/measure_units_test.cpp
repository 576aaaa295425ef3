#include "foundation/text/measure_units.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/base/string_utils.h"
#include "foundation/settings/options_holder.h"

using namespace qv;

namespace {

// Sets the user's locale for the extent of a test.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* locale) { ::setenv("LC_ALL", locale, 1); }
  ~ScopedLocale() { ::unsetenv("LC_ALL"); }
};

TEST(MeasureUnits, ConversionsRoundToTheNearestValueAndBack) {
  struct Case {
    int32_t twips, cm, inch, pt, pica, mm;
  } cases[] = {
      {720, 127, 50, 3600, 300, 1270},
      {1440, 254, 100, 7200, 600, 2540},
      {1, 0, 0, 10, 0, 0},          // half a hundredth of a point rounds up to a tenth
      {-720, -127, -50, -3600, -300, -1270},
      {567, 100, 39, 2840, 236, 1000},  // one centimetre; points kept to a tenth (28.35 -> 28.4)
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TwipsToCm100(c.twips), c.cm) << c.twips;
    EXPECT_EQ(TwipsToInch100(c.twips), c.inch) << c.twips;
    EXPECT_EQ(TwipsToPt100(c.twips), c.pt) << c.twips;
    EXPECT_EQ(TwipsToPica100(c.twips), c.pica) << c.twips;
    EXPECT_EQ(TwipsToMm100(c.twips), c.mm) << c.twips;
    EXPECT_EQ(TwipsToUnits100(c.twips, muCentimetres), c.cm);
    EXPECT_EQ(TwipsToUnits100(c.twips, 99), c.mm);  // any other unit is millimetres
  }
  EXPECT_EQ(Cm100ToTwips(254), 1440);
  EXPECT_EQ(Inch100ToTwips(50), 720);
  EXPECT_EQ(Pt100ToTwips(3600), 720);
  EXPECT_EQ(Pica100ToTwips(300), 720);
  EXPECT_EQ(Mm100ToTwips(2540), 1440);
  EXPECT_EQ(Units100ToTwips(127, muCentimetres), 720);
  EXPECT_EQ(Units100ToTwips(-127, muCentimetres), -720);
  // Huge values saturate instead of wrapping.
  EXPECT_EQ(TwipsToPt100(INT32_MAX), INT32_MAX);
}

TEST(MeasureUnits, LengthsAreWrittenInEachUnitWithTheDecimalSeparator) {
  struct Case {
    int32_t twips, unit;
    const char* dot;    // with "." as separator
    const char* comma;  // with ","
  } cases[] = {
      {720, muCentimetres, "1.27 cm", "1,27 cm"},
      {720, muInches, "0.5\"", "0,5\""},
      {720, muPoints, "36 pt", "36 pt"},
      {720, muPicas, "3 pi", "3 pi"},
      {720, muMillimetres, "13 mm", "13 mm"},  // 12.7 rounded
      {1440, muInches, "1\"", "1\""},
      {1, muPoints, "0 pt", "0 pt"},
      {10, muPoints, "0 pt", "0 pt"},    // 0.5 pt: halves go to the even neighbour
      {30, muPoints, "2 pt", "2 pt"},    // 1.5 pt
      {-720, muCentimetres, "-1.27 cm", "-1,27 cm"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TwipsToUnitText(c.twips, c.unit, "."), c.dot) << c.twips << " " << c.unit;
    EXPECT_EQ(TwipsToUnitText(c.twips, c.unit, ","), c.comma) << c.twips << " " << c.unit;
  }
  EXPECT_STREQ(GetUnitSuffix(muPicas), " pi");

  // The one-argument form uses the user's unit and the locale's separator.
  TOptions& options = GetOptions();
  const uint8_t saved = options.General.Measurements;
  options.General.Measurements = muCentimetres;
  {
    ScopedLocale german("de_DE.UTF-8");
    ASSERT_EQ(LocaleDecimalSeparator(), ",");
    EXPECT_EQ(TwipsToUnitText(720), "1,27 cm");
  }
  {
    ScopedLocale english("en_US.UTF-8");
    EXPECT_EQ(TwipsToUnitText(720), "1.27 cm");
  }
  options.General.Measurements = saved;
}

TEST(MeasureUnits, PaperAndEnvelopeSizes) {
  EXPECT_EQ(FindPaperSize(11906, 16838), 9);   // A4 within 20 twips
  EXPECT_EQ(FindPaperSize(16838, 11906), 9);   // either way round
  EXPECT_EQ(FindPaperSize(11950, 16838), 35);  // custom
  EXPECT_EQ(FindPaperSize(6236, 12472), 31);   // an envelope row also answers
  EXPECT_EQ(FindEnvelopeSize(12240, 15840), -1);
  EXPECT_EQ(FindEnvelopeSize(5940, 13680), 14);
  EXPECT_EQ(PaperSizeCode(11905, 16838), 9);
  EXPECT_EQ(PaperSizeCode(1, 1), 0);
  EXPECT_STREQ(PaperSizes[CustomPaperSize].Caption, "custom");
}

TEST(MeasureUnits, ColoursMapToTheNearestIndexColour) {
  EXPECT_EQ(ColorToIco(0x0000FE, 0x80000000u), 6);   // red
  EXPECT_EQ(ColorToIco(0x0000FF, 0x0000FF), 6);      // the avoided colour is the colour itself
  EXPECT_EQ(ColorToIco(0x0000FE, 0x0000FF), 13);     // dark red
  EXPECT_EQ(ColorToIco(0xFF000000u, 0x80000000u), 0);
  EXPECT_EQ(ColorToIco(0x404040, 0x80000000u), 1);   // equal distances: the lower index
  EXPECT_FALSE(IsNonIcoColor(0xC0C0C0));
  EXPECT_TRUE(IsNonIcoColor(0xC0C0C1));
}

TEST(MeasureUnits, UnderlineCodes) {
  EXPECT_EQ(UnderlineStyleIndex(0), 0);
  EXPECT_EQ(UnderlineStyleIndex(11), 9);
  EXPECT_STREQ(UnderlineWords[9], "wave underline");
  EXPECT_EQ(UnderlineStyleIndex(55), 17);
  EXPECT_EQ(UnderlineStyleIndex(5), -1);
}

}  // namespace
