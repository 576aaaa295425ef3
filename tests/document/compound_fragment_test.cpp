#include "document/compound_fragment.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "document/fragment_pool.h"

using namespace qv;

namespace {

struct TR {
  int32_t sp, so, ep, eo;
};

TDocRange Range(const TR& r) {
  TDocRange out;
  MakeRange(r.sp, r.so, r.ep, r.eo, out);
  return out;
}

void Fill(TCompoundFragment& f, const std::vector<TR>& ranges) {
  f.SetCount(static_cast<int32_t>(ranges.size()));
  for (size_t i = 0; i < ranges.size(); ++i) *f.GetRange(static_cast<int32_t>(i)) = Range(ranges[i]);
}

std::vector<TR> Ranges(const TCompoundFragment& f) {
  std::vector<TR> out;
  for (int32_t i = 0; i < f.Count(); ++i) {
    const TDocRange* r = f.GetRange(i);
    out.push_back({r->Start.Par, r->Start.Offset, r->End.Par, r->End.Offset});
  }
  return out;
}

bool operator==(const TR& a, const TR& b) {
  return a.sp == b.sp && a.so == b.so && a.ep == b.ep && a.eo == b.eo;
}

void PrintTo(const TR& r, std::ostream* os) {
  *os << "(" << r.sp << "," << r.so << ")-(" << r.ep << "," << r.eo << ")";
}

TEST(CompoundFragment, NewAndClearedHoldOneEmptyRange) {
  TCompoundFragment f;
  EXPECT_EQ(f.Count(), 1);
  EXPECT_TRUE(IsFragmentEmpty(&f));
  EXPECT_TRUE(IsFragmentEmpty(nullptr));
  EXPECT_EQ(f.LastRange, f.GetRange(0));
  Fill(f, {{0, 1, 0, 4}, {2, 0, 2, 3}});
  f.ColumnBlock = 1;
  EXPECT_FALSE(IsFragmentEmpty(&f));
  EXPECT_EQ(f.LastRange, f.GetRange(1));
  f.Clear();
  EXPECT_EQ(Ranges(f), (std::vector<TR>{{0, 0, 0, 0}}));
  EXPECT_EQ(f.ColumnBlock, 0);
  // Several empty ranges are never "empty".
  Fill(f, {{0, 1, 0, 1}, {0, 2, 0, 2}});
  EXPECT_FALSE(IsFragmentEmpty(&f));
}

TEST(CompoundFragment, Normalize) {
  struct TCase {
    std::vector<TR> input;
    std::vector<TR> expected;
  };
  const std::vector<TCase> cases = {
      {{{0, 5, 0, 9}, {0, 2, 0, 5}}, {{0, 2, 0, 9}}},                   // touching ranges merge
      {{{0, 7, 0, 7}, {0, 3, 0, 3}, {0, 5, 0, 5}}, {{0, 3, 0, 3}}},     // all empty: the smallest
      {{{0, 3, 0, 3}, {1, 0, 1, 4}}, {{1, 0, 1, 4}}},                   // empty range dropped
      {{{2, 0, 3, 1}, {0, 0, 0, 4}, {2, 5, 2, 9}, {0, 6, 0, 8}}, {{0, 0, 0, 4}, {0, 6, 0, 8}, {2, 0, 3, 1}}},
      {{{1, 0, 1, 9}, {1, 2, 1, 4}}, {{1, 0, 1, 9}}}};                  // contained range
  for (const auto& c : cases) {
    TCompoundFragment f;
    Fill(f, c.input);
    f.Normalize();
    EXPECT_EQ(Ranges(f), c.expected);
    EXPECT_EQ(f.LastRange, f.GetRange(f.Count() - 1));
  }
}

TEST(CompoundFragment, Exclude) {
  struct TCase {
    std::vector<TR> from;
    std::vector<TR> removed;
    std::vector<TR> expected;
  };
  const std::vector<TCase> cases = {
      {{{0, 0, 0, 10}}, {{0, 4, 0, 6}}, {{0, 0, 0, 4}, {0, 6, 0, 10}}},
      {{{0, 0, 0, 10}}, {{0, 0, 0, 10}}, {{0, 10, 0, 10}}},
      {{{0, 0, 0, 10}}, {{0, 0, 0, 3}}, {{0, 3, 0, 10}}},
      {{{0, 0, 0, 10}}, {{0, 8, 1, 0}}, {{0, 0, 0, 8}}},
      // Pieces split off by one removed range are cut again by the next.
      {{{0, 0, 0, 20}}, {{0, 12, 0, 14}, {0, 4, 0, 6}}, {{0, 0, 0, 4}, {0, 6, 0, 12}, {0, 14, 0, 20}}},
      {{{0, 0, 0, 5}, {1, 0, 1, 5}}, {{0, 2, 1, 3}}, {{0, 0, 0, 2}, {1, 3, 1, 5}}}};
  for (const auto& c : cases) {
    TCompoundFragment f, other;
    Fill(f, c.from);
    Fill(other, c.removed);
    f.Exclude(other);
    EXPECT_EQ(Ranges(f), c.expected);
  }
  TCompoundFragment self;
  Fill(self, {{0, 0, 0, 4}, {1, 0, 1, 4}});
  self.Exclude(self);
  EXPECT_EQ(Ranges(self), (std::vector<TR>{{0, 4, 0, 4}}));
}

TEST(CompoundFragment, ShiftForEdit) {
  struct TCase {
    TR deleted, inserted;
    std::vector<TR> before, after;
  };
  const std::vector<TCase> cases = {
      {{2, 3, 4, 1}, {2, 3, 2, 3}, {{4, 7, 6, 0}, {3, 5, 3, 5}}, {{2, 9, 4, 0}, {2, 3, 2, 3}}},
      {{1, 4, 1, 4}, {1, 4, 1, 9}, {{1, 4, 1, 4}, {1, 0, 1, 4}, {1, 4, 1, 6}},
       {{1, 4, 1, 9}, {1, 0, 1, 9}, {1, 4, 1, 11}}},
      // A paragraph break typed at (0,3): later text of paragraph 0 moves to paragraph 1.
      {{0, 3, 0, 3}, {0, 3, 1, 0}, {{0, 5, 0, 8}, {2, 1, 2, 2}}, {{1, 2, 1, 5}, {3, 1, 3, 2}}},
      // Deleted and inserted ranges alike: nothing moves.
      {{0, 1, 0, 4}, {0, 1, 0, 4}, {{0, 2, 0, 6}}, {{0, 2, 0, 6}}}};
  for (const auto& c : cases) {
    TCompoundFragment f;
    Fill(f, c.before);
    f.ShiftForEdit(Range(c.deleted), Range(c.inserted));
    EXPECT_EQ(Ranges(f), c.after);
  }
}

TEST(CompoundFragment, ShiftForSpanReplace) {
  TDocPosition p;
  MakePosition(0, 10, p);
  TCompoundFragment f;
  Fill(f, {{0, 2, 0, 12}, {0, 3, 0, 15}, {0, 1, 0, 10}, {1, 12, 1, 20}});
  f.ShiftForSpanReplace(p, 5, 2);
  // Ends at 12, 15 and 10 become 11, 12 and 10; the ranges then merge; paragraph 1 is untouched.
  EXPECT_EQ(Ranges(f), (std::vector<TR>{{0, 1, 0, 12}, {1, 12, 1, 20}}));

  Fill(f, {{0, 11, 0, 30}});
  f.ShiftForSpanReplace(p, 5, 0);
  EXPECT_EQ(Ranges(f), (std::vector<TR>{{0, 10, 0, 25}}));
}

TEST(CompoundFragment, EditingAndQueries) {
  TCompoundFragment f;
  Fill(f, {{0, 0, 0, 5}, {2, 0, 2, 5}});
  f.InsertRange(1, *f.GetRange(0));  // an argument inside the own buffer is copied first
  f.InsertRange(f.Count(), Range({3, 0, 3, 1}));
  EXPECT_EQ(Ranges(f), (std::vector<TR>{{0, 0, 0, 5}, {0, 0, 0, 5}, {2, 0, 2, 5}, {3, 0, 3, 1}}));
  f.DeleteRange(1);
  EXPECT_EQ(f.Count(), 3);
  EXPECT_EQ(f.LastRange, f.GetRange(2));
  TDocRange extent = f.GetExtent();
  EXPECT_TRUE(SameRange(extent, Range({0, 0, 3, 1})));

  EXPECT_EQ(f.IndexOfContaining(Range({2, 1, 2, 5})), 1);
  EXPECT_EQ(f.IndexOfContaining(Range({0, 4, 2, 1})), -1);
  TCompoundFragment inner;
  Fill(inner, {{3, 0, 3, 1}, {0, 1, 0, 2}});
  EXPECT_TRUE(f.ContainsAll(inner));
  Fill(inner, {{3, 0, 3, 2}});
  EXPECT_FALSE(f.ContainsAll(inner));

  f.AppendRanges(f);
  EXPECT_EQ(f.Count(), 6);
  TCompoundFragment copy(f);
  copy.ColumnBlock = 1;
  EXPECT_TRUE(copy.Equals(f));
  copy.GetRange(4)->End.Offset = 9;
  EXPECT_FALSE(copy.Equals(f));
  f.Assign(copy);
  EXPECT_EQ(f.ColumnBlock, 1);
  EXPECT_EQ(f.LastRange, f.GetRange(5));
  f.SetSingleRange(1, 2, 3, 4);
  EXPECT_EQ(Ranges(f), (std::vector<TR>{{1, 2, 3, 4}}));
  EXPECT_EQ(f.ColumnBlock, 0);
}

TEST(CompoundFragment, ShiftsSaturateAtTheEndsOfTheRange) {
  // Positions near the ends of the 32-bit range (from damaged input) move by a whole edit
  // without wrapping round to the other end.
  constexpr int32_t kMax = INT32_MAX, kMin = INT32_MIN;
  struct TCase {
    TR deleted, inserted;
    std::vector<TR> before, after;
  };
  const std::vector<TCase> cases = {
      // Ten characters typed at (0,0): offsets near the top stop at it.
      {{0, 0, 0, 0}, {0, 0, 0, 10}, {{0, kMax - 5, 0, kMax}}, {{0, kMax, 0, kMax}}},
      // Paragraphs inserted: positions pushed past the last paragraph index become the last
      // place of all, so the ranges keep their order.
      {{0, 3, 0, 3}, {0, 3, 2, 0}, {{kMax - 2, 0, kMax - 2, 4}, {kMax - 1, 0, kMax, 4}},
       {{kMax, 0, kMax, 4}, {kMax, kMax, kMax, kMax}}},
      // A deleted range whose ends lie at the two ends of the range (a damaged undo record).
      {{0, kMin, 0, kMax}, {0, kMin, 0, kMin}, {{0, kMax, 1, 0}}, {{0, kMin, 1, 0}}},
      {{kMin, 0, kMax, 0}, {kMin, 0, kMin, 0}, {{kMax, 5, kMax, 6}}, {{kMin, 5, kMin, 6}}},
  };
  for (const auto& c : cases) {
    TCompoundFragment f;
    Fill(f, c.before);
    f.ShiftForEdit(Range(c.deleted), Range(c.inserted));
    EXPECT_EQ(Ranges(f), c.after);
  }
  TDocPosition p;
  MakePosition(0, kMax - 1, p);
  TCompoundFragment f;
  Fill(f, {{0, 0, 0, kMax}});
  f.ShiftForSpanReplace(p, 10, 0);  // the old span reaches past the largest offset
  EXPECT_EQ(Ranges(f), (std::vector<TR>{{0, 0, 0, kMax - 1}}));
  MakePosition(0, 5, p);
  Fill(f, {{0, 0, 0, kMax - 2}});
  f.ShiftForSpanReplace(p, 1, kMax);
  EXPECT_EQ(Ranges(f), (std::vector<TR>{{0, 0, 0, kMax}}));
  Fill(f, {{0, 0, 0, 7}});
  f.ShiftForSpanReplace(p, kMax, kMin);  // lengths no edit gives: still no wrap
  EXPECT_EQ(Ranges(f), (std::vector<TR>{{0, 0, 0, 5}}));
}

TEST(CompoundFragment, RangeRecordsReadFromBytesAreChecked) {
  struct TCase {
    const char* what;
    std::vector<TR> records;
    int32_t extraBytes;
    std::vector<TR> expected;
  };
  const std::vector<TCase> cases = {
      {"sound records", {{0, 1, 0, 4}, {2, 0, 3, 1}}, 0, {{0, 1, 0, 4}, {2, 0, 3, 1}}},
      {"negative paragraph", {{-1, 0, 0, 4}, {2, 0, 3, 1}}, 0, {{2, 0, 3, 1}}},
      {"negative offset", {{0, 1, 0, INT32_MIN}, {2, 0, 3, 1}}, 0, {{2, 0, 3, 1}}},
      {"end before start", {{5, 0, 4, 9}, {1, 7, 1, 6}, {2, 0, 3, 1}}, 0, {{2, 0, 3, 1}}},
      {"a cut-off record", {{0, 1, 0, 4}}, 9, {{0, 1, 0, 4}}},
      {"nothing sound", {{-5, 0, -4, 0}}, 0, {{0, 0, 0, 0}}},
      {"nothing whole", {}, 12, {{0, 0, 0, 0}}},
      {"far positions are kept", {{INT32_MAX, 0, INT32_MAX, INT32_MAX}}, 0, {{INT32_MAX, 0, INT32_MAX, INT32_MAX}}},
  };
  for (const auto& c : cases) {
    std::vector<TDocRange> ranges;
    for (const TR& r : c.records) ranges.push_back(Range(r));
    ranges.push_back({});
    ranges.back().Start.Page = -7;  // bytes of a cut-off record
    TMemory bytes;
    bytes.SetData(ranges.data(), static_cast<int32_t>(c.records.size()) * TCompoundFragment::RangeSize + c.extraBytes);
    TCompoundFragment f;
    f.Assign(bytes);
    EXPECT_EQ(Ranges(f), c.expected) << c.what;
    EXPECT_EQ(f.Length, f.Count() * TCompoundFragment::RangeSize) << c.what;
    EXPECT_EQ(f.LastRange, f.GetRange(f.Count() - 1)) << c.what;
  }
  // Negative hints of a sound record become 0; others are kept.
  TDocRange r = Range({1, 2, 1, 3});
  r.Start.Page = -3;
  r.Start.Line = 4;
  r.End.Line = INT32_MIN;
  TMemory bytes;
  bytes.SetData(&r, TCompoundFragment::RangeSize);
  TCompoundFragment f;
  f.Assign(bytes);
  EXPECT_EQ(f.GetRange(0)->Start.Page, 0);
  EXPECT_EQ(f.GetRange(0)->Start.Line, 4);
  EXPECT_EQ(f.GetRange(0)->End.Line, 0);
}

class FragmentPool : public ::testing::Test {
 protected:
  void SetUp() override { TrimFragmentPool(); }
  void TearDown() override {
    SetAllocatedMemoryProbe(nullptr);
    TrimFragmentPool();
  }
};

TEST_F(FragmentPool, RecyclesSmallBuffersAndResetsContent) {
  TFragmentRef f = AcquireFragment();
  TCompoundFragment* address = f.get();
  f->SetSingleRange(1, 2, 3, 4);
  f->ColumnBlock = 1;
  ReleaseFragment(std::move(f));
  EXPECT_EQ(FragmentPoolCount(), 1);
  TFragmentRef again = AcquireFragment();
  EXPECT_EQ(again.get(), address);
  EXPECT_EQ(FragmentPoolCount(), 0);
  EXPECT_TRUE(IsFragmentEmpty(again));
  EXPECT_EQ(again->ColumnBlock, 0);
  EXPECT_EQ(again->Capacity, 128);

  // More than 8 ranges outgrow 256 bytes: the buffer is dropped and made afresh.
  again->SetCount(9);
  again.reset();
  EXPECT_EQ(FragmentPoolCount(), 1);
  TFragmentRef big = AcquireFragment();
  EXPECT_EQ(big->Capacity, 128);
  EXPECT_EQ(big->Count(), 1);

  TFragmentRef clone = CloneFragment(*big);
  EXPECT_TRUE(clone->Equals(*big));
}

TEST_F(FragmentPool, SlotListDoubles) {
  std::vector<TFragmentRef> held;
  for (int i = 0; i < 32 + 1; ++i) held.push_back(AcquireFragment());
  held.clear();  // all given back: 33 into a trimmed list of 32 slots
  EXPECT_EQ(FragmentPoolCount(), 33);
  EXPECT_EQ(FragmentPoolSlots(), 64);
}

TEST_F(FragmentPool, DestroysUnderMemoryPressure) {
  SetAllocatedMemoryProbe([] { return MemoryPressureLimit + 1; });
  TFragmentRef f = AcquireFragment();
  ReleaseFragment(std::move(f));
  EXPECT_EQ(FragmentPoolCount(), 0);
  SetAllocatedMemoryProbe([] { return MemoryPressureLimit; });
  ReleaseFragment(AcquireFragment());
  EXPECT_EQ(FragmentPoolCount(), 1);
  SetAllocatedMemoryProbe(nullptr);
  EXPECT_GT(AllocatedMemoryBytes(), 0u);
}

}  // namespace
