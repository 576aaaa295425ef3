#include "commands/web_export_services.h"

#include <utility>

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterWebExportServices(std::unique_ptr<TWebExportServices> services) { RegisterService(std::move(services)); }
TWebExportServices& WebExportServices() { return Service<TWebExportServices>(); }

}  // namespace qv
