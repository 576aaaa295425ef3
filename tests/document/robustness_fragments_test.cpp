// Range records as damaged bytes hold them (every field anywhere in the 32-bit range, records cut
// off) read into fragments, then moved by edits of any size: reading keeps only sound ranges,
// shifting never overflows, and the operations keep their invariants.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "document/compound_fragment.h"
#include "foundation/base/memory.h"

using namespace qv;

namespace {

constexpr int32_t kValues[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, 2, 7, 1000, INT32_MAX - 1, INT32_MAX};

class Values {
 public:
  explicit Values(uint32_t seed) : rng_(seed) {}
  int32_t Any() { return rng_() % 3 ? kValues[rng_() % std::size(kValues)] : static_cast<int32_t>(rng_()); }
  // Sound values: not negative, often small so that ranges touch and overlap.
  int32_t Sound() {
    const int32_t v = Any();
    return v < 0 ? static_cast<int32_t>(rng_() % 8) : v;
  }
  TDocPosition Position(bool sound) {
    TDocPosition p;
    p.Par = sound ? Sound() : Any();
    p.Offset = sound ? Sound() : Any();
    p.Page = Any();
    p.Line = Any();
    return p;
  }
  TDocRange Range(bool sound) {
    TDocRange r{Position(sound), Position(sound)};
    if (sound && ComparePositions(r.End, r.Start) < 0) std::swap(r.Start, r.End);
    return r;
  }
  uint32_t Next() { return rng_(); }

 private:
  std::mt19937 rng_;
};

bool Sound(const TDocRange& r) {
  return r.Start.Par >= 0 && r.Start.Offset >= 0 && r.End.Par >= 0 && r.End.Offset >= 0 &&
         ComparePositions(r.Start, r.End) <= 0;
}

void ExpectNormal(const TCompoundFragment& f) {
  ASSERT_GE(f.Count(), 1);
  EXPECT_EQ(f.LastRange, f.GetRange(f.Count() - 1));
  for (int32_t i = 0; i < f.Count(); ++i) {
    if (f.Count() > 1) {
      EXPECT_FALSE(IsRangeEmpty(*f.GetRange(i)));
    }
    if (i > 0) {
      EXPECT_GT(ComparePositions(f.GetRange(i)->Start, f.GetRange(i - 1)->End), 0);
    }
  }
}

TEST(FragmentRobustness, RecordsFromDamagedBytes) {
  Values v(41);
  for (int round = 0; round < 3000; ++round) {
    std::vector<TDocRange> records(v.Next() % 6);
    for (TDocRange& r : records) r = v.Range(v.Next() % 2 == 0);
    int32_t length = static_cast<int32_t>(records.size()) * TCompoundFragment::RangeSize;
    if (length > 0 && v.Next() % 4 == 0) length -= static_cast<int32_t>(1 + v.Next() % 31);  // cut off
    TMemory bytes;
    bytes.SetData(records.data(), length);
    TCompoundFragment f;
    f.Assign(bytes);
    ASSERT_GE(f.Count(), 1) << round;
    EXPECT_EQ(f.Length, f.Count() * TCompoundFragment::RangeSize) << round;
    EXPECT_EQ(f.LastRange, f.GetRange(f.Count() - 1)) << round;
    for (int32_t i = 0; i < f.Count(); ++i) {
      const TDocRange& r = *f.GetRange(i);
      EXPECT_TRUE(Sound(r)) << round;
      EXPECT_GE(r.Start.Page, 0);
      EXPECT_GE(r.End.Line, 0);
    }
  }
}

TEST(FragmentRobustness, EditsOfAnySizeNeverWrap) {
  Values v(43);
  for (int round = 0; round < 3000; ++round) {
    // Sound ranges, as reading leaves them, moved by sound edits stay sound (saturating at the
    // top); then any edit at all, as a damaged undo record could ask for, must not overflow.
    std::vector<TDocRange> records(1 + v.Next() % 5);
    for (TDocRange& r : records) r = v.Range(true);
    TMemory bytes;
    bytes.SetData(records.data(), static_cast<int32_t>(records.size()) * TCompoundFragment::RangeSize);
    TCompoundFragment f;
    f.Assign(bytes);
    TDocRange deleted = v.Range(true), inserted = v.Range(true);
    inserted.Start = deleted.Start;  // the edit inserts where it deleted
    if (ComparePositions(inserted.End, inserted.Start) < 0) inserted.End = inserted.Start;
    f.ShiftForEdit(deleted, inserted);
    for (int32_t i = 0; i < f.Count(); ++i) EXPECT_TRUE(Sound(*f.GetRange(i))) << round;
    TDocPosition p = v.Position(true);
    f.ShiftForSpanReplace(p, v.Sound(), v.Sound());
    f.Normalize();  // equal lengths leave the fragment as it was
    ExpectNormal(f);
    for (int32_t i = 0; i < f.Count(); ++i) EXPECT_TRUE(Sound(*f.GetRange(i))) << round;

    f.ShiftForEdit(v.Range(false), v.Range(false));
    f.ShiftForSpanReplace(v.Position(false), v.Any(), v.Any());
    f.Normalize();
    ExpectNormal(f);
    TCompoundFragment other;
    other.SetSingleRange(v.Any(), v.Any(), v.Any(), v.Any());
    f.Exclude(other);
    ExpectNormal(f);
    f.IndexOfContaining(v.Range(false));
  }
}

}  // namespace
