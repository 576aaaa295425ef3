#include "platform/system/text_services.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(TextServices, CaseMappingFollowsTheLanguage) {
  const struct {
    const char* locale;
    std::u16string text, upper, lower;
  } cases[] = {
      {"en-US", u"istanbul I", u"ISTANBUL I", u"istanbul i"},
      {"tr-TR", u"istanbul I", u"\u0130STANBUL I", u"istanbul \u0131"},
      {"de", u"stra\u00DFe", u"STRASSE", u"stra\u00DFe"},
      {"el", u"\u03AC", u"\u0391", u"\u03AC"},  // Greek capitals lose their accent
      {"", u"\u00E9a", u"\u00C9A", u"\u00E9a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale);
    EXPECT_EQ(plat::ToUpperForLocale(c.text, c.locale), c.upper);
    EXPECT_EQ(plat::ToLowerForLocale(c.text, c.locale), c.lower);
  }
  EXPECT_EQ(plat::FoldCase(u"\u00C9I"), u"\u00E9i");
  EXPECT_EQ(plat::FoldCase(u"I", true), u"\u0131");
}

TEST(TextServices, CharacterClasses) {
  const struct {
    char32_t ch;
    bool alpha, alnum, digit, upper, space, punct;
  } cases[] = {
      {U'a', true, true, false, false, false, false},
      {U'\u00C9', true, true, false, true, false, false},
      {U'\u0416', true, true, false, true, false, false},
      {U'7', false, true, true, false, false, false},
      {U'\u0663', false, true, true, false, false, false},  // Arabic-Indic three
      {U' ', false, false, false, false, true, false},
      {U'\u00A0', false, false, false, false, true, false},
      {U',', false, false, false, false, false, true},
      {U'\u00BF', false, false, false, false, false, true},
      {U'\U0001D400', true, true, false, true, false, false},  // outside the basic plane
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<uint32_t>(c.ch));
    EXPECT_EQ(plat::IsCharAlpha(c.ch), c.alpha);
    EXPECT_EQ(plat::IsCharAlphaNumeric(c.ch), c.alnum);
    EXPECT_EQ(plat::IsCharDigit(c.ch), c.digit);
    EXPECT_EQ(plat::IsCharUpper(c.ch), c.upper);
    EXPECT_EQ(plat::IsCharSpace(c.ch), c.space);
    EXPECT_EQ(plat::IsCharPunct(c.ch), c.punct);
  }
  EXPECT_TRUE(plat::IsCharLower(U'\u00DF'));
}

TEST(TextServices, StripDiacriticsKeepsBaseLetters) {
  const struct {
    std::u16string in, out;
  } cases[] = {
      {u"\u00E9t\u00E9", u"ete"},
      {u"\u00C5ngstr\u00F6m", u"Angstrom"},
      {u"\u0141\u00F3d\u017A", u"Lodz"},
      {u"e\u0301", u"e"},              // decomposed input
      {u"\u00DF\u00E6\u0416", u"\u00DF\u00E6\u0416"},  // no base letter: kept
      {u"\u0439", u"\u0438"},          // Cyrillic short i
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(plat::StripDiacritics(c.in), c.out);
}

TEST(TextServices, LanguageNamesAndNumberSymbols) {
  EXPECT_EQ(plat::LanguageDisplayName("de-DE", "en"), u"German (Germany)");
  EXPECT_EQ(plat::LanguageDisplayName("fr", "de"), u"Franz\u00F6sisch");
  EXPECT_EQ(plat::LanguageDisplayName("sr-SP-Latn", "en").substr(0, 7), u"Serbian");
  EXPECT_EQ(plat::LanguageDisplayName("qq", "en"), u"");
  EXPECT_EQ(plat::GetNumberSymbols("de-DE").DecimalSeparator, u",");
  EXPECT_EQ(plat::GetNumberSymbols("en-US").DecimalSeparator, u".");
  EXPECT_EQ(plat::GetNumberSymbols("en-US").ThousandsSeparator, u",");
}

TEST(TextServices, UserLocaleFromEnvironment) {
  const char* saved[3];
  const char* vars[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  for (int i = 0; i < 3; ++i) saved[i] = std::getenv(vars[i]);
  std::string keep[3];
  for (int i = 0; i < 3; ++i) keep[i] = saved[i] ? saved[i] : "";
  ::unsetenv("LC_ALL");
  ::unsetenv("LC_MESSAGES");
  ::setenv("LANG", "de_AT.UTF-8", 1);
  EXPECT_EQ(plat::UserLocaleName(), "de-AT");
  ::setenv("LANG", "C", 1);
  EXPECT_EQ(plat::UserLocaleName(), "en-US");
  ::setenv("LC_ALL", "sr_RS@latin", 1);
  EXPECT_EQ(plat::UserLocaleName(), "sr-RS");
  for (int i = 0; i < 3; ++i) {
    if (saved[i]) ::setenv(vars[i], keep[i].c_str(), 1);
    else ::unsetenv(vars[i]);
  }
}

}  // namespace
