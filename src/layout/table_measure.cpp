#include "layout/table_measure.h"

#include <algorithm>

#include "document/doc.h"
#include "document/line.h"
#include "layout/box.h"
#include "layout/page.h"

namespace qv {

namespace {

void CollectTableBoxes(TBox& box, int32_t firstPar, std::vector<TTableBox*>& out) {
  if (box.Kind == TBoxKind::Table) {
    auto* table = static_cast<TTableBox*>(&box);
    if (table->FirstPar == firstPar) out.push_back(table);
    return;
  }
  for (auto& child : box.Children) CollectTableBoxes(*child, firstPar, out);
}

int32_t LineHeights(const TBox& box) {
  int32_t sum = 0;
  for (const TLine* line : box.Lines)
    if (line != nullptr) sum += line->Height;
  for (const auto& child : box.Children) sum += LineHeights(*child);
  return sum;
}

}  // namespace

int32_t LaidOutCellHeight(TDoc& doc, int32_t par) {
  if (par < 0 || par >= doc.ParCount()) return -1;
  const TPar& p = *doc.Par(par);
  if (p.Lines.empty() || p.Lines.front()->Box == nullptr) return -1;
  const TCellBox* cell = GetCellBox(p.Lines.front()->Box);
  return cell == nullptr ? -1 : cell->Height();
}

std::vector<TRowMeasure> MeasureLaidOutRows(TDoc& doc, int32_t tableFirstPar,
                                            const std::vector<TTableRow*>& rows) {
  std::vector<TRowMeasure> out(rows.size());
  std::vector<TTableBox*> tables;
  bool started = false;
  for (TPage* page : doc.Pages) {
    const size_t before = tables.size();
    CollectTableBoxes(*page, tableFirstPar, tables);
    if (tables.size() == before && started) break;
    started |= tables.size() > before;
  }
  for (TTableBox* table : tables) {
    std::vector<int32_t> tallest(rows.size(), 0), content(rows.size(), 0);
    bool counted = false;
    const auto& children = table->Children;
    for (size_t i = children.size(); i-- > 0;) {
      if (children[i]->Kind != TBoxKind::Cell) continue;
      const auto& cell = static_cast<const TCellBox&>(*children[i]);
      const auto it = std::find(rows.begin(), rows.end(), cell.Row);
      if (it == rows.end() || cell.HasFlag(TBox::RowEndHolder) || cell.CellIndex < 0) continue;
      const bool merged = cell.Cell != nullptr && cell.Cell->Merged != 0;
      if (merged) {
        const bool firstCellBox = std::none_of(children.begin(), children.begin() + static_cast<ptrdiff_t>(i),
                                               [](const TBoxRef& b) { return b->Kind == TBoxKind::Cell; });
        const bool lone = cell.Cell->MergeStart != 0 && firstCellBox && !counted && tables.size() == 1;
        if (!lone) continue;
      }
      counted = true;
      const size_t r = static_cast<size_t>(it - rows.begin());
      tallest[r] = std::max(tallest[r], cell.Height());
      content[r] = std::max(content[r], LineHeights(cell));
    }
    for (size_t r = 0; r < rows.size(); ++r) {
      if (tallest[r] <= 0) continue;
      out[r].Height += tallest[r];
      out[r].ContentHeight += content[r];
      ++out[r].Pieces;
    }
  }
  return out;
}

}  // namespace qv
