#include "document/table_template.h"

#include <cstring>
#include <string>

#include "document/doc.h"
#include "document/doc_services.h"
#include "document/table_structure.h"
#include "foundation/system/paths.h"

namespace qv {

namespace {

// The first paragraph of the main text that lies in a table; -1 when there is none.
int32_t FirstTablePar(const TDoc& doc) {
  for (int32_t i = 0; i <= doc.LastParagraphOfStory(stMain); ++i)
    if (doc.Par(i)->Format.InTable == 1) return i;
  return -1;
}

void FillFormatRecords(TDoc& doc, const TDocRange& table, TMemory& formats) {
  const int32_t count = table.End.Par - table.Start.Par + 1;
  formats.SetLength(count * TableTemplateRecordSize);
  for (int32_t i = 0; i < count; ++i) {
    uint8_t* record = formats.Data + static_cast<size_t>(i) * TableTemplateRecordSize;
    const TPar& par = *doc.Par(table.Start.Par + i);
    TCharFormat start;
    par.GetCharFormatAt(0, start);
    std::memcpy(record, &par.Format, sizeof(TParFormat));
    std::memcpy(record + sizeof(TParFormat), &start, sizeof(TCharFormat));
  }
}

// Points every cell of the copies at the record of the cell's first paragraph.
void LinkCellsToRecords(TDoc& doc, const TDocRange& table,
                        std::vector<std::unique_ptr<TTableRow>>& rows) {
  int32_t par = table.Start.Par;
  for (auto& row : rows) {
    const int32_t cells = std::min(row->CellCount, MaxTableCells);
    for (int32_t j = 0; j < cells && par <= table.End.Par; ++j) {
      TDocRange cell;
      doc.GetCellRange(par, cell);
      const int32_t offset = (cell.Start.Par - table.Start.Par) * TableTemplateRecordSize;
      row->Cells[static_cast<size_t>(j)].Scratch1 = offset;
      row->Cells[static_cast<size_t>(j)].Scratch2 = offset + static_cast<int32_t>(sizeof(TParFormat));
      par = cell.End.Par + 1;
    }
    TDocRange rowRange;
    if (par <= table.End.Par) {
      doc.GetRowRange(par, rowRange);
      par = rowRange.End.Par + 1;  // past the row-end paragraph
    }
  }
}

}  // namespace

std::vector<std::unique_ptr<TTableRow>> LoadDefaultTableTemplate(TMemory* formats) {
  std::vector<std::unique_ptr<TTableRow>> result;
  std::string folder = DocServices().TemplatesFolder();
  if (folder.empty()) return result;
  if (folder.back() != '/') folder.push_back('/');
  const std::string file = folder + DefaultTableTemplateName;
  TDoc* doc = DocServices().FindOpenDocument(file);
  std::unique_ptr<TDoc> opened;
  if (doc == nullptr) {
    if (!FileExists(file)) return result;
    opened = DocServices().OpenHiddenDocument(file);
    doc = opened.get();
  }
  if (doc == nullptr) return result;
  const int32_t first = FirstTablePar(*doc);
  if (first < 0) return result;
  std::vector<TTableRow*> rows;
  TDocRange table;
  doc->GetTableRows(first, rows, table);
  for (const TTableRow* row : rows) {
    auto copy = std::make_unique<TTableRow>();
    copy->Data() = row->Data();
    copy->PrevRow = copy->NextRow = nullptr;
    result.push_back(std::move(copy));
  }
  if (formats != nullptr) {
    FillFormatRecords(*doc, table, *formats);
    LinkCellsToRecords(*doc, table, result);
  }
  return result;
}

}  // namespace qv
