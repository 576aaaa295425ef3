// Merging a rectangle of cells, splitting cells into columns and rows, and splitting a table in
// two. Row properties change through the row record; paragraphs move between cells through the
// editing primitives; the table is normalised afterwards.
#include <algorithm>
#include <cmath>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/layout_services.h"
#include "document/selection_services.h"
#include "document/table_edit_helpers.h"
#include "document/table_fitting.h"
#include "document/table_structure.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

using namespace tables;

namespace {

int32_t LeftOf(const TTableRowData& d, int32_t i) {
  return i <= 0 ? d.Left : d.Cells[static_cast<size_t>(i - 1)].Right;
}

// The size of part i when n items are dealt into k parts in order.
int32_t PartSize(int32_t i, int32_t n, int32_t k) {
  return std::max(1, n / k + (i < n % k ? 1 : 0));
}

// The integer nearest to v, halves to the even neighbour.
int32_t NearestEven(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

struct TSpan {
  int32_t Left, Right;
};

// Moves the paragraphs [first, first + count) into the place of the empty cell whose only
// paragraph is `target`, which goes; the moved paragraphs end with a cell-end mark, and so does
// the paragraph left before them.
void MoveIntoEmptyCell(TDoc& doc, int32_t first, int32_t count, int32_t target) {
  DeleteParagraphs(doc, target, target);
  if (target > first) {
    EditServices().MoveParagraphs(doc, first, count, target);
    doc.ClearTableCache();
    const int32_t lastMoved = target - 1;
    SetParEnd(doc, lastMoved, scCellEnd);
    SetParEnd(doc, first - 1, scCellEnd);
  } else {
    EditServices().MoveParagraphs(doc, first, count, target);
    doc.ClearTableCache();
    SetParEnd(doc, target + count - 1, scCellEnd);
    SetParEnd(doc, first + count - 1, scCellEnd);
  }
}

// Splits cell a of the row into k cells (and its continuation cells below with it), dealing
// its paragraphs over them.
void SplitIntoColumns(TDoc& doc, int32_t tablePar, TTableRow* row, int32_t a, int32_t k) {
  const int32_t rowStart = FindRowStart(doc, tablePar, row);
  TDocRange cell = CellRangeAt(doc, rowStart, a);
  const int32_t n = cell.End.Par - cell.Start.Par + 1;
  TCharFormat chars;
  doc.Par(cell.Start.Par)->GetCharFormatAt(0, chars);
  TMemory content;
  const TParFormat format = CellParFormat(doc.Par(cell.Start.Par)->Format);
  for (int32_t m = 1; m < k; ++m) AppendCellPar(content, chars, format);
  TDocPosition after;
  MakePosition(cell.End.Par + 1, 0, after);
  InsertFragment(doc, content, after, k - 1);
  int32_t start = 0;
  std::vector<int32_t> starts;
  for (int32_t m = 0; m < k; ++m) {
    starts.push_back(start);
    start += PartSize(m, n, k);
  }
  for (int32_t m = k - 1; m >= 1; --m) {
    if (starts[static_cast<size_t>(m)] >= n) continue;
    const int32_t size = std::min(PartSize(m, n, k), n - starts[static_cast<size_t>(m)]);
    cell = CellRangeAt(doc, rowStart, a);
    const TDocRange target = CellRangeAt(doc, rowStart, a + m);
    MoveIntoEmptyCell(doc, cell.Start.Par + starts[static_cast<size_t>(m)], size, target.Start.Par);
  }
  TTableRowData d = row->Data();
  const int32_t count = CellCountOf(d);
  const int32_t w = CellWidth(d, a);
  const int32_t p = w / k;
  for (int32_t i = count - 1; i > a; --i) d.Cells[static_cast<size_t>(i + k - 1)] = d.Cells[static_cast<size_t>(i)];
  const int32_t right = d.Cells[static_cast<size_t>(a)].Right;
  for (int32_t m = 1; m < k; ++m) d.Cells[static_cast<size_t>(a + m)] = d.Cells[static_cast<size_t>(a)];
  for (int32_t m = k - 1; m >= 0; --m) d.Cells[static_cast<size_t>(a + m)].Right = right - (k - 1 - m) * p;
  d.CellCount = count + k - 1;
  doc.ApplyRowData(row, tablePar, d);
}

// The row after the row (in table order), null after the last.
TTableRow* RowBelow(TDoc& doc, int32_t tablePar, TTableRow* row, int32_t steps = 1) {
  const std::vector<TRowAt> rows = TableRowsAt(doc, tablePar);
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].Row == row) return i + steps < rows.size() ? rows[i + steps].Row : nullptr;
  return nullptr;
}

