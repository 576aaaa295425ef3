#include "files/file_services.h"

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterFileServices(std::unique_ptr<TFileServices> services) {
  RegisterService(std::move(services));
}

TFileServices& FileServices() { return Service<TFileServices>(); }

}  // namespace qv
