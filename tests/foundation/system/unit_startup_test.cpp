#include "foundation/system/unit_startup.h"

#include <gtest/gtest.h>

#include "foundation/system/paths.h"
#include "platform/system/folders.h"

using namespace qv;

namespace {

TEST(UnitStartup, TheValuesAreSetWhenTheProgramStarts) {
  EXPECT_GE(FoundationUnitStarts(), 1);
  EXPECT_EQ(ProgramFileName, plat::ProgramFile());
  EXPECT_EQ(ProgramFolder, ExtractFilePath(ProgramFileName));
  EXPECT_FALSE(PortableMode);  // the test binary does not run from a removable drive
}

TEST(UnitStartup, ASecondStartChangesNothing) {
  const std::string folder = ProgramFolder;
  const bool startingUp = StartingUp;
  const int32_t starts = FoundationUnitStarts();
  StartingUp = false;
  ProgramFolder = "/elsewhere/";
  StartFoundationUnit();
  EXPECT_FALSE(StartingUp);
  EXPECT_EQ(ProgramFolder, "/elsewhere/");
  EXPECT_EQ(FoundationUnitStarts(), starts + 1);
  ProgramFolder = folder;
  StartingUp = startingUp;
}

}  // namespace
