// Hostile font data: font files and collections with cut-off headers, absurd table counts and
// lengths, offsets past the end and random bytes; character maps whose segments overlap or run
// past the table. Such fonts add nothing or cover less, never fault or hang.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "foundation/fonts/char_coverage.h"
#include "foundation/fonts/font_files.h"
#include "foundation/fonts/kerning_pairs.h"
#include "foundation/fonts/sfnt_builder.h"
#include "platform/gfx/font.h"
#include "platform/gfx/kern_tables.h"
#include "support/test_env.h"

using namespace qv;

namespace {

std::string Be16(uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }

// A one-face font file holding a 'name' table with the family "Fam" (Windows platform, UTF-16).
std::string FontFile(uint16_t numTables, uint32_t nameLength, uint32_t nameOffset = 28) {
  const std::string family = Be16('F') + Be16('a') + Be16('m');
  std::string name = Be16(0) + Be16(1) + Be16(18) + Be16(3) + Be16(1) + Be16(0x409) + Be16(1) +
                     Be16(uint32_t(family.size())) + Be16(1) + "X" + family;
  return Be32(0x00010000) + Be16(numTables) + Be16(0) + Be16(0) + Be16(0) + "name" + Be32(0) +
         Be32(nameOffset) + Be32(nameLength == 0 ? uint32_t(name.size()) : nameLength) + name;
}

std::vector<std::string> FamiliesOf(const std::string& path) {
  std::vector<TFontFileName> names;
  std::vector<TFontFile> files;
  ReadFontFile(path, names, files);
  std::vector<std::string> out;
  for (const auto& n : names) {
    EXPECT_GE(n.FileIndex, 0);
    EXPECT_LT(static_cast<size_t>(n.FileIndex), files.size());
    out.push_back(n.Name);
  }
  return out;
}

TEST(FontFileRobustness, DamagedFilesAddNothing) {
  const std::string dir = qvtest::MakeTempDir("fontjunk");
  const std::string good = FontFile(1, 0);
  qvtest::WriteFile(dir + "/good.ttf", good);
  ASSERT_EQ(FamiliesOf(dir + "/good.ttf"), std::vector<std::string>{"Fam"});
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"header cut off", good.substr(0, 8)},
      {"directory cut off", good.substr(0, 20)},
      {"name table cut off", good.substr(0, good.size() - 3)},
      {"table count beyond the file", FontFile(0xFFFF, 0)},
      {"name table of 4 GB", FontFile(1, 0xFFFFFFFF)},
      {"name table past the end", FontFile(1, 0, 0x7FFFFFF0)},
      {"collection of 4 billion fonts", "ttcf" + Be32(0x00010000) + Be32(0xFFFFFFFF)},
      {"collection cut off", "ttcf" + Be32(0x00010000) + Be32(3) + Be32(0)},
      {"collection offsets past the end", "ttcf" + Be32(0x00010000) + Be32(2) + Be32(0xFFFFFFF0) + Be32(0x7FFFFFFF)},
  };
  for (const auto& c : cases) {
    qvtest::WriteFile(dir + "/case.ttf", c.bytes);
    EXPECT_TRUE(FamiliesOf(dir + "/case.ttf").empty()) << c.name;
  }
  std::mt19937 rng(4);
  for (int i = 0; i < 400; ++i) {
    std::string junk = good;
    for (int k = 0; k < 4; ++k) junk[rng() % junk.size()] = static_cast<char>(rng());
    qvtest::WriteFile(dir + "/case.ttf", junk);
    for (const std::string& family : FamiliesOf(dir + "/case.ttf")) EXPECT_LE(family.size(), good.size());
  }
}

TEST(FontFileRobustness, FoldersWithNoFontsOrNoFiles) {
  const std::string dir = qvtest::MakeTempDir("fontdir");
  ASSERT_EQ(::mkfifo((dir + "/pipe.ttf").c_str(), 0600), 0);
  qvtest::WriteFile(dir + "/sub/junk.ttf", "not a font at all");
  qvtest::WriteFile(dir + "/sub/good.ttf", FontFile(1, 0));
  std::vector<TFontFileName> names;
  std::vector<TFontFile> files;
  FindFontFiles({dir, dir + "/missing"}, names, files);
  ASSERT_EQ(names.size(), 4u);  // the one family in its four styles
  for (const auto& n : names) EXPECT_EQ(n.Name, "Fam");
  names.clear();
  ReadFontFile(dir + "/pipe.ttf", names, files);  // a FIFO is no file to wait on
  EXPECT_TRUE(names.empty());
}

