#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>

#include "platform/gfx/canvas.h"
#include "platform/gfx/font.h"
#include "support/test_env.h"

namespace plat {
namespace {

LogFont Face(const std::string& name, int32_t height = -16) {
  LogFont lf;
  lf.FaceName = name;
  lf.Height = height;
  return lf;
}

bool FamilyInstalled(const std::string& name) {
  for (const FontFamilyInfo& f : EnumFontFamilies())
    if (f.Name == name) return true;
  return false;
}

TEST(FontTest, DocumentFontsResolveToMetricCompatibleFaces) {
  const struct {
    const char* asked;
    const char* selected;
  } cases[] = {
      {"Times New Roman", "Liberation Serif"}, {"Arial", "Liberation Sans"},
      {"Courier New", "Liberation Mono"},      {"Calibri", "Carlito"},
      {"Cambria", "Caladea"},                  {"times new roman", "Liberation Serif"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.asked);
    Font f(Face(c.asked));
    EXPECT_EQ(f.FaceName(), c.selected);
    EXPECT_FALSE(f.Substituted());
    Bitmap bmp(4, 4);
    Canvas canvas(bmp);
    canvas.SetFont(f);
    EXPECT_EQ(canvas.TextFace(), c.selected);
  }
}

TEST(FontTest, SymbolResolvesToASymbolFace) {
  if (!FamilyInstalled("Standard Symbols PS")) GTEST_SKIP() << "no symbol face installed";
  LogFont lf = Face("Symbol");
  lf.CharSet = charset::Symbol;
  Font f(lf);
  EXPECT_EQ(f.FaceName(), "Standard Symbols PS");
  EXPECT_FALSE(f.Substituted());
  EXPECT_TRUE(f.IsSymbolFace());
  // Byte codes and their private-use characters name the same glyphs.
  EXPECT_EQ(f.DecodeBytes("a"), u"\uF061");
  EXPECT_GT(f.ByteWidth('a'), 0);
  EXPECT_EQ(f.ByteWidth('a'), f.CharAdvance(0xF061));
}

TEST(FontTest, MissingFaceFallsBackAndSaysSo) {
  Font f(Face("Qv No Such Face"));
  EXPECT_TRUE(f.Substituted());
  EXPECT_FALSE(f.FaceName().empty());
  EXPECT_NE(f.FaceName(), "Qv No Such Face");
  EXPECT_GT(f.Metrics().Height, 0);
  EXPECT_GT(f.TextWidth(std::string_view("abc")), 0);
}

TEST(FontTest, AdvancesAreUnhintedDesignWidths) {
  // At one pixel per font unit the advances are the design advances themselves (Liberation
  // Sans: 2048 units per em; "a" 1139, "W" 1933, space 569).
  Font f(Face("Arial", -2048));
  EXPECT_EQ(f.CharAdvance(U'a'), 1139);
  EXPECT_EQ(f.CharAdvance(U'W'), 1933);
  EXPECT_EQ(f.CharAdvance(U' '), 569);
  // At 16 pixels: 1139 * 16 / 2048 = 8.9 rounds to 9.
  EXPECT_EQ(Font(Face("Arial", -16)).CharAdvance(U'a'), 9);
}

TEST(FontTest, StringWidthIsTheSumOfAdvances) {
  const std::string bytes = "The quick brown fox, \x80 \x93quoted\x94 \xE9t\xE9.";
  std::u16string text = u"Grüße — ὕδωρ \U0001F600 x_y";
  text[text.size() - 2] = char16_t(0xD800);  // a lone surrogate measures 0
  for (const char* face : {"Times New Roman", "Arial", "Courier New", "Calibri", "Cambria"})
    for (int32_t h : {-11, -16, 21, -160}) {
      SCOPED_TRACE(std::string(face) + " " + std::to_string(h));
      Font f(Face(face, h));
      int32_t sum = 0;
      for (char c : bytes) sum += f.ByteWidth(uint8_t(c));
      EXPECT_EQ(f.TextWidth(bytes), sum);
      int32_t usum = 0;
      for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00) {
          usum += f.CharAdvance(0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00));
          ++i;
        } else {
          usum += f.CharAdvance(c);
        }
      }
      EXPECT_EQ(f.TextWidth(text), usum);
      // Bytes of the code page measure as their characters.
      EXPECT_EQ(f.ByteWidth(0x80), f.CharAdvance(0x20AC));
      EXPECT_EQ(f.ByteWidth(0xE9), f.CharAdvance(0xE9));
      EXPECT_EQ(f.TextWidth(bytes), f.TextWidth(f.DecodeBytes(bytes)));
      Bitmap bmp(1, 1);
      Canvas canvas(bmp);
      canvas.SetFont(f);
      EXPECT_EQ(canvas.TextExtent(bytes).cx, sum);
    }
}

TEST(FontTest, HeightsFollowTheSignConvention) {
  for (int32_t h : {-8, -13, -16, -27, -100, 10, 19, 37, 120}) {
    SCOPED_TRACE(h);
    const TextMetrics& m = Font(Face("Times New Roman", h)).Metrics();
    EXPECT_EQ(m.Height, m.Ascent + m.Descent);
    if (h > 0) {
      EXPECT_EQ(m.Height, h);  // a positive height is the cell height
    } else {
      EXPECT_GE(m.Height, -h);  // a negative one the em size, leading on top
      EXPECT_EQ(m.InternalLeading, m.Height + h);
    }
    EXPECT_GT(m.AveCharWidth, 0);
    EXPECT_GE(m.MaxCharWidth, m.AveCharWidth);
  }
}