// A new row after `above` (in the table holding tablePar), made from it: every cell but the one
// at `right` continues the cell above, that one is a plain cell.
TTableRow* AddSplitRow(TDoc& doc, int32_t tablePar, TTableRow* above, int32_t right) {
  const int32_t first = FindRowStart(doc, tablePar, above);
  TDocRange row;
  doc.GetRowRange(first, row);
  TTableRowData d = above->Data();
  const int32_t n = CellCountOf(d);
  for (int32_t i = 0; i < n; ++i) {
    TTableCell& c = d.Cells[static_cast<size_t>(i)];
    if (SameEdge(c.Right, right)) {
      c.Merged = c.MergeStart = 0;
    } else {
      c.Merged = 1;
      c.MergeStart = 0;
    }
  }
  TCharFormat chars;
  doc.Par(first)->GetCharFormatAt(0, chars);
  const TParFormat format = CellParFormat(doc.Par(first)->Format);
  TMemory content;
  for (int32_t i = 0; i < n; ++i) AppendCellPar(content, chars, format);
  TTableRow* made = NewRow(doc, d);
  AppendRowEndPar(content, DefaultCharFormat, made, doc.Par(row.End.Par)->Format);
  TDocPosition at;
  MakePosition(row.End.Par + 1, 0, at);
  InsertFragment(doc, content, at, n + 1);
  // The other cells of the row above now go on below.
  TTableRowData up = above->Data();
  bool changed = false;
  for (int32_t i = 0; i < n; ++i) {
    TTableCell& c = up.Cells[static_cast<size_t>(i)];
    if (!SameEdge(c.Right, right) && c.Merged == 0) {
      c.Merged = c.MergeStart = 1;
      changed = true;
    }
  }
  if (changed) doc.ApplyRowData(above, tablePar, up);
  return made;
}

}  // namespace

void TDoc::GetMergeableCells(TMergeCheckResult& out) {
  out = TMergeCheckResult{};
  if (!HasSelection() || !SelectionInOneTable()) return;
  TFragmentRef pieces = SplitFragmentsByRows(*Selection);
  if (IsFragmentEmpty(pieces)) {
    out.Reason = 8;
    return;
  }
  TDocRange firstCell;
  GetCellRange(pieces->GetRange(0)->Start.Par, firstCell);
  for (int32_t i = 0; i < pieces->Count() && !out.CanMerge; ++i) {
    const TDocRange& p = *pieces->GetRange(i);
    if (!PositionInRangeInclusive(p.Start, firstCell) || !PositionInRangeInclusive(p.End, firstCell))
      out.CanMerge = true;
  }
  if (!out.CanMerge) return;
  // Several cells are selected; whether they form a rectangle decides.
  out.CanMerge = false;
  out.Reason = 50;
  TDocRange table;
  GetTableRange(pieces->GetRange(0)->Start.Par, table);
  SelectionServices().EnsureParLaidOut(*this, std::min(table.End.Par + 1, ParCount() - 1));
  int32_t firstIndex = -1;
  std::vector<std::vector<TSpan>> spans;  // per row from firstIndex
  auto add = [&](int32_t rowIndex, TSpan span) {
    if (firstIndex < 0) firstIndex = rowIndex;
    const int32_t at = rowIndex - firstIndex;
    if (at < 0 || at > static_cast<int32_t>(spans.size())) return false;
    if (at == static_cast<int32_t>(spans.size())) spans.emplace_back();
    auto& list = spans[static_cast<size_t>(at)];
    for (const TSpan& s : list)
      if (s.Left == span.Left && s.Right == span.Right) return true;
    list.insert(std::upper_bound(list.begin(), list.end(), span,
                                 [](const TSpan& a, const TSpan& b) { return a.Left < b.Left; }),
                span);
    return true;
  };
  for (int32_t i = 0; i < pieces->Count(); ++i) {
    const TDocRange& piece = *pieces->GetRange(i);
    for (int32_t c = piece.Start.Par; c <= piece.End.Par && InTable(*this, c);) {
      TDocRange cell;
      GetCellRange(c, cell);
      c = cell.End.Par + 1;
      if (IsRowEndPar(cell.Start.Par) || IsInMergedCell(cell.Start.Par)) continue;
      TTableRow* row = GetRowProps(cell.Start.Par);
      const int32_t rowIndex = RowIndexOf(row, cell.Start.Par);
      int32_t l = 0, r = 0;
      GetCellHorzBounds(cell.Start.Par, l, r);
      const int32_t below = static_cast<int32_t>(GetMergedCellsBelow(cell.Start.Par).size());
      for (int32_t k = 0; k <= below; ++k)
        if (!add(rowIndex + k, {l, r})) return;
    }
  }
  if (spans.empty()) return;
  const int32_t outerLeft = spans.front().front().Left, outerRight = spans.front().back().Right;
  for (const auto& list : spans) {
    if (list.empty() || list.front().Left != outerLeft || list.back().Right != outerRight) return;
    for (size_t k = 1; k < list.size(); ++k)
      if (list[k].Left != list[k - 1].Right) return;
  }
  out.CanMerge = true;
  out.MergeLeft = outerLeft;
  out.MergeRight = outerRight;
  out.FirstRowIndex = firstIndex;
  out.LastRowIndex = firstIndex + static_cast<int32_t>(spans.size()) - 1;
}

