// Text exchanged with other programs through the X11 clipboard: line breaks, characters beyond
// the basic plane and damaged input on both ways.
#include <gtest/gtest.h>

#include <string>

#include "platform/backend/x11_clipboard.h"

namespace {

TEST(ClipboardTextConversion, OutgoingAndIncomingText) {
  struct Case {
    const char* name;
    std::u16string text;  // as the controls hold it
    std::string utf8;     // as other programs see it
  };
  const Case cases[] = {
      {"plain", u"abc", "abc"},
      {"line breaks", u"a\r\nb\r\n", "a\nb\n"},
      {"accents and Cyrillic", u"\u00C4\u00DF \u043F", "\xC3\x84\xC3\x9F \xD0\xBF"},
      {"beyond the basic plane", u"x\U0001F600y", "x\xF0\x9F\x98\x80y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(plat::ClipboardTextToUtf8(c.text), c.utf8);
    EXPECT_EQ(plat::ClipboardTextFromUtf8(c.utf8), c.text);
  }
}

TEST(ClipboardTextConversion, DamagedTextBecomesReplacementCharacters) {
  struct Case {
    const char* name;
    std::string utf8;
    std::u16string text;
  };
  const Case cases[] = {
      {"cut sequence", "a\xE2\x82", u"a\uFFFD\uFFFD"},
      {"stray continuation", "\x80z", u"\uFFFDz"},
      {"overlong", "\xC0\xAF", u"\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD"},
      {"past the last code point", "\xF4\x90\x80\x80", u"\uFFFD"},
      {"lone carriage return kept", "a\rb", u"a\rb"},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::ClipboardTextFromUtf8(c.utf8), c.text) << c.name;
  EXPECT_EQ(plat::ClipboardTextToUtf8(u"a\xD800z"), "a\xEF\xBF\xBDz");  // a lone surrogate
}

}  // namespace
