#pragma once
// What the foundation works out once when the program starts: the program's own file and where it
// lies, whether it runs as a portable copy, and the flag that tells idle work that the program is
// still starting.
//
// The values are set before main runs (the start of this unit); StartFoundationUnit does the same
// work and may be called again at will: only its first call does anything.
#include <cstdint>
#include <string>

namespace qv {

// The executable (its full, long name), its folder (with a trailing "/") and the mount point of
// the drive it lies on ("" for the root file system).
extern std::string ProgramFileName;
extern std::string ProgramFolder;
extern std::string ProgramDrive;
// The executable lies on a removable drive: settings, data and fonts live beside it.
extern bool PortableMode;
// True from the program's start until the main window has handled its first posted message;
// idle work, timers and several handlers do nothing while it is set.
extern bool StartingUp;

void StartFoundationUnit();
// How many times StartFoundationUnit has been called (the first one did the work).
int32_t FoundationUnitStarts();

}  // namespace qv
