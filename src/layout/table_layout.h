#pragma once
// Table layout: when a flow meets a paragraph of a table, the table is laid out row by row into
// a table box: one cell box per cell, each cell's paragraphs flowed into its box, the cells of a
// row brought to a common height, the row-end mark placed after the last cell, and rows
// continued on the next page when they do not fit. A table that goes on over several pages has
// one table box per page, each continuing from the cells of the box before; header rows are laid
// out in the first box and their height is reserved at the top of every continuation box.
#include <cstdint>
#include <vector>

#include "document/doc_position.h"

namespace qv {

class TBox;
class TCellBox;
class TDoc;
class TTableBox;
class TTableRow;
class TFlowStack;
struct TKeepChain;

// Lays out the table that starts at the range's start into the target (a branch of
// FlowIntoBoxes, whose result flags it updates and whose range it advances). True when the flow
// goes on after the table (it ended and nothing is pending).
bool LayOutTable(TBox& target, TDocRange& range, TFlowStack& stack, TKeepChain& chain, uint32_t& flags);

// Fits the rows to the width and resolves the borders that neighbouring cells share, when a
// row's neighbours, the width or the row's changed mark are not what they were last time.
// Also keeps each row's index and neighbours in the table.
void ComputeTableGrid(const std::vector<TTableRow*>& rows, int32_t width);

// Brings the cells of a row (those in the table box) to one bottom and places their content by
// the row's vertical alignment; in the box that starts the table, after its last header row,
// records the header rows' height.
void EqualizeRow(TTableBox& table, const std::vector<TCellBox*>& cells, int32_t rowIndex);
// Moves the cells by the first row's alignment and computes the table box's cell extent.
void AlignRows(TTableBox& table, const std::vector<TTableRow*>& rows, int32_t available);

// Where a table whose box on the page does not end it continues: the first paragraph of the row
// that is incomplete, or of the row after the last complete one.
TDocPosition TableContinuation(TTableBox& table);

}  // namespace qv
