// The one-pass interface update: code that changes what the interface shows only asks for it
// (TMainForm::RequestInterfaceUpdate); the idle hook, or a caller that needs the interface right
// at once, runs it here. It refreshes the menus, the command bars and the document bar, the side
// panes and the status bar's panels in one pass.
#include "commands/command_manager.h"
#include "document/doc.h"
#include "platform/controls/menu_bar.h"
#include "shell/command_bar_services.h"
#include "shell/control_board_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/main_form.h"
#include "shell/startup_state.h"

namespace qv {

namespace {

// Holds the update-running flag for the extent of a pass, also when it fails.
class TUpdateRunning {
 public:
  explicit TUpdateRunning(bool& flag) : flag_(flag) { flag_ = true; }
  ~TUpdateRunning() { flag_ = false; }
  TUpdateRunning(const TUpdateRunning&) = delete;
  TUpdateRunning& operator=(const TUpdateRunning&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void TMainForm::UpdateInterfaceState() {
  if (UpdateRunning || AppTerminating() || EmergencyHandling || UpdateBlocked) return;
  TUpdateRunning running(UpdateRunning);
  UpdatePending = false;
  TDoc* active = GetActiveDoc();
  if (active != nullptr) active->UpdateSelectedFieldLists(255);
  TCommandTargetScope target(active);
  TCommandManager& commands = GetCommandManager();
  commands.UpdateMenuState(mainMenu_);
  if (commands.Flags & TCommandManager::cmRecentStale) commands.RebuildRecentDocsMenu(mainMenu_);
  if (commands.Flags & TCommandManager::cmWindowsStale) commands.RebuildWindowListMenu(mainMenu_);
  menuBar_->MenuChanged();
  CommandBarServices().RefreshBars(active);
  ControlBoardServices().UpdateControlBoards(active);
  UpdateStatusTexts();
}

}  // namespace qv
