// The registries of the services the interface toolkit asks of higher subsystems, with their
// least-behaviour defaults.
#include "foundation/ui/toolkit_services.h"

#include <utility>

#include "foundation/ui/command_services.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/sound_services.h"
#include "platform/controls/control.h"
#include "platform/win/window_system.h"

namespace qv {

bool ToolbarCustomizing = false;

namespace {

plat::Rect ScreenOrDefault() {
  if (plat::IsWindowSystemStarted()) return plat::GetScreenRect();
  return {0, 0, 1024, 768};
}

}  // namespace

void RegisterHotKeyService(std::unique_ptr<THotKeyService> service) {
  RegisterService(std::move(service));
}
THotKeyService& HotKeyService() { return Service<THotKeyService>(); }

void RegisterSoundService(std::unique_ptr<TSoundService> service) {
  RegisterService(std::move(service));
}
TSoundService& SoundService() { return Service<TSoundService>(); }

void RegisterCommandService(std::unique_ptr<TCommandService> service) {
  RegisterService(std::move(service));
}
TCommandService& CommandService() { return Service<TCommandService>(); }

bool TCommandService::HandleClipboardMessage(uint32_t msg, intptr_t& result) {
  int32_t id = 0;
  switch (msg) {
    case plat::WM_CUT: id = 3420; break;
    case plat::WM_COPY: id = 3340; break;
    case plat::WM_PASTE: id = 3360; break;
    case plat::WM_CLEAR: id = 3200; break;
    default: return false;
  }
  Execute(id);
  result = 1;
  return true;
}

void RegisterToolkitServices(std::unique_ptr<TToolkitServices> services) {
  RegisterService(std::move(services));
}
TToolkitServices& ToolkitServices() { return Service<TToolkitServices>(); }

plat::Rect TToolkitServices::MainMonitorRect() {
  plat::Rect r = ScreenOrDefault();
  return {0, 0, r.Width(), r.Height()};
}

plat::Rect TToolkitServices::WorkArea() { return ScreenOrDefault(); }

}  // namespace qv
