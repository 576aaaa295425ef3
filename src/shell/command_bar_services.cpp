#include "shell/command_bar_services.h"

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterCommandBarServices(std::unique_ptr<TCommandBarServices> services) {
  RegisterService(std::move(services));
}

TCommandBarServices& CommandBarServices() { return Service<TCommandBarServices>(); }

}  // namespace qv
