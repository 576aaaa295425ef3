#include "document/page_params.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "foundation/base/units.h"

namespace qv {

namespace {

int32_t ClampTo(int32_t value, int32_t low, int32_t high) {
  return std::max(low, std::min(value, high));
}

// Column counts beyond the stored records are read as the last record.
int32_t UsableCount(const TSectionFormat& format) {
  return std::min(format.ColumnCount, MaxColumns);
}

// Half a gap; negative gaps (a damaged file) count as none.
int32_t HalfGap(int32_t gap) { return std::max(gap, 0) / 2; }

}  // namespace

void InitPageParams(TPageParams& params) {
  params = TPageParams{};
  params.PageWidth = 12240;
  params.PageHeight = 15840;
  params.LeftMargin = 1440;
  params.RightMargin = 1440;
  params.TopMargin = 1440;
  params.BottomMargin = 1440;
  params.HeaderDistance = 720;
  params.FooterDistance = 720;
  params.TextWidth = 9360;
  params.LineNumStart = 1;
}

void ClampPageParams(TPageParams& params) {
  TPageParams& p = params;
  p.PageWidth = ClampTo(p.PageWidth, 1440, 31680);
  p.PageHeight = ClampTo(p.PageHeight, 1440, 31680);
  p.LeftMargin = ClampTo(p.LeftMargin, 0, p.PageWidth - 180);
  p.RightMargin = ClampTo(p.RightMargin, 0, p.PageWidth - 180 - p.LeftMargin);
  p.TopMargin = ClampTo(p.TopMargin, 0, p.PageHeight - 180);
  p.BottomMargin = ClampTo(p.BottomMargin, 0, p.PageHeight - 180 - p.TopMargin);
  int32_t maxDistance = MulDiv(p.PageHeight, 40, 100);
  p.HeaderDistance = ClampTo(p.HeaderDistance, 0, maxDistance);
  p.FooterDistance = ClampTo(p.FooterDistance, 0, maxDistance);
  // A text width left over from the old page would let columns run off the clamped page.
  p.TextWidth = p.PageWidth - p.LeftMargin - p.RightMargin;
}

void ComputeColumnBounds(const TSectionFormat& format, const TPageParams& params, int32_t n,
                         TColumnBounds& out) {
  int32_t count = UsableCount(format);
  int32_t textWidth = params.TextWidth;
  if (count < 2) {
    out = TColumnBounds{0, textWidth, 0, 0, textWidth};
    return;
  }
  n = ClampTo(n, 0, count - 1);
  // Sums are taken in 64 bits, and negative widths and gaps (a damaged file) count as none, so
  // that no stored value can make the columns overflow or run backwards.
  auto saturate = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  int64_t left = 0, width = 0, gap = 0, areaLeft = 0;
  if (format.EqualWidth != 0) {
    const int64_t room = textWidth;
    gap = std::max<int64_t>(std::min<int64_t>(format.Spacing, (room * 7 / 10) / (count - 1)), 0);
    width = std::max<int64_t>((room - gap * (count - 1)) / count, 0);
    left = n * (gap + width);
    areaLeft = left - (n > 0 ? HalfGap(saturate(gap)) : 0);
  } else {
    for (int32_t i = 0; i < n; ++i)
      left += std::max(format.Columns[i].Width, 0) + int64_t{std::max(format.Columns[i].Gap, 0)};
    width = std::max(format.Columns[n].Width, 0);
    gap = std::max(format.Columns[n].Gap, 0);
    areaLeft = left - (n > 0 ? HalfGap(format.Columns[n - 1].Gap) : 0);
  }
  out.Left = saturate(left);
  out.Width = saturate(width);
  out.Gap = saturate(gap);
  out.AreaLeft = saturate(areaLeft);
  out.AreaRight = saturate(left + width + (n < count - 1 ? HalfGap(out.Gap) : 0));
}

void FitColumnWidths(TSectionFormat& format, const TPageParams& params) {
  int32_t count = UsableCount(format);
  if (count < 2 || format.EqualWidth != 0) return;
  int64_t widths = 0;
  int64_t gaps = 0;
  for (int32_t i = 0; i < count; ++i) {
    widths += format.Columns[i].Width;
    if (i < count - 1) gaps += format.Columns[i].Gap;
  }
  if (widths + gaps == params.TextWidth) return;
  auto room = static_cast<int32_t>(std::clamp<int64_t>(params.TextWidth - gaps, 0, INT32_MAX));
  for (int32_t i = 0; i < count; ++i) {
    TColumnBounds& column = format.Columns[i];
    // Columns without any width (a damaged file) share the room equally instead of dividing by 0.
    column.Width = widths > 0 && widths <= INT32_MAX
                       ? std::max(MulDiv(column.Width, room, static_cast<int32_t>(widths)), 0)
                       : room / count;
  }
}

}  // namespace qv
