// Creating tables and adding or removing rows, columns and cells. New cells and rows go in as
// content fragments (format tags, the cell-end or row-end tag, the paragraph format), row
// properties change only through the row record, and the table is normalised afterwards.
#include <algorithm>
#include <cstring>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/table_edit_helpers.h"
#include "document/table_fitting.h"
#include "document/table_template.h"
#include "foundation/base/units.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

using namespace tables;

namespace {

// --- New tables ---

struct TTemplate {
  std::vector<std::unique_ptr<TTableRow>> Rows;
  TMemory Formats;
  bool CellFormats(const TTableCell& cell, TParFormat& par, TCharFormat& chars) const {
    const int32_t a = cell.Scratch1, b = cell.Scratch2;
    if (a < 0 || b < 0 || a + static_cast<int32_t>(sizeof(TParFormat)) > Formats.Length ||
        b + static_cast<int32_t>(sizeof(TCharFormat)) > Formats.Length)
      return false;
    std::memcpy(&par, Formats.Data + a, sizeof(TParFormat));
    std::memcpy(&chars, Formats.Data + b, sizeof(TCharFormat));
    return true;
  }
};

// One new row of InsertTable, built from the template (or the defaults).
void BuildNewRow(TDoc& doc, TMemory& out, int32_t r, int32_t rows, int32_t columns,
                 const TTemplate& tmpl, const TCharFormat& chars, TParFormat& cellFormat) {
  TTableRowData d = TemplateRow(tmpl.Rows, r, rows, columns);
  const TTableRow* tr = tmpl.Rows.empty() ? nullptr
                                          : tmpl.Rows[TemplateIndex(r, rows, static_cast<int32_t>(tmpl.Rows.size()))].get();
  for (int32_t j = 0; j < columns; ++j) {
    TTableCell& c = d.Cells[static_cast<size_t>(j)];
    TCharFormat cellChars = chars;
    if (tr != nullptr && tr->CellCount > 0) {
      const TTableCell& tc = tr->Cells[TemplateIndex(j, columns, std::min(tr->CellCount, MaxTableCells))];
      TParFormat tp;
      TCharFormat tcChars;
      if (tmpl.CellFormats(tc, tp, tcChars)) {
        for (int k = 0; k < TCharFormat::Count; ++k)
          if (k != cpFont && k != cpSize && k != cpCharStyle && k != cpLanguage) cellChars[k] = tcChars[k];
        for (int k = 0; k < TParFormat::Count; ++k)
          if (k != ppPageBreakBefore && k != ppStyle && k != ppOutlineLevel && k != ppList &&
              k != ppListLevel)
            CopyParFormatProp(cellFormat, k, tp);
        cellFormat.InTable = 1;
      }
    }
    c.Scratch1 = c.Scratch2 = 0;
    AppendCellPar(out, cellChars, cellFormat);
  }
  AppendRowEndPar(out, DefaultCharFormat, NewRow(doc, d), TableParFormat);
}

// --- Rows and columns ---

TDocRange SelectionOrCaretCell(TDoc& doc) {
  TDocRange cell;
  doc.GetCellRange(doc.Caret.Par, cell);
  return cell;
}

int32_t LeftOf(const TTableRowData& d, int32_t i) {
  return i <= 0 ? d.Left : d.Cells[static_cast<size_t>(i - 1)].Right;
}

// Moves the cells from index `from` on `k` slots right (the row gains k cells).
void OpenSlots(TTableRowData& d, int32_t from, int32_t k) {
  const int32_t n = CellCountOf(d);
  for (int32_t i = n - 1; i >= from; --i)
    d.Cells[static_cast<size_t>(i + k)] = d.Cells[static_cast<size_t>(i)];
  d.CellCount = n + k;
}

// Removes cell i; the row gets narrower by its width.
void RemoveSlot(TTableRowData& d, int32_t i) {
  const int32_t n = CellCountOf(d);
  const int32_t width = CellWidth(d, i);
  for (int32_t k = i; k + 1 < n; ++k) {
    d.Cells[static_cast<size_t>(k)] = d.Cells[static_cast<size_t>(k + 1)];
    d.Cells[static_cast<size_t>(k)].Right -= width;
  }
  d.Cells[static_cast<size_t>(n - 1)] = TTableCell{};
  d.CellCount = n - 1;
}

void InsertCellParagraph(TDoc& doc, int32_t beforePar, int32_t sourcePar) {
  TCharFormat chars;
  doc.Par(sourcePar)->GetCharFormatAt(0, chars);
  TMemory content;
  AppendCellPar(content, chars, CellParFormat(doc.Par(sourcePar)->Format));
  TDocPosition at;
  MakePosition(beforePar, 0, at);
  InsertFragment(doc, content, at, 1);
}

// Deletes a cell, the cells below it in its column moving up one row each; the bottom row keeps
// an empty cell. A cell with nothing below only loses its content.
void DeleteCellShiftingUp(TDoc& doc, int32_t cellPar) {
  TDocRange cell;
  doc.GetCellRange(cellPar, cell);
  int32_t left = 0, right = 0;
  doc.GetCellHorzBounds(cellPar, left, right);
  std::vector<TDocRange> below;
  TDocRange row;
  doc.GetRowRange(cellPar, row);
  while (InTable(doc, row.End.Par + 1)) {
    doc.GetRowRange(row.End.Par + 1, row);
    const TTableRow* props = doc.GetRowProps(row.Start.Par);
    if (props == nullptr) break;
    const int32_t n = CellCountOf(*props);
    for (int32_t j = 0; j < n; ++j) {
      const TTableCell& c = props->Cells[static_cast<size_t>(j)];
      if (LeftOf(*props, j) != left) continue;
      if (!c.IsContinuation() && SameEdge(c.Right, right))
        below.push_back(CellRangeAt(doc, row.Start.Par, j));
      break;
    }
  }
  if (below.empty()) {
    TDocRange content;
    MakeRange(cell.Start.Par, 0, cell.End.Par, std::max(cell.End.Offset - 1, 0), content);
    DeleteRange(doc, content);
    return;
  }
  const TDocRange& bottom = below.back();
  InsertCellParagraph(doc, bottom.End.Par + 1, bottom.End.Par);
  for (size_t k = below.size(); k-- > 0;) {
    const int32_t target = (k == 0 ? cell.End.Par : below[k - 1].End.Par) + 1;
    const int32_t count = below[k].End.Par - below[k].Start.Par + 1;
    EditServices().MoveParagraphs(doc, below[k].Start.Par, count, target);
    doc.ClearTableCache();
  }
  DeleteParagraphs(doc, cell.Start.Par, cell.End.Par);
}

}  // namespace

