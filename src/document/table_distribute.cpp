// Giving the selected columns equal widths and the rows one common height (from the heights
// the rows take on the laid-out pages). Both change row data only, through the row record.
#include <algorithm>
#include <cmath>
#include <map>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/layout_services.h"
#include "document/selection_services.h"
#include "document/table_distribute.h"
#include "document/table_edit_helpers.h"
#include "foundation/base/units.h"

namespace qv {

using namespace tables;

namespace {

int32_t LeftOf(const TTableRowData& d, int32_t i) {
  return i <= 0 ? d.Left : d.Cells[static_cast<size_t>(i - 1)].Right;
}

int32_t NearestEven(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

// The paragraph before which a range ends (its last paragraph).
int32_t LastParOf(const TDocRange& r) {
  return r.End.Offset == 0 && r.End.Par > r.Start.Par ? r.End.Par - 1 : r.End.Par;
}

}  // namespace

bool SameColumnEdges(const TTableRowData& a, int32_t a1, int32_t a2, const TTableRowData& b,
                     int32_t b1, int32_t b2) {
  if (a2 - a1 != b2 - b1) return false;
  if (LeftOf(a, a1) != LeftOf(b, b1)) return false;
  for (int32_t k = 0; k <= a2 - a1; ++k)
    if (a.Cells[static_cast<size_t>(a1 + k)].Right != b.Cells[static_cast<size_t>(b1 + k)].Right) return false;
  return true;
}

TTableRowData DistributeCellWidths(const TTableRowData& row, int32_t first, int32_t last) {
  TTableRowData d = row;
  if (last < 0) last = CellCountOf(d) - 1;
  if (first < 0 || last >= CellCountOf(d) || first >= last) return d;
  const int32_t a = LeftOf(d, first), b = d.Cells[static_cast<size_t>(last)].Right;
  for (int32_t k = first; k < last; ++k)
    d.Cells[static_cast<size_t>(k)].Right = a + MulDiv(b - a, k - first + 1, last - first + 1);
  return d;
}

TFragmentRef TDoc::GetDistributableColumns(const TDocRange& table) {
  TFragmentRef empty = AcquireFragment();
  if (!HasSelection()) return empty;
  TFragmentRef s = SplitFragmentsByRows(*Selection);
  if (IsFragmentEmpty(s)) return empty;
  for (int32_t i = 0; i < s->Count(); ++i) {
    const TDocRange& r = *s->GetRange(i);
    if (!InTable(*this, r.Start.Par) || r.Start.Par < table.Start.Par || r.End.Par > table.End.Par) return empty;
    TDocRange a, b;
    GetCellRange(r.Start.Par, a);
    GetCellRange(LastParOf(r), b);
    if (!SamePlace(r.Start, a.Start) || !SamePlace(r.End, b.End)) return empty;
  }
  // A piece that only continuation cells separate from the one before joins it.
  for (int32_t i = s->Count() - 1; i > 0; --i) {
    TDocRange& before = *s->GetRange(i - 1);
    const TDocRange& r = *s->GetRange(i);
    bool onlyContinuations = true;
    for (int32_t p = before.End.Par + 1; p < r.Start.Par && onlyContinuations; ++p)
      onlyContinuations = !IsRowEndPar(p) && IsInMergedCell(p);
    if (onlyContinuations) {
      before.End = r.End;
      s->DeleteRange(i);
    }
  }
  NormalizeFragments(*s);
  bool wide = false, merges = false;
  const int32_t count = s->Count();
  for (int32_t i = 0; i < count; ++i) {
    const TDocRange r = *s->GetRange(i);
    const int32_t i1 = GetCellIndex(r.Start.Par), i2 = GetCellIndex(LastParOf(r));
    wide |= i2 > i1;
    for (int32_t p = r.Start.Par; p <= LastParOf(r);) {
      TDocRange cell;
      GetCellRange(p, cell);
      p = cell.End.Par + 1;
      TDocRange row;
      GetRowRange(cell.Start.Par, row);
      for (int32_t index : GetMergedCellsBelow(cell.Start.Par)) {
        merges = true;
        GetRowRange(row.End.Par + 1, row);
        s->InsertRange(s->Count(), CellRangeAt(*this, row.Start.Par, index));
      }
    }
  }
  if (!wide) return empty;
  NormalizeFragments(*s);
  // Consecutive rows; the first row continues no merge within its span; merged columns line up.
  const TDocRange& first = *s->GetRange(0);
  const TTableRow* firstRow = GetRowProps(first.Start.Par);
  const int32_t f1 = GetCellIndex(first.Start.Par), f2 = GetCellIndex(LastParOf(first));
  if (firstRow == nullptr || f2 >= CellCountOf(*firstRow)) return empty;
  for (int32_t k = f1; k <= f2; ++k)
    if (firstRow->Cells[static_cast<size_t>(k)].IsContinuation()) return empty;
  TDocRange last{};
  bool any = false;
  for (int32_t i = 0; i < s->Count(); ++i) {
    const TDocRange& r = *s->GetRange(i);
    TDocRange row;
    GetRowRange(r.Start.Par, row);
    if (any && !SameRange(row, last) && last.End.Par + 1 != row.Start.Par) return empty;
    last = row;
    any = true;
    if (merges) {
      const TTableRow* props = GetRowProps(r.Start.Par);
      if (props == nullptr ||
          !SameColumnEdges(*firstRow, f1, f2, *props, GetCellIndex(r.Start.Par), GetCellIndex(LastParOf(r))))
        return empty;
    }
  }
  return s;
}

bool TDoc::DistributeColumns() {
  if (!TableIsSound(*this, GetFirstSelectedPar())) return false;

  const int32_t anchor = GetFirstSelectedPar();
  if (!InTable(*this, anchor)) return false;
  TDocRange table;
  GetTableRange(anchor, table);
  const int32_t tableStart = table.Start.Par;
  std::map<TTableRow*, TTableRowData> copies;
  std::vector<TTableRow*> order;
  auto copyOf = [&](TTableRow* row) -> TTableRowData& {
    auto it = copies.find(row);
    if (it == copies.end()) {
      order.push_back(row);
      it = copies.emplace(row, row->Data()).first;
    }
    return it->second;
  };
  if (HasSelection()) {
    TFragmentRef pieces = GetDistributableColumns(table);
    if (IsFragmentEmpty(pieces)) return false;
    for (int32_t i = 0; i < pieces->Count(); ++i) {
      const TDocRange& r = *pieces->GetRange(i);
      TTableRow* row = GetRowProps(LastParOf(r));
      if (row == nullptr) continue;
      TTableRowData& d = copyOf(row);
      d = DistributeCellWidths(d, GetCellIndex(r.Start.Par), GetCellIndex(LastParOf(r)));
    }
  } else {
    for (const TRowAt& r : TableRowsAt(*this, tableStart)) {
      if (r.Row == nullptr) continue;
      TTableRowData& d = copyOf(r.Row);
      d = DistributeCellWidths(d, 0, -1);
    }
  }
  TFormatRowsRequest request;
  request.FirstPar = tableStart;
  for (TTableRow* row : order) {
    request.Rows.push_back(row);
    request.NewData.push_back(copies[row]);
  }
  FormatRows(request);
  return NormalizeTable(tableStart);
}

std::vector<TRowMeasure> TDoc::MeasureTableRows(int32_t par, const std::vector<TTableRow*>& rows) {
  TDocRange table;
  GetTableRange(par, table);
  SelectionServices().EnsureParLaidOut(*this, std::min(table.End.Par + 1, ParCount() - 1));
  std::vector<TRowMeasure> out = DocLayoutServices().MeasureTableRows(*this, table.Start.Par, rows);
  out.resize(rows.size());
  return out;
}

void TDoc::DistributeRows() {
  const int32_t anchor = GetFirstSelectedPar();
  if (!InTable(*this, anchor)) return;
  TDocRange table;
  GetTableRange(anchor, table);
  std::vector<TTableRow*> rows;
  if (HasSelection()) {
    TFragmentRef pieces = SplitFragmentsByRows(*Selection);
    if (IsFragmentEmpty(pieces)) pieces = CloneFragment(*Selection);
    for (int32_t i = 0; i < pieces->Count(); ++i) {
      const int32_t p = pieces->GetRange(i)->Start.Par;
      if (!InTable(*this, p)) continue;
      TTableRow* row = GetRowProps(p);
      if (row != nullptr && std::find(rows.begin(), rows.end(), row) == rows.end()) rows.push_back(row);
    }
  } else {
    for (const TRowAt& r : TableRowsAt(*this, table.Start.Par))
      if (r.Row != nullptr) rows.push_back(r.Row);
  }
  if (rows.empty()) return;
  const std::vector<TRowMeasure> m = MeasureTableRows(table.Start.Par, rows);
  double sum = 0;
  int32_t content = 0;
  for (const TRowMeasure& r : m) {
    if (r.Pieces <= 0) continue;
    sum += static_cast<double>(r.Height) / r.Pieces;
    content = std::max(content, NearestEven(static_cast<double>(r.ContentHeight) / r.Pieces));
  }
  const int32_t h = std::max(NearestEven(sum / static_cast<double>(rows.size())), content);
  TFormatRowsRequest request;
  request.FirstPar = table.Start.Par;
  for (TTableRow* row : rows) {
    TTableRowData& d = request.Add(row);
    d.Height = d.Height < 0 ? -h : h;
  }
  FormatRows(request);
}

}  // namespace qv
