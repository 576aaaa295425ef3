// The post-load step for tables: every table of a full document ends each row in a proper
// row-end paragraph (a table without any leaves the table), rows share the first row's paddings
// and the table's column edges, header rows follow the rows above them, shading and cell
// borders are brought to the forms the layout draws, and vertical merges share their borders.
#include "files/post_load_steps.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "document/border_sets.h"
#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "document/table_row.h"
#include "files/shading_mix.h"

namespace qv {
namespace {

// The right boundary a cell added past a row's definition gets beyond the one before it.
constexpr int32_t kAddedCellWidth = 1440;

bool InTable(const TDoc& doc, int32_t p) { return doc.Par(p)->Format.InTable == 1; }

uint8_t LastCode(const TPar& par) {
  return par.CharCount() > 0 ? par.CodeAt(par.CharCount() - 1) : 0;
}

// The row a proper row-end paragraph names; null for any other paragraph.
TTableRow* RowOfRowEnd(const TDoc& doc, int32_t p) {
  const TPar& par = *doc.Par(p);
  if (par.CharCount() == 0 || par.CodeAt(0) != scRowEnd) return nullptr;
  const int32_t off = par.CharToStreamOffset(0);
  if (!IsTagAt(par.Content.Data, par.Content.Length, off)) return nullptr;
  return TableRowOfTag(ReadTagAt(par.Content.Data, off));
}

// Turns the tag of the character at the index into a paragraph mark.
void MarkParagraphEndAt(TPar& par, int32_t index) {
  const int32_t off = par.CharToStreamOffset(index);
  if (!IsTagAt(par.Content.Data, par.Content.Length, off)) return;
  par.Content.Data[off + 1] = ctSpecialChar;
  WriteTagValue(par.Content.Data, off, scParagraphEnd);
  par.RebuildCodes();
  par.ContentChanged();
}

// A paragraph taken out of a table: cell ends and row ends that name no row become paragraph
// marks, so that nothing of the text is lost.
void LeaveTable(TPar& par) {
  par.Format.InTable = 0;
  for (int32_t i = 0; i < par.CharCount(); ++i)
    if (par.CodeAt(i) == scCellEnd || par.CodeAt(i) == scRowEnd) MarkParagraphEndAt(par, i);
}

// Cuts the field-end marks that follow the paragraph's last character off its stream and
// answers them (formatting there changes nothing and is dropped).
TMemory TakeTrailingFieldEnds(TPar& par) {
  TMemory ends;
  if (par.CharCount() == 0) return ends;
  TStreamItem item;
  const int32_t lastOff = par.CharToStreamOffset(par.CharCount() - 1);
  if (!ReadStreamItem(par.Content.Data, par.Content.Length, lastOff, item)) return ends;
  const int32_t cut = lastOff + (item.ItemType == TStreamItem::siText ? 1 : item.Size);
  for (int32_t off = cut; ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
       off += item.Size)
    if (item.ItemType == TStreamItem::siTag && item.Tag.Kind == ctFieldEnd)
      AppendContentTag(ends, ctFieldEnd, item.Tag.Value);
  par.Content.SetLength(cut);
  par.ContentChanged();
  return ends;
}

// A new row like `model` (its data only) with the given number of cells; cells past the
// model's get boundaries of their own.
TTableRow* AddRowLike(TDoc& doc, const TTableRow& model, int32_t cells) {
  auto row = std::make_unique<TTableRow>();
  row->Data() = model.Data();
  row->PrevRow = row->NextRow = nullptr;
  cells = std::clamp(cells, 1, MaxTableCells);
  int32_t right = model.CellCount > 0
                      ? model.Cells[static_cast<size_t>(std::min(model.CellCount, MaxTableCells) - 1)].Right
                      : model.Left;
  if (right == TableValueUnset) right = 0;
  for (int32_t c = std::min(model.CellCount, MaxTableCells); c < cells; ++c) {
    right += kAddedCellWidth;
    row->Cells[static_cast<size_t>(c)] = TTableCell{};
    row->Cells[static_cast<size_t>(c)].Right = right;
  }
  row->CellCount = cells;
  return doc.AddTableRow(std::move(row));
}

// The tags of what the format sets beyond the program's defaults.
void AppendFormatTags(TMemory& stream, const TCharFormat& format) {
  for (int i = 0; i < TCharFormat::Count; ++i)
    if (format[i] != DefaultCharFormat[i]) AppendContentTag(stream, static_cast<uint8_t>(i), format[i]);
}

// Number of cells (cell-end marks) among the paragraphs.
int32_t CountCells(const TDoc& doc, int32_t first, int32_t last) {
  int32_t cells = 0;
  for (int32_t p = first; p <= last; ++p) cells += LastCode(*doc.Par(p)) == scCellEnd ? 1 : 0;
  return cells;
}

// The table's proper row-end paragraphs, in order.
std::vector<int32_t> RowEnds(const TDoc& doc, int32_t first, int32_t last) {
  std::vector<int32_t> ends;
  for (int32_t p = first; p <= last; ++p)
    if (RowOfRowEnd(doc, p) != nullptr) ends.push_back(p);
  return ends;
}

// Step one for one table of a full document. Returns the table's last paragraph afterwards.
int32_t CloseTableRows(TDoc& doc, int32_t first, int32_t last) {
  const std::vector<int32_t> ends = RowEnds(doc, first, last);
  if (ends.empty()) {
    for (int32_t p = first; p <= last; ++p) LeaveTable(*doc.Par(p));
    return first - 1;
  }
  // A row-end paragraph whose row is gone takes a copy of the nearest row before it.
  for (int32_t p = first; p <= last; ++p) {
    TPar& par = *doc.Par(p);
    if (par.CharCount() == 0 || par.CodeAt(0) != scRowEnd || RowOfRowEnd(doc, p) != nullptr) continue;
    const auto before = std::find_if(ends.rbegin(), ends.rend(), [p](int32_t e) { return e < p; });
    const TTableRow& model = *RowOfRowEnd(doc, before != ends.rend() ? *before : ends.front());
    const TTableRow* row = AddRowLike(doc, model, std::max(1, model.CellCount));
    par.Content.Clear();
    AppendContentTag(par.Content, ctRowEnd, TagRefOf(row));
    par.Format = TableParFormat;
    par.RebuildCodes();
    par.ContentChanged();
  }
  // Cells after the last row end form a row of their own; paragraphs after its last cell leave
  // the table.
  int32_t lastCell = -1;
  for (int32_t p = ends.back() + 1; p <= last; ++p)
    if (LastCode(*doc.Par(p)) == scCellEnd) lastCell = p;
  for (int32_t p = std::max(lastCell, ends.back()) + 1; p <= last; ++p) LeaveTable(*doc.Par(p));
  if (lastCell < 0) return ends.back();
  const TTableRow& model = *RowOfRowEnd(doc, ends.back());
  MakeRowEndParagraph(doc, lastCell, AddRowLike(doc, model, CountCells(doc, ends.back() + 1, lastCell)));
  return lastCell + 1;
}

// The cell of the row at the same column edge (within 3 twips) as the given right boundary.
TTableCell* CellAtEdge(TTableRow& row, int32_t right) {
  for (int32_t c = 0; c < std::min(row.CellCount, MaxTableCells); ++c)
    if (std::abs(row.Cells[static_cast<size_t>(c)].Right - right) <= 3)
      return &row.Cells[static_cast<size_t>(c)];
  return nullptr;
}

// A vertical merge's start takes the bottom border of its last continuation cell, and every
// continuation takes the start's four borders.
void ShareMergeBorders(const std::vector<TTableRow*>& rows) {
  for (size_t r = 0; r < rows.size(); ++r) {
    TTableRow& row = *rows[r];
    for (int32_t c = 0; c < std::min(row.CellCount, MaxTableCells); ++c) {
      TTableCell& start = row.Cells[static_cast<size_t>(c)];
      if (start.MergeStart == 0) continue;
      std::vector<TTableCell*> continuations;
      for (size_t below = r + 1; below < rows.size(); ++below) {
        TTableCell* cell = CellAtEdge(*rows[below], start.Right);
        if (cell == nullptr || !cell->IsContinuation()) break;
        continuations.push_back(cell);
      }
      if (continuations.empty()) continue;
      start.BorderBottom = continuations.back()->BorderBottom;
      for (TTableCell* cell : continuations) {
        cell->BorderLeft = start.BorderLeft;
        cell->BorderTop = start.BorderTop;
        cell->BorderRight = start.BorderRight;
        cell->BorderBottom = start.BorderBottom;
      }
    }
  }
}

void NormalizeRowBorders(TTableRow& row) {
  for (TBorderLine& b : row.Borders) NormalizeCellBorder(b, nullptr);
}

void NormalizeRowCells(TTableRow& row) {
  const int32_t count = std::clamp(row.CellCount, 0, MaxTableCells);
  for (int32_t c = 0; c < count; ++c) {
    TTableCell& cell = row.Cells[static_cast<size_t>(c)];
    const bool first = c == 0;
    const bool last = c == count - 1;
    NormalizeCellBorder(cell.BorderLeft, &row.Borders[first ? rbLeft : rbInsideV]);
    NormalizeCellBorder(cell.BorderRight, &row.Borders[last ? rbRight : rbInsideV]);
    NormalizeCellBorder(cell.BorderTop, &row.Borders[rbTop]);
    NormalizeCellBorder(cell.BorderBottom, &row.Borders[rbBottom]);
    if (cell.ShadingPercent == 10000 && cell.PatternColor != 0 &&
        cell.PatternColor != TableValueUnset)
      cell.ShadingColor = cell.PatternColor;
    // A percentage short of solid shows as the pattern laid over the background.
    else if (cell.ShadingPercent > 0 && cell.ShadingPercent < 10000)
      cell.ShadingColor = MixedShading(cell.ShadingPercent, cell.PatternColor, cell.ShadingColor);
  }
  if (row.ShadingPercent == 10000 && row.PatternColor != TableValueUnset)
    row.ShadingColor = row.PatternColor;
  else if (row.ShadingPercent > 0 && row.ShadingPercent < 10000)
    row.ShadingColor = MixedShading(row.ShadingPercent, row.PatternColor, row.ShadingColor);
  // The row's shading shows behind the cells that have none of their own.
  if ((static_cast<uint32_t>(row.ShadingColor) & 0xFF000000u) != 0) return;
  for (int32_t c = 0; c < count; ++c) {
    TTableCell& cell = row.Cells[static_cast<size_t>(c)];
    if ((static_cast<uint32_t>(cell.ShadingColor) & 0xFF000000u) != 0) cell.ShadingColor = row.ShadingColor;
  }
}

bool AllContinuations(const TTableRow& row) {
  if (row.CellCount <= 0) return false;
  for (int32_t c = 0; c < std::min(row.CellCount, MaxTableCells); ++c)
    if (!row.Cells[static_cast<size_t>(c)].IsContinuation()) return false;
  return true;
}

bool AnyContinuation(const TTableRow& row) {
  for (int32_t c = 0; c < std::min(row.CellCount, MaxTableCells); ++c)
    if (row.Cells[static_cast<size_t>(c)].IsContinuation()) return true;
  return false;
}

int32_t SnapToListedValue(int32_t value, const std::vector<int32_t>& listed) {
  for (int32_t v : listed)
    if (std::abs(v - value) <= 3) return v;
  return value;
}

int32_t LastRight(const TTableRow& row) {
  return row.Cells[static_cast<size_t>(std::min(row.CellCount, MaxTableCells) - 1)].Right;
}

// Steps two to six for the rows of one table.
void FixTableRows(TDoc& doc, int32_t first, int32_t last) {
  std::vector<TTableRow*> rows;
  int32_t firstEnd = -1;
  for (int32_t p = first; p <= last; ++p) {
    if (TTableRow* row = RowOfRowEnd(doc, p)) {
      if (std::find(rows.begin(), rows.end(), row) != rows.end()) continue;
      rows.push_back(row);
      if (firstEnd < 0) firstEnd = p;
    }
  }
  if (rows.empty()) return;
  const std::vector<int32_t> edges = doc.GetTableColumnEdges(firstEnd, nullptr, true);
  const TTableRow& firstRow = *rows.front();
  const TTableRow* prevRow = nullptr;
  for (TTableRow* row : rows) {
    if (row != &firstRow) {
      row->PadLeft = firstRow.PadLeft;
      row->PadTop = firstRow.PadTop;
      row->PadRight = firstRow.PadRight;
      row->PadBottom = firstRow.PadBottom;
    }
    row->Left = SnapToListedValue(row->Left, edges);
    for (int32_t c = 0; c < std::min(row->CellCount, MaxTableCells); ++c)
      row->Cells[static_cast<size_t>(c)].Right =
          SnapToListedValue(row->Cells[static_cast<size_t>(c)].Right, edges);
    if (AllContinuations(*row)) row->Height = 180;
    if (prevRow != nullptr) {
      if (!prevRow->HeaderRow) row->HeaderRow = 0;
      else if (AnyContinuation(*row)) row->HeaderRow = 1;
    }
    NormalizeRowBorders(*row);
    NormalizeRowCells(*row);
    if (row != &firstRow && firstRow.CellCount > 0 && row->CellCount > 0 &&
        LastRight(*row) == LastRight(firstRow))
      row->PreferredWidth = firstRow.PreferredWidth;
    prevRow = row;
  }
  ShareMergeBorders(rows);
}

}  // namespace

void NormalizeCellBorder(TBorderLine& border, const TBorderLine* defaultBorder) {
  if (border.Style == 0 && defaultBorder != nullptr) border = *defaultBorder;
  if (border.Style == 0) {
    border.Style = BorderStyleNone;
    border.Width = 0;
    return;
  }
  if (border.Style == BorderStyleNone) return;
  border.Style = 1;
  border.Width = std::clamp(border.Width < 5 ? 10 : border.Width, 0, 120);
}

int32_t MakeRowEndParagraph(TDoc& doc, int32_t lastCellPar, TTableRow* row) {
  TPar& cell = *doc.Par(lastCellPar);
  const int32_t story = doc.StoryOfParagraph(lastCellPar);
  TCharFormat format;
  cell.GetCharFormatAt(std::max(0, cell.CharCount() - 1), format);
  const TMemory fieldEnds = TakeTrailingFieldEnds(cell);
  auto rowEnd = std::make_unique<TPar>(&doc);
  rowEnd->Format = TableParFormat;
  AppendContentTag(rowEnd->Content, ctRowEnd, TagRefOf(row));
  rowEnd->RebuildCodes();
  const int32_t at = lastCellPar + 1;
  doc.InsertParagraph(at, story, std::move(rowEnd));
  if (at == doc.LastParagraphOfStory(story)) {
    // A story ends outside its tables: a paragraph after the row takes the trailing field ends.
    auto after = std::make_unique<TPar>(&doc);
    after->Format = cell.Format;
    after->Format.InTable = 0;
    AppendFormatTags(after->Content, format);
    after->Content.AppendMemory(fieldEnds);
    AppendContentTag(after->Content, ctSpecialChar, scParagraphEnd);
    after->RebuildCodes();
    doc.InsertParagraph(at + 1, story, std::move(after));
  } else if (fieldEnds.Length > 0) {
    TPar& next = *doc.Par(at + 1);
    next.Content.Insert(fieldEnds.Data, 0, fieldEnds.Length);
    next.ContentChanged();
  }
  doc.ClearTableCache();
  return at;
}

void FixTables(TDoc& doc, const TPostLoadInfo& info) {
  doc.ClearTableCache();
  for (int32_t story = stMain; story < StoryCount; ++story) {
    for (int32_t p = doc.FirstParagraphOfStory(story); p <= doc.LastParagraphOfStory(story); ++p) {
      if (!InTable(doc, p)) continue;
      int32_t last = p;
      while (last < doc.LastParagraphOfStory(story) && InTable(doc, last + 1)) ++last;
      if (info.FullDocument) last = CloseTableRows(doc, p, last);
      doc.ClearTableCache();
      if (last >= p) FixTableRows(doc, p, last);
      p = std::max(p, last);
    }
  }
  doc.InvalidateFieldIndex();
  doc.ClearTableCache();
}

}  // namespace qv
