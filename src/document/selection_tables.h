#pragma once
// The table questions that selections ask, read straight from the paragraphs: a table is a run
// of paragraphs of one story whose InTable property is positive; a cell ends with a paragraph
// whose last character is the cell end (code 4); a row ends with a one-character row-end
// paragraph (code 5).
//
// The selection model asks them of a const document, so the table range is walked here (the
// document's table-range cache needs a document it may change); cells, rows, column spans and
// row pieces are the document's own table queries. A row whose end names no row object (damaged
// data) spaces its cells evenly by index.
#include <cstdint>

#include "document/doc_position.h"
#include "document/fragment_pool.h"
#include "document/table_fitting.h"  // SignificantDifference

namespace qv {

class TDoc;

// Bounds of the row-end pseudo-cell.
inline constexpr int32_t RowEndBound = 0x3FFFFFFF;

bool ParInTable(const TDoc& doc, int32_t par);
// InTable and the first character is the row end.
bool IsRowEndParagraph(const TDoc& doc, int32_t par);
// The last character is a cell end or a row end.
bool EndsTableCell(const TDoc& doc, int32_t par);
// The cell holding the paragraph: its first paragraph, offset 0, to its last paragraph after
// the cell-end mark. A row-end paragraph is a cell of its own.
void TableCellRange(const TDoc& doc, int32_t par, TDocRange& out);
// The row: its first paragraph, offset 0, to its row-end paragraph, offset 1.
void TableRowRange(const TDoc& doc, int32_t par, TDocRange& out);
// The table: the run of InTable paragraphs of the story around the paragraph.
void TableRange(const TDoc& doc, int32_t par, TDocRange& out);
// The paragraph's cell within its row; for a row-end paragraph the number of cells.
int32_t TableCellIndex(const TDoc& doc, int32_t par);
// The paragraph's row within its table (0 for the first row).
int32_t TableRowIndex(const TDoc& doc, int32_t par);
// Left and right boundary of the paragraph's cell (RowEndBound twice for a row end).
void TableCellHorzBounds(const TDoc& doc, int32_t par, int32_t& left, int32_t& right);
// The cells of the table's rows (rows lo..hi by index; lo 0x80000000: every row) that meet the
// horizontal span x1..x2, row-end marks included when x1 is RowEndBound; one range per cell in
// document order. The fragment holds at least its initial empty range.
TFragmentRef TableCellsInColumnSpan(TDoc& doc, const TDocRange& table, int32_t lo, int32_t x1,
                                    int32_t x2, int32_t hi);
// A normalised copy of the fragment whose ranges are cut at row boundaries, row-end marks left
// out: a selection of row-end marks alone comes out empty.
TFragmentRef SplitFragmentsByTableRows(TDoc& doc, const TCompoundFragment& fragment);

}  // namespace qv
