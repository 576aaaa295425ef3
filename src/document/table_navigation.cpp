// Table selections and cell navigation: selections cut into row pieces and widened to cells, the
// cells of a column span, the kind of a table selection, and Tab and Shift+Tab between cells
// (with the memory that lets Tab go on past a vertical merge from the continuation cell's place).
#include <algorithm>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/selection_flags.h"
#include "document/selection_services.h"
#include "document/selection_tables.h"
#include "document/table_edit_helpers.h"
#include "document/table_fitting.h"
#include "document/table_structure.h"

namespace qv {

using namespace tables;

namespace {

constexpr int32_t kRowEndBound = 0x3FFFFFFF;

// The end of a row's last cell paragraph (after its cell-end mark).
TDocPosition LastCellEnd(const TDoc& doc, const TDocRange& row) {
  TDocPosition p;
  if (row.End.Par > row.Start.Par)
    MakePosition(row.End.Par - 1, doc.Par(row.End.Par - 1)->CharCount(), p);
  else
    MakePosition(row.End.Par, 0, p);
  return p;
}

void AppendRange(TCompoundFragment& f, bool& any, const TDocRange& r) {
  if (!any)
    *f.GetRange(0) = r;
  else
    f.InsertRange(f.Count(), r);
  any = true;
}

// The cell's first paragraph when it holds text, else its only paragraph.
void SelectCell(TDoc& doc, int32_t par) {
  TDocRange cell;
  doc.GetCellRange(par, cell);
  TScopedDocFlag quiet(doc, dfNoSelectionRepaint);
  if (IsEmptyCellRange(cell)) {
    doc.ClearSelection();
    SelectionServices().SetCaret(doc, cell.Start.Par, 0, 0, INT32_MAX);
  } else {
    doc.SetSelection(cell.Start.Par, 0, cell.End.Par, cell.End.Offset - 1);
    doc.Caret = doc.Selection->GetRange(0)->Start;
  }
  SelectionServices().ScrollCaretIntoView(doc, 4);
  SelectionServices().Redraw(doc);
}

bool IsMergeStartAt(TDoc& doc, int32_t par, int32_t i, const TTableRow* row) {
  if (row == nullptr || i >= CellCountOf(*row)) return false;
  const TTableCell& c = row->Cells[static_cast<size_t>(i)];
  if (c.MergeStart == 0 || c.Merged == 0) return false;
  TDocRange cell;
  doc.GetCellRange(par, cell);
  return cell.Start.Par == doc.MergeJumpTo;
}

// The target for a cell that is a continuation: its merge start, remembering where the jump
// came from.
int32_t JumpOverContinuation(TDoc& doc, int32_t cellFirst, int32_t from) {
  doc.MergeJumpFrom = from;
  doc.MergeJumpTo = doc.GetMergeStartPar(cellFirst);
  return doc.MergeJumpTo;
}

}  // namespace

TFragmentRef TDoc::SplitFragmentsByRows(const TCompoundFragment& fragment) {
  TFragmentRef f = CloneFragment(fragment);
  NormalizeFragments(*f);
  for (int32_t i = f->Count() - 1; i >= 0; --i) {
    TDocRange r = *f->GetRange(i);
    if (IsRangeEmpty(r) || !InTable(*this, r.End.Par)) continue;
    TDocRange row;
    GetRowRange(r.End.Par, row);
    // Whole rows are cut off from the end while the range starts before the row of its end.
    while (ComparePositions(r.Start, row.Start) < 0) {
      TDocRange piece = row;
      if (r.End.Par == row.End.Par) piece.End = LastCellEnd(*this, row);
      f->InsertRange(i + 1, piece);
      const int32_t before = row.Start.Par - 1;
      MakePosition(before, Par(before)->CharCount(), r.End);
      if (!InTable(*this, before)) break;
      GetRowRange(before, row);
    }
    if (InTable(*this, r.End.Par) && IsRowEndPar(r.End.Par) && ComparePositions(r.Start, row.Start) >= 0) {
      TDocPosition markStart;
      MakePosition(r.End.Par, 0, markStart);
      if (ComparePositions(r.Start, markStart) < 0)
        r.End = LastCellEnd(*this, row);
      else
        r.Start = r.End = markStart;  // only the row-end mark: nothing is left
    }
    *f->GetRange(i) = r;
  }
  f->Normalize();
  return f;
}

void TDoc::ExpandFragmentsToCells(TCompoundFragment& fragment) {
  for (int32_t i = fragment.Count() - 1; i >= 0; --i) {
    TDocRange r = *fragment.GetRange(i);
    if (!InTable(*this, r.Start.Par) || !InTable(*this, r.End.Par)) continue;
    TDocRange startCell;
    GetCellRange(r.Start.Par, startCell);
    if (i > 0) {
      TDocRange& before = *fragment.GetRange(i - 1);
      TDocRange beforeCell;
      if (InTable(*this, before.Start.Par)) {
        GetCellRange(before.Start.Par, beforeCell);
        if (SameRange(beforeCell, startCell)) {
          before.End = r.End;
          fragment.DeleteRange(i);
          continue;
        }
      }
    }
    // The cell holding the end: an end at offset 0 of a later paragraph ends the paragraph before.
    int32_t endPar = r.End.Par;
    if (r.End.Offset == 0 && endPar > r.Start.Par) --endPar;
    TDocRange endCell;
    GetCellRange(endPar, endCell);
    r.Start = startCell.Start;
    r.End = endCell.End;
    *fragment.GetRange(i) = r;
    int32_t at = i;
    while (startCell.End.Par < r.End.Par) {
      TDocRange last;
      GetCellRange(r.End.Par, last);
      if (last.Start.Par <= startCell.Start.Par) break;
      fragment.InsertRange(at + 1, last);
      TDocRange previous;
      GetCellRange(last.Start.Par - 1, previous);
      r.End = previous.End;
      *fragment.GetRange(at) = r;
    }
  }
  fragment.RefreshLastRange();
}

TFragmentRef TDoc::GetCellsInColumnSpan(const TDocRange& table, int32_t lo, int32_t x1, int32_t x2,
                                        int32_t hi) {
  TFragmentRef out = AcquireFragment();
  SelectionServices().EnsureParLaidOut(*this, std::min(table.End.Par + 1, ParCount() - 1));
  bool any = false;
  int32_t row = 0;
  for (int32_t start : RowStarts(*this, table.Start.Par)) {
    const bool wanted = lo == TableValueUnset || (row >= lo && row <= hi);
    ++row;
    if (!wanted) continue;
    for (int32_t c : CellStarts(*this, start)) {
      TDocRange cell;
      GetCellRange(c, cell);
      int32_t l = 0, r = 0;
      TableCellHorzBounds(*this, c, l, r);  // even columns for a row without its row object
      const bool meets = (SignificantDifference(l, x1) >= 0 && SignificantDifference(l, x2) < 0) ||
                         (SignificantDifference(r, x1) > 0 && SignificantDifference(r, x2) <= 0) ||
                         (SignificantDifference(l, x1) < 0 && SignificantDifference(r, x2) > 0) ||
                         (x1 == kRowEndBound && l == kRowEndBound);
      if (meets) AppendRange(*out, any, cell);
    }
  }
  return out;
}

int32_t TDoc::RowIndexOf(const TTableRow* row, int32_t par) {
  std::vector<TTableRow*> rows;
  TDocRange table;
  GetTableRows(par, rows, table);
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i] == row) return static_cast<int32_t>(i);
  return -1;
}

