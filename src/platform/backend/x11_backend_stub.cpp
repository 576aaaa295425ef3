// Placeholder until the X11 backend is in: refuses to start.
#include "platform/backend/backends.h"
#include "platform/win/window_system.h"

namespace plat {
std::unique_ptr<Backend> MakeX11Backend() {
  throw WindowSystemError("the X11 backend is not available");
}
}  // namespace plat