void TDoc::MergeCells() {
  if (!TableIsSound(*this, GetFirstSelectedPar())) return;

  TMergeCheckResult check;
  GetMergeableCells(check);
  if (!check.CanMerge) return;
  TScopedDocFlag structure(*this, 149);
  const int32_t firstSelected = GetFirstSelectedPar();
  TDocRange table;
  GetTableRange(firstSelected, table);
  const int32_t tableStart = table.Start.Par;
  std::vector<TRowAt> all = TableRowsAt(*this, tableStart);
  if (check.LastRowIndex >= static_cast<int32_t>(all.size())) return;
  std::vector<TRowAt> rows(all.begin() + check.FirstRowIndex, all.begin() + check.LastRowIndex + 1);
  const bool tall = rows.size() > 1;
  std::vector<TTableRowData> copies;
  for (const TRowAt& r : rows) copies.push_back(r.Row->Data());
  std::vector<int32_t> mergedIndex(rows.size(), 0);
  for (size_t r = rows.size(); r-- > 0;) {
    TTableRowData& d = copies[r];
    const int32_t n = CellCountOf(d);
    int32_t last = CellAtRight(d, check.MergeRight);
    if (last < 0) last = n - 1;
    int32_t first = 0;
    while (first < n && SignificantDifference(d.Cells[static_cast<size_t>(first)].Right, check.MergeLeft) <= 0) ++first;
    if (first > last) continue;
    mergedIndex[r] = first;
    if (d.Height == 0 && tall) {
      bool othersMerged = true;
      for (int32_t i = 0; i < n; ++i)
        if ((i < first || i > last) && d.Cells[static_cast<size_t>(i)].Merged == 0) othersMerged = false;
      if (othersMerged) {
        for (int32_t i = first; i <= last; ++i) {
          if (d.Cells[static_cast<size_t>(i)].Merged != 0) continue;
          const int32_t h = DocLayoutServices().CellBoxHeight(*this, CellRangeAt(*this, rows[r].First, i).Start.Par);
          if (h > 0) d.Height = h;
          break;
        }
      }
    }
    if (last > first) {
      const int32_t rowStart = FindRowStart(*this, tableStart, rows[r].Row);
      bool keptMet = false;
      for (int32_t i = last; i >= first; --i) {
        const TDocRange cell = CellRangeAt(*this, rowStart, i);
        const bool empty = IsEmptyCellRange(cell) && !Par(cell.Start.Par)->HasFlag(pfAnchoredShapes);
        if (empty && !(i == first && !keptMet)) {
          DeleteParagraphs(*this, cell.Start.Par, cell.End.Par);
          continue;
        }
        if (keptMet) SetParEnd(*this, cell.End.Par, scParagraphEnd);
        keptMet = true;
      }
      TTableCell& head = d.Cells[static_cast<size_t>(first)];
      head.Right = d.Cells[static_cast<size_t>(last)].Right;
      if (r == 0) head.BorderRight = d.Cells[static_cast<size_t>(last)].BorderRight;
      const int32_t gone = last - first;
      for (int32_t i = last + 1; i < n; ++i) d.Cells[static_cast<size_t>(i - gone)] = d.Cells[static_cast<size_t>(i)];
      for (int32_t i = n - gone; i < n; ++i) d.Cells[static_cast<size_t>(i)] = TTableCell{};
      d.CellCount = n - gone;
    }
    TTableCell& merged = d.Cells[static_cast<size_t>(first)];
    merged.Merged = 1;
    merged.MergeStart = r == 0 ? 1 : 0;
  }
  const TTableCell& bottom = copies.back().Cells[static_cast<size_t>(mergedIndex.back())];
  for (size_t r = 0; r + 1 < rows.size(); ++r)
    copies[r].Cells[static_cast<size_t>(mergedIndex[r])].BorderBottom = bottom.BorderBottom;
  TFormatRowsRequest request;
  request.FirstPar = tableStart;
  for (size_t r = 0; r < rows.size(); ++r) {
    request.Rows.push_back(rows[r].Row);
    request.NewData.push_back(copies[r]);
  }
  FormatRows(request);
  // The text of the lower rows' merged cells moves up into the top cell.
  for (size_t r = 1; r < rows.size(); ++r) {
    const TDocRange lower = CellRangeAt(*this, FindRowStart(*this, tableStart, rows[r].Row), mergedIndex[r]);
    if (IsEmptyCellRange(lower)) continue;
    const TDocRange top = CellRangeAt(*this, FindRowStart(*this, tableStart, rows[0].Row), mergedIndex[0]);
    const int32_t count = lower.End.Par - lower.Start.Par + 1;
    if (IsEmptyCellRange(top)) {
      EditServices().MoveParagraphs(*this, lower.Start.Par, count, top.Start.Par);
      ClearTableCache();
      EditServices().MoveParagraphs(*this, top.Start.Par + count, 1, lower.Start.Par + count);
      ClearTableCache();
    } else {
      SetParEnd(*this, top.End.Par, scParagraphEnd);
      TDocPosition at;
      MakePosition(lower.Start.Par, 0, at);
      InsertParagraphBreak(*this, at, Par(lower.Start.Par)->Format);
      SetParEnd(*this, lower.Start.Par, scCellEnd);
      EditServices().MoveParagraphs(*this, lower.Start.Par + 1, count, top.End.Par + 1);
      ClearTableCache();
    }
  }
  NormalizeTable(tableStart);
  if (InTable(*this, firstSelected)) {
    TDocRange cell;
    GetCellRange(firstSelected, cell);
    TFragmentRef f = AcquireFragment();
    *f->GetRange(0) = cell;
    SetPostSelection(*this, *f, cell.Start);
  } else {
    TDocPosition start;
    MakePosition(std::min(tableStart, ParCount() - 1), 0, start);
    SetPostCaret(*this, start);
  }
}

