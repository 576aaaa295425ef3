// What the editing services' stand-ins do for the table and section operations without the
// editing engine: changes are made directly, with no undo record.
#include <algorithm>

#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/section.h"

namespace qv {

bool TEditServices::FormatRows(TDoc& doc, TFormatRowsRequest& request) {
  bool changed = false;
  const size_t n = std::min(request.Rows.size(), request.NewData.size());
  for (size_t i = 0; i < n; ++i) {
    TTableRow* row = request.Rows[i];
    if (row == nullptr) continue;
    TTableRowData data = request.NewData[i];
    data.PrevRow = row->PrevRow;
    data.NextRow = row->NextRow;
    row->Data() = data;
    row->LayoutChanged = 1;
    changed = true;
  }
  doc.ClearTableCache();
  return changed;
}

void TEditServices::ChangeDocProps(TDoc& doc, const TDocProps& props) {
  TDocProps copy = props;
  doc.Props.SwapDescriptive(copy);
}

void TEditServices::SetNoteSeparatorFlags(TDoc& doc, uint8_t flags) { doc.NoteSeparatorFlags = flags; }

void TEditServices::AssignSection(TDoc& /*doc*/, TSection& target, const TSection& source) {
  target.AssignFormat(source);
  target.HeaderFooter = source.HeaderFooter;
}

void TEditServices::ChangeFieldProps(TDoc& /*doc*/, TField* field, uint8_t fieldType,
                                    std::u16string instruction) {
  if (field == nullptr) return;
  field->FieldType = fieldType;
  field->Instruction = std::move(instruction);
}

bool TEditServices::FormatNotes(TDoc& doc, int32_t first, int32_t last,
                                const TNoteSettings& footnotes, const TNoteSettings& endnotes,
                                const TCharFormat& footnoteMark, const TCharFormat& endnoteMark) {
  FormatNoteSettings(doc, first, last, footnotes, endnotes);
  doc.FootnoteMarkFormat = footnoteMark;
  doc.EndnoteMarkFormat = endnoteMark;
  return true;
}

}  // namespace qv