void TDoc::InsertTable(int32_t rows, int32_t columns, uint8_t flag,
                       const std::vector<TTableRowData>* templates) {
  if (rows < 1 || columns < 1) return;
  columns = std::min(columns, MaxTableCells);
  TDocPosition p = Caret;
  if (HasSelection()) {
    p = Selection->LastRange->End;
    if (p.Offset >= Par(p.Par)->CharCount() && p.Par + 1 < ParCount()) MakePosition(p.Par + 1, 0, p);
  }
  const TParFormat plain = [&] {
    TParFormat f = Par(std::min(p.Par, ParCount() - 1))->Format;
    f.InTable = 0;
    return f;
  }();
  if (p.Offset > 0 || (flag == 0 && p.Par > 0 && InTable(*this, p.Par - 1))) {
    UpdateTypingFormat(p, 1);
    InsertParagraphBreak(*this, p, plain);
    MakePosition(p.Par + 1, 0, p);
  }
  TDocRange story;
  GetCurrentStoryRange(story);
  if (p.Par > story.End.Par) {
    TDocPosition q;
    MakePosition(story.End.Par, std::max(Par(story.End.Par)->CharCount() - 1, 0), q);
    InsertParagraphBreak(*this, q, Par(story.End.Par)->Format);
    MakePosition(q.Par + 1, 0, p);
  }
  TCharFormat chars;
  GetCharFormatAtPos(p, chars);
  TParFormat cellFormat = CellParFormat(Par(p.Par)->Format);
  TTemplate tmpl;
  if (templates == nullptr) tmpl.Rows = LoadDefaultTableTemplate(&tmpl.Formats);
  TMemory content;
  int32_t parMarks = 0;
  for (int32_t r = 0; r < rows; ++r) {
    if (templates != nullptr && !templates->empty()) {
      TTableRowData d = (*templates)[std::min(static_cast<size_t>(r), templates->size() - 1)];
      d.CellCount = std::clamp(d.CellCount, 1, MaxTableCells);
      for (TTableCell& c : d.Cells) c.MergeStart = c.Merged = 0;
      for (int32_t j = 0; j < d.CellCount; ++j) AppendCellPar(content, chars, cellFormat);
      AppendRowEndPar(content, DefaultCharFormat, NewRow(*this, d), TableParFormat);
      parMarks += d.CellCount + 1;
    } else {
      BuildNewRow(*this, content, r, rows, columns, tmpl, chars, cellFormat);
      parMarks += columns + 1;
    }
  }
  UpdateTypingFormat(p, 1);
  InsertFragment(*this, content, p, parMarks);
  SetPostCaret(*this, p);
  SetDocFlag(36, false);
}

