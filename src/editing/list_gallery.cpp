#include "editing/list_gallery.h"

#include <algorithm>
#include <utility>

#include "document/auto_list.h"
#include "document/doc.h"
#include "foundation/base/service_slot.h"

namespace qv {

void RegisterListGalleryServices(std::unique_ptr<TListGalleryServices> services) {
  RegisterService(std::move(services));
}
TListGalleryServices& ListGalleryServices() { return Service<TListGalleryServices>(); }

std::unique_ptr<TAutoList> GetListGalleryList(uint8_t numberFormat) {
  std::unique_ptr<TDoc> gallery = ListGalleryServices().OpenGalleryDocument();
  if (!gallery) return nullptr;
  for (const auto& list : gallery->Lists) {
    if (list == nullptr || list->SingleLevel != 0) continue;
    if (!std::all_of(list->ListLevels.begin(), list->ListLevels.end(),
                     [numberFormat](const TListLevel& l) { return l.NumberFormat == numberFormat; }))
      continue;
    auto copy = std::make_unique<TAutoList>();
    copy->Assign(*list);
    // Picture bullets and styles belong to the gallery document.
    for (TListLevel& level : copy->ListLevels) {
      level.PictureBullet = nullptr;
      level.LinkedStyle = nullptr;
    }
    return copy;
  }
  return nullptr;
}

}  // namespace qv
