#include "foundation/base/frequency_list.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qv;

namespace {

TEST(FrequencyList, HeaviestRecordByTotalWeight) {
  struct Step {
    int32_t record;
    int32_t weight;
    int32_t maxIndex;
    int32_t maxWeight;
  };
  const Step steps[] = {
      {10, 3, 0, 3},  // A
      {20, 5, 1, 5},  // B
      {10, 3, 0, 6},  // A again: total 6 passes B
      {30, 6, 0, 6},  // C ties A: the earlier maximum stays
      {20, 1, 0, 6},  // B ties A: still A
  };
  TFrequencyMemList list(sizeof(int32_t));
  for (const Step& s : steps) {
    list.Add(&s.record, s.weight);
    EXPECT_EQ(list.MaxIndex, s.maxIndex) << s.record;
    EXPECT_EQ(list.MaxWeight, s.maxWeight) << s.record;
  }
  EXPECT_EQ(list.Count(), 3);
  int32_t b = 20, missing = 40;
  EXPECT_EQ(list.IndexOf(&b), 1);
  EXPECT_EQ(list.IndexOf(&missing), -1);
  EXPECT_EQ(list.Weights[1], 6);
}

TEST(FrequencyList, TotalsStopAtLargestValue) {
  TFrequencyMemList list(1);
  uint8_t r = 7;
  list.Add(&r, INT32_MAX);
  list.Add(&r, 5);
  EXPECT_EQ(list.Weights[0], INT32_MAX);
  EXPECT_EQ(list.MaxWeight, INT32_MAX);
}

}  // namespace
