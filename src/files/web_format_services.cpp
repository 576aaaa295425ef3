#include "files/web_format_services.h"

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterWebFormatServices(std::unique_ptr<TWebFormatServices> services) {
  RegisterService(std::move(services));
}

TWebFormatServices& WebFormatServices() { return Service<TWebFormatServices>(); }

}  // namespace qv
