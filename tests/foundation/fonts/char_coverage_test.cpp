#include "foundation/fonts/char_coverage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/font_bytes.h"

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
  std::vector<uint16_t> codes;
  bool found = false;
  // A Unicode-platform record comes first and is passed over; the segment ending at 0xFFFF and
  // the one below 32 add nothing; 128..160 and 173 never count.
  CmapCharacters(MakeCmap({{0, 3}, {3, 1}}, {{0, 31}, {0x20, 0x22}, {0x9E, 0xAE}, {0x416, 0x416},
                                             {0xFFFF, 0xFFFF}}),
                 codes, found);
  EXPECT_TRUE(found);
  const std::vector<uint16_t> expected = {0x20, 0x21, 0x22, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6,
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
    std::vector<uint16_t> codes;
    bool found = true;
    CmapCharacters(c.cmap, codes, found);
    EXPECT_FALSE(found) << c.what;
    ASSERT_EQ(codes.size(), 190u) << c.what;  // 32..255 less 128..160 and 173
    EXPECT_EQ(codes.front(), 32) << c.what;
    EXPECT_EQ(codes.back(), 255) << c.what;
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 173), 0) << c.what;
  }
}

}  // namespace
