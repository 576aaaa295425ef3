// The names and long hints of the commands in the running program, read from the resources it
// carries.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "commands/command_ids.h"
#include "commands/command_manager.h"
#include "shell/main_form.h"
#include "shell/startup.h"

using namespace qv;

TEST(ProgramCommandNames, EveryCommandOfTheMenuBarHasANameAndTheMenuCommandsTheirHints) {
  TStartupOptions options;
  options.Headless = true;
  TProgram program(WithProgramServices(options));
  ASSERT_TRUE(program.Start());
  ASSERT_NE(program.MainForm(), nullptr);
  TCommandManager& manager = GetCommandManager();
  std::vector<int32_t> unnamed;
  size_t commands = 0;
  std::function<void(const plat::MenuItem&)> walk = [&](const plat::MenuItem& parent) {
    for (int32_t i = 0; i < parent.Count(); ++i) {
      const plat::MenuItem& item = parent[i];
      const int32_t id = int32_t(item.Tag);
      // Run-time list entries carry minus their index; markers and separators no command.
      const bool marker = id == cmd::FavouritesListStart || id == cmd::FavouritesListEnd ||
                          id == cmd::RecentListStart || id == cmd::RecentListEnd ||
                          id == cmd::WindowListStart || id == cmd::WindowListEnd;
      if (id > 1 && !marker && !item.IsSeparator()) {
        ++commands;
        if (manager.GetCommandName(id, false, false, true).empty()) unnamed.push_back(id);
      }
      walk(item);
    }
  };
  walk(program.MainForm()->MainMenu().Items());
  EXPECT_GT(commands, 300u);
  EXPECT_TRUE(unnamed.empty()) << ::testing::PrintToString(unnamed);

  EXPECT_EQ(manager.GetCommandName(180), "Save document");
  int32_t helpId = 0;
  const std::string hint = manager.GetExtHint(180, helpId);
  EXPECT_EQ(hint.rfind("^bSave document^d", 0), 0u) << hint;
  EXPECT_NE(hint.find("^p^pSaves the active document to its file."), std::string::npos) << hint;
  EXPECT_NE(helpId, 0);
  program.ShutDown();
}
