#include "foundation/fonts/kerning_pairs.h"

#include <gtest/gtest.h>

#include "foundation/fonts/own_font.h"
#include "foundation/fonts/sfnt_builder.h"
#include "platform/gfx/font.h"
#include "support/test_env.h"

using namespace qv;

namespace {

TEST(KerningPairs, LooksUpPairsGivenInAnyOrder) {
  TKerningPairs pairs;
  pairs.SetPairs({{'V', 'A', -3}, {'A', 'W', -2}, {'A', 'V', -4}, {'T', 'o', -5}, {'A', 'T', -1},
                  {0x100, 'A', -9}, {'A', 0x2019, -7}});
  EXPECT_EQ(pairs.Count(), 7);
  EXPECT_EQ(pairs.Length, 56);
  const struct {
    uint8_t first, second;
    int32_t amount;
  } cases[] = {
      {'A', 'V', -4}, {'A', 'W', -2}, {'A', 'T', -1}, {'V', 'A', -3}, {'T', 'o', -5},
      {'A', 'B', 0},  {'A', 'Z', 0},  {'A', '0', 0},  {'o', 'T', 0},  {0, 'A', 0},
      {255, 255, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(pairs.GetKerning(c.first, c.second), c.amount) << c.first << c.second;
}

TEST(KerningPairs, AssignKeepsLookupsWorking) {
  TKerningPairs source;
  source.SetPairs({{'T', 'o', -5}, {'A', 'V', -4}});
  TKerningPairs copy;
  copy.Assign(source);
  EXPECT_EQ(copy.GetKerning('A', 'V'), -4);
  TMemory raw;
  raw.SetData(source.Data, source.Length);
  TKerningPairs fromBytes;
  fromBytes.Assign(raw);
  EXPECT_EQ(fromBytes.GetKerning('T', 'o'), -5);
  EXPECT_EQ(fromBytes.Count(), 2);
}

TEST(KerningPairs, EmptyFontHasNoKerning) {
  TKerningPairs pairs;
  EXPECT_EQ(pairs.GetKerning('A', 'V'), 0);
  pairs.SetPairs({});
  EXPECT_EQ(pairs.Count(), 0);
  EXPECT_EQ(pairs.GetKerning('A', 'V'), 0);
}

using qvtest::OwnFont;

TEST(KerningPairs, FromTheFontsOwnTable) {
  qvtest::TSfntFont font;
  font.Family = "Qv Kern Plain";
  font.Ranges = {{'A', 'A', 2}, {'V', 'V', 3}, {'a', 'z', 4}};
  font.GlyphCount = 4 + 26;
  font.Kerning = {{2, 3, -100}, {3, 2, -80}, {4, 5, 30}};
  OwnFont own(font);
  ASSERT_TRUE(own.Added());
  const plat::Font f(plat::LogFont{"Qv Kern Plain", -1000});
  ASSERT_EQ(f.FaceName(), "Qv Kern Plain");
  const TKerningPairs pairs(f, TFontKey{});
  EXPECT_EQ(pairs.Count(), 3);
  EXPECT_EQ(pairs.GetKerning('A', 'V'), -100);
  EXPECT_EQ(pairs.GetKerning('V', 'A'), -80);
  EXPECT_EQ(pairs.GetKerning('a', 'b'), 30);
  EXPECT_EQ(pairs.GetKerning('b', 'a'), 0);
}

TEST(KerningPairs, OneGlyphForManyCharactersIsBounded) {
  // A face whose character map sends a whole range to one glyph, with a single kerning pair for
  // that glyph, stands for every pair of those characters: about four thousand million for the
  // whole plane. Past what the layout can use the face has no kerning; a few letters keep theirs.
  const struct {
    uint32_t last;
    bool kerned;
  } cases[] = {{0x7E, true}, {0x7FF, false}, {0xFFFD, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.last);
    qvtest::TSfntFont font;
    font.Family = "Qv Kern One Glyph";
    font.CmapFormat = 13;
    font.Ranges = {{0x20, c.last, 1}};
    font.Kerning = {{1, 1, -50}};
    OwnFont own(font);
    ASSERT_TRUE(own.Added());
    const plat::Font f(plat::LogFont{"Qv Kern One Glyph", -1000});
    ASSERT_EQ(f.FaceName(), "Qv Kern One Glyph");
    EXPECT_LE(f.KerningPairs().size(), size_t{95 * 95});
    const TKerningPairs pairs(f, TFontKey{});
    EXPECT_EQ(pairs.GetKerning('x', 'y'), c.kerned ? -50 : 0);
  }
}

}  // namespace
