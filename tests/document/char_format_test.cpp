#include "document/char_format.h"

#include <gtest/gtest.h>

#include "foundation/base/service_slot.h"
#include "foundation/fonts/font_manager.h"

using namespace qv;

namespace {

// Fonts 4 and 5 are one face in two character sets.
class PairedFaces : public TFontFaceSource {
 public:
  bool SameFace(int32_t a, int32_t b) const override {
    auto face = [](int32_t f) { return f == 5 ? 4 : f; };
    return face(a) == face(b);
  }
};

class CharFormatTest : public ::testing::Test {
 protected:
  ScopedService<TFontFaceSource, PairedFaces> faces_;
};

TEST_F(CharFormatTest, IndexOrderMatchesNames) {
  TCharFormat f;
  f[cpFont] = 1;
  f[cpUnderlineColor] = 2;
  f[cpLanguage] = 3;
  EXPECT_EQ(f.Font, 1);
  EXPECT_EQ(f.UnderlineColor, 2);
  EXPECT_EQ(f.Language, 3);
  EXPECT_THROW(f[23], std::out_of_range);
}

TEST_F(CharFormatTest, ProgramWideFormats) {
  EXPECT_TRUE(IsCharFormatEmpty(UnsetCharFormat));
  EXPECT_FALSE(HasUnsetCharProperty(DefaultCharFormat));
  EXPECT_EQ(DefaultCharFormat.Size, 24);
  EXPECT_EQ(DefaultCharFormat.CharStyle, -1);
  EXPECT_EQ(PlainCharFormat.Font, CharUnset);
  EXPECT_EQ(PlainCharFormat.Language, 0);
  EXPECT_EQ(UiBoldCharFormat.Bold, 1);
}

TEST_F(CharFormatTest, FillAndApply) {
  TCharFormat f;
  f.Bold = 1;
  f.Size = 40;
  FillUnsetCharFormat(f, DefaultCharFormat);
  EXPECT_EQ(f.Bold, 1);
  EXPECT_EQ(f.Size, 40);
  EXPECT_EQ(f.Scale, 100);

  TCharFormat before = f;
  ApplyCharFormat(f, UnsetCharFormat);
  EXPECT_TRUE(CharFormatsEqual(f, before));
  TCharFormat change;
  change.Italic = 1;
  ApplyCharFormat(f, change);
  EXPECT_EQ(f.Italic, 1);
  EXPECT_EQ(f.Size, 40);
}

TEST_F(CharFormatTest, FontFaceRulesOfTheSetOperations) {
  struct Case {
    int32_t font1, font2;
    bool equal;
    int32_t intersected;
    int32_t subtracted;
  };
  const Case cases[] = {
      {4, 5, false, 4, CharUnset},          // one face, two character sets
      {4, 6, false, CharUnset, 4},          // different faces
      {4, CharUnset, false, CharUnset, 4},  // one side unset
      {CharUnset, CharUnset, true, CharUnset, CharUnset},
      {6, 6, true, 6, CharUnset},
  };
  for (const Case& c : cases) {
    TCharFormat a = DefaultCharFormat, b = DefaultCharFormat;
    a.Font = c.font1;
    b.Font = c.font2;
    EXPECT_EQ(CharFormatsEqual(a, b), c.equal) << c.font1 << "/" << c.font2;
    TCharFormat i = a;
    IntersectCharFormat(i, b);
    EXPECT_EQ(i.Font, c.intersected) << c.font1 << "/" << c.font2;
    TCharFormat s = a;
    SubtractCharFormat(s, b);
    EXPECT_EQ(s.Font, c.subtracted) << c.font1 << "/" << c.font2;
  }
}

TEST_F(CharFormatTest, IntersectAndSubtractOtherProperties) {
  TCharFormat a = DefaultCharFormat, b = DefaultCharFormat;
  a.Bold = 1;
  b.Size = 30;
  TCharFormat i = a;
  IntersectCharFormat(i, b);
  EXPECT_EQ(i.Bold, CharUnset);
  EXPECT_EQ(i.Size, CharUnset);
  EXPECT_EQ(i.Italic, 0);

  TCharFormat s = a;
  SubtractCharFormat(s, a);
  EXPECT_TRUE(IsCharFormatEmpty(s));
  s = a;
  SubtractCharFormat(s, DefaultCharFormat);
  EXPECT_EQ(s.Bold, 1);
  EXPECT_EQ(s.Size, CharUnset);
  ClearCharFormat(s);
  EXPECT_TRUE(IsCharFormatEmpty(s));
}

}  // namespace

namespace {

// The font manager's face source, as the program's start-up registers it: one face in two
// character sets is one font to the set operations, while the two numbers stay different values.
class FontManagerFacesTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateFontManager(TFontManagerSetup{{}, 0}); }
  void TearDown() override { FreeFontManager(); }
  ScopedService<TFontFaceSource> faces_{MakeFontManagerFaceSource()};
};

TEST_F(FontManagerFacesTest, OneFaceInTwoCharacterSetsIntersectsAndSubtractsAsOneFont) {
  TFontManager& fm = *FontManager();
  for (const char* face : {"Liberation Serif", "Qv Face Not Installed"}) {
    SCOPED_TRACE(face);
    const int32_t western = fm.FontIndex(face, 0, false);
    const int32_t cyrillic = fm.FontIndex(face, 204, false);
    const int32_t other = fm.FontIndex("Qv Other Face Not Installed", 204, false);
    ASSERT_NE(western, cyrillic);
    TCharFormat a = DefaultCharFormat, b = DefaultCharFormat, c = DefaultCharFormat;
    a.Font = western;
    b.Font = cyrillic;
    c.Font = other;
    EXPECT_FALSE(CharFormatsEqual(a, b));

    TCharFormat i = a;
    IntersectCharFormat(i, b);
    EXPECT_EQ(i.Font, western);
    TCharFormat s = a;
    SubtractCharFormat(s, b);
    EXPECT_EQ(s.Font, CharUnset);

    i = a;
    IntersectCharFormat(i, c);
    EXPECT_EQ(i.Font, CharUnset);
    s = a;
    SubtractCharFormat(s, c);
    EXPECT_EQ(s.Font, western);
  }
  // Numbers the manager has not registered compare as numbers.
  EXPECT_FALSE(FontFaceSource().SameFace(100000, 100001));
  EXPECT_TRUE(FontFaceSource().SameFace(100000, 100000));
}

}  // namespace
