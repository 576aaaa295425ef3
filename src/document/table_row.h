#pragma once
// TTableRow: the properties of one table row and of its cells. A table has no object of its own:
// it is a run of paragraphs with InTable set, cut into cells by cell-end marks (code 4) and into
// rows by one-character row-end paragraphs (code 5), whose row-end tag refers to the row's
// TTableRow (document/table_structure.h). The document owns every row (TDoc::TableRows).
//
// The fields from Alignment to ReaderScratch (TTableRowData) are the row's data block, which
// editing copies as one unit between the live row, working copies, the default table template
// and undo records. All lengths are twips; boundaries are measured like Left.
#include <array>
#include <cstdint>
#include <vector>

#include "document/border_sets.h"
#include "document/doc_position.h"

namespace qv {

inline constexpr int32_t MaxTableCells = 63;
// An unset 32-bit value: a boundary not yet placed, a padding that takes the row's.
inline constexpr int32_t TableValueUnset = INT32_MIN;
inline constexpr int32_t TableColorNone = static_cast<int32_t>(0xFF000000u);

struct TTableCell {
  int32_t Right = TableValueUnset;  // right boundary; the left one is the previous cell's Right
  int32_t PadLeft = TableValueUnset;
  int32_t PadTop = TableValueUnset;
  int32_t PadRight = TableValueUnset;
  int32_t PadBottom = TableValueUnset;
  uint8_t RelativeWidth = 0;  // 1: the width scales with the row
  uint8_t VertAlign = 0;      // 0 top, 1 centre, 2 bottom
  uint8_t MergeStart = 0;     // 1: first cell of a vertical merge
  uint8_t Merged = 0;         // 1: part of a vertical merge (the start and every continuation)
  TBorderLine BorderLeft;
  TBorderLine BorderTop;
  TBorderLine BorderRight;
  TBorderLine BorderBottom;
  int32_t ShadingColor = TableColorNone;
  int32_t PatternColor = 0;
  int16_t ShadingPercent = 0;  // hundredths of a percent
  // Working values of whoever builds a row; in rows of the default table template the byte
  // offsets, in the template's format buffer, of the paragraph format and of the character
  // format of the cell's first paragraph.
  int32_t Scratch1 = 0;
  int32_t Scratch2 = 0;

  bool IsContinuation() const { return Merged != 0 && MergeStart == 0; }
};

class TTableRow;

// Row borders, in this order.
enum : int { rbLeft, rbTop, rbRight, rbBottom, rbInsideH, rbInsideV, RowBorderCount };

struct TTableRowData {
  int32_t Alignment = 0;       // 0 left, 1 centred, 2 right
  int32_t Left = 0;            // left edge of the row (left boundary of its first cell)
  int32_t Indent = 0;          // as read from an imported document
  int32_t Height = 0;          // 0 automatic, > 0 at least, < 0 exactly the absolute value
  int32_t PreferredWidth = 0;  // fiftieths of a percent of the available width, 0 none
  int32_t PadLeft = 0;
  int32_t PadTop = 0;
  int32_t PadRight = 0;
  int32_t PadBottom = 0;
  std::array<TBorderLine, RowBorderCount> Borders{};
  int32_t ShadingColor = TableColorNone;
  int32_t PatternColor = TableValueUnset;
  int32_t ShadingPercent = TableValueUnset;
  int32_t CellCount = 0;
  std::array<TTableCell, MaxTableCells> Cells{};
  int32_t FitAvailWidth = 0;   // the available width of the last width fitting
  int32_t FitScaledWidth = 0;  // the width the row was last scaled to
  TTableRow* PrevRow = nullptr;  // neighbours in the table, kept by layout
  TTableRow* NextRow = nullptr;
  uint8_t KeepTogether = 0;    // 1: the row is not split across pages
  uint8_t HeaderRow = 0;       // 1: repeated at the top of each page the table continues on
  uint8_t LayoutChanged = 0;   // an undo or redo changed the row: layout fits it again
  int32_t ReaderScratch = 0;
};

// The line drawn on each side of a cell once neighbouring borders are resolved (layout).
struct TCellDrawnBorders {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

class TTableRow : public TTableRowData {
 public:
  int32_t RowIndex = 0;  // the row's index in its table (its placement id), kept by layout
  TDocRange RowRange;    // the row's paragraphs, kept by layout
  TDocRange WriterRange;

  // Kept by layout: the neighbours and the width for which the shared borders were last
  // resolved, and the drawn border widths of each cell.
  const TTableRow* GridPrev = nullptr;
  const TTableRow* GridNext = nullptr;
  int32_t GridWidth = TableValueUnset;
  std::vector<TCellDrawnBorders> DrawnBorders;

  TTableRow() = default;
  TTableRow(const TTableRow&) = default;
  TTableRow& operator=(const TTableRow&) = default;
  // A row-end tag that still names a freed row resolves to none.
  ~TTableRow();

  TTableRowData& Data() { return *this; }
  const TTableRowData& Data() const { return *this; }
  // The left boundary of cell i (the row's Left for cell 0).
  int32_t CellLeft(int32_t i) const { return i <= 0 ? Left : Cells[static_cast<size_t>(i - 1)].Right; }
};

}  // namespace qv
