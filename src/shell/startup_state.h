#pragma once
// What the start-up leaves for the rest of the run, beside the command line's files and mode
// (foundation/system/running_instance.h) and the starting flag (foundation/system/unit_startup.h).
#include <cstdint>
#include <string>

#include "platform/win/window.h"

namespace qv {

// The removable drive of a portable copy is being taken away: the program closes without
// asking, and nothing that would touch the drive runs at exit.
extern bool DriveLeaving;
// The drive is gone already: no settings are saved and no temporary file is deleted either.
extern bool DriveGone;
// The program is to start again elevated at exit (with the switch string).
extern bool RelaunchPending;
// The main window's caption at the end of the start-up; document and project captions are
// built from it.
extern std::u16string BaseCaption;
// With "PrintTo": the main window's state before it was minimised, the state written at exit.
extern bool HasSavedWindowState;
extern plat::WindowState SavedWindowState;
// An exception during an edit is being handled (the document closes after the emergency save):
// timers, idle work and the windows' handlers do nothing meanwhile.
extern bool EmergencyHandling;

// The application has been told to terminate (or there is none).
bool AppTerminating();

// Puts every value back as at the start of a run (tests run the program more than once).
void ResetStartupState();

}  // namespace qv
