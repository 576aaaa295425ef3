#include "shell/clipboard_manager_services.h"

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterClipboardManagerServices(std::unique_ptr<TClipboardManagerServices> services) {
  RegisterService(std::move(services));
}

TClipboardManagerServices& ClipboardManagerServices() {
  return Service<TClipboardManagerServices>();
}

}  // namespace qv
