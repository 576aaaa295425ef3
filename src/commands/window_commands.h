#pragma once
// The handlers of the window range (ids 90000-92999: arranging, minimizing and activating the
// document windows, the side-by-side view) and of the help range (ids 100000-102999: help pages,
// the maker's web pages, the update check and the About box).
#include <cstdint>
#include <string>

#include "commands/command_manager.h"

namespace qv {

class TWindowCommands : public TCommandHandler {
 public:
  void Execute(TCommandManager& manager, int32_t id) override;
};

class THelpCommands : public TCommandHandler {
 public:
  void Execute(TCommandManager& manager, int32_t id) override;
};

void RegisterWindowCommands(TCommandManager& manager);

// The web address a help-range command opens (the support page, 101120-101126); empty for
// other ids.
std::string WebAddressOfCommand(int32_t id);

}  // namespace qv
