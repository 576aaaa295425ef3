// The menu bar of the running program, built from the resources the program carries.
#include <gtest/gtest.h>

#include <string>

#include "app/startup.h"
#include "foundation/ui/menu_builder.h"
#include "shell/main_form.h"
#include "shell/startup.h"

using namespace qv;

TEST(ProgramMenuBar, TheFileMenuOpensSavesAsAndClosesAll) {
  TStartupOptions options;
  options.Headless = true;
  TProgram program(WithProgramServices(options));
  ASSERT_TRUE(program.Start());
  ASSERT_NE(program.MainForm(), nullptr);
  plat::MainMenu& bar = program.MainForm()->MainMenu();
  ASSERT_GE(bar.Items().Count(), 9);
  plat::MenuItem& file = bar.Items()[0];
  EXPECT_EQ(file.Label(), u"&File");
  for (int32_t id : {120, 200, 160}) {
    plat::MenuItem* item = FindMenuItem(bar, id);
    ASSERT_NE(item, nullptr) << id;
    EXPECT_EQ(item->Parent(), &file) << id;
    EXPECT_TRUE(item->OnClick) << id;  // the command manager runs it
  }
  EXPECT_EQ(FindMenuItem(bar, 120)->Label(), u"&Open...");
  EXPECT_EQ(FindMenuItem(bar, 200)->Label(), u"Save &As...");
  EXPECT_EQ(FindMenuItem(bar, 160)->Label(), u"Close A&ll");
  // The popup menus of the command bar band, the document bar and the status bar are there too.
  for (const char* name : {"TBAR", "DOCBAR", "STATBAR"}) {
    plat::PopupMenu* menu = program.MainForm()->GetPopupMenu(name);
    ASSERT_NE(menu, nullptr) << name;
    EXPECT_GT(menu->Items().Count(), 0) << name;
  }
  program.ShutDown();
}
