// Converting between tables and text: a table (or its selected rows) becomes paragraphs whose
// cells are joined by a separator, and selected paragraphs become a table whose cells are cut at
// a separator (or are the paragraphs themselves).
#include <algorithm>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/section.h"
#include "document/tab_stops.h"
#include "document/table_edit_helpers.h"
#include "document/table_template.h"
#include "foundation/base/units.h"
#include "foundation/settings/options_holder.h"

namespace qv {

using namespace tables;

namespace {

constexpr int32_t kParagraphs = 2;
constexpr int32_t kTab = 9;

// The separator as content: a tab character, or the character byte.
void AppendSeparator(TMemory& out, int32_t separator) {
  if (separator == kTab) {
    AppendContentTag(out, ctSpecialChar, scTab);
  } else if (separator >= 32 && separator < 256) {
    const char c = static_cast<char>(separator);
    out.Append(reinterpret_cast<const uint8_t*>(&c), 1);
  } else {
    AppendContentTag(out, ctWideChar, separator);
  }
}

// Whether the character at the place is the separator ("-" also matches the non-breaking hyphen
// and the two dashes).
bool IsSeparatorAt(const TPar& par, int32_t offset, int32_t separator) {
  const uint8_t code = par.CodeAt(offset);
  if (separator == kTab) return code == scTab;
  if (separator == '-' && (code == scNonBreakingHyphen || code == scEmDash || code == scEnDash)) return true;
  return code == separator && separator >= 32;
}

// A tab set with a left stop without leader at each cell boundary of the row.
int16_t CellTabSet(const TTableRowData& row) {
  TTabTable stops;
  const int32_t n = CellCountOf(row);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t right = row.Cells[static_cast<size_t>(i)].Right;
    if (right != TableValueUnset) AddTabStop(stops, PackTabStop(right, tkLeft, tlNone));
  }
  SortTabStops(stops);
  return static_cast<int16_t>(GetTabManager().AddTable(stops));
}

}  // namespace

void TDoc::ConvertTableToText() {
  int32_t separator = GetOptions().Internal.TableToText_CellSep;
  if (separator != kParagraphs && separator != kTab && separator < 32) separator = kParagraphs;
  TFragmentRef source;
  if (!HasSelection() || GetTableSelectionKind() != 2) {
    const int32_t p = HasSelection() ? GetFirstSelectedPar() : Caret.Par;
    if (!InTable(*this, p)) return;
    TDocRange table;
    GetTableRange(p, table);
    source = AcquireFragment();
    *source->GetRange(0) = table;
  } else {
    source = CloneFragment(*Selection);
  }
  TFragmentRef pieces = SplitFragmentsByRows(*source);
  struct TDone {
    int32_t First, Count;
  };
  std::vector<TDone> done;
  TScopedDocFlag hold(*this, 145);
  for (int32_t i = pieces->Count(); i-- > 0;) {
    const TDocRange piece = *pieces->GetRange(i);
    if (IsRangeEmpty(piece) || !InTable(*this, piece.Start.Par)) continue;
    TDocRange row;
    GetRowRange(piece.Start.Par, row);
    const TTableRow* props = GetRowProps(row.Start.Par);
    std::vector<int32_t> cellEnds;
    for (int32_t c : CellStarts(*this, row.Start.Par)) {
      if (IsRowEndPar(c)) break;
      TDocRange cell;
      GetCellRange(c, cell);
      cellEnds.push_back(cell.End.Par);
    }
    TParFormat format = UnsetParFormat;
    format.InTable = 0;
    if (separator == kTab && props != nullptr) format.TabSet = CellTabSet(*props);
    {
      TScopedDocFlag rowEnds(*this, 151);
      FormatPars(*this, row.Start.Par, row.End.Par, format);
    }
    DeleteParagraphs(*this, row.End.Par, row.End.Par);
    int32_t removed = 1;
    for (size_t k = cellEnds.size(); k-- > 0;) {
      const int32_t par = cellEnds[k];
      if (separator == kParagraphs || k + 1 == cellEnds.size()) {
        SetParEnd(*this, par, scParagraphEnd);
        continue;
      }
      // The cell's mark gives way to the separator, joining the next cell's first paragraph.
      TDocRange mark;
      MakeRange(par, Par(par)->CharCount() - 1, par + 1, 0, mark);
      DeleteRange(*this, mark);
      TMemory text;
      AppendSeparator(text, separator);
      TDocPosition at = mark.Start;
      InsertFragment(*this, text, at, 0);
      ++removed;
    }
    for (TDone& d : done) d.First -= removed;
    done.push_back({row.Start.Par, row.End.Par - row.Start.Par + 1 - removed});
    if (InTable(*this, row.End.Par + 1 - removed)) {
      TScopedDocFlag allow(*this, 145, false);
      NormalizeTable(row.End.Par + 1 - removed);
    }
  }
  if (done.empty()) return;
  TFragmentRef converted = AcquireFragment();
  bool any = false;
  for (size_t k = done.size(); k-- > 0;) {
    const int32_t last = done[k].First + std::max(done[k].Count, 1) - 1;
    TDocRange r;
    MakeRange(done[k].First, 0, last, Par(last)->CharCount(), r);
    if (!any) *converted->GetRange(0) = r;
    else converted->InsertRange(converted->Count(), r);
    any = true;
  }
  converted->Normalize();
  SetPostSelection(*this, *converted, converted->GetRange(0)->Start);
}