void TDoc::SplitCells() {
  if (!TableIsSound(*this, HasSelection() ? GetFirstSelectedPar() : Caret.Par)) return;

  const int32_t k = std::clamp(GetOptions().Internal.SplitCellsCols, 1, MaxTableCells);
  const int32_t rowsWanted = std::clamp(GetOptions().Internal.SplitCellsRows, 1, MaxTableCells);
  if (k == 1 && rowsWanted == 1) return;
  std::vector<int32_t> cells = GetSelectedCells();
  if (cells.empty() || !InTable(*this, cells.front())) return;
  TDocRange table;
  GetTableRange(cells.front(), table);
  const int32_t tableStart = table.Start.Par;
  struct TTarget {
    TTableRow* Row;
    int32_t Index;
    int32_t Below;  // continuation cells below it
  };
  std::vector<TTarget> targets;
  for (int32_t p : cells) {
    if (IsInMergedCell(p) || IsRowEndPar(p)) continue;
    TTableRow* row = GetRowProps(p);
    const int32_t i = GetCellIndex(p);
    if (row == nullptr || i >= CellCountOf(*row)) continue;
    targets.push_back({row, i, static_cast<int32_t>(GetMergedCellsBelow(p).size())});
  }
  if (targets.empty()) return;
  // The cell array of a row holds 63 cells: a split that would pass them changes nothing.
  if (k > 1) {
    const std::vector<TRowAt> rows = TableRowsAt(*this, tableStart);
    for (size_t r = 0; r < rows.size(); ++r) {
      if (rows[r].Row == nullptr) continue;
      int64_t gain = 0;
      for (const TTarget& t : targets) {
        const size_t at = static_cast<size_t>(std::find_if(rows.begin(), rows.end(), [&](const TRowAt& x) {
                                                return x.Row == t.Row;
                                              }) - rows.begin());
        if (r >= at && r <= at + static_cast<size_t>(t.Below)) gain += k - 1;
      }
      if (CellCountOf(*rows[r].Row) + gain > MaxTableCells) {
        ShowError(TooManyColumnsMessage);
        return;
      }
    }
  }
  TScopedDocFlag structure(*this, 149);
  TFragmentRef result = AcquireFragment();
  bool any = false;
  std::vector<std::pair<TTableRow*, int32_t>> made;
  for (size_t ti = targets.size(); ti-- > 0;) {
    TTarget x = targets[ti];
    const int32_t right = x.Row->Cells[static_cast<size_t>(x.Index)].Right;
    std::vector<std::pair<TTableRow*, int32_t>> starts{{x.Row, x.Index}};
    if (rowsWanted > 1) {
      const int32_t s = x.Below;
      if (s < rowsWanted - 1) {
        // New rows, made from the row above each, spread over the rows the cell spans.
        const int32_t extra = rowsWanted - 1 - s;
        TTableRow* spanned = x.Row;
        for (int32_t i = 0; i <= s; ++i) {
          const int32_t count = extra / (s + 1) + (i < extra % (s + 1) ? 1 : 0);
          TTableRow* above = spanned;
          for (int32_t c = 0; c < count; ++c) above = AddSplitRow(*this, tableStart, above, right);
          spanned = RowBelow(*this, tableStart, above);
        }
        x.Below = rowsWanted - 1;
      }
      // Each row below takes a new cell start and its part of the cell's paragraphs.
      const int32_t spanRows = x.Below;
      const double q = static_cast<double>(rowsWanted) / (spanRows + 1);
      const int32_t rowStartX = FindRowStart(*this, tableStart, x.Row);
      const TDocRange xCell = CellRangeAt(*this, rowStartX, x.Index);
      const int32_t n = xCell.End.Par - xCell.Start.Par + 1;
      std::vector<std::pair<TTableRow*, int32_t>> receivers;  // row, part t
      int32_t t = 1;
      for (int32_t i = 0; i < std::max(rowsWanted - 1, spanRows); ++i) {
        TTableRow* below = RowBelow(*this, tableStart, x.Row, i + 1);
        if (below == nullptr) break;
        const int32_t a1 = NearestEven(q * (i + 1)), a2 = NearestEven(q * (i + 2));
        const bool keep = spanRows > rowsWanted - 1 &&
                          (t > rowsWanted - 1 || a1 != t ||
                           (a1 >= a2 && std::fabs(a1 - q * (i + 1)) >= std::fabs(a2 - q * (i + 2))));
        if (keep) continue;
        const int32_t j = CellAtRight(*below, right);
        if (j < 0) continue;
        TTableRowData d = below->Data();
        d.Cells[static_cast<size_t>(j)].Merged = 1;
        d.Cells[static_cast<size_t>(j)].MergeStart = 1;
        ApplyRowData(below, tableStart, d);
        receivers.emplace_back(below, t);
        starts.emplace_back(below, j);
        ++t;
      }
      std::vector<int32_t> partStart(static_cast<size_t>(rowsWanted + 1), 0);
      int32_t acc = 0;
      for (int32_t m = 0; m < rowsWanted; ++m) {
        partStart[static_cast<size_t>(m)] = acc;
        acc += PartSize(m, n, rowsWanted);
      }
      for (size_t r = receivers.size(); r-- > 0;) {
        const int32_t part = receivers[r].second;
        const int32_t from = partStart[static_cast<size_t>(part)];
        if (from >= n) continue;
        const int32_t size = std::min(PartSize(part, n, rowsWanted), n - from);
        const TDocRange cell = CellRangeAt(*this, FindRowStart(*this, tableStart, x.Row), x.Index);
        TTableRow* row = receivers[r].first;
        const int32_t j = CellAtRight(*row, right);
        const TDocRange target = CellRangeAt(*this, FindRowStart(*this, tableStart, row), j);
        MoveIntoEmptyCell(*this, cell.Start.Par + from, size, target.Start.Par);
      }
    }
    for (size_t si = starts.size(); si-- > 0;) {
      auto [row, index] = starts[si];
      if (k >= 2) {
        // Continuation cells below go with their merge start.
        const int32_t first = CellRangeAt(*this, FindRowStart(*this, tableStart, row), index).Start.Par;
        const std::vector<int32_t> below = GetMergedCellsBelow(first);
        SplitIntoColumns(*this, tableStart, row, index, k);
        for (size_t b = 0; b < below.size(); ++b)
          if (TTableRow* lower = RowBelow(*this, tableStart, row, static_cast<int32_t>(b) + 1))
            SplitIntoColumns(*this, tableStart, lower, below[b], k);
      }
      made.push_back({row, index});
    }
  }
  // The ranges once every split is done (later splits move the paragraphs of earlier ones).
  for (const auto& [row, index] : made) {
    const int32_t first = FindRowStart(*this, tableStart, row);
    if (first < 0) continue;
    const TDocRange a = CellRangeAt(*this, first, index);
    const TDocRange b = CellRangeAt(*this, first, index + std::max(k, 1) - 1);
    TDocRange range;
    MakeRange(a.Start.Par, 0, b.End.Par, b.End.Offset, range);
    if (!any) *result->GetRange(0) = range;
    else result->InsertRange(result->Count(), range);
    any = true;
  }
  if (NormalizeTable(tableStart)) result->SetSingleRange(tableStart, 0, tableStart, 0);
  NormalizeFragments(*result);
  TDocPosition caret = result->GetRange(0)->Start;
  SetPostSelection(*this, *result, caret);
}

