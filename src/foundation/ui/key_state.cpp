#include "foundation/ui/key_state.h"

#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace qv {

bool IsKeyDown(uint8_t vk) { return (plat::GetKeyState(vk) & 0x8000) != 0; }

plat::ShiftState GetAsyncShiftState() {
  auto down = [](uint8_t vk) { return (plat::GetAsyncKeyState(vk) & 0x8000) != 0; };
  plat::ShiftState s = 0;
  if (down(plat::VK_SHIFT)) s |= plat::ssShift;
  if (down(plat::VK_CONTROL)) s |= plat::ssCtrl;
  if (down(plat::VK_LBUTTON)) s |= plat::ssLeft;
  if (down(plat::VK_RBUTTON)) s |= plat::ssRight;
  return s;
}

}  // namespace qv
