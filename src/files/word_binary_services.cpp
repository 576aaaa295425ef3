#include "files/word_binary_services.h"

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterWordBinaryServices(std::unique_ptr<TWordBinaryServices> services) {
  RegisterService(std::move(services));
}

TWordBinaryServices& WordBinaryServices() { return Service<TWordBinaryServices>(); }

}  // namespace qv