void TDoc::SplitTable() {
  const int32_t p = GetFirstSelectedPar();
  if (!InTable(*this, p)) return;
  TDocRange row;
  GetRowRange(p, row);
  TTableRow* props = GetRowProps(row.Start.Par);
  TDocRange table;
  GetTableRange(p, table);
  const int32_t tableStart = table.Start.Par;
  if (props != nullptr && row.Start.Par > tableStart) {
    // Continuation cells start their own merge in the new table, with the old start's looks.
    TTableRowData d = props->Data();
    bool changed = false;
    const std::vector<TRowAt> rows = TableRowsAt(*this, tableStart);
    for (int32_t i = 0; i < CellCountOf(d); ++i) {
      TTableCell& c = d.Cells[static_cast<size_t>(i)];
      if (!c.IsContinuation()) continue;
      for (size_t r = rows.size(); r-- > 0;) {
        if (rows[r].First >= row.Start.Par || rows[r].Row == nullptr) continue;
        const int32_t j = CellAtRight(*rows[r].Row, c.Right);
        if (j < 0) continue;
        const TTableCell& above = rows[r].Row->Cells[static_cast<size_t>(j)];
        if (above.MergeStart == 0) continue;
        const int32_t right = c.Right;
        c = above;
        c.Right = right;
        c.MergeStart = 1;
        c.Merged = 1;
        changed = true;
        break;
      }
    }
    if (changed) {
      TFormatRowsRequest request;
      request.FirstPar = tableStart;
      request.Rows.push_back(props);
      request.NewData.push_back(d);
      FormatRows(request);
      NormalizeTable(tableStart);
    }
  }
  GetRowRange(p, row);
  TDocPosition at;
  MakePosition(row.Start.Par, 0, at);
  TParFormat outside = Par(row.Start.Par)->Format;
  outside.InTable = 0;
  UpdateTypingFormat(at, 1);
  InsertParagraphBreak(*this, at, outside);
  // Merges of the upper table that went on into the new one end where it ends now.
  NormalizeTable(tableStart);
  SetPostCaret(*this, at);
}

}  // namespace qv
