// The View and Window menus of the running program act on its document and its main window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "../editing/edit_test_support.h"
#include "commands/command_manager.h"
#include "document/doc.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/menu_builder.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_window_link.h"
#include "shell/main_form.h"
#include "shell/startup.h"
#include "shell/status_bar.h"

using namespace qv;

TEST(ProgramViewMenu, ChoosingDraftAndStatusBarChangesTheDocumentAndTheWindow) {
  TStartupOptions options;
  options.Headless = true;
  TProgram program(WithProgramServices(options));
  ASSERT_TRUE(program.Start());
  TMainForm* main = program.MainForm();
  ASSERT_NE(main, nullptr);
  TDoc* doc = GetActiveDoc();
  ASSERT_NE(doc, nullptr);
  plat::MainMenu& bar = main->MainMenu();
  plat::MenuItem* draft = FindMenuItem(bar, 8100);
  plat::MenuItem* layout = FindMenuItem(bar, 8101);
  plat::MenuItem* status = FindMenuItem(bar, 6140);
  ASSERT_NE(draft, nullptr);
  ASSERT_NE(layout, nullptr);
  ASSERT_NE(status, nullptr);
  draft->Click();
  EXPECT_EQ(doc->ViewMode, vmDraft);
  layout->Click();
  EXPECT_EQ(doc->ViewMode, vmPrintLayout);

  // Headers and footers edited in place: the header, then the page's footer and back.
  GetCommandManager().Execute(7200);
  TField* header = doc->HeaderFooterInPlace;
  ASSERT_NE(header, nullptr);
  GetCommandManager().Execute(7350);
  EXPECT_NE(doc->HeaderFooterInPlace, nullptr);
  EXPECT_NE(doc->HeaderFooterInPlace, header);
  GetCommandManager().Execute(7350);
  EXPECT_EQ(doc->HeaderFooterInPlace, header);
  GetCommandManager().Execute(7410);
  EXPECT_EQ(doc->HeaderFooterInPlace, nullptr);

  const bool shown = GetOptionsHolder().Settings.NormalView.StatusBar;
  status->Click();
  EXPECT_NE(GetOptionsHolder().Settings.NormalView.StatusBar, shown);
  EXPECT_EQ(main->StatusBar().Visible(), !shown);
  status->Click();
  EXPECT_EQ(main->StatusBar().Visible(), shown);

  // Full Screen and back: the document window gets its state back.
  TDocWindowLink* window = GetDocDispatcher()->WindowOf(doc);
  ASSERT_NE(window, nullptr);
  GetCommandManager().Execute(90160);
  ASSERT_EQ(window->WindowState(), 0);
  GetCommandManager().Execute(7000);
  EXPECT_TRUE(main->FullScreen);
  EXPECT_EQ(window->WindowState(), 2);
  GetCommandManager().Execute(7000);
  EXPECT_FALSE(main->FullScreen);
  EXPECT_EQ(window->WindowState(), 0);
  GetCommandManager().Execute(90162);

  // Minimize all, then undo it: the window is back as it was.
  const int32_t state = window->WindowState();
  GetCommandManager().Execute(90060);
  EXPECT_EQ(window->WindowState(), 1);
  GetCommandManager().Execute(90080);
  EXPECT_EQ(window->WindowState(), state);
  program.ShutDown();
}

TEST(ProgramViewMenu, HidingTheWhiteSpaceKeepsTheLastVisiblePageInPlace) {
  TStartupOptions options;
  options.Headless = true;
  TProgram program(WithProgramServices(options));
  ASSERT_TRUE(program.Start());
  TDoc* doc = GetActiveDoc();
  ASSERT_NE(doc, nullptr);
  SetMainText(*doc, std::vector<std::string>(400, "A line of text that runs on over the page and more."));
  doc->RebuildLayout();
  doc->PaginateAll();
  ASSERT_GT(doc->PageCount(), 4);
  plat::Rect third{};
  doc->GetPageRect(3, third);
  doc->ScrollToY(third.top + 20);
  const int32_t page = doc->LastVisiblePage();
  ASSERT_GT(page, 0);
  plat::Rect before{};
  doc->GetPageRect(page, before);
  const int32_t onScreen = before.top - doc->View.ScrollPos.y;
  const bool hidden = (GetOptions().View.Flags & 0x8) != 0;
  GetCommandManager().Execute(8110);
  EXPECT_NE((GetOptions().View.Flags & 0x8) != 0, hidden);
  plat::Rect after{};
  doc->GetPageRect(page, after);
  EXPECT_NE(after.top, before.top) << "the pages moved";
  EXPECT_EQ(after.top - doc->View.ScrollPos.y, onScreen);
  GetCommandManager().Execute(8110);
  program.ShutDown();
}
