#include "foundation/fonts/kerning_pairs.h"

#include <gtest/gtest.h>

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

}  // namespace
