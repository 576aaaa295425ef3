#include "files/output/save_progress_services.h"

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterSaveProgressServices(std::unique_ptr<TSaveProgressServices> service) {
  RegisterService(std::move(service));
}

TSaveProgressServices& SaveProgressServices() { return Service<TSaveProgressServices>(); }

}  // namespace qv
