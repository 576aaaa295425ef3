#include "foundation/fonts/char_coverage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/font_bytes.h"
#include "foundation/fonts/own_font.h"
#include "foundation/fonts/sfnt_builder.h"
#include "platform/gfx/font.h"

using namespace qv;

namespace {

struct Seg {
  uint16_t start, end;
};

// A 'cmap' table with the given encoding records; the Windows ones point at one format-4 subtable.
std::string MakeCmap(const std::vector<std::pair<uint16_t, uint16_t>>& records,
                     const std::vector<Seg>& segs, uint16_t format = 4) {
  std::string s;
  Put16(s, 0);
  Put16(s, static_cast<uint16_t>(records.size()));
  const uint32_t subtable = 4 + 8 * static_cast<uint32_t>(records.size());
  for (auto [platform, encoding] : records) {
    Put16(s, platform);
    Put16(s, encoding);
    Put32(s, subtable);
  }
  Put16(s, format);
  Put16(s, 0);  // length (unused here)
  Put16(s, 0);  // language
  Put16(s, static_cast<uint16_t>(segs.size() * 2));
  Put16(s, 0);
  Put16(s, 0);
  Put16(s, 0);
  for (const Seg& g : segs) Put16(s, g.end);
  Put16(s, 0);  // pad
  for (const Seg& g : segs) Put16(s, g.start);
  return s;
}

TEST(CharCoverage, UnicodeBlocks) {
  const struct {
    uint32_t code;
    int32_t block;
  } cases[] = {
      {0x1F, int32_t(0x80000000u)}, {0x20, 0},   {0x7F, 0},
      {0x80, 1},                    {0x416, 8},  {0x07C0, int32_t(0x80000000u)},
      {0x0900, 16},                 {0xE000, 109}, {0xFFEF, 119},
      {0xFFF0, int32_t(0x80000000u)}, {0x10000, int32_t(0x80000000u)},
  };
  for (const auto& c : cases) EXPECT_EQ(FindUnicodeBlock(c.code), c.block) << std::hex << c.code;
  const auto blocks = UnicodeBlocks();
  ASSERT_EQ(blocks.size(), 120u);
  for (size_t i = 1; i < blocks.size(); ++i) EXPECT_GT(blocks[i].Start, blocks[i - 1].End);
  EXPECT_STREQ(blocks[109].Name, "Private Use Area");
  EXPECT_TRUE(IsPrivateUseChar(0xE000));
  EXPECT_TRUE(IsPrivateUseChar(0xF8FF));
  EXPECT_FALSE(IsPrivateUseChar(0xF900));
}

TEST(CharCoverage, Format4SegmentsGiveTheCoveredCodes) {
  std::vector<uint32_t> codes;
  bool found = false;
  // A Unicode-platform record comes first and is passed over; the segment ending at 0xFFFF and
  // the one below 32 add nothing; 128..160 and 173 never count.
  CmapCharacters(MakeCmap({{0, 3}, {3, 1}}, {{0, 31}, {0x20, 0x22}, {0x9E, 0xAE}, {0x416, 0x416},
                                             {0xFFFF, 0xFFFF}}),
                 codes, found);
  EXPECT_TRUE(found);
  const std::vector<uint32_t> expected = {0x20, 0x21, 0x22, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6,
                                          0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAE, 0x416};
  EXPECT_EQ(codes, expected);
}

TEST(CharCoverage, MissingOrUnusableTableCoversTheByteRange) {
  const struct {
    const char* what;
    std::string cmap;
  } cases[] = {
      {"no table", ""},
      {"no Windows record", MakeCmap({{1, 0}}, {{0x20, 0x7E}})},
      {"format 12", MakeCmap({{3, 1}}, {{0x20, 0x7E}}, 12)},
      {"truncated", MakeCmap({{3, 1}}, {{0x20, 0x7E}, {0x100, 0x17F}}).substr(0, 30)},
      {"record beyond the end", std::string("\0\0\0\x05\0\x03\0\x01\0\0\0\x40", 12)},
  };
  for (const auto& c : cases) {
    std::vector<uint32_t> codes;
    bool found = true;
    CmapCharacters(c.cmap, codes, found);
    EXPECT_FALSE(found) << c.what;
    ASSERT_EQ(codes.size(), 190u) << c.what;  // 32..255 less 128..160 and 173
    EXPECT_EQ(codes.front(), 32) << c.what;
    EXPECT_EQ(codes.back(), 255) << c.what;
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 173), 0) << c.what;
  }
}

