#pragma once
// The argument records of the table operations: a request to change rows (the one way row and
// cell properties change), the description of one insertion at a table boundary, and the answer
// of the merge check.
#include <cstdint>
#include <vector>

#include "document/doc_position.h"
#include "document/table_row.h"

namespace qv {

// A scroll target of a row change: twips from the line of the request's position; X none
// (TableValueUnset) when the caret is simply scrolled into view.
struct TRowViewPos {
  int32_t X = TableValueUnset;
  int32_t Y = 0;
};

// New data blocks for some rows of one table, in the order of Rows: the rows' complete new state.
struct TFormatRowsRequest {
  std::vector<TTableRow*> Rows;
  std::vector<TTableRowData> NewData;
  int32_t ParAlignment = -1;  // -1 leave paragraphs alone, else the alignment for the selection
  int32_t FirstPar = 0;       // a paragraph of the table (its edges are used, it is normalised)
  TRowViewPos ViewPosA;       // scroll target while the change is undone
  TRowViewPos ViewPosB;       // and when it is done or redone
  TDocPosition UpdatePos;

  // Adds a row with a copy of its data block to change; returns the copy.
  TTableRowData& Add(TTableRow* row) {
    Rows.push_back(row);
    NewData.push_back(row->Data());
    return NewData.back();
  }
};

// One insertion at a table boundary.
struct TTableInsertRequest {
  static constexpr int32_t kRow = 1;
  static constexpr int32_t kColumn = 2;
  int32_t Kind = 0;
  int32_t Par = 0;             // a paragraph of the table
  TTableRow* Row = nullptr;      // row: the row whose copy is inserted
  TTableRow* NextRow = nullptr;  // row: the copy goes before it; null after the last row
  int32_t X = 0;               // column: the boundary at which the column goes (twips)
};

// Whether and how the selected cells can be merged.
struct TMergeCheckResult {
  bool CanMerge = false;
  int32_t MergeLeft = 0;
  int32_t MergeRight = 0;
  int32_t FirstRowIndex = 0;
  int32_t LastRowIndex = 0;
  // Why merging is unavailable: 49 not several cells, 8 only row ends selected, 50 the cells
  // cannot be merged.
  int32_t Reason = 49;
};

// Per-row measures of the laid-out rows of a table.
struct TRowMeasure {
  int32_t Height = 0;         // sum of the tallest cell heights of the row's pieces
  int32_t ContentHeight = 0;  // sum of the tallest line sums of the row's pieces
  int32_t Pieces = 0;         // the pages the row lies on
};

// The message of a refused column insertion.
inline constexpr const char* TooManyColumnsMessage =
    "This operation would exceed the maximum number of columns in a table row.";

}  // namespace qv
