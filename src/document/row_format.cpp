// Row formatting: the one way row and cell properties change. Callers build new data blocks and
// hand them over; the blocks are snapped to the table's column edges and recorded as one undo
// record, so undo and redo restore exactly the values that changed.
#include <algorithm>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/table_edit_helpers.h"
#include "document/table_fitting.h"

namespace qv {

namespace {

// Cuts the row-end paragraphs of the table out of the fragment: for each row, from the end of
// its last cell paragraph to the end of its row-end paragraph.
void ExcludeRowEnds(TDoc& doc, TCompoundFragment& fragment, const TDocRange& table) {
  TFragmentRef ends = AcquireFragment();
  bool any = false;
  for (int32_t p = table.Start.Par; p <= table.End.Par; ++p) {
    if (!doc.IsRowEndPar(p)) continue;
    TDocRange r;
    if (p > table.Start.Par)
      MakeRange(p - 1, doc.Par(p - 1)->CharCount(), p, 1, r);
    else
      MakeRange(p, 0, p, 1, r);
    if (!any)
      *ends->GetRange(0) = r;
    else
      ends->InsertRange(ends->Count(), r);
    any = true;
  }
  if (any) fragment.Exclude(*ends);
}

void AlignParagraphs(TDoc& doc, int32_t tablePar, int32_t alignment) {
  TParFormat f = UnsetParFormat;
  f.Alignment = static_cast<int8_t>(alignment);
  TFragmentRef targets;
  if (doc.HasSelection()) {
    targets = CloneFragment(*doc.Selection);
    TDocRange table;
    doc.GetTableRange(tablePar, table);
    ExcludeRowEnds(doc, *targets, table);
  } else {
    TDocRange cell;
    doc.GetCellRange(doc.Caret.Par, cell);
    targets = AcquireFragment();
    *targets->GetRange(0) = cell;
  }
  for (int32_t i = 0; i < targets->Count(); ++i) {
    const TDocRange& r = *targets->GetRange(i);
    if (IsRangeEmpty(r)) continue;
    int32_t last = r.End.Par;
    if (r.End.Offset == 0 && last > r.Start.Par) --last;
    tables::FormatPars(doc, r.Start.Par, last, f);
  }
}

}  // namespace

bool TDoc::FormatRows(TFormatRowsRequest& request) {
  const size_t n = std::min(request.Rows.size(), request.NewData.size());
  request.Rows.resize(n);
  request.NewData.resize(n);
  // A row named twice keeps its last block.
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i + 1; j < n; ++j)
      if (request.Rows[j] == request.Rows[i]) request.Rows[i] = nullptr;
  if (request.ParAlignment != -1) AlignParagraphs(*this, request.FirstPar, request.ParAlignment);
  if (tables::InTable(*this, request.FirstPar)) {
    const std::vector<int32_t> edges = GetTableColumnEdges(request.FirstPar, nullptr, true);
    for (TTableRowData& d : request.NewData) {
      d.Left = SnapToListedValue(d.Left, edges);
      const int32_t cells = tables::CellCountOf(d);
      for (int32_t i = 0; i < cells; ++i) {
        TTableCell& c = d.Cells[static_cast<size_t>(i)];
        if (c.Right != TableValueUnset) c.Right = SnapToListedValue(c.Right, edges);
      }
    }
  }
  for (size_t i = 0; i < n; ++i) {
    if (request.Rows[i] == nullptr) continue;
    // Layout keeps these; a request never changes them.
    request.NewData[i].PrevRow = request.Rows[i]->PrevRow;
    request.NewData[i].NextRow = request.Rows[i]->NextRow;
    request.NewData[i].LayoutChanged = request.Rows[i]->LayoutChanged;
  }
  const bool changed = EditServices().FormatRows(*this, request);
  ClearTableCache();
  if (changed) {
    tables::KeepPostSelection(*this);
    if (IsDocFlagSet(146)) NormalizeTable(request.FirstPar);
  }
  return changed;
}

bool TDoc::ApplyRowData(TTableRow* row, int32_t par, const TTableRowData& data) {
  if (row == nullptr) return false;
  TFormatRowsRequest request;
  request.Rows.push_back(row);
  request.NewData.push_back(data);
  request.FirstPar = par;
  return FormatRows(request);
}

}  // namespace qv
