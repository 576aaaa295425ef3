#pragma once
// Small pieces the table operations share: reading cells and rows from the paragraph list, and
// the editing primitives they change the document through (all recorded by the editing
// services in the running operation).
#include <cstdint>
#include <vector>

#include "document/char_format.h"
#include "document/doc.h"
#include "document/par_format.h"
#include "document/table_row.h"
#include "foundation/base/memory.h"

namespace qv {

namespace tables {

bool InTable(const TDoc& doc, int32_t par);
uint8_t FirstCode(const TDoc& doc, int32_t par);
uint8_t LastCode(const TDoc& doc, int32_t par);

// Boundaries within 3 twips are one column edge.
bool SameEdge(int32_t a, int32_t b);
// The cell of the row whose Right is the same edge as x, searched from the last cell; -1 none.
int32_t CellAtRight(const TTableRowData& row, int32_t x);
// The cell of the row whose left boundary is the same edge as x; -1 none.
int32_t CellAtLeft(const TTableRowData& row, int32_t x);
int32_t CellWidth(const TTableRowData& row, int32_t i);
int32_t CellCountOf(const TTableRowData& row);

// The first paragraph of each cell of the row that starts at the paragraph, then the row-end
// paragraph.
std::vector<int32_t> CellStarts(TDoc& doc, int32_t rowFirstPar);
// The paragraph range of cell i of the row that starts at the paragraph.
TDocRange CellRangeAt(TDoc& doc, int32_t rowFirstPar, int32_t i);
// The first paragraph of each row of the table holding the paragraph, in order.
std::vector<int32_t> RowStarts(TDoc& doc, int32_t par);

// The first paragraph of the row of the table (holding the paragraph) whose object it is; -1
// when none is.
int32_t FindRowStart(TDoc& doc, int32_t tablePar, const TTableRow* row);
// The rows of the table holding the paragraph with their first paragraphs.
struct TRowAt {
  int32_t First = 0;
  TTableRow* Row = nullptr;
};
std::vector<TRowAt> TableRowsAt(TDoc& doc, int32_t par);

// A new row as the table operations make it without a template: preferred width 100 %,
// paddings of 108 left and right, unplaced cells with single borders.
TTableRowData DefaultNewRow(int32_t columns);
// The template entry for index k of n, out of `count` entries: the first for 0, the last for
// n - 1, else entry k limited to 0 .. count - 2.
size_t TemplateIndex(int32_t k, int32_t n, int32_t count);
// New row r of `rows` with the row and cell properties of the template rows (the defaults
// without a template); the cells' formats are the caller's.
TTableRowData TemplateRow(const std::vector<std::unique_ptr<TTableRow>>& templateRows, int32_t r,
                          int32_t rows, int32_t columns);

// Every row of the table holding the paragraph has its row object, and the object counts as many
// cells (at most 63) as the row has cell paragraphs. Structural operations leave a table that
// fails this (a damaged file) alone rather than act on cells that are not there.
bool TableIsSound(TDoc& doc, int32_t par);

// The format a new cell paragraph takes from its source paragraph.
TParFormat CellParFormat(const TParFormat& source);
// Appends one paragraph of the fragment form: 23 format tags, the closing tag (a cell end, or a
// row end referring to the row) and the paragraph-format block.
void AppendCellPar(TMemory& out, const TCharFormat& chars, const TParFormat& format);
void AppendRowEndPar(TMemory& out, const TCharFormat& chars, TTableRow* row,
                     const TParFormat& format);
// A new live row of the document with the data block (merge flags kept as given).
TTableRow* NewRow(TDoc& doc, const TTableRowData& data);

// Editing primitives, recorded in the running operation.
void InsertFragment(TDoc& doc, const TMemory& content, const TDocPosition& at, int32_t parMarks);
// A paragraph break at the place; the paragraph so ended takes the format.
void InsertParagraphBreak(TDoc& doc, const TDocPosition& at, const TParFormat& format);
// Deletes the paragraphs first..last whole.
void DeleteParagraphs(TDoc& doc, int32_t first, int32_t last);
void DeleteRange(TDoc& doc, const TDocRange& range);
// The paragraph's last character (its mark) becomes the code (2 paragraph mark, 4 cell end).
void SetParEnd(TDoc& doc, int32_t par, uint8_t code);
// Sets the properties of the format that are set on the paragraphs first..last.
void FormatPars(TDoc& doc, int32_t first, int32_t last, const TParFormat& format);
// The post-edit caret (and a selection of one range, or none).
void SetPostCaret(TDoc& doc, const TDocPosition& caret);
void SetPostSelection(TDoc& doc, const TCompoundFragment& selection, const TDocPosition& caret);
// The post-actions keep the document's caret and selection.
void KeepPostSelection(TDoc& doc);

}  // namespace tables

}  // namespace qv
