#include "document/selection_services.h"

#include <algorithm>
#include <utility>

#include "document/doc.h"
#include "foundation/base/service_slot.h"

namespace qv {

void RegisterSelectionServices(std::unique_ptr<TSelectionServices> services) {
  RegisterService(std::move(services));
}

TSelectionServices& SelectionServices() { return Service<TSelectionServices>(); }

void TSelectionServices::SetCaret(TDoc& doc, int32_t par, int32_t offset, int32_t /*flags*/,
                                  int32_t lineHint) {
  if (doc.ParCount() == 0) return;
  par = std::clamp(par, 0, doc.ParCount() - 1);
  offset = std::clamp(offset, 0, doc.Par(par)->CharCount());
  MakePosition(par, offset, doc.Caret);
  doc.Caret.Line = lineHint;
}

plat::Point TSelectionServices::CalcScrollToRect(TDoc& doc, const plat::Rect& /*rect*/,
                                                 int32_t /*mode*/) {
  const plat::Rect view = ViewRect(doc);
  return {view.left, view.top};
}

bool TSelectionServices::FindCollapsedRange(TDoc& doc, int32_t par, int32_t& first,
                                            int32_t& last) {
  for (const auto& [a, b] : CollapsedRanges(doc)) {
    if (par >= a && par <= b) {
      first = a;
      last = b;
      return true;
    }
  }
  first = last = -1;
  return false;
}

void TSelectionServices::GetSpotlightRange(TDoc& doc, TDocRange& out) {
  if (doc.HasSelection()) {
    out = doc.Selection->GetExtent();
    return;
  }
  MakeCollapsedRange(doc.Caret.Par, doc.Caret.Offset, out);
}

}  // namespace qv
