#pragma once
// The row helpers of distributing columns: whether two rows' cell spans have the same edges, and
// a row with the cells of a span made equally wide.
#include <cstdint>

#include "document/table_row.h"

namespace qv {

// The spans hold the same number of cells and exactly equal boundaries, from the left boundary of
// the span's first cell to the Right of its last.
bool SameColumnEdges(const TTableRowData& a, int32_t a1, int32_t a2, const TTableRowData& b,
                     int32_t b1, int32_t b2);
// A copy of the row's data block with the cells first..last (-1: the row's last cell) given
// equal widths, each boundary to the nearest twip (halves away from zero); the span's outer
// edges stay.
TTableRowData DistributeCellWidths(const TTableRowData& row, int32_t first, int32_t last);

}  // namespace qv
