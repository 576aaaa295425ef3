#include "foundation/text/code_pages.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

TEST(CodePages, LanguageCodePagesAndCharsets) {
  const struct {
    int32_t language;
    uint32_t codePage;
    int32_t charset;
  } cases[] = {
      {1033, 1252, ANSI_CHARSET},     {1049, 1251, RUSSIAN_CHARSET},
      {1045, 1250, EASTEUROPE_CHARSET}, {1032, 1253, GREEK_CHARSET},
      {1055, 1254, TURKISH_CHARSET},  {1037, 1255, HEBREW_CHARSET},
      {1025, 1256, ARABIC_CHARSET},   {1063, 1257, BALTIC_CHARSET},
      {1066, 1258, VIETNAMESE_CHARSET}, {1054, 874, THAI_CHARSET},
      {1041, 932, SHIFTJIS_CHARSET},  {2052, 936, GB2312_CHARSET},
      {1042, 949, HANGEUL_CHARSET},   {1028, 950, CHINESEBIG5_CHARSET},
      {3098, 1251, RUSSIAN_CHARSET},  {2074, 1250, EASTEUROPE_CHARSET},  // Serbian scripts
      {1081, 0, ANSI_CHARSET},        // Hindi: Unicode only
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    EXPECT_EQ(GetLocaleCodePage(c.language), c.codePage);
    EXPECT_EQ(GetLanguageCharset(c.language, false), c.charset);
    if (c.codePage != 0) {
      EXPECT_EQ(CodePageToCharset(c.codePage), c.charset);
      EXPECT_EQ(CharsetToCodePage(c.charset), c.codePage);
    }
  }
  EXPECT_EQ(CharsetToCodePage(99), DefaultCodePage);
  EXPECT_EQ(CodePageToCharset(12345), DefaultCharset);
}

TEST(CodePages, CodePageOfCharAndGuessing) {
  EXPECT_EQ(CodePageOfChar(8364, NO_CODE_PAGE), 1252u);
  EXPECT_EQ(CodePageOfChar(8211, 77), 77u);
  EXPECT_EQ(CodePageOfChar(0x0416, NO_CODE_PAGE), 1251u);
  EXPECT_EQ(CodePageOfChar(287, NO_CODE_PAGE), 1254u);
  EXPECT_EQ(CodePageOfChar(160, NO_CODE_PAGE), 1252u);
  ReaderCodePageSwitch = true;
  EXPECT_EQ(CodePageOfChar(160, NO_CODE_PAGE), NO_CODE_PAGE);
  EXPECT_EQ(CodePageOfChar(151, 5), 5u);
  ReaderCodePageSwitch = false;

  const struct {
    std::u16string text;
    uint32_t expected;
  } cases[] = {
      {u"plain ASCII", 1252},
      {u"", 999},
      {u"\u03B1 \u0436\u0436", 1251},     // one Greek, two Cyrillic
      {u"Western text \u0436", 1251},     // one Cyrillic letter decides
      {u"\u0105\u010D", 1250},            // equal counts: the lowest number
      {u"\u4E2D", 999},                   // nothing counted
  };
  for (const auto& c : cases)
    EXPECT_EQ(GuessCodePage(c.text.data(), static_cast<int32_t>(c.text.size()), 999), c.expected);
}

TEST(CodePages, SplitTextByCodePage) {
  const std::u16string text = u"ab\u0416\u0436\u4E2Dz\u20AC";
  std::string bytes;
  std::vector<int32_t> ends;
  std::vector<uint32_t> pages;
  SplitTextByCodePage(text.data(), bytes, static_cast<int32_t>(text.size()), ends, pages);
  EXPECT_EQ(ends, (std::vector<int32_t>{2, 4, 5, 7}));
  EXPECT_EQ(pages, (std::vector<uint32_t>{1252, 1251, NO_CODE_PAGE, 1252}));
  EXPECT_EQ(bytes, std::string("ab\xC6\xE6?z\x80"));
  SplitTextByCodePage(text.data(), bytes, 0, ends, pages);
  EXPECT_TRUE(ends.empty());
}

