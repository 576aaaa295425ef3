#pragma once
// What the table operations read of a laid-out table: the height of the cell box a paragraph
// lies in, and how tall the rows of a table are on the pages they lie on.
#include <cstdint>
#include <vector>

#include "document/table_requests.h"

namespace qv {

class TDoc;
class TTableRow;

// The height (twips) of the cell box of the paragraph's first line; -1 when it has none.
int32_t LaidOutCellHeight(TDoc& doc, int32_t par);
// Per row of the list: over the table boxes of the table that starts at the paragraph, the
// tallest counted cell box of the row and the tallest sum of one counted cell box's line heights,
// added up over the row's pieces, and the number of pieces. A cell box counts unless it holds
// the row-end mark or its cell takes part in a vertical merge; a merge start counts only as the
// first and only counted cell box of a table that has a single table box.
std::vector<TRowMeasure> MeasureLaidOutRows(TDoc& doc, int32_t tableFirstPar,
                                            const std::vector<TTableRow*>& rows);

}  // namespace qv
