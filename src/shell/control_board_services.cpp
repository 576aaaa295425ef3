#include "shell/control_board_services.h"

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterControlBoardServices(std::unique_ptr<TControlBoardServices> services) {
  RegisterService(std::move(services));
}

TControlBoardServices& ControlBoardServices() { return Service<TControlBoardServices>(); }

}  // namespace qv
