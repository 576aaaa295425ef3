// The table queries of TDoc: cells, rows, tables and column edges found in the paragraph list.
#include "document/table_structure.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/layout_services.h"
#include "document/line.h"
#include "document/table_fitting.h"

namespace qv {

TTableRow::~TTableRow() { ForgetTagRef(this); }

namespace {

constexpr int32_t kNoBoundary = 0x3FFFFFFF;

bool InTable(const TPar* par) { return par != nullptr && par->Format.InTable == 1; }

uint8_t FirstCode(const TPar& par) { return par.CharCount() > 0 ? par.CodeAt(0) : 0; }
uint8_t LastCode(const TPar& par) {
  return par.CharCount() > 0 ? par.CodeAt(par.CharCount() - 1) : 0;
}
bool EndsCellOrRow(const TPar& par) {
  const uint8_t c = LastCode(par);
  return c == scCellEnd || c == scRowEnd;
}

bool IsParPlacedInBox(const TPar& par) { return !par.Lines.empty() && par.Lines.front()->Box != nullptr; }

// Boundaries within 3 twips are the same column edge.
bool SameEdge(int32_t a, int32_t b) { return SignificantDifference(a, b) == 0; }

// The index of the cell of the row whose right boundary is the same edge, searched from the
// last cell to the first; -1 when none is.
int32_t CellAtEdge(const TTableRow& row, int32_t right) {
  for (int32_t i = std::min(row.CellCount, MaxTableCells); i-- > 0;)
    if (SameEdge(row.Cells[static_cast<size_t>(i)].Right, right)) return i;
  return -1;
}

}  // namespace

bool IsEmptyCellRange(const TDocRange& range) {
  return range.Start.Par == range.End.Par && range.End.Offset == 1;
}

TTableRow* TDoc::AddTableRow(std::unique_ptr<TTableRow> row) {
  TableRows.push_back(std::move(row));
  return TableRows.back().get();
}

bool TDoc::IsRowEndPar(int32_t par) const {
  const TPar* p = ParOrNull(par);
  return InTable(p) && FirstCode(*p) == scRowEnd;
}

int32_t TDoc::GetCellIndex(int32_t par) const {
  int32_t count = 0;
  for (int32_t i = par - 1; i >= 0; --i) {
    const TPar* p = ParOrNull(i);
    if (!InTable(p)) break;
    const uint8_t last = LastCode(*p);
    if (last == scRowEnd) break;
    if (last == scCellEnd) ++count;
  }
  return count;
}

void TDoc::GetCellRange(int32_t par, TDocRange& out) const {
  const int32_t storyFirst = FirstParagraphOfStory(StoryOfParagraph(par));
  const int32_t storyLast = LastParagraphOfStory(StoryOfParagraph(par));
  int32_t start = par;
  while (start > storyFirst && InTable(ParOrNull(start - 1)) && !EndsCellOrRow(*Par(start - 1)))
    --start;
  int32_t end = par;
  while (end < storyLast && ParOrNull(end) != nullptr && !EndsCellOrRow(*Par(end))) ++end;
  end = std::min(end, ParCount() - 1);
  MakeRange(start, 0, end, Par(end)->CharCount(), out);
}

void TDoc::GetNthCellRange(int32_t par, int32_t n, TDocRange& out) const {
  MakeRange(par, 0, par - 1, 0, out);
  for (int32_t i = 0; i <= n; ++i) {
    const int32_t next = out.End.Par + 1;
    if (next >= ParCount()) break;
    GetCellRange(next, out);
  }
}

void TDoc::GetRowRange(int32_t par, TDocRange& out) const {
  const int32_t story = StoryOfParagraph(par);
  const int32_t storyFirst = FirstParagraphOfStory(story);
  const int32_t storyLast = LastParagraphOfStory(story);
  int32_t start = par;
  while (start > storyFirst && InTable(ParOrNull(start - 1)) && FirstCode(*Par(start - 1)) != scRowEnd)
    --start;
  int32_t end = par;
  while (end < storyLast && FirstCode(*Par(end)) != scRowEnd) ++end;
  MakeRange(start, 0, end, 1, out);
}

TTableRow* TDoc::GetRowProps(int32_t par) const {
  const int32_t storyLast = LastParagraphOfStory(StoryOfParagraph(par));
  for (int32_t i = std::max(par, 0); i <= storyLast && i < ParCount(); ++i) {
    const TPar& p = *Par(i);
    if (FirstCode(p) != scRowEnd) continue;
    const int32_t off = p.CharToStreamOffset(0);
    if (!IsTagAt(p.Content.Data, p.Content.Length, off)) return nullptr;
    const TContentTag tag = ReadTagAt(p.Content.Data, off);
    return TableRowOfTag(tag);
  }
  return nullptr;
}

void TDoc::GetCellHorzBounds(int32_t par, int32_t& left, int32_t& right) const {
  const int32_t i = GetCellIndex(par);
  const TTableRow* row = GetRowProps(par);
  if (row == nullptr || i >= std::min(row->CellCount, MaxTableCells)) {
    left = right = kNoBoundary;
    return;
  }
  left = row->CellLeft(i);
  right = row->Cells[static_cast<size_t>(i)].Right;
}

void TDoc::GetTableRange(int32_t par, TDocRange& out) {
  for (size_t i = tableRanges_.size(); i-- > 0;) {
    const TDocRange& r = tableRanges_[i];
    if (r.Start.Par <= par && par <= r.End.Par) {
      out = r;
      return;
    }
  }
  const int32_t story = StoryOfParagraph(par);
  const int32_t storyFirst = FirstParagraphOfStory(story);
  const int32_t storyLast = std::min(LastParagraphOfStory(story), ParCount() - 1);
  int32_t start = par;
  while (start > storyFirst && InTable(ParOrNull(start - 1))) --start;
  int32_t end = par;
  while (end < storyLast && InTable(ParOrNull(end + 1))) ++end;
  MakeRange(start, 0, end, Par(end)->CharCount(), out);
  std::vector<TTableRow*> rows;
  for (int32_t i = start; i <= end; ++i) {
    if (FirstCode(*Par(i)) != scRowEnd) continue;
    if (TTableRow* row = GetRowProps(i)) rows.push_back(row);
  }
  tableRanges_.push_back(out);
  tableRowLists_.push_back(std::move(rows));
}

void TDoc::GetTableRows(int32_t par, std::vector<TTableRow*>& rows, TDocRange& out) {
  GetTableRange(par, out);
  for (size_t i = tableRanges_.size(); i-- > 0;) {
    if (SameRange(tableRanges_[i], out)) {
      rows.insert(rows.end(), tableRowLists_[i].begin(), tableRowLists_[i].end());
      return;
    }
  }
}

void TDoc::GetCurrentTableRows(std::vector<TTableRow*>& rows, TDocRange& out) {
  const bool selected = Selection && Selection->Count() > 0 && !IsRangeEmpty(*Selection->GetRange(0));
  GetTableRows(selected ? Selection->GetRange(0)->Start.Par : Caret.Par, rows, out);
}

void TDoc::ClearTableCache() {
  tableRanges_.clear();
  tableRowLists_.clear();
}

std::vector<int32_t> TDoc::GetTableColumnEdges(int32_t par, const std::vector<TTableRow*>* rows,
                                               bool merge) {
  std::vector<TTableRow*> own;
  if (rows == nullptr) {
    TDocRange range;
    GetTableRows(par, own, range);
    rows = &own;
  }
  std::vector<std::pair<int32_t, int32_t>> edges;  // value, count
  auto add = [&edges](int32_t value) {
    for (auto& e : edges)
      if (e.first == value) {
        ++e.second;
        return;
      }
    edges.emplace_back(value, 1);
  };
  for (size_t r = rows->size(); r-- > 0;) {
    const TTableRow& row = *(*rows)[r];
    add(row.Left);
    for (int32_t i = std::min(row.CellCount, MaxTableCells); i-- > 0;)
      add(row.Cells[static_cast<size_t>(i)].Right);
  }
  std::sort(edges.begin(), edges.end());
  if (merge) {
    for (size_t i = edges.size(); i-- > 1;) {
      if (!NearlyEqual(edges[i].first, edges[i - 1].first)) continue;
      edges.erase(edges.begin() + static_cast<ptrdiff_t>(edges[i - 1].second < edges[i].second ? i - 1 : i));
      if (i-- == 1) break;
    }
  }
  std::vector<int32_t> values;
  values.reserve(edges.size());
  for (const auto& e : edges) values.push_back(e.first);
  return values;
}

bool TDoc::IsInMergedCell(int32_t par) const {
  const TPar* p = ParOrNull(par);
  if (!InTable(p)) return false;
  if (!IsDocFlagSet(dfUndoRedo) && !IsDocFlagSet(dfEditAction) && !p->Lines.empty() &&
      p->Lines.front()->Box != nullptr) {
    const int32_t answer = DocLayoutServices().LineInContinuationCell(*p->Lines.front());
    if (answer >= 0) return answer == 1;
  }
  const TTableRow* row = GetRowProps(par);
  const int32_t i = GetCellIndex(par);
  return row != nullptr && i < std::min(row->CellCount, MaxTableCells) &&
         row->Cells[static_cast<size_t>(i)].IsContinuation();
}

int32_t TDoc::GetMergeStartPar(int32_t par) {
  if (!IsInMergedCell(par)) return par;
  const TPar* p = Par(par);
  if (!IsDocFlagSet(dfUndoRedo) && !IsDocFlagSet(dfEditAction) && IsParPlacedInBox(*p) &&
      p->LayoutValues.MergeStartPar >= 0 && p->LayoutValues.MergeStartPar < ParCount())
    return p->LayoutValues.MergeStartPar;
  int32_t left = 0, right = 0;
  GetCellHorzBounds(par, left, right);
  TDocRange row;
  GetRowRange(par, row);
  TDocRange table;
  GetTableRange(par, table);
  while (row.Start.Par - 1 >= table.Start.Par) {
    const int32_t aboveEnd = row.Start.Par - 1;
    GetRowRange(aboveEnd, row);
    const TTableRow* props = GetRowProps(aboveEnd);
    if (props == nullptr) break;
    const int32_t i = CellAtEdge(*props, right);
    if (i < 0 || props->Cells[static_cast<size_t>(i)].Merged == 0) break;
    if (props->Cells[static_cast<size_t>(i)].MergeStart != 0) {
      TDocRange cell;
      GetNthCellRange(row.Start.Par, i, cell);
      return cell.Start.Par;
    }
  }
  return table.Start.Par;
}

std::vector<int32_t> TDoc::GetMergedCellsBelow(int32_t par) const {
  std::vector<int32_t> below;
  const TTableRow* row = GetRowProps(par);
  const int32_t i = GetCellIndex(par);
  if (row == nullptr || i >= std::min(row->CellCount, MaxTableCells)) return below;
  const TTableCell& cell = row->Cells[static_cast<size_t>(i)];
  if (cell.Merged == 0 || cell.MergeStart == 0) return below;
  TDocRange range;
  GetRowRange(par, range);
  const int32_t storyLast = LastParagraphOfStory(StoryOfParagraph(par));
  while (range.End.Par + 1 <= storyLast && InTable(ParOrNull(range.End.Par + 1))) {
    const int32_t next = range.End.Par + 1;
    const TTableRow* nextRow = GetRowProps(next);
    if (nextRow == nullptr) break;
    const int32_t j = CellAtEdge(*nextRow, cell.Right);
    if (j < 0 || !nextRow->Cells[static_cast<size_t>(j)].IsContinuation()) break;
    below.push_back(j);
    GetRowRange(next, range);
  }
  return below;
}

}  // namespace qv