// A 'cmap' table with one Windows Unicode record and a format-4 subtable of the given segments.
std::string Cmap(const std::vector<std::pair<uint16_t, uint16_t>>& segments, uint32_t claimedSegments) {
  std::string ends, starts;
  for (const auto& [start, end] : segments) {
    ends += Be16(end);
    starts += Be16(start);
  }
  const std::string sub = Be16(4) + Be16(0) + Be16(0) + Be16(claimedSegments * 2) + Be16(0) + Be16(0) +
                          Be16(0) + ends + Be16(0) + starts;
  return Be16(0) + Be16(1) + Be16(3) + Be16(1) + Be32(12) + sub;
}

TEST(CmapRobustness, OverlappingSegmentsListEachCodeOnce) {
  // 8,000 segments that each claim nearly the whole plane: walked one by one they make half a
  // billion codes (a gigabyte); each code is listed once instead, in segment order.
  std::vector<std::pair<uint16_t, uint16_t>> segments(8000, {0x20, 0xFFFE});
  segments[0] = {0x400, 0x40F};
  std::vector<uint32_t> codes;
  bool found = false;
  CmapCharacters(Cmap(segments, 8000), codes, found);
  EXPECT_TRUE(found);
  ASSERT_GT(codes.size(), 60000u);
  EXPECT_LT(codes.size(), 65536u);
  EXPECT_EQ(codes[0], 0x400);
  EXPECT_EQ(codes[16], 0x20);  // the second segment starts where the first left nothing
  EXPECT_EQ(std::set<uint32_t>(codes.begin(), codes.end()).size(), codes.size());
  for (uint32_t c : codes) EXPECT_FALSE(c < 32 || (c >= 128 && c <= 160) || c == 173 || c == 0xFFFF);
}

