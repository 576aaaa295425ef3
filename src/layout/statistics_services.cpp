#include "layout/statistics_services.h"

#include <vector>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/doc_statistics.h"
#include "document/page_numbering.h"

namespace qv {

namespace {

class TLayoutStatisticsServices : public TStatisticsServices {
 public:
  std::vector<TDocRange> SelectedRanges(TDoc& doc) override {
    std::vector<TDocRange> ranges;
    if (!doc.HasSelection()) return ranges;
    for (int32_t i = 0; i < doc.Selection->Count(); ++i) ranges.push_back(*doc.Selection->GetRange(i));
    return ranges;
  }
  void PaginateAll(TDoc& doc) override { doc.PaginateAll(); }
  int32_t PageOfPosition(TDoc& doc, const TDocPosition& place) override {
    if (place.Par < 0 || place.Par >= doc.ParCount()) return -1;
    TDocPosition p = place;
    doc.EnsureLaidOut(p, 0);
    return PageIndexOfChar(doc, p.Par, p.Offset);
  }
};

}  // namespace

std::unique_ptr<TStatisticsServices> MakeLayoutStatisticsServices() {
  return std::make_unique<TLayoutStatisticsServices>();
}

}  // namespace qv
