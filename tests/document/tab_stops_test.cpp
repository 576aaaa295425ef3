#include "document/tab_stops.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

std::vector<int32_t> Positions(const TTabTable& t) {
  std::vector<int32_t> out;
  for (uint32_t s : t) out.push_back(TabStopPosition(s));
  return out;
}

TParFormat WithTabs(int32_t tabSet, int16_t rightIndent = 0) {
  TParFormat f = DefaultParFormat;
  f.TabSet = static_cast<int16_t>(tabSet);
  f.RightIndent = rightIndent;
  return f;
}

TEST(TabStops, Packing) {
  struct Case {
    int32_t position;
    int32_t packedPosition;
  };
  const Case cases[] = {{0, 15}, {10, 15}, {15, 15}, {16, 16}, {-40, 15}, {0x1000000, 0xFFFFFF}};
  for (const Case& c : cases) {
    EXPECT_EQ(TabStopPosition(PackTabStop(c.position, tkLeft, tlNone)), c.packedPosition);
  }
  TTabStop s = UnpackTabStop(PackTabStop(1440, tkDecimal, tlDots));
  EXPECT_EQ(s.Position, 1440);
  EXPECT_EQ(s.Kind, tkDecimal);
  EXPECT_EQ(s.Leader, tlDots);
  EXPECT_EQ(PackTabStop(100, 0x12, 0x13), 100u | 0x2u << 24 | 0x3u << 28);
}

TEST(TabStops, AddDeleteAndLimit) {
  TTabTable set;
  AddTabStop(set, PackTabStop(720, tkLeft, tlNone));
  AddTabStop(set, PackTabStop(720, tkLeft, tlNone));   // identical: ignored
  AddTabStop(set, PackTabStop(720, tkRight, tlNone));  // same place, other kind: appended
  AddTabStop(set, 5);                                   // raised to 15
  EXPECT_EQ(Positions(set), (std::vector<int32_t>{720, 720, 15}));
  EXPECT_EQ(IndexOfTabStop(set, 720), 1);
  DeleteTabStop(set, 720);
  DeleteTabStop(set, 999);
  EXPECT_EQ(set.size(), 2u);
  EXPECT_EQ(TabStopKind(set[0]), tkLeft);
  SortTabStops(set);
  EXPECT_EQ(Positions(set), (std::vector<int32_t>{15, 720}));

  TTabTable full;
  for (int i = 1; i <= 60; ++i) AddTabStop(full, PackTabStop(i * 100, tkLeft, tlNone));
  EXPECT_EQ(full.size(), 50u);
}

TEST(TabStops, NextTabStopSkipsBars) {
  TTabTable t = {PackTabStop(500, tkBar, tlNone), PackTabStop(500, tkLeft, tlNone),
                 PackTabStop(1000, tkCenter, tlNone)};
  EXPECT_EQ(TabStopPosition(NextTabStop(t, 100, false)), 500);
  EXPECT_EQ(TabStopPosition(NextTabStop(t, 500, false)), 1000);
  EXPECT_EQ(TabStopPosition(NextTabStop(t, 500, true)), 500);
  EXPECT_EQ(NextTabStop(t, 1000, false), NoFurtherTabStop);
}

TEST(TabStops, InterningByValuesInOrder) {
  TTabManager m;
  TTabTable a = {PackTabStop(100, tkLeft, tlNone), PackTabStop(200, tkLeft, tlNone)};
  TTabTable reversed = {a[1], a[0]};
  EXPECT_EQ(m.AddTable({}), 0);
  int32_t ia = m.AddTable(a);
  EXPECT_EQ(ia, 1);
  EXPECT_EQ(m.AddTable(a), ia);
  EXPECT_EQ(m.AddTable(reversed), 2);
  EXPECT_TRUE(m.Table(99).empty());
}

TEST(TabStops, WorkingTable) {
  TTabManager m;
  int32_t own = m.AddTable({PackTabStop(1000, tkLeft, tlNone), PackTabStop(1500, tkBar, tlNone),
                            PackTabStop(2000, tkRight, tlDots)});
  int32_t beyond = m.AddTable({PackTabStop(40000, tkLeft, tlNone), PackTabStop(50000, tkLeft, tlNone)});

  m.BuildParTabs(WithTabs(0), 720);
  const TTabTable& w = m.WorkingTable();
  ASSERT_EQ(w.size(), 44u);
  EXPECT_EQ(TabStopPosition(w.front()), 720);
  EXPECT_EQ(TabStopPosition(w.back()), 31680);

  m.BuildParTabs(WithTabs(own), 720);
  std::vector<int32_t> p = Positions(m.WorkingTable());
  ASSERT_GE(p.size(), 3u);
  EXPECT_EQ((std::vector<int32_t>(p.begin(), p.begin() + 3)), (std::vector<int32_t>{1000, 2000, 2160}));

  m.BuildParTabs(WithTabs(0), 40000);  // wider than the limit: still one stop
  EXPECT_EQ(Positions(m.WorkingTable()), (std::vector<int32_t>{40000}));

  m.BuildParTabs(WithTabs(beyond), 720);  // own stops past the limit: only the first
  EXPECT_EQ(Positions(m.WorkingTable()), (std::vector<int32_t>{40000}));
}

TEST(TabStops, WorkingTableCacheAndBadWidths) {
  TTabManager m;
  // A default width of 0 or less (from a damaged file) counts as the usual 720.
  for (int32_t width : {0, -5}) {
    m.BuildParTabs(WithTabs(0), width);
    ASSERT_EQ(m.WorkingTable().size(), 44u) << width;
    EXPECT_EQ(TabStopPosition(m.WorkingTable()[0]), 720);
  }
  // Same tab set and width but another right indent: the table is built again for it.
  m.BuildParTabs(WithTabs(0), 720);
  m.BuildParTabs(WithTabs(0, 1440), 720);
  EXPECT_EQ(TabStopPosition(m.WorkingTable().back()), 30240);
  m.BuildParTabs(WithTabs(0, 0), 720);
  EXPECT_EQ(TabStopPosition(m.WorkingTable().back()), 31680);
}

}  // namespace
