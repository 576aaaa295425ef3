#include "layout/paint/selection_rects.h"

#include <algorithm>
#include <climits>

#include "document/compound_fragment.h"
#include "document/line.h"
#include "document/par.h"
#include "layout/paint/line_painter.h"

namespace qv {

void AddLineSelectionRects(TLine& line, int32_t x, int32_t y, const TCompoundFragment& selection,
                           std::vector<plat::Rect>& out) {
  if (line.Par == nullptr || line.Count <= 0) return;
  const int32_t par = line.Par->Index;
  const int32_t first = line.FirstChar;
  const int32_t last = line.FirstChar + line.Count;
  const int32_t height = LineHeightPixels(line);
  for (int32_t i = 0; i < selection.Count(); ++i) {
    const TDocRange& r = *selection.GetRange(i);
    if (r.Start.Par > par || r.End.Par < par) continue;
    const int32_t a = std::max(first, r.Start.Par == par ? r.Start.Offset : INT_MIN);
    const int32_t b = std::min(last, r.End.Par == par ? r.End.Offset : INT_MAX);
    if (a >= b) continue;
    const int32_t left = x + LineTextX(line, a - first);
    const int32_t right = std::max(left + 2, x + LineTextX(line, b - first));
    out.push_back({left, y, right, y + height});
  }
}

}  // namespace qv