void TDoc::PerformTableInsertion() {
  if (!TableIsSound(*this, TableInsertRequest.Par)) return;

  const TTableInsertRequest& q = TableInsertRequest;
  if (!InTable(*this, q.Par)) return;
  if (q.Kind == TTableInsertRequest::kRow) {
    const int32_t first = FindRowStart(*this, q.Par, q.Row);
    if (first < 0) return;
    TTableRowData d = q.Row->Data();
    if (q.NextRow == nullptr)
      for (TTableCell& c : d.Cells) c.MergeStart = c.Merged = 0;
    TMemory content;
    const std::vector<int32_t> cells = CellStarts(*this, first);
    const int32_t rowEnd = cells.back();
    for (size_t i = 0; i + 1 < cells.size(); ++i) {
      TCharFormat chars;
      Par(cells[i])->GetCharFormatAt(0, chars);
      AppendCellPar(content, chars, Par(cells[i])->Format);
    }
    TCharFormat endChars;
    Par(rowEnd)->GetCharFormatAt(0, endChars);
    AppendRowEndPar(content, endChars, NewRow(*this, d), Par(rowEnd)->Format);
    TDocPosition at;
    if (q.NextRow != nullptr) {
      const int32_t next = FindRowStart(*this, q.Par, q.NextRow);
      if (next < 0) return;
      MakePosition(next, 0, at);
    } else {
      TDocRange table;
      GetTableRange(q.Par, table);
      MakePosition(table.End.Par + 1, 0, at);
    }
    InsertFragment(*this, content, at, static_cast<int32_t>(cells.size()));
    SetDocFlag(36, false);
    SetDocFlag(116, true);
    SetPostCaret(*this, at);
    return;
  }
  if (q.Kind != TTableInsertRequest::kColumn) return;
  const int32_t x = q.X;
  std::vector<TRowAt> rows = TableRowsAt(*this, q.Par);
  if (rows.empty()) return;
  for (const TRowAt& r : rows)
    if (r.Row == nullptr) return;
  // Redistribution: whole columns are selected and the new column goes at their edge; the
  // selected columns give up the new column's width between them.
  std::vector<int32_t> qRights;
  bool redistribute = false;
  int32_t s = 0, w = INT32_MAX;
  const int32_t kind = HasSelection() ? GetTableSelectionKind() : 0;
  const TTableRowData& first = *rows.front().Row;
  if (kind == 1 || kind == 3) {
    TFragmentRef pieces = SplitFragmentsByRows(*Selection);
    int32_t lo = INT32_MAX, hi = -1;
    for (int32_t i = 0; i < pieces->Count(); ++i) {
      const TDocRange& piece = *pieces->GetRange(i);
      if (piece.Start.Par > CellStarts(*this, rows.front().First).back()) break;
      for (int32_t c = piece.Start.Par; c <= piece.End.Par && !IsRowEndPar(c);) {
        TDocRange cell;
        GetCellRange(c, cell);
        const int32_t idx = GetCellIndex(c);
        if (idx < CellCountOf(first)) {
          qRights.push_back(first.Cells[static_cast<size_t>(idx)].Right);
          const int32_t width = CellWidth(first, idx);
          w = std::min(w, width);
          s += width;
          lo = std::min(lo, idx);
          hi = std::max(hi, idx);
        }
        c = cell.End.Par + 1;
      }
    }
    const int32_t nq = static_cast<int32_t>(qRights.size());
    if (nq > 0 && static_cast<int64_t>(nq) * w / (nq + 1) > 179) {
      bool atEdge = false;
      if (SameEdge(x, first.Left)) {
        lo = 0;
        atEdge = true;
      } else if (const int32_t k = CellAtRight(first, x); k >= 0) {
        lo = std::min(lo, k);
        hi = std::max(hi, k);
        atEdge = true;
      }
      if (atEdge) {
        redistribute = true;
        for (size_t r = 1; r < rows.size() && redistribute; ++r) {
          const TTableRowData& d = *rows[r].Row;
          if (CellCountOf(d) <= hi) {
            redistribute = false;
            break;
          }
          for (int32_t k = lo; k <= hi; ++k)
            if (!SameEdge(d.Cells[static_cast<size_t>(k)].Right, first.Cells[static_cast<size_t>(k)].Right))
              redistribute = false;
        }
      }
    }
  }
  int32_t b = INT32_MAX;
  if (redistribute) {
    b = s / (static_cast<int32_t>(qRights.size()) + 1);
  } else {
    for (const TRowAt& r : rows) {
      const TTableRowData& d = *r.Row;
      if (CellCountOf(d) == 0) continue;
      if (SameEdge(x, d.Left)) b = std::min(b, CellWidth(d, 0));
      else if (const int32_t k = CellAtRight(d, x); k >= 0) b = std::min(b, CellWidth(d, k));
    }
    if (b == INT32_MAX) return;
  }
  // A row never passes the cell limit.
  for (const TRowAt& r : rows) {
    const TTableRowData& d = *r.Row;
    if ((SameEdge(x, d.Left) || CellAtRight(d, x) >= 0) && CellCountOf(d) >= MaxTableCells) {
      ShowError(TooManyColumnsMessage);
      return;
    }
  }
  TFormatRowsRequest request;
  request.FirstPar = rows.front().First;
  request.Rows.reserve(rows.size());
  request.NewData.reserve(rows.size());
  TDocPosition last = Caret;
  for (size_t r = rows.size(); r-- > 0;) {
    TTableRowData& d = request.Add(rows[r].Row);
    const int32_t n = CellCountOf(d);
    if (SignificantDifference(d.Left, x) > 0) {
      d.Left += b;
      for (int32_t i = 0; i < n; ++i) d.Cells[static_cast<size_t>(i)].Right += b;
      continue;
    }
    int32_t m = -1;
    if (SameEdge(x, d.Left)) m = 0;
    else if (const int32_t k = CellAtRight(d, x); k >= 0) m = k + 1;
    if (m < 0) {
      for (int32_t j = 0; j < n; ++j) {
        if (SignificantDifference(LeftOf(d, j), x) < 0 &&
            SignificantDifference(d.Cells[static_cast<size_t>(j)].Right, x) > 0) {
          for (int32_t k = j; k < n; ++k) d.Cells[static_cast<size_t>(k)].Right += b;
          break;
        }
      }
      continue;
    }
    if (redistribute) {
      const int32_t nq = static_cast<int32_t>(qRights.size());
      // The selected cells are those whose boundary was listed before any of them shrank.
      std::vector<bool> listed(static_cast<size_t>(n));
      for (int32_t i = 0; i < n; ++i)
        listed[static_cast<size_t>(i)] = std::any_of(qRights.begin(), qRights.end(), [&](int32_t v) {
          return SameEdge(v, d.Cells[static_cast<size_t>(i)].Right);
        });
      for (int32_t i = 0; i < n; ++i) {
        if (!listed[static_cast<size_t>(i)]) continue;
        const int32_t h = CellWidth(d, i);
        const int32_t cut = h - MulDiv(h, nq, nq + 1);
        for (int32_t k = i; k < n; ++k) d.Cells[static_cast<size_t>(k)].Right -= cut;
      }
    }
    const std::vector<int32_t> cells = CellStarts(*this, rows[r].First);
    const int32_t before = cells[static_cast<size_t>(std::min<int32_t>(m, static_cast<int32_t>(cells.size()) - 1))];
    const int32_t source = cells[static_cast<size_t>(std::max(0, std::min(m - 1, n - 1)))];
    InsertCellParagraph(*this, before, source);
    MakePosition(before, 0, last);
    const int32_t from = std::max(0, m - 1);
    OpenSlots(d, from, 1);
    d.Cells[static_cast<size_t>(m)].Right = LeftOf(d, m);
    for (int32_t k = m; k < CellCountOf(d); ++k) d.Cells[static_cast<size_t>(k)].Right += b;
  }
  FormatRows(request);
  SetPostCaret(*this, last);
}

