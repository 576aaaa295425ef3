#include "foundation/ui/menu_resource_services.h"

#include "foundation/base/service_slot.h"
#include "foundation/ui/menu_resources.h"

namespace qv {

std::string TMenuResourceService::MenuResource(const std::string& name) {
  return BuiltInMenuResource(name);
}

void RegisterMenuResourceService(std::unique_ptr<TMenuResourceService> service) {
  RegisterService(std::move(service));
}

TMenuResourceService& MenuResourceService() { return Service<TMenuResourceService>(); }

}  // namespace qv
