#include "foundation/base/number_words.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qv;

namespace {

struct TWordsCase {
  int32_t number;
  int32_t language;
  const char* expected;
};

TEST(NumberWords, LettersAndRoman) {
  EXPECT_EQ(IntToLetters(0), "");
  EXPECT_EQ(IntToLetters(-3), "");
  EXPECT_EQ(IntToLetters(1), "A");
  EXPECT_EQ(IntToLetters(26), "Z");
  EXPECT_EQ(IntToLetters(28), "BB");
  EXPECT_EQ(IntToLetters(52), "ZZ");
  EXPECT_EQ(IntToLetters(53), "AAA");

  const std::vector<std::pair<int32_t, const char*>> romans = {
      {0, ""}, {-5, ""}, {4, "IV"}, {9, "IX"}, {14, "XIV"}, {40, "XL"}, {90, "XC"},
      {400, "CD"}, {900, "CM"}, {1994, "MCMXCIV"}, {3999, "MMMCMXCIX"}, {4000, "MMMM"}};
  for (const auto& [n, text] : romans) {
    EXPECT_EQ(IntToRoman(n), text) << n;
    if (n > 0) {
      EXPECT_EQ(RomanToInt(text, -1), n) << text;
    }
  }
  EXPECT_EQ(RomanToInt("", -1), 0);
  EXPECT_EQ(RomanToInt("xiv", -1), -1);
  EXPECT_EQ(RomanToInt("X1", -1), -1);
  EXPECT_EQ(RomanToInt("IIII", -1), 4);
  EXPECT_EQ(RomanToInt("IC", -1), 99);
}

TEST(NumberWords, OrdinalSuffixes) {
  const std::vector<TWordsCase> cases = {
      {1, 9, "1st"},    {2, 9, "2nd"},     {3, 9, "3rd"},    {11, 9, "11th"},
      {22, 9, "22nd"},  {112, 9, "112th"}, {4, 0x409, "4th"}, {1, 12, "1er"},
      {2, 12, "2e"},    {2, 29, "2:a"},    {12, 29, "12:e"}, {21, 29, "21:a"},
      {3, 7, "3."},     {5, 10, "5\xBA"},  {1, 6, "1ste"},   {30, 6, "30te"},
      {14, 3, "14\xE8h"}, {7, 19, "7e"},   {5, 1, "5th"}};
  for (const auto& c : cases) EXPECT_EQ(FormatOrdinal(c.number, c.language), c.expected) << c.number;
}

// Cardinal words, including the corrected spellings (forty, siebzehn, ein- before another part,
// cien, the irregular Spanish hundreds, and the French plural of cents and vingts).
TEST(NumberWords, Cardinals) {
  const std::vector<TWordsCase> cases = {
      {0, 9, "Zero"},
      {21, 9, "Twenty-one"},
      {40, 9, "Forty"},
      {105, 9, "One hundred five"},
      {1000, 9, "One thousand"},
      {1234567, 9, "One million two hundred thirty-four thousand five hundred sixty-seven"},
      {2000000000, 9, "Two billion"},
      {-21, 9, "Twenty-one"},
      {44, 0x19, "Forty-four"},  // any other language falls back to English
      {0, 7, "Null"},
      {1, 7, "Eins"},
      {17, 7, "Siebzehn"},
      {21, 7, "Einundzwanzig"},
      {100, 7, "Hundert"},
      {101, 7, "Hunderteins"},
      {200, 7, "Zweihundert"},
      {1000, 7, "Eintausend"},
      {1100, 7, "Eintausendeinhundert"},
      {31001, 7, "Einunddrei\xDF" "igtausendeins"},
      {0, 10, "Cero"},
      {35, 10, "Treinta y cinco"},
      {100, 10, "Cien"},
      {101, 10, "Ciento uno"},
      {500, 10, "Quinientos"},
      {700, 10, "Setecientos"},
      {900, 10, "Novecientos"},
      {1100, 10, "Mil cien"},
      {2000, 10, "Dos mil"},
      {21000, 10, "Veinti\xFAn mil"},
      {31000, 10, "Treinta y un mil"},
      {0, 12, "Z\xE9ro"},
      {21, 12, "Vingt et un"},
      {71, 12, "Soixante et onze"},
      {72, 12, "Soixante-douze"},
      {80, 12, "Quatre-vingts"},
      {91, 12, "Quatre-vingt-onze"},
      {100, 12, "Cent"},
      {200, 12, "Deux cents"},
      {280, 12, "Deux cent quatre-vingts"},
      {1001, 12, "Mille un"},
      {80000, 12, "Quatre-vingt mille"},
      {200000, 12, "Deux cent mille"},
      {2000000, 12, "2000000"},
      {2000000, 7, "2000000"}};
  for (const auto& c : cases) {
    EXPECT_EQ(NumberToWords(c.number, c.language), c.expected) << c.number << " lang " << c.language;
  }
}

TEST(NumberWords, Ordinals) {
  const std::vector<TWordsCase> cases = {
      {0, 9, "Zeroth"},         {1, 9, "First"},          {21, 9, "Twenty-first"},
      {40, 9, "Fortieth"},      {100, 9, "One hundredth"}, {12, 9, "Twelfth"},
      {1, 7, "Erste"},          {2, 7, "Zweite"},          {3, 7, "Dritte"},
      {20, 7, "Zwanzigste"},    {100, 7, "Hundertste"},    {1000, 7, "Eintausendste"},
      {21, 7, "Einundzwanzigste"}, {17, 7, "Siebzehnte"},
      {35, 10, "Treinta y cinco"},
      {0, 12, "Z\xE9ro"},       {1, 12, "Premier"},        {2, 12, "Deuxi\xE8me"},
      {4, 12, "Quatri\xE8me"},  {5, 12, "Cinqui\xE8me"},   {9, 12, "Neuvi\xE8me"},
      {80, 12, "Quatre-vingti\xE8me"}, {200, 12, "Deux centi\xE8me"},
      {1000, 12, "Milli\xE8me"}};
  for (const auto& c : cases) {
    EXPECT_EQ(OrdinalToWords(c.number, c.language), c.expected) << c.number << " lang " << c.language;
  }
}

TEST(NumberWords, Base64) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"QUJD", "ABC"}, {"QQ==", "A"},  {"QUI=", "AB"}, {"", ""},
      {"QUJ", ""},     {"QU=D", ""},   {"QQ==QUJD", ""}, {"QU*D", ""},
      {"Q===", ""},    {"AP8A", std::string("\x00\xFF\x00", 3)}};
  for (const auto& [input, expected] : cases) {
    std::string text = input;
    DecodeBase64InPlace(text);
    EXPECT_EQ(text, expected) << input;
  }
}

}  // namespace