bool TDoc::InsertRows(bool above) {
  if (!TableIsSound(*this, GetFirstSelectedPar())) return false;

  const int32_t anchor = GetFirstSelectedPar();
  if (!InTable(*this, anchor)) return false;
  std::vector<TRowAt> rows = TableRowsAt(*this, anchor);
  std::vector<size_t> selected;
  auto addRowOf = [&](int32_t par) {
    TDocRange row;
    GetRowRange(par, row);
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i].First == row.Start.Par &&
          std::find(selected.begin(), selected.end(), i) == selected.end())
        selected.push_back(i);
  };
  if (HasSelection()) {
    TFragmentRef cells = CloneFragment(*Selection);
    ExpandFragmentsToCells(*cells);
    for (int32_t i = 0; i < cells->Count(); ++i)
      if (InTable(*this, cells->GetRange(i)->Start.Par)) addRowOf(cells->GetRange(i)->Start.Par);
  } else {
    addRowOf(Caret.Par);
  }
  if (selected.empty()) return false;
  std::sort(selected.begin(), selected.end());
  {
    TScopedDocFlag hold(*this, 145);
    TableInsertRequest.Kind = TTableInsertRequest::kRow;
    TableInsertRequest.Par = rows.front().First;
    size_t g = selected.size();
    while (g > 0) {
      size_t start = g - 1;
      while (start > 0 && selected[start - 1] + 1 == selected[start]) --start;
      const size_t firstRow = selected[start], lastRow = selected[g - 1];
      const size_t count = g - start;
      if (above) {
        TableInsertRequest.Row = TableInsertRequest.NextRow = rows[firstRow].Row;
      } else {
        TableInsertRequest.Row = rows[lastRow].Row;
        TableInsertRequest.NextRow = lastRow + 1 < rows.size() ? rows[lastRow + 1].Row : nullptr;
      }
      for (size_t k = 0; k < count; ++k) PerformTableInsertion();
      g = start;
    }
  }
  return NormalizeTable(rows.front().First);
}