int32_t TDoc::GetTableSelectionKind() {
  if (!SelectionInOneTable()) return 0;
  const int32_t anchor = HasSelection() ? Selection->GetRange(0)->Start.Par : Caret.Par;
  std::vector<TTableRow*> rows;
  TDocRange table;
  GetTableRows(anchor, rows, table);
  const int32_t rowCount = static_cast<int32_t>(rows.size());
  if (!HasSelection()) {
    const TTableRow* row = GetRowProps(Caret.Par);
    if (row == nullptr || row->CellCount != 1) return 0;
    return rowCount == 1 ? 3 : 2;
  }
  TFragmentRef pieces = SplitFragmentsByRows(*Selection);
  if (IsFragmentEmpty(pieces)) return Selection->Count() == rowCount ? 3 : 2;
  // Continuation cells beside a range of whole cells count as selected with it.
  TFragmentRef widened = CloneFragment(*Selection);
  bool anyWidened = false;
  for (int32_t i = 0; i < widened->Count(); ++i) {
    TDocRange& r = *widened->GetRange(i);
    if (!InTable(*this, r.End.Par) || LastCode(*this, r.End.Par) != scCellEnd ||
        r.End.Offset != Par(r.End.Par)->CharCount())
      continue;
    TDocRange row;
    GetRowRange(r.End.Par, row);
    while (r.Start.Offset == 0 && r.Start.Par > row.Start.Par && IsInMergedCell(r.Start.Par - 1)) {
      TDocRange cell;
      GetCellRange(r.Start.Par - 1, cell);
      r.Start = cell.Start;
      anyWidened = true;
    }
    while (r.End.Par + 1 < row.End.Par && IsInMergedCell(r.End.Par + 1)) {
      TDocRange cell;
      GetCellRange(r.End.Par + 1, cell);
      r.End = cell.End;
      anyWidened = true;
    }
  }
  if (anyWidened) {
    NormalizeFragments(*widened);
    pieces = SplitFragmentsByRows(*widened);
  }
  SelectionServices().EnsureParLaidOut(*this, std::min(table.End.Par + 1, ParCount() - 1));
  bool wholeRows = true;
  std::vector<int32_t> distinct;
  for (int32_t i = 0; i < pieces->Count(); ++i) {
    const TDocRange& p = *pieces->GetRange(i);
    TDocRange row;
    GetRowRange(p.Start.Par, row);
    TDocRange whole{row.Start, LastCellEnd(*this, row)};
    wholeRows &= SamePlace(p.Start, whole.Start) && SamePlace(p.End, whole.End);
    if (std::find(distinct.begin(), distinct.end(), row.Start.Par) == distinct.end())
      distinct.push_back(row.Start.Par);
  }
  int32_t kind = 0;
  if (wholeRows) {
    kind = static_cast<int32_t>(distinct.size()) == rowCount ? 3 : 2;
  } else {
    TDocRange firstRow;
    GetRowRange(pieces->GetRange(0)->Start.Par, firstRow);
    TFragmentRef columns = AcquireFragment();
    bool any = false;
    for (int32_t i = 0; i < pieces->Count(); ++i) {
      const TDocRange& p = *pieces->GetRange(i);
      if (p.Start.Par > firstRow.End.Par) break;
      int32_t l = 0, r = 0, l2 = 0, r2 = 0;
      GetCellHorzBounds(p.Start.Par, l, r);
      int32_t endPar = p.End.Par;
      if (p.End.Offset == 0 && endPar > p.Start.Par) --endPar;
      GetCellHorzBounds(endPar, l2, r2);
      TFragmentRef cells = GetCellsInColumnSpan(table, 0, l, r2, rowCount - 1);
      for (int32_t k = 0; k < cells->Count(); ++k) AppendRange(*columns, any, *cells->GetRange(k));
    }
    NormalizeFragments(*columns);
    TFragmentRef normalPieces = CloneFragment(*pieces);
    NormalizeFragments(*normalPieces);
    if (columns->Equals(*normalPieces)) kind = 1;
  }
  if (kind == 0 && IsCellSelection(*pieces)) {
    const TDocRange& first = *pieces->GetRange(0);
    const TDocRange& last = *pieces->GetRange(pieces->Count() - 1);
    TDocRange a, b;
    GetCellRange(first.Start.Par, a);
    int32_t endPar = last.End.Par;
    if (last.End.Offset == 0 && endPar > last.Start.Par) --endPar;
    GetCellRange(endPar, b);
    const TTableRow* row = GetRowProps(first.Start.Par);
    if (SameRange(a, b) && row != nullptr && row->CellCount == 1) kind = 2;
  }
  return kind;
}

