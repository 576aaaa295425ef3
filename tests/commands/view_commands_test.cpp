// The view, window and help commands run through the command manager: the view options and bar
// settings flip (each mode keeping its own bars), the view modes, zooms and header and footer
// editing change the target document, the Control Board's panels move between the boards, and
// the window and help commands reach the shell's services. Refusals follow the enable rules.
#include <map>
#include <string>
#include <vector>

#include "commands/command_fixture.h"
#include "../editing/ops/ops_test_support.h"
#include "commands/command_options.h"
#include "commands/view_command_services.h"
#include "commands/view_commands.h"
#include "commands/window_commands.h"
#include "document/doc_view.h"
#include "foundation/ui/message_dlg_service.h"

using namespace qv;

namespace {

struct ViewEnvironment : TCommandEnvironment {
  TDoc* Active = nullptr;
  std::vector<TDoc*> Docs;
  bool Full = false;
  uint8_t Mode = 0;
  std::vector<int32_t> Sounds;
  int32_t Updates = 0;
  TDoc* ActiveDoc() override { return Active; }
  std::vector<TDoc*> OpenDocuments() override { return Docs; }
  int32_t OpenDocumentCount() override { return static_cast<int32_t>(Docs.size()); }
  bool FullScreen() override { return Full; }
  uint8_t MouseMode() override { return Mode; }
  void PlayEventSound(int32_t sound) override { Sounds.push_back(sound); }
  void RequestInterfaceUpdate() override { ++Updates; }
};

// Records what the commands ask of the shell.
struct RecViewServices : TViewCommandServices {
  std::vector<std::string> Calls;
  std::map<int32_t, int32_t> Rebuilt;  // board -> times
  TDoc* Chosen = nullptr;
  int32_t Choices = 0;
  TDoc* Pair[2] = {nullptr, nullptr};
  void Note(const std::string& call) { Calls.push_back(call); }
  void RebuildBars() override { Note("bars"); }
  void RearrangeAllViews() override { Note("arrange"); }
  void ToggleFullScreen() override { Note("fullscreen"); }
  void ApplyToolbarStyle(int32_t style) override { Note("style" + std::to_string(style)); }
  void ExecuteZoomDialog(TDoc&) override { Note("zoomdialog"); }
  void OpenVadureVavi() override { Note("vadurevavi"); }
  bool ControlBoardExists(int32_t board) override { return board == 0 || GetOptions().View.CBAlign == 2; }
  void RebuildControlBoard(int32_t board) override { ++Rebuilt[board]; }
  void DocumentMapCommand(int32_t id) override { Note("map" + std::to_string(id)); }
  void SplitCommand(TDoc&, int32_t id) override { Note("split" + std::to_string(id)); }
  void CascadeWindows() override { Note("cascade"); }
  void TileWindows(bool vertical) override { Note(vertical ? "tilev" : "tileh"); }
  bool MinimizeAllWindows() override {
    Note("minimize");
    return true;
  }
  void UndoMinimizeAll() override { Note("unminimize"); }
  void SetActiveWindowState(int32_t state) override { Note("state" + std::to_string(state)); }
  TDoc* ChooseOpenDocument(const std::string& caption, const TDoc*, int32_t) override {
    ++Choices;
    Note(caption);
    return Chosen;
  }
  void ActivateDocument(TDoc& doc) override { Note(doc.FileName); }
  void SetSideBySide(TDoc* first, TDoc* second) override {
    Pair[0] = first;
    Pair[1] = second;
  }
  bool SideBySideActive() override { return Pair[0] != nullptr; }
  bool ShowHelp(int32_t id) override {
    Note("help" + std::to_string(id));
    return true;
  }
};

struct RecBox : TMessageDlgService {
  std::vector<std::string> Texts;
  int32_t Answer = mrYes;
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return Answer;
  }
};

class ViewCommandsTest : public CommandTest {
 protected:
  void SetUp() override {
    RegisterViewCommands(Manager());
    RegisterWindowCommands(Manager());
    viewEnv->Active = &doc;
    viewEnv->Docs = {&doc};
    doc.InitNewDocument();
    doc.FileName = "one";
    SetMainText(doc, {"alpha beta", "gamma delta"});
  }

  ScopedService<TCommandEnvironment, ViewEnvironment> viewEnv;
  ScopedService<TViewCommandServices, RecViewServices> services;
  ScopedService<TMessageDlgService, RecBox> box;
  OpsScope ops;
  TDoc doc{true};
};

