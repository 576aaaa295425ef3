#include "foundation/system/unit_startup.h"

#include "foundation/system/paths.h"
#include "platform/system/drives.h"
#include "platform/system/folders.h"

namespace qv {

std::string ProgramFileName;
std::string ProgramFolder;
std::string ProgramDrive;
bool PortableMode = false;
bool StartingUp = false;

namespace {

int32_t gStarts = 0;

std::string DriveOfProgram(const std::string& file) {
  const std::string mount = plat::GetDriveInfo(file).MountPoint;
  return mount == "/" ? std::string() : mount;
}

// The unit starts with the program, before any code that reads these values can run.
const bool kStartedWithTheProgram = (StartFoundationUnit(), true);

}  // namespace

void StartFoundationUnit() {
  if (gStarts++ > 0) return;
  ProgramFileName = plat::ProgramFile();
  ProgramFolder = IncludeTrailingPathDelimiter(plat::ProgramFolder());
  ProgramDrive = DriveOfProgram(ProgramFileName);
  PortableMode = IsRemovableDrive(ProgramFileName);
  StartingUp = true;
}

int32_t FoundationUnitStarts() { return gStarts; }

}  // namespace qv