bool TDoc::CheckColumnLimit(int32_t par) {
  for (const TRowAt& r : TableRowsAt(*this, par)) {
    if (r.Row != nullptr && r.Row->CellCount > MaxTableCells - 1) {
      ShowError(TooManyColumnsMessage);
      return false;
    }
  }
  return true;
}

bool TDoc::InsertColumns(bool left, const TCompoundFragment* fragment, bool checkOnly) {
  if (!TableIsSound(*this, fragment != nullptr ? fragment->GetRange(0)->Start.Par
                                                : GetFirstSelectedPar()))
    return false;

  const int32_t anchor = fragment != nullptr ? fragment->GetRange(0)->Start.Par : GetFirstSelectedPar();
  if (!InTable(*this, anchor)) return false;
  std::vector<TRowAt> rows = TableRowsAt(*this, anchor);
  if (fragment != nullptr) {
    TDocRange row;
    GetRowRange(anchor, row);
    std::erase_if(rows, [&](const TRowAt& r) { return r.First != row.Start.Par; });
  }
  for (const TRowAt& r : rows)
    if (r.Row == nullptr) return false;
  if (rows.empty()) return false;
  TFragmentRef work;
  bool atRowEnd = false;
  if (fragment != nullptr) {
    work = CloneFragment(*fragment);
    atRowEnd = IsRowEndPar(anchor);
  } else if (HasSelection()) {
    work = SplitFragmentsByRows(*Selection);
    atRowEnd = IsFragmentEmpty(work);
  } else {
    work = AcquireFragment();
    *work->GetRange(0) = SelectionOrCaretCell(*this);
    atRowEnd = IsRowEndPar(Caret.Par);
  }
  int32_t k = 1, x = 0;
  bool hasX = false;
  if (!atRowEnd) {
    // The pieces in the row of the first piece: their cells are the columns to add.
    TDocRange firstRow;
    GetRowRange(work->GetRange(0)->Start.Par, firstRow);
    std::vector<int32_t> cells;
    for (int32_t i = 0; i < work->Count(); ++i) {
      const TDocRange& piece = *work->GetRange(i);
      if (piece.Start.Par > firstRow.End.Par || IsRangeEmpty(piece)) continue;
      for (int32_t c = piece.Start.Par; c <= piece.End.Par && !IsRowEndPar(c);) {
        TDocRange cell;
        GetCellRange(c, cell);
        if (std::find(cells.begin(), cells.end(), cell.Start.Par) == cells.end()) cells.push_back(cell.Start.Par);
        c = cell.End.Par + 1;
        TDocPosition next;
        MakePosition(c, 0, next);
        if (ComparePositions(next, piece.End) >= 0) break;
      }
    }
    if (cells.empty()) return false;
    // A selection inside one cell adds one column at that cell's edge.
    if (IsCellSelection(*work)) k = static_cast<int32_t>(cells.size());
    int32_t l = 0, r = 0;
    GetCellHorzBounds(left ? cells.front() : cells.back(), l, r);
    x = left ? l : r;
    hasX = true;
  }
  const TTableRowData& top = *rows.front().Row;
  int32_t b = INT32_MAX;
  if (hasX) {
    for (const TRowAt& r : rows) {
      const TTableRowData& d = *r.Row;
      const int32_t n = CellCountOf(d);
      if (left) {
        const int32_t i = CellAtLeft(d, x);
        if (i >= 0 && i < n) b = std::min(b, CellWidth(d, i));
      } else if (const int32_t i = CellAtRight(d, x); i >= 0) {
        b = std::min(b, CellWidth(d, i));
      }
    }
  }
  if (b == INT32_MAX) b = CellCountOf(top) > 0 ? CellWidth(top, CellCountOf(top) - 1) : 1440;
  // The index before which each row takes its new cells; -1 for a row left alone.
  auto insertionIndex = [&](const TTableRowData& d) {
    const int32_t n = CellCountOf(d);
    if (atRowEnd) return n;
    if (left) return CellAtLeft(d, x);
    const int32_t i = CellAtRight(d, x);
    return i < 0 ? -1 : i + 1;
  };
  for (const TRowAt& r : rows) {
    if (insertionIndex(*r.Row) >= 0 && CellCountOf(*r.Row) + k > MaxTableCells) {
      if (!checkOnly) ShowError(TooManyColumnsMessage);
      return false;
    }
  }
  if (checkOnly) return true;
  TFormatRowsRequest request;
  request.FirstPar = rows.front().First;
  {
    TScopedDocFlag hold(*this, 145);
    for (size_t r = rows.size(); r-- > 0;) {
      const int32_t at = insertionIndex(*rows[r].Row);
      if (at < 0) continue;
      TTableRowData d = rows[r].Row->Data();
      const int32_t n = CellCountOf(d);
      const int32_t templ = std::clamp(left || atRowEnd ? std::min(at, n - 1) : at - 1, 0, std::max(n - 1, 0));
      const std::vector<int32_t> cells = CellStarts(*this, rows[r].First);
      TTableCell record = n > 0 ? d.Cells[static_cast<size_t>(templ)] : DefaultNewRow(1).Cells[0];
      TParFormat parFormat = TableParFormat;
      TCharFormat chars = DefaultCharFormat;
      if (n > 0) {
        const TDocRange cell = CellRangeAt(*this, rows[r].First, templ);
        parFormat = CellParFormat(Par(cell.End.Par)->Format);
        Par(cell.End.Par)->GetCharFormatAt(std::max(Par(cell.End.Par)->CharCount() - 1, 0), chars);
      }
      TMemory content;
      for (int32_t m = 0; m < k; ++m) AppendCellPar(content, chars, parFormat);
      TDocPosition where;
      MakePosition(cells[static_cast<size_t>(std::min<int32_t>(at, static_cast<int32_t>(cells.size()) - 1))], 0, where);
      InsertFragment(*this, content, where, k);
      const int32_t leftOfSlot = LeftOf(d, at);
      for (int32_t i = at; i < n; ++i) d.Cells[static_cast<size_t>(i)].Right += k * b;
      OpenSlots(d, at, k);
      for (int32_t m = 0; m < k; ++m) {
        TTableCell& c = d.Cells[static_cast<size_t>(at + m)];
        c = record;
        c.Right = leftOfSlot + b * (m + 1);
      }
      request.Rows.push_back(rows[r].Row);
      request.NewData.push_back(d);
    }
  }
  FormatRows(request);
  NormalizeTable(rows.front().First);
  SetPostCaret(*this, Caret);
  return true;
}

