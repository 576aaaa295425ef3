#include "commands/picture_section_commands.h"
#include "commands/table_commands.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "commands/command_options.h"
#include "commands/command_routines.h"
#include "commands/format_dialog_services.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/field.h"
#include "document/table_requests.h"
#include "document/table_row.h"
#include "editing/edit_codes.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr int32_t kMaxColumns = 63;
constexpr int32_t kMaxInsertRows = 16384;
constexpr int32_t kDefaultTableSize = 10;
constexpr int32_t kUnset = static_cast<int32_t>(0x80000000u);
// The internal flags of the Delete Cells and Insert Cells choices.
constexpr uint32_t kDeleteShiftsLeft = 0x2000;
constexpr uint32_t kInsertShiftsDown = 0x4000;
// Scoped document flags: the whole table is being selected; the rows are formatted by a command
// (the table is repaired afterwards).
constexpr int32_t kSelectingTable = 147;
constexpr int32_t kFormattingRows = 146;

const char* const kMultipleSelection =
    "Currently, a number of non-contiguous fragments are selected in this document. This "
    "operation cannot be applied to such a multiple selection.\r\rPlease, select a single "
    "fragment and try again.";
const char* const kCutsFields =
    "This operation cannot be applied to a selection containing complex bookmarks and fields.";
const char* const kDefaultTableHelp =
    "Use the \"Table | Table Properties...\" menu command to specify the desired default "
    "properties (borders, margins, align, shading, etc) for new tables.\r\rChoose the \"File | "
    "Save\" menu command to save changes to the default table properties.";


// The selection's ranges, or the caret as one empty range.
std::vector<TDocRange> SelectedRanges(const TDoc& doc) {
  std::vector<TDocRange> ranges;
  if (doc.HasSelection())
    for (int32_t i = 0; i < doc.Selection->Count(); ++i) ranges.push_back(*doc.Selection->GetRange(i));
  if (ranges.empty()) ranges.push_back(TDocRange{doc.Caret, doc.Caret});
  return ranges;
}

// Whether the range cuts a field: one of its marks lies inside and the other outside.
bool RangeCutsFields(TDoc& doc, const TDocRange& range) {
  std::vector<TField*> fields;
  doc.GetFieldsInRange(std::span<const TDocRange>(&range, 1), fields, 255, -1);
  for (const TField* field : fields) {
    TDocRange r;
    if (!doc.GetFieldRange(field, r)) continue;
    const bool startIn = ComparePositions(r.Start, range.Start) >= 0;
    const bool endIn = ComparePositions(r.End, range.End) <= 0;
    if (startIn != endIn) return true;
  }
  return false;
}

// Whether the cell (its range) meets one of the ranges; an empty range meets the cell holding it.
bool CellMeetsRanges(const TDocRange& cell, const std::vector<TDocRange>& ranges) {
  for (const TDocRange& r : ranges) {
    if (IsRangeEmpty(r) ? PositionInRange(r.Start, cell) : IntersectRanges(nullptr, r, cell)) return true;
  }
  return false;
}

// A row the selection touches and its first touched paragraph.
struct TRowAt {
  TTableRow* Row;
  int32_t Par;
};

std::vector<TRowAt> RowsTouched(TDoc& doc) {
  std::vector<TRowAt> rows;
  for (const TDocRange& r : SelectedRanges(doc)) {
    int32_t last = r.End.Par;
    if (!IsRangeEmpty(r) && r.End.Offset == 0 && last > r.Start.Par) --last;
    for (int32_t p = r.Start.Par; p <= last && p < doc.ParCount(); ++p) {
      if (doc.Par(p)->Format.InTable != 1) continue;
      TTableRow* row = doc.GetRowProps(p);
      if (row == nullptr) continue;
      if (std::none_of(rows.begin(), rows.end(), [row](const TRowAt& at) { return at.Row == row; }))
        rows.push_back({row, p});
    }
  }
  return rows;
}

class TTableCommandRun {
 public:
  TTableCommandRun(TCommandManager& manager, int32_t id, TDoc& doc) : manager_(manager), id_(id), doc_(doc) {}
  void Run();

 private:
  void InsertTable();
  void InsertCells();
  void SelectItem();
  void TableProperties();
  void SplitCells();
  void DeleteCells();
  void ConvertToText();
  void CellAlignment();
  void HeaderRows();
  // Formats the rows with their copies in one step, the table repaired afterwards.
  void FormatRows(TFormatRowsRequest& request);