TEST_F(ViewCommandsTest, OptionCommandsFlipTheirOptionAndCheckMark) {
  struct Case {
    int32_t id;
    uint16_t bit;
  } cases[] = {{6000, opt::ViewSpecialSymbols}, {6020, opt::ViewMarginBorders},
               {8110, opt::ViewWhiteSpaceHidden}, {6510, opt::ViewHoverPreviews}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const bool before = ViewOption(c.bit);
    Manager().Execute(c.id);
    EXPECT_NE(ViewOption(c.bit), before);
    if (c.id != 6510) EXPECT_EQ(Manager().GetCheckState(c.id), before ? 0 : 1);
    Manager().Execute(c.id);
    EXPECT_EQ(ViewOption(c.bit), before);
  }
}

TEST_F(ViewCommandsTest, EachModeKeepsItsOwnBars) {
  THolderSettings& s = GetOptionsHolder().Settings;
  s.NormalView = {true, true, 3, true, 0};
  s.PreviewView = {true, false, 2, true, 3};
  doc.SetPrintPreview(true);
  ASSERT_TRUE(doc.PrintPreview);
  Manager().Execute(6140);  // the status bar needs no page layout
  EXPECT_FALSE(s.PreviewView.StatusBar);
  EXPECT_TRUE(s.NormalView.StatusBar);
  doc.SetPrintPreview(false);
  for (int32_t id : {6060, 6080, 6081, 6140}) Manager().Execute(id);
  EXPECT_FALSE(s.NormalView.Ruler);
  EXPECT_EQ(s.NormalView.ScrollBars, 0);
  EXPECT_FALSE(s.NormalView.StatusBar);
  EXPECT_TRUE(s.PreviewView.Ruler);
  EXPECT_EQ(Manager().GetCheckState(6060), 0);
  EXPECT_EQ(services->Calls,
            (std::vector<std::string>{"bars", "arrange", "arrange", "arrange", "bars"}));
}

