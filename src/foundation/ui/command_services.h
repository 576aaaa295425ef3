#pragma once
// What the interface toolkit asks of the command manager, which lives in a higher subsystem. The
// default service runs no command; the command manager registers itself at start-up.
#include <cstdint>
#include <memory>

namespace plat {
class Menu;
}

namespace qv {

class TCommandService {
 public:
  virtual ~TCommandService() = default;
  // Runs a numbered command.
  virtual void Execute(int32_t commandId) {}
  // WM_CUT, WM_COPY, WM_PASTE and WM_CLEAR become the commands Cut (3420), Copy (3340), Paste
  // (3360) and Delete (3200), run at once, with result 1; true when the message was one of them.
  virtual bool HandleClipboardMessage(uint32_t msg, intptr_t& result);
  // Sets the enabled and checked state of every item of a menu tree from the commands' states.
  virtual void UpdateMenuState(plat::Menu& menu) {}
};

// Registers the command manager (null restores the default).
void RegisterCommandService(std::unique_ptr<TCommandService> service);
TCommandService& CommandService();

}  // namespace qv
