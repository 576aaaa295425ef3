// Inserting cells: new empty cells in front of the selected ones, the rows growing (shift right)
// or the content of each column below the selection moving down (shift down) into rows appended
// to the table.
//
// Shifting down follows each selected cell's column down the table as a chain of cells (rows
// with another cell structure are searched by the selected cell's boundaries). Along a chain
// every run of selected cells gets as many empty cells in front of it as it holds; the content
// and properties (not the widths) of the cells from the run on move down by that many rows, into
// the appended rows.
#include <algorithm>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/table_edit_helpers.h"
#include "document/table_fitting.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

using namespace tables;

namespace {

struct TCellAt {
  TTableRow* Row = nullptr;
  int32_t Index = 0;
  bool operator==(const TCellAt&) const = default;
};

int32_t LeftOf(const TTableRowData& d, int32_t i) {
  return i <= 0 ? d.Left : d.Cells[static_cast<size_t>(i - 1)].Right;
}

// The cell of the row below that carries a column of boundaries (l, r) on, searched from index
// `from`; -1 when the row has no cell from there.
int32_t FindCellBelow(const TTableRowData& d, int32_t from, int32_t l, int32_t r) {
  const int32_t n = CellCountOf(d);
  if (from >= n) return -1;
  for (int32_t i = from; i < n; ++i) {
    const int32_t cl = LeftOf(d, i), cr = d.Cells[static_cast<size_t>(i)].Right;
    const bool sameEdge = SameEdge(cl, l) || SameEdge(cr, r);
    const bool covers = SignificantDifference(cl, l) < 0 && SignificantDifference(cr, r) > 0;
    const bool inside = (SignificantDifference(cl, l) > 0 && SignificantDifference(cl, r) < 0) ||
                        (SignificantDifference(cr, l) > 0 && SignificantDifference(cr, r) < 0);
    if (sameEdge || covers || inside) return i;
  }
  int32_t best = from;
  for (int32_t i = from; i < n; ++i)
    if (SignificantDifference(d.Cells[static_cast<size_t>(i)].Right, l) < 0) best = i;
  return best;
}

TDocRange CellRange(TDoc& doc, int32_t tablePar, const TCellAt& c) {
  return CellRangeAt(doc, FindRowStart(doc, tablePar, c.Row), c.Index);
}

class TShiftDown {
 public:
  TShiftDown(TDoc& doc, int32_t tablePar) : doc_(doc), tablePar_(tablePar) {}

  void Run(const std::vector<int32_t>& selectedPars);

 private:
  // Appends an empty cell, as wide as its last cell, to a row of 1 to 62 cells; false otherwise.
  bool AppendCell(TTableRow* row);
  bool BuildChain(const TCellAt& start, std::vector<TCellAt>& chain);
  void Shift(const std::vector<TCellAt>& chain);
  bool Selected(const TCellAt& c) const { return std::find(selected_.begin(), selected_.end(), c) != selected_.end(); }

