#include "shell/startup_state.h"

#include "foundation/ui/application.h"

namespace qv {

bool DriveLeaving = false;
bool DriveGone = false;
bool RelaunchPending = false;
std::u16string BaseCaption;
bool HasSavedWindowState = false;
plat::WindowState SavedWindowState = plat::WindowState::Normal;
bool EmergencyHandling = false;

bool AppTerminating() { return !AppExists() || GetApp().Terminated; }

void ResetStartupState() {
  DriveLeaving = DriveGone = RelaunchPending = false;
  BaseCaption.clear();
  HasSavedWindowState = false;
  SavedWindowState = plat::WindowState::Normal;
  EmergencyHandling = false;
}

}  // namespace qv