TEST(CharCoverage, FullUnicodeMapsGiveTheCodesPastTheBasicPlane) {
  auto cmap = [](std::vector<qvtest::TSfntRange> ranges, bool basicPlane, uint16_t format = 12) {
    qvtest::TSfntFont f;
    f.Ranges = std::move(ranges);
    f.BasicPlaneMap = basicPlane;
    f.CmapFormat = format;
    return qvtest::SfntCmap(f);
  };
  std::string claimsTooMuch = cmap({{0x10000, 0x10010, 1}}, false);
  claimsTooMuch[27] = '\x7F';  // the group count, far past the table's end
  const struct {
    const char* what;
    std::string cmap;
    bool found;
    std::vector<uint32_t> codes;  // empty: the byte range
  } cases[] = {
      {"the basic-plane map, then the full map's other codes ascending",
       cmap({{'A', 'B', 1}, {0x1D400, 0x1D401, 5}, {0x12000, 0x12000, 3}}, true), true,
       {'A', 'B', 0x12000, 0x1D400, 0x1D401}},
      {"a full map alone stands for the basic plane too, less what is never listed",
       cmap({{0x1E, 0x21, 1}, {0xDFFF, 0xE000, 5}, {0xFFFD, 0x10001, 9}}, false), true,
       {0x20, 0x21, 0xE000, 0xFFFD, 0x10000, 0x10001}},
      {"codes on the missing-character glyph and past Unicode are not covered",
       cmap({{0x10000, 0x10005, 0}, {0x10FFFE, 0x110005, 2}}, false, 13), true, {0x10FFFE, 0x10FFFF}},
      {"groups claimed past the table's end", claimsTooMuch, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint32_t> codes;
    bool found = !c.found;
    CmapCharacters(c.cmap, codes, found);
    EXPECT_EQ(found, c.found);
    if (c.codes.empty()) {
      EXPECT_EQ(codes.size(), 190u);
      continue;
    }
    EXPECT_EQ(codes, c.codes);
    // The kept coverage gives each code its place among the codes in ascending order.
    const TCharCoverage coverage = TCharCoverage::FromCmap(c.cmap);
    std::vector<uint32_t> sorted = c.codes;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(coverage.Count(), static_cast<int32_t>(sorted.size()));
    for (size_t i = 0; i < sorted.size(); ++i) EXPECT_EQ(coverage.IndexOf(sorted[i]), static_cast<int32_t>(i));
    EXPECT_EQ(coverage.IndexOf(0x1F), -1);
    EXPECT_EQ(coverage.IndexOf(0x10FFFD), -1);
  }
}

TEST(CharCoverage, FaceWithABasicPlaneMapFirstCoversThePlanesBeyond) {
  // Most fonts list a basic-plane map before their full one: the face's own coverage and glyphs,
  // and the coverage read from its character map, reach past U+FFFF all the same.
  qvtest::TSfntFont font;
  font.Family = "Qv Coverage Planes";
  font.BasicPlaneMap = true;
  font.Ranges = {{'A', 'C', 1}, {0x12000, 0x12002, 4}};
  font.GlyphCount = 7;
  qvtest::OwnFont own(font);
  ASSERT_TRUE(own.Added());
  const plat::Font f(plat::LogFont{font.Family, -100});
  ASSERT_EQ(f.FaceName(), font.Family);
  EXPECT_TRUE(f.Covers('A'));
  EXPECT_TRUE(f.Covers(0x12002));
  EXPECT_FALSE(f.Covers(0x12003));
  EXPECT_GT(f.CharAdvance(0x12001), 0);
  std::vector<uint32_t> codes;
  bool found = false;
  GetFontCharacters(f, codes, found);
  EXPECT_TRUE(found);
  EXPECT_EQ(codes, (std::vector<uint32_t>{'A', 'B', 'C', 0x12000, 0x12001, 0x12002}));
}

}  // namespace
