#pragma once
// Tolerant comparisons of table widths, the fitting of rows to an available width and the order
// in which conflicting borders of neighbouring cells win. Cell boundaries come from files,
// dialogs and mouse drags, so differences of a few twips are common: boundaries within 3 twips
// count as the same column edge.
#include <cstdint>
#include <span>

namespace qv {

class TTableRow;
struct TBorderLine;

// a - b, or 0 when the two differ by 3 twips or less.
int32_t SignificantDifference(int32_t a, int32_t b);
// The two differ by less than 4 twips.
bool NearlyEqual(int32_t a, int32_t b);
// The last value of the list (searched from the end) that is NearlyEqual to the value, else the
// value itself.
int32_t SnapToListedValue(int32_t value, std::span<const int32_t> list);

// Fits rows to an available width: rows with a cell not yet placed get evenly spaced cells; unless
// `noScaling`, rows with a preferred width are scaled to that share of the width when the first
// row has one; every row then records the width and loses its changed mark.
void FitTableRowsToWidth(std::span<TTableRow* const> rows, int32_t width, bool noScaling);

// Which of two conflicting borders wins: 1 a, -1 b, 0 equal. The flags (null when absent) break
// ties between equally wide borders of one style: the side whose flag is 0 wins.
int CompareBorderStrength(const TBorderLine& a, const TBorderLine& b, const int32_t* flagA = nullptr,
                          const int32_t* flagB = nullptr);

}  // namespace qv
