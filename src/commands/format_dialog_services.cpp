#include "commands/format_dialog_services.h"

#include <utility>

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterFormatDialogServices(std::unique_ptr<TFormatDialogServices> services) { RegisterService(std::move(services)); }
TFormatDialogServices& FormatDialogServices() { return Service<TFormatDialogServices>(); }

}  // namespace qv
