#include "document/border_sets.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace qv {

static_assert(std::is_trivially_copyable_v<TParBorders>);
static_assert(sizeof(TParBorders) == 5 * 7 * 4);

namespace {

constexpr int32_t kAutoColor = static_cast<int32_t>(0xFF000000u);

TMemory& Table() {
  static TMemory table = [] {
    TMemory m;
    TParBorders none;
    InitParBorders(none);
    m.Append(&none, sizeof none);
    return m;
  }();
  return table;
}

TParBorders EntryAt(int32_t index) {
  TParBorders b;
  std::memcpy(&b, Table().Data + static_cast<size_t>(index) * sizeof(TParBorders), sizeof b);
  return b;
}

}  // namespace

void InitParBorders(TParBorders& borders) {
  TBorderLine* lines[] = {&borders.Left, &borders.Top, &borders.Right, &borders.Bottom,
                          &borders.Inside};
  for (TBorderLine* line : lines) {
    *line = TBorderLine{};
    line->Style = BorderStyleNone;
    line->Color = kAutoColor;
    line->Distance = 20;
  }
  borders.Left.Distance = 80;
  borders.Right.Distance = 80;
}

const TMemory& ParBordersTable() { return Table(); }

int32_t ParBordersCount() {
  return Table().Length / static_cast<int32_t>(sizeof(TParBorders));
}

int32_t ClampBorderDistance(int32_t distance) {
  return std::clamp(distance, 0, MaxBorderDistance);
}

bool SameBorderLine(const TBorderLine& stored, const TBorderLine& candidate, int32_t distance) {
  if (stored.Style != candidate.Style) return false;
  if (stored.Style == BorderStyleNone) return true;
  return stored.Width == candidate.Width && stored.Color == candidate.Color &&
         stored.Distance == ClampBorderDistance(distance);
}

int32_t InternParBorders(const TParBorders& borders) {
  int32_t count = ParBordersCount();
  for (int32_t i = 0; i < count; ++i) {
    TParBorders e = EntryAt(i);
    if (SameBorderLine(e.Left, borders.Left, borders.Left.Distance) &&
        SameBorderLine(e.Top, borders.Top, borders.Top.Distance) &&
        SameBorderLine(e.Right, borders.Right, borders.Right.Distance) &&
        SameBorderLine(e.Bottom, borders.Bottom, borders.Bottom.Distance) &&
        SameBorderLine(e.Inside, borders.Inside, borders.Top.Distance)) {
      return i;
    }
  }
  TParBorders added = borders;
  added.Left.Distance = ClampBorderDistance(added.Left.Distance);
  added.Top.Distance = ClampBorderDistance(added.Top.Distance);
  added.Right.Distance = ClampBorderDistance(added.Right.Distance);
  added.Bottom.Distance = ClampBorderDistance(added.Bottom.Distance);
  added.Inside.Distance = added.Top.Distance;
  Table().Append(&added, sizeof added);
  return count;
}

TParBorders GetParBorders(int32_t index) {
  if (index < 0 || index >= ParBordersCount()) index = 0;
  return EntryAt(index);
}

}  // namespace qv
