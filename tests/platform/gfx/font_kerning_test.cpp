// Glyph kerning pairs turned into pairs of the characters each glyph stands for.
#include <gtest/gtest.h>

#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/gfx/kern_tables.h"

namespace {

using plat::gfx_detail::CharKerningPairs;
using plat::gfx_detail::CharKernUnits;
using plat::gfx_detail::KernUnits;
using plat::gfx_detail::kMaxCharKerningPairs;

std::unordered_multimap<uint32_t, char16_t> OneGlyph(uint32_t glyph, char16_t first, char16_t last) {
  std::unordered_multimap<uint32_t, char16_t> map;
  for (uint32_t c = first; c <= last; ++c) map.emplace(glyph, static_cast<char16_t>(c));
  return map;
}

TEST(CharKerning, GlyphPairsBecomeSortedPairsOfKernedCharacters) {
  std::unordered_multimap<uint32_t, char16_t> map = {
      {1, u'V'}, {2, u'A'}, {2, u'\u00C0'}, {3, u'\u4E00'}, {4, u'\u2019'}, {5, u'\u0627'}};
  const std::vector<KernUnits> pairs = {{1, 2, -9}, {2, 1, -7}, {4, 2, 3}, {1, 3, 5}, {5, 2, 6}, {7, 1, 2}};
  const std::vector<CharKernUnits> got = CharKerningPairs(pairs, map);
  // Ideographs and Arabic are no kerned characters; glyph 7 stands for none.
  const std::vector<std::tuple<char16_t, char16_t, int32_t>> expected = {
      {u'A', u'V', -7}, {u'V', u'A', -9}, {u'V', u'\u00C0', -9}, {u'\u00C0', u'V', -7},
      {u'\u2019', u'A', 3}, {u'\u2019', u'\u00C0', 3}};
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i)
    EXPECT_EQ(std::make_tuple(got[i].first, got[i].second, got[i].amount), expected[i]) << i;
}

TEST(CharKerning, PastTheBoundNoKerningAtAll) {
  const struct {
    char16_t last;
    size_t pairs;
  } cases[] = {
      {0x7E, 95 * 95},
      {0x3FF, (0x3FF - 0x20 + 1) * (0x3FF - 0x20 + 1)},  // just below the bound
      {0x44F, 0},                                        // just past it
      {0xFFFD, 0},                                       // every character of the plane
  };
  for (const auto& c : cases) {
    const auto got = CharKerningPairs({{1, 1, -50}, {1, 2, 10}}, OneGlyph(1, 0x20, c.last));
    EXPECT_EQ(got.size(), c.pairs) << int(c.last);
    EXPECT_LE(got.size(), kMaxCharKerningPairs);
  }
}

}  // namespace
