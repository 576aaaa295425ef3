#pragma once
// Factories of the two backends.
#include <memory>

#include "platform/win/backend.h"

namespace plat {

std::unique_ptr<Backend> MakeHeadlessBackend();
// Throws WindowSystemError when the display cannot be opened.
std::unique_ptr<Backend> MakeX11Backend();

}  // namespace plat
