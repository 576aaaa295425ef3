#include "shell/proofing_services.h"

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterProofingServices(std::unique_ptr<TProofingServices> services) {
  RegisterService(std::move(services));
}

TProofingServices& ProofingServices() { return Service<TProofingServices>(); }

}  // namespace qv