  TCommandManager& manager_;
  const int32_t id_;
  TDoc& doc_;
};

void TTableCommandRun::Run() {
  switch (id_) {
    case 15900: return InsertTable();
    case 15910: return ExecuteEditWith(doc_, ecInsertRowsAbove);
    case 15911: return ExecuteEditWith(doc_, ecInsertRowsBelow);
    case 15920: return ExecuteEditWith(doc_, ecInsertColumnsLeft);
    case 15921: return ExecuteEditWith(doc_, ecInsertColumnsRight);
    case 15930: return InsertCells();
    case 15951: case 15952: case 15953: case 15954: return SelectItem();
    case 16000: return TableProperties();
    case 16110: return ExecuteEditWith(doc_, ecMergeCells);
    case 16111: return SplitCells();
    case 16112: return ExecuteEditWith(doc_, ecSplitTable);
    case 16150: return DeleteCells();
    case 16155: return ExecuteEditWith(doc_, ecDistributeRows);
    case 16156: return ExecuteEditWith(doc_, ecDistributeColumns);
    case 16160: return ConvertToText();
    case 16190: return HeaderRows();
    default:
      if (id_ >= 16120 && id_ <= 16128) CellAlignment();
      return;
  }
}

void TTableCommandRun::InsertTable() {
  TInsertTableChoice choice;
  if (doc_.HasSelection()) {
    TCompoundFragment one;
    one.Assign(*doc_.Selection);
    doc_.NormalizeFragments(one);
    if (one.Count() > 1) {
      ShowInfo(kMultipleSelection);
      return;
    }
    if (one.Count() == 1 && RangeCutsFields(doc_, *one.GetRange(0))) {
      ShowInfo(kCutsFields);
      return;
    }
    choice.Mode = 1;
  }
  TInternalOptions& remembered = GetOptions().Internal;
  const std::string defaultFile = GetOptionsHolder().GetDefaultTableFileName();
  choice.Columns = std::clamp(remembered.InsTableCols, 1, kMaxColumns);
  choice.Rows = choice.Mode == 0 ? std::clamp(remembered.InsTableRows, 1, kMaxInsertRows) : 0;
  choice.DefaultPropertiesEnabled = doc_.FileName != defaultFile;
  std::error_code error;
  choice.RestoreEnabled = std::filesystem::exists(defaultFile, error);
  const int32_t answer = FormatDialogServices().ExecuteInsertTableDialog(choice);
  if (answer == 0) return;
  // The dialog's limits hold whatever it answers.
  int32_t columns = std::clamp(choice.Columns, 1, kMaxColumns);
  int32_t rows = choice.Mode == 0 ? std::clamp(choice.Rows, 1, kMaxInsertRows) : std::max(choice.Rows, 1);
  if (choice.Mode == 1) {
    int32_t separator = choice.Separator == 2 || choice.Separator == 9 || choice.Separator == 44
                            ? choice.Separator
                            : SeparatorOfOther(choice.Other, 2);
    ExecuteEditWith(doc_, ecConvertTextToTable, {&columns, &rows, &separator});
  } else {
    remembered.InsTableCols = columns;
    remembered.InsTableRows = rows;
    ExecuteEditWith(doc_, ecInsertTable, {&rows, &columns});
  }
  if (answer == 2) OpenDefaultTableDocument(manager_);
}

void TTableCommandRun::InsertCells() {
  bool down = InternalOption(kInsertShiftsDown);
  if (!FormatDialogServices().ExecuteInsertCellsDialog(down)) return;
  uint32_t& flags = GetOptions().Internal.Flags;
  flags = down ? flags | kInsertShiftsDown : flags & ~kInsertShiftsDown;
  uint8_t byte = down ? 1 : 0;
  ExecuteEditWith(doc_, ecInsertCells, {&byte});
}

