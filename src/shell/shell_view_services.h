#pragma once
// The view, window and help commands' services of the shell: the main window's bars and Full
// Screen, and the document windows in the document area (commands/view_command_services.h).
#include <memory>

#include "commands/view_command_services.h"

namespace qv {

std::unique_ptr<TViewCommandServices> MakeShellViewCommandServices();

}  // namespace qv
