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

void TableCellRange(const TDoc& doc, int32_t par, TDocRange& out) { doc.GetCellRange(par, out); }

void TableRowRange(const TDoc& doc, int32_t par, TDocRange& out) { doc.GetRowRange(par, out); }

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
  return doc.GetCellsInColumnSpan(table, lo, x1, x2, hi);
}

TFragmentRef SplitFragmentsByTableRows(TDoc& doc, const TCompoundFragment& fragment) {
  return doc.SplitFragmentsByRows(fragment);
}

}  // namespace qv