  TDoc& doc_;
  int32_t tablePar_;
  std::vector<TTableRow*> rows_;
  size_t firstAppended_ = 0;
  std::vector<TCellAt> selected_;
  std::vector<TCellAt> taken_;  // cells of the chains built so far
};

bool TShiftDown::AppendCell(TTableRow* row) {
  const int32_t n = CellCountOf(*row);
  if (n < 1 || n >= MaxTableCells) return false;
  const int32_t first = FindRowStart(doc_, tablePar_, row);
  const std::vector<int32_t> cells = CellStarts(doc_, first);
  const TDocRange last = CellRangeAt(doc_, first, n - 1);
  TCharFormat chars;
  doc_.Par(last.End.Par)->GetCharFormatAt(std::max(doc_.Par(last.End.Par)->CharCount() - 1, 0), chars);
  TMemory content;
  AppendCellPar(content, chars, CellParFormat(doc_.Par(last.End.Par)->Format));
  TDocPosition at;
  MakePosition(cells.back(), 0, at);
  InsertFragment(doc_, content, at, 1);
  TTableRowData d = row->Data();
  d.Cells[static_cast<size_t>(n)] = d.Cells[static_cast<size_t>(n - 1)];
  d.Cells[static_cast<size_t>(n)].Right += CellWidth(d, n - 1);
  d.CellCount = n + 1;
  doc_.ApplyRowData(row, tablePar_, d);
  return true;
}

bool TShiftDown::BuildChain(const TCellAt& start, std::vector<TCellAt>& chain) {
  chain.assign(1, start);
  const TTableRowData& top = *start.Row;
  const int32_t l = LeftOf(top, start.Index), r = top.Cells[static_cast<size_t>(start.Index)].Right;
  int32_t selectedCount = 1, appendedFound = 0;
  size_t k = std::find(rows_.begin(), rows_.end(), start.Row) - rows_.begin();
  for (++k; k < rows_.size() && appendedFound < selectedCount; ++k) {
    TTableRow* row = rows_[k];
    int32_t from = 0;
    for (const TCellAt& t : taken_)
      if (t.Row == row) from = std::max(from, t.Index + 1);
    int32_t i = FindCellBelow(*row, from, l, r);
    if (i < 0) {
      if (!AppendCell(row)) return false;
      i = CellCountOf(*row) - 1;
    }
    if (row->Cells[static_cast<size_t>(i)].IsContinuation()) continue;
    const TCellAt c{row, i};
    chain.push_back(c);
    if (k >= firstAppended_) ++appendedFound;
    else if (Selected(c)) ++selectedCount;
  }
  return appendedFound >= selectedCount;
}

void TShiftDown::Shift(const std::vector<TCellAt>& chain) {
  // Where each position's content comes from after the shift: -1 for a new empty cell.
  const int32_t m = static_cast<int32_t>(chain.size());
  std::vector<int32_t> order;
  for (int32_t i = 0; i < m;) {
    if (!Selected(chain[static_cast<size_t>(i)])) {
      order.push_back(i++);
      continue;
    }
    int32_t j = i;
    while (j < m && Selected(chain[static_cast<size_t>(j)])) ++j;
    for (int32_t t = i; t < j; ++t) order.push_back(-1);
    for (int32_t t = i; t < j; ++t) order.push_back(t);
    i = j;
  }
  order.resize(static_cast<size_t>(m));
  // The records first, from the cells as they are now.
  std::vector<TTableCell> records;
  for (const TCellAt& c : chain) records.push_back(c.Row->Cells[static_cast<size_t>(c.Index)]);
  for (int32_t k = m - 1; k >= 0; --k) {
    const int32_t s = order[static_cast<size_t>(k)];
    const TCellAt& lower = chain[static_cast<size_t>(k)];
    if (s < 0 || s == k) continue;  // a new empty cell keeps the placeholder left behind
    const TCellAt& upper = chain[static_cast<size_t>(s)];
    TTableRowData d = lower.Row->Data();
    TTableCell& cell = d.Cells[static_cast<size_t>(lower.Index)];
    const int32_t right = cell.Right;
    cell = records[static_cast<size_t>(s)];
    cell.Right = right;
    doc_.ApplyRowData(lower.Row, tablePar_, d);
    // The lower cell's paragraphs go; the upper cell gets an empty paragraph in front of its
    // own, which then move to where the lower cell was.
    const TDocRange below = CellRange(doc_, tablePar_, lower);
    {
      TScopedDocFlag structure(doc_, 149);
      DeleteParagraphs(doc_, below.Start.Par, below.End.Par);
    }
    const TDocRange above = CellRange(doc_, tablePar_, upper);
    TCharFormat chars;
    doc_.Par(above.Start.Par)->GetCharFormatAt(0, chars);
    TMemory content;
    AppendCellPar(content, chars, CellParFormat(doc_.Par(above.Start.Par)->Format));
    TDocPosition at;
    MakePosition(above.Start.Par, 0, at);
    InsertFragment(doc_, content, at, 1);
    const int32_t count = above.End.Par - above.Start.Par + 1;
    EditServices().MoveParagraphs(doc_, above.Start.Par + 1, count, below.Start.Par + 1);
    doc_.ClearTableCache();
  }
}

void TShiftDown::Run(const std::vector<int32_t>& selectedPars) {
  // The selected cells, without continuations.
  for (int32_t p : selectedPars) {
    if (doc_.IsInMergedCell(p) || doc_.IsRowEndPar(p)) continue;
    TTableRow* row = doc_.GetRowProps(p);
    const int32_t i = doc_.GetCellIndex(p);
    if (row == nullptr || i >= CellCountOf(*row)) continue;
    selected_.push_back({row, i});
  }
  if (selected_.empty()) return;
  std::vector<TTableRow*> distinct;
  for (const TCellAt& c : selected_)
    if (std::find(distinct.begin(), distinct.end(), c.Row) == distinct.end()) distinct.push_back(c.Row);
  // Append as many rows as the selection has rows.
  std::vector<TRowAt> before = TableRowsAt(doc_, tablePar_);
  if (before.empty()) return;
  firstAppended_ = before.size();
  for (size_t k = 0; k < distinct.size(); ++k) {
    std::vector<TRowAt> now = TableRowsAt(doc_, tablePar_);
    doc_.TableInsertRequest.Kind = TTableInsertRequest::kRow;
    doc_.TableInsertRequest.Par = tablePar_;
    doc_.TableInsertRequest.Row = now.back().Row;
    doc_.TableInsertRequest.NextRow = nullptr;
    doc_.PerformTableInsertion();
  }
  for (const TRowAt& r : TableRowsAt(doc_, tablePar_)) rows_.push_back(r.Row);
  // Chains from the top row down, left to right; a selected cell inside an earlier chain moves
  // with it.
  std::vector<TCellAt> order = selected_;
  std::sort(order.begin(), order.end(), [&](const TCellAt& a, const TCellAt& b) {
    const auto ra = std::find(rows_.begin(), rows_.end(), a.Row), rb = std::find(rows_.begin(), rows_.end(), b.Row);
    return ra != rb ? ra < rb : a.Index < b.Index;
  });
  for (const TCellAt& s : order) {
    if (std::find(taken_.begin(), taken_.end(), s) != taken_.end()) continue;
    std::vector<TCellAt> chain;
    if (!BuildChain(s, chain)) continue;  // a row would need a 64th cell: this cell stays
    taken_.insert(taken_.end(), chain.begin(), chain.end());
    Shift(chain);
  }
}

}  // namespace

