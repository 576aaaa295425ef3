// Table layout: rows of cell boxes in a table box, continued over pages, with header rows,
// rows that may not split, vertical merges, row heights and the row-end marks.
#include "layout/table_layout.h"

#include <algorithm>
#include <climits>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/line.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/table_fitting.h"
#include "document/table_row.h"
#include "layout/box.h"
#include "layout/box_filler.h"
#include "layout/box_geometry.h"
#include "layout/box_pool.h"
#include "layout/layout_common.h"
#include "layout/layout_units.h"
#include "layout/line_fitter.h"
#include "layout/page.h"

namespace qv {

namespace {

constexpr int32_t kRowEndHolderWidth = 720;

int32_t EffectiveWidth(const TBorderLine& b) {
  return b.Style == 0 || b.Style == BorderStyleNone || b.Style == TableValueUnset ? 0 : std::max(b.Width, 0);
}

bool SameEdge(int32_t a, int32_t b) { return SignificantDifference(a, b) == 0; }

int32_t CellCountOf(const TTableRow& row) { return std::clamp(row.CellCount, 0, MaxTableCells); }

const TCellDrawnBorders& Drawn(const TTableRow& row, int32_t i) {
  static const TCellDrawnBorders none;
  return i >= 0 && i < static_cast<int32_t>(row.DrawnBorders.size()) ? row.DrawnBorders[static_cast<size_t>(i)] : none;
}

bool IsRealCell(const TBox& b) {
  return b.Kind == TBoxKind::Cell && b.HasFlag(TBox::CellBoxFlag) &&
         !b.HasFlag(TBox::MergeHolder) && !b.HasFlag(TBox::RowEndHolder);
}

// The last row laid out in a table box: its index, its cells (with the parts of vertical merges
// that reach down to it), whether it is complete, and its paragraphs.
struct TLastRow {
  std::vector<TCellBox*> Cells;
  int32_t Index = -1;
  bool Complete = true;
  TDocRange Range;
};

TLastRow LastRowOf(TTableBox& table) {
  TLastRow last;
  for (const TBoxRef& c : table.Children)
    if (IsRealCell(*c)) {
      const auto& cell = static_cast<const TCellBox&>(*c);
      if (cell.Row != nullptr && cell.Row->RowIndex > last.Index) {
        last.Index = cell.Row->RowIndex;
        last.Range = cell.RowRange;
      }
    }
  if (last.Index < 0) return last;
  for (const TBoxRef& c : table.Children) {
    if (!IsRealCell(*c)) continue;
    auto* cell = static_cast<TCellBox*>(c.get());
    if (cell->Row == nullptr || (cell->Row->RowIndex != last.Index && cell->MergeLastRow < last.Index)) continue;
    last.Cells.push_back(cell);
    // The text of a merge that goes on below this row continues in its later part.
    if (!cell->HasFlag(TBox::CellComplete) && cell->MergeLastRow <= last.Index) last.Complete = false;
  }
  return last;
}

// The last table box of the table in the tree, in tree order, before `stop` (null: anywhere).
void FindTableBox(TBox& box, int32_t firstPar, const TBox* stop, TTableBox*& found, bool& stopped) {
  for (TBoxRef& c : box.Children) {
    if (stopped) return;
    if (c.get() == stop) {
      stopped = true;
      return;
    }
    if (c->Kind == TBoxKind::Table && static_cast<TTableBox&>(*c).FirstPar == firstPar)
      found = static_cast<TTableBox*>(c.get());
    else
      FindTableBox(*c, firstPar, stop, found, stopped);
  }
}

// The table's box in an earlier column of this page, else on the page before.
TTableBox* EarlierTableBox(TPage& page, int32_t firstPar, const TTableBox& current) {
  TTableBox* found = nullptr;
  bool stopped = false;
  FindTableBox(page, firstPar, &current, found, stopped);
  if (found != nullptr) return found;
  const TDoc& doc = *page.Doc;
  const int32_t before = page.Index - 1;
  if (before < 0 || before >= doc.PageCount()) return nullptr;
  stopped = false;
  FindTableBox(*doc.Pages[static_cast<size_t>(before)], firstPar, nullptr, found, stopped);
  return found;
}

TLine* LastLineOfTree(const TBox& box) {
  for (auto it = box.Children.rbegin(); it != box.Children.rend(); ++it)
    if (TLine* line = LastLineOfTree(**it)) return line;
  return box.LastLine();
}

// Where the text of a cell goes on after its earlier part.
TDocPosition AfterPart(const TDoc& doc, const TCellBox& part) {
  const TLine* last = LastLineOfTree(part);
  if (last == nullptr || last->Par == nullptr) return part.CellRange.Start;
  TDocPosition p;
  MakePosition(last->Par->Index, last->LastChar(), p);
  if (p.Offset >= doc.Par(p.Par)->CharCount()) NextParagraphStart(p);
  return p;
}

TCellBox* PartAtEdge(const std::vector<TCellBox*>& cells, int32_t right) {
  for (TCellBox* c : cells)
    if (c->Cell != nullptr && SameEdge(c->Cell->Right, right)) return c;
  return nullptr;
}

void SetCellMargins(TCellBox& box, const TTableRow& row, const TTableCell& cell, int32_t index) {
  auto pick = [](int32_t own, int32_t rowValue) { return own == TableValueUnset ? rowValue : own; };
  const TCellDrawnBorders& d = Drawn(row, index);
  box.Margins.left = std::max(pick(cell.PadLeft, row.PadLeft), d.Left / 2);
  box.Margins.right = std::max(pick(cell.PadRight, row.PadRight), d.Right / 2);
  box.Margins.top = pick(cell.PadTop, row.PadTop) + d.Top / 2;
  box.Margins.bottom = pick(cell.PadBottom, row.PadBottom) + d.Bottom / 2;
}

// Records the merge start's first paragraph in the continuation cell's paragraphs.
void RecordMergeStart(TDoc& doc, const TDocRange& cellRange, int32_t startPar) {
  for (int32_t i = cellRange.Start.Par; i <= cellRange.End.Par && i < doc.ParCount(); ++i)
    doc.Par(i)->LayoutValues.MergeStartPar = startPar;
}

struct TTableRun {
  TDoc& doc;
  TPage& page;
  TTableBox& table;
  const std::vector<TTableRow*>& rows;
  bool continuing = false;
  bool atTop = false;
};

TCellBox* MakeCellBox(TTableBox& table, uint32_t flags, int32_t left, int32_t right, int32_t top) {
  TBoxRef box = AcquireBox(&table, TBoxKind::Cell);
  box->Flags = flags;
  box->Area = table.Area;
  box->Rect = {left, top, std::max(left, right), top};
  return static_cast<TCellBox*>(table.AddChild(std::move(box)));
}

// Flows a continuation cell's own paragraphs into a zero-height holder: they count as laid out
// without taking room.
void FlowIntoMergeHolder(TTableRun& run, TTableRow& row, int32_t index, const TDocRange& cellRange,
                         const TDocRange& rowRange, int32_t left, int32_t right, int32_t top, int32_t startPar) {
  const TLine* placed = run.doc.Par(cellRange.Start.Par)->Lines.empty() ? nullptr
                                                                         : run.doc.Par(cellRange.Start.Par)->Lines.front();
  if (placed != nullptr && placed->Box != nullptr && placed->Box->Page != &run.page) return;
  TCellBox* holder = MakeCellBox(run.table, TBox::MergeHolder | TBox::CellBoxFlag | TBox::AreaBox, left, right, top);
  holder->MaxHeight = 0;
  holder->CellIndex = index;
  holder->CellRange = cellRange;
  holder->Cell = &row.Cells[static_cast<size_t>(index)];
  holder->Row = &row;
  holder->RowRange = rowRange;
  RecordMergeStart(run.doc, cellRange, startPar);
  TScopedDocFlag flag(run.doc, dfPlaceWithoutRoom);
  TDocRange r = cellRange;
  FlowIntoBoxes(*holder, r);
}

// Ends the cell's range before the anchor of a shape deferred by the page's current layout round
// (at the end of the paragraph before when the anchor is a paragraph's first character). False
// when the range starts at or after such an anchor in the same paragraph: the row stops there.
bool StopBeforeDeferredShapes(const TPage& page, const TDoc& doc, TDocRange& range) {
  for (const TShape* s : page.DeferredShapes) {
    if (s == nullptr || s->AnchorPar == nullptr) continue;
    const int32_t p = s->AnchorPar->Index;
    if (p < range.Start.Par || p > range.End.Par) continue;
    TDocPosition anchor;
    MakePosition(p, s->AnchorOffset, anchor);
    if (p == range.Start.Par && range.Start.Offset >= s->AnchorOffset) return false;
    if (ComparePositions(anchor, range.Start) <= 0 || ComparePositions(anchor, range.End) >= 0) continue;
    if (s->AnchorOffset == 0 && p > 0) MakePosition(p - 1, doc.Par(p - 1)->CharCount(), anchor);
    range.End = anchor;
  }
  return true;
}

}  // namespace

void ComputeTableGrid(const std::vector<TTableRow*>& rows, int32_t width) {
  bool dirty = false;
  const size_t n = rows.size();
  for (size_t i = 0; i < n; ++i) {
    TTableRow& r = *rows[i];
    TTableRow* prev = i > 0 ? rows[i - 1] : nullptr;
    TTableRow* next = i + 1 < n ? rows[i + 1] : nullptr;
    r.RowIndex = static_cast<int32_t>(i);
    r.PrevRow = prev;
    r.NextRow = next;
    if (r.GridPrev != prev || r.GridNext != next || r.GridWidth != width || r.LayoutChanged != 0 ||
        static_cast<int32_t>(r.DrawnBorders.size()) != CellCountOf(r))
      dirty = true;
  }
  if (!dirty) return;
  FitTableRowsToWidth(rows, width, false);
  // Vertical edges of all rows with the widest left or right border met at each.
  std::vector<std::pair<int32_t, int32_t>> edges;
  auto edgeAt = [&edges](int32_t pos) -> int32_t& {
    for (auto& e : edges)
      if (SameEdge(e.first, pos)) return e.second;
    edges.emplace_back(pos, 0);
    return edges.back().second;
  };
  for (TTableRow* r : rows)
    for (int32_t i = 0; i < CellCountOf(*r); ++i) {
      const TTableCell& c = r->Cells[static_cast<size_t>(i)];
      if (c.IsContinuation()) continue;
      int32_t& left = edgeAt(r->CellLeft(i));
      left = std::max(left, EffectiveWidth(c.BorderLeft));
      int32_t& right = edgeAt(c.Right);
      right = std::max(right, EffectiveWidth(c.BorderRight));
    }
  for (TTableRow* r : rows) {
    r->DrawnBorders.assign(static_cast<size_t>(CellCountOf(*r)), TCellDrawnBorders{});
    for (int32_t i = 0; i < CellCountOf(*r); ++i) {
      const TTableCell& c = r->Cells[static_cast<size_t>(i)];
      TCellDrawnBorders& d = r->DrawnBorders[static_cast<size_t>(i)];
      d.Left = edgeAt(r->CellLeft(i));
      d.Right = edgeAt(c.Right);
      d.Top = c.IsContinuation() ? 0 : EffectiveWidth(c.BorderTop);
      d.Bottom = c.IsContinuation() ? 0 : EffectiveWidth(c.BorderBottom);
    }
  }
  // A merge's last part takes the bottom of its first part.
  for (size_t ri = 0; ri < n; ++ri)
    for (int32_t i = 0; i < CellCountOf(*rows[ri]); ++i) {
      const TTableCell& c = rows[ri]->Cells[static_cast<size_t>(i)];
      if (c.Merged == 0 || c.MergeStart == 0) continue;
      TCellDrawnBorders* lastPart = nullptr;
      for (size_t rj = ri + 1; rj < n; ++rj) {
        const TTableRow& below = *rows[rj];
        int32_t j = CellCountOf(below) - 1;
        while (j >= 0 && !SameEdge(below.Cells[static_cast<size_t>(j)].Right, c.Right)) --j;
        if (j < 0 || !below.Cells[static_cast<size_t>(j)].IsContinuation()) break;
        lastPart = &rows[rj]->DrawnBorders[static_cast<size_t>(j)];
      }
      if (lastPart != nullptr) lastPart->Bottom = EffectiveWidth(c.BorderBottom);
    }
  // The line between two rows takes one width.
  for (size_t ri = 1; ri < n; ++ri) {
    int32_t w = 0;
    for (const auto& d : rows[ri - 1]->DrawnBorders) w = std::max(w, d.Bottom);
    for (const auto& d : rows[ri]->DrawnBorders) w = std::max(w, d.Top);
    for (auto& d : rows[ri - 1]->DrawnBorders) d.Bottom = w;
    for (auto& d : rows[ri]->DrawnBorders) d.Top = w;
  }
  for (size_t i = 0; i < n; ++i) {
    rows[i]->GridPrev = i > 0 ? rows[i - 1] : nullptr;
    rows[i]->GridNext = i + 1 < n ? rows[i + 1] : nullptr;
    rows[i]->GridWidth = width;
  }
}

void AlignCellContent(TCellBox& cell) {
  if (cell.Children.empty()) return;
  const int align = cell.Cell != nullptr ? cell.Cell->VertAlign : 0;
  if (align == 1) CentreChildBoxes(cell);
  else if (align == 2) StackChildBoxesFromBottom(cell);
  else StackChildBoxes(cell);
}

void EqualizeRow(TTableBox& table, const std::vector<TCellBox*>& cells, int32_t rowIndex) {
  auto spansFurther = [rowIndex](const TCellBox* c) { return c->MergeLastRow > rowIndex; };
  int32_t bottom = INT32_MIN;
  for (const TCellBox* c : cells)
    if (c->Parent == &table && !spansFurther(c)) bottom = std::max(bottom, c->Rect.bottom);
  if (bottom == INT32_MIN)
    for (const TCellBox* c : cells)
      if (c->Parent == &table) bottom = std::max(bottom, c->Rect.bottom);
  if (bottom == INT32_MIN) return;
  for (TCellBox* c : cells) {
    if (c->Parent != &table) continue;
    c->Rect.bottom = spansFurther(c) ? std::max(c->Rect.bottom, bottom) : bottom;
    AlignCellContent(*c);
  }
  if (table.HasFlag(TBox::TableStarts) && rowIndex == table.HeaderRowCount - 1) table.HeaderHeight = bottom;
}

void AlignRows(TTableBox& table, const std::vector<TTableRow*>& rows, int32_t available) {
  if (rows.empty()) return;
  const int align = rows.front()->Alignment;
  const bool draft = table.Doc != nullptr && IsDraftView(*table.Doc);
  if (align != 0 || draft) {
    int32_t l = INT32_MAX, r = INT32_MIN;
    for (const TTableRow* row : rows) {
      l = std::min(l, row->Left);
      r = std::max(r, CellCountOf(*row) > 0 ? row->Cells[static_cast<size_t>(CellCountOf(*row) - 1)].Right : row->Left);
    }
    int32_t shift = 0;
    if (align == 1) shift = (available + l - r) / 2 - l;
    else if (align == 2) shift = available - r;
    else shift = std::max(0, -l);
    int32_t leftmost = INT32_MAX;
    for (TBoxRef& c : table.Children) {
      if (c->Kind != TBoxKind::Cell || c->HasFlag(TBox::MergeHolder)) continue;
      c->Rect = c->Rect.Offset(shift, 0);
      leftmost = std::min(leftmost, c->Rect.left);
    }
    if (draft && leftmost != INT32_MAX && leftmost < table.Margins.left) {
      const int32_t more = table.Margins.left - leftmost;
      for (TBoxRef& c : table.Children)
        if (c->Kind == TBoxKind::Cell && !c->HasFlag(TBox::MergeHolder)) c->Rect = c->Rect.Offset(more, 0);
    }
  }
  plat::Rect extent{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const TBoxRef& c : table.Children) {
    if (!IsRealCell(*c)) continue;
    extent.left = std::min(extent.left, c->Rect.left);
    extent.top = std::min(extent.top, c->Rect.top);
    extent.right = std::max(extent.right, c->Rect.right);
    extent.bottom = std::max(extent.bottom, c->Rect.bottom);
  }
  table.CellExtent = extent.left == INT32_MAX ? plat::Rect{} : extent;
  if (!table.HasFlag(TBox::TableStarts) && table.HeaderRowCount > 0 && table.Page != nullptr)
    table.Page->Flags |= TBox::RepeatsHeaderRows;
}

TDocPosition TableContinuation(TTableBox& table) {
  const TLastRow last = LastRowOf(table);
  TDocPosition p;
  MakePosition(table.FirstPar, 0, p);
  if (last.Index < 0) return p;
  if (last.Complete) MakePosition(last.Range.End.Par + 1, 0, p);
  else p = last.Range.Start;
  return p;
}

bool LayOutTable(TBox& target, TDocRange& range, TFlowStack& stack, TKeepChain& chain, uint32_t& flags) {
  TDoc& doc = *target.Doc;
  TPage& page = *target.Page;
  stack.Push(TFlowStack::Table, flags, range.Start);
  std::vector<TTableRow*> rows;
  TDocRange tableRange;
  doc.GetTableRows(range.Start.Par, rows, tableRange);
  if (rows.empty()) {
    // A run of table paragraphs without a single row end (damaged data) has nothing to lay out;
    // the flow goes on after it rather than stopping for good.
    stack.Drop(TFlowStack::Table);
    MakePosition(tableRange.End.Par + 1, 0, range.Start);
    return true;
  }
  const bool atTop = IsBoxAtBodyTop(target);
  TBoxRef made = AcquireBox(&target, TBoxKind::Table);
  auto& table = static_cast<TTableBox&>(*made);
  table.Flags = TBox::TableBoxFlag;
  table.Area = target.Area;
  table.FirstPar = tableRange.Start.Par;
  int32_t top = target.Margins.top;
  if (TBox* last = target.LastChild()) top = last->Rect.bottom;
  table.Rect = {0, top, target.Width(), top};
  table.Margins.left = target.Margins.left;
  table.Margins.right = target.Margins.right;
  target.AddChild(std::move(made));
  const TSection* section = SectionOfParagraph(doc, table.FirstPar);
  const int32_t available = BoxTextWidth(table, section != nullptr ? section->PageParams.TextWidth : table.InnerWidth());

  TTableRun run{doc, page, table, rows};
  std::vector<TCellBox*> previous;
  bool redo = false;
  int32_t id = 0;
  TDocPosition rowStart = tableRange.Start;
  TTableBox* earlier = EarlierTableBox(page, table.FirstPar, table);
  TLastRow before;
  if (earlier != nullptr && !earlier->HasFlag(TBox::TableEnds)) before = LastRowOf(*earlier);
  previous = before.Cells;
  const bool continuing = !previous.empty();
  run.continuing = continuing;
  run.atTop = atTop;
  if (continuing) {
    table.HeaderRowCount = earlier->HeaderRowCount;
    table.HeaderHeight = earlier->HeaderHeight;
    table.LastHeaderPar = earlier->LastHeaderPar;
    ComputeTableGrid(rows, rows.front()->FitAvailWidth);
    id = before.Index;
    if (before.Complete) {
      ++id;
      MakePosition(before.Range.End.Par + 1, 0, rowStart);
    } else {
      redo = true;
      rowStart = before.Range.Start;
    }
  } else {
    table.Flags |= TBox::TableStarts;
    ComputeTableGrid(rows, available);
    int32_t headers = 0;
    TDocPosition at = tableRange.Start;
    while (headers < static_cast<int32_t>(rows.size()) && rows[static_cast<size_t>(headers)]->HeaderRow != 0) {
      TDocRange r;
      doc.GetRowRange(at.Par, r);
      table.LastHeaderPar = r.End.Par;
      MakePosition(r.End.Par + 1, 0, at);
      ++headers;
    }
    table.HeaderRowCount = headers;
  }

  int32_t rowTop = 0;
  int32_t placedRows = 0;
  bool tableDone = false;
  bool rowDidNotFit = false;
  bool shapesMoved = false;
  const bool draft = IsDraftView(doc);
  std::vector<TCellBox*> rowCells;
  while (id < static_cast<int32_t>(rows.size()) && rowStart.Par <= tableRange.End.Par) {
    TTableRow& row = *rows[static_cast<size_t>(id)];
    const bool firstInBox = placedRows == 0;
    TDocRange rowRange;
    doc.GetRowRange(rowStart.Par, rowRange);
    row.RowRange = rowRange;
    if (!redo) {
      const TDocRange chainRange{rowRange.Start, range.End};
      OpenKeepChain(doc, target, chainRange, stack, chain, flags);
    }
    stack.Push(TFlowStack::TableRow, flags, rowStart);
    rowCells.clear();
    const int32_t cellCount = CellCountOf(row);
    bool nothing = false, partial = false, merged = false;
    int32_t cellLeft = table.Margins.left + row.Left;
    TDocRange cellRange;
    MakeRange(rowRange.Start.Par, 0, rowRange.Start.Par - 1, 0, cellRange);
    std::vector<std::pair<TCellBox*, TDocRange>> toFill;
    int32_t thisRowTop = rowTop;
    if (firstInBox) {
      if (continuing && table.HeaderRowCount > 0) thisRowTop = table.HeaderHeight;
      else if (!draft || table.HasFlag(TBox::TableStarts)) thisRowTop = cellCount > 0 ? Drawn(row, 0).Top / 2 : 0;
      else thisRowTop = 0;
    }
    for (int32_t i = 0; i < cellCount; ++i) {
      doc.GetCellRange(cellRange.End.Par + 1, cellRange);
      if (cellRange.Start.Par >= rowRange.End.Par) break;  // fewer cells than the row says
      const TTableCell& cell = row.Cells[static_cast<size_t>(i)];
      const int32_t right = std::max(cellLeft, table.Margins.left + cell.Right);
      const int32_t left = cellLeft;
      cellLeft = right;
      const TCellDrawnBorders& d = Drawn(row, i);
      int32_t cellTop = rowTop;
      if (firstInBox) {
        if (continuing && table.HeaderRowCount > 0) cellTop = table.HeaderHeight;
        else if (!draft || table.HasFlag(TBox::TableStarts)) cellTop = d.Top / 2;
        else cellTop = 0;
      }
      const uint32_t cellFlags = TBox::CellBoxFlag | TBox::AreaBox | (firstInBox ? TBox::FirstRowCell : 0u);
      TCellBox* part = nullptr;
      if (cell.IsContinuation() || redo) part = PartAtEdge(previous, cell.Right);
      if (cell.Merged != 0) merged = true;
      if (cell.IsContinuation() && part != nullptr && part->Parent == &table && !redo) {
        // The merge's earlier part is in this box: it grows down over this row.
        FlowIntoMergeHolder(run, row, i, cellRange, rowRange, left, right, cellTop, part->CellRange.Start.Par);
        rowCells.push_back(part);
        continue;
      }
      TCellBox* box = MakeCellBox(table, cellFlags, left, right, cellTop);
      TDocPosition from = cellRange.Start;
      if (part != nullptr && (cell.IsContinuation() || redo)) {
        box->CellIndex = part->CellIndex;
        box->CellRange = part->CellRange;
        box->Cell = part->Cell;
        box->Row = part->Row;
        box->RowRange = part->RowRange;
        box->MergeLastRow = part->MergeLastRow;
        from = part->HasFlag(TBox::CellComplete) ? part->CellRange.End : AfterPart(doc, *part);
        if (part->HasFlag(TBox::CellComplete)) box->Flags |= TBox::CellComplete;
        if (cell.IsContinuation() && part->Row != &row)
          FlowIntoMergeHolder(run, row, i, cellRange, rowRange, left, right, cellTop, part->CellRange.Start.Par);
      } else {
        box->Flags |= TBox::CellStarts;
        box->CellIndex = i;
        box->CellRange = cellRange;
        box->Cell = &cell;
        box->Row = &row;
        box->RowRange = rowRange;
        if (cell.Merged != 0 && cell.MergeStart != 0)
          box->MergeLastRow = id + static_cast<int32_t>(doc.GetMergedCellsBelow(cellRange.Start.Par).size());
      }
      SetCellMargins(*box, row, *box->Cell, box->CellIndex);
      if (row.Height < 0) box->MaxHeight = -row.Height;
      rowCells.push_back(box);
      TDocRange rest{from, box->CellRange.End};
      toFill.emplace_back(box, rest);
    }
    // The row-end mark's holder, at the right of the last cell.
    TCellBox* holder = nullptr;
    const TPar& rowEndPar = *doc.Par(rowRange.End.Par);
    const bool markPlaced = !rowEndPar.Lines.empty() && rowEndPar.Lines.front()->Box != nullptr &&
                            rowEndPar.Lines.front()->Box->Page != &page;
    if (!markPlaced) {
      const int32_t holderTop = thisRowTop;
      holder = MakeCellBox(table, TBox::RowEndHolder | TBox::CellBoxFlag | TBox::AreaBox, cellLeft,
                           cellLeft + kRowEndHolderWidth, holderTop);
      holder->CellIndex = -1;
      MakeRange(rowRange.End.Par, 0, rowRange.End.Par, 1, holder->CellRange);
      holder->Row = &row;
      holder->RowRange = rowRange;
      holder->Margins.left = Drawn(row, cellCount - 1).Right / 2 + 20;
    }
    // Fill the cells.
    for (auto& [box, rest] : toFill) {
      if (box->HasFlag(TBox::CellComplete) || ComparePositions(rest.Start, rest.End) >= 0) {
        box->Flags |= TBox::CellComplete;
        continue;
      }
      // A cell's text stops before the anchor of a shape deferred to the next page.
      if (!StopBeforeDeferredShapes(page, doc, rest)) {
        partial = true;
        continue;
      }
      uint32_t r = 0;
      if (row.Height < 0) {
        TScopedDocFlag exact(doc, dfPlaceWithoutRoom);
        r = FlowIntoBoxes(*box, rest);
      } else {
        r = FlowIntoBoxes(*box, rest);
      }
      if ((r & frShapeMoved) != 0) {
        shapesMoved = true;
        break;
      }
      if ((r & frNothingPlaced) != 0) nothing = true;
      const bool cut = ComparePositions(rest.End, box->CellRange.End) < 0;
      if (!cut && (ComparePositions(rest.Start, rest.End) >= 0 || (r & frExhausted) != 0))
        box->Flags |= TBox::CellComplete;
      else if (box->MergeLastRow <= id || cut) partial = true;  // a merge's text may go on in its later part
    }
    if (shapesMoved) {
      // The page is laid out again round the shape placed in the cell.
      stack.Drop(TFlowStack::TableRow);
      break;
    }
    // Row heights: at least, or exactly.
    if (!nothing && row.Height != 0 && !rowCells.empty()) {
      const int32_t want = thisRowTop + std::abs(row.Height);
      int32_t highest = INT32_MIN;
      for (const TCellBox* c : rowCells) highest = std::max(highest, c->Rect.bottom);
      if (row.Height < 0) {
        for (TCellBox* c : rowCells) c->Rect.bottom = std::min(c->Rect.bottom, want);
        highest = std::min(highest, want);
      }
      if (want > highest) {
        const bool force = firstInBox && atTop && !doc.Layout.Balancing;
        TCellBox* tallest = rowCells.front();
        for (TCellBox* c : rowCells)
          if (c->Rect.bottom == highest) tallest = c;
        if (!GrowBox(&table, *tallest, want - tallest->Rect.bottom, force)) nothing = true;
      }
    }
    bool fits = !nothing && !rowCells.empty();
    if (fits && partial && (row.KeepTogether != 0 || draft) && !(firstInBox && atTop) && !merged) fits = false;
    if (cellCount == 0 || (toFill.empty() && rowCells.empty())) fits = true;  // a row of no cells: its mark
    if (fits) {
      EqualizeRow(table, rowCells, id);
      if (holder != nullptr) {
        int32_t rowBottom = rowCells.empty() ? holder->Rect.top : rowCells.front()->Rect.bottom;
        for (const TCellBox* c : rowCells) rowBottom = std::max(rowBottom, c->Rect.bottom);
        holder->MaxHeight = std::max(0, rowBottom - holder->Rect.top);
        TScopedDocFlag flag(doc, dfPlaceWithoutRoom);
        TDocRange mark = holder->CellRange;
        FlowIntoBoxes(*holder, mark);
        if (const TLine* line = LastLineOfTree(*holder)) {
          const int32_t lineWidth = LayoutXToTwips(std::max(0, line->EndX() - line->StartX()), LayoutLineFitter().Settings);
          holder->Rect.right = holder->Rect.left + lineWidth * 110 / 100 + holder->Margins.left;
        }
      }
      ++placedRows;
      int32_t nextTop = INT32_MIN;
      for (const TCellBox* c : rowCells)
        if (c->MergeLastRow <= id) nextTop = std::max(nextTop, c->Rect.bottom);
      if (nextTop == INT32_MIN)
        for (const TCellBox* c : rowCells) nextTop = std::max(nextTop, c->Rect.bottom);
      if (nextTop != INT32_MIN) rowTop = nextTop;
      stack.Drop(TFlowStack::TableRow);
      previous = rowCells;
      redo = false;
      if (chain.Active && rowRange.End.Par >= chain.LastPar) {
        stack.Drop(TFlowStack::KeepChain);
        chain.Active = false;
      }
      if (partial) break;
      MakePosition(rowRange.End.Par + 1, 0, rowStart);
      ++id;
      if (ComparePositions(rowStart, range.End) >= 0) break;
      if (id >= static_cast<int32_t>(rows.size())) tableDone = true;
      continue;
    }
    uint32_t saved = 0;
    TDocPosition ignored;
    stack.PopTo(TFlowStack::TableRow, saved, ignored);
    rowDidNotFit = true;
    break;
  }
  if (shapesMoved) {
    stack.Drop(TFlowStack::Table);
    if (chain.Active) stack.Drop(TFlowStack::KeepChain);
    chain.Active = false;
    flags = (flags | frShapeMoved | frNothingPlaced) & ~frMore;
    return false;
  }
  if (id >= static_cast<int32_t>(rows.size())) tableDone = true;

  if (placedRows == 0) {
    stack.PopTo(TFlowStack::Table, flags, range.Start);
    if (chain.Active) {
      if (chain.AtBodyTop) {
        stack.Drop(TFlowStack::KeepChain);
      } else {
        stack.PopTo(TFlowStack::KeepChain, flags, range.Start);
      }
      chain.Active = false;
    }
    if ((flags & frMore) == 0) flags |= frNothingPlaced;
    return false;
  }
  if (table.Margins.top > 0)
    for (TBoxRef& c : table.Children) c->Rect = c->Rect.Offset(0, table.Margins.top);
  AlignRows(table, rows, available);
  if (tableDone) {
    table.Flags |= TBox::TableEnds;
    stack.Drop(TFlowStack::Table);
    MakePosition(tableRange.End.Par + 1, 0, range.Start);
    if (ComparePositions(range.Start, range.End) >= 0) flags = (flags & ~frMore) | frExhausted;
    else flags |= frMore;
    return ComparePositions(range.Start, range.End) < 0;
  }
  flags |= frMore;
  range.Start = rowStart;
  if (rowDidNotFit && chain.Active && !chain.AtBodyTop) {
    stack.PopTo(TFlowStack::KeepChain, flags, range.Start);
    flags |= frMore;
    chain.Active = false;
  }
  stack.Drop(TFlowStack::Table);
  return false;
}

}  // namespace qv