void TTableCommandRun::SelectItem() {
  const int32_t par = doc_.Caret.Par;
  TDocRange range;
  TDocPosition anchor = doc_.Caret;
  switch (id_) {
    case 15951: doc_.GetCellRange(par, range); break;
    case 15953: doc_.GetRowRange(par, range); break;
    case 15954: {
      TScopedDocFlag selecting(doc_, kSelectingTable);
      doc_.GetTableRange(par, range);
      doc_.SetSelection(range.Start.Par, range.Start.Offset, range.End.Par, range.End.Offset);
      doc_.Caret = range.Start;
      doc_.SelectionAnchor = anchor;
      ApplyMouseModeToSelection();
      return;
    }
    default: {  // the column: the cells of the table in the caret cell's horizontal span
      int32_t left = 0, right = 0;
      doc_.GetCellHorzBounds(par, left, right);
      TDocRange table;
      doc_.GetTableRange(par, table);
      TFragmentRef cells = doc_.GetCellsInColumnSpan(table, TableValueUnset, left + 1, right - 1, TableValueUnset);
      if (!cells || cells->Count() == 0) return;
      doc_.Selection->Assign(*cells);
      doc_.Caret = cells->GetRange(0)->Start;
      doc_.SelectionChanged();
      ApplyMouseModeToSelection();
      return;
    }
  }
  // The caret stays inside the text: a cell's or row's range ends after its last mark.
  doc_.SetSelection(range.Start.Par, range.Start.Offset, range.End.Par, range.End.Offset);
  doc_.Caret = range.Start;
  ApplyMouseModeToSelection();
}

void TTableCommandRun::FormatRows(TFormatRowsRequest& request) {
  if (request.Rows.empty()) return;
  TScopedDocFlag repair(doc_, kFormattingRows);
  ExecuteEditWith(doc_, ecFormatTableRows, {&request});
}

void TTableCommandRun::TableProperties() {
  std::vector<TTableRow*> rows;
  TDocRange table;
  doc_.GetCurrentTableRows(rows, table);
  if (rows.empty()) return;
  doc_.InvalidateFromParagraph(table.End.Par);
  std::vector<TTableRowData> copies;
  for (TTableRow* row : rows) copies.push_back(row->Data());
  if (!FormatDialogServices().ExecuteTablePropsDialog(doc_, copies) || copies.size() != rows.size()) return;
  TFormatRowsRequest request;
  request.Rows = rows;
  request.NewData = std::move(copies);
  request.FirstPar = table.Start.Par;
  FormatRows(request);
}

void TTableCommandRun::SplitCells() {
  TInternalOptions& remembered = GetOptions().Internal;
  int32_t columns = std::clamp(remembered.SplitCellsCols, 1, kMaxColumns);
  int32_t rows = std::clamp(remembered.SplitCellsRows, 1, kMaxColumns);
  if (!FormatDialogServices().ExecuteSplitCellsDialog(columns, rows)) return;
  columns = std::clamp(columns, 1, kMaxColumns);
  rows = std::clamp(rows, 1, kMaxColumns);
  remembered.SplitCellsCols = columns;
  remembered.SplitCellsRows = rows;
  if (columns == 1 && rows == 1) {
    remembered.SplitCellsCols = 2;
    return;
  }
  ExecuteEditWith(doc_, ecSplitCells);
}

void TTableCommandRun::DeleteCells() {
  int32_t kind = doc_.GetTableSelectionKind();
  if (kind == 0) {
    bool left = InternalOption(kDeleteShiftsLeft);
    if (!FormatDialogServices().ExecuteDeleteCellsDialog(left)) return;
    uint32_t& flags = GetOptions().Internal.Flags;
    flags = left ? flags | kDeleteShiftsLeft : flags & ~kDeleteShiftsLeft;
    kind = left ? 1 : 0;
  }
  uint8_t mode = static_cast<uint8_t>(kind);
  ExecuteEditWith(doc_, ecDeleteCells, {&mode});
}

void TTableCommandRun::ConvertToText() {
  TInternalOptions& remembered = GetOptions().Internal;
  TTableToTextChoice choice;
  const int32_t old = remembered.TableToText_CellSep;
  if (old == 2 || old == 44) choice.Separator = old;
  else if (old < 32) choice.Separator = 9;
  else {
    choice.Separator = 0;
    choice.Other = std::u16string(1, static_cast<char16_t>(old));
  }
  if (!FormatDialogServices().ExecuteTableToTextDialog(choice)) return;
  int32_t separator = choice.Separator;
  if (separator != 2 && separator != 9 && separator != 44) separator = SeparatorOfOther(choice.Other, 9);
  remembered.TableToText_CellSep = std::clamp(separator, 0, 255);
  ExecuteEditWith(doc_, ecConvertTableToText);
}

