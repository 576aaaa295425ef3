#include "platform/system/utf_codec.h"

#include <gtest/gtest.h>

namespace {

using plat::ReadUtf8Sequence;

TEST(UtfCodec, ReadsSequencesAndTellsCharactersFromInvalidValues) {
  struct Case {
    const char* name;
    std::string bytes;
    char32_t value;
    size_t length;
    bool character;
  };
  const Case cases[] = {
      {"ascii", "a", U'a', 1, true},
      {"two bytes", "\xC3\xA9", U'\u00E9', 2, true},
      {"four bytes", "\xF0\x9F\x98\x80", U'\U0001F600', 4, true},
      {"overlong", "\xC0\xAF", U'/', 2, false},
      {"encoded surrogate", "\xED\xA0\x80", 0xD800, 3, false},
      {"past the last code point", "\xF4\x90\x80\x80", 0x110000, 4, false},
      {"cut by the end", "\xE2\x82", 0, 0, false},
      {"stray continuation", "\x80", 0, 0, false},
      {"bad continuation", "\xE2x\x82", 0, 0, false},
  };
  for (const Case& c : cases) {
    const plat::Utf8Sequence seq = ReadUtf8Sequence(c.bytes, 0);
    EXPECT_EQ(seq.length, c.length) << c.name;
    if (seq.length > 0) {
      EXPECT_EQ(seq.value, c.value) << c.name;
    }
    EXPECT_EQ(seq.IsCharacter(), c.character) << c.name;
  }
}

TEST(UtfCodec, Utf16ToUtf8JoinsPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(plat::Utf16ToUtf8(u"a\u00E9\U0001F600"), "a\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(plat::Utf16ToUtf8(u"\xDC00" u"b\xD800"), "\xEF\xBF\xBD" "b\xEF\xBF\xBD");
  std::u16string back;
  plat::AppendUtf16(back, U'\U0001F600');
  EXPECT_EQ(back, u"\U0001F600");
}

}  // namespace
