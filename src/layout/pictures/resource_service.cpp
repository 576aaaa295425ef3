#include "layout/pictures/resource_service.h"

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterResourceService(std::unique_ptr<TResourceService> service) {
  RegisterService(std::move(service));
}

TResourceService& ResourceService() { return Service<TResourceService>(); }

}  // namespace qv
