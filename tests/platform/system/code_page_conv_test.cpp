#include "platform/system/code_page_conv.h"

#include <gtest/gtest.h>

namespace {

struct PageCase {
  uint32_t codePage;
  std::u16string text;
  std::string bytes;  // the page's encoding of text
};

TEST(CodePageConv, RoundTripsEveryPage) {
  const PageCase cases[] = {
      {1250, u"A\u0141\u0159", "A\xA3\xF8"},
      {1251, u"\u0416\u044F", "\xC6\xFF"},
      {1252, u"\u20AC\u00E9\u201C", "\x80\xE9\x93"},
      {1253, u"\u03A9\u03B1", "\xD9\xE1"},
      {1254, u"\u011F\u0130", "\xF0\xDD"},
      {1255, u"\u05D0\u05EA", "\xE0\xFA"},
      {1256, u"\u0639\u060C", "\xDA\xA1"},
      {1257, u"\u0105\u0160", "\xE0\xD0"},
      {1258, u"\u0110\u20AB", "\xD0\xFE"},
      {874, u"\u0E01\u0E3F", "\xA1\xDF"},
      {437, u"\u00E9\u2591", "\x82\xB0"},
      {850, u"\u00E9\u00C1", "\x82\xB5"},
      {10000, u"\u00E9\u00C4\u2122", "\x8E\x80\xAA"},
      {932, u"\u3042\u6F22", "\x82\xA0\x8A\xBF"},
      {936, u"\u4E2D\u6587", "\xD6\xD0\xCE\xC4"},
      {949, u"\uD55C\uAE00", "\xC7\xD1\xB1\xDB"},
      {950, u"\u4E2D\u6587", "\xA4\xA4\xA4\xE5"},
      {65001, u"\u00E9\U0001F600", "\xC3\xA9\xF0\x9F\x98\x80"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.codePage);
    EXPECT_TRUE(plat::IsCodePageSupported(c.codePage));
    bool replaced = true;
    EXPECT_EQ(plat::Utf16ToCodePage(c.codePage, c.text, '?', &replaced), c.bytes);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(plat::CodePageToUtf16(c.codePage, c.bytes), c.text);
  }
}

TEST(CodePageConv, UnmappableCharactersAreReplaced) {
  const struct {
    uint32_t codePage;
    std::u16string text;
    std::string expected;
  } cases[] = {
      {1252, u"a\u0416b", "a?b"},                // Cyrillic in a Western page
      {1251, u"\u20AC\u00E9", "\x88?"},           // euro exists in 1251, e-acute does not
      {932, u"a\u0416\U0001F600b", "a\x84\x47?b"},  // an astral character costs one replacement
      {936, u"\xD800x", "?x"},                    // a lone surrogate
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.codePage);
    bool replaced = false;
    EXPECT_EQ(plat::Utf16ToCodePage(c.codePage, c.text, '?', &replaced), c.expected);
    EXPECT_TRUE(replaced);
  }
}

TEST(CodePageConv, SingleBytePagesKeepEveryByteOneToOne) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (uint32_t cp : {1250u, 1251u, 1252u, 1253u, 1255u, 874u, 437u, 10000u}) {
    SCOPED_TRACE(cp);
    std::u16string wide = plat::CodePageToUtf16(cp, all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(plat::Utf16ToCodePage(cp, wide), all);  // undefined bytes survive as well
  }
  EXPECT_EQ(plat::CodePageToUtf16(1252, "\x81"), u"\u0081");
}

TEST(CodePageConv, InvalidMultiByteInputGivesReplacementAndGoesOn) {
  // 0x82 starts a two-byte Shift-JIS character; followed by a space it is invalid.
  EXPECT_EQ(plat::CodePageToUtf16(932, "\x82 a"), u"\uFFFD a");
  // Cut off at the end.
  EXPECT_EQ(plat::CodePageToUtf16(932, "a\x82"), u"a\uFFFD");
}

TEST(CodePageConv, UnknownPagesReadAsWestern) {
  EXPECT_FALSE(plat::IsCodePageSupported(1234));
  EXPECT_EQ(plat::CodePageToUtf16(1234, "\x80"), u"\u20AC");
  EXPECT_EQ(plat::ByteOfChar(1251, u'\u0416'), 0xC6);
  EXPECT_EQ(plat::ByteOfChar(1252, u'\u0416'), -1);
}

}  // namespace