void TDoc::DeleteCells(uint8_t mode) {
  if (mode < 2 && !TableIsSound(*this, GetFirstSelectedPar())) return;

  const int32_t anchor = GetFirstSelectedPar();
  if (!InTable(*this, anchor)) return;
  TDocRange table;
  GetTableRange(anchor, table);
  const int32_t tableStart = table.Start.Par;
  TDocPosition caret;
  MakePosition(tableStart, 0, caret);
  {
    TScopedDocFlag hold(*this, 145);
    TScopedDocFlag structure(*this, 149);
    if (mode == 3) {
      DeleteParagraphs(*this, table.Start.Par, table.End.Par);
      SetPostCaret(*this, caret);
      return;
    }
    if (mode == 2) {
      std::vector<int32_t> starts;
      auto addRow = [&](int32_t par) {
        TDocRange row;
        GetRowRange(par, row);
        if (std::find(starts.begin(), starts.end(), row.Start.Par) == starts.end())
          starts.push_back(row.Start.Par);
      };
      if (HasSelection()) {
        TFragmentRef pieces = SplitFragmentsByRows(*Selection);
        if (IsFragmentEmpty(pieces)) pieces = CloneFragment(*Selection);
        for (int32_t i = 0; i < pieces->Count(); ++i)
          if (InTable(*this, pieces->GetRange(i)->Start.Par)) addRow(pieces->GetRange(i)->Start.Par);
      } else {
        addRow(Caret.Par);
      }
      std::sort(starts.begin(), starts.end());
      for (size_t i = starts.size(); i-- > 0;) {
        TDocRange row;
        GetRowRange(starts[i], row);
        DeleteParagraphs(*this, row.Start.Par, row.End.Par);
      }
    } else {
      TFragmentRef pieces;
      if (HasSelection()) {
        pieces = SplitFragmentsByRows(*Selection);
      } else {
        pieces = AcquireFragment();
        *pieces->GetRange(0) = SelectionOrCaretCell(*this);
      }
      ExpandFragmentsToCells(*pieces);
      if (mode == 1) {
        for (int32_t i = pieces->Count(); i-- > 0;) {
          const int32_t p = pieces->GetRange(i)->Start.Par;
          if (!InTable(*this, p) || IsRowEndPar(p)) continue;
          const std::vector<int32_t> below = GetMergedCellsBelow(p);
          TDocRange row;
          GetRowRange(p, row);
          for (int32_t idx : below) {
            GetRowRange(row.End.Par + 1, row);
            pieces->InsertRange(pieces->Count(), CellRangeAt(*this, row.Start.Par, idx));
          }
        }
        NormalizeFragments(*pieces);
        ExpandFragmentsToCells(*pieces);
      }
      // Each piece is one cell; rows whose every cell is listed go whole.
      struct TPiece {
        TDocRange Range;
        bool WholeRow = false;
      };
      std::vector<TPiece> list;
      for (int32_t i = 0; i < pieces->Count(); ++i) {
        const TDocRange& r = *pieces->GetRange(i);
        if (IsRangeEmpty(r) || !InTable(*this, r.Start.Par) || IsRowEndPar(r.Start.Par)) continue;
        list.push_back({r, false});
      }
      std::vector<TPiece> joined;
      for (size_t i = 0; i < list.size();) {
        TDocRange row;
        GetRowRange(list[i].Range.Start.Par, row);
        size_t j = i;
        if (list[i].Range.Start.Par == row.Start.Par) {
          while (j + 1 < list.size() && list[j + 1].Range.Start.Par == list[j].Range.End.Par + 1) ++j;
          if (list[j].Range.End.Par + 1 == row.End.Par) {
            joined.push_back({row, true});
            i = j + 1;
            continue;
          }
        }
        joined.push_back(list[i]);
        ++i;
      }
      for (size_t i = joined.size(); i-- > 0;) {
        const TPiece& piece = joined[i];
        if (piece.WholeRow) {
          DeleteParagraphs(*this, piece.Range.Start.Par, piece.Range.End.Par);
          caret = piece.Range.Start;
          continue;
        }
        const int32_t cellPar = piece.Range.Start.Par;
        TTableRow* row = GetRowProps(cellPar);
        const int32_t idx = GetCellIndex(cellPar);
        if (row == nullptr || idx >= CellCountOf(*row)) continue;
        if (mode == 1) {
          TTableRowData d = row->Data();
          RemoveSlot(d, idx);
          ApplyRowData(row, tableStart, d);
          DeleteParagraphs(*this, piece.Range.Start.Par, piece.Range.End.Par);
        } else {
          DeleteCellShiftingUp(*this, cellPar);
        }
        caret = piece.Range.Start;
      }
    }
  }
  if (InTable(*this, tableStart)) NormalizeTable(tableStart);
  caret.Par = std::min(caret.Par, ParCount() - 1);
  caret.Offset = 0;
  SetPostCaret(*this, caret);
}

}  // namespace qv
