// Table normalisation: after structural edits, rows made only of continuation cells go, rows
// take the table's column edges and the first row's paddings, vertical merges are made
// consistent (a continuation lies under a merge, a merge start has a continuation below it, a
// merge start shows the bottom border of its last cell), and header rows stay a run from the
// table's start. Also the alignment of a table with the one it has joined.
#include <algorithm>
#include <cstdlib>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/table_edit_helpers.h"
#include "document/table_fitting.h"
#include "document/table_structure.h"
#include "foundation/base/units.h"

namespace qv {

using namespace tables;

namespace {

struct TRowRef {
  int32_t First = 0;  // the row's first paragraph
  TTableRow* Row = nullptr;
};

std::vector<TRowRef> TableRowRefs(TDoc& doc, int32_t par) {
  std::vector<TRowRef> rows;
  for (int32_t start : RowStarts(doc, par)) rows.push_back({start, doc.GetRowProps(start)});
  return rows;
}

bool AllContinuations(const TTableRowData& row) {
  const int32_t n = CellCountOf(row);
  for (int32_t i = 0; i < n; ++i)
    if (!row.Cells[static_cast<size_t>(i)].IsContinuation()) return false;
  return true;
}

bool SameBorders(const TTableCell& a, const TTableCell& b) {
  auto same = [](const TBorderLine& x, const TBorderLine& y) {
    return x.Width == y.Width && x.Style == y.Style && x.Color == y.Color && x.Distance == y.Distance;
  };
  return same(a.BorderLeft, b.BorderLeft) && same(a.BorderTop, b.BorderTop) &&
         same(a.BorderRight, b.BorderRight) && same(a.BorderBottom, b.BorderBottom);
}

bool HasContinuationAt(const TTableRowData* row, int32_t right) {
  if (row == nullptr) return false;
  const int32_t j = CellAtRight(*row, right);
  return j >= 0 && row->Cells[static_cast<size_t>(j)].IsContinuation();
}

// Brings one row to the rules; true when its copy changed.
bool NormalizeRow(TDoc& doc, const std::vector<TRowRef>& rows, size_t r,
                  const std::vector<int32_t>& edges, TTableRowData& d) {
  bool changed = false;
  const TTableRowData& first = *rows.front().Row;
  const TTableRowData* above = r > 0 ? rows[r - 1].Row : nullptr;
  auto snap = [&](int32_t& v) {
    const int32_t s = SnapToListedValue(v, edges);
    if (s != v) {
      v = s;
      changed = true;
    }
  };
  snap(d.Left);
  const int32_t n = CellCountOf(d);
  for (int32_t i = 0; i < n; ++i)
    if (d.Cells[static_cast<size_t>(i)].Right != TableValueUnset) snap(d.Cells[static_cast<size_t>(i)].Right);
  if (d.PadLeft != first.PadLeft || d.PadTop != first.PadTop || d.PadRight != first.PadRight ||
      d.PadBottom != first.PadBottom) {
    d.PadLeft = first.PadLeft;
    d.PadTop = first.PadTop;
    d.PadRight = first.PadRight;
    d.PadBottom = first.PadBottom;
    changed = true;
  }
  bool allMerged = true;
  for (int32_t i = 0; i < n; ++i) allMerged &= d.Cells[static_cast<size_t>(i)].Merged != 0;
  if (d.Height == 0 && allMerged) {
    d.Height = 360;
    changed = true;
  }
  const TTableRowData* below = r + 1 < rows.size() ? rows[r + 1].Row : nullptr;
  for (int32_t i = n; i-- > 0;) {
    TTableCell& c = d.Cells[static_cast<size_t>(i)];
    if (c.MergeStart != 0) {
      // The merge start shows the bottom border of the merge's last cell.
      for (size_t k = r + 1; k < rows.size(); ++k) {
        const TTableRowData& lower = *rows[k].Row;
        const int32_t j = CellAtRight(lower, c.Right);
        if (j < 0 || !lower.Cells[static_cast<size_t>(j)].IsContinuation()) break;
        c.BorderBottom = lower.Cells[static_cast<size_t>(j)].BorderBottom;
        changed = true;
      }
    } else if (c.Merged != 0) {
      bool stays = false;
      if (above != nullptr && IsEmptyCellRange(CellRangeAt(doc, rows[r].First, i))) {
        const int32_t j = CellAtRight(*above, c.Right);
        if (j >= 0 && above->Cells[static_cast<size_t>(j)].Merged != 0) {
          stays = true;
          const TTableCell& top = above->Cells[static_cast<size_t>(j)];
          if (!SameBorders(c, top)) {
            c.BorderLeft = top.BorderLeft;
            c.BorderTop = top.BorderTop;
            c.BorderRight = top.BorderRight;
            c.BorderBottom = top.BorderBottom;
            changed = true;
          }
        }
      }
      if (!stays) {
        c.MergeStart = 1;
        changed = true;
      }
    }
    if (c.MergeStart != 0 && !HasContinuationAt(below, c.Right)) {
      c.MergeStart = 0;
      c.Merged = 0;
      changed = true;
    }
  }
  if (r > 0) {
    if (above->HeaderRow == 0) {
      changed |= d.HeaderRow != 0;
      d.HeaderRow = 0;
    } else {
      bool continues = false;
      for (int32_t i = 0; i < n; ++i) continues |= d.Cells[static_cast<size_t>(i)].IsContinuation();
      if (continues) {
        changed |= d.HeaderRow != 1;
        d.HeaderRow = 1;
      }
    }
  }
  return changed;
}

}  // namespace

bool TDoc::NormalizeTable(int32_t par) {
  if (IsDocFlagSet(145) || !InTable(*this, par)) return false;
  TScopedDocFlag noNesting(*this, 145);
  TScopedDocFlag structure(*this, 149);
  ClearTableCache();
  TDocRange table;
  GetTableRange(par, table);
  const int32_t tableStart = table.Start.Par;
  const std::vector<int32_t> edges = GetTableColumnEdges(par, nullptr, true);
  bool deleted = false;
  {
    std::vector<TRowRef> rows = TableRowRefs(*this, par);
    for (size_t r = rows.size(); r-- > 0;) {
      if (rows[r].Row == nullptr || !AllContinuations(*rows[r].Row)) continue;
      TDocRange range;
      GetRowRange(rows[r].First, range);
      DeleteParagraphs(*this, range.Start.Par, range.End.Par);
      deleted = true;
    }
  }
  if (!InTable(*this, tableStart)) return deleted;
  ClearTableCache();
  std::vector<TRowRef> rows = TableRowRefs(*this, tableStart);
  if (rows.empty() || rows.front().Row == nullptr) return deleted;
  // A row reads the rows below it as they are; when one of them changes afterwards (a
  // continuation holding text starts its own merge), the rows above are looked at again, so no
  // merge start is left without its continuation. Each pass only settles more cells.
  for (size_t pass = 0; pass <= rows.size(); ++pass) {
    bool any = false;
    for (size_t r = 0; r < rows.size(); ++r) {
      if (rows[r].Row == nullptr) continue;
      TTableRowData copy = rows[r].Row->Data();
      if (NormalizeRow(*this, rows, r, edges, copy))
        any |= ApplyRowData(rows[r].Row, tableStart, copy);
    }
    if (!any) break;
  }
  return deleted;
}

void TDoc::AlignTableWithPrevious(int32_t par) {
  if (!InTable(*this, par) || par == 0 || !IsRowEndPar(par - 1)) return;
  TTableRow* above = GetRowProps(par - 1);
  if (above == nullptr) return;
  std::vector<TRowRef> rows;
  for (int32_t start : RowStarts(*this, par))
    if (start >= par) rows.push_back({start, GetRowProps(start)});
  if (rows.empty() || rows.front().Row == nullptr) return;
  const TTableRowData& lead = *rows.front().Row;
  const int32_t n = CellCountOf(lead);
  for (const TRowRef& r : rows) {
    if (r.Row == nullptr || r.Row->CellCount != lead.CellCount || r.Row->Left != lead.Left) return;
    for (int32_t i = 0; i < n; ++i)
      if (r.Row->Cells[static_cast<size_t>(i)].Right != lead.Cells[static_cast<size_t>(i)].Right) return;
  }
  const int32_t na = CellCountOf(*above);
  if (na == 0 || n == 0) return;
  const int32_t lastA = above->Cells[static_cast<size_t>(na - 1)].Right;
  const int32_t lastR = lead.Cells[static_cast<size_t>(n - 1)].Right;
  const int32_t wa = lastA - above->Left;
  const int32_t wr = lastR - lead.Left;
  if (na != n && std::abs(wa - wr) >= MulDiv(wa, 10, 100)) return;
  TFormatRowsRequest request;
  request.FirstPar = par;
  for (const TRowRef& r : rows) {
    TTableRowData& d = request.Add(r.Row);
    d.Left = above->Left;
    for (int32_t i = 0; i < n; ++i) {
      TTableCell& c = d.Cells[static_cast<size_t>(i)];
      if (na == n)
        c.Right = above->Cells[static_cast<size_t>(i)].Right;
      else if (i == n - 1)
        c.Right = lastA;
      else
        c.Right = lastA - MulDiv(lastR - lead.Cells[static_cast<size_t>(i)].Right, wa, wr);
    }
  }
  FormatRows(request);
}

}  // namespace qv
