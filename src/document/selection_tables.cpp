#include "document/selection_tables.h"

#include <algorithm>
#include <cstdlib>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/selection_services.h"

namespace qv {

namespace {

// The width given to each column while no row geometry is known.
constexpr int32_t kColumnWidth = 1440;

const TPar* ParOrNull(const TDoc& doc, int32_t par) {
  return par >= 0 && par < doc.ParCount() ? doc.Par(par) : nullptr;
}

uint8_t FirstCode(const TPar& par) { return par.CharCount() > 0 ? par.CodeAt(0) : 0; }
uint8_t LastCode(const TPar& par) {
  return par.CharCount() > 0 ? par.CodeAt(par.CharCount() - 1) : 0;
}

int32_t StoryFirst(const TDoc& doc, int32_t par) {
  return doc.FirstParagraphOfStory(doc.StoryOfParagraph(par));
}
int32_t StoryLast(const TDoc& doc, int32_t par) {
  return std::min(doc.LastParagraphOfStory(doc.StoryOfParagraph(par)), doc.ParCount() - 1);
}

}  // namespace

bool ParInTable(const TDoc& doc, int32_t par) {
  const TPar* p = ParOrNull(doc, par);
  return p != nullptr && GetParFormatProp(p->Format, ppInTable) > 0;
}

bool IsRowEndParagraph(const TDoc& doc, int32_t par) {
  return ParInTable(doc, par) && FirstCode(*doc.Par(par)) == scRowEnd;
}

bool EndsTableCell(const TDoc& doc, int32_t par) {
  const TPar* p = ParOrNull(doc, par);
  if (p == nullptr) return false;
  const uint8_t c = LastCode(*p);
  return c == scCellEnd || c == scRowEnd;
}

void TableCellRange(const TDoc& doc, int32_t par, TDocRange& out) {
  const int32_t first = StoryFirst(doc, par);
  const int32_t last = StoryLast(doc, par);
  int32_t start = par;
  while (start > first && ParInTable(doc, start - 1) && !EndsTableCell(doc, start - 1)) --start;
  int32_t end = par;
  while (end < last && !EndsTableCell(doc, end)) ++end;
  MakeRange(start, 0, end, doc.Par(end)->CharCount(), out);
}

void TableRowRange(const TDoc& doc, int32_t par, TDocRange& out) {
  const int32_t first = StoryFirst(doc, par);
  const int32_t last = StoryLast(doc, par);
  int32_t start = par;
  while (start > first && ParInTable(doc, start - 1) && FirstCode(*doc.Par(start - 1)) != scRowEnd)
    --start;
  int32_t end = par;
  while (end < last && FirstCode(*doc.Par(end)) != scRowEnd) ++end;
  MakeRange(start, 0, end, 1, out);
}

void TableRange(const TDoc& doc, int32_t par, TDocRange& out) {
  const int32_t first = StoryFirst(doc, par);
  const int32_t last = StoryLast(doc, par);
  int32_t start = par;
  while (start > first && ParInTable(doc, start - 1)) --start;
  int32_t end = par;
  while (end < last && ParInTable(doc, end + 1)) ++end;
  MakeRange(start, 0, end, doc.Par(end)->CharCount(), out);
}

int32_t TableCellIndex(const TDoc& doc, int32_t par) {
  int32_t count = 0;
  for (int32_t i = par - 1; i >= 0 && ParInTable(doc, i); --i) {
    const uint8_t last = LastCode(*doc.Par(i));
    if (last == scRowEnd) break;
    if (last == scCellEnd) ++count;
  }
  return count;
}

int32_t TableRowIndex(const TDoc& doc, int32_t par) {
  TDocRange table;
  TableRange(doc, par, table);
  int32_t rows = 0;
  for (int32_t i = table.Start.Par; i < par; ++i)
    if (FirstCode(*doc.Par(i)) == scRowEnd) ++rows;
  return rows;
}

void TableCellHorzBounds(const TDoc& doc, int32_t par, int32_t& left, int32_t& right) {
  if (IsRowEndParagraph(doc, par)) {
    left = right = RowEndBound;
    return;
  }
  // The row's own cell boundaries; a row whose end names no row object (damaged or built
  // without one) spaces its cells evenly by index.
  if (doc.GetRowProps(par) != nullptr) {
    doc.GetCellHorzBounds(par, left, right);
    return;
  }
  const int32_t i = TableCellIndex(doc, par);
  left = i * kColumnWidth;
  right = (i + 1) * kColumnWidth;
}

TFragmentRef TableCellsInColumnSpan(TDoc& doc, const TDocRange& table, int32_t lo, int32_t x1,
                                    int32_t x2, int32_t hi) {
  TFragmentRef out = AcquireFragment();
  SelectionServices().EnsureParLaidOut(doc, std::min(table.End.Par + 1, doc.ParCount() - 1));
  bool any = false;
  int32_t row = 0;
  int32_t p = table.Start.Par;
  while (p <= table.End.Par) {
    TDocRange rowRange;
    TableRowRange(doc, p, rowRange);
    const bool wanted = lo == INT32_MIN || (row >= lo && row <= hi);
    for (int32_t c = rowRange.Start.Par; wanted && c <= rowRange.End.Par;) {
      TDocRange cell;
      TableCellRange(doc, c, cell);
      int32_t l = 0, r = 0;
      TableCellHorzBounds(doc, c, l, r);
      const bool meets = (SignificantDifference(l, x1) >= 0 && SignificantDifference(l, x2) < 0) ||
                         (SignificantDifference(r, x1) > 0 && SignificantDifference(r, x2) <= 0) ||
                         (SignificantDifference(l, x1) < 0 && SignificantDifference(r, x2) > 0) ||
                         (x1 == RowEndBound && l == RowEndBound);
      if (meets) {
        if (!any) *out->GetRange(0) = cell;
        else out->InsertRange(out->Count(), cell);
        any = true;
      }
      c = cell.End.Par + 1;
    }
    p = rowRange.End.Par + 1;
    ++row;
  }
  return out;
}

namespace {

// The end of a row's last cell paragraph (after its cell-end mark).
TDocPosition LastCellEnd(const TDoc& doc, const TDocRange& row) {
  TDocPosition p;
  if (row.End.Par > row.Start.Par)
    MakePosition(row.End.Par - 1, doc.Par(row.End.Par - 1)->CharCount(), p);
  else
    MakePosition(row.End.Par, 0, p);
  return p;
}

}  // namespace

TFragmentRef SplitFragmentsByTableRows(TDoc& doc, const TCompoundFragment& fragment) {
  TFragmentRef f = CloneFragment(fragment);
  doc.NormalizeFragments(*f);
  for (int32_t i = f->Count() - 1; i >= 0; --i) {
    TDocRange r = *f->GetRange(i);
    if (IsRangeEmpty(r) || !ParInTable(doc, r.End.Par)) continue;
    TDocRange row;
    TableRowRange(doc, r.End.Par, row);
    // Whole rows are cut off from the end while the range starts before the row of its end.
    while (ComparePositions(r.Start, row.Start) < 0) {
      TDocRange piece = row;
      if (r.End.Par == row.End.Par) piece.End = LastCellEnd(doc, row);
      f->InsertRange(i + 1, piece);
      const int32_t before = row.Start.Par - 1;
      MakePosition(before, doc.Par(before)->CharCount(), r.End);
      if (!ParInTable(doc, before)) break;
      TableRowRange(doc, before, row);
    }
    if (ParInTable(doc, r.End.Par) && IsRowEndParagraph(doc, r.End.Par) &&
        ComparePositions(r.Start, row.Start) >= 0) {
      TDocPosition markStart;
      MakePosition(r.End.Par, 0, markStart);
      if (ComparePositions(r.Start, markStart) < 0)
        r.End = LastCellEnd(doc, row);
      else
        r.Start = r.End = markStart;  // only the row-end mark: nothing is left
    }
    *f->GetRange(i) = r;
  }
  f->Normalize();
  return f;
}

}  // namespace qv
