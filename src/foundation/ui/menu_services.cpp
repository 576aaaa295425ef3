#include "foundation/ui/menu_services.h"

#include "foundation/base/service_slot.h"
#include "platform/controls/control_look.h"

namespace qv {

TMenuColors TMenuServices::MenuColors() {
  const plat::LookColors& look = plat::Look();
  return {look.Window, look.Text, look.GrayText, look.Highlight, look.HighlightText};
}

void RegisterMenuServices(std::unique_ptr<TMenuServices> service) {
  RegisterService(std::move(service));
}

TMenuServices& MenuServices() { return Service<TMenuServices>(); }

}  // namespace qv
