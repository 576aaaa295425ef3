#include "shell/document_copy_services.h"

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterDocumentCopyServices(std::unique_ptr<TDocumentCopyServices> services) {
  RegisterService(std::move(services));
}

TDocumentCopyServices& DocumentCopyServices() { return Service<TDocumentCopyServices>(); }

}  // namespace qv