void TDoc::ConvertTextToTable(int32_t columns, int32_t rows, int32_t separator) {
  columns = std::clamp(columns, 1, MaxTableCells);
  if (rows < 1) return;
  TScopedDocFlag converting(*this, 47);
  TDocPosition a = HasSelection() ? Selection->GetRange(0)->Start : Caret;
  TDocPosition b = HasSelection() ? Selection->LastRange->End : Caret;
  if (InTable(*this, a.Par) || InTable(*this, b.Par)) return;
  if (a.Offset > 0) {
    InsertParagraphBreak(*this, a, Par(a.Par)->Format);
    if (b.Par == a.Par) b.Offset -= a.Offset;
    ++b.Par;
    MakePosition(a.Par + 1, 0, a);
  }
  const int32_t storyLast = LastParagraphOfStory(StoryOfParagraph(b.Par));
  if (b.Offset == 0 && b.Par > a.Par) {
    // A selection that ends at the start of a paragraph takes the paragraphs before it.
    --b.Par;
    b.Offset = Par(b.Par)->CharCount() - 1;
  }
  if (b.Offset < Par(b.Par)->CharCount() - 1) {
    InsertParagraphBreak(*this, b, Par(b.Par)->Format);
  } else if (b.Par == storyLast) {
    TDocPosition beforeMark;
    MakePosition(b.Par, Par(b.Par)->CharCount() - 1, beforeMark);
    InsertParagraphBreak(*this, beforeMark, Par(b.Par)->Format);
  }
  int32_t last = b.Par;
  // Section breaks inside go (the sections join); column and page breaks become line breaks.
  for (int32_t p = last; p >= a.Par; --p) {
    for (int32_t c = Par(p)->CharCount() - 1; c >= 0; --c) {
      const uint8_t code = Par(p)->CodeAt(c);
      if (code == scColumnBreak || code == scPageBreak) EditServices().ReplaceSpecialChar(*this, p, c, scLineBreak);
    }
    if (TSection* s = Par(p)->SectionBreak()) {
      UpdateSectionRanges();
      const size_t k = static_cast<size_t>(s->Number);
      if (k + 1 < Sections.size()) {
        MergeSectionFormats(*Sections[k + 1], *s);
        --last;
      }
    }
  }
  // The row the new rows copy: a table right above or right below, else the template.
  TTableRow* neighbour = nullptr;
  if (a.Par > 0 && InTable(*this, a.Par - 1)) neighbour = GetRowProps(a.Par - 1);
  else if (InTable(*this, last + 1)) neighbour = GetRowProps(last + 1);
  std::vector<std::unique_ptr<TTableRow>> templateRows;
  if (neighbour == nullptr) templateRows = LoadDefaultTableTemplate(nullptr);
  TParFormat textFormat = UnsetParFormat;
  textFormat.KeepNext = textFormat.KeepLines = textFormat.PageBreakBefore = 0;
  textFormat.InTable = 1;
  int32_t p = a.Par;
  int32_t lastPar = last;
  for (int32_t r = 0; r < rows && p <= lastPar; ++r) {
    int32_t rowFirst = p, rowLast = p, cells = 0;
    if (separator == kParagraphs) {
      const int32_t take = std::min(columns, lastPar - p + 1);
      for (int32_t k = 0; k < take; ++k) SetParEnd(*this, p + k, scCellEnd);
      rowLast = p + take - 1;
      cells = take;
    } else {
      int32_t used = 0;
      for (int32_t c = 0; c < Par(rowLast)->CharCount() - 1 && used < columns - 1; ++c) {
        if (!IsSeparatorAt(*Par(rowLast), c, separator)) continue;
        TDocRange sep;
        MakeRange(rowLast, c, rowLast, c + 1, sep);
        DeleteRange(*this, sep);
        TDocPosition at;
        MakePosition(rowLast, c, at);
        InsertParagraphBreak(*this, at, Par(rowLast)->Format);
        SetParEnd(*this, rowLast, scCellEnd);
        ++rowLast;
        ++lastPar;
        ++used;
        c = -1;
      }
      if (separator == kTab) {
        int32_t tabs = 0;
        while (tabs < Par(rowLast)->CharCount() - 1 && Par(rowLast)->CodeAt(tabs) == scTab) ++tabs;
        if (tabs > 0) {
          TDocRange lead;
          MakeRange(rowLast, 0, rowLast, tabs, lead);
          DeleteRange(*this, lead);
        }
      }
      SetParEnd(*this, rowLast, scCellEnd);
      cells = used + 1;
    }
    FormatPars(*this, rowFirst, rowLast, textFormat);
    // The row's properties.
    TTableRowData d;
    if (neighbour != nullptr) {
      d = neighbour->Data();
      for (TTableCell& c : d.Cells) c.MergeStart = c.Merged = 0;
      if (d.CellCount != columns && d.CellCount > 0) {
        const int32_t n = CellCountOf(d);
        const int32_t width = d.Cells[static_cast<size_t>(n - 1)].Right - d.Left;
        for (int32_t j = n; j < columns; ++j) d.Cells[static_cast<size_t>(j)] = d.Cells[static_cast<size_t>(n - 1)];
        d.CellCount = columns;
        for (int32_t j = 0; j < columns; ++j)
          d.Cells[static_cast<size_t>(j)].Right = d.Left + MulDiv(width, j + 1, columns);
      }
    } else {
      d = TemplateRow(templateRows, r, rows, columns);
    }
    TCharFormat endChars;
    Par(rowLast)->GetCharFormatAt(std::max(Par(rowLast)->CharCount() - 1, 0), endChars);
    TMemory content;
    const TParFormat cellFormat = CellParFormat(Par(rowLast)->Format);
    for (int32_t k = cells; k < columns; ++k) AppendCellPar(content, endChars, cellFormat);
    AppendRowEndPar(content, DefaultCharFormat, NewRow(*this, d), TableParFormat);
    TDocPosition after;
    MakePosition(rowLast + 1, 0, after);
    const int32_t added = std::max(columns - cells, 0) + 1;
    InsertFragment(*this, content, after, added);
    lastPar += added;
    p = rowLast + added + 1;
  }
  const int32_t tableLast = p - 1;
  for (int32_t k = a.Par; k <= tableLast; ++k) CheckDropCaps(k);
  TFragmentRef table = AcquireFragment();
  table->SetSingleRange(a.Par, 0, tableLast, 1);
  SetPostSelection(*this, *table, a);
}

}  // namespace qv