TEST_F(ViewCommandsTest, BarCommandsSetTheBarsAndTheirChecks) {
  TViewOptions& v = GetOptions().View;
  v.Toolbars = 1;
  v.ToolbarStyle = 0;
  struct Case {
    int32_t id;
    const uint8_t* value;
    int32_t expected;
  } cases[] = {{6076, &v.ToolbarAlign, 1},  {6077, &v.ToolbarAlign, 2}, {6075, &v.ToolbarAlign, 0},
               {6121, &v.DocBarAlign, 1},   {6124, &v.DocBarAlign, 4},  {6079, &v.ToolbarStyle, 1},
               {6078, &v.ToolbarStyle, 0},  {6072, &v.Toolbars, 2},     {6070, &v.Toolbars, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Manager().Execute(c.id);
    EXPECT_EQ(*c.value, c.expected);
    EXPECT_EQ(Manager().GetCheckState(c.id), 1);
  }
  // With the toolbars hidden their position cannot be chosen.
  Manager().Execute(6076);
  EXPECT_EQ(v.ToolbarAlign, 0);
  const bool docBar = v.DocBar;
  Manager().Execute(6100);
  EXPECT_NE(v.DocBar, docBar);
  const uint16_t flags = v.Flags;
  Manager().Execute(6132);
  EXPECT_EQ(v.Flags ^ flags, opt::ViewDocBarSorted);
}

TEST_F(ViewCommandsTest, ViewModesAndZoomModesChangeTheTarget) {
  struct Case {
    int32_t id;
    uint8_t mode;
  } modes[] = {{8100, vmDraft}, {8102, vmDraftWrapped}, {8101, vmPrintLayout}};
  for (const Case& c : modes) {
    Manager().Execute(c.id);
    EXPECT_EQ(doc.ViewMode, c.mode);
    EXPECT_EQ(Manager().GetCheckState(c.id), 1);
  }
  for (int32_t id = 6170; id <= 6173; ++id) {
    Manager().Execute(id);
    EXPECT_EQ(doc.View.ZoomMode, id - 6169);
    EXPECT_EQ(Manager().GetCheckState(id), 1);
  }
  Manager().Execute(6174);
  EXPECT_EQ(doc.View.ZoomMode, zmFixed);
  EXPECT_EQ(doc.ZoomPercent, 100);
  EXPECT_EQ(Manager().GetCheckState(6174), 1);
  Manager().Execute(6196);
  EXPECT_EQ(doc.ZoomPercent, 110);
  Manager().Execute(6195);
  Manager().Execute(6195);
  EXPECT_EQ(doc.ZoomPercent, 90);
  // The zoom box's percentage is clamped to the zoom's range.
  const int32_t tiny = 3;
  Manager().ExecuteWithParam(kZoomParamCommand, &tiny);
  EXPECT_EQ(doc.ZoomPercent, 10);
  Manager().Execute(6160);  // no command bar to drop the list from: the dialog instead
  EXPECT_EQ(services->Calls.back(), "zoomdialog");
}

TEST_F(ViewCommandsTest, SpotlightTurnsOnAndOffOnceSetUp) {
  GetOptions().View.Spotlight = 0x40;
  Manager().Execute(8120);
  EXPECT_TRUE(doc.Spotlight);
  EXPECT_EQ(Manager().GetCheckState(8120), 1);
  Manager().Execute(8122);
  EXPECT_FALSE(doc.Spotlight);
  // Not set up yet: the settings dialog must agree first (the stand-in's answers Cancel).
  GetOptions().View.Spotlight = 0x8040;
  Manager().Execute(8120);
  EXPECT_FALSE(doc.Spotlight);
  // Closing a spotlight that is off is refused.
  Manager().Execute(8122);
  EXPECT_FALSE(doc.Spotlight);
}

TEST_F(ViewCommandsTest, RefusedCommandsChangeNothing) {
  doc.SetPrintPreview(true);
  const uint16_t flags = GetOptions().View.Flags;
  for (int32_t id : {8100, 8102, 6000, 8110}) Manager().Execute(id);
  EXPECT_EQ(doc.ViewMode, vmPrintLayout);
  EXPECT_EQ(GetOptions().View.Flags, flags);
  doc.SetPrintPreview(false);
  doc.SetViewMode(vmDraft);
  Manager().Execute(6170);  // page width needs the print layout
  EXPECT_EQ(doc.View.ZoomMode, zmFixed);
  // Without header editing the header commands are refused.
  const bool hidden = doc.IsDocFlagSet(125);
  Manager().Execute(7300);
  EXPECT_EQ(doc.IsDocFlagSet(125), hidden);
  // Without a document only the document-free commands run.
  viewEnv->Active = nullptr;
  Manager().Execute(8101);
  EXPECT_EQ(doc.ViewMode, vmDraft);
  Manager().Execute(7000);
  Manager().Execute(6400);
  EXPECT_EQ(services->Calls, (std::vector<std::string>{"fullscreen", "bars", "vadurevavi"}));
}

TEST_F(ViewCommandsTest, HeaderAndFooterEditingInPlace) {
  GetOptions().View.Flags |= opt::ViewWhiteSpaceHidden;
  Manager().Execute(7200);
  ASSERT_NE(doc.HeaderFooterInPlace, nullptr);
  EXPECT_FALSE(ViewOption(opt::ViewWhiteSpaceHidden)) << "the white space is shown first";
  EXPECT_EQ(Manager().GetCheckState(7200), 1);
  Manager().Execute(7300);
  EXPECT_TRUE(doc.IsDocFlagSet(125));
  EXPECT_EQ(Manager().GetCheckState(7300), 1);
  Manager().Execute(7300);
  EXPECT_FALSE(doc.IsDocFlagSet(125));
  Manager().Execute(7410);
  EXPECT_EQ(doc.HeaderFooterInPlace, nullptr);
}

TEST_F(ViewCommandsTest, ControlBoardPanelsMoveBetweenTheBoards) {
  TViewOptions& v = GetOptions().View;
  // Moving the last panel of the first board to the second: one board on the right.
  v.ControlBoard = true;
  v.CBAlign = 2;
  v.CBDisabledTabs = 0x7FF & ~0x3u;
  v.CBSecondPaneTabs = 0x2;
  v.CBActiveTab = 0;
  v.CBSecondTab = 1;
  Manager().Execute(6450);
  EXPECT_EQ(v.CBAlign, 1);
  EXPECT_EQ(v.CBSecondPaneTabs, 0u);
  EXPECT_EQ(v.CBActiveTab, 0);

  // Left and right with no hidden panels: five panels from the clip library down, skipping
  // the first board's current one.
  v.CBDisabledTabs = 0;
  v.CBActiveTab = 9;
  Manager().Execute(6507);
  EXPECT_EQ(v.CBAlign, 2);
  EXPECT_EQ(v.CBSecondPaneTabs, (1u << 10) | (1u << 8) | (1u << 7) | (1u << 6) | (1u << 5));
  EXPECT_EQ(Manager().GetCheckState(6507), 1);

  // Closing the first board keeps the second board's panels and current panel.
  v.CBSecondTab = 7;
  const uint32_t second = v.CBSecondPaneTabs;
  Manager().Execute(6501);
  EXPECT_EQ(v.CBAlign, 1);
  EXPECT_EQ(v.CBDisabledTabs, ~second & 0x7FF);
  EXPECT_EQ(v.CBActiveTab, 7);

  // A panel shown on the first board is hidden, and shown again.
  Manager().Execute(6427);
  EXPECT_NE(v.CBDisabledTabs & (1u << 7), 0u);
  Manager().Execute(6427);
  EXPECT_EQ(v.CBDisabledTabs & (1u << 7), 0u);
  EXPECT_EQ(v.CBActiveTab, 7);

  // A panel sent to the second board while there is one board opens the second board rather
  // than vanishing.
  v.CBAlign = 0;
  v.CBDisabledTabs = 0;
  v.CBSecondPaneTabs = 0;
  v.CBActiveTab = 4;
  Manager().Execute(6453);
  EXPECT_EQ(v.CBAlign, 2);
  EXPECT_EQ(v.CBSecondPaneTabs, 1u << 3);
  EXPECT_EQ(v.CBSecondTab, 3);
  EXPECT_EQ(v.CBActiveTab, 10);

  Manager().Execute(6523);
  EXPECT_EQ(v.DocMap_Lvls, 3);
  EXPECT_EQ(Manager().GetCheckState(6523), 1);
  Manager().Execute(6500);
  EXPECT_FALSE(v.ControlBoard);
}

TEST_F(ViewCommandsTest, FullScreenEndsEasyHandUnlessKept) {
  viewEnv->Mode = 1;
  Handle(CommandRange::File);
  viewEnv->Full = true;  // what the service's switch leaves
  GetOptions().View.FS_GUI = 0x80;
  Manager().Execute(7000);
  EXPECT_EQ(runs, (std::vector<int32_t>{700}));
  EXPECT_EQ(viewEnv->Sounds, (std::vector<int32_t>{3020}));
}

TEST_F(ViewCommandsTest, WindowCommandsReachTheShell) {
  TDoc second{true};
  second.InitNewDocument();
  second.FileName = "two";
  viewEnv->Docs = {&doc, &second};
  for (int32_t id : {90000, 90020, 90040, 90060, 90080, 90161, 90106}) Manager().Execute(id);
  EXPECT_EQ(services->Calls, (std::vector<std::string>{"cascade", "tileh", "tilev", "minimize", "unminimize",
                                                       "state1", "two"}));
  // Side by side with two documents needs no dialog; the command again ends it.
  Manager().Execute(90400);
  EXPECT_EQ(services->Choices, 0);
  EXPECT_EQ(services->Pair[0], &doc);
  EXPECT_EQ(services->Pair[1], &second);
  Manager().Execute(90400);
  EXPECT_EQ(services->Pair[0], nullptr);
  // A third document: the user chooses; Cancel does nothing.
  TDoc third{true};
  viewEnv->Docs.push_back(&third);
  Manager().Execute(90400);
  EXPECT_EQ(services->Choices, 1);
  EXPECT_EQ(services->Pair[0], nullptr);
  // Activating a window that does not exist is refused.
  services->Calls.clear();
  Manager().Execute(90112);
  EXPECT_TRUE(services->Calls.empty());
}

TEST_F(ViewCommandsTest, HelpCommands) {
  Manager().Execute(100070);
  EXPECT_EQ(services->Calls, (std::vector<std::string>{"help100070"}));
  // No help window and no About box: clear messages.
  Manager().Execute(100000);
  Manager().Execute(101220);
  ASSERT_EQ(box->Texts.size(), 2u);
  EXPECT_EQ(box->Texts[0], "The help of Quorvane is not installed.");
  EXPECT_EQ(box->Texts[1].rfind("Quorvane\rVersion ", 0), 0u);
  EXPECT_EQ(viewEnv->Sounds, (std::vector<int32_t>{9000}));
  EXPECT_EQ(WebAddressOfCommand(101120).rfind("https://", 0), 0u);
  EXPECT_EQ(WebAddressOfCommand(100090).rfind("https://", 0), 0u);
  EXPECT_TRUE(WebAddressOfCommand(101127).empty());
}

}  // namespace