void TDoc::InsertCells(bool shiftDown) {
  if (!TableIsSound(*this, HasSelection() ? GetFirstSelectedPar() : Caret.Par)) return;

  TFragmentRef pieces;
  if (HasSelection()) {
    pieces = SplitFragmentsByRows(*Selection);
    if (IsFragmentEmpty(pieces)) pieces = CloneFragment(*Selection);
  } else {
    pieces = AcquireFragment();
    TDocRange cell;
    GetCellRange(Caret.Par, cell);
    *pieces->GetRange(0) = cell;
  }
  const int32_t anchor = pieces->GetRange(0)->Start.Par;
  if (!InTable(*this, anchor)) return;
  TDocRange table;
  GetTableRange(anchor, table);
  const int32_t tableStart = table.Start.Par;
  if (!shiftDown || AtRowEndMark()) {
    // One group of pieces per row; every row must take its new cells before anything changes.
    std::vector<TFragmentRef> groups;
    TDocRange groupRow{};
    for (int32_t i = 0; i < pieces->Count(); ++i) {
      const TDocRange& r = *pieces->GetRange(i);
      if (!InTable(*this, r.Start.Par)) continue;
      TDocRange row;
      GetRowRange(r.Start.Par, row);
      if (groups.empty() || !SameRange(row, groupRow)) {
        groups.push_back(AcquireFragment());
        *groups.back()->GetRange(0) = r;
        groupRow = row;
      } else {
        groups.back()->InsertRange(groups.back()->Count(), r);
      }
    }
    for (const TFragmentRef& g : groups) {
      if (!InsertColumns(true, g.get(), true)) {
        ShowError(TooManyColumnsMessage);
        return;
      }
    }
    {
      TScopedDocFlag hold(*this, 145);
      for (size_t i = groups.size(); i-- > 0;) InsertColumns(true, groups[i].get(), false);
    }
    NormalizeTable(tableStart);
    return;
  }
  ExpandFragmentsToCells(*pieces);
  std::vector<int32_t> cells;
  for (int32_t i = 0; i < pieces->Count(); ++i) {
    const int32_t p = pieces->GetRange(i)->Start.Par;
    if (InTable(*this, p) && std::find(cells.begin(), cells.end(), p) == cells.end()) cells.push_back(p);
  }
  TShiftDown shift(*this, tableStart);
  TFragmentRef emptied = AcquireFragment();
  {
    TScopedDocFlag hold(*this, 145);
    // The selected cells keep their place (new empty cells take it): remember them by row and
    // index to select them afterwards.
    std::vector<std::pair<TTableRow*, int32_t>> places;
    for (int32_t p : cells)
      if (!IsInMergedCell(p)) places.emplace_back(GetRowProps(p), GetCellIndex(p));
    shift.Run(cells);
    bool any = false;
    for (const auto& [row, index] : places) {
      const int32_t first = FindRowStart(*this, tableStart, row);
      if (first < 0 || row == nullptr || index >= CellCountOf(*row)) continue;
      const TDocRange cell = CellRangeAt(*this, first, index);
      if (!any) *emptied->GetRange(0) = cell;
      else emptied->InsertRange(emptied->Count(), cell);
      any = true;
    }
  }
  NormalizeTable(tableStart);
  emptied->Normalize();
  SetPostSelection(*this, *emptied, emptied->GetRange(0)->Start);
}

}  // namespace qv
