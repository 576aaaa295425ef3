#include "shell/startup.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <utility>

#include "commands/command_manager.h"
#include "document/char_format.h"
#include "foundation/base/exceptions.h"
#include "foundation/base/memory.h"
#include "foundation/base/string_utils.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/command_line.h"
#include "foundation/system/paths.h"
#include "foundation/system/running_instance.h"
#include "foundation/system/shell_services.h"
#include "foundation/system/temp_files.h"
#include "foundation/system/unit_startup.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/word_delimiters.h"
#include "foundation/ui/application.h"
#include "foundation/ui/message_box.h"
#include "foundation/ui/shared_managers.h"
#include "foundation/ui/sound_services.h"
#include "platform/system/memory_policy.h"
#include "platform/win/window_system.h"
#include "shell/clipboard_manager_services.h"
#include "shell/command_bar_services.h"
#include "shell/command_line_parse.h"
#include "shell/control_board_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_window_link.h"
#include "shell/main_form.h"
#include "shell/proofing_services.h"
#include "shell/startup_state.h"

namespace qv {

namespace {

constexpr const char* kTitle = "Quorvane Word Processor";
constexpr int32_t kFrameWidth = 1000, kFrameHeight = 700;
constexpr int32_t kSoundStart = 200, kSoundExit = 220;
constexpr int32_t kFullScreen = 7000, kPrintDocument = 280, kGlobalHotKeyCommand = 845;
// General flag bit: a new document is made at start-up when no document opened.
constexpr uint8_t kGeneralNewDocAtStartup = 1;

// A portable copy whose drive has been taken away cannot keep its settings there.
bool ProgramDriveGone() { return PortableMode && !FolderExists(ProgramFolder); }

plat::Rect CentredRect(int32_t cx, int32_t cy) {
  const plat::Rect screen = plat::GetScreenRect();
  cx = std::min(cx, screen.Width());
  cy = std::min(cy, screen.Height());
  const int32_t x = screen.left + (screen.Width() - cx) / 2;
  const int32_t y = screen.top + (screen.Height() - cy) / 2;
  return {x, y, x + cx, y + cy};
}

}  // namespace

TProgram::TProgram(TStartupOptions options) : options_(std::move(options)) {}

TProgram::~TProgram() { ShutDown(); }

TMainForm* TProgram::MainForm() const {
  return mainForm_ && mainForm_->Handle() != 0 ? mainForm_.get() : nullptr;
}

void TProgram::StartUnits() {
  plat::KeepFreedMemory(plat::ProgramFreedMemoryKept);
  StartFoundationUnit();
  ResetStartupState();
  StartingUp = true;
  const int32_t userLanguage = UserLocaleLanguageId();
  InitWordDelimiters(userLanguage);
  DefaultCharFormat.Language = UiCharFormat.Language = UiBoldCharFormat.Language = userLanguage;
  SetCommandLineArguments(options_.Arguments);
}

bool TProgram::StartWindowSystem() {
  try {
    if (options_.Headless)
      plat::StartWindowSystem({plat::BackendKind::Headless, true});
    else
      plat::StartWindowSystem();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Quorvane: cannot start: %s\n", e.what());
    startExitCode_ = 1;
    return false;
  }
  windowSystem_ = true;
  return true;
}

void TProgram::ReadLastRunVersion() {
  TSettingsStorage& storage = GetOptionsHolder().GetStorage();
  storage.OpenKey("Internal");
  GetOptions().Internal.LastRunVer = storage.ReadInteger("LastRunVer", INT32_MIN, INT32_MAX, 0);
}

void TProgram::ReadHotKeySettings() {
  TSettingsStorage& storage = GetOptionsHolder().GetStorage();
  storage.OpenKey("General");
  THotKeySettings settings;
  TMemory block;
  storage.ReadBinary("HotKeyOverridesEx", block);
  if (block.Length > 0)
    settings.Overrides.assign(block.Data, block.Data + block.Length);
  else
    settings.Overrides.assign(4, 0);  // a single 32-bit 0
  for (int32_t i = 0; i < 4; ++i) {
    std::string text;
    storage.ReadLongString("ComplexCmdHotKeys" + std::to_string(i), "", text);
    settings.ChordLists[size_t(i)] = BarsToLineBreaks(text);
  }
  std::string symbols;
  storage.ReadLongString("SymbolHotKeys", "", symbols);
  settings.SymbolList = BarsToLineBreaks(symbols);
  CommandBarServices().SetHotKeySettings(settings);
}

void TProgram::CreateMainWindow() {
  mainForm_ = std::make_unique<TMainForm>(options_.Screenshot);
  GetApp().MainForm = mainForm_.get();
  mainForm_->SetBounds(CentredRect(kFrameWidth, kFrameHeight));
  mainForm_->CreateMenus();
  CommandBarServices().CreateToolbarPopupMenus();
  ControlBoardServices().CreateFindReplaceForm();
  dispatcher_ = std::make_unique<TDocDispatcher>();
  SetDocDispatcher(dispatcher_.get());
}

// The main window takes its stored state ("-r" restores it, "-m" maximises it, and wins).
void TProgram::ShowMainWindow() {
  if (!mainForm_->HandleNeeded()) throw Exception("The main window cannot be created.");
  plat::WindowState state = GetOptions().Internal.MainWnd.State == 2
                                ? plat::WindowState::Maximized
                                : plat::WindowState::Normal;
  if (IsSwitchPresent(swRestored)) state = plat::WindowState::Normal;
  if (IsSwitchPresent(swMaximized)) state = plat::WindowState::Maximized;
  mainForm_->UpdateInterfaceState();
  mainForm_->Show();
  if (state == plat::WindowState::Maximized && !options_.Headless)
    mainForm_->SetWindowState(state);
}

// The documents of the command line in their order (printed in print mode, which then ends
// the run), else a new empty document when the options ask for one.
void TProgram::OpenStartupDocuments() {
  TDocDispatcher& d = *dispatcher_;
  d.StateFlags |= TDocDispatcher::dsStartupOpening;
  for (const auto& item : CommandLineFiles.Items()) {
    const bool opened = d.OpenFile(item.Str);
    if (opened && CommandLineAction == smPrintFiles) {
      GetCommandManager().Execute(kPrintDocument);
    }
  }
  d.StateFlags &= ~TDocDispatcher::dsStartupOpening;
  if (CommandLineAction == smPrintFiles) {
    GetApp().Terminate();
    return;
  }
  if (d.Count() == 0 && !IsSwitchPresent(swDontCreateNewDoc) &&
      (GetOptions().General.Flags & kGeneralNewDocAtStartup))
    d.NewDocument({}, 0, false);
}

bool TProgram::Start() {
  if (started_) return true;
  plat::KeepFreedMemory(plat::ProgramFreedMemoryKept);
  StartUnits();
  if (!StartWindowSystem()) return false;
  started_ = true;
  TApp& app = GetApp();
  app.OnEndSession = [this] { SaveSettings(); };
  if (options_.RegisterServices) options_.RegisterServices();
  servicesRegistered_ = true;
  ReadLastRunVersion();
  ParseCommandLine();
  ClipboardManagerServices().CreateClipboardManager();
  ProofingServices().CreateAutocorrectManager();
  try {
    // The special modes (associations, uninstall) are not available here: they only end the run.
    const bool endRun = !PortableMode && (IsSwitchPresent(swAssociate) ||
                                          IsSwitchPresent(swUninstall));
    if (endRun || HandOverToOtherInstance()) throw EAbort();
    ReadHotKeySettings();
    app.Title = kTitle;
    SoundService().PlayEventSound(kSoundStart);
    CreateSharedManagers();
    managersCreated_ = true;
    CommandBarServices().CreateToolbarManager();
    CreateMainWindow();
    GetOptionsHolder().LoadOptions();
    // The interface colours come from the scheme the options hold, once they are read.
    GetColorManager().SchemeChanged();
    for (int32_t i = 0; i < TDocDispatcher::RememberedListCount; ++i)
      dispatcher_->FileLists[size_t(i)].Strings = GetOptions().General.FileLists[size_t(i)].Items;
    CommandBarServices().ApplyToolbarMetrics();
    BaseCaption = mainForm_->Caption();
    if (IsSwitchPresent(swPrintTo)) {
      HasSavedWindowState = true;
      SavedWindowState = GetOptions().Internal.MainWnd.State == 2 ? plat::WindowState::Maximized
                                                                  : plat::WindowState::Normal;
      if (!mainForm_->HandleNeeded()) throw Exception("The main window cannot be created.");
      mainForm_->SetWindowState(plat::WindowState::Minimized);
    } else {
      ShowMainWindow();
    }
    if (IsSwitchPresent(swFullScreen)) GetCommandManager().Execute(kFullScreen);
    OpenStartupDocuments();
    plat::PostMessage(mainForm_->Handle(), TMainForm::WM_STARTUPDONE);
    if (mainForm_->GetWindowState() != plat::WindowState::Minimized) {
      mainForm_->UpdateInterfaceState();
      mainForm_->Show();
    }
    mainForm_->RequestInterfaceUpdate();
    CommandBarServices().RegisterGlobalHotKeys({kGlobalHotKeyCommand});
  } catch (const EAbort&) {
    TopLevelHandler(nullptr);
    return false;
  } catch (const std::exception& e) {
    startExitCode_ = 1;
    TopLevelHandler(&e);
    return false;
  }
  return true;
}

int TProgram::Run() {
  if (!started_) return 1;
  TApp& app = GetApp();
  try {
    while (!app.Terminated) app.HandleMessage();
  } catch (const std::exception& e) {
    TopLevelHandler(&e);
    return 1;
  }
  return 0;
}

void TProgram::TopLevelHandler(const std::exception* e) {
  if (e != nullptr && !DriveGone) {
    const std::string text = "Exception:\r" + std::string(e->what());
    if (windowSystem_)
      ShowSystemMessageBox(text, kTitle, MB_OK | MB_ICONERROR);
    else
      std::fprintf(stderr, "Quorvane: %s\n", e->what());
  }
  ShutDown();
}

// The live state the settings keep: the dispatcher's remembered lists and the main window's
// placement (with "PrintTo" the state it had before it was minimised).
void TProgram::CollectLiveState() {
  TOptions& options = GetOptions();
  if (dispatcher_)
    for (int32_t i = 0; i < TDocDispatcher::RememberedListCount; ++i)
      options.General.FileLists[size_t(i)].Items = dispatcher_->FileLists[size_t(i)].Strings;
  if (mainForm_ && mainForm_->Handle() != 0) {
    plat::WindowState state = mainForm_->GetWindowState();
    if (HasSavedWindowState) state = SavedWindowState;
    if (state != plat::WindowState::Minimized)
      options.Internal.MainWnd.State = state == plat::WindowState::Maximized ? 2 : 0;
  }
}

void TProgram::SaveSettings() {
  if (settingsSaved_) return;
  settingsSaved_ = true;
  if (DriveGone || ProgramDriveGone()) return;
  try {
    CollectLiveState();
    GetOptionsHolder().Save();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Quorvane: the settings could not be saved: %s\n", e.what());
  }
}

void TProgram::FreeShellObjects() {
  SetDocDispatcher(nullptr);
  dispatcher_.reset();
  FreeReleasedEditorWindows();
  ControlBoardServices().FreeFindReplaceForm();
  ControlBoardServices().FreeToolDialogs();
  ClipboardManagerServices().FreeClipboardManager();
  if (AppExists() && GetApp().MainForm == mainForm_.get()) GetApp().MainForm = nullptr;
  mainForm_.reset();
  CommandBarServices().FreeToolbarManager();
  if (managersCreated_) FreeSharedManagers();
  managersCreated_ = false;
  SoundService().PlayEventSound(kSoundExit);
  ProofingServices().FreeAutocorrectManager();
  ProofingServices().FreeSpellcheckManager();
}

void TProgram::ExitSteps() {
  if (!DriveLeaving) RunPendingProgram();
  if (!DriveGone) DeleteTempFiles();
  if (!DriveLeaving && RelaunchPending) RelaunchElevated();
}

void TProgram::ShutDown() {
  if (!started_) return;
  started_ = false;
  CommandBarServices().UnregisterGlobalHotKeys();
  // A run that ends before the main window exists (a special mode, a hand-over) saves nothing.
  if (mainForm_) SaveSettings();
  FreeShellObjects();
  if (servicesRegistered_ && options_.UnregisterServices) options_.UnregisterServices();
  servicesRegistered_ = false;
  FreeOptionsHolder();
  FreeApp();
  if (windowSystem_) plat::StopWindowSystem();
  windowSystem_ = false;
  ExitSteps();
}

int RunProgram(TStartupOptions options) {
  if (const char* shot = std::getenv("QV_SCREENSHOT")) options.Screenshot = shot;
  TProgram program(std::move(options));
  if (!program.Start()) return program.StartExitCode();
  plat::InstallSessionEndSignal();
  const int code = program.Run();
  program.ShutDown();
  return code;
}

}  // namespace qv