std::vector<int32_t> TDoc::GetSelectedCells() {
  std::vector<int32_t> cells;
  if (!HasSelection()) {
    TDocRange cell;
    GetCellRange(Caret.Par, cell);
    cells.push_back(cell.Start.Par);
    return cells;
  }
  TFragmentRef pieces = SplitFragmentsByRows(*Selection);
  for (int32_t i = 0; i < pieces->Count(); ++i) {
    const TDocRange& piece = *pieces->GetRange(i);
    if (IsRangeEmpty(piece) || !InTable(*this, piece.Start.Par)) continue;
    int32_t p = piece.Start.Par;
    // A row-end mark is no cell: operations on the listed cells would index past the row.
    while (!IsRowEndPar(p)) {
      TDocRange cell;
      GetCellRange(p, cell);
      if (std::find(cells.begin(), cells.end(), cell.Start.Par) == cells.end())
        cells.push_back(cell.Start.Par);
      p = cell.End.Par + 1;
      TDocPosition next;
      MakePosition(p, 0, next);
      if (p >= ParCount() || ComparePositions(next, piece.End) >= 0) break;
    }
  }
  return cells;
}

bool TDoc::LeaveRowEndMark() {
  if (!IsRowEndPar(Caret.Par)) return false;
  int32_t p = Caret.Par + 1;
  TDocRange table;
  GetTableRange(Caret.Par, table);
  while (p <= table.End.Par && IsInMergedCell(p)) ++p;
  if (p < ParCount()) {
    MakePosition(p, 0, Caret);
    SelectionChanged();
  }
  return false;
}

