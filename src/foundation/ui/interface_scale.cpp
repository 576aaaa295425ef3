#include "foundation/ui/interface_scale.h"

#include "foundation/base/units.h"
#include "platform/controls/control_look.h"

namespace qv {

int32_t InterfaceScale() { return plat::InterfaceScale(); }

int32_t ScaleUI(int32_t n) {
  const int32_t scale = InterfaceScale();
  return scale <= 13 ? n : MulDiv(n, scale, 13);
}

int32_t SmallControlSize() { return ScaleUI(17); }

}  // namespace qv
