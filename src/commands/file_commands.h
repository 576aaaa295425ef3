#pragma once
// The handler of the file commands (ids 100-2999): new, open, close, save in its forms, print
// preview and the recent-documents list. What the documents' dispatcher, dialogs and sounds do
// is asked of the command environment.
#include <memory>

#include "commands/command_manager.h"

namespace qv {

class TFileCommands : public TCommandHandler {
 public:
  void Execute(TCommandManager& manager, int32_t id) override;

 private:
  void Open(TCommandManager& manager);
  void CloseAll(TCommandManager& manager, bool keepTarget);
  bool SaveAll();
};

// Registers the handler of the file range with the command manager.
void RegisterFileCommands(TCommandManager& manager);

}  // namespace qv