void TDoc::GoToNextCell(int32_t a) {

  if (!InTable(*this, a)) return;
  TTableRow* row = GetRowProps(a);
  int32_t i = GetCellIndex(a);
  if (IsMergeStartAt(*this, a, i, row) && InTable(*this, MergeJumpFrom)) {
    a = MergeJumpFrom;
    row = GetRowProps(a);
    i = GetCellIndex(a);
  }
  if (row == nullptr) return;
  TDocRange table;
  GetTableRange(a, table);
  TDocRange rowRange;
  GetRowRange(a, rowRange);
  if (i >= row->CellCount - 1 && rowRange.End.Par == table.End.Par) {
    // Tab in the last cell of the table appends a row like this one, without merges.
    if (!TableIsSound(*this, a)) return;
    TTableRowData data = row->Data();
    for (TTableCell& c : data.Cells) c.MergeStart = c.Merged = 0;
    const int32_t source = i >= row->CellCount ? CellRangeAt(*this, rowRange.Start.Par, row->CellCount - 1).Start.Par
                                               : CellRangeAt(*this, rowRange.Start.Par, i).Start.Par;
    TCharFormat chars;
    Par(source)->GetCharFormatAt(0, chars);
    const TParFormat format = CellParFormat(Par(source)->Format);
    TMemory content;
    const int32_t cells = CellCountOf(data);
    for (int32_t k = 0; k < cells; ++k) AppendCellPar(content, chars, format);
    AppendRowEndPar(content, DefaultCharFormat, NewRow(*this, data), TableParFormat);
    TDocPosition at;
    MakePosition(table.End.Par + 1, 0, at);
    InsertFragment(*this, content, at, cells + 1);
    SetDocFlag(36, false);
    SetDocFlag(116, true);
    SetPostCaret(*this, at);
    return;
  }
  int32_t g = -1;
  for (int32_t guard = 0; guard <= table.End.Par - table.Start.Par + 1; ++guard) {
    TDocRange current;
    GetCellRange(a, current);
    if (i < row->CellCount - 1) {
      const TDocRange next = CellRangeAt(*this, current.Start.Par, 1);
      g = IsInMergedCell(next.Start.Par) ? JumpOverContinuation(*this, next.Start.Par, next.Start.Par)
                                         : next.Start.Par;
    } else {
      GetRowRange(a, rowRange);
      const int32_t nextRow = rowRange.End.Par + 1;
      if (!InTable(*this, nextRow)) return;
      TDocRange nextRowRange;
      GetRowRange(nextRow, nextRowRange);
      SelectionServices().EnsureParLaidOut(*this, nextRowRange.End.Par);
      g = IsInMergedCell(nextRow) ? JumpOverContinuation(*this, nextRow, nextRow) : nextRow;
    }
    if (!IsInMergedCell(g)) break;
    a = g;
    row = GetRowProps(a);
    i = GetCellIndex(a);
    if (row == nullptr) return;
  }
  if (g >= 0) SelectCell(*this, g);
}

void TDoc::GoToPreviousCell(int32_t a) {
  if (!InTable(*this, a)) return;
  TTableRow* row = GetRowProps(a);
  int32_t i = GetCellIndex(a);
  if (row != nullptr && i < row->CellCount && IsMergeStartAt(*this, a, i, row) &&
      InTable(*this, MergeJumpFrom)) {
    a = MergeJumpFrom;
    row = GetRowProps(a);
    i = GetCellIndex(a);
  }
  if (row == nullptr) return;
  TDocRange table;
  GetTableRange(a, table);
  int32_t target = -1;
  for (int32_t guard = 0; guard <= table.End.Par - table.Start.Par + 1; ++guard) {
    TDocRange rowRange;
    GetRowRange(a, rowRange);
    if (i == 0) {
      if (rowRange.Start.Par - 2 < table.Start.Par) return;
      const TDocRange previous = [&] {
        TDocRange r;
        GetCellRange(rowRange.Start.Par - 2, r);  // the last cell before the previous row's end
        return r;
      }();
      target = IsInMergedCell(previous.Start.Par)
                   ? JumpOverContinuation(*this, previous.Start.Par, previous.Start.Par)
                   : previous.Start.Par;
    } else {
      const TDocRange previous = CellRangeAt(*this, rowRange.Start.Par, i - 1);
      target = IsInMergedCell(previous.Start.Par)
                   ? JumpOverContinuation(*this, previous.Start.Par, previous.End.Par)
                   : previous.Start.Par;
    }
    if (!IsInMergedCell(target)) break;
    a = target;
    row = GetRowProps(a);
    i = GetCellIndex(a);
    if (row == nullptr) return;
  }
  if (target >= 0) SelectCell(*this, target);
}

}  // namespace qv