TEST(CodePages, NarrowWideConversions) {
  EXPECT_EQ(WideToCodePage(u"\u0416x", 1251), "\xC6x");
  EXPECT_EQ(WideToCodePage(u"\u0416x", 1252), "?x");
  EXPECT_EQ(WideToCodePage(u"\u3042x", 932), "?x");  // one byte a unit, also in a DBCS page
  EXPECT_EQ(CodePageToWide("\xC6", 1251), u"\u0416");
  char out[3];
  const std::u16string t = u"\u03B1\u03B2a";
  EXPECT_EQ(WideToAnsiGuessed(t.data(), out, 3), 1253u);
  EXPECT_EQ(std::string(out, 3), "\xE1\xE2" "a");
}

TEST(CodePages, Utf8Encoding) {
  const struct {
    std::u16string wide;
    std::string utf8;
  } cases[] = {
      {u"A", "A"},
      {u"\u00E9", "\xC3\xA9"},
      {u"\u20AC", "\xE2\x82\xAC"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},        // a pair becomes one 4-byte sequence
      {u"x\xD800y", "x\xED\xA0\x80y"},            // a lone surrogate keeps its 3-byte form
      {u"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WideToUtf8(c.wide), c.utf8);
    EXPECT_EQ(Utf8ToWide(c.utf8), c.wide);
  }
}

TEST(CodePages, Utf8DecodingResynchronises) {
  const struct {
    std::string utf8;
    std::u16string wide;
  } cases[] = {
      {"a\x80" "bcd", u"a\uFFFDbcd"},                   // stray continuation byte
      {"a\xFF" "bc", u"a\uFFFDbc"},                     // impossible lead byte
      {"\xC3" "abc", u"\uFFFDabc"},                     // broken two-byte sequence
      {"\xE2\x82" "xy", u"\uFFFDxy"},                   // broken three-byte sequence
      {"\xF0\x9F\x98\x80" "z", u"\U0001F600z"},         // four bytes, then goes on
      {"\xED\xA0\xBD\xED\xB8\x80", u"\U0001F600"},      // a pair in two 3-byte sequences
      {"\xC0\xAF" "a", u"\uFFFD\uFFFDa"},               // overlong slash is refused
      {"\xE0\x80\x80" "a", u"\uFFFDa"},                 // overlong three-byte form
      {"ab\xE2\x82", u"ab"},                            // cut off at the end: nothing
      {"ab\xF0", u"ab"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToWide(c.utf8), c.wide) << c.utf8;
}

TEST(CodePages, MacRomanToAnsi) {
  const std::string mac = "A\x80\x8E\xA7\xCA\xD8\xFC\xAA\xF0";
  std::string ansi(mac.size(), '\0');
  MacRomanToAnsi(mac.data(), ansi.data(), static_cast<int32_t>(mac.size()));
  EXPECT_EQ(ansi, "A\xC4\xE9\xDF\xA0\xFF\xB8\xAA\xF0");  // unlisted bytes keep their value
}

TEST(CodePages, CultureNames) {
  EXPECT_EQ(CultureNameCount(), 175u);
  EXPECT_EQ(NeutralNameCount(), 71u);
  const struct {
    const char* name;
    int32_t id;
  } fromName[] = {
      {"en-US", 1033}, {"en-XX", 1033}, {"1049", 1049}, {"xx", 0},     {"", 0},
      {"zh-TW", 1028}, {"zu-ZA", 1077}, {"af-ZA", 1078}, {"ar-AE", 14337}, {"kok-IN", 1111},
      {"sr-SP-Latn", 2074}, {"de", 1031}, {"EN-US", 0}, {"12ab", 0},   {"es-ES-ts", 1034},
  };
  for (const auto& c : fromName) EXPECT_EQ(LanguageIdFromName(c.name), c.id) << c.name;
  EXPECT_EQ(LanguageIdToName(1033), "en-US");
  EXPECT_EQ(LanguageIdToName(1055), "tr-TR");
  EXPECT_EQ(LanguageIdToName(1), "1");
  EXPECT_EQ(GetLanguageDisplayName(1), "");
  EXPECT_FALSE(GetLanguageDisplayName(1031).empty());
}

}  // namespace
