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
  std::vector<uint16_t> codes;
  bool found = false;
  CmapCharacters(Cmap(segments, 8000), codes, found);
  EXPECT_TRUE(found);
  ASSERT_GT(codes.size(), 60000u);
  EXPECT_LT(codes.size(), 65536u);
  EXPECT_EQ(codes[0], 0x400);
  EXPECT_EQ(codes[16], 0x20);  // the second segment starts where the first left nothing
  EXPECT_EQ(std::set<uint16_t>(codes.begin(), codes.end()).size(), codes.size());
  for (uint16_t c : codes) EXPECT_FALSE(c < 32 || (c >= 128 && c <= 160) || c == 173 || c == 0xFFFF);
}

TEST(CmapRobustness, CutAndRandomTables) {
  const std::string cmap = Cmap({{0x41, 0x43}, {0x30, 0x31}, {0xFFFF, 0xFFFF}}, 3);
  std::vector<uint16_t> codes;
  bool found = false;
  CmapCharacters(cmap, codes, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(codes, (std::vector<uint16_t>{0x41, 0x42, 0x43, 0x30, 0x31}));
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

}  // namespace
