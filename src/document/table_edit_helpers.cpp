#include "document/table_edit_helpers.h"

#include <algorithm>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/edit_services.h"
#include "document/table_fitting.h"

namespace qv {

namespace tables {

bool InTable(const TDoc& doc, int32_t par) {
  return par >= 0 && par < doc.ParCount() && doc.Par(par)->Format.InTable == 1;
}

uint8_t FirstCode(const TDoc& doc, int32_t par) {
  if (par < 0 || par >= doc.ParCount()) return 0;
  const TPar& p = *doc.Par(par);
  return p.CharCount() > 0 ? p.CodeAt(0) : 0;
}

uint8_t LastCode(const TDoc& doc, int32_t par) {
  if (par < 0 || par >= doc.ParCount()) return 0;
  const TPar& p = *doc.Par(par);
  return p.CharCount() > 0 ? p.CodeAt(p.CharCount() - 1) : 0;
}

bool SameEdge(int32_t a, int32_t b) { return SignificantDifference(a, b) == 0; }

int32_t CellCountOf(const TTableRowData& row) { return std::clamp(row.CellCount, 0, MaxTableCells); }

int32_t CellAtRight(const TTableRowData& row, int32_t x) {
  for (int32_t i = CellCountOf(row); i-- > 0;)
    if (SameEdge(row.Cells[static_cast<size_t>(i)].Right, x)) return i;
  return -1;
}

int32_t CellAtLeft(const TTableRowData& row, int32_t x) {
  const int32_t n = CellCountOf(row);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t left = i == 0 ? row.Left : row.Cells[static_cast<size_t>(i - 1)].Right;
    if (SameEdge(left, x)) return i;
  }
  return -1;
}

int32_t CellWidth(const TTableRowData& row, int32_t i) {
  const int32_t left = i == 0 ? row.Left : row.Cells[static_cast<size_t>(i - 1)].Right;
  return row.Cells[static_cast<size_t>(i)].Right - left;
}

std::vector<int32_t> CellStarts(TDoc& doc, int32_t rowFirstPar) {
  std::vector<int32_t> starts;
  int32_t p = rowFirstPar;
  while (InTable(doc, p)) {
    starts.push_back(p);
    if (FirstCode(doc, p) == scRowEnd) break;
    TDocRange cell;
    doc.GetCellRange(p, cell);
    if (cell.End.Par < p) break;
    p = cell.End.Par + 1;
  }
  return starts;
}

TDocRange CellRangeAt(TDoc& doc, int32_t rowFirstPar, int32_t i) {
  TDocRange cell;
  doc.GetNthCellRange(rowFirstPar, i, cell);
  return cell;
}

std::vector<int32_t> RowStarts(TDoc& doc, int32_t par) {
  std::vector<int32_t> starts;
  if (!InTable(doc, par)) return starts;
  TDocRange table;
  doc.GetTableRange(par, table);
  for (int32_t p = table.Start.Par; p <= table.End.Par;) {
    starts.push_back(p);
    TDocRange row;
    doc.GetRowRange(p, row);
    if (row.End.Par < p) break;
    p = row.End.Par + 1;
  }
  return starts;
}

std::vector<TRowAt> TableRowsAt(TDoc& doc, int32_t par) {
  std::vector<TRowAt> rows;
  for (int32_t start : RowStarts(doc, par)) rows.push_back({start, doc.GetRowProps(start)});
  return rows;
}

bool TableIsSound(TDoc& doc, int32_t par) {
  if (!InTable(doc, par)) return false;
  const std::vector<int32_t> starts = RowStarts(doc, par);
  if (starts.empty()) return false;
  for (int32_t start : starts) {
    const TTableRow* row = doc.GetRowProps(start);
    if (row == nullptr || row->CellCount < 0 || row->CellCount > MaxTableCells) return false;
    const std::vector<int32_t> cells = CellStarts(doc, start);
    if (cells.empty() || !doc.IsRowEndPar(cells.back()) ||
        static_cast<int32_t>(cells.size()) - 1 != row->CellCount)
      return false;
  }
  return true;
}

int32_t FindRowStart(TDoc& doc, int32_t tablePar, const TTableRow* row) {
  for (const TRowAt& r : TableRowsAt(doc, tablePar))
    if (r.Row == row) return r.First;
  return -1;
}

TTableRowData DefaultNewRow(int32_t columns) {
  TTableRowData d;
  d.PreferredWidth = 5000;
  d.PadLeft = 108;
  d.PadRight = 108;
  d.ShadingColor = TableColorNone;
  d.CellCount = columns;
  const TBorderLine single{10, 1, TableColorNone, 0};
  for (TTableCell& c : d.Cells) {
    c = TTableCell{};
    c.BorderLeft = c.BorderTop = c.BorderRight = c.BorderBottom = single;
    c.ShadingColor = TableColorNone;
  }
  return d;
}

size_t TemplateIndex(int32_t k, int32_t n, int32_t count) {
  if (k == 0) return 0;
  if (k == n - 1) return static_cast<size_t>(count - 1);
  return static_cast<size_t>(std::max(0, std::min(k, count - 2)));
}

TTableRowData TemplateRow(const std::vector<std::unique_ptr<TTableRow>>& templateRows, int32_t r,
                          int32_t rows, int32_t columns) {
  TTableRowData d = DefaultNewRow(columns);
  if (templateRows.empty()) return d;
  const TTableRow& tr = *templateRows[TemplateIndex(r, rows, static_cast<int32_t>(templateRows.size()))];
  const TTableRow& first = *templateRows.front();
  d.Alignment = first.Alignment;
  d.Left = first.Left;
  d.PreferredWidth = first.PreferredWidth;
  d.KeepTogether = tr.KeepTogether;
  d.HeaderRow = tr.HeaderRow;
  d.Height = tr.Height;
  d.PadLeft = tr.PadLeft;
  d.PadTop = tr.PadTop;
  d.PadRight = tr.PadRight;
  d.PadBottom = tr.PadBottom;
  const int32_t cells = std::min(tr.CellCount, MaxTableCells);
  if (cells <= 0) return d;
  for (int32_t j = 0; j < columns; ++j) {
    TTableCell& c = d.Cells[static_cast<size_t>(j)];
    const TTableCell& tc = tr.Cells[TemplateIndex(j, columns, cells)];
    c.PadLeft = tc.PadLeft;
    c.PadTop = tc.PadTop;
    c.PadRight = tc.PadRight;
    c.PadBottom = tc.PadBottom;
    c.VertAlign = tc.VertAlign;
    c.BorderLeft = tc.BorderLeft;
    c.BorderTop = tc.BorderTop;
    c.BorderRight = tc.BorderRight;
    c.BorderBottom = tc.BorderBottom;
    c.ShadingColor = tc.ShadingColor;
  }
  return d;
}

TParFormat CellParFormat(const TParFormat& source) {
  TParFormat f = source;
  f.KeepNext = 0;
  f.KeepLines = 0;
  f.PageBreakBefore = 0;
  f.InTable = 1;
  return f;
}

void AppendCellPar(TMemory& out, const TCharFormat& chars, const TParFormat& format) {
  AppendCharFormatTags(out, chars);
  AppendContentTag(out, ctCellEnd, 0);
  AppendParFormatBlock(out, format);
}

void AppendRowEndPar(TMemory& out, const TCharFormat& chars, TTableRow* row,
                     const TParFormat& format) {
  AppendCharFormatTags(out, chars);
  AppendContentTag(out, ctRowEnd, TagRefOf(row));
  AppendParFormatBlock(out, format);
}

TTableRow* NewRow(TDoc& doc, const TTableRowData& data) {
  auto row = std::make_unique<TTableRow>();
  row->Data() = data;
  row->PrevRow = row->NextRow = nullptr;
  row->LayoutChanged = 1;
  return doc.AddTableRow(std::move(row));
}

void InsertFragment(TDoc& doc, const TMemory& content, const TDocPosition& at, int32_t parMarks) {
  EditServices().InsertContent(doc, content, at, doc.StoryOfParagraph(std::min(at.Par, doc.ParCount() - 1)),
                               parMarks);
  doc.ClearTableCache();
}

void InsertParagraphBreak(TDoc& doc, const TDocPosition& at, const TParFormat& format) {
  TMemory content;
  AppendContentTag(content, ctSpecialChar, scParagraphEnd);
  AppendParFormatBlock(content, format);
  InsertFragment(doc, content, at, 1);
}

void DeleteRange(TDoc& doc, const TDocRange& range) {
  if (IsRangeEmpty(range)) return;
  EditServices().DeleteContent(doc, range);
  doc.ClearTableCache();
}

void DeleteParagraphs(TDoc& doc, int32_t first, int32_t last) {
  if (first < 0 || last < first || last >= doc.ParCount()) return;
  const int32_t story = doc.StoryOfParagraph(first);
  const int32_t storyLast = doc.LastParagraphOfStory(story);
  if (first == doc.FirstParagraphOfStory(story) && last >= storyLast) {
    // A story is never left without a paragraph: an empty one takes the place of the last.
    TMemory content;
    AppendContentTag(content, ctSpecialChar, scParagraphEnd);
    AppendParFormatBlock(content, DefaultParFormat);
    TDocPosition after;
    MakePosition(storyLast + 1, 0, after);
    EditServices().InsertContent(doc, content, after, story, 1);
  }
  TDocRange r;
  MakeRange(first, 0, std::min(last, storyLast) + 1, 0, r);
  DeleteRange(doc, r);
}

void SetParEnd(TDoc& doc, int32_t par, uint8_t code) {
  if (par < 0 || par >= doc.ParCount()) return;
  const TPar& p = *doc.Par(par);
  if (p.CharCount() == 0 || p.CodeAt(p.CharCount() - 1) == code) return;
  EditServices().ReplaceSpecialChar(doc, par, p.CharCount() - 1, code);
  doc.ClearTableCache();
}

void FormatPars(TDoc& doc, int32_t first, int32_t last, const TParFormat& format) {
  // Row-end paragraphs keep their format unless the caller asks for them (flag 151).
  const bool rowEnds = doc.IsDocFlagSet(151);
  int32_t i = std::max(first, 0);
  last = std::min(last, doc.ParCount() - 1);
  while (i <= last) {
    if (!rowEnds && FirstCode(doc, i) == scRowEnd && InTable(doc, i)) {
      ++i;
      continue;
    }
    int32_t j = i;
    while (j + 1 <= last && (rowEnds || !(FirstCode(doc, j + 1) == scRowEnd && InTable(doc, j + 1))))
      ++j;
    TDocRange r;
    MakeRange(i, 0, j, doc.Par(j)->CharCount(), r);
    EditServices().FormatParagraphRange(doc, r, format);
    i = j + 1;
  }
  doc.ClearTableCache();
}

void SetPostCaret(TDoc& doc, const TDocPosition& caret) {
  TPostActions& pa = EditServices().CurrentPostActions(doc);
  pa.Caret = caret;
  pa.HasCaret = true;
  if (!pa.Selection) pa.Selection = AcquireFragment();
  pa.Selection->SetSingleRange(caret.Par, caret.Offset, caret.Par, caret.Offset);
}

void SetPostSelection(TDoc& doc, const TCompoundFragment& selection, const TDocPosition& caret) {
  TPostActions& pa = EditServices().CurrentPostActions(doc);
  pa.Caret = caret;
  pa.HasCaret = true;
  if (!pa.Selection) pa.Selection = AcquireFragment();
  pa.Selection->Assign(selection);
}

void KeepPostSelection(TDoc& doc) {
  if (doc.Selection)
    SetPostSelection(doc, *doc.Selection, doc.Caret);
  else
    SetPostCaret(doc, doc.Caret);
}

}  // namespace tables

}  // namespace qv
