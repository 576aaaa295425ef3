// Word wrapping at spaces, as labels and hint windows break their text.
#include <gtest/gtest.h>

#include "platform/controls/control_look.h"

using namespace plat;

TEST(WrapAtSpaces, BreaksAtSpacesAndKeepsLongWordsWhole) {
  auto width = [](const std::u16string& t) { return int32_t(t.size()) * 10; };  // 10 per character
  struct Case {
    const char* name;
    std::u16string para;
    int32_t limit;
    std::vector<std::u16string> want;
  } cases[] = {
      {"fits", u"one two", 70, {u"one two"}},
      {"breaks before the word that passes", u"one two three", 70, {u"one two", u"three"}},
      {"a long word stands alone", u"a extraordinary b", 50, {u"a", u"extraordinary", u"b"}},
      {"empty paragraph is one empty line", u"", 50, {u""}},
      {"no room at all: a word a line", u"ab cd", 0, {u"ab", u"cd"}},
  };
  for (const Case& c : cases) {
    std::vector<std::u16string> out{u"kept"};
    WrapAtSpaces(c.para, c.limit, width, out);
    std::vector<std::u16string> want{u"kept"};  // appends after what is there
    want.insert(want.end(), c.want.begin(), c.want.end());
    EXPECT_EQ(out, want) << c.name;
  }
}
