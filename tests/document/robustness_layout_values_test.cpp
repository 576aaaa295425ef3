// Page, column and tab values as a damaged document can hold them: every field at the ends of the
// 32-bit range. Clamping, column geometry and tab-stop handling stay in range and never overflow.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"

#include "document/auto_list.h"
#include "document/page_params.h"
#include "document/section.h"
#include "document/tab_stops.h"

using namespace qv;

namespace {

constexpr int32_t kValues[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, 180, 1440, 31680, INT32_MAX};

TEST(LayoutValueRobustness, PageParamsAndColumnsFromAnyValues) {
  std::mt19937 rng(17);
  auto any = [&rng] { return kValues[rng() % std::size(kValues)]; };
  for (int i = 0; i < 2000; ++i) {
    TPageParams p;
    InitPageParams(p);
    p.PageWidth = any();
    p.PageHeight = any();
    p.LeftMargin = any();
    p.RightMargin = any();
    p.TopMargin = any();
    p.BottomMargin = any();
    p.HeaderDistance = any();
    p.FooterDistance = any();
    ClampPageParams(p);
    EXPECT_GE(p.PageWidth, 1440);
    EXPECT_LE(p.PageWidth, 31680);
    EXPECT_GE(p.TextWidth, 180);
    TSectionFormat f = DefaultSectionFormat();
    f.ColumnCount = any();
    f.EqualWidth = i % 2;
    f.Spacing = any();
    for (TColumnBounds& c : f.Columns) {
      c.Width = any();
      c.Gap = any();
    }
    FitColumnWidths(f, p);
    for (int32_t n : {INT32_MIN, -1, 0, 1, 63, 64, INT32_MAX}) {
      TColumnBounds out;
      ComputeColumnBounds(f, p, n, out);
      EXPECT_LE(out.AreaLeft, out.AreaRight);
    }
  }
}

TEST(LayoutValueRobustness, TabStopsAtAnyPosition) {
  TTabTable set;
  for (int32_t position : kValues)
    for (int kind : {-1, 0, 3, 15, 16})
      AddTabStop(set, PackTabStop(position, kind, kind));
  SortTabStops(set);
  for (int32_t x : kValues) {
    NextTabStop(set, x, true);
    NextTabStop(set, x, false);
    IndexOfTabStop(set, x);
    DeleteTabStop(set, x);
  }
  EXPECT_LE(set.size(), 50u);
}

TEST(LayoutValueRobustness, ListPreviewsOfAnyLevelText) {
  std::mt19937 rng(23);
  for (int i = 0; i < 300; ++i) {
    TAutoList list;
    list.SingleLevel = i % 5 == 0;
    for (TListLevel& level : list.ListLevels) {
      level.StartAt = kValues[rng() % std::size(kValues)];
      level.NumberFormat = static_cast<int32_t>(rng() % 3 ? rng() % 30 : rng());
      level.LevelText.assign(rng() % 12, u'\0');
      for (char16_t& c : level.LevelText) c = static_cast<char16_t>(rng() % 2 ? rng() % 12 : rng());
    }
    std::vector<std::pair<std::u16string, int32_t>> numbers;
    for (int32_t level : {INT32_MIN, -1, 0, 4, 8, 9, INT32_MAX}) {
      const std::u16string text = ListLevelPreviewText(list, level, 1033, &numbers);
      EXPECT_LT(text.size(), 12u * 300u);
    }
  }
}

}  // namespace