TEST(FontTest, AbsurdSizesAreCapped) {
  for (int32_t h : {INT32_MIN, INT32_MAX}) {
    const TextMetrics& m = Font(Face("Arial", h)).Metrics();
    EXPECT_GT(m.Height, 0);
    EXPECT_LE(m.Height, 2 * 65535);
  }
}

TEST(FontTest, BoldAndWidthChangeAdvances) {
  LogFont bold = Face("Arial", -100);
  bold.Weight = 700;
  EXPECT_GT(Font(bold).CharAdvance(U'b'), Font(Face("Arial", -100)).CharAdvance(U'b'));
  LogFont narrow = Face("Arial", -100);
  narrow.Width = Font(Face("Arial", -100)).Metrics().AveCharWidth / 2;
  EXPECT_LT(Font(narrow).CharAdvance(U'a'), Font(Face("Arial", -100)).CharAdvance(U'a') * 3 / 4);
}

TEST(FontTest, AbcWidthsAddUpToTheAdvance) {
  Font f(Face("Times New Roman", -40));
  for (char32_t c : {U'f', U'j', U'W', U' ', U'\u00E9'}) {
    const AbcWidth abc = f.CharAbc(c);
    EXPECT_EQ(abc.A + abc.B + abc.C, f.CharAdvance(c)) << int(c);
  }
  const GlyphMetrics gm = f.GetGlyphMetrics(U'H');
  EXPECT_GT(gm.BlackBoxX, 0);
  EXPECT_GT(gm.BlackBoxY, 0);
  EXPECT_LE(gm.GlyphOrigin.y, f.Metrics().Ascent);
  EXPECT_FALSE(f.GetGlyphOutline(U'O').Segments.empty());
}

TEST(FontTest, KerningPairsComeFromKernAndGposTables) {
  // Liberation Sans keeps a 'kern' table, Carlito only GPOS pair adjustments.
  for (const char* face : {"Arial", "Calibri"}) {
    SCOPED_TRACE(face);
    Font f(Face(face, -200));
    const auto& pairs = f.KerningPairs();
    ASSERT_FALSE(pairs.empty());
    EXPECT_TRUE(std::is_sorted(pairs.begin(), pairs.end(), [](const KerningPair& a, const KerningPair& b) {
      return a.First != b.First ? a.First < b.First : a.Second < b.Second;
    }));
    auto av = std::find_if(pairs.begin(), pairs.end(),
                           [](const KerningPair& p) { return p.First == u'A' && p.Second == u'V'; });
    ASSERT_NE(av, pairs.end());
    EXPECT_LT(av->Amount, 0);
    const auto& bytePairs = f.ByteKerningPairs();
    EXPECT_TRUE(std::any_of(bytePairs.begin(), bytePairs.end(), [&](const KerningPair& p) {
      return p.First == 'A' && p.Second == 'V' && p.Amount == av->Amount;
    }));
  }
  // A monospaced face has nothing to kern.
  EXPECT_TRUE(Font(Face("Courier New", -16)).KerningPairs().empty());
}

TEST(FontTest, CoverageAndTables) {
  Font f(Face("Arial"));
  EXPECT_TRUE(f.Covers(U'A'));
  EXPECT_TRUE(f.Covers(0x20AC));
  EXPECT_FALSE(f.Covers(0x4E00));
  EXPECT_FALSE(f.CharacterRanges().empty());
  EXPECT_FALSE(f.TableData("cmap").empty());
  EXPECT_TRUE(f.TableData("zzzz").empty());
  EXPECT_TRUE(f.TableData("cm").empty());
}

TEST(FontTest, FamiliesAreSortedAndKnown) {
  const auto families = EnumFontFamilies();
  auto lower = [](std::string s) {
    for (char& c : s) c = char(std::tolower(uint8_t(c)));
    return s;
  };
  for (size_t i = 1; i < families.size(); ++i)
    EXPECT_LT(lower(families[i - 1].Name), lower(families[i].Name));
  auto find = [&](const std::string& n) {
    return std::find_if(families.begin(), families.end(), [&](const FontFamilyInfo& f) { return f.Name == n; });
  };
  ASSERT_NE(find("Liberation Mono"), families.end());
  EXPECT_EQ(find("Liberation Mono")->PitchAndFamily & 3, 1);  // fixed pitch
  EXPECT_EQ(find("Liberation Sans")->CharSet, charset::Ansi);
  EXPECT_FALSE(EnumFontFiles().empty());
}

TEST(FontTest, ProcessFontFilesComeAndGo) {
  EXPECT_FALSE(AddFontFile("/nonexistent/qv-font.ttf"));
  EXPECT_FALSE(RemoveFontFile("/nonexistent/qv-font.ttf"));
  const std::string dir = qvtest::MakeTempDir("fonts");
  qvtest::WriteFile(dir + "/broken.ttf", std::string("\0\1\0\0garbage", 11));
  EXPECT_FALSE(AddFontFile(dir + "/broken.ttf"));
  const std::string copy = dir + "/own.ttf";
  qvtest::WriteFile(copy, qvtest::ReadFile(Font(Face("Arial")).FilePath()));
  EXPECT_TRUE(AddFontFile(copy));
  const auto files = EnumFontFiles();
  EXPECT_TRUE(std::any_of(files.begin(), files.end(), [&](const FontFileInfo& f) { return f.Path == copy; }));
  EXPECT_EQ(Font(Face("Arial")).FaceName(), "Liberation Sans");
  EXPECT_TRUE(RemoveFontFile(copy));
  const auto after = EnumFontFiles();
  EXPECT_FALSE(std::any_of(after.begin(), after.end(), [&](const FontFileInfo& f) { return f.Path == copy; }));
}

}  // namespace
}  // namespace plat