TEST(CmapRobustness, CutAndRandomTables) {
  const std::string cmap = Cmap({{0x41, 0x43}, {0x30, 0x31}, {0xFFFF, 0xFFFF}}, 3);
  std::vector<uint32_t> codes;
  bool found = false;
  CmapCharacters(cmap, codes, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(codes, (std::vector<uint32_t>{0x41, 0x42, 0x43, 0x30, 0x31}));
  for (size_t cut = 0; cut < cmap.size(); ++cut) {
    CmapCharacters(cmap.substr(0, cut), codes, found);
    // A table cut anywhere counts as having no usable segments: the single-byte range.
    EXPECT_FALSE(found) << cut;
    EXPECT_EQ(codes.size(), 256u - 32 - 33 - 1) << cut;
  }
  CmapCharacters(Cmap({{0x41, 0x43}}, 0xFFFF), codes, found);  // more segments claimed than there are
  EXPECT_FALSE(found);
  std::mt19937 rng(6);
  for (int i = 0; i < 2000; ++i) {
    std::string junk(rng() % 60, '\0');
    for (char& c : junk) c = static_cast<char>(rng() % 3 ? rng() % 5 : rng());
    CmapCharacters(junk, codes, found);
    EXPECT_LE(codes.size(), 65536u);
  }
}

TEST(FontFaceRobustness, CharacterMapPastUnicode) {
  // A map may send codes past Unicode's last one to glyphs, up to every 32-bit code (four
  // thousand million entries if walked to the end); the face covers Unicode and nothing past it.
  qvtest::TSfntFont font;
  font.Family = "Qv Past Unicode";
  font.CmapFormat = 13;
  font.Ranges = {{0x20, 0x7E, 1}, {0x10FFF0, 0x10FFFF, 1}, {0x110000, 0x13FFFF, 1}};
  font.Kerning = {{1, 1, -20}};
  const std::string path = qvtest::MakeTempDir("fontall") + "/all.ttf";
  qvtest::WriteFile(path, qvtest::SfntFile(font));
  ASSERT_TRUE(plat::AddFontFile(path));
  {
    const plat::Font f(plat::LogFont{font.Family, -100});
    ASSERT_EQ(f.FaceName(), font.Family);
    ASSERT_EQ(f.CharacterRanges().size(), 2u);
    EXPECT_EQ(f.CharacterRanges()[1].First, 0x10FFF0u);
    EXPECT_EQ(f.CharacterRanges()[1].Last, 0x10FFFFu);
    EXPECT_TRUE(f.Covers(0x10FFFF));
    EXPECT_FALSE(f.Covers(0x110000));
    EXPECT_GT(f.CharAdvance(0x10FFF5), 0);
    EXPECT_EQ(f.KerningPairs().size(), 95u * 95u);
  }
  plat::RemoveFontFile(path);
}

// Whole fonts, mutated in their character map and kerning table (the name table is left whole so
// that the face is still found by its family), loaded as a portable copy's font: the kerning
// stays within its bound and every query answers.
TEST(FontFaceRobustness, MutatedCharacterMapsAndKerningTables) {
  const std::string dir = qvtest::MakeTempDir("fontmut");
  std::mt19937 rng(31);
  for (int i = 0; i < 24; ++i) {
    qvtest::TSfntFont font;
    font.Family = "Qv Mutant " + std::to_string(i);
    font.GlyphCount = static_cast<uint16_t>(2 + rng() % 60);
    font.CmapFormat = rng() % 2 ? 12 : 13;
    const int ranges = 1 + static_cast<int>(rng() % 4);
    for (int r = 0; r < ranges; ++r) {
      const uint32_t first = 0x20 + rng() % 0x800;
      const uint32_t last = rng() % 3 ? first + rng() % 64 : 0xFFFD;
      font.Ranges.push_back({first, std::max(first, last), static_cast<uint32_t>(rng() % font.GlyphCount)});
    }
    std::sort(font.Ranges.begin(), font.Ranges.end(),
              [](const qvtest::TSfntRange& a, const qvtest::TSfntRange& b) { return a.First < b.First; });
    const int pairs = static_cast<int>(rng() % 50);
    for (int k = 0; k < pairs; ++k)
      font.Kerning.push_back({static_cast<uint16_t>(rng() % font.GlyphCount),
                              static_cast<uint16_t>(rng() % font.GlyphCount), static_cast<int16_t>(rng() % 400 - 200)});
    std::string bytes = qvtest::SfntFile(font);
    // Damage inside the character map or the kerning table, found from the directory.
    for (const char* tag : {"cmap", "kern"}) {
      const size_t entry = bytes.find(tag);
      if (entry == std::string::npos || entry > 12 + 16 * 16) continue;
      const uint32_t at = ReadBigEndian32(bytes.data() + entry + 8);
      const uint32_t length = ReadBigEndian32(bytes.data() + entry + 12);
      for (int k = 0; k < 3 && length > 0; ++k)
        bytes[at + rng() % length] = static_cast<char>(rng() % 2 ? rng() : rng() % 4);
    }
    const std::string path = dir + "/m" + std::to_string(i) + ".ttf";
    qvtest::WriteFile(path, bytes);
    const bool added = plat::AddFontFile(path);
    const plat::Font f(plat::LogFont{font.Family, -100});
    EXPECT_LE(f.KerningPairs().size(), plat::gfx_detail::kMaxCharKerningPairs) << i;
    EXPECT_LE(f.ByteKerningPairs().size(), 256u * 256u) << i;
    const TKerningPairs kerning(f, TFontKey{});
    EXPECT_LE(kerning.Count(), 256 * 256) << i;
    kerning.GetKerning('A', 'V');
    EXPECT_LE(f.CharacterRanges().size(), 0x110000u) << i;
    f.Covers(U'A');
    f.TextWidth(std::u16string(u"AVA\u0416"));
    f.GetGlyphOutline(U'A');
    if (added) plat::RemoveFontFile(path);
  }
}

}  // namespace
