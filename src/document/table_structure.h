#pragma once
// Table structure: how a table lives in a story's paragraph list, and the queries that find its
// cells, rows, table range and column edges (TDoc operations, table_structure.cpp).
//
// A cell is one or more consecutive paragraphs with InTable 1; its last paragraph ends with the
// cell-end mark (code 4, tag ctCellEnd) instead of a paragraph mark. A row is its cells followed
// by a one-character row-end paragraph (code 5, tag ctRowEnd referring to the row's TTableRow).
// A table is a maximal run of consecutive InTable paragraphs of one story; tables do not nest.
// The queries are meant for paragraphs inside a table; callers test InTable first. On damaged
// data they stay within the story and answer what they found (a null row when no row-end
// paragraph follows).
#include "document/doc_position.h"
#include "document/table_row.h"

namespace qv {

// The range holds a cell with nothing but its cell-end mark: it starts and ends in the same
// paragraph and ends at offset 1.
bool IsEmptyCellRange(const TDocRange& range);

}  // namespace qv
