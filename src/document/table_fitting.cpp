#include "document/table_fitting.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "document/border_sets.h"
#include "document/table_row.h"
#include "foundation/base/units.h"

namespace qv {

namespace {


bool HasUnplacedCell(const TTableRow& row) {
  const int32_t count = std::clamp(row.CellCount, 0, MaxTableCells);
  for (int32_t j = 0; j < count; ++j)
    if (row.Cells[static_cast<size_t>(j)].Right == TableValueUnset) return true;
  return false;
}

void SpaceCellsEvenly(TTableRow& row, int32_t width) {
  const int32_t count = std::clamp(row.CellCount, 0, MaxTableCells);
  for (int32_t j = 0; j < count; ++j)
    row.Cells[static_cast<size_t>(j)].Right = row.Left + MulDiv(width, j + 1, count);
  row.FitAvailWidth = width;
  row.FitScaledWidth = width;
}

int32_t LastBoundary(const TTableRow& row) {
  const int32_t count = std::clamp(row.CellCount, 0, MaxTableCells);
  return count > 0 ? row.Cells[static_cast<size_t>(count - 1)].Right : row.Left;
}

// Moves a value away from or towards the base by the factor target / extent, unless the new value
// lies within the tolerance of the old one.
void ScaleFrom(int32_t& value, int32_t base, int32_t target, int32_t extent) {
  const int32_t scaled = base + MulDiv(int64_t{value} - base, target, extent);
  if (!NearlyEqual(scaled, value)) value = scaled;
}

void ScaleRelativeRows(std::span<TTableRow* const> rows, int32_t width) {
  const TTableRow& first = *rows.front();
  if (first.PreferredWidth <= 0) return;
  const int32_t target = MulDiv(width, first.PreferredWidth, 5000);
  int32_t base = INT32_MAX;
  for (const TTableRow* row : rows) base = std::min(base, row->Left);
  int64_t extent = 0;
  for (const TTableRow* row : rows) extent = std::max<int64_t>(extent, int64_t{LastBoundary(*row)} - base);
  if (extent <= 0 || extent > INT32_MAX) return;
  for (TTableRow* row : rows) {
    if (row->PreferredWidth <= 0 || row->FitScaledWidth == target) continue;
    ScaleFrom(row->Left, base, target, static_cast<int32_t>(extent));
    const int32_t count = std::clamp(row->CellCount, 0, MaxTableCells);
    for (int32_t j = 0; j < count; ++j)
      ScaleFrom(row->Cells[static_cast<size_t>(j)].Right, base, target, static_cast<int32_t>(extent));
    row->FitScaledWidth = target;
  }
}

}  // namespace

int32_t SignificantDifference(int32_t a, int32_t b) {
  const int64_t d = int64_t{a} - b;
  if (std::llabs(d) <= 3) return 0;
  return static_cast<int32_t>(std::clamp<int64_t>(d, INT32_MIN, INT32_MAX));
}

bool NearlyEqual(int32_t a, int32_t b) { return std::llabs(int64_t{a} - b) < 4; }

int32_t SnapToListedValue(int32_t value, std::span<const int32_t> list) {
  for (size_t i = list.size(); i-- > 0;)
    if (NearlyEqual(list[i], value)) return list[i];
  return value;
}

void FitTableRowsToWidth(std::span<TTableRow* const> rows, int32_t width, bool noScaling) {
  if (rows.empty()) return;
  for (TTableRow* row : rows)
    if (HasUnplacedCell(*row)) SpaceCellsEvenly(*row, width);
  if (!noScaling) ScaleRelativeRows(rows, width);
  for (TTableRow* row : rows) {
    row->FitAvailWidth = width;
    row->LayoutChanged = 0;
  }
}

int CompareBorderStrength(const TBorderLine& a, const TBorderLine& b, const int32_t* flagA,
                          const int32_t* flagB) {
  const bool unsetA = a.Style == TableValueUnset;
  const bool unsetB = b.Style == TableValueUnset;
  if (unsetA || unsetB) {
    if (unsetA && unsetB) return 0;
    return unsetA ? -1 : 1;
  }
  if (a.Style != b.Style) return a.Style == 1 ? 1 : -1;
  if (a.Style == BorderStyleNone) return 0;
  if (a.Width != b.Width) return a.Width > b.Width ? 1 : -1;
  if (flagA != nullptr && flagB != nullptr && (*flagA == 0) != (*flagB == 0))
    return *flagA == 0 ? 1 : -1;
  if (a.Color == b.Color) return 0;
  // The automatic colour counts as the lowest.
  auto rank = [](int32_t color) -> int64_t {
    return static_cast<uint32_t>(color) == 0xFF000000u ? -1 : static_cast<int64_t>(static_cast<uint32_t>(color));
  };
  return rank(a.Color) > rank(b.Color) ? 1 : -1;
}

}  // namespace qv