void TTableCommandRun::CellAlignment() {
  const int32_t index = id_ - 16120;
  const std::vector<TDocRange> ranges = SelectedRanges(doc_);
  TFormatRowsRequest request;
  for (const TRowAt& at : RowsTouched(doc_)) {
    TTableRowData& copy = request.Add(at.Row);
    TDocRange rowRange;
    doc_.GetRowRange(at.Par, rowRange);
    int32_t cell = 0;
    for (int32_t p = rowRange.Start.Par; p < rowRange.End.Par && cell < copy.CellCount; ++cell) {
      if (doc_.IsRowEndPar(p)) break;
      TDocRange cellRange;
      doc_.GetCellRange(p, cellRange);
      if (CellMeetsRanges(cellRange, ranges))
        copy.Cells[static_cast<size_t>(cell)].VertAlign = static_cast<uint8_t>(index / 3);
      p = cellRange.End.Par + 1;
    }
  }
  if (request.Rows.empty()) return;
  request.ParAlignment = index % 3;
  request.FirstPar = RowsTouched(doc_).front().Par;
  FormatRows(request);
}

void TTableCommandRun::HeaderRows() {
  const std::vector<TTableRow*> rows = SelectedTableRows(doc_);
  if (rows.empty()) return;
  std::vector<TTableRow*> table;
  TDocRange tableRange;
  doc_.GetCurrentTableRows(table, tableRange);
  // Where the touched rows lie in their table: consecutive, and from the first row or after a
  // header row.
  auto first = std::find(table.begin(), table.end(), rows.front());
  bool eligible = first != table.end() && static_cast<size_t>(table.end() - first) >= rows.size() &&
                  std::equal(rows.begin(), rows.end(), first);
  if (eligible && first != table.begin()) eligible = (*(first - 1))->HeaderRow != 0;
  uint8_t value = 0;
  if (eligible)
    value = std::any_of(rows.begin(), rows.end(), [](const TTableRow* r) { return r->HeaderRow == 0; }) ? 1 : 0;
  TFormatRowsRequest request;
  for (TTableRow* row : rows) request.Add(row).HeaderRow = value;
  request.FirstPar = tableRange.Start.Par;
  FormatRows(request);
}

}  // namespace

std::vector<TTableRow*> SelectedTableRows(TDoc& doc) {
  std::vector<TTableRow*> rows;
  for (const TRowAt& at : RowsTouched(doc)) rows.push_back(at.Row);
  return rows;
}

int32_t SeparatorOfOther(const std::u16string& other, int32_t whenEmpty) {
  if (other.empty()) return whenEmpty;
  const int32_t c = other.front();
  return c < 32 ? whenEmpty : c;
}

void OpenDefaultTableDocument(TCommandManager& /*manager*/) {
  TDoc* doc = CommandEnvironment().OpenDefaultTableDocument(GetOptionsHolder().GetDefaultTableFileName());
  if (doc == nullptr) return;
  std::vector<TTableRow*> rows;
  TDocRange table;
  int32_t first = -1;
  for (int32_t p = 0; p < doc->ParCount() && first < 0; ++p)
    if (doc->Par(p)->Format.InTable == 1) first = p;
  if (first < 0) {
    doc->ClearSelection();
    MakePosition(0, 0, doc->Caret);
    int32_t size = kDefaultTableSize;
    ExecuteEditWith(*doc, ecInsertTable, {&size, &size});
    first = 0;
    for (int32_t p = 0; p < doc->ParCount(); ++p)
      if (doc->Par(p)->Format.InTable == 1) {
        first = p;
        break;
      }
  }
  doc->GetTableRange(first, table);
  doc->SetSelection(table.Start.Par, table.Start.Offset, table.End.Par, table.End.Offset);
  doc->Caret = table.Start;
  doc->SetModified(0);
  doc->ClearUndo();
  ShowInfo(kDefaultTableHelp);
}

void RunTableCommand(TCommandManager& manager, int32_t id, TDoc* doc) {
  if (id == 16100) {
    GetOptions().View.Flags ^= opt::ViewGridlines;
    CommandEnvironment().RearrangeAllViews();
    return;
  }
  if (doc == nullptr) return;
  TTableCommandRun(manager, id, *doc).Run();
}

}  // namespace qv
