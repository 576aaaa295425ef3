#pragma once
// The main window's status bar asks the shell what it shows: the dispatcher's active document,
// the start-up state, the main window's state and its popup menus.
#include <memory>

#include "shell/status_bar.h"

namespace qv {

std::unique_ptr<TStatusBarSite> MakeMainStatusBarSite();

}  // namespace qv
