// Characters typed by their code: the kind the digits name (OEM, ANSI or Unicode), the character
// that goes into the document through the insert-symbol edit, and the codes that insert nothing
// (lone surrogates among them, which would reach saved files).
#include <gtest/gtest.h>

#include <string>

#include "docwindow/char_by_code.h"
#include "doc_window_fixture.h"
#include "foundation/fonts/own_font.h"

using namespace qv;

namespace {

class CharByCodeTest : public dwtest::DocWindowTest {
 protected:
  dwtest::RecEditProviders& E() { return *(*edits); }
};

TEST_F(CharByCodeTest, CodesInsertOneCharacterOfTheirKind) {
  b->Add("Text");
  Show();
  struct Case {
    const char* text;
    bool inserted;
    int32_t value;
    uint8_t kind;  // 0 OEM, 1 ANSI, 2 Unicode
  };
  const Case cases[] = {
      {"00233", true, 0xE9, 2},
      {"0233", true, 233, 1},
      {"233", true, 0x398, 0},      // the OEM code page's character
      {"X2665", true, 0x2665, 2},
      {"31", true, 0x25BC, 0},      // the code page 437 graphic
      {"X1F600", true, 0x1F600, 2},  // beyond the basic plane: one whole character
      {"00010", false, 0, 0},        // a control code given with zeros
      {"XD800", false, 0, 0},        // a lone surrogate is refused
      {"XDFFF", false, 0, 0},
      {"XFFFF", false, 0, 0},
      {"0", false, 0, 0},
      {"12z", false, 0, 0},
  };
  for (const Case& c : cases) {
    E().Calls.clear();
    EXPECT_EQ(InsertCharByCode(Doc(), c.text), c.inserted) << c.text;
    if (!c.inserted) {
      EXPECT_TRUE(E().Calls.empty()) << c.text;
      continue;
    }
    ASSERT_EQ(E().Calls.size(), 1u) << c.text;
    EXPECT_EQ(E().Calls[0].Code, 46) << c.text;
    EXPECT_EQ(E().Calls[0].Value, c.value) << c.text;
    EXPECT_EQ(E().Calls[0].Kind, c.kind) << c.text;
    EXPECT_FALSE(E().Calls[0].Face.empty()) << c.text;
  }
}

TEST_F(CharByCodeTest, CharacterPastTheBasicPlaneGoesInWithAFontThatHasIt) {
  qvtest::TSfntFont font;
  font.Family = "Qv Cuneiform By Code";
  font.BasicPlaneMap = true;
  font.Ranges = {{'A', 'Z', 1}, {0x12000, 0x1201F, 27}};
  font.GlyphCount = 1 + 26 + 32;
  qvtest::OwnFont own(font);
  ASSERT_TRUE(own.Added());
  b->Add("Text");
  Show();
  // Inserted by its code, and typed.
  EXPECT_TRUE(InsertCharByCode(Doc(), "X12000"));
  Type("\xF0\x92\x80\x81");  // U+12001
  ASSERT_EQ(E().Calls.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(E().Calls[i].Code, 46) << i;
    EXPECT_EQ(E().Calls[i].Value, static_cast<int32_t>(0x12000 + i)) << i;
    EXPECT_EQ(E().Calls[i].Face, font.Family) << i;
    EXPECT_EQ(E().Calls[i].Kind, 2) << i;
  }
  // A character that no font has is reported, and remembered for the next search.
  E().Calls.clear();
  EXPECT_FALSE(InsertCharByCode(Doc(), "X13000"));
  EXPECT_TRUE(E().Calls.empty());
  ASSERT_FALSE((*box)->Texts.empty());
  EXPECT_EQ((*box)->Texts.back(), "No font on your system has a character with code 13000.");
  EXPECT_TRUE(FontManager()->IsCharMissing(0x13000));
}

}  // namespace
